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

// Notifications.
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
