// Random formulas, with shared subformulas, quantifiers and necessities, asked every structural
// query and compared with a plain recursive reading of how each class answers: operators merge
// their operands' answers, a quantifier drops its own variable, a necessity its own modality.
// A failure prints the seed and the formula, and the seed replays it.

#include <gtest/gtest.h>

#include <random>

#include "ModelTestSupport.h"
#include "model/EngineException.h"
#include "model/Necessity.h"
#include "model/UnaryPredication.h"

namespace Logic {
namespace {

using Testing::Bound;
using Testing::Inner;
using Testing::Left;
using Testing::Right;

bool IsBinary(const Matrix& aNode) {
    return dynamic_cast<const BinaryOperator*>(&aNode) != nullptr;
}
bool IsUnary(const Matrix& aNode) {
    return dynamic_cast<const UnaryOperator*>(&aNode) != nullptr;
}

template <typename T, typename Eq>
std::vector<T> Union(std::vector<T> aFirst, const std::vector<T>& aSecond, Eq fEqual) {
    aFirst.insert(aFirst.end(), aSecond.begin(), aSecond.end());
    std::vector<T> lResult;
    for (const T& lItem : aFirst) {
        bool lSeen = false;
        for (const T& lKept : lResult) {
            lSeen = lSeen || fEqual(lKept, lItem);
        }
        if (!lSeen) {
            lResult.push_back(lItem);
        }
    }
    return lResult;
}

auto kSame = [](const auto& fA, const auto& fB) { return fA == fB; };
auto kEqualNodes = [](const Matrix* fA, const Matrix* fB) { return fA->Equals(*fB); };

// Each reference query: atoms answer for themselves; the rest follows the class rules.
template <typename T, typename Eq, typename Atom, typename Unary>
std::vector<T> Reference(const Matrix& aNode, Eq fEqual, Atom fAtom, Unary fUnary) {
    if (IsBinary(aNode)) {
        return Union(Reference<T>(*Left(&aNode), fEqual, fAtom, fUnary),
                     Reference<T>(*Right(&aNode), fEqual, fAtom, fUnary), fEqual);
    }
    if (IsUnary(aNode)) {
        return fUnary(aNode, Reference<T>(*Inner(&aNode), fEqual, fAtom, fUnary));
    }
    return fAtom(aNode);
}

auto kPassOn = [](const Matrix&, auto fOperands) { return fOperands; };

std::vector<const Variable*> RefFreeVariables(const Matrix& aNode) {
    return Reference<const Variable*>(
        aNode, kSame, [](const Matrix& fAtom) { return Testing::Raw(fAtom.FreeVariables()); },
        [](const Matrix& fNode, std::vector<const Variable*> fOperand) {
            if (fNode.Kind() == NodeKind::UniversalGeneralization) {
                std::erase(fOperand, Bound(&fNode));
            }
            return fOperand;
        });
}

std::vector<const Necessity*> RefFreeModalities(const Matrix& aNode) {
    return Reference<const Necessity*>(
        aNode, kSame, [](const Matrix& fAtom) { return fAtom.FreeModalities(); },
        [](const Matrix& fNode, std::vector<const Necessity*> fOperand) {
            if (fNode.Kind() == NodeKind::Necessity) {
                std::erase(fOperand, static_cast<const Necessity*>(&fNode));
            }
            return fOperand;
        });
}

std::vector<const Matrix*> RefNonNull(const Matrix& aNode) {
    return Reference<const Matrix*>(
        aNode, kEqualNodes, [](const Matrix& fAtom) { return fAtom.NonNullPredications(); },
        kPassOn);
}

using Pair = std::pair<const UniversalGeneralization*, const Matrix*>;

std::vector<Pair> RefClosed(const Matrix& aNode) {
    auto lEqualPairs = [](const Pair& fA, const Pair& fB) {
        return fA.first == fB.first && fA.second->Equals(*fB.second);
    };
    return Reference<Pair>(
        aNode, lEqualPairs, [](const Matrix&) { return std::vector<Pair>{}; },
        [](const Matrix& fNode, std::vector<Pair> fOperand) {
            if (fNode.Kind() != NodeKind::UniversalGeneralization) {
                return fOperand;
            }
            std::vector<Pair> lOwn;
            for (const Matrix* lPredication : RefNonNull(*Inner(&fNode))) {
                auto lVariables = Testing::Raw(lPredication->FreeVariables());
                if (std::find(lVariables.begin(), lVariables.end(), Bound(&fNode)) !=
                    lVariables.end()) {
                    lOwn.emplace_back(static_cast<const UniversalGeneralization*>(&fNode),
                                      lPredication);
                }
            }
            lOwn.insert(lOwn.end(), fOperand.begin(), fOperand.end());
            return lOwn;
        });
}

std::vector<const Matrix*> RefMatrices(const Matrix& aNode) {
    std::vector<const Matrix*> lResult{&aNode};
    if (IsUnary(aNode) || IsBinary(aNode)) {
        for (const Matrix* lOperand :
             IsUnary(aNode) ? std::vector<const Matrix*>{Inner(&aNode)}
                            : std::vector<const Matrix*>{Left(&aNode), Right(&aNode)}) {
            auto lMore = RefMatrices(*lOperand);
            lResult.insert(lResult.end(), lMore.begin(), lMore.end());
        }
    }
    return lResult;
}

std::string RefText(const Matrix& aNode) {
    switch (aNode.Kind()) {
    case NodeKind::Negation:
        return "~" + RefText(*Inner(&aNode));
    case NodeKind::Necessity:
        return "[]" + RefText(*Inner(&aNode));
    case NodeKind::UniversalGeneralization:
        return "(" + Bound(&aNode)->ToString() + "," + RefText(*Inner(&aNode)) + ")";
    default:
        if (IsBinary(aNode)) {
            return "(" + RefText(*Left(&aNode)) +
                   static_cast<const BinaryOperator&>(aNode).Connector() + RefText(*Right(&aNode)) +
                   ")";
        }
        return aNode.ToString();
    }
}

/// Random formulas over small pools of letters, variables and shared atoms, so that repeats,
/// shadowing quantifiers and reuse of whole subformulas are common.
class Generator {
public:
    explicit Generator(uint32_t aSeed) : mRandom(aSeed) {
        for (char c : std::string("pq")) {
            mAtoms.push_back(Factory::NullPredicate(std::string(1, c)));
        }
        mVariables = Factory::MakeNVariables(3);
        auto F = Factory::UnaryPredicate('F');
        auto L = Factory::BinaryPredicate('L');
        for (const auto& x : mVariables) {
            mAtoms.push_back(Factory::Predication(F, x));
            mAtoms.push_back(Factory::Predication(L, x, mVariables[0]));
            mAtoms.push_back(Factory::TheSame(mVariables[1], x));
        }
    }

