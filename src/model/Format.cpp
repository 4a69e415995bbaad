#include "model/Format.h"

namespace Logic {

std::string FormatPattern(std::string_view aPattern, const std::vector<std::string>& aArguments) {
    std::string lResult;
    lResult.reserve(aPattern.size());
    for (size_t i = 0; i < aPattern.size(); ++i) {
        char lCharacter = aPattern[i];
        if ((lCharacter == '{' || lCharacter == '}') && i + 1 < aPattern.size() &&
            aPattern[i + 1] == lCharacter) {
            lResult += lCharacter;
            ++i;
            continue;
        }
        if (lCharacter == '{') {
            size_t lEnd = i + 1;
            size_t lNumber = 0;
            while (lEnd < aPattern.size() && aPattern[lEnd] >= '0' && aPattern[lEnd] <= '9' &&
                   lEnd - i <= 9) {
                lNumber = lNumber * 10 + static_cast<size_t>(aPattern[lEnd] - '0');
                ++lEnd;
            }
            if (lEnd > i + 1 && lEnd < aPattern.size() && aPattern[lEnd] == '}' &&
                lNumber < aArguments.size()) {
                lResult += aArguments[lNumber];
                i = lEnd;
                continue;
            }
        }
        lResult += lCharacter;
    }
    return lResult;
}

namespace {
bool IsContinuationByte(char aByte) {
    return (static_cast<unsigned char>(aByte) & 0xC0) == 0x80;
}
} // namespace

std::string QuotableText(std::string_view aText) {
    if (aText.size() <= MaximumQuotedBytes) {
        return std::string(aText);
    }
    // Most of the room goes to the start, where the reader looks for the place; the end shows
    // how the text closes (an unclosed parenthesis, the last directive).
    size_t lHeadEnd = MaximumQuotedBytes * 3 / 4;
    while (lHeadEnd > 0 && IsContinuationByte(aText[lHeadEnd])) {
        --lHeadEnd;
    }
    size_t lTailStart = aText.size() - MaximumQuotedBytes / 4;
    while (lTailStart < aText.size() && IsContinuationByte(aText[lTailStart])) {
        ++lTailStart;
    }
    size_t lLeftOut = 0;
    for (size_t i = lHeadEnd; i < lTailStart; ++i) {
        lLeftOut += IsContinuationByte(aText[i]) ? 0 : 1;
    }
    std::string lResult(aText.substr(0, lHeadEnd));
    lResult += "...[";
    lResult += std::to_string(lLeftOut);
    lResult += " characters left out]...";
    lResult += aText.substr(lTailStart);
    return lResult;
}

} // namespace Logic
