// The models the SAT engine finds, checked by an evaluator of this file: each model is rebuilt
// from its description (the letters, every object with its predicates and names, the pairs of
// every relation) and the formula, evaluated there directly, must have the truth the model was
// found for. Monadic models must exist exactly when the verdict allows one (within the numbering
// the compiled engine's verdict, beyond it the SAT engine's own). With binary predicates the
// smallest model of at most two or three objects is found here by trying every one, and the
// engine must find a model of that size, or none of that size when there is none.
//
// QUENDRAL_DIFFERENTIAL_SEED and QUENDRAL_DIFFERENTIAL_CASES choose the run, as for the other
// differential tests.

#ifdef QUENDRAL_HAVE_CADICAL

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "RandomDocuments.h"
#include "engine/Decision.h"
#include "engine/DistinctNodeWalk.h"
#include "engine/Explanation.h"
#include "engine/Utility.h"
#include "model/Argument.h"
#include "model/BinaryOperator.h"
#include "model/BinaryPredication.h"
#include "model/Factory.h"
#include "model/Identification.h"
#include "model/NullPredicate.h"
#include "model/UnaryPredication.h"
#include "model/UniversalGeneralization.h"
#include "parser/Parser.h"
#include "platform/Cancellation.h"
#include "platform/LargeStack.h"

namespace Logic::Differential {
namespace {

/// A model of objects 0 .. mObjects - 1 as this test reads it.
struct TestModel {
    uint32_t mObjects = 0;
    std::map<std::string, bool> mLetters;
    std::map<char, std::vector<bool>> mUnary;
    std::map<char, std::set<std::pair<uint32_t, uint32_t>>> mRelations;
    std::map<char, uint32_t> mNames;
};

/// The formula's truth in world 0 of TestModels, one per world (one without modal operators),
/// by the textbook clauses: every world has its own objects, an object keeps its predicates
/// wherever it is asked about, and every world is possible from every other. A letter,
/// predicate, relation or name the model does not give throws.
class Evaluator {
public:
    explicit Evaluator(const std::vector<TestModel>& aWorlds, uint32_t aWorld = 0)
        : mWorlds(aWorlds), mWorld(aWorld) {}

