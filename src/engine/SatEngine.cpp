// The SAT engine: a formula without modal operators is decided by the satisfiability of it and
// of its negation, each over every model of at most N objects, by a SAT solver (SatSolver).
// Nothing is numbered, so the number of sentence letters and predicates is not bounded by a
// 32-bit kind-of-world number; the searches for examples and counterexamples, which walk the
// numbering, are the compiled engine's where the numbering holds the document, and the solver's
// own models beyond it (Models, below).
//
// The bound. Let k be the number of unary predicates and c = max(1, M), where M is the
// numbering's own figure (MaxmimumNumberOfDistinguishableObjectsOfAKind): the most variables
// that are free together in a quantifier's scope and occur in identities (1 without identity).
// An object's kind is the set of unary predicates it satisfies. In a monadic formula whose
// quantifiers never hold more than c identified objects at once, two models that agree on the
// sentence letters and, for every kind, on the number of its objects or on both having at least
// c, satisfy the same formulas (a pebble game with c pebbles: the second player always finds an
// unpebbled object of the kind wanted). So a model may keep at most c objects of each of the 2^k
// kinds, and N = c * 2^k objects suffice; without unary predicates one object of the single kind
// per pebble, N = c. The numbering relies on the same argument: its kinds of worlds are the
// models with at most (about) c objects of a kind, so both see the same verdicts. Names have
// been closed over by the decision (Decision.cpp) before the formula gets here, each becoming a
// quantified variable, which the figure M counts like any other.
//
// The encoding. The domain is objects 0 .. N-1; object o exists when e(o) holds, object 0
// always, and e(o) implies e(o-1) (models differ only by the order of their objects). "F o" is
// one variable per predicate letter and object, a sentence letter one variable. Each subformula
// under a binding of its free variables to objects becomes one literal (Tseitin), made once and
// kept; identity of two bound variables is known at encoding time. "For all x" is the
// conjunction over the existing objects. Constants are folded as the literals are made.
//
// Models. FindModel reads the solver's model back for an explanation: the target is the formula
// (or its negation) with its names bound by "there is", and each name takes an object where the
// memo's literal of the level inside it is true. A monadic model is cut down to the fewest
// objects by asking again with "object s does not exist". With binary predicates no bound
// exists (first-order logic with a relation is undecidable), so models of exactly 1, 2, ... 6
// objects are tried in turn, one variable per relation letter and pair of objects; a model
// found shows invalidity or contingency, and nothing found proves nothing (Decision.cpp).

#ifdef QUENDRAL_HAVE_CADICAL

#include <algorithm>
#include <array>
#include <iterator>
#include <climits>
#include <cstdint>
#include <map>
#include <optional>
#include <memory_resource>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "engine/DecisionEngine.h"
#include "engine/DistinctNodeWalk.h"
#include "engine/Explanation.h"
#include "engine/SatSolver.h"
#include "model/BinaryOperator.h"
#include "model/BinaryPredication.h"
#include "model/EngineException.h"
#include "model/Factory.h"
#include "model/Identification.h"
#include "model/NullPredicate.h"
#include "model/UnaryPredication.h"
#include "model/UniversalGeneralization.h"
#include "platform/Cancellation.h"
#include "platform/LargeStack.h"

