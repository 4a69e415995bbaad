#pragma once
// Walks over the distinct nodes of a formula without recursion, each shared node once (the
// walks of model/FormulaWalk.h follow every occurrence instead): formulas may be nested millions
// of levels deep, and shared nodes (a formula is a DAG) are visited once. Every node visited is a
// step of work for the command's cancellation.

#include <array>
#include <utility>
#include <vector>

#include "engine/PointerIndex.h"
#include "model/FormulaWalk.h"
#include "platform/Cancellation.h"

namespace Logic::DistinctNodeWalk {

struct OperandList {
    std::array<const Matrix*, 2> mOperands{};
    size_t mCount = 0;
    const Matrix* const* begin() const { return mOperands.data(); }
    const Matrix* const* end() const { return mOperands.data() + mCount; }
};

inline OperandList Operands(const Matrix& aMatrix) {
    const FormulaWalk::Operands lOperands = FormulaWalk::OperandsOf(aMatrix);
    const size_t lCount = lOperands.mFirst == nullptr ? 0 : lOperands.mSecond == nullptr ? 1 : 2;
    return {{lOperands.mFirst, lOperands.mSecond}, lCount};
}

/// Calls aVisit once for every distinct node of aRoot, in no particular order.
template <typename Visit> void ForEachDistinctNode(const Matrix& aRoot, Visit aVisit) {
    PointerIndex lSeen;
    lSeen.Insert(&aRoot, 0);
    std::vector<const Matrix*> lPending{&aRoot};
    while (!lPending.empty()) {
        CheckCancellation();
        const Matrix* lNode = lPending.back();
        lPending.pop_back();
        aVisit(*lNode);
        for (const Matrix* lOperand : Operands(*lNode)) {
            if (lSeen.Find(lOperand) == PointerIndex::None) {
                lSeen.Insert(lOperand, 0);
                lPending.push_back(lOperand);
            }
        }
    }
}

/// A value computed bottom-up: aCombine(node, operand values) for every distinct node, operands
/// before the nodes that hold them; returns the root's value.
template <typename Value, typename Combine>
Value FoldBottomUp(const Matrix& aRoot, Combine aCombine) {
    PointerIndex lIndex; // node -> its value in lValues
    std::vector<Value> lValues;
    std::vector<std::pair<const Matrix*, bool>> lPending{{&aRoot, false}};
    while (!lPending.empty()) {
        CheckCancellation();
        auto [lNode, lOperandsDone] = lPending.back();
        lPending.pop_back();
        if (lIndex.Find(lNode) != PointerIndex::None) {
            continue;
        }
        const OperandList lOperands = Operands(*lNode);
        if (!lOperandsDone) {
            lPending.emplace_back(lNode, true);
            for (const Matrix* lOperand : lOperands) {
                if (lIndex.Find(lOperand) == PointerIndex::None) {
                    lPending.emplace_back(lOperand, false);
                }
            }
            continue;
        }
        std::array<Value, 2> lOperandValues{};
        for (size_t lAt = 0; lAt < lOperands.mCount; ++lAt) {
            lOperandValues[lAt] = lValues[lIndex.Find(lOperands.mOperands[lAt])];
        }
        lValues.push_back(aCombine(*lNode, lOperandValues));
        lIndex.Insert(lNode, static_cast<uint32_t>(lValues.size() - 1));
    }
    return lValues[lIndex.Find(&aRoot)];
}

} // namespace Logic::DistinctNodeWalk
