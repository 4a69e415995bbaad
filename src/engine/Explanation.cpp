#include "engine/Explanation.h"

#include "engine/Predicates.h"
#include "model/Matrix.h"
#include "model/NullPredicate.h"

namespace Logic {

namespace {
/// Whether a world's objects can make a difference to aTarget: only predicates and identity
/// tell objects apart or count them; without them a world is its sentence letters.
bool ObjectsMatter(const Matrix& aTarget, const Predicates& aPredicates) {
    return !aPredicates.UnaryPredicates().empty() || aTarget.ContainsIdentifications();
}

WorldDescription DescribeKindOfWorld(const Predicates& aPredicates, uint32_t aKindOfWorld,
                                     bool aObjectsMatter) {
    WorldDescription lWorld;
    const KindOfWorld lDecoded = aPredicates.DecodeKindOfWorldNumber(aKindOfWorld);
    for (const NullPredicate* lLetter : lDecoded.Predicates()) {
        lWorld.mLetters.emplace_back(lLetter->Description(), lDecoded.Affirms(*lLetter));
    }
    if (!aObjectsMatter) {
        return lWorld;
    }
    for (const KindOfObject& lKind : lDecoded.KindsOfObjects()) {
        ObjectKindDescription lObjects;
        lObjects.mCount = lKind.NumberOfDistinguishableInstances();
        for (const UnaryPredicate& lPredicate : lKind.Predicates()) {
            (lKind.Affirms(lPredicate) ? lObjects.mAffirms : lObjects.mDenies)
                .push_back(lPredicate.ToString());
        }
        lWorld.mObjects.push_back(std::move(lObjects));
    }
    return lWorld;
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

std::string DescribeObjects(const ObjectKindDescription& aObjects) {
    std::string lText = std::to_string(aObjects.mCount) +
                        (aObjects.mCount == 1 ? " object" : " objects");
    if (aObjects.mAffirms.empty() && aObjects.mDenies.empty()) {
        return lText;
    }
    lText += aObjects.mCount == 1 ? " that is " : " that are ";
    if (!aObjects.mAffirms.empty()) {
        lText += JoinedWith(aObjects.mAffirms, " and ");
    }
    if (!aObjects.mDenies.empty()) {
        lText += aObjects.mAffirms.empty() ? "not " : " and not ";
        lText += JoinedWith(aObjects.mDenies, " nor ");
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
    std::vector<std::string> lObjects;
    for (const ObjectKindDescription& lKind : aWorld.mObjects) {
        lObjects.push_back(DescribeObjects(lKind));
    }
    if (!lObjects.empty()) {
        lText += (lText.empty() ? "" : "; ") + JoinedWith(lObjects, "; ", "; ");
    }
    return lText;
}

std::optional<ModelDescription> DescribeFirstHit(const Matrix& aMatrix, bool aExample,
                                                 Evaluator aEvaluator) {
    SearchPosition lPosition;
    const std::optional<SearchHit> lHit = FindNextHitWith(aMatrix, aExample, lPosition, aEvaluator);
    if (!lHit) {
        return std::nullopt;
    }
    const bool lObjectsMatter = ObjectsMatter(*lHit->mTarget, lHit->mPredicates);
    ModelDescription lModel;
    lModel.mModal = lHit->mModal;
    if (!lModel.mModal) {
        lModel.mWorlds.push_back(
            DescribeKindOfWorld(lHit->mPredicates, lHit->mCandidate, lObjectsMatter));
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

Explanation ExplainStatement(const Matrix& aStatement, Alethicity aVerdict, Evaluator aEvaluator) {
    Explanation lExplanation;
    if (aVerdict != Alethicity::Impossible) {
        lExplanation.mExample = DescribeFirstHit(aStatement, true, aEvaluator);
    }
    if (aVerdict != Alethicity::Necessary) {
        lExplanation.mCounterexample = DescribeFirstHit(aStatement, false, aEvaluator);
    }
    return lExplanation;
}

Explanation ExplainArgument(const Matrix& aArgument, Quality aVerdict, Evaluator aEvaluator) {
    Explanation lExplanation;
    lExplanation.mOfArgument = true;
    if (aVerdict == Quality::Invalid) {
        lExplanation.mCounterexample = DescribeFirstHit(aArgument, false, aEvaluator);
    }
    return lExplanation;
}

std::vector<std::string> ExplanationLines(const Explanation& aExplanation) {
    std::vector<std::string> lLines;
    if (aExplanation.mExample) {
        auto lModel = ModelLines("Example", *aExplanation.mExample, aExplanation.mOfArgument);
        lLines.insert(lLines.end(), lModel.begin(), lModel.end());
    }
    if (aExplanation.mCounterexample) {
        auto lModel = ModelLines("Counterexample", *aExplanation.mCounterexample,
                                 aExplanation.mOfArgument);
        lLines.insert(lLines.end(), lModel.begin(), lModel.end());
    }
    return lLines;
}

} // namespace Logic
