#pragma once
// Which of the newer host messages the running Notepad++ answers, judged by its version: a
// message sent to a host that lacks it would be answered 0 at best, and a record of a newer
// layout misread.

#include <cstdint>

namespace Logic::Npp::HostFeatures {

/// A version as NPPM_GETNPPVERSION gives it with zero padding: the major version in the high
/// word, the minor digits padded to three in the low one (8.5.4 is 8 and 540).
constexpr uint32_t Version(uint32_t aMajor, uint32_t aPaddedMinor) {
    return (aMajor << 16) | aPaddedMinor;
}

constexpr uint32_t ToolbarIconsForDarkMode = Version(8, 0);
/// 64-bit hosts from here on pass pointer-sized positions in the editor's notifications.
constexpr uint32_t PointerSizedPositions = Version(8, 300);
/// NPPM_ISDARKMODEENABLED, NPPM_GETDARKMODECOLORS and NPPN_DARKMODECHANGED.
constexpr uint32_t DarkModeQueries = Version(8, 410);
constexpr uint32_t DarkModeSubclassAndTheme = Version(8, 540);
constexpr uint32_t IndicatorAllocation = Version(8, 560);

/// The running host's version; 0 from a host too old to tell (before 4.7) or with no window.
/// Hosts before 8.4.1 ignore the padding request, which makes them read older than they are
/// within their major version: never newer, so no feature is wrongly taken for present.
uint32_t HostVersion();

/// Whether the host is at least aVersion.
bool Has(uint32_t aVersion);

} // namespace Logic::Npp::HostFeatures
