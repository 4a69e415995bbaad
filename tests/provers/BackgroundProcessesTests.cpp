#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "driver/Doubles.h"
#include "model/EngineException.h"
#include "platform/Diagnostics.h"
#include "provers/BackgroundProcesses.h"
#include "provers/CancellationSignal.h"
#include "provers/ProcessTable.h"
#include "provers/ShellParameters.h"

namespace Logic {
namespace {

using namespace Logic::Testing;
using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

TEST(ShellParameters, ArgumentTextIsCutLikeAWindowsCommandLine) {
    EXPECT_EQ(ShellParameters("prover9", "input").ArgumentList(), Lines{});
    EXPECT_EQ(ShellParameters("prover9", "", "input").ArgumentList(), Lines{});
    EXPECT_EQ(ShellParameters("prover9", "  \t ", "input").ArgumentList(), Lines{});
    EXPECT_EQ(ShellParameters("prover9", "-t 30", "input").ArgumentList(), (Lines{"-t", "30"}));
    EXPECT_EQ(SplitArgumentText(" a  \"b c\" d\"e f\"g "), (Lines{"a", "b c", "de fg"}));
    EXPECT_EQ(SplitArgumentText("\"\""), (Lines{""}));
    EXPECT_EQ(SplitArgumentText(R"(C:\dir\ "x\"y" a\\\"b c\\"d e")"),
              (Lines{R"(C:\dir\)", "x\"y", "a\\\"b", "c\\d e"}));
    EXPECT_EQ(SplitArgumentText(R"("a""b" c)"), (Lines{"a\"b", "c"}));
}

TEST(CancellationSignal, FiresByItselfAtItsLimitAndWhenTold) {
    CancellationSignal lNever;
    EXPECT_FALSE(lNever.IsCancellationRequested());
    lNever.Cancel();
    lNever.Cancel();
    EXPECT_TRUE(lNever.IsCancellationRequested());

    CancellationSignal lAtOnce(0ms);
    EXPECT_TRUE(lAtOnce.IsCancellationRequested());

    auto lStart = Clock::now();
    CancellationSignal lSoon(200ms);
    EXPECT_FALSE(lSoon.WaitFor([] { return false; }));
    EXPECT_GE(Clock::now() - lStart, 200ms);
    EXPECT_TRUE(lSoon.IsCancellationRequested());
}

TEST(CancellationSignal, AWaiterWakesForItsConditionOrTheSignalAndTheConditionWins) {
    CancellationSignal lSignal;
    std::atomic<bool> lDone{false};
    std::thread lWaker([&] {
        std::this_thread::sleep_for(50ms);
        lDone = true;
        lSignal.Notify();
    });
    EXPECT_TRUE(lSignal.WaitFor([&] { return lDone.load(); }));
    lWaker.join();

    std::thread lCanceller([&] {
        std::this_thread::sleep_for(50ms);
        lSignal.Cancel();
    });
    EXPECT_FALSE(lSignal.WaitFor([] { return false; }));
    lCanceller.join();
    // Fired, but the condition already holds: the run has its output and keeps it.
    EXPECT_TRUE(lSignal.WaitFor([] { return true; }));
}

TEST(RunTogether, StartsEveryRunAtOnceAndCombinesTheFailures) {
    // Every run waits until all have arrived: only runs started together get past the wait.
    // Six runs, more than this machine's processors as a rule.
    constexpr int lRunsCount = 6;
    std::mutex lMutex;
    std::condition_variable lArrival;
    int lArrived = 0;
    std::atomic<int> lMet{0};
    std::vector<BackgroundProcesses::Run> lRuns;
    for (int i = 0; i < lRunsCount; ++i) {
        lRuns.push_back([&, i] {
            std::unique_lock lLock(lMutex);
            ++lArrived;
            lArrival.notify_all();
            // Bounded only so that a broken group fails the test instead of hanging it.
            if (lArrival.wait_for(lLock, 60s, [&] { return lArrived == lRunsCount; })) {
                ++lMet;
            }
            lLock.unlock();
            if (i == 1 || i == 4) {
                throw EngineException("Run {0} failed.", i);
            }
            if (i == 5) {
                throw EngineException("Run 1 failed.");
            }
        });
    }
    try {
        BackgroundProcesses::RunTogether(lRuns);
        ADD_FAILURE() << "no failure";
    } catch (const EngineException& lFailure) {
        // Every failure counts, each distinct message once, in the order of the runs.
        EXPECT_EQ(std::string(lFailure.what()), "3 of 6 runs failed: Run 1 failed. Run 4 failed.");
    }
    EXPECT_EQ(lMet, lRunsCount);
    EXPECT_NO_THROW(BackgroundProcesses::RunTogether({}));
}

class RunTest : public ::testing::Test {
protected:
    TemporaryFolder mFolder;

