#include "parser/Highlighting.h"

#include <string>

#include "parser/Characters.h"
#include "parser/Patterns.h"
#include "parser/ReplacementRules.h"

namespace Logic::Highlighting {

namespace {

struct SymbolStyle {
    char32_t mCodePoint;
    Style mStyle;
};

// The logic symbols a user may type in place of the ASCII operators. Each is one token however
// many bytes its UTF-8 takes.
constexpr SymbolStyle gSymbols[] = {
    {U'\u00AC', Style::Connective}, // not
    {U'\u223C', Style::Connective}, // tilde operator
    {U'\u2227', Style::Connective}, // and
    {U'\u2228', Style::Connective}, // or
    {U'\u2192', Style::Connective}, // only if
    {U'\u21D2', Style::Connective},
    {U'\u2283', Style::Connective},
    {U'\u2194', Style::Connective}, // if and only if
    {U'\u21D4', Style::Connective},
    {U'\u2261', Style::Connective},
    {U'\u2193', Style::Connective}, // nor
    {U'\u22BB', Style::Connective}, // xor
    {U'\u2295', Style::Connective},
    {U'\u2234', Style::Connective}, // therefore
    {U'\u2200', Style::Quantifier}, // for all
    {U'\u2203', Style::Quantifier}, // there is
    {U'\u25A1', Style::Modal},      // necessarily
    {U'\u25FB', Style::Modal},
    {U'\u25C7', Style::Modal},      // possibly
    {U'\u25CA', Style::Modal},
    {U'\u297D', Style::Modal},      // strict implication
    {U'\u2260', Style::Predicate},  // not the same as
};

const SymbolStyle* FindSymbol(char32_t aCodePoint) {
    for (const SymbolStyle& lSymbol : gSymbols) {
        if (lSymbol.mCodePoint == aCodePoint) {
            return &lSymbol;
        }
    }
    return nullptr;
}

/// U+2260 in UTF-8: "a\u2260b" is a predication like "a=b".
constexpr std::string_view NotTheSameAs = "\xE2\x89\xA0";

bool IsLowerLetter(std::string_view aText, size_t aPosition) {
    return aPosition < aText.size() && aText[aPosition] >= 'a' && aText[aPosition] <= 'z';
}

/// Styles the code of one line (no comment, no line feed): its characters other than white
/// space are cut into tokens as the tokenizer cuts a statement, with parentheses as tokens of
/// their own so that what stands inside them is coloured too.
class LineStyler {
public:
    LineStyler(std::string_view aText, std::vector<Style>& aStyles, std::vector<size_t>& aOpen)
        : mText(aText), mStyles(aStyles), mOpen(aOpen) {}

    void StyleCode(size_t aBegin, size_t aEnd) {
        mCode.clear();
        mPlaces.clear();
        for (size_t lPosition = aBegin; lPosition < aEnd;) {
            const DecodedCharacter lCharacter =
                DecodeCharacter(mText.substr(0, aEnd), lPosition);
            if (!lCharacter.IsSpace()) {
                for (size_t lByte = 0; lByte < lCharacter.mLength; ++lByte) {
                    mCode.push_back(mText[lPosition + lByte]);
                    mPlaces.push_back(lPosition + lByte);
                }
            }
            lPosition += lCharacter.mLength;
        }
        for (size_t lToken = 0; lToken < mCode.size();) {
            lToken += StyleToken(lToken);
        }
    }

private:
    /// Styles the token at aToken of the code and returns its length.
    size_t StyleToken(size_t aToken) {
        const std::string_view lRest = std::string_view(mCode).substr(aToken);
        if (lRest.front() == '(') {
            mOpen.push_back(mPlaces[aToken]);
            return Paint(aToken, {Style::Parenthesis});
        }
        if (lRest.front() == ')') {
            const bool lMatched = !mOpen.empty();
            if (lMatched) {
                mOpen.pop_back();
            }
            return Paint(aToken, {lMatched ? Style::Parenthesis : Style::Error});
        }
        if (lRest.starts_with(".'.")) {
            return Paint(aToken, 3, Style::Connective);
        }
        if (size_t lLength = Patterns::StartsWithQuantifier(lRest)) {
            return Paint(aToken, lLength, Style::Quantifier);
        }
        if (size_t lLength = Patterns::StartsWithThereAreThisManyOfThese(lRest)) {
            return Paint(aToken, lLength, Style::Counting);
        }
        if (size_t lLength = Patterns::StartsWithThisManyOfTheseAreTrue(lRest)) {
            return Paint(aToken, lLength, Style::Counting);
        }
        for (auto lPattern : {Patterns::StartsWithAnd, Patterns::StartsWithOr,
                              Patterns::StartsWithOnlyIf, Patterns::StartsWithIfAndOnlyIf,
                              Patterns::StartsWithNot, Patterns::StartsWithNor,
                              Patterns::StartsWithXor}) {
            if (size_t lLength = lPattern(lRest)) {
                return Paint(aToken, lLength, Style::Connective);
            }
        }
        if (size_t lLength = Patterns::StartsWithNecessarilyOnlyIf(lRest)) {
            return Paint(aToken, lLength, Style::Modal);
        }
        if (Patterns::StartsWithIs(lRest)) {
            return Paint(aToken, {Style::Predicate, Style::Variable});
        }
        if (Patterns::StartsWithIsTheSameAs(lRest)) {
            return Paint(aToken, {Style::Variable, Style::Predicate, Style::Variable});
        }
        if (Patterns::StartsWithAre(lRest)) {
            return Paint(aToken, {Style::Variable, Style::Predicate, Style::Variable});
        }
        if (IsLowerLetter(lRest, 0) && lRest.substr(1, 3) == NotTheSameAs &&
            IsLowerLetter(lRest, 4)) {
            Paint(aToken, {Style::Variable, Style::Predicate, Style::Predicate, Style::Predicate,
                           Style::Variable});
            return 5;
        }
        if (Patterns::StartsWithTrueThat(lRest)) {
            return Paint(aToken, {Style::Proposition});
        }
        for (auto lPattern : {Patterns::StartsWithPossibly, Patterns::StartsWithNecessarily}) {
            if (size_t lLength = lPattern(lRest)) {
                return Paint(aToken, lLength, Style::Modal);
            }
        }
        if (size_t lLength = Patterns::StartsWithTwoTermProposition(lRest)) {
            return PaintTwoTerm(aToken, lLength);
        }
        const DecodedCharacter lCharacter = DecodeCharacter(lRest, 0);
        const SymbolStyle* lSymbol = lCharacter.mValid ? FindSymbol(lCharacter.mCodePoint)
                                                       : nullptr;
        if (lSymbol == nullptr) {
            return Paint(aToken, lCharacter.mLength, Style::Default);
        }
        // A quantifier symbol takes the letter of its variable with it, as "x," does.
        const size_t lLength = lCharacter.mLength +
                               (lSymbol->mStyle == Style::Quantifier &&
                                        IsLowerLetter(lRest, lCharacter.mLength)
                                    ? 1
                                    : 0);
        return Paint(aToken, lLength, lSymbol->mStyle);
    }

