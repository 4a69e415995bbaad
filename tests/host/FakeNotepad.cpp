#include "FakeNotepad.h"

#include <algorithm>
#include <cstring>

namespace Logic::Testing {

namespace {

constexpr const wchar_t* MainWindowClass = L"Notepad++";
constexpr const wchar_t* EditorClass = L"Scintilla";

std::vector<HWND> gModelessDialogs;

template <typename T>
LRESULT Dispatch(HWND aWindow, UINT aMessage, WPARAM aWParam, LPARAM aLParam) {
    if (aMessage == WM_NCCREATE) {
        auto* lCreation = reinterpret_cast<CREATESTRUCTW*>(aLParam);
        SetWindowLongPtrW(aWindow, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(lCreation->lpCreateParams));
    }
    auto* lThis = reinterpret_cast<T*>(GetWindowLongPtrW(aWindow, GWLP_USERDATA));
    if (lThis == nullptr || aMessage < WM_USER) {
        return DefWindowProcW(aWindow, aMessage, aWParam, aLParam);
    }
    return lThis->Answer(aMessage, aWParam, aLParam);
}

void RegisterClassOnce(const wchar_t* aName, WNDPROC aProcedure) {
    WNDCLASSEXW lClass{};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), aName, &lClass)) {
        return;
    }
    lClass.cbSize = sizeof lClass;
    lClass.lpfnWndProc = aProcedure;
    lClass.hInstance = GetModuleHandleW(nullptr);
    lClass.lpszClassName = aName;
    lClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    lClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassExW(&lClass);
}

} // namespace

std::string Document::SelectedText() const {
    if (mSelectedText) {
        return *mSelectedText;
    }
    std::size_t lStart = std::min(mSelectionStart, mSelectionEnd);
    std::size_t lEnd = std::max(mSelectionStart, mSelectionEnd);
    return mBytes.substr(lStart, lEnd - lStart);
}

int EditorTraffic::Count(UINT aMessage) const {
    auto lFound = mCounts.find(aMessage);
    return lFound == mCounts.end() ? 0 : lFound->second;
}

void PumpMessages() {
    MSG lMessage;
    while (PeekMessageW(&lMessage, nullptr, 0, 0, PM_REMOVE)) {
        bool lHandled = false;
        for (HWND lDialogToAsk : gModelessDialogs) {
            if (IsWindow(lDialogToAsk) && IsDialogMessageW(lDialogToAsk, &lMessage)) {
                lHandled = true;
                break;
            }
        }
        if (!lHandled) {
            TranslateMessage(&lMessage);
            DispatchMessageW(&lMessage);
        }
    }
}

std::optional<std::size_t> HeapBlockSize(const void* aAddress) {
    HANDLE lHeaps[64];
    DWORD lCount = GetProcessHeaps(64, lHeaps);
    for (DWORD i = 0; i < std::min<DWORD>(lCount, 64); ++i) {
        if (!HeapValidate(lHeaps[i], 0, aAddress)) {
            continue;
        }
        SIZE_T lSize = HeapSize(lHeaps[i], 0, aAddress);
        if (lSize != static_cast<SIZE_T>(-1)) {
            return lSize;
        }
    }
    return std::nullopt;
}

FakeEditor::FakeEditor(HWND aParent) {
    RegisterClassOnce(EditorClass, &Procedure);
    mWindow = CreateWindowExW(0, EditorClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, aParent,
                              nullptr, GetModuleHandleW(nullptr), this);
}

FakeEditor::~FakeEditor() {
    if (mWindow != nullptr && IsWindow(mWindow)) {
        SetWindowLongPtrW(mWindow, GWLP_USERDATA, 0);
        DestroyWindow(mWindow);
    }
}

LRESULT CALLBACK FakeEditor::Procedure(HWND aWindow, UINT aMessage, WPARAM aWParam,
                                       LPARAM aLParam) {
    return Dispatch<FakeEditor>(aWindow, aMessage, aWParam, aLParam);
}

void FakeEditor::WriteWithNul(const std::string& aBytes, LPARAM aBuffer, const char* aMessageName) {
    auto* lBuffer = reinterpret_cast<char*>(aBuffer);
    std::optional<std::size_t> lCapacity = HeapBlockSize(lBuffer);
    if (!lCapacity) {
        ++mTraffic.mUncheckedBuffers;
    } else if (*lCapacity < aBytes.size() + 1) {
        mTraffic.mFaults.push_back(std::string(aMessageName) + " writes " +
                                   std::to_string(aBytes.size() + 1) + " bytes into a buffer of " +
                                   std::to_string(*lCapacity));
        // Writing on would corrupt the heap; the run reports the fault instead.
        if (*lCapacity > 0) {
            std::memcpy(lBuffer, aBytes.data(), std::min(aBytes.size(), *lCapacity - 1));
            lBuffer[std::min(aBytes.size(), *lCapacity - 1)] = '\0';
        }
        return;
    }
    std::memcpy(lBuffer, aBytes.data(), aBytes.size());
    lBuffer[aBytes.size()] = '\0';
}

