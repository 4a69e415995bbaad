#pragma once
// SatEncoder: a formula turned into clauses for the SAT solver over a domain of bounded size.
//
// The encoding. The domain is objects 0 .. N-1; object o exists when e(o) holds, object 0
// always, and e(o) implies e(o-1) (models differ only by the order of their objects). "F o" is
// one variable per predicate letter and object, a sentence letter one variable. Each subformula
// under a binding of its free variables to objects becomes one literal (Tseitin), made once and
// kept; identity of two bound variables is known at encoding time. "For all x" is the
// conjunction over the existing objects. Constants are folded as the literals are made.
// With modal operators the domain has worlds, each with objects of its own, numbered one world
// after the other.

#ifdef QUENDRAL_HAVE_CADICAL

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <iterator>
#include <map>
#include <memory_resource>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "engine/DistinctNodeWalk.h"
#include "engine/SatSolver.h"
#include "model/BinaryOperator.h"
#include "model/BinaryPredication.h"
#include "model/EngineException.h"
#include "model/Identification.h"
#include "model/NullPredicate.h"
#include "model/UnaryPredication.h"
#include "model/UniversalGeneralization.h"
#include "platform/Cancellation.h"
#include "platform/LargeStack.h"

namespace Logic::SatEncoding {

/// Literals as the solver numbers them, with two constants beyond any variable.
constexpr int32_t True = INT32_MAX;
constexpr int32_t False = -INT32_MAX;

/// Past this many subformula instances (each a literal and up to a few clauses, with the
/// solver's watches several hundred bytes) the engine gives up rather than fill the memory:
/// nested quantifiers over N objects make N^depth instances. About 1.5 GB at most.
constexpr size_t MostInstances = size_t{2} << 20;

/// The failure of a formula whose models may need aObjects objects in a world, too many for
/// the instances its quantifiers make over them.
[[noreturn]] inline void TooLargeForTheSatEngine(uint32_t aObjects) {
    throw EngineException("This proposition is too large for the SAT engine: its models may "
                          "need {0} objects, too many for its quantifiers.",
                          std::to_string(aObjects));
}

/// The variables free in each node, sorted by address; made once per node and kept.
class FreeVariableSets {
public:
    const std::vector<const Logic::Variable*>& Of(const Matrix& aNode) {
        if (const auto lKnown = mFree.find(&aNode); lKnown != mFree.end()) {
            return lKnown->second;
        }
        std::vector<const Logic::Variable*> lFree;
        switch (aNode.Kind()) {
        case NodeKind::NullPredicate:
            break;
        case NodeKind::UnaryPredication:
            lFree.push_back(static_cast<const UnaryPredication&>(aNode).Variable().get());
            break;
        case NodeKind::Identification: {
            const auto& lIdentification = static_cast<const Identification&>(aNode);
            lFree = {lIdentification.Left().get(), lIdentification.Right().get()};
            break;
        }
        case NodeKind::BinaryPredication: {
            const auto& lPredication = static_cast<const BinaryPredication&>(aNode);
            lFree = {lPredication.Variable1().get(), lPredication.Variable2().get()};
            break;
        }
        case NodeKind::UniversalGeneralization: {
            const auto& lAll = static_cast<const UniversalGeneralization&>(aNode);
            lFree = Of(*lAll.InnerMatrix());
            std::erase(lFree, lAll.Variable().get());
            break;
        }
        case NodeKind::Negation:
        case NodeKind::Necessity:
            lFree = Of(*static_cast<const UnaryOperator&>(aNode).InnerMatrix());
            break;
        default: {
            const auto& lOperator = static_cast<const BinaryOperator&>(aNode);
            lFree = Of(*lOperator.Left());
            const std::vector<const Logic::Variable*>& lRight = Of(*lOperator.Right());
            lFree.insert(lFree.end(), lRight.begin(), lRight.end());
            break;
        }
        }
        std::sort(lFree.begin(), lFree.end());
        lFree.erase(std::unique(lFree.begin(), lFree.end()), lFree.end());
        return mFree.emplace(&aNode, std::move(lFree)).first->second;
    }

private:
    std::unordered_map<const Matrix*, std::vector<const Logic::Variable*>> mFree;
};

class Encoder {
public:
    /// A domain of aWorlds worlds (1 without modal operators), each with up to aObjects objects,
    /// or with aAllExist exactly aObjects.
    Encoder(SatSolver& aSolver, uint32_t aObjects, uint32_t aWorlds = 1, bool aAllExist = false)
        : mSolver(aSolver), mObjects(aObjects), mWorlds(aWorlds) {
        mWorldExists = Chain(aWorlds);
        for (uint32_t lWorld = 0; lWorld < aWorlds; ++lWorld) {
            const std::vector<int32_t> lObjects =
                aAllExist ? std::vector<int32_t>(aObjects, True) : Chain(aObjects);
            mExists.insert(mExists.end(), lObjects.begin(), lObjects.end());
        }
    }

