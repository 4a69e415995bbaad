// The six functions the host finds by name. None lets a failure out: the host is the user's
// editor, with their unsaved work in it.

#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "host/NppPluginReceiver.h"
#include "host/NppRecords.h"
#include "host/PluginBase.h"
#include "host/ResultsWindow.h"

using Logic::Npp::NppData;
using Logic::Npp::NppPluginReceiver;
using Logic::Npp::PluginBase;

namespace {
/// The heap copy of the plugin's name handed out by getName; null until asked for.
wchar_t* _ptrPluginName = nullptr;
} // namespace

#define QUENDRAL_EXPORT extern "C" __declspec(dllexport)

QUENDRAL_EXPORT BOOL __cdecl isUnicode() { return TRUE; }

QUENDRAL_EXPORT void __cdecl setInfo(NppData aNppData) {
    PluginBase::nppData = aNppData;
    try {
        NppPluginReceiver::Instance().CommandMenuInit();
    } catch (...) {
        // Without a driver the table holds what could be built; the editor goes on.
    }
}

QUENDRAL_EXPORT Logic::Npp::FuncItem* __cdecl getFuncsArray(int* aCount) {
    const auto& lItems = PluginBase::_funcItems();
    if (aCount != nullptr) {
        *aCount = static_cast<int>(lItems.Items().size());
    }
    return lItems.NativePointer();
}

QUENDRAL_EXPORT LRESULT __cdecl messageProc(UINT, WPARAM, LPARAM) { return TRUE; }

QUENDRAL_EXPORT const wchar_t* __cdecl getName() {
    if (_ptrPluginName == nullptr) {
        size_t lLength = std::wcslen(NppPluginReceiver::PluginName) + 1;
        _ptrPluginName = static_cast<wchar_t*>(std::malloc(lLength * sizeof(wchar_t)));
        if (_ptrPluginName == nullptr) {
            return NppPluginReceiver::PluginName;
        }
        std::wmemcpy(_ptrPluginName, NppPluginReceiver::PluginName, lLength);
    }
    return _ptrPluginName;
}

QUENDRAL_EXPORT void __cdecl beNotified(const Logic::Npp::Sci_NotifyHeader* aNotification) {
    if (aNotification == nullptr) {
        return;
    }
    try {
        Logic::Npp::Sci_NotifyHeader lHeader = *aNotification;
        if (lHeader.code == Logic::Npp::NPPN_TBMODIFICATION) {
            PluginBase::_funcItems().RefreshItems();
            NppPluginReceiver::Instance().SetToolBarIcon();
        } else if (lHeader.code == Logic::Npp::NPPN_SHUTDOWN) {
            NppPluginReceiver::Instance().PluginCleanUp();
            std::free(_ptrPluginName);
            _ptrPluginName = nullptr;
        }
    } catch (...) {
        // Nothing of a notification may reach the host; the plugin stays as it was.
    }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD aReason, LPVOID aReserved) {
    // Unloaded while the process goes on (aReserved is null then): take the window along.
    // At process exit nothing needs tidying.
    if (aReason == DLL_PROCESS_DETACH && aReserved == nullptr) {
        Logic::Npp::ResultsWindow::ReleaseWindowsOfThisThread();
    }
    return TRUE;
}