    bool Holds(const Matrix& aNode) {
        switch (aNode.Kind()) {
        case NodeKind::NullPredicate:
            return Given(mWorlds.at(mWorld).mLetters, static_cast<const NullPredicate&>(aNode).Description(),
                         "letter");
        case NodeKind::UnaryPredication: {
            const auto& lPredication = static_cast<const UnaryPredication&>(aNode);
            const uint32_t lObject = ObjectOf(*lPredication.Variable());
            return Given(mWorlds.at(lObject / PerWorld).mUnary, lPredication.Predicate()->Letter(), "predicate")
                .at(lObject % PerWorld);
        }
        case NodeKind::BinaryPredication: {
            const auto& lPredication = static_cast<const BinaryPredication&>(aNode);
            return Given(mWorlds.at(0).mRelations, lPredication.Predicate()->Letter(), "relation")
                .contains({ObjectOf(*lPredication.Variable1()), ObjectOf(*lPredication.Variable2())});
        }
        case NodeKind::Identification: {
            const auto& lIdentification = static_cast<const Identification&>(aNode);
            return ObjectOf(*lIdentification.Left()) == ObjectOf(*lIdentification.Right());
        }
        case NodeKind::Negation:
            return !Holds(*static_cast<const UnaryOperator&>(aNode).InnerMatrix());
        case NodeKind::UniversalGeneralization: {
            const auto& lAll = static_cast<const UniversalGeneralization&>(aNode);
            const Logic::Variable* lVariable = lAll.Variable().get();
            const auto lOuter = mBinding.find(lVariable);
            const bool lBoundOutside = lOuter != mBinding.end();
            const uint32_t lOuterObject = lBoundOutside ? lOuter->second : 0;
            bool lAllHold = true;
            for (uint32_t lObject = 0; lAllHold && lObject < mWorlds.at(mWorld).mObjects; ++lObject) {
                mBinding[lVariable] = mWorld * PerWorld + lObject;
                lAllHold = Holds(*lAll.InnerMatrix());
            }
            if (lBoundOutside) {
                mBinding[lVariable] = lOuterObject;
            } else {
                mBinding.erase(lVariable);
            }
            return lAllHold;
        }
        case NodeKind::Conjunction:
        case NodeKind::Disjunction:
        case NodeKind::MaterialConditional:
        case NodeKind::Argument:
        case NodeKind::Equivalence:
        case NodeKind::JointDenial: {
            const auto& lOperator = static_cast<const BinaryOperator&>(aNode);
            const bool lLeft = Holds(*lOperator.Left());
            const bool lRight = Holds(*lOperator.Right());
            switch (aNode.Kind()) {
            case NodeKind::Conjunction:
                return lLeft && lRight;
            case NodeKind::Disjunction:
                return lLeft || lRight;
            case NodeKind::MaterialConditional:
            case NodeKind::Argument:
                return !lLeft || lRight;
            case NodeKind::Equivalence:
                return lLeft == lRight;
            default:
                return !lLeft && !lRight;
            }
        }
        case NodeKind::Necessity: {
            const uint32_t lWorld = mWorld;
            bool lEverywhere = true;
            for (mWorld = 0; lEverywhere && mWorld < mWorlds.size(); ++mWorld) {
                lEverywhere = Holds(*static_cast<const UnaryOperator&>(aNode).InnerMatrix());
            }
            mWorld = lWorld;
            return lEverywhere;
        }
        }
        throw std::runtime_error("the test evaluates no " + aNode.ToString());
    }

private:
    template <typename Key, typename Value>
    static const Value& Given(const std::map<Key, Value>& aGiven, const Key& aKey, const std::string& aWhat) {
        const auto lAt = aGiven.find(aKey);
        if (lAt == aGiven.end()) {
            throw std::runtime_error("the model does not give the " + aWhat + " " + std::string(1, aKey[0]));
        }
        return lAt->second;
    }
    template <typename Value>
    static const Value& Given(const std::map<char, Value>& aGiven, char aKey, const std::string& aWhat) {
        const auto lAt = aGiven.find(aKey);
        if (lAt == aGiven.end()) {
            throw std::runtime_error("the model does not give the " + aWhat + " " + std::string(1, aKey));
        }
        return lAt->second;
    }

    uint32_t ObjectOf(const Logic::Variable& aVariable) const {
        if (const auto lBound = mBinding.find(&aVariable); lBound != mBinding.end()) {
            return lBound->second;
        }
        return Given(mWorlds.at(0).mNames, aVariable.Letter(), "name");
    }

