#include <gtest/gtest.h>

#include "Formulas.h"
#include "engine/Decision.h"
#include "engine/KindOfWorld.h"
#include "model/EngineException.h"
#include "model/NullPredicate.h"

namespace Logic {
namespace {

using namespace Testing;

/// Which of aLetters the found kind of world makes true, as a bit mask (letter i is bit i).
uint32_t TruthsOf(const std::unique_ptr<Counterexample>& aFound, const std::vector<MatrixPtr>& aLetters) {
    const auto* lWorld = dynamic_cast<const KindOfWorld*>(aFound.get());
    if (lWorld == nullptr) {
        ADD_FAILURE() << "not a kind of world";
        return UINT32_MAX;
    }
    uint32_t lTruths = 0;
    for (size_t lIndex = 0; lIndex < aLetters.size(); ++lIndex) {
        if (lWorld->Affirms(static_cast<const NullPredicate&>(*aLetters[lIndex]))) {
            lTruths |= 1u << lIndex;
        }
    }
    return lTruths;
}

TEST(Search, CounterexamplesCycleInCandidateOrder) {
    const MatrixPtr lP = Atom("p");
    const MatrixPtr lQ = Atom("q");
    const MatrixPtr lBoth = And(lP, lQ);
    std::vector<uint32_t> lFound;
    for (int lCall = 0; lCall < 5; ++lCall) {
        lFound.push_back(TruthsOf(lBoth->FindNextCounterexample(), {lP, lQ}));
    }
    EXPECT_EQ(lFound, (std::vector<uint32_t>{0, 1, 2, 0, 1}));
    // The example search keeps its own state and finds the one world where both hold.
    EXPECT_EQ(TruthsOf(lBoth->FindNextExample(), {lP, lQ}), 3u);
    EXPECT_EQ(TruthsOf(lBoth->FindNextExample(), {lP, lQ}), 3u);
    EXPECT_EQ(TruthsOf(lBoth->FindNextCounterexample(), {lP, lQ}), 2u);
}

TEST(Search, NoHitIsRememberedAndLeavesTheOtherSearchAlone) {
    const MatrixPtr lP = Atom("p");
    const MatrixPtr lNever = And(lP, Not(lP));
    EXPECT_EQ(lNever->FindNextExample(), nullptr);
    EXPECT_EQ(lNever->FindNextExample(), nullptr);
    EXPECT_EQ(TruthsOf(lNever->FindNextCounterexample(), {lP}), 0u);
    EXPECT_EQ(TruthsOf(lNever->FindNextCounterexample(), {lP}), 1u);

    for (const DecisionEngine* lEngine : RegisteredEngines()) {
        const MatrixPtr lAlways = Or(lP, Not(lP));
        SearchPosition lPosition;
        EXPECT_EQ(FindNextWith(*lAlways, false, lPosition, *lEngine), nullptr);
        EXPECT_FALSE(lPosition.mMightBe);
        EXPECT_FALSE(lPosition.mLastFound.has_value());
        // Once no hit can exist, nothing is searched again.
        EXPECT_EQ(FindNextWith(*lAlways, false, lPosition, *lEngine), nullptr);
        EXPECT_FALSE(lPosition.mMightBe);
    }
}

TEST(Search, ModalCounterexamplesSplitTheWorldsOfAnInterpretation) {
    const MatrixPtr lP = Atom("p");
    const MatrixPtr lBoxP = Box(lP);
    for (const DecisionEngine* lEngine : RegisteredEngines()) {
        // Interpretations 1 = {no p}, 2 = {p}, 3 = {no p, p}; only 2 makes necessarily p true.
        SearchPosition lPosition;
        const auto lFirst = FindNextWith(*lBoxP, false, lPosition, *lEngine);
        const auto* lModal = dynamic_cast<const ModalCounterexample*>(lFirst.get());
        ASSERT_NE(lModal, nullptr);
        EXPECT_EQ(lModal->Counterexamples().size(), 1u);
        EXPECT_TRUE(lModal->NonCounterexamples().empty());
        EXPECT_EQ(lPosition.mLastFound, 1u);

        const auto lSecond = FindNextWith(*lBoxP, false, lPosition, *lEngine);
        EXPECT_EQ(lPosition.mLastFound, 3u);
        const auto* lBothWorlds = dynamic_cast<const ModalCounterexample*>(lSecond.get());
        ASSERT_NE(lBothWorlds, nullptr);
        EXPECT_EQ(lBothWorlds->Counterexamples().size(), 2u);
        FindNextWith(*lBoxP, false, lPosition, *lEngine);
        EXPECT_EQ(lPosition.mLastFound, 1u);
    }
}

TEST(Search, ConstantsAreSearchedThroughTheUniversalClosure) {
    const auto lF = Factory::UnaryPredicate('F');
    const auto lX = Factory::Variable('x');
    const MatrixPtr lFx = Is(lF, lX);
    // Worlds 1 (one non-F), 2 (one F), 3 (one of each): everything is F only in 2.
    SearchPosition lPosition;
    FindNextWith(*lFx, false, lPosition, CompiledEngine());
    EXPECT_EQ(lPosition.mLastFound, 1u);
    FindNextWith(*lFx, false, lPosition, CompiledEngine());
    EXPECT_EQ(lPosition.mLastFound, 3u);
    try {
        Box(lFx)->FindNextExample();
        FAIL();
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(),
                     "This proposition can't be evaluated; it contains both constants and modal operators.");
    }
}

TEST(Search, NextPossibilityWraps) {
    EXPECT_EQ(NextPossibility(4, 1, 9), 5u);
    EXPECT_EQ(NextPossibility(9, 1, 9), 1u);
    EXPECT_EQ(NextPossibility(UINT32_MAX, 0, UINT32_MAX), 0u);
}

} // namespace
} // namespace Logic
