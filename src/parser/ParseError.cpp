#include "parser/ParseError.h"

#include <cstdint>

namespace Logic {

namespace {
std::string FormatQuotingAll(std::string_view aPattern,
                             const std::vector<std::string>& aArguments) {
    std::vector<std::string> lQuoted;
    lQuoted.reserve(aArguments.size());
    for (const std::string& lArgument : aArguments) {
        lQuoted.push_back(QuotableText(lArgument));
    }
    return FormatPattern(aPattern, lQuoted);
}
} // namespace

ParseError::ParseError(OffendingText aOffending, std::string_view aPattern,
                       std::vector<std::string> aArguments)
    : std::runtime_error(FormatQuotingAll(aPattern, aArguments)), mOffending(aOffending.mText),
      mPattern(aPattern), mArguments(std::move(aArguments)) {
    for (const std::string& lArgument : mArguments) {
        mQuotesOffending.push_back(lArgument == aOffending.mText);
    }
}

void ParseError::QuoteAsWritten(std::string_view aRead, std::string_view aWritten) {
    bool lChanged = false;
    for (size_t lIndex = 0; lIndex < mArguments.size(); ++lIndex) {
        if (mQuotesOffending[lIndex] && mArguments[lIndex] == aRead && aRead != aWritten) {
            mArguments[lIndex] = std::string(aWritten);
            lChanged = true;
        }
    }
    if (lChanged) {
        static_cast<std::runtime_error&>(*this) =
            std::runtime_error(FormatQuotingAll(mPattern, mArguments));
    }
}

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
