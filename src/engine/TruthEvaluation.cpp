// TrueIn of every node class, the two size figures that set the numbering, and the Necessity
// memo's binding to one numbering. TrueIn is the readable reference evaluator: a plain
// recursive walk with the connectives' short-circuit orders.

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "engine/Decision.h"
#include "engine/DistinctNodeWalk.h"
#include "engine/Predicates.h"
#include "model/Argument.h"
#include "model/BinaryPredication.h"
#include "model/Conjunction.h"
#include "model/Disjunction.h"
#include "model/EngineException.h"
#include "model/Equivalence.h"
#include "model/Identification.h"
#include "model/JointDenial.h"
#include "model/MaterialConditional.h"
#include "model/Necessity.h"
#include "model/Negation.h"
#include "model/NullPredicate.h"
#include "model/UnaryPredication.h"
#include "model/UniversalGeneralization.h"
#include "platform/Cancellation.h"
#include "platform/LargeStack.h"

namespace Logic {

namespace {

/// The object a variable denotes on this thread. Only a free variable that no quantifier has
/// instantiated lacks one; the decision closes free variables before it evaluates.
DistinguishableObject InstantiatedObject(const Variable& aVariable) {
    std::optional<DistinguishableObject> lObject = aVariable.InstantiatedKindOfObject();
    if (!lObject) {
        throw EngineException("The variable {0} does not denote any object here.",
                              aVariable.ToString());
    }
    return *lObject;
}

/// Called by every connective before it evaluates its operands. TrueIn recurses once per level of
/// the formula: where the stack is nearly used up it stops with a message instead of
/// overflowing. Each connective is also one step of work for the command's cancellation.
void BeforeOperands() {
    CheckCancellation();
    if (!StackHasRoom()) {
        throw EngineException("The formula is nested too deeply to evaluate with the stack space "
                              "available; write it with fewer levels of nesting.");
    }
}

template <typename T> bool Contains(const std::vector<T>& aList, const T& aValue) {
    return std::find(aList.begin(), aList.end(), aValue) != aList.end();
}

/// How many distinct entries two modality lists share; no modality (null) counts as an entry.
int32_t ModalitiesInCommon(const std::vector<const Necessity*>& aLeft,
                           const std::vector<const Necessity*>& aRight) {
    std::vector<const Necessity*> lCommon;
    for (const Necessity* lModality : aLeft) {
        if (Contains(aRight, lModality) && !Contains(lCommon, lModality)) {
            lCommon.push_back(lModality);
        }
    }
    return static_cast<int32_t>(lCommon.size());
}

/// Distinct variables (by identity) that are both free and identified in aMatrix.
int32_t FreeAndIdentifiedVariables(const Matrix& aMatrix) {
    const std::vector<VariablePtr> lFree = aMatrix.FreeVariables();
    const std::vector<VariablePtr> lIdentified = aMatrix.IdentifiedVariables();
    std::vector<const Variable*> lBoth;
    for (const VariablePtr& lVariable : lFree) {
        const bool lIsIdentified =
            std::any_of(lIdentified.begin(), lIdentified.end(),
                        [&](const VariablePtr& fOther) { return fOther.get() == lVariable.get(); });
        if (lIsIdentified && !Contains(lBoth, static_cast<const Variable*>(lVariable.get()))) {
            lBoth.push_back(lVariable.get());
        }
    }
    return static_cast<int32_t>(lBoth.size());
}

/// M by the definition: every quantifier's body walked for its free and identified variables.
int32_t DistinguishableObjectsByWalks(const Matrix& aRoot) {
    return DistinctNodeWalk::FoldBottomUp<int32_t>(
        aRoot, [](const Matrix& fNode, const std::array<int32_t, 2>& fOperands) -> int32_t {
            switch (fNode.Kind()) {
            case NodeKind::NullPredicate:
                return 0;
            case NodeKind::UnaryPredication:
            case NodeKind::BinaryPredication:
                return 1;
            case NodeKind::Identification:
                return static_cast<int32_t>(fNode.IdentifiedVariables().size());
            case NodeKind::Negation:
            case NodeKind::Necessity:
                return fOperands[0];
            case NodeKind::UniversalGeneralization: {
                // Without identifications no variable is identified; skipping the walk keeps
                // nested quantifiers linear.
                const Matrix& lBody = *static_cast<const UnaryOperator&>(fNode).InnerMatrix();
                if (!lBody.ContainsIdentifications()) {
                    return fOperands[0];
                }
                CheckCancellation();
                return std::max(fOperands[0], FreeAndIdentifiedVariables(lBody));
            }
            case NodeKind::Conjunction:
            case NodeKind::Disjunction:
            case NodeKind::MaterialConditional:
            case NodeKind::Argument:
            case NodeKind::Equivalence:
            case NodeKind::JointDenial:
                return std::max(fOperands[0], fOperands[1]);
            }
            return 0;
        });
}

/// Sets of variables as sorted lists of small numbers, kept in one pool. A node whose set equals
/// an operand's shares that operand's entry, so a long chain of conjunctions over the same
/// variables (as the counting forms build) holds few distinct sets.
class VariableSets {
public:
    using Set = uint32_t;
    static constexpr Set Empty = 0;