    int32_t Encode(const Matrix& aNode) {
        CheckCancellation();
        if (!StackHasRoom()) {
            throw EngineException(
                "The formula is nested too deeply to evaluate with the stack space "
                "available; write it with fewer levels of nesting.");
        }
        Key lKey = KeyOf(aNode, mWorld);
        if (const auto lKnown = mMade.find(lKey); lKnown != mMade.end()) {
            return lKnown->second;
        }
        const int32_t lLiteral = Make(aNode);
        if (mMade.size() >= MostInstances) {
            TooLargeForTheSatEngine(mObjects);
        }
        mMade.emplace(std::move(lKey), lLiteral);
        return lLiteral;
    }

    /// Lets the objects of each world come in the order of their kinds only: of the models that
    /// differ by the order of their objects, the solver then meets one, not all. The kind is
    /// aPredicates' truths read as a binary number, the first predicate the highest digit; an
    /// object that exists is of no greater kind than the one after it, where that exists too.
    void OrderObjectsByKind(const std::vector<const UnaryPredicate*>& aPredicates) {
        if (aPredicates.empty()) {
            return;
        }
        for (uint32_t lWorld = 0; lWorld < mWorlds; ++lWorld) {
            for (uint32_t lPlace = 0; lPlace + 1 < mObjects; ++lPlace) {
                const uint32_t lObject = lWorld * mObjects + lPlace;
                const int32_t lNextExists = mExists[lObject + 1];
                // lEqual: the two kinds agree on the predicates so far (forced where they do).
                int32_t lEqual = True;
                for (size_t i = 0; i < aPredicates.size(); ++i) {
                    const char lLetter = aPredicates[i]->Letter();
                    const int32_t lThis = Affirms(lLetter, lObject);
                    const int32_t lNext = Affirms(lLetter, lObject + 1);
                    std::vector<int32_t> lPrefix{-lNextExists};
                    if (lEqual != True) {
                        lPrefix.push_back(-lEqual);
                    }
                    const auto fClause = [&](std::initializer_list<int32_t> fLiterals) {
                        std::vector<int32_t> lClause = lPrefix;
                        lClause.insert(lClause.end(), fLiterals);
                        mSolver.AddClause(lClause);
                    };
                    fClause({-lThis, lNext});
                    if (i + 1 < aPredicates.size()) {
                        const int32_t lStillEqual = mSolver.NewVariable();
                        fClause({lThis, lNext, lStillEqual});
                        fClause({-lThis, -lNext, lStillEqual});
                        lEqual = lStillEqual;
                    }
                }
            }
        }
    }