    size_t Paint(size_t aToken, size_t aLength, Highlighting::Style aStyle) {
        for (size_t lByte = 0; lByte < aLength; ++lByte) {
            mStyles[mPlaces[aToken + lByte]] = aStyle;
        }
        return aLength;
    }

    /// One style for each byte of a token of ASCII characters.
    size_t Paint(size_t aToken, std::initializer_list<Highlighting::Style> aStyles) {
        size_t lByte = 0;
        for (Highlighting::Style lStyle : aStyles) {
            mStyles[mPlaces[aToken + lByte++]] = lStyle;
        }
        return aStyles.size();
    }

    /// "~SaP'": the subject and predicate letters are predicates, the form letter and the mark
    /// of the modern reading say how many, and "~" denies a term.
    size_t PaintTwoTerm(size_t aToken, size_t aLength) {
        for (size_t lByte = 0; lByte < aLength; ++lByte) {
            const char lCharacter = mCode[aToken + lByte];
            const bool lUpper = lCharacter >= 'A' && lCharacter <= 'Z';
            mStyles[mPlaces[aToken + lByte]] = lCharacter == '~' ? Style::Connective
                                               : lUpper          ? Style::Predicate
                                                                 : Style::Quantifier;
        }
        return aLength;
    }

    std::string_view mText;
    std::vector<Highlighting::Style>& mStyles;
    /// Where each parenthesis still open stands in the text.
    std::vector<size_t>& mOpen;
    /// The line's code without white space, and where each of its bytes stands in the text.
    std::string mCode;
    std::vector<size_t> mPlaces;
};

} // namespace

StyledText StyleNotation(std::string_view aText, size_t aAtLeast) {
    StyledText lResult;
    lResult.mStyles.assign(aText.size(), Style::Default);
    std::vector<size_t> lOpen;
    LineStyler lStyler(aText, lResult.mStyles, lOpen);
    size_t lLineStart = 0;
    while (lLineStart < aText.size()) {
        if (lLineStart >= aAtLeast && lOpen.empty()) {
            break;
        }
        lResult.mOpenAtLineStarts.push_back(static_cast<uint32_t>(lOpen.size()));
        const size_t lFeed = aText.find('\n', lLineStart);
        const size_t lLineEnd = lFeed == std::string_view::npos ? aText.size() : lFeed;
        const std::string_view lLine = aText.substr(lLineStart, lLineEnd - lLineStart);
        if (lLine.starts_with('#')) {
            // A directive line has no comment: the whole line is the directive.
            const Style lStyle = ReplacementRules::IsReplacementDirective(lLine) ? Style::Directive
                                                                                 : Style::Error;
            for (size_t lByte = lLineStart; lByte < lLineEnd; ++lByte) {
                lResult.mStyles[lByte] = lStyle;
            }
        } else {
            const size_t lComment = lLine.find("//");
            const size_t lCodeEnd =
                lComment == std::string_view::npos ? lLineEnd : lLineStart + lComment;
            lStyler.StyleCode(lLineStart, lCodeEnd);
            for (size_t lByte = lCodeEnd; lByte < lLineEnd; ++lByte) {
                lResult.mStyles[lByte] = Style::Comment;
            }
        }
        lLineStart = lFeed == std::string_view::npos ? aText.size() : lFeed + 1;
    }
    // A "(" still open at the end of the text never finds its partner.
    for (size_t lPlace : lOpen) {
        lResult.mStyles[lPlace] = Style::Error;
    }
    lResult.mStyles.resize(lLineStart);
    if (lLineStart < aText.size()) {
        lResult.mOpenAtLineStarts.push_back(0);
    }
    return lResult;
}

} // namespace Logic::Highlighting
