// The SAT engine against the compiled one: on the random documents that both decide every
// verdict must agree, failures included; beyond the numbering (too many letters or predicates
// for a 32-bit kind of world) it must give the verdicts that documents built to have them have.
//
// QUENDRAL_DIFFERENTIAL_SEED and QUENDRAL_DIFFERENTIAL_CASES choose the run, as for the other
// differential tests; this one draws ten documents for each case, the verdict alone being cheap.

#ifdef QUENDRAL_HAVE_CADICAL

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

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

uint64_t FromEnvironment(const char* aName, uint64_t aDefault) {
    const char* lValue = std::getenv(aName);
    return lValue != nullptr && *lValue != '\0' ? std::strtoull(lValue, nullptr, 10) : aDefault;
}

/// The verdict on aLines by aEngine as the tool words it, or the failure's text.
std::string Verdict(const std::vector<std::string>& aLines, const DecisionEngine& aEngine) {
    try {
        const MatrixPtr lRoot = Parser::Parse(aLines);
        if (lRoot->Kind() == NodeKind::Argument) {
            return Utility::TextResult(QualityWith(static_cast<const Argument&>(*lRoot), aEngine));
        }
        return Utility::TextForDecision(DecideWith(*lRoot, aEngine));
    } catch (const std::exception& lFailure) {
        return std::string("Error: ") + lFailure.what();
    }
}

std::string Joined(const std::vector<std::string>& aLines) {
    std::string lText;
    for (const std::string& lLine : aLines) {
        lText += lLine + "\n";
    }
    return lText;
}

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

const std::string ModalRefusal = "Error: The SAT engine can't decide a proposition where a modal operator applies";

