#include "host/FuncItems.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace Logic::Npp {

void FuncItems::Add(const Item& aItem) {
    if (_disposed) {
        return;
    }
    size_t lOldCount = _funcItems.size();
    // Reserve first, so that a failure leaves the list and the array in step.
    _funcItems.reserve(lOldCount + 1);
    _shortCutKeys.reserve(_shortCutKeys.size() + 1);

    auto* lArray = static_cast<FuncItem*>(std::calloc(lOldCount + 1, _sizeFuncItem));
    if (lArray == nullptr) {
        throw std::bad_alloc();
    }
    ShortcutKey* lShortcut = nullptr;
    if (aItem.mShortcut._key != 0) {
        lShortcut = static_cast<ShortcutKey*>(std::malloc(sizeof(ShortcutKey)));
        if (lShortcut == nullptr) {
            std::free(lArray);
            throw std::bad_alloc();
        }
        *lShortcut = aItem.mShortcut;
    }
    if (_nativePointer != nullptr) {
        std::memcpy(lArray, _nativePointer, lOldCount * _sizeFuncItem);
        std::free(_nativePointer);
    }

    FuncItem& lRecord = lArray[lOldCount];
    size_t lLength = std::min(aItem.mName.size(), MenuItemNameLength - 1);
    std::copy_n(aItem.mName.data(), lLength, lRecord._itemName);
    lRecord._itemName[lLength] = L'\0';
    lRecord._pFunc = aItem.mFunction;
    lRecord._cmdID = aItem.mCommandId;
    lRecord._init2Check = aItem.mCheckOnInit ? 1 : 0;
    lRecord._pShKey = lShortcut;

    _nativePointer = lArray;
    _funcItems.push_back(aItem);
    if (lShortcut != nullptr) {
        _shortCutKeys.push_back(lShortcut);
    }
}

void FuncItems::RefreshItems() {
    if (_nativePointer == nullptr) {
        return;
    }
    for (size_t i = 0; i < _funcItems.size(); ++i) {
        _funcItems[i].mCommandId = _nativePointer[i]._cmdID;
    }
}

void FuncItems::Dispose() {
    if (_disposed) {
        return;
    }
    for (ShortcutKey* lShortcut : _shortCutKeys) {
        std::free(lShortcut);
    }
    _shortCutKeys.clear();
    std::free(_nativePointer);
    _nativePointer = nullptr;
    _disposed = true;
}

} // namespace Logic::Npp
