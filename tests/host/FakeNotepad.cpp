#include "FakeNotepad.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

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
    if constexpr (std::is_same_v<T, FakeEditor>) {
        if (lThis != nullptr && aMessage == WM_PAINT) {
            lThis->Paint();
            return 0;
        }
    }
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

bool IsTrail(unsigned char aByte) {
    return (aByte & 0xC0) == 0x80;
}

/// The bytes of the character at aAt as Scintilla steps over it: a whole UTF-8 sequence in a
/// UTF-8 document, else one byte (also for a byte that starts no valid sequence).
std::size_t CharacterWidth(const Document& aDocument, std::size_t aAt) {
    const std::string& lBytes = aDocument.mBytes;
    if (aDocument.mCodePage != SC_CP_UTF8 || aAt >= lBytes.size()) {
        return 1;
    }
    const auto lLead = static_cast<unsigned char>(lBytes[aAt]);
    std::size_t lWidth = lLead >= 0xF0 && lLead <= 0xF4   ? 4
                         : lLead >= 0xE0 && lLead <= 0xEF ? 3
                         : lLead >= 0xC2 && lLead <= 0xDF ? 2
                                                          : 1;
    if (aAt + lWidth > lBytes.size()) {
        return 1;
    }
    for (std::size_t i = 1; i < lWidth; ++i) {
        if (!IsTrail(static_cast<unsigned char>(lBytes[aAt + i]))) {
            return 1;
        }
    }
    return lWidth;
}

/// SCI_POSITIONRELATIVE: aCharacters characters on (or back) from aFrom; 0 when that leaves
/// the document.
std::size_t PositionRelative(const Document& aDocument, std::size_t aFrom,
                             std::ptrdiff_t aCharacters) {
    std::size_t lPosition = aFrom;
    if (lPosition > aDocument.mBytes.size()) {
        return 0;
    }
    for (; aCharacters > 0; --aCharacters) {
        if (lPosition >= aDocument.mBytes.size()) {
            return 0;
        }
        lPosition += CharacterWidth(aDocument, lPosition);
    }
    for (; aCharacters < 0; ++aCharacters) {
        if (lPosition == 0) {
            return 0;
        }
        std::size_t lStart = lPosition - 1;
        while (lStart > 0 && lPosition - lStart < 4 &&
               IsTrail(static_cast<unsigned char>(aDocument.mBytes[lStart]))) {
            --lStart;
        }
        lPosition =
            CharacterWidth(aDocument, lStart) == lPosition - lStart ? lStart : lPosition - 1;
    }
    return lPosition;
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
    case SCI_POSITIONRELATIVE:
        return static_cast<LRESULT>(
            PositionRelative(mDocument, aWParam, static_cast<std::ptrdiff_t>(aLParam)));
    case SCI_GOTOPOS:
    case SCI_SETEMPTYSELECTION:
        mDocument.mSelectionStart = mDocument.mSelectionEnd =
            std::min<std::size_t>(aWParam, mDocument.mBytes.size());
        mScrolledTo = mDocument.mSelectionEnd;
        InvalidateRect(mWindow, nullptr, TRUE);
        return 0;
    case SCI_SETSEL:
        mDocument.mSelectionStart = std::min<std::size_t>(aWParam, mDocument.mBytes.size());
        mDocument.mSelectionEnd =
            std::min<std::size_t>(static_cast<std::size_t>(aLParam), mDocument.mBytes.size());
        mScrolledTo = mDocument.mSelectionEnd;
        return 0;
    case SCI_SCROLLCARET:
        mScrolledTo = Caret();
        return 0;
    case SCI_INDICSETSTYLE:
        mIndicatorStyles[static_cast<int>(aWParam)] = static_cast<int>(aLParam);
        return 0;
    case SCI_INDICSETFORE:
        mIndicatorColours[static_cast<int>(aWParam)] = static_cast<COLORREF>(aLParam);
        return 0;
    case SCI_SETINDICATORCURRENT:
        mCurrentIndicator = static_cast<int>(aWParam);
        return 0;
    case SCI_INDICATORFILLRANGE:
    case SCI_INDICATORCLEARRANGE: {
        std::vector<bool>& rFlags = mIndicators[mCurrentIndicator];
        rFlags.resize(mDocument.mBytes.size(), false);
        const std::size_t lStart = std::min<std::size_t>(aWParam, rFlags.size());
        const std::size_t lEnd =
            std::min<std::size_t>(lStart + static_cast<std::size_t>(aLParam), rFlags.size());
        std::fill(rFlags.begin() + static_cast<std::ptrdiff_t>(lStart),
                  rFlags.begin() + static_cast<std::ptrdiff_t>(lEnd),
                  aMessage == SCI_INDICATORFILLRANGE);
        InvalidateRect(mWindow, nullptr, TRUE);
        return 0;
    }
    default:
        ++mTraffic.mUnanswered[aMessage];
        return 0;
    }
}

