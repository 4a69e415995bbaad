#include <gtest/gtest.h>

#include <random>

#include "engine/BitCircuit.h"

namespace Logic {
namespace {

using Gate = BitCircuit::Gate;

TEST(BitCircuit, FoldsConstantsComplementsAndSharedGates) {
    BitCircuit lCircuit(1000);
    const Gate lP = lCircuit.Input(1u << 3);
    const Gate lQ = lCircuit.Input(1u << 20);
    EXPECT_EQ(lCircuit.And(lP, BitCircuit::False), BitCircuit::False);
    EXPECT_EQ(lCircuit.And(BitCircuit::True, lP), lP);
    EXPECT_EQ(lCircuit.Or(lP, BitCircuit::True), BitCircuit::True);
    EXPECT_EQ(lCircuit.And(lP, lCircuit.Not(lP)), BitCircuit::False);
    EXPECT_EQ(lCircuit.Or(lCircuit.Not(lQ), lQ), BitCircuit::True);
    EXPECT_EQ(lCircuit.Xor(lP, lP), BitCircuit::False);
    EXPECT_EQ(lCircuit.Xor(lP, BitCircuit::True), lCircuit.Not(lP));
    EXPECT_EQ(lCircuit.Not(lCircuit.Not(lP)), lP);
    EXPECT_EQ(lCircuit.Input(0), BitCircuit::False);
    const Gate lBoth = lCircuit.And(lCircuit.Not(lP), lQ);
    EXPECT_EQ(lCircuit.And(lQ, lCircuit.Not(lP)), lBoth);
    // Tests of single bits merge into one test of their mask.
    EXPECT_EQ(lCircuit.Or(lP, lQ), lCircuit.Input((1u << 3) | (1u << 20)));
    EXPECT_EQ(lCircuit.And(lCircuit.Not(lP), lCircuit.Not(lQ)),
              lCircuit.Not(lCircuit.Input((1u << 3) | (1u << 20))));
}

TEST(BitCircuit, RefusesToGrowPastItsBudget) {
    BitCircuit lCircuit(6);
    Gate lGate = lCircuit.Input(1);
    lGate = lCircuit.Xor(lGate, lCircuit.Input(2));
    EXPECT_THROW(
        {
            for (uint32_t lBit = 2; lBit < 10; ++lBit) {
                lGate = lCircuit.Xor(lGate, lCircuit.Input(1u << lBit));
            }
        },
        BitCircuit::TooLarge);
}

/// A random circuit over inputs in every part of the lane number: the bits inside a word, the
/// bits of the word within a block, and the bits of the block.
Gate RandomCircuit(BitCircuit& aCircuit, std::mt19937& aRandom, int aGates) {
    std::vector<Gate> lGates;
    for (uint32_t lBit : {0u, 5u, 6u, 11u, 12u, 13u, 17u, 31u}) {
        lGates.push_back(aCircuit.Input(1u << lBit));
    }
    lGates.push_back(aCircuit.Input(0x00F0F00Fu));
    for (int lIndex = 0; lIndex < aGates; ++lIndex) {
        const Gate lA = lGates[aRandom() % lGates.size()];
        const Gate lB = lGates[aRandom() % lGates.size()];
        switch (aRandom() % 4) {
        case 0:
            lGates.push_back(aCircuit.And(lA, lB));
            break;
        case 1:
            lGates.push_back(aCircuit.Or(lA, lB));
            break;
        case 2:
            lGates.push_back(aCircuit.Xor(lA, lB));
            break;
        default:
            lGates.push_back(aCircuit.Not(lA));
            break;
        }
    }
    return lGates.back();
}

TEST(BitCircuit, BlocksAgreeWithLaneByLaneValues) {
    std::mt19937 lRandom(7);
    for (int lTrial = 0; lTrial < 20; ++lTrial) {
        BitCircuit lCircuit(10000);
        const Gate lOutput = RandomCircuit(lCircuit, lRandom, 40);
        const Gate lOther = lCircuit.Not(lOutput);
        const BitProgram lProgram(lCircuit, {lOutput, lOther});
        BlockEvaluator lEvaluator(lProgram);
        // Steps that depend only on the lanes inside a block are computed in the first block
        // and reused: later blocks, and a block seen again, must still come out right.
        for (uint32_t lBlock : {0u, 3u, 0x12345u, 0u, 0xFFFFFu}) {
            lEvaluator.Evaluate(lBlock);
            for (uint32_t lLane = 0; lLane < BitProgram::LanesPerBlock; lLane += 7) {
                const uint32_t lNumber = (lBlock << BitProgram::LaneBits) + lLane;
                const bool lBit = ((lEvaluator.OutputWord(0, lLane / 64) >> (lLane % 64)) & 1u) != 0;
                const bool lNot = ((lEvaluator.OutputWord(1, lLane / 64) >> (lLane % 64)) & 1u) != 0;
                ASSERT_EQ(lBit, lCircuit.ValueAt(lOutput, lNumber)) << lTrial << " " << lNumber;
                ASSERT_NE(lBit, lNot);
            }
        }
    }
}

TEST(BitCircuit, ConstantOutputsNeedNoLanes) {
    BitCircuit lCircuit(100);
    const Gate lHigh = lCircuit.Input(1u << 30);
    const BitProgram lProgram(lCircuit, {lHigh, BitCircuit::False});
    BlockEvaluator lEvaluator(lProgram);
    lEvaluator.Evaluate(0);
    EXPECT_EQ(lEvaluator.OutputState(0), BlockEvaluator::State::Zero);
    lEvaluator.Evaluate((1u << 30) >> BitProgram::LaneBits);
    EXPECT_EQ(lEvaluator.OutputState(0), BlockEvaluator::State::Ones);
    EXPECT_EQ(lEvaluator.OutputState(1), BlockEvaluator::State::Zero);
    EXPECT_EQ(lEvaluator.OutputWord(0, 5), ~uint64_t{0});
}

} // namespace
} // namespace Logic
