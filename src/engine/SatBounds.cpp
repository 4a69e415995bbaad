// SatBounds: how large a model the SAT engine must search.
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

#ifdef QUENDRAL_HAVE_CADICAL

#include "engine/SatBounds.h"

#include <algorithm>
#include <iterator>

#include "engine/SatEncoder.h"

namespace Logic::SatEncoding {

namespace {

/// Past this many unary predicates the bound 2^k alone exceeds what MostInstances allows.
constexpr size_t MostUnaryPredicates = 20;

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
        const auto fBoth = [&](const Matrix& fLeft, bool fLeftTrue, const Matrix& fRight,
                               bool fRightTrue) {
            return Sum(Count(fLeft, fLeftTrue, lUniversal), Count(fRight, fRightTrue, lUniversal));
        };
        switch (aNode.Kind()) {
        case NodeKind::NullPredicate:
        case NodeKind::UnaryPredication:
        case NodeKind::BinaryPredication:
        case NodeKind::Identification:
            break;
        case NodeKind::Negation:
            lCount =
                Count(*static_cast<const UnaryOperator&>(aNode).InnerMatrix(), !aTrue, lUniversal);
            break;
        case NodeKind::Necessity:
            lCount =
                Count(*static_cast<const UnaryOperator&>(aNode).InnerMatrix(), aTrue, lUniversal);
            break;
        case NodeKind::UniversalGeneralization: {
            const auto& lAll = static_cast<const UniversalGeneralization&>(aNode);
            if (aTrue) {
                Variables lWider = lUniversal;
                lWider.insert(std::upper_bound(lWider.begin(), lWider.end(), lAll.Variable().get()),
                              lAll.Variable().get());
                lCount = Count(*lAll.InnerMatrix(), true, lWider);
            } else {
                lCount = lUniversal.empty() ? Sum(1, Count(*lAll.InnerMatrix(), false, lUniversal))
                                            : Unbounded;
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
        return aLeft == Unbounded || aRight == Unbounded || aLeft + aRight > Most ? Unbounded
                                                                                  : aLeft + aRight;
    }

    FreeVariableSets mFree;
    std::map<std::tuple<const Matrix*, bool, Variables>, uint64_t> mCounts;
};

} // namespace

/// The kinds of binding of aFree variables: each variable's object has one of 2^aUnary kinds,
/// and the variables fall into classes of the same object in Bell(aFree) ways. Saturates at
/// MostInstances + 1.
uint64_t KindsOfBinding(size_t aFree, size_t aUnary) {
    constexpr uint64_t Bell[] = {1, 1, 2, 5, 15, 52, 203, 877};
    constexpr uint64_t Most = MostInstances + 1;
    if (aFree >= std::size(Bell) || aUnary >= 24) {
        return Most;
    }
    uint64_t lKinds = Bell[aFree];
    for (size_t i = 0; i < aFree && lKinds < Most; ++i) {
        lKinds <<= aUnary;
    }
    return std::min(lKinds, Most);
}

Shape ShapeOf(const Matrix& aRoot) {
    Shape lShape;
    FreeVariableSets lFree;
    const size_t lUnary = aRoot.UnaryPredicates().size();
    DistinctNodeWalk::ForEachDistinctNode(aRoot, [&](const Matrix& fNode) {
        lShape.mBinaryPredications |= fNode.Kind() == NodeKind::BinaryPredication;
        lShape.mQuantifiers |= fNode.Kind() == NodeKind::UniversalGeneralization;
        if (fNode.Kind() == NodeKind::Necessity) {
            const size_t lOpen = lFree.Of(fNode).size();
            ++lShape.mNecessities;
            lShape.mOpenNecessity |= lOpen > 0;
            lShape.mWitnessWorlds = std::min<uint64_t>(
                lShape.mWitnessWorlds + KindsOfBinding(lOpen, lUnary), MostInstances + 1);
        }
    });
    if (lShape.mOpenNecessity) {
        lShape.mIdentityAcrossWorlds = aRoot.MaxmimumNumberOfModalitiesInIdentifications() > 1;
    }
    return lShape;
}

/// W: worlds enough for a model of every satisfiable formula like aRoot, whose identities
/// compare objects within one modal context only (mIdentityAcrossWorlds false).
///
/// A modal operator over a closed formula is true in every world of a model or false in every
/// world. One over a formula with free variables (bound outside it) is so too for each binding:
/// its operand meets the objects of other worlds only through their predicates, which they keep
/// everywhere, and through identities among those variables themselves (an identity with a
/// variable bound inside would compare two modal contexts), so its truth depends on the kinds
/// of the bound objects and on which of them are the same, not on the world. A model keeps its
/// truths when its worlds are cut down to the world of evaluation and, for each modal operator
/// and each kind of binding under which it is false, one world where its operand is false (by
/// induction over the nesting of the operators: each operator's truth is kept, so every
/// formula's is). Each world is a model of its own on the objects it holds, so N objects per
/// world suffice as without modal operators. Saturates at MostInstances + 1.
uint32_t WorldsNeeded(const Shape& aShape) {
    return static_cast<uint32_t>(std::min<uint64_t>(aShape.mWitnessWorlds + 1, MostInstances + 1));
}

// N: the smaller of the two bounds (the pebble game above, and WitnessCount).
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
        throw EngineException(
            "This proposition is too large for the SAT engine: with {0} predicates "
            "its models may need more than 2^{1} objects.",
            std::to_string(lUnary), std::to_string(MostUnaryPredicates));
    }
    const uint64_t lPerKind =
        static_cast<uint64_t>(std::max(aRoot.MaxmimumNumberOfDistinguishableObjectsOfAKind(), 1));
    return static_cast<uint32_t>(std::min(lPerKind << lUnary, lWitnesses));
}

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

void RequireEncodable(const Matrix& aRoot, uint32_t aObjects, uint32_t aWorlds) {
    if (InstancesToEncode(aRoot, aObjects) * aWorlds > MostInstances) {
        TooLargeForTheSatEngine(aObjects);
    }
}

} // namespace Logic::SatEncoding

#endif
