#include "engine/CompiledFormula.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <thread>
#include <unordered_map>

#include "engine/DistinctNodeWalk.h"
#include "engine/ParallelLoop.h"
#include "engine/Predicates.h"
#include "engine/TruthSeen.h"
#include "platform/Cancellation.h"
#include "platform/LargeStack.h"
#include "model/BinaryOperator.h"
#include "model/EngineException.h"
#include "model/FormulaWalk.h"
#include "model/Identification.h"
#include "model/Necessity.h"
#include "model/NullPredicate.h"
#include "model/UnaryPredication.h"
#include "model/UniversalGeneralization.h"

namespace Logic {

namespace {

using Gate = BitCircuit::Gate;

/// Largest circuit worth unrolling: every gate may need one block of scratch per worker.
constexpr size_t MaximumGates = size_t{1} << 15;
/// Bound on the unrolling work, so that a formula whose circuit would be huge gives up early.
constexpr uint64_t MaximumCompileSteps = uint64_t{1} << 21;
constexpr uint64_t MinimumCompileSteps = uint64_t{1} << 12;
/// Fewer worlds than this (candidates times their worlds) are left to the scalar walk.
constexpr uint64_t CircuitWorlds = uint64_t{1} << 10;
/// Below this much work (candidates times nodes, or blocks times circuit steps) a decision
/// stays on the calling thread: starting workers would cost more than they save.
constexpr uint64_t ParallelWork = uint64_t{1} << 21;
/// Interpretations per work item of the scalar walk.
constexpr uint64_t ScalarChunk = 256;

/// The circuit cannot stand for the formula: its evaluation may fail (and must fail where
/// the reference fails), or it would be too large. The scalar walk takes over.
struct NotCompilable {};

unsigned Workers(uint64_t aWork) {
    return aWork >= ParallelWork ? std::max(std::thread::hardware_concurrency(), 1u) : 1u;
}

/// Numbers for pointers, by open addressing: flattening a small formula must cost less than
/// the reference spends deciding it, and a node-based hash map costs an allocation per entry.
class PointerIndex {
public:
    static constexpr uint32_t None = UINT32_MAX;

    uint32_t Find(const void* aKey) const {
        if (mEntries.empty()) {
            return None;
        }
        for (size_t lAt = Home(aKey);; lAt = (lAt + 1) & (mEntries.size() - 1)) {
            if (mEntries[lAt].first == aKey) {
                return mEntries[lAt].second;
            }
            if (mEntries[lAt].first == nullptr) {
                return None;
            }
        }
    }

    void Insert(const void* aKey, uint32_t aValue) {
        if ((mCount + 1) * 2 > mEntries.size()) {
            Grow();
        }
        size_t lAt = Home(aKey);
        while (mEntries[lAt].first != nullptr) {
            lAt = (lAt + 1) & (mEntries.size() - 1);
        }
        mEntries[lAt] = {aKey, aValue};
        ++mCount;
    }

private:
    size_t Home(const void* aKey) const {
        const uint64_t lBits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(aKey));
        return static_cast<size_t>((lBits * 0x9E3779B97F4A7C15ull) >> 20) & (mEntries.size() - 1);
    }

    void Grow() {
        std::vector<std::pair<const void*, uint32_t>> lOld(std::max<size_t>(mEntries.size() * 2, 64),
                                                            {nullptr, 0});
        lOld.swap(mEntries);
        mCount = 0;
        for (const auto& [lKey, lValue] : lOld) {
            if (lKey != nullptr) {
                Insert(lKey, lValue);
            }
        }
    }

    std::vector<std::pair<const void*, uint32_t>> mEntries;
    size_t mCount = 0;
};

/// What a quantified variable denotes while its quantifier is walked: an object, given by its
/// combination of predicates, its instance among the objects of that combination, and its world.
struct Slot {
    uint32_t mCombination = 0;
    uint32_t mInstance = 0;
    uint32_t mWorld = 0;
    bool mBound = false;
};

} // namespace

// ---- Flattening ------------------------------------------------------------------------------

CompiledFormula::CompiledFormula(const Matrix& aRoot, const Predicates& aPredicates)
    : mPredicates(aPredicates), mModal(aPredicates.ModalitiesPresent()) {
    Flatten(aRoot);
    WithEnoughStack([this] { BuildCircuit(); });
}

CompiledFormula::~CompiledFormula() = default;

