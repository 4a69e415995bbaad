#include <gtest/gtest.h>

#include "Formulas.h"
#include "engine/Decision.h"
#include "engine/Predicates.h"
#include "model/EngineException.h"
#include "model/Necessity.h"
#include "model/NullPredicate.h"

namespace Logic {
namespace {

using namespace Testing;

/// The kinds of worlds, in order, in which aMatrix is true.
std::vector<uint32_t> WorldsWhereTrue(const Matrix& aMatrix) {
    const Predicates lIndex = aMatrix.CollectPredicates();
    std::vector<uint32_t> lTrue;
    for (uint32_t lWorld : lIndex.KindsOfWorldsInOrder()) {
        if (aMatrix.TrueIn(lIndex.FirstInterpretation(), lWorld, lIndex)) {
            lTrue.push_back(lWorld);
        }
    }
    return lTrue;
}

TEST(Evaluation, QuantifiersRangeOverTheObjectsOfTheWorld) {
    const auto lF = Factory::UnaryPredicate('F');
    const auto lG = Factory::UnaryPredicate('G');
    const auto lX = Factory::Variable('x');
    const auto lY = Factory::Variable('y');
    // Some F is identical with some G: true exactly where an object is both F and G.
    const MatrixPtr lSomeFIsAG = Some(lX, Some(lY, And(And(Is(lF, lX), Is(lG, lY)), Same(lX, lY))));
    const Predicates lIndex = lSomeFIsAG->CollectPredicates();
    ASSERT_EQ(lIndex.NumberOfCombinationsOfUnaryPredicates(), 4);
    const std::vector<uint32_t> lTrue = WorldsWhereTrue(*lSomeFIsAG);
    ASSERT_FALSE(lTrue.empty());
    for (uint32_t lWorld : lIndex.KindsOfWorldsInOrder()) {
        const bool lHasFG = lIndex.DistinguishableInstancesOfThisPredicateCombination(lWorld, 3) > 0;
        EXPECT_EQ(std::find(lTrue.begin(), lTrue.end(), lWorld) != lTrue.end(), lHasFG) << lWorld;
    }
}

TEST(Evaluation, QuantifierOverNullaryBodyIsOncePerObjectOrOnceWithoutObjects) {
    const auto lX = Factory::Variable('x');
    const MatrixPtr lP = Atom("p");
    EXPECT_EQ(WorldsWhereTrue(*All(lX, lP)), (std::vector<uint32_t>{1}));
    const auto lF = Factory::UnaryPredicate('F');
    const auto lY = Factory::Variable('y');
    // p is bit 0; worlds from 2 hold objects.
    const MatrixPtr lMixed = And(All(lX, lP), Some(lY, Is(lF, lY)));
    for (uint32_t lWorld : WorldsWhereTrue(*lMixed)) {
        EXPECT_EQ(lWorld & 1u, 1u) << lWorld;
    }
}

TEST(Evaluation, PredicatesComeFromTheCombinationNotTheName) {
    // Instance 16 of a kind is displayed with the letter A; it is still not an A.
    const auto lA = Factory::UnaryPredicate('A');
    const auto lF = Factory::UnaryPredicate('F');
    const auto lX = Factory::Variable('x');
    const MatrixPtr lFx = Is(lF, lX);
    const MatrixPtr lAx = Is(lA, lX);
    const UnaryPredicate lIndexedF('F');
    const UnaryPredicate lIndexedA('A');
    const Predicates lIndex({}, {&lIndexedF, &lIndexedA}, 20, false, 0);
    ASSERT_EQ(lIndex.BuildUnaryPredicateCombination(1, 16), "FA");
    lX->Instantiate(DistinguishableObject{1, 16}, 0);
    EXPECT_TRUE(lFx->TrueIn(0, 0, lIndex));
    EXPECT_FALSE(lAx->TrueIn(0, 0, lIndex));
    lX->Instantiate(DistinguishableObject{2, 0}, 0);
    EXPECT_FALSE(lFx->TrueIn(0, 0, lIndex));
    EXPECT_TRUE(lAx->TrueIn(0, 0, lIndex));
}

TEST(Evaluation, IdentityComparesObjectAndNumberedWorld) {
    const auto lX = Factory::Variable('x');
    const auto lY = Factory::Variable('y');
    const MatrixPtr lSame = Same(lX, lY);
    const Predicates lIndex({}, {}, 2, false, 0);
    lX->Instantiate(DistinguishableObject{0, 1}, 4);
    lY->Instantiate(DistinguishableObject{0, 1}, 4);
    EXPECT_TRUE(lSame->TrueIn(0, 4, lIndex));
    lY->Instantiate(DistinguishableObject{0, 0}, 4);
    EXPECT_FALSE(lSame->TrueIn(0, 4, lIndex));
    lY->Instantiate(DistinguishableObject{0, 1}, 6); // another copy of the same kind
    EXPECT_FALSE(lSame->TrueIn(0, 4, lIndex));
}

TEST(Evaluation, IdentityAcrossModalContexts) {
    const auto lX = Factory::Variable('x');
    const auto lY = Factory::Variable('y');
    // For all x, necessarily some y is x: compares objects across two modal contexts.
    const MatrixPtr lFormula = All(lX, Box(Some(lY, Same(lX, lY))));
    EXPECT_EQ(lFormula->MaxmimumNumberOfModalitiesInIdentifications(), 2);
    EXPECT_EQ(lFormula->CollectPredicates().DistinguishableWorldsWithinAKind(), 2);
    EXPECT_EQ(lFormula->Decide(), Alethicity::Impossible);
    // Within one context the identity finds its object.
    const auto lZ = Factory::Variable('z');
    const auto lW = Factory::Variable('w');
    EXPECT_EQ(Box(All(lZ, Some(lW, Same(lZ, lW))))->Decide(), Alethicity::Necessary);
}

TEST(Evaluation, ShortCircuitsAroundBinaryPredications) {
    const auto lL = Factory::BinaryPredicate('L');
    const auto lX = Factory::Variable('x');
    const auto lY = Factory::Variable('y');
    const MatrixPtr lP = Atom("p");
    const MatrixPtr lRelation = Some(lX, Some(lY, Factory::Predication(lL, lX, lY)));
    const MatrixPtr lAlways = Or(lP, Not(lP));
    const MatrixPtr lNever = And(lP, Not(lP));
    EXPECT_EQ(Or(lAlways, lRelation)->Decide(), Alethicity::Necessary);
    EXPECT_EQ(And(lNever, lRelation)->Decide(), Alethicity::Impossible);
    EXPECT_EQ(If(lNever, lRelation)->Decide(), Alethicity::Necessary);
    EXPECT_EQ(Factory::Nor(lAlways, lRelation)->Decide(), Alethicity::Impossible);
    // Both sides of an equivalence are always evaluated. (The default engine would go on to
    // find models of it, where the numbering fails.)
    try {
        DecideWith(*Factory::IfAndOnlyIf(lNever, lRelation), CompiledEngine());
        FAIL() << "the relation was never evaluated";
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(), "Can't decide a proposition that contains binary predicates.");
    }
}

TEST(Evaluation, InnerQuantifierOverTheSameVariableLeavesTheOuterObject) {
    const auto lF = Factory::UnaryPredicate('F');
    const auto lX = Factory::Variable('x');
    // Some x is such that (everything is F) and x is not F: the inner quantifier rebinds x.
    const MatrixPtr lFormula = Some(lX, And(All(lX, Is(lF, lX)), Not(Is(lF, lX))));
    EXPECT_EQ(lFormula->Decide(), Alethicity::Impossible);
}

TEST(Evaluation, SizeFigures) {
    const auto lF = Factory::UnaryPredicate('F');
    const auto lX = Factory::Variable('x');
    const auto lY = Factory::Variable('y');
    const MatrixPtr lTwoFs = Some(lX, Some(lY, And(And(Is(lF, lX), Is(lF, lY)), Factory::NotTheSame(lX, lY))));
    EXPECT_EQ(lTwoFs->MaxmimumNumberOfDistinguishableObjectsOfAKind(), 2);
    EXPECT_EQ(lTwoFs->MaxmimumNumberOfModalitiesInIdentifications(), 1);
    EXPECT_EQ(lTwoFs->DepthOfLoopNesting(), 2);
    EXPECT_EQ(Factory::ThereAreThisManyOfThese(3, lF)->MaxmimumNumberOfDistinguishableObjectsOfAKind(), 4);
    EXPECT_EQ(Box(Some(lX, Is(lF, lX)))->DepthOfLoopNesting(), 2);
    EXPECT_EQ(Atom("p")->MaxmimumNumberOfDistinguishableObjectsOfAKind(), 0);
    EXPECT_EQ(Same(lX, lX)->MaxmimumNumberOfDistinguishableObjectsOfAKind(), 1);
    // Five unary predicates with one object of a kind fill 32 bits.
    const std::string lLetters = "ABCDE";
    MatrixPtr lAny = Is(Factory::UnaryPredicate('A'), lX);
    for (char lLetter : lLetters.substr(1)) {
        lAny = Or(lAny, Is(Factory::UnaryPredicate(lLetter), lX));
    }
    EXPECT_EQ(Some(lX, lAny)->Complexity(), 32);
}

TEST(Evaluation, ExclusionsMarkTheWorldsRuledOut) {
    const MatrixPtr lP = Atom("p");
    const MatrixPtr lQ = Atom("q");
    const MatrixPtr lBoth = And(lP, lQ);
    EXPECT_EQ(lBoth->Exclusions(lBoth->CollectPredicates()), 0b0111u);
}

// A memo filled under one numbering must never answer under another: here world 1 means
// "r true, q false" under the first and "q true" under the second.
TEST(NecessityMemo, IsNotReadUnderAnotherNumbering) {
    const MatrixPtr lR = Atom("r");
    const MatrixPtr lQ = Atom("q");
    const MatrixPtr lBoxQ = Box(lQ);
    ASSERT_TRUE(static_cast<const Necessity&>(*lBoxQ).Memoizible());
    // Necessary, so every interpretation is evaluated and the memo filled for every world.
    EXPECT_EQ(If(And(Or(lR, Not(lR)), lBoxQ), lQ)->Decide(), Alethicity::Necessary);
    EXPECT_EQ(Not(lBoxQ)->Decide(), Alethicity::Contingent);
    EXPECT_EQ(If(lBoxQ, lQ)->Decide(), Alethicity::Necessary);
}

TEST(NecessityMemo, AgreesWithEvaluationWithoutIt) {
    const MatrixPtr lP = Atom("p");
    const MatrixPtr lQ = Atom("q");
    const MatrixPtr lBox = Box(Or(lP, lQ));
    const MatrixPtr lFormula = And(lBox, Diamond(lP));
    const Predicates lIndex = lFormula->CollectPredicates();
    std::vector<bool> lWithout;
    for (uint32_t lInterpretation : lIndex.Interpretations()) {
        lWithout.push_back(lFormula->TrueIn(lInterpretation, 0, lIndex));
    }
    PrepareNecessityMemos(*lFormula, lIndex);
    const auto& lNecessity = static_cast<const Necessity&>(*lBox);
    EXPECT_EQ(lNecessity.mMemoNumbering.load(), lIndex.NumberingId());
    size_t lPosition = 0;
    for (uint32_t lInterpretation : lIndex.Interpretations()) {
        EXPECT_EQ(lFormula->TrueIn(lInterpretation, 0, lIndex), lWithout[lPosition++]) << lInterpretation;
    }
    EXPECT_EQ(lNecessity.TruthValues()[0].load(), -1);
    EXPECT_EQ(lNecessity.TruthValues()[3].load(), 1);
}

TEST(NecessityMemo, WorldsBeyondTheTableAreEvaluatedDirectly) {
    const MatrixPtr lQ = Atom("q");
    const MatrixPtr lBoxQ = Box(lQ);
    // 70,000 copies of each kind put world numbers far beyond the 65,536 entries.
    const Predicates lIndex({static_cast<const NullPredicate*>(lQ.get())}, {}, 0, true, 70000);
    PrepareNecessityMemos(*lBoxQ, lIndex);
    EXPECT_TRUE(lBoxQ->TrueIn(2, 0, lIndex));
    EXPECT_FALSE(lBoxQ->TrueIn(3, 0, lIndex));
    EXPECT_TRUE(lBoxQ->TrueIn(2, 0, lIndex));
}

} // namespace
} // namespace Logic
