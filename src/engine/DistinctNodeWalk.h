#pragma once
// Walks over the distinct nodes of a formula without recursion, each shared node once (the
// walks of model/FormulaWalk.h follow every occurrence instead): formulas may be nested millions
// of levels deep, and shared nodes (a formula is a DAG) are visited once. Every node visited is a
// step of work for the command's cancellation.

#include <array>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

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
    std::unordered_set<const Matrix*> lSeen{&aRoot};
    std::vector<const Matrix*> lPending{&aRoot};
    while (!lPending.empty()) {
        CheckCancellation();
        const Matrix* lNode = lPending.back();
        lPending.pop_back();
        aVisit(*lNode);
        for (const Matrix* lOperand : Operands(*lNode)) {
            if (lSeen.insert(lOperand).second) {
                lPending.push_back(lOperand);
            }
        }
    }
}

/// A value computed bottom-up: aCombine(node, operand values) for every distinct node, operands
/// before the nodes that hold them; returns the root's value.
template <typename Value, typename Combine>
Value FoldBottomUp(const Matrix& aRoot, Combine aCombine) {
    std::unordered_map<const Matrix*, Value> lValues;
    std::vector<std::pair<const Matrix*, bool>> lPending{{&aRoot, false}};
    while (!lPending.empty()) {
        CheckCancellation();
        auto [lNode, lOperandsDone] = lPending.back();
        lPending.pop_back();
        if (lValues.contains(lNode)) {
            continue;
        }
        const OperandList lOperands = Operands(*lNode);
        if (!lOperandsDone) {
            lPending.emplace_back(lNode, true);
            for (const Matrix* lOperand : lOperands) {
                if (!lValues.contains(lOperand)) {
                    lPending.emplace_back(lOperand, false);
                }
            }
            continue;
        }
        std::array<Value, 2> lOperandValues{};
        for (size_t lIndex = 0; lIndex < lOperands.mCount; ++lIndex) {
            lOperandValues[lIndex] = lValues.at(lOperands.mOperands[lIndex]);
        }
        lValues.emplace(lNode, aCombine(*lNode, lOperandValues));
    }
    return lValues.at(&aRoot);
}

} // namespace Logic::DistinctNodeWalk
