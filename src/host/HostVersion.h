#pragma once
// The editor's version, as NPPM_GETNPPVERSION reports it, and the checks of what that version
// offers. Read once when the host hands over its windows (setInfo), before any window of the
// plugin is made; every message that an older editor lacks is sent, and every record whose layout
// changed is read, only after one of the checks below says the editor has it. A message sent to
// an editor that lacks it is answered 0 at best, and a record of a newer layout misread.
//
// The answer's high word is the major version; the low word holds the digits of the rest, one
// decimal digit a component: 8.4.1 is 8 and 41, 6.9 is 6 and 9, 8.9.6.4 is 8 and 964. From 8.4.1
// on the editor pads the low word to three digits when wParam is TRUE (8.4.1 then reads 410, 6.9
// reads 900), so that the low words of two versions compare as numbers; an older editor ignores
// wParam and answers unpadded. Both forms are read here as the padded one (an unpadded answer
// loses a middle zero: 5.0.3 reads as 5.3, which no check here can mistake). Editors before 4.7 do
// not know the message and answer 0: their version is unknown and AtLeast is false for every
// version.

#include <windows.h>

#include <cstdint>

namespace Logic::Npp::HostVersion {

/// The version of a known editor, with its minor part padded to three digits: 8.4.1 is
/// {8, 410}, 7.0 is {7, 0}. Zero for both when the editor did not tell.
struct Version {
    int mMajor = 0;
    int mMinor = 0;
};

/// Decodes an answer of NPPM_GETNPPVERSION, padded or not.
Version Decode(LRESULT aAnswer);

/// Asks the editor aHost for its version and keeps it for AtLeast. Never fails; an editor that
/// does not answer counts as unknown.
void Read(HWND aHost) noexcept;
/// Sets the kept version as an answer of NPPM_GETNPPVERSION would.
void Set(LRESULT aAnswer) noexcept;
/// The kept version.
Version Current() noexcept;

/// Whether the editor is version aMajor.aMinor.aPatch or later. False while the version is
/// unknown. Components past the first three do not count.
bool AtLeast(int aMajor, int aMinor, int aPatch = 0) noexcept;

// Where each message the plugin sends beyond the first protocol begins. The message numbers of
// the plugin protocol grow with the editor's versions: docking (NPPM_DMMREGASDCKDLG, 2057) came
// with 4.0, and NPPM_SETMENUITEMCHECK (2064) and NPPM_GETPLUGINSCONFIGDIR (2070) lie between
// it and NPPM_GETNPPVERSION (2074), which came with 4.7. An editor that can tell its version
// therefore has all of them; one that cannot is taken to have none.
bool HasDocking() noexcept;
bool HasMenuItemCheck() noexcept;
bool HasPluginsConfigDir() noexcept;

// The newer messages, each with the version that brought it.
/// NPPM_ADDTOOLBARICON_FORDARKMODE: toolbar icons for the light and the dark mode (8.0).
bool HasDarkModeToolbarIcons() noexcept;
/// NPPM_ISDARKMODEENABLED, NPPM_GETDARKMODECOLORS and NPPN_DARKMODECHANGED (8.4.1).
bool HasDarkMode() noexcept;
/// NPPM_DARKMODESUBCLASSANDTHEME: the host themes a plugin's window (8.5.4).
bool HasDarkModeSubclassAndTheme() noexcept;
/// NPPM_ALLOCATEINDICATOR: the host hands out editor indicators (8.5.6).
bool HasIndicatorAllocation() noexcept;

/// Whether the editor's notifications (SCN_MODIFIED among them) carry pointer-sized positions
/// and lengths: in the 64-bit editor from 8.3 on (Scintilla 5), and always in the 32-bit one,
/// where both widths are the same. Before 8.3 the 64-bit editor passed 32-bit ones. An editor
/// of unknown version counts as older.
bool HasPointerSizedPositions() noexcept;

} // namespace Logic::Npp::HostVersion
