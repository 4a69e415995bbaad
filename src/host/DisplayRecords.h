#pragma once
// The host and editor messages, notifications and records for marking text in the editor and
// for following the host's dark mode, laid out as the host reads and writes them.
// Notepad++ numbers from its plugin-communication manual; Scintilla numbers from Scintilla.h.

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "host/NppRecords.h"

namespace Logic::Npp {

// Host messages, each with the version (major, minor padded to three digits) that brought it.
constexpr UINT NPPM_ADDTOOLBARICON_FORDARKMODE = NPPMSG + 101; // v8.0
constexpr UINT NPPM_ISDARKMODEENABLED = NPPMSG + 107;          // v8.4.1
constexpr UINT NPPM_GETDARKMODECOLORS = NPPMSG + 108;          // v8.4.1
constexpr UINT NPPM_DARKMODESUBCLASSANDTHEME = NPPMSG + 112;   // v8.5.4
constexpr UINT NPPM_ALLOCATEINDICATOR = NPPMSG + 113;          // v8.5.6
static_assert(NPPM_ADDTOOLBARICON_FORDARKMODE == 2125 && NPPM_ISDARKMODEENABLED == 2131 &&
              NPPM_GETDARKMODECOLORS == 2132 && NPPM_DARKMODESUBCLASSANDTHEME == 2136 &&
              NPPM_ALLOCATEINDICATOR == 2137);

// NPPM_DARKMODESUBCLASSANDTHEME's flags: after the window's controls are made, and when the
// mode changed.
constexpr ULONG dmfInit = 0x0000000BUL;
constexpr ULONG dmfHandleChange = 0x0000000CUL;

// Notifications.
constexpr uint32_t NPPN_DARKMODECHANGED = 1027; // v8.4.1
constexpr uint32_t SCN_MODIFIED = 2008;

/// NPPM_ADDTOOLBARICON_FORDARKMODE's record: the picture for the standard icon set and the
/// icons for the light and the dark mode of the Fluent icon sets.
struct toolbarIconsWithDarkMode {
    HBITMAP hToolbarBmp;
    HICON hToolbarIcon;
    HICON hToolbarIconDarkMode;
};

/// NPPM_GETDARKMODECOLORS's record; the host fills it when wParam is its size.
struct DarkModeColors {
    COLORREF background;
    COLORREF softerBackground;
    COLORREF hotBackground;
    COLORREF pureBackground;
    COLORREF errorBackground;
    COLORREF text;
    COLORREF darkerText;
    COLORREF disabledText;
    COLORREF linkText;
    COLORREF edge;
};
static_assert(sizeof(DarkModeColors) == 40);

// Editor (Scintilla) messages.
constexpr UINT SCI_GOTOPOS = 2025;
constexpr UINT SCI_INDICSETSTYLE = 2080;
constexpr UINT SCI_INDICSETFORE = 2082;
constexpr UINT SCI_SCROLLCARET = 2169;
constexpr UINT SCI_SETINDICATORCURRENT = 2500;
constexpr UINT SCI_INDICATORFILLRANGE = 2504;
constexpr UINT SCI_INDICATORCLEARRANGE = 2505;
constexpr UINT SCI_POSITIONRELATIVE = 2670;
constexpr int INDIC_SQUIGGLE = 1;
/// Scintilla keeps indicators 0 to 7 for lexers and gives 8 to 31 to the application.
constexpr int INDICATOR_CONTAINER = 8;
constexpr int INDICATOR_CONTAINER_LAST = 31;
constexpr int SC_MOD_INSERTTEXT = 0x1;
constexpr int SC_MOD_DELETETEXT = 0x2;

/// The start of Scintilla's notification record as far as SCN_MODIFIED's position,
/// modificationType and length; the host passes the whole record, of which this is a prefix.
/// Positions are pointer-sized (Scintilla 5; Notepad++ from 8.3 in its 64-bit build).
struct SciModifiedPrefix {
    Sci_NotifyHeader nmhdr;
    intptr_t position;
    int32_t ch;
    int32_t modifiers;
    int32_t modificationType;
    const char* text;
    intptr_t length;
};
/// The same in the 64-bit hosts before 8.3, whose positions were 32-bit.
struct SciModifiedPrefix32BitPositions {
    Sci_NotifyHeader nmhdr;
    int32_t position;
    int32_t ch;
    int32_t modifiers;
    int32_t modificationType;
    const char* text;
    int32_t length;
};
#ifdef _WIN64
static_assert(offsetof(SciModifiedPrefix, position) == 24 &&
              offsetof(SciModifiedPrefix, modificationType) == 40 &&
              offsetof(SciModifiedPrefix, length) == 56);
static_assert(offsetof(SciModifiedPrefix32BitPositions, position) == 24 &&
              offsetof(SciModifiedPrefix32BitPositions, modificationType) == 36 &&
              offsetof(SciModifiedPrefix32BitPositions, length) == 48);
#else
static_assert(offsetof(SciModifiedPrefix, position) == 12 &&
              offsetof(SciModifiedPrefix, modificationType) == 24 &&
              offsetof(SciModifiedPrefix, length) == 32);
#endif

} // namespace Logic::Npp