std::vector<ByteRange> FakeEditor::Ranges(int aIndicator) const {
    std::vector<ByteRange> lRanges;
    auto lFound = mIndicators.find(aIndicator);
    if (lFound == mIndicators.end()) {
        return lRanges;
    }
    const std::vector<bool>& lFlags = lFound->second;
    for (std::size_t i = 0; i < lFlags.size(); ++i) {
        if (!lFlags[i]) {
            continue;
        }
        if (!lRanges.empty() && lRanges.back().mEnd == i) {
            lRanges.back().mEnd = i + 1;
        } else {
            lRanges.push_back({i, i + 1});
        }
    }
    return lRanges;
}

std::string FakeEditor::DescribeIndicators() const {
    std::string lText;
    for (const auto& [lIndicator, lFlags] : mIndicators) {
        for (const ByteRange& lRange : Ranges(lIndicator)) {
            lText += (lText.empty() ? "" : ", ") + std::string("indicator ") +
                     std::to_string(lIndicator) + " bytes " + std::to_string(lRange.mStart) + ".." +
                     std::to_string(lRange.mEnd);
        }
    }
    return lText.empty() ? "no indicator" : lText;
}

void FakeEditor::Insert(std::size_t aPosition, const std::string& aBytes) {
    aPosition = std::min(aPosition, mDocument.mBytes.size());
    mDocument.mBytes.insert(aPosition, aBytes);
    // New text has the default style until a lexer styles it.
    if (aPosition <= mStyles.size()) {
        mStyles.insert(mStyles.begin() + static_cast<std::ptrdiff_t>(aPosition), aBytes.size(), 0);
    }
    for (auto& [lIndicator, rFlags] : mIndicators) {
        rFlags.resize(mDocument.mBytes.size() - aBytes.size(), false);
        // Text typed inside a stretch joins it, as in Scintilla; at its edges it does not.
        const bool lInside = aPosition > 0 && aPosition < rFlags.size() && rFlags[aPosition - 1] &&
                             rFlags[aPosition];
        rFlags.insert(rFlags.begin() + static_cast<std::ptrdiff_t>(aPosition), aBytes.size(),
                      lInside);
    }
}

void FakeEditor::Delete(std::size_t aPosition, std::size_t aLength) {
    aPosition = std::min(aPosition, mDocument.mBytes.size());
    aLength = std::min(aLength, mDocument.mBytes.size() - aPosition);
    for (auto& [lIndicator, rFlags] : mIndicators) {
        rFlags.resize(mDocument.mBytes.size(), false);
        rFlags.erase(rFlags.begin() + static_cast<std::ptrdiff_t>(aPosition),
                     rFlags.begin() + static_cast<std::ptrdiff_t>(aPosition + aLength));
    }
    mDocument.mBytes.erase(aPosition, aLength);
    if (aPosition < mStyles.size()) {
        mStyles.erase(mStyles.begin() + static_cast<std::ptrdiff_t>(aPosition),
                      mStyles.begin() + static_cast<std::ptrdiff_t>(
                                            std::min(aPosition + aLength, mStyles.size())));
    }
}

