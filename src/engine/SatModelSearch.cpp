// SatModelSearch.
//
// Models. FindModel reads the solver's model back for an explanation: the target is the formula
// (or its negation) with its names bound by "there is", and each name takes an object where the
// memo's literal of the level inside it is true. A monadic model is cut down to the fewest
// objects by asking again with "object s does not exist". With binary predicates no bound
// exists (first-order logic with a relation is undecidable), so models of exactly 1, 2, ... 6
// objects are tried in turn, one variable per relation letter and pair of objects; a model
// found shows invalidity or contingency, and nothing found proves nothing (Decision.cpp).

#ifdef QUENDRAL_HAVE_CADICAL

#include "engine/SatModelSearch.h"

#include "engine/Explanation.h"
#include "engine/SatBounds.h"
#include "engine/SatEncoder.h"
#include "model/Factory.h"

namespace Logic::SatEncoding {

namespace {

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

/// Leaves aSolver with a model of aRoot (which has one) in which the fewest of aCount things
/// exist, each told by aExists(i): they exist from 0 up (each implies the one before), so a
/// model lacks thing s exactly when it has at most s.
template <typename Exists>
void SolveWithFewest(SatSolver& aSolver, int32_t aRoot, uint32_t aCount, Exists aExists) {
    uint32_t lLow = 1;
    uint32_t lHigh = aCount;
    while (lLow < lHigh) {
        const uint32_t lMiddle = lLow + (lHigh - lLow) / 2;
        if (SolvesWith(aSolver, aRoot, -aExists(lMiddle))) {
            lHigh = lMiddle;
        } else {
            lLow = lMiddle + 1;
        }
    }
    // The last answer may have been "no": solve once more for the model to read.
    SolvesWith(aSolver, aRoot, lLow < aCount ? -aExists(lLow) : 0);
}

/// The search for a model where a formula has a truth, its names (free variables) denoting
/// objects the solver chooses: the target "there are objects the names denote such that the
/// formula has that truth" is built from the inside out, one level per name in alphabetical
/// order, so that each level is a subformula of the one before and the encoder's memo holds its
/// instances, from which the names' objects are read back.
class ModelSearch {
public:
    ModelSearch(const Matrix& aFormula, bool aTruth)
        : mFormula(aFormula), mNames(aFormula.FreeVariables()) {
        std::sort(mNames.begin(), mNames.end(),
                  [](const VariablePtr& fLeft, const VariablePtr& fRight) {
                      return fLeft->Letter() < fRight->Letter();
                  });
        mLevels.resize(mNames.size() + 1);
        mLevels.back() =
            aTruth ? aFormula.SharedFromThis() : Factory::Not(aFormula.SharedFromThis());
        for (size_t lIndex = mNames.size(); lIndex-- > 0;) {
            mLevels[lIndex] = Factory::ThereExists(mNames[lIndex], mLevels[lIndex + 1]);
        }
    }

