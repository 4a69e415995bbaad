#include "parser/Patterns.h"

#include "parser/Characters.h"

namespace Logic::Patterns {

namespace {

bool IsUpper(std::string_view aText, size_t aPosition) {
    return aPosition < aText.size() && aText[aPosition] >= 'A' && aText[aPosition] <= 'Z';
}

bool IsLower(std::string_view aText, size_t aPosition) {
    return aPosition < aText.size() && aText[aPosition] >= 'a' && aText[aPosition] <= 'z';
}

bool IsLetter(std::string_view aText, size_t aPosition) {
    return IsUpper(aText, aPosition) || IsLower(aText, aPosition);
}

bool Is(std::string_view aText, size_t aPosition, char aCharacter) {
    return aPosition < aText.size() && aText[aPosition] == aCharacter;
}

bool IsFormLetter(std::string_view aText, size_t aPosition) {
    return aPosition < aText.size() && std::string_view("aeiouy").find(aText[aPosition]) !=
                                           std::string_view::npos;
}

size_t LetterRun(std::string_view aText, size_t aPosition) {
    size_t lEnd = aPosition;
    while (IsLetter(aText, lEnd)) {
        ++lEnd;
    }
    return lEnd - aPosition;
}

size_t StartsWithText(std::string_view aText, std::string_view aPrefix) {
    return aText.substr(0, aPrefix.size()) == aPrefix ? aPrefix.size() : 0;
}

// [A-Z][aeiouy]~?[A-Z]'? from aPosition; returns the end of the match, 0 for none. The optional
// "~" needs an upper-case letter after it, and without it the same place needs one, so the
// choice never has to be undone.
size_t MatchTwoTermBody(std::string_view aText, size_t aPosition) {
    if (!IsUpper(aText, aPosition) || !IsFormLetter(aText, aPosition + 1)) {
        return 0;
    }
    size_t lPosition = aPosition + 2;
    if (Is(aText, lPosition, '~')) {
        ++lPosition;
    }
    if (!IsUpper(aText, lPosition)) {
        return 0;
    }
    ++lPosition;
    if (Is(aText, lPosition, '\'')) {
        ++lPosition;
    }
    return lPosition;
}

} // namespace

size_t DigitRun(std::string_view aText) {
    size_t lEnd = 0;
    for (;;) {
        const DecodedCharacter lCharacter = DecodeCharacter(aText, lEnd);
        if (!lCharacter.IsDigit()) {
            return lEnd;
        }
        lEnd += lCharacter.mLength;
    }
}

size_t StartsWithQuantifier(std::string_view aText) {
    if ((Is(aText, 0, '1') || Is(aText, 0, '3')) && IsLower(aText, 1) && Is(aText, 2, ',')) {
        return 3;
    }
    return IsLower(aText, 0) && Is(aText, 1, ',') ? 2 : 0;
}

size_t StartsWithThereAreThisManyOfThese(std::string_view aText) {
    const size_t lDigits = DigitRun(aText);
    if (lDigits == 0 || !IsUpper(aText, lDigits) || IsUpper(aText, lDigits + 1)) {
        return 0;
    }
    return lDigits + 1;
}

size_t StartsWithThisManyOfTheseAreTrue(std::string_view aText) {
    const size_t lDigits = DigitRun(aText);
    const size_t lLetters = lDigits == 0 ? 0 : LetterRun(aText, lDigits);
    return lLetters >= 2 ? lDigits + lLetters : 0;
}

size_t StartsWithAnd(std::string_view aText) { return StartsWithText(aText, "&"); }
size_t StartsWithOr(std::string_view aText) { return StartsWithText(aText, "|"); }
size_t StartsWithOnlyIf(std::string_view aText) { return StartsWithText(aText, "->"); }
size_t StartsWithIfAndOnlyIf(std::string_view aText) { return StartsWithText(aText, "<=>"); }

size_t StartsWithNot(std::string_view aText) {
    return Is(aText, 0, '~') && MatchTwoTermBody(aText, 1) == 0 ? 1 : 0;
}

size_t StartsWithNor(std::string_view aText) { return StartsWithText(aText, "!"); }
size_t StartsWithXor(std::string_view aText) { return StartsWithText(aText, "^"); }
size_t StartsWithNecessarilyOnlyIf(std::string_view aText) { return StartsWithText(aText, "-<"); }

size_t StartsWithIs(std::string_view aText) {
    if (!IsUpper(aText, 0) || !IsLower(aText, 1) || IsUpper(aText, 2) || Is(aText, 2, '~')) {
        return 0;
    }
    return 2;
}

size_t StartsWithIsTheSameAs(std::string_view aText) {
    return IsLower(aText, 0) && Is(aText, 1, '=') && IsLower(aText, 2) ? 3 : 0;
}

size_t StartsWithAre(std::string_view aText) {
    return IsLower(aText, 0) && IsUpper(aText, 1) && IsLower(aText, 2) ? 3 : 0;
}

size_t StartsWithTrueThat(std::string_view aText) {
    if (!IsLetter(aText, 0) || IsLetter(aText, 1) || Is(aText, 1, ',') || Is(aText, 1, '=')) {
        return 0;
    }
    return 1;
}

size_t StartsWithPossibly(std::string_view aText) { return StartsWithText(aText, "<>"); }
size_t StartsWithNecessarily(std::string_view aText) { return StartsWithText(aText, "[]"); }

size_t StartsWithTwoTermProposition(std::string_view aText) {
    return MatchTwoTermBody(aText, Is(aText, 0, '~') ? 1 : 0);
}

bool IsForAll(std::string_view aToken) {
    return aToken.size() == 2 && IsLower(aToken, 0) && Is(aToken, 1, ',');
}

bool IsThereExists(std::string_view aToken) {
    return aToken.size() == 3 && Is(aToken, 0, '3') && IsForAll(aToken.substr(1));
}

bool IsThe(std::string_view aToken) {
    return aToken.size() == 3 && Is(aToken, 0, '1') && IsForAll(aToken.substr(1));
}

bool IsTwoTermProposition(std::string_view aToken) {
    return !aToken.empty() && StartsWithTwoTermProposition(aToken) == aToken.size();
}

bool IsIs(std::string_view aToken) {
    return aToken.size() == 2 && IsUpper(aToken, 0) && IsLower(aToken, 1);
}

bool IsAre(std::string_view aToken) {
    return aToken.size() == 3 && IsLower(aToken, 0) && IsUpper(aToken, 1) && IsLower(aToken, 2);
}

bool IsTrueThat(std::string_view aToken) { return aToken.size() == 1 && IsLetter(aToken, 0); }

bool IsIsTheSameAs(std::string_view aToken) {
    return aToken.size() == 3 && StartsWithIsTheSameAs(aToken) == 3;
}

bool IsThereAreThisManyOfThese(std::string_view aToken) {
    const size_t lDigits = DigitRun(aToken);
    return lDigits > 0 && lDigits + 1 == aToken.size() && IsUpper(aToken, lDigits);
}

bool IsThisManyOfTheseAreTrue(std::string_view aToken) {
    const size_t lDigits = DigitRun(aToken);
    const size_t lLetters = lDigits == 0 ? 0 : LetterRun(aToken, lDigits);
    return lLetters >= 2 && lDigits + lLetters == aToken.size();
}

} // namespace Logic::Patterns
