#include <gtest/gtest.h>

#include <chrono>

#include "model/EngineException.h"
#include "platform/ChildProcess.h"
#include "platform/Platform.h"
#include "driver/Doubles.h"

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

TEST(Platform, TemporaryDirectoryFollowsTmpdirAndEndsInASeparator) {
    Logic::Testing::ScopedVariable lTmp("TMPDIR", "/some/where");
    EXPECT_EQ(TemporaryDirectory(), "/some/where/");
    Logic::Testing::ScopedVariable lUnset("TMPDIR", std::nullopt);
    EXPECT_EQ(TemporaryDirectory(), "/tmp/");
}

} // namespace
} // namespace Logic::Platform
