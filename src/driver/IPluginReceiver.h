#pragma once
// The host abstraction: what the command driver needs from an editor (three texts) and what it
// offers to it (six commands). A receiver outlives the driver that uses it.

#include <functional>
#include <string>

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
};

} // namespace Logic
