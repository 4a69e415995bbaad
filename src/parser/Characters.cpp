#include "parser/Characters.h"

#include "parser/UnicodeClasses.h"

namespace Logic {

bool DecodedCharacter::IsWord() const { return mValid && IsWordCharacter(mCodePoint); }

bool DecodedCharacter::IsSpace() const { return mValid && IsWhiteSpace(mCodePoint); }

bool DecodedCharacter::IsDigit() const { return mValid && IsDecimalDigit(mCodePoint); }

DecodedCharacter DecodeCharacter(std::string_view aText, size_t aPosition) {
    if (aPosition >= aText.size()) {
        return {};
    }
    const auto lLead = static_cast<unsigned char>(aText[aPosition]);
    const DecodedCharacter lInvalid{lLead, 1, false};
    if (lLead < 0x80) {
        return {lLead, 1, true};
    }
    size_t lLength = 0;
    char32_t lCodePoint = 0;
    char32_t lSmallest = 0;
    if (lLead >= 0xC2 && lLead <= 0xDF) {
        lLength = 2, lCodePoint = lLead & 0x1F, lSmallest = 0x80;
    } else if (lLead >= 0xE0 && lLead <= 0xEF) {
        lLength = 3, lCodePoint = lLead & 0x0F, lSmallest = 0x800;
    } else if (lLead >= 0xF0 && lLead <= 0xF4) {
        lLength = 4, lCodePoint = lLead & 0x07, lSmallest = 0x10000;
    } else {
        return lInvalid;
    }
    if (aText.size() - aPosition < lLength) {
        return lInvalid;
    }
    for (size_t lIndex = 1; lIndex < lLength; ++lIndex) {
        const auto lByte = static_cast<unsigned char>(aText[aPosition + lIndex]);
        if ((lByte & 0xC0) != 0x80) {
            return lInvalid;
        }
        lCodePoint = (lCodePoint << 6) | (lByte & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are malformed.
    if (lCodePoint < lSmallest || (lCodePoint >= 0xD800 && lCodePoint <= 0xDFFF) ||
        lCodePoint > 0x10FFFF) {
        return lInvalid;
    }
    return {lCodePoint, lLength, true};
}

std::string RemoveWhiteSpace(std::string_view aText) {
    std::string lResult;
    lResult.reserve(aText.size());
    for (size_t lPosition = 0; lPosition < aText.size();) {
        const DecodedCharacter lCharacter = DecodeCharacter(aText, lPosition);
        if (!lCharacter.IsSpace()) {
            lResult.append(aText.substr(lPosition, lCharacter.mLength));
        }
        lPosition += lCharacter.mLength;
    }
    return lResult;
}

} // namespace Logic
