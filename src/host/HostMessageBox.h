#pragma once
// The depiction commands' message box, owned by the editor's window.

#include <windows.h>

#include "driver/HostInterfaces.h"

namespace Logic::Npp {

class HostMessageBox final : public IMessageBox {
public:
    explicit HostMessageBox(HWND aOwner) : mOwner(aOwner) {}
    /// A modal box with no caption and an OK button.
    void Show(const std::string& aText) override;

private:
    HWND mOwner;
};

/// A modal message box owned by aOwner, or by no window once aOwner is gone.
void ShowMessageBox(HWND aOwner, const std::string& aText, const wchar_t* aCaption, UINT aStyle);

} // namespace Logic::Npp
