#pragma once
// A stand-in for Notepad++: a main window answering the host messages a plugin sends, and two
// editor windows answering Scintilla's messages over documents held in memory.

#include <windows.h>

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FakeDocking.h"
#include "PluginAbi.h"

namespace Logic::Testing {

struct Document {
    std::wstring mName;
    std::string mBytes;
    UINT mCodePage = SC_CP_UTF8;
    std::size_t mSelectionStart = 0;
    std::size_t mSelectionEnd = 0;
    /// What the editor writes for SCI_GETSELTEXT when the selection is rectangular or multiple;
    /// absent: the bytes between start and end.
    std::optional<std::string> mSelectedText;

    std::string SelectedText() const;
};

/// What one editor was asked since the last Reset.
struct EditorTraffic {
    std::map<UINT, int> mCounts;
    /// SCI_GETSELTEXT was asked for its size (no buffer) before it was given a buffer.
    bool mSelectedTextSizeAsked = false;
    /// Writes that went beyond the plugin's buffer, described.
    std::vector<std::string> mFaults;
    /// Editor messages this fake does not answer (it answers 0).
    std::map<UINT, int> mUnanswered;
    /// Buffers whose size could not be found (not a block of any heap of the process).
    int mUncheckedBuffers = 0;

    int Count(UINT aMessage) const;
};

/// A stretch of the document in bytes, [mStart, mEnd).
struct ByteRange {
    std::size_t mStart = 0;
    std::size_t mEnd = 0;
    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

/// How the editor draws one style, as the style file gives it; absent colours are the editor's.
struct StyleLook {
    std::optional<COLORREF> mFore;
    std::optional<COLORREF> mBack;
    bool mBold = false;
    bool mItalic = false;
};

class FakeEditor {
public:
    explicit FakeEditor(HWND aParent);
    ~FakeEditor();
    FakeEditor(const FakeEditor&) = delete;
    FakeEditor& operator=(const FakeEditor&) = delete;

    HWND Handle() const { return mWindow; }
    Document mDocument;
    EditorTraffic mTraffic;

    /// Answers one editor message as Scintilla does.
    LRESULT Answer(UINT aMessage, WPARAM aWParam, LPARAM aLParam);

    // Indicators as Scintilla keeps them: per indicator, which bytes it covers. They move with
    // the text when Insert and Delete edit it, as the user's typing would.
    std::map<int, std::vector<bool>> mIndicators;
    std::map<int, int> mIndicatorStyles;
    std::map<int, COLORREF> mIndicatorColours;
    int mCurrentIndicator = 0;
    /// Where SCI_SCROLLCARET last brought the view: the caret then.
    std::optional<std::size_t> mScrolledTo;
    /// The stretches aIndicator covers, in order.
    std::vector<ByteRange> Ranges(int aIndicator) const;
    /// Every indicator's stretches, for a message.
    std::string DescribeIndicators() const;
    void Insert(std::size_t aPosition, const std::string& aBytes);
    void Delete(std::size_t aPosition, std::size_t aLength);
    /// The caret (an empty selection's place; else the selection's end).
    std::size_t Caret() const { return mDocument.mSelectionEnd; }
    /// Draws the document and, as a fake of Scintilla's squiggle, a red zigzag under every
    /// indicator's stretches. Bytes with a style are drawn as mStyleLooks says.
    void Paint();

    /// The style of each byte, as a lexer set them; shorter than the document when not all are.
    std::vector<unsigned char> mStyles;
    std::map<int, StyleLook> mStyleLooks;
    /// The editor's own background and text colours.
    COLORREF mPaper = RGB(0xFF, 0xFF, 0xFF);
    COLORREF mInk = RGB(0, 0, 0);
    bool mShowCaret = true;
    const wchar_t* mFontName = L"Courier New";

private:
    static LRESULT CALLBACK Procedure(HWND aWindow, UINT aMessage, WPARAM aWParam, LPARAM aLParam);
    /// Writes aBytes and a NUL into the plugin's buffer as Scintilla does, noting an overrun.
    void WriteWithNul(const std::string& aBytes, LPARAM aBuffer, const char* aMessageName);

