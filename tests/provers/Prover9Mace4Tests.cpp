#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "model/EngineException.h"
#include "parser/Parser.h"
#include "platform/Cancellation.h"
#include "platform/LargeStack.h"
#include "provers/ProcessTable.h"
#include "provers/Prover9Mace4.h"
#include "provers/StandIns.h"

namespace Logic {
namespace {

using namespace Logic::Testing;
using Result = Prover9Mace4::Result;
using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

/// Decides aText with the stand-ins.
Result DecideText(const std::string& aText, int32_t aSecondsTimeout) {
    std::optional<Result> lResult;
    // Parsing, rendering and dropping a long formula recurse with its depth.
    RunWithLargeStack([&] {
        lResult = Prover9Mace4::Decide(Parser::Parse(Lines{aText}), aSecondsTimeout);
    });
    return *lResult;
}

std::string FailureOf(const std::function<void()>& aAction) {
    try {
        aAction();
    } catch (const EngineException& lFailure) {
        return lFailure.what();
    }
    return "<no failure>";
}

double SecondsSince(Clock::time_point aStart) {
    return std::chrono::duration<double>(Clock::now() - aStart).count();
}

/// A statement whose Prover9 input is some 150 KB, far more than a pipe holds.
std::string LongStatement(const std::string& aConnective) {
    std::string lGroup = "(q";
    for (int i = 0; i < 9; ++i) {
        lGroup += aConnective + "q";
    }
    lGroup += ")";
    std::string lText = "p";
    for (int i = 0; i < 3000; ++i) {
        lText += aConnective + lGroup;
    }
    return lText;
}

TEST(Prover9Mace4Result, TextsAsTabled) {
    EXPECT_EQ(Prover9Mace4::ToString(Result::Necessary), "necessary");
    EXPECT_EQ(Prover9Mace4::ToString(Result::Possible), "possible");
    EXPECT_EQ(Prover9Mace4::ToString(Result::Contingent), "contingent");
    EXPECT_EQ(Prover9Mace4::ToString(Result::Unnecessary), "unncessary");
    EXPECT_EQ(Prover9Mace4::ToString(Result::Impossible), "impossible");
    EXPECT_EQ(Prover9Mace4::ToString(Result::NoDecision), "no decision");
    EXPECT_EQ(static_cast<int32_t>(Result::NoDecision), 5);
    EXPECT_EQ(FailureOf([] { Prover9Mace4::ToString(static_cast<Result>(6)); }),
              "Unhanded enum 6.");
    EXPECT_EQ(FailureOf([] { Prover9Mace4::ToString(static_cast<Result>(-1)); }),
              "Unhanded enum -1.");
}

TEST(Prover9Mace4Patterns, MatchTheReportAnywhereAndOnlyInItsExactCase) {
    const auto& lProof = Prover9Mace4::TheoremProved;
    EXPECT_TRUE(lProof.IsMatch("Exiting with 1 proof."));
    EXPECT_TRUE(lProof.IsMatch("THEOREM PROVED\n-------- PROOF --------\nExiting with 1 proof.\n"));
    EXPECT_TRUE(lProof.IsMatch("Exiting with 2 proofs."));
    EXPECT_TRUE(lProof.IsMatch("xxExiting with 1234567890123 proof"));
    EXPECT_TRUE(lProof.IsMatch("Exiting with Exiting with 7 proof"));
    // \d is any decimal digit, as the regular-expression engines of the Windows world read it.
    EXPECT_TRUE(lProof.IsMatch("Exiting with \xD9\xA3 proof"));
    EXPECT_FALSE(lProof.IsMatch("exiting with 1 proof"));
    EXPECT_FALSE(lProof.IsMatch("Exiting with 1 Proof."));
    EXPECT_FALSE(lProof.IsMatch("Exiting with proof."));
    EXPECT_FALSE(lProof.IsMatch("Exiting with  1 proof."));
    EXPECT_FALSE(lProof.IsMatch("Exiting with 1\nproof."));
    EXPECT_FALSE(lProof.IsMatch("Exiting with 1 proo"));
    EXPECT_FALSE(lProof.IsMatch("Exiting with 1 model."));
    EXPECT_FALSE(lProof.IsMatch(""));

    const auto& lModel = Prover9Mace4::CounterexampleFound;
    EXPECT_TRUE(lModel.IsMatch("Exiting with 1 model.\n"));
    EXPECT_TRUE(lModel.IsMatch("SEARCH FAILED\nExiting with 12 models.\n"));
    EXPECT_FALSE(lModel.IsMatch("Exiting with 1 proof."));
    EXPECT_FALSE(lModel.IsMatch("exiting with 1 model"));
}

class Prover9Mace4Test : public ::testing::Test {
protected:
    StandInProvers mStandIns;

