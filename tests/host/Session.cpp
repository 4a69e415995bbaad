#include "Session.h"

#include "Documents.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string_view>
#include <utility>

namespace Logic::Testing {

namespace {

std::string WithCrLf(const std::string& aText) {
    std::string lResult;
    for (char lCharacter : aText) {
        if (lCharacter == '\n') {
            lResult += '\r';
        }
        lResult += lCharacter;
    }
    return lResult;
}

struct CommandEntry {
    const wchar_t* mName;
    int mIndex;
    bool mHasShortcut;
    ShortcutKey mShortcut;
};

constexpr CommandEntry AllCommands[] = {
    {L"Decide", 0, true, {1, 0, 0, 96}},
    {L"Decide Selected Text", 1, true, {1, 1, 0, 96}},
    {L"Calculate Coefficient Vector", 2, false, {}},
    {L"Depict", 3, true, {0, 1, 0, 71}},
    {L"Depict Selected Text", 4, true, {0, 1, 1, 71}},
    {L"Evaluate with Prover9/Mace4", 5, false, {}},
};

std::vector<CommandEntry> ExpectedCommands(Tools aTools) {
    std::vector<CommandEntry> lCommands(std::begin(AllCommands), std::begin(AllCommands) + 3);
    if (aTools == Tools::DotAndProver9 || aTools == Tools::All) {
        lCommands.push_back(AllCommands[3]);
        lCommands.push_back(AllCommands[4]);
    }
    if (aTools == Tools::Provers || aTools == Tools::All) {
        lCommands.push_back(AllCommands[5]);
    }
    return lCommands;
}

constexpr int FirstHostCommandId = 22000;
constexpr COLORREF ToolbarPictureColour = RGB(0x12, 0xC8, 0x22);
constexpr int ToolbarPictureSize = 16;

void WriteFile(const std::wstring& aPath, const std::string& aBytes) {
    std::ofstream lFile(aPath.c_str(), std::ios::binary);
    lFile.write(aBytes.data(), static_cast<std::streamsize>(aBytes.size()));
}

/// A 16 x 16, 24-bit picture in one colour that no built-in bitmap is likely to start with.
std::string ToolbarPicture() {
    const std::uint32_t lPixelBytes = ToolbarPictureSize * ToolbarPictureSize * 3;
    BITMAPFILEHEADER lFileHeader{};
    BITMAPINFOHEADER lInfo{};
    lFileHeader.bfType = 0x4D42;
    lFileHeader.bfOffBits = sizeof lFileHeader + sizeof lInfo;
    lFileHeader.bfSize = lFileHeader.bfOffBits + lPixelBytes;
    lInfo.biSize = sizeof lInfo;
    lInfo.biWidth = ToolbarPictureSize;
    lInfo.biHeight = ToolbarPictureSize;
    lInfo.biPlanes = 1;
    lInfo.biBitCount = 24;
    lInfo.biCompression = BI_RGB;
    lInfo.biSizeImage = lPixelBytes;
    std::string lBytes(reinterpret_cast<const char*>(&lFileHeader), sizeof lFileHeader);
    lBytes.append(reinterpret_cast<const char*>(&lInfo), sizeof lInfo);
    for (std::uint32_t i = 0; i < lPixelBytes / 3; ++i) {
        lBytes += static_cast<char>(GetBValue(ToolbarPictureColour));
        lBytes += static_cast<char>(GetGValue(ToolbarPictureColour));
        lBytes += static_cast<char>(GetRValue(ToolbarPictureColour));
    }
    return lBytes;
}

double Milliseconds(LONGLONG aTicks) {
    LARGE_INTEGER lFrequency;
    QueryPerformanceFrequency(&lFrequency);
    return 1000.0 * static_cast<double>(aTicks) / static_cast<double>(lFrequency.QuadPart);
}

LONGLONG Ticks() {
    LARGE_INTEGER lNow;
    QueryPerformanceCounter(&lNow);
    return lNow.QuadPart;
}

std::string Fixed(double aValue) {
    char lText[32];
    std::snprintf(lText, sizeof lText, "%.1f", aValue);
    return lText;
}

/// Watches the log control for a text, noting the moment it first holds it.
struct LogWatch {
    static inline WNDPROC gOriginal = nullptr;
    static inline std::wstring gNeedle;
    static inline LONGLONG gSeenAt = 0;

