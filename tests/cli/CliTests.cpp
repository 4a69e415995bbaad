#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "driver/Doubles.h"
#include "provers/ProcessTable.h"
#include "provers/StandIns.h"

namespace {

using Logic::Testing::MessageOf;
using Logic::Testing::TemporaryFolder;
using Lines = std::vector<std::string>;

const std::string Binary = std::string(QUENDRAL_BINARY_DIR) + "/quendral";
const std::string Examples = std::string(QUENDRAL_SOURCE_DIR) + "/examples/";

struct Outcome {
    int mExitCode = -1;
    std::string mOut;
    std::string mError;
    Lines OutLines() const {
        Lines lLines;
        std::istringstream lStream(mOut);
        for (std::string lLine; std::getline(lStream, lLine);) {
            lLines.push_back(lLine);
        }
        return lLines;
    }
    Lines Messages() const { return Logic::Testing::Messages(OutLines()); }
};

std::string Slurp(const std::filesystem::path& aPath) {
    std::ifstream lFile(aPath, std::ios::binary);
    std::ostringstream lText;
    lText << lFile.rdbuf();
    return lText.str();
}

std::string Quote(const std::string& aText) {
    std::string lQuoted = "'";
    for (char lCharacter : aText) {
        lQuoted += lCharacter == '\'' ? std::string("'\\''") : std::string(1, lCharacter);
    }
    return lQuoted + "'";
}

/// Runs the built tool in its own working folder, with TMPDIR a folder of its own.
class CliTest : public ::testing::Test {
protected:
    TemporaryFolder mWork;
    TemporaryFolder mTemporary;

    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(Binary))
            << Binary << " is missing: build the quendral target first";
    }

    std::string Write(const std::string& aName, const std::string& aText) {
        std::ofstream(mWork / aName, std::ios::binary) << aText;
        return mWork / aName;
    }

    Outcome Run(const Lines& aArguments, const std::string& aEnvironment = "",
                const std::string& aInput = "") {
        std::string lCommand = "cd " + Quote(mWork.Path().string()) + " && env TMPDIR=" +
                               Quote(mTemporary.Path().string()) + " " + aEnvironment + " " +
                               Quote(Binary);
        for (const auto& lArgument : aArguments) {
            lCommand += " " + Quote(lArgument);
        }
        std::string lIn = Write(".stdin", aInput);
        std::string lOut = mWork / ".stdout";
        std::string lError = mWork / ".stderr";
        lCommand += " <" + Quote(lIn) + " >" + Quote(lOut) + " 2>" + Quote(lError);
        int lStatus = std::system(lCommand.c_str());
        Outcome lOutcome;
        lOutcome.mExitCode = WIFEXITED(lStatus) ? WEXITSTATUS(lStatus) : -1;
        lOutcome.mOut = Slurp(lOut);
        lOutcome.mError = Slurp(lError);
        return lOutcome;
    }
};

TEST_F(CliTest, HelpAndVersion) {
    Outcome lHelp = Run({"--help"});
    EXPECT_EQ(lHelp.mExitCode, 0);
    EXPECT_EQ(lHelp.mOut.rfind("usage:", 0), 0u);
    Outcome lVersion = Run({"--version"});
    EXPECT_EQ(lVersion.mExitCode, 0);
    EXPECT_EQ(lVersion.mOut, "quendral " QUENDRAL_VERSION "\n");
}

TEST_F(CliTest, UsageErrorsExitWithTwoAndExplain) {
    std::string lFile = Write("f.txt", "p");
    const std::vector<std::pair<Lines, std::string>> lCases = {
        {{}, "no command"},
        {{"solve", lFile}, "unknown command \"solve\""},
        {{"decide", "--fast", lFile}, "unknown option \"--fast\""},
        {{"coefficients", "--selection", "0:1", lFile}, "unknown option \"--selection\""},
        {{"decide"}, "needs a FILE"},
        {{"decide", lFile, lFile}, "more than one FILE"},
        {{"decide", mWork / "absent.txt"}, "cannot read"},
        {{"decide", mWork.Path().string()}, "is a directory"},
        {{"decide", "--selection", "2:1", lFile}, "END is before START"},
        {{"decide", "--selection", "a:b", lFile}, "bad selection"},
        {{"decide", "--selection=0:2", lFile}, "only 1 bytes"},
        {{"depict", "--output"}, "needs a value"},
        {{"decide", "--engine", "fast", lFile}, "bad engine \"fast\""},
        {{"coefficients", "--engine", "reference", lFile}, "unknown option \"--engine\""},
        {{"decide", "--timeout", "soon", lFile}, "bad timeout \"soon\""},
        {{"decide", "--timeout=-1", lFile}, "bad timeout \"-1\""},
        {{"depict", "--timeout", "5", lFile}, "unknown option \"--timeout\""},
    };
    for (const auto& [lArguments, lExpected] : lCases) {
        SCOPED_TRACE(lExpected);
        Outcome lOutcome = Run(lArguments);
        EXPECT_EQ(lOutcome.mExitCode, 2);
        EXPECT_NE(lOutcome.mError.find(lExpected), std::string::npos) << lOutcome.mError;
        EXPECT_NE(lOutcome.mError.find("usage:"), std::string::npos);
        EXPECT_EQ(lOutcome.mOut, "");
    }
}

