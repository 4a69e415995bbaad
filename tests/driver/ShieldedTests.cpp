#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/ChildProcess.h"
#include "platform/Diagnostics.h"
#include "platform/Shielded.h"
#include "platform/Workers.h"

namespace Logic {
namespace {

using Lines = std::vector<std::string>;

/// Collects the diagnostics lines written while it lives.
class RecordedDiagnostics {
public:
    RecordedDiagnostics() {
        Diagnostics::SetSink([this](const std::string& fLine) {
            std::lock_guard lLock(mMutex);
            mLines.push_back(fLine);
        });
    }
    ~RecordedDiagnostics() { Diagnostics::SetSink(nullptr); }
    Lines Taken() {
        std::lock_guard lLock(mMutex);
        return mLines;
    }

private:
    std::mutex mMutex;
    Lines mLines;
};

TEST(Shielded, GivesTheResultOrTheFallbackAndReportsWhereItFailed) {
    RecordedDiagnostics lDiagnostics;
    EXPECT_EQ(Shielded("sum", -1, [] { return 2 + 3; }), 5);
    EXPECT_EQ(Shielded("getFuncsArray", -1, []() -> int { throw std::runtime_error("no table"); }),
              -1);
    int lRan = 0;
    Shielded("setInfo", [&] {
        ++lRan;
        throw 42; // not even a std::exception
    });
    EXPECT_EQ(lRan, 1);
    EXPECT_EQ(lDiagnostics.Taken(),
              (Lines{"getFuncsArray: no table", "setInfo: An unknown failure occurred."}));
}

TEST(Shielded, AFailingDiagnosticsChannelDoesNotLetTheFailureOut) {
    Diagnostics::SetSink([](const std::string&) { throw std::runtime_error("sink is broken"); });
    EXPECT_EQ(Shielded("beNotified", 7, []() -> int { throw std::bad_alloc(); }), 7);
    Diagnostics::SetSink(nullptr);
}

TEST(RunOnWorkers, AFailureOnAnyWorkerReachesTheCallerAfterAllHaveEnded) {
    for (unsigned lWorkers : {1u, 3u}) {
        SCOPED_TRACE(lWorkers);
        std::atomic<unsigned> lStarted{0}, lFinished{0};
        try {
            RunOnWorkers(lWorkers, [&] {
                // The last worker to start fails, on whichever thread that is.
                if (++lStarted == lWorkers) {
                    throw std::runtime_error("worker failed");
                }
                ++lFinished;
            });
            ADD_FAILURE() << "no failure";
        } catch (const std::runtime_error& lFailure) {
            EXPECT_STREQ(lFailure.what(), "worker failed");
        }
        EXPECT_EQ(lStarted, lWorkers);
        EXPECT_EQ(lFinished, lWorkers - 1);
    }
}

TEST(ChildProcessExchange, AFailingEndCallbackIsReportedAndTheOutputStillDelivered) {
    RecordedDiagnostics lDiagnostics;
    Platform::ProcessStartInfo lStartInfo;
    lStartInfo.mProgram = "sh";
    lStartInfo.mArguments = {"-c", "cat; echo done"};
    lStartInfo.mRedirectStandardInput = true;
    lStartInfo.mStandardOutput = Platform::OutputRoute::Pipe;
    Platform::ChildProcess lChild(lStartInfo);
    // Thrown on the reading thread: left to itself it would end this process.
    lChild.BeginExchange("input\n", [] { throw std::runtime_error("callback failed"); });
    EXPECT_EQ(lChild.EndExchange(), "input\ndone\n");
    EXPECT_TRUE(lChild.ExchangeFinished());
    EXPECT_EQ(lDiagnostics.Taken(), Lines{"reading a child program's output: callback failed"});
    lChild.Terminate();
}

} // namespace
} // namespace Logic
