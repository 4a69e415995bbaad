#include "engine/BitCircuit.h"

#include <algorithm>
#include <cassert>

namespace Logic {

namespace {

using Gate = BitCircuit::Gate;
using Op = BitCircuit::Op;

uint64_t Key(Op aOp, Gate aLeft, Gate aRight, uint32_t aMask) {
    if (aOp == Op::Input) {
        return (uint64_t{1} << 63) | aMask;
    }
    assert(aLeft < (Gate{1} << 29) && aRight < (Gate{1} << 29) && "gate numbers are packed in 29 bits");
    return (uint64_t{static_cast<uint8_t>(aOp)} << 58) | (uint64_t{aLeft} << 29) | aRight;
}

/// Lane l of a word (0 .. 63) has its bit set when l & aMask is not zero.
uint64_t LowPattern(uint32_t aMask) {
    uint64_t lPattern = 0;
    for (uint32_t lLane = 0; lLane < 64; ++lLane) {
        if ((lLane & aMask) != 0) {
            lPattern |= uint64_t{1} << lLane;
        }
    }
    return lPattern;
}

} // namespace

BitCircuit::BitCircuit(size_t aMaximumGates)
    : mMaximumGates(std::clamp<size_t>(aMaximumGates, 2, size_t{1} << 29)) {
    // Gates 0 and 1 are the constants False and True.
    for (uint32_t lValue = 0; lValue < 2; ++lValue) {
        mOps.push_back(Op::Constant);
        mLeft.push_back(0);
        mRight.push_back(0);
        mMasks.push_back(lValue);
    }
}

Gate BitCircuit::Make(Op aOp, Gate aLeft, Gate aRight, uint32_t aMask) {
    const uint64_t lKey = Key(aOp, aLeft, aRight, aMask);
    const auto lFound = mShared.find(lKey);
    if (lFound != mShared.end()) {
        return lFound->second;
    }
    if (mOps.size() >= mMaximumGates) {
        throw TooLarge();
    }
    const Gate lGate = static_cast<Gate>(mOps.size());
    mOps.push_back(aOp);
    mLeft.push_back(aLeft);
    mRight.push_back(aRight);
    mMasks.push_back(aMask);
    mShared.emplace(lKey, lGate);
    return lGate;
}

Gate BitCircuit::Input(uint32_t aMask) {
    return aMask == 0 ? False : Make(Op::Input, 0, 0, aMask);
}

Gate BitCircuit::Not(Gate aGate) {
    if (aGate <= True) {
        return aGate ^ 1u;
    }
    if (mOps[aGate] == Op::Not) {
        return mLeft[aGate];
    }
    return Make(Op::Not, aGate, 0, 0);
}

namespace {
bool Complementary(const std::vector<Op>& aOps, const std::vector<Gate>& aLeft, Gate aA, Gate aB) {
    return (aOps[aA] == Op::Not && aLeft[aA] == aB) || (aOps[aB] == Op::Not && aLeft[aB] == aA);
}
} // namespace

Gate BitCircuit::And(Gate aLeft, Gate aRight) {
    if (aLeft > aRight) {
        std::swap(aLeft, aRight);
    }
    if (aLeft == False || aLeft == True || aLeft == aRight) {
        return aLeft == True ? aRight : aLeft;
    }
    if (Complementary(mOps, mLeft, aLeft, aRight)) {
        return False;
    }
    if (mOps[aLeft] == Op::Not && mOps[aRight] == Op::Not && mOps[mLeft[aLeft]] == Op::Input &&
        mOps[mLeft[aRight]] == Op::Input) {
        return Not(Input(mMasks[mLeft[aLeft]] | mMasks[mLeft[aRight]]));
    }
    return Make(Op::And, aLeft, aRight, 0);
}

Gate BitCircuit::Or(Gate aLeft, Gate aRight) {
    if (aLeft > aRight) {
        std::swap(aLeft, aRight);
    }
    if (aLeft == False || aLeft == True || aLeft == aRight) {
        return aLeft == False ? aRight : aLeft;
    }
    if (Complementary(mOps, mLeft, aLeft, aRight)) {
        return True;
    }
    // X meets a or X meets b is X meets a | b: a quantifier over the combinations of a kind of
    // world becomes one test of its count fields.
    if (mOps[aLeft] == Op::Input && mOps[aRight] == Op::Input) {
        return Input(mMasks[aLeft] | mMasks[aRight]);
    }
    return Make(Op::Or, aLeft, aRight, 0);
}

Gate BitCircuit::Xor(Gate aLeft, Gate aRight) {
    if (aLeft > aRight) {
        std::swap(aLeft, aRight);
    }
    if (aLeft == False) {
        return aRight;
    }
    if (aLeft == True) {
        return Not(aRight);
    }
    if (aLeft == aRight) {
        return False;
    }
    if (Complementary(mOps, mLeft, aLeft, aRight)) {
        return True;
    }
    return Make(Op::Xor, aLeft, aRight, 0);
}

bool BitCircuit::ValueAt(Gate aGate, uint32_t aLane) const {
    // Gates only refer to gates made before them, so one ascending pass over the needed ones
    // computes everything.
    std::vector<int8_t> lValues(aGate + 1, -1);
    std::vector<Gate> lPending{aGate};
    while (!lPending.empty()) {
        const Gate lGate = lPending.back();
        if (lValues[lGate] >= 0) {
            lPending.pop_back();
            continue;
        }
        const Op lOp = mOps[lGate];
        const bool lBinary = lOp == Op::And || lOp == Op::Or || lOp == Op::Xor;
        if (lOp == Op::Not || lBinary) {
            const Gate lLeft = mLeft[lGate];
            const Gate lRight = lBinary ? mRight[lGate] : lLeft;
            if (lValues[lLeft] < 0 || lValues[lRight] < 0) {
                lPending.push_back(lLeft);
                lPending.push_back(lRight);
                continue;
            }
        }
        lPending.pop_back();
        const bool lA = lOp == Op::Not || lBinary ? lValues[mLeft[lGate]] != 0 : false;
        const bool lB = lBinary ? lValues[mRight[lGate]] != 0 : false;
        bool lValue = false;
        switch (lOp) {
        case Op::Constant:
            lValue = mMasks[lGate] != 0;
            break;
        case Op::Input:
            lValue = (aLane & mMasks[lGate]) != 0;
            break;
        case Op::Not:
            lValue = !lA;
            break;
        case Op::And:
            lValue = lA && lB;
            break;
        case Op::Or:
            lValue = lA || lB;
            break;
        case Op::Xor:
            lValue = lA != lB;
            break;
        }
        lValues[lGate] = lValue ? 1 : 0;
    }
    return lValues[aGate] != 0;
}

// ---- BitProgram ------------------------------------------------------------------------------

BitProgram::BitProgram(const BitCircuit& aCircuit, const std::vector<BitCircuit::Gate>& aOutputs) {
    // Keep only the gates the outputs need, in ascending order (operands come first).
    std::vector<bool> lNeeded(aCircuit.Size(), false);
    std::vector<Gate> lPending(aOutputs.begin(), aOutputs.end());
    while (!lPending.empty()) {
        const Gate lGate = lPending.back();
        lPending.pop_back();
        if (lNeeded[lGate]) {
            continue;
        }
        lNeeded[lGate] = true;
        const Op lOp = aCircuit.OpOf(lGate);
        if (lOp == Op::Not || lOp == Op::And || lOp == Op::Or || lOp == Op::Xor) {
            lPending.push_back(aCircuit.LeftOf(lGate));
        }
        if (lOp == Op::And || lOp == Op::Or || lOp == Op::Xor) {
            lPending.push_back(aCircuit.RightOf(lGate));
        }
    }
    constexpr uint32_t lNone = UINT32_MAX;
    constexpr uint32_t lLowLanes = LanesPerBlock - 1;
    std::vector<uint32_t> lStepOf(aCircuit.Size(), lNone);
    for (Gate lGate = 0; lGate < aCircuit.Size(); ++lGate) {
        if (!lNeeded[lGate]) {
            continue;
        }
        lStepOf[lGate] = static_cast<uint32_t>(mOps.size());
        const Op lOp = aCircuit.OpOf(lGate);
        mOps.push_back(lOp);
        mLeft.push_back(lOp == Op::Constant || lOp == Op::Input ? 0 : lStepOf[aCircuit.LeftOf(lGate)]);
        const bool lBinary = lOp == Op::And || lOp == Op::Or || lOp == Op::Xor;
        mRight.push_back(lBinary ? lStepOf[aCircuit.RightOf(lGate)] : 0);
        const uint32_t lMask = aCircuit.MaskOf(lGate);
        bool lInvariant = lOp == Op::Constant || (lOp == Op::Input && (lMask & ~lLowLanes) == 0);
        if (lOp == Op::Not || lBinary) {
            lInvariant = mInvariant[mLeft.back()] != 0 && (!lBinary || mInvariant[mRight.back()] != 0);
        }
        mInvariant.push_back(lInvariant ? 1 : 0);
        mHighMasks.push_back(lOp == Op::Constant ? lMask : lMask & ~lLowLanes);
        if (lOp == Op::Input && (lMask & lLowLanes) != 0) {
            mPatternOf.push_back(static_cast<uint32_t>(mPatterns.size() / Words));
            const uint64_t lLow = LowPattern(lMask & 63u);
            for (uint32_t lWord = 0; lWord < Words; ++lWord) {
                mPatterns.push_back(((lWord << 6) & lMask & lLowLanes) != 0 ? ~uint64_t{0} : lLow);
            }
        } else {
            mPatternOf.push_back(lNone);
        }
    }
    for (Gate lOutput : aOutputs) {
        mOutputs.push_back(lStepOf[lOutput]);
    }
}

// ---- BlockEvaluator --------------------------------------------------------------------------

BlockEvaluator::BlockEvaluator(const BitProgram& aProgram)
    : mProgram(aProgram), mValues(aProgram.mOps.size(), Value{State::Zero, nullptr}),
      mBuffers(new uint64_t[aProgram.mOps.size() * BitProgram::Words]) {}

void BlockEvaluator::Evaluate(uint32_t aBlock) {
    constexpr uint32_t lWords = BitProgram::Words;
    const uint32_t lBase = aBlock << BitProgram::LaneBits;
    const size_t lSteps = mProgram.mOps.size();
    Value* const lValues = mValues.data();
    const uint8_t* const lInvariant = mProgram.mInvariant.data();
    const bool lSkipInvariants = mInvariantsDone;
    mInvariantsDone = true;
    for (size_t lStep = 0; lStep < lSteps; ++lStep) {
        if (lSkipInvariants && lInvariant[lStep] != 0) {
            continue;
        }
        const Value lA = lValues[mProgram.mLeft[lStep]];
        const Value lB = lValues[mProgram.mRight[lStep]];
        uint64_t* const lOut = mBuffers.get() + lStep * lWords;
        Value& lResult = lValues[lStep];
        switch (mProgram.mOps[lStep]) {
        case BitCircuit::Op::Constant:
            lResult = {mProgram.mHighMasks[lStep] != 0 ? State::Ones : State::Zero, nullptr};
            break;
        case BitCircuit::Op::Input:
            if ((lBase & mProgram.mHighMasks[lStep]) != 0) {
                lResult = {State::Ones, nullptr};
            } else if (mProgram.mPatternOf[lStep] == UINT32_MAX) {
                lResult = {State::Zero, nullptr};
            } else {
                lResult = {State::Lanes,
                           mProgram.mPatterns.data() + size_t{mProgram.mPatternOf[lStep]} * lWords};
            }
            break;
        case BitCircuit::Op::Not:
            if (lA.mState != State::Lanes) {
                lResult = {lA.mState == State::Zero ? State::Ones : State::Zero, nullptr};
                break;
            }
            for (uint32_t lWord = 0; lWord < lWords; ++lWord) {
                lOut[lWord] = ~lA.mWords[lWord];
            }
            lResult = {State::Lanes, lOut};
            break;
        case BitCircuit::Op::And:
            if (lA.mState == State::Zero || lB.mState == State::Zero) {
                lResult = {State::Zero, nullptr};
            } else if (lA.mState == State::Ones) {
                lResult = lB;
            } else if (lB.mState == State::Ones) {
                lResult = lA;
            } else {
                for (uint32_t lWord = 0; lWord < lWords; ++lWord) {
                    lOut[lWord] = lA.mWords[lWord] & lB.mWords[lWord];
                }
                lResult = {State::Lanes, lOut};
            }
            break;
        case BitCircuit::Op::Or:
            if (lA.mState == State::Ones || lB.mState == State::Ones) {
                lResult = {State::Ones, nullptr};
            } else if (lA.mState == State::Zero) {
                lResult = lB;
            } else if (lB.mState == State::Zero) {
                lResult = lA;
            } else {
                for (uint32_t lWord = 0; lWord < lWords; ++lWord) {
                    lOut[lWord] = lA.mWords[lWord] | lB.mWords[lWord];
                }
                lResult = {State::Lanes, lOut};
            }
            break;
        case BitCircuit::Op::Xor:
            if (lA.mState != State::Lanes && lB.mState != State::Lanes) {
                lResult = {lA.mState == lB.mState ? State::Zero : State::Ones, nullptr};
            } else if (lA.mState == State::Zero || lB.mState == State::Zero) {
                lResult = lA.mState == State::Zero ? lB : lA;
            } else if (lA.mState == State::Ones || lB.mState == State::Ones) {
                const uint64_t* lOther = lA.mState == State::Ones ? lB.mWords : lA.mWords;
                for (uint32_t lWord = 0; lWord < lWords; ++lWord) {
                    lOut[lWord] = ~lOther[lWord];
                }
                lResult = {State::Lanes, lOut};
            } else {
                for (uint32_t lWord = 0; lWord < lWords; ++lWord) {
                    lOut[lWord] = lA.mWords[lWord] ^ lB.mWords[lWord];
                }
                lResult = {State::Lanes, lOut};
            }
            break;
        }
    }
}

BlockEvaluator::State BlockEvaluator::OutputState(size_t aOutput) const {
    return mValues[mProgram.mOutputs[aOutput]].mState;
}

const uint64_t* BlockEvaluator::OutputWords(size_t aOutput) const {
    return mValues[mProgram.mOutputs[aOutput]].mWords;
}

uint64_t BlockEvaluator::OutputWord(size_t aOutput, uint32_t aWord) const {
    const Value& lValue = mValues[mProgram.mOutputs[aOutput]];
    switch (lValue.mState) {
    case State::Zero:
        return 0;
    case State::Ones:
        return ~uint64_t{0};
    case State::Lanes:
        return lValue.mWords[aWord];
    }
    return 0;
}

} // namespace Logic