    /// A run of sh with aScript, its output collected into mOutputs.
    BackgroundProcesses::Run ShellRun(std::shared_ptr<CancellationSignal> aSignal,
                                      const std::string& aScript, const std::string& aInput = "") {
        return BackgroundProcesses::ExcuteUntilExitOrCancellation(
            std::move(aSignal), ShellParameters("sh", "-c \"" + aScript + "\"", aInput),
            [this](const std::string& fOutput) {
                std::lock_guard lLock(mMutex);
                mOutputs.push_back(fOutput);
            });
    }

    std::mutex mMutex;
    Lines mOutputs;
};

TEST_F(RunTest, BuildingARunStartsNothing) {
    std::string lMarker = mFolder / "started";
    auto lRun = ShellRun(std::make_shared<CancellationSignal>(), "echo > " + lMarker);
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(std::filesystem::exists(lMarker));
    lRun();
    EXPECT_TRUE(std::filesystem::exists(lMarker));
    EXPECT_EQ(mOutputs, Lines{""});
}

TEST_F(RunTest, TheProgramReadsItsInputWithALineBreakInTheTemporaryDirectory) {
    ScopedVariable lTemporary("TMPDIR", mFolder.Path().string());
    ShellRun(std::make_shared<CancellationSignal>(), "cat; pwd -P", "two\nlines")();
    ASSERT_EQ(mOutputs.size(), 1u);
    EXPECT_EQ(mOutputs[0],
              "two\nlines\n" + std::filesystem::canonical(mFolder.Path()).string() + "\n");
}

TEST_F(RunTest, AFiredSignalStillStartsAndFeedsTheProgramThenKillsIt) {
    auto lFired = std::make_shared<CancellationSignal>();
    lFired->Cancel();
    auto lStart = Clock::now();
    ShellRun(lFired, "cat; sleep 1000", "input")();
    EXPECT_LT(Clock::now() - lStart, 10s);
    // Killed before it could answer, or it had echoed its input in time: never more.
    ASSERT_EQ(mOutputs.size(), 1u);
    EXPECT_TRUE(mOutputs[0] == "" || mOutputs[0] == "input\n") << mOutputs[0];
    EXPECT_EQ(ChildrenOfThisProcess(), std::vector<int>{});
}

TEST_F(RunTest, ACancelledRunHandsOnWhatWasWrittenBeforeTheKill) {
    auto lSignal = std::make_shared<CancellationSignal>();
    std::thread lCanceller([&] {
        std::this_thread::sleep_for(300ms);
        lSignal->Cancel();
    });
    auto lStart = Clock::now();
    ShellRun(lSignal, "echo before; sleep 1000; echo after")();
    lCanceller.join();
    EXPECT_LT(Clock::now() - lStart, 10s);
    EXPECT_EQ(mOutputs, Lines{"before\n"});
    EXPECT_EQ(ChildrenOfThisProcess(), std::vector<int>{});
}

TEST_F(RunTest, AFailedStartIsTheRunsFailure) {
    auto lRun = BackgroundProcesses::ExcuteUntilExitOrCancellation(
        std::make_shared<CancellationSignal>(),
        ShellParameters("quendral-no-such-program", "input"), [](const std::string&) {});
    try {
        lRun();
        ADD_FAILURE() << "no failure";
    } catch (const EngineException& lFailure) {
        EXPECT_EQ(std::string(lFailure.what()),
                  "Cannot start \"quendral-no-such-program\": the program was not found.");
    }
}

TEST_F(RunTest, KillingWritesNothingWhenAllGoesWell) {
    Lines lDiagnostics;
    Diagnostics::SetSink([&](const std::string& fLine) { lDiagnostics.push_back(fLine); });
    ShellRun(std::make_shared<CancellationSignal>(0ms), "sleep 1000")();
    Diagnostics::SetSink(nullptr);
    EXPECT_EQ(lDiagnostics, Lines{});
}

} // namespace
} // namespace Logic
