#pragma once
// ScalarWalk: the reference's recursive evaluation over a FlatFormula, one world at a time, with
// the same short-circuit order and the same failures. Its variable slots, Necessity memos and
// scratch belong to the walk, never to the shared formula: one walk per thread.

#include <cstdint>
#include <vector>

#include "engine/EngineLimits.h"
#include "engine/FlatFormula.h"

namespace Logic {

class Predicates;

class ScalarWalk {
public:
    ScalarWalk(const FlatFormula& aFormula, const EngineLimits& aLimits);

    /// Truth of node aNode in world aWorld of interpretation aInterpretation.
    bool TrueIn(uint32_t aNode, uint32_t aInterpretation, uint32_t aWorld);

    /// What a quantified variable denotes while its quantifier is walked: an object, given by
    /// its combination of predicates, its instance among the objects of that combination, and
    /// its world.
    struct Slot {
        uint32_t mCombination = 0;
        uint32_t mInstance = 0;
        uint32_t mWorld = 0;
        bool mBound = false;
    };

private:
    const Slot& Bound(uint32_t aSlot) const;
    bool Necessarily(const FlatNode& aNode, uint32_t aInterpretation);
    bool ForAll(const FlatNode& aNode, uint32_t aInterpretation, uint32_t aWorld);
    bool ForEveryObject(const FlatNode& aNode, uint32_t aInterpretation, uint32_t aWorld);
    bool ForEveryKindOfObject(const FlatNode& aNode, uint32_t aInterpretation, uint32_t aWorld);
    bool BodyWith(const FlatNode& aNode, Slot aObject, uint32_t aInterpretation, uint32_t aWorld);
    uint32_t ObjectsThatAre(int32_t aBit, uint32_t aWorld) const;

    const FlatFormula& mFormula;
    const FlatNode* mNodes;
    const Predicates& mP;
    std::vector<Slot> mSlots;
    bool mDeep;
    size_t mMemoWorlds = 0;
    int32_t mMemoTables = 0; // tables beyond the byte budget go without a memo
    std::vector<int8_t> mMemos;
    /// The objects that the variables free in a quantifier hold, one stretch per quantifier
    /// being walked; reused, so the walk allocates only while it first grows.
    std::vector<uint64_t> mChosen;
};

} // namespace Logic
