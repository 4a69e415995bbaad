// Whole-process timing of `quendral decide` on the example documents with either evaluator:
// what a user waits for, start-up and all.

#include <benchmark/benchmark.h>

#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

void DecideProcess(benchmark::State& aState, std::string aExample, std::string aEngine) {
    const std::string lProgram = std::string(QUENDRAL_BINARY_DIR) + "/quendral";
    const std::string lFile = std::string(QUENDRAL_SOURCE_DIR) + "/examples/" + aExample;
    std::vector<std::string> lArguments{lProgram, "decide", "--engine", aEngine, lFile};
    std::vector<char*> lArgv;
    for (std::string& lArgument : lArguments) {
        lArgv.push_back(lArgument.data());
    }
    lArgv.push_back(nullptr);
    posix_spawn_file_actions_t lActions;
    posix_spawn_file_actions_init(&lActions);
    posix_spawn_file_actions_addopen(&lActions, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : aState) {
        pid_t lChild = 0;
        if (posix_spawn(&lChild, lProgram.c_str(), &lActions, nullptr, lArgv.data(), environ) != 0) {
            aState.SkipWithError("cannot start quendral");
            break;
        }
        int lStatus = 0;
        waitpid(lChild, &lStatus, 0);
        if (!WIFEXITED(lStatus) || WEXITSTATUS(lStatus) != 0) {
            aState.SkipWithError("quendral failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&lActions);
}

const bool gRegistered = [] {
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
    return true;
}();

} // namespace
#endif
