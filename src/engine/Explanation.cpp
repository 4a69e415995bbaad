#include "engine/Explanation.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "engine/DecisionEngine.h"
#include "engine/Predicates.h"
#include "model/EngineException.h"
#include "model/Factory.h"
#include "model/Matrix.h"
#include "model/NullPredicate.h"

namespace Logic {

namespace {
/// Whether a world's objects can make a difference to aTarget: only predicates and identity
/// tell objects apart or count them; without them a world is its sentence letters.
bool ObjectsMatter(const Matrix& aTarget, const Predicates& aPredicates) {
    return !aPredicates.UnaryPredicates().empty() || aTarget.ContainsIdentifications();
}

/// The named objects of one combination: the names of each instance, by instance.
using NamedInstances = std::map<uint32_t, std::vector<std::string>>;

WorldDescription DescribeKindOfWorld(const Predicates& aPredicates, uint32_t aKindOfWorld,
                                     bool aObjectsMatter,
                                     const std::map<uint32_t, NamedInstances>& aNames = {}) {
    WorldDescription lWorld;
    const KindOfWorld lDecoded = aPredicates.DecodeKindOfWorldNumber(aKindOfWorld);
    for (const NullPredicate* lLetter : lDecoded.Predicates()) {
        lWorld.mLetters.emplace_back(lLetter->Description(), lDecoded.Affirms(*lLetter));
    }
    if (!aObjectsMatter) {
        return lWorld;
    }
    // The decoded kinds are the populated combinations in increasing order.
    uint32_t lCombination = 0;
    for (const KindOfObject& lKind : lDecoded.KindsOfObjects()) {
        while (aPredicates.DistinguishableInstancesOfThisPredicateCombination(aKindOfWorld,
                                                                              lCombination) == 0) {
            ++lCombination;
        }
        ObjectKindDescription lObjects;
        lObjects.mCount = lKind.NumberOfDistinguishableInstances();
        for (const UnaryPredicate& lPredicate : lKind.Predicates()) {
            (lKind.Affirms(lPredicate) ? lObjects.mAffirms : lObjects.mDenies)
                .push_back(lPredicate.ToString());
        }
        if (const auto lNamed = aNames.find(lCombination); lNamed != aNames.end()) {
            for (const auto& lInstance : lNamed->second) {
                lObjects.mNamed.push_back(lInstance.second);
                std::sort(lObjects.mNamed.back().begin(), lObjects.mNamed.back().end());
            }
        }
        lWorld.mObjects.push_back(std::move(lObjects));
        ++lCombination;
    }
    return lWorld;
}

/// "There are aNames such that the first of them (one per entry of aObjects) are objects like
/// aObjects and aBody holds": true in kind of world aKindOfWorld exactly when aBody is true under
/// some assignment that gives those names these objects, as the objects of one combination are
/// interchangeable. An object is pinned by every unary predicate's truth and, where its
/// combination holds more than one object, by which of the names before it denote it too.
MatrixPtr Pinned(const std::vector<VariablePtr>& aNames,
                 const std::vector<DistinguishableObject>& aObjects, const MatrixPtr& aBody,
                 const Predicates& aPredicates, uint32_t aKindOfWorld) {
    std::vector<MatrixPtr> lParts;
    for (size_t i = 0; i < aObjects.size(); ++i) {
        for (size_t lIndex = 0; lIndex < aPredicates.UnaryPredicates().size(); ++lIndex) {
            MatrixPtr lPredication = Factory::Predication(
                Factory::UnaryPredicate(aPredicates.UnaryPredicates()[lIndex]->Letter()),
                aNames[i]);
            const bool lHas = ((aObjects[i].mCombination >> lIndex) & 1u) != 0;
            lParts.push_back(lHas ? lPredication : Factory::Not(lPredication));
        }
        const uint32_t lInstances = aPredicates.DistinguishableInstancesOfThisPredicateCombination(
            aKindOfWorld, aObjects[i].mCombination);
        for (size_t j = 0; j < i && lInstances > 1; ++j) {
            if (aObjects[j].mCombination == aObjects[i].mCombination) {
                lParts.push_back(aObjects[j].mInstance == aObjects[i].mInstance
                                     ? Factory::TheSame(aNames[j], aNames[i])
                                     : Factory::NotTheSame(aNames[j], aNames[i]));
            }
        }
    }
    lParts.push_back(aBody);
    return Factory::Bind(aNames, Factory::And(lParts), &Factory::ThereExists);
}

/// The truth of the closed aFormula in aKindOfWorld, by aEngine.
bool TrueInWorld(const Matrix& aFormula, const Predicates& aPredicates, uint32_t aKindOfWorld,
                 const DecisionEngine& aEngine) {
    // Without modal operators a candidate is a kind of world: the formula is true there when
    // that world is no counterexample.
    return !aEngine.Prepare(aFormula, aPredicates, EngineLimits{})
                ->FirstCounterexample(aKindOfWorld, aKindOfWorld);
}

/// Every name (free variable) of aMatrix with an object of kind of world aKindOfWorld (numbered
/// by aPredicates, without modal operators) such that aMatrix is aTruth under that assignment.
/// The names take their objects in alphabetical order, each the first that still leaves an
/// assignment of the names after it; of the objects of a combination that no name holds yet,
/// only the first is tried, as they are interchangeable. Empty when aMatrix has no names.
std::vector<std::pair<VariablePtr, DistinguishableObject>>
NameObjects(const Matrix& aMatrix, bool aTruth, const Predicates& aPredicates,
            uint32_t aKindOfWorld, const DecisionEngine& aEngine) {
    std::vector<VariablePtr> lNames = aMatrix.FreeVariables();
    if (lNames.empty()) {
        return {};
    }
    std::sort(lNames.begin(), lNames.end(),
              [](const VariablePtr& fLeft, const VariablePtr& fRight) {
                  return fLeft->Letter() < fRight->Letter();
              });
    const MatrixPtr lBody =
        aTruth ? aMatrix.SharedFromThis() : Factory::Not(aMatrix.SharedFromThis());
    const auto lCombinations =
        static_cast<uint32_t>(aPredicates.NumberOfCombinationsOfUnaryPredicates());
    // Per combination, how many of its instances the names chosen so far hold: a further name
    // takes one of those or the next, since the objects not yet named are interchangeable.
    std::vector<uint32_t> lUsed(lCombinations, 0);
    std::vector<DistinguishableObject> lObjects;
    for (size_t i = 0; i < lNames.size(); ++i) {
        bool lFound = false;
        for (uint32_t lCombination = 0; !lFound && lCombination < lCombinations; ++lCombination) {
            const uint32_t lInstances =
                std::min(aPredicates.DistinguishableInstancesOfThisPredicateCombination(
                             aKindOfWorld, lCombination),
                         lUsed[lCombination] + 1);
            for (uint32_t lInstance = 0; !lFound && lInstance < lInstances; ++lInstance) {
                lObjects.push_back({lCombination, lInstance});
                if (TrueInWorld(*Pinned(lNames, lObjects, lBody, aPredicates, aKindOfWorld),
                                aPredicates, aKindOfWorld, aEngine)) {
                    lUsed[lCombination] = std::max(lUsed[lCombination], lInstance + 1);
                    lFound = true;
                } else {
                    lObjects.pop_back();
                }
            }
        }
        if (!lFound) {
            throw EngineException("No object of the model can be named {0} so that the statement "
                                  "is {1} there.",
                                  lNames[i]->ToString(), std::string(aTruth ? "true" : "false"));
        }
    }
    std::vector<std::pair<VariablePtr, DistinguishableObject>> lAssignment;
    for (size_t i = 0; i < lNames.size(); ++i) {
        lAssignment.emplace_back(lNames[i], lObjects[i]);
    }
    return lAssignment;
}

std::string JoinedWith(const std::vector<std::string>& aWords, const std::string& aLast,
                       const std::string& aSeparator = ", ") {
    std::string lText;
    for (size_t i = 0; i < aWords.size(); ++i) {
        if (i > 0) {
            lText += i + 1 == aWords.size() ? aLast : aSeparator;
        }
        lText += aWords[i];
    }
    return lText;
}

/// The predicates of a kind of object in words: "F and G and not H nor I".
std::string PredicatesOf(const ObjectKindDescription& aObjects) {
    std::string lText = JoinedWith(aObjects.mAffirms, " and ");
    if (!aObjects.mDenies.empty()) {
        lText += (aObjects.mAffirms.empty() ? "not " : " and not ") +
                 JoinedWith(aObjects.mDenies, " nor ");
    }
    return lText;
}

/// A kind of object in words: "2 objects that are F and not G", then one parenthesis per
/// object of the kind that names denote, holding its names: "1 object that is F (a, b)" (a and
/// b are that object), "3 objects that are F (a) (b)" (a and b are two of the three, the third
/// has no name).
std::string DescribeObjects(const ObjectKindDescription& aObjects) {
    std::string lText =
        std::to_string(aObjects.mCount) + (aObjects.mCount == 1 ? " object" : " objects");
    if (!aObjects.mAffirms.empty() || !aObjects.mDenies.empty()) {
        lText += (aObjects.mCount == 1 ? " that is " : " that are ") + PredicatesOf(aObjects);
    }
    for (const std::vector<std::string>& lNames : aObjects.mNamed) {
        lText += " (" + JoinedWith(lNames, ", ") + ")";
    }
    return lText;
}

/// How a world of a modal model stands to what is explained.
std::string WorldVerdict(bool aHolds, bool aOfArgument) {
    if (aOfArgument) {
        return aHolds ? "not a counterexample" : "the premises true, the conclusion false";
    }
    return aHolds ? "the statement is true" : "the statement is false";
}

std::vector<std::string> ModelLines(const char* aName, const ModelDescription& aModel,
                                    bool aOfArgument) {
    // An argument's counterexample says what it shows; a statement's needs no gloss.
    const std::string lHeading =
        std::string(aName) + (aOfArgument ? " (the premises true, the conclusion false)" : "");
    if (!aModel.mModal) {
        return {lHeading + ": " + DescribeWorld(aModel.mWorlds.front())};
    }
    std::vector<std::string> lLines;
    const size_t lCount = aModel.mWorlds.size();
    lLines.push_back(lHeading + ": " + std::to_string(lCount) +
                     (lCount == 1 ? " possible world" : " possible worlds"));
    for (size_t i = 0; i < lCount; ++i) {
        const WorldDescription& lWorld = aModel.mWorlds[i];
        lLines.push_back("  world " + std::to_string(i + 1) + " (" +
                         WorldVerdict(lWorld.mHolds.value_or(false), aOfArgument) +
                         "): " + DescribeWorld(lWorld));
    }
    return lLines;
}

/// A world of a model with relations, its objects one by one: "3 objects: 1 (a) is F; 2 is not
/// F; 3 is F; L holds between 1 and 2, 2 and 2".
std::string DescribeObjectsAndRelations(const WorldDescription& aWorld) {
    const size_t lCount = aWorld.mObjects.size();
    std::string lText = std::to_string(lCount) + (lCount == 1 ? " object" : " objects");
    std::vector<std::string> lObjects;
    bool lSaysMore = false;
    for (const ObjectKindDescription& lObject : aWorld.mObjects) {
        std::string lOne = std::to_string(lObject.mNumber);
        for (const std::vector<std::string>& lNames : lObject.mNamed) {
            lOne += " (" + JoinedWith(lNames, ", ") + ")";
        }
        if (!lObject.mAffirms.empty() || !lObject.mDenies.empty()) {
            lOne += " is " + PredicatesOf(lObject);
        }
        lSaysMore = lSaysMore || !lObject.mNamed.empty() || !lObject.mAffirms.empty() ||
                    !lObject.mDenies.empty();
        lObjects.push_back(std::move(lOne));
    }
    if (lSaysMore) {
        lText += ": " + JoinedWith(lObjects, "; ", "; ");
    }
    for (const RelationDescription& lRelation : aWorld.mRelations) {
        std::vector<std::string> lPairs;
        for (const auto& [lFirst, lSecond] : lRelation.mPairs) {
            lPairs.push_back(std::to_string(lFirst) + " and " + std::to_string(lSecond));
        }
        lText += "; " + lRelation.mLetter + " holds between " +
                 (lPairs.empty() ? std::string("no objects") : JoinedWith(lPairs, ", ", ", "));
    }
    return lText;
}
} // namespace

std::string DescribeWorld(const WorldDescription& aWorld) {
    std::vector<std::string> lParts;
    for (const auto& [lLetter, lTrue] : aWorld.mLetters) {
        lParts.push_back(lLetter + (lTrue ? " true" : " false"));
    }
    std::string lText = JoinedWith(lParts, ", ");
    if (lParts.empty() && aWorld.mObjects.empty()) {
        return "any world";
    }
    if (!aWorld.mRelations.empty()) {
        return lText + (lText.empty() ? "" : "; ") + DescribeObjectsAndRelations(aWorld);
    }
    std::vector<std::string> lObjects;
    for (const ObjectKindDescription& lKind : aWorld.mObjects) {
        lObjects.push_back(DescribeObjects(lKind));
    }
    if (!lObjects.empty()) {
        lText += (lText.empty() ? "" : "; ") + JoinedWith(lObjects, "; ", "; ");
    }
    return lText;
}

ModelDescription DescribeFiniteModel(const FiniteModel& aModel, bool aIdentity) {
    WorldDescription lWorld;
    lWorld.mLetters = aModel.mLetters;
    std::vector<std::vector<std::string>> lNamesOf(aModel.mObjects);
    for (const auto& [lName, lObject] : aModel.mNames) {
        lNamesOf.at(lObject).push_back(lName);
    }
    for (std::vector<std::string>& lNames : lNamesOf) {
        std::sort(lNames.begin(), lNames.end());
    }
    const auto fDescribe = [&](uint32_t fObject) {
        ObjectKindDescription lObject;
        lObject.mCount = 1;
        for (const auto& [lLetter, lHolders] : aModel.mUnary) {
            (lHolders.at(fObject) ? lObject.mAffirms : lObject.mDenies).push_back(lLetter);
        }
        if (!lNamesOf[fObject].empty()) {
            lObject.mNamed.push_back(lNamesOf[fObject]);
        }
        return lObject;
    };
    if (!aModel.mRelations.empty()) {
        for (uint32_t lObject = 0; lObject < aModel.mObjects; ++lObject) {
            lWorld.mObjects.push_back(fDescribe(lObject));
            lWorld.mObjects.back().mNumber = lObject + 1;
        }
        for (const auto& [lLetter, lPairs] : aModel.mRelations) {
            RelationDescription lRelation{lLetter, {}};
            for (const auto& [lFirst, lSecond] : lPairs) {
                lRelation.mPairs.emplace_back(lFirst + 1, lSecond + 1);
            }
            std::sort(lRelation.mPairs.begin(), lRelation.mPairs.end());
            lWorld.mRelations.push_back(std::move(lRelation));
        }
        return ModelDescription{false, {std::move(lWorld)}};
    }
    if (aModel.mUnary.empty() && !aIdentity) {
        return ModelDescription{false, {std::move(lWorld)}};
    }
    // Kinds by their combination, as the numbering orders them.
    std::map<uint64_t, ObjectKindDescription> lKinds;
    for (uint32_t lObject = 0; lObject < aModel.mObjects; ++lObject) {
        uint64_t lCombination = 0;
        for (size_t lIndex = 0; lIndex < aModel.mUnary.size(); ++lIndex) {
            lCombination |= uint64_t{aModel.mUnary[lIndex].second.at(lObject) ? 1u : 0u} << lIndex;
        }
        ObjectKindDescription lDescribed = fDescribe(lObject);
        auto [lAt, lNew] = lKinds.try_emplace(lCombination, lDescribed);
        if (!lNew) {
            lAt->second.mCount += 1;
            lAt->second.mNamed.insert(lAt->second.mNamed.end(), lDescribed.mNamed.begin(),
                                      lDescribed.mNamed.end());
        }
    }
    for (auto& [lCombination, lKind] : lKinds) {
        std::sort(lKind.mNamed.begin(), lKind.mNamed.end());
        lWorld.mObjects.push_back(std::move(lKind));
    }
    return ModelDescription{false, {std::move(lWorld)}};
}

std::optional<ModelDescription> DescribeFirstHit(PreparedDocument& aDocument, bool aExample) {
    if (aDocument.ExplainedByModels()) {
        return aDocument.Model(aExample).mModel;
    }
    SearchPosition lPosition;
    std::optional<SearchHit> lHit;
    try {
        lHit = aDocument.Search(aExample).FindNext(lPosition);
    } catch (const EngineException& lFailure) {
        // The search reached a binary predicate where the verdict did not: the engine's own
        // models show it, where it finds them.
        if (std::string_view(lFailure.what()) != BinaryPredicatesFailure ||
            !aDocument.DecidedByModels()) {
            throw;
        }
        return aDocument.Model(aExample).mModel;
    }
    if (!lHit) {
        return std::nullopt;
    }
    const bool lObjectsMatter = ObjectsMatter(*lHit->mTarget, lHit->mPredicates);
    ModelDescription lModel;
    lModel.mModal = lHit->mModal;
    if (!lModel.mModal) {
        // The search holds the names closed; the model says which objects they are.
        std::map<uint32_t, NamedInstances> lNames;
        for (const auto& [lName, lObject] :
             NameObjects(aDocument.Root(), aExample, lHit->mPredicates, lHit->mCandidate,
                         aDocument.Engine())) {
            lNames[lObject.mCombination][lObject.mInstance].push_back(lName->ToString());
        }
        lModel.mWorlds.push_back(
            DescribeKindOfWorld(lHit->mPredicates, lHit->mCandidate, lObjectsMatter, lNames));
        return lModel;
    }
    for (const auto& [lKindOfWorld, lTargetTrue] : lHit->mWorlds) {
        WorldDescription lWorld =
            DescribeKindOfWorld(lHit->mPredicates, lKindOfWorld, lObjectsMatter);
        // The example's target is the negation: the statement holds where the target fails.
        lWorld.mHolds = aExample ? !lTargetTrue : lTargetTrue;
        lModel.mWorlds.push_back(std::move(lWorld));
    }
    return lModel;
}

Explanation ExplainStatement(PreparedDocument& aDocument, Alethicity aVerdict) {
    Explanation lExplanation;
    if (aVerdict != Alethicity::Impossible) {
        lExplanation.mExample = DescribeFirstHit(aDocument, true);
    }
    if (aVerdict != Alethicity::Necessary) {
        lExplanation.mCounterexample = DescribeFirstHit(aDocument, false);
    }
    return lExplanation;
}

Explanation ExplainArgument(PreparedDocument& aDocument, Quality aVerdict) {
    Explanation lExplanation;
    lExplanation.mOfArgument = true;
    if (aVerdict == Quality::Invalid) {
        lExplanation.mCounterexample = DescribeFirstHit(aDocument, false);
    }
    return lExplanation;
}

Explanation ExplainStatement(const Matrix& aStatement, Alethicity aVerdict,
                             const DecisionEngine& aEngine) {
    PreparedDocument lDocument(aStatement, aEngine);
    return ExplainStatement(lDocument, aVerdict);
}

Explanation ExplainArgument(const Matrix& aArgument, Quality aVerdict,
                            const DecisionEngine& aEngine) {
    PreparedDocument lDocument(aArgument, aEngine);
    return ExplainArgument(lDocument, aVerdict);
}

std::vector<std::string> ExplanationLines(const Explanation& aExplanation) {
    std::vector<std::string> lLines;
    if (aExplanation.mExample) {
        auto lModel = ModelLines("Example", *aExplanation.mExample, aExplanation.mOfArgument);
        lLines.insert(lLines.end(), lModel.begin(), lModel.end());
    }
    if (aExplanation.mCounterexample) {
        auto lModel =
            ModelLines("Counterexample", *aExplanation.mCounterexample, aExplanation.mOfArgument);
        lLines.insert(lLines.end(), lModel.begin(), lModel.end());
    }
    return lLines;
}

} // namespace Logic
