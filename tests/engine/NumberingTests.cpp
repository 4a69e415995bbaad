#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <iterator>
#include <unordered_set>

#include "engine/Predicates.h"
#include "model/EngineException.h"
#include "model/Factory.h"
#include "model/NullPredicate.h"

namespace Logic {
namespace {

std::vector<uint32_t> Numbers(const auto& aRange) {
    return std::vector<uint32_t>(aRange.begin(), aRange.end());
}

struct Letters {
    std::vector<MatrixPtr> mNullNodes;
    std::vector<UnaryPredicate> mUnary;
    std::vector<const NullPredicate*> Null() const {
        std::vector<const NullPredicate*> lNull;
        for (const MatrixPtr& lNode : mNullNodes) {
            lNull.push_back(static_cast<const NullPredicate*>(lNode.get()));
        }
        return lNull;
    }
    std::vector<const UnaryPredicate*> Unary() const {
        std::vector<const UnaryPredicate*> lUnary;
        for (const UnaryPredicate& lPredicate : mUnary) {
            lUnary.push_back(&lPredicate);
        }
        return lUnary;
    }
};

/// Predicate indexes do not own their predicates: keep every test's letters alive to the end.
const Letters& MakeLetters(const std::string& aNull, const std::string& aUnary) {
    static std::deque<Letters> gKept;
    Letters& lLetters = gKept.emplace_back();
    for (char lLetter : aNull) {
        lLetters.mNullNodes.push_back(Factory::NullPredicate(std::string(1, lLetter)));
    }
    for (char lLetter : aUnary) {
        lLetters.mUnary.emplace_back(lLetter);
    }
    return lLetters;
}

Predicates Index(const Letters& aLetters, int32_t aMaximum, bool aModal = false, int32_t aN = 0) {
    return Predicates(aLetters.Null(), aLetters.Unary(), aMaximum, aModal, aN);
}

TEST(Numbering, WorkedExampleOfTwoNullaryAndTwoUnaryPredicates) {
    const Letters& lLetters = MakeLetters("pq", "FG");
    const Predicates lIndex = Index(lLetters, 1);
    EXPECT_EQ(lIndex.NumberOfCombinationsOfUnaryPredicates(), 4);
    EXPECT_EQ(lIndex.BitsNeededToRepresentObjectsOfAKind(), 1);
    EXPECT_EQ(lIndex.BitsNeededToDistinguishWorlds(), 6);
    EXPECT_EQ(lIndex.FirstNonemptyWorld(), 4u);
    EXPECT_EQ(lIndex.LastKindOfWorld(), 63u);

    // 41: p true, q false, one F-not-G object and one F-and-G object.
    EXPECT_EQ(lIndex.GetKindsOfObjectsIn(41), (std::vector<std::string>{"F1", "FG1"}));
    const KindOfWorld lWorld = lIndex.DecodeKindOfWorldNumber(41);
    EXPECT_TRUE(lWorld.Affirms(*lLetters.Null()[0]));
    EXPECT_TRUE(lWorld.Denies(*lLetters.Null()[1]));
    const UnaryPredicate lF('F');
    const UnaryPredicate lG('G');
    ASSERT_EQ(lWorld.KindsOfObjects().size(), 2u);
    EXPECT_TRUE(lWorld.KindsOfObjects()[0].Affirms(lF));
    EXPECT_TRUE(lWorld.KindsOfObjects()[0].Denies(lG));
    EXPECT_TRUE(lWorld.KindsOfObjects()[1].Affirms(lG));
}

TEST(Numbering, NullaryPredicatesAloneGiveOneObjectPerWorld) {
    const Letters& lLetters = MakeLetters("pq", "");
    const Predicates lPlain = Index(lLetters, 0);
    EXPECT_EQ(lPlain.BitsNeededToRepresentObjectsOfAKind(), 0);
    EXPECT_EQ(Numbers(lPlain.Interpretations()), (std::vector<uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(Numbers(lPlain.KindsOfWorlds(2)), (std::vector<uint32_t>{2}));
    EXPECT_EQ(lPlain.GetKindsOfObjectsIn(3), (std::vector<std::string>{"1"}));
    EXPECT_TRUE(lPlain.TrueIn(*lLetters.Null()[1], 2));
    EXPECT_FALSE(lPlain.TrueIn(*lLetters.Null()[0], 2));

    const Predicates lModal = Index(lLetters, 0, true);
    EXPECT_EQ(lModal.BitsNeeded(), 4u);
    EXPECT_EQ(lModal.FirstInterpretation(), 1u);
    EXPECT_EQ(lModal.LastInterpretation(), 15u);
    EXPECT_EQ(Numbers(lModal.KindsOfWorlds(5)), (std::vector<uint32_t>{0, 2}));
}

TEST(Numbering, OneUnaryPredicateSkipsTheEmptyWorld) {
    const Predicates lIndex = Index(MakeLetters("", "F"), 1);
    EXPECT_EQ(lIndex.BitsNeededToDistinguishWorlds(), 2);
    EXPECT_EQ(Numbers(lIndex.Interpretations()), (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(lIndex.GetKindsOfObjectsIn(1), (std::vector<std::string>{"1"}));
    EXPECT_EQ(lIndex.GetKindsOfObjectsIn(2), (std::vector<std::string>{"F1"}));
    EXPECT_EQ(lIndex.GetKindsOfObjectsIn(3), (std::vector<std::string>{"1", "F1"}));
}

TEST(Numbering, WithoutUnaryPredicatesTheDomainIsNeverEmpty) {
    const Predicates lIndex = Index(MakeLetters("", ""), 2);
    EXPECT_EQ(lIndex.BitsNeededToRepresentObjectsOfAKind(), 1);
    EXPECT_EQ(lIndex.GetKindsOfObjectsIn(0), (std::vector<std::string>{"1"}));
    EXPECT_EQ(lIndex.GetKindsOfObjectsIn(1), (std::vector<std::string>{"1", "2"}));
}

TEST(Numbering, CountFieldsReachTheLargestNumberOfObjects) {
    // A combination may hold no objects, so the field must count 0 .. M, not 0 .. M-1.
    for (int32_t lMaximum : {2, 3, 4, 8}) {
        const Predicates lIndex = Index(MakeLetters("", "F"), lMaximum);
        uint32_t lMostFs = 0;
        for (uint32_t lWorld : lIndex.KindsOfWorldsInOrder()) {
            lMostFs = std::max(lMostFs, lIndex.DistinguishableInstancesOfThisPredicateCombination(lWorld, 1));
        }
        EXPECT_GE(lMostFs, static_cast<uint32_t>(lMaximum)) << "M = " << lMaximum;
    }
    EXPECT_EQ(Index(MakeLetters("", "F"), 2).BitsNeededToRepresentObjectsOfAKind(), 2);
    EXPECT_EQ(Index(MakeLetters("", "F"), 4).BitsNeededToRepresentObjectsOfAKind(), 3);
    EXPECT_EQ(Index(MakeLetters("", "F"), 3).BitsNeededToRepresentObjectsOfAKind(), 2);
}

TEST(Numbering, TooManyPredicatesAtThirtyTwoBits) {
    const Predicates lFull = Index(MakeLetters("", "ABCDE"), 1);
    EXPECT_EQ(lFull.BitsNeededToDistinguishWorlds(), 32);
    EXPECT_EQ(lFull.LastKindOfWorld(), UINT32_MAX);
    EXPECT_EQ(lFull.Interpretations().size(), (uint64_t{1} << 32) - 1);
    EXPECT_THROW(Index(MakeLetters("p", "ABCDE"), 1), EngineException);
    // Two objects of a kind widen every field to two bits: four unary predicates fill 32 bits.
    EXPECT_EQ(Index(MakeLetters("", "ABCD"), 2).BitsNeededToDistinguishWorlds(), 32);
    EXPECT_THROW(Index(MakeLetters("", "ABCDE"), 2), EngineException);

    EXPECT_EQ(Index(MakeLetters("abcde", ""), 0, true).BitsNeeded(), 32u);
    EXPECT_EQ(Index(MakeLetters("abcde", ""), 0, true).LastInterpretation(), UINT32_MAX);
    try {
        Index(MakeLetters("abcdef", ""), 0, true);
        FAIL() << "six nullary predicates with modal operators fit";
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(), "Too many predicates!");
    }
}

TEST(Numbering, RangesEndAtTheLargestNumber) {
    EXPECT_EQ(Numbers(NumberRange(UINT32_MAX - 2, UINT32_MAX)),
              (std::vector<uint32_t>{UINT32_MAX - 2, UINT32_MAX - 1, UINT32_MAX}));
    EXPECT_TRUE(NumberRange(5, 4).empty());
}

TEST(Numbering, CopiesOfKindsForTwoModalContexts) {
    const Predicates lIndex = Index(MakeLetters("p", ""), 0, true, 2);
    EXPECT_EQ(lIndex.BitsNeededToDistinguishWorlds(), 1);
    EXPECT_EQ(Numbers(lIndex.KindsOfWorlds(3)), (std::vector<uint32_t>{0, 2, 1, 3}));
    // Copies agree on every predicate.
    EXPECT_EQ(lIndex.DecodeKindOfWorldNumber(1), lIndex.DecodeKindOfWorldNumber(3));
    EXPECT_TRUE(lIndex.TrueIn(*lIndex.NullPredicates()[0], 3));
}

TEST(Numbering, BitArithmetic) {
    const std::vector<std::pair<int32_t, int32_t>> lBits{{-1, 0}, {0, 0}, {1, 1}, {2, 1}, {3, 2},
                                                         {4, 2}, {5, 3}, {8, 3}, {9, 4}};
    for (const auto& [lNumber, lExpected] : lBits) {
        EXPECT_EQ(Predicates::BitsNeededToEnumerate(lNumber), lExpected) << lNumber;
    }
    EXPECT_EQ(Predicates::TwoToThe(5), 32u);
    EXPECT_EQ(Predicates::TwoToThe(32), uint64_t{1} << 32);
    EXPECT_EQ(Predicates::TwoToThe(64), 1u);
}

TEST(Numbering, NamesOfObjects) {
    const Predicates lIndex = Index(MakeLetters("", "FGH"), 1);
    EXPECT_EQ(lIndex.BuildUnaryPredicateCombination(0, 0), "1");
    EXPECT_EQ(lIndex.BuildUnaryPredicateCombination(5, 1), "FH2");
    EXPECT_EQ(lIndex.BuildUnaryPredicateCombination(7, 16), "FGHA");
}

TEST(Numbering, UnknownNullaryPredicateFails) {
    const Predicates lIndex = Index(MakeLetters("p", ""), 0);
    const MatrixPtr lOther = Factory::NullPredicate("q");
    try {
        lIndex.TrueIn(static_cast<const NullPredicate&>(*lOther), 0);
        FAIL();
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(), "Null predicate q. not found in proposition.");
    }
}

TEST(DecodedForms, KindOfObjectEqualityAndHash) {
    const UnaryPredicate lF('F');
    const UnaryPredicate lG('G');
    const KindOfObject lOne(1, {lG}, {lF});
    EXPECT_EQ(lOne, KindOfObject(1, {lG}, {UnaryPredicate('F')}));
    EXPECT_FALSE(lOne == KindOfObject(2, {lG}, {lF}));
    EXPECT_FALSE(lOne == KindOfObject(1, {lF}, {lG}));
    EXPECT_EQ(lOne.Hash(), (1 << 6) + 4 * 256 + 'G');
    EXPECT_EQ(std::hash<KindOfObject>{}(lOne), std::hash<KindOfObject>{}(KindOfObject(1, {lG}, {lF})));
    EXPECT_FALSE(lOne.Affirms(UnaryPredicate('H')));
    EXPECT_FALSE(lOne.Denies(UnaryPredicate('H')));
    EXPECT_EQ(lOne.Predicates().front().Letter(), 'F');
    EXPECT_THROW(KindOfObject(1, {lF}, {lF}), EngineException);
}

TEST(DecodedForms, KindOfWorldDropsRepeatedKindsAndRejectsOverlap) {
    const Letters& lLetters = MakeLetters("qp", "");
    const KindOfObject lKind(1, {UnaryPredicate('F')}, {});
    const KindOfWorld lWorld({lKind, KindOfObject(2, {}, {}), lKind}, {lLetters.Null()[0]},
                             {lLetters.Null()[1]});
    EXPECT_EQ(lWorld.KindsOfObjects().size(), 2u);
    // Ordered by text: p before q.
    EXPECT_EQ(lWorld.Predicates(), (std::vector<const NullPredicate*>{lLetters.Null()[1], lLetters.Null()[0]}));
    EXPECT_THROW(KindOfWorld({}, {lLetters.Null()[0]}, {lLetters.Null()[0]}), EngineException);
}

TEST(Numbering, EachIndexHasItsOwnNumberingId) {
    const Letters& lLetters = MakeLetters("p", "");
    const Predicates lFirst = Index(lLetters, 0);
    const Predicates lCopy = lFirst;
    EXPECT_EQ(lCopy.NumberingId(), lFirst.NumberingId());
    EXPECT_NE(Index(lLetters, 0).NumberingId(), lFirst.NumberingId());
    EXPECT_NE(lFirst.NumberingId(), 0u);
}

} // namespace
} // namespace Logic
