#include "engine/CircuitScan.h"

#include <bit>

#include "engine/ParallelLoop.h"
#include "engine/TruthSeen.h"
#include "platform/Cancellation.h"

namespace Logic {

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

Alethicity DecideByCircuit(const BitProgram& aProgram, uint32_t aFirst, uint32_t aLast,
                           const EngineLimits& aLimits) {
    TruthSeen lSeen;
    const uint32_t lFirstBlock = aFirst >> BitProgram::LaneBits;
    const uint64_t lBlocks = (aLast >> BitProgram::LaneBits) - lFirstBlock + 1;
    ForeachWithState(
        lBlocks, WorkersFor(lBlocks * aProgram.NumberOfSteps(), aLimits),
        [&] { return BlockEvaluator(aProgram); },
        [&](BlockEvaluator& fEvaluator, uint64_t fIndex, bool& fBreak) {
            const uint32_t lBlock = lFirstBlock + static_cast<uint32_t>(fIndex);
            // A block is a step per gate, so that a work limit means alike for both paths.
            CheckCancellation(aProgram.NumberOfSteps());
            fEvaluator.Evaluate(lBlock);
            if (lSeen.Saw(AnyWithin(fEvaluator, 0, lBlock, aFirst, aLast),
                          AnyWithin(fEvaluator, 1, lBlock, aFirst, aLast))) {
                fBreak = true;
            }
        },
        false);
    return lSeen.Verdict();
}

std::optional<uint32_t> FirstCounterexampleByCircuit(const BitProgram& aProgram, uint32_t aFirst,
                                                     uint32_t aLast) {
    BlockEvaluator lEvaluator(aProgram);
    for (uint64_t lBlock = aFirst >> BitProgram::LaneBits; lBlock <= (aLast >> BitProgram::LaneBits);
         ++lBlock) {
        const uint32_t lThisBlock = static_cast<uint32_t>(lBlock);
        CheckCancellation(aProgram.NumberOfSteps());
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

} // namespace Logic