    MatrixPtr Make(int aDepth) {
        if (aDepth == 0 || Pick(4) == 0) {
            if (!mMade.empty() && Pick(4) == 0) {
                return mMade[Pick(mMade.size())];
            }
            if (Pick(5) == 0) {
                // An atom equal to a pooled one but a different object.
                return Factory::Predication(Factory::UnaryPredicate('F'), mVariables[Pick(3)]);
            }
            return mAtoms[Pick(mAtoms.size())];
        }
        MatrixPtr lResult;
        switch (Pick(9)) {
        case 0:
            lResult = Factory::Not(Make(aDepth - 1));
            break;
        case 1:
            lResult = Factory::ForAll(mVariables[Pick(3)], Make(aDepth - 1));
            break;
        case 2:
            try {
                lResult = Factory::Necessarily(Make(aDepth - 1));
            } catch (const EngineException&) {
                lResult = Factory::Not(Make(aDepth - 1));
            }
            break;
        default: {
            MatrixPtr lLeft = Make(aDepth - 1);
            MatrixPtr lRight = Make(aDepth - 1);
            switch (Pick(6)) {
            case 0:
                lResult = Factory::And(lLeft, lRight);
                break;
            case 1:
                lResult = Factory::Or(lLeft, lRight);
                break;
            case 2:
                lResult = Factory::OnlyIf(lLeft, lRight);
                break;
            case 3:
                lResult = Factory::IfAndOnlyIf(lLeft, lRight);
                break;
            case 4:
                lResult = Factory::Nor(lLeft, lRight);
                break;
            default:
                lResult = Factory::Therefore({lLeft, Make(aDepth - 1)}, lRight);
                break;
            }
        }
        }
        mMade.push_back(lResult);
        return lResult;
    }

private:
    size_t Pick(size_t aBound) {
        return std::uniform_int_distribution<size_t>(0, aBound - 1)(mRandom);
    }

