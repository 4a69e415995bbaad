// The decision procedure (Decide, the verdict of an argument, the walk over interpretations)
// and the resumable example and counterexample search. Every entry goes through DecideWith or
// FindNextHitWith, which hand the evaluation to the chosen engine (DecisionEngine).

#include "engine/Decision.h"

#include <optional>

#include "engine/DecisionEngine.h"
#include "engine/Predicates.h"
#include "model/Argument.h"
#include "model/EngineException.h"
#include "model/Factory.h"

namespace Logic {

namespace {

/// The search: the cycle of candidates from the one after the last hit, wrapping from aLast to
/// aFirst.
void Search(const PreparedFormula& aPrepared, uint32_t aFirst, uint32_t aLast,
            SearchPosition& aPosition) {
    if (!aPosition.mMightBe) {
        return;
    }
    const uint32_t lStart =
        aPosition.mLastFound ? NextPossibility(*aPosition.mLastFound, aFirst, aLast) : aFirst;
    std::optional<uint32_t> lHit = aPrepared.FirstCounterexample(lStart, aLast);
    if (!lHit && lStart > aFirst) {
        lHit = aPrepared.FirstCounterexample(aFirst, lStart - 1);
    }
    if (lHit) {
        aPosition.mLastFound = lHit;
    } else if (!aPosition.mLastFound) {
        aPosition.mMightBe = false;
    }
}

} // namespace

Alethicity DecideWith(const Matrix& aMatrix, const DecisionEngine& aEngine, const EngineLimits& aLimits) {
    if (!aMatrix.FreeVariables().empty()) {
        if (aMatrix.ContainsModalities()) {
            throw EngineException("This proposition can't be decided; it contains both "
                                  "constants and modal operators.");
        }
        return DecideForFreeVariablesWith(aMatrix, aEngine, aLimits);
    }
    const Predicates lPredicates = aMatrix.CollectPredicates();
    return aEngine.Prepare(aMatrix, lPredicates, aLimits)->Decide();
}

Alethicity DecideForFreeVariablesWith(const Matrix& aMatrix, const DecisionEngine& aEngine,
                                      const EngineLimits& aLimits) {
    const std::vector<VariablePtr> lFree = aMatrix.FreeVariables();
    const MatrixPtr lSelf = aMatrix.SharedFromThis();
    if (DecideWith(*Factory::Bind(lFree, lSelf, &Factory::ForAll), aEngine, aLimits) ==
        Alethicity::Necessary) {
        return Alethicity::Necessary;
    }
    if (DecideWith(*Factory::Bind(lFree, lSelf, &Factory::ThereExists), aEngine, aLimits) ==
        Alethicity::Impossible) {
        return Alethicity::Impossible;
    }
    return Alethicity::Contingent;
}

Quality QualityWith(const Argument& aArgument, const DecisionEngine& aEngine, const EngineLimits& aLimits) {
    if (DecideWith(aArgument, aEngine, aLimits) != Alethicity::Necessary) {
        return Quality::Invalid;
    }
    const bool lInconsistentPremises =
        DecideWith(*aArgument.Left(), aEngine, aLimits) == Alethicity::Impossible;
    const bool lTautologicalConclusion =
        DecideWith(*aArgument.Right(), aEngine, aLimits) == Alethicity::Necessary;
    if (lInconsistentPremises && lTautologicalConclusion) {
        return Quality::InconsistentPremisesAndTautologicalConclusion;
    }
    if (lInconsistentPremises) {
        return Quality::InconsistentPremises;
    }
    return lTautologicalConclusion ? Quality::TautologicalConclusion : Quality::Valid;
}

std::optional<SearchHit> FindNextHitWith(const Matrix& aMatrix, bool aExample,
                                         SearchPosition& aPosition, const DecisionEngine& aEngine,
                                         const EngineLimits& aLimits) {
    // The example search looks for a counterexample to "F is false everywhere".
    const std::vector<VariablePtr> lFree = aMatrix.FreeVariables();
    if (!lFree.empty() && aMatrix.ContainsModalities()) {
        throw EngineException(
            "This proposition can't be evaluated; it contains both constants and modal operators.");
    }
    const MatrixPtr lSelf = aMatrix.SharedFromThis();
    const MatrixPtr lTarget = aExample ? Factory::Bind(lFree, Factory::Not(lSelf), &Factory::ForAll)
                                       : Factory::Bind(lFree, lSelf, &Factory::ForAll);
    SearchHit lHit{lTarget, lTarget->CollectPredicates(), lTarget->ContainsModalities(), 0, {}};
    const Predicates& lPredicates = lHit.mPredicates;
    const bool lModal = lHit.mModal;

    // Modal candidates are interpretations; others are kinds of worlds of the one interpretation.
    const uint32_t lFirst = lModal ? lPredicates.FirstInterpretation() : lPredicates.FirstNonemptyWorld();
    const uint32_t lLast = lModal ? lPredicates.LastInterpretation() : lPredicates.LastKindOfWorld();
    if (lFirst > lLast) {
        aPosition.mMightBe = false; // nothing to enumerate, so nothing can be found
    }
    const std::unique_ptr<PreparedFormula> lPrepared = aEngine.Prepare(*lTarget, lPredicates, aLimits);
    Search(*lPrepared, lFirst, lLast, aPosition);
    if (lModal && aPosition.mLastFound) {
        lHit.mWorlds = lPrepared->TruthInEachWorld(*aPosition.mLastFound);
    }
    if (!aPosition.mLastFound) {
        return std::nullopt;
    }
    lHit.mCandidate = *aPosition.mLastFound;
    return lHit;
}

std::unique_ptr<Counterexample> FindNextWith(const Matrix& aMatrix, bool aExample,
                                             SearchPosition& aPosition, const DecisionEngine& aEngine,
                                             const EngineLimits& aLimits) {
    const std::optional<SearchHit> lHit = FindNextHitWith(aMatrix, aExample, aPosition, aEngine, aLimits);
    if (!lHit) {
        return nullptr;
    }
    if (!lHit->mModal) {
        return std::make_unique<KindOfWorld>(lHit->mPredicates.DecodeKindOfWorldNumber(lHit->mCandidate));
    }
    std::vector<KindOfWorld> lCounterexamples;
    std::vector<KindOfWorld> lNonCounterexamples;
    for (const auto& [lWorld, lTrue] : lHit->mWorlds) {
        (lTrue ? lNonCounterexamples : lCounterexamples)
            .push_back(lHit->mPredicates.DecodeKindOfWorldNumber(lWorld));
    }
    return std::make_unique<ModalCounterexample>(std::move(lCounterexamples),
                                                 std::move(lNonCounterexamples));
}

Alethicity Matrix::Decide() const { return DecideWith(*this, DefaultEngine()); }

Alethicity Matrix::DecideForFreeVariables() const {
    return DecideForFreeVariablesWith(*this, DefaultEngine());
}

Quality Argument::Quality() const {
    // Assigned only once every decision has succeeded, so a failure leaves nothing cached.
    if (!mQuality) {
        mQuality = QualityWith(*this, DefaultEngine());
    }
    return *mQuality;
}

namespace {
std::unique_ptr<Counterexample> FindNextOnNode(const Matrix& aMatrix, bool aExample,
                                               std::optional<uint32_t>& aLastFound, bool& aMightBe) {
    SearchPosition lPosition{aLastFound, aMightBe};
    std::unique_ptr<Counterexample> lFound =
        FindNextWith(aMatrix, aExample, lPosition, DefaultEngine());
    aLastFound = lPosition.mLastFound;
    aMightBe = lPosition.mMightBe;
    return lFound;
}
} // namespace

std::unique_ptr<Counterexample> Matrix::FindNextExample() const {
    return FindNextOnNode(*this, true, mLastExampleFound, mExampleMightBe);
}

std::unique_ptr<Counterexample> Matrix::FindNextCounterexample() const {
    return FindNextOnNode(*this, false, mLastCounterexampleFound, mCounterexampleMightBe);
}

bool Matrix::HasCounterexample(uint32_t aInterpretation, const Predicates& aPredicates) const {
    for (uint32_t lKindOfWorld : aPredicates.KindsOfWorlds(aInterpretation)) {
        if (!TrueIn(aInterpretation, lKindOfWorld, aPredicates)) {
            return true;
        }
    }
    return false;
}

uint32_t NextPossibility(uint32_t aPossibility, uint32_t aFirst, uint32_t aLast) {
    return aPossibility == aLast ? aFirst : aPossibility + 1;
}

} // namespace Logic
