#pragma once
// The records, exports and message numbers of the Notepad++ plugin protocol, as a host sees them.
// Laid out by the compiler's natural alignment, which is what the host and every plugin use.

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace Logic::Testing {

// Host messages.
constexpr UINT NPPM_GETCURRENTSCINTILLA = 2028;
constexpr UINT NPPM_MODELESSDIALOG = 2036;
constexpr WPARAM MODELESSDIALOGADD = 0;
constexpr WPARAM MODELESSDIALOGREMOVE = 1;
constexpr UINT NPPM_ADDTOOLBARICON = 2065;
constexpr UINT NPPM_GETFILENAME = 4027;
constexpr UINT NPPM_DMMSHOW = 2054;
constexpr UINT NPPM_DMMHIDE = 2055;
constexpr UINT NPPM_DMMREGASDCKDLG = 2057;
constexpr UINT NPPM_SETMENUITEMCHECK = 2064;
constexpr UINT NPPM_GETPLUGINSCONFIGDIR = 2070;
constexpr UINT NPPM_GETNPPVERSION = 2074;
constexpr UINT NPPM_ADDTOOLBARICON_FORDARKMODE = 2125;
constexpr UINT NPPM_ISDARKMODEENABLED = 2131;
constexpr UINT NPPM_GETDARKMODECOLORS = 2132;
constexpr UINT NPPM_DARKMODESUBCLASSANDTHEME = 2136;
constexpr UINT NPPM_ALLOCATEINDICATOR = 2137;
constexpr unsigned long dmfInit = 0xB;
constexpr unsigned long dmfHandleChange = 0xC;
/// A version as NPPM_GETNPPVERSION answers it unpadded: the major version in the high word, the
/// digits of the rest in the low one (8.5.4 is 8 and 54, 7.9.5 is 7 and 95, 8.0 is 8 and 0).
constexpr LRESULT NppVersion(unsigned aMajor, unsigned aDigits) {
    return static_cast<LRESULT>((aMajor << 16) | aDigits);
}
/// The fake host's version unless a scenario says otherwise.
constexpr LRESULT CurrentNppVersion = NppVersion(8, 76);

// Editor messages.
constexpr UINT SCI_GETLENGTH = 2006;
constexpr UINT SCI_GETCODEPAGE = 2137;
constexpr UINT SCI_GETSELECTIONSTART = 2143;
constexpr UINT SCI_GETSELECTIONEND = 2145;
constexpr UINT SCI_GETSELTEXT = 2161;
constexpr UINT SCI_GETTEXT = 2182;
constexpr UINT SCI_GETTEXTLENGTH = 2183;
constexpr UINT SC_CP_UTF8 = 65001;
constexpr UINT SCI_GOTOPOS = 2025;
constexpr UINT SCI_INDICSETSTYLE = 2080;
constexpr UINT SCI_INDICSETFORE = 2082;
constexpr UINT SCI_SETSEL = 2160;
constexpr UINT SCI_SCROLLCARET = 2169;
constexpr UINT SCI_SETINDICATORCURRENT = 2500;
constexpr UINT SCI_INDICATORFILLRANGE = 2504;
constexpr UINT SCI_INDICATORCLEARRANGE = 2505;
constexpr UINT SCI_SETEMPTYSELECTION = 2556;
constexpr UINT SCI_POSITIONRELATIVE = 2670;
constexpr int INDIC_SQUIGGLE = 1;
constexpr int SC_MOD_INSERTTEXT = 0x1;
constexpr int SC_MOD_DELETETEXT = 0x2;
constexpr unsigned SCN_MODIFIED = 2008;

// Notifications.
constexpr unsigned NPPN_READY = 1001;
constexpr unsigned NPPN_TBMODIFICATION = 1002;
constexpr unsigned NPPN_SHUTDOWN = 1009;
constexpr unsigned NPPN_DARKMODECHANGED = 1027;

struct NppData {
    HWND _nppHandle;
    HWND _scintillaMainHandle;
    HWND _scintillaSecondHandle;
};

struct ShortcutKey {
    unsigned char _isCtrl;
    unsigned char _isAlt;
    unsigned char _isShift;
    unsigned char _key;
};
static_assert(sizeof(ShortcutKey) == 4);

using PluginCommand = void(__cdecl*)();

struct FuncItem {
    wchar_t _itemName[64];
    PluginCommand _pFunc;
    int _cmdID;
    BOOL _init2Check;
    ShortcutKey* _pShKey;
};
#ifdef _WIN64
static_assert(sizeof(FuncItem) == 152);
static_assert(offsetof(FuncItem, _cmdID) == 136 && offsetof(FuncItem, _pShKey) == 144);
#else
static_assert(sizeof(FuncItem) == 144);
static_assert(offsetof(FuncItem, _cmdID) == 132 && offsetof(FuncItem, _pShKey) == 140);
#endif
static_assert(offsetof(FuncItem, _pFunc) == 128);

/// A docking panel's registration (NPPM_DMMREGASDCKDLG).
struct tTbData {
    HWND hClient;
    const wchar_t* pszName;
    int dlgID;
    UINT uMask;
    HICON hIconTab;
    const wchar_t* pszAddInfo;
    RECT rcFloat;
    int iPrevCont;
    const wchar_t* pszModuleName;
};
#ifdef _WIN64
static_assert(sizeof(tTbData) == 72 && offsetof(tTbData, pszModuleName) == 64);
#else
static_assert(sizeof(tTbData) == 48 && offsetof(tTbData, pszModuleName) == 44);
#endif
constexpr UINT DWS_ICONTAB = 0x1;
constexpr UINT DWS_DF_CONT_BOTTOM = 0x30000000;
constexpr UINT DMN_CLOSE = 1051;

struct toolbarIcons {
    HBITMAP hToolbarBmp;
    HICON hToolbarIcon;
};

struct toolbarIconsWithDarkMode {
    HBITMAP hToolbarBmp;
    HICON hToolbarIcon;
    HICON hToolbarIconDarkMode;
};

struct DarkModeColors {
    COLORREF background, softerBackground, hotBackground, pureBackground, errorBackground, text,
        darkerText, disabledText, linkText, edge;
};

/// The header of Scintilla's notification record; idFrom is pointer-sized, as in Scintilla.
struct SciNotifyHeader {
    void* hwndFrom;
    std::uintptr_t idFrom;
    unsigned int code;
};

/// A notification as the host passes it: the header and the rest of Scintilla's record, which
/// the plugin may copy whole (the 64-bit record is longer than the 88 bytes of the 32-bit one).
struct SCNotification {
    SciNotifyHeader nmhdr;
    alignas(8) unsigned char mRest[200];
};

/// SCN_MODIFIED's record as far as its length, with pointer-sized positions (Scintilla 5).
struct SCNotificationModified {
    SciNotifyHeader nmhdr;
    std::intptr_t position;
    int ch;
    int modifiers;
    int modificationType;
    const char* text;
    std::intptr_t length;
    std::intptr_t linesAdded;
};
/// The same in the 64-bit editor before 8.3, whose positions and lengths were 32-bit.
struct SCNotificationModified32BitPositions {
    SciNotifyHeader nmhdr;
    int position;
    int ch;
    int modifiers;
    int modificationType;
    const char* text;
    int length;
    int linesAdded;
};

// The six exports, C calling convention.
using IsUnicodeExport = BOOL(__cdecl*)();
using SetInfoExport = void(__cdecl*)(NppData);
using GetFuncsArrayExport = FuncItem*(__cdecl*)(int*);
using MessageProcExport = LRESULT(__cdecl*)(UINT, WPARAM, LPARAM);
using GetNameExport = const wchar_t*(__cdecl*)();
using BeNotifiedExport = void(__cdecl*)(SCNotification*);

} // namespace Logic::Testing
