#include "model/NamedObject.h"

namespace Logic {

std::atomic<int32_t> NamedObject::NextObjectNumber{1};

NamedObject::NamedObject() {
    int32_t lNumber = NextObjectNumber.fetch_add(1, std::memory_order_relaxed);
    std::string lDigits = std::to_string(lNumber);
    constexpr size_t lMinimumDigits = 6;
    if (lNumber >= 0 && lDigits.size() < lMinimumDigits) {
        lDigits.insert(0, lMinimumDigits - lDigits.size(), '0');
    }
    mName = std::move(lDigits);
}

} // namespace Logic
