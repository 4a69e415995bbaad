// The hostile documents a new user can write, through the driver's commands as the editor runs
// them: each ends in a verdict or in one short error line, and a long command can be stopped.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "driver/Doubles.h"
#include "driver/MainForm.h"
#include "platform/Cancellation.h"

namespace Logic {
namespace {

using namespace Logic::Testing;
using namespace std::chrono_literals;

std::string Repeated(const std::string& aPiece, size_t aCount) {
    std::string lText;
    lText.reserve(aPiece.size() * aCount);
    for (size_t lIndex = 0; lIndex < aCount; ++lIndex) {
        lText += aPiece;
    }
    return lText;
}

/// The messages the command logged, after checking their time stamps.
std::vector<std::string> Logged(const Harness& aHarness) {
    return Messages(aHarness.mWindow->mLog);
}

TEST(LongDocuments, AMillionLinesAreOneConjunctionThatIsDecided) {
    Harness lHarness;
    lHarness.mReceiver.mContents = Repeated("p\nq\n", 500000);
    EXPECT_EQ(lHarness.mDriver->DecideActiveBuffer(), CommandOutcome::Succeeded);
    EXPECT_EQ(Logged(lHarness),
              (std::vector<std::string>{"Deciding a.txt...", "The statement is contingent."}));
}

TEST(LongDocuments, AMegabyteLineOfConjoinedLettersHasItsCoefficients) {
    Harness lHarness;
    lHarness.mReceiver.mContents = Repeated("p&q&", 262144);
    lHarness.mReceiver.mContents.pop_back();
    EXPECT_EQ(lHarness.mDriver->CalculateCoefficientVector(), CommandOutcome::Succeeded);
    EXPECT_EQ(Logged(lHarness), (std::vector<std::string>{"Calculating coefficients for a.txt...",
                                                          "[0, 0, 0, 1]", "pq"}));
}

TEST(LongDocuments, GrowingReplacementsFailAtOnceWithOneLine) {
    Harness lHarness;
    lHarness.mReceiver.mContents = Repeated("#replace p (p&p)\n", 40) + "p";
    EXPECT_EQ(lHarness.mDriver->DecideActiveBuffer(), CommandOutcome::Failed);
    const std::vector<std::string> lLogged = Logged(lHarness);
    ASSERT_EQ(lLogged.size(), 2u);
    EXPECT_EQ(lLogged[1].rfind("Error: The replacement directive on line 29, \"#replace p (p&p)\", "
                               "makes the document more than 4 MiB longer",
                               0),
              0u)
        << lLogged[1];
}

TEST(LongDocuments, AnUnclosedParenthesisIsQuotedShort) {
    Harness lHarness;
    lHarness.mReceiver.mContents = "(" + Repeated("p&", 50000) + "p";
    lHarness.mReceiver.mSelectedText = lHarness.mReceiver.mContents;
    EXPECT_EQ(lHarness.mDriver->DecideActiveBuffer(), CommandOutcome::Failed);
    // The selection is quoted as briefly in the command's first line.
    EXPECT_EQ(lHarness.mDriver->DecideSelectedText(), CommandOutcome::Failed);
    const std::vector<std::string> lLogged = Logged(lHarness);
    ASSERT_EQ(lLogged.size(), 4u);
    for (const std::string& lMessage : lLogged) {
        EXPECT_LT(lMessage.size(), 300u) << lMessage;
    }
    EXPECT_EQ(lLogged[1].rfind("Error: Found unmatched parenthesis in \"(p&p&p&", 0), 0u);
    EXPECT_NE(lLogged[1].find("...[99802 characters left out]...&p&p"), std::string::npos)
        << lLogged[1];
    EXPECT_EQ(lLogged[1].substr(lLogged[1].size() - 5), "&p&p\"");
    EXPECT_EQ(lLogged[2].rfind("Deciding \"(p&p&p&", 0), 0u);
}

TEST(LongDocuments, ACommandStopsAtItsTimeLimit) {
    // Every one of 2^32 kinds of worlds, object by object (the binary predicate, never reached,
    // keeps the walk from taking shortcuts): far longer than a test may take.
    Harness lHarness;
    lHarness.mReceiver.mContents = "x,((Fx|~Fx|xLx)&(Gx|~Gx)&(Hx|~Hx)&(Ix|~Ix)&(Jx|~Jx))";
    Cancellation lCancellation;
    lCancellation.SetTimeLimit(100ms);
    EXPECT_EQ(lHarness.mDriver->DecideActiveBuffer(&lCancellation), CommandOutcome::Failed);
    EXPECT_EQ(Logged(lHarness),
              (std::vector<std::string>{"Deciding a.txt...",
                                        "Error: Stopped after 0.1 seconds: the time limit is up. "
                                        "Allow more time or shorten the document."}));
    // The limit belonged to that command only.
    lHarness.mReceiver.mContents = "p|~p";
    EXPECT_EQ(lHarness.mDriver->DecideActiveBuffer(), CommandOutcome::Succeeded);
}

TEST(LongDocuments, AFrontEndCanStopACommandFromAnotherThread) {
    Harness lHarness;
    lHarness.mReceiver.mContents = "x,((Fx|~Fx|xLx)&(Gx|~Gx)&(Hx|~Hx)&(Ix|~Ix)&(Jx|~Jx))";
    Cancellation lCancellation;
    std::thread lStopper([&] {
        std::this_thread::sleep_for(100ms);
        lCancellation.RequestStop();
    });
    const CommandOutcome lOutcome = lHarness.mDriver->DecideActiveBuffer(&lCancellation);
    lStopper.join();
    EXPECT_EQ(lOutcome, CommandOutcome::Failed);
    EXPECT_EQ(Logged(lHarness).back(), "Error: Stopped on request.");
}

} // namespace
} // namespace Logic
