// Cutting statements into tokens: the order of the token patterns and their lookaheads.

#include <gtest/gtest.h>

#include "ParserTestSupport.h"

namespace Logic::ParserTests {
namespace {

using Tokens = std::vector<std::string>;

TEST(Tokenizing, OperatorsQuantifiersAndPredications) {
    EXPECT_EQ(Parser::GetSubexpressions("x,Fx->Gx"), (Tokens{"x,", "Fx", "->", "Gx"}));
    EXPECT_EQ(Parser::GetSubexpressions("3x,1y,xRy"), (Tokens{"3x,", "1y,", "xRy"}));
    EXPECT_EQ(Parser::GetSubexpressions("a=b&p|q<=>r!s^t-<u"),
              (Tokens{"a=b", "&", "p", "|", "q", "<=>", "r", "!", "s", "^", "t", "-<", "u"}));
    EXPECT_EQ(Parser::GetSubexpressions("~<>[]p"), (Tokens{"~", "<>", "[]", "p"}));
    EXPECT_TRUE(Parser::GetSubexpressions("").empty());
}

TEST(Tokenizing, CountingForms) {
    EXPECT_EQ(Parser::GetSubexpressions("2F|3G"), (Tokens{"2F", "|", "3G"}));
    // A count followed by two or more letters takes them all.
    EXPECT_EQ(Parser::GetSubexpressions("2FG"), (Tokens{"2FG"}));
    EXPECT_EQ(Parser::GetSubexpressions("12pqRs&p"), (Tokens{"12pqRs", "&", "p"}));
    EXPECT_EQ(Parser::GetSubexpressions("2Fx"), (Tokens{"2F", "x"}));
    // Any script's decimal digits count as digits here; converting them is refused later.
    EXPECT_EQ(Parser::GetSubexpressions("\xD9\xA3" "F&p"), (Tokens{"\xD9\xA3" "F", "&", "p"}));
    EXPECT_EQ(Parser::GetSubexpressions("2x,Fx"), (Tokens{"2x,Fx"}));
}

TEST(Tokenizing, TwoTermPropositionsAndTheTildeBeforeThem) {
    EXPECT_EQ(Parser::GetSubexpressions("~FaG"), (Tokens{"~FaG"}));
    EXPECT_EQ(Parser::GetSubexpressions("~~FaG"), (Tokens{"~", "~FaG"}));
    EXPECT_EQ(Parser::GetSubexpressions("Fa~G'&SoP"), (Tokens{"Fa~G'", "&", "SoP"}));
    EXPECT_EQ(Parser::GetSubexpressions("~(FaG)"), (Tokens{"~", "(FaG)"}));
    // Juxtaposition: the predication lookahead refuses "Fa" before an upper-case letter.
    EXPECT_EQ(Parser::GetSubexpressions("FaGb"), (Tokens{"FaG", "b"}));
    EXPECT_EQ(Parser::GetSubexpressions("Fab"), (Tokens{"Fa", "b"}));
    // 'x' is no form letter, and "Fx" before "~" is no predication: the rest is one token.
    EXPECT_EQ(Parser::GetSubexpressions("Fx~Gx"), (Tokens{"Fx~Gx"}));
}

TEST(Tokenizing, LettersAndTheirLookaheads) {
    // A lone letter may not be followed by ",", "=" or a letter.
    EXPECT_EQ(Parser::GetSubexpressions("p&P"), (Tokens{"p", "&", "P"}));
    EXPECT_EQ(Parser::GetSubexpressions("pq"), (Tokens{"pq"}));
    EXPECT_EQ(Parser::GetSubexpressions("a=bc"), (Tokens{"a=b", "c"}));
}

TEST(Tokenizing, Parentheses) {
    EXPECT_EQ(Parser::GetSubexpressions("(p&(q|r))&s"), (Tokens{"(p&(q|r))", "&", "s"}));
    EXPECT_EQ(Parser::GetSubexpressions("(p)(q)"), (Tokens{"(p)", "(q)"}));
    EXPECT_EQ(Parser::GetFirstSubexpression("(p)(q)"), "(p)");
    EXPECT_EQ(Parser::ExpressionWithMatchedParentheses("?p"), "?p");
    EXPECT_EQ(Parser::ExpressionWithMatchedParentheses("((p)q)r"), "((p)q)");
    EXPECT_EQ(ParseErrorOf([] { Parser::GetSubexpressions("p&((q)"); }),
              "Couldn't parse a token from \"((q)\"");
    EXPECT_EQ(StatementError("p&(q"), "Couldn't parse a token from \"(q\"");
}

TEST(Tokenizing, TokenClasses) {
    for (const char* lToken : {"&", "|", "->", "<=>", "!", "^", "-<"}) {
        EXPECT_TRUE(Parser::IsBinaryOperator(lToken)) << lToken;
    }
    EXPECT_FALSE(Parser::IsBinaryOperator("~"));
    EXPECT_TRUE(Parser::IsQuantifier("x,"));
    EXPECT_TRUE(Parser::IsQuantifier("3z,"));
    EXPECT_TRUE(Parser::IsQuantifier("1a,"));
    EXPECT_FALSE(Parser::IsQuantifier("2x,"));
    EXPECT_FALSE(Parser::IsQuantifier("X,"));
    EXPECT_TRUE(Parser::IsUnaryOperator("[]"));
    EXPECT_FALSE(Parser::IsUnaryOperator("~~"));
    EXPECT_EQ(Parser::PrecedenceOfBinaryOperator("!"), 0);
    EXPECT_EQ(Parser::PrecedenceOfBinaryOperator("|"), 1);
    EXPECT_EQ(Parser::PrecedenceOfBinaryOperator("-<"), 2);
    EXPECT_EQ(Parser::PrecedenceOfBinaryOperator("^"), 3);
    EXPECT_THROW(Parser::PrecedenceOfBinaryOperator("~"), std::exception);
    EXPECT_EQ(Parser::GetSymbolForVariable("3q,"), 'q');
    EXPECT_EQ(Parser::GetSymbolForVariable("w,"), 'w');
    EXPECT_TRUE(Parser::AreUnariesFollowedByAQuantifier({"~", "[]", "x,", "Fx"}));
    EXPECT_FALSE(Parser::AreUnariesFollowedByAQuantifier({"x,", "Fx"}));
    EXPECT_FALSE(Parser::AreUnariesFollowedByAQuantifier({"~", "p", "x,"}));
}

} // namespace
} // namespace Logic::ParserTests