LRESULT FakeEditor::Answer(UINT aMessage, WPARAM aWParam, LPARAM aLParam) {
    ++mTraffic.mCounts[aMessage];
    switch (aMessage) {
    case SCI_GETLENGTH:
    case SCI_GETTEXTLENGTH:
        return static_cast<LRESULT>(mDocument.mBytes.size());
    case SCI_GETCODEPAGE:
        return static_cast<LRESULT>(mDocument.mCodePage);
    case SCI_GETSELECTIONSTART:
        return static_cast<LRESULT>(std::min(mDocument.mSelectionStart, mDocument.mSelectionEnd));
    case SCI_GETSELECTIONEND:
        return static_cast<LRESULT>(std::max(mDocument.mSelectionStart, mDocument.mSelectionEnd));
    case SCI_GETTEXT: {
        // Scintilla: without a buffer, the length; else at most wParam - 1 bytes and a NUL.
        if (aLParam == 0) {
            return static_cast<LRESULT>(mDocument.mBytes.size());
        }
        if (aWParam == 0) {
            return 0;
        }
        std::string lPart = mDocument.mBytes.substr(0, aWParam - 1);
        WriteWithNul(lPart, aLParam, "SCI_GETTEXT");
        return static_cast<LRESULT>(lPart.size());
    }
    case SCI_GETSELTEXT: {
        // Scintilla 5: without a buffer, the length of the selected text, NUL not counted; else
        // the whole selected text (every range of a rectangular or multiple selection) and a NUL.
        std::string lText = mDocument.SelectedText();
        if (aLParam == 0) {
            mTraffic.mSelectedTextSizeAsked = true;
            return static_cast<LRESULT>(lText.size());
        }
        WriteWithNul(lText, aLParam, "SCI_GETSELTEXT");
        return static_cast<LRESULT>(lText.size());
    }
    default:
        ++mTraffic.mUnanswered[aMessage];
        return 0;
    }
}

FakeNotepad::FakeNotepad() {
    RegisterClassOnce(MainWindowClass, &Procedure);
    mWindow = CreateWindowExW(0, MainWindowClass, L"Fake Notepad++", WS_OVERLAPPEDWINDOW, 40, 40,
                              800, 600, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    mMainEditor = std::make_unique<FakeEditor>(mWindow);
    mSecondEditor = std::make_unique<FakeEditor>(mWindow);
}

FakeNotepad::~FakeNotepad() {
    Close();
}

void FakeNotepad::Close() {
    if (mWindow != nullptr && IsWindow(mWindow)) {
        DestroyWindow(mWindow);
    }
    mWindow = nullptr;
}

NppData FakeNotepad::Handles() const {
    return NppData{mWindow, mMainEditor->Handle(), mSecondEditor->Handle()};
}

void FakeNotepad::Open(Document aDocument) {
    CurrentEditor().mDocument = std::move(aDocument);
}

void FakeNotepad::ResetTraffic() {
    mMainEditor->mTraffic = {};
    mSecondEditor->mTraffic = {};
    mToolbarIcons.clear();
    mOtherHostMessages.clear();
}

LRESULT CALLBACK FakeNotepad::Procedure(HWND aWindow, UINT aMessage, WPARAM aWParam,
                                        LPARAM aLParam) {
    return Dispatch<FakeNotepad>(aWindow, aMessage, aWParam, aLParam);
}

namespace {

ToolbarIconRequest Inspect(WPARAM aCommandId, LPARAM aRecord) {
    ToolbarIconRequest lRequest;
    lRequest.mCommandId = aCommandId;
    if (aRecord == 0) {
        return lRequest;
    }
    // The record lives only while the message is handled: read everything now.
    const auto* lIcons = reinterpret_cast<const toolbarIcons*>(aRecord);
    lRequest.mRecordGiven = true;
    lRequest.mBitmap = lIcons->hToolbarBmp;
    lRequest.mIcon = lIcons->hToolbarIcon;
    lRequest.mBitmapValid = lRequest.mBitmap != nullptr &&
                            GetObjectW(lRequest.mBitmap, sizeof lRequest.mBitmapInfo,
                                       &lRequest.mBitmapInfo) == sizeof lRequest.mBitmapInfo;
    if (lRequest.mBitmapValid) {
        HDC lContext = CreateCompatibleDC(nullptr);
        HGDIOBJ lOld = SelectObject(lContext, lRequest.mBitmap);
        lRequest.mTopLeftPixel = GetPixel(lContext, 0, 0);
        SelectObject(lContext, lOld);
        DeleteDC(lContext);
    }
    return lRequest;
}

} // namespace

LRESULT FakeNotepad::Answer(UINT aMessage, WPARAM aWParam, LPARAM aLParam) {
    switch (aMessage) {
    case NPPM_GETCURRENTSCINTILLA:
        if (aLParam != 0) {
            *reinterpret_cast<int*>(aLParam) = mCurrentView;
        }
        return TRUE;
    case NPPM_GETFILENAME: {
        if (aLParam == 0 || aWParam == 0) {
            return FALSE;
        }
        const std::wstring& lName = CurrentEditor().mDocument.mName;
        auto* lBuffer = reinterpret_cast<wchar_t*>(aLParam);
        std::size_t lLength = std::min<std::size_t>(lName.size(), aWParam - 1);
        std::copy_n(lName.data(), lLength, lBuffer);
        lBuffer[lLength] = L'\0';
        return TRUE;
    }
    case NPPM_ADDTOOLBARICON:
        mToolbarIcons.push_back(Inspect(aWParam, aLParam));
        return TRUE;
    case NPPM_MODELESSDIALOG: {
        auto lDialog = reinterpret_cast<HWND>(aLParam);
        std::erase(gModelessDialogs, lDialog);
        if (aWParam == MODELESSDIALOGADD) {
            gModelessDialogs.push_back(lDialog);
        }
        return aLParam;
    }
    default:
        if (std::optional<LRESULT> lAnswer = mDocking.Answer(mWindow, aMessage, aWParam, aLParam)) {
            return *lAnswer;
        }
        ++mOtherHostMessages[aMessage];
        return 0;
    }
}

} // namespace Logic::Testing