    /// Raised when the sets would hold more than their budget of members.
    struct TooLarge {};

    VariableSets() : mSets(1) {}

    uint32_t Number(const Variable* aVariable) {
        return mNumbers.try_emplace(aVariable, static_cast<uint32_t>(mNumbers.size())).first->second;
    }

    Set Of(std::vector<uint32_t> aMembers) {
        std::sort(aMembers.begin(), aMembers.end());
        aMembers.erase(std::unique(aMembers.begin(), aMembers.end()), aMembers.end());
        return Add(std::move(aMembers));
    }

    Set Union(Set aLeft, Set aRight) {
        if (Includes(aLeft, aRight)) {
            return aLeft;
        }
        if (Includes(aRight, aLeft)) {
            return aRight;
        }
        std::vector<uint32_t> lUnion;
        std::set_union(mSets[aLeft].begin(), mSets[aLeft].end(), mSets[aRight].begin(), mSets[aRight].end(),
                       std::back_inserter(lUnion));
        return Add(std::move(lUnion));
    }

    Set Without(Set aSet, uint32_t aMember) {
        const std::vector<uint32_t>& lMembers = mSets[aSet];
        if (!std::binary_search(lMembers.begin(), lMembers.end(), aMember)) {
            return aSet;
        }
        std::vector<uint32_t> lRest;
        std::remove_copy(lMembers.begin(), lMembers.end(), std::back_inserter(lRest), aMember);
        return Add(std::move(lRest));
    }

    size_t CommonMembers(Set aLeft, Set aRight) const {
        const bool lLeftSmaller = mSets[aLeft].size() <= mSets[aRight].size();
        const std::vector<uint32_t>& lSmall = mSets[lLeftSmaller ? aLeft : aRight];
        const std::vector<uint32_t>& lLarge = mSets[lLeftSmaller ? aRight : aLeft];
        return static_cast<size_t>(std::count_if(lSmall.begin(), lSmall.end(), [&](uint32_t fMember) {
            return std::binary_search(lLarge.begin(), lLarge.end(), fMember);
        }));
    }

    bool IsEmpty(Set aSet) const { return mSets[aSet].empty(); }

private:
    bool Includes(Set aLarge, Set aSmall) const {
        if (aLarge == aSmall || mSets[aSmall].empty()) {
            return true;
        }
        const std::vector<uint32_t>& lLarge = mSets[aLarge];
        const std::vector<uint32_t>& lSmall = mSets[aSmall];
        return lSmall.size() <= lLarge.size() &&
               std::all_of(lSmall.begin(), lSmall.end(), [&](uint32_t fMember) {
                   return std::binary_search(lLarge.begin(), lLarge.end(), fMember);
               });
    }

    Set Add(std::vector<uint32_t> aMembers) {
        if (aMembers.empty()) {
            return Empty;
        }
        // Sets that keep growing (each of many statements adding its own variables to a long
        // conjunction) would take memory by the square of the formula; past this the walks
        // by definition are cheaper.
        mMembers += aMembers.size();
        if (mMembers > (size_t{16} << 20)) {
            throw TooLarge{};
        }
        mSets.push_back(std::move(aMembers));
        return static_cast<Set>(mSets.size() - 1);
    }

