// Every example and counterexample that an explanation prints is checked against the reference
// evaluator: the printed world is turned back into its number, each name is given the object the
// model says it denotes, and the statement (or the argument's conditional) must be true in an
// example and false in a counterexample under that very assignment. Documents come from
// examples/ and from the random generator of the differential tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "RandomDocuments.h"
#include "engine/Explanation.h"
#include "engine/Predicates.h"
#include "model/Argument.h"
#include "model/Factory.h"
#include "model/NullPredicate.h"
#include "parser/Parser.h"
#include "platform/LargeStack.h"

namespace Logic::Differential {
namespace {

/// The combination of unary predicates (bit u: predicate u of aPredicates) of aKind.
uint32_t CombinationOf(const ObjectKindDescription& aKind, const Predicates& aPredicates) {
    uint32_t lCombination = 0;
    for (const std::string& lAffirmed : aKind.mAffirms) {
        lCombination |= uint32_t{1}
                        << aPredicates.IndexOfUnaryPredicate(UnaryPredicate(lAffirmed.at(0)));
    }
    return lCombination;
}

/// The kind-of-world number that aWorld describes under aPredicates: one bit per sentence
/// letter, then a count field per combination of unary predicates.
uint32_t KindOfWorldNumber(const WorldDescription& aWorld, const Predicates& aPredicates) {
    uint32_t lNumber = 0;
    const auto& lLetters = aPredicates.NullPredicates();
    for (size_t lIndex = 0; lIndex < lLetters.size(); ++lIndex) {
        for (const auto& [lLetter, lTrue] : aWorld.mLetters) {
            if (lLetter == lLetters[lIndex]->Description() && lTrue) {
                lNumber |= uint32_t{1} << lIndex;
            }
        }
    }
    const int32_t lWidth = aPredicates.BitsNeededToRepresentObjectsOfAKind();
    const bool lNoUnary = aPredicates.UnaryPredicates().empty();
    for (const ObjectKindDescription& lKind : aWorld.mObjects) {
        const uint32_t lCombination = CombinationOf(lKind, aPredicates);
        const uint32_t lField = lNoUnary ? lKind.mCount - 1 : lKind.mCount;
        const uint32_t lShift = static_cast<uint32_t>(lLetters.size()) +
                                lCombination * static_cast<uint32_t>(lWidth);
        if (lWidth > 0) {
            lNumber |= lField << lShift;
        }
    }
    return lNumber;
}

/// The statement closed over its names: its numbering is the one the search and so the model
/// use.
MatrixPtr Closed(const MatrixPtr& aRoot) {
    return Factory::Bind(aRoot->FreeVariables(), aRoot, &Factory::ForAll);
}

/// Gives every name of aRoot, on this thread, the object of kind of world aNumber that aWorld
/// says it denotes: the i-th named object of a kind is its instance i. Empty when aWorld names
/// each name of aRoot once and nothing else, else what is wrong.
std::string AssignNames(const Matrix& aRoot, const WorldDescription& aWorld, uint32_t aNumber,
                        const Predicates& aPredicates) {
    std::vector<VariablePtr> lUnnamed = aRoot.FreeVariables();
    for (const ObjectKindDescription& lKind : aWorld.mObjects) {
        if (lKind.mNamed.size() > lKind.mCount) {
            return "a kind has more named objects than objects";
        }
        for (uint32_t lInstance = 0; lInstance < lKind.mNamed.size(); ++lInstance) {
            if (lKind.mNamed[lInstance].empty()) {
                return "a named object without a name";
            }
            for (const std::string& lName : lKind.mNamed[lInstance]) {
                const auto lVariable =
                    std::find_if(lUnnamed.begin(), lUnnamed.end(), [&](const VariablePtr& fFree) {
                        return fFree->ToString() == lName;
                    });
                if (lVariable == lUnnamed.end()) {
                    return "the model names " + lName + ", which is no name of the document "
                                                         "or is named twice";
                }
                (*lVariable)->Instantiate({CombinationOf(lKind, aPredicates), lInstance}, aNumber);
                lUnnamed.erase(lVariable);
            }
        }
    }
    return lUnnamed.empty() ? "" : "the model does not say which object " +
                                       lUnnamed.front()->ToString() + " is";
}

/// Empty when the reference evaluator confirms aModel, else what is wrong.
std::string Confirm(const MatrixPtr& aRoot, const ModelDescription& aModel, bool aExample) {
    const MatrixPtr lChecked = Closed(aRoot);
    const Predicates lPredicates = lChecked->CollectPredicates();
    PrepareNecessityMemos(*lChecked, lPredicates);
    if (!aModel.mModal) {
        if (aModel.mWorlds.size() != 1) {
            return "a model without modal operators must be one world";
        }
        const uint32_t lWorld = KindOfWorldNumber(aModel.mWorlds[0], lPredicates);
        if (aModel.mWorlds[0].mObjects.empty() && !lPredicates.UnaryPredicates().empty()) {
            return "a world without objects";
        }
        // Not "some assignment of the names": the one the model shows.
        if (std::string lProblem = AssignNames(*aRoot, aModel.mWorlds[0], lWorld, lPredicates);
            !lProblem.empty()) {
            return lProblem;
        }
        const bool lTrue = aRoot->TrueIn(lPredicates.FirstInterpretation(), lWorld, lPredicates);
        return lTrue == aExample ? "" : "the reference finds the statement " +
                                            std::string(lTrue ? "true" : "false") + " there";
    }
    // Names and modal operators are never decided together, so no world of a modal model has
    // names to check.
    for (const WorldDescription& lWorld : aModel.mWorlds) {
        for (const ObjectKindDescription& lKind : lWorld.mObjects) {
            if (!lKind.mNamed.empty()) {
                return "names in a modal model";
            }
        }
    }
    uint32_t lInterpretation = 0;
    for (const WorldDescription& lWorld : aModel.mWorlds) {
        lInterpretation |= uint32_t{1} << KindOfWorldNumber(lWorld, lPredicates);
    }
    size_t lIndex = 0;
    bool lSomeMatch = false;
    for (uint32_t lWorld : lPredicates.KindsOfWorlds(lInterpretation)) {
        if (lIndex >= aModel.mWorlds.size()) {
            return "the interpretation has more worlds than the model shows";
        }
        const bool lTrue = lChecked->TrueIn(lInterpretation, lWorld, lPredicates);
        if (aModel.mWorlds[lIndex].mHolds != lTrue) {
            return "world " + std::to_string(lIndex + 1) + " is marked wrongly";
        }
        lSomeMatch = lSomeMatch || lTrue == aExample;
        ++lIndex;
    }
    if (lIndex != aModel.mWorlds.size()) {
        return "the model shows worlds the interpretation does not hold";
    }
    return lSomeMatch ? "" : "no world of the model shows what it should";
}

std::vector<WorldDescription> WorldsOf(const std::optional<ModelDescription>& aModel) {
    return aModel ? aModel->mWorlds : std::vector<WorldDescription>{};
}

/// How many models of a document the reference confirmed, and how many of those had names.
struct Confirmed {
    int mModels = 0;
    int mWithNames = 0;
};

/// Checks the explanation of one document.
Confirmed CheckDocument(const std::vector<std::string>& aLines, const std::string& aName) {
    MatrixPtr lRoot;
    try {
        lRoot = Parser::Parse(aLines);
    } catch (const std::exception&) {
        return {};
    }
    Confirmed lConfirmed;
    OnLargeStack([&] {
        Explanation lExplanation;
        try {
            if (lRoot->Kind() == NodeKind::Argument) {
                const Quality lVerdict =
                    QualityWith(static_cast<const Argument&>(*lRoot), ReferenceEngine());
                lExplanation = ExplainArgument(*lRoot, lVerdict, CompiledEngine());
                EXPECT_EQ(lExplanation.mCounterexample.has_value(), lVerdict == Quality::Invalid)
                    << aName;
                EXPECT_FALSE(lExplanation.mExample) << aName;
            } else {
                const Alethicity lVerdict = DecideWith(*lRoot, ReferenceEngine());
                lExplanation = ExplainStatement(*lRoot, lVerdict, CompiledEngine());
                EXPECT_EQ(lExplanation.mExample.has_value(), lVerdict != Alethicity::Impossible)
                    << aName;
                EXPECT_EQ(lExplanation.mCounterexample.has_value(),
                          lVerdict != Alethicity::Necessary)
                    << aName;
            }
        } catch (const std::exception&) {
            return true; // undecidable documents (binary predicates) have nothing to explain
        }
        // Both evaluators search the same candidates in the same order, and choose the names'
        // objects in the same order: the first hits agree, names included.
        const Explanation lByReference =
            lRoot->Kind() == NodeKind::Argument
                ? ExplainArgument(*lRoot, Quality::Invalid, ReferenceEngine())
                : ExplainStatement(*lRoot, Alethicity::Contingent, ReferenceEngine());
        EXPECT_EQ(WorldsOf(lByReference.mExample), WorldsOf(lExplanation.mExample)) << aName;
        EXPECT_EQ(WorldsOf(lByReference.mCounterexample), WorldsOf(lExplanation.mCounterexample))
            << aName;
        for (bool lExample : {true, false}) {
            const auto& lModel = lExample ? lExplanation.mExample : lExplanation.mCounterexample;
            if (!lModel) {
                continue;
            }
            const std::string lProblem = Confirm(lRoot, *lModel, lExample);
            EXPECT_EQ(lProblem, "") << aName << (lExample ? " example: " : " counterexample: ")
                                    << DescribeWorld(lModel->mWorlds.front());
            if (lProblem.empty()) {
                ++lConfirmed.mModels;
                lConfirmed.mWithNames += lRoot->FreeVariables().empty() ? 0 : 1;
            }
        }
        return true;
    });
    return lConfirmed;
}

std::vector<std::string> LinesOf(const std::filesystem::path& aFile) {
    std::ifstream lStream(aFile);
    std::vector<std::string> lLines;
    for (std::string lLine; std::getline(lStream, lLine);) {
        lLines.push_back(lLine);
    }
    return lLines;
}

TEST(Explanation, ModelsOfTheExamplesHoldUnderTheReference) {
    int lConfirmed = 0;
    for (const auto& lEntry :
         std::filesystem::directory_iterator(std::filesystem::path(QUENDRAL_SOURCE_DIR) / "examples")) {
        lConfirmed +=
            CheckDocument(LinesOf(lEntry.path()), lEntry.path().filename().string()).mModels;
    }
    // The valid arguments among them have nothing to show; the statements do.
    EXPECT_GT(lConfirmed, 0);
}

TEST(Explanation, ModelsOfRandomDocumentsHoldUnderTheReference) {
    Confirmed lConfirmed;
    int lModal = 0;
    for (uint64_t lCase = 0; lCase < 400; ++lCase) {
        DocumentGenerator lGenerator(777000 + lCase);
        const Document lDocument = lGenerator.Next();
        // Keep the reference's share of the run small: documents of at most 2^16 candidates.
        try {
            const MatrixPtr lRoot = Parser::Parse(lDocument.Lines());
            const Predicates lPredicates = lRoot->CollectPredicates();
            if (lPredicates.Interpretations().size() > (uint64_t{1} << 16) ||
                lRoot->DepthOfLoopNesting() > 3) {
                continue;
            }
            lModal += lPredicates.ModalitiesPresent() ? 1 : 0;
        } catch (const std::exception&) {
            continue;
        }
        const Confirmed lOne = CheckDocument(
            lDocument.Lines(), "seed " + std::to_string(777000 + lCase) + ":\n" +
                                   lDocument.Lines().front());
        lConfirmed.mModels += lOne.mModels;
        lConfirmed.mWithNames += lOne.mWithNames;
    }
    std::cout << lConfirmed.mModels << " models confirmed (" << lConfirmed.mWithNames
              << " with names), from " << lModal << " modal documents and others" << std::endl;
    EXPECT_GT(lConfirmed.mModels, 200);
    EXPECT_GT(lConfirmed.mWithNames, 50);
    EXPECT_GT(lModal, 10);
}

TEST(Explanation, WorldsAreWrittenForAPerson) {
    WorldDescription lWorld;
    lWorld.mLetters = {{"p", true}, {"q", false}};
    lWorld.mObjects = {{1, {"F"}, {"G"}, {}}, {2, {}, {"F", "G"}, {}}, {3, {"F", "G", "H"}, {}, {}}};
    EXPECT_EQ(DescribeWorld(lWorld), "p true, q false; 1 object that is F and not G; 2 objects "
                                     "that are not F nor G; 3 objects that are F, G and H");
    EXPECT_EQ(DescribeWorld(WorldDescription{}), "any world");
    // With relations every object stands alone, by its number.
    WorldDescription lRelational;
    lRelational.mLetters = {{"p", false}};
    lRelational.mObjects = {{1, {"F"}, {}, {{"a", "b"}}, 1}, {1, {}, {"F"}, {}, 2}};
    lRelational.mRelations = {{"L", {{1, 2}, {2, 2}}}, {"M", {}}};
    EXPECT_EQ(DescribeWorld(lRelational),
              "p false; 2 objects: 1 (a, b) is F; 2 is not F; L holds between 1 and 2, 2 and 2; M holds "
              "between no objects");

    Explanation lExplanation;
    lExplanation.mCounterexample = ModelDescription{true, {lWorld, lWorld}};
    lExplanation.mCounterexample->mWorlds[0].mHolds = true;
    lExplanation.mCounterexample->mWorlds[1].mHolds = false;
    lExplanation.mCounterexample->mWorlds[1].mObjects.clear();
    const auto lLines = ExplanationLines(lExplanation);
    ASSERT_EQ(lLines.size(), 3u);
    EXPECT_EQ(lLines[0], "Counterexample: 2 possible worlds");
    EXPECT_EQ(lLines[2], "  world 2 (the statement is false): p true, q false");
}

TEST(Explanation, NamesAreShownAfterTheKindOfTheObjectTheyDenote) {
    const auto fLines = [](const std::vector<std::string>& aLines) {
        const MatrixPtr lRoot = Parser::Parse(aLines);
        return OnLargeStack([&] {
            if (lRoot->Kind() == NodeKind::Argument) {
                return ExplanationLines(ExplainArgument(*lRoot, Quality::Invalid, CompiledEngine()));
            }
            return ExplanationLines(ExplainStatement(*lRoot, Alethicity::Contingent,
                                                     CompiledEngine()));
        });
    };
    // a is F and so G; b is the object that is not G.
    EXPECT_EQ(fLines({"Fa", "x,(Fx->Gx)", ".'.", "Gb"}),
              (std::vector<std::string>{"Counterexample (the premises true, the conclusion false): "
                                        "1 object that is not F nor G (b); "
                                        "1 object that is F and G (a)"}));
    // Names of one object share its parentheses; names of two objects of a kind have one each.
    EXPECT_EQ(fLines({"a=b"}), (std::vector<std::string>{"Example: 1 object (a, b)",
                                                         "Counterexample: 2 objects (a) (b)"}));
    EXPECT_EQ(fLines({"Fa & Fb & Fc & ~(a=b)"}),
              (std::vector<std::string>{"Example: 2 objects that are F (a, c) (b)",
                                        "Counterexample: 1 object that is not F (a, b, c)"}));
    // A kind may hold more objects than names: here one of the two objects that are F is a.
    EXPECT_EQ(fLines({"Fa & 3x,(Fx & ~(x=a))"}),
              (std::vector<std::string>{"Example: 2 objects that are F (a)",
                                        "Counterexample: 1 object that is not F (a)"}));

    // The worlds of a modal model are written as one world is, names included.
    WorldDescription lWorld;
    lWorld.mLetters = {{"p", true}};
    lWorld.mObjects = {{2, {"F"}, {}, {{"a", "b"}}}, {1, {}, {"F"}, {{"c"}}}};
    lWorld.mHolds = false;
    Explanation lModal;
    lModal.mCounterexample = ModelDescription{true, {lWorld}};
    EXPECT_EQ(ExplanationLines(lModal),
              (std::vector<std::string>{
                  "Counterexample: 1 possible world",
                  "  world 1 (the statement is false): p true; 2 objects that are F (a, b); "
                  "1 object that is not F (c)"}));
}

TEST(Explanation, ObjectsAreShownOnlyWhereTheyCanMatter) {
    auto fExplain = [](const std::vector<std::string>& aLines) {
        const MatrixPtr lRoot = Parser::Parse(aLines);
        return OnLargeStack([&] {
            return ExplainStatement(*lRoot, DecideWith(*lRoot, ReferenceEngine()),
                                    CompiledEngine());
        });
    };
    // Sentence letters alone: the world is its letters, whatever its objects.
    const Explanation lLetters = fExplain({"x, p -> q"});
    ASSERT_TRUE(lLetters.mExample && lLetters.mCounterexample);
    EXPECT_TRUE(lLetters.mExample->mWorlds[0].mObjects.empty());
    EXPECT_EQ(DescribeWorld(lLetters.mCounterexample->mWorlds[0]), "p true, q false");
    // Identity counts objects even without predicates.
    const Explanation lIdentity = fExplain({"x, y, x=y"});
    ASSERT_TRUE(lIdentity.mExample && lIdentity.mCounterexample);
    EXPECT_EQ(DescribeWorld(lIdentity.mExample->mWorlds[0]), "1 object");
    EXPECT_EQ(DescribeWorld(lIdentity.mCounterexample->mWorlds[0]), "2 objects");
}

TEST(Explanation, AnArgumentsWorldsAreToldApartByItsPremisesAndConclusion) {
    const MatrixPtr lRoot = Parser::Parse({"<>p", ".'.", "[]p"});
    const Explanation lExplanation = OnLargeStack([&] {
        return ExplainArgument(*lRoot, Quality::Invalid, CompiledEngine());
    });
    EXPECT_EQ(ExplanationLines(lExplanation),
              (std::vector<std::string>{
                  "Counterexample (the premises true, the conclusion false): 2 possible worlds",
                  "  world 1 (the premises true, the conclusion false): p false",
                  "  world 2 (the premises true, the conclusion false): p true"}));
    // A valid argument has nothing to show.
    EXPECT_TRUE(ExplanationLines(ExplainArgument(*lRoot, Quality::Valid, CompiledEngine()))
                    .empty());
}

TEST(Explanation, AnInvalidSyllogismHasTheCounterexampleAStudentExpects) {
    // Every F is G; a is G; so a is F: the counterexample holds an object that is G but not F.
    const MatrixPtr lRoot = Parser::Parse({"x, Fx -> Gx", "Ga", ".'.", "Fa"});
    const Explanation lExplanation = OnLargeStack([&] {
        return ExplainArgument(*lRoot, static_cast<const Argument&>(*lRoot).Quality(),
                               CompiledEngine());
    });
    ASSERT_TRUE(lExplanation.mCounterexample);
    const auto& lWorlds = lExplanation.mCounterexample->mWorlds;
    ASSERT_EQ(lWorlds.size(), 1u);
    bool lHasGNotF = false;
    for (const auto& lKind : lWorlds[0].mObjects) {
        lHasGNotF = lHasGNotF || (lKind.mAffirms == std::vector<std::string>{"G"} &&
                                  lKind.mDenies == std::vector<std::string>{"F"});
    }
    EXPECT_TRUE(lHasGNotF) << DescribeWorld(lWorlds[0]);
}

} // namespace
} // namespace Logic::Differential