TEST_F(CliTest, ProveWritesTwoLinesAndExitsByTheOutcome) {
    Logic::Testing::StandInProvers lStandIns;
    lStandIns.Set("prover9", "positive", "proof");
    std::string lFile = Write("a.txt", "p");
    Outcome lLimited = Run({"prove", "--timeout", "5", lFile});
    EXPECT_EQ(lLimited.mExitCode, 0) << lLimited.mError;
    EXPECT_EQ(lLimited.Messages(),
              (Lines{"Evaluating a.txt with Prover9 and Mace4 for up to 5 seconds...",
                     "... result: necessary"}));

    Outcome lDefault = Run({"prove", lFile});
    EXPECT_EQ(lDefault.Messages(),
              (Lines{"Evaluating a.txt with Prover9 and Mace4 for up to 30 seconds...",
                     "... result: necessary"}));
    Outcome lUnlimited = Run({"prove", "--timeout=-1", lFile});
    EXPECT_EQ(lUnlimited.Messages(),
              (Lines{"Evaluating a.txt with Prover9 and Mace4 without a time limit...",
                     "... result: necessary"}));
    Lines lStarts = lStandIns.LogLinesStartingWith("prover9 positive start");
    ASSERT_EQ(lStarts.size(), 3u);
    EXPECT_NE(lStarts[0].find(" 2 [-t 5]"), std::string::npos) << lStarts[0];
    EXPECT_NE(lStarts[1].find(" 2 [-t 30]"), std::string::npos) << lStarts[1];
    EXPECT_NE(lStarts[2].find(" 0 []"), std::string::npos) << lStarts[2];

    Outcome lModal = Run({"prove", Write("m.txt", "[]p")});
    EXPECT_EQ(lModal.mExitCode, 0);
    EXPECT_EQ(lModal.Messages().back(), "... result: no decision");

    // Both proofs are found in the output of programs killed at the limit, so that neither
    // can end the other before it has spoken.
    lStandIns.Set("prover9", "positive", "partial-proof");
    lStandIns.Set("prover9", "negative", "partial-proof");
    Outcome lInconsistent = Run({"prove", "--timeout", "1", lFile});
    EXPECT_EQ(lInconsistent.mExitCode, 1);
    EXPECT_EQ(lInconsistent.Messages(),
              (Lines{"Evaluating a.txt with Prover9 and Mace4 for up to 1 seconds...",
                     "Error: Inconsistent result!"}));
}

