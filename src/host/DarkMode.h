#pragma once
// Following the host's dark mode in the plugin's own windows. A window given to Follow is
// themed by the host now (where the host can theme plugin windows) and again whenever the user
// switches the mode; its own painting asks Enabled and Colours.

#include <windows.h>

namespace Logic::Npp::DarkMode {

struct Colours {
    COLORREF mBackground;
    COLORREF mSofterBackground;
    COLORREF mText;
    COLORREF mEdge;
};

/// Themes aWindow and its controls (made before the call) by the host's current mode and keeps
/// doing so at every change of mode, until the window is destroyed. Without the host's support
/// (before 8.5.4) nothing is sent; the window's own painting still follows Enabled.
void Follow(HWND aWindow) noexcept;

/// Themes aWindow by the host's current mode once, with the flags for a window whose controls
/// are made (aChange false) or for a change of mode (true). For a window that is not to be
/// followed.
void Apply(HWND aWindow, bool aChange = false) noexcept;

/// Whether the host is in dark mode, as last read: at the first call and at each change.
bool Enabled() noexcept;
/// The host's dark colours (from 8.4.1), else dark colours of our own. Meaningful when Enabled.
Colours DarkColours() noexcept;

/// The host says the mode changed (NPPN_DARKMODECHANGED): reads it again and re-themes and
/// repaints every followed window.
void OnModeChanged() noexcept;

/// The host has finished starting (NPPN_READY): reads the mode again, in case it could not
/// tell it when the windows were made, and themes every followed window as newly made.
void OnHostReady() noexcept;

/// Forgets the followed windows (the host is closing).
void Forget() noexcept;

} // namespace Logic::Npp::DarkMode
