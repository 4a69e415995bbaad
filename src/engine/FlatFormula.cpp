#include "engine/FlatFormula.h"

#include <algorithm>

#include "engine/PointerIndex.h"
#include "engine/Predicates.h"
#include "model/EngineException.h"
#include "model/FormulaWalk.h"
#include "model/Identification.h"
#include "model/Necessity.h"
#include "model/NullPredicate.h"
#include "model/UnaryPredication.h"
#include "model/UniversalGeneralization.h"

namespace Logic {

namespace {

/// Whether the sorted range [aLarge, aLargeEnd) holds every member of the sorted [aSmall,
/// aSmallEnd): by binary search, since in a long chain of conjunctions one side is small.
bool Includes(const uint32_t* aLarge, const uint32_t* aLargeEnd, const uint32_t* aSmall, const uint32_t* aSmallEnd) {
    if (aSmallEnd - aSmall > aLargeEnd - aLarge) {
        return false;
    }
    return std::all_of(aSmall, aSmallEnd,
                       [&](uint32_t fMember) { return std::binary_search(aLarge, aLargeEnd, fMember); });
}

} // namespace

FlatFormula::FlatFormula(const Matrix& aRoot, const Predicates& aPredicates,
                         const EngineLimits& aLimits)
    : mPredicates(aPredicates), mModal(aPredicates.ModalitiesPresent()) {
    Flatten(aRoot);
    FindFreeSlots(aLimits.mTableBytes);
    MarkCountingForms(*this);
}

void FlatFormula::Flatten(const Matrix& aRoot) {
    PointerIndex lIndex;
    PointerIndex lSlots;
    std::vector<int32_t> lDepths;
    const auto fSlot = [&](const VariablePtr& fVariable) {
        uint32_t lSlot = lSlots.Find(fVariable.get());
        if (lSlot == PointerIndex::None) {
            lSlot = static_cast<uint32_t>(mVariableNames.size());
            lSlots.Insert(fVariable.get(), lSlot);
            mVariableNames.push_back(fVariable->ToString());
            mIdentified.push_back(false);
        }
        return lSlot;
    };

    // Post-order over the distinct nodes with an explicit stack: operands get lower indices.
    std::vector<std::pair<const Matrix*, bool>> lPending{{&aRoot, false}};
    while (!lPending.empty()) {
        const auto [lMatrix, lOperandsDone] = lPending.back();
        lPending.pop_back();
        if (lIndex.Find(lMatrix) != PointerIndex::None) {
            continue;
        }
        const auto [lFirst, lSecond] = FormulaWalk::OperandsOf(*lMatrix);
        if (!lOperandsDone) {
            lPending.emplace_back(lMatrix, true);
            for (const Matrix* lOperand : {lSecond, lFirst}) {
                if (lOperand != nullptr && lIndex.Find(lOperand) == PointerIndex::None) {
                    lPending.emplace_back(lOperand, false);
                }
            }
            continue;
        }
        FlatNode lNode;
        lNode.mKind = lMatrix->Kind();
        int32_t lDepth = 1;
        if (lFirst != nullptr) {
            lNode.mFirst = lIndex.Find(lFirst);
            lDepth = std::max(lDepth, lDepths[lNode.mFirst] + 1);
        }
        if (lSecond != nullptr) {
            lNode.mSecond = lIndex.Find(lSecond);
            lDepth = std::max(lDepth, lDepths[lNode.mSecond] + 1);
        }
        switch (lNode.mKind) {
        case NodeKind::NullPredicate: {
            const auto& lNull = static_cast<const NullPredicate&>(*lMatrix);
            const auto& lAll = mPredicates.NullPredicates();
            const auto lFound = std::find(lAll.begin(), lAll.end(), &lNull);
            lNode.mBit = lFound == lAll.end() ? -1 : static_cast<int32_t>(lFound - lAll.begin());
            lNode.mText = lNull.Description();
            mCanFail = mCanFail || lNode.mBit < 0;
            break;
        }
        case NodeKind::UnaryPredication: {
            const auto& lPredication = static_cast<const UnaryPredication&>(*lMatrix);
            lNode.mBit = mPredicates.IndexOfUnaryPredicate(*lPredication.Predicate());
            lNode.mText = lPredication.Predicate()->ToString();
            lNode.mSlot = fSlot(lPredication.Variable());
            mCanFail = mCanFail || lNode.mBit < 0;
            break;
        }
        case NodeKind::Identification: {
            const auto& lIdentity = static_cast<const Identification&>(*lMatrix);
            lNode.mSlot = fSlot(lIdentity.Left());
            lNode.mSlot2 = fSlot(lIdentity.Right());
            mIdentified[lNode.mSlot] = true;
            mIdentified[lNode.mSlot2] = true;
            break;
        }
        case NodeKind::UniversalGeneralization:
            lNode.mSlot = fSlot(static_cast<const UniversalGeneralization&>(*lMatrix).Variable());
            break;
        case NodeKind::Necessity:
            if (static_cast<const Necessity&>(*lMatrix).Memoizible()) {
                lNode.mMemo = mMemoTables++;
            }
            break;
        case NodeKind::BinaryPredication:
            mCanFail = true;
            break;
        case NodeKind::Negation:
        case NodeKind::Conjunction:
        case NodeKind::Disjunction:
        case NodeKind::MaterialConditional:
        case NodeKind::Argument:
        case NodeKind::Equivalence:
        case NodeKind::JointDenial:
            break;
        }
        const uint32_t lNew = static_cast<uint32_t>(mNodes.size());
        mNodes.push_back(std::move(lNode));
        lDepths.push_back(lDepth);
        lIndex.Insert(lMatrix, lNew);
    }
    mRoot = lIndex.Find(&aRoot);
    mDepth = lDepths[mRoot];
}

void FlatFormula::FindFreeSlots(size_t aBudgetBytes) {
    const size_t lMostEntries = aBudgetBytes / sizeof(uint32_t);
    const auto fShare = [](FlatNode& fNode, const FlatNode& fFrom) {
        fNode.mFreeBegin = fFrom.mFreeBegin;
        fNode.mFreeEnd = fFrom.mFreeEnd;
    };
    // Operands come before the nodes that hold them, so one pass suffices. A node whose list
    // equals an operand's shares that operand's range; only new lists take room.
    bool lOver = false;
    for (FlatNode& lNode : mNodes) {
        const size_t lStart = mFreeSlots.size();
        switch (lNode.mKind) {
        case NodeKind::UnaryPredication:
            mFreeSlots.push_back(lNode.mSlot);
            break;
        case NodeKind::Identification:
            mFreeSlots.push_back(std::min(lNode.mSlot, lNode.mSlot2));
            if (lNode.mSlot != lNode.mSlot2) {
                mFreeSlots.push_back(std::max(lNode.mSlot, lNode.mSlot2));
            }
            break;
        case NodeKind::Negation:
        case NodeKind::Necessity:
            fShare(lNode, mNodes[lNode.mFirst]);
            continue;
        case NodeKind::UniversalGeneralization: {
            const FlatNode& lBody = mNodes[lNode.mFirst];
            if (std::find(FreeBegin(lBody), FreeEnd(lBody), lNode.mSlot) == FreeEnd(lBody)) {
                fShare(lNode, lBody);
                continue;
            }
            for (uint32_t lAt = lBody.mFreeBegin; lAt < lBody.mFreeEnd; ++lAt) {
                if (mFreeSlots[lAt] != lNode.mSlot) {
                    mFreeSlots.push_back(mFreeSlots[lAt]);
                }
            }
            break;
        }
        case NodeKind::Conjunction:
        case NodeKind::Disjunction:
        case NodeKind::MaterialConditional:
        case NodeKind::Argument:
        case NodeKind::Equivalence:
        case NodeKind::JointDenial: {
            const FlatNode& lLeft = mNodes[lNode.mFirst];
            const FlatNode& lRight = mNodes[lNode.mSecond];
            if (Includes(FreeBegin(lLeft), FreeEnd(lLeft), FreeBegin(lRight), FreeEnd(lRight))) {
                fShare(lNode, lLeft);
                continue;
            }
            if (Includes(FreeBegin(lRight), FreeEnd(lRight), FreeBegin(lLeft), FreeEnd(lLeft))) {
                fShare(lNode, lRight);
                continue;
            }
            const size_t lNeeded = (lLeft.mFreeEnd - lLeft.mFreeBegin) + (lRight.mFreeEnd - lRight.mFreeBegin);
            if (lStart + lNeeded > lMostEntries) {
                lOver = true;
                break;
            }
            mFreeSlots.resize(lStart + lNeeded);
            // The union is written behind both operand ranges, which stay where they are.
            const auto lEnd = std::set_union(lLeft.mFreeBegin + mFreeSlots.begin(), lLeft.mFreeEnd + mFreeSlots.begin(),
                                             lRight.mFreeBegin + mFreeSlots.begin(),
                                             lRight.mFreeEnd + mFreeSlots.begin(),
                                             mFreeSlots.begin() + static_cast<std::ptrdiff_t>(lStart));
            mFreeSlots.resize(static_cast<size_t>(lEnd - mFreeSlots.begin()));
            break;
        }
        case NodeKind::NullPredicate:
        case NodeKind::BinaryPredication:
            break;
        }
        if (lOver || mFreeSlots.size() > lMostEntries) {
            mFreeSlots.clear();
            mFreeSlots.shrink_to_fit();
            for (FlatNode& lClear : mNodes) {
                lClear.mFreeBegin = lClear.mFreeEnd = 0;
            }
            return;
        }
        lNode.mFreeBegin = static_cast<uint32_t>(lStart);
        lNode.mFreeEnd = static_cast<uint32_t>(mFreeSlots.size());
    }
    mFreeSlotsKnown = true;
}

} // namespace Logic
