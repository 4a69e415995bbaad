#include "host/PluginBase.h"

namespace Logic::Npp {

NppData PluginBase::nppData{};

FuncItems& PluginBase::_funcItems() {
    // Never destroyed: the host may read the table until the very end of the process.
    static FuncItems* lItems = new FuncItems();
    return *lItems;
}

void PluginBase::SetCommand(int aIndex, const std::wstring& aCommandName,
                            PluginFunction aFunctionPointer) {
    SetCommand(aIndex, aCommandName, aFunctionPointer, ShortcutKey{}, false);
}

void PluginBase::SetCommand(int aIndex, const std::wstring& aCommandName,
                            PluginFunction aFunctionPointer, ShortcutKey aShortcut) {
    SetCommand(aIndex, aCommandName, aFunctionPointer, aShortcut, false);
}

void PluginBase::SetCommand(int aIndex, const std::wstring& aCommandName,
                            PluginFunction aFunctionPointer, bool aCheckOnInit) {
    SetCommand(aIndex, aCommandName, aFunctionPointer, ShortcutKey{}, aCheckOnInit);
}

void PluginBase::SetCommand(int aIndex, const std::wstring& aCommandName,
                            PluginFunction aFunctionPointer, ShortcutKey aShortcut,
                            bool aCheckOnInit) {
    FuncItems::Item lItem;
    lItem.mName = aCommandName;
    lItem.mFunction = aFunctionPointer;
    lItem.mCommandId = aIndex;
    lItem.mCheckOnInit = aCheckOnInit;
    if (aShortcut._key != 0) {
        lItem.mShortcut = aShortcut;
    }
    _funcItems().Add(lItem);
}

HWND PluginBase::GetCurrentScintilla() {
    int32_t lView = 0;
    SendMessageW(nppData._nppHandle, NPPM_GETCURRENTSCINTILLA, 0, reinterpret_cast<LPARAM>(&lView));
    return lView != 0 ? nppData._scintillaSecondHandle : nppData._scintillaMainHandle;
}

} // namespace Logic::Npp
