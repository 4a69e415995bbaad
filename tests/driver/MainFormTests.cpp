#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "driver/MainForm.h"
#include "model/EngineException.h"
#include "driver/Doubles.h"
#include "provers/ProcessTable.h"
#include "provers/StandIns.h"

namespace Logic {
namespace {

using namespace Logic::Testing;
using Lines = std::vector<std::string>;

bool AllFound(const std::string&) { return true; }
bool NoneFound(const std::string&) { return false; }

TEST(Construction, LooksForTheToolsInOrderAndInstallsWhatWasFound) {
    Harness lAll(AllFound);
    EXPECT_EQ(lAll.mProbes, (Lines{MainForm::dot, MainForm::prover9, MainForm::mace4}));
    ASSERT_EQ(lAll.mReceiver.mCommands.size(), 6u);
    for (const auto& lCommand : lAll.mReceiver.mCommands) {
        EXPECT_TRUE(static_cast<bool>(lCommand));
    }

    Harness lNone(NoneFound);
    // Without prover9 there is no point in looking for mace4.
    EXPECT_EQ(lNone.mProbes, (Lines{MainForm::dot, MainForm::prover9}));
    std::vector<bool> lPresent;
    for (const auto& lCommand : lNone.mReceiver.mCommands) {
        lPresent.push_back(static_cast<bool>(lCommand));
    }
    EXPECT_EQ(lPresent, (std::vector<bool>{true, true, true, false, false, false}));
}

TEST(Construction, NeedsBothProversForTheProverCommand) {
    Harness lNoMace([](const std::string& fName) { return fName != MainForm::mace4; });
    EXPECT_TRUE(lNoMace.mDriver->CanDepict());
    EXPECT_FALSE(lNoMace.mDriver->CanProve());
    EXPECT_TRUE(static_cast<bool>(lNoMace.mReceiver.mCommands[3]));
    EXPECT_FALSE(static_cast<bool>(lNoMace.mReceiver.mCommands[5]));
    // Detection leaves the window alone.
    EXPECT_TRUE(lNoMace.mWindow->mCalls.empty());
}

TEST(Construction, FindsTheToolsThroughPath) {
    TemporaryFolder lFolder;
    Touch(lFolder / MainForm::dot);
    Touch(lFolder / MainForm::prover9);
    ScopedVariable lPath("PATH", lFolder.Path().string());
    Harness lHarness;
    EXPECT_TRUE(lHarness.mDriver->CanDepict());
    EXPECT_FALSE(lHarness.mDriver->CanProve());
}

TEST(TimeOfDay, ShowsSubSecondsOnlyWhenThereAreAny) {
    EXPECT_EQ(MainForm::FormatTimeOfDay({14, 3, 27, 0}), "14:03:27");
    EXPECT_EQ(MainForm::FormatTimeOfDay({9, 5, 3, 1234560}), "09:05:03.1234560");
    EXPECT_EQ(MainForm::FormatTimeOfDay({0, 0, 0, 1}), "00:00:00.0000001");
    EXPECT_EQ(MainForm::FormatTimeOfDay({23, 59, 59, 9999999}), "23:59:59.9999999");
}

TEST(Log, StampsFormatsAndLetsTheWindowCatchUp) {
    Harness lHarness(NoneFound);
    lHarness.mDriver->Log("Deciding {0}...", "a.txt");
    lHarness.mDriver->Log("{1} and {0}", 7, "x");
    // Result texts go through as they are, braces and all.
    lHarness.mDriver->Log("{0} {{");
    EXPECT_EQ(Messages(lHarness.mWindow->mLog), (Lines{"Deciding a.txt...", "x and 7", "{0} {{"}));
    ASSERT_EQ(lHarness.mWindow->mCalls.size(), 6u);
    EXPECT_EQ(lHarness.mWindow->mCalls[1], "Events");
    EXPECT_EQ(lHarness.mWindow->mCalls[5], "Events");
}

TEST(ActOnDialog, ShowsAndRaisesTheWindowBeforeTheAction) {
    Harness lHarness(NoneFound);
    lHarness.mDriver->ActOnDialog([&] { lHarness.mDriver->Log("working"); });
    ASSERT_GE(lHarness.mWindow->mCalls.size(), 3u);
    EXPECT_EQ(lHarness.mWindow->mCalls[0], "Show");
    EXPECT_EQ(lHarness.mWindow->mCalls[1], "Front");
    EXPECT_EQ(MessageOf(lHarness.mWindow->mCalls[2].substr(1)), "working");

    // Already visible: only raised.
    lHarness.mWindow->mCalls.clear();
    lHarness.mDriver->ActOnDialog([] {});
    EXPECT_EQ(lHarness.mWindow->mCalls, (Lines{"Front"}));
}

TEST(ActOnDialog, TurnsEveryFailureIntoOneErrorLine) {
    Harness lHarness(NoneFound);
    lHarness.mDriver->ActOnDialog([&] {
        lHarness.mDriver->Log("first");
        throw EngineException("Bad thing {0} in \"{1}\".", 3, "p");
    });
    lHarness.mDriver->ActOnDialog([] { throw NotImplementedException("not here"); });
    lHarness.mDriver->ActOnDialog([] { throw 42; });
    lHarness.mDriver->ActOnDialog([&] { lHarness.mDriver->Log("still usable"); });
    EXPECT_EQ(Messages(lHarness.mWindow->mLog),
              (Lines{"first", "Error: Bad thing 3 in \"p\".", "Error: not here",
                     "Error: An unknown failure occurred.", "still usable"}));
}

TEST(ActOnDialog, TellsTheFrontEndWhetherTheCommandFailed) {
    Harness lHarness(NoneFound);
    EXPECT_EQ(lHarness.mDriver->ActOnDialog([] {}), CommandOutcome::Succeeded);
    EXPECT_EQ(lHarness.mDriver->ActOnDialog([] { throw 42; }), CommandOutcome::Failed);
    // A verdict that merely reads like an error is still a result.
    EXPECT_EQ(lHarness.mDriver->ActOnDialog([&] { lHarness.mDriver->Log("Error: none"); }),
              CommandOutcome::Succeeded);

    lHarness.mReceiver.mContents = "p | ~p";
    EXPECT_EQ(lHarness.mDriver->DecideActiveBuffer(), CommandOutcome::Succeeded);
    lHarness.mReceiver.mContents = "p &";
    EXPECT_EQ(lHarness.mDriver->DecideActiveBuffer(), CommandOutcome::Failed);
    lHarness.mReceiver.mContents = "p & q";
    EXPECT_EQ(lHarness.mDriver->CalculateCoefficientVector(), CommandOutcome::Succeeded);
}

TEST(Close, HidesThenEmptiesTheLogSoTheNextCommandStartsClean) {
    Harness lHarness(NoneFound);
    lHarness.mReceiver.mReadFailure = "no editor";
    lHarness.mDriver->DecideActiveBuffer();
    lHarness.mDriver->button_close_Click();
    EXPECT_EQ(Lines(lHarness.mWindow->mCalls.end() - 2, lHarness.mWindow->mCalls.end()),
              (Lines{"Hide", "Clear"}));
    EXPECT_TRUE(lHarness.mWindow->mLog.empty());
    EXPECT_FALSE(lHarness.mWindow->IsVisible());

    lHarness.mWindow->mCalls.clear();
    lHarness.mDriver->CalculateCoefficientVector();
    EXPECT_EQ(lHarness.mWindow->mCalls.front(), "Show");
    EXPECT_EQ(Messages(lHarness.mWindow->mLog), (Lines{"Error: no editor"}));
}

TEST(Commands, ReadTheReceiverInOrderAndReportReadFailures) {
    Harness lHarness(NoneFound);
    lHarness.mReceiver.mReadFailure = "the editor is gone";
    lHarness.mDriver->DecideActiveBuffer();
    lHarness.mDriver->DecideSelectedText();
    EXPECT_EQ(lHarness.mReceiver.mReads, (Lines{"Name", "SelectedText"}));
    EXPECT_EQ(Messages(lHarness.mWindow->mLog),
              (Lines{"Error: the editor is gone", "Error: the editor is gone"}));
}

TEST(SplitLines, KeepsEmptyPiecesAndCarriageReturns) {
    EXPECT_EQ(MainForm::SplitLines(""), (Lines{""}));
    EXPECT_EQ(MainForm::SplitLines("p\r\n\nq\n"), (Lines{"p\r", "", "q", ""}));
    EXPECT_EQ(MainForm::SplitLines("p"), (Lines{"p"}));
}

// The commands below run the whole chain: parser, engine and coefficient vectors.

TEST(Decide, LogsTheNameThenTheVerdict) {
    Harness lHarness(NoneFound);
    lHarness.mReceiver.mContents = "p | ~p\r\n";
    lHarness.mDriver->DecideActiveBuffer();
    lHarness.mReceiver.mContents = "p -> q\np\n.'.\nq";
    lHarness.mDriver->DecideActiveBuffer();
    EXPECT_EQ(Messages(lHarness.mWindow->mLog),
              (Lines{"Deciding a.txt...", "The statement is necessarily true.", "Deciding a.txt...",
                     "The argument is valid."}));
    EXPECT_EQ(lHarness.mReceiver.mReads, (Lines{"Name", "Contents", "Name", "Contents"}));
}

TEST(Decide, LogsTheParserFailureAfterTheFirstLine) {
    Harness lHarness(NoneFound);
    lHarness.mReceiver.mContents = "";
    lHarness.mDriver->DecideActiveBuffer();
    lHarness.mReceiver.mSelectedText = "";
    lHarness.mDriver->DecideSelectedText();
    EXPECT_EQ(Messages(lHarness.mWindow->mLog),
              (Lines{"Deciding a.txt...", "Error: No content found.", "Deciding \"\" ...",
                     "Error: No content found."}));
}

TEST(Decide, SelectedTextIsQuotedWithItsLineBreaks) {
    Harness lHarness(NoneFound);
    lHarness.mReceiver.mSelectedText = "p\n& ~p";
    lHarness.mDriver->DecideSelectedText();
    EXPECT_EQ(Messages(lHarness.mWindow->mLog),
              (Lines{"Deciding \"p\n& ~p\" ...", "The statement is self-contradictory."}));
}

TEST(Decide, DeepDocumentsDoNotOverflowTheStack) {
    Harness lHarness(NoneFound);
    std::string lDeep = std::string(10000, '(') + "p" + std::string(10000, ')') + " | ~p";
    lHarness.mReceiver.mContents = lDeep;
    lHarness.mDriver->DecideActiveBuffer();
    ASSERT_EQ(lHarness.mWindow->mLog.size(), 2u);
    EXPECT_EQ(MessageOf(lHarness.mWindow->mLog[1]), "The statement is necessarily true.");
}

TEST(Decide, ExplainsOnlyWhenAskedAndAfterTheVerdict) {
    Harness lHarness(NoneFound);
    lHarness.mReceiver.mContents = "p -> q\nq\n.'.\np";
    // The editor's window shows the verdict line alone.
    lHarness.mDriver->DecideActiveBuffer();
    EXPECT_EQ(Messages(lHarness.mWindow->mLog),
              (Lines{"Deciding a.txt...", "The argument is invalid."}));
    EXPECT_FALSE(lHarness.mDriver->LastReport().mExplanation);

    lHarness.mWindow->mLog.clear();
    lHarness.mDriver->SetExplainVerdicts(true);
    lHarness.mDriver->DecideActiveBuffer();
    const Lines lExpected = {
        "Deciding a.txt...", "The argument is invalid.",
        "Counterexample (the premises true, the conclusion false): p false, q true"};
    EXPECT_EQ(Messages(lHarness.mWindow->mLog), lExpected);
    const CommandReport& lReport = lHarness.mDriver->LastReport();
    EXPECT_EQ(lReport.mLines, lExpected);
    EXPECT_EQ(lReport.mQuality, Quality::Invalid);
    EXPECT_FALSE(lReport.mAlethicity);
    ASSERT_TRUE(lReport.mExplanation && lReport.mExplanation->mCounterexample);
    EXPECT_FALSE(lReport.mExplanation->mExample);
}

TEST(Report, HoldsTheResultsOfTheLastCommandOnly) {
    Harness lHarness(NoneFound);
    lHarness.mReceiver.mContents = "p | q";
    lHarness.mDriver->CalculateCoefficientVector();
    EXPECT_EQ(lHarness.mDriver->LastReport().mCoefficients, (std::vector<int32_t>{0, 1, 1, -1}));
    EXPECT_EQ(lHarness.mDriver->LastReport().mPolynomial, "p + q - pq");
    EXPECT_FALSE(lHarness.mDriver->LastReport().mError);

    lHarness.mDriver->DecideActiveBuffer();
    const CommandReport& lReport = lHarness.mDriver->LastReport();
    EXPECT_EQ(lReport.mAlethicity, Alethicity::Contingent);
    EXPECT_FALSE(lReport.mCoefficients);
    EXPECT_EQ(lReport.mLines, (Lines{"Deciding a.txt...", "The statement is contingent."}));

    lHarness.mReceiver.mContents = "p &";
    lHarness.mDriver->DecideActiveBuffer();
    EXPECT_FALSE(lHarness.mDriver->LastReport().mAlethicity);
    ASSERT_TRUE(lHarness.mDriver->LastReport().mError);
    EXPECT_EQ(lHarness.mDriver->LastReport().mLines.back(),
              "Error: " + *lHarness.mDriver->LastReport().mError);
}

TEST(CoefficientCommand, LogsTheVectorAndThePolynomial) {
    Harness lHarness(NoneFound);
    lHarness.mReceiver.mContents = "q -> p";
    lHarness.mDriver->CalculateCoefficientVector();
    lHarness.mReceiver.mContents = "x, Fx";
    lHarness.mDriver->CalculateCoefficientVector();
    EXPECT_EQ(Messages(lHarness.mWindow->mLog),
              (Lines{"Calculating coefficients for a.txt...", "[1, 0, -1, 1]", "1 - q + pq",
                     "Calculating coefficients for a.txt...",
                     "Error: Coefficient vectors are only defined for statements that only have "
                     "nullary predicates and truth-functional operators."}));
}

TEST(CoefficientCommand, TakesAnArgumentAsItsConditional) {
    Harness lHarness(NoneFound);
    lHarness.mReceiver.mContents = "p\n.'.\nq";
    lHarness.mDriver->CalculateCoefficientVector();
    EXPECT_EQ(Messages(lHarness.mWindow->mLog),
              (Lines{"Calculating coefficients for a.txt...", "[1, -1, 0, 1]", "1 - p + pq"}));
}

TEST(CoefficientCommand, RefusesTooManyLetters) {
    Harness lHarness(NoneFound);
    lHarness.mReceiver.mContents = "a & b & c & d & e & f & g & h & i & j & k";
    lHarness.mDriver->CalculateCoefficientVector();
    EXPECT_EQ(Messages(lHarness.mWindow->mLog),
              (Lines{"Calculating coefficients for a.txt...",
                     "Error: Coefficient vectors are limited to 10 sentence letters; this "
                     "statement has 11."}));
}

TEST(StopRunningCommands, EndsARunningProverCommandAndItsProgramsAndNothingLater) {
    // What the front ends do when they close: the console on an interrupt, the editor's plugin
    // at NPPN_SHUTDOWN.
    StandInProvers lStandIns;
    lStandIns.Set("prover9", "", "sleep");
    lStandIns.Set("mace4", "", "sleep");
    Harness lHarness(AllFound);
    lHarness.mReceiver.mContents = "p";
    std::optional<CommandOutcome> lOutcome;
    std::thread lCommand([&] { lOutcome = lHarness.mDriver->ExecuteProver9OnActiveBuffer(-1); });
    // Bounded only so that programs that never all start fail the test instead of hanging it.
    for (int lTry = 0; lTry < 3000 && lStandIns.LogLines().size() < 4; ++lTry) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(lStandIns.LogLines().size(), 4u) << "not all four programs started";
    lHarness.mDriver->StopRunningCommands();
    lCommand.join();
    EXPECT_EQ(lOutcome, CommandOutcome::Failed);
    EXPECT_EQ(Messages(lHarness.mWindow->mLog),
              (Lines{"Evaluating a.txt with Prover9 and Mace4 without a time limit...",
                     "Error: Stopped on request."}));
    EXPECT_EQ(SurvivorsOf(lStandIns.LoggedProcesses()), std::vector<int>{});

    // The stop was that command's: the next one runs to its verdict.
    lStandIns.Set("prover9", "", "");
    lStandIns.Set("mace4", "", "");
    lStandIns.Set("prover9", "positive", "proof");
    lHarness.mWindow->mLog.clear();
    EXPECT_EQ(lHarness.mDriver->ExecuteProver9OnActiveBuffer(5), CommandOutcome::Succeeded);
    EXPECT_EQ(Messages(lHarness.mWindow->mLog).back(), "... result: necessary");
}

} // namespace
} // namespace Logic
