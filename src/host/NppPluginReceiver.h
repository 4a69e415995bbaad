#pragma once
// Notepad++ as the driver's host: installs the driver's commands in the command table, reads the
// active document from the editor and adds the toolbar button.

#include <string>

#include "driver/IPluginReceiver.h"
#include "driver/MainForm.h"
#include "host/ErrorIndicator.h"

namespace Logic::Npp {

class NppPluginReceiver final : public IPluginReceiver {
public:
    static constexpr const wchar_t* PluginName = L"Quendral";
    static constexpr size_t IndexOfTheCommandThatGetsTheToolBarIcon = 0;

    /// The one receiver, made on first use and kept until the process ends.
    static NppPluginReceiver& Instance();

    /// Builds the driver (which installs its commands here) and the command table.
    void CommandMenuInit();
    /// Adds the toolbar button for "Decide", bound to the identifier the host gave it.
    void SetToolBarIcon();
    /// The host is closing (NPPN_SHUTDOWN, sent before it unloads the library): stops a
    /// running command, which kills the programs it started, and takes down what must not
    /// outlive the library: the results window and the per-thread objects. The command table
    /// stays for the host to read.
    void PluginCleanUp() noexcept;

    void Install(Command aDecideContentsOfActiveDocument, Command aDecideSelectedText,
                 Command aCalculateCoefficientVector, Command aDepictContentsOfActiveDocument,
                 Command aDepictSelectedText, Command aExecuteProver9OnActiveBuffer) override;

    std::string NameOfActiveDocument() override;
    std::string ContentsOfActiveDocument() override;
    std::string SelectedText() override;

    /// Marks the failure in the editor the text was read from (host/ErrorIndicator).
    void ShowFailurePlace(const TextPlace& aPlace) override;
    void ClearFailurePlace() override;
    /// An SCN_MODIFIED record from the host: an edit of the marked text takes the mark away.
    void EditorModified(const void* aRecord) noexcept;

    // The functions whose addresses the command table holds; each runs its slot's command.
    static void DecideContentsOfActiveDocument();
    static void DecideSelectedText();
    static void CalculateCoefficientVector();
    static void DepictContentsOfActiveDocument();
    static void DepictSelectedText();
    static void ExecuteProver9OnActiveBuffer();

    /// The driver; null when it could not be built.
    MainForm* ThePlugin() const { return mThePlugin; }

private:
    NppPluginReceiver() = default;
    /// Runs the command in aSlot when present; no failure leaves it, since the caller is the
    /// host.
    static void Forward(Command NppPluginReceiver::*aSlot) noexcept;

    MainForm* mThePlugin = nullptr;
    ErrorIndicator mErrorIndicator;
    Command mDecideContentsOfActiveDocument;
    Command mDecideSelectedText;
    Command mCalculateCoefficientVector;
    Command mDepictContentsOfActiveDocument;
    Command mDepictSelectedText;
    Command mExecuteProver9OnActiveBuffer;
};

} // namespace Logic::Npp