    std::unordered_map<const Variable*, uint32_t> mNumbers;
    std::vector<std::vector<uint32_t>> mSets;
    size_t mMembers = 0;
};

/// What the fold below knows of a node: its value of M, and the variables free in it and
/// identified in it.
struct ObjectsAndVariables {
    int32_t mMost = 0;
    VariableSets::Set mFree = VariableSets::Empty;
    VariableSets::Set mIdentified = VariableSets::Empty;
};

/// M folded bottom-up over the distinct nodes, each variable set made once: walking every
/// quantifier's body costs the body's size per quantifier, which a counting form of a few
/// hundred nested quantifiers makes seconds.
int32_t DistinguishableObjectsBySets(const Matrix& aRoot) {
    VariableSets lSets;
    const auto fNumbers = [&](const std::vector<VariablePtr>& fVariables) {
        std::vector<uint32_t> lNumbers;
        for (const VariablePtr& lVariable : fVariables) {
            lNumbers.push_back(lSets.Number(lVariable.get()));
        }
        return lSets.Of(std::move(lNumbers));
    };
    return DistinctNodeWalk::FoldBottomUp<ObjectsAndVariables>(
               aRoot,
               [&](const Matrix& fNode, const std::array<ObjectsAndVariables, 2>& fOperands) -> ObjectsAndVariables {
                   switch (fNode.Kind()) {
                   case NodeKind::NullPredicate:
                       return {};
                   case NodeKind::UnaryPredication:
                   case NodeKind::BinaryPredication:
                       return {1, fNumbers(fNode.FreeVariables()), VariableSets::Empty};
                   case NodeKind::Identification: {
                       const std::vector<VariablePtr> lIdentified = fNode.IdentifiedVariables();
                       return {static_cast<int32_t>(lIdentified.size()), fNumbers(fNode.FreeVariables()),
                               fNumbers(lIdentified)};
                   }
                   case NodeKind::Negation:
                   case NodeKind::Necessity:
                       return fOperands[0];
                   case NodeKind::UniversalGeneralization: {
                       const ObjectsAndVariables& lBody = fOperands[0];
                       const auto& lAll = static_cast<const UniversalGeneralization&>(fNode);
                       int32_t lMost = lBody.mMost;
                       if (!lSets.IsEmpty(lBody.mIdentified)) {
                           lMost = std::max(lMost, static_cast<int32_t>(lSets.CommonMembers(lBody.mFree, lBody.mIdentified)));
                       }
                       return {lMost, lSets.Without(lBody.mFree, lSets.Number(lAll.Variable().get())),
                               lBody.mIdentified};
                   }
                   case NodeKind::Conjunction:
                   case NodeKind::Disjunction:
                   case NodeKind::MaterialConditional:
                   case NodeKind::Argument:
                   case NodeKind::Equivalence:
                   case NodeKind::JointDenial:
                       return {std::max(fOperands[0].mMost, fOperands[1].mMost),
                               lSets.Union(fOperands[0].mFree, fOperands[1].mFree),
                               lSets.Union(fOperands[0].mIdentified, fOperands[1].mIdentified)};
                   }
                   return {};
               })
        .mMost;
}

int32_t DistinguishableObjects(const Matrix& aRoot) {
    try {
        return DistinguishableObjectsBySets(aRoot);
    } catch (const VariableSets::TooLarge&) {
        return DistinguishableObjectsByWalks(aRoot);
    }
}

int32_t ModalContextsInIdentifications(const Matrix& aRoot) {
    return DistinctNodeWalk::FoldBottomUp<int32_t>(
        aRoot, [](const Matrix& fNode, const std::array<int32_t, 2>& fOperands) -> int32_t {
            switch (fNode.Kind()) {
            case NodeKind::NullPredicate:
            case NodeKind::UnaryPredication:
            case NodeKind::BinaryPredication:
                return 0;
            case NodeKind::Identification:
                return static_cast<int32_t>(fNode.ModalitiesInIdentifications().size());
            case NodeKind::Negation:
            case NodeKind::UniversalGeneralization:
                return fOperands[0];
            case NodeKind::Necessity: {
                // As above: no identifications, no modalities in them.
                const Matrix& lInner = *static_cast<const UnaryOperator&>(fNode).InnerMatrix();
                if (!lInner.ContainsIdentifications()) {
                    return fOperands[0];
                }
                CheckCancellation();
                return std::max(fOperands[0], ModalitiesInCommon(lInner.FreeModalities(),
                                                                 lInner.ModalitiesInIdentifications()));
            }
            case NodeKind::Conjunction:
            case NodeKind::Disjunction:
            case NodeKind::MaterialConditional:
            case NodeKind::Argument:
            case NodeKind::Equivalence:
            case NodeKind::JointDenial:
                return std::max(fOperands[0], fOperands[1]);
            }
            return 0;
        });
}

int32_t LoopNesting(const Matrix& aRoot) {
    return DistinctNodeWalk::FoldBottomUp<int32_t>(
        aRoot, [](const Matrix& fNode, const std::array<int32_t, 2>& fOperands) -> int32_t {
            switch (fNode.Kind()) {
            case NodeKind::NullPredicate:
            case NodeKind::UnaryPredication:
            case NodeKind::BinaryPredication:
            case NodeKind::Identification:
                return 0;
            case NodeKind::Negation:
                return fOperands[0];
            case NodeKind::Necessity:
            case NodeKind::UniversalGeneralization:
                return fOperands[0] + 1;
            case NodeKind::Conjunction:
            case NodeKind::Disjunction:
            case NodeKind::MaterialConditional:
            case NodeKind::Argument:
            case NodeKind::Equivalence:
            case NodeKind::JointDenial:
                return std::max(fOperands[0], fOperands[1]);
            }
            return 0;
        });
}

} // namespace

// ---- TrueIn ----------------------------------------------------------------------------------

bool NullPredicate::TrueIn(uint32_t, uint32_t aKindOfWorld, const Predicates& aPredicates) const {
    return aPredicates.TrueIn(*this, aKindOfWorld);
}

bool UnaryPredication::TrueIn(uint32_t, uint32_t, const Predicates& aPredicates) const {
    // Which predicates an object satisfies is its combination's bits, never its display name.
    const DistinguishableObject lObject = InstantiatedObject(*mVariable);
    const int32_t lIndex = aPredicates.IndexOfUnaryPredicate(*mPredicate);
    if (lIndex < 0) {
        throw EngineException("Unary predicate {0} not found in proposition.", mPredicate->ToString());
    }
    return ((lObject.mCombination >> lIndex) & 1u) != 0;
}

bool BinaryPredication::TrueIn(uint32_t, uint32_t, const Predicates&) const {
    throw EngineException(BinaryPredicatesFailure);
}

bool Identification::TrueIn(uint32_t, uint32_t, const Predicates&) const {
    // Objects of different numbered worlds are different objects, copies of one kind included.
    return InstantiatedObject(*mLeft) == InstantiatedObject(*mRight) &&
           mLeft->InstantiatedKindOfWorld() == mRight->InstantiatedKindOfWorld();
}

bool Negation::TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                      const Predicates& aPredicates) const {
    BeforeOperands();
    return !mInnerMatrix->TrueIn(aInterpretation, aKindOfWorld, aPredicates);
}

