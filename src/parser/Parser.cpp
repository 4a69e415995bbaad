// Preprocessing (directives, comments, replacements, white space), joining lines into
// statements, and assembling the statements into one statement or an argument.

#include "parser/Parser.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "parser/Characters.h"
#include "parser/ParseError.h"
#include "parser/ReplacementRules.h"

namespace Logic {

namespace {

constexpr std::string_view Therefore = ".'.";

// "//.*$": from the first "//" to the end of the line. "." stops at a line feed and "$" matches
// only at the end or before a final line feed, so a "//" followed by an inner line feed starts
// no comment.
std::string RemoveComment(std::string_view aLine) {
    size_t lSearchFrom = 0;
    const size_t lInnerLineFeed = aLine.substr(0, aLine.empty() ? 0 : aLine.size() - 1).rfind('\n');
    if (lInnerLineFeed != std::string_view::npos) {
        lSearchFrom = lInnerLineFeed + 1;
    }
    const size_t lComment = aLine.find("//", lSearchFrom);
    if (lComment == std::string_view::npos) {
        return std::string(aLine);
    }
    std::string lResult(aLine.substr(0, lComment));
    if (aLine.back() == '\n') {
        lResult += '\n';
    }
    return lResult;
}

/// The parenthesis walk, kept up to date as text is appended.
class ParenthesisDepth {
public:
    void Walk(std::string_view aText) {
        for (const char lCharacter : aText) {
            if (lCharacter == '(') {
                mSawOpening = true;
                ++mDepth;
            } else if (lCharacter == ')' && --mDepth < 0) {
                mWentNegative = true;
            }
        }
    }
    bool HasUnclosed() const { return mSawOpening && !mWentNegative && mDepth > 0; }
    bool HasMatching() const { return mSawOpening && !mWentNegative && mDepth == 0; }

private:
    int64_t mDepth = 0;
    bool mSawOpening = false;
    bool mWentNegative = false;
};

} // namespace

std::vector<std::string> Parser::Preprocess(const std::vector<std::string>& aLines) {
    ReplacementRules lRules;
    std::vector<std::string> lResult;
    for (size_t lIndex = 0; lIndex < aLines.size(); ++lIndex) {
        const std::string& lLine = aLines[lIndex];
        // Directive lines keep their comments: the word and its replacement are taken as written.
        if (!lLine.empty() && lLine.front() == '#') {
            if (!ReplacementRules::IsReplacementDirective(lLine)) {
                throw ParseError("Invalid replacement directive: {0}", lLine);
            }
            lRules.Add(lLine, lIndex + 1);
            continue;
        }
        // Replacement runs before white space goes, so rules see the spaces between words.
        std::string lText = RemoveWhiteSpace(lRules.Apply(RemoveComment(lLine)));
        if (!lText.empty()) {
            lResult.push_back(std::move(lText));
        }
    }
    return lResult;
}

std::vector<std::string> Parser::ConnectStatementsAcrossLines(
    const std::vector<std::string>& aLines) {
    std::vector<std::string> lStatements;
    if (aLines.empty()) {
        return lStatements;
    }
    std::string lStatement = aLines.front();
    ParenthesisDepth lDepth;
    lDepth.Walk(lStatement);
    const auto lFinish = [&](const std::string& fNext) {
        if (!lStatement.empty()) {
            lStatements.push_back(std::move(lStatement));
        }
        lStatement = fNext;
        lDepth = ParenthesisDepth();
        lDepth.Walk(lStatement);
    };
    for (size_t lIndex = 1; lIndex < aLines.size(); ++lIndex) {
        const std::string& lLine = aLines[lIndex];
        if ((IsMajorOperator(lLine) && !lDepth.HasUnclosed()) || IsMajorOperator(lStatement)) {
            lFinish(lLine);
        } else if (lDepth.HasUnclosed() || EndsWithBinaryBooleanOperator(lStatement) ||
                   StartsWithBinaryBooleanOperator(lLine)) {
            lStatement += lLine;
            lDepth.Walk(lLine);
        } else {
            lFinish(lLine);
        }
    }
    if (!lStatement.empty()) {
        lStatements.push_back(std::move(lStatement));
    }
    return lStatements;
}

MatrixPtr Parser::Parse(const std::vector<std::string>& aLines) {
    // Every line is preprocessed, and every statement's parentheses tested, before any
    // statement is parsed.
    const std::vector<std::string> lStatements = ConnectStatementsAcrossLines(Preprocess(aLines));
    std::optional<std::string> lMajorOperator;
    std::vector<std::string> lAntecedents;
    std::vector<std::string> lConsequents;
    for (const std::string& lStatement : lStatements) {
        if (IsMajorOperator(lStatement)) {
            lMajorOperator = lStatement;
            continue;
        }
        if (lStatement.find_first_of("()") != std::string::npos &&
            !HasMatchingParentheses(lStatement)) {
            throw ParseError("Found unmatched parenthesis in \"{0}\"", lStatement);
        }
        (lMajorOperator ? lConsequents : lAntecedents).push_back(lStatement);
    }
    if (!lMajorOperator) {
        if (lAntecedents.empty()) {
            throw ParseError("No content found.");
        }
        return Parse(Conjoin(lAntecedents));
    }
    if (lAntecedents.empty()) {
        throw ParseError("No antecedents found in argument");
    }
    if (lConsequents.empty()) {
        throw ParseError("No consequents found in argument");
    }
    if (*lMajorOperator == Therefore) {
        return Parse(lAntecedents, Conjoin(lConsequents));
    }
    return Parse("(" + Conjoin(lAntecedents) + ")" + *lMajorOperator + "(" +
                 Conjoin(lConsequents) + ")");
}

std::string Parser::Conjoin(const std::vector<std::string>& aTexts) {
    std::string lResult;
    for (const std::string& lText : aTexts) {
        if (!lResult.empty()) {
            lResult += '&';
        }
        lResult += '(';
        lResult += lText;
        lResult += ')';
    }
    return lResult;
}

std::string Parser::Parenthesize(std::string_view aText) {
    std::string lResult;
    lResult.reserve(aText.size() + 2);
    lResult += '(';
    lResult += aText;
    lResult += ')';
    return lResult;
}

bool Parser::IsMajorOperator(std::string_view aText) {
    return aText == Therefore || IsBinaryOperator(aText);
}

bool Parser::HasUnclosedParentheses(std::string_view aText) {
    ParenthesisDepth lDepth;
    lDepth.Walk(aText);
    return lDepth.HasUnclosed();
}

bool Parser::HasMatchingParentheses(std::string_view aText) {
    ParenthesisDepth lDepth;
    lDepth.Walk(aText);
    return lDepth.HasMatching();
}

bool Parser::StartsWithBinaryBooleanOperator(std::string_view aText) {
    for (const std::string_view lOperator : {"&", "|", "!", "^", "->", "<=>", "-<"}) {
        if (aText.substr(0, lOperator.size()) == lOperator) {
            return true;
        }
    }
    return false;
}

bool Parser::EndsWithBinaryBooleanOperator(std::string_view aText) {
    // "$" also matches before a final line feed.
    if (!aText.empty() && aText.back() == '\n') {
        aText.remove_suffix(1);
    }
    for (const std::string_view lOperator : {"&", "|", "!", "^", "->", "<=>", "-<"}) {
        if (aText.size() >= lOperator.size() &&
            aText.substr(aText.size() - lOperator.size()) == lOperator) {
            return true;
        }
    }
    return false;
}

} // namespace Logic
