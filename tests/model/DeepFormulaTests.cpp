// Formulas tens of thousands of levels deep: built, asked every query, printed, compared and
// freed on a stack no larger than a Windows main thread's, where walking them level by level
// through the call stack would overflow.

#include <gtest/gtest.h>

#include "ModelTestSupport.h"
#include "model/Necessity.h"
#include "platform/LargeStack.h"

namespace Logic {
namespace {

constexpr size_t kSmallStack = size_t{1} << 20;
constexpr int kDepth = 10000;

/// Runs aWork on a small stack and reports failures raised inside it.
void OnSmallStack(const std::function<void()>& aWork) {
    RunWithLargeStack(aWork, kSmallStack);
}

void AskEverything(const Matrix& aFormula) {
    (void)aFormula.FreeVariables();
    (void)aFormula.FreeModalities();
    (void)aFormula.IdentifiedVariables();
    (void)aFormula.ModalitiesInIdentifications();
    (void)aFormula.NonNullPredications();
    (void)aFormula.NullPredicates();
    (void)aFormula.UnaryPredicates();
    (void)aFormula.ClosedPredications();
    (void)aFormula.ContainsModalities();
    (void)aFormula.ContainsIdentifications();
    (void)aFormula.IsPropositional();
}

TEST(DeepFormulas, LeftNestedConjunctionOfDistinctPredications) {
    OnSmallStack([] {
        auto F = Factory::UnaryPredicate('F');
        std::vector<VariablePtr> lVariables = Factory::MakeNVariables(kDepth + 1);
        MatrixPtr lFormula = Factory::Predication(F, lVariables[0]);
        for (int i = 1; i <= kDepth; ++i) {
            lFormula = Factory::And(lFormula, Factory::Predication(F, lVariables[i]));
        }
        AskEverything(*lFormula);
        EXPECT_EQ(lFormula->FreeVariables().size(), size_t(kDepth + 1));
        EXPECT_EQ(lFormula->FreeVariables().back(), lVariables.back());
        EXPECT_EQ(lFormula->NonNullPredications().size(), size_t(kDepth + 1));
        EXPECT_EQ(lFormula->UnaryPredicates().size(), 1u);
        EXPECT_EQ(lFormula->Conjuncts().size(), size_t(kDepth + 1));
        EXPECT_EQ(lFormula->Matrices().size(), size_t(2 * kDepth + 1));
        EXPECT_EQ(lFormula->DirectDependencies().size(), size_t(2 * kDepth));
        EXPECT_FALSE(lFormula->IsPropositional());

        std::string lText = lFormula->ToString();
        EXPECT_EQ(lText.substr(0, kDepth + 3), std::string(kDepth, '(') + "Fa&");
        EXPECT_EQ(lText.back(), ')');

        MatrixPtr lCopy = lFormula->Substitute(lVariables[0], lVariables[1]);
        EXPECT_FALSE(lCopy->Equals(*lFormula));
        MatrixPtr lSame = lFormula->Substitute(Factory::Variable('q'), lVariables[1]);
        EXPECT_TRUE(lSame->Equals(*lFormula));
        EXPECT_EQ(lSame->Hash(), lFormula->Hash());
        EXPECT_EQ(lSame->ToString(), lText);
    });
}

TEST(DeepFormulas, NestedNegationsAndNecessities) {
    OnSmallStack([] {
        MatrixPtr p = Factory::NullPredicate("p");
        MatrixPtr lNegations = p;
        MatrixPtr lBoxes = p;
        for (int i = 0; i < kDepth; ++i) {
            lNegations = Factory::Not(lNegations);
            lBoxes = Factory::Necessarily(lBoxes);
        }
        AskEverything(*lNegations);
        AskEverything(*lBoxes);
        EXPECT_TRUE(lNegations->IsPropositional());
        EXPECT_FALSE(lNegations->ContainsModalities());
        EXPECT_TRUE(lBoxes->ContainsModalities());
        EXPECT_EQ(lNegations->ToString(), std::string(kDepth, '~') + "p");
        EXPECT_EQ(lBoxes->NullPredicates().size(), 1u);
        EXPECT_FALSE(static_cast<const Necessity*>(lBoxes.get())->Memoizible());
        EXPECT_TRUE(lNegations->Equals(
            *lNegations->Substitute(Factory::Variable('x'), Factory::Variable('y'))));
        EXPECT_EQ(lBoxes->Matrices().size(), size_t(kDepth + 1));
    });
}

TEST(DeepFormulas, NestedQuantifiersUnderANecessity) {
    OnSmallStack([] {
        auto L = Factory::BinaryPredicate('L');
        std::vector<VariablePtr> lVariables = Factory::MakeNVariables(kDepth);
        MatrixPtr lFormula = Factory::Predication(L, lVariables.front(), lVariables.back());
        for (const VariablePtr& lVariable : lVariables) {
            lFormula = Factory::ForAll(lVariable, lFormula);
        }
        MatrixPtr lBox = Factory::Necessarily(lFormula);
        for (const VariablePtr& lVariable : lVariables) {
            ASSERT_EQ(lVariable->Modality(), static_cast<const Necessity*>(lBox.get()));
        }
        EXPECT_TRUE(static_cast<const Necessity*>(lBox.get())->Memoizible());
        AskEverything(*lBox);
        EXPECT_TRUE(lBox->FreeVariables().empty());
        EXPECT_TRUE(lBox->FreeModalities().empty());
        // Only the two quantifiers of the relation's variables pair with it, outermost first.
        auto lPairs = lBox->ClosedPredications();
        ASSERT_EQ(lPairs.size(), 2u);
        EXPECT_EQ(Testing::Bound(lPairs[0].first), lVariables.back().get());
        EXPECT_EQ(Testing::Bound(lPairs[1].first), lVariables.front().get());
        EXPECT_EQ(lBox->ToString().size(), size_t(2 + 4 * kDepth + 3));
    });
}

TEST(DeepFormulas, ArgumentWithManyDrawnPremises) {
    OnSmallStack([] {
        int lDrawn = 0;
        auto lArgument = Factory::Therefore(
            [&]() -> MatrixPtr {
                return ++lDrawn <= kDepth ? Factory::NullPredicate("p") : nullptr;
            },
            Factory::NullPredicate("q"));
        EXPECT_EQ(lArgument->Left()->Conjuncts().size(), size_t(kDepth));
        EXPECT_EQ(lArgument->NullPredicates().size(), size_t(kDepth + 1));
        EXPECT_TRUE(lArgument->IsPropositional());
    });
}

TEST(DeepFormulas, FreeingVeryDeepChainsDoesNotRecurse) {
    OnSmallStack([] {
        MatrixPtr lChain = Factory::NullPredicate("p");
        for (int i = 0; i < 200000; ++i) {
            lChain = (i % 3 == 0) ? Factory::Not(lChain)
                                  : Factory::Or(lChain, Factory::NullPredicate("q"));
        }
        lChain.reset();
        // A subtree still owned elsewhere survives the release of the formula around it.
        MatrixPtr lKept = Factory::Not(Factory::NullPredicate("k"));
        MatrixPtr lOuter = lKept;
        for (int i = 0; i < 200000; ++i) {
            lOuter = Factory::Not(lOuter);
        }
        lOuter.reset();
        EXPECT_EQ(lKept->ToString(), "~k");
    });
}

} // namespace
} // namespace Logic
