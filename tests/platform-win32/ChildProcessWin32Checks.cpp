// Checks of the Windows child-process layer and of the prover run on it, as one program that is
// also its own child: with "--child MODE" it plays the child a check needs, and copied under
// the names prover9.exe and mace4.exe it stands in for those programs. Prints one line per
// failure and a closing line "N passed, N failed"; the exit status is 1 when any check failed.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/EngineException.h"
#include "parser/Parser.h"
#include "platform/ChildProcess.h"
#include "platform/LargeStack.h"
#include "platform/Platform.h"
#include "platform/Win32Text.h"
#include "provers/Prover9Mace4.h"

namespace {

using namespace Logic;
using namespace Logic::Platform;
using Clock = std::chrono::steady_clock;

int gPassed = 0;
int gFailed = 0;
std::string gSelf;

void Check(bool aCondition, const std::string& aWhat) {
    if (aCondition) {
        ++gPassed;
        return;
    }
    ++gFailed;
    std::printf("FAILED: %s\n", aWhat.c_str());
    std::fflush(stdout);
}

/// Runs one group of checks; a failure thrown out of it counts as one failed check.
void Group(const char* aName, const std::function<void()>& aChecks) {
    try {
        aChecks();
    } catch (const std::exception& lFailure) {
        Check(false, std::string(aName) + ": " + lFailure.what());
    }
}

std::string Shown(const std::string& aText) {
    return aText.size() > 200 ? "\"" + aText.substr(0, 200) + "...\"" : "\"" + aText + "\"";
}

double SecondsSince(Clock::time_point aStart) {
    return std::chrono::duration<double>(Clock::now() - aStart).count();
}

// ---------------------------------------------------------------------------------------------
// The child's side

std::string ReadAllInput() {
    std::string lText;
    char lBuffer[65536];
    DWORD lRead = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), lBuffer, sizeof lBuffer, &lRead, nullptr) &&
           lRead > 0) {
        lText.append(lBuffer, lRead);
    }
    return lText;
}

void Write(const std::string& aText) {
    DWORD lWritten = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), aText.data(), static_cast<DWORD>(aText.size()),
              &lWritten, nullptr);
}

/// Starts this program as "--child sleep" with the same standard streams; its process number.
DWORD StartSleeper() {
    std::wstring lCommandLine = L"\"" + Widen(gSelf) + L"\" --child sleep";
    STARTUPINFOW lStartup{};
    lStartup.cb = sizeof lStartup;
    lStartup.dwFlags = STARTF_USESTDHANDLES;
    lStartup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    lStartup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    lStartup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION lProcess{};
    if (!CreateProcessW(nullptr, lCommandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &lStartup, &lProcess)) {
        return 0;
    }
    CloseHandle(lProcess.hThread);
    CloseHandle(lProcess.hProcess);
    return lProcess.dwProcessId;
}

int RunChild(const std::vector<std::string>& aArguments) {
    const std::string& lMode = aArguments.at(0);
    if (lMode == "echo") {
        Write(ReadAllInput());
        return aArguments.size() > 1 ? std::atoi(aArguments[1].c_str()) : 0;
    }
    if (lMode == "args") {
        std::string lText;
        for (size_t i = 1; i < aArguments.size(); ++i) {
            lText += "[" + aArguments[i] + "]";
        }
        Write(lText);
        return 0;
    }
    if (lMode == "cwd") {
        wchar_t lDirectory[MAX_PATH + 1];
        DWORD lLength = GetCurrentDirectoryW(MAX_PATH + 1, lDirectory);
        Write(Narrow(std::wstring_view(lDirectory, lLength)));
        return 0;
    }
    if (lMode == "head5") {
        char lBuffer[5];
        DWORD lRead = 0;
        std::string lText;
        while (lText.size() < 5 &&
               ReadFile(GetStdHandle(STD_INPUT_HANDLE), lBuffer,
                        static_cast<DWORD>(5 - lText.size()), &lRead, nullptr) &&
               lRead > 0) {
            lText.append(lBuffer, lRead);
        }
        Write(lText + "\n");
        return 0;
    }
    if (lMode == "sleep") {
        Sleep(600000);
        return 0;
    }
    if (lMode == "early-then-sleep") {
        Write("early\n");
        Sleep(600000);
        return 0;
    }
    if (lMode == "spawn") {
        // Leaves a program behind that holds the output open, writes its number and ends.
        DWORD lSleeper = StartSleeper();
        FILE* lFile = std::fopen(aArguments.at(1).c_str(), "w");
        if (lFile != nullptr) {
            std::fprintf(lFile, "%lu\n", static_cast<unsigned long>(lSleeper));
            std::fclose(lFile);
        }
        return 0;
    }
    if (lMode == "abandon") {
        // Starts a sleeper meant to end with us, writes its number and ends at once, as a host
        // that crashes or is killed would: no destructor runs.
        ProcessStartInfo lSleeper;
        lSleeper.mProgram = gSelf;
        lSleeper.mArguments = {"--child", "sleep"};
        lSleeper.mEndsWithThisProcess = true;
        auto* lChild = new ChildProcess(lSleeper);
        FILE* lFile = std::fopen(aArguments.at(1).c_str(), "w");
        if (lFile != nullptr) {
            std::fprintf(lFile, "%d\n", lChild->Id());
            std::fclose(lFile);
        }
        TerminateProcess(GetCurrentProcess(), 0);
    }
    return 99;
}

