// The grammar: precedence and grouping, quantifier scopes, variables, the atomic forms, the
// two-term and counting forms, sharing of atoms, and the grammar's errors.

#include <gtest/gtest.h>

#include "model/BinaryOperator.h"
#include "model/EngineException.h"
#include "model/Factory.h"
#include "model/NamedObject.h"
#include "model/UnaryOperator.h"
#include "model/UnaryPredication.h"
#include "model/UniversalGeneralization.h"
#include "ParserTestSupport.h"

namespace Logic::ParserTests {
namespace {

const BinaryOperator& AsBinary(const MatrixPtr& aNode) {
    return dynamic_cast<const BinaryOperator&>(*aNode);
}

const UnaryOperator& AsUnary(const MatrixPtr& aNode) {
    return dynamic_cast<const UnaryOperator&>(*aNode);
}

TEST(Precedence, LowerNumbersBindMoreTightly) {
    EXPECT_EQ(StatementText("p&q|r"), "((p&q)|r)");
    EXPECT_EQ(StatementText("p|q&r"), "(p|(q&r))");
    EXPECT_EQ(StatementText("p->q<=>r"), "((p->q)<=>r)");
    EXPECT_EQ(StatementText("p<=>q->r"), "(p<=>(q->r))");
    EXPECT_EQ(StatementText("p^q<=>r"), "(~(p<=>q)<=>r)");
    EXPECT_EQ(StatementText("p!q|r"), "((p!q)|r)");
    EXPECT_EQ(StatementText("p|q->r&s<=>t"), "(((p|q)->(r&s))<=>t)");
}

TEST(Precedence, EqualPrecedenceGroupsToTheLeft) {
    EXPECT_EQ(StatementText("p->q->r"), "((p->q)->r)");
    EXPECT_EQ(StatementText("p<=>q<=>r"), "((p<=>q)<=>r)");
    EXPECT_EQ(StatementText("p&q!r&s"), "(((p&q)!r)&s)");
    EXPECT_EQ(StatementText("p-<q->r"), "([](p->q)->r)");
    EXPECT_EQ(StatementText("p->q-<r"), "[]((p->q)->r)");
    EXPECT_EQ(StatementText("p|q&r|s&t"), "((p|(q&r))|(s&t))");
    EXPECT_EQ(StatementText("(p->q)->(r->s)"), "((p->q)->(r->s))");
}

TEST(Precedence, SerialNamesFollowTheOrderOfParsing) {
    const MatrixPtr lRoot = Parser::Parse(std::string("p->q&r"));
    const auto& lConditional = AsBinary(lRoot);
    const auto& lConjunction = AsBinary(lConditional.Right());
    EXPECT_LT(SerialOf(*lConditional.Left()), SerialOf(*lConjunction.Left()));
    EXPECT_LT(SerialOf(*lConjunction.Left()), SerialOf(*lConjunction.Right()));
    EXPECT_LT(SerialOf(*lConjunction.Right()), SerialOf(lConjunction));
    EXPECT_EQ(SerialOf(*lRoot), SerialOf(lConjunction) + 1);
}

TEST(Operators, UnaryOperatorsAndTheirShapes) {
    EXPECT_EQ(StatementText("~p&q"), "(~p&q)");
    EXPECT_EQ(StatementText("~~p"), "~~p");
    EXPECT_EQ(StatementText("[]p->q"), "([]p->q)");
    EXPECT_EQ(StatementText("<>p"), "~[]~p");
    EXPECT_EQ(StatementText("p-<q"), "[](p->q)");
    EXPECT_EQ(StatementText("p^q"), "~(p<=>q)");
    EXPECT_EQ(StatementText("~(p&q)"), "~(p&q)");
    EXPECT_EQ(Parser::Parse(std::string("p!q"))->Kind(), NodeKind::JointDenial);
    EXPECT_EQ(Parser::Parse(std::string("[]p"))->Kind(), NodeKind::Necessity);
}

TEST(Quantifiers, ScopeRunsToTheEndOfTheList) {
    EXPECT_EQ(StatementText("x,Fx"), "(x,Fx)");
    EXPECT_EQ(StatementText("x,Fx->Gx"), "(x,(Fx->Gx))");
    EXPECT_EQ(StatementText("Fa&x,Gx->Hx"), "(Fa&(x,(Gx->Hx)))");
    // Operators inside a quantifier's scope are never the main operator around it.
    EXPECT_EQ(StatementText("p|x,Fx&y,Gy|q"), "(p|(x,(Fx&(y,(Gy|q)))))");
    EXPECT_EQ(StatementText("(x,Fx)&Ga"), "((x,Fx)&Ga)");
    EXPECT_EQ(StatementText("x,y,xRy"), "(x,(y,xRy))");
    EXPECT_EQ(StatementText("3x,Fx"), "~(x,~Fx)");
    EXPECT_EQ(StatementText("1x,Fx"), "~(y,~(x,(x=y<=>Fx)))");
}

TEST(Quantifiers, UnariesBeforeAQuantifierCoverTheWholeScope) {
    EXPECT_EQ(StatementText("~x,Fx&Gx"), "~(x,(Fx&Gx))");
    EXPECT_EQ(StatementText("~[]x,Fx|p"), "~[](x,(Fx|p))");
    EXPECT_EQ(StatementText("~~3x,Fx"), "~~~(x,~Fx)");
    EXPECT_EQ(StatementText("p&~x,Fx"), "(p&~(x,Fx))");
}

TEST(Variables, BoundAndFreeOccurrences) {
    // Fx outside the quantifier is about the free x, a different variable from the bound one.
    const MatrixPtr lRoot = Parser::Parse(std::string("Fx&x,Fx"));
    const auto& lConjunction = AsBinary(lRoot);
    const auto& lFree = dynamic_cast<const UnaryPredication&>(*lConjunction.Left());
    const auto& lQuantifier = dynamic_cast<const UniversalGeneralization&>(*lConjunction.Right());
    const auto& lBound = dynamic_cast<const UnaryPredication&>(*lQuantifier.InnerMatrix());
    EXPECT_EQ(lBound.Variable(), lQuantifier.Variable());
    EXPECT_NE(lFree.Variable(), lQuantifier.Variable());
    EXPECT_EQ(lRoot->FreeVariables(), std::vector<VariablePtr>{lFree.Variable()});
}

TEST(Variables, InnerQuantifierShadowsTheOuterOne) {
    const MatrixPtr lRoot = Parser::Parse(std::string("x,(Fx&x,Gx)&Hx"));
    const auto& lOuter = dynamic_cast<const UniversalGeneralization&>(*lRoot);
    const auto& lBody = AsBinary(lOuter.InnerMatrix());
    const auto& lLeft = AsBinary(lBody.Left());
    const auto& lInner = dynamic_cast<const UniversalGeneralization&>(*lLeft.Right());
    const auto& lOuterF = dynamic_cast<const UnaryPredication&>(*lLeft.Left());
    const auto& lInnerG = dynamic_cast<const UnaryPredication&>(*lInner.InnerMatrix());
    const auto& lOuterH = dynamic_cast<const UnaryPredication&>(*lBody.Right());
    EXPECT_EQ(lOuterF.Variable(), lOuter.Variable());
    EXPECT_EQ(lInnerG.Variable(), lInner.Variable());
    EXPECT_NE(lInner.Variable(), lOuter.Variable());
    // The rebinding is undone after the inner scope: Hx is the outer x again.
    EXPECT_EQ(lOuterH.Variable(), lOuter.Variable());
    EXPECT_TRUE(lRoot->FreeVariables().empty());
}

TEST(Variables, DefiniteFormsCompanionIsANewVariable) {
    EXPECT_EQ(StatementText("1z,Fz"), "~(a,~(z,(z=a<=>Fz)))");
    const MatrixPtr lRoot = Parser::Parse(std::string("1x,xRy"));
    EXPECT_EQ(lRoot->ToString(), "~(y,~(x,(x=y<=>xRy)))");
    const std::vector<VariablePtr> lFree = lRoot->FreeVariables();
    ASSERT_EQ(lFree.size(), 1u);
    const auto& lCompanion = dynamic_cast<const UniversalGeneralization&>(*AsUnary(lRoot).InnerMatrix());
    EXPECT_EQ(lFree[0]->Letter(), 'y');
    EXPECT_NE(lFree[0], lCompanion.Variable());
}

TEST(AtomicForms, EachForm) {
    EXPECT_EQ(StatementText("Fa"), "Fa");
    EXPECT_EQ(StatementText("aRb"), "aRb");
    EXPECT_EQ(StatementText("a=b"), "a=b");
    EXPECT_EQ(StatementText("p"), "p");
    EXPECT_EQ(StatementText("((p))"), "p");
    EXPECT_EQ(Parser::Parse(std::string("F"))->Kind(), NodeKind::NullPredicate);
    EXPECT_EQ(Parser::Parse(std::string("Fa"))->Kind(), NodeKind::UnaryPredication);
    EXPECT_EQ(Parser::Parse(std::string("aRb"))->Kind(), NodeKind::BinaryPredication);
    EXPECT_EQ(Parser::Parse(std::string("a=b"))->Kind(), NodeKind::Identification);
}

TEST(AtomicForms, OneObjectPerDistinctAtom) {
    const MatrixPtr lSame = Parser::Parse(std::string("Fa&Fa"));
    EXPECT_EQ(AsBinary(lSame).Left(), AsBinary(lSame).Right());
    // The second Fa was built and dropped, so the conjunction's number skips one.
    EXPECT_EQ(SerialOf(*lSame), SerialOf(*AsBinary(lSame).Left()) + 2);
    const MatrixPtr lLetters = Parser::Parse(std::string("p&p"));
    EXPECT_EQ(AsBinary(lLetters).Left(), AsBinary(lLetters).Right());
    EXPECT_EQ(SerialOf(*lLetters), SerialOf(*AsBinary(lLetters).Left()) + 1);
    // Identity is symmetric, so b=a is the node of a=b.
    const MatrixPtr lIdentity = Parser::Parse(std::string("a=b|b=a"));
    EXPECT_EQ(AsBinary(lIdentity).Left(), AsBinary(lIdentity).Right());
    const MatrixPtr lRelation = Parser::Parse(std::string("aRb&bRa&aRb"));
    const auto& lOuter = AsBinary(lRelation);
    EXPECT_NE(AsBinary(lOuter.Left()).Left(), AsBinary(lOuter.Left()).Right());
    EXPECT_EQ(AsBinary(lOuter.Left()).Left(), lOuter.Right());
    const MatrixPtr lCaseMatters = Parser::Parse(std::string("p&P"));
    EXPECT_NE(AsBinary(lCaseMatters).Left(), AsBinary(lCaseMatters).Right());
}

// Under two quantifiers the variables differ, so the predications do too.
TEST(AtomicForms, QuantifiedPredicationsAreDistinctNodes) {
    const MatrixPtr lRoot = Parser::Parse(std::string("(x,Fx)&(y,Fy)"));
    const auto& lConjunction = AsBinary(lRoot);
    EXPECT_NE(AsUnary(lConjunction.Left()).InnerMatrix(), AsUnary(lConjunction.Right()).InnerMatrix());
}

TEST(TwoTermForms, TraditionalAndModernReadings) {
    EXPECT_EQ(StatementText("FaG"), "((x,(Fx->Gx))&~(x,~Fx))");
    EXPECT_EQ(StatementText("FaG'"), "(x,(Fx->Gx))");
    EXPECT_EQ(StatementText("FeG"), "(x,(Fx->~Gx))");
    EXPECT_EQ(StatementText("FiG"), "~(x,~(Fx&Gx))");
    EXPECT_EQ(StatementText("FoG"), "(~(x,(Fx->Gx))|(x,~Fx))");
    EXPECT_EQ(StatementText("FoG'"), "~(x,(Fx->Gx))");
    EXPECT_EQ(StatementText("FuG"), "((x,(Fx->Gx))|(x,(Fx->~Gx)))");
    EXPECT_EQ(StatementText("FyG"), "(~(x,~(Fx&Gx))&~(x,~(Fx&~Gx)))");
}

TEST(TwoTermForms, NegatedTerms) {
    EXPECT_EQ(StatementText("~FaG'"), "(x,(~Fx->Gx))");
    EXPECT_EQ(StatementText("Fa~G'"), "(x,(Fx->~Gx))");
    // A "~" right before the form belongs to its subject; "~~" denies that form.
    EXPECT_EQ(StatementText("~~FaG'"), "~(x,(~Fx->Gx))");
    EXPECT_EQ(StatementText("~(FaG')"), "~(x,(Fx->Gx))");
    EXPECT_THROW(Parser::FormTwoTermProposition(Factory::AllAndOnly(Factory::UnaryPredicate('F'), false),
                                                Factory::AllAndOnly(Factory::UnaryPredicate('G'), false),
                                                'b', false),
                 EngineException);
}

TEST(CountingForms, ThingsThatAreF) {
    EXPECT_EQ(StatementText("0F"), "(a,~Fa)");
    EXPECT_EQ(StatementText("1F"), "~(b,~(a,(a=b<=>Fa)))");
    EXPECT_EQ(StatementText("2F"), "~(b,~~(a,~(((Fa&Fb)&~a=b)&(x,(Fx->(x=a|x=b))))))");
    EXPECT_EQ(StatementText("2F|3G"),
              "(" + StatementText("2F") + "|" + StatementText("3G") + ")");
    // Large but within bounds: kept.
    EXPECT_EQ(Parser::Parse(std::string("60F"))->Kind(), NodeKind::Negation);
}

TEST(CountingForms, PropositionsThatAreTrue) {
    EXPECT_EQ(StatementText("2pqr"), "((((~p&q)&r)|((p&~q)&r))|((p&q)&~r))");
    EXPECT_EQ(StatementText("2FG"), "(F&G)");
    EXPECT_EQ(StatementText("0pq"), "(~p&~q)");
    // Repeated letters count once per position and are the same proposition.
    EXPECT_EQ(StatementText("1pp"), "((~p&p)|(p&~p))");
    EXPECT_EQ(StatementText("2pp"), "(p&p)");
}

std::string EngineErrorOf(const std::string& aStatement) {
    try {
        Parser::Parse(aStatement);
    } catch (const EngineException& lError) {
        return lError.what();
    }
    ADD_FAILURE() << "no EngineException was raised";
    return {};
}

TEST(CountingForms, MoreTrueThanThereAreIsTheFactorysFailure) {
    EXPECT_EQ(EngineErrorOf("3pq"),
              "3 of the predicate(s) p, q can't be true because there are only 2 of them.");
    // The largest count is converted and handed on, not refused as too large.
    EXPECT_EQ(EngineErrorOf("4294967295pq"),
              "4294967295 of the predicate(s) p, q can't be true because there are only 2 of them.");
}

TEST(CountingForms, CountsMustBePlainUnsigned32BitNumbers) {
    EXPECT_EQ(StatementError("4294967296F"),
              "The count \"4294967296\" is not a number from 0 to 4294967295 written with the "
              "digits 0-9.");
    EXPECT_EQ(StatementError("99999999999999999999999pq"),
              "The count \"99999999999999999999999\" is not a number from 0 to 4294967295 "
              "written with the digits 0-9.");
    EXPECT_EQ(StatementError("\xD9\xA3" "F"),
              "The count \"\xD9\xA3\" is not a number from 0 to 4294967295 written with the "
              "digits 0-9.");
}

TEST(CountingForms, FormulasTooLargeAreRefusedBeforeBuilding) {
    const int32_t lBefore = NamedObject::NextObjectNumber.load();
    EXPECT_EQ(StatementError("100000F"),
              "The counting form \"100000F\" is too large: it would build more than 400000 "
              "formula nodes.");
    EXPECT_EQ(StatementError("30abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"),
              "The counting form \"30abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\" is "
              "too large: it would build more than 400000 formula nodes.");
    EXPECT_EQ(NamedObject::NextObjectNumber.load(), lBefore);
    // The limit holds for all the counting forms of a statement together: twenty forms of a
    // few hundred thousand nodes each would take gigabytes.
    EXPECT_EQ(StatementError("400F&400F&400F"),
              "With the counting form \"400F\" the counting forms of this statement would build "
              "more than 400000 formula nodes in all; write fewer or smaller ones.");
    EXPECT_EQ(ParseErrorOf([] {
                  Parser::Parse(std::vector<std::string>{"500F", "500F", ".'.", "500F"});
              }),
              "With the counting form \"500F\" the counting forms of this statement would build "
              "more than 400000 formula nodes in all; write fewer or smaller ones.");
    EXPECT_EQ(Parser::Parse("100F&100F")->Kind(), NodeKind::Conjunction);
    // Within the node limit a counting form may nest as deep as it likes.
    EXPECT_EQ(Parser::Parse("300F")->Kind(), NodeKind::Negation);
}

TEST(GrammarErrors, ListsThatAreNoForm) {
    // The later "&" is the main operator; its left side "p&" has nothing after its own "&".
    EXPECT_EQ(StatementError("p&&q"), "Could not parse \"p&\"");
    EXPECT_EQ(StatementError("p&"), "Could not parse \"p&\"");
    EXPECT_EQ(StatementError("&p"), "Could not parse \"&p\"");
    EXPECT_EQ(StatementError("FaGb"), "Could not parse \"FaGb\"");
    EXPECT_EQ(StatementError("x,y,Rxy"), "Could not parse \"Rxy\"");
    EXPECT_EQ(StatementError("2Fx"), "Could not parse \"2Fx\"");
    EXPECT_EQ(StatementError("(p)(q)"), "Could not parse \"(p)(q)\"");
    EXPECT_EQ(StatementError("(p&q)(r)|s"), "Could not parse \"(p&q)(r)\"");
    EXPECT_EQ(StatementError("~p~"), "Could not parse \"p~\"");
}

TEST(GrammarErrors, TokensThatAreNoForm) {
    EXPECT_EQ(StatementError("2x,Fx"),
              "Expected predication or parenthesized expression, found \"2x,Fx\"");
    EXPECT_EQ(StatementError("x,"), "Expected predication or parenthesized expression, found \"x,\"");
    EXPECT_EQ(StatementError("~x,"), "Expected predication or parenthesized expression, found \"x,\"");
    EXPECT_EQ(StatementError("~"), "Expected predication or parenthesized expression, found \"~\"");
    EXPECT_EQ(StatementError("p&()"), "No subexpressions found in \"()\".");
    // The offending text is quoted as it is, placeholders and all.
    EXPECT_EQ(StatementError("{0}&p"),
              "Expected predication or parenthesized expression, found \"{0}&p\"");
    // A character that begins no token takes the rest of the text with it.
    EXPECT_EQ(StatementError("?|()"),
              "Expected predication or parenthesized expression, found \"?|()\"");
    EXPECT_EQ(StatementError("(?)|()"),
              "Expected predication or parenthesized expression, found \"?\"");
}

TEST(GrammarErrors, VariablesNeverRaiseTheLookupFailure) {
    const VariableDictionary lEmpty;
    EXPECT_FALSE(lEmpty.ContainsVariableForSymbol('x'));
    try {
        lEmpty.Retrieve('x');
        ADD_FAILURE() << "Retrieve of an unbound letter succeeded";
    } catch (const FreeVariableNotFoundException& lError) {
        EXPECT_EQ(lError.VariableSymbol(), 'x');
    }
    const VariablePtr lX = Factory::Variable('x');
    const VariableDictionary lBound = lEmpty.CreateNewSetThatRebinds('x', lX);
    const VariablePtr lOther = Factory::Variable('x');
    const VariableDictionary lRebound = lBound.CreateNewSetThatRebinds('x', lOther);
    EXPECT_EQ(lBound.Retrieve('x'), lX);
    EXPECT_EQ(lRebound.Retrieve('x'), lOther);
    EXPECT_FALSE(lEmpty.ContainsVariableForSymbol('x'));
    CollectedItems lItems;
    EXPECT_EQ(Parser::FindVariable('x', lRebound, lItems), lOther);
    const VariablePtr lFree = Parser::FindVariable('y', lRebound, lItems);
    EXPECT_EQ(Parser::FindVariable('y', lEmpty, lItems), lFree);
    EXPECT_EQ(lItems.UnboundVariables(), std::vector<VariablePtr>{lFree});
}

TEST(TokenListForm, CallersShareCollectedItemsAcrossCalls) {
    CollectedItems lItems;
    const VariableDictionary lVariables;
    const MatrixPtr lFirst = Parser::Parse({"Fa", "&", "p"}, lItems, lVariables);
    const MatrixPtr lSecond = Parser::Parse({"(Fa)"}, lItems, lVariables);
    EXPECT_EQ(AsBinary(lFirst).Left(), lSecond);
    EXPECT_EQ(Parser::ParsePropositionalSubexpression("p", lItems, lVariables),
              AsBinary(lFirst).Right());
    EXPECT_EQ(Parser::ParseUnaryOperatorOnTail("~", {"p"}, lItems, lVariables)->ToString(), "~p");
    EXPECT_EQ(Parser::ParseQuantification("3x,", {"Fx"}, lItems, lVariables)->ToString(), "~(x,~Fx)");
    EXPECT_EQ(Parser::ParseBinaryOperator({"p", "->", "q", "->", "r"}, lItems, lVariables)->ToString(),
              "((p->q)->r)");
    EXPECT_EQ(Parser::ParseTwoTermProposition("SiP", lItems)->ToString(), "~(x,~(Sx&Px))");
}

} // namespace
} // namespace Logic::ParserTests