    /// Object i of world w is w * PerWorld + i.
    static constexpr uint32_t PerWorld = 1u << 16;
    const std::vector<TestModel>& mWorlds;
    uint32_t mWorld;
    std::map<const Logic::Variable*, uint32_t> mBinding;
};

/// The model a description shows: every object of a kind gets the kind's predicates, the i-th
/// named object of a kind is its object i; in a model with relations the objects are numbered.
TestModel RebuiltWorld(const WorldDescription& lWorld) {
    TestModel lModel;
    for (const auto& [lLetter, lTrue] : lWorld.mLetters) {
        lModel.mLetters[lLetter] = lTrue;
    }
    const bool lNumbered = !lWorld.mRelations.empty();
    for (const ObjectKindDescription& lKind : lWorld.mObjects) {
        if (lKind.mNamed.size() > lKind.mCount || (lNumbered && lKind.mNumber != lModel.mObjects + 1)) {
            throw std::runtime_error("objects miscounted or misnumbered");
        }
        for (uint32_t lInstance = 0; lInstance < lKind.mCount; ++lInstance) {
            const uint32_t lObject = lModel.mObjects++;
            for (const auto* lList : {&lKind.mAffirms, &lKind.mDenies}) {
                for (const std::string& lPredicate : *lList) {
                    std::vector<bool>& lHolders = lModel.mUnary[lPredicate.at(0)];
                    lHolders.resize(lObject + 1, false);
                    lHolders[lObject] = lList == &lKind.mAffirms;
                }
            }
            for (const std::string& lName : lInstance < lKind.mNamed.size() ? lKind.mNamed[lInstance]
                                                                             : std::vector<std::string>{}) {
                if (!lModel.mNames.emplace(lName.at(0), lObject).second) {
                    throw std::runtime_error("the name " + lName + " denotes two objects");
                }
            }
        }
    }
    for (auto& [lLetter, lHolders] : lModel.mUnary) {
        if (lHolders.size() != lModel.mObjects) {
            throw std::runtime_error(std::string("an object without its truth for ") + lLetter);
        }
    }
    for (const RelationDescription& lRelation : lWorld.mRelations) {
        auto& lPairs = lModel.mRelations[lRelation.mLetter.at(0)];
        for (const auto& [lFirst, lSecond] : lRelation.mPairs) {
            if (lFirst < 1 || lSecond < 1 || lFirst > lModel.mObjects || lSecond > lModel.mObjects) {
                throw std::runtime_error("a pair of objects the model does not have");
            }
            lPairs.insert({lFirst - 1, lSecond - 1});
        }
    }
    // Objects left out because nothing tells them apart: any one object will do.
    lModel.mObjects = std::max(lModel.mObjects, uint32_t{1});
    return lModel;
}

std::vector<TestModel> Rebuilt(const ModelDescription& aModel) {
    if (aModel.mWorlds.empty() || (!aModel.mModal && aModel.mWorlds.size() != 1)) {
        throw std::runtime_error("a model without modal operators must be one world");
    }
    std::vector<TestModel> lWorlds;
    for (const WorldDescription& lWorld : aModel.mWorlds) {
        lWorlds.push_back(RebuiltWorld(lWorld));
    }
    return lWorlds;
}

/// Empty when aModel makes aFormula aTruth under the names' objects it shows, else what is wrong.
std::string Check(const Matrix& aFormula, const ModelDescription& aModel, bool aTruth) {
    try {
        const std::vector<TestModel> lWorlds = Rebuilt(aModel);
        for (uint32_t lWorld = 0; lWorld < lWorlds.size(); ++lWorld) {
            const bool lHolds = OnLargeStack([&] { return Evaluator(lWorlds, lWorld).Holds(aFormula); });
            // The formula's truth in the first world is the one asked for; each world of a modal
            // model says it too.
            if (lWorld == 0 && lHolds != aTruth) {
                return std::string("the formula is ") + (lHolds ? "true" : "false") + " there";
            }
            const std::optional<bool> lShown = aModel.mWorlds[lWorld].mHolds;
            if (lShown && *lShown != lHolds) {
                return "world " + std::to_string(lWorld + 1) + " shows the formula's truth wrong";
            }
        }
        return "";
    } catch (const std::exception& lProblem) {
        return lProblem.what();
    }
}

/// Objects a model needs before a walk of the formula over them grows too long for this test.
bool CheapToEvaluate(const Matrix& aRoot, const ModelDescription& aModel) {
    uint32_t lObjects = 0;
    for (const WorldDescription& lWorld : aModel.mWorlds) {
        for (const ObjectKindDescription& lKind : lWorld.mObjects) {
            lObjects += lKind.mCount;
        }
    }
    return std::pow(std::max(lObjects, 1u), aRoot.DepthOfLoopNesting()) < 2e5;
}

bool HasBinaryPredications(const Matrix& aRoot) {
    bool lFound = false;
    DistinctNodeWalk::ForEachDistinctNode(
        aRoot, [&](const Matrix& fNode) { lFound |= fNode.Kind() == NodeKind::BinaryPredication; });
    return lFound;
}

TEST(SatModels, MonadicModelsAreRealAndExistExactlyWhereTheVerdictAllows) {
    const DecisionEngine& lSat = *FindEngine("sat");
    const uint64_t lSeed = FromEnvironment("QUENDRAL_DIFFERENTIAL_SEED", 20261208);
    const uint64_t lCases = FromEnvironment("QUENDRAL_DIFFERENTIAL_CASES", 300);
    uint64_t lChecked = 0;
    uint64_t lModal = 0;
    uint64_t lBeyond = 0;
    for (uint64_t lCase = 0; lCase < lCases; ++lCase) {
        const Document lDocument = DocumentGenerator(lSeed + lCase, lCase % 3 == 1).Next();
        std::vector<std::string> lLines = lDocument.Lines();
        // Every third document gets four more predicates, which no 32-bit kind of world holds
        // beside the document's own: a premise, or a conjunct of the statement.
        const bool lPadded = lCase % 3 == 2;
        if (lPadded) {
            const std::string lPadding = "x, Ax & Bx -> Cx | Dx";
            lLines.insert(lDocument.mConclusion ? lLines.begin() : lLines.end(), lPadding);
        }
        MatrixPtr lRoot;
        try {
            lRoot = Parser::Parse(lLines);
        } catch (const std::exception&) {
            continue;
        }
        // Names beside modal operators are refused by every engine.
        if ((lRoot->ContainsModalities() && !lRoot->FreeVariables().empty()) || HasBinaryPredications(*lRoot) ||
            (lPadded ? lRoot->DepthOfLoopNesting() > 2 : !SmallEnough(lLines, uint64_t{1} << 20))) {
            continue;
        }
        SCOPED_TRACE("seed " + std::to_string(lSeed + lCase) + (lCase % 2 == 1 ? " (wide)" : "") + ":\n" +
                     Joined(lLines));
        Cancellation lWork;
        lWork.SetWorkLimit(2'000'000);
        const Cancellation::Scope lScope(&lWork);
        try {
            // The verdict from the numbering where it fits; beyond it the explanation's models
            // come from the SAT engine, and are what is checked.
            const bool lArgument = lRoot->Kind() == NodeKind::Argument;
            bool lFits = true;
            try {
                // The numbering the decision builds: the formula's, closed over its names.
                (void)Factory::Bind(lRoot->FreeVariables(), lRoot, &Factory::ForAll)->CollectPredicates();
            } catch (const std::exception&) {
                lFits = false;
            }
            const DecisionEngine& lJudge = lFits ? CompiledEngine() : lSat;
            PreparedDocument lDocumentBySat(*lRoot, lSat);
            std::optional<ModelDescription> lFound[2];
            bool lExpected[2];
            if (lArgument) {
                const Quality lQuality = QualityWith(static_cast<const Argument&>(*lRoot), lJudge);
                lExpected[0] = lQuality == Quality::Invalid;
                lFound[0] = lFits ? lSat.FindModel(*lRoot, false, {}).mModel
                                  : ExplainArgument(lDocumentBySat, lQuality).mCounterexample;
                lFound[1] = lSat.FindModel(*lRoot, true, {}).mModel;
                lExpected[1] = lFound[1].has_value(); // no verdict says; the model is checked
            } else {
                const Alethicity lVerdict = DecideWith(*lRoot, lJudge);
                lExpected[0] = lVerdict != Alethicity::Necessary;
                lExpected[1] = lVerdict != Alethicity::Impossible;
                if (lFits) {
                    lFound[0] = lSat.FindModel(*lRoot, false, {}).mModel;
                    lFound[1] = lSat.FindModel(*lRoot, true, {}).mModel;
                } else {
                    const Explanation lExplanation = ExplainStatement(lDocumentBySat, lVerdict);
                    lFound[0] = lExplanation.mCounterexample;
                    lFound[1] = lExplanation.mExample;
                }
            }
            lBeyond += lFits ? 0 : 1;
            for (const bool lTruth : {false, true}) {
                EXPECT_EQ(lFound[lTruth].has_value(), lExpected[lTruth]) << "a model where it is " << lTruth;
                if (lFound[lTruth] && CheapToEvaluate(*lRoot, *lFound[lTruth])) {
                    EXPECT_EQ(Check(*lRoot, *lFound[lTruth], lTruth), "")
                        << DescribeWorld(lFound[lTruth]->mWorlds.front());
                    ++lChecked;
                    lModal += lFound[lTruth]->mModal ? 1 : 0;
                }
            }
        } catch (const std::exception& lFailure) {
            // Stopped by the work limit, too large for the SAT engine, or identities across modal
            // operators, which it refuses: nothing to check.
            const std::string lWhat = lFailure.what();
            if (!lWork.Stopped() && lWhat.find("too large") == std::string::npos &&
                lWhat.find("across modal operators") == std::string::npos) {
                ADD_FAILURE() << lFailure.what();
            }
        }
    }
    std::cout << "sat models: " << lChecked << " monadic models checked (" << lModal << " of them modal), from "
              << lBeyond << " documents beyond the numbering and others" << std::endl;
    EXPECT_GE(lChecked, lCases / 2);
    EXPECT_GT(lBeyond, 10u);
    EXPECT_GT(lModal, 0u); // the modal models were among them
}

/// The letters, unary predicates, relations and names of a document, for trying every model.
struct Signature {
    std::vector<std::string> mLetters;
    std::vector<char> mUnary;
    std::vector<char> mRelations;
    std::vector<char> mNames;
};

Signature SignatureOf(const Matrix& aRoot) {
    Signature lSignature;
    std::set<std::string> lLetters;
    std::set<char> lUnary;
    std::set<char> lRelations;
    DistinctNodeWalk::ForEachDistinctNode(aRoot, [&](const Matrix& fNode) {
        if (fNode.Kind() == NodeKind::NullPredicate) {
            lLetters.insert(static_cast<const NullPredicate&>(fNode).Description());
        } else if (fNode.Kind() == NodeKind::UnaryPredication) {
            lUnary.insert(static_cast<const UnaryPredication&>(fNode).Predicate()->Letter());
        } else if (fNode.Kind() == NodeKind::BinaryPredication) {
            lRelations.insert(static_cast<const BinaryPredication&>(fNode).Predicate()->Letter());
        }
    });
    lSignature.mLetters.assign(lLetters.begin(), lLetters.end());
    lSignature.mUnary.assign(lUnary.begin(), lUnary.end());
    lSignature.mRelations.assign(lRelations.begin(), lRelations.end());
    for (const VariablePtr& lName : aRoot.FreeVariables()) {
        lSignature.mNames.push_back(lName->Letter());
    }
    return lSignature;
}

/// How many models of aObjects objects there are for aSignature, names included; 0 when too
/// many to count here.
uint64_t ModelsOfSize(const Signature& aSignature, uint32_t aObjects) {
    const uint64_t lBits = aSignature.mLetters.size() + aSignature.mUnary.size() * aObjects +
                           aSignature.mRelations.size() * aObjects * aObjects;
    if (lBits > 16) {
        return 0;
    }
    uint64_t lCount = uint64_t{1} << lBits;
    for (size_t lName = 0; lName < aSignature.mNames.size(); ++lName) {
        lCount *= aObjects;
    }
    return lCount <= (uint64_t{1} << 16) ? lCount : 0;
}

/// Whether some model of exactly aObjects objects makes aRoot aTruth: every one is tried.
bool SomeModelOfSize(const Matrix& aRoot, const Signature& aSignature, uint32_t aObjects, bool aTruth) {
    const uint64_t lCount = ModelsOfSize(aSignature, aObjects);
    for (uint64_t lNumber = 0; lNumber < lCount; ++lNumber) {
        uint64_t lRest = lNumber;
        const auto fBit = [&] {
            const bool lBit = (lRest & 1u) != 0;
            lRest >>= 1;
            return lBit;
        };
        TestModel lModel;
        lModel.mObjects = aObjects;
        for (const std::string& lLetter : aSignature.mLetters) {
            lModel.mLetters[lLetter] = fBit();
        }
        for (const char lPredicate : aSignature.mUnary) {
            for (uint32_t lObject = 0; lObject < aObjects; ++lObject) {
                lModel.mUnary[lPredicate].push_back(fBit());
            }
        }
        for (const char lRelation : aSignature.mRelations) {
            auto& lPairs = lModel.mRelations[lRelation];
            for (uint32_t lFirst = 0; lFirst < aObjects; ++lFirst) {
                for (uint32_t lSecond = 0; lSecond < aObjects; ++lSecond) {
                    if (fBit()) {
                        lPairs.insert({lFirst, lSecond});
                    }
                }
            }
        }
        for (const char lName : aSignature.mNames) {
            lModel.mNames[lName] = static_cast<uint32_t>(lRest % aObjects);
            lRest /= aObjects;
        }
        if (Evaluator(std::vector<TestModel>{lModel}).Holds(aRoot) == aTruth) {
            return true;
        }
    }
    return false;
}

TEST(SatModels, RelationalModelsAreRealAndSmallest) {
    const DecisionEngine& lSat = *FindEngine("sat");
    const uint64_t lSeed = FromEnvironment("QUENDRAL_DIFFERENTIAL_SEED", 20261208);
    const uint64_t lWanted = FromEnvironment("QUENDRAL_DIFFERENTIAL_CASES", 300) / 2;
    uint64_t lDocuments = 0;
    uint64_t lChecked = 0;
    uint64_t lSizesCompared = 0;
    uint64_t lVerdicts[3] = {0, 0, 0}; // invalid or contingent, undecided, the numbering's
    for (uint64_t lCase = 0; lDocuments < lWanted && lCase < 200 * lWanted; ++lCase) {
        const Document lDocument = DocumentGenerator(lSeed + 7919 * lCase).Next();
        const std::vector<std::string> lLines = lDocument.Lines();
        MatrixPtr lRoot;
        try {
            lRoot = Parser::Parse(lLines);
        } catch (const std::exception&) {
            continue;
        }
        if (lRoot->ContainsModalities() || !HasBinaryPredications(*lRoot) || lRoot->DepthOfLoopNesting() > 4) {
            continue;
        }
        ++lDocuments;
        SCOPED_TRACE("seed " + std::to_string(lSeed + 7919 * lCase) + ":\n" + Joined(lLines));
        const Signature lSignature = SignatureOf(*lRoot);
        for (const bool lTruth : {false, true}) {
            const FoundModel lFound = lSat.FindModel(*lRoot, lTruth, {});
            uint32_t lSize = 0;
            if (lFound.mModel) {
                EXPECT_EQ(Check(*lRoot, *lFound.mModel, lTruth), "") << DescribeWorld(lFound.mModel->mWorlds.front());
                lSize = static_cast<uint32_t>(lFound.mModel->mWorlds.front().mObjects.size());
                ++lChecked;
            } else {
                // Every size the test tries in full below has been searched.
                EXPECT_GE(lFound.mMostObjects, 3u);
            }
            // The smallest model, where every model of its size can be tried here.
            for (uint32_t lObjects = 1; lObjects <= 3 && ModelsOfSize(lSignature, lObjects) > 0; ++lObjects) {
                const bool lExists = OnLargeStack([&] { return SomeModelOfSize(*lRoot, lSignature, lObjects, lTruth); });
                ++lSizesCompared;
                if (lExists || lSize == lObjects) {
                    EXPECT_EQ(lSize, lObjects) << "a model where it is " << lTruth << (lExists ? " exists" : " doesn't exist")
                                               << " with " << lObjects << " objects";
                    break;
                }
            }
        }
        // The verdict: the numbering's where it never reaches a relation, else only what a
        // model shows, never a proof.
        const auto fVerdict = [&](const DecisionEngine& fEngine) {
            try {
                if (lRoot->Kind() == NodeKind::Argument) {
                    return Utility::TextResult(QualityWith(static_cast<const Argument&>(*lRoot), fEngine));
                }
                return Utility::TextForDecision(DecideWith(*lRoot, fEngine));
            } catch (const std::exception& lFailure) {
                return std::string(lFailure.what());
            }
        };
        const std::string lVerdict = fVerdict(lSat);
        const std::string lUndecidedText = "Can't decide a proposition that contains binary predicates.";
        const std::string lCompiled = fVerdict(CompiledEngine());
        const bool lShown = lVerdict == "The argument is invalid." || lVerdict == "The statement is contingent.";
        const bool lUndecided = lVerdict == lUndecidedText;
        if (lCompiled == lUndecidedText) {
            EXPECT_TRUE(lShown || lUndecided) << lVerdict;
        } else {
            EXPECT_EQ(lVerdict, lCompiled);
        }
        ++lVerdicts[lCompiled != lUndecidedText ? 2 : lShown ? 0 : 1];
    }
    std::cout << "sat relational models: " << lDocuments << " documents, " << lChecked << " models checked, "
              << lSizesCompared << " sizes tried in full; " << lVerdicts[0] << " invalid or contingent, "
              << lVerdicts[1] << " undecided, " << lVerdicts[2] << " decided by the numbering" << std::endl;
    EXPECT_EQ(lDocuments, lWanted);
    EXPECT_GE(lChecked, lDocuments);
    EXPECT_GT(lSizesCompared, lDocuments);
    EXPECT_GT(lVerdicts[1], 0u);
}

/// aLines decided by the SAT engine: the verdict's text or the failure's, then the lines an
/// explanation adds to the failure.
std::vector<std::string> Decided(const std::vector<std::string>& aLines) {
    const MatrixPtr lRoot = Parser::Parse(aLines);
    return OnLargeStack([&]() -> std::vector<std::string> {
        PreparedDocument lDocument(*lRoot, *FindEngine("sat"));
        try {
            if (lRoot->Kind() == NodeKind::Argument) {
                return {Utility::TextResult(lDocument.ArgumentQuality())};
            }
            return {Utility::TextForDecision(lDocument.Decide())};
        } catch (const UndecidedByModels& lFailure) {
            std::vector<std::string> lLines{lFailure.what()};
            for (const std::string& lLine : ExplanationLines(lFailure.Found())) {
                lLines.push_back(lLine);
            }
            lLines.insert(lLines.end(), lFailure.Notes().begin(), lFailure.Notes().end());
            return lLines;
        } catch (const std::exception& lFailure) {
            return {lFailure.what()};
        }
    });
}

TEST(SatModels, ValidRelationalArgumentsAreNeverCalledInvalid) {
    const std::string lUndecided = "Can't decide a proposition that contains binary predicates.";
    const std::string lNoCountermodel = "No countermodel with up to 6 objects.";
    // Valid: symmetry carries a's relation to b back.
    EXPECT_EQ(Decided({"x,y, xLy -> yLx", "aLb", ".'.", "bLa"}),
              (std::vector<std::string>{lUndecided, lNoCountermodel}));
    // Valid, and the order of the quantifiers matters only one way.
    EXPECT_EQ(Decided({"3y,x, xLy", ".'.", "x,3y, xLy"}), (std::vector<std::string>{lUndecided, lNoCountermodel}));
    EXPECT_EQ(Decided({"x,3y, xLy", ".'.", "3y,x, xLy"}), (std::vector<std::string>{"The argument is invalid."}));
    // A strict order without a last element has no finite model: the search finds no
    // countermodel, though infinite ones exist, and says no more.
    EXPECT_EQ(Decided({"x, ~xLx", "x,y,z, xLy & yLz -> xLz", "x,3y, xLy", ".'.", "p"}),
              (std::vector<std::string>{lUndecided, lNoCountermodel}));
    // A statement true in every model shows its model and the countermodel it lacks.
    const std::vector<std::string> lTautology = Decided({"x,y, xLy | ~xLy"});
    ASSERT_EQ(lTautology.size(), 3u);
    EXPECT_EQ(lTautology[0], lUndecided);
    EXPECT_TRUE(lTautology[1].starts_with("Example: 1 object; L holds between ")) << lTautology[1];
    EXPECT_EQ(lTautology[2], lNoCountermodel);
    // Modal operators with binary predicates fail as they did, with no search; the compiled
    // engine still fails on a relation its evaluation reaches, and decides where it doesn't.
    EXPECT_EQ(Decided({"[](x,y, xLy)"}), (std::vector<std::string>{lUndecided}));
    EXPECT_EQ(Decided({"(p | ~p) | aLb"}), (std::vector<std::string>{"The statement is necessarily true."}));
    const MatrixPtr lRelation = Parser::Parse(std::vector<std::string>{"aLb"});
    try {
        (void)DecideWith(*lRelation, CompiledEngine());
        ADD_FAILURE() << "the compiled engine decided a binary predicate";
    } catch (const std::exception& lFailure) {
        EXPECT_EQ(lFailure.what(), lUndecided);
    }
}

TEST(SatModels, AStrictOrderWithAChainOfFourNeedsFourObjects) {
    const MatrixPtr lRoot =
        Parser::Parse({"x, ~xLx", "x,y,z, xLy & yLz -> xLz", ".'.", "~(3x,3y,3z,3w, xLy & yLz & zLw)"});
    EXPECT_EQ(Decided({"x, ~xLx", "x,y,z, xLy & yLz -> xLz", ".'.", "~(3x,3y,3z,3w, xLy & yLz & zLw)"}),
              (std::vector<std::string>{"The argument is invalid."}));
    const FoundModel lFound = FindEngine("sat")->FindModel(*lRoot, false, {});
    ASSERT_TRUE(lFound.mModel);
    EXPECT_EQ(lFound.mMostObjects, 4u);
    EXPECT_EQ(lFound.mModel->mWorlds.front().mObjects.size(), 4u);
    EXPECT_EQ(Check(*lRoot, *lFound.mModel, false), "");
}

} // namespace
} // namespace Logic::Differential

#endif