    FoundModel Find() {
        const Shape lShape = ShapeOf(*mLevels.front());
        return lShape.mBinaryPredications && lShape.mNecessities == 0 ? FindAmongSmallModels()
                                                                      : FindWithinBounds(lShape);
    }

private:
    /// With binary predicates: exactly 1, 2, ... objects, each size encoded afresh.
    FoundModel FindAmongSmallModels() {
        FoundModel lFound;
        for (uint32_t lObjects = 1; lObjects <= MostObjectsOfARelationalModel; ++lObjects) {
            CheckCancellation();
            if (lObjects > 1 &&
                InstancesToEncode(*mLevels.front(), lObjects) > MostInstancesOfASmallModel) {
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

    /// Without binary predicates: up to the bounds, which make the search complete. Of the
    /// models found the one with the fewest objects, or with modal operators the fewest worlds,
    /// the easiest to read; a modal model shows every world with whether the formula holds
    /// there (names are refused beside modal operators before any search).
    FoundModel FindWithinBounds(const Shape& aShape) {
        const bool lModal = aShape.mNecessities > 0;
        if (aShape.mIdentityAcrossWorlds || aShape.mBinaryPredications) {
            throw EngineException(
                "The SAT engine shows no models of a proposition whose identities "
                "compare objects across modal operators, or with binary predicates "
                "beside modal operators.");
        }
        const uint32_t lObjects = ObjectsNeeded(*mLevels.front(), aShape, true);
        const uint32_t lWorlds = WorldsNeeded(aShape);
        RequireEncodable(*mLevels.front(), lObjects, lWorlds);
        SatSolver lSolver;
        Encoder lEncoder(lSolver, lObjects, lWorlds);
        lEncoder.OrderObjectsByKind(mFormula.UnaryPredicates());
        const int32_t lRoot = lEncoder.Encode(*mLevels.front());
        std::vector<int32_t> lHolds;
        for (uint32_t lWorld = 0; lModal && lWorld < lWorlds; ++lWorld) {
            lHolds.push_back(lEncoder.EncodeIn(mFormula, lWorld));
        }
        FoundModel lFound{std::nullopt, lObjects};
        if (!SolvesWith(lSolver, lRoot)) {
            return lFound;
        }
        if (lModal) {
            SolveWithFewest(lSolver, lRoot, lWorlds,
                            [&](uint32_t fWorld) { return lEncoder.WorldExists(fWorld); });
        } else {
            SolveWithFewest(lSolver, lRoot, lObjects,
                            [&](uint32_t fObject) { return lEncoder.Exists(fObject); });
        }
        ModelDescription lModel;
        lModel.mModal = lModal;
        for (uint32_t lWorld = 0;
             lWorld < lWorlds && ValueOf(lSolver, lEncoder.WorldExists(lWorld)); ++lWorld) {
            uint32_t lHeld = 0;
            while (lHeld < lObjects &&
                   ValueOf(lSolver, lEncoder.Exists(lWorld * lObjects + lHeld))) {
                ++lHeld;
            }
            WorldDescription lDescribed = std::move(
                Read(lSolver, lEncoder, lHeld, lWorld * lObjects, lWorld).mWorlds.front());
            if (lModal) {
                lDescribed.mHolds = ValueOf(lSolver, lHolds[lWorld]);
            }
            lModel.mWorlds.push_back(std::move(lDescribed));
        }
        lFound.mModel = std::move(lModel);
        return lFound;
    }

    /// The solver's model of the aObjects objects from aFirstObject on, in world aWorld, as an
    /// explanation shows it.
    ModelDescription Read(const SatSolver& aSolver, Encoder& aEncoder, uint32_t aObjects,
                          uint32_t aFirstObject = 0, uint32_t aWorld = 0) {
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
                    aEncoder.PredicationLiteral(lPredicate->Letter(), aFirstObject + lObject);
                lHolders[lObject] = lLiteral && ValueOf(aSolver, *lLiteral);
            }
            lModel.mUnary.emplace_back(lPredicate->ToString(), std::move(lHolders));
        }
        std::vector<char> lRelations;
        DistinctNodeWalk::ForEachDistinctNode(mFormula, [&](const Matrix& fNode) {
            if (fNode.Kind() == NodeKind::BinaryPredication) {
                lRelations.push_back(
                    static_cast<const BinaryPredication&>(fNode).Predicate()->Letter());
            }
        });
        std::sort(lRelations.begin(), lRelations.end());
        lRelations.erase(std::unique(lRelations.begin(), lRelations.end()), lRelations.end());
        for (const char lRelation : lRelations) {
            std::vector<std::pair<uint32_t, uint32_t>> lPairs;
            for (uint32_t lFirst = 0; lFirst < aObjects; ++lFirst) {
                for (uint32_t lSecond = 0; lSecond < aObjects; ++lSecond) {
                    const std::optional<int32_t> lLiteral =
                        aEncoder.RelationLiteral(lRelation, lFirst, lSecond);
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
                throw EngineException(
                    "The SAT engine found a model without an object for the name {0}.",
                    mNames[lIndex]->ToString());
            }
        }
        return DescribeFiniteModel(lModel, mFormula.ContainsIdentifications());
    }

    const Matrix& mFormula;
    std::vector<VariablePtr> mNames;
    std::vector<MatrixPtr> mLevels;
};

} // namespace

FoundModel FindModel(const Matrix& aFormula, bool aTruth) {
    return ModelSearch(aFormula, aTruth).Find();
}

} // namespace Logic::SatEncoding

#endif