    std::mt19937 mRandom;
    std::vector<MatrixPtr> mAtoms;
    std::vector<VariablePtr> mVariables;
    std::vector<MatrixPtr> mMade;
};

TEST(QueryReference, RandomFormulasAnswerAsTheClassRulesSay) {
    for (uint32_t lSeed = 1; lSeed <= 400; ++lSeed) {
        Generator lGenerator(lSeed);
        MatrixPtr lFormula = lGenerator.Make(6);
        SCOPED_TRACE("seed " + std::to_string(lSeed) + ": " + RefText(*lFormula));
        const Matrix& f = *lFormula;
        ASSERT_EQ(Testing::Raw(f.FreeVariables()), RefFreeVariables(f));
        ASSERT_EQ(f.FreeModalities(), RefFreeModalities(f));
        ASSERT_EQ(f.NonNullPredications(), RefNonNull(f));
        ASSERT_EQ(f.ClosedPredications(), RefClosed(f));
        ASSERT_EQ(f.Matrices(), RefMatrices(f));
        ASSERT_EQ(f.ToString(), RefText(f));
        ASSERT_EQ(Testing::Raw(f.IdentifiedVariables()),
                  Reference<const Variable*>(
                      f, kSame,
                      [](const Matrix& fAtom) { return Testing::Raw(fAtom.IdentifiedVariables()); },
                      kPassOn));
        ASSERT_EQ(f.ModalitiesInIdentifications(),
                  Reference<const Necessity*>(
                      f, kSame,
                      [](const Matrix& fAtom) { return fAtom.ModalitiesInIdentifications(); },
                      kPassOn));
        ASSERT_EQ(
            f.NullPredicates(),
            Reference<const NullPredicate*>(
                f, kSame, [](const Matrix& fAtom) { return fAtom.NullPredicates(); }, kPassOn));
        auto lLetters = [](const std::vector<const UnaryPredicate*>& fPredicates) {
            std::string lText;
            for (const UnaryPredicate* lPredicate : fPredicates) {
                lText += lPredicate->Letter();
            }
            return lText;
        };
        ASSERT_EQ(
            lLetters(f.UnaryPredicates()),
            lLetters(Reference<const UnaryPredicate*>(
                f,
                [](const UnaryPredicate* fA, const UnaryPredicate* fB) { return fA->Equals(fB); },
                [](const Matrix& fAtom) { return fAtom.UnaryPredicates(); }, kPassOn)));
        auto lKinds = RefMatrices(f);
        auto lAny = [&](NodeKind fKind) {
            return std::any_of(lKinds.begin(), lKinds.end(),
                               [&](const Matrix* fNode) { return fNode->Kind() == fKind; });
        };
        ASSERT_EQ(f.ContainsModalities(), lAny(NodeKind::Necessity));
        ASSERT_EQ(f.ContainsIdentifications(), lAny(NodeKind::Identification));
        ASSERT_EQ(f.IsPropositional(),
                  std::all_of(lKinds.begin(), lKinds.end(), [](const Matrix* fNode) {
                      return fNode->Kind() == NodeKind::NullPredicate ||
                             fNode->Kind() == NodeKind::Negation || IsBinary(*fNode);
                  }));
        // Replacing a variable that does not occur copies the formula into an equal one. (Under a
        // necessity the copy's new Necessity would claim the same bound variables again.)
        if (!f.ContainsModalities()) {
            MatrixPtr lCopy = f.Substitute(Factory::Variable('u'), Factory::Variable('v'));
            ASSERT_EQ(lCopy->ToString(), f.ToString());
            // An argument's copy is a plain conditional, a different class.
            ASSERT_EQ(f.Equals(*lCopy), !lAny(NodeKind::Argument));
            ASSERT_EQ(lCopy->Equals(f), !lAny(NodeKind::Argument));
        }
    }
}

} // namespace
} // namespace Logic
