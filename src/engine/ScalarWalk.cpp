#include "engine/ScalarWalk.h"

#include <algorithm>

#include "engine/CompiledFormula.h"
#include "engine/Predicates.h"
#include "model/EngineException.h"
#include "model/Necessity.h"
#include "platform/Cancellation.h"
#include "platform/LargeStack.h"

namespace Logic {

namespace {
uint64_t ObjectKey(uint32_t aCombination, uint32_t aInstance) {
    return (uint64_t{aCombination} << 32) | aInstance;
}
} // namespace

ScalarWalk::ScalarWalk(const FlatFormula& aFormula, const EngineLimits& aLimits)
    : mFormula(aFormula), mNodes(aFormula.mNodes.data()), mP(aFormula.mPredicates),
      mSlots(aFormula.mVariableNames.size()), mDeep(aFormula.mDepth > CompiledFormula::DeepFormula) {
    if (mP.ModalitiesPresent() && aFormula.mMemoTables > 0) {
        const uint64_t lWorlds = static_cast<uint64_t>(mP.DistinguishableWorldsWithinAKind())
                                 << mP.BitsNeededToDistinguishWorlds();
        mMemoWorlds = static_cast<size_t>(std::min<uint64_t>(lWorlds, Necessity::MemoSize));
        mMemoTables = static_cast<int32_t>(
            std::min<uint64_t>(static_cast<uint64_t>(aFormula.mMemoTables), aLimits.mTableBytes / mMemoWorlds));
    }
    mMemos.assign(mMemoWorlds * static_cast<size_t>(mMemoTables), 0);
}

bool ScalarWalk::TrueIn(uint32_t aNode, uint32_t aInterpretation, uint32_t aWorld) {
    // The walk recurses once per level: a deep formula stops with a message where the stack
    // is nearly used up (the 32-bit plugin has 64 MiB), instead of overflowing.
    if (mDeep && !StackHasRoom()) {
        throw EngineException("The formula is nested too deeply to evaluate with the stack "
                              "space available; write it with fewer levels of nesting.");
    }
    const FlatNode& lNode = mNodes[aNode];
    switch (lNode.mKind) {
    case NodeKind::NullPredicate:
        if (lNode.mBit < 0) {
            throw EngineException("Null predicate {0}. not found in proposition.", lNode.mText);
        }
        return ((aWorld >> lNode.mBit) & 1u) != 0;
    case NodeKind::UnaryPredication: {
        const Slot& lSlot = Bound(lNode.mSlot);
        if (lNode.mBit < 0) {
            throw EngineException("Unary predicate {0} not found in proposition.", lNode.mText);
        }
        return ((lSlot.mCombination >> lNode.mBit) & 1u) != 0;
    }
    case NodeKind::BinaryPredication:
        throw EngineException(BinaryPredicatesFailure);
    case NodeKind::Identification: {
        const Slot& lLeft = Bound(lNode.mSlot);
        const Slot& lRight = Bound(lNode.mSlot2);
        return lLeft.mCombination == lRight.mCombination && lLeft.mInstance == lRight.mInstance &&
               lLeft.mWorld == lRight.mWorld;
    }
    case NodeKind::Negation:
        if (lNode.mCountsObjects) {
            return ObjectsThatAre(lNode.mBit, aWorld) == lNode.mCount;
        }
        return !TrueIn(lNode.mFirst, aInterpretation, aWorld);
    case NodeKind::Necessity:
        return Necessarily(lNode, aInterpretation);
    case NodeKind::UniversalGeneralization:
        return ForAll(lNode, aInterpretation, aWorld);
    case NodeKind::Conjunction:
        return TrueIn(lNode.mFirst, aInterpretation, aWorld) && TrueIn(lNode.mSecond, aInterpretation, aWorld);
    case NodeKind::Disjunction:
        return TrueIn(lNode.mFirst, aInterpretation, aWorld) || TrueIn(lNode.mSecond, aInterpretation, aWorld);
    case NodeKind::MaterialConditional:
    case NodeKind::Argument:
        return !TrueIn(lNode.mFirst, aInterpretation, aWorld) || TrueIn(lNode.mSecond, aInterpretation, aWorld);
    case NodeKind::Equivalence: {
        const bool lLeft = TrueIn(lNode.mFirst, aInterpretation, aWorld);
        return lLeft == TrueIn(lNode.mSecond, aInterpretation, aWorld);
    }
    case NodeKind::JointDenial:
        return !TrueIn(lNode.mFirst, aInterpretation, aWorld) && !TrueIn(lNode.mSecond, aInterpretation, aWorld);
    }
    return false;
}

const ScalarWalk::Slot& ScalarWalk::Bound(uint32_t aSlot) const {
    const Slot& lSlot = mSlots[aSlot];
    if (!lSlot.mBound) {
        throw EngineException("The variable {0} does not denote any object here.", mFormula.mVariableNames[aSlot]);
    }
    return lSlot;
}

uint32_t ScalarWalk::ObjectsThatAre(int32_t aBit, uint32_t aWorld) const {
    uint32_t lObjects = 0;
    const auto lCombinations = static_cast<uint32_t>(mP.NumberOfCombinationsOfUnaryPredicates());
    for (uint32_t lCombination = 0; lCombination < lCombinations; ++lCombination) {
        if (((lCombination >> aBit) & 1u) != 0) {
            lObjects += mP.DistinguishableInstancesOfThisPredicateCombination(aWorld, lCombination);
        }
    }
    return lObjects;
}

bool ScalarWalk::Necessarily(const FlatNode& aNode, uint32_t aInterpretation) {
    int8_t* lMemo = aNode.mMemo < 0 || aNode.mMemo >= mMemoTables
                        ? nullptr
                        : mMemos.data() + static_cast<size_t>(aNode.mMemo) * mMemoWorlds;
    for (uint32_t lWorld : mP.KindsOfWorlds(aInterpretation)) {
        CheckCancellation();
        if (lMemo == nullptr || lWorld >= mMemoWorlds) {
            if (!TrueIn(aNode.mFirst, aInterpretation, lWorld)) {
                return false;
            }
            continue;
        }
        if (lMemo[lWorld] == 0) {
            lMemo[lWorld] = TrueIn(aNode.mFirst, aInterpretation, lWorld) ? 1 : -1;
        }
        if (lMemo[lWorld] < 0) {
            return false;
        }
    }
    return true;
}

bool ScalarWalk::ForAll(const FlatNode& aNode, uint32_t aInterpretation, uint32_t aWorld) {
    if (mP.NoDistinguishableObjects()) {
        return TrueIn(aNode.mFirst, aInterpretation, aWorld);
    }
    Slot& lSlot = mSlots[aNode.mSlot];
    const Slot lOuter = lSlot;
    // A formula that may fail must meet its failures in the reference's order, so it visits
    // every object; one that cannot fail needs only one object per class of interchangeable ones.
    const bool lTrue = mFormula.mCanFail ? ForEveryObject(aNode, aInterpretation, aWorld)
                                         : ForEveryKindOfObject(aNode, aInterpretation, aWorld);
    // Like the reference: an outer binding comes back, an unbound variable keeps the last.
    if (lOuter.mBound) {
        lSlot = lOuter;
    }
    return lTrue;
}

bool ScalarWalk::BodyWith(const FlatNode& aNode, Slot aObject, uint32_t aInterpretation, uint32_t aWorld) {
    // Nested quantifiers multiply: each object is a step of the command's work.
    CheckCancellation();
    mSlots[aNode.mSlot] = aObject;
    return TrueIn(aNode.mFirst, aInterpretation, aWorld);
}

bool ScalarWalk::ForEveryObject(const FlatNode& aNode, uint32_t aInterpretation, uint32_t aWorld) {
    const auto lCombinations = static_cast<uint32_t>(mP.NumberOfCombinationsOfUnaryPredicates());
    for (uint32_t lCombination = 0; lCombination < lCombinations; ++lCombination) {
        const uint32_t lInstances = mP.DistinguishableInstancesOfThisPredicateCombination(aWorld, lCombination);
        for (uint32_t lInstance = 0; lInstance < lInstances; ++lInstance) {
            if (!BodyWith(aNode, Slot{lCombination, lInstance, aWorld, true}, aInterpretation, aWorld)) {
                return false;
            }
        }
    }
    return true;
}

bool ScalarWalk::ForEveryKindOfObject(const FlatNode& aNode, uint32_t aInterpretation, uint32_t aWorld) {
    // Objects of one combination that no variable free here holds are interchangeable: a
    // permutation of them keeps every predicate and every identity with the held objects. So
    // the variable takes each held object of the world, and one object that no variable holds
    // for each combination that has one. A variable outside every identity tells objects
    // apart by their predicates alone and needs one object per combination.
    const bool lIdentified = mFormula.mIdentified[aNode.mSlot];
    const size_t lMark = mChosen.size();
    if (lIdentified) {
        const auto fHeld = [&](uint32_t fSlot) {
            const Slot& lHeld = mSlots[fSlot];
            if (fSlot != aNode.mSlot && lHeld.mBound && lHeld.mWorld == aWorld) {
                mChosen.push_back(ObjectKey(lHeld.mCombination, lHeld.mInstance));
            }
        };
        if (mFormula.mFreeSlotsKnown) {
            std::for_each(mFormula.FreeBegin(aNode), mFormula.FreeEnd(aNode), fHeld);
        } else {
            // Without the lists every bound variable counts as held: more objects than needed
            // are visited, never fewer.
            for (uint32_t lSlot = 0; lSlot < mSlots.size(); ++lSlot) {
                fHeld(lSlot);
            }
        }
        std::sort(mChosen.begin() + static_cast<std::ptrdiff_t>(lMark), mChosen.end());
        mChosen.erase(std::unique(mChosen.begin() + static_cast<std::ptrdiff_t>(lMark), mChosen.end()), mChosen.end());
    }
    bool lTrue = true;
    size_t lNext = lMark;
    const auto lCombinations = static_cast<uint32_t>(mP.NumberOfCombinationsOfUnaryPredicates());
    for (uint32_t lCombination = 0; lTrue && lCombination < lCombinations; ++lCombination) {
        const uint32_t lInstances = mP.DistinguishableInstancesOfThisPredicateCombination(aWorld, lCombination);
        if (lInstances == 0) {
            continue;
        }
        if (!lIdentified) {
            lTrue = BodyWith(aNode, Slot{lCombination, 0, aWorld, true}, aInterpretation, aWorld);
            continue;
        }
        // The held objects of this combination, in increasing instance, then the first
        // instance that none holds (the held ones may leave gaps).
        uint32_t lHeld = 0;
        uint32_t lFresh = 0;
        for (; lTrue && lNext < mChosen.size() && (mChosen[lNext] >> 32) == lCombination; ++lNext, ++lHeld) {
            const auto lInstance = static_cast<uint32_t>(mChosen[lNext]);
            lFresh += lFresh == lInstance ? 1u : 0u;
            lTrue = BodyWith(aNode, Slot{lCombination, lInstance, aWorld, true}, aInterpretation, aWorld);
        }
        if (lTrue && lHeld < lInstances) {
            lTrue = BodyWith(aNode, Slot{lCombination, lFresh, aWorld, true}, aInterpretation, aWorld);
        }
        while (lNext < mChosen.size() && (mChosen[lNext] >> 32) == lCombination) {
            ++lNext;
        }
    }
    mChosen.resize(lMark);
    return lTrue;
}

} // namespace Logic
