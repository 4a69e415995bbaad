// The decision procedure (Decide, the verdict of an argument, the walk over interpretations)
// and the resumable example and counterexample search. Every entry goes through DecideWith or
// FindNextWith, the one place that picks the evaluator.

#include "engine/Decision.h"

#include <atomic>
#include <optional>

#include "engine/CompiledFormula.h"
#include "engine/DistinctNodeWalk.h"
#include "engine/ParallelLoop.h"
#include "engine/Predicates.h"
#include "engine/TruthSeen.h"
#include "model/Argument.h"
#include "model/EngineException.h"
#include "model/Factory.h"

namespace Logic {

namespace {

std::atomic<Evaluator> gDefaultEvaluator{Evaluator::Compiled};

/// Up to this many interpretations the reference decides on the calling thread.
constexpr uint64_t SmallSpace = 4096;

/// The nesting depth of aMatrix, which the reference's recursion follows.
int32_t Depth(const Matrix& aMatrix) {
    return DistinctNodeWalk::FoldBottomUp<int32_t>(
        aMatrix, [](const Matrix&, const std::array<int32_t, 2>& fOperands) {
            return std::max(fOperands[0], fOperands[1]) + 1;
        });
}

/// Runs aWork on a large stack only when aMatrix is deep enough for the reference's recursion
/// to need one.
template <typename Work> auto ForReference(const Matrix& aMatrix, Work aWork) -> decltype(aWork()) {
    if (Depth(aMatrix) <= CompiledFormula::DeepFormula) {
        return aWork();
    }
    return OnLargeStack(aWork);
}

Alethicity DecideByReference(const Matrix& aMatrix, const Predicates& aPredicates) {
    const bool lDeep = Depth(aMatrix) > CompiledFormula::DeepFormula;
    PrepareNecessityMemos(aMatrix, aPredicates);
    TruthSeen lSeen;
    const auto lInterpretations = aPredicates.Interpretations();
    Foreach(
        lInterpretations,
        [&](uint32_t fInterpretation, bool& fBreak) {
            for (uint32_t lKindOfWorld : aPredicates.KindsOfWorlds(fInterpretation)) {
                const bool lTrue = aMatrix.TrueIn(fInterpretation, lKindOfWorld, aPredicates);
                if (lSeen.Saw(lTrue, !lTrue)) {
                    fBreak = true;
                    return;
                }
            }
        },
        lInterpretations.size() <= SmallSpace ? 1u : 0u, lDeep);
    return lSeen.Verdict();
}

/// The reference search: one candidate after another from the last hit, as the tree's TrueIn
/// finds them.
void SearchByReference(const Matrix& aTarget, const Predicates& aPredicates, bool aModal,
                       uint32_t aFirst, uint32_t aLast, SearchPosition& aPosition) {
    PrepareNecessityMemos(aTarget, aPredicates);
    uint32_t lCandidate = aPosition.mLastFound.value_or(aLast);
    while (aPosition.mMightBe) {
        lCandidate = NextPossibility(lCandidate, aFirst, aLast);
        const bool lHit =
            aModal ? aTarget.HasCounterexample(lCandidate, aPredicates)
                   : !aTarget.TrueIn(aPredicates.FirstInterpretation(), lCandidate, aPredicates);
        if (lHit) {
            aPosition.mLastFound = lCandidate;
            break;
        }
        if (lCandidate == aLast && !aPosition.mLastFound) {
            aPosition.mMightBe = false;
        }
    }
}

/// The compiled search: the same cycle of candidates, scanned a block at a time.
void SearchCompiled(const CompiledFormula& aCompiled, uint32_t aFirst, uint32_t aLast,
                    SearchPosition& aPosition) {
    if (!aPosition.mMightBe) {
        return;
    }
    const uint32_t lStart =
        aPosition.mLastFound ? NextPossibility(*aPosition.mLastFound, aFirst, aLast) : aFirst;
    std::optional<uint32_t> lHit = aCompiled.FirstCounterexample(lStart, aLast);
    if (!lHit && lStart > aFirst) {
        lHit = aCompiled.FirstCounterexample(aFirst, lStart - 1);
    }
    if (lHit) {
        aPosition.mLastFound = lHit;
    } else if (!aPosition.mLastFound) {
        aPosition.mMightBe = false;
    }
}

} // namespace

Evaluator DefaultEvaluator() { return gDefaultEvaluator.load(std::memory_order_relaxed); }

void SetDefaultEvaluator(Evaluator aEvaluator) {
    gDefaultEvaluator.store(aEvaluator, std::memory_order_relaxed);
}

Alethicity DecideWith(const Matrix& aMatrix, Evaluator aEvaluator, const EngineLimits& aLimits) {
    if (!aMatrix.FreeVariables().empty()) {
        if (aMatrix.ContainsModalities()) {
            throw EngineException("This proposition can't be decided; it contains both "
                                  "constants and modal operators.");
        }
        return DecideForFreeVariablesWith(aMatrix, aEvaluator, aLimits);
    }
    const Predicates lPredicates = aMatrix.CollectPredicates();
    if (aEvaluator == Evaluator::Reference) {
        return DecideByReference(aMatrix, lPredicates);
    }
    return CompiledFormula(aMatrix, lPredicates, aLimits).Decide();
}

Alethicity DecideForFreeVariablesWith(const Matrix& aMatrix, Evaluator aEvaluator,
                                      const EngineLimits& aLimits) {
    const std::vector<VariablePtr> lFree = aMatrix.FreeVariables();
    const MatrixPtr lSelf = aMatrix.SharedFromThis();
    if (DecideWith(*Factory::Bind(lFree, lSelf, &Factory::ForAll), aEvaluator, aLimits) ==
        Alethicity::Necessary) {
        return Alethicity::Necessary;
    }
    if (DecideWith(*Factory::Bind(lFree, lSelf, &Factory::ThereExists), aEvaluator, aLimits) ==
        Alethicity::Impossible) {
        return Alethicity::Impossible;
    }
    return Alethicity::Contingent;
}

Quality QualityWith(const Argument& aArgument, Evaluator aEvaluator, const EngineLimits& aLimits) {
    if (DecideWith(aArgument, aEvaluator, aLimits) != Alethicity::Necessary) {
        return Quality::Invalid;
    }
    const bool lInconsistentPremises =
        DecideWith(*aArgument.Left(), aEvaluator, aLimits) == Alethicity::Impossible;
    const bool lTautologicalConclusion =
        DecideWith(*aArgument.Right(), aEvaluator, aLimits) == Alethicity::Necessary;
    if (lInconsistentPremises && lTautologicalConclusion) {
        return Quality::InconsistentPremisesAndTautologicalConclusion;
    }
    if (lInconsistentPremises) {
        return Quality::InconsistentPremises;
    }
    return lTautologicalConclusion ? Quality::TautologicalConclusion : Quality::Valid;
}

std::optional<SearchHit> FindNextHitWith(const Matrix& aMatrix, bool aExample,
                                         SearchPosition& aPosition, Evaluator aEvaluator,
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
    if (aEvaluator == Evaluator::Reference) {
        ForReference(*lTarget, [&] {
            SearchByReference(*lTarget, lPredicates, lModal, lFirst, lLast, aPosition);
            if (lModal && aPosition.mLastFound) {
                for (uint32_t lWorld : lPredicates.KindsOfWorlds(*aPosition.mLastFound)) {
                    lHit.mWorlds.emplace_back(
                        lWorld, lTarget->TrueIn(*aPosition.mLastFound, lWorld, lPredicates));
                }
            }
            return true;
        });
    } else {
        const CompiledFormula lCompiled(*lTarget, lPredicates, aLimits);
        SearchCompiled(lCompiled, lFirst, lLast, aPosition);
        if (lModal && aPosition.mLastFound) {
            lHit.mWorlds = lCompiled.TruthInEachWorld(*aPosition.mLastFound);
        }
    }
    if (!aPosition.mLastFound) {
        return std::nullopt;
    }
    lHit.mCandidate = *aPosition.mLastFound;
    return lHit;
}

std::unique_ptr<Counterexample> FindNextWith(const Matrix& aMatrix, bool aExample,
                                             SearchPosition& aPosition, Evaluator aEvaluator,
                                             const EngineLimits& aLimits) {
    const std::optional<SearchHit> lHit = FindNextHitWith(aMatrix, aExample, aPosition, aEvaluator, aLimits);
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

Alethicity Matrix::Decide() const { return DecideWith(*this, DefaultEvaluator()); }

Alethicity Matrix::DecideForFreeVariables() const {
    return DecideForFreeVariablesWith(*this, DefaultEvaluator());
}

Quality Argument::Quality() const {
    // Assigned only once every decision has succeeded, so a failure leaves nothing cached.
    if (!mQuality) {
        mQuality = QualityWith(*this, DefaultEvaluator());
    }
    return *mQuality;
}

namespace {
std::unique_ptr<Counterexample> FindNextOnNode(const Matrix& aMatrix, bool aExample,
                                               std::optional<uint32_t>& aLastFound, bool& aMightBe) {
    SearchPosition lPosition{aLastFound, aMightBe};
    std::unique_ptr<Counterexample> lFound =
        FindNextWith(aMatrix, aExample, lPosition, DefaultEvaluator());
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
