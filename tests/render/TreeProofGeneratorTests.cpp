#include <gtest/gtest.h>

#include <string>

#include "model/BinaryOperator.h"
#include "model/EngineException.h"
#include "model/Factory.h"

namespace Logic {
namespace {

struct Letters {
    MatrixPtr p = Factory::NullPredicate("p");
    MatrixPtr q = Factory::NullPredicate("q");
};

TEST(TreeProofGeneratorInput, AtomicFormulas) {
    VariablePtr lX = Factory::Variable('x');
    VariablePtr lY = Factory::Variable('y');
    EXPECT_EQ(Factory::NullPredicate("P")->TreeProofGeneratorInput(), "p");
    EXPECT_EQ(Factory::NullPredicate("q")->TreeProofGeneratorInput(), "q");
    EXPECT_EQ(Factory::Predication(Factory::UnaryPredicate('F'), lX)->TreeProofGeneratorInput(), "Fx");
    // Relations are written in prefix order, unlike the text form xLy.
    EXPECT_EQ(Factory::Predication(Factory::BinaryPredicate('L'), lX, lY)->TreeProofGeneratorInput(),
              "Lxy");
}

TEST(TreeProofGeneratorInput, ConnectivesArePercentEncoded) {
    Letters l;
    EXPECT_EQ(Factory::Not(Factory::NullPredicate("P"))->TreeProofGeneratorInput(), "(%C2%ACp)");
    EXPECT_EQ(Factory::And(l.p, l.q)->TreeProofGeneratorInput(), "(p%E2%88%A7q)");
    EXPECT_EQ(Factory::Or(l.p, l.q)->TreeProofGeneratorInput(), "(p%E2%88%A8q)");
    EXPECT_EQ(Factory::OnlyIf(l.p, l.q)->TreeProofGeneratorInput(), "(p%E2%86%92q)");
    EXPECT_EQ(Factory::IfAndOnlyIf(l.p, l.q)->TreeProofGeneratorInput(), "(p%E2%86%94q)");
    EXPECT_EQ(Factory::Therefore({l.p, l.q}, l.p)->TreeProofGeneratorInput(),
              "((p%E2%88%A7q)%E2%86%92p)");
    EXPECT_EQ(Factory::Nor(l.p, l.q)->TreeProofGeneratorInput(), "(%C2%AC(p%E2%88%A8q))");
    EXPECT_EQ(Factory::Nor(Factory::Not(l.p), Factory::And(l.q, l.p))->TreeProofGeneratorInput(),
              "(%C2%AC((%C2%ACp)%E2%88%A8(q%E2%88%A7p)))");
}

TEST(TreeProofGeneratorInput, QuantifiersAndNecessity) {
    VariablePtr lX = Factory::Variable('x');
    MatrixPtr lFx = Factory::Predication(Factory::UnaryPredicate('F'), lX);
    EXPECT_EQ(Factory::ForAll(lX, lFx)->TreeProofGeneratorInput(), "(%E2%88%80x(Fx))");
    EXPECT_EQ(Factory::ThereExists(lX, lFx)->TreeProofGeneratorInput(),
              "(%C2%AC(%E2%88%80x((%C2%ACFx))))");

    // The tool cannot take it, but the form is still written.
    MatrixPtr lModal = Factory::Necessarily(Factory::OnlyIf(Factory::NullPredicate("p"), lFx));
    EXPECT_EQ(lModal->TreeProofGeneratorInput(), "%E2%96%A1(p%E2%86%92Fx)");
    EXPECT_FALSE(lModal->IsCompatibleWithTreeProofGenerator());
}

TEST(TreeProofGeneratorInput, IdentityAnywhereFails) {
    VariablePtr lX = Factory::Variable('x');
    MatrixPtr lIdentity = Factory::TheSame(lX, Factory::Variable('y'));
    for (const MatrixPtr& lFormula :
         {lIdentity, Factory::Not(lIdentity), Factory::And(Factory::NullPredicate("p"), lIdentity),
          Factory::ForAll(lX, Factory::Necessarily(lIdentity))}) {
        try {
            lFormula->TreeProofGeneratorInput();
            ADD_FAILURE() << "no failure for " << lFormula->ToString();
        } catch (const EngineException& lFailure) {
            EXPECT_STREQ(lFailure.what(),
                         "Can't generate input for Tree Proof Generator from this proposition.");
        }
        EXPECT_FALSE(lFormula->IsCompatibleWithTreeProofGenerator());
    }
}

TEST(TreeProofGeneratorInput, CompatibilityExcludesOnlyIdentityAndNecessity) {
    Letters l;
    VariablePtr lX = Factory::Variable('x');
    MatrixPtr lFx = Factory::Predication(Factory::UnaryPredicate('F'), lX);
    EXPECT_TRUE(l.p->IsCompatibleWithTreeProofGenerator());
    EXPECT_TRUE(Factory::ForAll(lX, Factory::And(lFx, l.q))->IsCompatibleWithTreeProofGenerator());
    EXPECT_TRUE(Factory::Nor(l.p, Factory::Predication(Factory::BinaryPredicate('L'), lX, lX))
                    ->IsCompatibleWithTreeProofGenerator());
    EXPECT_FALSE(Factory::Or(l.p, Factory::Possibly(l.q))->IsCompatibleWithTreeProofGenerator());
    EXPECT_FALSE(Factory::And(l.p, Factory::TheSame(lX, lX))->IsCompatibleWithTreeProofGenerator());
}

TEST(TreeProofGeneratorInput, JointDenialHasNoConnectorOfItsOwn) {
    Letters l;
    MatrixPtr lDenial = Factory::Nor(l.p, l.q);
    const auto& lOperator = static_cast<const BinaryOperator&>(*lDenial);
    try {
        lOperator.TreeProofGeneratorConnector();
        ADD_FAILURE() << "no failure";
    } catch (const EngineException&) {
        ADD_FAILURE() << "an engine failure instead of a not-implemented one";
    } catch (const NotImplementedException& lFailure) {
        EXPECT_STREQ(lFailure.what(), "JointDenial.TreeProofGeneratorConnector should be unreachable.");
    }
}

} // namespace
} // namespace Logic
