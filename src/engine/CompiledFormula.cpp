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
    WithEnoughStack([this] { BuildCircuit(); });
}

CompiledFormula::~CompiledFormula() = default;

unsigned CompiledFormula::Workers(uint64_t aWork) const {
    return aWork >= mLimits.mParallelWork ? std::max(std::thread::hardware_concurrency(), 1u) : 1u;
}

void CompiledFormula::BuildCircuit() {
    const Predicates& lP = mFlat.mPredicates;
    if (mFirstLane > mLastLane) {
        return;
    }
    const uint64_t lWorldsPerCandidate =
        mFlat.mModal ? (uint64_t{lP.LastKindOfWorld()} + 1) * static_cast<uint64_t>(lP.DistinguishableWorldsWithinAKind())
                     : 1;
    const uint64_t lWork = (uint64_t{mLastLane} - mFirstLane + 1) * lWorldsPerCandidate;
    if (lWork < mLimits.mCircuitWorlds) {
        return;
    }
    // Unrolling must not cost more than the scalar walk would.
    const uint64_t lBudget = std::clamp<uint64_t>(lWork * mFlat.mNodes.size() / 16, mLimits.mMinimumCompileSteps,
                                                  mLimits.mMaximumCompileSteps);
    mProgram = UnrollCircuit(mFlat, lBudget, mLimits);
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
    if (mProgram) {
        const uint32_t lFirstBlock = mFirstLane >> BitProgram::LaneBits;
        const uint64_t lBlocks = (mLastLane >> BitProgram::LaneBits) - lFirstBlock + 1;
        ForeachWithState(
            lBlocks, Workers(lBlocks * mProgram->NumberOfSteps()),
            [&] { return BlockEvaluator(*mProgram); },
            [&](BlockEvaluator& fEvaluator, uint64_t fIndex, bool& fBreak) {
                const uint32_t lBlock = lFirstBlock + static_cast<uint32_t>(fIndex);
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
        },
        mFlat.mDepth > DeepFormula);
    return lSeen.Verdict();
}

std::optional<uint32_t> CompiledFormula::FirstCounterexample(uint32_t aFirst, uint32_t aLast) const {
    if (aFirst > aLast) {
        return std::nullopt;
    }
    if (mProgram) {
        BlockEvaluator lEvaluator(*mProgram);
        for (uint64_t lBlock = aFirst >> BitProgram::LaneBits;
             lBlock <= (aLast >> BitProgram::LaneBits); ++lBlock) {
            const uint32_t lThisBlock = static_cast<uint32_t>(lBlock);
            CheckCancellation();
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
    std::optional<uint32_t> lFound;
    const auto fSearch = [&] {
        ScalarWalk lScalar(mFlat, mLimits);
        for (uint64_t lCandidate = aFirst; lCandidate <= aLast && !lFound; ++lCandidate) {
            CheckCancellation();
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