    // Reading a model of one world back: the literals of the letters, predications and objects,
    // and aVariable bound while the memo is asked for the instances of a subformula.
    int32_t Exists(uint32_t aObject) const { return mExists.at(aObject); }
    int32_t WorldExists(uint32_t aWorld) const { return mWorldExists.at(aWorld); }
    std::optional<int32_t> LetterLiteral(const Matrix* aLetter, uint32_t aWorld = 0) const {
        return Made(mLetters, std::pair<const Matrix*, uint32_t>{aLetter, aWorld});
    }
    /// aNode's literal in world aWorld.
    int32_t EncodeIn(const Matrix& aNode, uint32_t aWorld) {
        const uint32_t lWorld = mWorld;
        mWorld = aWorld;
        const int32_t lLiteral = Encode(aNode);
        mWorld = lWorld;
        return lLiteral;
    }
    std::optional<int32_t> PredicationLiteral(char aLetter, uint32_t aObject) const {
        return Made(mPredications, (uint64_t{static_cast<unsigned char>(aLetter)} << 32) | aObject);
    }
    std::optional<int32_t> RelationLiteral(char aLetter, uint32_t aFirst, uint32_t aSecond) const {
        return Made(mRelations, std::tuple<char, uint32_t, uint32_t>{aLetter, aFirst, aSecond});
    }
    void Bind(const Logic::Variable* aVariable, uint32_t aObject) { mBinding[aVariable] = aObject; }
    /// The literal made for aNode under the binding in world 0, if it was made.
    std::optional<int32_t> Made(const Matrix& aNode) {
        const auto lKnown = mMade.find(KeyOf(aNode, 0));
        return lKnown == mMade.end() ? std::nullopt : std::optional<int32_t>(lKnown->second);
    }

private:
    template <typename Which>
    static std::optional<int32_t> Made(const std::map<Which, int32_t>& aVariables,
                                       const Which& aWhich) {
        const auto lAt = aVariables.find(aWhich);
        return lAt == aVariables.end() ? std::nullopt : std::optional<int32_t>(lAt->second);
    }

    /// A subformula under one world and one binding of its free variables (in the order of
    /// FreeVariableSets). Most have a few free variables, which are kept without allocating.
    struct Key {
        const Matrix* mNode = nullptr;
        uint32_t mCount = 0;
        std::array<uint32_t, 4> mFirst{};
        std::vector<uint32_t> mRest;

        void Add(uint32_t aObject) {
            if (mCount < mFirst.size()) {
                mFirst[mCount] = aObject;
            } else {
                mRest.push_back(aObject);
            }
            ++mCount;
        }
        friend bool operator==(const Key&, const Key&) = default;
    };

    /// aNode in aWorld under the current binding of its free variables.
    Key KeyOf(const Matrix& aNode, uint32_t aWorld) {
        Key lKey;
        lKey.mNode = &aNode;
        lKey.Add(aWorld);
        for (const Logic::Variable* lVariable : mFree.Of(aNode)) {
            lKey.Add(ObjectOf(*lVariable));
        }
        return lKey;
    }

    int32_t Make(const Matrix& aNode) {
        switch (aNode.Kind()) {
        case NodeKind::NullPredicate:
            return VariableFor(mLetters, std::pair{&aNode, mWorld});
        case NodeKind::UnaryPredication: {
            const auto& lPredication = static_cast<const UnaryPredication&>(aNode);
            return Affirms(lPredication.Predicate()->Letter(), ObjectOf(*lPredication.Variable()));
        }
        case NodeKind::Identification: {
            const auto& lIdentification = static_cast<const Identification&>(aNode);
            return ObjectOf(*lIdentification.Left()) == ObjectOf(*lIdentification.Right()) ? True
                                                                                           : False;
        }
        case NodeKind::BinaryPredication: {
            const auto& lPredication = static_cast<const BinaryPredication&>(aNode);
            return VariableFor(mRelations, std::tuple<char, uint32_t, uint32_t>{
                                               lPredication.Predicate()->Letter(),
                                               ObjectOf(*lPredication.Variable1()),
                                               ObjectOf(*lPredication.Variable2())});
        }
        case NodeKind::Negation:
            return -Encode(*static_cast<const UnaryOperator&>(aNode).InnerMatrix());
        case NodeKind::UniversalGeneralization:
            return All(static_cast<const UniversalGeneralization&>(aNode));
        case NodeKind::Conjunction:
        case NodeKind::Disjunction:
        case NodeKind::MaterialConditional:
        case NodeKind::Argument:
        case NodeKind::Equivalence:
        case NodeKind::JointDenial: {
            const auto& lOperator = static_cast<const BinaryOperator&>(aNode);
            const int32_t lLeft = Encode(*lOperator.Left());
            const int32_t lRight = Encode(*lOperator.Right());
            switch (aNode.Kind()) {
            case NodeKind::Conjunction:
                return And({lLeft, lRight});
            case NodeKind::Disjunction:
                return -And({-lLeft, -lRight});
            case NodeKind::MaterialConditional:
            case NodeKind::Argument:
                return -And({lLeft, -lRight});
            case NodeKind::JointDenial:
                return And({-lLeft, -lRight});
            default:
                return Equivalent(lLeft, lRight);
            }
        }
        case NodeKind::Necessity:
            return Necessarily(aNode, *static_cast<const UnaryOperator&>(aNode).InnerMatrix());
        }
        throw EngineException("The SAT engine can't encode {0}.", aNode.ToString());
    }