TEST(SatEngine, AgreesWithTheCompiledEngineOnRandomDocuments) {
    const DecisionEngine& lSat = *FindEngine("sat");
    const uint64_t lSeed = FromEnvironment("QUENDRAL_DIFFERENTIAL_SEED", 20261208);
    const uint64_t lCases = 10 * FromEnvironment("QUENDRAL_DIFFERENTIAL_CASES", 300);
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

/// Letter number aIndex of the 52 sentence letters a .. z, A .. Z.
std::string Letter(size_t aIndex) {
    return std::string(1, aIndex < 26 ? static_cast<char>('a' + aIndex) : static_cast<char>('A' + aIndex - 26));
}

/// "aOperator" between the texts made by aTerm for 0 .. aCount - 1, parenthesised.
std::string Joined(size_t aCount, const std::string& aOperator, const std::function<std::string(size_t)>& aTerm) {
    std::string lText = "(";
    for (size_t lIndex = 0; lIndex < aCount; ++lIndex) {
        lText += (lIndex > 0 ? " " + aOperator + " " : "") + aTerm(lIndex);
    }
    return lText + ")";
}

/// Pigeons 0 .. aPigeons - 1 each in one of aHoles holes, no two in one hole; letter
/// p * aHoles + h says pigeon p sits in hole h. Satisfiable exactly when the pigeons are no more
/// than the holes.
std::string Pigeonhole(size_t aPigeons, size_t aHoles) {
    const auto fIn = [aHoles](size_t fPigeon, size_t fHole) { return Letter(fPigeon * aHoles + fHole); };
    std::string lText = Joined(aPigeons, "&", [&](size_t fPigeon) {
        return Joined(aHoles, "|", [&](size_t fHole) { return fIn(fPigeon, fHole); });
    });
    for (size_t lHole = 0; lHole < aHoles; ++lHole) {
        for (size_t lFirst = 0; lFirst < aPigeons; ++lFirst) {
            for (size_t lSecond = lFirst + 1; lSecond < aPigeons; ++lSecond) {
                lText += " & ~(" + fIn(lFirst, lHole) + " & " + fIn(lSecond, lHole) + ")";
            }
        }
    }
    return lText;
}

/// The predicate letters A, B, ...
std::string Predicate(size_t aIndex) { return std::string(1, static_cast<char>('A' + aIndex)); }

/// Something exists, and for every object and each of aPredicates predicates there is one that
/// differs from it in that predicate alone: every one of the 2^aPredicates kinds has an object.
/// With aPairs, every object has another of its own kind, so each kind has two.
std::string EveryKind(size_t aPredicates, bool aPairs) {
    const auto fSame = [&](size_t fSkipped) {
        return Joined(aPredicates, "&", [&](size_t fIndex) {
            const std::string lSame = "(" + Predicate(fIndex) + "x <=> " + Predicate(fIndex) + "y)";
            return fIndex == fSkipped ? "~" + lSame : lSame;
        });
    };
    std::string lText = "(3x, x=x)";
    for (size_t lFlipped = 0; lFlipped < aPredicates; ++lFlipped) {
        lText += " & (x, 3y, " + fSame(lFlipped) + ")";
    }
    if (aPairs) {
        lText += " & (x, 3y, ~x=y & " + fSame(aPredicates) + ")";
    }
    return lText;
}

struct Known {
    std::string mWhat;
    std::vector<std::string> mLines;
    std::string mVerdict;
    /// Whether the numbering can't hold it (it fails with "Too many predicates!").
    bool mBeyond = true;
};

std::vector<Known> KnownBeyondTheNumbering() {
    const std::string lNecessary = "The statement is necessarily true.";
    const std::string lContingent = "The statement is contingent.";
    const std::string lImpossible = "The statement is self-contradictory.";
    std::vector<Known> lKnown;
    // Excluded middle over 40 and over all 52 letters: one of them or the denial of all.
    for (size_t lLetters : {40, 52}) {
        lKnown.push_back({"excluded middle over " + std::to_string(lLetters) + " letters",
                          {Joined(lLetters, "|", Letter) + " | ~" + Joined(lLetters, "|", Letter)},
                          lNecessary});
        // Without the last letter's own term it fails when only that letter is true.
        lKnown.push_back({"one letter short over " + std::to_string(lLetters),
                          {Joined(lLetters - 1, "|", Letter) + " | " +
                           Joined(lLetters, "&", [](size_t fIndex) { return "~" + Letter(fIndex); })},
                          lContingent});
    }
    lKnown.push_back({"7 pigeons, 6 holes", {Pigeonhole(7, 6)}, lImpossible});
    lKnown.push_back({"6 pigeons, 6 holes", {Pigeonhole(6, 6)}, lContingent});
    lKnown.push_back({"not 7 pigeons in 6 holes", {"~(" + Pigeonhole(7, 6) + ")"}, lNecessary});
    // A chain of seven predicates: each implies the next, so the first implies the last.
    std::vector<std::string> lChain;
    for (size_t lIndex = 0; lIndex + 1 < 7; ++lIndex) {
        lChain.push_back("x, " + Predicate(lIndex) + "x -> " + Predicate(lIndex + 1) + "x");
    }
    std::vector<std::string> lValid = lChain;
    lValid.insert(lValid.end(), {".'.", "x, Ax -> Gx"});
    lKnown.push_back({"chain of seven", lValid, "The argument is valid."});
    std::vector<std::string> lBroken = lChain;
    lBroken.erase(lBroken.begin() + 3);
    lBroken.insert(lBroken.end(), {".'.", "x, Ax -> Gx"});
    lKnown.push_back({"chain of seven, one link missing", lBroken, "The argument is invalid."});
    // Models that need every object the bound allows: one of each of the 2^4 kinds (the bound
    // without identity), two of each (the bound with two identified variables). Were the bound
    // smaller, these would be self-contradictory. The numbering holds them, but only the
    // construction says what they are.
    lKnown.push_back({"every kind of four predicates", {EveryKind(4, false)}, lContingent, false});
    lKnown.push_back({"two of every kind of four predicates", {EveryKind(4, true)}, lContingent, false});
    lKnown.push_back({"every kind of four, and an A that is no B",
                      {EveryKind(4, false) + " & ~(3x, Ax & ~Bx)"}, lImpossible, false});
    // Worlds: aLetters possibilities, each of one letter alone, none of them here. Every
    // world has at most one of the letters, so a model needs aLetters + 1 worlds, one per
    // modal operator and one more: the bound exactly. Necessitating "at most one letter" adds
    // an operator, and a world the model does not need.
    const auto fAlone = [](size_t aLetters, size_t aTrue) {
        return Joined(aLetters, "&", [&](size_t fIndex) { return (fIndex == aTrue ? "" : "~") + Letter(fIndex); });
    };
    for (size_t lLetters : {3, 7}) {
        const std::string lNowhere = Joined(lLetters, "&", [](size_t fIndex) { return "~" + Letter(fIndex); });
        const std::string lEach =
            Joined(lLetters, "&", [&](size_t fTrue) { return "<>" + fAlone(lLetters, fTrue); });
        lKnown.push_back({std::to_string(lLetters + 1) + " worlds, each needed", {lNowhere + " & " + lEach},
                          lContingent, lLetters > 3});
        std::string lAtMostOne = "[](~(a & b)";
        for (size_t lSecond = 2; lSecond < lLetters; ++lSecond) {
            for (size_t lFirst = 0; lFirst < lSecond; ++lFirst) {
                lAtMostOne += " & ~(" + Letter(lFirst) + " & " + Letter(lSecond) + ")";
            }
        }
        lAtMostOne += ")";
        lKnown.push_back({"each letter possible, never two", {lAtMostOne + " & " + lEach}, lContingent, lLetters > 3});
        lKnown.push_back({"each letter possible, never two, yet two possible",
                          {lAtMostOne + " & " + lEach + " & <>(a & b)"}, lImpossible, lLetters > 3});
    }
    // Monadic S5 beyond the numbering: necessarily all F are G, and something F is possible,
    // so something G is possible; over seven predicates.
    lKnown.push_back({"modal chain of seven",
                      {"[](" + Joined(6, "&", [](size_t fIndex) {
                           return "(x, " + Predicate(fIndex) + "x -> " + Predicate(fIndex + 1) + "x)";
                       }) + ")",
                       "<>(3x, Ax)", ".'.", "<>(3x, Gx)"},
                      "The argument is valid."});
    return lKnown;
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
    EXPECT_TRUE(StartsWith(Verdict({"x, Fx -> []Fx"}, lSat), ModalRefusal));
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
