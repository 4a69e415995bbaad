#include "engine/CircuitUnrolling.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/Predicates.h"
#include "platform/Cancellation.h"
#include "platform/LargeStack.h"

namespace Logic {

namespace {

using Gate = BitCircuit::Gate;

/// The circuit cannot stand for the formula; the scalar walk takes over.
struct NotCompilable {};

/// What a quantified variable denotes while it is unrolled.
struct Slot {
    uint32_t mCombination = 0;
    uint32_t mInstance = 0;
    uint32_t mWorld = 0;
    bool mBound = false;
};

/// Unrolls a flat formula into a BitCircuit. Without modal operators the lane is the
/// kind-of-world number, so sentence letters and count fields are inputs and quantifiers are
/// unrolled over the objects a kind of world may hold, each guarded by its count field. With
/// them the lane is the interpretation number and every world is known while unrolling: only
/// "the interpretation holds kind K" is an input, and a modal operator is the conjunction over
/// the kinds, each guarded by that input.
class CircuitBuilder {
public:
    CircuitBuilder(const FlatFormula& aFormula, uint64_t aMaximumSteps, const EngineLimits& aLimits)
        : mFormula(aFormula), mNodes(aFormula.mNodes), mP(aFormula.mPredicates),
          mCircuit(aLimits.mMaximumGates), mSlots(aFormula.mVariableNames.size()),
          mMaximumSteps(aMaximumSteps), mMemoBudget(aLimits.mTableBytes) {}

    BitCircuit& Circuit() { return mCircuit; }

    /// Outputs "some world is true" and "some world is false" for the root.
    std::pair<Gate, Gate> Outputs(uint32_t aRoot) {
        if (!mP.ModalitiesPresent()) {
            const Gate lValue = Compile(aRoot, 0);
            return {lValue, mCircuit.Not(lValue)};
        }
        Gate lSomeTrue = BitCircuit::False;
        Gate lSomeFalse = BitCircuit::False;
        for (const auto& [lValue, lKinds] : Residues(aRoot)) {
            const Gate lHolds = mCircuit.Input(lKinds);
            lSomeTrue = mCircuit.Or(lSomeTrue, mCircuit.And(lHolds, lValue));
            lSomeFalse = mCircuit.Or(lSomeFalse, mCircuit.And(lHolds, mCircuit.Not(lValue)));
        }
        return {lSomeTrue, lSomeFalse};
    }

private:
    /// The truth of aNode in every world of an interpretation, grouped: each distinct gate
    /// with the kinds of worlds where it is the value (copies of a kind join their kind).
    std::vector<std::pair<Gate, uint32_t>> Residues(uint32_t aNode) {
        std::vector<std::pair<Gate, uint32_t>> lGroups;
        const auto lCopies = static_cast<uint32_t>(mP.DistinguishableWorldsWithinAKind());
        const int32_t lShift = mP.BitsNeededToDistinguishWorlds();
        // A modal interpretation number has a bit per kind of world: at most 32 kinds.
        assert(mP.LastKindOfWorld() < 32 && "a modal numbering has at most 32 kinds of worlds");
        for (uint64_t lKind = mP.FirstNonemptyWorld(); lKind <= mP.LastKindOfWorld(); ++lKind) {
            for (uint32_t lCopy = 0; lCopy < lCopies; ++lCopy) {
                const uint32_t lWorld = static_cast<uint32_t>(lKind) + (lCopy << lShift);
                const Gate lValue = Compile(aNode, lWorld);
                const auto lGroup = std::find_if(lGroups.begin(), lGroups.end(),
                                                 [&](const auto& fGroup) { return fGroup.first == lValue; });
                const uint32_t lBit = uint32_t{1} << lKind;
                if (lGroup == lGroups.end()) {
                    lGroups.emplace_back(lValue, lBit);
                } else {
                    lGroup->second |= lBit;
                }
            }
        }
        return lGroups;
    }

