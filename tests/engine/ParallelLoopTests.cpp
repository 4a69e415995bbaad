#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

#include "engine/ParallelLoop.h"
#include "engine/Predicates.h"

namespace Logic {
namespace {

TEST(ParallelLoop, EveryItemRunsExactlyOnce) {
    std::vector<std::atomic<int>> lRuns(5000);
    Foreach(NumberRange(0, 4999), [&](uint32_t fItem, bool&) { ++lRuns[fItem]; }, 4);
    for (size_t lItem = 0; lItem < lRuns.size(); ++lItem) {
        ASSERT_EQ(lRuns[lItem].load(), 1) << lItem;
    }
}

TEST(ParallelLoop, BreakFlagStopsStartingItems) {
    std::atomic<uint32_t> lStarted{0};
    Foreach(
        NumberRange(0, 1000000),
        [&](uint32_t fItem, bool& fBreak) {
            ++lStarted;
            if (fItem == 0) {
                fBreak = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        },
        4);
    EXPECT_GE(lStarted.load(), 1u);
    EXPECT_LT(lStarted.load(), 1000u);
}

TEST(ParallelLoop, FailuresOfManyWorkersBecomeOneMessage) {
    try {
        Foreach(
            NumberRange(0, 999),
            [](uint32_t fItem, bool&) {
                throw EngineException(fItem % 2 == 0 ? "even failed" : "odd failed");
            },
            4);
        FAIL() << "no failure reported";
    } catch (const EngineException& lFailure) {
        const std::string lMessage = lFailure.what();
        const std::string lSeparator = ParallelLoopDetail::LineSeparator;
        const std::set<std::string> lEither{"even failed" + lSeparator + "odd failed",
                                            "odd failed" + lSeparator + "even failed",
                                            "even failed", "odd failed"};
        EXPECT_TRUE(lEither.contains(lMessage)) << lMessage;
    }
}

TEST(ParallelLoop, MessagesKeepTheOrderCollected) {
    // One worker: the first failure stops the loop, so exactly one message arrives.
    try {
        Foreach(NumberRange(3, 10), [](uint32_t fItem, bool&) { throw EngineException("item {0}", fItem); }, 1);
        FAIL();
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(), "item 3");
    }
    const std::string lSeparator = ParallelLoopDetail::LineSeparator;
    EXPECT_EQ(ParallelLoopDetail::JoinDistinct({"b", "a", "b", "c", "a"}),
              "b" + lSeparator + "a" + lSeparator + "c");
}

TEST(ParallelLoop, EmptySequenceRunsNothing) {
    bool lRan = false;
    Foreach(NumberRange(1, 0), [&](uint32_t, bool&) { lRan = true; });
    EXPECT_FALSE(lRan);
}

TEST(ParallelLoop, WorkersHaveLargeStacks) {
    // 20,000 frames of 4 KiB: far more than a default thread stack (8 MiB at most) holds.
    std::atomic<size_t> lDepthReached{0};
    std::function<size_t(size_t)> lDescend = [&](size_t aDepth) -> size_t {
        volatile char lFrame[4096] = {};
        return aDepth == 0 ? lFrame[0] : lDescend(aDepth - 1) + lFrame[1] + 1;
    };
    Foreach(NumberRange(0, 1), [&](uint32_t, bool&) { lDepthReached = lDescend(20000); }, 2);
    EXPECT_EQ(lDepthReached.load(), 20000u);
}

} // namespace
} // namespace Logic
