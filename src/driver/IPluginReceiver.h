#pragma once
// The host abstraction: what the command driver needs from an editor (three texts) and what it
// offers to it (six commands). A receiver outlives the driver that uses it.

#include <functional>
#include <string>

#include "parser/TextPlace.h"

namespace Logic {

class IPluginReceiver {
public:
    using Command = std::function<void()>;

    virtual ~IPluginReceiver() = default;

    /// Keeps the six commands and runs each when the user asks for it. The first three are
    /// always given; the last three are empty when the outside tool they need is missing.
    virtual void Install(Command aDecideContentsOfActiveDocument, Command aDecideSelectedText,
                         Command aCalculateCoefficientVector,
                         Command aDepictContentsOfActiveDocument, Command aDepictSelectedText,
                         Command aExecuteProver9OnActiveDocument) = 0;

    /// The active document's name as the host shows it, without its directory.
    virtual std::string NameOfActiveDocument() = 0;
    virtual std::string ContentsOfActiveDocument() = 0;
    /// The current selection; empty when nothing is selected.
    virtual std::string SelectedText() = 0;

    /// Shows the user where the running command's failure lies. aPlace counts characters of
    /// the text the command read last: the whole document (ContentsOfActiveDocument) or the
    /// selection (SelectedText). A host without a way to mark text ignores it.
    virtual void ShowFailurePlace(const TextPlace& /*aPlace*/) {}
    /// Takes away the mark of an earlier failure; every command that reads the document or the
    /// selection begins with it.
    virtual void ClearFailurePlace() {}
};

} // namespace Logic
