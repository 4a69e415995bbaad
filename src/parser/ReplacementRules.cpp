#include "parser/ReplacementRules.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "parser/Characters.h"
#include "parser/ParseError.h"

namespace Logic {

namespace {

struct Directive {
    std::string_view mWord;
    std::string_view mReplacement;
};

size_t SkipSpaces(std::string_view aText, size_t aPosition) {
    for (;;) {
        const DecodedCharacter lCharacter = DecodeCharacter(aText, aPosition);
        if (!lCharacter.IsSpace()) {
            return aPosition;
        }
        aPosition += lCharacter.mLength;
    }
}

size_t SkipNonSpaces(std::string_view aText, size_t aPosition) {
    for (;;) {
        const DecodedCharacter lCharacter = DecodeCharacter(aText, aPosition);
        if (lCharacter.mLength == 0 || lCharacter.IsSpace()) {
            return aPosition;
        }
        aPosition += lCharacter.mLength;
    }
}

// ^\s*#\s*replace\s+(\S+)\s+(\S+)\s*$ ; a run of \S+ can't give back characters to the \s+ that
// follows it, so one left-to-right pass decides the match.
std::optional<Directive> MatchDirective(std::string_view aLine) {
    size_t lPosition = SkipSpaces(aLine, 0);
    if (aLine.substr(lPosition, 1) != "#") {
        return std::nullopt;
    }
    lPosition = SkipSpaces(aLine, lPosition + 1);
    constexpr std::string_view lKeyword = "replace";
    if (aLine.substr(lPosition, lKeyword.size()) != lKeyword) {
        return std::nullopt;
    }
    lPosition += lKeyword.size();
    std::string_view lGroups[2];
    for (std::string_view& lGroup : lGroups) {
        const size_t lGroupStart = SkipSpaces(aLine, lPosition);
        if (lGroupStart == lPosition) {
            return std::nullopt;
        }
        lPosition = SkipNonSpaces(aLine, lGroupStart);
        if (lPosition == lGroupStart) {
            return std::nullopt;
        }
        lGroup = aLine.substr(lGroupStart, lPosition - lGroupStart);
    }
    if (SkipSpaces(aLine, lPosition) != aLine.size()) {
        return std::nullopt;
    }
    return Directive{lGroups[0], lGroups[1]};
}

// "$" matches at the end and just before a final line feed.
bool IsEnd(std::string_view aText, size_t aPosition) {
    return aPosition == aText.size() ||
           (aPosition + 1 == aText.size() && aText[aPosition] == '\n');
}

bool IsBoundaryCharacter(const DecodedCharacter& aCharacter, bool aNextToWordCharacter) {
    if (aCharacter.mLength == 0) {
        return false;
    }
    return aNextToWordCharacter ? !aCharacter.IsWord() : aCharacter.IsWord() || aCharacter.IsSpace();
}

struct Match {
    size_t mStart;
    size_t mEnd;
    std::string_view mLeft;
    std::string_view mRight;
};

// The right boundary after the word, which ends at aWordEnd: a boundary character, else "$".
std::optional<std::string_view> MatchRight(std::string_view aText, size_t aWordEnd,
                                           const ReplacementRules::Rule& aRule) {
    const DecodedCharacter lCharacter = DecodeCharacter(aText, aWordEnd);
    if (IsBoundaryCharacter(lCharacter, aRule.mEndsWithWord)) {
        return aText.substr(aWordEnd, lCharacter.mLength);
    }
    if (IsEnd(aText, aWordEnd)) {
        return std::string_view();
    }
    return std::nullopt;
}

// Tries the alternatives in the order a backtracking matcher would: a left boundary character
// first, then the start of the text.
std::optional<Match> MatchAt(std::string_view aText, size_t aStart,
                             const ReplacementRules::Rule& aRule) {
    const DecodedCharacter lCharacter = DecodeCharacter(aText, aStart);
    if (IsBoundaryCharacter(lCharacter, aRule.mStartsWithWord)) {
        const size_t lWordStart = aStart + lCharacter.mLength;
        if (aText.substr(lWordStart, aRule.mWord.size()) == aRule.mWord) {
            const size_t lWordEnd = lWordStart + aRule.mWord.size();
            if (auto lRight = MatchRight(aText, lWordEnd, aRule)) {
                return Match{aStart, lWordEnd + lRight->size(),
                             aText.substr(aStart, lCharacter.mLength), *lRight};
            }
        }
    }
    if (aStart == 0 && aText.substr(0, aRule.mWord.size()) == aRule.mWord) {
        if (auto lRight = MatchRight(aText, aRule.mWord.size(), aRule)) {
            return Match{0, aRule.mWord.size() + lRight->size(), std::string_view(), *lRight};
        }
    }
    return std::nullopt;
}

/// RegexReplace, giving up (with nothing) as soon as the result would be longer than
/// aMaximumBytes. The bytes of a replacement stand for the word they replaced.
std::optional<MappedText> ReplaceWithin(const MappedText& aMapped,
                                        const ReplacementRules::Rule& aRule,
                                        size_t aMaximumBytes) {
    if (aRule.mWord.empty()) {
        return aMapped;
    }
    const std::string_view aText = aMapped.Text();
    MappedText lResult;
    size_t lCopied = 0;
    for (size_t lPosition = 0; lPosition < aText.size();) {
        const std::optional<Match> lMatch = MatchAt(aText, lPosition, aRule);
        if (!lMatch) {
            lPosition += DecodeCharacter(aText, lPosition).mLength;
            continue;
        }
        // What is built so far and the rest of the text are a lower bound of the result.
        const size_t lReplaced =
            lMatch->mLeft.size() + aRule.mReplacement.size() + lMatch->mRight.size();
        if (lResult.size() + (lMatch->mStart - lCopied) + lReplaced +
                (aText.size() - lMatch->mEnd) >
            aMaximumBytes) {
            return std::nullopt;
        }
        const size_t lWordStart = lMatch->mStart + lMatch->mLeft.size();
        const size_t lWordEnd = lMatch->mEnd - lMatch->mRight.size();
        lResult.Append(aMapped, lCopied, lWordStart);
        lResult.Append(aRule.mReplacement, aMapped.SpanOf(lWordStart, lWordEnd));
        lResult.Append(aMapped, lWordEnd, lMatch->mEnd);
        lCopied = lPosition = lMatch->mEnd;
    }
    lResult.Append(aMapped, lCopied, aText.size());
    return lResult;
}

} // namespace

bool ReplacementRules::IsReplacementDirective(std::string_view aLine) {
    return MatchDirective(aLine).has_value();
}

bool ReplacementRules::StartsWithWord(std::string_view aText) {
    return DecodeCharacter(aText, 0).IsWord();
}

bool ReplacementRules::EndsWithWord(std::string_view aText) {
    // "\w$": the last character, or the one before a final line feed.
    bool lLastIsWord = false;
    bool lBeforeFinalLineFeedIsWord = false;
    for (size_t lPosition = 0; lPosition < aText.size();) {
        const DecodedCharacter lCharacter = DecodeCharacter(aText, lPosition);
        lPosition += lCharacter.mLength;
        if (lPosition == aText.size()) {
            lLastIsWord = lCharacter.IsWord();
        } else if (lPosition + 1 == aText.size() && aText.back() == '\n') {
            lBeforeFinalLineFeedIsWord = lCharacter.IsWord();
        }
    }
    return lLastIsWord || lBeforeFinalLineFeedIsWord;
}

ReplacementRules::Rule ReplacementRules::MakeReplacement(std::string_view aWord,
                                                         std::string_view aReplacement) {
    return Rule{std::string(aWord), std::string(aReplacement), StartsWithWord(aWord),
                EndsWithWord(aWord), std::string(), 0, std::nullopt};
}

std::string ReplacementRules::RegexReplace(std::string_view aText, const Rule& aRule) {
    return ReplaceWithin(MappedText::Added(aText), aRule, SIZE_MAX)->Text();
}

void ReplacementRules::Add(std::string_view aDirective, size_t aLine,
                           std::optional<TextPlace> aPlace) {
    const std::optional<Directive> lDirective = MatchDirective(aDirective);
    if (!lDirective) {
        throw ParseError("Invalid replacement directive: {0}", aDirective);
    }
    Rule lRule = MakeReplacement(lDirective->mWord, lDirective->mReplacement);
    lRule.mDirective = std::string(aDirective);
    lRule.mLine = aLine;
    lRule.mPlace = aPlace;
    mReplacements.push_back(std::move(lRule));
}

std::string ReplacementRules::Apply(std::string_view aText) {
    return Apply(MappedText::Added(aText)).Text();
}

MappedText ReplacementRules::Apply(const MappedText& aText) {
    MappedText lText = aText;
    for (const Rule& lRule : mReplacements) {
        const size_t lRoom = MaximumGrowthBytes - mGrowth;
        std::optional<MappedText> lReplaced = ReplaceWithin(lText, lRule, lText.size() + lRoom);
        if (!lReplaced) {
            ParseError lFailure(
                "The replacement directive on line {0}, \"{1}\", makes the document more than "
                "{2} MiB longer than it was written. A replacement that holds the word it "
                "replaces multiplies the text with every such directive; change the replacement "
                "or remove the directive.",
                lRule.mLine, lRule.mDirective, MaximumGrowthBytes >> 20);
            if (lRule.mPlace) {
                lFailure.SetPlace(*lRule.mPlace);
            }
            throw lFailure;
        }
        if (lReplaced->size() > lText.size()) {
            mGrowth += lReplaced->size() - lText.size();
        }
        lText = std::move(*lReplaced);
    }
    return lText;
}

} // namespace Logic