    HWND mWindow = nullptr;
};

/// One NPPM_ADDTOOLBARICON as the host saw it while the message was being handled.
struct ToolbarIconRequest {
    WPARAM mCommandId = 0;
    bool mRecordGiven = false;
    HBITMAP mBitmap = nullptr;
    HICON mIcon = nullptr;
    bool mBitmapValid = false;
    BITMAP mBitmapInfo{};
    COLORREF mTopLeftPixel = CLR_INVALID;
};

/// One NPPM_ADDTOOLBARICON_FORDARKMODE as the host saw it.
struct DarkToolbarIconRequest {
    WPARAM mCommandId = 0;
    bool mRecordGiven = false;
    HBITMAP mBitmap = nullptr;
    HICON mIcon = nullptr;
    HICON mDarkIcon = nullptr;
    bool mBitmapValid = false;
    /// The icons' visible pixels and their mean lightness (0 to 255); 0 pixels: no icon.
    int mIconPixels = 0;
    int mDarkIconPixels = 0;
    double mIconLightness = 0;
    double mDarkIconLightness = 0;
};

/// One NPPM_DARKMODESUBCLASSANDTHEME.
struct ThemeRequest {
    unsigned long mFlags = 0;
    HWND mWindow = nullptr;
};

class FakeNotepad {
public:
    FakeNotepad();
    ~FakeNotepad();
    FakeNotepad(const FakeNotepad&) = delete;
    FakeNotepad& operator=(const FakeNotepad&) = delete;

    NppData Handles() const;
    HWND MainWindow() const { return mWindow; }
    /// View 0 is the main view, 1 the second.
    FakeEditor& Editor(int aView) { return aView == 0 ? *mMainEditor : *mSecondEditor; }
    int mCurrentView = 0;
    FakeEditor& CurrentEditor() { return Editor(mCurrentView); }
    /// Puts aDocument into the current view, with nothing selected unless it says so.
    void Open(Document aDocument);
    void ResetTraffic();
    /// Destroys the main window (and every window it owns), as the host does when it closes.
    void Close();

    std::vector<ToolbarIconRequest> mToolbarIcons;
    /// The version, settings folder, menu check marks and docking panels.
    FakeDocking mDocking;
    std::vector<DarkToolbarIconRequest> mDarkToolbarIcons;

    /// The messages newer than mDocking.mVersion go unanswered, as in an old host.
    bool mDarkMode = false;
    DarkModeColors mDarkColours{RGB(0x20, 0x22, 0x30), RGB(0x30, 0x33, 0x48), RGB(0x40, 0x44, 0x58),
                                RGB(0x10, 0x10, 0x18), RGB(0x70, 0x10, 0x10), RGB(0xE8, 0xE8, 0xF0),
                                RGB(0xC0, 0xC0, 0xC8), RGB(0x80, 0x80, 0x88), RGB(0x80, 0xB0, 0xFF),
                                RGB(0x60, 0x60, 0x70)};
    /// Every NPPM_DARKMODESUBCLASSANDTHEME since the start (ResetTraffic leaves them).
    std::vector<ThemeRequest> mThemeRequests;
    /// Indicators handed out by NPPM_ALLOCATEINDICATOR, from a number the plugin could not guess.
    int mNextFreeIndicator = 17;
    std::vector<int> mAllocatedIndicators;
    /// Host messages (NPPM_*) that this fake does not answer (it answers 0).
    std::map<UINT, int> mOtherHostMessages;
    /// Every host message since the start, answered or not (ResetTraffic leaves it).
    std::map<UINT, int> mAllHostMessages;

    /// Answers one host message as Notepad++ does.
    LRESULT Answer(UINT aMessage, WPARAM aWParam, LPARAM aLParam);

private:
    static LRESULT CALLBACK Procedure(HWND aWindow, UINT aMessage, WPARAM aWParam, LPARAM aLParam);

    HWND mWindow = nullptr;
    std::unique_ptr<FakeEditor> mMainEditor;
    std::unique_ptr<FakeEditor> mSecondEditor;
};

/// Handles every message waiting in this thread's queue, as the host's message loop does: a
/// window registered with NPPM_MODELESSDIALOG gets its dialog keys (Enter, Escape, Tab) first.
void PumpMessages();

/// The size of the heap block that starts at aAddress, if it is one of this process's heaps.
std::optional<std::size_t> HeapBlockSize(const void* aAddress);

} // namespace Logic::Testing
