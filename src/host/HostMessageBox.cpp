#include "host/HostMessageBox.h"

#include "platform/Win32Text.h"

namespace Logic::Npp {

void ShowMessageBox(HWND aOwner, const std::string& aText, const wchar_t* aCaption, UINT aStyle) {
    std::wstring lText = Platform::Widen(aText);
    MessageBoxW(IsWindow(aOwner) ? aOwner : nullptr, lText.c_str(), aCaption, aStyle);
}

void HostMessageBox::Show(const std::string& aText) { ShowMessageBox(mOwner, aText, L"", MB_OK); }

} // namespace Logic::Npp