    /// Chooses the four programs' behaviours: Prover9 and Mace4, each on the statement
    /// (positive) and its negation (negative).
    void Behave(const std::string& aProverPositive, const std::string& aProverNegative,
                const std::string& aMacePositive, const std::string& aMaceNegative) {
        mStandIns.Set("prover9", "positive", aProverPositive);
        mStandIns.Set("prover9", "negative", aProverNegative);
        mStandIns.Set("mace4", "positive", aMacePositive);
        mStandIns.Set("mace4", "negative", aMaceNegative);
    }

    void ExpectNothingLeftRunning() {
        EXPECT_EQ(ChildrenOfThisProcess(), std::vector<int>{});
        EXPECT_EQ(SurvivorsOf(mStandIns.LoggedProcesses()), std::vector<int>{});
    }
};

TEST_F(Prover9Mace4Test, EveryRowOfTheVerdictTable) {
    struct Row {
        const char* mName;
        std::vector<std::string> mBehaviours; // prover9 +, prover9 -, mace4 +, mace4 -
        std::optional<Result> mResult;        // absent: "Inconsistent result!"
    };
    // The contradicting rows keep their reports in programs that never end by themselves: each
    // report is found in the output of a program killed at the time limit, so neither can end
    // the other's run before it has spoken.
    const std::vector<Row> lRows = {
        {"model and proof of the statement",
         {"partial-proof", "nothing", "partial-model", "nothing"},
         std::nullopt},
        {"model and proof of the negation",
         {"nothing", "partial-proof", "nothing", "partial-model"},
         std::nullopt},
        {"proofs of both", {"partial-proof", "partial-proof", "nothing", "nothing"}, std::nullopt},
        {"proof of the statement", {"proof", "nothing", "nothing", "nothing"}, Result::Necessary},
        {"proof of the negation", {"nothing", "proof", "nothing", "nothing"}, Result::Impossible},
        {"models of both", {"nothing", "nothing", "model", "model"}, Result::Contingent},
        {"model of the statement", {"nothing", "nothing", "model", "nothing"}, Result::Unnecessary},
        {"model of the negation", {"nothing", "nothing", "nothing", "model"}, Result::Possible},
        {"nothing", {"nothing", "nothing", "nothing", "nothing"}, Result::NoDecision},
        {"reports in lower case", {"lower", "lower", "lower", "lower"}, Result::NoDecision},
        {"plural reports", {"proofs", "nothing", "nothing", "nothing"}, Result::Necessary},
        {"plural models", {"nothing", "nothing", "models", "nothing"}, Result::Unnecessary},
    };
    for (const Row& lRow : lRows) {
        SCOPED_TRACE(lRow.mName);
        Behave(lRow.mBehaviours[0], lRow.mBehaviours[1], lRow.mBehaviours[2], lRow.mBehaviours[3]);
        if (lRow.mResult) {
            EXPECT_EQ(DecideText("p", 2), *lRow.mResult);
        } else {
            EXPECT_EQ(FailureOf([] { DecideText("p", 2); }), "Inconsistent result!");
        }
    }
    ExpectNothingLeftRunning();
}

TEST_F(Prover9Mace4Test, ModalFormulasGetNoDecisionWithoutRunningAnything) {
    Behave("proof", "proof", "model", "model");
    EXPECT_EQ(DecideText("[]p", 30), Result::NoDecision);
    EXPECT_EQ(DecideText("p & <>q", 30), Result::NoDecision);
    EXPECT_EQ(mStandIns.LogLines(), Lines{});
}

TEST_F(Prover9Mace4Test, TimeLimitIsPassedAsArgumentText) {
    Behave("nothing", "nothing", "nothing", "nothing");
    EXPECT_EQ(DecideText("p", 5), Result::NoDecision);
    Lines lStarts = mStandIns.LogLinesStartingWith("prover9");
    for (const char* lProgram :
         {"prover9 positive", "prover9 negative", "mace4 positive", "mace4 negative"}) {
        Lines lLines = mStandIns.LogLinesStartingWith(std::string(lProgram) + " start");
        ASSERT_EQ(lLines.size(), 1u) << lProgram;
        // The program's argument count, then its arguments.
        EXPECT_NE(lLines[0].find(" 2 [-t 5]"), std::string::npos) << lLines[0];
    }
}

TEST_F(Prover9Mace4Test, NegativeTimeLimitMeansNoArgumentsAndNoLimit) {
    // Each program gives up after a second only because it is told nothing: "honour" with no
    // "-t" would sleep for ever, so "pause" stands for a program that ends by itself.
    Behave("pause", "pause", "pause", "model");
    auto lStart = Clock::now();
    EXPECT_EQ(DecideText("p", -1), Result::Possible);
    EXPECT_LT(SecondsSince(lStart), 20.0);
    Lines lStarts = mStandIns.LogLinesStartingWith("prover9 positive start");
    ASSERT_EQ(lStarts.size(), 1u);
    EXPECT_NE(lStarts[0].find(" 0 []"), std::string::npos) << lStarts[0];
}

TEST_F(Prover9Mace4Test, ProgramsHonouringTheirLimitEndTheRunsThemselves) {
    Behave("honour", "honour", "honour", "honour");
    auto lStart = Clock::now();
    EXPECT_EQ(DecideText("p", 1), Result::NoDecision);
    EXPECT_LT(SecondsSince(lStart), 10.0);
    ExpectNothingLeftRunning();
}

TEST_F(Prover9Mace4Test, TimeLimitZeroKillsEveryProgramAtOnce) {
    Behave("sleep", "sleep", "sleep", "sleep");
    auto lStart = Clock::now();
    EXPECT_EQ(DecideText("p", 0), Result::NoDecision);
    EXPECT_LT(SecondsSince(lStart), 10.0);
    Lines lStarts = mStandIns.LogLinesStartingWith("mace4 negative start");
    ASSERT_LE(lStarts.size(), 1u);
    if (!lStarts.empty()) {
        EXPECT_NE(lStarts[0].find(" 2 [-t 0]"), std::string::npos) << lStarts[0];
    }
    ExpectNothingLeftRunning();
}

TEST_F(Prover9Mace4Test, TimeLimitEndsProgramsThatRunTooLong) {
    Behave("sleep", "sleep", "sleep", "sleep");
    auto lStart = Clock::now();
    EXPECT_EQ(DecideText("p", 1), Result::NoDecision);
    double lSeconds = SecondsSince(lStart);
    EXPECT_GE(lSeconds, 0.9);
    EXPECT_LT(lSeconds, 10.0);
    EXPECT_EQ(mStandIns.LogLinesStartingWith("prover9 positive end"), Lines{});
    ExpectNothingLeftRunning();
}

TEST_F(Prover9Mace4Test, AProofEndsTheRunsOnBothSides) {
    Behave("proof", "sleep", "sleep", "sleep");
    auto lStart = Clock::now();
    EXPECT_EQ(DecideText("p", 60), Result::Necessary);
    EXPECT_LT(SecondsSince(lStart), 20.0);

    Behave("sleep", "proof", "sleep", "sleep");
    lStart = Clock::now();
    EXPECT_EQ(DecideText("p", 60), Result::Impossible);
    EXPECT_LT(SecondsSince(lStart), 20.0);
    ExpectNothingLeftRunning();
}

TEST_F(Prover9Mace4Test, AModelEndsOnlyTheProofSearchOnItsOwnSide) {
    // Each model ends its own side's Prover9: without that the sleepers would hold the runs
    // for the whole minute.
    Behave("sleep", "sleep", "model", "model");
    auto lStart = Clock::now();
    EXPECT_EQ(DecideText("p", 60), Result::Contingent);
    EXPECT_LT(SecondsSince(lStart), 20.0);

    // A model of the statement leaves the negation's runs to the time limit.
    Behave("sleep", "sleep", "model", "sleep");
    lStart = Clock::now();
    EXPECT_EQ(DecideText("p", 2), Result::Unnecessary);
    EXPECT_GE(SecondsSince(lStart), 1.9);
    ExpectNothingLeftRunning();
}

TEST_F(Prover9Mace4Test, AKilledProgramsPartialOutputStillCounts) {
    Behave("partial-proof", "sleep", "sleep", "sleep");
    EXPECT_EQ(DecideText("p", 1), Result::Necessary);
    Behave("sleep", "sleep", "sleep", "partial-model");
    EXPECT_EQ(DecideText("p", 1), Result::Possible);
    ExpectNothingLeftRunning();
}

TEST_F(Prover9Mace4Test, AllFourProgramsRunAtOnceWhateverTheNumberOfProcessors) {
    // Each program waits until all four have started, so a verdict needs all four running at
    // the same time; bounded by processors (two on a small machine), the first two would wait
    // for the others until the limit killed them, and nothing would be decided.
    Behave("meet", "meet", "meet-model", "meet-model");
    EXPECT_EQ(DecideText("p", 20), Result::Contingent);
    EXPECT_EQ(mStandIns.LogLinesStartingWith("mace4 positive end").size(), 1u);
    EXPECT_EQ(mStandIns.LogLinesStartingWith("mace4 negative end").size(), 1u);
    ExpectNothingLeftRunning();
}

TEST_F(Prover9Mace4Test, AStopKillsAllFourProgramsAtOnceAndDecidesNothing) {
    Behave("sleep", "sleep", "partial-model", "sleep");
    Cancellation lCancellation;
    std::string lFailure = "<no failure>";
    std::thread lCommand([&] {
        const Cancellation::Scope lScope(&lCancellation);
        try {
            DecideText("p", -1);
        } catch (const CancelledException& lStopped) {
            lFailure = lStopped.what();
        }
    });
    // Bounded only so that programs that never all start fail the test instead of hanging it.
    for (int lTry = 0; lTry < 3000 && mStandIns.LogLinesStartingWith("").size() < 4; ++lTry) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(mStandIns.LogLinesStartingWith("").size(), 4u) << "not all four programs started";
    lCancellation.RequestStop();
    lCommand.join();
    // A model was reported before the stop, but a stopped evaluation gives no verdict.
    EXPECT_EQ(lFailure, "Stopped on request.");
    ExpectNothingLeftRunning();

    // Stopped before it begins, it starts nothing.
    mStandIns.ClearLog();
    EXPECT_THROW(
        {
            const Cancellation::Scope lScope(&lCancellation);
            DecideText("p", -1);
        },
        CancelledException);
    EXPECT_EQ(mStandIns.LogLines(), Lines{});
}

TEST_F(Prover9Mace4Test, AProgramThatCannotStartFailsTheGroupOnceAfterTheOthersRan) {
    Behave("proof", "proof", "model", "model");
    mStandIns.MakeUnstartable("prover9");
    std::string lFailure = FailureOf([] { DecideText("p", 30); });
    EXPECT_EQ(lFailure.rfind("2 of 4 runs failed: Cannot start \"prover9\": cannot run the "
                             "program: ",
                             0),
              0u)
        << lFailure;
    // The same message from both runs is given once.
    EXPECT_EQ(lFailure.find("prover9", lFailure.find("prover9") + 1), std::string::npos)
        << lFailure;
    EXPECT_EQ(mStandIns.LogLinesStartingWith("mace4 positive end").size(), 1u);
    EXPECT_EQ(mStandIns.LogLinesStartingWith("mace4 negative end").size(), 1u);
    ExpectNothingLeftRunning();
}

TEST_F(Prover9Mace4Test, AProgramThatCannotStartDoesNotLeaveTheOthersRunning) {
    Behave("sleep", "sleep", "stubborn", "stubborn");
    std::filesystem::remove(mStandIns.Folder() / "prover9");
    auto lStart = Clock::now();
    std::string lFailure = FailureOf([] { DecideText("p", 1); });
    EXPECT_LT(SecondsSince(lStart), 10.0);
    EXPECT_EQ(lFailure, "2 of 4 runs failed: Cannot start \"prover9\": the program was not found.");
    ExpectNothingLeftRunning();
}

TEST_F(Prover9Mace4Test, ProgramsThatEchoALargeInputDoNotDeadlock) {
    mStandIns.Set("prover9", "", "echo");
    mStandIns.Set("mace4", "", "echo");
    // Far more than a pipe holds: the programs write their echo while the input still comes.
    std::string lText = LongStatement("&");
    auto lStart = Clock::now();
    EXPECT_EQ(DecideText(lText, 60), Result::Contingent);
    EXPECT_LT(SecondsSince(lStart), 30.0);
}

TEST_F(Prover9Mace4Test, TheLimitEndsProgramsThatNeverReadTheirInput) {
    // The input is still being written when the limit fires: the writing must not hold the run.
    mStandIns.Set("prover9", "", "stubborn");
    mStandIns.Set("mace4", "", "sleep");
    auto lStart = Clock::now();
    EXPECT_EQ(DecideText(LongStatement("&"), 1), Result::NoDecision);
    EXPECT_LT(SecondsSince(lStart), 10.0);
    ExpectNothingLeftRunning();
}

TEST_F(Prover9Mace4Test, ProgramsThatExitWithoutReadingTheirInputAreNoFailure) {
    mStandIns.Set("prover9", "", "early");
    mStandIns.Set("mace4", "", "echo");
    std::string lText = LongStatement("|");
    EXPECT_EQ(DecideText(lText, 60), Result::Contingent);
}

TEST_F(Prover9Mace4Test, KilledProgramsAndWhatTheyStartedAreGone) {
    // They ignore polite termination and leave a background program holding their output.
    Behave("stubborn", "stubborn", "stubborn", "stubborn");
    EXPECT_EQ(DecideText("p", 1), Result::NoDecision);
    EXPECT_EQ(mStandIns.LogLinesStartingWith("mace4 negative background").size(), 1u);
    ExpectNothingLeftRunning();

    // A program that has answered and closed its output but stays is ended too.
    Behave("linger-proof", "stubborn", "stubborn", "stubborn");
    EXPECT_EQ(DecideText("p", 30), Result::Necessary);
    ExpectNothingLeftRunning();
}

TEST_F(Prover9Mace4Test, TwoHundredRunsLeaveNoProcessBehind) {
    for (int i = 0; i < 200; ++i) {
        SCOPED_TRACE(i);
        // Mostly a proof that ends the rest at once; every twentieth run waits for the limit.
        if (i % 20 == 0) {
            Behave("stubborn", "stubborn", "stubborn", "stubborn");
            ASSERT_EQ(Prover9Mace4::Decide(Parser::Parse(Lines{"p"}), 1), Result::NoDecision);
        } else {
            Behave("linger-proof", "stubborn", "stubborn", "stubborn");
            ASSERT_EQ(Prover9Mace4::Decide(Parser::Parse(Lines{"p"}), 1), Result::Necessary);
        }
        // Every program was this process's child and has been collected.
        ASSERT_EQ(ChildrenOfThisProcess(), std::vector<int>{});
    }
    std::vector<int> lLogged = mStandIns.LoggedProcesses();
    EXPECT_GE(lLogged.size(), 200u);
    EXPECT_EQ(SurvivorsOf(lLogged), std::vector<int>{});
}

} // namespace
} // namespace Logic
