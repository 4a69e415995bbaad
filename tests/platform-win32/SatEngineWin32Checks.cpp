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

/// The verdict on aLines by aEngine as the tool words it, or the failure's text.
std::string Verdict(const std::vector<std::string>& aLines, const DecisionEngine& aEngine) {
    try {
        return OnLargeStack([&] {
            const MatrixPtr lRoot = Parser::Parse(aLines);
            if (lRoot->Kind() == NodeKind::Argument) {
                return Utility::TextResult(QualityWith(static_cast<const Argument&>(*lRoot), aEngine));
            }
            return Utility::TextForDecision(DecideWith(*lRoot, aEngine));
        });
    } catch (const std::exception& lFailure) {
        return std::string("Error: ") + lFailure.what();
    }
}

} // namespace

int main() {
    const DecisionEngine* lSat = FindEngine("sat");
    Check(lSat != nullptr, "the SAT engine is registered (built with CaDiCaL: scripts/setup unpacks its source)");
    if (lSat != nullptr) {
        for (const Differential::Known& lCase : Differential::KnownBeyondTheNumbering()) {
            if (lCase.mBeyond) {
                const std::string lCompiled = Verdict(lCase.mLines, CompiledEngine());
                Check(lCompiled == "Error: Too many predicates!",
                      lCase.mWhat + ": the compiled engine gave \"" + lCompiled + "\", not the numbering's failure");
            }
            const auto lStart = std::chrono::steady_clock::now();
            const std::string lVerdict = Verdict(lCase.mLines, *lSat);
            const double lSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - lStart).count();
            Check(lVerdict == lCase.mVerdict,
                  lCase.mWhat + ": wanted \"" + lCase.mVerdict + "\", got \"" + lVerdict + "\"");
            std::printf("%-45s %.3f s\n", lCase.mWhat.c_str(), lSeconds);
        }
    }
    std::printf("%d passed, %d failed\n", gPassed, gFailed);
    return gFailed == 0 ? 0 : 1;
}