void CompiledFormula::Flatten(const Matrix& aRoot) {
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
        Node lNode;
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
            break;
        }
        case NodeKind::UnaryPredication: {
            const auto& lPredication = static_cast<const UnaryPredication&>(*lMatrix);
            lNode.mBit = mPredicates.IndexOfUnaryPredicate(*lPredication.Predicate());
            lNode.mText = lPredication.Predicate()->ToString();
            lNode.mSlot = fSlot(lPredication.Variable());
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
        default:
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

// ---- Scalar walk -----------------------------------------------------------------------------

/// The reference's recursive walk over the flat arrays: the same short-circuit order, the same
/// failures, the same objects; its variable slots and Necessity memos are its own.
class CompiledFormula::Scalar {
public:
    explicit Scalar(const CompiledFormula& aFormula)
        : mFormula(aFormula), mNodes(aFormula.mNodes.data()), mP(aFormula.mPredicates),
          mSlots(aFormula.mVariableNames.size()), mDeep(aFormula.mDepth > DeepFormula) {
        if (mP.ModalitiesPresent()) {
            const uint64_t lWorlds = static_cast<uint64_t>(mP.DistinguishableWorldsWithinAKind())
                                     << mP.BitsNeededToDistinguishWorlds();
            mMemoWorlds = static_cast<size_t>(std::min<uint64_t>(lWorlds, Necessity::MemoSize));
        }
        mMemos.assign(mMemoWorlds * static_cast<size_t>(aFormula.mMemoTables), 0);
    }

    bool TrueIn(uint32_t aNode, uint32_t aInterpretation, uint32_t aWorld) {
        // The walk recurses once per level: a deep formula stops with a message where the stack
        // is nearly used up (the 32-bit plugin has 64 MiB), instead of overflowing.
        if (mDeep && !StackHasRoom()) {
            throw EngineException("The formula is nested too deeply to evaluate with the stack "
                                  "space available; write it with fewer levels of nesting.");
        }
        const Node& lNode = mNodes[aNode];
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
            throw EngineException("Can't decide a proposition that contains binary predicates.");
        case NodeKind::Identification: {
            const Slot& lLeft = Bound(lNode.mSlot);
            const Slot& lRight = Bound(lNode.mSlot2);
            return lLeft.mCombination == lRight.mCombination &&
                   lLeft.mInstance == lRight.mInstance && lLeft.mWorld == lRight.mWorld;
        }
        case NodeKind::Negation:
            return !TrueIn(lNode.mFirst, aInterpretation, aWorld);
        case NodeKind::Necessity:
            return Necessarily(lNode, aInterpretation);
        case NodeKind::UniversalGeneralization:
            return ForAll(lNode, aInterpretation, aWorld);
        case NodeKind::Conjunction:
            return TrueIn(lNode.mFirst, aInterpretation, aWorld) &&
                   TrueIn(lNode.mSecond, aInterpretation, aWorld);
        case NodeKind::Disjunction:
            return TrueIn(lNode.mFirst, aInterpretation, aWorld) ||
                   TrueIn(lNode.mSecond, aInterpretation, aWorld);
        case NodeKind::MaterialConditional:
        case NodeKind::Argument:
            return !TrueIn(lNode.mFirst, aInterpretation, aWorld) ||
                   TrueIn(lNode.mSecond, aInterpretation, aWorld);
        case NodeKind::Equivalence: {
            const bool lLeft = TrueIn(lNode.mFirst, aInterpretation, aWorld);
            return lLeft == TrueIn(lNode.mSecond, aInterpretation, aWorld);
        }
        case NodeKind::JointDenial:
            return !TrueIn(lNode.mFirst, aInterpretation, aWorld) &&
                   !TrueIn(lNode.mSecond, aInterpretation, aWorld);
        }
        return false;
    }

private:
    const Slot& Bound(uint32_t aSlot) const {
        const Slot& lSlot = mSlots[aSlot];
        if (!lSlot.mBound) {
            throw EngineException("The variable {0} does not denote any object here.",
                                  mFormula.mVariableNames[aSlot]);
        }
        return lSlot;
    }

    bool Necessarily(const Node& aNode, uint32_t aInterpretation) {
        int8_t* lMemo = aNode.mMemo < 0 ? nullptr
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

    bool ForAll(const Node& aNode, uint32_t aInterpretation, uint32_t aWorld) {
        if (mP.NoDistinguishableObjects()) {
            return TrueIn(aNode.mFirst, aInterpretation, aWorld);
        }
        Slot& lSlot = mSlots[aNode.mSlot];
        const Slot lOuter = lSlot;
        bool lTrue = true;
        const uint32_t lCombinations = static_cast<uint32_t>(mP.NumberOfCombinationsOfUnaryPredicates());
        for (uint32_t lCombination = 0; lTrue && lCombination < lCombinations; ++lCombination) {
            const uint32_t lInstances =
                mP.DistinguishableInstancesOfThisPredicateCombination(aWorld, lCombination);
            for (uint32_t lInstance = 0; lInstance < lInstances; ++lInstance) {
                // Nested quantifiers multiply: each object is a step of the command's work.
                CheckCancellation();
                lSlot = Slot{lCombination, lInstance, aWorld, true};
                if (!TrueIn(aNode.mFirst, aInterpretation, aWorld)) {
                    lTrue = false;
                    break;
                }
            }
        }
        // Like the reference: an outer binding comes back, an unbound variable keeps the last.
        if (lOuter.mBound) {
            lSlot = lOuter;
        }
        return lTrue;
    }

    const CompiledFormula& mFormula;
    const Node* mNodes;
    const Predicates& mP;
    std::vector<Slot> mSlots;
    bool mDeep;
    size_t mMemoWorlds = 0;
    std::vector<int8_t> mMemos;
};

// ---- Circuit ---------------------------------------------------------------------------------

namespace {

/// Unrolls a flat formula into a BitCircuit. Without modal operators the lane is the
/// kind-of-world number, so sentence letters and count fields are inputs and quantifiers are
/// unrolled over every object a kind of world may hold, each guarded by its count field. With
/// them the lane is the interpretation number and every world is known while unrolling: only
/// "the interpretation holds kind K" is an input, and a modal operator is the conjunction over
/// the kinds, each guarded by that input.
class CircuitBuilder {
public:
    using Node = CompiledFormula::Node;

    CircuitBuilder(const std::vector<Node>& aNodes, const std::vector<bool>& aIdentified,
                   const Predicates& aPredicates, uint64_t aMaximumSteps)
        : mNodes(aNodes), mIdentified(aIdentified), mP(aPredicates), mCircuit(MaximumGates),
          mSlots(aIdentified.size()), mMaximumSteps(aMaximumSteps) {}

    BitCircuit& Circuit() { return mCircuit; }

    /// Outputs "some world is true" and "some world is false" for the root.
    std::pair<Gate, Gate> Outputs(uint32_t aRoot) {
        if (!mP.ModalitiesPresent()) {
            const Gate lValue = Compile(aRoot, 0);
            return {lValue, mCircuit.Not(lValue)};
        }
        std::vector<std::pair<Gate, uint32_t>> lResidues = Residues(aRoot);
        Gate lSomeTrue = BitCircuit::False;
        Gate lSomeFalse = BitCircuit::False;
        for (const auto& [lValue, lKinds] : lResidues) {
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
        const uint32_t lCopies = static_cast<uint32_t>(mP.DistinguishableWorldsWithinAKind());
        const int32_t lShift = mP.BitsNeededToDistinguishWorlds();
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
        for (uint32_t lSlot : mNodes[aNode].mFreeSlots) {
            if (mSlots[lSlot].mBound) {
                fAppend(lSlot);
                fAppend(mSlots[lSlot].mCombination);
                fAppend(mSlots[lSlot].mInstance);
                fAppend(mSlots[lSlot].mWorld);
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
        const Node& lNode = mNodes[aNode];
        const bool lLeaf = lNode.mKind == NodeKind::NullPredicate ||
                           lNode.mKind == NodeKind::UnaryPredication ||
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

    Gate CompileNode(const Node& aNode, uint32_t aWorld) {
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
                                     lLeft.mInstance == lRight.mInstance &&
                                     lLeft.mWorld == lRight.mWorld);
        }
        case NodeKind::Negation:
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
            return mCircuit.Or(mCircuit.Not(Compile(aNode.mFirst, aWorld)),
                               Compile(aNode.mSecond, aWorld));
        case NodeKind::Equivalence:
            return mCircuit.Not(
                mCircuit.Xor(Compile(aNode.mFirst, aWorld), Compile(aNode.mSecond, aWorld)));
        case NodeKind::JointDenial:
            return mCircuit.And(mCircuit.Not(Compile(aNode.mFirst, aWorld)),
                                mCircuit.Not(Compile(aNode.mSecond, aWorld)));
        }
        throw NotCompilable{};
    }

    /// Count field aCombination of the lane's kind of world exceeds aInstances.
    Gate CountExceeds(uint32_t aCombination, uint32_t aInstances) {
        const int32_t lWidth = mP.BitsNeededToRepresentObjectsOfAKind();
        const uint32_t lOffset = static_cast<uint32_t>(mP.NumberOfNullPredicates()) +
                                 aCombination * static_cast<uint32_t>(lWidth);
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
            const Gate lField = mCircuit.Input(uint32_t{1} << (lOffset + static_cast<uint32_t>(lBit)));
            lGreater = ((lBound >> lBit) & 1u) != 0 ? mCircuit.And(lField, lGreater)
                                                     : mCircuit.Or(lField, lGreater);
        }
        return lGreater;
    }

    Gate ForAll(const Node& aNode, uint32_t aWorld) {
        if (mP.NoDistinguishableObjects()) {
            return Compile(aNode.mFirst, aWorld);
        }
        const bool lModal = mP.ModalitiesPresent();
        // Objects of one combination differ only for identity, so a variable outside every
        // identity needs one object per combination.
        const bool lInstancesMatter = mIdentified[aNode.mSlot];
        const int32_t lWidth = mP.BitsNeededToRepresentObjectsOfAKind();
        const uint32_t lMostInstances =
            mP.NumberOfUnaryPredicates() == 0 ? (uint32_t{1} << lWidth) : (uint32_t{1} << lWidth) - 1;
        Slot& lSlot = mSlots[aNode.mSlot];
        const Slot lOuter = lSlot;
        Gate lAll = BitCircuit::True;
        const uint32_t lCombinations = static_cast<uint32_t>(mP.NumberOfCombinationsOfUnaryPredicates());
        for (uint32_t lCombination = 0; lCombination < lCombinations && lAll != BitCircuit::False;
             ++lCombination) {
            uint32_t lInstances =
                lModal ? mP.DistinguishableInstancesOfThisPredicateCombination(aWorld, lCombination)
                       : lMostInstances;
            if (!lInstancesMatter) {
                lInstances = std::min(lInstances, 1u);
            }
            for (uint32_t lInstance = 0; lInstance < lInstances; ++lInstance) {
                // Nested quantifiers multiply: each object is a step of the command's work.
                CheckCancellation();
                lSlot = Slot{lCombination, lInstance, aWorld, true};
                const Gate lBody = Compile(aNode.mFirst, aWorld);
                const Gate lExists =
                    lModal ? BitCircuit::True : CountExceeds(lCombination, lInstance);
                lAll = mCircuit.And(lAll, mCircuit.Or(mCircuit.Not(lExists), lBody));
            }
        }
        lSlot = lOuter;
        return lAll;
    }

    const std::vector<Node>& mNodes;
    const std::vector<bool>& mIdentified;
    const Predicates& mP;
    BitCircuit mCircuit;
    std::vector<Slot> mSlots;
    std::unordered_map<std::string, Gate> mMemo;
    uint64_t mSteps = 0;
    uint64_t mMaximumSteps;
};

} // namespace

void CompiledFormula::FindFreeSlots() {
    // Operands come before the nodes that hold them, so one pass suffices.
    for (Node& lNode : mNodes) {
        std::vector<uint32_t>& lFree = lNode.mFreeSlots;
        switch (lNode.mKind) {
        case NodeKind::UnaryPredication:
            lFree = {lNode.mSlot};
            break;
        case NodeKind::Identification:
            lFree = {std::min(lNode.mSlot, lNode.mSlot2), std::max(lNode.mSlot, lNode.mSlot2)};
            break;
        case NodeKind::Negation:
        case NodeKind::Necessity:
            lFree = mNodes[lNode.mFirst].mFreeSlots;
            break;
        case NodeKind::UniversalGeneralization:
            lFree = mNodes[lNode.mFirst].mFreeSlots;
            std::erase(lFree, lNode.mSlot);
            break;
        case NodeKind::Conjunction:
        case NodeKind::Disjunction:
        case NodeKind::MaterialConditional:
        case NodeKind::Argument:
        case NodeKind::Equivalence:
        case NodeKind::JointDenial: {
            const std::vector<uint32_t>& lLeft = mNodes[lNode.mFirst].mFreeSlots;
            const std::vector<uint32_t>& lRight = mNodes[lNode.mSecond].mFreeSlots;
            std::set_union(lLeft.begin(), lLeft.end(), lRight.begin(), lRight.end(),
                           std::back_inserter(lFree));
            break;
        }
        case NodeKind::NullPredicate:
        case NodeKind::BinaryPredication:
            break;
        }
    }
}

void CompiledFormula::BuildCircuit() {
    uint64_t lWorldsPerCandidate = 1;
    if (mModal) {
        mFirstLane = mPredicates.FirstInterpretation();
        mLastLane = mPredicates.LastInterpretation();
        lWorldsPerCandidate = (uint64_t{mPredicates.LastKindOfWorld()} + 1) *
                              static_cast<uint64_t>(mPredicates.DistinguishableWorldsWithinAKind());
    } else {
        mFirstLane = mPredicates.FirstNonemptyWorld();
        mLastLane = mPredicates.LastKindOfWorld();
    }
    if (mFirstLane > mLastLane) {
        return;
    }
    // A few hundred worlds are walked faster than a circuit is built.
    const uint64_t lWork = (uint64_t{mLastLane} - mFirstLane + 1) * lWorldsPerCandidate;
    if (lWork < CircuitWorlds) {
        return;
    }
    FindFreeSlots();
    try {
        // Unrolling must not cost more than the scalar walk would.
        const uint64_t lBudget =
            std::clamp<uint64_t>(lWork * mNodes.size() / 16, MinimumCompileSteps, MaximumCompileSteps);
        CircuitBuilder lBuilder(mNodes, mIdentified, mPredicates, lBudget);
        const auto [lSomeTrue, lSomeFalse] = lBuilder.Outputs(mRoot);
        mProgram = std::make_unique<BitProgram>(lBuilder.Circuit(),
                                                std::vector<Gate>{lSomeTrue, lSomeFalse});
    } catch (const NotCompilable&) {
        mProgram.reset();
    } catch (const BitCircuit::TooLarge&) {
        mProgram.reset();
    }
}

// ---- Decision and search ---------------------------------------------------------------------

namespace {

/// Lanes of block aBlock's word aWord that lie within aFirst .. aLast.
uint64_t LanesWithin(uint32_t aBlock, uint32_t aWord, uint32_t aFirst, uint32_t aLast) {
    const uint64_t lStart = (uint64_t{aBlock} << BitProgram::LaneBits) + uint64_t{aWord} * 64;
    const uint64_t lEnd = lStart + 63;
    if (lEnd < aFirst || lStart > aLast) {
        return 0;
    }
    uint64_t lMask = ~uint64_t{0};
    if (lStart < aFirst) {
        lMask &= ~uint64_t{0} << (aFirst - lStart);
    }
    if (lEnd > aLast) {
        lMask &= ~uint64_t{0} >> (lEnd - aLast);
    }
    return lMask;
}

/// Whether output aOutput holds for some lane of the block within aFirst .. aLast.
bool AnyWithin(const BlockEvaluator& aEvaluator, size_t aOutput, uint32_t aBlock, uint32_t aFirst,
               uint32_t aLast) {
    switch (aEvaluator.OutputState(aOutput)) {
    case BlockEvaluator::State::Zero:
        return false;
    case BlockEvaluator::State::Ones:
        return true; // every block handed out meets the range
    case BlockEvaluator::State::Lanes:
        break;
    }
    const uint64_t* lWords = aEvaluator.OutputWords(aOutput);
    const uint64_t lBase = uint64_t{aBlock} << BitProgram::LaneBits;
    const bool lWhole = lBase >= aFirst && lBase + BitProgram::LanesPerBlock - 1 <= aLast;
    uint64_t lAny = 0;
    for (uint32_t lWord = 0; lWord < BitProgram::Words; ++lWord) {
        lAny |= lWords[lWord] & (lWhole ? ~uint64_t{0} : LanesWithin(aBlock, lWord, aFirst, aLast));
    }
    return lAny != 0;
}

} // namespace

Alethicity CompiledFormula::Decide() const {
    TruthSeen lSeen;
    const auto fSeen = [&](bool fTrue, bool fFalse, bool& fBreak) {
        if (lSeen.Saw(fTrue, fFalse)) {
            fBreak = true;
        }
    };
    if (mFirstLane > mLastLane) {
        return Alethicity::Necessary;
    }
    if (mProgram) {
        const uint32_t lFirstBlock = mFirstLane >> BitProgram::LaneBits;
        const uint64_t lBlocks = (mLastLane >> BitProgram::LaneBits) - lFirstBlock + 1;
        ForeachWithState(
            lBlocks, Workers(lBlocks * mProgram->NumberOfSteps()),
            [&] { return BlockEvaluator(*mProgram); },
            [&](BlockEvaluator& fEvaluator, uint64_t fIndex, bool& fBreak) {
                const uint32_t lBlock = lFirstBlock + static_cast<uint32_t>(fIndex);
                fEvaluator.Evaluate(lBlock);
                fSeen(AnyWithin(fEvaluator, 0, lBlock, mFirstLane, mLastLane),
                      AnyWithin(fEvaluator, 1, lBlock, mFirstLane, mLastLane), fBreak);
            },
            false);
        return lSeen.Verdict();
    }
    const uint64_t lCandidates = uint64_t{mLastLane} - mFirstLane + 1;
    const uint64_t lChunks = (lCandidates + ScalarChunk - 1) / ScalarChunk;
    ForeachWithState(
        lChunks, Workers(lCandidates * mNodes.size()), [&] { return Scalar(*this); },
        [&](Scalar& fScalar, uint64_t fChunk, bool& fBreak) {
            const uint64_t lStart = mFirstLane + fChunk * ScalarChunk;
            const uint64_t lEnd = std::min<uint64_t>(lStart + ScalarChunk - 1, mLastLane);
            for (uint64_t lCandidate = lStart; lCandidate <= lEnd; ++lCandidate) {
                const uint32_t lInterpretation = static_cast<uint32_t>(lCandidate);
                for (uint32_t lWorld : mPredicates.KindsOfWorlds(lInterpretation)) {
                    const bool lTrue = fScalar.TrueIn(mRoot, lInterpretation, lWorld);
                    fSeen(lTrue, !lTrue, fBreak);
                    if (fBreak) {
                        return;
                    }
                }
            }
        },
        mDepth > DeepFormula);
    return lSeen.Verdict();
}

std::optional<uint32_t> CompiledFormula::FirstCounterexample(uint32_t aFirst, uint32_t aLast) const {
    if (aFirst > aLast) {
        return std::nullopt;
    }
    if (mProgram) {
        BlockEvaluator lEvaluator(*mProgram);
        for (uint64_t lBlock = aFirst >> BitProgram::LaneBits;
             lBlock <= (aLast >> BitProgram::LaneBits); ++lBlock) {
            const uint32_t lThisBlock = static_cast<uint32_t>(lBlock);
            CheckCancellation();
            lEvaluator.Evaluate(lThisBlock);
            for (uint32_t lWord = 0; lWord < BitProgram::Words; ++lWord) {
                const uint64_t lHits =
                    lEvaluator.OutputWord(1, lWord) & LanesWithin(lThisBlock, lWord, aFirst, aLast);
                if (lHits != 0) {
                    return static_cast<uint32_t>((lBlock << BitProgram::LaneBits) + lWord * 64 +
                                                 static_cast<uint32_t>(std::countr_zero(lHits)));
                }
            }
        }
        return std::nullopt;
    }
    std::optional<uint32_t> lFound;
    const auto fSearch = [&] {
        Scalar lScalar(*this);
        for (uint64_t lCandidate = aFirst; lCandidate <= aLast && !lFound; ++lCandidate) {
            CheckCancellation();
            const uint32_t lNumber = static_cast<uint32_t>(lCandidate);
            if (mModal) {
                for (uint32_t lWorld : mPredicates.KindsOfWorlds(lNumber)) {
                    if (!lScalar.TrueIn(mRoot, lNumber, lWorld)) {
                        lFound = lNumber;
                        break;
                    }
                }
            } else if (!lScalar.TrueIn(mRoot, mPredicates.FirstInterpretation(), lNumber)) {
                lFound = lNumber;
            }
        }
    };
    WithEnoughStack(fSearch);
    return lFound;
}

bool CompiledFormula::TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld) const {
    bool lTrue = false;
    WithEnoughStack([&] { lTrue = Scalar(*this).TrueIn(mRoot, aInterpretation, aKindOfWorld); });
    return lTrue;
}

std::vector<std::pair<uint32_t, bool>>
CompiledFormula::TruthInEachWorld(uint32_t aInterpretation) const {
    std::vector<std::pair<uint32_t, bool>> lWorlds;
    WithEnoughStack([&] {
        Scalar lScalar(*this);
        for (uint32_t lWorld : mPredicates.KindsOfWorlds(aInterpretation)) {
            lWorlds.emplace_back(lWorld, lScalar.TrueIn(mRoot, aInterpretation, lWorld));
        }
    });
    return lWorlds;
}

void CompiledFormula::WithEnoughStack(const std::function<void()>& aWork) const {
    if (mDepth > DeepFormula) {
        EnsureLargeStack(aWork);
    } else {
        aWork();
    }
}

} // namespace Logic