bool Necessity::TrueIn(uint32_t aInterpretation, uint32_t, const Predicates& aPredicates) const {
    BeforeOperands();
    std::atomic<int8_t>* lMemo = TruthValues();
    // A memo bound to another numbering holds answers for other worlds: leave it alone.
    const bool lUseMemo = lMemo != nullptr && mMemoNumbering.load(std::memory_order_relaxed) ==
                                                  aPredicates.NumberingId();
    for (uint32_t lWorld : aPredicates.KindsOfWorlds(aInterpretation)) {
        if (!lUseMemo || lWorld >= MemoSize) {
            if (!mInnerMatrix->TrueIn(aInterpretation, lWorld, aPredicates)) {
                return false;
            }
            continue;
        }
        // Every writer stores the same value for a world, so relaxed stores suffice.
        int8_t lKnown = lMemo[lWorld].load(std::memory_order_relaxed);
        if (lKnown == 0) {
            lKnown = mInnerMatrix->TrueIn(aInterpretation, lWorld, aPredicates) ? 1 : -1;
            lMemo[lWorld].store(lKnown, std::memory_order_relaxed);
        }
        if (lKnown < 0) {
            return false;
        }
    }
    return true;
}

bool UniversalGeneralization::TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                                     const Predicates& aPredicates) const {
    BeforeOperands();
    if (aPredicates.NoDistinguishableObjects()) {
        return mInnerMatrix->TrueIn(aInterpretation, aKindOfWorld, aPredicates);
    }
    // A quantifier nested inside another over the same variable object must not leave the
    // outer one's object overwritten.
    const std::optional<DistinguishableObject> lOuterObject = mVariable->InstantiatedKindOfObject();
    const uint32_t lOuterWorld = mVariable->InstantiatedKindOfWorld();
    bool lTrue = true;
    const uint32_t lCombinations =
        static_cast<uint32_t>(aPredicates.NumberOfCombinationsOfUnaryPredicates());
    for (uint32_t lCombination = 0; lTrue && lCombination < lCombinations; ++lCombination) {
        const uint32_t lInstances =
            aPredicates.DistinguishableInstancesOfThisPredicateCombination(aKindOfWorld, lCombination);
        for (uint32_t lInstance = 0; lInstance < lInstances; ++lInstance) {
            mVariable->Instantiate(DistinguishableObject{lCombination, lInstance}, aKindOfWorld);
            if (!mInnerMatrix->TrueIn(aInterpretation, aKindOfWorld, aPredicates)) {
                lTrue = false;
                break;
            }
        }
    }
    if (lOuterObject) {
        mVariable->Instantiate(*lOuterObject, lOuterWorld);
    }
    return lTrue;
}

