#include "parser/ParseError.h"

#include <cstdint>

namespace Logic {

void ParseError::LocateIn(std::string_view aText, std::ptrdiff_t aShift) noexcept {
    if (mOffending.data() == nullptr || mBytesInStatement) {
        return;
    }
    // Addresses compared as numbers: the view may point into another text altogether.
    const auto lBegin = reinterpret_cast<uintptr_t>(aText.data());
    const auto lOffending = reinterpret_cast<uintptr_t>(mOffending.data());
    if (lOffending < lBegin || lOffending - lBegin > aText.size() ||
        mOffending.size() > aText.size() - (lOffending - lBegin)) {
        return;
    }
    const auto lOffset = static_cast<std::ptrdiff_t>(lOffending - lBegin) + aShift;
    const auto lLength = static_cast<std::ptrdiff_t>(mOffending.size());
    // Bytes shifted before the start (a parenthesis the caller wrapped around) are left out.
    if (lOffset < 0) {
        mBytesInStatement.emplace(0, static_cast<size_t>(lLength + lOffset > 0 ? lLength + lOffset : 0));
    } else {
        mBytesInStatement.emplace(static_cast<size_t>(lOffset), static_cast<size_t>(lLength));
    }
    mOffending = {};
}

} // namespace Logic
