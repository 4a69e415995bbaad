// The compiled engine's choices: which of the flat formula's two forms answers (the scalar walk
// or the circuit, unrolled only when it is worth it and the first few candidates have not
// already answered), and on how large a stack. The scans themselves are CircuitScan's and
// ScalarScan's.

#include "engine/CompiledFormula.h"

#include <algorithm>

#include "engine/CircuitScan.h"
#include "engine/CircuitUnrolling.h"
#include "engine/Predicates.h"
#include "engine/ScalarScan.h"
#include "platform/LargeStack.h"

namespace Logic {

namespace {
/// Candidates that the scalar walk tries before a circuit is unrolled.
constexpr uint64_t ProbeCandidates = 64;
} // namespace

CompiledFormula::CompiledFormula(const Matrix& aRoot, const Predicates& aPredicates,
                                 const EngineLimits& aLimits)
    : mLimits(aLimits), mFlat(aRoot, aPredicates, aLimits) {
    if (mFlat.mModal) {
        mFirstLane = aPredicates.FirstInterpretation();
        mLastLane = aPredicates.LastInterpretation();
    } else {
        mFirstLane = aPredicates.FirstNonemptyWorld();
        mLastLane = aPredicates.LastKindOfWorld();
    }
}

CompiledFormula::~CompiledFormula() = default;

uint64_t CompiledFormula::WorldsToWalk() const {
    const Predicates& lP = mFlat.mPredicates;
    const uint64_t lWorldsPerCandidate =
        mFlat.mModal ? (uint64_t{lP.LastKindOfWorld()} + 1) * static_cast<uint64_t>(lP.DistinguishableWorldsWithinAKind())
                     : 1;
    return (uint64_t{mLastLane} - mFirstLane + 1) * lWorldsPerCandidate;
}

bool CompiledFormula::CircuitWorthTrying() const {
    return mFirstLane <= mLastLane && !mFlat.mCanFail && WorldsToWalk() >= mLimits.mCircuitWorlds;
}

const BitProgram* CompiledFormula::Circuit() const {
    if (mCircuitTried) {
        return mProgram.get();
    }
    mCircuitTried = true;
    if (!CircuitWorthTrying()) {
        return nullptr;
    }
    const uint64_t lWork = WorldsToWalk();
    // Unrolling must not cost more than the scalar walk would.
    const uint64_t lBudget = std::clamp<uint64_t>(lWork * mFlat.mNodes.size() / 16, mLimits.mMinimumCompileSteps,
                                                  mLimits.mMaximumCompileSteps);
    WithEnoughStack([&] { mProgram = UnrollCircuit(mFlat, lBudget, mLimits); });
    return mProgram.get();
}

Alethicity CompiledFormula::Decide() const {
    if (mFirstLane > mLastLane) {
        return Alethicity::Necessary;
    }
    if (CircuitWorthTrying() && !mCircuitTried) {
        // The reference stops at the first true and the first false world, often among the
        // first few: finding them costs less than unrolling a circuit, which may yet fail.
        std::optional<Alethicity> lVerdict;
        WithEnoughStack([&] {
            lVerdict = VerdictAmongFirstCandidates(mFlat, mFirstLane, mLastLane, ProbeCandidates, mLimits);
        });
        if (lVerdict) {
            return *lVerdict;
        }
    }
    if (const BitProgram* lProgram = Circuit()) {
        return DecideByCircuit(*lProgram, mFirstLane, mLastLane, mLimits);
    }
    return DecideByScalarWalk(mFlat, mFirstLane, mLastLane, mLimits, mFlat.mDepth > DeepFormula);
}

std::optional<uint32_t> CompiledFormula::FirstCounterexample(uint32_t aFirst, uint32_t aLast) const {
    if (aFirst > aLast) {
        return std::nullopt;
    }
    if (CircuitWorthTrying() && !mCircuitTried) {
        // As in Decide: a hit among the first few candidates is found before any unrolling.
        const uint32_t lProbeLast = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{aFirst} + ProbeCandidates - 1, aLast));
        if (const std::optional<uint32_t> lHit = ScalarFirstCounterexample(aFirst, lProbeLast)) {
            return lHit;
        }
        if (lProbeLast == aLast) {
            return std::nullopt;
        }
        aFirst = lProbeLast + 1;
    }
    if (const BitProgram* lProgram = Circuit()) {
        return FirstCounterexampleByCircuit(*lProgram, aFirst, aLast);
    }
    return ScalarFirstCounterexample(aFirst, aLast);
}

std::optional<uint32_t> CompiledFormula::ScalarFirstCounterexample(uint32_t aFirst, uint32_t aLast) const {
    std::optional<uint32_t> lFound;
    WithEnoughStack([&] { lFound = FirstCounterexampleByScalarWalk(mFlat, aFirst, aLast, mLimits); });
    return lFound;
}

std::vector<std::pair<uint32_t, bool>>
CompiledFormula::TruthInEachWorld(uint32_t aInterpretation) const {
    std::vector<std::pair<uint32_t, bool>> lWorlds;
    WithEnoughStack([&] { lWorlds = TruthInEachWorldByScalarWalk(mFlat, aInterpretation, mLimits); });
    return lWorlds;
}

void CompiledFormula::WithEnoughStack(const std::function<void()>& aWork) const {
    if (mFlat.mDepth > DeepFormula) {
        EnsureLargeStack(aWork);
    } else {
        aWork();
    }
}

} // namespace Logic
