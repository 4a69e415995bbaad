#include "host/DockedPanel.h"

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
constexpr const wchar_t* PreviousProcedure = L"QuendralPreviousProcedure";

void RegisterWindowClass(WNDPROC aProcedure) {
    static const bool lRegistered = [aProcedure] {
        WNDCLASSEXW lClass{};
        lClass.cbSize = sizeof lClass;
        lClass.lpfnWndProc = aProcedure;
        lClass.hInstance = PluginModule();
        lClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        lClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        lClass.lpszClassName = DockedPanel::ClassName;
        return RegisterClassExW(&lClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!lRegistered) {
        throw EngineException("The results panel cannot be registered: {0}",
                              Platform::LastErrorText());
    }
}

BOOL CALLBACK ReleaseIfPanel(HWND aWindow, LPARAM) {
    wchar_t lClass[64] = {};
    GetClassNameW(aWindow, lClass, 64);
    if (std::wstring_view(lClass) == DockedPanel::ClassName) {
        SetWindowLongPtrW(aWindow, GWLP_USERDATA, 0);
        DestroyWindow(aWindow);
    }
    return TRUE;
}

/// Every window of this thread, children too: the editor makes the panel a child of its own.
BOOL CALLBACK ReleasePanelsBelow(HWND aWindow, LPARAM aUnused) {
    EnumChildWindows(aWindow, &ReleaseIfPanel, aUnused);
    return ReleaseIfPanel(aWindow, aUnused);
}

/// The file name of the plugin library, which the editor takes for the panel's owner.
std::wstring ModuleFileName() {
    wchar_t lPath[MAX_PATH * 4] = {};
    DWORD lLength = GetModuleFileNameW(PluginModule(), lPath, MAX_PATH * 4);
    std::wstring_view lFull(lPath, lLength);
    size_t lSlash = lFull.find_last_of(L"\\/");
    std::wstring lName(lSlash == std::wstring_view::npos ? lFull : lFull.substr(lSlash + 1));
    return lName.empty() ? std::wstring(L"Quendral.dll") : lName;
}
} // namespace

DockedPanel::~DockedPanel() {
    if (mWindow != nullptr && IsWindow(mWindow)) {
        SetWindowLongPtrW(mWindow, GWLP_USERDATA, 0);
        DestroyWindow(mWindow);
    }
    if (mIcon != nullptr) {
        DestroyIcon(mIcon);
    }
}

void DockedPanel::ReleaseWindowsOfThisThread() noexcept {
    EnumThreadWindows(GetCurrentThreadId(), &ReleasePanelsBelow, 0);
    UnregisterClassW(ClassName, PluginModule());
}

void DockedPanel::Make() {
    RegisterWindowClass(&DockedPanel::WindowProcedure);
    // A hidden child of the editor until the editor moves it into its docking container.
    mWindow = CreateWindowExW(0, ClassName, Title, WS_CHILD | WS_CLIPCHILDREN, 0, 0, 400, 150,
                              IsWindow(mHost) ? mHost : nullptr, nullptr, PluginModule(), this);
    if (mWindow == nullptr) {
        throw EngineException("The results panel cannot be made: {0}", Platform::LastErrorText());
    }
    HWND lLog = mLog.Make(mWindow);
    if (lLog == nullptr) {
        std::string lReason = Platform::LastErrorText();
        DestroyWindow(mWindow);
        mWindow = nullptr;
        throw EngineException("The results panel cannot be made: {0}", lReason);
    }
    SetPropW(lLog, PreviousProcedure,
             reinterpret_cast<HANDLE>(GetWindowLongPtrW(lLog, GWLP_WNDPROC)));
    SetWindowLongPtrW(lLog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DockedPanel::LogProcedure));
    RECT lClient{};
    GetClientRect(mWindow, &lClient);
    MoveWindow(lLog, 0, 0, lClient.right, lClient.bottom, FALSE);
    // Its controls are made: the host themes it by its mode now and at every change.
    DarkMode::Follow(mWindow);
}

void DockedPanel::Register() {
    const int lIconSize = GetSystemMetrics(SM_CXSMICON);
    mIcon = static_cast<HICON>(LoadImageW(PluginModule(), MAKEINTRESOURCEW(QUENDRAL_ICON),
                                          IMAGE_ICON, lIconSize, lIconSize, 0));
    mModuleName = ModuleFileName();
    mRecord = tTbData{};
    mRecord.hClient = mWindow;
    mRecord.pszName = Title;
    mRecord.dlgID = mCommandIndex;
    mRecord.uMask = DWS_DF_CONT_BOTTOM | DWS_ICONTAB;
    mRecord.hIconTab = mIcon;
    mRecord.pszAddInfo = nullptr;
    mRecord.pszModuleName = mModuleName.c_str();
    SendMessageW(mHost, NPPM_DMMREGASDCKDLG, 0, reinterpret_cast<LPARAM>(&mRecord));
    mRegistered = true;
}

