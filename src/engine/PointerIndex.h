#pragma once
// PointerIndex: numbers for pointers, by open addressing. The walks over a formula's distinct
// nodes look up every node once or twice: a node-based hash map costs an allocation per entry
// and a cache miss per look-up, which for a formula of a few hundred thousand nodes was most of
// the time before any world was evaluated.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace Logic {

/// Pointer -> number, for pointers that are never null. Grows by doubling; never shrinks.
class PointerIndex {
public:
    static constexpr uint32_t None = UINT32_MAX;

    uint32_t Find(const void* aKey) const {
        if (mEntries.empty()) {
            return None;
        }
        for (size_t lAt = Home(aKey);; lAt = (lAt + 1) & (mEntries.size() - 1)) {
            if (mEntries[lAt].first == aKey) {
                return mEntries[lAt].second;
            }
            if (mEntries[lAt].first == nullptr) {
                return None;
            }
        }
    }

    void Insert(const void* aKey, uint32_t aValue) {
        if ((mCount + 1) * 2 > mEntries.size()) {
            Grow();
        }
        size_t lAt = Home(aKey);
        while (mEntries[lAt].first != nullptr) {
            lAt = (lAt + 1) & (mEntries.size() - 1);
        }
        mEntries[lAt] = {aKey, aValue};
        ++mCount;
    }

private:
    size_t Home(const void* aKey) const {
        const uint64_t lBits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(aKey));
        return static_cast<size_t>((lBits * 0x9E3779B97F4A7C15ull) >> 20) & (mEntries.size() - 1);
    }

    void Grow() {
        std::vector<std::pair<const void*, uint32_t>> lOld(std::max<size_t>(mEntries.size() * 2, 64),
                                                            {nullptr, 0});
        lOld.swap(mEntries);
        mCount = 0;
        for (const auto& [lKey, lValue] : lOld) {
            if (lKey != nullptr) {
                Insert(lKey, lValue);
            }
        }
    }

    std::vector<std::pair<const void*, uint32_t>> mEntries;
    size_t mCount = 0;
};

} // namespace Logic
