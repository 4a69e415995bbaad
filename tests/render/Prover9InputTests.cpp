#include <gtest/gtest.h>

#include <string>

#include "model/EngineException.h"
#include "model/Factory.h"

namespace Logic {
namespace {

std::string Goal(const std::string& aFormula) {
    return "formulas(goals).\n" + aFormula + ".\nend_of_list.\n";
}

struct Letters {
    MatrixPtr p = Factory::NullPredicate("p");
    MatrixPtr q = Factory::NullPredicate("q");
    MatrixPtr r = Factory::NullPredicate("r");
    MatrixPtr s = Factory::NullPredicate("s");
};

TEST(Prover9Input, SentenceLetterIsASingleGoal) {
    Letters l;
    EXPECT_EQ(l.p->Prover9Input(), "formulas(goals).\np0.\nend_of_list.\n");
}

TEST(Prover9Input, ConditionalAtTheRootSplitsIntoAssumptionAndGoal) {
    Letters l;
    EXPECT_EQ(Factory::OnlyIf(l.p, l.q)->Prover9Input(),
              "formulas(assumptions).\np0.\nend_of_list.\n\nformulas(goals).\nq0.\nend_of_list.\n");
}

TEST(Prover9Input, EveryPremiseAndEveryConjunctOfAPremiseIsAnAssumption) {
    Letters l;
    EXPECT_EQ(Factory::Therefore({l.p, l.q}, l.r)->Prover9Input(),
              "formulas(assumptions).\np0.\nq0.\nend_of_list.\n\n"
              "formulas(goals).\nr0.\nend_of_list.\n");
    // A disjunctive premise stays whole; only conjunctions are split.
    EXPECT_EQ(Factory::Therefore({Factory::And(l.p, Factory::Or(l.q, l.r)), l.s}, l.p)->Prover9Input(),
              "formulas(assumptions).\np0.\n(q0|r0).\ns0.\nend_of_list.\n\n"
              "formulas(goals).\np0.\nend_of_list.\n");
}

TEST(Prover9Input, ConditionalBelowTheRootStaysInsideItsFormula) {
    Letters l;
    EXPECT_EQ(Factory::Not(Factory::OnlyIf(l.p, l.q))->Prover9Input(), Goal("-(p0->q0)"));
    EXPECT_EQ(Factory::And(Factory::OnlyIf(l.p, l.q), l.r)->Prover9Input(), Goal("((p0->q0)&r0)"));
    // The goal of a root conditional is written whole, conditionals included.
    EXPECT_EQ(Factory::OnlyIf(l.p, Factory::OnlyIf(l.q, l.r))->Prover9Input(),
              "formulas(assumptions).\np0.\nend_of_list.\n\n"
              "formulas(goals).\n(q0->r0).\nend_of_list.\n");
}

TEST(Prover9Input, ConnectivesUseProver9Signs) {
    Letters l;
    EXPECT_EQ(Factory::IfAndOnlyIf(l.p, l.q)->Prover9Input(), Goal("(p0<->q0)"));
    EXPECT_EQ(Factory::Nor(l.p, l.q)->Prover9Input(), Goal("(-p0 & -q0)"));
    EXPECT_EQ(Factory::Or(l.p, l.q)->Prover9Input(), Goal("(p0|q0)"));
    EXPECT_EQ(Factory::And(l.p, l.q, {l.r})->Prover9Input(), Goal("((p0&q0)&r0)"));
    EXPECT_EQ(Factory::Nor(Factory::Not(l.p), Factory::And(l.q, l.r))->Prover9Input(),
              Goal("(--p0 & -(q0&r0))"));
}

TEST(Prover9Input, FreeVariablesFromUToZBecomeConstants) {
    auto lF = Factory::UnaryPredicate('F');
    EXPECT_EQ(Factory::Predication(lF, Factory::Variable('x'))->Prover9Input(), Goal("F1(cx)"));
    EXPECT_EQ(Factory::Predication(lF, Factory::Variable('u'))->Prover9Input(), Goal("F1(cu)"));
    EXPECT_EQ(Factory::Predication(lF, Factory::Variable('a'))->Prover9Input(), Goal("F1(a)"));
    EXPECT_EQ(Factory::Predication(lF, Factory::Variable('t'))->Prover9Input(), Goal("F1(t)"));
}

TEST(Prover9Input, RelationsAndIdentitiesNameBothVariables) {
    VariablePtr lX = Factory::Variable('x');
    VariablePtr lB = Factory::Variable('b');
    auto lL = Factory::BinaryPredicate('L');
    EXPECT_EQ(Factory::Predication(lL, lX, lB)->Prover9Input(), Goal("L2(cx,b)"));
    EXPECT_EQ(Factory::TheSame(lB, lX)->Prover9Input(), Goal("(b=cx)"));
    EXPECT_EQ(Factory::ForAll(lX, Factory::Predication(lL, lX, lX))->Prover9Input(),
              Goal("( all x L2(x,x) )"));
}

TEST(Prover9Input, QuantifiedVariablesOutsideUToZGetAVPrefix) {
    auto lF = Factory::UnaryPredicate('F');
    VariablePtr lX = Factory::Variable('x');
    VariablePtr lA = Factory::Variable('a');
    EXPECT_EQ(Factory::ForAll(lX, Factory::Predication(lF, lX))->Prover9Input(),
              Goal("( all x F1(x) )"));
    EXPECT_EQ(Factory::ForAll(lA, Factory::Predication(lF, lA))->Prover9Input(),
              Goal("( all va F1(va) )"));
    EXPECT_EQ(Factory::ThereExists(lA, Factory::Predication(lF, lA))->Prover9Input(),
              Goal("-( all va -F1(va) )"));
}

TEST(Prover9Input, ModalFormulasFail) {
    Letters l;
    for (const MatrixPtr& lModal :
         {Factory::Necessarily(l.p), Factory::And(l.q, Factory::Possibly(l.p)),
          static_cast<MatrixPtr>(Factory::Therefore({l.q}, Factory::Necessarily(l.p))),
          static_cast<MatrixPtr>(Factory::Therefore({Factory::Necessarily(l.p)}, l.q))}) {
        try {
            lModal->Prover9Input();
            ADD_FAILURE() << "no failure for " << lModal->ToString();
        } catch (const EngineException& lFailure) {
            EXPECT_STREQ(lFailure.what(), "Prover9 does not support modal logic.");
        }
    }
}

// A free x to the right of a quantifier on x keeps its constant name: the quantifier's own name
// for the letter ends with the quantifier's scope.
TEST(Prover9Input, BoundNameEndsWithTheQuantifiersScope) {
    auto lF = Factory::UnaryPredicate('F');
    auto lG = Factory::UnaryPredicate('G');
    VariablePtr lBoundX = Factory::Variable('x');
    VariablePtr lFreeX = Factory::Variable('x');
    EXPECT_EQ(Factory::And(Factory::ForAll(lBoundX, Factory::Predication(lF, lBoundX)),
                           Factory::Predication(lG, lFreeX))
                  ->Prover9Input(),
              Goal("(( all x F1(x) )&G1(cx))"));

    VariablePtr lBoundA = Factory::Variable('a');
    VariablePtr lFreeA = Factory::Variable('a');
    EXPECT_EQ(Factory::Or(Factory::ForAll(lBoundA, Factory::Predication(lF, lBoundA)),
                          Factory::Predication(lG, lFreeA))
                  ->Prover9Input(),
              Goal("(( all va F1(va) )|G1(a))"));

    // The assumptions are written before the goal, with the same names.
    EXPECT_EQ(Factory::Therefore({Factory::ForAll(lBoundX, Factory::Predication(lF, lBoundX))},
                                 Factory::Predication(lG, lFreeX))
                  ->Prover9Input(),
              "formulas(assumptions).\n( all x F1(x) ).\nend_of_list.\n\n"
              "formulas(goals).\nG1(cx).\nend_of_list.\n");
}

TEST(Prover9Input, QuantifiersOnTheSameLetterNest) {
    auto lF = Factory::UnaryPredicate('F');
    auto lG = Factory::UnaryPredicate('G');
    VariablePtr lOuter = Factory::Variable('b');
    VariablePtr lInner = Factory::Variable('b');
    MatrixPtr lFormula = Factory::ForAll(
        lOuter, Factory::And(Factory::ForAll(lInner, Factory::Predication(lG, lInner)),
                             Factory::Predication(lF, lOuter)));
    EXPECT_EQ(lFormula->Prover9Input(), Goal("( all vb (( all vb G1(vb) )&F1(vb)) )"));
}

TEST(Prover9Input, QuantifierLeavesTheNameMapAsItFoundIt) {
    auto lF = Factory::UnaryPredicate('F');
    VariablePtr lX = Factory::Variable('x');
    MatrixPtr lQuantified = Factory::ForAll(lX, Factory::Predication(lF, lX));

    TranslatedNames lNames;
    EXPECT_EQ(lQuantified->Prover9InputHelper(lNames), "( all x F1(x) )");
    EXPECT_TRUE(lNames.empty());

    lNames['x'] = "cx";
    lNames['y'] = "cy";
    EXPECT_EQ(lQuantified->MakeProver9Formulas(lNames), "( all x F1(x) ).\n");
    EXPECT_EQ(lNames, (TranslatedNames{{'x', "cx"}, {'y', "cy"}}));
}

TEST(Prover9Input, FailureInsideAQuantifierLeavesTheNameMapAsItFoundIt) {
    auto lF = Factory::UnaryPredicate('F');
    VariablePtr lX = Factory::Variable('x');
    VariablePtr lA = Factory::Variable('a');
    MatrixPtr lFormula = Factory::ForAll(
        lX, Factory::ForAll(lA, Factory::And(Factory::Predication(lF, lX),
                                             Factory::Necessarily(Factory::Predication(lF, lA)))));
    TranslatedNames lNames{{'x', "cx"}};
    EXPECT_THROW(lFormula->Prover9InputHelper(lNames), EngineException);
    EXPECT_EQ(lNames, (TranslatedNames{{'x', "cx"}}));
}

TEST(Prover9Input, MakeProver9FormulasListsConjuncts) {
    Letters l;
    TranslatedNames lNames;
    MatrixPtr lFormula = Factory::And(Factory::And(l.p, l.q), Factory::Or(l.r, l.s));
    EXPECT_EQ(lFormula->MakeProver9Formulas(lNames), "p0.\nq0.\n(r0|s0).\n");
    EXPECT_EQ(l.p->MakeProver9Formulas(lNames), "p0.\n");
}

TEST(Prover9Input, HelperWithoutANameForAVariableFails) {
    TranslatedNames lNames;
    MatrixPtr lFx = Factory::Predication(Factory::UnaryPredicate('F'), Factory::Variable('x'));
    EXPECT_THROW(lFx->Prover9InputHelper(lNames), EngineException);
    EXPECT_THROW(lFx->Prover9InputHelper1(lNames), EngineException);
}

} // namespace
} // namespace Logic