/// prover9.exe and mace4.exe: read the input, then behave as QUENDRAL_STANDIN_<name>_<side>
/// says (proof, model, sleep, or by default nothing).
int RunStandIn(const std::string& aName) {
    std::string lInput = ReadAllInput();
    std::string lSide = lInput.find("\n-") != std::string::npos ? "negative" : "positive";
    std::string lBehaviour =
        EnvironmentVariable("QUENDRAL_STANDIN_" + aName + "_" + lSide).value_or("nothing");
    if (lBehaviour == "proof") {
        Write("THEOREM PROVED\nExiting with 1 proof.\n");
    } else if (lBehaviour == "model") {
        Write("Exiting with 1 model.\n");
    } else if (lBehaviour == "sleep") {
        Sleep(600000);
    } else {
        Write("SEARCH FAILED\n");
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// The checks

ProcessStartInfo Self(std::vector<std::string> aArguments) {
    ProcessStartInfo lStartInfo;
    lStartInfo.mProgram = gSelf;
    lStartInfo.mArguments = {"--child"};
    lStartInfo.mArguments.insert(lStartInfo.mArguments.end(), aArguments.begin(), aArguments.end());
    return lStartInfo;
}

ProcessStartInfo PipedSelf(std::vector<std::string> aArguments) {
    ProcessStartInfo lStartInfo = Self(std::move(aArguments));
    lStartInfo.mRedirectStandardInput = true;
    lStartInfo.mStandardOutput = OutputRoute::Pipe;
    return lStartInfo;
}

bool ProcessHasEnded(DWORD aProcess, DWORD aMilliseconds) {
    HANDLE lHandle = OpenProcess(SYNCHRONIZE, FALSE, aProcess);
    if (lHandle == nullptr) {
        return true;
    }
    bool lEnded = WaitForSingleObject(lHandle, aMilliseconds) == WAIT_OBJECT_0;
    CloseHandle(lHandle);
    return lEnded;
}

std::string TemporaryFolder() {
    std::string lFolder =
        TemporaryDirectory() + "quendral-checks-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryW(Widen(lFolder).c_str(), nullptr);
    return lFolder;
}

void ChecksOfPipesAndArguments() {
    Group("pipes", [] {
        ChildProcess lChild(PipedSelf({"echo", "3"}));
        lChild.WriteToStandardInput("hello\r\nworld");
        lChild.CloseStandardInput();
        std::string lOutput = lChild.ReadStandardOutputToEnd();
        Check(lOutput == "hello\r\nworld", "echo gave " + Shown(lOutput));
        Check(lChild.WaitForExit(10000), "echo ended");
        Check(lChild.ExitCode() == 3, "exit code " + std::to_string(lChild.ExitCode()));
    });
    Group("arguments", [] {
        ProcessStartInfo lStartInfo =
            Self({"args", "two words", "a\"b", "c:\\dir\\", "", "x\\\\\"y", "-t"});
        lStartInfo.mStandardOutput = OutputRoute::Pipe;
        ChildProcess lChild(lStartInfo);
        std::string lOutput = lChild.ReadStandardOutputToEnd();
        Check(lOutput == "[two words][a\"b][c:\\dir\\][][x\\\\\"y][-t]",
              "arguments came as " + Shown(lOutput));
    });
    Group("working directory", [] {
        std::string lFolder = TemporaryFolder();
        ProcessStartInfo lStartInfo = Self({"cwd"});
        lStartInfo.mWorkingDirectory = lFolder;
        lStartInfo.mStandardOutput = OutputRoute::Pipe;
        ChildProcess lChild(lStartInfo);
        std::string lOutput = lChild.ReadStandardOutputToEnd() + "\\";
        Check(CompareStringOrdinal(Widen(lOutput).c_str(), -1, Widen(lFolder).c_str(), -1, TRUE) ==
                  CSTR_EQUAL,
              "ran in " + Shown(lOutput) + ", not " + Shown(lFolder));
    });
    Group("missing program", [] {
        ProcessStartInfo lStartInfo;
        lStartInfo.mProgram = "quendral-no-such-program";
        try {
            ChildProcess lChild(lStartInfo);
            Check(false, "started a missing program");
        } catch (const EngineException& lFailure) {
            Check(std::string(lFailure.what()) ==
                      "Cannot start \"quendral-no-such-program\": the program was not found.",
                  std::string("missing program: ") + lFailure.what());
        }
    });
}

void ChecksOfExchanges() {
    Group("large echo", [] {
        std::string lInput;
        for (int i = 0; lInput.size() < (4 << 20); ++i) {
            lInput += "line " + std::to_string(i) + "\r\n";
        }
        ChildProcess lChild(PipedSelf({"echo"}));
        bool lNotified = false;
        lChild.BeginExchange(lInput, [&] { lNotified = true; });
        std::string lOutput = lChild.EndExchange();
        Check(lOutput == lInput,
              "4 MB echo came back with " + std::to_string(lOutput.size()) + " bytes");
        Check(lNotified && lChild.ExchangeFinished(), "exchange told its end");
    });
    Group("child stops reading", [] {
        ChildProcess lChild(PipedSelf({"head5"}));
        lChild.BeginExchange(std::string(4 << 20, 'x'), nullptr);
        std::string lOutput = lChild.EndExchange();
        Check(lOutput == "xxxxx\n", "head5 gave " + Shown(lOutput));
    });
    Group("giving up", [] {
        ChildProcess lChild(PipedSelf({"early-then-sleep"}));
        lChild.BeginExchange("", nullptr);
        auto lStart = Clock::now();
        std::string lOutput = lChild.EndExchange(1000);
        Check(SecondsSince(lStart) < 5.0, "gave up in time");
        Check(!lChild.ExchangeFinished(), "an abandoned exchange is not finished");
        Check(lOutput == "early\n", "partial output " + Shown(lOutput));
        lChild.Terminate();
    });
}

void ChecksOfKilling() {
    Group("wait and kill", [] {
        ChildProcess lChild(Self({"sleep"}));
        Check(!lChild.WaitForExit(50), "a sleeper is still running");
        bool lThrew = false;
        try {
            lChild.ExitCode();
        } catch (const EngineException&) {
            lThrew = true;
        }
        Check(lThrew, "asking the code of a running child fails");
        lChild.Terminate();
        Check(lChild.HasExited() && lChild.ExitCode() != 0, "terminated child has ended");
    });
    Group("whole tree", [] {
        std::string lPidFile = TemporaryFolder() + "sleeper.txt";
        DeleteFileW(Widen(lPidFile).c_str());
        ChildProcess lChild(PipedSelf({"spawn", lPidFile}));
        lChild.BeginExchange("", nullptr);
        Check(lChild.WaitForExit(20000), "the child ends by itself");
        unsigned long lSleeper = 0;
        if (FILE* lFile = std::fopen(lPidFile.c_str(), "r")) {
            if (std::fscanf(lFile, "%lu", &lSleeper) != 1) {
                lSleeper = 0;
            }
            std::fclose(lFile);
        }
        Check(lSleeper != 0, "the child started a sleeper");
        Check(!lChild.ExchangeFinished(), "the sleeper holds the output open");
        auto lStart = Clock::now();
        lChild.Kill();
        std::string lOutput = lChild.EndExchange(10000);
        Check(lChild.ExchangeFinished() && SecondsSince(lStart) < 8.0,
              "killing the tree closed the output");
        Check(lSleeper == 0 || ProcessHasEnded(lSleeper, 5000), "the sleeper has ended");
        lChild.Terminate();
    });

    Group("ending with us", [] {
        std::string lPidFile = TemporaryFolder() + "abandoned.txt";
        DeleteFileW(Widen(lPidFile).c_str());
        ChildProcess lChild(Self({"abandon", lPidFile}));
        Check(lChild.WaitForExit(20000), "the starter ends abruptly");
        unsigned long lSleeper = 0;
        if (FILE* lFile = std::fopen(lPidFile.c_str(), "r")) {
            if (std::fscanf(lFile, "%lu", &lSleeper) != 1) {
                lSleeper = 0;
            }
            std::fclose(lFile);
        }
        Check(lSleeper != 0, "the starter started a sleeper");
        bool lEnded = lSleeper != 0 && ProcessHasEnded(lSleeper, 10000);
        Check(lEnded, "a program meant to end with its starter ends when the starter dies");
        if (!lEnded && lSleeper != 0) {
            if (HANDLE lLeft = OpenProcess(PROCESS_TERMINATE, FALSE, lSleeper)) {
                TerminateProcess(lLeft, 1);
                CloseHandle(lLeft);
            }
        }
        lChild.Terminate();
    });
}

Prover9Mace4::Result Decide(const std::string& aText, int32_t aSecondsTimeout) {
    std::optional<Prover9Mace4::Result> lResult;
    RunWithLargeStack([&] {
        lResult = Prover9Mace4::Decide(Parser::Parse(std::vector<std::string>{aText}),
                                       aSecondsTimeout);
    });
    return *lResult;
}

void SetVariable(const std::string& aName, const std::string& aValue) {
    SetEnvironmentVariableW(Widen(aName).c_str(), Widen(aValue).c_str());
}

void ChecksOfTheProverRun() {
    std::string lFolder = TemporaryFolder();
    for (const char* lName : {"prover9.exe", "mace4.exe"}) {
        CopyFileW(Widen(gSelf).c_str(), Widen(lFolder + lName).c_str(), FALSE);
    }
    SetVariable("PATH", lFolder + ";" + EnvironmentVariable("PATH").value_or(""));
    const auto fBehave = [](const char* aProverPositive, const char* aProverNegative,
                            const char* aMacePositive, const char* aMaceNegative) {
        SetVariable("QUENDRAL_STANDIN_prover9_positive", aProverPositive);
        SetVariable("QUENDRAL_STANDIN_prover9_negative", aProverNegative);
        SetVariable("QUENDRAL_STANDIN_mace4_positive", aMacePositive);
        SetVariable("QUENDRAL_STANDIN_mace4_negative", aMaceNegative);
    };
    Group("proof", [&] {
        fBehave("proof", "sleep", "sleep", "sleep");
        auto lStart = Clock::now();
        Check(Decide("p", 60) == Prover9Mace4::Result::Necessary, "a proof makes it necessary");
        Check(SecondsSince(lStart) < 30.0, "a proof ends the other runs");
    });
    Group("models", [&] {
        fBehave("nothing", "nothing", "model", "model");
        Check(Decide("p", 60) == Prover9Mace4::Result::Contingent, "two models: contingent");
    });
    Group("time limit", [&] {
        fBehave("sleep", "sleep", "sleep", "sleep");
        auto lStart = Clock::now();
        Check(Decide("p", 1) == Prover9Mace4::Result::NoDecision, "nothing in time");
        Check(SecondsSince(lStart) < 15.0, "the limit ends the runs");
    });
    Group("missing prover", [&] {
        fBehave("nothing", "nothing", "model", "nothing");
        DeleteFileW(Widen(lFolder + "prover9.exe").c_str());
        try {
            Decide("p", 30);
            Check(false, "a missing prover9 fails the run");
        } catch (const EngineException& lFailure) {
            Check(std::string(lFailure.what()) ==
                      "2 of 4 runs failed: Cannot start \"prover9\": the program was not found.",
                  std::string("missing prover9: ") + lFailure.what());
        }
    });
}

std::string BaseNameInLowerCase(std::string aPath) {
    size_t lSlash = aPath.find_last_of("\\/");
    if (lSlash != std::string::npos) {
        aPath.erase(0, lSlash + 1);
    }
    for (char& lCharacter : aPath) {
        if (lCharacter >= 'A' && lCharacter <= 'Z') {
            lCharacter = static_cast<char>(lCharacter - 'A' + 'a');
        }
    }
    return aPath;
}

} // namespace

int main(int argc, char** argv) {
    wchar_t lPath[MAX_PATH + 1];
    DWORD lLength = GetModuleFileNameW(nullptr, lPath, MAX_PATH + 1);
    gSelf = Narrow(std::wstring_view(lPath, lLength));
    std::string lName = BaseNameInLowerCase(gSelf);
    if (lName == "prover9.exe" || lName == "mace4.exe") {
        return RunStandIn(lName.substr(0, lName.size() - 4));
    }
    std::vector<std::string> lArguments(argv + 1, argv + argc);
    if (!lArguments.empty() && lArguments[0] == "--child" && lArguments.size() > 1) {
        return RunChild(std::vector<std::string>(lArguments.begin() + 1, lArguments.end()));
    }
    // Groups may be named on the command line; with none, all run.
    const auto fWanted = [&](const char* aGroup) {
        return lArguments.empty() ||
               std::find(lArguments.begin(), lArguments.end(), aGroup) != lArguments.end();
    };
    if (fWanted("pipes")) {
        ChecksOfPipesAndArguments();
    }
    if (fWanted("exchanges")) {
        ChecksOfExchanges();
    }
    if (fWanted("killing")) {
        ChecksOfKilling();
    }
    if (fWanted("prover")) {
        ChecksOfTheProverRun();
    }
    std::printf("%d passed, %d failed\n", gPassed, gFailed);
    return gFailed == 0 ? 0 : 1;
}
