// Joining lines into statements and assembling statements into one formula or an argument.

#include <gtest/gtest.h>

#include "model/Argument.h"
#include "ParserTestSupport.h"

namespace Logic::ParserTests {
namespace {

using Lines = std::vector<std::string>;

TEST(LineJoining, OperatorsAtLineEndsAndStartsJoinLines) {
    EXPECT_EQ(Parser::ConnectStatementsAcrossLines({"p&", "q", "->r"}), (Lines{"p&q->r"}));
    // An operator split across two lines joins nothing: neither half is an operator.
    EXPECT_EQ(Parser::ConnectStatementsAcrossLines({"p-", ">q"}), (Lines{"p-", ">q"}));
    EXPECT_EQ(Parser::ConnectStatementsAcrossLines({"p<", "=>q"}), (Lines{"p<", "=>q"}));
    // "~" is no binary operator.
    EXPECT_EQ(Parser::ConnectStatementsAcrossLines({"~", "p"}), (Lines{"~", "p"}));
    EXPECT_TRUE(Parser::ConnectStatementsAcrossLines({}).empty());
}

TEST(LineJoining, MajorOperatorLinesStandAlone) {
    EXPECT_EQ(Parser::ConnectStatementsAcrossLines({"p", "&", "q", "r"}),
              (Lines{"p", "&", "q", "r"}));
    EXPECT_EQ(Parser::ConnectStatementsAcrossLines({".'.", "&", "p"}), (Lines{".'.", "&", "p"}));
    // Inside an open parenthesis a major operator line is appended like any other.
    EXPECT_EQ(Parser::ConnectStatementsAcrossLines({"(p", "&", "q)", "r"}), (Lines{"(p&q)", "r"}));
    EXPECT_EQ(Parser::ConnectStatementsAcrossLines({"(p", ".'.", "q"}), (Lines{"(p.'.q"}));
}

TEST(LineJoining, OpenParenthesisKeepsJoiningUntilClosed) {
    EXPECT_EQ(Parser::ConnectStatementsAcrossLines({"(p", "q", "r)", "s"}), (Lines{"(pqr)", "s"}));
    // Once the depth has gone below zero there is no open parenthesis any more.
    EXPECT_EQ(Parser::ConnectStatementsAcrossLines({")(", "p"}), (Lines{")(", "p"}));
    EXPECT_EQ(Parser::ConnectStatementsAcrossLines({"((p)", "q", "s)"}), (Lines{"((p)qs)"}));
}

TEST(LineJoining, ParenthesisTests) {
    EXPECT_TRUE(Parser::HasUnclosedParentheses("(()"));
    EXPECT_FALSE(Parser::HasUnclosedParentheses("())(("));
    EXPECT_FALSE(Parser::HasUnclosedParentheses("(p)"));
    EXPECT_FALSE(Parser::HasUnclosedParentheses("p"));
    EXPECT_TRUE(Parser::HasMatchingParentheses("(p)(q)"));
    EXPECT_FALSE(Parser::HasMatchingParentheses(")p("));
    EXPECT_FALSE(Parser::HasMatchingParentheses("p"));
    EXPECT_FALSE(Parser::HasMatchingParentheses("((p)"));
}

TEST(LineJoining, MajorOperatorsAndBinaryOperatorEnds) {
    for (const char* lOperator : {".'.", "&", "|", "->", "<=>", "!", "^", "-<"}) {
        EXPECT_TRUE(Parser::IsMajorOperator(lOperator)) << lOperator;
    }
    for (const char* lText : {"~", "<>", "[]", "&&", ".'", "p&"}) {
        EXPECT_FALSE(Parser::IsMajorOperator(lText)) << lText;
    }
    EXPECT_TRUE(Parser::EndsWithBinaryBooleanOperator("p-<"));
    EXPECT_TRUE(Parser::EndsWithBinaryBooleanOperator("p<=>"));
    EXPECT_FALSE(Parser::EndsWithBinaryBooleanOperator("p<>"));
    EXPECT_TRUE(Parser::StartsWithBinaryBooleanOperator("^p"));
    EXPECT_FALSE(Parser::StartsWithBinaryBooleanOperator("~p"));
}

TEST(Assembly, ConjoinAndParenthesize) {
    EXPECT_EQ(Parser::Conjoin({"p", "q->r"}), "(p)&(q->r)");
    EXPECT_EQ(Parser::Conjoin({"p"}), "(p)");
    EXPECT_EQ(Parser::Parenthesize("p&q"), "(p&q)");
}

TEST(Assembly, WorkedDocuments) {
    EXPECT_EQ(DocumentText({"p &", "q", "-> r"}), "((p&q)->r)");
    EXPECT_EQ(DocumentText({"p", "&", "q", "r"}), "(p&(q&r))");
    EXPECT_EQ(DocumentText({"(p", "&", "q)"}), "(p&q)");
    // Several statements form a conjunction nested to the left.
    EXPECT_EQ(DocumentText({"p", "q", "r"}), "((p&q)&r)");
    EXPECT_EQ(DocumentText({"p", "q", "->", "r"}), "((p&q)->r)");
    EXPECT_EQ(DocumentText({"p\r", "q\r"}), "(p&q)");
}

TEST(Assembly, Arguments) {
    const MatrixPtr lArgument = Parser::Parse(Lines{"p -> q   // rule", "p", ".'.", "q"});
    EXPECT_EQ(lArgument->Kind(), NodeKind::Argument);
    EXPECT_EQ(lArgument->ToString(), "(((p->q)&p)->q)");
    // Statements between two markers are consequents too.
    const MatrixPtr lTwoMarkers = Parser::Parse(Lines{"p", ".'.", "q", ".'.", "r"});
    EXPECT_EQ(lTwoMarkers->Kind(), NodeKind::Argument);
    EXPECT_EQ(lTwoMarkers->ToString(), "(p->(q&r))");
    // A later major operator replaces the first one, which alone switched to consequents.
    const MatrixPtr lReplaced = Parser::Parse(Lines{"p", "->", "q", ".'.", "r"});
    EXPECT_EQ(lReplaced->Kind(), NodeKind::Argument);
    EXPECT_EQ(lReplaced->ToString(), "(p->(q&r))");
    const MatrixPtr lConditional = Parser::Parse(Lines{"p", ".'.", "q", "<=>", "r"});
    EXPECT_EQ(lConditional->Kind(), NodeKind::Equivalence);
    EXPECT_EQ(lConditional->ToString(), "(p<=>(q&r))");
}

TEST(Assembly, ArgumentSharesLettersAndParsesTheConclusionFirst) {
    const MatrixPtr lRoot = Parser::Parse(Lines{"Fa", "p", ".'.", "p&Fa"});
    const auto& lArgument = dynamic_cast<const Argument&>(*lRoot);
    const auto& lPremises = dynamic_cast<const BinaryOperator&>(*lArgument.Left());
    const auto& lConclusion = dynamic_cast<const BinaryOperator&>(*lArgument.Right());
    EXPECT_EQ(lPremises.Left().get(), lConclusion.Right().get());
    EXPECT_EQ(lPremises.Right().get(), lConclusion.Left().get());
    // The premise's own Fa was built, found equal to the conclusion's and dropped; its serial
    // number stays used. The premise p was looked up without building anything.
    EXPECT_EQ(SerialOf(lPremises), SerialOf(lConclusion) + 2);
    EXPECT_EQ(SerialOf(*lRoot), SerialOf(lPremises) + 1);

    const MatrixPtr lOrdered = Parser::Parse(Lines{"q", ".'.", "r"});
    const auto& lOrderedArgument = dynamic_cast<const Argument&>(*lOrdered);
    EXPECT_LT(SerialOf(*lOrderedArgument.Right()), SerialOf(*lOrderedArgument.Left()));
}

TEST(Assembly, ArgumentFormDirectly) {
    const auto lArgument = Parser::Parse(Lines{"p", "q"}, "r");
    EXPECT_EQ(lArgument->ToString(), "((p&q)->r)");
    // A premise's malformation does not hide the conclusion's.
    EXPECT_EQ(ParseErrorOf([] { Parser::Parse(Lines{"p&&q"}, "r||s"); }), "Could not parse \"r|\"");
    EXPECT_EQ(ParseErrorOf([] { Parser::Parse(Lines{"p&&q"}, "r"); }), "Could not parse \"p&\"");
}

TEST(Assembly, Errors) {
    EXPECT_EQ(DocumentError({}), "No content found.");
    EXPECT_EQ(DocumentError({""}), "No content found.");
    EXPECT_EQ(DocumentError({"// nothing", "#replace a b", "  "}), "No content found.");
    EXPECT_EQ(DocumentError({".'."}), "No antecedents found in argument");
    EXPECT_EQ(DocumentError({"->", "q"}), "No antecedents found in argument");
    EXPECT_EQ(DocumentError({"p", ".'."}), "No consequents found in argument");
    EXPECT_EQ(DocumentError({")p("}), "Found unmatched parenthesis in \")p(\"");
    // A parenthesis that never closes swallows every later line.
    EXPECT_EQ(DocumentError({"(p", "q", ".'.", "r"}), "Found unmatched parenthesis in \"(pq.'.r\"");
    // Parentheses of every statement are tested before any statement is parsed.
    EXPECT_EQ(DocumentError({"p&&q", "(r"}), "Found unmatched parenthesis in \"(r\"");
    // "~" at the end of a line does not join the next one.
    EXPECT_EQ(DocumentError({"~", "p"}),
              "Expected predication or parenthesized expression, found \"~\"");
}

} // namespace
} // namespace Logic::ParserTests
