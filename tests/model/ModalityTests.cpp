// Modality assignment: each bound variable belongs to the nearest Necessity above its
// quantifier; the memo of a Necessity exists exactly when its truth depends on the world alone.

#include <gtest/gtest.h>

#include "ModelTestSupport.h"
#include "model/EngineException.h"
#include "model/Necessity.h"

namespace Logic {
namespace {

const char* const kDifferentModality =
    "Attempted to assign a modality to a variable that already had a different modality assigned "
    "to it.";

const Necessity* AsNecessity(const MatrixPtr& aNode) {
    return static_cast<const Necessity*>(aNode.get());
}

TEST(ModalityAssignment, NearestEnclosingNecessityWins) {
    auto x = Factory::Variable('x');
    auto y = Factory::Variable('y');
    auto F = Factory::UnaryPredicate('F');
    MatrixPtr lInner = Factory::Necessarily(Factory::ForAll(x, Factory::Predication(F, x)));
    MatrixPtr lOuter = Factory::Necessarily(
        Factory::Or(Factory::Not(lInner), Factory::ForAll(y, Factory::Predication(F, y))));
    EXPECT_EQ(x->Modality(), AsNecessity(lInner));
    EXPECT_EQ(y->Modality(), AsNecessity(lOuter));
}

TEST(ModalityAssignment, QuantifierOutsideAnyNecessityHasNone) {
    auto x = Factory::Variable('x');
    MatrixPtr lFormula = Factory::ForAll(x, Factory::Necessarily(Factory::NullPredicate("p")));
    EXPECT_EQ(x->Modality(), nullptr);
}

TEST(ModalityAssignment, FreeVariablesAreNotClaimed) {
    auto x = Factory::Variable('x');
    MatrixPtr lBox = Factory::Necessarily(Factory::Predication(Factory::UnaryPredicate('F'), x));
    EXPECT_EQ(x->Modality(), nullptr);
}

TEST(ModalityAssignment, ReachesThroughEveryConnective) {
    auto lVariables = Factory::MakeNVariables(6);
    auto lAll = [&](size_t fI) {
        return Factory::ForAll(lVariables[fI], Factory::NullPredicate("p"));
    };
    MatrixPtr lBox = Factory::Necessarily(Factory::Nor(
        Factory::IfAndOnlyIf(lAll(0), Factory::Or(lAll(1), lAll(2))),
        Factory::OnlyIf(Factory::Not(lAll(3)), Factory::Therefore({lAll(4)}, lAll(5)))));
    for (const VariablePtr& lVariable : lVariables) {
        EXPECT_EQ(lVariable->Modality(), AsNecessity(lBox)) << lVariable->ToString();
    }
}

TEST(ModalityAssignment, SameNecessityTwiceIsAccepted) {
    auto x = Factory::Variable('x');
    MatrixPtr lBox = Factory::Necessarily(Factory::ForAll(x, Factory::NullPredicate("p")));
    EXPECT_NO_THROW(x->SetModality(AsNecessity(lBox)));
    EXPECT_NO_THROW(lBox->AssignModality(AsNecessity(lBox)));
    EXPECT_NO_THROW(Testing::Inner(lBox.get())->AssignModality(AsNecessity(lBox)));
    EXPECT_EQ(x->Modality(), AsNecessity(lBox));
}

TEST(ModalityAssignment, DifferentNecessityFailsAndKeepsTheFirst) {
    auto x = Factory::Variable('x');
    auto F = Factory::UnaryPredicate('F');
    MatrixPtr lFirst = Factory::Necessarily(Factory::ForAll(x, Factory::Predication(F, x)));
    MatrixPtr lSecondScope = Factory::ForAll(x, Factory::NullPredicate("q"));
    try {
        Factory::Necessarily(lSecondScope);
        FAIL() << "a second necessity claimed the variable";
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(), kDifferentModality);
    }
    EXPECT_EQ(x->Modality(), AsNecessity(lFirst));
    try {
        x->SetModality(AsNecessity(Factory::Necessarily(Factory::NullPredicate("r"))));
        FAIL() << "writing a different modality succeeded";
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(), kDifferentModality);
    }
    EXPECT_EQ(x->Modality(), AsNecessity(lFirst));
}

