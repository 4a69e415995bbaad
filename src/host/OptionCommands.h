#pragma once
// The two checkable commands after the driver's: "Show Examples and Counterexamples" (decisions
// add the models that show their verdict, as the command-line tool's --explain) and "Results in
// a Docked Panel" (results go to a docking panel instead of the results window). Their state is
// kept in PluginSettings and shown as the commands' check marks. An editor too old to check a
// menu item, to give a settings folder or to dock a panel gets neither command, and the plugin
// behaves as without them.

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

#include "driver/HostInterfaces.h"
#include "host/PluginSettings.h"

namespace Logic {
class MainForm;
}

namespace Logic::Npp {

class DockedPanel;
class ResultsTarget;

class OptionCommands {
public:
    static constexpr const wchar_t* ExplainName = L"Show Examples and Counterexamples";
    static constexpr const wchar_t* DockedName = L"Results in a Docked Panel";

    /// The one instance, kept until the process ends.
    static OptionCommands& Instance();

    /// At setInfo, before the driver is built and after the editor's version is read
    /// (HostVersion): reads the settings, and gives the results window the driver is to use,
    /// aWindow or the docking panel as the settings say.
    std::unique_ptr<IResultsWindow> Begin(HWND aHost, std::unique_ptr<IResultsWindow> aWindow);
    /// The driver is built: its decisions explain their verdicts as the settings say, and
    /// Escape in the panel closes as the results window's Close button does.
    void Attach(MainForm& aDriver);
    /// Appends a separator and the two commands to the command table, checked as saved; nothing
    /// on an editor without menu check marks.
    void AddCommands();
    /// NPPN_READY: the editor has started. Before it, the editor runs the panel's command only
    /// to show again the panel it showed when it last closed.
    void HostReady() { mHostReady = true; }
    /// NPPN_SHUTDOWN: the panel's window goes.
    void Release() noexcept;

    // The functions whose addresses the command table holds.
    static void ToggleExamples();
    static void ToggleDockedPanel();

    const PluginSettings& Settings() const { return mSettings; }

private:
    OptionCommands() = default;
    /// Sets the check mark of the command at aIndex of the table.
    void Check(size_t aIndex, bool aChecked) const;

    HWND mHost = nullptr;
    std::wstring mSettingsPath;
    PluginSettings mSettings;
    ResultsTarget* mTarget = nullptr;
    DockedPanel* mPanel = nullptr;
    MainForm* mDriver = nullptr;
    size_t mExplainIndex = 0;
    size_t mDockedIndex = 0;
    bool mCommandsAdded = false;
    bool mHostReady = false;
};

} // namespace Logic::Npp