bool Conjunction::TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                         const Predicates& aPredicates) const {
    BeforeOperands();
    return mLeft->TrueIn(aInterpretation, aKindOfWorld, aPredicates) &&
           mRight->TrueIn(aInterpretation, aKindOfWorld, aPredicates);
}

bool Disjunction::TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                         const Predicates& aPredicates) const {
    BeforeOperands();
    return mLeft->TrueIn(aInterpretation, aKindOfWorld, aPredicates) ||
           mRight->TrueIn(aInterpretation, aKindOfWorld, aPredicates);
}

bool MaterialConditional::TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                                 const Predicates& aPredicates) const {
    BeforeOperands();
    return !mLeft->TrueIn(aInterpretation, aKindOfWorld, aPredicates) ||
           mRight->TrueIn(aInterpretation, aKindOfWorld, aPredicates);
}

bool Equivalence::TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                         const Predicates& aPredicates) const {
    BeforeOperands();
    const bool lLeft = mLeft->TrueIn(aInterpretation, aKindOfWorld, aPredicates);
    const bool lRight = mRight->TrueIn(aInterpretation, aKindOfWorld, aPredicates);
    return lLeft == lRight;
}

bool JointDenial::TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                         const Predicates& aPredicates) const {
    BeforeOperands();
    return !mLeft->TrueIn(aInterpretation, aKindOfWorld, aPredicates) &&
           !mRight->TrueIn(aInterpretation, aKindOfWorld, aPredicates);
}

// ---- Size figures ----------------------------------------------------------------------------
// Computed by one bottom-up walk over the distinct nodes rather than by recursion, so deep and
// heavily shared formulas cost neither stack nor repeated work.

int32_t NullPredicate::MaxmimumNumberOfDistinguishableObjectsOfAKind() const { return 0; }
int32_t UnaryPredication::MaxmimumNumberOfDistinguishableObjectsOfAKind() const { return 1; }
int32_t BinaryPredication::MaxmimumNumberOfDistinguishableObjectsOfAKind() const { return 1; }
int32_t Identification::MaxmimumNumberOfDistinguishableObjectsOfAKind() const {
    return static_cast<int32_t>(IdentifiedVariables().size());
}
int32_t Negation::MaxmimumNumberOfDistinguishableObjectsOfAKind() const {
    return DistinguishableObjects(*this);
}
int32_t Necessity::MaxmimumNumberOfDistinguishableObjectsOfAKind() const {
    return DistinguishableObjects(*this);
}
int32_t UniversalGeneralization::MaxmimumNumberOfDistinguishableObjectsOfAKind() const {
    return DistinguishableObjects(*this);
}
int32_t BinaryOperator::MaxmimumNumberOfDistinguishableObjectsOfAKind() const {
    return DistinguishableObjects(*this);
}

