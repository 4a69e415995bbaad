#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/ThreadExit.h"

namespace Logic {
namespace {

TEST(ThreadExit, CleanupsRunOnTheEndingThreadNewestFirst) {
    static thread_local int tThread = 0;
    struct Record {
        std::vector<int> mOrder;
        std::vector<int> mThreads;
    } lRecord;
    struct Entry {
        Record* mRecord;
        int mNumber;
    };
    Entry lFirst{&lRecord, 1};
    Entry lSecond{&lRecord, 2};
    const auto fCleanup = [](void* fEntry) {
        auto* lEntry = static_cast<Entry*>(fEntry);
        lEntry->mRecord->mOrder.push_back(lEntry->mNumber);
        lEntry->mRecord->mThreads.push_back(tThread);
    };
    std::thread lWorker([&] {
        tThread = 7;
        EXPECT_TRUE(Platform::AtThreadExit(fCleanup, &lFirst));
        EXPECT_TRUE(Platform::AtThreadExit(fCleanup, &lSecond));
        EXPECT_TRUE(lRecord.mOrder.empty());
    });
    lWorker.join();
    EXPECT_EQ(lRecord.mOrder, (std::vector<int>{2, 1}));
    EXPECT_EQ(lRecord.mThreads, (std::vector<int>{7, 7}));
}

} // namespace
} // namespace Logic
