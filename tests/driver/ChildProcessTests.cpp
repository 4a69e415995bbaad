#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "model/EngineException.h"
#include "platform/ChildProcess.h"
#include "platform/Platform.h"
#include "driver/Doubles.h"
#include "provers/ProcessTable.h"

namespace Logic::Platform {
namespace {

using Logic::Testing::TemporaryFolder;

ProcessStartInfo Shell(const std::string& aScript) {
    ProcessStartInfo lStartInfo;
    lStartInfo.mProgram = "sh";
    lStartInfo.mArguments = {"-c", aScript};
    return lStartInfo;
}

TEST(ChildProcess, PipesTextThroughAndReportsTheExitCode) {
    ProcessStartInfo lStartInfo = Shell("tr a-z A-Z; exit 3");
    lStartInfo.mRedirectStandardInput = true;
    lStartInfo.mStandardOutput = OutputRoute::Pipe;
    ChildProcess lChild(lStartInfo);
    lChild.WriteToStandardInput("hello\n");
    lChild.CloseStandardInput();
    EXPECT_EQ(lChild.ReadStandardOutputToEnd(), "HELLO\n");
    EXPECT_TRUE(lChild.WaitForExit(10000));
    EXPECT_EQ(lChild.ExitCode(), 3);
}

TEST(ChildProcess, ArgumentsArePassedWithoutAShell) {
    ProcessStartInfo lStartInfo;
    lStartInfo.mProgram = "printf";
    lStartInfo.mArguments = {"[%s]", "two words", "$HOME", "-o\"a b.png\""};
    lStartInfo.mStandardOutput = OutputRoute::Pipe;
    ChildProcess lChild(lStartInfo);
    EXPECT_EQ(lChild.ReadStandardOutputToEnd(), "[two words][$HOME][-o\"a b.png\"]");
}

TEST(ChildProcess, RunsInTheGivenWorkingDirectory) {
    TemporaryFolder lFolder;
    ProcessStartInfo lStartInfo = Shell("pwd -P");
    lStartInfo.mWorkingDirectory = lFolder.Path().string();
    lStartInfo.mStandardOutput = OutputRoute::Pipe;
    ChildProcess lChild(lStartInfo);
    EXPECT_EQ(lChild.ReadStandardOutputToEnd(),
              std::filesystem::canonical(lFolder.Path()).string() + "\n");
}

TEST(ChildProcess, AskingTheCodeOfARunningChildFails) {
    ChildProcess lChild(Shell("sleep 5"));
    auto lStart = std::chrono::steady_clock::now();
    EXPECT_FALSE(lChild.WaitForExit(50));
    EXPECT_LT(std::chrono::steady_clock::now() - lStart, std::chrono::seconds(4));
    EXPECT_THROW(lChild.ExitCode(), EngineException);
    lChild.Kill();
    EXPECT_TRUE(lChild.WaitForExit(5000));
    EXPECT_NE(lChild.ExitCode(), 0);
}

TEST(ChildProcess, WritingToAChildThatStoppedReadingFailsInsteadOfEndingUs) {
    ProcessStartInfo lStartInfo = Shell("exit 0");
    lStartInfo.mRedirectStandardInput = true;
    ChildProcess lChild(lStartInfo);
    ASSERT_TRUE(lChild.WaitForExit(10000));
    EXPECT_THROW(lChild.WriteToStandardInput(std::string(1 << 20, 'x')), EngineException);
}

TEST(ChildProcess, MissingProgramsAndDirectoriesAreClearFailures) {
    ProcessStartInfo lMissing;
    lMissing.mProgram = "quendral-no-such-program";
    try {
        ChildProcess lChild(lMissing);
        FAIL() << "started a missing program";
    } catch (const EngineException& lFailure) {
        EXPECT_EQ(std::string(lFailure.what()),
                  "Cannot start \"quendral-no-such-program\": the program was not found.");
    }
    ProcessStartInfo lBadDirectory = Shell("true");
    lBadDirectory.mWorkingDirectory = "/quendral/no/such/directory";
    EXPECT_THROW(ChildProcess lChild(lBadDirectory), EngineException);
}

ProcessStartInfo PipedShell(const std::string& aScript) {
    ProcessStartInfo lStartInfo = Shell(aScript);
    lStartInfo.mRedirectStandardInput = true;
    lStartInfo.mStandardOutput = OutputRoute::Pipe;
    return lStartInfo;
}

/// The number a shell script wrote to aPath, once it is there.
int NumberWrittenTo(const std::string& aPath) {
    for (int i = 0; i < 500; ++i) {
        std::ifstream lFile(aPath);
        int lNumber = 0;
        if (lFile >> lNumber) {
            return lNumber;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

TEST(ChildProcessExchange, EchoesAnInputFarLargerThanAPipeHolds) {
    std::string lInput;
    for (int i = 0; lInput.size() < (4 << 20); ++i) {
        lInput += "line " + std::to_string(i) + "\n";
    }
    ChildProcess lChild(PipedShell("cat"));
    std::atomic<bool> lNotified{false};
    lChild.BeginExchange(lInput, [&] { lNotified = true; });
    EXPECT_EQ(lChild.EndExchange(), lInput);
    EXPECT_TRUE(lNotified);
    EXPECT_TRUE(lChild.ExchangeFinished());
    EXPECT_TRUE(lChild.WaitForExit(10000));
    EXPECT_EQ(lChild.ExitCode(), 0);
}

TEST(ChildProcessExchange, AChildThatStopsReadingEndsTheWritingOnly) {
    ChildProcess lChild(PipedShell("head -c 5; echo; echo done"));
    lChild.BeginExchange(std::string(1 << 22, 'x'), nullptr);
    EXPECT_EQ(lChild.EndExchange(), "xxxxx\ndone\n");
}

TEST(ChildProcessExchange, GivesUpOnOutputHeldOpenAndReturnsWhatCame) {
    TemporaryFolder lFolder;
    std::string lPidFile = lFolder / "pid";
    // The background sleep leaves the child's tree, so killing the tree cannot close the output.
    ChildProcess lChild(PipedShell("echo early; setsid sleep 1000 & echo $! > " + lPidFile));
    lChild.BeginExchange("", nullptr);
    int lEscaped = NumberWrittenTo(lPidFile);
    ASSERT_GT(lEscaped, 0);
    // Its number is known before it has left: a kill in between would end it with the tree.
    for (int i = 0; i < 1000 && getsid(lEscaped) != lEscaped; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(getsid(lEscaped), lEscaped);
    lChild.Kill();
    auto lStart = std::chrono::steady_clock::now();
    EXPECT_EQ(lChild.EndExchange(300), "early\n");
    EXPECT_LT(std::chrono::steady_clock::now() - lStart, std::chrono::seconds(5));
    EXPECT_FALSE(lChild.ExchangeFinished());
    kill(lEscaped, SIGKILL);
}

TEST(ChildProcessKill, EndsTheWholeTreeAlsoAfterTheChildHasEnded) {
    TemporaryFolder lFolder;
    std::string lPidFile = lFolder / "pid";
    // The child ends at once; what it started holds the output open and ignores SIGTERM.
    ChildProcess lChild(
        PipedShell("trap '' TERM; sleep 1000 & echo $! > " + lPidFile + "; exit 0"));
    lChild.BeginExchange("", nullptr);
    int lGrandchild = NumberWrittenTo(lPidFile);
    ASSERT_GT(lGrandchild, 0);
    ASSERT_TRUE(lChild.WaitForExit(10000));
    EXPECT_FALSE(lChild.ExchangeFinished());
    lChild.Kill();
    EXPECT_EQ(lChild.EndExchange(5000), "");
    EXPECT_TRUE(lChild.ExchangeFinished());
    EXPECT_EQ(Logic::Testing::SurvivorsOf({lGrandchild}), std::vector<int>{});
}

TEST(ChildProcessKill, TerminateLeavesNoZombie) {
    ChildProcess lChild(Shell("trap '' TERM; sleep 1000"));
    int lId = lChild.Id();
    lChild.Terminate();
    EXPECT_EQ(lChild.ExitCode(), 128 + SIGKILL);
    EXPECT_FALSE(Logic::Testing::StatusOf(lId).mExists);
}

TEST(ChildProcessKill, ExitCodeOfAnEndedButUncollectedChildIsKept) {
    ChildProcess lChild(Shell("exit 7"));
    ASSERT_TRUE(lChild.WaitForExit(10000));
    int lId = lChild.Id();
    // Looked at, not collected: the number stays taken until Terminate.
    EXPECT_EQ(Logic::Testing::StatusOf(lId).mState, 'Z');
    lChild.Terminate();
    EXPECT_EQ(lChild.ExitCode(), 7);
    EXPECT_FALSE(Logic::Testing::StatusOf(lId).mExists);
}

TEST(Platform, TemporaryDirectoryFollowsTmpdirAndEndsInASeparator) {
    Logic::Testing::ScopedVariable lTmp("TMPDIR", "/some/where");
    EXPECT_EQ(TemporaryDirectory(), "/some/where/");
    Logic::Testing::ScopedVariable lUnset("TMPDIR", std::nullopt);
    EXPECT_EQ(TemporaryDirectory(), "/tmp/");
}

} // namespace
} // namespace Logic::Platform
