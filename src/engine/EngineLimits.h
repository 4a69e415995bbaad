#pragma once
// The sizes at which the compiled evaluator changes its way of working: when a circuit is worth
// unrolling, how large it and its tables may grow, when a decision spreads over workers. The
// defaults are tuned for speed on small machines; tests set them to drive every path.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <thread>

namespace Logic {

struct EngineLimits {
    /// Fewer worlds than this (candidates times their worlds) are left to the scalar walk: a
    /// few hundred worlds are walked faster than a circuit is built.
    uint64_t mCircuitWorlds = uint64_t{1} << 10;
    /// Largest circuit worth unrolling: every gate may need one block of scratch per worker.
    size_t mMaximumGates = size_t{1} << 15;
    /// Bounds on the unrolling work, so that a formula whose circuit would be huge gives up
    /// early; between them the budget follows the scalar walk's expected work.
    uint64_t mMinimumCompileSteps = uint64_t{1} << 12;
    uint64_t mMaximumCompileSteps = uint64_t{1} << 21;
    /// Below this much work (candidates times nodes, or blocks times circuit steps) a decision
    /// stays on the calling thread: starting workers would cost more than they save.
    uint64_t mParallelWork = uint64_t{1} << 21;
    /// Bytes that each of the evaluator's tables may take: the unrolling memo, the lists of
    /// variables free in each node, the Necessity memos of one walk. Past it the table is left
    /// out (no circuit, no memo), which is slower but never wrong.
    size_t mTableBytes = size_t{64} << 20;

    /// Only the scalar walk.
    static EngineLimits ScalarOnly() {
        EngineLimits lLimits;
        lLimits.mCircuitWorlds = UINT64_MAX;
        return lLimits;
    }

    /// A circuit wherever the formula allows one, whatever the size of its space.
    static EngineLimits CircuitWherePossible() {
        EngineLimits lLimits;
        lLimits.mCircuitWorlds = 0;
        lLimits.mMinimumCompileSteps = lLimits.mMaximumCompileSteps;
        return lLimits;
    }

    /// As CircuitWherePossible, and every decision spread over the machine's workers.
    static EngineLimits ParallelCircuit() {
        EngineLimits lLimits = CircuitWherePossible();
        lLimits.mParallelWork = 0;
        return lLimits;
    }
};

/// The workers for aWork steps of one decision: every hardware thread from mParallelWork on,
/// else the calling thread alone.
inline unsigned WorkersFor(uint64_t aWork, const EngineLimits& aLimits) {
    return aWork >= aLimits.mParallelWork ? std::max(std::thread::hardware_concurrency(), 1u) : 1u;
}

} // namespace Logic
