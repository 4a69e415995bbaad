#pragma once
// Stand-ins for the outside programs prover9 and mace4: one small shell script, installed under
// both names in a folder put first in PATH. Like the real programs it reads its input from
// standard input and takes "-t N"; what it prints and how it ends is chosen per program and per
// case (statement or negation) through environment variables. Every start, end and background
// program is written to a log, so tests can see what ran, with which arguments, and in what
// order.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "driver/Doubles.h"
#include "platform/Platform.h"

namespace Logic::Testing {

/// Behaviours, each the text of the environment variable that chooses it:
///   proof / model     report a proof / a model at once and exit
///   proofs / models   the plural report: "Exiting with 2 proofs."
///   lower             reports in lower case, which are no reports
///   nothing           print a line that reports nothing, exit
///   honour            sleep for the N of "-t N", then give up as the real programs do
///   sleep             sleep far past any limit
///   late-proof        sleep a second, then report a proof
///   partial-proof     report a proof, then sleep with the output still open
///   partial-model     the same with a model
///   stubborn          ignore polite termination; a background sleep holds the output open
///   linger-proof      report a proof, close the output, then stay, ignoring termination,
///                     with a background sleep
///   echo              copy the input to the output as it comes; mace4 then reports a model
///   early             exit at once without reading the input
///   pause             sleep a third of a second, then report nothing
///   meet / meet-model wait until four programs have logged their start, then report nothing
///                     / a model: only programs that run at the same time get past the wait
inline constexpr const char* StandInScript = R"(#!/bin/sh
name=${0##*/}
log=${QUENDRAL_STANDIN_LOG:-/dev/null}
side=any
eval "behaviour=\${QUENDRAL_STANDIN_${name}:-}"
if [ -z "$behaviour" ]; then
    input=$(cat)
    # The negation's goal starts with "-" (so the tests' statements must not).
    case "$input" in
    *"formulas(goals).
-"*) side=negative ;;
    *) side=positive ;;
    esac
    eval "behaviour=\${QUENDRAL_STANDIN_${name}_${side}:-nothing}"
fi
echo "$name $side start $$ $# [$*]" >> "$log"
case "$behaviour" in
proof) echo "THEOREM PROVED"; echo "Exiting with 1 proof." ;;
model) echo "Exiting with 1 model." ;;
proofs) echo "Exiting with 2 proofs." ;;
models) echo "Exiting with 12 models." ;;
lower) echo "exiting with 1 proof"; echo "exiting with 1 model"; echo "Exiting with proof" ;;
nothing) echo "SEARCH FAILED" ;;
honour)
    if [ "$1" = "-t" ]; then sleep "$2"; else sleep 1000; fi
    echo "Exiting with failure." ;;
sleep) sleep 1000 ;;
late-proof) sleep 1; echo "Exiting with 1 proof." ;;
partial-proof) echo "Exiting with 1 proof."; sleep 1000 ;;
partial-model) echo "Exiting with 1 model."; sleep 1000 ;;
stubborn)
    trap '' TERM INT HUP
    sleep 1000 &
    echo "$name $side background $!" >> "$log"
    wait ;;
linger-proof)
    echo "Exiting with 1 proof."
    exec >&-
    trap '' TERM INT HUP
    sleep 1000 &
    echo "$name $side background $!" >> "$log"
    wait ;;
echo)
    if [ "$side" = any ]; then cat; else printf '%s\n' "$input"; fi
    if [ "$name" = mace4 ]; then echo "Exiting with 1 model."; fi ;;
early) exit 0 ;;
pause) sleep 0.3; echo "SEARCH FAILED" ;;
meet|meet-model)
    until [ $(grep -c ' start ' "$log") -ge 4 ]; do sleep 0.05; done
    if [ "$behaviour" = meet-model ]; then echo "Exiting with 1 model."
    else echo "SEARCH FAILED"; fi ;;
esac
echo "$name $side end $$" >> "$log"
)";