TEST(ModalityAssignment, FailedNecessityLeavesNoVariablePointingAtIt) {
    auto x = Factory::Variable('x');
    auto y = Factory::Variable('y');
    MatrixPtr lFirst = Factory::Necessarily(Factory::ForAll(x, Factory::NullPredicate("p")));
    // y is claimed before the walk reaches x, whose claim then fails.
    MatrixPtr lScope = Factory::And(Factory::ForAll(y, Factory::NullPredicate("q")),
                                    Factory::ForAll(x, Factory::NullPredicate("r")));
    EXPECT_THROW(Factory::Necessarily(lScope), EngineException);
    EXPECT_EQ(y->Modality(), nullptr);
    EXPECT_EQ(x->Modality(), AsNecessity(lFirst));
    MatrixPtr lLater = Factory::Necessarily(Factory::ForAll(y, Factory::NullPredicate("q")));
    EXPECT_EQ(y->Modality(), AsNecessity(lLater));
}

TEST(ModalityAssignment, FreedNecessityReleasesItsVariables) {
    auto x = Factory::Variable('x');
    auto y = Factory::Variable('y');
    MatrixPtr lKeptBox = Factory::Necessarily(Factory::ForAll(y, Factory::NullPredicate("q")));
    MatrixPtr lScope = Factory::ForAll(x, Factory::Or(Factory::NullPredicate("p"), lKeptBox));
    Factory::Necessarily(lScope).reset();
    EXPECT_EQ(x->Modality(), nullptr);
    EXPECT_EQ(y->Modality(), AsNecessity(lKeptBox));
    // With the claim gone, another Necessity may take the variable.
    MatrixPtr lNext = Factory::Necessarily(lScope);
    EXPECT_EQ(x->Modality(), AsNecessity(lNext));
}

TEST(Memo, ClosedFormulaWithoutModalitiesIsMemoizible) {
    auto x = Factory::Variable('x');
    MatrixPtr lBox = Factory::Necessarily(
        Factory::ForAll(x, Factory::Predication(Factory::UnaryPredicate('F'), x)));
    const Necessity* lNecessity = AsNecessity(lBox);
    ASSERT_TRUE(lNecessity->Memoizible());
    // The memo is made when an evaluation asks for it, empty.
    EXPECT_EQ(lNecessity->TruthValues(), nullptr);
    ASSERT_NE(lNecessity->MakeTruthValues(), nullptr);
    for (size_t i = 0; i < Necessity::MemoSize; ++i) {
        ASSERT_EQ(lNecessity->TruthValues()[i].load(), 0) << i;
    }
    EXPECT_TRUE(AsNecessity(Factory::Necessarily(Factory::NullPredicate("p")))->Memoizible());
}

TEST(Memo, FreeVariableOrInnerModalityPreventsTheMemo) {
    auto x = Factory::Variable('x');
    MatrixPtr lFreeBox =
        Factory::Necessarily(Factory::Predication(Factory::UnaryPredicate('F'), x));
    const Necessity* lFree = AsNecessity(lFreeBox);
    EXPECT_FALSE(lFree->Memoizible());
    EXPECT_EQ(lFree->MakeTruthValues(), nullptr);
    MatrixPtr lNested = Factory::Necessarily(
        Factory::Or(Factory::NullPredicate("p"), Factory::Possibly(Factory::NullPredicate("q"))));
    EXPECT_FALSE(AsNecessity(lNested)->Memoizible());
    EXPECT_EQ(AsNecessity(lNested)->TruthValues(), nullptr);
    // Identity over free variables is as world-dependent as a predication.
    auto y = Factory::Variable('y');
    EXPECT_FALSE(AsNecessity(Factory::Necessarily(Factory::TheSame(x, y)))->Memoizible());
}

} // namespace
} // namespace Logic
