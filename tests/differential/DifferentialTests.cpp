// The differential tests: random documents from a printed seed are decided and searched by the
// reference engine, each answer asked afresh, and by every registered engine: with the document
// prepared once and kept for the verdict and the searches, and afresh under each set of limits
// (the default choice, the scalar walk alone, a circuit wherever possible, and that circuit
// spread over workers); every verdict, search hit and failure text must agree. The default path
// must also never be much slower than the reference. A disagreement is shrunk to a smallest
// document that still disagrees and kept in tests/differential/regressions/, whose documents are
// replayed on every run.
//
// QUENDRAL_DIFFERENTIAL_SEED and QUENDRAL_DIFFERENTIAL_CASES choose the run (the defaults make
// the run in ctest the same each time; scripts/test adds one from a fresh seed).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <set>

#include "RandomDocuments.h"
#include "engine/CompiledFormula.h"
#include "engine/Decision.h"
#include "engine/KindOfWorld.h"
#include "engine/Predicates.h"
#include "engine/Utility.h"
#include "model/Argument.h"
#include "model/Factory.h"
#include "model/NullPredicate.h"
#include "parser/Parser.h"

namespace Logic::Differential {
namespace {

const std::filesystem::path Regressions =
    std::filesystem::path(QUENDRAL_SOURCE_DIR) / "tests" / "differential" / "regressions";

/// Documents whose reference run would take more steps than this (worlds, times objects for
/// each level of nested quantifiers) are left out, to keep the run short; the decision's size
/// limits are covered elsewhere.
constexpr uint64_t LargestSpace = uint64_t{1} << 20;

std::string Describe(const KindOfWorld& aWorld) {
    std::string lText = "{";
    for (const KindOfObject& lObject : aWorld.KindsOfObjects()) {
        lText += std::to_string(lObject.NumberOfDistinguishableInstances()) + "x";
        for (const UnaryPredicate& lPredicate : lObject.Predicates()) {
            lText += (lObject.Affirms(lPredicate) ? "+" : "-") + lPredicate.ToString();
        }
        lText += " ";
    }
    for (const NullPredicate* lPredicate : aWorld.Predicates()) {
        lText += (aWorld.Affirms(*lPredicate) ? "+" : "-") + lPredicate->Description();
    }
    return lText + "}";
}

std::string Describe(const Counterexample* aFound) {
    if (aFound == nullptr) {
        return "none";
    }
    if (const auto* lWorld = dynamic_cast<const KindOfWorld*>(aFound)) {
        return Describe(*lWorld);
    }
    const auto& lModal = dynamic_cast<const ModalCounterexample&>(*aFound);
    std::string lText = "false in";
    for (const KindOfWorld& lWorld : lModal.Counterexamples()) {
        lText += " " + Describe(lWorld);
    }
    lText += ", true in";
    for (const KindOfWorld& lWorld : lModal.NonCounterexamples()) {
        lText += " " + Describe(lWorld);
    }
    return lText;
}

/// One way of evaluating: an engine under some limits, each answer asked afresh, or with the
/// document prepared once and kept for the verdict and every search (as the driver keeps it).
struct Path {
    std::string mName;
    const DecisionEngine* mEngine;
    EngineLimits mLimits;
    bool mKept = false;
};

const Path Reference{"reference", &ReferenceEngine(), {}};
const Path Compiled{"compiled", &CompiledEngine(), {}};

/// Every registered engine that decides through the numbering, its document kept, and under
/// each set of limits with its answers asked afresh: the limits steer how an engine goes about a
/// formula, never what it answers. The SAT engine, which decides without the numbering and
/// refuses modal formulas, is compared with the compiled one in SatEngineTests.cpp.
std::vector<Path> EnginePaths() {
    const std::vector<std::pair<const char*, EngineLimits>> lLimits{
        {"", {}},
        {" scalar walk", EngineLimits::ScalarOnly()},
        {" circuit", EngineLimits::CircuitWherePossible()},
        {" parallel circuit", EngineLimits::ParallelCircuit()}};
    std::vector<Path> lPaths;
    for (const DecisionEngine* lEngine : RegisteredEngines()) {
        if (!lEngine->DecidesThroughNumbering()) {
            continue;
        }
        const std::string lName(lEngine->Name());
        lPaths.push_back({lName + " kept", lEngine, {}, true});
        for (const auto& [lSuffix, lLimit] : lLimits) {
            lPaths.push_back({lName + lSuffix, lEngine, lLimit, false});
        }
    }
    return lPaths;
}

/// Everything one path says about a document, one line per answer.
std::vector<std::string> Answers(const std::vector<std::string>& aLines, const Path& aPath) {
    const DecisionEngine& lEngine = *aPath.mEngine;
    const EngineLimits& lLimits = aPath.mLimits;
    std::vector<std::string> lAnswers;
    const auto fAnswer = [&](const std::string& fWhat, const std::function<std::string()>& fAsk) {
        try {
            lAnswers.push_back(fWhat + ": " + fAsk());
        } catch (const std::exception& lFailure) {
            lAnswers.push_back(fWhat + ": Error: " + lFailure.what());
        }
    };
    MatrixPtr lRoot;
    fAnswer("parse", [&] {
        lRoot = Parser::Parse(aLines);
        return std::string("ok");
    });
    if (!lRoot) {
        return lAnswers;
    }
    std::optional<PreparedDocument> lKept;
    if (aPath.mKept) {
        lKept.emplace(*lRoot, lEngine, lLimits);
    }
    const bool lArgument = lRoot->Kind() == NodeKind::Argument;
    fAnswer("verdict", [&] {
        if (lKept) {
            return lArgument ? Utility::TextResult(lKept->ArgumentQuality())
                             : Utility::TextForDecision(lKept->Decide());
        }
        if (lArgument) {
            return Utility::TextResult(QualityWith(static_cast<const Argument&>(*lRoot), lEngine, lLimits));
        }
        return Utility::TextForDecision(DecideWith(*lRoot, lEngine, lLimits));
    });
    SearchPosition lExamples;
    SearchPosition lCounterexamples;
    for (int lCall = 0; lCall < 3; ++lCall) {
        for (bool lExample : {true, false}) {
            SearchPosition& lPosition = lExample ? lExamples : lCounterexamples;
            fAnswer(lExample ? "example" : "counterexample", [&] {
                std::unique_ptr<Counterexample> lFound;
                if (lKept) {
                    const std::optional<SearchHit> lHit = lKept->Search(lExample).FindNext(lPosition);
                    lFound = lHit ? DecodeHit(*lHit) : nullptr;
                } else {
                    lFound = FindNextWith(*lRoot, lExample, lPosition, lEngine, lLimits);
                }
                return Describe(lFound.get()) + " at " +
                       (lPosition.mLastFound ? std::to_string(*lPosition.mLastFound) : "-") +
                       (lPosition.mMightBe ? "" : " (none can exist)");
            });
        }
    }
    return lAnswers;
}

/// The first answer on which a path differs from the reference asked afresh, or empty when all
/// agree.
std::string Disagreement(const std::vector<std::string>& aLines) {
    static const std::vector<Path> lPaths = EnginePaths();
    const std::vector<std::string> lReference = Answers(aLines, Reference);
    for (const Path& lPath : lPaths) {
        const std::vector<std::string> lAnswers = Answers(aLines, lPath);
        for (size_t lIndex = 0; lIndex < std::max(lReference.size(), lAnswers.size()); ++lIndex) {
            const std::string lLeft = lIndex < lReference.size() ? lReference[lIndex] : "(nothing)";
            const std::string lRight = lIndex < lAnswers.size() ? lAnswers[lIndex] : "(nothing)";
            if (lLeft != lRight) {
                return std::string("reference ") + lLeft + "\n" + lPath.mName + "  " + lRight;
            }
        }
    }
    return "";
}

/// Seconds that the verdict on aLines takes on aPath, the least of aTries runs.
double VerdictSeconds(const std::vector<std::string>& aLines, const Path& aPath, int aTries) {
    double lLeast = 1e9;
    for (int lTry = 0; lTry < aTries; ++lTry) {
        const auto lStart = std::chrono::steady_clock::now();
        try {
            const MatrixPtr lRoot = Parser::Parse(aLines);
            if (lRoot->Kind() == NodeKind::Argument) {
                QualityWith(static_cast<const Argument&>(*lRoot), *aPath.mEngine, aPath.mLimits);
            } else {
                DecideWith(*lRoot, *aPath.mEngine, aPath.mLimits);
            }
        } catch (const std::exception&) {
            // a failure takes its time too
        }
        lLeast = std::min(lLeast, std::chrono::duration<double>(std::chrono::steady_clock::now() - lStart).count());
    }
    return lLeast;
}

/// Whether the default path takes more than twice the reference's time plus 10 ms on aLines;
/// a document that seems so is timed twice more, so that one slow moment of the machine does
/// not count.
bool DefaultMuchSlower(const std::vector<std::string>& aLines) {
    const auto fSlower = [&](int fTries) {
        return VerdictSeconds(aLines, Compiled, fTries) > 2 * VerdictSeconds(aLines, Reference, fTries) + 0.010;
    };
    return fSlower(1) && fSlower(3);
}

/// Whether the compiled evaluator, free to unroll, builds a circuit for the document (counted
/// for documents that cannot fail, where a circuit must be possible).
std::optional<bool> GetsACircuit(const std::vector<std::string>& aLines) {
    try {
        const MatrixPtr lRoot = Parser::Parse(aLines);
        MatrixPtr lTarget = lRoot;
        if (!lRoot->FreeVariables().empty()) {
            lTarget = Factory::Bind(lRoot->FreeVariables(), lRoot, &Factory::ForAll);
        }
        const Predicates lPredicates = lTarget->CollectPredicates();
        const CompiledFormula lCompiled(*lTarget, lPredicates, EngineLimits::CircuitWherePossible());
        if (lCompiled.CanFail()) {
            return std::nullopt;
        }
        return lCompiled.HasCircuit();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

/// Whether the reference would walk at most aLargest worlds, for a quick comparison.
bool SmallEnough(const std::vector<std::string>& aLines) {
    return Differential::SmallEnough(aLines, LargestSpace);
}

/// Cuts aDocument down while aStillFails holds, one step at a time, until no smaller document
/// fails.
Document Shrink(Document aDocument, const std::function<bool(const Document&)>& aStillFails) {
    for (bool lSmaller = true; lSmaller;) {
        lSmaller = false;
        for (Document& lCandidate : aDocument.Smaller()) {
            if (aStillFails(lCandidate)) {
                aDocument = std::move(lCandidate);
                lSmaller = true;
                break;
            }
        }
    }
    return aDocument;
}

TEST(Differential, RandomDocumentsAgree) {
    const uint64_t lSeed = FromEnvironment("QUENDRAL_DIFFERENTIAL_SEED", 20261208);
    const uint64_t lCases = FromEnvironment("QUENDRAL_DIFFERENTIAL_CASES", 300);
    std::cout << "differential run: seed " << lSeed << ", " << lCases << " documents" << std::endl;
    std::set<std::string> lVerdictsSeen;
    uint64_t lCompared = 0;
    uint64_t lCircuitPossible = 0;
    uint64_t lCircuits = 0;
    std::vector<std::string> lSlower;
    for (uint64_t lCase = 0; lCase < lCases; ++lCase) {
        DocumentGenerator lGenerator(lSeed + lCase);
        const Document lDocument = lGenerator.Next();
        if (!SmallEnough(lDocument.Lines())) {
            continue;
        }
        ++lCompared;
        const std::string lDisagreement = Disagreement(lDocument.Lines());
        if (lDisagreement.empty()) {
            const auto lAnswers = Answers(lDocument.Lines(), Compiled);
            if (lAnswers.size() > 1) {
                lVerdictsSeen.insert(lAnswers[1].substr(0, 40));
            }
            if (const std::optional<bool> lCircuit = GetsACircuit(lDocument.Lines())) {
                ++lCircuitPossible;
                lCircuits += *lCircuit ? 1 : 0;
            }
            if (DefaultMuchSlower(lDocument.Lines())) {
                lSlower.push_back("seed " + std::to_string(lSeed + lCase) + ":\n" + Joined(lDocument.Lines()));
            }
            continue;
        }
        const Document lSmallest = Shrink(lDocument, [](const Document& fCandidate) {
            return SmallEnough(fCandidate.Lines()) && !Disagreement(fCandidate.Lines()).empty();
        });
        const std::string lName = "seed-" + std::to_string(lSeed + lCase) + ".txt";
        std::filesystem::create_directories(Regressions);
        std::ofstream(Regressions / lName)
            << "// Found by the differential tests with seed " << (lSeed + lCase) << ".\n"
            << Joined(lSmallest.Lines());
        ADD_FAILURE() << "seed " << (lSeed + lCase) << " disagrees; shrunk to (kept as "
                      << (Regressions / lName).string() << "):\n"
                      << Joined(lSmallest.Lines()) << Disagreement(lSmallest.Lines());
    }
    std::cout << lCompared << " documents compared; " << lCircuits << " of the " << lCircuitPossible
              << " that cannot fail got a circuit; the default path was much slower than the "
                 "reference on "
              << lSlower.size() << std::endl;
    // Every path must have been taken, or the comparison proves little: a circuit that
    // silently gave up would leave only the scalar walk under test.
    EXPECT_GE(lCircuits * 10, lCircuitPossible * 9);
#ifdef NDEBUG
    // Timings mean something only in an optimised build.
    for (const std::string& lDocument : lSlower) {
        ADD_FAILURE() << "the default evaluator took more than twice the reference's time plus 10 ms on "
                      << lDocument;
    }
#endif
    // The generator must reach every verdict and the failures, or the comparison proves little.
    EXPECT_GE(lCompared, lCases / 2);
    if (lCases >= 200) {
        for (const char* lVerdict : {"verdict: The statement is necessarily", "verdict: The statement is contingent",
                                     "verdict: The statement is self-contra", "verdict: The argument is invalid",
                                     "verdict: Error: Can't decide a proposit"}) {
            const bool lSeen = std::any_of(lVerdictsSeen.begin(), lVerdictsSeen.end(), [&](const std::string& fSeen) {
                return fSeen.rfind(lVerdict, 0) == 0;
            });
            EXPECT_TRUE(lSeen) << lVerdict;
        }
    }
}

TEST(Differential, WideDocumentsAgree) {
    // Spaces of many blocks: constants folded from the high bits of a candidate, steps reused
    // from block to block, ranges that start and end inside a block.
    const uint64_t lSeed = FromEnvironment("QUENDRAL_DIFFERENTIAL_SEED", 20261208);
    const uint64_t lCases = FromEnvironment("QUENDRAL_DIFFERENTIAL_CASES", 300) / 10;
    uint64_t lLarge = 0;
    for (uint64_t lCase = 0; lCase < lCases; ++lCase) {
        const Document lDocument = DocumentGenerator(lSeed + lCase, true).Next();
        if (!Differential::SmallEnough(lDocument.Lines(), uint64_t{1} << 24)) {
            continue;
        }
        lLarge += Differential::SmallEnough(lDocument.Lines(), uint64_t{1} << 14) ? 0 : 1;
        const std::string lDisagreement = Disagreement(lDocument.Lines());
        EXPECT_EQ(lDisagreement, "") << "wide seed " << (lSeed + lCase) << ":\n"
                                     << Joined(lDocument.Lines());
    }
    std::cout << lLarge << " of " << lCases << " wide documents walk more than 2^14 worlds"
              << std::endl;
    EXPECT_GE(lLarge, lCases / 10);
}

TEST(Differential, RegressionDocumentsAgree) {
    if (!std::filesystem::is_directory(Regressions)) {
        GTEST_SKIP() << "no regression documents";
    }
    for (const auto& lEntry : std::filesystem::directory_iterator(Regressions)) {
        if (lEntry.path().extension() != ".txt") {
            continue;
        }
        SCOPED_TRACE(lEntry.path().filename().string());
        std::ifstream lFile(lEntry.path());
        std::vector<std::string> lLines;
        for (std::string lLine; std::getline(lFile, lLine);) {
            lLines.push_back(lLine);
        }
        EXPECT_EQ(Disagreement(lLines), "");
    }
}

TEST(Differential, ShrinkingKeepsTheFailureAndNothingElse) {
    // A stand-in failure: any document that mentions a binary predicate.
    const auto fFails = [](const Document& fDocument) {
        return Joined(fDocument.Lines()).find('L') != std::string::npos;
    };
    for (uint64_t lSeed = 1; lSeed < 400; ++lSeed) {
        const Document lDocument = DocumentGenerator(lSeed).Next();
        if (!fFails(lDocument)) {
            continue;
        }
        const Document lSmallest = Shrink(lDocument, fFails);
        ASSERT_EQ(lSmallest.mPremises.size(), 1u) << Joined(lDocument.Lines());
        EXPECT_FALSE(lSmallest.mConclusion.has_value());
        EXPECT_EQ(lSmallest.mPremises[0].mShape, Expression::Shape::Leaf);
        EXPECT_EQ(lSmallest.mPremises[0].mText.size(), 3u) << lSmallest.mPremises[0].mText;
        EXPECT_EQ(lSmallest.mPremises[0].mText[1], 'L');
        return;
    }
    FAIL() << "no generated document used a binary predicate";
}

TEST(Differential, DocumentsAreReadByTheParser) {
    // Texts that fail to parse compare nothing but the parse error: keep them rare.
    int lParsed = 0;
    for (uint64_t lSeed = 1; lSeed <= 200; ++lSeed) {
        const Document lDocument = DocumentGenerator(lSeed).Next();
        try {
            Parser::Parse(lDocument.Lines());
            ++lParsed;
        } catch (const std::exception& lFailure) {
            ADD_FAILURE() << Joined(lDocument.Lines()) << lFailure.what();
        }
    }
    EXPECT_EQ(lParsed, 200);
}

} // namespace
} // namespace Logic::Differential