    std::string Key(uint32_t aNode, uint32_t aWorld) const {
        std::string lKey;
        const auto fAppend = [&](uint32_t fValue) {
            char lBytes[sizeof fValue];
            std::memcpy(lBytes, &fValue, sizeof fValue);
            lKey.append(lBytes, sizeof lBytes);
        };
        fAppend(aNode);
        fAppend(aWorld);
        // Only the variables free in the node matter: a closed part is unrolled once, whatever
        // the objects outside it.
        const FlatNode& lNode = mNodes[aNode];
        for (const uint32_t* lAt = mFormula.FreeBegin(lNode); lAt != mFormula.FreeEnd(lNode); ++lAt) {
            const Slot& lSlot = mSlots[*lAt];
            if (lSlot.mBound) {
                fAppend(*lAt);
                fAppend(lSlot.mCombination);
                fAppend(lSlot.mInstance);
                fAppend(lSlot.mWorld);
            }
        }
        return lKey;
    }

    /// aWorld is the world number in modal formulas; without modal operators the lane is the
    /// world, and aWorld is 0.
    Gate Compile(uint32_t aNode, uint32_t aWorld) {
        // Unrolling recurses with the formula's depth; where the stack runs short the scalar
        // walk takes over (and says so itself if it cannot go deeper either).
        if (++mSteps > mMaximumSteps || !StackHasRoom()) {
            throw NotCompilable{};
        }
        // Unrolling is work of the command too: a stop or a work limit ends it as it ends a walk.
        CheckCancellation();
        const FlatNode& lNode = mNodes[aNode];
        const bool lLeaf = lNode.mKind == NodeKind::NullPredicate || lNode.mKind == NodeKind::UnaryPredication ||
                           lNode.mKind == NodeKind::Identification;
        std::string lKey;
        if (!lLeaf) {
            // A modal operator's truth is that of the interpretation, whatever the world.
            lKey = Key(aNode, lNode.mKind == NodeKind::Necessity ? UINT32_MAX : aWorld);
            const auto lFound = mMemo.find(lKey);
            if (lFound != mMemo.end()) {
                return lFound->second;
            }
        }
        const Gate lGate = CompileNode(lNode, aWorld);
        if (!lLeaf) {
            // A hash node, its key's heap block and the bucket: the memo's true cost, within
            // the byte budget.
            mMemoBytes += lKey.size() + 64;
            if (mMemoBytes > mMemoBudget) {
                throw NotCompilable{};
            }
            mMemo.emplace(std::move(lKey), lGate);
        }
        return lGate;
    }

    const Slot& Bound(uint32_t aSlot) const {
        if (!mSlots[aSlot].mBound) {
            throw NotCompilable{};
        }
        return mSlots[aSlot];
    }

    Gate CompileNode(const FlatNode& aNode, uint32_t aWorld) {
        const bool lModal = mP.ModalitiesPresent();
        switch (aNode.mKind) {
        case NodeKind::NullPredicate:
            if (aNode.mBit < 0) {
                throw NotCompilable{};
            }
            return lModal ? mCircuit.Constant(((aWorld >> aNode.mBit) & 1u) != 0)
                          : mCircuit.Input(uint32_t{1} << aNode.mBit);
        case NodeKind::UnaryPredication: {
            const Slot& lSlot = Bound(aNode.mSlot);
            if (aNode.mBit < 0) {
                throw NotCompilable{};
            }
            return mCircuit.Constant(((lSlot.mCombination >> aNode.mBit) & 1u) != 0);
        }
        case NodeKind::BinaryPredication:
            throw NotCompilable{};
        case NodeKind::Identification: {
            const Slot& lLeft = Bound(aNode.mSlot);
            const Slot& lRight = Bound(aNode.mSlot2);
            return mCircuit.Constant(lLeft.mCombination == lRight.mCombination &&
                                     lLeft.mInstance == lRight.mInstance && lLeft.mWorld == lRight.mWorld);
        }
        case NodeKind::Negation:
            if (aNode.mCountsObjects) {
                return CountIs(aNode.mBit, aNode.mCount, aWorld);
            }
            return mCircuit.Not(Compile(aNode.mFirst, aWorld));
        case NodeKind::Necessity: {
            if (!lModal) {
                throw NotCompilable{};
            }
            Gate lAll = BitCircuit::True;
            for (const auto& [lValue, lKinds] : Residues(aNode.mFirst)) {
                lAll = mCircuit.And(lAll, mCircuit.Or(mCircuit.Not(mCircuit.Input(lKinds)), lValue));
            }
            return lAll;
        }
        case NodeKind::UniversalGeneralization:
            return ForAll(aNode, aWorld);
        case NodeKind::Conjunction:
            return mCircuit.And(Compile(aNode.mFirst, aWorld), Compile(aNode.mSecond, aWorld));
        case NodeKind::Disjunction:
            return mCircuit.Or(Compile(aNode.mFirst, aWorld), Compile(aNode.mSecond, aWorld));
        case NodeKind::MaterialConditional:
        case NodeKind::Argument:
            return mCircuit.Or(mCircuit.Not(Compile(aNode.mFirst, aWorld)), Compile(aNode.mSecond, aWorld));
        case NodeKind::Equivalence:
            return mCircuit.Not(mCircuit.Xor(Compile(aNode.mFirst, aWorld), Compile(aNode.mSecond, aWorld)));
        case NodeKind::JointDenial:
            return mCircuit.And(mCircuit.Not(Compile(aNode.mFirst, aWorld)),
                                mCircuit.Not(Compile(aNode.mSecond, aWorld)));
        }
        throw NotCompilable{};
    }

