#include "ResultsWindow.h"

#include "Checks.h"
#include "FakeNotepad.h"

namespace Logic::Testing {

namespace {

std::wstring ClassOf(HWND aWindow) {
    wchar_t lName[256] = {};
    GetClassNameW(aWindow, lName, 256);
    return lName;
}

struct Search {
    bool mByTitle;
    HWND mFound = nullptr;
};

BOOL CALLBACK Visit(HWND aWindow, LPARAM aSearch) {
    auto* lSearch = reinterpret_cast<Search*>(aSearch);
    DWORD lProcess = 0;
    GetWindowThreadProcessId(aWindow, &lProcess);
    if (lProcess != GetCurrentProcessId()) {
        return TRUE;
    }
    bool lMatches = lSearch->mByTitle ? WindowText(aWindow) == ResultsWindow::Title
                                      : ClassOf(aWindow) == ResultsWindow::ClassName;
    if (lMatches) {
        lSearch->mFound = aWindow;
        return FALSE;
    }
    return TRUE;
}

void PressKey(HWND aWindow, WPARAM aKey) {
    UINT lScanCode = MapVirtualKeyW(static_cast<UINT>(aKey), MAPVK_VK_TO_VSC);
    PostMessageW(aWindow, WM_KEYDOWN, aKey, 1 | (static_cast<LPARAM>(lScanCode) << 16));
    PumpMessages();
    PostMessageW(aWindow, WM_KEYUP, aKey, 1 | (static_cast<LPARAM>(lScanCode) << 16) | (3L << 30));
    PumpMessages();
}

} // namespace

ResultsWindow ResultsWindow::Find() {
    ResultsWindow lResult;
    for (bool lByTitle : {false, true}) {
        Search lSearch{lByTitle};
        EnumWindows(&Visit, reinterpret_cast<LPARAM>(&lSearch));
        if (lSearch.mFound != nullptr) {
            lResult.mWindow = lSearch.mFound;
            break;
        }
    }
    if (lResult.mWindow != nullptr) {
        lResult.mLog = FindWindowExW(lResult.mWindow, nullptr, L"Edit", nullptr);
        lResult.mCloseButton = FindWindowExW(lResult.mWindow, nullptr, L"Button", nullptr);
    }
    return lResult;
}

std::wstring ResultsWindow::ClassOfWindow() const {
    return ClassOf(mWindow);
}
std::wstring ResultsWindow::TitleOfWindow() const {
    return WindowText(mWindow);
}
std::wstring ResultsWindow::CloseButtonText() const {
    return WindowText(mCloseButton);
}
std::wstring ResultsWindow::Text() const {
    return Exists() ? WindowText(mLog) : std::wstring();
}

const char* ResultsWindow::Name(CloseWay aWay) {
    switch (aWay) {
    case CloseWay::CloseButton:
        return "clicking Close";
    case CloseWay::CancelCommand:
        return "the IDCANCEL command";
    case CloseWay::OkCommand:
        return "the IDOK command";
    case CloseWay::EscapeKey:
        return "Escape in the log";
    case CloseWay::EnterKey:
        return "Enter in the log";
    }
    return "?";
}

void ResultsWindow::Close(CloseWay aWay) const {
    switch (aWay) {
    case CloseWay::CloseButton:
        SendMessageW(mCloseButton, BM_CLICK, 0, 0);
        break;
    case CloseWay::CancelCommand:
        SendMessageW(mWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        break;
    case CloseWay::OkCommand:
        SendMessageW(mWindow, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        break;
    case CloseWay::EscapeKey:
        SetFocus(mLog);
        PressKey(mLog, VK_ESCAPE);
        break;
    case CloseWay::EnterKey:
        SetFocus(mLog);
        PressKey(mLog, VK_RETURN);
        break;
    }
    PumpMessages();
}

long long LocalTimeOfDay() {
    SYSTEMTIME lNow;
    GetLocalTime(&lNow);
    FILETIME lFileTime;
    SystemTimeToFileTime(&lNow, &lFileTime);
    // GetLocalTime has milliseconds only; the plugin's clock may be finer.
    ULARGE_INTEGER lUnits;
    lUnits.LowPart = lFileTime.dwLowDateTime;
    lUnits.HighPart = lFileTime.dwHighDateTime;
    constexpr unsigned long long UnitsPerDay = 864000000000ULL;
    return static_cast<long long>(lUnits.QuadPart % UnitsPerDay);
}

namespace {

bool Digits(const std::wstring& aText, std::size_t aAt, std::size_t aCount, long long& aValue) {
    if (aAt + aCount > aText.size()) {
        return false;
    }
    aValue = 0;
    for (std::size_t i = aAt; i < aAt + aCount; ++i) {
        if (aText[i] < L'0' || aText[i] > L'9') {
            return false;
        }
        aValue = aValue * 10 + (aText[i] - L'0');
    }
    return true;
}

/// Reads "hh:mm:ss" and an optional ".fffffff" at aAt; advances aAt past it.
bool ReadTime(const std::wstring& aText, std::size_t& aAt, long long& aTime) {
    long long lHours, lMinutes, lSeconds;
    if (!Digits(aText, aAt, 2, lHours) || aText[aAt + 2] != L':' ||
        !Digits(aText, aAt + 3, 2, lMinutes) || aText[aAt + 5] != L':' ||
        !Digits(aText, aAt + 6, 2, lSeconds) || lHours > 23 || lMinutes > 59 || lSeconds > 59) {
        return false;
    }
    aAt += 8;
    aTime = ((lHours * 60 + lMinutes) * 60 + lSeconds) * 10000000;
    if (aAt < aText.size() && aText[aAt] == L'.') {
        long long lFraction;
        if (!Digits(aText, aAt + 1, 7, lFraction) ||
            (aAt + 8 < aText.size() && aText[aAt + 8] >= L'0' && aText[aAt + 8] <= L'9') ||
            lFraction == 0) {
            return false;
        }
        aTime += lFraction;
        aAt += 8;
    }
    return true;
}

} // namespace

std::string LogMismatch(const std::wstring& aText, const std::vector<std::wstring>& aMessages,
                        long long aEarliest, long long aLatest) {
    std::size_t lAt = 0;
    long long lPrevious = -1;
    for (std::size_t i = 0; i < aMessages.size(); ++i) {
        std::string lEntry = "entry " + std::to_string(i + 1) + " (" + Quoted(aMessages[i]) + ")";
        std::wstring lRest = aText.substr(lAt);
        long long lTime = 0;
        if (!ReadTime(aText, lAt, lTime)) {
            return lEntry + ": no time stamp \"hh:mm:ss[.fffffff]\" at " + Quoted(lRest);
        }
        // The plugin's clock and ours are read at different moments of the same command; a
        // second either side allows for clocks of coarser resolution without hiding a wrong zone.
        constexpr long long Slack = 10000000;
        if (aLatest >= aEarliest && (lTime < aEarliest - Slack || lTime > aLatest + Slack)) {
            return lEntry + ": time of day " + Utf8(aText.substr(lAt - 8, 8)) +
                   " is not the local time of the command";
        }
        if (lTime < lPrevious && aLatest >= aEarliest) {
            return lEntry + ": its time of day is before the previous entry's";
        }
        lPrevious = lTime;
        std::wstring lExpected = L": " + aMessages[i] + L"\r\n";
        if (aText.compare(lAt, lExpected.size(), lExpected) != 0) {
            return lEntry + ": got " + Quoted(lRest);
        }
        lAt += lExpected.size();
    }
    if (lAt != aText.size()) {
        return "after " + std::to_string(aMessages.size()) +
               " entries, more text: " + Quoted(aText.substr(lAt));
    }
    return {};
}

std::wstring WindowText(HWND aWindow) {
    if (aWindow == nullptr || !IsWindow(aWindow)) {
        return {};
    }
    auto lLength = SendMessageW(aWindow, WM_GETTEXTLENGTH, 0, 0);
    std::wstring lText(static_cast<std::size_t>(lLength) + 1, L'\0');
    auto lCopied =
        SendMessageW(aWindow, WM_GETTEXT, lText.size(), reinterpret_cast<LPARAM>(lText.data()));
    lText.resize(static_cast<std::size_t>(lCopied));
    return lText;
}

} // namespace Logic::Testing
