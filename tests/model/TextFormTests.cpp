// Text forms and picture labels of every node class.

#include <gtest/gtest.h>

#include "model/Argument.h"
#include "model/BinaryOperator.h"
#include "model/Factory.h"

namespace Logic {
namespace {

std::string OpenLabel(const std::string& aTitle) {
    return "<" + aTitle + "<BR/><B><FONT FACE=\"MONOSPACE\">";
}
const std::string kCloseLabel = "</FONT></B>>";

struct Letters {
    MatrixPtr p = Factory::NullPredicate("p");
    MatrixPtr q = Factory::NullPredicate("q");
    VariablePtr x = Factory::Variable('x');
    VariablePtr y = Factory::Variable('y');
    UnaryPredicatePtr F = Factory::UnaryPredicate('F');
    BinaryPredicatePtr L = Factory::BinaryPredicate('L');
};

TEST(TextForm, AtomicNodesPrintTheirParts) {
    Letters l;
    EXPECT_EQ(l.p->ToString(), "p");
    EXPECT_EQ(Factory::Predication(l.F, l.x)->ToString(), "Fx");
    EXPECT_EQ(Factory::Predication(l.L, l.x, l.y)->ToString(), "xLy");
    EXPECT_EQ(Factory::TheSame(l.x, l.y)->ToString(), "x=y");
    EXPECT_EQ(l.x->ToString(), "x");
    EXPECT_EQ(l.F->ToString(), "F");
    EXPECT_EQ(l.L->ToString(), "L");
}

TEST(TextForm, OperatorsAreFullyParenthesised) {
    Letters l;
    EXPECT_EQ(Factory::Not(l.p)->ToString(), "~p");
    EXPECT_EQ(Factory::Necessarily(Factory::Not(l.p))->ToString(), "[]~p");
    EXPECT_EQ(Factory::ForAll(l.x, Factory::Predication(l.F, l.x))->ToString(), "(x,Fx)");
    EXPECT_EQ(Factory::And(l.p, l.q)->ToString(), "(p&q)");
    EXPECT_EQ(Factory::Or(l.p, l.q)->ToString(), "(p|q)");
    EXPECT_EQ(Factory::OnlyIf(l.p, l.q)->ToString(), "(p->q)");
    EXPECT_EQ(Factory::IfAndOnlyIf(l.p, l.q)->ToString(), "(p<=>q)");
    EXPECT_EQ(Factory::Nor(l.p, l.q)->ToString(), "(p!q)");
    EXPECT_EQ(Factory::Or(Factory::And(l.p, Factory::Not(l.q)), Factory::Not(Factory::Or(l.p, l.q)))
                  ->ToString(),
              "((p&~q)|~(p|q))");
}

TEST(TextForm, ArgumentReadsAsConditionalFromJoinedPremises) {
    Letters l;
    MatrixPtr r = Factory::NullPredicate("r");
    auto lArgument = Factory::Therefore({l.p, Factory::Not(l.q)}, r);
    EXPECT_EQ(lArgument->ToString(), "((p&~q)->r)");
    EXPECT_EQ(lArgument->Connector(), "->");
}

TEST(DOTLabel, EveryClassHasItsTitleAndSymbol) {
    Letters l;
    auto lLabel = [](const std::string& fTitle, const std::string& fSymbol) {
        return OpenLabel(fTitle) + fSymbol + kCloseLabel;
    };
    EXPECT_EQ(Factory::Not(l.p)->DOTLabel(),
              "<Negation<BR/><B><FONT FACE=\"MONOSPACE\">~</FONT></B>>");
    EXPECT_EQ(Factory::Necessarily(l.p)->DOTLabel(), lLabel("Necessity", "[]"));
    EXPECT_EQ(Factory::ForAll(l.x, l.p)->DOTLabel(), lLabel("Universal Generalization", "x,"));
    EXPECT_EQ(Factory::And(l.p, l.q)->DOTLabel(), lLabel("Conjunction", "&amp;"));
    EXPECT_EQ(Factory::Or(l.p, l.q)->DOTLabel(), lLabel("Disjunction", "|"));
    EXPECT_EQ(Factory::OnlyIf(l.p, l.q)->DOTLabel(), lLabel("Material Conditional", "-&gt;"));
    EXPECT_EQ(Factory::Therefore({l.p}, l.q)->DOTLabel(), lLabel("Argument", ".'."));
    EXPECT_EQ(Factory::IfAndOnlyIf(l.p, l.q)->DOTLabel(), lLabel("Equivalence", "&lt;=&gt;"));
    EXPECT_EQ(Factory::Nor(l.p, l.q)->DOTLabel(), lLabel("Joint Denial", "!"));
    EXPECT_EQ(l.p->DOTLabel(), lLabel("Null Predicate", "p"));
    EXPECT_EQ(Factory::Predication(l.F, l.x)->DOTLabel(), lLabel("Unary Predication", "Fx"));
    EXPECT_EQ(Factory::Predication(l.L, l.x, l.y)->DOTLabel(), lLabel("Binary Predication", "xLy"));
    EXPECT_EQ(Factory::TheSame(l.x, l.y)->DOTLabel(), lLabel("Identification", "x=y"));
}

TEST(DOTLabel, TextInsideLabelsIsNotEscaped) {
    MatrixPtr lOdd = Factory::NullPredicate("<&>");
    EXPECT_EQ(lOdd->DOTLabel(), OpenLabel("Null Predicate") + "<&>" + kCloseLabel);
}

} // namespace
} // namespace Logic