void FakeEditor::Paint() {
    PAINTSTRUCT lPaint;
    HDC lContext = BeginPaint(mWindow, &lPaint);
    RECT lArea;
    GetClientRect(mWindow, &lArea);
    HBRUSH lPaper = CreateSolidBrush(mPaper);
    FillRect(lContext, &lArea, lPaper);
    DeleteObject(lPaper);
    auto fFont = [this](bool fBold, bool fItalic) {
        return CreateFontW(-17, 0, 0, 0, fBold ? FW_BOLD : FW_NORMAL, fItalic, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           ANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, mFontName);
    };
    HFONT lFont = fFont(false, false);
    // Regular, bold, italic, both.
    HFONT lFonts[4] = {lFont, fFont(true, false), fFont(false, true), fFont(true, true)};
    HGDIOBJ lOldFont = SelectObject(lContext, lFont);
    SetBkMode(lContext, TRANSPARENT);
    TEXTMETRICW lMetrics{};
    GetTextMetricsW(lContext, &lMetrics);
    const int lLineHeight = lMetrics.tmHeight + 6;
    const int lMargin = 44;
    const std::string& lBytes = mDocument.mBytes;
    int lLine = 0;
    int lX = lMargin;
    auto fLineNumber = [&](int fLine) {
        std::wstring lNumber = std::to_wstring(fLine + 1);
        SelectObject(lContext, lFont);
        SetTextColor(lContext, RGB(0x80, 0x80, 0x80));
        TextOutW(lContext, 6, 6 + fLine * lLineHeight, lNumber.c_str(),
                 static_cast<int>(lNumber.size()));
    };
    fLineNumber(0);
    for (std::size_t i = 0; i < lBytes.size();) {
        const std::size_t lWidth = CharacterWidth(mDocument, i);
        const int lY = 6 + lLine * lLineHeight;
        if (i == Caret() && mShowCaret) {
            RECT lCaret{lX, lY, lX + 2, lY + lMetrics.tmHeight};
            FillRect(lContext, &lCaret, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
        StyleLook lLook;
        if (i < mStyles.size()) {
            if (auto lFound = mStyleLooks.find(mStyles[i]); lFound != mStyleLooks.end()) {
                lLook = lFound->second;
            }
        }
        SelectObject(lContext, lFonts[(lLook.mBold ? 1 : 0) + (lLook.mItalic ? 2 : 0)]);
        if (lBytes[i] == '\n') {
            ++lLine;
            lX = lMargin;
            fLineNumber(lLine);
            i += lWidth;
            continue;
        }
        std::wstring lCharacter;
        if (lBytes[i] != '\r') {
            int lUnits =
                MultiByteToWideChar(mDocument.mCodePage == SC_CP_UTF8 ? CP_UTF8 : CP_ACP, 0,
                                    lBytes.data() + i, static_cast<int>(lWidth), nullptr, 0);
            lCharacter.resize(static_cast<std::size_t>(std::max(lUnits, 0)));
            MultiByteToWideChar(mDocument.mCodePage == SC_CP_UTF8 ? CP_UTF8 : CP_ACP, 0,
                                lBytes.data() + i, static_cast<int>(lWidth), lCharacter.data(),
                                lUnits);
        }
        SIZE lSize{};
        GetTextExtentPoint32W(lContext, lCharacter.c_str(), static_cast<int>(lCharacter.size()),
                              &lSize);
        if (lLook.mBack) {
            RECT lCell{lX, lY - 2, lX + lSize.cx, lY + lLineHeight - 4};
            HBRUSH lBack = CreateSolidBrush(*lLook.mBack);
            FillRect(lContext, &lCell, lBack);
            DeleteObject(lBack);
        }
        SetTextColor(lContext, lLook.mFore.value_or(mInk));
        TextOutW(lContext, lX, lY, lCharacter.c_str(), static_cast<int>(lCharacter.size()));
        for (const auto& [lIndicator, lFlags] : mIndicators) {
            if (i < lFlags.size() && lFlags[i] && lSize.cx > 0) {
                auto lColour = mIndicatorColours.find(lIndicator);
                HPEN lPen = CreatePen(PS_SOLID, 2,
                                      lColour != mIndicatorColours.end() ? lColour->second
                                                                         : RGB(255, 0, 0));
                HGDIOBJ lOldPen = SelectObject(lContext, lPen);
                const int lBase = lY + lMetrics.tmHeight + 1;
                MoveToEx(lContext, lX, lBase, nullptr);
                for (int x = lX + 3; x <= lX + lSize.cx; x += 3) {
                    LineTo(lContext, x, ((x - lX) / 3) % 2 == 1 ? lBase + 3 : lBase);
                }
                SelectObject(lContext, lOldPen);
                DeleteObject(lPen);
            }
        }
        lX += lSize.cx;
        i += lWidth;
    }
    SelectObject(lContext, lOldFont);
    for (HFONT lEach : lFonts) {
        DeleteObject(lEach);
    }
    EndPaint(mWindow, &lPaint);
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
    // Another document: none of the last one's indicators.
    CurrentEditor().mIndicators.clear();
    InvalidateRect(CurrentEditor().Handle(), nullptr, TRUE);
}

void FakeNotepad::ResetTraffic() {
    mMainEditor->mTraffic = {};
    mSecondEditor->mTraffic = {};
    mToolbarIcons.clear();
    mDarkToolbarIcons.clear();
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

/// The icon's visible pixels and their mean lightness ((max + min) / 2 of the channels).
void Measure(HICON aIcon, int& aPixels, double& aLightness) {
    aPixels = 0;
    aLightness = 0;
    ICONINFO lInfo{};
    if (aIcon == nullptr || !GetIconInfo(aIcon, &lInfo)) {
        return;
    }
    BITMAP lBitmap{};
    if (lInfo.hbmColor != nullptr &&
        GetObjectW(lInfo.hbmColor, sizeof lBitmap, &lBitmap) == sizeof lBitmap &&
        lBitmap.bmWidth > 0 && lBitmap.bmHeight > 0) {
        BITMAPINFO lFormat{};
        lFormat.bmiHeader.biSize = sizeof lFormat.bmiHeader;
        lFormat.bmiHeader.biWidth = lBitmap.bmWidth;
        lFormat.bmiHeader.biHeight = -lBitmap.bmHeight;
        lFormat.bmiHeader.biPlanes = 1;
        lFormat.bmiHeader.biBitCount = 32;
        lFormat.bmiHeader.biCompression = BI_RGB;
        std::vector<std::uint32_t> lPixels(
            static_cast<std::size_t>(lBitmap.bmWidth * lBitmap.bmHeight));
        HDC lScreen = GetDC(nullptr);
        if (GetDIBits(lScreen, lInfo.hbmColor, 0, static_cast<UINT>(lBitmap.bmHeight),
                      lPixels.data(), &lFormat, DIB_RGB_COLORS) == lBitmap.bmHeight) {
            double lSum = 0;
            for (std::uint32_t lPixel : lPixels) {
                if ((lPixel >> 24) == 0) {
                    continue;
                }
                const int lRed = (lPixel >> 16) & 0xFF;
                const int lGreen = (lPixel >> 8) & 0xFF;
                const int lBlue = lPixel & 0xFF;
                lSum += (std::max({lRed, lGreen, lBlue}) + std::min({lRed, lGreen, lBlue})) / 2.0;
                ++aPixels;
            }
            aLightness = aPixels > 0 ? lSum / aPixels : 0;
        }
        ReleaseDC(nullptr, lScreen);
    }
    for (HBITMAP lPart : {lInfo.hbmColor, lInfo.hbmMask}) {
        if (lPart != nullptr) {
            DeleteObject(lPart);
        }
    }
}

DarkToolbarIconRequest InspectDark(WPARAM aCommandId, LPARAM aRecord) {
    DarkToolbarIconRequest lRequest;
    lRequest.mCommandId = aCommandId;
    if (aRecord == 0) {
        return lRequest;
    }
    const auto* lIcons = reinterpret_cast<const toolbarIconsWithDarkMode*>(aRecord);
    lRequest.mRecordGiven = true;
    lRequest.mBitmap = lIcons->hToolbarBmp;
    lRequest.mIcon = lIcons->hToolbarIcon;
    lRequest.mDarkIcon = lIcons->hToolbarIconDarkMode;
    BITMAP lInfo{};
    lRequest.mBitmapValid = lRequest.mBitmap != nullptr &&
                            GetObjectW(lRequest.mBitmap, sizeof lInfo, &lInfo) == sizeof lInfo;
    Measure(lRequest.mIcon, lRequest.mIconPixels, lRequest.mIconLightness);
    Measure(lRequest.mDarkIcon, lRequest.mDarkIconPixels, lRequest.mDarkIconLightness);
    return lRequest;
}

} // namespace

LRESULT FakeNotepad::Answer(UINT aMessage, WPARAM aWParam, LPARAM aLParam) {
    ++mAllHostMessages[aMessage];
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
    case NPPM_ADDTOOLBARICON_FORDARKMODE:
        if (!mDocking.AtLeast(NppVersion(8, 0))) {
            break;
        }
        mDarkToolbarIcons.push_back(InspectDark(aWParam, aLParam));
        return TRUE;
    case NPPM_ISDARKMODEENABLED:
        if (!mDocking.AtLeast(NppVersion(8, 41))) {
            break;
        }
        return mDarkMode ? TRUE : FALSE;
    case NPPM_GETDARKMODECOLORS:
        if (!mDocking.AtLeast(NppVersion(8, 41))) {
            break;
        }
        if (aWParam != sizeof(DarkModeColors) || aLParam == 0) {
            return FALSE;
        }
        *reinterpret_cast<DarkModeColors*>(aLParam) = mDarkColours;
        return TRUE;
    case NPPM_DARKMODESUBCLASSANDTHEME:
        if (!mDocking.AtLeast(NppVersion(8, 54))) {
            break;
        }
        mThemeRequests.push_back(
            {static_cast<unsigned long>(aWParam), reinterpret_cast<HWND>(aLParam)});
        return static_cast<LRESULT>(aWParam);
    case NPPM_ALLOCATEINDICATOR:
        if (!mDocking.AtLeast(NppVersion(8, 56))) {
            break;
        }
        if (aLParam == 0 || aWParam == 0) {
            return FALSE;
        }
        *reinterpret_cast<int*>(aLParam) = mNextFreeIndicator;
        for (WPARAM i = 0; i < aWParam; ++i) {
            mAllocatedIndicators.push_back(mNextFreeIndicator++);
        }
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
        break;
    }
    ++mOtherHostMessages[aMessage];
    return 0;
}

} // namespace Logic::Testing