void DockedPanel::Show() {
    if (mWindow == nullptr) {
        Make();
    }
    if (!mRegistered) {
        Register();
    }
    SendMessageW(mHost, NPPM_DMMSHOW, 0, reinterpret_cast<LPARAM>(mWindow));
}

bool DockedPanel::IsVisible() const {
    return mRegistered && IsWindowVisible(mWindow) != FALSE;
}

void DockedPanel::AppendLine(const std::string& aLine) {
    if (mLog.Handle() == nullptr) {
        Make();
    }
    mLog.AppendLine(aLine);
}

void DockedPanel::HandlePendingEvents() { HandlePendingWindowMessages(); }

void DockedPanel::Hide() {
    if (mRegistered) {
        SendMessageW(mHost, NPPM_DMMHIDE, 0, reinterpret_cast<LPARAM>(mWindow));
    }
}

void DockedPanel::Clear() { mLog.Clear(); }

void DockedPanel::Close() {
    if (mCloseAction) {
        mCloseAction();
    } else {
        Hide();
        Clear();
    }
}

LRESULT DockedPanel::OnMessage(UINT aMessage, WPARAM aWParam, LPARAM aLParam) {
    switch (aMessage) {
    case WM_SIZE:
        MoveWindow(mLog.Handle(), 0, 0, LOWORD(aLParam), HIWORD(aLParam), TRUE);
        return 0;
    case WM_COMMAND:
        if (LOWORD(aWParam) == IDCANCEL) {
            Close();
            return 0;
        }
        break;
    case WM_NOTIFY: {
        // The user closed the panel in the editor, which hides it: its log goes too, as when
        // the results window closes.
        const auto* lHeader = reinterpret_cast<const NMHDR*>(aLParam);
        if (lHeader != nullptr && LOWORD(lHeader->code) == DMN_CLOSE) {
            Clear();
            return 0;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (std::optional<LRESULT> lBrush = mLog.Colour(aWParam, aLParam)) {
            return *lBrush;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(mWindow, aMessage, aWParam, aLParam);
}

LRESULT CALLBACK DockedPanel::WindowProcedure(HWND aWindow, UINT aMessage, WPARAM aWParam,
                                              LPARAM aLParam) noexcept {
    std::optional<LRESULT> lResult = Shielded("the results panel", std::optional<LRESULT>(), [&] {
        if (aMessage == WM_NCCREATE) {
            auto* lCreate = reinterpret_cast<CREATESTRUCTW*>(aLParam);
            auto* lThis = static_cast<DockedPanel*>(lCreate->lpCreateParams);
            lThis->mWindow = aWindow;
            SetWindowLongPtrW(aWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(lThis));
        }
        auto* lThis = reinterpret_cast<DockedPanel*>(GetWindowLongPtrW(aWindow, GWLP_USERDATA));
        if (lThis != nullptr && lThis->mLog.Handle() != nullptr) {
            return std::optional<LRESULT>(lThis->OnMessage(aMessage, aWParam, aLParam));
        }
        return std::optional<LRESULT>();
    });
    return lResult ? *lResult : DefWindowProcW(aWindow, aMessage, aWParam, aLParam);
}

LRESULT CALLBACK DockedPanel::LogProcedure(HWND aControl, UINT aMessage, WPARAM aWParam,
                                           LPARAM aLParam) noexcept {
    auto lPrevious = reinterpret_cast<WNDPROC>(GetPropW(aControl, PreviousProcedure));
    const auto* lKey = reinterpret_cast<const MSG*>(aLParam);
    if (aMessage == WM_GETDLGCODE && lKey != nullptr && lKey->message == WM_KEYDOWN &&
        lKey->wParam == VK_ESCAPE) {
        // A dialog manager around the panel would take Escape for itself.
        return DLGC_WANTMESSAGE;
    }
    if (aMessage == WM_KEYDOWN && aWParam == VK_ESCAPE) {
        PostMessageW(GetParent(aControl), WM_COMMAND, IDCANCEL, 0);
        return 0;
    }
    if (aMessage == WM_CHAR && aWParam == VK_ESCAPE) {
        return 0; // no beep
    }
    if (aMessage == WM_NCDESTROY) {
        RemovePropW(aControl, PreviousProcedure);
    }
    return lPrevious != nullptr ? CallWindowProcW(lPrevious, aControl, aMessage, aWParam, aLParam)
                                : DefWindowProcW(aControl, aMessage, aWParam, aLParam);
}

} // namespace Logic::Npp
