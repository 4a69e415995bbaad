// Logic symbols written in Unicode: failures quote them as written and point at them in
// characters; lines made of one symbol are operator lines; and where a symbol would run into
// its neighbour it is not read.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ParserTestSupport.h"
#include "parser/LogicSymbols.h"

namespace Logic::ParserTests {
namespace {

struct ExpectedFailure {
    std::vector<std::string> mLines;
    std::string mMessage;
    size_t mLine;
    size_t mColumn;
    size_t mLength;
};

TEST(LogicSymbols, FailuresQuoteTheSymbolsAsWrittenAndCountTheirCharacters) {
    const ExpectedFailure lCases[] = {
        {{"p \u2227\u2227 q"}, "Could not parse \"p\u2227\"", 1, 1, 3},
        {{"p \u2192 q", "\u00ACq \u2227 \u2227 r"}, "Could not parse \"\u00ACq\u2227\"", 2, 1, 4},
        // The parenthesized quantifiers of some books are not read: "x," alone means nothing.
        {{"(\u2200x) Fx"}, "Could not parse \"(\u2200x)Fx\"", 1, 1, 7},
        // After a digit a quantifier symbol stays as written ("3x," would be "there is an x").
        {{"3\u2200xFx"},
         "Expected predication or parenthesized expression, found \"3\u2200xFx\"",
         1,
         1,
         5},
        {{"F\u2260G"}, "Could not parse \"F\u2260G\"", 1, 1, 3},
        {{"\u2200x (Fx \u2192 Gx"},
         "Found unmatched parenthesis in \"\u2200x(Fx\u2192Gx\"",
         1,
         1,
         11},
        {{"\u2200x(Fx\u2192Gx)", "\u2234", "Ga \u2228"}, "Could not parse \"Ga\u2228\"", 3, 1, 4},
        // "x≠y" reads "~x=y", yet the failure quotes and marks what was written.
        {{"p \u2227 (a\u2260b \u2203x)"}, "Could not parse \"a\u2260b\u2203x\"", 1, 6, 6},
        {{"  \u25C7\u2203!x \u00A7"},
         "Expected predication or parenthesized expression, found \"\u00A7\"",
         1,
         8,
         1},
    };
    for (const ExpectedFailure& lCase : lCases) {
        SCOPED_TRACE(lCase.mLines.front());
        try {
            Parser::Parse(lCase.mLines);
            ADD_FAILURE() << "no ParseError was raised";
        } catch (const ParseError& lFailure) {
            EXPECT_EQ(lFailure.what(), lCase.mMessage);
            ASSERT_TRUE(lFailure.Place().has_value());
            EXPECT_EQ(lFailure.Place()->mLine, lCase.mLine);
            EXPECT_EQ(lFailure.Place()->mColumn, lCase.mColumn);
            EXPECT_EQ(lFailure.Place()->mLength, lCase.mLength);
        }
    }
}

TEST(LogicSymbols, LinesOfOneSymbolAreOperatorLines) {
    EXPECT_EQ(DocumentText({"p", "q", "\u2192", "r"}), DocumentText({"p", "q", "->", "r"}));
    EXPECT_EQ(DocumentText({"p \u2227", "q", "\u2194 r"}), DocumentText({"p &", "q", "<=> r"}));
    EXPECT_EQ(DocumentText({"p", "\u2234", "q", "\u2234", "r"}),
              DocumentText({"p", ".'.", "q", ".'.", "r"}));
    EXPECT_EQ(Parser::ConnectStatementsAcrossLines({"p\u2228", "q", "\u2227r", "s"}),
              (std::vector<std::string>{"p\u2228q\u2227r", "s"}));
}

TEST(LogicSymbols, RulesSeeTheSymbolsAsWrittenAndMayWriteThem) {
    // A rule for a symbol still applies before the symbol is read; a rule may write symbols.
    EXPECT_EQ(DocumentText({"#replace \u2192 <=>", "p \u2192 q"}), DocumentText({"p<=>q"}));
    EXPECT_EQ(DocumentText({"#replace all \u2200", "#replace and \u2227", "all x Fx and Gx"}),
              DocumentText({"x,Fx&Gx"}));
}

TEST(LogicSymbols, NotEqualNegatesTheIdentityAlone) {
    EXPECT_EQ(DocumentText({"x\u2260y \u2228 p"}), DocumentText({"(~x=y)|p"}));
    EXPECT_EQ(DocumentText({"\u2200x \u2203y x\u2260y"}), DocumentText({"x,3y,~x=y"}));
    EXPECT_EQ(DocumentText({"\u00ACa\u2260b"}), DocumentText({"~~a=b"}));
    // A letter already used by one "≠" is not the left side of the next.
    EXPECT_EQ(DocumentError({"x\u2260y\u2260z"}), "Could not parse \"x\u2260y\u2260z\"");
}

TEST(LogicSymbols, EverySymbolListedReadsAsItsAsciiForm) {
    for (const LogicSymbol& lSymbol : LogicSymbols()) {
        EXPECT_EQ(ToAsciiNotation(lSymbol.mWritten), lSymbol.mAscii) << lSymbol.mWritten;
    }
    // Text in ASCII, and symbols the notation does not read, stay as they are.
    for (const std::string lText :
         {"x,3y,1z,(~x=y->[]<>p)", "\u2262\u22C0\u00B7\u2191", "a\u2260"}) {
        EXPECT_EQ(ToAsciiNotation(lText), lText);
    }
}

} // namespace
} // namespace Logic::ParserTests
