#include "engine/ScalarScan.h"

#include <algorithm>

#include "engine/ParallelLoop.h"
#include "engine/Predicates.h"
#include "engine/ScalarWalk.h"
#include "engine/TruthSeen.h"
#include "platform/Cancellation.h"

namespace Logic {

namespace {
/// Candidates per work item of the verdict.
constexpr uint64_t ScalarChunk = 256;
} // namespace

Alethicity DecideByScalarWalk(const FlatFormula& aFormula, uint32_t aFirst, uint32_t aLast,
                              const EngineLimits& aLimits, bool aDeep) {
    TruthSeen lSeen;
    const uint64_t lCandidates = uint64_t{aLast} - aFirst + 1;
    const uint64_t lChunks = (lCandidates + ScalarChunk - 1) / ScalarChunk;
    ForeachWithState(
        lChunks, WorkersFor(lCandidates * aFormula.mNodes.size(), aLimits),
        [&] { return ScalarWalk(aFormula, aLimits); },
        [&](ScalarWalk& fScalar, uint64_t fChunk, bool& fBreak) {
            const uint64_t lStart = aFirst + fChunk * ScalarChunk;
            const uint64_t lEnd = std::min<uint64_t>(lStart + ScalarChunk - 1, aLast);
            for (uint64_t lCandidate = lStart; lCandidate <= lEnd; ++lCandidate) {
                const uint32_t lInterpretation = static_cast<uint32_t>(lCandidate);
                for (uint32_t lWorld : aFormula.mPredicates.KindsOfWorlds(lInterpretation)) {
                    const bool lTrue = fScalar.TrueIn(aFormula.mRoot, lInterpretation, lWorld);
                    if (lSeen.Saw(lTrue, !lTrue)) {
                        fBreak = true;
                        return;
                    }
                }
            }
            // The walk counts steps only per object and per modal world: a propositional chunk
            // is charged as the reference would count it, a step per node and world.
            CheckCancellation((lEnd - lStart + 1) * aFormula.mNodes.size());
        },
        aDeep);
    return lSeen.Verdict();
}

std::optional<Alethicity> VerdictAmongFirstCandidates(const FlatFormula& aFormula, uint32_t aFirst,
                                                      uint32_t aLast, uint64_t aCount,
                                                      const EngineLimits& aLimits) {
    TruthSeen lSeen;
    ScalarWalk lScalar(aFormula, aLimits);
    const uint64_t lLast = std::min<uint64_t>(uint64_t{aFirst} + aCount - 1, aLast);
    for (uint64_t lCandidate = aFirst; lCandidate <= lLast; ++lCandidate) {
        const auto lInterpretation = static_cast<uint32_t>(lCandidate);
        CheckCancellation(aFormula.mNodes.size());
        for (uint32_t lWorld : aFormula.mPredicates.KindsOfWorlds(lInterpretation)) {
            const bool lTrue = lScalar.TrueIn(aFormula.mRoot, lInterpretation, lWorld);
            if (lSeen.Saw(lTrue, !lTrue)) {
                return Alethicity::Contingent;
            }
        }
    }
    if (lLast == aLast) {
        return lSeen.Verdict();
    }
    return std::nullopt;
}

std::optional<uint32_t> FirstCounterexampleByScalarWalk(const FlatFormula& aFormula, uint32_t aFirst,
                                                        uint32_t aLast, const EngineLimits& aLimits) {
    ScalarWalk lScalar(aFormula, aLimits);
    for (uint64_t lCandidate = aFirst; lCandidate <= aLast; ++lCandidate) {
        CheckCancellation(aFormula.mNodes.size());
        const uint32_t lNumber = static_cast<uint32_t>(lCandidate);
        if (aFormula.mModal) {
            for (uint32_t lWorld : aFormula.mPredicates.KindsOfWorlds(lNumber)) {
                if (!lScalar.TrueIn(aFormula.mRoot, lNumber, lWorld)) {
                    return lNumber;
                }
            }
        } else if (!lScalar.TrueIn(aFormula.mRoot, aFormula.mPredicates.FirstInterpretation(), lNumber)) {
            return lNumber;
        }
    }
    return std::nullopt;
}

std::vector<std::pair<uint32_t, bool>> TruthInEachWorldByScalarWalk(const FlatFormula& aFormula,
                                                                    uint32_t aInterpretation,
                                                                    const EngineLimits& aLimits) {
    std::vector<std::pair<uint32_t, bool>> lWorlds;
    ScalarWalk lScalar(aFormula, aLimits);
    for (uint32_t lWorld : aFormula.mPredicates.KindsOfWorlds(aInterpretation)) {
        lWorlds.emplace_back(lWorld, lScalar.TrueIn(aFormula.mRoot, aInterpretation, lWorld));
    }
    return lWorlds;
}

} // namespace Logic