    static LRESULT CALLBACK Procedure(HWND aWindow, UINT aMessage, WPARAM aWParam, LPARAM aLParam) {
        LRESULT lResult = CallWindowProcW(gOriginal, aWindow, aMessage, aWParam, aLParam);
        if (gSeenAt == 0 &&
            (aMessage == EM_REPLACESEL || aMessage == WM_SETTEXT || aMessage == WM_CHAR)) {
            int lLength = GetWindowTextLengthW(aWindow);
            std::wstring lText(static_cast<std::size_t>(lLength) + 1, L'\0');
            lText.resize(static_cast<std::size_t>(
                GetWindowTextW(aWindow, lText.data(), static_cast<int>(lText.size()))));
            if (lText.find(gNeedle) != std::wstring::npos) {
                gSeenAt = Ticks();
            }
        }
        return lResult;
    }
};

} // namespace

Session::Session(Checks& aChecks, const std::wstring& aPluginPath) : mChecks(aChecks) {
    wchar_t lFull[MAX_PATH * 4];
    DWORD lLength = GetFullPathNameW(aPluginPath.c_str(), MAX_PATH * 4, lFull, nullptr);
    mPluginPath = lLength > 0 ? std::wstring(lFull, lLength) : aPluginPath;
}

Session::~Session() {
    if (mFolder.empty()) {
        return;
    }
    SetCurrentDirectoryW(L"\\");
    for (const wchar_t* lFile :
         {L"\\tools\\dot.exe", L"\\tools\\prover9.exe", L"\\tools\\mace4.exe",
          L"\\plugins\\Config\\Decide.bmp", L"\\plugins\\Config\\Quendral.ini"}) {
        DeleteFileW((mFolder + lFile).c_str());
    }
    for (const wchar_t* lFolder : {L"\\tools", L"\\plugins\\Config", L"\\plugins", L""}) {
        RemoveDirectoryW((mFolder + lFolder).c_str());
    }
}

void Session::PrepareEnvironment(Tools aTools, bool aWithToolbarPicture) {
    mTools = aTools;
    mWithToolbarPicture = aWithToolbarPicture;
    wchar_t lTemp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, lTemp);
    mFolder = std::wstring(lTemp) + L"QuendralFakeHost-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(mFolder.c_str(), nullptr);
    CreateDirectoryW((mFolder + L"\\tools").c_str(), nullptr);
    CreateDirectoryW((mFolder + L"\\plugins").c_str(), nullptr);
    CreateDirectoryW((mFolder + L"\\plugins\\Config").c_str(), nullptr);
    // Only the files' existence counts: empty ones stand for the tools.
    if (aTools == Tools::DotAndProver9 || aTools == Tools::All) {
        WriteFile(mFolder + L"\\tools\\dot.exe", "");
    }
    if (aTools != Tools::None) {
        WriteFile(mFolder + L"\\tools\\prover9.exe", "");
    }
    if (aTools == Tools::Provers || aTools == Tools::All) {
        WriteFile(mFolder + L"\\tools\\mace4.exe", "");
    }
    if (aWithToolbarPicture) {
        WriteFile(mFolder + L"\\plugins\\Config\\Decide.bmp", ToolbarPicture());
    }
    mNotepad.mDocking.mConfigFolder = mFolder + L"\\plugins\\Config";
    wchar_t lSystem[MAX_PATH + 1];
    GetSystemDirectoryW(lSystem, MAX_PATH + 1);
    wchar_t lWindows[MAX_PATH + 1];
    GetWindowsDirectoryW(lWindows, MAX_PATH + 1);
    std::wstring lPath = mFolder + L"\\tools;" + lSystem + L";" + lWindows;
    SetEnvironmentVariableW(L"PATH", lPath.c_str());
    SetCurrentDirectoryW(mFolder.c_str());
}

bool Session::Call(PluginCommand aCommand, const std::string& aWhat) {
    try {
        aCommand();
        return true;
    } catch (...) {
        return mChecks.Check(false, aWhat + ": no C++ exception leaves the plugin");
    }
}

void Session::Notify(unsigned aCode, const std::string& aWhat) {
    SCNotification lNotification{};
    lNotification.nmhdr.hwndFrom = mNotepad.MainWindow();
    lNotification.nmhdr.code = aCode;
    mChecks.SetActivity(aWhat);
    try {
#if defined(__i386__)
        SCNotification* lArgument = &lNotification;
        unsigned lRemoved = FakeHostArgumentBytesRemovedByCallee(
            reinterpret_cast<const void*>(mPlugin->beNotified), &lArgument, sizeof lArgument);
        mChecks.Equal(lRemoved, 0,
                      aWhat + ": beNotified leaves its argument to the caller (cdecl)");
#else
        mPlugin->beNotified(&lNotification);
#endif
    } catch (...) {
        mChecks.Check(false, aWhat + ": no C++ exception leaves beNotified");
    }
}

