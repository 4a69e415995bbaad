#include "host/OptionCommands.h"

#include "driver/MainForm.h"
#include "host/DockedPanel.h"
#include "host/HostVersion.h"
#include "host/NppRecords.h"
#include "host/PluginBase.h"
#include "host/ResultsTarget.h"
#include "platform/Shielded.h"

namespace Logic::Npp {

namespace {
// The commands' identifiers before the editor gives its own: their slots after the driver's six.
constexpr int SeparatorSlot = 6;
constexpr int ExplainSlot = 7;
constexpr int DockedSlot = 8;
} // namespace

OptionCommands& OptionCommands::Instance() {
    // Never destroyed: the editor may run a command until the process ends.
    static OptionCommands* lInstance = new OptionCommands();
    return *lInstance;
}

std::unique_ptr<IResultsWindow> OptionCommands::Begin(HWND aHost,
                                                      std::unique_ptr<IResultsWindow> aWindow) {
    mHost = aHost;
    mSettingsPath = PluginSettings::PathIn(aHost);
    mSettings = PluginSettings::Load(mSettingsPath);
    std::unique_ptr<DockedPanel> lPanel;
    if (HostVersion::HasDocking()) {
        lPanel = std::make_unique<DockedPanel>(aHost, DockedSlot);
        mPanel = lPanel.get();
    }
    auto lTarget = std::make_unique<ResultsTarget>(std::move(aWindow), std::move(lPanel));
    lTarget->UsePanel(mSettings.mResultsInDockedPanel);
    mTarget = lTarget.get();
    return lTarget;
}

void OptionCommands::Attach(MainForm& aDriver) {
    mDriver = &aDriver;
    aDriver.SetExplainVerdicts(mSettings.mShowExamples);
    if (mPanel != nullptr) {
        MainForm* lDriver = &aDriver;
        mPanel->SetCloseAction([lDriver] { lDriver->button_close_Click(); });
    }
}

void OptionCommands::AddCommands() {
    if (mCommandsAdded || !HostVersion::HasMenuItemCheck()) {
        return;
    }
    mCommandsAdded = true;
    // A record without a function is a separator in the editor's menu.
    PluginBase::SetCommand(SeparatorSlot, L"", nullptr);
    mExplainIndex = PluginBase::_funcItems().Items().size();
    PluginBase::SetCommand(ExplainSlot, ExplainName, &ToggleExamples, mSettings.mShowExamples);
    if (mPanel != nullptr) {
        mDockedIndex = PluginBase::_funcItems().Items().size();
        mPanel->SetCommandIndex(static_cast<int>(mDockedIndex));
        PluginBase::SetCommand(DockedSlot, DockedName, &ToggleDockedPanel,
                               mSettings.mResultsInDockedPanel);
    }
}

void OptionCommands::Release() noexcept {
    DockedPanel::ReleaseWindowsOfThisThread();
}

void OptionCommands::Check(size_t aIndex, bool aChecked) const {
    const FuncItem* lTable = PluginBase::_funcItems().NativePointer();
    if (lTable == nullptr || aIndex >= PluginBase::_funcItems().Items().size()) {
        return;
    }
    // The identifier the editor wrote into the record when it built its menu.
    SendMessageW(mHost, NPPM_SETMENUITEMCHECK, static_cast<WPARAM>(lTable[aIndex]._cmdID),
                 aChecked ? TRUE : FALSE);
}

void OptionCommands::ToggleExamples() {
    Shielded("command", [] {
        OptionCommands& rThis = Instance();
        rThis.mSettings.mShowExamples = !rThis.mSettings.mShowExamples;
        if (rThis.mDriver != nullptr) {
            rThis.mDriver->SetExplainVerdicts(rThis.mSettings.mShowExamples);
        }
        rThis.Check(rThis.mExplainIndex, rThis.mSettings.mShowExamples);
        // A settings file that cannot be written keeps the choice until the editor closes.
        rThis.mSettings.Save(rThis.mSettingsPath);
    });
}

void OptionCommands::ToggleDockedPanel() {
    Shielded("command", [] {
        OptionCommands& rThis = Instance();
        if (rThis.mTarget == nullptr) {
            return;
        }
        if (!rThis.mHostReady) {
            // The editor starting up shows again the panel it showed when it closed.
            if (rThis.mTarget->UsesPanel()) {
                rThis.mTarget->Show();
            }
            return;
        }
        rThis.mSettings.mResultsInDockedPanel = !rThis.mSettings.mResultsInDockedPanel;
        rThis.mTarget->UsePanel(rThis.mSettings.mResultsInDockedPanel);
        rThis.Check(rThis.mDockedIndex, rThis.mSettings.mResultsInDockedPanel);
        rThis.mSettings.Save(rThis.mSettingsPath);
    });
}

} // namespace Logic::Npp
