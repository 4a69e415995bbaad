// Whole-process timing: what a user waits for, start-up and all.
//
// Process/StartUp runs, round after round and in turn, /bin/true (the floor: starting any
// process at all), `quendral --version` (our start-up alone), `quendral decide` on the syllogism,
// and two stand-ins for Mace4 on the same problem: a C program linked against the C library
// alone that reads it and reports a model (a floor under Mace4, which searches too), and the
// shell stand-in of the prover tests. Interleaving makes the figures comparable although the
// machine's load changes. It reports each median and its ratio to the floor. Mace4 takes
// 1.7 ms on a small problem where /bin/true takes 0.65 ms: a decision slower than that ratio
// fails the benchmark.
//
// QUENDRAL_COMPARE_WITH=PATH adds another build of quendral to the rounds ("other_" figures),
// to compare two builds under the same load.
//
// Process/<example>/<engine> times `quendral decide` on each example with either evaluator.

#include <benchmark/benchmark.h>

#ifndef _WIN32
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "provers/StandIns.h"

extern char** environ;

namespace {

const std::string gQuendral = std::string(QUENDRAL_BINARY_DIR) + "/quendral";
const std::string gSyllogism = std::string(QUENDRAL_SOURCE_DIR) + "/examples/syllogism.txt";

/// One program to start: its arguments, the file on its standard input and extra environment.
struct Program {
    std::string mLabel;
    std::vector<std::string> mArguments;
    std::string mInput;
    std::vector<std::string> mEnvironment;
};

/// Starts aProgram with its output thrown away and waits for it; false when it could not start
/// or did not exit with 0.
bool RunToEnd(const Program& aProgram) {
    std::vector<char*> lArgv;
    for (const std::string& lArgument : aProgram.mArguments) {
        lArgv.push_back(const_cast<char*>(lArgument.c_str()));
    }
    lArgv.push_back(nullptr);
    std::vector<char*> lEnvironment;
    for (char** lVariable = environ; *lVariable != nullptr; ++lVariable) {
        lEnvironment.push_back(*lVariable);
    }
    for (const std::string& lVariable : aProgram.mEnvironment) {
        lEnvironment.push_back(const_cast<char*>(lVariable.c_str()));
    }
    lEnvironment.push_back(nullptr);
    posix_spawn_file_actions_t lActions;
    posix_spawn_file_actions_init(&lActions);
    posix_spawn_file_actions_addopen(&lActions, 0, aProgram.mInput.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&lActions, 1, "/dev/null", O_WRONLY, 0);
    pid_t lChild = 0;
    const int lStarted = posix_spawn(&lChild, lArgv[0], &lActions, nullptr, lArgv.data(),
                                     lEnvironment.data());
    posix_spawn_file_actions_destroy(&lActions);
    if (lStarted != 0) {
        return false;
    }
    int lStatus = 0;
    waitpid(lChild, &lStatus, 0);
    return WIFEXITED(lStatus) && WEXITSTATUS(lStatus) == 0;
}

double Median(std::vector<double> aValues) {
    std::sort(aValues.begin(), aValues.end());
    const size_t lMiddle = aValues.size() / 2;
    return aValues.size() % 2 == 1 ? aValues[lMiddle]
                                   : (aValues[lMiddle - 1] + aValues[lMiddle]) / 2;
}

void StartUp(benchmark::State& aState) {
    constexpr int Rounds = 1000;
    constexpr double Mace4OverFloor = 1.7 / 0.65;
    // The tests' shell stand-in, installed under Mace4's name and told to report a model.
    const std::filesystem::path lFolder =
        std::filesystem::temp_directory_path() / ("quendral-startup-" + std::to_string(getpid()));
    std::filesystem::create_directories(lFolder);
    const std::string lShellStandIn = (lFolder / "mace4").string();
    std::ofstream(lShellStandIn, std::ios::trunc) << Logic::Testing::StandInScript;
    chmod(lShellStandIn.c_str(), 0755);

    std::vector<Program> lPrograms{
        {"true", {"/bin/true"}, "/dev/null", {}},
        {"version", {gQuendral, "--version"}, "/dev/null", {}},
        {"decide", {gQuendral, "decide", gSyllogism}, "/dev/null", {}},
        {"mace4_like", {QUENDRAL_MACE4_LIKE_STANDIN}, gSyllogism, {}},
        {"mace4_shell", {lShellStandIn}, gSyllogism, {"QUENDRAL_STANDIN_mace4=model"}},
    };
    if (const char* lOther = std::getenv("QUENDRAL_COMPARE_WITH")) {
        lPrograms.push_back({"other_version", {lOther, "--version"}, "/dev/null", {}});
        lPrograms.push_back({"other_decide", {lOther, "decide", gSyllogism}, "/dev/null", {}});
    }
    std::vector<std::vector<double>> lMilliseconds(lPrograms.size());
    for (auto _ : aState) {
        for (int lRound = 0; lRound < Rounds; ++lRound) {
            // Each round starts with the next program, so none always follows the same one.
            for (size_t lStep = 0; lStep < lPrograms.size(); ++lStep) {
                const size_t lIndex = (lRound + lStep) % lPrograms.size();
                const auto lStart = std::chrono::steady_clock::now();
                if (!RunToEnd(lPrograms[lIndex])) {
                    aState.SkipWithError((lPrograms[lIndex].mLabel + " failed").c_str());
                    std::filesystem::remove_all(lFolder);
                    return;
                }
                const std::chrono::duration<double, std::milli> lTaken =
                    std::chrono::steady_clock::now() - lStart;
                lMilliseconds[lIndex].push_back(lTaken.count());
            }
        }
    }
    std::filesystem::remove_all(lFolder);

    const double lFloor = Median(lMilliseconds[0]);
    double lDecideOverFloor = 0;
    for (size_t lIndex = 0; lIndex < lPrograms.size(); ++lIndex) {
        const double lMedian = Median(lMilliseconds[lIndex]);
        aState.counters[lPrograms[lIndex].mLabel + "_ms"] = lMedian;
        if (lIndex > 0) {
            aState.counters[lPrograms[lIndex].mLabel + "_x"] = lMedian / lFloor;
        }
        if (lPrograms[lIndex].mLabel == "decide") {
            lDecideOverFloor = lMedian / lFloor;
        }
    }
    if (lDecideOverFloor > Mace4OverFloor) {
        aState.SkipWithError(("quendral decide took " + std::to_string(lDecideOverFloor) +
                              " times /bin/true; Mace4 takes " + std::to_string(Mace4OverFloor))
                                 .c_str());
    }
}

void DecideProcess(benchmark::State& aState, std::string aExample, std::string aEngine) {
    const Program lProgram{"decide",
                           {gQuendral, "decide", "--engine", aEngine,
                            std::string(QUENDRAL_SOURCE_DIR) + "/examples/" + aExample},
                           "/dev/null",
                           {}};
    for (auto _ : aState) {
        if (!RunToEnd(lProgram)) {
            aState.SkipWithError("quendral failed");
            break;
        }
    }
}

const bool gRegistered = [] {
    benchmark::RegisterBenchmark("Process/StartUp", StartUp)
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    for (const char* lExample : {"syllogism.txt", "modal.txt", "identity-and-counting.txt",
                                 "tautology.txt", "comments-and-replace.txt"}) {
        for (const char* lEngine : {"compiled", "reference"}) {
            benchmark::RegisterBenchmark(
                (std::string("Process/") + lExample + "/" + lEngine).c_str(), DecideProcess,
                std::string(lExample), std::string(lEngine))
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true);
        }
    }
    // Beyond the numbering: a whole process with the default engine, which hands it to the
    // SAT engine. Target: under 50 ms.
    benchmark::RegisterBenchmark("Process/sorites.txt/auto", DecideProcess, std::string("sorites.txt"),
                                 std::string("auto"))
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    return true;
}();

} // namespace
#endif