    /// Bit aBit of count field aCombination of the lane's kind of world.
    Gate FieldBit(uint32_t aCombination, int32_t aBit) {
        const uint32_t lOffset = static_cast<uint32_t>(mP.NumberOfNullPredicates()) +
                                 aCombination * static_cast<uint32_t>(mP.BitsNeededToRepresentObjectsOfAKind());
        return mCircuit.Input(uint32_t{1} << (lOffset + static_cast<uint32_t>(aBit)));
    }

    /// Count field aCombination of the lane's kind of world exceeds aInstances.
    Gate CountExceeds(uint32_t aCombination, uint32_t aInstances) {
        const int32_t lWidth = mP.BitsNeededToRepresentObjectsOfAKind();
        uint32_t lBound = aInstances;
        if (mP.NumberOfUnaryPredicates() == 0) {
            // Without unary predicates the field counts from one.
            if (aInstances == 0) {
                return BitCircuit::True;
            }
            lBound = aInstances - 1;
        }
        // field > bound, from the most significant bit down.
        Gate lGreater = BitCircuit::False;
        for (int32_t lBit = 0; lBit < lWidth; ++lBit) {
            const Gate lField = FieldBit(aCombination, lBit);
            lGreater = ((lBound >> lBit) & 1u) != 0 ? mCircuit.And(lField, lGreater) : mCircuit.Or(lField, lGreater);
        }
        return lGreater;
    }

    /// The world holds exactly aCount objects that have unary predicate aBit.
    Gate CountIs(int32_t aBit, uint32_t aCount, uint32_t aWorld) {
        const auto lCombinations = static_cast<uint32_t>(mP.NumberOfCombinationsOfUnaryPredicates());
        if (mP.ModalitiesPresent()) {
            uint64_t lObjects = 0;
            for (uint32_t lCombination = 0; lCombination < lCombinations; ++lCombination) {
                if (((lCombination >> aBit) & 1u) != 0) {
                    lObjects += mP.DistinguishableInstancesOfThisPredicateCombination(aWorld, lCombination);
                }
            }
            return mCircuit.Constant(lObjects == aCount);
        }
        // The sum of the count fields of the combinations that have the predicate, by a ripple
        // adder, least significant bit first; then compared with aCount bit by bit.
        const int32_t lWidth = mP.BitsNeededToRepresentObjectsOfAKind();
        std::vector<Gate> lSum;
        for (uint32_t lCombination = 0; lCombination < lCombinations; ++lCombination) {
            if (((lCombination >> aBit) & 1u) == 0) {
                continue;
            }
            Gate lCarry = BitCircuit::False;
            for (size_t lBit = 0; lBit < lSum.size() || lBit < static_cast<size_t>(lWidth) || lCarry != BitCircuit::False;
                 ++lBit) {
                const Gate lField = lBit < static_cast<size_t>(lWidth)
                                        ? FieldBit(lCombination, static_cast<int32_t>(lBit))
                                        : BitCircuit::False;
                if (lBit == lSum.size()) {
                    lSum.push_back(BitCircuit::False);
                }
                const Gate lHalf = mCircuit.Xor(lSum[lBit], lField);
                const Gate lNextCarry = mCircuit.Or(mCircuit.And(lSum[lBit], lField), mCircuit.And(lHalf, lCarry));
                lSum[lBit] = mCircuit.Xor(lHalf, lCarry);
                lCarry = lNextCarry;
            }
        }
        if (lSum.size() < 32 && (aCount >> lSum.size()) != 0) {
            return BitCircuit::False; // more than the fields can add up to
        }
        Gate lEqual = BitCircuit::True;
        for (size_t lBit = 0; lBit < lSum.size(); ++lBit) {
            const bool lWanted = lBit < 32 && ((aCount >> lBit) & 1u) != 0;
            lEqual = mCircuit.And(lEqual, lWanted ? lSum[lBit] : mCircuit.Not(lSum[lBit]));
        }
        return lEqual;
    }

