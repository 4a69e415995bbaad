#pragma once
// FlatFormula: a formula tree flattened for one numbering (Predicates) into an array of nodes,
// operands before the nodes that hold them, each distinct node once. The scalar walk and the
// circuit unrolling both work on it instead of the tree's virtual TrueIn.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/EngineLimits.h"
#include "model/Matrix.h"

namespace Logic {

class Predicates;

struct FlatNode {
    NodeKind mKind = NodeKind::NullPredicate;
    uint32_t mFirst = 0;  // operand (unary operators, left of binary ones)
    uint32_t mSecond = 0; // right operand
    int32_t mBit = -1;    // nullary predicate: bit in the world; unary: bit in the combination
    uint32_t mSlot = 0;   // variable (quantifier, predication, left of identity)
    uint32_t mSlot2 = 0;  // right variable of identity
    int32_t mMemo = -1;   // memoizible Necessity: its memo table
    /// A negation that heads "exactly mCount things are F" (F the unary predicate of bit
    /// mBit): evaluated by counting the objects that are F instead of walking its quantifiers.
    bool mCountsObjects = false;
    uint32_t mCount = 0;
    uint32_t mFreeBegin = 0; // variables free in this node: FlatFormula::mFreeSlots[begin, end)
    uint32_t mFreeEnd = 0;
    std::string mText; // text for a failure message (predicate)
};

struct FlatFormula {
    /// aRoot and aPredicates (made from aRoot) must outlive this object.
    FlatFormula(const Matrix& aRoot, const Predicates& aPredicates, const EngineLimits& aLimits);

    const Predicates& mPredicates;
    std::vector<FlatNode> mNodes;
    uint32_t mRoot = 0;
    std::vector<std::string> mVariableNames;
    std::vector<bool> mIdentified; // per slot: the variable takes part in an identity
    int32_t mMemoTables = 0;
    int32_t mDepth = 0;
    bool mModal = false;
    /// Some node's evaluation can fail (a binary predication, a predicate missing from the
    /// numbering). Such a formula must fail exactly where the reference does, so it is walked
    /// object by object in the reference's order.
    bool mCanFail = false;
    /// Whether mFreeBegin/mFreeEnd are filled: the lists have a byte budget, and a formula
    /// past it goes without them.
    bool mFreeSlotsKnown = false;
    std::vector<uint32_t> mFreeSlots;

    const uint32_t* FreeBegin(const FlatNode& aNode) const { return mFreeSlots.data() + aNode.mFreeBegin; }
    const uint32_t* FreeEnd(const FlatNode& aNode) const { return mFreeSlots.data() + aNode.mFreeEnd; }

private:
    void Flatten(const Matrix& aRoot);
    void FindFreeSlots(size_t aBudgetBytes);
};

/// Marks the negations in aFormula that head a counting form (exactly n things are F, n >= 2,
/// as the factory writes it or in any equivalent arrangement of the same conjuncts), so that
/// they are evaluated by counting.
void MarkCountingForms(FlatFormula& aFormula);

} // namespace Logic