TEST_F(CliTest, AnInterruptStopsProveAndLeavesNoProgramRunning) {
    Logic::Testing::StandInProvers lStandIns;
    // Programs that ignore polite signals and start a background program holding their output.
    lStandIns.Set("prover9", "", "stubborn");
    lStandIns.Set("mace4", "", "stubborn");
    const std::string lFile = Write("a.txt", "p");
    const std::string lOut = mWork / ".stdout";
    for (int lSignal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(lSignal);
        lStandIns.ClearLog();
        // Started directly, not through a shell, so that the signal reaches the tool itself.
        const pid_t lTool = fork();
        ASSERT_GE(lTool, 0);
        if (lTool == 0) {
            const int lOutput = open(lOut.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(lOutput, 1);
            execl(Binary.c_str(), Binary.c_str(), "prove", "--timeout=-1", lFile.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        // Bounded waits only, so that a tool that misbehaves fails the test instead of hanging it.
        for (int lTry = 0; lTry < 3000 && lStandIns.LogLinesStartingWith("").size() < 8; ++lTry) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_EQ(lStandIns.LogLinesStartingWith("").size(), 8u) << "not all programs started";
        kill(lTool, lSignal);
        int lStatus = 0;
        bool lEnded = false;
        for (int lTry = 0; lTry < 3000 && !lEnded; ++lTry) {
            lEnded = waitpid(lTool, &lStatus, WNOHANG) == lTool;
            if (!lEnded) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        if (!lEnded) {
            kill(lTool, SIGKILL);
            waitpid(lTool, &lStatus, 0);
        }
        ASSERT_TRUE(lEnded) << "the tool did not stop";
        EXPECT_TRUE(WIFEXITED(lStatus));
        EXPECT_EQ(WEXITSTATUS(lStatus), 128 + lSignal);
        Outcome lOutcome;
        lOutcome.mOut = Slurp(lOut);
        EXPECT_EQ(lOutcome.Messages(),
                  (Lines{"Evaluating a.txt with Prover9 and Mace4 without a time limit...",
                         "Error: Stopped on request."}));
        // The four programs and their four background programs are gone, not orphaned.
        const std::vector<int> lProcesses = lStandIns.LoggedProcesses();
        EXPECT_EQ(lProcesses.size(), 8u);
        EXPECT_EQ(Logic::Testing::SurvivorsOf(lProcesses), std::vector<int>{});
    }
}

TEST_F(CliTest, ProveNeedsBothProgramsAndAWholeNumberOfSeconds) {
    std::string lFile = Write("a.txt", "p");
    Outcome lMissing = Run({"prove", lFile}, "PATH=/quendral/no/such/directory");
    EXPECT_EQ(lMissing.mExitCode, 1);
    EXPECT_NE(lMissing.mError.find("needs prover9 and mace4"), std::string::npos)
        << lMissing.mError;
    EXPECT_EQ(lMissing.mOut, "");
    for (const char* lBad : {"soon", "1.5", "-", "99999999999", "2147483648"}) {
        Outcome lOutcome = Run({"prove", "--timeout", lBad, lFile});
        EXPECT_EQ(lOutcome.mExitCode, 2) << lBad;
        EXPECT_NE(lOutcome.mError.find("bad timeout"), std::string::npos) << lOutcome.mError;
    }
}

TEST_F(CliTest, DecideWritesExactlyTheLogLines) {
    Outcome lOutcome = Run({"decide", Examples + "syllogism.txt"});
    EXPECT_EQ(lOutcome.mExitCode, 0) << lOutcome.mError;
    EXPECT_EQ(lOutcome.Messages(), (Lines{"Deciding syllogism.txt...", "The argument is valid."}));
    ASSERT_FALSE(lOutcome.mOut.empty());
    EXPECT_EQ(lOutcome.mOut.back(), '\n');
    EXPECT_EQ(lOutcome.mOut.find('\r'), std::string::npos);
}

TEST_F(CliTest, ExamplesGiveTheirVerdicts) {
    const std::vector<std::pair<std::string, std::string>> lCases = {
        {"modal.txt", "The argument is valid."},
        {"identity-and-counting.txt", "The argument is valid."},
        {"tautology.txt", "The statement is necessarily true."},
        {"comments-and-replace.txt", "The statement is contingent."},
    };
    for (const auto& [lName, lVerdict] : lCases) {
        for (const char* lEngine : {"compiled", "reference"}) {
            SCOPED_TRACE(lName + " " + lEngine);
            Outcome lOutcome = Run({"decide", "--engine", lEngine, Examples + lName});
            EXPECT_EQ(lOutcome.mExitCode, 0) << lOutcome.mError;
            EXPECT_EQ(lOutcome.Messages(), (Lines{"Deciding " + lName + "...", lVerdict}));
        }
    }
}

#ifdef QUENDRAL_HAVE_CADICAL
TEST_F(CliTest, SatEngineDecidesBeyondTheNumbering) {
    // Excluded middle over all 52 letters: no 32-bit numbering holds it.
    std::string lLetters;
    for (const char* lRange : {"az", "AZ"}) {
        for (char lLetter = lRange[0]; lLetter <= lRange[1]; ++lLetter) {
            lLetters += (lLetters.empty() ? "" : " | ") + std::string(1, lLetter);
        }
    }
    const std::string lFile = Write("letters.txt", "(" + lLetters + ") | ~(" + lLetters + ")\n");
    Outcome lCompiled = Run({"decide", "--engine", "compiled", lFile});
    EXPECT_EQ(lCompiled.Messages(), (Lines{"Deciding letters.txt...", "Error: Too many predicates!"}));
    for (const char* lEngine : {"sat", "auto"}) {
        Outcome lSat = Run({"decide", "--engine", lEngine, lFile});
        EXPECT_EQ(lSat.mExitCode, 0) << lSat.mError;
        EXPECT_EQ(lSat.Messages(), (Lines{"Deciding letters.txt...", "The statement is necessarily true."}));
    }
    EXPECT_EQ(Run({"decide", lFile}).Messages(), Run({"decide", "--engine", "auto", lFile}).Messages());

    Outcome lValid = Run({"decide", "--engine", "sat", Examples + "identity-and-counting.txt"});
    EXPECT_EQ(lValid.Messages(), (Lines{"Deciding identity-and-counting.txt...", "The argument is valid."}));
    Outcome lModal = Run({"decide", "--engine", "sat", Examples + "modal.txt"});
    EXPECT_EQ(lModal.Messages(), (Lines{"Deciding modal.txt...", "The argument is valid."}));
    const std::string lAcross = Write("across.txt", "x, [](3y, x=y)\n");
    Outcome lRefused = Run({"decide", "--engine", "sat", lAcross});
    EXPECT_EQ(lRefused.mExitCode, 1);
    EXPECT_EQ(lRefused.Messages(),
              (Lines{"Deciding across.txt...", "Error: The SAT engine can't decide a proposition whose identities "
                                               "compare objects across modal operators; the compiled engine "
                                               "decides it."}));
    EXPECT_EQ(Run({"decide", lAcross}).Messages(),
              (Lines{"Deciding across.txt...", "The statement is self-contradictory."}));
}

#endif

TEST_F(CliTest, ReadsStandardInputAndSelections) {
    Outcome lStdin = Run({"decide", "-"}, "", "p & ~p\n");
    EXPECT_EQ(lStdin.mExitCode, 0) << lStdin.mError;
    EXPECT_EQ(lStdin.Messages(),
              (Lines{"Deciding stdin...", "The statement is self-contradictory."}));

    std::string lFile = Write("s.txt", "p | ~p\nq & ~q\n");
    Outcome lSelected = Run({"decide", "--selection", "7:13", lFile});
    EXPECT_EQ(lSelected.mExitCode, 0) << lSelected.mError;
    EXPECT_EQ(lSelected.Messages(),
              (Lines{"Deciding \"q & ~q\" ...", "The statement is self-contradictory."}));

    // A leading byte-order mark is no part of the text: the directive on the first line still
    // counts, and selections are measured from after the mark.
    std::string lMarked = Write("bom.txt", "\xEF\xBB\xBF#replace or |\np or ~p\n");
    Outcome lWhole = Run({"decide", lMarked});
    EXPECT_EQ(lWhole.Messages(), (Lines{"Deciding bom.txt...", "The statement is necessarily true."}));
    Outcome lPart = Run({"decide", "--selection", "14:15", lMarked});
    EXPECT_EQ(lPart.Messages(), (Lines{"Deciding \"p\" ...", "The statement is contingent."}));
}

TEST_F(CliTest, FailedCommandsLogTheErrorAndExitWithOne) {
    Outcome lEmpty = Run({"decide", Write("empty.txt", "")});
    EXPECT_EQ(lEmpty.mExitCode, 1);
    EXPECT_EQ(lEmpty.Messages(), (Lines{"Deciding empty.txt...", "Error: No content found."}));
    Outcome lNothingSelected = Run({"decide", "--selection", "1:1", Write("p.txt", "p")});
    EXPECT_EQ(lNothingSelected.mExitCode, 1);
    EXPECT_EQ(lNothingSelected.Messages(),
              (Lines{"Deciding \"\" ...", "Error: No content found."}));
}

TEST_F(CliTest, CoefficientsKeepTheTraceOffStandardOutput) {
    std::string lFile = Write("or.txt", "p | q\n");
    const Lines lExpected = {"Calculating coefficients for or.txt...", "[0, 1, 1, -1]",
                             "p + q - pq"};
    Outcome lQuiet = Run({"coefficients", lFile});
    EXPECT_EQ(lQuiet.mExitCode, 0) << lQuiet.mError;
    EXPECT_EQ(lQuiet.Messages(), lExpected);
    EXPECT_EQ(lQuiet.mError, "");

    Outcome lTraced = Run({"coefficients", lFile}, "QUENDRAL_DIAGNOSTICS=1");
    EXPECT_EQ(lTraced.Messages(), lExpected);
    EXPECT_NE(lTraced.mError.find("Applying [0, 1, 1, -1]"), std::string::npos);

    Outcome lModal = Run({"coefficients", Examples + "modal.txt"});
    EXPECT_EQ(lModal.mExitCode, 1);
    ASSERT_EQ(lModal.Messages().size(), 2u);
    EXPECT_EQ(lModal.Messages()[1].rfind("Error: Coefficient vectors are only defined", 0), 0u);
}

TEST_F(CliTest, DepictKeepsThePictureAndCleansUpTheTemporaryOne) {
    std::string lFile = Write("tree.txt", "p & (q | ~r)\n");
    Outcome lOutcome = Run({"depict", lFile});
    EXPECT_EQ(lOutcome.mExitCode, 0) << lOutcome.mError;
    EXPECT_EQ(lOutcome.mOut, "");
    EXPECT_EQ(Slurp(mWork / "tree.png").substr(1, 3), "PNG");
    EXPECT_FALSE(std::filesystem::exists(mTemporary / "tree.png"));

    Outcome lChosen = Run({"depict", "--selection", "0:1", "--output", "sel.png", lFile});
    EXPECT_EQ(lChosen.mExitCode, 0) << lChosen.mError;
    EXPECT_EQ(Slurp(mWork / "sel.png").substr(1, 3), "PNG");
    EXPECT_TRUE(std::filesystem::is_empty(mTemporary.Path()));
}

TEST_F(CliTest, DepictFailuresGoToStandardError) {
    Outcome lBad = Run({"depict", Write("bad.txt", "p &")});
    EXPECT_EQ(lBad.mExitCode, 1);
    EXPECT_EQ(lBad.mOut, "");
    EXPECT_NE(lBad.mError, "");
    EXPECT_FALSE(std::filesystem::exists(mWork / "bad.png"));

    Outcome lNoDot = Run({"depict", Write("p.txt", "p")}, "PATH=" + mWork.Path().string());
    EXPECT_EQ(lNoDot.mExitCode, 1);
    EXPECT_NE(lNoDot.mError.find("was not found"), std::string::npos) << lNoDot.mError;
}

} // namespace

namespace {

TEST_F(CliTest, DecideStopsAtItsTimeoutWithOneErrorLine) {
    // Exactly seven things are F: minutes of work.
    Outcome lOutcome = Run({"decide", "--timeout", "0.3", Write("seven.txt", "x,((Fx|~Fx|xLx)&(Gx|~Gx)&(Hx|~Hx)&(Ix|~Ix)&(Jx|~Jx))")});
    EXPECT_EQ(lOutcome.mExitCode, 1);
    EXPECT_EQ(lOutcome.Messages(),
              (Lines{"Deciding seven.txt...", "Error: Stopped after 0.3 seconds: the time limit is "
                                              "up. Allow more time or shorten the document."}));
    EXPECT_EQ(lOutcome.mError, "");
    // A necessary statement over 32 letters: the reference walks 2^32 kinds of worlds.
    std::string lParity = "a";
    for (char lLetter = 'b'; lLetter <= 'z'; ++lLetter) {
        lParity += std::string(" ^ ") + lLetter;
    }
    lParity += " ^ A ^ B ^ C ^ D ^ E ^ F";
    lParity = "(" + lParity + ") | ~(" + lParity + ")";
    Outcome lWide =
        Run({"decide", "--engine", "reference", "--timeout", "0.3", Write("parity.txt", lParity)});
    EXPECT_EQ(lWide.mExitCode, 1);
    EXPECT_EQ(lWide.Messages().back(), "Error: Stopped after 0.3 seconds: the time limit is "
                                       "up. Allow more time or shorten the document.");
    // Time enough: the verdict as usual.
    Outcome lQuick = Run({"decide", "--timeout=60", Write("quick.txt", "p|~p")});
    EXPECT_EQ(lQuick.mExitCode, 0);
    EXPECT_EQ(lQuick.Messages().back(), "The statement is necessarily true.");
}

} // namespace

namespace {

using Json = nlohmann::json;

/// The one JSON object the run wrote, parsed back; null JSON with a failure when it is not one.
Json ParsedReport(const Outcome& aOutcome) {
    Json lJson = Json::parse(aOutcome.mOut, nullptr, /*allow_exceptions=*/false);
    EXPECT_TRUE(lJson.is_object()) << aOutcome.mOut;
    return lJson;
}

TEST_F(CliTest, ExplainShowsTheCounterexampleAfterTheVerdict) {
    // Affirming the consequent.
    std::string lFile = Write("affirming.txt", "p -> q\nq\n.'.\np\n");
    Outcome lOutcome = Run({"decide", "--explain", lFile});
    EXPECT_EQ(lOutcome.mExitCode, 0) << lOutcome.mError;
    EXPECT_EQ(lOutcome.Messages(),
              (Lines{"Deciding affirming.txt...", "The argument is invalid.",
                     "Counterexample (the premises true, the conclusion false): p false, q true"}));
    // A contingent statement has both; a self-contradictory one only a counterexample.
    Outcome lContingent = Run({"decide", "--explain", Write("c.txt", "x, Fx")});
    EXPECT_EQ(lContingent.Messages(),
              (Lines{"Deciding c.txt...", "The statement is contingent.",
                     "Example: 1 object that is F", "Counterexample: 1 object that is not F"}));
    Outcome lImpossible = Run({"decide", "--explain", "--engine", "reference",
                               Write("i.txt", "p & ~p")});
    EXPECT_EQ(lImpossible.Messages(),
              (Lines{"Deciding i.txt...", "The statement is self-contradictory.",
                     "Counterexample: p false"}));
    Outcome lNotForCoefficients = Run({"coefficients", "--explain", lFile});
    EXPECT_EQ(lNotForCoefficients.mExitCode, 2);
}

TEST_F(CliTest, JsonReportsTheDecisionAndItsModels) {
    std::string lFile = Write("affirming.txt", "p -> q\nq\n.'.\np\n");
    Outcome lOutcome = Run({"decide", "--explain", "--format", "json", lFile});
    EXPECT_EQ(lOutcome.mExitCode, 0) << lOutcome.mError;
    Json lJson = ParsedReport(lOutcome);
    EXPECT_EQ(lJson["command"], "decide");
    EXPECT_EQ(lJson["document"], "affirming.txt");
    EXPECT_EQ(lJson["ok"], true);
    EXPECT_FALSE(lJson.contains("error"));
    EXPECT_EQ(lJson["verdict"], "invalid");
    EXPECT_EQ(lJson["lines"][1], "The argument is invalid.");
    EXPECT_EQ(lJson["lines"].size(), 3u);
    EXPECT_FALSE(lJson.contains("example"));
    EXPECT_EQ(lJson["counterexample"],
              Json::parse(R"({"letters": {"p": false, "q": true}, "objects": []})"));

    // Objects: how many of each kind, which predicates they have and lack.
    Outcome lSyllogism = Run({"decide", "--explain", "--format=json",
                              Write("s.txt", "x, Fx -> Gx\nGa\n.'.\nFa")});
    Json lWorld = ParsedReport(lSyllogism)["counterexample"];
    ASSERT_TRUE(lWorld["objects"].is_array());
    bool lGNotF = false;
    for (const Json& lKind : lWorld["objects"]) {
        EXPECT_GE(lKind["count"].get<int>(), 1);
        const bool lIsGNotF = lKind["affirms"] == Json{"G"} && lKind["denies"] == Json{"F"};
        lGNotF = lGNotF || lIsGNotF;
        // The name a denotes the object that is G and not F; the other kinds have no names.
        EXPECT_EQ(lKind["names"], lIsGNotF ? Json{"a"} : Json::array()) << lWorld;
        EXPECT_EQ(lKind["named_objects"], lIsGNotF ? Json::parse(R"([["a"]])") : Json::array())
            << lWorld;
    }
    EXPECT_TRUE(lGNotF) << lWorld;
    // Two names of one kind: "names" lists them, "named_objects" tells one object from two.
    Json lIdentity =
        ParsedReport(Run({"decide", "--explain", "--format", "json", Write("i.txt", "a=b")}));
    EXPECT_EQ(lIdentity["example"], Json::parse(R"({"letters": {}, "objects": [{"count": 1,
        "affirms": [], "denies": [], "names": ["a", "b"], "named_objects": [["a", "b"]]}]})"));
    EXPECT_EQ(lIdentity["counterexample"], Json::parse(R"({"letters": {}, "objects": [{"count": 2,
        "affirms": [], "denies": [], "names": ["a", "b"], "named_objects": [["a"], ["b"]]}]})"));

    // Without --explain: the verdict alone, every kind of verdict by its name.
    const std::vector<std::pair<std::string, std::string>> lVerdicts = {
        {"p | ~p", "necessary"},
        {"p", "contingent"},
        {"p & ~p", "impossible"},
        {"p\n.'.\np", "valid"},
        {"p & ~p\n.'.\nq", "valid-inconsistent-premises"},
        {"p\n.'.\nq | ~q", "valid-tautological-conclusion"},
        {"p & ~p\n.'.\nq | ~q", "valid-inconsistent-premises-and-tautological-conclusion"},
    };
    for (const auto& [lText, lVerdict] : lVerdicts) {
        Json lPlain = ParsedReport(Run({"decide", "--format", "json", Write("v.txt", lText)}));
        EXPECT_EQ(lPlain["verdict"], lVerdict) << lText;
        EXPECT_FALSE(lPlain.contains("example") || lPlain.contains("counterexample"));
    }
}

