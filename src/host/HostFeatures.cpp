#include "host/HostFeatures.h"

#include "host/DisplayRecords.h"
#include "host/PluginBase.h"

namespace Logic::Npp::HostFeatures {

uint32_t HostVersion() {
    HWND lHost = PluginBase::nppData._nppHandle;
    if (lHost == nullptr || !IsWindow(lHost)) {
        return 0;
    }
    constexpr WPARAM AddZeroPadding = TRUE;
    return static_cast<uint32_t>(SendMessageW(lHost, NPPM_GETNPPVERSION, AddZeroPadding, 0));
}

bool Has(uint32_t aVersion) { return HostVersion() >= aVersion; }

} // namespace Logic::Npp::HostFeatures
