// The option commands after the driver's, the settings file that keeps them, the docking panel
// and an editor too old for them; and the scenarios that run them, each in one process, some
// over two runs of the plugin in turn (loaded, shut down, freed, loaded again), as an editor's
// restart.

#include "OptionScenarios.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <sstream>

#include "Documents.h"
#include "ResultsWindow.h"
#include "Session.h"

namespace Logic::Testing {

namespace {

// What `quendral decide --explain` writes for examples/undistributed-middle.txt, and for its
// argument alone, after the time stamps.
const std::wstring Invalid = L"The argument is invalid.";
const std::wstring Counterexample =
    L"Counterexample (the premises true, the conclusion false): 1 object that is A and D and "
    L"not C";
const std::wstring Valid = L"The argument is valid.";
const std::string UndistributedArgument = "x, Dx -> Ax\nx, Cx -> Ax\n.'.\nx, Dx -> Cx";
const std::wstring DecidingUndistributedArgument =
    L"Deciding \"x, Dx -> Ax\r\nx, Cx -> Ax\r\n.'.\r\nx, Dx -> Cx\" ...";

Document Undistributed() {
    return MakeDocument(L"undistributed-middle.txt", ExampleText(L"undistributed-middle.txt"));
}


std::wstring ClassOf(HWND aWindow) {
    wchar_t lName[256] = {};
    GetClassNameW(aWindow, lName, 256);
    return lName;
}

/// Whether aWindow itself is shown, whatever its parent: the fake host's main window stays hidden.
bool Shown(HWND aWindow) {
    return IsWindow(aWindow) && (GetWindowLongW(aWindow, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::string FileText(const std::wstring& aPath) {
    std::ifstream lFile(aPath.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(lFile), std::istreambuf_iterator<char>());
}

bool FileExists(const std::wstring& aPath) {
    return GetFileAttributesW(aPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

/// The line "aKey=..." of the settings text, without its line end; empty when there is none.
std::string SettingLine(const std::string& aText, const std::string& aKey) {
    std::istringstream lLines(aText);
    std::string lLine;
    while (std::getline(lLines, lLine)) {
        if (!lLine.empty() && lLine.back() == '\r') {
            lLine.pop_back();
        }
        if (lLine.starts_with(aKey + "=")) {
            return lLine;
        }
    }
    return {};
}

/// Counts the message boxes and dialogs this thread tries to make, and stops them: a box would
/// wait for a click that never comes.
struct DialogWatch {
    static inline int gDialogs = 0;
    HHOOK mHook = nullptr;

    DialogWatch() { mHook = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId()); }
    ~DialogWatch() {
        if (mHook != nullptr) {
            UnhookWindowsHookEx(mHook);
        }
    }
    DialogWatch(const DialogWatch&) = delete;
    DialogWatch& operator=(const DialogWatch&) = delete;

    static LRESULT CALLBACK Hook(int aCode, WPARAM aWParam, LPARAM aLParam) {
        if (aCode == HCBT_CREATEWND && ClassOf(reinterpret_cast<HWND>(aWParam)) == L"#32770") {
            ++gDialogs;
            return 1;
        }
        return CallNextHookEx(nullptr, aCode, aWParam, aLParam);
    }
};

void PressEscape(HWND aWindow) {
    UINT lScanCode = MapVirtualKeyW(VK_ESCAPE, MAPVK_VK_TO_VSC);
    PostMessageW(aWindow, WM_KEYDOWN, VK_ESCAPE, 1 | (static_cast<LPARAM>(lScanCode) << 16));
    PumpMessages();
    PostMessageW(aWindow, WM_KEYUP, VK_ESCAPE,
                 1 | (static_cast<LPARAM>(lScanCode) << 16) | (3L << 30));
    PumpMessages();
}

/// A folder of its own under the temporary folder, empty.
std::wstring FreshFolder(const std::wstring& aName) {
    wchar_t lTemp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, lTemp);
    std::wstring lFolder =
        std::wstring(lTemp) + aName + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(lFolder.c_str(), nullptr);
    DeleteFileW((lFolder + L"\\Quendral.ini").c_str());
    return lFolder;
}

void RemoveFolder(const std::wstring& aFolder) {
    DeleteFileW((aFolder + L"\\Quendral.ini").c_str());
    DeleteFileW((aFolder + L"\\Quendral.ini.new").c_str());
    RemoveDirectoryW(aFolder.c_str());
}

constexpr int OptionRecords = 3;

} // namespace

// ---------------------------------------------------------------------------------------------
// The records and the commands

void Session::ExpectOptionChecks(bool aExplain, bool aDocked) {
    mExpectExplainChecked = aExplain;
    mExpectDockedChecked = aDocked;
}

int Session::ExpectedOptionRecords() const {
    return mNotepad.mDocking.mVersion != 0 ? OptionRecords : 0;
}

void Session::CheckOptionRecords(int aFirst) {
    if (ExpectedOptionRecords() == 0) {
        return;
    }
    const FuncItem& lSeparator = mTable[aFirst];
    mChecks.Check(lSeparator._itemName[0] == L'\0' && lSeparator._pFunc == nullptr &&
                      lSeparator._pShKey == nullptr,
                  "the record after the driver's commands is a separator (no name, no function)");
    struct Expected {
        const wchar_t* mName;
        bool mChecked;
    };
    const Expected lOptions[] = {{L"Show Examples and Counterexamples", mExpectExplainChecked},
                                 {L"Results in a Docked Panel", mExpectDockedChecked}};
    for (int i = 0; i < 2; ++i) {
        const FuncItem& lItem = mTable[aFirst + 1 + i];
        const Expected& lOption = lOptions[i];
        std::string lRecord =
            "record " + std::to_string(aFirst + 1 + i) + " (" + Utf8(lOption.mName) + ")";
        mChecks.Equal(std::wstring(lItem._itemName, wcsnlen(lItem._itemName, 64)), lOption.mName,
                      lRecord + ": name");
        mChecks.Check(lItem._pFunc != nullptr && lItem._pShKey == nullptr,
                      lRecord + ": a function and no shortcut");
        mChecks.Equal(lItem._init2Check, lOption.mChecked ? 1 : 0,
                      lRecord + ": checked at start as saved");
    }
}

void Session::ToggleOption(const wchar_t* aName, bool aNowChecked) {
    std::string lWhat = "clicking " + Utf8(aName);
    mChecks.SetActivity(lWhat);
    int lIndex = -1;
    for (int i = 0; i < mCount; ++i) {
        if (std::wcsncmp(mTable[i]._itemName, aName, 64) == 0) {
            lIndex = i;
        }
    }
    if (!mChecks.Check(lIndex >= 0, lWhat + ": the table has the command") ||
        !Call(mTable[lIndex]._pFunc, lWhat)) {
        return;
    }
    // The host wrote its own identifiers into the table (CheckToolbarNotification).
    const auto& lChecks = mNotepad.mDocking.mChecks;
    auto lMark = lChecks.find(static_cast<WPARAM>(mTable[lIndex]._cmdID));
    mChecks.Check(lMark != lChecks.end() && lMark->second == aNowChecked,
                  lWhat + std::string(": NPPM_SETMENUITEMCHECK with the host's identifier ") +
                      (aNowChecked ? "checks" : "unchecks") + " it");
}

// ---------------------------------------------------------------------------------------------
// Explanations

void Session::CheckExplanations() {
    const std::wstring lSettings = mNotepad.mDocking.mConfigFolder + L"\\Quendral.ini";
    const Document lSelection = Selecting(Undistributed(), UndistributedArgument);
    ExpectLog("Decide, explanations off", Undistributed(), L"Decide",
              {L"Deciding undistributed-middle.txt...", Invalid});
    ExpectLog("Decide Selected Text, explanations off", lSelection, L"Decide Selected Text",
              {DecidingUndistributedArgument, Invalid});

    ToggleOption(L"Show Examples and Counterexamples", true);
    mChecks.Equal(Utf16(SettingLine(FileText(lSettings), "ShowExamplesAndCounterexamples")),
                  L"ShowExamplesAndCounterexamples=1", "the settings file keeps the check");
    ExpectLog("Decide, explanations on", Undistributed(), L"Decide",
              {L"Deciding undistributed-middle.txt...", Invalid, Counterexample});
    ExpectLog("Decide Selected Text, explanations on", lSelection, L"Decide Selected Text",
              {DecidingUndistributedArgument, Invalid, Counterexample});
    // A valid argument has no counterexample: the verdict alone, as --explain writes it.
    ExpectLog("Decide on a valid argument, explanations on",
              MakeDocument(L"syllogism.txt", ExampleText(L"syllogism.txt")), L"Decide",
              {L"Deciding syllogism.txt...", Valid});

    ToggleOption(L"Show Examples and Counterexamples", false);
    mChecks.Equal(Utf16(SettingLine(FileText(lSettings), "ShowExamplesAndCounterexamples")),
                  L"ShowExamplesAndCounterexamples=0", "the settings file keeps the removed check");
    ExpectLog("Decide, explanations off again", Undistributed(), L"Decide",
              {L"Deciding undistributed-middle.txt...", Invalid});
    ToggleOption(L"Show Examples and Counterexamples", true);
}

void Session::CheckRememberedOptions(bool aDocked) {
    if (!aDocked) {
        ExpectLog("Decide after the restart", Undistributed(), L"Decide",
                  {L"Deciding undistributed-middle.txt...", Invalid, Counterexample});
        return;
    }
    ExpectPanelLog("Decide in the panel after the restart", Undistributed(), L"Decide",
                   {L"Deciding undistributed-middle.txt...", Invalid, Counterexample});
    mChecks.Check(!mResults.Visible(), "after the restart the results window stays hidden");
}

void Session::CheckDefaultsThenClick() {
    ExpectLog("Decide with the default settings", Undistributed(), L"Decide",
              {L"Deciding undistributed-middle.txt...", Invalid});
    ToggleOption(L"Show Examples and Counterexamples", true);
    ExpectLog("Decide after the click", Undistributed(), L"Decide",
              {L"Deciding undistributed-middle.txt...", Invalid, Counterexample});
}

// ---------------------------------------------------------------------------------------------
// The docking panel

void Session::ClickDockedBeforeReady(bool aPanelChecked) {
    mChecks.SetActivity("the panel's command before NPPN_READY");
    const FakeDocking& rDocking = mNotepad.mDocking;
    for (int i = 0; i < mCount; ++i) {
        if (std::wcsncmp(mTable[i]._itemName, L"Results in a Docked Panel", 64) == 0 &&
            Call(mTable[i]._pFunc, "the panel's command before NPPN_READY")) {
            mChecks.Equal(rDocking.Count(NPPM_SETMENUITEMCHECK), 0,
                          "before NPPN_READY the panel's command changes no check mark");
            bool lShown =
                !rDocking.mRegistrations.empty() && Shown(rDocking.mRegistrations.back().mClient);
            mChecks.Check(lShown == aPanelChecked,
                          aPanelChecked ? "before NPPN_READY the checked panel's command shows it"
                                        : "before NPPN_READY the unchecked panel's command shows "
                                          "nothing");
            return;
        }
    }
    mChecks.Check(false, "the table has the panel's command");
}

void Session::ExpectPanelLog(const std::string& aWhat, const Document& aDocument,
                             const wchar_t* aCommand, const std::vector<std::wstring>& aMessages) {
    mChecks.SetActivity(aWhat);
    PluginCommand lCommand = CommandNamed(aCommand);
    if (!mChecks.Check(lCommand != nullptr, aWhat + ": the table has " + Utf8(aCommand))) {
        return;
    }
    mNotepad.Open(aDocument);
    long long lEarliest = LocalTimeOfDay();
    bool lReturned = Call(lCommand, aWhat);
    long long lLatest = LocalTimeOfDay();
    const auto& lPanels = mNotepad.mDocking.mRegistrations;
    if (!lReturned || !mChecks.Check(!lPanels.empty(), aWhat + ": a panel is registered")) {
        return;
    }
    HWND lPanel = lPanels.back().mClient;
    HWND lLog = FindWindowExW(lPanel, nullptr, L"Edit", nullptr);
    mChecks.Check(Shown(lPanel), aWhat + ": the panel shows");
    std::string lMismatch = LogMismatch(WindowText(lLog), aMessages, lEarliest, lLatest);
    mChecks.Check(lMismatch.empty(), aWhat + ": the panel's log", lMismatch);
    PressEscape(lLog);
}

void Session::CheckDockedPanel() {
    FakeDocking& rDocking = mNotepad.mDocking;
    mChecks.Equal(rDocking.Count(NPPM_DMMREGASDCKDLG), 0, "no panel is registered at start");
    ToggleOption(L"Results in a Docked Panel", true);
    mChecks.Equal(rDocking.Count(NPPM_DMMREGASDCKDLG), 0,
                  "checking the command registers no panel before there is a result");
    ExpectPanelLog("Decide in the panel",
                   MakeDocument(L"syllogism.txt", ExampleText(L"syllogism.txt")), L"Decide",
                   {L"Deciding syllogism.txt...", Valid});
    if (!mChecks.Equal(static_cast<long long>(rDocking.mRegistrations.size()), 1,
                       "NPPM_DMMREGASDCKDLG is sent once")) {
        return;
    }
    mChecks.Check(!mResults.Visible() && mResults.Text().empty(),
                  "with the panel checked the results window stays hidden and empty");

    // The registration, field by field.
    const DockingRegistration lPanel = rDocking.mRegistrations.front();
    int lDockedIndex = -1;
    for (int i = 0; i < mCount; ++i) {
        if (std::wcsncmp(mTable[i]._itemName, L"Results in a Docked Panel", 64) == 0) {
            lDockedIndex = i;
        }
    }
    mChecks.Check(lPanel.mRecordGiven, "NPPM_DMMREGASDCKDLG carries a tTbData record");
    mChecks.Check(IsWindow(lPanel.mClient) && lPanel.mClient != mResults.Window() &&
                      ClassOf(lPanel.mClient) == L"QuendralResultsPanel",
                  "hClient is the plugin's panel window");
    mChecks.Equal(lPanel.mName.value_or(L"(null)"), L"Quendral", "pszName");
    mChecks.Equal(lPanel.mDialogId, lDockedIndex, "dlgID is the index of the panel's command");
    mChecks.Equal(lPanel.mMask, DWS_DF_CONT_BOTTOM | DWS_ICONTAB,
                  "uMask: at the bottom the first time, with an icon on its tab");
    mChecks.Check(lPanel.mIconValid, "hIconTab is an icon");
    mChecks.Check(!lPanel.mAddInfo, "pszAddInfo is null (no text after the name)");
    mChecks.Check(lPanel.mFloat.left == 0 && lPanel.mFloat.top == 0 && lPanel.mFloat.right == 0 &&
                      lPanel.mFloat.bottom == 0 && lPanel.mPreviousContainer == 0,
                  "rcFloat and iPrevCont are left to the host (zero)");
    std::wstring lPluginFile = mPluginPath.substr(mPluginPath.find_last_of(L"\\/") + 1);
    mChecks.Check(
        lPanel.mModuleName && _wcsicmp(lPanel.mModuleName->c_str(), lPluginFile.c_str()) == 0,
        "pszModuleName is the plugin's file name", Utf8(lPanel.mModuleName.value_or(L"(null)")));
    mChecks.Check(rDocking.Count(NPPM_DMMSHOW) >= 1, "the panel is shown with NPPM_DMMSHOW");

    // Explanations go to the panel as to the window; the panel is registered only once.
    ToggleOption(L"Show Examples and Counterexamples", true);
    ExpectPanelLog("Decide with explanations in the panel", Undistributed(), L"Decide",
                   {L"Deciding undistributed-middle.txt...", Invalid, Counterexample});
    mChecks.Equal(static_cast<long long>(rDocking.mRegistrations.size()), 1,
                  "a second command registers no second panel");

    // Resizing: the log fills the panel.
    HWND lLog = FindWindowExW(lPanel.mClient, nullptr, L"Edit", nullptr);
    for (SIZE lFrame : {SIZE{900, 700}, SIZE{640, 420}}) {
        SetWindowPos(mNotepad.MainWindow(), nullptr, 0, 0, lFrame.cx, lFrame.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        rDocking.Layout(mNotepad.MainWindow());
        PumpMessages();
        RECT lArea{};
        RECT lLogArea{};
        GetClientRect(lPanel.mClient, &lArea);
        GetWindowRect(lLog, &lLogArea);
        MapWindowPoints(nullptr, lPanel.mClient, reinterpret_cast<POINT*>(&lLogArea), 2);
        mChecks.Check(lArea.right > 0 && lLogArea.left == 0 && lLogArea.top == 0 &&
                          lLogArea.right == lArea.right && lLogArea.bottom == lArea.bottom,
                      "the log fills the panel at " + std::to_string(lFrame.cx) + " x " +
                          std::to_string(lFrame.cy));
    }

    // Escape hides and empties the panel (ExpectPanelLog pressed it after each command).
    mChecks.Check(!Shown(lPanel.mClient), "Escape hides the panel");
    mChecks.Equal(WindowText(lLog), L"", "Escape empties the panel");
    mChecks.Check(rDocking.Count(NPPM_DMMHIDE) >= 2, "Escape hides the panel with NPPM_DMMHIDE");

    // The user closes the panel in the host: the host hides it and tells it; its log goes.
    PluginCommand lDecide = CommandNamed(L"Decide");
    if (lDecide != nullptr && Call(lDecide, "Decide before the host closes the panel")) {
        mChecks.Check(!WindowText(lLog).empty(), "the panel holds the lines before it is closed");
        ShowWindow(lPanel.mClient, SW_HIDE);
        NMHDR lClose{mNotepad.MainWindow(), 0, DMN_CLOSE};
        SendMessageW(lPanel.mClient, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&lClose));
        mChecks.Equal(WindowText(lLog), L"", "DMN_CLOSE empties the panel");
    }

    // Unchecked: the results window again, as before.
    ToggleOption(L"Results in a Docked Panel", false);
    ExpectLog("Decide in the results window after the panel", Undistributed(), L"Decide",
              {L"Deciding undistributed-middle.txt...", Invalid, Counterexample});
    mChecks.Check(!Shown(lPanel.mClient) && WindowText(lLog).empty(),
                  "with the panel unchecked the panel stays hidden and empty");
    ToggleOption(L"Results in a Docked Panel", true);
}

void Session::CheckHostWithoutVersion() {
    const FakeDocking& rDocking = mNotepad.mDocking;
    ExpectLog("Decide on an old host", Undistributed(), L"Decide",
              {L"Deciding undistributed-middle.txt...", Invalid});
    ExpectLog("Decide Selected Text on an old host",
              Selecting(Undistributed(), UndistributedArgument), L"Decide Selected Text",
              {DecidingUndistributedArgument, Invalid});
    mChecks.Equal(rDocking.Count(NPPM_GETNPPVERSION), 1, "the plugin asks for the version once");
    for (UINT lMessage : {NPPM_GETPLUGINSCONFIGDIR, NPPM_SETMENUITEMCHECK, NPPM_DMMREGASDCKDLG,
                          NPPM_DMMSHOW, NPPM_DMMHIDE}) {
        mChecks.Equal(rDocking.Count(lMessage), 0,
                      "an editor before 4.7 is sent no message " + std::to_string(lMessage));
    }
    mChecks.Check(!FileExists(rDocking.mConfigFolder + L"\\Quendral.ini"),
                  "no settings file is written for an old editor");
}

void Session::ShowPanelForScreenshot(const std::wstring& aStopFile) {
    ToggleOption(L"Show Examples and Counterexamples", true);
    ToggleOption(L"Results in a Docked Panel", true);
    PluginCommand lDecide = CommandNamed(L"Decide");
    if (!mChecks.Check(lDecide != nullptr, "the table has Decide")) {
        return;
    }
    HWND lMain = mNotepad.MainWindow();
    SetWindowTextW(lMain, L"undistributed-middle.txt - Fake Notepad++");
    SetWindowPos(lMain, nullptr, 20, 20, 860, 560, SWP_NOZORDER);
    ShowWindow(lMain, SW_SHOW);
    // The document, where the editor would show it: above the docking strip.
    RECT lArea{};
    GetClientRect(lMain, &lArea);
    std::string lText = ExampleText(L"undistributed-middle.txt");
    std::wstring lShown;
    for (char lCharacter : lText) {
        if (lCharacter == '\n') {
            lShown += L'\r';
        }
        lShown += static_cast<wchar_t>(static_cast<unsigned char>(lCharacter));
    }
    for (int lView : {0, 1}) {
        ShowWindow(mNotepad.Editor(lView).Handle(), SW_HIDE);
    }
    HWND lDocument = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", lShown.c_str(),
                                     WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, 0, 0,
                                     lArea.right, lArea.bottom - FakeDocking::StripHeight - 4,
                                     lMain, nullptr, GetModuleHandleW(nullptr), nullptr);
    HFONT lFont = CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              FIXED_PITCH | FF_MODERN, L"Courier New");
    SendMessageW(lDocument, WM_SETFONT, reinterpret_cast<WPARAM>(lFont), TRUE);
    mNotepad.Open(Undistributed());
    Call(lDecide, "Decide");
    const auto& lPanels = mNotepad.mDocking.mRegistrations;
    mChecks.Check(!lPanels.empty() && Shown(lPanels.back().mClient), "the panel shows");
    PumpMessages();

    HoldForPicture(lMain, aStopFile);
    DestroyWindow(lDocument);
    DeleteObject(lFont);
}

// ---------------------------------------------------------------------------------------------
// The scenarios

namespace {

/// One run of the plugin in this process: loaded, started, checked by aBody, shut down with the
/// host, freed. False when the library is still loaded afterwards, so that a second run would
/// not start afresh.
template <typename Body>
bool RunOnce(Checks& aChecks, const std::wstring& aPlugin, const std::wstring& aConfigFolder,
             LRESULT aVersion, bool aExplainChecked, bool aDockedChecked, Body&& aBody,
             bool aClickDockedBeforeReady = false, bool aDarkMode = false) {
    {
        Session lSession(aChecks, aPlugin);
        if (aClickDockedBeforeReady) {
            lSession.mBeforeReady = [&lSession, aDockedChecked] {
                lSession.ClickDockedBeforeReady(aDockedChecked);
            };
        }
        lSession.PrepareEnvironment(Tools::None, false);
        lSession.Notepad().mDocking.mConfigFolder = aConfigFolder;
        lSession.ConfigureHost(aVersion, aDarkMode);
        lSession.ExpectOptionChecks(aExplainChecked, aDockedChecked);
        if (!lSession.Start()) {
            return false;
        }
        aBody(lSession);
        lSession.Shut(true);
    }
    return aChecks.Check(GetModuleHandleW(aPlugin.c_str()) == nullptr,
                         "the library is freed after the host closes");
}

constexpr LRESULT CurrentVersion = CurrentNppVersion;

void RunExplanations(Checks& aChecks, const std::wstring& aPlugin) {
    std::wstring lFolder = FreshFolder(L"QuendralSettings");
    if (RunOnce(aChecks, aPlugin, lFolder, CurrentVersion, false, false,
                [](Session& fSession) { fSession.CheckExplanations(); })) {
        // The restart: the check and the explanations come back from the settings file.
        RunOnce(aChecks, aPlugin, lFolder, CurrentVersion, true, false,
                [](Session& fSession) { fSession.CheckRememberedOptions(false); });
    }
    RemoveFolder(lFolder);
}

void RunDamagedSettings(Checks& aChecks, const std::wstring& aPlugin) {
    std::wstring lFolder = FreshFolder(L"QuendralDamaged");
    const std::wstring lSettings = lFolder + L"\\Quendral.ini";
    {
        std::ofstream lFile(lSettings.c_str(), std::ios::binary);
        std::string lGarbage("\xFF\xFE\0\x01[Quendral\x80\r\nShowExamplesAndCounterexamples=maybe\n"
                             "ResultsInDockedPanel\n=1\n\xC3\x28\xA0\xA1=\x00\x00\x1A",
                             88);
        for (int i = 0; i < 4096; ++i) {
            lGarbage += static_cast<char>((i * 131 + 7) % 251);
        }
        lFile.write(lGarbage.data(), static_cast<std::streamsize>(lGarbage.size()));
    }
    // The damaged file gives the defaults; the first click writes a good one in its place.
    bool lFreed = RunOnce(aChecks, aPlugin, lFolder, CurrentVersion, false, false,
                          [](Session& fSession) { fSession.CheckDefaultsThenClick(); });
    aChecks.Equal(Utf16(SettingLine(FileText(lSettings), "ShowExamplesAndCounterexamples")),
                  L"ShowExamplesAndCounterexamples=1",
                  "a click writes a whole settings file over the damaged one");
    RemoveFolder(lFolder);
    // A settings folder that is not there, and a host that gives none: the defaults, and the
    // commands still check and uncheck.
    for (const std::wstring& lMissing : {lFolder + L"\\not-there", std::wstring()}) {
        if (!lFreed) {
            break;
        }
        lFreed = RunOnce(aChecks, aPlugin, lMissing, CurrentVersion, false, false,
                         [](Session& fSession) { fSession.CheckDefaultsThenClick(); });
    }
}

void RunDockedPanel(Checks& aChecks, const std::wstring& aPlugin) {
    std::wstring lFolder = FreshFolder(L"QuendralDocking");
    bool lFreed = RunOnce(
        aChecks, aPlugin, lFolder, CurrentVersion, false, false,
        [](Session& fSession) { fSession.CheckDockedPanel(); }, true);
    if (lFreed) {
        // The panel checked at start, and the editor showing it again before NPPN_READY, as it
        // does with a panel it showed when it closed: that shows the panel and changes nothing.
        RunOnce(
            aChecks, aPlugin, lFolder, CurrentVersion, true, true,
            [](Session& fSession) { fSession.CheckRememberedOptions(true); }, true);
    }
    RemoveFolder(lFolder);
}

void RunDarkDockedPanel(Checks& aChecks, const std::wstring& aPlugin) {
    std::wstring lFolder = FreshFolder(L"QuendralDarkDocking");
    RunOnce(
        aChecks, aPlugin, lFolder, CurrentVersion, false, false,
        [](Session& fSession) { fSession.CheckDarkDockedPanel(); }, false, true);
    RemoveFolder(lFolder);
}

void RunOldHost(Checks& aChecks, const std::wstring& aPlugin) {
    std::wstring lFolder = FreshFolder(L"QuendralOldHost");
    RunOnce(aChecks, aPlugin, lFolder, 0, false, false,
            [](Session& fSession) { fSession.CheckHostWithoutVersion(); });
    RemoveFolder(lFolder);
}

} // namespace

const std::vector<std::wstring>& OptionScenarioNames() {
    static const std::vector<std::wstring> lNames = {L"explanations", L"damaged-settings",
                                                     L"docked-panel", L"dark-docked-panel",
                                                     L"host-before-4.7"};
    return lNames;
}

std::optional<int> RunOptionScenario(const std::wstring& aPlugin, const std::wstring& aName) {
    void (*lRun)(Checks&, const std::wstring&) = nullptr;
    if (aName == L"explanations") {
        lRun = &RunExplanations;
    } else if (aName == L"damaged-settings") {
        lRun = &RunDamagedSettings;
    } else if (aName == L"docked-panel") {
        lRun = &RunDockedPanel;
    } else if (aName == L"dark-docked-panel") {
        lRun = &RunDarkDockedPanel;
    } else if (aName == L"host-before-4.7") {
        lRun = &RunOldHost;
    } else {
        return std::nullopt;
    }
    Checks lChecks(Utf8(aName));
    // Absolute: a session leaves the working folder elsewhere.
    wchar_t lFull[MAX_PATH * 4];
    DWORD lLength = GetFullPathNameW(aPlugin.c_str(), MAX_PATH * 4, lFull, nullptr);
    std::wstring lPlugin = lLength > 0 ? std::wstring(lFull, lLength) : aPlugin;
    {
        DialogWatch lWatch;
        lRun(lChecks, lPlugin);
        lChecks.Equal(DialogWatch::gDialogs, 0, "no message box or dialog is shown");
    }
    PrintLine(lChecks.Summary());
    return lChecks.Failed() == 0 ? 0 : 1;
}

int RunPanelScreenshot(const std::wstring& aPlugin, const std::wstring& aStopFile) {
    Checks lChecks("screenshot-panel");
    std::wstring lFolder = FreshFolder(L"QuendralScreenshot");
    {
        Session lSession(lChecks, aPlugin);
        lSession.PrepareEnvironment(Tools::None, false);
        lSession.Notepad().mDocking.mConfigFolder = lFolder;
        if (lSession.Start()) {
            lSession.ShowPanelForScreenshot(aStopFile);
        }
        lSession.Shut(false);
    }
    RemoveFolder(lFolder);
    PrintLine(lChecks.Summary());
    return lChecks.Failed() == 0 ? 0 : 1;
}

} // namespace Logic::Testing
