// The differential tests: random documents from a printed seed are decided and searched by the
// reference evaluator and by the compiled one, and every verdict, search hit and failure text
// must agree. A disagreement is shrunk to a smallest document that still disagrees and kept in
// tests/differential/regressions/, whose documents are replayed on every run.
//
// QUENDRAL_DIFFERENTIAL_SEED and QUENDRAL_DIFFERENTIAL_CASES choose the run (the defaults make
// the run in ctest the same each time; scripts/test adds one from a fresh seed).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <set>

#include "RandomDocuments.h"
#include "engine/Decision.h"
#include "engine/KindOfWorld.h"
#include "engine/Predicates.h"
#include "engine/Utility.h"
#include "model/Argument.h"
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

uint64_t FromEnvironment(const char* aName, uint64_t aDefault) {
    const char* lValue = std::getenv(aName);
    return lValue != nullptr && *lValue != '\0' ? std::strtoull(lValue, nullptr, 10) : aDefault;
}

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

/// Everything one evaluator says about a document, one line per answer.
std::vector<std::string> Answers(const std::vector<std::string>& aLines, Evaluator aEvaluator) {
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
    fAnswer("verdict", [&] {
        if (lRoot->Kind() == NodeKind::Argument) {
            return Utility::TextResult(QualityWith(static_cast<const Argument&>(*lRoot), aEvaluator));
        }
        return Utility::TextForDecision(DecideWith(*lRoot, aEvaluator));
    });
    SearchPosition lExamples;
    SearchPosition lCounterexamples;
    for (int lCall = 0; lCall < 3; ++lCall) {
        for (bool lExample : {true, false}) {
            SearchPosition& lPosition = lExample ? lExamples : lCounterexamples;
            fAnswer(lExample ? "example" : "counterexample", [&] {
                const auto lFound = FindNextWith(*lRoot, lExample, lPosition, aEvaluator);
                return Describe(lFound.get()) + " at " +
                       (lPosition.mLastFound ? std::to_string(*lPosition.mLastFound) : "-") +
                       (lPosition.mMightBe ? "" : " (none can exist)");
            });
        }
    }
    return lAnswers;
}

/// The first answer on which the evaluators differ, or empty when they agree.
std::string Disagreement(const std::vector<std::string>& aLines) {
    const std::vector<std::string> lReference = Answers(aLines, Evaluator::Reference);
    const std::vector<std::string> lCompiled = Answers(aLines, Evaluator::Compiled);
    for (size_t lIndex = 0; lIndex < std::max(lReference.size(), lCompiled.size()); ++lIndex) {
        const std::string lLeft = lIndex < lReference.size() ? lReference[lIndex] : "(nothing)";
        const std::string lRight = lIndex < lCompiled.size() ? lCompiled[lIndex] : "(nothing)";
        if (lLeft != lRight) {
            return "reference " + lLeft + "\ncompiled  " + lRight;
        }
    }
    return "";
}

/// Whether the reference would walk at most aLargest worlds, for a quick comparison.
bool SmallEnough(const std::vector<std::string>& aLines, uint64_t aLargest = LargestSpace) {
    try {
        const MatrixPtr lRoot = Parser::Parse(aLines);
        const Predicates lPredicates = lRoot->CollectPredicates();
        uint64_t lWorlds = lPredicates.Interpretations().size();
        if (lPredicates.ModalitiesPresent()) {
            lWorlds *= (uint64_t{lPredicates.LastKindOfWorld()} + 1) *
                       static_cast<uint64_t>(lPredicates.DistinguishableWorldsWithinAKind());
        }
        // Nested quantifiers multiply the work per world by the objects a world may hold.
        const uint64_t lObjects =
            static_cast<uint64_t>(lPredicates.NumberOfCombinationsOfUnaryPredicates())
            << lPredicates.BitsNeededToRepresentObjectsOfAKind();
        for (int32_t lLevel = 0; lLevel < lRoot->DepthOfLoopNesting() && lWorlds <= aLargest; ++lLevel) {
            lWorlds *= std::max<uint64_t>(lObjects, 1);
        }
        return lWorlds <= aLargest;
    } catch (const std::exception&) {
        return true; // both evaluators must fail alike, and failing is quick
    }
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

std::string Joined(const std::vector<std::string>& aLines) {
    std::string lText;
    for (const std::string& lLine : aLines) {
        lText += lLine + "\n";
    }
    return lText;
}

TEST(Differential, RandomDocumentsAgree) {
    const uint64_t lSeed = FromEnvironment("QUENDRAL_DIFFERENTIAL_SEED", 20261208);
    const uint64_t lCases = FromEnvironment("QUENDRAL_DIFFERENTIAL_CASES", 300);
    std::cout << "differential run: seed " << lSeed << ", " << lCases << " documents" << std::endl;
    std::set<std::string> lVerdictsSeen;
    uint64_t lCompared = 0;
    for (uint64_t lCase = 0; lCase < lCases; ++lCase) {
        DocumentGenerator lGenerator(lSeed + lCase);
        const Document lDocument = lGenerator.Next();
        if (!SmallEnough(lDocument.Lines())) {
            continue;
        }
        ++lCompared;
        const std::string lDisagreement = Disagreement(lDocument.Lines());
        if (lDisagreement.empty()) {
            const auto lAnswers = Answers(lDocument.Lines(), Evaluator::Compiled);
            if (lAnswers.size() > 1) {
                lVerdictsSeen.insert(lAnswers[1].substr(0, 40));
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
    std::cout << lCompared << " documents compared" << std::endl;
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
        if (!SmallEnough(lDocument.Lines(), uint64_t{1} << 24)) {
            continue;
        }
        lLarge += SmallEnough(lDocument.Lines(), uint64_t{1} << 14) ? 0 : 1;
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