bool Session::Start() {
    mChecks.SetActivity("loading the library");
    mPlugin = std::make_unique<PluginLibrary>(mPluginPath);
    if (!mChecks.Check(mPlugin->Loaded(), "LoadLibraryW loads " + Utf8(mPluginPath),
                       "error " + std::to_string(mPlugin->LoadError()))) {
        return false;
    }
    if (!mChecks.Check(mPlugin->MissingExports().empty(),
                       "the six functions are exported by their plain names",
                       "missing: " + mPlugin->MissingExports())) {
        return false;
    }

    mChecks.SetActivity("isUnicode");
    BOOL lUnicode = mPlugin->isUnicode();
    mChecks.Equal(lUnicode, 1, "isUnicode answers 1 as a 32-bit value");

    mChecks.SetActivity("messageProc");
#if defined(__i386__)
    struct {
        UINT mMessage;
        WPARAM mWParam;
        LPARAM mLParam;
    } lMessage{WM_USER + 7, 1, 2};
    // Called the other way, a callee that removes its own arguments would wreck our stack.
    if (!mChecks.Equal(
            FakeHostArgumentBytesRemovedByCallee(
                reinterpret_cast<const void*>(mPlugin->messageProc), &lMessage, sizeof lMessage),
            0, "messageProc leaves its arguments to the caller (cdecl)")) {
        return false;
    }
#endif
    for (UINT lAnyMessage : {static_cast<UINT>(WM_SIZE), static_cast<UINT>(WM_COMMAND),
                             static_cast<UINT>(WM_USER + 7)}) {
        mChecks.Equal(mPlugin->messageProc(lAnyMessage, 0, 0), 1,
                      "messageProc answers 1 to message " + std::to_string(lAnyMessage));
    }

    mChecks.SetActivity("setInfo");
    NppData lData = mNotepad.Handles();
    try {
#if defined(__i386__)
        mChecks.Equal(FakeHostArgumentBytesRemovedByCallee(
                          reinterpret_cast<const void*>(mPlugin->setInfo), &lData, sizeof lData),
                      0, "setInfo leaves its argument to the caller (cdecl)");
#else
        mPlugin->setInfo(lData);
#endif
    } catch (...) {
        mChecks.Check(false, "no C++ exception leaves setInfo");
        return false;
    }

    mChecks.SetActivity("looking at the results window");
    mResults = ResultsWindow::Find();
    if (!mChecks.Check(mResults.Exists(), "setInfo creates the results window")) {
        return false;
    }
    mChecks.Equal(mResults.ClassOfWindow(), ResultsWindow::ClassName, "results window class");
    mChecks.Equal(mResults.TitleOfWindow(), ResultsWindow::Title, "results window title");
    mChecks.Check(!mResults.Visible(), "the results window is hidden after setInfo");
    // The window's make-up is the same whatever tools are found: one scenario looks at it.
    bool lWholeWindow = mTools == Tools::None;
    if (mChecks.Check(mResults.Log() != nullptr, "the results window has an Edit control") &&
        lWholeWindow) {
        LONG lStyle = GetWindowLongW(mResults.Log(), GWL_STYLE);
        mChecks.Check((lStyle & ES_MULTILINE) != 0 && (lStyle & ES_READONLY) != 0,
                      "the log is multi-line and read-only");
        // An edit control wraps its lines only without horizontal scrolling.
        mChecks.Check((lStyle & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0,
                      "the log wraps long lines (no ES_AUTOHSCROLL, no WS_HSCROLL)");
        mChecks.Equal(mResults.Text(), L"", "the log is empty at start");
    }
    if (mChecks.Check(mResults.CloseButton() != nullptr, "the results window has a Button")) {
        mChecks.Equal(mResults.CloseButtonText(), L"&Close", "the button's text");
    }

    mChecks.SetActivity("getName");
    const wchar_t* lName = mPlugin->getName();
    if (mChecks.Check(lName != nullptr, "getName gives a text")) {
        mChecks.Equal(lName, L"Quendral", "getName");
        mChecks.Check(mPlugin->getName() == lName, "getName gives the same address every time");
    }

    if (!CheckTable()) {
        return false;
    }
    CheckToolbarNotification();
    mChecks.Check(!mResults.Visible(), "the results window stays hidden until a command logs");
    return true;
}

bool Session::CheckTable() {
    mChecks.SetActivity("getFuncsArray");
    int lCount = -1;
#if defined(__i386__)
    // The table comes from a second call; the first one tests the calling convention.
    int* lCountAddress = &lCount;
    mChecks.Equal(
        FakeHostArgumentBytesRemovedByCallee(reinterpret_cast<const void*>(mPlugin->getFuncsArray),
                                             &lCountAddress, sizeof lCountAddress),
        0, "getFuncsArray leaves its argument to the caller (cdecl)");
    lCount = -1;
#endif
    mTable = mPlugin->getFuncsArray(&lCount);
    mCount = lCount;
    std::vector<CommandEntry> lExpected = ExpectedCommands(mTools);
    if (!mChecks.Check(mTable != nullptr, "getFuncsArray gives a table") || lCount <= 0) {
        return false;
    }
    std::string lNames;
    for (int i = 0; i < std::min(lCount, 64); ++i) {
        const wchar_t* lEnd = std::find(mTable[i]._itemName, mTable[i]._itemName + 64, L'\0');
        lNames += (i == 0 ? "" : ", ") + Quoted(std::wstring_view(mTable[i]._itemName, lEnd));
    }
    const int lAll = static_cast<int>(lExpected.size()) + ExpectedOptionRecords();
    mChecks.Check(lCount == lAll, "getFuncsArray's count",
                  "got " + std::to_string(lCount) + " (" + lNames + "), expected " +
                      std::to_string(lAll));
    int lAgain = -1;
    mChecks.Check(mPlugin->getFuncsArray(&lAgain) == mTable && lAgain == lCount,
                  "getFuncsArray gives the same table every time");

    std::vector<PluginCommand> lFunctions;
    for (int i = 0; i < std::min<int>(lCount, static_cast<int>(lExpected.size())); ++i) {
        const FuncItem& lItem = mTable[i];
        const CommandEntry& lEntry = lExpected[static_cast<std::size_t>(i)];
        std::string lRecord = "record " + std::to_string(i) + " (" + Utf8(lEntry.mName) + ")";
        const wchar_t* lEnd = std::find(lItem._itemName, lItem._itemName + 64, L'\0');
        if (mChecks.Check(lEnd != lItem._itemName + 64, lRecord + ": the name ends in NUL")) {
            mChecks.Equal(std::wstring(lItem._itemName, lEnd), lEntry.mName, lRecord + ": name");
        }
        mChecks.Equal(lItem._cmdID, lEntry.mIndex, lRecord + ": _cmdID before the host sets it");
        mChecks.Equal(lItem._init2Check, 0, lRecord + ": no check mark");
        mChecks.Check(lItem._pFunc != nullptr, lRecord + ": has a function");
        mChecks.Check(std::find(lFunctions.begin(), lFunctions.end(), lItem._pFunc) ==
                          lFunctions.end(),
                      lRecord + ": its function is its own");
        lFunctions.push_back(lItem._pFunc);
        if (!lEntry.mHasShortcut) {
            mChecks.Check(lItem._pShKey == nullptr, lRecord + ": no shortcut");
        } else if (mChecks.Check(lItem._pShKey != nullptr, lRecord + ": has a shortcut")) {
            const ShortcutKey& lKey = *lItem._pShKey;
            char lBytes[64];
            std::snprintf(lBytes, sizeof lBytes, "%u %u %u %u", lKey._isCtrl, lKey._isAlt,
                          lKey._isShift, lKey._key);
            mChecks.Check(std::memcmp(&lKey, &lEntry.mShortcut, sizeof lKey) == 0,
                          lRecord + ": shortcut bytes (Ctrl Alt Shift key)",
                          std::string("got ") + lBytes);
        }
    }
    if (lCount == lAll) {
        CheckOptionRecords(static_cast<int>(lExpected.size()));
    }
    return true;
}

void Session::ConfigureHost(LRESULT aVersion, bool aDarkMode) {
    mNotepad.mDocking.mVersion = aVersion;
    mNotepad.mDarkMode = aDarkMode;
}

void Session::NotifyModified(FakeEditor& aEditor, std::size_t aPosition, int aType,
                             std::size_t aLength) {
    SCNotification lNotification{};
    // The record as the host's version lays it out.
    const bool lPointerSized = sizeof(void*) == 4 || mNotepad.mDocking.AtLeast(NppVersion(8, 3));
    if (lPointerSized) {
        static_assert(sizeof(SCNotificationModified) <= sizeof(SCNotification));
        SCNotificationModified lRecord{};
        lRecord.nmhdr.hwndFrom = aEditor.Handle();
        lRecord.nmhdr.code = SCN_MODIFIED;
        lRecord.position = static_cast<std::intptr_t>(aPosition);
        lRecord.modificationType = aType;
        lRecord.length = static_cast<std::intptr_t>(aLength);
        std::memcpy(&lNotification, &lRecord, sizeof lRecord);
    } else {
        static_assert(sizeof(SCNotificationModified32BitPositions) <= sizeof(SCNotification));
        SCNotificationModified32BitPositions lRecord{};
        lRecord.nmhdr.hwndFrom = aEditor.Handle();
        lRecord.nmhdr.code = SCN_MODIFIED;
        lRecord.position = static_cast<int>(aPosition);
        lRecord.modificationType = aType;
        lRecord.length = static_cast<int>(aLength);
        std::memcpy(&lNotification, &lRecord, sizeof lRecord);
    }
    try {
        mPlugin->beNotified(&lNotification);
    } catch (...) {
        mChecks.Check(false, "SCN_MODIFIED: no C++ exception leaves beNotified");
    }
}

void Session::CheckToolbarNotification() {
    mNotepad.ResetTraffic();
    if (mBeforeReady) {
        mBeforeReady();
    }
    Notify(NPPN_READY, "NPPN_READY");
    mChecks.Check(mNotepad.mToolbarIcons.empty(), "NPPN_READY adds no toolbar button");
    std::vector<CommandEntry> lExpected = ExpectedCommands(mTools);
    for (int i = 0; i < std::min<int>(mCount, static_cast<int>(lExpected.size())); ++i) {
        mChecks.Equal(mTable[i]._cmdID, lExpected[static_cast<std::size_t>(i)].mIndex,
                      "NPPN_READY leaves the table as it was");
    }

    // The host writes its own identifiers before it notifies.
    for (int i = 0; i < mCount; ++i) {
        mTable[i]._cmdID = FirstHostCommandId + i;
    }
    Notify(NPPN_TBMODIFICATION, "NPPN_TBMODIFICATION");
    if (mNotepad.mDocking.AtLeast(NppVersion(8, 0))) {
        // From 8.0: the record with icons for both modes, and no other.
        mChecks.Check(mNotepad.mToolbarIcons.empty(),
                      "a host from 8.0 on gets no NPPM_ADDTOOLBARICON");
        if (!mChecks.Equal(static_cast<long long>(mNotepad.mDarkToolbarIcons.size()), 1,
                           "NPPN_TBMODIFICATION sends NPPM_ADDTOOLBARICON_FORDARKMODE once")) {
            return;
        }
        const DarkToolbarIconRequest& lDark = mNotepad.mDarkToolbarIcons.front();
        mChecks.Equal(static_cast<long long>(lDark.mCommandId), FirstHostCommandId,
                      "the dark-mode toolbar record gets the first record's identifier");
        mChecks.Check(lDark.mRecordGiven && lDark.mBitmapValid,
                      "toolbarIconsWithDarkMode carries the toolbar bitmap");
        mChecks.Check(lDark.mIcon != nullptr && lDark.mDarkIcon != nullptr &&
                          lDark.mIcon != lDark.mDarkIcon,
                      "hToolbarIcon and hToolbarIconDarkMode are two icons");
        mChecks.Check(lDark.mIconPixels > 0 && lDark.mIconPixels == lDark.mDarkIconPixels,
                      "both icons show the same visible pixels",
                      std::to_string(lDark.mIconPixels) + " and " +
                          std::to_string(lDark.mDarkIconPixels));
        // Each pixel's lightness turned over keeps its hue: the mean lightness goes from L to
        // 255 - L. A picture of middling lightness (the Config folder's green one) changes less
        // than the dark built-in one, which must come out clearly lighter.
        const std::string lLightness = "mean lightness " + std::to_string(lDark.mIconLightness) +
                                       " light, " + std::to_string(lDark.mDarkIconLightness) +
                                       " dark";
        mChecks.Check(std::abs(lDark.mDarkIconLightness - (255 - lDark.mIconLightness)) < 0.5,
                      "the dark-mode icon has the light one's lightness turned over", lLightness);
        if (!mWithToolbarPicture) {
            mChecks.Check(lDark.mDarkIconLightness > lDark.mIconLightness + 40,
                          "the dark-mode icon is the lighter one", lLightness);
        }
        return;
    }
    mChecks.Check(mNotepad.mDarkToolbarIcons.empty(),
                  "a host before 8.0 gets no NPPM_ADDTOOLBARICON_FORDARKMODE");
    if (!mChecks.Equal(static_cast<long long>(mNotepad.mToolbarIcons.size()), 1,
                       "NPPN_TBMODIFICATION sends NPPM_ADDTOOLBARICON once")) {
        return;
    }
    const ToolbarIconRequest& lRequest = mNotepad.mToolbarIcons.front();
    mChecks.Equal(static_cast<long long>(lRequest.mCommandId), FirstHostCommandId,
                  "the toolbar button gets the identifier the host wrote into the first record");
    if (!mChecks.Check(lRequest.mRecordGiven,
                       "NPPM_ADDTOOLBARICON carries a toolbarIcons record")) {
        return;
    }
    mChecks.Check(lRequest.mIcon == nullptr, "hToolbarIcon is 0");
    std::string lSource = mWithToolbarPicture ? "from plugins\\Config\\Decide.bmp" : "built in";
    if (!mChecks.Check(lRequest.mBitmapValid, "hToolbarBmp is a bitmap (" + lSource + ")")) {
        return;
    }
    const BITMAP& lInfo = lRequest.mBitmapInfo;
    if (mWithToolbarPicture) {
        mChecks.Check(lInfo.bmWidth == ToolbarPictureSize && lInfo.bmHeight == ToolbarPictureSize,
                      "the toolbar bitmap has the picture's size",
                      std::to_string(lInfo.bmWidth) + " x " + std::to_string(lInfo.bmHeight));
        mChecks.Equal(static_cast<long long>(lRequest.mTopLeftPixel), ToolbarPictureColour,
                      "the toolbar bitmap shows the picture's colour");
    } else {
        mChecks.Check(lInfo.bmWidth > 0 && lInfo.bmHeight > 0,
                      "the built-in toolbar bitmap has a size");
    }
}

PluginCommand Session::CommandNamed(const wchar_t* aName) const {
    for (int i = 0; i < mCount; ++i) {
        if (std::wcsncmp(mTable[i]._itemName, aName, 64) == 0) {
            return mTable[i]._pFunc;
        }
    }
    return nullptr;
}

void Session::CheckEditorTraffic(const std::string& aWhat) {
    for (int lView : {0, 1}) {
        EditorTraffic& lTraffic = mNotepad.Editor(lView).mTraffic;
        for (const std::string& lFault : lTraffic.mFaults) {
            mChecks.Check(false, aWhat + ": editor " + std::to_string(lView), lFault);
        }
        mUncheckedBuffers += lTraffic.mUncheckedBuffers;
        for (const auto& [lMessageNumber, lCount] : lTraffic.mUnanswered) {
            mUnanswered[lMessageNumber] += lCount;
        }
    }
    for (const auto& [lMessageNumber, lCount] : mNotepad.mOtherHostMessages) {
        mUnanswered[lMessageNumber] += lCount;
    }
}

void Session::ExpectLog(const std::string& aWhat, const Document& aDocument,
                        const wchar_t* aCommand, const std::vector<std::wstring>& aMessages) {
    mChecks.SetActivity(aWhat);
    PluginCommand lCommand = CommandNamed(aCommand);
    if (!mChecks.Check(lCommand != nullptr, aWhat + ": the table has " + Utf8(aCommand))) {
        return;
    }
    mNotepad.Open(aDocument);
    mNotepad.ResetTraffic();
    long long lEarliest = LocalTimeOfDay();
    bool lReturned = Call(lCommand, aWhat);
    long long lLatest = LocalTimeOfDay();
    CheckEditorTraffic(aWhat);
    if (!lReturned) {
        return;
    }
    mChecks.Check(mResults.Visible(), aWhat + ": the results window shows");
    std::string lMismatch = LogMismatch(mResults.Text(), aMessages, lEarliest, lLatest);
    mChecks.Check(lMismatch.empty(), aWhat + ": the log", lMismatch);
    mResults.Close(ResultsWindow::CloseWay::CloseButton);
}

void Session::CheckCommands() {
    const std::string lSyllogism = ExampleText(L"syllogism.txt");
    const std::wstring lValid = L"The argument is valid.";
    const std::wstring lNecessary = L"The statement is necessarily true.";
    const std::wstring lContingent = L"The statement is contingent.";
    const std::wstring lNoContent = L"Error: No content found.";

    ExpectLog("Decide on syllogism.txt", MakeDocument(L"syllogism.txt", lSyllogism), L"Decide",
              {L"Deciding syllogism.txt...", lValid});
    const std::pair<const wchar_t*, std::wstring> lVerdicts[] = {
        {L"comments-and-replace.txt", lContingent},
        {L"identity-and-counting.txt", lValid},
        {L"modal.txt", lValid},
        {L"tautology.txt", lNecessary},
    };
    for (const auto& [lDocumentName, lVerdict] : lVerdicts) {
        ExpectLog("Decide on " + Utf8(lDocumentName),
                  MakeDocument(lDocumentName, ExampleText(lDocumentName)), L"Decide",
                  {L"Deciding " + std::wstring(lDocumentName) + L"...", lVerdict});
    }
    // Seven predicates: more kinds of worlds than the numbering holds, so the plugin's default
    // engine has to decide it with the SAT solver built into the library.
    ExpectLog("Decide on a sorites of seven predicates",
              MakeDocument(L"sorites.txt", "x, Ax -> Bx\nx, Bx -> Cx\nx, Cx -> Dx\nx, Dx -> Ex\n"
                                           "x, Ex -> Fx\nx, Fx -> Gx\n.'.\nx, Ax -> Gx\n"),
              L"Decide", {L"Deciding sorites.txt...", lValid});
    ExpectLog("Decide on a document with CR LF line ends",
              MakeDocument(L"syllogism-crlf.txt", WithCrLf(lSyllogism)), L"Decide",
              {L"Deciding syllogism-crlf.txt...", lValid});
    ExpectLog("Decide on an empty document", MakeDocument(L"new 1", ""), L"Decide",
              {L"Deciding new 1...", lNoContent});
    ExpectLog("Decide on a document that ends in NUL bytes",
              MakeDocument(L"nuls.txt", std::string("p | ~p\n\0\0", 9)), L"Decide",
              {L"Deciding nuls.txt...", lNecessary});
    ExpectLog("Decide on a parse error", MakeDocument(L"unbalanced.txt", "p & (q\n"), L"Decide",
              {L"Deciding unbalanced.txt...", L"Error: Found unmatched parenthesis in \"p&(q\""});

    const std::string lTautology = ExampleText(L"tautology.txt");
    ExpectLog("Decide Selected Text on a whole line",
              Selecting(MakeDocument(L"tautology.txt", lTautology), "((p -> q) -> p) -> p"),
              L"Decide Selected Text", {L"Deciding \"((p -> q) -> p) -> p\" ...", lNecessary});
    ExpectLog("Decide Selected Text on part of a line",
              Selecting(MakeDocument(L"tautology.txt", lTautology), "(p -> q) -> p"),
              L"Decide Selected Text", {L"Deciding \"(p -> q) -> p\" ...", lContingent});
    ExpectLog("Decide Selected Text with nothing selected",
              MakeDocument(L"syllogism.txt", lSyllogism), L"Decide Selected Text",
              {L"Deciding \"\" ...", lNoContent});
    ExpectLog("Decide Selected Text across CR LF lines",
              Selecting(MakeDocument(L"syllogism-crlf.txt", WithCrLf(lSyllogism)),
                        "x, Mx -> Fx\r\nMs\r\n.'.\r\nFs"),
              L"Decide Selected Text",
              {L"Deciding \"x, Mx -> Fx\r\nMs\r\n.'.\r\nFs\" ...", lValid});

    ExpectLog("Decide Selected Text across LF lines, shown with CR LF",
              Selecting(MakeDocument(L"syllogism.txt", lSyllogism), "x, Mx -> Fx\nMs\n.'.\nFs"),
              L"Decide Selected Text",
              {L"Deciding \"x, Mx -> Fx\r\nMs\r\n.'.\r\nFs\" ...", lValid});

    // A rectangular selection: Scintilla writes every row and its line end, more than the
    // distance between the selection's start and end; the plugin takes that many bytes only.
    Document lColumns = MakeDocument(L"columns.txt", "p\r\nq\r\n");
    lColumns.mSelectionStart = 0;
    lColumns.mSelectionEnd = 4;
    lColumns.mSelectedText = "p\r\nq\r\n";
    ExpectLog("Decide Selected Text on a rectangular selection", lColumns, L"Decide Selected Text",
              {L"Deciding \"p\r\nq\" ...", lContingent});
    mChecks.Check(mNotepad.CurrentEditor().mTraffic.mSelectedTextSizeAsked,
                  "the plugin asks SCI_GETSELTEXT for the size before giving it a buffer");
    // Rows cut from longer lines: the text is shorter than the extent, and nothing past what
    // the editor wrote may reach the log.
    Document lNarrowColumns = MakeDocument(L"columns.txt", "p | q\r\nq\r\n");
    lNarrowColumns.mSelectionStart = 0;
    lNarrowColumns.mSelectionEnd = 8;
    lNarrowColumns.mSelectedText = "p\r\nq\r\n";
    ExpectLog("Decide Selected Text on a rectangular selection shorter than its extent",
              lNarrowColumns, L"Decide Selected Text",
              {L"Deciding \"p\r\nq\r\n\" ...", lContingent});

    ExpectLog("Calculate Coefficient Vector", MakeDocument(L"or.txt", "p | q\n"),
              L"Calculate Coefficient Vector",
              {L"Calculating coefficients for or.txt...", L"[0, 1, 1, -1]", L"p + q - pq"});
    ExpectLog("Calculate Coefficient Vector with replacement words",
              MakeDocument(L"comments-and-replace.txt", ExampleText(L"comments-and-replace.txt")),
              L"Calculate Coefficient Vector",
              {L"Calculating coefficients for comments-and-replace.txt...", L"[1, -1, 0, 1]",
               L"1 - r + rw"});
    ExpectLog("Calculate Coefficient Vector of a predicate-logic argument",
              MakeDocument(L"syllogism.txt", lSyllogism), L"Calculate Coefficient Vector",
              {L"Calculating coefficients for syllogism.txt...",
               L"Error: Coefficient vectors are only defined for statements that only have "
               L"nullary predicates and truth-functional operators."});

    // The second view: the host answers 1 to NPPM_GETCURRENTSCINTILLA.
    mNotepad.mCurrentView = 0;
    mNotepad.Open(MakeDocument(L"syllogism.txt", lSyllogism));
    mNotepad.mCurrentView = 1;
    ExpectLog("Decide in the second view", MakeDocument(L"tautology.txt", lTautology), L"Decide",
              {L"Deciding tautology.txt...", lNecessary});
    mChecks.Check(mNotepad.Editor(1).mTraffic.Count(SCI_GETTEXT) > 0 &&
                      mNotepad.Editor(0).mTraffic.Count(SCI_GETTEXT) == 0,
                  "Decide in the second view reads the second editor only");
    ExpectLog("Decide Selected Text in the second view",
              Selecting(MakeDocument(L"tautology.txt", lTautology), "((p -> q) -> p) -> p"),
              L"Decide Selected Text", {L"Deciding \"((p -> q) -> p) -> p\" ...", lNecessary});
    mChecks.Check(mNotepad.Editor(1).mTraffic.Count(SCI_GETSELTEXT) > 0 &&
                      mNotepad.Editor(0).mTraffic.Count(SCI_GETSELTEXT) == 0,
                  "Decide Selected Text in the second view reads the second editor only");
    mNotepad.mCurrentView = 0;

    // UTF-8 documents reach the window as the characters they hold; an ANSI document is read
    // in the ANSI code page (1252 under wine).
    const std::string lReplacing = "#replace r\xC3\xA9gen p\r\nr\xC3\xA9gen | ~r\xC3\xA9gen";
    ExpectLog("Decide on UTF-8 with a non-ASCII replacement word and name",
              MakeDocument(L"r\u00E9gen-\u03C8.txt", lReplacing + "\r\n"), L"Decide",
              {L"Deciding r\u00E9gen-\u03C8.txt...", lNecessary});
    ExpectLog("Decide Selected Text on UTF-8 with a non-ASCII replacement word",
              Selecting(MakeDocument(L"regen.txt", lReplacing + "\r\n"), lReplacing),
              L"Decide Selected Text",
              {L"Deciding \"#replace r\u00E9gen p\r\nr\u00E9gen | ~r\u00E9gen\" ...", lNecessary});
    ExpectLog("Decide on UTF-8 quoted in an error",
              MakeDocument(L"quote-utf8.txt", "p \xE2\x82\xAC\xC3\xA9 q\n"), L"Decide",
              {L"Deciding quote-utf8.txt...", L"Error: Could not parse \"p\u20AC\u00E9q\""});
    ExpectLog("Decide on a byte that is no UTF-8, in a UTF-8 document",
              MakeDocument(L"broken-utf8.txt", "p \xE9 q\n"), L"Decide",
              {L"Deciding broken-utf8.txt...", L"Error: Could not parse \"p\uFFFDq\""});
    ExpectLog("Decide on ANSI quoted in an error",
              MakeDocument(L"quote-ansi.txt", "p \x80\xE9 q\n", 0), L"Decide",
              {L"Deciding quote-ansi.txt...", L"Error: Could not parse \"p\u20AC\u00E9q\""});
    ExpectLog("Decide Selected Text on ANSI",
              Selecting(MakeDocument(L"quote-ansi.txt", "p \x80\xE9 q\n", 0), "p \x80\xE9 q"),
              L"Decide Selected Text",
              {L"Deciding \"p \u20AC\u00E9 q\" ...", L"Error: Could not parse \"p\u20AC\u00E9q\""});
    // Logic symbols: in UTF-8 any of them, in ANSI the one the code page holds, the not sign.
    ExpectLog("Decide on UTF-8 logic symbols",
              MakeDocument(L"symbols.txt",
                           "\xE2\x88\x80x (Fx \xE2\x86\x92 Gx)\nFa\n\xE2\x88\xB4\nGa\n"),
              L"Decide", {L"Deciding symbols.txt...", lValid});
    ExpectLog("Decide on the not sign of the ANSI code page",
              MakeDocument(L"not-ansi.txt", "\xAC(p & \xACp)\n", 0), L"Decide",
              {L"Deciding not-ansi.txt...", lNecessary});
    ExpectLog("Decide on the not sign of the ANSI code page quoted in an error",
              MakeDocument(L"not-ansi-error.txt", "\xACp & & q\n", 0), L"Decide",
              {L"Deciding not-ansi-error.txt...", L"Error: Could not parse \"\u00ACp&\""});

    CheckClosing();
    for (const auto& [lMessageNumber, lCount] : mUnanswered) {
        mChecks.Note("the plugin sent message " + std::to_string(lMessageNumber) +
                     ", which this host "
                     "does not know, " +
                     std::to_string(lCount) + " times");
    }
    if (mUncheckedBuffers > 0) {
        mChecks.Note(
            std::to_string(mUncheckedBuffers) +
            " buffers given to the editor were no heap blocks; their size was not checked");
    }
}

void Session::CheckClosing() {
    const std::string lSyllogism = ExampleText(L"syllogism.txt");
    PluginCommand lDecide = CommandNamed(L"Decide");
    if (lDecide == nullptr) {
        return;
    }
    for (auto lCloseWay :
         {ResultsWindow::CloseWay::CloseButton, ResultsWindow::CloseWay::CancelCommand,
          ResultsWindow::CloseWay::OkCommand, ResultsWindow::CloseWay::EscapeKey,
          ResultsWindow::CloseWay::EnterKey}) {
        std::string lWay = ResultsWindow::Name(lCloseWay);
        mChecks.SetActivity("closing by " + lWay);
        mNotepad.Open(MakeDocument(L"syllogism.txt", lSyllogism));
        // Two commands, so that the log holds more than one command's lines when it closes.
        if (!Call(lDecide, "Decide before " + lWay) || !Call(lDecide, "Decide before " + lWay)) {
            return;
        }
        mChecks.Check(mResults.Visible() && !mResults.Text().empty(),
                      "before " + lWay + ": the window shows the log");
        mResults.Close(lCloseWay);
        mChecks.Check(!mResults.Visible(), lWay + " hides the results window");
        mChecks.Equal(mResults.Text(), L"", lWay + " empties the log");
    }
    // Closing leaves the window usable: the next command shows it with its own lines only.
    long long lEarliest = LocalTimeOfDay();
    if (Call(lDecide, "Decide after closing")) {
        std::string lMismatch =
            LogMismatch(mResults.Text(), {L"Deciding syllogism.txt...", L"The argument is valid."},
                        lEarliest, LocalTimeOfDay());
        mChecks.Check(mResults.Visible() && lMismatch.empty(),
                      "after closing, a command shows the window with only its own lines",
                      lMismatch);
    }
    mResults.Close(ResultsWindow::CloseWay::CloseButton);
}

void Session::TimeDecideShortcut() {
    mChecks.SetActivity("timing Ctrl+NumPad0");
    PluginCommand lCommand = nullptr;
    for (int i = 0; i < mCount; ++i) {
        const ShortcutKey* lKey = mTable[i]._pShKey;
        if (lKey != nullptr && lKey->_isCtrl && !lKey->_isAlt && !lKey->_isShift &&
            lKey->_key == VK_NUMPAD0) {
            lCommand = mTable[i]._pFunc;
        }
    }
    if (!mChecks.Check(lCommand != nullptr, "a record has the shortcut Ctrl+NumPad0") ||
        mResults.Log() == nullptr) {
        return;
    }
    mNotepad.Open(MakeDocument(L"syllogism.txt", ExampleText(L"syllogism.txt")));
    LogWatch::gNeedle = L"The argument is valid.";
    LogWatch::gOriginal = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        mResults.Log(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LogWatch::Procedure)));
    std::vector<double> lTimes;
    for (int lRun = 0; lRun < 6; ++lRun) {
        LogWatch::gSeenAt = 0;
        LONGLONG lStart = Ticks();
        if (!Call(lCommand, "Ctrl+NumPad0")) {
            break;
        }
        LONGLONG lReturned = Ticks();
        if (LogWatch::gSeenAt == 0 &&
            mResults.Text().find(LogWatch::gNeedle) != std::wstring::npos) {
            LogWatch::gSeenAt = lReturned;
        }
        if (!mChecks.Check(LogWatch::gSeenAt != 0,
                           "Ctrl+NumPad0 on syllogism.txt logs its verdict")) {
            break;
        }
        lTimes.push_back(Milliseconds(LogWatch::gSeenAt - lStart));
        mResults.Close(ResultsWindow::CloseWay::CloseButton);
    }
    SetWindowLongPtrW(mResults.Log(), GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(LogWatch::gOriginal));
    if (lTimes.size() == 6) {
        std::vector<double> lLater(lTimes.begin() + 1, lTimes.end());
        std::sort(lLater.begin(), lLater.end());
        mChecks.Note("Ctrl+NumPad0 to verdict line: first " + Fixed(lTimes[0]) +
                     " ms, median of 5 more " + Fixed(lLater[2]) + " ms");
    }
}

