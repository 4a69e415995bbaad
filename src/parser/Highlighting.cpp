#include "parser/Highlighting.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "parser/Characters.h"
#include "parser/LogicSymbols.h"
#include "parser/ParseError.h"
#include "parser/Patterns.h"
#include "parser/ReplacementRules.h"
#include "parser/SourceMap.h"

namespace Logic::Highlighting {

namespace {

/// Styles the code of one line (no comment, no line feed): the replacement rules met so far
/// rewrite it, its characters other than white space are cut into tokens as the tokenizer cuts a
/// statement, with parentheses as tokens of their own so that what stands inside them is
/// coloured too, and each token's style goes to the characters it came from: a word replaced by
/// "&" is a connective.
class LineStyler {
public:
    LineStyler(std::string_view aText, std::vector<Style>& aStyles, std::vector<size_t>& aOpen)
        : mText(aText), mStyles(aStyles), mOpen(aOpen) {}

    void StyleCode(size_t aBegin, size_t aEnd, const ReplacementRules& aRules) {
        const std::string_view lCode = mText.substr(aBegin, aEnd - aBegin);
        // Where each character of the code begins, in the text; one more for the end.
        mCharacterStarts.clear();
        for (size_t lPosition = 0; lPosition < lCode.size();) {
            mCharacterStarts.push_back(aBegin + lPosition);
            lPosition += DecodeCharacter(lCode, lPosition).mLength;
        }
        mCharacterStarts.push_back(aEnd);
        MappedText lMapped = MappedText::OfDocument(lCode, 0);
        if (!aRules.Replacements().empty()) {
            // Each line on its own: what the rules may add is counted per line, so a line's
            // colours never depend on the lines before it beyond their directives.
            ReplacementRules lRules = aRules;
            try {
                lMapped = lRules.Apply(lMapped);
            } catch (const ParseError&) {
                // Grown past the bound: the line is coloured as written.
            }
        }
        // The logic symbols read as the ASCII they stand for, each ASCII byte keeping the
        // characters it came from: a symbol takes the colour of its ASCII form.
        mMapped = AsciiNotation::Of(WithoutWhiteSpace(lMapped)).Ascii();
        mCode = mMapped.Text();
        for (size_t lToken = 0; lToken < mCode.size();) {
            lToken += StyleToken(lToken);
        }
    }

private:
    /// Styles the token at aToken of the code and returns its length.
    size_t StyleToken(size_t aToken) {
        const std::string_view lRest = std::string_view(mCode).substr(aToken);
        if (lRest.front() == '(') {
            mOpen.push_back(mCharacterStarts[mMapped.SpanOfByte(aToken).mBegin]);
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
        for (auto lPattern :
             {Patterns::StartsWithAnd, Patterns::StartsWithOr, Patterns::StartsWithOnlyIf,
              Patterns::StartsWithIfAndOnlyIf, Patterns::StartsWithNot, Patterns::StartsWithNor,
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
        return Paint(aToken, DecodeCharacter(lRest, 0).mLength, Style::Default);
    }

    /// Gives the text the byte at aByte of the code came from the style aStyle.
    void PaintByte(size_t aByte, Highlighting::Style aStyle) {
        const SourceSpan lSpan = mMapped.SpanOfByte(aByte);
        if (!lSpan.IsSomewhere()) {
            return;
        }
        for (size_t lPlace = mCharacterStarts[lSpan.mBegin]; lPlace < mCharacterStarts[lSpan.mEnd];
             ++lPlace) {
            mStyles[lPlace] = aStyle;
        }
    }

    size_t Paint(size_t aToken, size_t aLength, Highlighting::Style aStyle) {
        for (size_t lByte = 0; lByte < aLength; ++lByte) {
            PaintByte(aToken + lByte, aStyle);
        }
        return aLength;
    }

    /// One style for each byte of a token of ASCII characters.
    size_t Paint(size_t aToken, std::initializer_list<Highlighting::Style> aStyles) {
        size_t lByte = 0;
        for (Highlighting::Style lStyle : aStyles) {
            PaintByte(aToken + lByte++, lStyle);
        }
        return aStyles.size();
    }

    /// "~SaP'": the subject and predicate letters are predicates, the form letter and the mark
    /// of the modern reading say how many, and "~" denies a term.
    size_t PaintTwoTerm(size_t aToken, size_t aLength) {
        for (size_t lByte = 0; lByte < aLength; ++lByte) {
            const char lCharacter = mCode[aToken + lByte];
            const bool lUpper = lCharacter >= 'A' && lCharacter <= 'Z';
            PaintByte(aToken + lByte, lCharacter == '~' ? Style::Connective
                                      : lUpper          ? Style::Predicate
                                                        : Style::Quantifier);
        }
        return aLength;
    }

    std::string_view mText;
    std::vector<Highlighting::Style>& mStyles;
    /// Where each parenthesis still open stands in the text.
    std::vector<size_t>& mOpen;
    /// The line's code rewritten by the rules and without white space; each of its bytes knows
    /// the characters of the line it stands for.
    MappedText mMapped;
    std::string mCode;
    std::vector<size_t> mCharacterStarts;
};

} // namespace

StyledText StyleNotation(std::string_view aText, size_t aFrom, size_t aAtLeast) {
    StyledText lResult;
    aFrom = std::min(aFrom, aText.size());
    // The rules of the directives before aFrom apply to what follows.
    ReplacementRules lRules;
    for (size_t lLineStart = 0; lLineStart < aFrom;) {
        const size_t lFeed = aText.find('\n', lLineStart);
        const size_t lLineEnd = std::min(lFeed, aText.size());
        const std::string_view lLine = aText.substr(lLineStart, lLineEnd - lLineStart);
        if (lLine.starts_with('#') && ReplacementRules::IsReplacementDirective(lLine)) {
            lRules.Add(lLine);
        }
        lLineStart = lLineEnd + 1;
    }
    std::vector<Style> lStyles(aText.size(), Style::Default);
    std::vector<size_t> lOpen;
    LineStyler lStyler(aText, lStyles, lOpen);
    size_t lLineStart = aFrom;
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
            const bool lValid = ReplacementRules::IsReplacementDirective(lLine);
            if (lValid) {
                lRules.Add(lLine);
            }
            std::fill(lStyles.begin() + static_cast<ptrdiff_t>(lLineStart),
                      lStyles.begin() + static_cast<ptrdiff_t>(lLineEnd),
                      lValid ? Style::Directive : Style::Error);
        } else {
            const size_t lComment = lLine.find("//");
            const size_t lCodeEnd =
                lComment == std::string_view::npos ? lLineEnd : lLineStart + lComment;
            lStyler.StyleCode(lLineStart, lCodeEnd, lRules);
            std::fill(lStyles.begin() + static_cast<ptrdiff_t>(lCodeEnd),
                      lStyles.begin() + static_cast<ptrdiff_t>(lLineEnd), Style::Comment);
        }
        lLineStart = lFeed == std::string_view::npos ? aText.size() : lFeed + 1;
    }
    // A "(" still open at the end of the text never finds its partner.
    for (size_t lPlace : lOpen) {
        lStyles[lPlace] = Style::Error;
    }
    lResult.mStyles.assign(lStyles.begin() + static_cast<ptrdiff_t>(aFrom),
                           lStyles.begin() + static_cast<ptrdiff_t>(lLineStart));
    if (lLineStart < aText.size()) {
        lResult.mOpenAtLineStarts.push_back(0);
    }
    return lResult;
}

} // namespace Logic::Highlighting
