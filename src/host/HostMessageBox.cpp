#include "host/HostMessageBox.h"

#include "platform/Win32Text.h"

namespace Logic::Npp {

void HostMessageBox::Show(const std::string& aText) {
    std::wstring lText = Platform::Widen(aText);
    MessageBoxW(IsWindow(mOwner) ? mOwner : nullptr, lText.c_str(), L"", MB_OK);
}

} // namespace Logic::Npp
