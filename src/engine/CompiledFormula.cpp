#include "engine/CompiledFormula.h"

#include <algorithm>
#include <bit>
#include <thread>

#include "engine/CircuitUnrolling.h"
#include "engine/ParallelLoop.h"
#include "engine/Predicates.h"
#include "engine/ScalarWalk.h"
#include "engine/TruthSeen.h"
#include "platform/Cancellation.h"
#include "platform/LargeStack.h"

namespace Logic {

namespace {
/// Interpretations per work item of the scalar walk.
constexpr uint64_t ScalarChunk = 256;
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

unsigned CompiledFormula::Workers(uint64_t aWork) const {
    return aWork >= mLimits.mParallelWork ? std::max(std::thread::hardware_concurrency(), 1u) : 1u;
}

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

std::optional<Alethicity> CompiledFormula::ProbeFirstCandidates() const {
    // The reference stops at the first true and the first false world, often among the first
    // few: finding them costs less than unrolling a circuit, which may yet fail.
    std::optional<Alethicity> lVerdict;
    WithEnoughStack([&] {
        TruthSeen lSeen;
        ScalarWalk lScalar(mFlat, mLimits);
        const uint64_t lLast = std::min<uint64_t>(uint64_t{mFirstLane} + ProbeCandidates - 1, mLastLane);
        for (uint64_t lCandidate = mFirstLane; lCandidate <= lLast; ++lCandidate) {
            const auto lInterpretation = static_cast<uint32_t>(lCandidate);
            CheckCancellation(mFlat.mNodes.size());
            for (uint32_t lWorld : mFlat.mPredicates.KindsOfWorlds(lInterpretation)) {
                const bool lTrue = lScalar.TrueIn(mFlat.mRoot, lInterpretation, lWorld);
                if (lSeen.Saw(lTrue, !lTrue)) {
                    lVerdict = Alethicity::Contingent;
                    return;
                }
            }
        }
        if (lLast == mLastLane) {
            lVerdict = lSeen.Verdict();
        }
    });
    return lVerdict;
}

namespace {

/// Lanes of block aBlock's word aWord that lie within aFirst .. aLast.
uint64_t LanesWithin(uint32_t aBlock, uint32_t aWord, uint32_t aFirst, uint32_t aLast) {
    const uint64_t lStart = (uint64_t{aBlock} << BitProgram::LaneBits) + uint64_t{aWord} * 64;
    const uint64_t lEnd = lStart + 63;
    if (lEnd < aFirst || lStart > aLast) {
        return 0;
    }
    uint64_t lMask = ~uint64_t{0};
    if (lStart < aFirst) {
        lMask &= ~uint64_t{0} << (aFirst - lStart);
    }
    if (lEnd > aLast) {
        lMask &= ~uint64_t{0} >> (lEnd - aLast);
    }
    return lMask;
}

/// Whether output aOutput holds for some lane of the block within aFirst .. aLast.
bool AnyWithin(const BlockEvaluator& aEvaluator, size_t aOutput, uint32_t aBlock, uint32_t aFirst,
               uint32_t aLast) {
    switch (aEvaluator.OutputState(aOutput)) {
    case BlockEvaluator::State::Zero:
        return false;
    case BlockEvaluator::State::Ones:
        return true; // every block handed out meets the range
    case BlockEvaluator::State::Lanes:
        break;
    }
    const uint64_t* lWords = aEvaluator.OutputWords(aOutput);
    const uint64_t lBase = uint64_t{aBlock} << BitProgram::LaneBits;
    const bool lWhole = lBase >= aFirst && lBase + BitProgram::LanesPerBlock - 1 <= aLast;
    uint64_t lAny = 0;
    for (uint32_t lWord = 0; lWord < BitProgram::Words; ++lWord) {
        lAny |= lWords[lWord] & (lWhole ? ~uint64_t{0} : LanesWithin(aBlock, lWord, aFirst, aLast));
    }
    return lAny != 0;
}

} // namespace

Alethicity CompiledFormula::Decide() const {
    TruthSeen lSeen;
    const auto fSeen = [&](bool fTrue, bool fFalse, bool& fBreak) {
        if (lSeen.Saw(fTrue, fFalse)) {
            fBreak = true;
        }
    };
    if (mFirstLane > mLastLane) {
        return Alethicity::Necessary;
    }
    if (CircuitWorthTrying() && !mCircuitTried) {
        if (const std::optional<Alethicity> lVerdict = ProbeFirstCandidates()) {
            return *lVerdict;
        }
    }
    if (const BitProgram* lProgram = Circuit()) {
        const uint32_t lFirstBlock = mFirstLane >> BitProgram::LaneBits;
        const uint64_t lBlocks = (mLastLane >> BitProgram::LaneBits) - lFirstBlock + 1;
        ForeachWithState(
            lBlocks, Workers(lBlocks * lProgram->NumberOfSteps()),
            [&] { return BlockEvaluator(*lProgram); },
            [&](BlockEvaluator& fEvaluator, uint64_t fIndex, bool& fBreak) {
                const uint32_t lBlock = lFirstBlock + static_cast<uint32_t>(fIndex);
                // A block is a step per gate, so that a work limit means alike for both paths.
                CheckCancellation(lProgram->NumberOfSteps());
                fEvaluator.Evaluate(lBlock);
                fSeen(AnyWithin(fEvaluator, 0, lBlock, mFirstLane, mLastLane),
                      AnyWithin(fEvaluator, 1, lBlock, mFirstLane, mLastLane), fBreak);
            },
            false);
        return lSeen.Verdict();
    }
    const uint64_t lCandidates = uint64_t{mLastLane} - mFirstLane + 1;
    const uint64_t lChunks = (lCandidates + ScalarChunk - 1) / ScalarChunk;
    ForeachWithState(
        lChunks, Workers(lCandidates * mFlat.mNodes.size()), [&] { return ScalarWalk(mFlat, mLimits); },
        [&](ScalarWalk& fScalar, uint64_t fChunk, bool& fBreak) {
            const uint64_t lStart = mFirstLane + fChunk * ScalarChunk;
            const uint64_t lEnd = std::min<uint64_t>(lStart + ScalarChunk - 1, mLastLane);
            for (uint64_t lCandidate = lStart; lCandidate <= lEnd; ++lCandidate) {
                const uint32_t lInterpretation = static_cast<uint32_t>(lCandidate);
                for (uint32_t lWorld : mFlat.mPredicates.KindsOfWorlds(lInterpretation)) {
                    const bool lTrue = fScalar.TrueIn(mFlat.mRoot, lInterpretation, lWorld);
                    fSeen(lTrue, !lTrue, fBreak);
                    if (fBreak) {
                        return;
                    }
                }
            }
            // The walk counts steps only per object and per modal world: a propositional chunk
            // is charged as the reference would count it, a step per node and world.
            CheckCancellation((lEnd - lStart + 1) * mFlat.mNodes.size());
        },
        mFlat.mDepth > DeepFormula);
    return lSeen.Verdict();
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
        BlockEvaluator lEvaluator(*lProgram);
        for (uint64_t lBlock = aFirst >> BitProgram::LaneBits;
             lBlock <= (aLast >> BitProgram::LaneBits); ++lBlock) {
            const uint32_t lThisBlock = static_cast<uint32_t>(lBlock);
            CheckCancellation(lProgram->NumberOfSteps());
            lEvaluator.Evaluate(lThisBlock);
            for (uint32_t lWord = 0; lWord < BitProgram::Words; ++lWord) {
                const uint64_t lHits =
                    lEvaluator.OutputWord(1, lWord) & LanesWithin(lThisBlock, lWord, aFirst, aLast);
                if (lHits != 0) {
                    return static_cast<uint32_t>((lBlock << BitProgram::LaneBits) + lWord * 64 +
                                                 static_cast<uint32_t>(std::countr_zero(lHits)));
                }
            }
        }
        return std::nullopt;
    }
    return ScalarFirstCounterexample(aFirst, aLast);
}

std::optional<uint32_t> CompiledFormula::ScalarFirstCounterexample(uint32_t aFirst, uint32_t aLast) const {
    std::optional<uint32_t> lFound;
    const auto fSearch = [&] {
        ScalarWalk lScalar(mFlat, mLimits);
        for (uint64_t lCandidate = aFirst; lCandidate <= aLast && !lFound; ++lCandidate) {
            CheckCancellation(mFlat.mNodes.size());
            const uint32_t lNumber = static_cast<uint32_t>(lCandidate);
            if (mFlat.mModal) {
                for (uint32_t lWorld : mFlat.mPredicates.KindsOfWorlds(lNumber)) {
                    if (!lScalar.TrueIn(mFlat.mRoot, lNumber, lWorld)) {
                        lFound = lNumber;
                        break;
                    }
                }
            } else if (!lScalar.TrueIn(mFlat.mRoot, mFlat.mPredicates.FirstInterpretation(), lNumber)) {
                lFound = lNumber;
            }
        }
    };
    WithEnoughStack(fSearch);
    return lFound;
}

bool CompiledFormula::TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld) const {
    bool lTrue = false;
    WithEnoughStack([&] { lTrue = ScalarWalk(mFlat, mLimits).TrueIn(mFlat.mRoot, aInterpretation, aKindOfWorld); });
    return lTrue;
}

std::vector<std::pair<uint32_t, bool>>
CompiledFormula::TruthInEachWorld(uint32_t aInterpretation) const {
    std::vector<std::pair<uint32_t, bool>> lWorlds;
    WithEnoughStack([&] {
        ScalarWalk lScalar(mFlat, mLimits);
        for (uint32_t lWorld : mFlat.mPredicates.KindsOfWorlds(aInterpretation)) {
            lWorlds.emplace_back(lWorld, lScalar.TrueIn(mFlat.mRoot, aInterpretation, lWorld));
        }
    });
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
