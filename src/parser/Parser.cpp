// Preprocessing (directives, comments, replacements, white space), joining lines into
// statements, and assembling the statements into one statement or an argument.

#include "parser/Parser.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "parser/Characters.h"
#include "parser/LogicSymbols.h"
#include "parser/ParseError.h"
#include "parser/ReplacementRules.h"
#include "parser/SourceMap.h"

namespace Logic {

namespace {

constexpr std::string_view Therefore = ".'.";

// "//.*$": from the first "//" to the end of the line. "." stops at a line feed and "$" matches
// only at the end or before a final line feed, so a "//" followed by an inner line feed starts
// no comment.
MappedText RemoveComment(const MappedText& aMapped) {
    const std::string_view aLine = aMapped.Text();
    size_t lSearchFrom = 0;
    const size_t lInnerLineFeed = aLine.substr(0, aLine.empty() ? 0 : aLine.size() - 1).rfind('\n');
    if (lInnerLineFeed != std::string_view::npos) {
        lSearchFrom = lInnerLineFeed + 1;
    }
    const size_t lComment = aLine.find("//", lSearchFrom);
    if (lComment == std::string_view::npos) {
        return aMapped;
    }
    MappedText lResult;
    lResult.Append(aMapped, 0, lComment);
    if (aLine.back() == '\n') {
        lResult.Append(aMapped, aLine.size() - 1, aLine.size());
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

namespace {

/// Directives, comments, replacements and white space, per line, each byte of the result knowing
/// where it came from.
std::vector<MappedText> PreprocessMapped(const std::vector<std::string>& aLines,
                                         const DocumentLines& aDocument) {
    ReplacementRules lRules;
    std::vector<MappedText> lResult;
    for (size_t lIndex = 0; lIndex < aLines.size(); ++lIndex) {
        const std::string& lLine = aLines[lIndex];
        // Directive lines keep their comments: the word and its replacement are taken as written.
        if (!lLine.empty() && lLine.front() == '#') {
            if (!ReplacementRules::IsReplacementDirective(lLine)) {
                ParseError lFailure("Invalid replacement directive: {0}", lLine);
                lFailure.SetPlace(aDocument.PlaceOfLine(lIndex));
                throw lFailure;
            }
            lRules.Add(lLine, lIndex + 1, aDocument.PlaceOfLine(lIndex));
            continue;
        }
        // Replacement runs before white space goes, so rules see the spaces between words.
        MappedText lText = WithoutWhiteSpace(lRules.Apply(
            RemoveComment(MappedText::OfDocument(lLine, aDocument.FirstCharacter(lIndex)))));
        if (!lText.empty()) {
            lResult.push_back(std::move(lText));
        }
    }
    return lResult;
}

// The statements keep the logic symbols as written; whether a line is an operator, or begins
// or ends with one, is asked of it in ASCII (each line on its own: a statement is turned into
// ASCII as a whole only once it is joined).
std::vector<MappedText> ConnectMapped(std::vector<MappedText> aLines) {
    std::vector<MappedText> lStatements;
    if (aLines.empty()) {
        return lStatements;
    }
    MappedText lStatement = std::move(aLines.front());
    std::string lStatementAscii = ToAsciiNotation(lStatement.Text());
    ParenthesisDepth lDepth;
    lDepth.Walk(lStatement.Text());
    const auto lFinish = [&](MappedText& fNext, std::string& fNextAscii) {
        if (!lStatement.empty()) {
            lStatements.push_back(std::move(lStatement));
        }
        lStatement = std::move(fNext);
        lStatementAscii = std::move(fNextAscii);
        lDepth = ParenthesisDepth();
        lDepth.Walk(lStatement.Text());
    };
    for (size_t lIndex = 1; lIndex < aLines.size(); ++lIndex) {
        MappedText& lLine = aLines[lIndex];
        const std::string& lText = lLine.Text();
        std::string lAscii = ToAsciiNotation(lText);
        if ((Parser::IsMajorOperator(lAscii) && !lDepth.HasUnclosed()) ||
            Parser::IsMajorOperator(lStatementAscii)) {
            lFinish(lLine, lAscii);
        } else if (lDepth.HasUnclosed() ||
                   Parser::EndsWithBinaryBooleanOperator(lStatementAscii) ||
                   Parser::StartsWithBinaryBooleanOperator(lAscii)) {
            lStatement.Append(lLine);
            lStatementAscii += lAscii;
            lDepth.Walk(lText);
        } else {
            lFinish(lLine, lAscii);
        }
    }
    if (!lStatement.empty()) {
        lStatements.push_back(std::move(lStatement));
    }
    return lStatements;
}

MappedText ConjoinMapped(const std::vector<const MappedText*>& aTexts) {
    MappedText lResult;
    for (const MappedText* lText : aTexts) {
        if (!lResult.empty()) {
            lResult.AppendAdded("&");
        }
        lResult.AppendAdded("(");
        lResult.Append(*lText);
        lResult.AppendAdded(")");
    }
    return lResult;
}

/// Gives a failure whose offending bytes in aStatement are known its place in the document, and
/// has it quote them as written.
void PlaceInDocument(ParseError& aFailure, const AsciiNotation& aStatement,
                     const DocumentLines& aDocument) {
    const auto lBytes = aFailure.BytesInStatement();
    if (!lBytes) {
        return;
    }
    const size_t lEnd = lBytes->first + lBytes->second;
    if (lEnd <= aStatement.Text().size()) {
        aFailure.QuoteAsWritten(
            std::string_view(aStatement.Text()).substr(lBytes->first, lBytes->second),
            aStatement.WrittenOf(lBytes->first, lEnd));
    }
    if (aFailure.Place()) {
        return;
    }
    const SourceSpan lSpan = aStatement.Ascii().SpanOf(lBytes->first, lEnd);
    if (lSpan.IsSomewhere()) {
        aFailure.SetPlace(aDocument.PlaceOf(lSpan));
    }
}

[[noreturn]] void ThrowAt(ParseError aFailure, const MappedText& aStatement,
                          const DocumentLines& aDocument) {
    const SourceSpan lSpan = aStatement.SpanOf(0, aStatement.size());
    if (lSpan.IsSomewhere()) {
        aFailure.SetPlace(aDocument.PlaceOf(lSpan));
    }
    throw aFailure;
}

std::vector<std::string> TextsOf(const std::vector<MappedText>& aTexts) {
    std::vector<std::string> lResult;
    lResult.reserve(aTexts.size());
    for (const MappedText& lText : aTexts) {
        lResult.push_back(lText.Text());
    }
    return lResult;
}

} // namespace

std::vector<std::string> Parser::Preprocess(const std::vector<std::string>& aLines) {
    return TextsOf(PreprocessMapped(aLines, DocumentLines(aLines)));
}

std::vector<std::string> Parser::ConnectStatementsAcrossLines(
    const std::vector<std::string>& aLines) {
    std::vector<MappedText> lLines;
    lLines.reserve(aLines.size());
    for (const std::string& lLine : aLines) {
        lLines.push_back(MappedText::Added(lLine));
    }
    return TextsOf(ConnectMapped(std::move(lLines)));
}

MatrixPtr Parser::Parse(const std::vector<std::string>& aLines) {
    // Every line is preprocessed, and every statement's parentheses tested, before any
    // statement is parsed.
    const DocumentLines lDocument(aLines);
    const std::vector<MappedText> lStatements = ConnectMapped(PreprocessMapped(aLines, lDocument));
    const MappedText* lMajorOperator = nullptr;
    std::string lMajorOperatorAscii;
    std::vector<const MappedText*> lAntecedents;
    std::vector<const MappedText*> lConsequents;
    for (const MappedText& lStatement : lStatements) {
        const std::string& lText = lStatement.Text();
        if (std::string lAscii = ToAsciiNotation(lText); IsMajorOperator(lAscii)) {
            lMajorOperator = &lStatement;
            lMajorOperatorAscii = std::move(lAscii);
            continue;
        }
        if (lText.find_first_of("()") != std::string::npos && !HasMatchingParentheses(lText)) {
            ThrowAt(ParseError("Found unmatched parenthesis in \"{0}\"", lText), lStatement,
                    lDocument);
        }
        (lMajorOperator != nullptr ? lConsequents : lAntecedents).push_back(&lStatement);
    }
    if (lMajorOperator == nullptr) {
        if (lAntecedents.empty()) {
            throw ParseError("No content found.");
        }
        const AsciiNotation lConjoined = AsciiNotation::Of(ConjoinMapped(lAntecedents));
        try {
            return Parse(lConjoined.Text());
        } catch (ParseError& lFailure) {
            PlaceInDocument(lFailure, lConjoined, lDocument);
            throw;
        }
    }
    if (lAntecedents.empty()) {
        ThrowAt(ParseError("No antecedents found in argument"), *lMajorOperator, lDocument);
    }
    if (lConsequents.empty()) {
        ThrowAt(ParseError("No consequents found in argument"), *lMajorOperator, lDocument);
    }
    if (lMajorOperatorAscii == Therefore) {
        const AsciiNotation lConclusion = AsciiNotation::Of(ConjoinMapped(lConsequents));
        std::vector<AsciiNotation> lPremisesRead;
        std::vector<std::string> lPremises;
        lPremisesRead.reserve(lAntecedents.size());
        lPremises.reserve(lAntecedents.size());
        for (const MappedText* lPremise : lAntecedents) {
            lPremisesRead.push_back(AsciiNotation::Of(*lPremise));
            lPremises.push_back(lPremisesRead.back().Text());
        }
        return Parse(lPremises, lConclusion.Text(), [&](ParseError& fFailure, size_t fIndex) {
            PlaceInDocument(fFailure,
                            fIndex < lPremisesRead.size() ? lPremisesRead[fIndex] : lConclusion,
                            lDocument);
        });
    }
    MappedText lJoined = MappedText::Added("(");
    lJoined.Append(ConjoinMapped(lAntecedents));
    lJoined.AppendAdded(")");
    lJoined.Append(*lMajorOperator);
    lJoined.AppendAdded("(");
    lJoined.Append(ConjoinMapped(lConsequents));
    lJoined.AppendAdded(")");
    const AsciiNotation lRead = AsciiNotation::Of(lJoined);
    try {
        return Parse(lRead.Text());
    } catch (ParseError& lFailure) {
        PlaceInDocument(lFailure, lRead, lDocument);
        throw;
    }
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
