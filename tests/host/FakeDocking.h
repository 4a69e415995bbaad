#pragma once
// What the fake host answers beyond the first protocol: its version (the one answer to
// NPPM_GETNPPVERSION, by which the fake also leaves unanswered the messages newer than it), the
// plugins' settings folder, menu check marks and docking panels. The panels dock in a strip at the
// bottom of the main window, as the editor docks a panel at the bottom the first time.

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "PluginAbi.h"

namespace Logic::Testing {

/// One NPPM_DMMREGASDCKDLG as the host read it during the message: the record and its strings.
struct DockingRegistration {
    bool mRecordGiven = false;
    HWND mClient = nullptr;
    std::optional<std::wstring> mName;
    int mDialogId = -1;
    UINT mMask = 0;
    HICON mIcon = nullptr;
    bool mIconValid = false;
    std::optional<std::wstring> mAddInfo;
    RECT mFloat{};
    int mPreviousContainer = 0;
    std::optional<std::wstring> mModuleName;
};

class FakeDocking {
public:
    /// What NPPM_GETNPPVERSION answers, unpadded (NppVersion); from 8.4.1 on padded when asked,
    /// as the editor does. 0 stands for an editor older than 4.7, which does not know the
    /// message.
    LRESULT mVersion = CurrentNppVersion;
    /// The plugins' settings folder; empty: the host answers FALSE, as when it has none.
    std::wstring mConfigFolder;
    /// The check mark of each menu command identifier, as NPPM_SETMENUITEMCHECK last set it.
    std::map<WPARAM, bool> mChecks;
    std::vector<DockingRegistration> mRegistrations;
    /// How often each message this part answers was sent.
    std::map<UINT, int> mCounts;
    /// The height of the docking strip at the bottom of the main window.
    static constexpr int StripHeight = 190;

    int Count(UINT aMessage) const;
    /// Whether the host is aVersion (NppVersion) or later; false for an editor before 4.7.
    bool AtLeast(LRESULT aVersion) const;
    /// Answers aMessage if it is one of this part's; nothing for any other.
    std::optional<LRESULT> Answer(HWND aMainWindow, UINT aMessage, WPARAM aWParam, LPARAM aLParam);
    /// Places every registered panel in the strip of aMainWindow's client area.
    void Layout(HWND aMainWindow) const;
};

} // namespace Logic::Testing
