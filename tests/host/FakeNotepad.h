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
    /// Host messages (NPPM_*) that this fake does not answer (it answers 0).
    std::map<UINT, int> mOtherHostMessages;

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
