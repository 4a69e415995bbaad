#pragma once
// The records and message numbers of the Notepad++ plugin protocol, laid out as the host reads
// them. Pointers and handles are the platform's width: 4 bytes in the 32-bit host, 8 in the
// 64-bit one, with natural alignment.

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace Logic::Npp {

struct NppData {
    HWND _nppHandle;
    HWND _scintillaMainHandle;
    HWND _scintillaSecondHandle;
};

struct ShortcutKey {
    uint8_t _isCtrl;
    uint8_t _isAlt;
    uint8_t _isShift;
    uint8_t _key;
};

using PluginFunction = void (*)();

constexpr size_t MenuItemNameLength = 64;

/// One command of the table, as the host reads it from the array returned by getFuncsArray.
struct FuncItem {
    wchar_t _itemName[MenuItemNameLength];
    PluginFunction _pFunc;
    int32_t _cmdID;
    int32_t _init2Check;
    ShortcutKey* _pShKey;
};

static_assert(sizeof(ShortcutKey) == 4);
static_assert(offsetof(FuncItem, _pFunc) == 128);
static_assert(sizeof(void*) != 4 || sizeof(FuncItem) == 144, "the 32-bit host reads 144 bytes");
static_assert(sizeof(void*) != 8 || sizeof(FuncItem) == 152, "the 64-bit host reads 152 bytes");

struct toolbarIcons {
    HBITMAP hToolbarBmp;
    HICON hToolbarIcon;
};

/// The start of the host's notification record; only the code is read.
struct Sci_NotifyHeader {
    void* hwndFrom;
    uintptr_t idFrom;
    uint32_t code;
};

// Host messages.
constexpr UINT NPPMSG = WM_USER + 1000;
constexpr UINT NPPM_GETCURRENTSCINTILLA = NPPMSG + 4;
constexpr UINT NPPM_ADDTOOLBARICON = NPPMSG + 41;
constexpr UINT NPPM_GETFILENAME = WM_USER + 3000 + 3;
static_assert(NPPM_GETCURRENTSCINTILLA == 2028 && NPPM_ADDTOOLBARICON == 2065 &&
              NPPM_GETFILENAME == 4027);
// The editor's version, the plugins' settings folder, menu check marks and docking panels.
constexpr UINT NPPM_DMMSHOW = NPPMSG + 30;
constexpr UINT NPPM_DMMHIDE = NPPMSG + 31;
constexpr UINT NPPM_DMMREGASDCKDLG = NPPMSG + 33;
constexpr UINT NPPM_SETMENUITEMCHECK = NPPMSG + 40;
constexpr UINT NPPM_GETPLUGINSCONFIGDIR = NPPMSG + 46;
constexpr UINT NPPM_GETNPPVERSION = NPPMSG + 50;
static_assert(NPPM_DMMSHOW == 2054 && NPPM_DMMHIDE == 2055 && NPPM_DMMREGASDCKDLG == 2057 &&
              NPPM_SETMENUITEMCHECK == 2064 && NPPM_GETPLUGINSCONFIGDIR == 2070 &&
              NPPM_GETNPPVERSION == 2074);

/// A docking panel as NPPM_DMMREGASDCKDLG registers it. The editor may keep the strings'
/// addresses: they must live as long as the panel.
struct tTbData {
    HWND hClient;
    const wchar_t* pszName;
    /// The index in the command table of the command that shows the panel.
    int32_t dlgID;
    UINT uMask;
    HICON hIconTab;
    const wchar_t* pszAddInfo;
    /// The editor's own: left zero.
    RECT rcFloat;
    int32_t iPrevCont;
    const wchar_t* pszModuleName;
};
static_assert(sizeof(void*) != 4 || sizeof(tTbData) == 48, "the 32-bit host reads 48 bytes");
static_assert(sizeof(void*) != 8 || sizeof(tTbData) == 72, "the 64-bit host reads 72 bytes");

// tTbData's uMask: where the panel docks the first time (the high four bits: 3 is the bottom)
// and that its tab shows hIconTab.
constexpr UINT DWS_ICONTAB = 0x00000001;
constexpr UINT DWS_DF_CONT_BOTTOM = 3u << 28;
// The docking notification (WM_NOTIFY to hClient, the code's low word) that the user closed the
// panel; the editor hides it.
constexpr uint32_t DMN_CLOSE = 1050 + 1;

// Notifications.
constexpr uint32_t NPPN_READY = 1001;
constexpr uint32_t NPPN_TBMODIFICATION = 1002;
constexpr uint32_t NPPN_SHUTDOWN = 1009;

// Editor (Scintilla) messages.
constexpr UINT SCI_GETLENGTH = 2006;
constexpr UINT SCI_GETCODEPAGE = 2137;
constexpr UINT SCI_GETSELECTIONSTART = 2143;
constexpr UINT SCI_GETSELECTIONEND = 2145;
constexpr UINT SCI_GETSELTEXT = 2161;
constexpr UINT SCI_GETTEXT = 2182;
constexpr int SC_CP_UTF8 = 65001;

constexpr int MAX_PATH_LENGTH = 260;

} // namespace Logic::Npp
