#include "host/PluginModule.h"

namespace Logic::Npp {

HINSTANCE PluginModule() {
    static const HINSTANCE lModule = [] {
        HMODULE lHandle = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&PluginModule), &lHandle);
        return static_cast<HINSTANCE>(lHandle);
    }();
    return lModule;
}

} // namespace Logic::Npp