void Session::ShowForScreenshot(const std::wstring& aStopFile) {
    PluginCommand lDecide = CommandNamed(L"Decide");
    PluginCommand lSelected = CommandNamed(L"Decide Selected Text");
    PluginCommand lCoefficients = CommandNamed(L"Calculate Coefficient Vector");
    if (lDecide == nullptr || lSelected == nullptr || lCoefficients == nullptr) {
        mChecks.Check(false, "the table has the three logging commands");
        return;
    }
    mNotepad.Open(MakeDocument(L"syllogism.txt", ExampleText(L"syllogism.txt")));
    Call(lDecide, "Decide");
    mNotepad.Open(Selecting(MakeDocument(L"tautology.txt", ExampleText(L"tautology.txt")),
                            "((p -> q) -> p) -> p"));
    Call(lSelected, "Decide Selected Text");
    mNotepad.Open(MakeDocument(L"or.txt", "p | q\n"));
    Call(lCoefficients, "Calculate Coefficient Vector");
    mNotepad.Open(MakeDocument(L"unbalanced.txt", "p & (q\n"));
    Call(lDecide, "Decide on a parse error");
    mChecks.Check(mResults.Visible(), "the results window shows");

    HoldForPicture(mResults.Window(), aStopFile);
}

void Session::Shut(bool aCloseHost) {
    HWND lResultsWindow = mResults.Window();
    Notify(NPPN_SHUTDOWN, "NPPN_SHUTDOWN");
    // The window goes now, not when the library is freed: under the loader lock that could hang
    // the host.
    mChecks.Check(lResultsWindow == nullptr || !IsWindow(lResultsWindow),
                  "NPPN_SHUTDOWN takes the results window down");
    // The host may still read the table and the name while it closes.
    mChecks.SetActivity("the exports after NPPN_SHUTDOWN");
    int lCount = -1;
    mChecks.Check(mPlugin->getFuncsArray(&lCount) == mTable && lCount == mCount,
                  "after NPPN_SHUTDOWN getFuncsArray gives the same table");
    const wchar_t* lName = mPlugin->getName();
    mChecks.Check(lName != nullptr && std::wstring_view(lName) == L"Quendral",
                  "after NPPN_SHUTDOWN getName still gives the name");
    mChecks.Equal(mPlugin->isUnicode(), TRUE, "after NPPN_SHUTDOWN isUnicode still answers");
    mChecks.Equal(static_cast<long long>(mPlugin->messageProc(WM_NULL, 0, 0)), 1,
                  "after NPPN_SHUTDOWN messageProc still answers 1");
    if (!aCloseHost) {
        return;
    }
    mChecks.SetActivity("closing the host and freeing the library");
    mNotepad.Close();
    PumpMessages();
    mPlugin->Unload();
    PumpMessages();
    mChecks.Check(lResultsWindow == nullptr || !IsWindow(lResultsWindow),
                  "no window of the plugin outlives the host's window and the library");
}

} // namespace Logic::Testing
