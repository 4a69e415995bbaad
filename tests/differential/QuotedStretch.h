#pragma once
// Where a failure points in a document, as the differential tests read it back.

#include <string>
#include <string_view>

#include "parser/Characters.h"
#include "parser/SourceMap.h"

namespace Logic::Differential {

/// The characters aOffset .. aOffset+aLength-1 of aText, without comments and white space.
inline std::string QuotedStretch(const std::string& aText, size_t aOffset, size_t aLength) {
    const size_t lBegin = ByteOfCharacter(aText, aOffset);
    const size_t lEnd = lBegin + ByteOfCharacter(std::string_view(aText).substr(lBegin), aLength);
    std::string lResult;
    bool lInComment = false;
    for (size_t lPosition = lBegin; lPosition < lEnd; ++lPosition) {
        if (aText[lPosition] == '\n') {
            lInComment = false;
        } else if (aText.compare(lPosition, 2, "//") == 0) {
            lInComment = true;
        }
        if (!lInComment) {
            lResult += aText[lPosition];
        }
    }
    return RemoveWhiteSpace(lResult);
}

} // namespace Logic::Differential
