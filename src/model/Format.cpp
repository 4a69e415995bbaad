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

} // namespace Logic
