#pragma once
// One run of the fake host in one process: the environment the plugin starts in, the protocol
// from loading to shutdown, and the commands with what their logs must say. The plugin keeps its
// state per process, so every scenario of tools found is a process of its own.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Checks.h"
#include "FakeNotepad.h"
#include "PluginLibrary.h"
#include "ResultsWindow.h"

namespace Logic::Testing {

/// Which of the outside tools the plugin finds in PATH when it starts.
enum class Tools { None, Provers, DotAndProver9, All };

class Session {
public:
    Session(Checks& aChecks, const std::wstring& aPluginPath);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    /// Working folder, PATH with empty tool files, and the toolbar picture when asked for.
    void PrepareEnvironment(Tools aTools, bool aWithToolbarPicture);
    /// Loads the plugin and runs the host's start-up: isUnicode, setInfo, getName,
    /// getFuncsArray, the toolbar notification. False when the plugin cannot be driven further.
    bool Start();
    /// What the fake host says of itself: its version (NPPM_GETNPPVERSION) and dark mode.
    void ConfigureHost(LRESULT aVersion, bool aDarkMode);
    /// Every logging command, over every kind of document.
    void CheckCommands();
    /// The failure mark: where it lies for the whole document and for a selection, and that the
    /// next command and an edit of the marked text take it away (MarksAndThemes.cpp).
    void CheckErrorMarks();
    /// The results window follows the host's dark mode, at start and at every change.
    void CheckDarkMode();
    /// With the host in dark mode, the docking panel is themed by the host when it is made and
    /// at every change of mode, and its log has the host's colours.
    void CheckDarkDockedPanel();
    /// A host older than some of the newer messages gets none of those, and still a mark that
    /// an edit takes away, read from the editor's record as that host lays it out.
    void CheckOlderHost();
    /// Shows the fake editor with a failure marked, for a picture of it.
    void ShowMarkForScreenshot(const std::wstring& aStopFile);
    /// Ctrl+NumPad0 on the syllogism until its verdict is in the window, printed.
    void TimeDecideShortcut();
    /// Runs a few commands and leaves the window shown, for a picture of it.
    void ShowForScreenshot(const std::wstring& aStopFile);
    /// NPPN_SHUTDOWN; with aCloseHost also what the host does after it: its main window goes,
    /// then the library is freed.
    void Shut(bool aCloseHost);

    // The option commands, the settings file and the docking panel (OptionScenarios.cpp).
    FakeNotepad& Notepad() { return mNotepad; }
    /// The check marks the option commands' records must carry at start.
    void ExpectOptionChecks(bool aExplain, bool aDocked);
    /// Runs between the table's check and NPPN_READY, as the editor's start-up does.
    std::function<void()> mBeforeReady;
    /// Decisions with "Show Examples and Counterexamples" off, on, off, and on again.
    void CheckExplanations();
    /// Decisions in the docking panel: its registration, its log, resizing, Escape, closing.
    void CheckDockedPanel();
    /// A Decide on an invalid syllogism shows its counterexample; the results go to the panel
    /// when aDocked, else to the window.
    void CheckRememberedOptions(bool aDocked);
    /// With the settings at their defaults: the verdict alone, in the results window; then a
    /// click on "Show Examples and Counterexamples" checks it and explains.
    void CheckDefaultsThenClick();
    /// Runs the panel's command before NPPN_READY, as the editor does at start for a panel that
    /// was shown when it closed: the panel shows when aPanelChecked, and nothing is toggled.
    void ClickDockedBeforeReady(bool aPanelChecked);
    /// An editor before 4.7, which cannot tell its version: the options and the panel left out,
    /// no message of theirs sent; the commands work.
    void CheckHostWithoutVersion();
    /// The docking panel shown at the bottom of the host with a decision and its explanation,
    /// until the file aStopFile exists.
    void ShowPanelForScreenshot(const std::wstring& aStopFile);

private:
    int ExpectedOptionRecords() const;
    void CheckOptionRecords(int aFirst);
    /// Runs the option command named aName and checks the check mark the host was asked for.
    void ToggleOption(const wchar_t* aName, bool aNowChecked);
    /// ExpectLog with the docking panel in place of the results window.
    void ExpectPanelLog(const std::string& aWhat, const Document& aDocument,
                        const wchar_t* aCommand, const std::vector<std::wstring>& aMessages);
    bool mExpectExplainChecked = false;
    bool mExpectDockedChecked = false;

    bool CheckTable();
    void CheckToolbarNotification();
    PluginCommand CommandNamed(const wchar_t* aName) const;
    bool Call(PluginCommand aCommand, const std::string& aWhat);
    void Notify(unsigned aCode, const std::string& aWhat);
    /// SCN_MODIFIED from aEditor, as the host passes the editor's record on.
    void NotifyModified(FakeEditor& aEditor, std::size_t aPosition, int aType, std::size_t aLength);
    /// Runs aCommand on aDocument and gives the mark it left: the one stretch of the plugin's
    /// indicator, checked to be the only one; empty when there is none.
    std::optional<ByteRange> MarkAfter(const std::string& aWhat, const Document& aDocument,
                                       const wchar_t* aCommand);
    int MarkIndicator() const;
    /// Prints aWindow's frame for the picture taker and keeps the windows painted until the
    /// stop file appears.
    void HoldForPicture(HWND aWindow, const std::wstring& aStopFile);
    /// Opens aDocument in the current view, runs the command named aCommand and compares the
    /// log with aMessages; closes the window afterwards.
    void ExpectLog(const std::string& aWhat, const Document& aDocument, const wchar_t* aCommand,
                   const std::vector<std::wstring>& aMessages);
    void CheckEditorTraffic(const std::string& aWhat);
    void CheckClosing();

    Checks& mChecks;
    std::wstring mPluginPath;
    std::wstring mFolder;
    Tools mTools = Tools::None;
    bool mWithToolbarPicture = false;
    FakeNotepad mNotepad;
    std::unique_ptr<PluginLibrary> mPlugin;
    FuncItem* mTable = nullptr;
    int mCount = 0;
    ResultsWindow mResults;
    int mUncheckedBuffers = 0;
    std::map<UINT, int> mUnanswered;
};

} // namespace Logic::Testing