    int32_t All(const UniversalGeneralization& aAll) {
        const Matrix& lBody = *aAll.InnerMatrix();
        const Logic::Variable* lVariable = aAll.Variable().get();
        const std::vector<const Logic::Variable*>& lFree = mFree.Of(lBody);
        if (!std::binary_search(lFree.begin(), lFree.end(), lVariable)) {
            return Encode(lBody); // the domain is never empty
        }
        // A quantifier nested inside another over the same variable leaves the outer binding.
        const auto lOuter = mBinding.find(lVariable);
        const bool lBoundOutside = lOuter != mBinding.end();
        const uint32_t lOuterObject = lBoundOutside ? lOuter->second : 0;
        std::vector<int32_t> lInstances;
        for (uint32_t lObject = mWorld * mObjects; lObject < (mWorld + 1) * mObjects; ++lObject) {
            mBinding[lVariable] = lObject;
            lInstances.push_back(-And({mExists[lObject], -Encode(lBody)}));
        }
        if (lBoundOutside) {
            mBinding[lVariable] = lOuterObject;
        } else {
            mBinding.erase(lVariable);
        }
        return And(std::span<const int32_t>(lInstances));
    }

    /// aInner true in every world. A modal operator's truth is the same in every world, under
    /// one binding of its free variables (SatBounds), so one literal serves every world.
    int32_t Necessarily(const Matrix& aNode, const Matrix& aInner) {
        Key lKey = KeyOf(aNode, EveryWorld);
        if (const auto lKnown = mMade.find(lKey); lKnown != mMade.end()) {
            return lKnown->second;
        }
        const uint32_t lWorld = mWorld;
        std::vector<int32_t> lEverywhere;
        for (mWorld = 0; mWorld < mWorlds; ++mWorld) {
            lEverywhere.push_back(-And({mWorldExists[mWorld], -Encode(aInner)}));
        }
        mWorld = lWorld;
        const int32_t lNecessary = And(std::span<const int32_t>(lEverywhere));
        mMade.emplace(std::move(lKey), lNecessary);
        return lNecessary;
    }

    /// aCount literals, the first true and each implying the one before: the worlds and the
    /// objects of a world that exist. Models differ only by the order of their worlds and
    /// objects, so those that exist may come first.
    std::vector<int32_t> Chain(uint32_t aCount) {
        std::vector<int32_t> lChain{True};
        for (uint32_t i = 1; i < aCount; ++i) {
            const int32_t lExists = mSolver.NewVariable();
            if (lChain.back() != True) {
                mSolver.AddClause({-lExists, lChain.back()});
            }
            lChain.push_back(lExists);
        }
        return lChain;
    }

