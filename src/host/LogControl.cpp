#include "host/LogControl.h"

#include "host/DarkMode.h"
#include "host/PluginModule.h"
#include "platform/Win32Text.h"

namespace Logic::Npp {

namespace {
/// Lines that end in a bare line feed (a multi-line message) would not break in the log.
std::wstring WithWindowsLineBreaks(const std::wstring& aText) {
    std::wstring lResult;
    lResult.reserve(aText.size() + 2);
    for (size_t i = 0; i < aText.size(); ++i) {
        if (aText[i] == L'\n' && (i == 0 || aText[i - 1] != L'\r')) {
            lResult += L'\r';
        }
        lResult += aText[i];
    }
    return lResult;
}
} // namespace

SolidBrush::~SolidBrush() {
    if (mBrush != nullptr) {
        DeleteObject(mBrush);
    }
}

HBRUSH SolidBrush::Of(COLORREF aColour) {
    if (mBrush == nullptr || mColour != aColour) {
        if (mBrush != nullptr) {
            DeleteObject(mBrush);
        }
        mBrush = CreateSolidBrush(aColour);
        mColour = aColour;
    }
    return mBrush;
}

HWND LogControl::Make(HWND aParent, DWORD aExtraStyle) {
    mLog = CreateWindowExW(0, L"Edit", L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                               ES_AUTOVSCROLL | aExtraStyle,
                           0, 0, 0, 0, aParent, nullptr, PluginModule(), nullptr);
    if (mLog == nullptr) {
        return nullptr;
    }
    // The log holds as much as the user runs; the default limit is 32,767 characters.
    SendMessageW(mLog, EM_SETLIMITTEXT, 0, 0);
    SendMessageW(mLog, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return mLog;
}

void LogControl::AppendLine(const std::string& aLine) {
    std::wstring lText = WithWindowsLineBreaks(Platform::Widen(aLine)) + L"\r\n";
    int lEnd = GetWindowTextLengthW(mLog);
    SendMessageW(mLog, EM_SETSEL, static_cast<WPARAM>(lEnd), static_cast<LPARAM>(lEnd));
    SendMessageW(mLog, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(lText.c_str()));
    SendMessageW(mLog, EM_SCROLLCARET, 0, 0);
}

void LogControl::Clear() {
    if (mLog != nullptr) {
        SetWindowTextW(mLog, L"");
    }
}

std::optional<LRESULT> LogControl::Colour(WPARAM aContext, LPARAM aControl) {
    if (mLog == nullptr || reinterpret_cast<HWND>(aControl) != mLog) {
        return std::nullopt;
    }
    // The log in the host's colours: dark ones in dark mode, else black on white.
    HDC lContext = reinterpret_cast<HDC>(aContext);
    if (DarkMode::Enabled()) {
        const DarkMode::Colours lColours = DarkMode::DarkColours();
        SetBkColor(lContext, lColours.mSofterBackground);
        SetTextColor(lContext, lColours.mText);
        return reinterpret_cast<LRESULT>(mDark.Of(lColours.mSofterBackground));
    }
    SetBkColor(lContext, RGB(255, 255, 255));
    SetTextColor(lContext, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(mLight.Of(RGB(255, 255, 255)));
}

void HandlePendingWindowMessages() {
    MSG lMessage;
    while (PeekMessageW(&lMessage, nullptr, 0, 0, PM_REMOVE)) {
        if (lMessage.message == WM_QUIT) {
            // The host's own loop must still see it.
            PostQuitMessage(static_cast<int>(lMessage.wParam));
            return;
        }
        TranslateMessage(&lMessage);
        DispatchMessageW(&lMessage);
    }
}

} // namespace Logic::Npp
