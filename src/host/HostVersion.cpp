#include "host/HostVersion.h"

#include "host/NppRecords.h"

namespace Logic::Npp::HostVersion {

namespace {
Version gCurrent;
} // namespace

Version Decode(LRESULT aAnswer) {
    auto lBits = static_cast<uint32_t>(static_cast<uintptr_t>(aAnswer));
    Version lVersion;
    lVersion.mMajor = static_cast<int>(lBits >> 16);
    int lMinor = static_cast<int>(lBits & 0xFFFF);
    if (lMinor == 0) {
        return lVersion;
    }
    // The digits are the components: pad a shorter one on the right, cut a longer one (a fourth
    // component, or the host's own padding of one) to three.
    while (lMinor < 100) {
        lMinor *= 10;
    }
    while (lMinor >= 1000) {
        lMinor /= 10;
    }
    lVersion.mMinor = lMinor;
    return lVersion;
}

void Read(HWND aHost) noexcept {
    // wParam TRUE asks a new editor for the padded form; an old one answers unpadded.
    Set(IsWindow(aHost) ? SendMessageW(aHost, NPPM_GETNPPVERSION, TRUE, 0) : 0);
}

void Set(LRESULT aAnswer) noexcept {
    gCurrent = Decode(aAnswer);
}

Version Current() noexcept {
    return gCurrent;
}

bool AtLeast(int aMajor, int aMinor, int aPatch) noexcept {
    if (gCurrent.mMajor == 0) {
        return false;
    }
    if (gCurrent.mMajor != aMajor) {
        return gCurrent.mMajor > aMajor;
    }
    return gCurrent.mMinor >= aMinor * 100 + aPatch * 10;
}

bool HasDocking() noexcept {
    return AtLeast(4, 7);
}
bool HasMenuItemCheck() noexcept {
    return AtLeast(4, 7);
}
bool HasPluginsConfigDir() noexcept {
    return AtLeast(4, 7);
}

bool HasDarkModeToolbarIcons() noexcept {
    return AtLeast(8, 0);
}
bool HasDarkMode() noexcept {
    return AtLeast(8, 4, 1);
}
bool HasDarkModeSubclassAndTheme() noexcept {
    return AtLeast(8, 5, 4);
}
bool HasIndicatorAllocation() noexcept {
    return AtLeast(8, 5, 6);
}

bool HasPointerSizedPositions() noexcept {
#ifdef _WIN64
    return AtLeast(8, 3);
#else
    return true;
#endif
}

} // namespace Logic::Npp::HostVersion