TEST_F(CliTest, JsonModalModelsAreSetsOfWorlds) {
    Outcome lOutcome =
        Run({"decide", "--explain", "--format", "json", Write("m.txt", "<>p -> []p")});
    EXPECT_EQ(lOutcome.mExitCode, 0) << lOutcome.mError;
    Json lJson = ParsedReport(lOutcome);
    EXPECT_EQ(lJson["verdict"], "contingent");
    for (const char* lKey : {"example", "counterexample"}) {
        SCOPED_TRACE(lKey);
        const Json& lWorlds = lJson[lKey]["worlds"];
        ASSERT_TRUE(lWorlds.is_array() && !lWorlds.empty()) << lJson;
        for (const Json& lWorld : lWorlds) {
            EXPECT_TRUE(lWorld["holds"].is_boolean());
            EXPECT_TRUE(lWorld["letters"]["p"].is_boolean());
        }
    }
    // "<>p -> []p" fails exactly where p varies between the worlds.
    std::set<bool> lValues;
    for (const Json& lWorld : lJson["counterexample"]["worlds"]) {
        lValues.insert(lWorld["letters"]["p"].get<bool>());
        EXPECT_EQ(lWorld["holds"], false);
    }
    EXPECT_EQ(lValues.size(), 2u);
}

#ifdef QUENDRAL_HAVE_CADICAL
TEST_F(CliTest, SatEngineShowsRelationalModels) {
    // Symmetry makes this valid, which no search of finite models can show: it stays undecided,
    // and --explain says how far the search went.
    const std::string lValid = Write("symmetric.txt", "x,y, xLy -> yLx\naLb\n.'.\nbLa\n");
    const std::string lUndecided = "Error: Can't decide a proposition that contains binary predicates.";
    Outcome lPlain = Run({"decide", "--engine", "sat", lValid});
    EXPECT_EQ(lPlain.mExitCode, 1);
    EXPECT_EQ(lPlain.Messages(), (Lines{"Deciding symmetric.txt...", lUndecided}));
    Outcome lExplained = Run({"decide", "--engine", "sat", "--explain", lValid});
    EXPECT_EQ(lExplained.Messages(),
              (Lines{"Deciding symmetric.txt...", lUndecided, "No countermodel with up to 6 objects."}));

    // Without it, two objects: a bears L to b, and b not to a.
    const std::string lInvalid = Write("converse.txt", "aLb\n.'.\nbLa\n");
    Outcome lText = Run({"decide", "--engine", "sat", "--explain", lInvalid});
    EXPECT_EQ(lText.mExitCode, 0) << lText.mError;
    ASSERT_EQ(lText.Messages().size(), 3u);
    EXPECT_EQ(lText.Messages()[1], "The argument is invalid.");
    EXPECT_TRUE(lText.Messages()[2].starts_with(
        "Counterexample (the premises true, the conclusion false): 2 objects: 1 ("))
        << lText.Messages()[2];
    Json lJson = ParsedReport(Run({"decide", "--engine", "sat", "--explain", "--format", "json", lInvalid}));
    EXPECT_EQ(lJson["verdict"], "invalid");
    const Json& lWorld = lJson["counterexample"];
    ASSERT_EQ(lWorld["objects"].size(), 2u) << lWorld;
    std::map<std::string, int> lNumberOf;
    for (const Json& lObject : lWorld["objects"]) {
        EXPECT_EQ(lObject["count"], 1);
        for (const Json& lName : lObject["names"]) {
            lNumberOf[lName.get<std::string>()] = lObject["number"].get<int>();
        }
    }
    ASSERT_EQ(lNumberOf.size(), 2u) << lWorld;
    const Json lPairs = lWorld["relations"]["L"];
    const auto fHolds = [&](int fFirst, int fSecond) {
        return std::find(lPairs.begin(), lPairs.end(), Json::array({fFirst, fSecond})) != lPairs.end();
    };
    EXPECT_TRUE(fHolds(lNumberOf["a"], lNumberOf["b"])) << lWorld;
    EXPECT_FALSE(fHolds(lNumberOf["b"], lNumberOf["a"])) << lWorld;
}
#endif

