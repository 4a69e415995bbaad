// Checks of the SAT engine as the Windows builds carry it (CaDiCaL compiled from source with
// mingw-w64): the documents of known verdict beyond the numbering (KnownDocuments.h), decided
// through the engine on a large stack as the plugin decides. Prints one line per failure, each
// document's time, and a closing line "N passed, N failed"; the exit status is 1 when any check
// failed.

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "KnownDocuments.h"
#include "engine/Decision.h"
#include "engine/DecisionEngine.h"
#include "engine/Utility.h"
#include "model/Argument.h"
#include "parser/Parser.h"
#include "platform/LargeStack.h"

namespace {

using namespace Logic;

int gPassed = 0;
int gFailed = 0;

void Check(bool aCondition, const std::string& aWhat) {
    if (aCondition) {
        ++gPassed;
        return;
    }
    ++gFailed;
    std::printf("FAILED: %s\n", aWhat.c_str());
    std::fflush(stdout);
}

} // namespace

int main() {
    const DecisionEngine* lSat = FindEngine("sat");
    Check(lSat != nullptr, "the SAT engine is registered (built with CaDiCaL: scripts/setup unpacks its source)");
    if (lSat != nullptr) {
        for (const Differential::Known& lCase : Differential::KnownBeyondTheNumbering()) {
            if (lCase.mBeyond) {
                const std::string lCompiled = Differential::Verdict(lCase.mLines, CompiledEngine());
                Check(lCompiled == "Error: Too many predicates!",
                      lCase.mWhat + ": the compiled engine gave \"" + lCompiled + "\", not the numbering's failure");
            }
            const auto lStart = std::chrono::steady_clock::now();
            const std::string lVerdict = Differential::Verdict(lCase.mLines, *lSat);
            const double lSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - lStart).count();
            Check(lVerdict == lCase.mVerdict,
                  lCase.mWhat + ": wanted \"" + lCase.mVerdict + "\", got \"" + lVerdict + "\"");
            std::printf("%-45s %.3f s\n", lCase.mWhat.c_str(), lSeconds);
        }
    }
    std::printf("%d passed, %d failed\n", gPassed, gFailed);
    return gFailed == 0 ? 0 : 1;
}
