#include "host/DarkMode.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "host/DisplayRecords.h"
#include "host/HostVersion.h"
#include "host/PluginBase.h"
#include "platform/Shielded.h"

namespace Logic::Npp::DarkMode {

namespace {

struct State {
    std::optional<bool> mEnabled;
    Colours mColours{};
    std::vector<HWND> mFollowed;
};

State& TheState() {
    // Never destroyed: windows may be themed until the process ends.
    static State* lState = new State();
    return *lState;
}

/// Close to the host's own dark theme, for hosts that cannot tell theirs.
constexpr Colours OwnDarkColours{RGB(0x20, 0x20, 0x20), RGB(0x2B, 0x2B, 0x2B),
                                 RGB(0xE0, 0xE0, 0xE0), RGB(0x64, 0x64, 0x64)};

HWND Host() {
    return PluginBase::nppData._nppHandle;
}

void Read(State& aState) {
    aState.mEnabled = false;
    aState.mColours = OwnDarkColours;
    if (!HostVersion::HasDarkMode()) {
        return;
    }
    aState.mEnabled = SendMessageW(Host(), NPPM_ISDARKMODEENABLED, 0, 0) != FALSE;
    DarkModeColors lColours{};
    if (SendMessageW(Host(), NPPM_GETDARKMODECOLORS, sizeof lColours,
                     reinterpret_cast<LPARAM>(&lColours)) != FALSE) {
        aState.mColours =
            Colours{lColours.background, lColours.softerBackground, lColours.text, lColours.edge};
    }
}

State& Current() {
    State& rState = TheState();
    if (!rState.mEnabled) {
        Read(rState);
    }
    return rState;
}

void Repaint(HWND aWindow) {
    // The frame (caption) is drawn again too, as the host's guidance asks.
    SetWindowPos(aWindow, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(aWindow, nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

} // namespace

void Apply(HWND aWindow, bool aChange) noexcept {
    Shielded("theming a window", [aWindow, aChange] {
        if (aWindow == nullptr || !IsWindow(aWindow)) {
            return;
        }
        if (HostVersion::HasDarkModeSubclassAndTheme()) {
            SendMessageW(Host(), NPPM_DARKMODESUBCLASSANDTHEME,
                         static_cast<WPARAM>(aChange ? dmfHandleChange : dmfInit),
                         reinterpret_cast<LPARAM>(aWindow));
        }
        Repaint(aWindow);
    });
}

void Follow(HWND aWindow) noexcept {
    Shielded("following the dark mode", [aWindow] {
        if (aWindow == nullptr || !IsWindow(aWindow)) {
            return;
        }
        State& rState = Current();
        std::erase_if(rState.mFollowed, [](HWND fWindow) { return !IsWindow(fWindow); });
        if (std::find(rState.mFollowed.begin(), rState.mFollowed.end(), aWindow) ==
            rState.mFollowed.end()) {
            rState.mFollowed.push_back(aWindow);
        }
        Apply(aWindow, false);
    });
}

bool Enabled() noexcept {
    return Shielded("reading the dark mode", false, [] { return *Current().mEnabled; });
}

Colours DarkColours() noexcept {
    return Shielded("reading the dark colours", OwnDarkColours, [] { return Current().mColours; });
}

namespace {
void ReadAndApplyToAll(bool aChange) {
    State& rState = TheState();
    Read(rState);
    std::erase_if(rState.mFollowed, [](HWND fWindow) { return !IsWindow(fWindow); });
    for (HWND lWindow : rState.mFollowed) {
        Apply(lWindow, aChange);
    }
}
} // namespace

void OnModeChanged() noexcept {
    Shielded("changing the dark mode", [] { ReadAndApplyToAll(true); });
}

void OnHostReady() noexcept {
    Shielded("theming at the host's start", [] { ReadAndApplyToAll(false); });
}

void Forget() noexcept {
    Shielded("forgetting the themed windows", [] {
        State& rState = TheState();
        rState.mFollowed.clear();
        rState.mEnabled.reset();
    });
}

} // namespace Logic::Npp::DarkMode