TEST_F(CliTest, JsonReportsCoefficientsProofsAndFailures) {
    Json lCoefficients =
        ParsedReport(Run({"coefficients", "--format", "json", Write("or.txt", "p | q")}));
    EXPECT_EQ(lCoefficients["command"], "coefficients");
    EXPECT_EQ(lCoefficients["coefficients"], (Json{0, 1, 1, -1}));
    EXPECT_EQ(lCoefficients["polynomial"], "p + q - pq");
    EXPECT_EQ(lCoefficients["lines"],
              (Json{"Calculating coefficients for or.txt...", "[0, 1, 1, -1]", "p + q - pq"}));

    {
        Logic::Testing::StandInProvers lStandIns;
        lStandIns.Set("prover9", "positive", "proof");
        Outcome lProved = Run({"prove", "--format", "json", Write("a.txt", "p | ~p")});
        EXPECT_EQ(lProved.mExitCode, 0) << lProved.mError;
        Json lProof = ParsedReport(lProved);
        EXPECT_EQ(lProof["command"], "prove");
        EXPECT_EQ(lProof["result"], "necessary");
        EXPECT_EQ(lProof["ok"], true);
    }

    // A failed command: its error line, and the exit status of the text form.
    Outcome lBad = Run({"decide", "--format", "json", Write("bad.txt", "p &")});
    EXPECT_EQ(lBad.mExitCode, 1);
    Json lFailure = ParsedReport(lBad);
    EXPECT_EQ(lFailure["ok"], false);
    ASSERT_TRUE(lFailure["error"].is_string());
    EXPECT_EQ(lFailure["lines"].back(), "Error: " + lFailure["error"].get<std::string>());
    EXPECT_FALSE(lFailure.contains("verdict"));

    // Bad arguments and missing programs answer in JSON too, with their usual status.
    Outcome lUsage = Run({"decide", "--format", "json", "--fast", Write("p.txt", "p")});
    EXPECT_EQ(lUsage.mExitCode, 2);
    EXPECT_NE(ParsedReport(lUsage)["error"].get<std::string>().find("--fast"), std::string::npos);
    Outcome lMissing =
        Run({"prove", "--format", "json", Write("p.txt", "p")}, "PATH=/quendral/no/such/directory");
    EXPECT_EQ(lMissing.mExitCode, 1);
    Json lNoProver = ParsedReport(lMissing);
    EXPECT_EQ(lNoProver["document"], "p.txt");
    EXPECT_NE(lNoProver["error"].get<std::string>().find("prover9"), std::string::npos);

    // Text that is not UTF-8 is quoted in the error, never a broken document.
    Outcome lBytes = Run({"decide", "--format", "json", "-"}, "", "\xff\xfe &");
    EXPECT_EQ(lBytes.mExitCode, 1);
    EXPECT_EQ(ParsedReport(lBytes)["ok"], false);
    EXPECT_EQ(Run({"depict", "--format", "json", Write("p.txt", "p")}).mExitCode, 2);
}

} // namespace

