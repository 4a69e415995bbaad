#include "host/ResultsWindow.h"

#include <optional>
#include <string_view>

#include "host/DarkMode.h"
#include "host/PluginModule.h"
#include "host/Resources.h"
#include "model/EngineException.h"
#include "platform/Shielded.h"
#include "platform/Win32Text.h"

namespace Logic::Npp {

namespace {
// The layout in pixels at 96 dots per inch; larger settings scale it.
constexpr int ClientWidth = 575;
constexpr int ClientHeight = 498;
constexpr RECT LogArea{3, 3, 3 + 569, 3 + 355};
constexpr RECT ButtonArea{445, 446, 445 + 75, 446 + 23};
constexpr DWORD WindowStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD WindowExStyle = WS_EX_DLGMODALFRAME;
constexpr const wchar_t* PreviousProcedure = L"QuendralPreviousProcedure";

/// The class is registered once per process; its background is the tiled picture.
void RegisterWindowClass(WNDPROC aProcedure) {
    static const bool lRegistered = [aProcedure] {
        HINSTANCE lModule = PluginModule();
        WNDCLASSEXW lClass{};
        lClass.cbSize = sizeof lClass;
        lClass.lpfnWndProc = aProcedure;
        lClass.hInstance = lModule;
        lClass.hIcon = LoadIconW(lModule, MAKEINTRESOURCEW(QUENDRAL_ICON));
        lClass.hIconSm = static_cast<HICON>(
            LoadImageW(lModule, MAKEINTRESOURCEW(QUENDRAL_ICON), IMAGE_ICON, 16, 16, 0));
        lClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        HBITMAP lPicture = LoadBitmapW(lModule, L"" QUENDRAL_BACKGROUND_NAME);
        lClass.hbrBackground =
            lPicture != nullptr ? CreatePatternBrush(lPicture) : GetSysColorBrush(COLOR_BTNFACE);
        lClass.lpszClassName = ResultsWindow::ClassName;
        return RegisterClassExW(&lClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!lRegistered) {
        throw EngineException("The results window cannot be registered: {0}",
                              Platform::LastErrorText());
    }
}

/// aPixels at 96 dots per inch, in the screen's dots.
int Scaled(int aPixels) {
    static const int lDotsPerInch = [] {
        HDC lScreen = GetDC(nullptr);
        const int lDots = lScreen != nullptr ? GetDeviceCaps(lScreen, LOGPIXELSY) : 96;
        if (lScreen != nullptr) {
            ReleaseDC(nullptr, lScreen);
        }
        return lDots > 0 ? lDots : 96;
    }();
    return MulDiv(aPixels, lDotsPerInch, 96);
}

BOOL CALLBACK ReleaseIfResultsWindow(HWND aWindow, LPARAM) {
    wchar_t lClass[64] = {};
    GetClassNameW(aWindow, lClass, 64);
    if (std::wstring_view(lClass) == ResultsWindow::ClassName) {
        // Forget the object first: the window's last messages need nothing of it.
        SetWindowLongPtrW(aWindow, GWLP_USERDATA, 0);
        DestroyWindow(aWindow);
    }
    return TRUE;
}

} // namespace

ResultsWindow::ResultsWindow(HWND aOwner) : mOwner(IsWindow(aOwner) ? aOwner : nullptr) {
    RegisterWindowClass(&ResultsWindow::WindowProcedure);
    RECT lFrame{0, 0, Scaled(ClientWidth), Scaled(ClientHeight)};
    AdjustWindowRectEx(&lFrame, WindowStyle, FALSE, WindowExStyle);
    mWindow = CreateWindowExW(WindowExStyle, ClassName, Title, WindowStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, lFrame.right - lFrame.left, lFrame.bottom - lFrame.top,
                              mOwner, nullptr, PluginModule(), this);
    if (mWindow == nullptr) {
        throw EngineException("The results window cannot be made: {0}", Platform::LastErrorText());
    }
    HINSTANCE lModule = PluginModule();
    HWND lLog = mLog.Make(mWindow, WS_TABSTOP);
    mCloseButton = CreateWindowExW(
        0, L"Button", L"&Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_FLAT, 0,
        0, 0, 0, mWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), lModule,
        nullptr);
    if (lLog == nullptr || mCloseButton == nullptr) {
        std::string lReason = Platform::LastErrorText();
        DestroyWindow(mWindow);
        mWindow = nullptr;
        throw EngineException("The results window cannot be made: {0}", lReason);
    }
    SendMessageW(mCloseButton, WM_SETFONT,
                 reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    // Without a dialog manager in the host's message loop, Enter and Escape reach the focused
    // control; both controls pass them on as a click on Close.
    for (HWND lControl : {lLog, mCloseButton}) {
        SetPropW(lControl, PreviousProcedure,
                 reinterpret_cast<HANDLE>(GetWindowLongPtrW(lControl, GWLP_WNDPROC)));
        SetWindowLongPtrW(lControl, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(&ResultsWindow::ControlProcedure));
    }
    Layout();
    DarkMode::Follow(mWindow);
}

ResultsWindow::~ResultsWindow() {
    if (mWindow != nullptr && IsWindow(mWindow)) {
        SetWindowLongPtrW(mWindow, GWLP_USERDATA, 0);
        DestroyWindow(mWindow);
    }
}

void ResultsWindow::ReleaseWindowsOfThisThread() noexcept {
    EnumThreadWindows(GetCurrentThreadId(), &ReleaseIfResultsWindow, 0);
    UnregisterClassW(ClassName, PluginModule());
}

void ResultsWindow::Show() {
    if (!IsWindowVisible(mWindow)) {
        CentreOnOwner();
    }
    ShowWindow(mWindow, SW_SHOWNORMAL);
    UpdateWindow(mWindow);
}

void ResultsWindow::BringToFront() {
    BringWindowToTop(mWindow);
    SetForegroundWindow(mWindow);
}

bool ResultsWindow::IsVisible() const {
    return IsWindowVisible(mWindow) != FALSE;
}

void ResultsWindow::AppendLine(const std::string& aLine) { mLog.AppendLine(aLine); }

void ResultsWindow::HandlePendingEvents() { HandlePendingWindowMessages(); }

void ResultsWindow::Hide() {
    ShowWindow(mWindow, SW_HIDE);
}

void ResultsWindow::Clear() { mLog.Clear(); }

void ResultsWindow::Close() {
    if (mCloseAction) {
        mCloseAction();
    } else {
        Hide();
        Clear();
    }
}

void ResultsWindow::Layout() {
    const auto fPlace = [](HWND fControl, const RECT& fArea) {
        MoveWindow(fControl, Scaled(fArea.left), Scaled(fArea.top),
                   Scaled(fArea.right - fArea.left), Scaled(fArea.bottom - fArea.top), TRUE);
    };
    fPlace(mLog.Handle(), LogArea);
    fPlace(mCloseButton, ButtonArea);
}

void ResultsWindow::CentreOnOwner() {
    RECT lArea;
    if (mOwner == nullptr || !IsWindow(mOwner) || IsIconic(mOwner) ||
        !GetWindowRect(mOwner, &lArea)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &lArea, 0);
    }
    RECT lOwn;
    GetWindowRect(mWindow, &lOwn);
    int lWidth = lOwn.right - lOwn.left;
    int lHeight = lOwn.bottom - lOwn.top;
    int lLeft = lArea.left + (lArea.right - lArea.left - lWidth) / 2;
    int lTop = lArea.top + (lArea.bottom - lArea.top - lHeight) / 2;
    SetWindowPos(mWindow, nullptr, lLeft, lTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT ResultsWindow::OnMessage(UINT aMessage, WPARAM aWParam, LPARAM aLParam) {
    switch (aMessage) {
    case WM_COMMAND:
        if (LOWORD(aWParam) == IDCANCEL || LOWORD(aWParam) == IDOK) {
            Close();
            return 0;
        }
        break;
    case WM_CLOSE:
        // Alt+F4 and the task bar close like the button; the window itself stays for reuse.
        Close();
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (std::optional<LRESULT> lBrush = mLog.Colour(aWParam, aLParam)) {
            return *lBrush;
        }
        break;
    case WM_ERASEBKGND:
        // In dark mode the light picture gives way to the host's background colour.
        if (DarkMode::Enabled()) {
            RECT lArea;
            GetClientRect(mWindow, &lArea);
            FillRect(reinterpret_cast<HDC>(aWParam), &lArea,
                     mDarkBackground.Of(DarkMode::DarkColours().mBackground));
            return 1;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(aWParam) != WA_INACTIVE) {
            SetFocus(mCloseButton);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(mWindow, aMessage, aWParam, aLParam);
}

LRESULT CALLBACK ResultsWindow::WindowProcedure(HWND aWindow, UINT aMessage, WPARAM aWParam,
                                                LPARAM aLParam) noexcept {
    // A failure in the window must not reach the editor's message loop: the message then gets
    // the default handling.
    std::optional<LRESULT> lResult = Shielded("the results window", std::optional<LRESULT>(), [&] {
        if (aMessage == WM_NCCREATE) {
            auto* lCreate = reinterpret_cast<CREATESTRUCTW*>(aLParam);
            auto* lThis = static_cast<ResultsWindow*>(lCreate->lpCreateParams);
            lThis->mWindow = aWindow;
            SetWindowLongPtrW(aWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(lThis));
        }
        auto* lThis = reinterpret_cast<ResultsWindow*>(GetWindowLongPtrW(aWindow, GWLP_USERDATA));
        if (lThis != nullptr && lThis->mLog.Handle() != nullptr) {
            return std::optional<LRESULT>(lThis->OnMessage(aMessage, aWParam, aLParam));
        }
        return std::optional<LRESULT>();
    });
    return lResult ? *lResult : DefWindowProcW(aWindow, aMessage, aWParam, aLParam);
}

LRESULT CALLBACK ResultsWindow::ControlProcedure(HWND aControl, UINT aMessage, WPARAM aWParam,
                                                 LPARAM aLParam) noexcept {
    auto lPrevious = reinterpret_cast<WNDPROC>(GetPropW(aControl, PreviousProcedure));
    if (aMessage == WM_KEYDOWN && (aWParam == VK_ESCAPE || aWParam == VK_RETURN)) {
        PostMessageW(GetParent(aControl), WM_COMMAND, IDCANCEL, 0);
        return 0;
    }
    if (aMessage == WM_CHAR && (aWParam == VK_ESCAPE || aWParam == VK_RETURN)) {
        return 0; // no beep
    }
    if (aMessage == WM_KEYDOWN && aWParam == VK_TAB) {
        HWND lParent = GetParent(aControl);
        SetFocus(GetNextDlgTabItem(lParent, aControl, GetKeyState(VK_SHIFT) < 0));
        return 0;
    }
    if (aMessage == WM_NCDESTROY) {
        RemovePropW(aControl, PreviousProcedure);
    }
    return lPrevious != nullptr ? CallWindowProcW(lPrevious, aControl, aMessage, aWParam, aLParam)
                                : DefWindowProcW(aControl, aMessage, aWParam, aLParam);
}

} // namespace Logic::Npp