    /// The conjunction of aOperands, folded: constants dropped or deciding, repeats dropped.
    int32_t And(std::initializer_list<int32_t> aOperands) {
        return And(std::span<const int32_t>(aOperands.begin(), aOperands.size()));
    }
    int32_t And(std::span<const int32_t> aOperands) {
        // And never encodes, so one scratch list serves every call.
        std::vector<int32_t>& lKept = mScratch;
        lKept.clear();
        for (const int32_t lOperand : aOperands) {
            if (lOperand == False) {
                return False;
            }
            if (lOperand != True) {
                lKept.push_back(lOperand);
            }
        }
        std::sort(lKept.begin(), lKept.end());
        lKept.erase(std::unique(lKept.begin(), lKept.end()), lKept.end());
        for (const int32_t lOperand : lKept) {
            if (std::binary_search(lKept.begin(), lKept.end(), -lOperand)) {
                return False;
            }
        }
        if (lKept.empty()) {
            return True;
        }
        if (lKept.size() == 1) {
            return lKept.front();
        }
        const int32_t lAnd = mSolver.NewVariable();
        for (const int32_t lOperand : lKept) {
            mSolver.AddClause({-lAnd, lOperand});
        }
        // The last clause: the conjunction holds when every operand does.
        for (int32_t& lOperand : lKept) {
            lOperand = -lOperand;
        }
        lKept.push_back(lAnd);
        mSolver.AddClause(lKept);
        return lAnd;
    }

    int32_t Equivalent(int32_t aLeft, int32_t aRight) {
        if (aLeft == True || aLeft == False) {
            return aLeft == True ? aRight : -aRight;
        }
        if (aRight == True || aRight == False) {
            return aRight == True ? aLeft : -aLeft;
        }
        if (aLeft == aRight || aLeft == -aRight) {
            return aLeft == aRight ? True : False;
        }
        const int32_t lSame = mSolver.NewVariable();
        mSolver.AddClause({-lSame, -aLeft, aRight});
        mSolver.AddClause({-lSame, aLeft, -aRight});
        mSolver.AddClause({lSame, aLeft, aRight});
        mSolver.AddClause({lSame, -aLeft, -aRight});
        return lSame;
    }

    /// The variable "aObject has the predicate aLetter".
    int32_t Affirms(char aLetter, uint32_t aObject) {
        return VariableFor(mPredications,
                           (uint64_t{static_cast<unsigned char>(aLetter)} << 32) | aObject);
    }

    template <typename Which>
    int32_t VariableFor(std::map<Which, int32_t>& aVariables, Which aWhich) {
        const auto [lAt, lNew] = aVariables.try_emplace(aWhich, 0);
        if (lNew) {
            lAt->second = mSolver.NewVariable();
        }
        return lAt->second;
    }

    uint32_t ObjectOf(const Logic::Variable& aVariable) const {
        const auto lBound = mBinding.find(&aVariable);
        if (lBound == mBinding.end()) {
            throw EngineException("The variable {0} does not denote any object here.",
                                  aVariable.ToString());
        }
        return lBound->second;
    }

    struct KeyHash {
        size_t operator()(const Key& aKey) const {
            size_t lHash = IdentityHash(aKey.mNode);
            for (uint32_t i = 0; i < std::min<uint32_t>(aKey.mCount, 4); ++i) {
                lHash = lHash * 1000003u ^ aKey.mFirst[i];
            }
            for (const uint32_t lObject : aKey.mRest) {
                lHash = lHash * 1000003u ^ lObject;
            }
            return lHash;
        }
    };

    SatSolver& mSolver;
    /// In the key of a modal operator's literal, in place of the world: it holds in all alike.
    static constexpr uint32_t EveryWorld = UINT32_MAX;
    uint32_t mObjects;
    uint32_t mWorlds;
    /// The world whose truth is being encoded; an object is numbered world * mObjects + its
    /// place in the world, so that objects of different worlds are never identical.
    uint32_t mWorld = 0;
    std::vector<int32_t> mWorldExists;
    std::vector<int32_t> mExists;
    std::map<std::pair<const Matrix*, uint32_t>, int32_t> mLetters;
    std::map<uint64_t, int32_t> mPredications;
    std::map<std::tuple<char, uint32_t, uint32_t>, int32_t> mRelations;
    std::unordered_map<const Logic::Variable*, uint32_t> mBinding;
    FreeVariableSets mFree;
    /// The instances made, in memory given back all at once with the encoder: there are
    /// millions of them, each its own node.
    std::pmr::monotonic_buffer_resource mMadeMemory;
    std::pmr::unordered_map<Key, int32_t, KeyHash> mMade{&mMadeMemory};
    std::vector<int32_t> mScratch;
};

} // namespace Logic::SatEncoding

#endif
