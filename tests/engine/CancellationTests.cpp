// Cancellation: its three reasons to stop, how it reaches the threads of deep and parallel
// work, and the decision stopping under it. And the reference evaluator's stack guard.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "engine/Decision.h"
#include "engine/ParallelLoop.h"
#include "engine/Predicates.h"
#include "model/EngineException.h"
#include "parser/Parser.h"
#include "platform/Cancellation.h"
#include "platform/LargeStack.h"

namespace Logic {
namespace {

using namespace std::chrono_literals;

std::string Repeated(const std::string& aPiece, size_t aCount) {
    std::string lText;
    lText.reserve(aPiece.size() * aCount);
    for (size_t lIndex = 0; lIndex < aCount; ++lIndex) {
        lText += aPiece;
    }
    return lText;
}

std::string MessageOfCancellation(Cancellation& aCancellation, int aMaximumChecks) {
    try {
        for (int lCheck = 0; lCheck < aMaximumChecks; ++lCheck) {
            aCancellation.Check();
        }
    } catch (const CancelledException& lStop) {
        return lStop.what();
    }
    return "not stopped";
}

TEST(Cancellation, WorkLimitAllowsExactlyThatManySteps) {
    Cancellation lCancellation;
    lCancellation.SetWorkLimit(1000);
    for (int lStep = 0; lStep < 1000; ++lStep) {
        lCancellation.Check();
    }
    EXPECT_FALSE(lCancellation.Stopped());
    EXPECT_EQ(MessageOfCancellation(lCancellation, 1),
              "Stopped after 1000 steps of work: the work limit is used up.");
    // Once stopped it stays stopped.
    EXPECT_TRUE(lCancellation.Stopped());
    EXPECT_THROW(lCancellation.Check(), CancelledException);
}

TEST(Cancellation, TimeLimitStopsOnceTheTimeIsUp) {
    Cancellation lCancellation;
    lCancellation.SetTimeLimit(20ms);
    const Cancellation::Scope lScope(&lCancellation);
    EXPECT_NO_THROW(CheckCancellation());
    std::this_thread::sleep_for(40ms);
    // The clock is read every few hundred steps, never less often.
    EXPECT_EQ(MessageOfCancellation(lCancellation, 1000),
              "Stopped after 0.02 seconds: the time limit is up. Allow more time or shorten the "
              "document.");
}

TEST(Cancellation, ARequestSaysSoWhateverTheLimits) {
    Cancellation lCancellation;
    lCancellation.SetTimeLimit(1ms);
    lCancellation.SetWorkLimit(1);
    lCancellation.RequestStop();
    EXPECT_EQ(MessageOfCancellation(lCancellation, 5), "Stopped on request.");
    Cancellation lTimed;
    lTimed.SetTimeLimit(1ms);
    std::this_thread::sleep_for(5ms);
    EXPECT_EQ(MessageOfCancellation(lTimed, 1000).rfind("Stopped after 0.001 seconds", 0), 0u);
}

TEST(Cancellation, StopRequestedFromAnotherThread) {
    Cancellation lCancellation;
    std::thread([&] { lCancellation.RequestStop(); }).join();
    EXPECT_EQ(MessageOfCancellation(lCancellation, 1), "Stopped on request.");
}

TEST(Cancellation, StopActionsRunOnceForAnyReasonWhileSubscribed) {
    Cancellation lCancellation;
    lCancellation.SetWorkLimit(3);
    int lFirst = 0, lGone = 0;
    auto lSubscription = lCancellation.OnStop([&] { ++lFirst; });
    {
        auto lEnded = lCancellation.OnStop([&] { ++lGone; });
    }
    lCancellation.Check(3);
    EXPECT_EQ(lFirst, 0);
    // The stop found by a check runs the actions, on that thread; further stops do not.
    EXPECT_THROW(lCancellation.Check(), CancelledException);
    EXPECT_THROW(lCancellation.Check(), CancelledException);
    lCancellation.RequestStop();
    EXPECT_EQ(lFirst, 1);
    EXPECT_EQ(lGone, 0);
    // Subscribing after the stop runs the action at once; a failing action goes no further.
    int lLate = 0;
    auto lLater = lCancellation.OnStop([&] {
        ++lLate;
        throw std::runtime_error("action failed");
    });
    EXPECT_EQ(lLate, 1);
}

TEST(Cancellation, ScopesNestAndCheckingWithoutOneCostsNothing) {
    EXPECT_EQ(Cancellation::Current(), nullptr);
    EXPECT_NO_THROW(CheckCancellation(1u << 30));
    Cancellation lOuter;
    Cancellation lInner;
    {
        const Cancellation::Scope lOuterScope(&lOuter);
        {
            const Cancellation::Scope lInnerScope(&lInner);
            EXPECT_EQ(Cancellation::Current(), &lInner);
        }
        EXPECT_EQ(Cancellation::Current(), &lOuter);
    }
    EXPECT_EQ(Cancellation::Current(), nullptr);
}

TEST(Cancellation, GoesWithDeepAndParallelWork) {
    Cancellation lCancellation;
    lCancellation.SetWorkLimit(100);
    const Cancellation::Scope lScope(&lCancellation);
    Cancellation* lOnLargeStack = nullptr;
    RunWithLargeStack([&] { lOnLargeStack = Cancellation::Current(); });
    EXPECT_EQ(lOnLargeStack, &lCancellation);

    // Every item is a step; the loop stops once the limit is used and reports it once.
    std::atomic<int> lRun{0};
    try {
        Foreach(NumberRange(0, 99999), [&](uint32_t, bool&) { ++lRun; }, 4);
        ADD_FAILURE() << "the loop was not stopped";
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(), "Stopped after 100 steps of work: the work limit is used up.");
    }
    EXPECT_LE(lRun.load(), 100);
}

TEST(Cancellation, StopsADecisionThatWouldTakeLong) {
    // Every one of 2^32 kinds of worlds, object by object: minutes of work.
    const MatrixPtr lRoot = Parser::Parse("x,((Fx|~Fx|xLx)&(Gx|~Gx)&(Hx|~Hx)&(Ix|~Ix)&(Jx|~Jx))");
    Cancellation lCancellation;
    lCancellation.SetTimeLimit(50ms);
    const Cancellation::Scope lScope(&lCancellation);
    const auto lStart = std::chrono::steady_clock::now();
    try {
        lRoot->Decide();
        ADD_FAILURE() << "the decision was not stopped";
    } catch (const EngineException& lFailure) {
        EXPECT_EQ(std::string(lFailure.what()).rfind("Stopped after 0.05 seconds", 0), 0u)
            << lFailure.what();
    }
    // Stopped at the next check, not at the end of the walk.
    EXPECT_LT(std::chrono::steady_clock::now() - lStart, 800ms);
}

TEST(StackGuard, TheReferenceEvaluatorStopsBeforeTheStackEnds) {
    // 200,000 conjunctions nested to the left need more than a 4 MiB stack to evaluate by
    // recursion: the guard turns that into a message instead of a crash.
    const MatrixPtr lRoot = Parser::Parse(Repeated("p&", 200000) + "q");
    const Predicates lPredicates = lRoot->CollectPredicates();
    std::string lMessage;
    RunWithLargeStack(
        [&] {
            try {
                (void)lRoot->TrueIn(lPredicates.FirstInterpretation(),
                                    *lPredicates.KindsOfWorlds(lPredicates.FirstInterpretation()).begin(),
                                    lPredicates);
            } catch (const EngineException& lFailure) {
                lMessage = lFailure.what();
            }
        },
        size_t{4} << 20);
    EXPECT_EQ(lMessage, "The formula is nested too deeply to evaluate with the stack space "
                        "available; write it with fewer levels of nesting.");
}

TEST(StackGuard, AMillionLevelsAreDecidedOnTheLargeStack) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer's shadow call stack cannot follow a million nested frames";
#endif
    // One million conjunctions nested to the left, as a document of a million lines gives.
    const MatrixPtr lRoot = Parser::Parse(Repeated("p&", 500000) + Repeated("q&", 499999) + "~p");
    EXPECT_EQ(lRoot->Decide(), Alethicity::Impossible);
    const MatrixPtr lNegations = Parser::Parse(Repeated("~", 1000000) + "(p|~p)");
    EXPECT_EQ(lNegations->Decide(), Alethicity::Necessary);
}

} // namespace
} // namespace Logic
