#pragma once
// The toolbar button's icons for the host's Fluent icon sets, made from its picture: one for
// the light mode and one, lighter, for the dark mode.

#include <windows.h>

namespace Logic::Npp {

struct ToolbarIconPair {
    HICON mLight = nullptr;
    HICON mDark = nullptr;
};

/// Icons of aPicture's size whose transparent part is the colour of its top-left pixel (none
/// when the whole picture is of that colour). The
/// dark one has every colour's lightness turned over (dark blue becomes light blue), hue and
/// colourfulness kept. Both are null when the picture cannot be read; the host then draws the
/// picture itself. The host keeps the icons for as long as the button lives.
ToolbarIconPair MakeToolbarIcons(HBITMAP aPicture) noexcept;

/// aColour with its lightness turned over: each channel moves by 255 - max - min.
COLORREF WithLightnessTurnedOver(COLORREF aColour) noexcept;

} // namespace Logic::Npp