    Gate ForAll(const FlatNode& aNode, uint32_t aWorld) {
        if (mP.NoDistinguishableObjects()) {
            return Compile(aNode.mFirst, aWorld);
        }
        const bool lModal = mP.ModalitiesPresent();
        // As in the scalar walk: objects that no variable free here holds are interchangeable,
        // so the variable takes each held object and one more of each combination, guarded by
        // "the kind of world has more objects of it than are held". A variable outside every
        // identity needs one object per combination.
        const bool lIdentified = mFormula.mIdentified[aNode.mSlot];
        Slot& lSlot = mSlots[aNode.mSlot];
        const Slot lOuter = lSlot;
        Gate lAll = BitCircuit::True;
        const auto lCombinations = static_cast<uint32_t>(mP.NumberOfCombinationsOfUnaryPredicates());
        std::vector<uint32_t> lHeld;
        for (uint32_t lCombination = 0; lCombination < lCombinations && lAll != BitCircuit::False; ++lCombination) {
            lHeld.clear();
            if (lIdentified) {
                for (const uint32_t* lAt = mFormula.FreeBegin(aNode); lAt != mFormula.FreeEnd(aNode); ++lAt) {
                    const Slot& lOther = mSlots[*lAt];
                    if (lOther.mBound && lOther.mWorld == aWorld && lOther.mCombination == lCombination) {
                        lHeld.push_back(lOther.mInstance);
                    }
                }
                std::sort(lHeld.begin(), lHeld.end());
                lHeld.erase(std::unique(lHeld.begin(), lHeld.end()), lHeld.end());
            }
            const auto fVisit = [&](uint32_t fInstance, Gate fExists) {
                // Nested quantifiers multiply: each object is a step of the command's work.
                CheckCancellation();
                lSlot = Slot{lCombination, fInstance, aWorld, true};
                const Gate lBody = Compile(aNode.mFirst, aWorld);
                lAll = mCircuit.And(lAll, mCircuit.Or(mCircuit.Not(fExists), lBody));
            };
            uint32_t lFresh = 0;
            for (uint32_t lInstance : lHeld) {
                lFresh += lFresh == lInstance ? 1u : 0u;
                fVisit(lInstance, BitCircuit::True); // it exists wherever its own quantifier put it
            }
            const auto lHeldCount = static_cast<uint32_t>(lHeld.size());
            if (lModal) {
                if (mP.DistinguishableInstancesOfThisPredicateCombination(aWorld, lCombination) > lHeldCount) {
                    fVisit(lFresh, BitCircuit::True);
                }
            } else {
                fVisit(lFresh, CountExceeds(lCombination, lHeldCount));
            }
        }
        lSlot = lOuter;
        return lAll;
    }

    const FlatFormula& mFormula;
    const std::vector<FlatNode>& mNodes;
    const Predicates& mP;
    BitCircuit mCircuit;
    std::vector<Slot> mSlots;
    std::unordered_map<std::string, Gate> mMemo;
    uint64_t mSteps = 0;
    uint64_t mMaximumSteps;
    size_t mMemoBytes = 0;
    size_t mMemoBudget;
};

} // namespace

std::unique_ptr<BitProgram> UnrollCircuit(const FlatFormula& aFormula, uint64_t aMaximumSteps,
                                          const EngineLimits& aLimits) {
    if (aFormula.mCanFail || !aFormula.mFreeSlotsKnown) {
        return nullptr;
    }
    try {
        CircuitBuilder lBuilder(aFormula, aMaximumSteps, aLimits);
        const auto [lSomeTrue, lSomeFalse] = lBuilder.Outputs(aFormula.mRoot);
        return std::make_unique<BitProgram>(lBuilder.Circuit(), std::vector<Gate>{lSomeTrue, lSomeFalse});
    } catch (const NotCompilable&) {
        return nullptr;
    } catch (const BitCircuit::TooLarge&) {
        return nullptr;
    }
}

} // namespace Logic