namespace {

// A failure that concerns a place names it on standard error as FILE:LINE:COLUMN, counted in
// characters of the document as written: before comments go, lines are joined or words are
// replaced. Standard output keeps the log lines alone.
TEST_F(CliTest, FailuresNameTheirPlaceOnStandardError) {
    struct Case {
        const char* mWhat;
        std::string mDocument;
        std::string mLocated;
    };
    const std::vector<Case> lCases = {
        {"unmatched parenthesis", "p\nq\n\nSa(P\n",
         "4:1: error: Found unmatched parenthesis in \"Sa(P\""},
        {"unknown character", "p & @ & q\n",
         "1:5: error: Expected predication or parenthesized expression, found \"@&q\""},
        {"bad two-term form", "SaP\nSxP\n",
         "2:1: error: Expected predication or parenthesized expression, found \"SxP\""},
        {"inside a joined statement", "// the premises\r\n(p &\r\n q) & (r | §)\r\n",
         "3:12: error: Expected predication or parenthesized expression, found \"§\""},
        {"inside replaced text", "#replace and &\n#replace bad $$\np and\n  q and bad\n",
         "4:9: error: Expected predication or parenthesized expression, found \"$$\""},
        {"after non-ASCII characters", "#replace ∧ &\nFa ∧ Ga ∧ ?\n",
         "2:11: error: Expected predication or parenthesized expression, found \"?\""},
        {"in the conclusion of an argument", "p\n.'.\nq &\n  Ab(\n",
         "3:1: error: Found unmatched parenthesis in \"q&Ab(\""},
        {"in a premise", "p -> q\n(p | ?)\n.'.\nq\n",
         "2:6: error: Expected predication or parenthesized expression, found \"?\""},
        {"a count too large", "p & 3F & 9999999999G // ü\n",
         "1:10: error: The count \"9999999999\" is not a number from 0 to 4294967295 written "
         "with the digits 0-9."},
        {"a directive", "p\n#replace\n", "2:1: error: Invalid replacement directive: #replace"},
    };
    for (const Case& lCase : lCases) {
        SCOPED_TRACE(lCase.mWhat);
        const std::string lFile = Write("doc.txt", lCase.mDocument);
        const Outcome lOutcome = Run({"decide", lFile});
        EXPECT_EQ(lOutcome.mExitCode, 1);
        EXPECT_EQ(lOutcome.mError, lFile + ":" + lCase.mLocated + "\n");
        ASSERT_EQ(lOutcome.Messages().size(), 2u);
        EXPECT_EQ(lOutcome.Messages()[1].rfind("Error: ", 0), 0u) << lOutcome.Messages()[1];
        EXPECT_EQ(lOutcome.mOut.find("error:"), std::string::npos) << lOutcome.mOut;
    }
}

TEST_F(CliTest, PlacesOfSelectionsAndDepictionsCountInTheWholeFile) {
    const std::string lDocument = "// ä ü\np & b\np & (q |\n ?)\n";
    const std::string lFile = Write("doc.txt", lDocument);
    const size_t lStart = lDocument.find("p & (");
    const Outcome lSelected = Run(
        {"decide", "--selection", std::to_string(lStart) + ":" + std::to_string(lDocument.size()),
         lFile});
    EXPECT_EQ(lSelected.mError,
              lFile + ":4:2: error: Expected predication or parenthesized expression, found \"?\"\n");

    const Outcome lJson = Run({"decide", "--format", "json", lFile});
    const Json lReport = Json::parse(lJson.mOut);
    EXPECT_EQ(lReport["error_at"], (Json{{"line", 4}, {"column", 2}, {"length", 1}}));
    const Outcome lWhole = Run({"decide", "--format", "json", Write("p.txt", "p")});
    EXPECT_FALSE(Json::parse(lWhole.mOut).contains("error_at"));

    // Depiction reports its failures on standard error too; it needs no dot to fail in parsing.
    const Outcome lDepicted = Run({"depict", Write("bad.txt", "p\n  & (q")});
    if (lDepicted.mError.find("was not found") == std::string::npos) {
        EXPECT_EQ(lDepicted.mError, Write("bad.txt", "p\n  & (q") +
                                        ":1:1: error: Found unmatched parenthesis in \"p&(q\"\n");
    }
}

} // namespace
