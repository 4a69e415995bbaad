// The decision procedure (Decide, the verdict of an argument, the parallel walk over
// interpretations) and the resumable example and counterexample search.

#include "engine/Decision.h"

#include <atomic>
#include <optional>

#include "engine/ParallelLoop.h"
#include "engine/Predicates.h"
#include "model/Argument.h"
#include "model/EngineException.h"
#include "model/Factory.h"

namespace Logic {

namespace {

/// Runs aWork on a large stack, since the formula may be nested too deep for the caller's.
template <typename Work> auto OnLargeStack(Work aWork) -> decltype(aWork()) {
    std::optional<decltype(aWork())> lResult;
    EnsureLargeStack([&] { lResult.emplace(aWork()); });
    return std::move(*lResult);
}

void SetOnce(std::atomic<bool>& aFlag) {
    // Reading first keeps the flag's cache line shared while it is already set.
    if (!aFlag.load(std::memory_order_relaxed)) {
        aFlag.store(true, std::memory_order_relaxed);
    }
}

/// The example search looks for a counterexample to "F is false everywhere".
std::unique_ptr<Counterexample> FindNext(const Matrix& aMatrix, bool aExample) {
    const std::vector<VariablePtr> lFree = aMatrix.FreeVariables();
    if (!lFree.empty() && aMatrix.ContainsModalities()) {
        throw EngineException(
            "This proposition can't be evaluated; it contains both constants and modal operators.");
    }
    const MatrixPtr lSelf = aMatrix.SharedFromThis();
    const MatrixPtr lTarget = aExample ? Factory::Bind(lFree, Factory::Not(lSelf), &Factory::ForAll)
                                       : Factory::Bind(lFree, lSelf, &Factory::ForAll);
    const Predicates lPredicates = lTarget->CollectPredicates();
    PrepareNecessityMemos(*lTarget, lPredicates);

    std::optional<uint32_t>& lLastFound =
        aExample ? aMatrix.mLastExampleFound : aMatrix.mLastCounterexampleFound;
    bool& lMightBe = aExample ? aMatrix.mExampleMightBe : aMatrix.mCounterexampleMightBe;
    const bool lModal = lTarget->ContainsModalities();

    // Modal candidates are interpretations; others are kinds of worlds of the one interpretation.
    const uint32_t lFirst = lModal ? lPredicates.FirstInterpretation() : lPredicates.FirstNonemptyWorld();
    const uint32_t lLast = lModal ? lPredicates.LastInterpretation() : lPredicates.LastKindOfWorld();
    if (lFirst > lLast) {
        lMightBe = false; // nothing to enumerate, so nothing can be found
    }
    uint32_t lCandidate = lLastFound.value_or(lLast);
    while (lMightBe) {
        lCandidate = NextPossibility(lCandidate, lFirst, lLast);
        const bool lHit =
            lModal ? lTarget->HasCounterexample(lCandidate, lPredicates)
                   : !lTarget->TrueIn(lPredicates.FirstInterpretation(), lCandidate, lPredicates);
        if (lHit) {
            lLastFound = lCandidate;
            break;
        }
        if (lCandidate == lLast && !lLastFound) {
            lMightBe = false;
        }
    }
    if (!lLastFound) {
        return nullptr;
    }
    if (lModal) {
        return std::make_unique<ModalCounterexample>(
            ConstructModalCounterexample(*lTarget, *lLastFound, lPredicates));
    }
    return std::make_unique<KindOfWorld>(lPredicates.DecodeKindOfWorldNumber(*lLastFound));
}

} // namespace

Alethicity Matrix::Decide() const {
    return OnLargeStack([this] {
        if (!FreeVariables().empty()) {
            if (ContainsModalities()) {
                throw EngineException("This proposition can't be decided; it contains both "
                                      "constants and modal operators.");
            }
            return DecideForFreeVariables();
        }
        const Predicates lPredicates = CollectPredicates();
        PrepareNecessityMemos(*this, lPredicates);
        std::atomic<bool> lNotImpossible{false};
        std::atomic<bool> lNotNecessary{false};
        Foreach(lPredicates.Interpretations(), [&](uint32_t fInterpretation, bool& fBreak) {
            for (uint32_t lKindOfWorld : lPredicates.KindsOfWorlds(fInterpretation)) {
                SetOnce(TrueIn(fInterpretation, lKindOfWorld, lPredicates) ? lNotImpossible
                                                                           : lNotNecessary);
                if (lNotImpossible.load(std::memory_order_relaxed) &&
                    lNotNecessary.load(std::memory_order_relaxed)) {
                    fBreak = true;
                    return;
                }
            }
        });
        const bool lSomeTrue = lNotImpossible.load();
        const bool lSomeFalse = lNotNecessary.load();
        if (lSomeTrue && lSomeFalse) {
            return Alethicity::Contingent;
        }
        return lSomeFalse ? Alethicity::Impossible : Alethicity::Necessary;
    });
}

Alethicity Matrix::DecideForFreeVariables() const {
    const std::vector<VariablePtr> lFree = FreeVariables();
    const MatrixPtr lSelf = SharedFromThis();
    if (Factory::Bind(lFree, lSelf, &Factory::ForAll)->Decide() == Alethicity::Necessary) {
        return Alethicity::Necessary;
    }
    if (Factory::Bind(lFree, lSelf, &Factory::ThereExists)->Decide() == Alethicity::Impossible) {
        return Alethicity::Impossible;
    }
    return Alethicity::Contingent;
}

Quality Argument::Quality() const {
    if (mQuality) {
        return *mQuality;
    }
    // Assigned only once every decision has succeeded, so a failure leaves nothing cached.
    if (Decide() != Alethicity::Necessary) {
        mQuality = Logic::Quality::Invalid;
        return *mQuality;
    }
    const bool lInconsistentPremises = Left()->Decide() == Alethicity::Impossible;
    const bool lTautologicalConclusion = Right()->Decide() == Alethicity::Necessary;
    if (lInconsistentPremises && lTautologicalConclusion) {
        mQuality = Logic::Quality::InconsistentPremisesAndTautologicalConclusion;
    } else if (lInconsistentPremises) {
        mQuality = Logic::Quality::InconsistentPremises;
    } else if (lTautologicalConclusion) {
        mQuality = Logic::Quality::TautologicalConclusion;
    } else {
        mQuality = Logic::Quality::Valid;
    }
    return *mQuality;
}

std::unique_ptr<Counterexample> Matrix::FindNextExample() const {
    return OnLargeStack([this] { return FindNext(*this, true); });
}

std::unique_ptr<Counterexample> Matrix::FindNextCounterexample() const {
    return OnLargeStack([this] { return FindNext(*this, false); });
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

ModalCounterexample ConstructModalCounterexample(const Matrix& aMatrix, uint32_t aInterpretation,
                                                 const Predicates& aPredicates) {
    std::vector<KindOfWorld> lCounterexamples;
    std::vector<KindOfWorld> lNonCounterexamples;
    for (uint32_t lKindOfWorld : aPredicates.KindsOfWorlds(aInterpretation)) {
        auto& lSide = aMatrix.TrueIn(aInterpretation, lKindOfWorld, aPredicates)
                          ? lNonCounterexamples
                          : lCounterexamples;
        lSide.push_back(aPredicates.DecodeKindOfWorldNumber(lKindOfWorld));
    }
    return ModalCounterexample(std::move(lCounterexamples), std::move(lNonCounterexamples));
}

} // namespace Logic