class StandInProvers {
public:
    StandInProvers() {
        Install("prover9", StandInScript);
        Install("mace4", StandInScript);
        // PATH holds the stand-ins and only the tools they and the tests use, so that real
        // provers installed on the machine can never answer instead.
        std::filesystem::create_directory(mFolder.Path() / "tools");
        for (const char* lTool : {"sh", "cat", "sleep", "env", "grep"}) {
            std::string lFound = Platform::FindProgram(lTool);
            if (!lFound.empty()) {
                std::filesystem::create_symlink(lFound, mFolder.Path() / "tools" / lTool);
            }
        }
        Scope("PATH", mFolder.Path().string() + ":" + (mFolder / "tools"));
        Scope("QUENDRAL_STANDIN_LOG", LogPath());
        // Behaviours chosen outside the test must not leak in.
        for (const char* lProgram : {"prover9", "mace4"}) {
            for (const char* lSide : {"", "_positive", "_negative"}) {
                Scope(std::string("QUENDRAL_STANDIN_") + lProgram + lSide, std::nullopt);
            }
        }
        // The programs run in the temporary directory; keep it out of the shared one.
        Scope("TMPDIR", mFolder.Path().string());
    }

    ~StandInProvers() {
        // Newest first, so that a variable set twice gets its first old value back.
        while (!mVariables.empty()) {
            mVariables.pop_back();
        }
    }
    StandInProvers(const StandInProvers&) = delete;
    StandInProvers& operator=(const StandInProvers&) = delete;

    /// What aProgram does on aSide: "positive" (the statement), "negative" (its negation), or
    /// "" for both, without reading the input first.
    void Set(const std::string& aProgram, const std::string& aSide, const std::string& aBehaviour) {
        std::string lName = "QUENDRAL_STANDIN_" + aProgram + (aSide.empty() ? "" : "_" + aSide);
        Scope(lName, aBehaviour);
    }

    /// Replaces aProgram by a file that is found but cannot be run.
    void MakeUnstartable(const std::string& aProgram) {
        Install(aProgram, "#!/quendral/no/such/interpreter\n");
    }

    std::string LogPath() const { return mFolder / "log"; }

    std::vector<std::string> LogLines() const {
        std::ifstream lFile(LogPath());
        std::vector<std::string> lLines;
        for (std::string lLine; std::getline(lFile, lLine);) {
            lLines.push_back(lLine);
        }
        return lLines;
    }

    /// Log lines that start with aPrefix, e.g. "prover9 positive start".
    std::vector<std::string> LogLinesStartingWith(const std::string& aPrefix) const {
        std::vector<std::string> lFound;
        for (const std::string& lLine : LogLines()) {
            if (lLine.rfind(aPrefix, 0) == 0) {
                lFound.push_back(lLine);
            }
        }
        return lFound;
    }

    void ClearLog() const { std::ofstream(LogPath(), std::ios::trunc); }

    /// The numbers of the processes logged: each program and each background sleep.
    std::vector<int> LoggedProcesses() const {
        std::vector<int> lProcesses;
        for (const std::string& lLine : LogLines()) {
            std::istringstream lWords(lLine);
            std::string lName, lSide, lEvent;
            int lProcess = 0;
            if (lWords >> lName >> lSide >> lEvent >> lProcess &&
                (lEvent == "start" || lEvent == "background")) {
                lProcesses.push_back(lProcess);
            }
        }
        return lProcesses;
    }

    const std::filesystem::path& Folder() const { return mFolder.Path(); }

private:
    void Install(const std::string& aProgram, const std::string& aText) {
        std::string lPath = mFolder / aProgram;
        std::ofstream(lPath, std::ios::trunc) << aText;
        chmod(lPath.c_str(), 0755);
    }
    void Scope(const std::string& aName, std::optional<std::string> aValue) {
        mVariables.push_back(std::make_unique<ScopedVariable>(aName, aValue));
    }

    TemporaryFolder mFolder;
    std::vector<std::unique_ptr<ScopedVariable>> mVariables;
};

} // namespace Logic::Testing
