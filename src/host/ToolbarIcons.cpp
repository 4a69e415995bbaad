#include "host/ToolbarIcons.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/Shielded.h"

namespace Logic::Npp {

namespace {

/// An icon from aPixels (top-down, 0xAARRGGBB) of aWidth x aHeight; null when Windows refuses.
HICON IconOf(const std::vector<uint32_t>& aPixels, int aWidth, int aHeight) {
    BITMAPV5HEADER lHeader{};
    lHeader.bV5Size = sizeof lHeader;
    lHeader.bV5Width = aWidth;
    lHeader.bV5Height = -aHeight;
    lHeader.bV5Planes = 1;
    lHeader.bV5BitCount = 32;
    lHeader.bV5Compression = BI_BITFIELDS;
    lHeader.bV5RedMask = 0x00FF0000;
    lHeader.bV5GreenMask = 0x0000FF00;
    lHeader.bV5BlueMask = 0x000000FF;
    lHeader.bV5AlphaMask = 0xFF000000;
    void* lBits = nullptr;
    HDC lScreen = GetDC(nullptr);
    HBITMAP lColour = CreateDIBSection(lScreen, reinterpret_cast<BITMAPINFO*>(&lHeader),
                                       DIB_RGB_COLORS, &lBits, nullptr, 0);
    ReleaseDC(nullptr, lScreen);
    if (lColour == nullptr || lBits == nullptr) {
        if (lColour != nullptr) {
            DeleteObject(lColour);
        }
        return nullptr;
    }
    std::copy(aPixels.begin(), aPixels.end(), static_cast<uint32_t*>(lBits));
    // With an alpha channel the mask is not looked at, but must be there.
    HBITMAP lMask = CreateBitmap(aWidth, aHeight, 1, 1, nullptr);
    ICONINFO lInfo{};
    lInfo.fIcon = TRUE;
    lInfo.hbmColor = lColour;
    lInfo.hbmMask = lMask;
    HICON lIcon = lMask != nullptr ? CreateIconIndirect(&lInfo) : nullptr;
    DeleteObject(lColour);
    if (lMask != nullptr) {
        DeleteObject(lMask);
    }
    return lIcon;
}

} // namespace

COLORREF WithLightnessTurnedOver(COLORREF aColour) noexcept {
    const int lRed = GetRValue(aColour);
    const int lGreen = GetGValue(aColour);
    const int lBlue = GetBValue(aColour);
    const int lShift = 255 - std::max({lRed, lGreen, lBlue}) - std::min({lRed, lGreen, lBlue});
    return RGB(lRed + lShift, lGreen + lShift, lBlue + lShift);
}

ToolbarIconPair MakeToolbarIcons(HBITMAP aPicture) noexcept {
    return Shielded("making the toolbar icons", ToolbarIconPair{}, [aPicture] {
        BITMAP lInfo{};
        if (aPicture == nullptr || GetObjectW(aPicture, sizeof lInfo, &lInfo) != sizeof lInfo ||
            lInfo.bmWidth <= 0 || lInfo.bmHeight <= 0 || lInfo.bmWidth > 256 ||
            lInfo.bmHeight > 256) {
            return ToolbarIconPair{};
        }
        const int lWidth = lInfo.bmWidth;
        const int lHeight = lInfo.bmHeight;
        BITMAPINFO lFormat{};
        lFormat.bmiHeader.biSize = sizeof lFormat.bmiHeader;
        lFormat.bmiHeader.biWidth = lWidth;
        lFormat.bmiHeader.biHeight = -lHeight;
        lFormat.bmiHeader.biPlanes = 1;
        lFormat.bmiHeader.biBitCount = 32;
        lFormat.bmiHeader.biCompression = BI_RGB;
        std::vector<uint32_t> lPixels(static_cast<size_t>(lWidth) * static_cast<size_t>(lHeight));
        HDC lScreen = GetDC(nullptr);
        const int lRows = GetDIBits(lScreen, aPicture, 0, static_cast<UINT>(lHeight),
                                    lPixels.data(), &lFormat, DIB_RGB_COLORS);
        ReleaseDC(nullptr, lScreen);
        if (lRows != lHeight) {
            return ToolbarIconPair{};
        }
        // A picture all of one colour has no background to leave out.
        const uint32_t lTransparent =
            std::all_of(
                lPixels.begin(), lPixels.end(),
                [&](uint32_t fPixel) { return ((fPixel ^ lPixels.front()) & 0x00FFFFFF) == 0; })
                ? 0xFF000000
                : lPixels.front() & 0x00FFFFFF;
        std::vector<uint32_t> lLight(lPixels.size());
        std::vector<uint32_t> lDark(lPixels.size());
        for (size_t i = 0; i < lPixels.size(); ++i) {
            const uint32_t lColour = lPixels[i] & 0x00FFFFFF;
            if (lColour == lTransparent) {
                lLight[i] = 0;
                lDark[i] = 0;
                continue;
            }
            lLight[i] = 0xFF000000 | lColour;
            // The pixel is 0x00RRGGBB; COLORREF is 0x00BBGGRR.
            const COLORREF lTurned = WithLightnessTurnedOver(
                RGB((lColour >> 16) & 0xFF, (lColour >> 8) & 0xFF, lColour & 0xFF));
            lDark[i] = 0xFF000000 | (uint32_t{GetRValue(lTurned)} << 16) |
                       (uint32_t{GetGValue(lTurned)} << 8) | uint32_t{GetBValue(lTurned)};
        }
        ToolbarIconPair lPair;
        lPair.mLight = IconOf(lLight, lWidth, lHeight);
        lPair.mDark = IconOf(lDark, lWidth, lHeight);
        if (lPair.mLight == nullptr || lPair.mDark == nullptr) {
            for (HICON lIcon : {lPair.mLight, lPair.mDark}) {
                if (lIcon != nullptr) {
                    DestroyIcon(lIcon);
                }
            }
            return ToolbarIconPair{};
        }
        return lPair;
    });
}

} // namespace Logic::Npp
