#pragma once
// BitCircuit: a Boolean circuit over one 32-bit lane number X, and its evaluation for 4096
// consecutive lanes at a time, one bit per lane.
//
// Every input asks whether X has a bit in common with a fixed mask. A kind-of-world number's
// sentence letters and count fields are such inputs (one bit each), and so is "the
// interpretation holds one of these kinds of worlds". The builder folds constants and shares
// equal gates, so a formula whose letters are mostly decided by the high bits of X shrinks to
// a few gates per block.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace Logic {

class BitCircuit {
public:
    using Gate = uint32_t;
    static constexpr Gate False = 0;
    static constexpr Gate True = 1;

    enum class Op : uint8_t { Constant, Input, Not, And, Or, Xor };

    /// Raised by the builder when the circuit would exceed its gate budget.
    class TooLarge : public std::runtime_error {
    public:
        TooLarge() : std::runtime_error("circuit too large") {}
    };

    explicit BitCircuit(size_t aMaximumGates);

    /// True where X & aMask is not zero.
    Gate Input(uint32_t aMask);
    Gate Not(Gate aGate);
    Gate And(Gate aLeft, Gate aRight);
    Gate Or(Gate aLeft, Gate aRight);
    Gate Xor(Gate aLeft, Gate aRight);
    Gate Constant(bool aValue) const { return aValue ? True : False; }

    size_t Size() const { return mOps.size(); }
    Op OpOf(Gate aGate) const { return mOps[aGate]; }
    Gate LeftOf(Gate aGate) const { return mLeft[aGate]; }
    Gate RightOf(Gate aGate) const { return mRight[aGate]; }
    uint32_t MaskOf(Gate aGate) const { return mMasks[aGate]; }

    /// The value of aGate for one lane, walking the circuit: for tests and single lookups.
    bool ValueAt(Gate aGate, uint32_t aLane) const;

private:
    Gate Make(Op aOp, Gate aLeft, Gate aRight, uint32_t aMask);

    size_t mMaximumGates;
    std::vector<Op> mOps;
    std::vector<Gate> mLeft;
    std::vector<Gate> mRight;
    std::vector<uint32_t> mMasks;
    std::unordered_map<uint64_t, Gate> mShared;
};

/// The gates that some outputs need, ready to evaluate block by block. Immutable; share one
/// program between threads, each with its own BlockEvaluator.
class BitProgram {
public:
    static constexpr uint32_t LaneBits = 12;
    static constexpr uint32_t LanesPerBlock = uint32_t{1} << LaneBits;
    static constexpr uint32_t Words = LanesPerBlock / 64;

    BitProgram(const BitCircuit& aCircuit, const std::vector<BitCircuit::Gate>& aOutputs);

    size_t NumberOfSteps() const { return mOps.size(); }

private:
    friend class BlockEvaluator;
    std::vector<BitCircuit::Op> mOps;
    std::vector<uint32_t> mLeft;  // step indices
    std::vector<uint32_t> mRight; // step indices
    std::vector<uint32_t> mHighMasks;
    std::vector<uint32_t> mPatternOf; // inputs: index into mPatterns, or none
    std::vector<uint64_t> mPatterns;  // Words words per input with lane bits below LaneBits
    std::vector<uint32_t> mOutputs;   // step indices
    /// Steps that read only lane bits below LaneBits: the same in every block, so computed in
    /// the first block only.
    std::vector<uint8_t> mInvariant;
};

/// Evaluates a BitProgram for whole blocks of lanes. Owns its scratch memory; allocates only
/// when made.
class BlockEvaluator {
public:
    explicit BlockEvaluator(const BitProgram& aProgram);

    /// Evaluates every output for lanes aBlock * 4096 .. aBlock * 4096 + 4095.
    void Evaluate(uint32_t aBlock);

    /// Output aOutput of the last evaluated block: all zero (Zero), all one (Ones), or lane by
    /// lane in Words words (lane i of the block is bit i % 64 of word i / 64).
    enum class State : uint8_t { Zero, Ones, Lanes };
    State OutputState(size_t aOutput) const;
    const uint64_t* OutputWords(size_t aOutput) const;
    /// Bit i % 64 of word i / 64 of output aOutput, whatever its state.
    uint64_t OutputWord(size_t aOutput, uint32_t aWord) const;

private:
    struct Value {
        State mState;
        const uint64_t* mWords;
    };
    const BitProgram& mProgram;
    bool mInvariantsDone = false;
    std::vector<Value> mValues;
    std::unique_ptr<uint64_t[]> mBuffers; // scratch words, one block per step
};

} // namespace Logic
