// The SAT engine against the compiled one: on the random documents that both decide every
// verdict must agree, failures included; beyond the numbering (too many letters or predicates
// for a 32-bit kind of world) it must give the verdicts that documents built to have them have.
//
// QUENDRAL_DIFFERENTIAL_SEED and QUENDRAL_DIFFERENTIAL_CASES choose the run, as for the other
// differential tests; this one draws eleven documents for each case, the verdict alone being cheap.

#ifdef QUENDRAL_HAVE_CADICAL

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "KnownDocuments.h"
#include "RandomDocuments.h"
#include "engine/Decision.h"
#include "engine/DistinctNodeWalk.h"
#include "engine/Predicates.h"
#include "engine/Utility.h"
#include "model/Argument.h"
#include "parser/Parser.h"
#include "platform/Cancellation.h"

namespace Logic::Differential {
namespace {

bool StartsWith(const std::string& aText, const std::string& aStart) { return aText.rfind(aStart, 0) == 0; }

bool HasBinaryPredications(const std::vector<std::string>& aLines) {
    try {
        bool lFound = false;
        DistinctNodeWalk::ForEachDistinctNode(*Parser::Parse(aLines), [&](const Matrix& fNode) {
            lFound |= fNode.Kind() == NodeKind::BinaryPredication;
        });
        return lFound;
    } catch (const std::exception&) {
        return false;
    }
}

const std::string ModalRefusal = "Error: The SAT engine can't decide a proposition whose identities compare objects across";

TEST(SatEngine, AgreesWithTheCompiledEngineOnRandomDocuments) {
    const DecisionEngine& lSat = *FindEngine("sat");
    const uint64_t lSeed = FromEnvironment("QUENDRAL_DIFFERENTIAL_SEED", 20261208);
    const uint64_t lCases = 11 * FromEnvironment("QUENDRAL_DIFFERENTIAL_CASES", 300);
    uint64_t lDecided = 0;
    uint64_t lFailedAlike = 0;
    uint64_t lModal = 0;
    uint64_t lBeyondNumbering = 0;
    uint64_t lRelational = 0;
    uint64_t lTooLarge = 0;
    uint64_t lDisagreements = 0;
    uint64_t lSlow = 0;
    uint64_t lStopped = 0;
    for (uint64_t lCase = 0; lCase < lCases; ++lCase) {
        // Every other document from the wide generator: more letters and predicates.
        const Document lDocument = DocumentGenerator(lSeed + lCase, lCase % 2 == 1).Next();
        const std::vector<std::string> lLines = lDocument.Lines();
        if (!SmallEnough(lLines, uint64_t{1} << 20)) {
            ++lSlow;
            continue;
        }
        // A bounded model's symmetric search can be long for the solver: a document it has not
        // decided within this many steps of work is left out, and counted.
        std::string lSatVerdict;
        {
            Cancellation lWork;
            lWork.SetWorkLimit(400'000);
            const Cancellation::Scope lScope(&lWork);
            lSatVerdict = Verdict(lLines, lSat);
            if (lWork.Stopped()) {
                ++lStopped;
                continue;
            }
        }
        if (StartsWith(lSatVerdict, ModalRefusal)) {
            ++lModal;
            continue;
        }
        if (StartsWith(lSatVerdict, "Error: This proposition is too large for the SAT engine")) {
            ++lTooLarge;
            continue;
        }
        const std::string lCompiled = Verdict(lLines, CompiledEngine());
        if (HasBinaryPredications(lLines) && lCompiled == "Error: Can't decide a proposition that contains binary predicates.") {
            // Where the numbering reaches a relation, the models found decide (SatModelTests):
            // only what a model shows, or the same failure.
            ++lRelational;
            const bool lShown = lSatVerdict == "The argument is invalid." || lSatVerdict == "The statement is contingent.";
            EXPECT_TRUE(lShown || lSatVerdict == lCompiled) << Joined(lLines) << lSatVerdict;
            continue;
        }
        if (lCompiled == "Error: Too many predicates!") {
            ++lBeyondNumbering;
            continue;
        }
        if (lCompiled != lSatVerdict) {
            ++lDisagreements;
            ADD_FAILURE() << (lCase % 2 == 1 ? "wide " : "") << "seed " << (lSeed + lCase) << ":\n"
                          << Joined(lLines) << "compiled: " << lCompiled << "\nsat:      " << lSatVerdict;
            continue;
        }
        (StartsWith(lCompiled, "Error: ") ? lFailedAlike : lDecided) += 1;
    }
    std::cout << "sat against compiled: seed " << lSeed << ", " << lCases << " documents: " << lDecided
              << " decided alike, " << lFailedAlike << " failed alike, " << lDisagreements
              << " disagreements; " << lModal << " modal (refused), " << lRelational
              << " with binary predicates, " << lBeyondNumbering
              << " beyond the numbering, " << lTooLarge << " too large for the SAT engine, " << lSlow
              << " left out as slow to enumerate, " << lStopped << " stopped in the solver" << std::endl;
    EXPECT_EQ(lDisagreements, 0u);
    // Most documents must be compared, or the comparison proves little.
    EXPECT_GE(lDecided * 3, lCases);
}

TEST(SatEngine, DecidesBeyondTheNumbering) {
    const DecisionEngine& lSat = *FindEngine("sat");
    for (const Known& lCase : KnownBeyondTheNumbering()) {
        SCOPED_TRACE(lCase.mWhat + ":\n" + Joined(lCase.mLines));
        if (lCase.mBeyond) {
            // The numbering cannot hold them: otherwise this would test nothing new.
            EXPECT_EQ(Verdict(lCase.mLines, CompiledEngine()), "Error: Too many predicates!");
        }
        EXPECT_EQ(Verdict(lCase.mLines, lSat), lCase.mVerdict);
    }
}

TEST(SatEngine, RefusesModalFormulasAndStops) {
    const DecisionEngine& lSat = *FindEngine("sat");
    EXPECT_TRUE(StartsWith(Verdict({"x, [](3y, x=y)"}, lSat), ModalRefusal));
    // Names with modal operators are refused before any engine is asked, as by the others.
    EXPECT_EQ(Verdict({"<>Fa"}, lSat), Verdict({"<>Fa"}, CompiledEngine()));
    // A stop requested before the decision ends it.
    const MatrixPtr lRoot = Parser::Parse(std::vector<std::string>{Pigeonhole(7, 6)});
    Cancellation lCancellation;
    lCancellation.RequestStop();
    const Cancellation::Scope lScope(&lCancellation);
    EXPECT_THROW(DecideWith(*lRoot, lSat), CancelledException);
}

} // namespace
} // namespace Logic::Differential

#endif
