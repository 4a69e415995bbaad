#include "parser/LogicSymbols.h"

#include <algorithm>

#include "parser/Characters.h"

namespace Logic {

namespace {

// Symbols that stand for one ASCII form wherever they occur. Left out, because they can be
// read two ways:
//   "≢" is "not equivalent" (exclusive or) to some and "not identical" to others;
//   "⋀" and "⋁" are the big operators written before a family of formulas, not between two;
//   "·", "∙" and "•" are conjunction in some books and scope dots ("∀x·Fx") in others;
//   "(∀x)" and "(∃x)", the quantifiers of books that write them in parentheses, bind only the
//   formula right after them there, while "x," here takes the rest of its parentheses;
//   "↑" and "⊼" (not both) have no ASCII form here, and "⊢" and "⊨" are claims about
//   arguments rather than the therefore line.
struct SimpleSymbol {
    char32_t mCodePoint;
    std::string_view mWritten;
    std::string_view mAscii;
};

constexpr SimpleSymbol gSimpleSymbols[] = {
    {U'\u00AC', "\u00AC", "~"},   // ¬ not sign (also 0xAC of the Windows code page 1252)
    {U'\u223C', "\u223C", "~"},   // ∼ tilde operator
    {U'\u2227', "\u2227", "&"},   // ∧
    {U'\u2228', "\u2228", "|"},   // ∨
    {U'\u2192', "\u2192", "->"},  // →
    {U'\u27F6', "\u27F6", "->"},  // ⟶
    {U'\u21D2', "\u21D2", "->"},  // ⇒
    {U'\u27F9', "\u27F9", "->"},  // ⟹
    {U'\u2283', "\u2283", "->"},  // ⊃ horseshoe
    {U'\u2194', "\u2194", "<=>"}, // ↔
    {U'\u27F7', "\u27F7", "<=>"}, // ⟷
    {U'\u21D4', "\u21D4", "<=>"}, // ⇔
    {U'\u27FA', "\u27FA", "<=>"}, // ⟺
    {U'\u2261', "\u2261", "<=>"}, // ≡ triple bar
    {U'\u22BB', "\u22BB", "^"},   // ⊻ exclusive or
    {U'\u2295', "\u2295", "^"},   // ⊕
    {U'\u2193', "\u2193", "!"},   // ↓ neither-nor
    {U'\u22BD', "\u22BD", "!"},   // ⊽
    {U'\u297D', "\u297D", "-<"},  // ⥽ strict implication
    {U'\u25A1', "\u25A1", "[]"},  // □
    {U'\u25FB', "\u25FB", "[]"},  // ◻
    {U'\u25C7', "\u25C7", "<>"},  // ◇
    {U'\u25CA', "\u25CA", "<>"},  // ◊ lozenge
    {U'\u22C4', "\u22C4", "<>"},  // ⋄ diamond operator
    {U'\u2234', "\u2234", ".'."}, // ∴
};

constexpr char32_t ForAll = U'\u2200';
constexpr char32_t ThereExists = U'\u2203';
constexpr char32_t NotEqual = U'\u2260';

bool IsVariableLetter(char aByte) {
    return aByte >= 'a' && aByte <= 'z';
}

const SimpleSymbol* FindSimpleSymbol(char32_t aCodePoint) {
    for (const SimpleSymbol& lSymbol : gSimpleSymbols) {
        if (lSymbol.mCodePoint == aCodePoint) {
            return &lSymbol;
        }
    }
    return nullptr;
}

using WrittenBytes = std::vector<std::pair<uint32_t, uint32_t>>;

/// aWritten in ASCII; aFrom gets, for each byte of the result, the written bytes it stands for.
std::string Translate(std::string_view aWritten, WrittenBytes& aFrom) {
    std::string lAscii;
    lAscii.reserve(aWritten.size());
    aFrom.clear();
    aFrom.reserve(aWritten.size());
    const auto lEmit = [&](std::string_view fAscii, size_t fBegin, size_t fEnd) {
        lAscii.append(fAscii);
        aFrom.insert(aFrom.end(), fAscii.size(),
                     {static_cast<uint32_t>(fBegin), static_cast<uint32_t>(fEnd)});
    };
    // A lower-case letter written as itself, last of the result so far: the left side of "≠".
    bool lEndsWithFreeLetter = false;
    // The last character was a digit written as itself.
    bool lEndsWithDigit = false;
    for (size_t lPosition = 0; lPosition < aWritten.size();) {
        const DecodedCharacter lCharacter = DecodeCharacter(aWritten, lPosition);
        const size_t lNext = lPosition + lCharacter.mLength;
        const char32_t lCode = lCharacter.mValid ? lCharacter.mCodePoint : 0;
        // ∀x is "x,", ∃x "3x,", ∃!x "1x,": the letter stands for itself, the rest for the
        // symbols. After a digit the symbol stays as written (see the header).
        if ((lCode == ForAll || lCode == ThereExists) && !lEndsWithDigit) {
            const bool lUnique =
                lCode == ThereExists && lNext < aWritten.size() && aWritten[lNext] == '!';
            const size_t lLetter = lNext + (lUnique ? 1 : 0);
            if (lLetter < aWritten.size() && IsVariableLetter(aWritten[lLetter])) {
                if (lCode == ThereExists) {
                    lEmit(lUnique ? "1" : "3", lPosition, lLetter);
                }
                lEmit(aWritten.substr(lLetter, 1), lLetter, lLetter + 1);
                lEmit(",", lPosition, lLetter);
                lPosition = lLetter + 1;
                lEndsWithFreeLetter = false;
                lEndsWithDigit = false;
                continue;
            }
        }
        // x≠y is "~x=y": the negation covers the identity alone, the one token "x=y".
        if (lCode == NotEqual && lEndsWithFreeLetter && lNext < aWritten.size() &&
            IsVariableLetter(aWritten[lNext])) {
            const char lLeft = lAscii.back();
            const auto lLeftFrom = aFrom.back();
            lAscii.pop_back();
            aFrom.pop_back();
            lEmit("~", lPosition, lNext);
            lAscii.push_back(lLeft);
            aFrom.push_back(lLeftFrom);
            lEmit("=", lPosition, lNext);
            lEmit(aWritten.substr(lNext, 1), lNext, lNext + 1);
            lPosition = lNext + 1;
            lEndsWithFreeLetter = false;
            lEndsWithDigit = false;
            continue;
        }
        if (const SimpleSymbol* lSymbol = lCharacter.mValid ? FindSimpleSymbol(lCode) : nullptr) {
            lEmit(lSymbol->mAscii, lPosition, lNext);
            lEndsWithFreeLetter = false;
            lEndsWithDigit = false;
        } else {
            lEmit(aWritten.substr(lPosition, lNext - lPosition), lPosition, lNext);
            lEndsWithFreeLetter = lCharacter.mLength == 1 && IsVariableLetter(aWritten[lPosition]);
            lEndsWithDigit = lCharacter.IsDigit();
        }
        lPosition = lNext;
    }
    return lAscii;
}

} // namespace

AsciiNotation AsciiNotation::Of(const MappedText& aWritten) {
    AsciiNotation lResult;
    lResult.mWritten = aWritten.Text();
    const std::string lAscii = Translate(lResult.mWritten, lResult.mWrittenBytes);
    for (size_t lByte = 0; lByte < lAscii.size(); ++lByte) {
        const auto [lBegin, lEnd] = lResult.mWrittenBytes[lByte];
        lResult.mAscii.Append(std::string_view(lAscii).substr(lByte, 1),
                              aWritten.SpanOf(lBegin, lEnd));
    }
    return lResult;
}

std::string AsciiNotation::WrittenOf(size_t aBegin, size_t aEnd) const {
    aEnd = std::min(aEnd, mWrittenBytes.size());
    if (aBegin >= aEnd) {
        return {};
    }
    uint32_t lFirst = mWrittenBytes[aBegin].first;
    uint32_t lLast = mWrittenBytes[aBegin].second;
    for (size_t lByte = aBegin + 1; lByte < aEnd; ++lByte) {
        lFirst = std::min(lFirst, mWrittenBytes[lByte].first);
        lLast = std::max(lLast, mWrittenBytes[lByte].second);
    }
    return mWritten.substr(lFirst, lLast - lFirst);
}

std::string ToAsciiNotation(std::string_view aWritten) {
    WrittenBytes lFrom;
    return Translate(aWritten, lFrom);
}

const std::vector<LogicSymbol>& LogicSymbols() {
    static const std::vector<LogicSymbol> gSymbols = [] {
        std::vector<LogicSymbol> lSymbols;
        for (const SimpleSymbol& lSymbol : gSimpleSymbols) {
            lSymbols.push_back({lSymbol.mWritten, lSymbol.mAscii});
        }
        lSymbols.push_back({"\u2200x", "x,"});
        lSymbols.push_back({"\u2203x", "3x,"});
        lSymbols.push_back({"\u2203!x", "1x,"});
        lSymbols.push_back({"x\u2260y", "~x=y"});
        return lSymbols;
    }();
    return gSymbols;
}

} // namespace Logic
