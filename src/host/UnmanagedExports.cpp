// The six functions the host finds by name. None lets a failure out: the host is the user's
// editor, with their unsaved work in it. Each runs its work through Shielded, which writes a
// failure to the diagnostics channel and answers with what the host can live with.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <cwchar>

#include "host/DarkMode.h"
#include "host/DisplayRecords.h"
#include "host/HostVersion.h"
#include "host/NppPluginReceiver.h"
#include "host/NotationLexer.h"
#include "host/NppRecords.h"
#include "host/OptionCommands.h"
#include "host/PluginBase.h"
#include "platform/Shielded.h"

using Logic::Shielded;
using Logic::Npp::NppData;
using Logic::Npp::NppPluginReceiver;
using Logic::Npp::PluginBase;

namespace {
/// The heap copy of the plugin's name handed out by getName; null until asked for.
wchar_t* _ptrPluginName = nullptr;
} // namespace

#define QUENDRAL_EXPORT extern "C" __declspec(dllexport)

QUENDRAL_EXPORT BOOL __cdecl isUnicode() noexcept {
    return Shielded("isUnicode", BOOL{TRUE}, [] { return BOOL{TRUE}; });
}

QUENDRAL_EXPORT void __cdecl setInfo(NppData aNppData) noexcept {
    PluginBase::nppData = aNppData;
    // Once, before any window is made: the windows ask what the editor offers when they are.
    Logic::Npp::HostVersion::Read(aNppData._nppHandle);
    // Without a driver the table holds what could be built; the editor goes on.
    Shielded("setInfo", [] { NppPluginReceiver::Instance().CommandMenuInit(); });
}

QUENDRAL_EXPORT Logic::Npp::FuncItem* __cdecl getFuncsArray(int* aCount) noexcept {
    // No table at all reads as an empty one.
    if (aCount != nullptr) {
        *aCount = 0;
    }
    return Shielded("getFuncsArray", static_cast<Logic::Npp::FuncItem*>(nullptr), [aCount] {
        const auto& lItems = PluginBase::_funcItems();
        if (aCount != nullptr) {
            *aCount = static_cast<int>(lItems.Items().size());
        }
        return lItems.NativePointer();
    });
}

QUENDRAL_EXPORT LRESULT __cdecl messageProc(UINT, WPARAM, LPARAM) noexcept {
    return Shielded("messageProc", LRESULT{TRUE}, [] { return LRESULT{TRUE}; });
}

QUENDRAL_EXPORT const wchar_t* __cdecl getName() noexcept {
    // The constant itself when no copy can be made: it stays as long as the library.
    return Shielded("getName", static_cast<const wchar_t*>(NppPluginReceiver::PluginName), [] {
        if (_ptrPluginName == nullptr) {
            size_t lLength = std::wcslen(NppPluginReceiver::PluginName) + 1;
            _ptrPluginName = static_cast<wchar_t*>(std::malloc(lLength * sizeof(wchar_t)));
            if (_ptrPluginName == nullptr) {
                return static_cast<const wchar_t*>(NppPluginReceiver::PluginName);
            }
            std::wmemcpy(_ptrPluginName, NppPluginReceiver::PluginName, lLength);
        }
        return static_cast<const wchar_t*>(_ptrPluginName);
    });
}

QUENDRAL_EXPORT void __cdecl beNotified(
    const Logic::Npp::Sci_NotifyHeader* aNotification) noexcept {
    if (aNotification == nullptr) {
        return;
    }
    // A failed notification leaves the plugin as it was.
    Shielded("beNotified", [aNotification] {
        Logic::Npp::Sci_NotifyHeader lHeader = *aNotification;
        if (lHeader.code == Logic::Npp::NPPN_TBMODIFICATION) {
            PluginBase::_funcItems().RefreshItems();
            NppPluginReceiver::Instance().SetToolBarIcon();
        } else if (lHeader.code == Logic::Npp::SCN_MODIFIED) {
            // The host passes the editor's whole record for this code.
            NppPluginReceiver::Instance().EditorModified(aNotification);
        } else if (lHeader.code == Logic::Npp::NPPN_READY) {
            Logic::Npp::OptionCommands::Instance().HostReady();
            Logic::Npp::DarkMode::OnHostReady();
        } else if (lHeader.code == Logic::Npp::NPPN_DARKMODECHANGED) {
            Logic::Npp::DarkMode::OnModeChanged();
        } else if (lHeader.code == Logic::Npp::NPPN_SHUTDOWN) {
            NppPluginReceiver::Instance().PluginCleanUp();
            std::free(_ptrPluginName);
            _ptrPluginName = nullptr;
        }
    });
}

// The lexer Notepad++ 8.4 and later find by these three names: it lists the lexers a library
// offers (one here), shows each in its Language menu, and asks for it by name when a document of
// the language is opened. They follow the lexer library's convention, stdcall on Windows, and
// the 32-bit library exports them without the "@N" decoration of stdcall.

QUENDRAL_EXPORT int __stdcall GetLexerCount() noexcept {
    return 1;
}

QUENDRAL_EXPORT void __stdcall GetLexerName(unsigned int aIndex, char* aName,
                                            int aLength) noexcept {
    if (aName == nullptr || aLength <= 0) {
        return;
    }
    aName[0] = '\0';
    if (aIndex == 0) {
        const std::string_view lName = Logic::Npp::NotationLexer::LexerName;
        const size_t lCopied = std::min(lName.size(), static_cast<size_t>(aLength - 1));
        std::memcpy(aName, lName.data(), lCopied);
        aName[lCopied] = '\0';
    }
}

QUENDRAL_EXPORT Logic::Npp::ILexer5* __stdcall CreateLexer(const char* aName) noexcept {
    if (aName == nullptr ||
        std::string_view(aName) != std::string_view(Logic::Npp::NotationLexer::LexerName)) {
        return nullptr;
    }
    return Logic::Npp::NotationLexer::Create();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) noexcept {
    // Nothing here: under the loader lock, destroying a window or waiting for anything may
    // deadlock the host. What must go before the library does (the results window, per-thread
    // clean-ups, running programs) goes at NPPN_SHUTDOWN, which the host sends before it
    // unloads its plugins.
    return TRUE;
}