int32_t NullPredicate::MaxmimumNumberOfModalitiesInIdentifications() const { return 0; }
int32_t UnaryPredication::MaxmimumNumberOfModalitiesInIdentifications() const { return 0; }
int32_t BinaryPredication::MaxmimumNumberOfModalitiesInIdentifications() const { return 0; }
int32_t Identification::MaxmimumNumberOfModalitiesInIdentifications() const {
    return static_cast<int32_t>(ModalitiesInIdentifications().size());
}
int32_t Negation::MaxmimumNumberOfModalitiesInIdentifications() const {
    return ModalContextsInIdentifications(*this);
}
int32_t Necessity::MaxmimumNumberOfModalitiesInIdentifications() const {
    return ModalContextsInIdentifications(*this);
}
int32_t UniversalGeneralization::MaxmimumNumberOfModalitiesInIdentifications() const {
    return ModalContextsInIdentifications(*this);
}
int32_t BinaryOperator::MaxmimumNumberOfModalitiesInIdentifications() const {
    return ModalContextsInIdentifications(*this);
}

int32_t Negation::DepthOfLoopNesting() const { return LoopNesting(*this); }
int32_t Necessity::DepthOfLoopNesting() const { return LoopNesting(*this); }
int32_t UniversalGeneralization::DepthOfLoopNesting() const { return LoopNesting(*this); }
int32_t BinaryOperator::DepthOfLoopNesting() const { return LoopNesting(*this); }

// ---- Predicate index -------------------------------------------------------------------------

Predicates Matrix::CollectPredicates() const {
    return Predicates(NullPredicates(), UnaryPredicates(),
                      MaxmimumNumberOfDistinguishableObjectsOfAKind(), ContainsModalities(),
                      MaxmimumNumberOfModalitiesInIdentifications());
}

int32_t Matrix::Complexity() const { return static_cast<int32_t>(CollectPredicates().BitsNeeded()); }

uint32_t Matrix::Exclusions(const Predicates& aPredicates) const {
    PrepareNecessityMemos(*this, aPredicates);
    uint32_t lExcluded = 0;
    for (uint32_t lKindOfWorld : aPredicates.KindsOfWorldsInOrder()) {
        if (!TrueIn(aPredicates.LastInterpretation(), lKindOfWorld, aPredicates)) {
            lExcluded |= 1u << (lKindOfWorld % 32);
        }
    }
    return lExcluded;
}

void PrepareNecessityMemos(const Matrix& aMatrix, const Predicates& aPredicates) {
    // At most this many memos (64 KiB each) are bound to one numbering; the other Necessity
    // nodes evaluate without one, which is slower but equally right.
    constexpr size_t MostMemos = 1024;
    size_t lMemos = 0;
    DistinctNodeWalk::ForEachDistinctNode(aMatrix, [&](const Matrix& fNode) {
        if (fNode.Kind() != NodeKind::Necessity) {
            return;
        }
        const auto& lNecessity = static_cast<const Necessity&>(fNode);
        if (!lNecessity.Memoizible() || lMemos == MostMemos) {
            return;
        }
        ++lMemos;
        if (lNecessity.mMemoNumbering.load(std::memory_order_relaxed) == aPredicates.NumberingId()) {
            return;
        }
        std::atomic<int8_t>* lMemo = lNecessity.MakeTruthValues();
        for (size_t lWorld = 0; lWorld < Necessity::MemoSize; ++lWorld) {
            lMemo[lWorld].store(0, std::memory_order_relaxed);
        }
        lNecessity.mMemoNumbering.store(aPredicates.NumberingId(), std::memory_order_relaxed);
    });
}

} // namespace Logic
