#pragma once
// The command table handed to the host: a list of commands and the raw array the host reads,
// rebuilt on every addition. The host writes its command identifiers into the array.

#include <string>
#include <vector>

#include "host/NppRecords.h"

namespace Logic::Npp {

class FuncItems {
public:
    /// One command as the plugin knows it; the host sees it as a FuncItem record.
    struct Item {
        std::wstring mName;
        PluginFunction mFunction = nullptr;
        int32_t mCommandId = 0;
        bool mCheckOnInit = false;
        ShortcutKey mShortcut{};
    };

    FuncItems() = default;
    FuncItems(const FuncItems&) = delete;
    FuncItems& operator=(const FuncItems&) = delete;
    ~FuncItems() { Dispose(); }

    /// Appends aItem to the list and to a new array that replaces the old one. Throws
    /// std::bad_alloc when memory runs out, leaving the table as it was.
    void Add(const Item& aItem);
    /// Reads back the command identifiers that the host wrote into the array.
    void RefreshItems();
    /// The array's address; null until the first command is added.
    FuncItem* NativePointer() const { return _nativePointer; }
    const std::vector<Item>& Items() const { return _funcItems; }
    /// Frees the array and the shortcut blocks; the table is unusable afterwards.
    void Dispose();

    static constexpr size_t _sizeFuncItem = sizeof(FuncItem);

private:
    std::vector<Item> _funcItems;
    FuncItem* _nativePointer = nullptr;
    std::vector<ShortcutKey*> _shortCutKeys;
    bool _disposed = false;
};

} // namespace Logic::Npp