namespace Logic {

namespace {

/// Literals as the solver numbers them, with two constants beyond any variable.
constexpr int32_t True = INT32_MAX;
constexpr int32_t False = -INT32_MAX;

/// Past this many subformula instances (each a literal and up to a few clauses) the engine gives
/// up rather than fill the memory: nested quantifiers over N objects make N^depth instances.
constexpr size_t MostInstances = size_t{4} << 20;

/// Past this many unary predicates the bound 2^k alone exceeds what MostInstances allows.
constexpr size_t MostUnaryPredicates = 20;

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
            const std::vector<int32_t> lObjects = aAllExist ? std::vector<int32_t>(aObjects, True) : Chain(aObjects);
            mExists.insert(mExists.end(), lObjects.begin(), lObjects.end());
        }
    }

    int32_t Encode(const Matrix& aNode) {
        CheckCancellation();
        if (!StackHasRoom()) {
            throw EngineException("The formula is nested too deeply to evaluate with the stack space "
                                  "available; write it with fewer levels of nesting.");
        }
        const std::vector<const Logic::Variable*>& lFree = mFree.Of(aNode);
        Key lKey;
        lKey.mNode = &aNode;
        lKey.Add(mWorld);
        for (const Logic::Variable* lVariable : lFree) {
            lKey.Add(ObjectOf(*lVariable));
        }
        if (const auto lKnown = mMade.find(lKey); lKnown != mMade.end()) {
            return lKnown->second;
        }
        const int32_t lLiteral = Make(aNode);
        if (mMade.size() >= MostInstances) {
            throw EngineException("This proposition is too large for the SAT engine: its models may "
                                  "need {0} objects, too many for its quantifiers.",
                                  std::to_string(mObjects));
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
        Key lKey;
        lKey.mNode = &aNode;
        lKey.Add(0);
        for (const Logic::Variable* lVariable : mFree.Of(aNode)) {
            lKey.Add(ObjectOf(*lVariable));
        }
        const auto lKnown = mMade.find(lKey);
        return lKnown == mMade.end() ? std::nullopt : std::optional<int32_t>(lKnown->second);
    }

private:
    template <typename Which>
    static std::optional<int32_t> Made(const std::map<Which, int32_t>& aVariables, const Which& aWhich) {
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
            return ObjectOf(*lIdentification.Left()) == ObjectOf(*lIdentification.Right()) ? True : False;
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
            return Necessarily(*static_cast<const UnaryOperator&>(aNode).InnerMatrix());
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

    /// aInner true in every world. The modal operators hold closed formulas only (the engine
    /// refuses others), whose truth is the same in every world; so one literal serves them all.
    int32_t Necessarily(const Matrix& aInner) {
        if (const auto lKnown = mNecessities.find(&aInner); lKnown != mNecessities.end()) {
            return lKnown->second;
        }
        const uint32_t lWorld = mWorld;
        std::vector<int32_t> lEverywhere;
        for (mWorld = 0; mWorld < mWorlds; ++mWorld) {
            lEverywhere.push_back(-And({mWorldExists[mWorld], -Encode(aInner)}));
        }
        mWorld = lWorld;
        const int32_t lNecessary = And(std::span<const int32_t>(lEverywhere));
        mNecessities.emplace(&aInner, lNecessary);
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
        return VariableFor(mPredications, (uint64_t{static_cast<unsigned char>(aLetter)} << 32) | aObject);
    }

    template <typename Which> int32_t VariableFor(std::map<Which, int32_t>& aVariables, Which aWhich) {
        const auto [lAt, lNew] = aVariables.try_emplace(aWhich, 0);
        if (lNew) {
            lAt->second = mSolver.NewVariable();
        }
        return lAt->second;
    }

    uint32_t ObjectOf(const Logic::Variable& aVariable) const {
        const auto lBound = mBinding.find(&aVariable);
        if (lBound == mBinding.end()) {
            throw EngineException("The variable {0} does not denote any object here.", aVariable.ToString());
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
    uint32_t mObjects;
    uint32_t mWorlds;
    /// The world whose truth is being encoded; an object is numbered world * mObjects + its
    /// place in the world, so that objects of different worlds are never identical.
    uint32_t mWorld = 0;
    std::vector<int32_t> mWorldExists;
    std::vector<int32_t> mExists;
    std::map<std::pair<const Matrix*, uint32_t>, int32_t> mLetters;
    std::unordered_map<const Matrix*, int32_t> mNecessities;
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

/// What the encoding must know of a formula before it starts.
struct Shape {
    bool mBinaryPredications = false;
    bool mQuantifiers = false;
    /// Distinct modal operators.
    uint32_t mNecessities = 0;
    /// Whether a modal operator applies to a formula with a variable bound outside it.
    bool mOpenNecessity = false;
};

/// Call on a large stack.
Shape ShapeOf(const Matrix& aRoot) {
    Shape lShape;
    FreeVariableSets lFree;
    DistinctNodeWalk::ForEachDistinctNode(aRoot, [&](const Matrix& fNode) {
        lShape.mBinaryPredications |= fNode.Kind() == NodeKind::BinaryPredication;
        lShape.mQuantifiers |= fNode.Kind() == NodeKind::UniversalGeneralization;
        if (fNode.Kind() == NodeKind::Necessity) {
            ++lShape.mNecessities;
            lShape.mOpenNecessity |= !lFree.Of(fNode).empty();
        }
    });
    return lShape;
}

/// W: worlds enough for a model of every satisfiable formula like aRoot. Its modal operators
/// hold closed formulas, so each is true in every world of a model or false in every world,
/// and a model keeps its truths when its worlds are cut down to the world of evaluation and
/// one world where the operand is false for each modal operator that is false (by induction
/// over the nesting of the operators: each operator's truth is kept, so every formula's is).
/// Each world is a model of its own on the objects it holds, so N objects per world suffice
/// as without modal operators.
uint32_t WorldsNeeded(const Shape& aShape) { return aShape.mNecessities + 1; }

/// How many objects a model of a formula needs when no existential quantifier (a quantifier
/// read with the polarity it has: "for all" under a negation is "there is") has a variable of a
/// universal one above it free in its scope. The witness of each existential quantifier then
/// depends only on the objects chosen for the existential quantifiers above it, one each, so
/// one witness serves every time it is met in a world. A model keeps its truths when each
/// world is cut down to those witnesses and one object more: a universal quantifier true on
/// all the objects is true on fewer, and every existential one keeps its witness (by induction
/// over the formula read with polarities). So N = E + 1 for E existential quantifiers, n of
/// them for "exactly n".
class WitnessCount {
public:
    static constexpr uint64_t Unbounded = UINT64_MAX;

    /// E + 1 for aRoot made true (aTrue) or false; Unbounded where an existential quantifier
    /// depends on a universal one, or the count grows past any use. Call on a large stack.
    uint64_t ObjectsFor(const Matrix& aRoot, bool aTrue) {
        const uint64_t lExistential = Count(aRoot, aTrue, {});
        return lExistential == Unbounded ? Unbounded : lExistential + 1;
    }

private:
    static constexpr uint64_t Most = uint64_t{1} << 24;
    using Variables = std::vector<const Logic::Variable*>;

    /// The existential quantifiers below aNode read with polarity aTrue, counted along every
    /// path; aUniversal: the variables of the universal quantifiers above it (sorted).
    uint64_t Count(const Matrix& aNode, bool aTrue, const Variables& aUniversal) {
        CheckCancellation();
        if (!StackHasRoom()) {
            return Unbounded;
        }
        // Only the universal variables free here make a difference below.
        Variables lRelevant;
        std::set_intersection(aUniversal.begin(), aUniversal.end(), mFree.Of(aNode).begin(),
                              mFree.Of(aNode).end(), std::back_inserter(lRelevant));
        auto lKey = std::tuple{&aNode, aTrue, std::move(lRelevant)};
        if (const auto lKnown = mCounts.find(lKey); lKnown != mCounts.end()) {
            return lKnown->second;
        }
        const Variables& lUniversal = std::get<2>(lKey);
        uint64_t lCount = 0;
        const auto fBoth = [&](const Matrix& fLeft, bool fLeftTrue, const Matrix& fRight, bool fRightTrue) {
            return Sum(Count(fLeft, fLeftTrue, lUniversal), Count(fRight, fRightTrue, lUniversal));
        };
        switch (aNode.Kind()) {
        case NodeKind::NullPredicate:
        case NodeKind::UnaryPredication:
        case NodeKind::BinaryPredication:
        case NodeKind::Identification:
            break;
        case NodeKind::Negation:
            lCount = Count(*static_cast<const UnaryOperator&>(aNode).InnerMatrix(), !aTrue, lUniversal);
            break;
        case NodeKind::Necessity:
            lCount = Count(*static_cast<const UnaryOperator&>(aNode).InnerMatrix(), aTrue, lUniversal);
            break;
        case NodeKind::UniversalGeneralization: {
            const auto& lAll = static_cast<const UniversalGeneralization&>(aNode);
            if (aTrue) {
                Variables lWider = lUniversal;
                lWider.insert(std::upper_bound(lWider.begin(), lWider.end(), lAll.Variable().get()),
                              lAll.Variable().get());
                lCount = Count(*lAll.InnerMatrix(), true, lWider);
            } else {
                lCount = lUniversal.empty() ? Sum(1, Count(*lAll.InnerMatrix(), false, lUniversal)) : Unbounded;
            }
            break;
        }
        case NodeKind::Conjunction:
        case NodeKind::Disjunction:
        case NodeKind::MaterialConditional:
        case NodeKind::Argument:
        case NodeKind::JointDenial:
        case NodeKind::Equivalence: {
            const auto& lOperator = static_cast<const BinaryOperator&>(aNode);
            const Matrix& lLeft = *lOperator.Left();
            const Matrix& lRight = *lOperator.Right();
            switch (aNode.Kind()) {
            case NodeKind::Conjunction:
            case NodeKind::Disjunction:
                lCount = fBoth(lLeft, aTrue, lRight, aTrue);
                break;
            case NodeKind::MaterialConditional:
            case NodeKind::Argument:
                lCount = fBoth(lLeft, !aTrue, lRight, aTrue);
                break;
            case NodeKind::JointDenial:
                lCount = fBoth(lLeft, !aTrue, lRight, !aTrue);
                break;
            default: // either side may be true or false
                lCount = Sum(fBoth(lLeft, true, lRight, true), fBoth(lLeft, false, lRight, false));
                break;
            }
            break;
        }
        }
        mCounts.emplace(std::move(lKey), lCount);
        return lCount;
    }

    static uint64_t Sum(uint64_t aLeft, uint64_t aRight) {
        return aLeft == Unbounded || aRight == Unbounded || aLeft + aRight > Most ? Unbounded : aLeft + aRight;
    }

    FreeVariableSets mFree;
    std::map<std::tuple<const Matrix*, bool, Variables>, uint64_t> mCounts;
};

/// N: objects enough in each world for a model of aRoot made true (aTrue) or false, if it has
/// one: the smaller of the two bounds (see the top, and WitnessCount). Call on a large stack.
uint32_t ObjectsNeeded(const Matrix& aRoot, const Shape& aShape, bool aTrue) {
    if (!aShape.mQuantifiers) {
        return 1;
    }
    const uint64_t lWitnesses = WitnessCount().ObjectsFor(aRoot, aTrue);
    const size_t lUnary = aRoot.UnaryPredicates().size();
    if (lUnary > MostUnaryPredicates) {
        if (lWitnesses <= MostInstances) {
            return static_cast<uint32_t>(lWitnesses);
        }
        throw EngineException("This proposition is too large for the SAT engine: with {0} predicates "
                              "its models may need more than 2^{1} objects.",
                              std::to_string(lUnary), std::to_string(MostUnaryPredicates));
    }
    const uint64_t lPerKind =
        static_cast<uint64_t>(std::max(aRoot.MaxmimumNumberOfDistinguishableObjectsOfAKind(), 1));
    return static_cast<uint32_t>(std::min(lPerKind << lUnary, lWitnesses));
}

/// How many subformula instances the encoding of aRoot over aObjects objects makes at most: a
/// node with f free variables has aObjects^f bindings. Saturates at MostInstances + 1.
uint64_t InstancesToEncode(const Matrix& aRoot, uint32_t aObjects) {
    FreeVariableSets lFree;
    uint64_t lInstances = 0;
    DistinctNodeWalk::ForEachDistinctNode(aRoot, [&](const Matrix& fNode) {
        uint64_t lBindings = 1;
        for (size_t i = lFree.Of(fNode).size(); i > 0 && lBindings <= MostInstances; --i) {
            lBindings *= aObjects;
        }
        lInstances = std::min<uint64_t>(lInstances + lBindings, MostInstances + 1);
    });
    return lInstances;
}

/// Whether aRoot can be made true (aTrue) or false over a model of bounded size.
bool Satisfiable(const Matrix& aRoot, const Shape& aShape, bool aTrue) {
    const uint32_t lObjects = ObjectsNeeded(aRoot, aShape, aTrue);
    // Refused before anything is encoded: the encoding of a formula too large for the memory
    // would take a long time to find that out.
    if (InstancesToEncode(aRoot, lObjects) * WorldsNeeded(aShape) > MostInstances) {
        throw EngineException("This proposition is too large for the SAT engine: its models may "
                              "need {0} objects, too many for its quantifiers.",
                              std::to_string(lObjects));
    }
    SatSolver lSolver;
    Encoder lEncoder(lSolver, lObjects, WorldsNeeded(aShape));
    lEncoder.OrderObjectsByKind(aRoot.UnaryPredicates());
    const int32_t lRoot = aTrue ? lEncoder.Encode(aRoot) : -lEncoder.Encode(aRoot);
    if (lRoot == True || lRoot == False) {
        return lRoot == True;
    }
    return lSolver.Solve(std::span<const int32_t>(&lRoot, 1));
}

Alethicity DecideBySatisfiability(const Matrix& aRoot, const Shape& aShape) {
    if (!Satisfiable(aRoot, aShape, false)) {
        return Alethicity::Necessary;
    }
    return Satisfiable(aRoot, aShape, true) ? Alethicity::Contingent : Alethicity::Impossible;
}

/// No bound makes a search of finite models complete for binary predicates (first-order logic
/// with a relation is undecidable: Church, Turing), so models of 1 .. this many objects are
/// tried, smallest first, and what none of them shows stays undecided.
constexpr uint32_t MostObjectsOfARelationalModel = 6;

/// Past this many subformula instances a size is not searched: the search of small models is a
/// look-out, not a decision, and should not fill the memory as a decision may.
constexpr uint64_t MostInstancesOfASmallModel = uint64_t{1} << 18;

bool ValueOf(const SatSolver& aSolver, int32_t aLiteral) {
    if (aLiteral == True || aLiteral == False) {
        return aLiteral == True;
    }
    return aSolver.Value(aLiteral);
}

/// Whether the clauses, aRoot and aAssumption (none when 0) can be satisfied together.
bool SolvesWith(SatSolver& aSolver, int32_t aRoot, int32_t aAssumption = 0) {
    if (aRoot == False) {
        return false;
    }
    std::vector<int32_t> lAssumptions;
    for (const int32_t lLiteral : {aRoot, aAssumption}) {
        if (lLiteral != 0 && lLiteral != True) {
            lAssumptions.push_back(lLiteral);
        }
    }
    return aSolver.Solve(lAssumptions);
}

/// The search for a model where a formula has a truth, its names (free variables) denoting
/// objects the solver chooses: the target "there are objects the names denote such that the
/// formula has that truth" is built from the inside out, one level per name in alphabetical
/// order, so that each level is a subformula of the one before and the encoder's memo holds its
/// instances, from which the names' objects are read back.
class ModelSearch {
public:
    ModelSearch(const Matrix& aFormula, bool aTruth) : mFormula(aFormula), mNames(aFormula.FreeVariables()) {
        std::sort(mNames.begin(), mNames.end(), [](const VariablePtr& fLeft, const VariablePtr& fRight) {
            return fLeft->Letter() < fRight->Letter();
        });
        mLevels.resize(mNames.size() + 1);
        mLevels.back() = aTruth ? aFormula.SharedFromThis() : Factory::Not(aFormula.SharedFromThis());
        for (size_t lIndex = mNames.size(); lIndex-- > 0;) {
            mLevels[lIndex] = Factory::ThereExists(mNames[lIndex], mLevels[lIndex + 1]);
        }
    }

    FoundModel Find() {
        const Shape lShape = ShapeOf(*mLevels.front());
        if (lShape.mNecessities > 0) {
            return FindWorlds(lShape);
        }
        return lShape.mBinaryPredications ? FindAmongSmallModels() : FindSmallest(lShape);
    }

private:
    /// With binary predicates: exactly 1, 2, ... objects, each size encoded afresh.
    FoundModel FindAmongSmallModels() {
        FoundModel lFound;
        for (uint32_t lObjects = 1; lObjects <= MostObjectsOfARelationalModel; ++lObjects) {
            CheckCancellation();
            if (lObjects > 1 && InstancesToEncode(*mLevels.front(), lObjects) > MostInstancesOfASmallModel) {
                break; // the smaller sizes have been searched
            }
            SatSolver lSolver;
            Encoder lEncoder(lSolver, lObjects, 1, true);
            int32_t lRoot = False;
            try {
                lRoot = lEncoder.Encode(*mLevels.front());
            } catch (const EngineException&) {
                if (lObjects == 1) {
                    throw;
                }
                break;
            }
            if (SolvesWith(lSolver, lRoot)) {
                lFound.mModel = Read(lSolver, lEncoder, lObjects);
                lFound.mMostObjects = lObjects;
                return lFound;
            }
            lFound.mMostObjects = lObjects;
        }
        return lFound;
    }

    /// Monadic: up to the bound, which makes the search complete; of the models found the one
    /// with the fewest objects, the easiest to read.
    FoundModel FindSmallest(const Shape& aShape) {
        const uint32_t lMost = ObjectsNeeded(*mLevels.front(), aShape, true);
        if (InstancesToEncode(*mLevels.front(), lMost) > MostInstances) {
            throw EngineException("This proposition is too large for the SAT engine: its models may "
                                  "need {0} objects, too many for its quantifiers.",
                                  std::to_string(lMost));
        }
        SatSolver lSolver;
        Encoder lEncoder(lSolver, lMost);
        lEncoder.OrderObjectsByKind(mFormula.UnaryPredicates());
        const int32_t lRoot = lEncoder.Encode(*mLevels.front());
        FoundModel lFound{std::nullopt, lMost};
        if (!SolvesWith(lSolver, lRoot)) {
            return lFound;
        }
        // Objects exist from 0 up, so a model lacks object s exactly when it has at most s.
        uint32_t lLow = 1;
        uint32_t lHigh = lMost;
        while (lLow < lHigh) {
            const uint32_t lMiddle = lLow + (lHigh - lLow) / 2;
            if (SolvesWith(lSolver, lRoot, -lEncoder.Exists(lMiddle))) {
                lHigh = lMiddle;
            } else {
                lLow = lMiddle + 1;
            }
        }
        // The last answer may have been "no": solve once more for the model to read.
        SolvesWith(lSolver, lRoot, lLow < lMost ? -lEncoder.Exists(lLow) : 0);
        uint32_t lObjects = 0;
        while (lObjects < lMost && ValueOf(lSolver, lEncoder.Exists(lObjects))) {
            ++lObjects;
        }
        lFound.mModel = Read(lSolver, lEncoder, lObjects);
        return lFound;
    }

    /// With modal operators (closed, and no names: the decision refuses names beside them):
    /// up to the bounds, every world that exists with its letters and objects, and whether the
    /// formula holds there.
    FoundModel FindWorlds(const Shape& aShape) {
        if (aShape.mOpenNecessity || aShape.mBinaryPredications || !mNames.empty()) {
            throw EngineException("The SAT engine shows no models of a proposition where a modal operator "
                                  "applies to a variable bound outside it, or with binary predicates.");
        }
        const uint32_t lObjects = ObjectsNeeded(*mLevels.front(), aShape, true);
        const uint32_t lWorlds = WorldsNeeded(aShape);
        if (InstancesToEncode(*mLevels.front(), lObjects) * lWorlds > MostInstances) {
            throw EngineException("This proposition is too large for the SAT engine: its models may "
                                  "need {0} objects, too many for its quantifiers.",
                                  std::to_string(lObjects));
        }
        SatSolver lSolver;
        Encoder lEncoder(lSolver, lObjects, lWorlds);
        lEncoder.OrderObjectsByKind(mFormula.UnaryPredicates());
        const int32_t lRoot = lEncoder.Encode(*mLevels.front());
        std::vector<int32_t> lHolds;
        for (uint32_t lWorld = 0; lWorld < lWorlds; ++lWorld) {
            lHolds.push_back(lEncoder.EncodeIn(mFormula, lWorld));
        }
        FoundModel lFound{std::nullopt, lObjects};
        if (!SolvesWith(lSolver, lRoot)) {
            return lFound;
        }
        // The fewest worlds, which exist from 0 up as the objects do.
        uint32_t lLow = 1;
        uint32_t lHigh = lWorlds;
        while (lLow < lHigh) {
            const uint32_t lMiddle = lLow + (lHigh - lLow) / 2;
            if (SolvesWith(lSolver, lRoot, -lEncoder.WorldExists(lMiddle))) {
                lHigh = lMiddle;
            } else {
                lLow = lMiddle + 1;
            }
        }
        SolvesWith(lSolver, lRoot, lLow < lWorlds ? -lEncoder.WorldExists(lLow) : 0);
        ModelDescription lModel;
        lModel.mModal = true;
        for (uint32_t lWorld = 0; lWorld < lWorlds && ValueOf(lSolver, lEncoder.WorldExists(lWorld)); ++lWorld) {
            uint32_t lHeld = 0;
            while (lHeld < lObjects && ValueOf(lSolver, lEncoder.Exists(lWorld * lObjects + lHeld))) {
                ++lHeld;
            }
            ModelDescription lWorldModel = Read(lSolver, lEncoder, lHeld, lWorld, lObjects);
            WorldDescription& lDescribed = lWorldModel.mWorlds.front();
            lDescribed.mHolds = ValueOf(lSolver, lHolds[lWorld]);
            lModel.mWorlds.push_back(std::move(lDescribed));
        }
        lFound.mModel = std::move(lModel);
        return lFound;
    }

    /// The solver's model of objects 0 .. aObjects - 1 as an explanation shows it.
    /// With modal operators, world aWorld's, whose objects are numbered from aWorld times
    /// aPerWorld.
    ModelDescription Read(const SatSolver& aSolver, Encoder& aEncoder, uint32_t aObjects, uint32_t aWorld = 0,
                          uint32_t aPerWorld = 0) {
        const uint32_t lFirst = aWorld * aPerWorld;
        FiniteModel lModel;
        lModel.mObjects = aObjects;
        for (const NullPredicate* lLetter : mFormula.NullPredicates()) {
            const std::string lName = lLetter->Description();
            if (std::none_of(lModel.mLetters.begin(), lModel.mLetters.end(),
                             [&](const auto& fKnown) { return fKnown.first == lName; })) {
                const std::optional<int32_t> lLiteral = aEncoder.LetterLiteral(lLetter, aWorld);
                lModel.mLetters.emplace_back(lName, lLiteral && ValueOf(aSolver, *lLiteral));
            }
        }
        for (const UnaryPredicate* lPredicate : mFormula.UnaryPredicates()) {
            std::vector<bool> lHolders(aObjects, false);
            for (uint32_t lObject = 0; lObject < aObjects; ++lObject) {
                const std::optional<int32_t> lLiteral =
                    aEncoder.PredicationLiteral(lPredicate->Letter(), lFirst + lObject);
                lHolders[lObject] = lLiteral && ValueOf(aSolver, *lLiteral);
            }
            lModel.mUnary.emplace_back(lPredicate->ToString(), std::move(lHolders));
        }
        std::vector<char> lRelations;
        DistinctNodeWalk::ForEachDistinctNode(mFormula, [&](const Matrix& fNode) {
            if (fNode.Kind() == NodeKind::BinaryPredication) {
                lRelations.push_back(static_cast<const BinaryPredication&>(fNode).Predicate()->Letter());
            }
        });
        std::sort(lRelations.begin(), lRelations.end());
        lRelations.erase(std::unique(lRelations.begin(), lRelations.end()), lRelations.end());
        for (const char lRelation : lRelations) {
            std::vector<std::pair<uint32_t, uint32_t>> lPairs;
            for (uint32_t lFirst = 0; lFirst < aObjects; ++lFirst) {
                for (uint32_t lSecond = 0; lSecond < aObjects; ++lSecond) {
                    const std::optional<int32_t> lLiteral = aEncoder.RelationLiteral(lRelation, lFirst, lSecond);
                    if (lLiteral && ValueOf(aSolver, *lLiteral)) {
                        lPairs.emplace_back(lFirst, lSecond);
                    }
                }
            }
            lModel.mRelations.emplace_back(std::string(1, lRelation), std::move(lPairs));
        }
        // Each name takes an object for which the level inside it holds, given the objects of
        // the names before it: the level's literal is its truth in the solver's model.
        for (size_t lIndex = 0; lIndex < mNames.size(); ++lIndex) {
            bool lFound = false;
            for (uint32_t lObject = 0; !lFound && lObject < aObjects; ++lObject) {
                aEncoder.Bind(mNames[lIndex].get(), lObject);
                const std::optional<int32_t> lLiteral = aEncoder.Made(*mLevels[lIndex + 1]);
                if (lLiteral && ValueOf(aSolver, *lLiteral)) {
                    lModel.mNames.emplace_back(mNames[lIndex]->ToString(), lObject);
                    lFound = true;
                }
            }
            if (!lFound) {
                throw EngineException("The SAT engine found a model without an object for the name {0}.",
                                      mNames[lIndex]->ToString());
            }
        }
        return DescribeFiniteModel(lModel, mFormula.ContainsIdentifications());
    }

    const Matrix& mFormula;
    std::vector<VariablePtr> mNames;
    std::vector<MatrixPtr> mLevels;
};

class Sat final : public DecisionEngine {
public:
    std::string_view Name() const override { return "sat"; }

    std::unique_ptr<PreparedFormula> Prepare(const Matrix& aRoot, const Predicates& aPredicates,
                                             const EngineLimits& aLimits) const override {
        return CompiledEngine().Prepare(aRoot, aPredicates, aLimits);
    }

    bool DecidesThroughNumbering() const override { return false; }

    bool FindsModels() const override { return true; }

    FoundModel FindModel(const Matrix& aFormula, bool aTruth, const EngineLimits&) const override {
        return OnLargeStack([&] { return ModelSearch(aFormula, aTruth).Find(); });
    }

    Alethicity Decide(const Matrix& aRoot, const EngineLimits& aLimits) const override {
        return OnLargeStack([&] {
            const Shape lShape = ShapeOf(aRoot);
            if (lShape.mOpenNecessity) {
                throw EngineException("The SAT engine can't decide a proposition where a modal operator "
                                      "applies to a variable bound outside it; the compiled engine "
                                      "decides it.");
            }
            if (lShape.mBinaryPredications) {
                // A document with binary predicates is decided by the models FindModel finds
                // where the numbering fails on them (PreparedDocument); asked for directly, a
                // formula fails as the numbering does, where the evaluation reaches one.
                return DecisionEngine::Decide(aRoot, aLimits);
            }
            return DecideBySatisfiability(aRoot, lShape);
        });
    }

    uint64_t EstimatedWork(const Matrix& aRoot) const override {
        return OnLargeStack([&] {
            const Shape lShape = ShapeOf(aRoot);
            if (lShape.mOpenNecessity || lShape.mBinaryPredications) {
                return NoEstimate;
            }
            uint32_t lObjects = 0;
            try {
                lObjects = std::max(ObjectsNeeded(aRoot, lShape, true), ObjectsNeeded(aRoot, lShape, false));
            } catch (const EngineException&) {
                return NoEstimate;
            }
            const uint64_t lInstances = InstancesToEncode(aRoot, lObjects);
            // Each instance is a variable and a few clauses in every world, searched by the
            // solver twice; a solver's step costs far more than a circuit's.
            const uint64_t lWork = lInstances * WorldsNeeded(lShape);
            return lWork > MostInstances ? NoEstimate : lWork * 256;
        });
    }
};

} // namespace

const DecisionEngine& SatEngine() {
    static const Sat sEngine;
    return sEngine;
}

} // namespace Logic

#endif
