// Formulas nested ten thousand levels deep must render in every form. The model's own queries
// recurse per level, so everything here runs on a thread with a large stack, building and
// dropping the formula included.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "model/EngineException.h"
#include "model/Factory.h"
#include "platform/LargeStack.h"

namespace Logic {
namespace {

constexpr size_t Depth = 10000;

size_t Occurrences(std::string_view aText, std::string_view aPart) {
    size_t lCount = 0;
    for (size_t lAt = aText.find(aPart); lAt != std::string_view::npos;
         lAt = aText.find(aPart, lAt + aPart.size())) {
        ++lCount;
    }
    return lCount;
}

std::string Repeated(std::string_view aPart, size_t aTimes) {
    std::string lText;
    for (size_t i = 0; i < aTimes; ++i) {
        lText += aPart;
    }
    return lText;
}

TEST(DeepFormula, NegationChainRendersInEveryForm) {
    RunWithLargeStack([] {
        MatrixPtr lFormula = Factory::NullPredicate("p");
        for (size_t i = 0; i < Depth; ++i) {
            lFormula = Factory::Not(lFormula);
        }

        EXPECT_EQ(lFormula->ToString(), std::string(Depth, '~') + "p");
        EXPECT_EQ(lFormula->Prover9Input(),
                  "formulas(goals).\n" + std::string(Depth, '-') + "p0.\nend_of_list.\n");
        EXPECT_EQ(lFormula->TreeProofGeneratorInput(),
                  Repeated("(%C2%AC", Depth) + "p" + std::string(Depth, ')'));

        // Header, a node line per negation, the letter's box, an edge per negation, closing brace.
        std::string lDOT = lFormula->GraphvizDOT();
        EXPECT_EQ(Occurrences(lDOT, "\r\n"), 2 * Depth + 4);
        EXPECT_EQ(Occurrences(lDOT, "<Negation<BR/>"), Depth);
        EXPECT_EQ(Occurrences(lDOT, "\r\n-" + std::to_string(Depth - 1) + " [label=<Null Predicate"), 1u);
        EXPECT_EQ(lDOT.substr(lDOT.size() - 3), "}\r\n");
    });
}

// Every kind of connective in turn. Without necessities all quantifiers bind one x, so each
// predication is bound by every quantifier above it and free above the outermost one.
struct MixedChain {
    MatrixPtr mFormula;
    size_t mQuantifiers = 0;
    size_t mUnaryPredications = 0;
    size_t mFreePredications = 0;
    size_t mNecessities = 0;
};

MixedChain BuildMixedChain(bool aWithNecessity) {
    MixedChain lChain;
    MatrixPtr lP = Factory::NullPredicate("p");
    MatrixPtr lQ = Factory::NullPredicate("q");
    auto lF = Factory::UnaryPredicate('F');
    auto lL = Factory::BinaryPredicate('L');
    // Shared predications, as the parser makes them.
    VariablePtr lX = Factory::Variable('x');
    MatrixPtr lFx = Factory::Predication(lF, lX);
    MatrixPtr lXLx = Factory::Predication(lL, lX, lX);
    MatrixPtr lFormula = lP;
    for (size_t i = 0; i < Depth; ++i) {
        switch (i % 9) {
        case 0:
            // One variable object may not belong to two necessities.
            if (aWithNecessity) {
                lX = Factory::Variable('x');
                lFx = Factory::Predication(lF, lX);
                lXLx = Factory::Predication(lL, lX, lX);
            }
            lFormula = Factory::Not(lFormula);
            break;
        case 1:
            lFormula = Factory::And(lFormula, lFx);
            ++lChain.mUnaryPredications;
            ++lChain.mFreePredications;
            break;
        case 2:
            lFormula = Factory::ForAll(lX, lFormula);
            ++lChain.mQuantifiers;
            lChain.mFreePredications = 0;
            break;
        case 3: lFormula = Factory::Or(lQ, lFormula); break;
        case 4: lFormula = Factory::IfAndOnlyIf(lFormula, lP); break;
        case 5: lFormula = Factory::Nor(lFormula, lQ); break;
        case 6: lFormula = Factory::OnlyIf(lP, lFormula); break;
        case 7:
            lFormula = Factory::Or(lFormula, lXLx);
            ++lChain.mFreePredications;
            break;
        default:
            if (aWithNecessity) {
                lFormula = Factory::Necessarily(lFormula);
                ++lChain.mNecessities;
            } else {
                lFormula = Factory::Not(lFormula);
            }
        }
    }
    // A conditional at the root would split the document; keep the whole chain one goal.
    lChain.mFormula = Factory::Not(lFormula);
    return lChain;
}

TEST(DeepFormula, MixedChainRendersInEveryForm) {
    RunWithLargeStack([] {
        MixedChain lChain = BuildMixedChain(false);
        const MatrixPtr& lFormula = lChain.mFormula;

        std::string lText = lFormula->ToString();
        EXPECT_EQ(Occurrences(lText, "(x,"), lChain.mQuantifiers);

        std::string lProver9 = lFormula->Prover9Input();
        EXPECT_EQ(Occurrences(lProver9, "( all x "), lChain.mQuantifiers);
        EXPECT_EQ(Occurrences(lProver9, "F1("), lChain.mUnaryPredications);
        // Only the predications above the outermost quantifier are free, wherever they stand.
        EXPECT_EQ(Occurrences(lProver9, "(cx)") + Occurrences(lProver9, "(cx,cx)"),
                  lChain.mFreePredications);
        EXPECT_EQ(Occurrences(lProver9, "("), Occurrences(lProver9, ")"));

        std::string lTreeProof = lFormula->TreeProofGeneratorInput();
        EXPECT_EQ(Occurrences(lTreeProof, "%E2%88%80x("), lChain.mQuantifiers);
        EXPECT_EQ(Occurrences(lTreeProof, "("), Occurrences(lTreeProof, ")"));

        // Fx and xLx are each one node in the picture, drawn once; every quantifier is above at
        // least one of them except the first, which has only the innermost Fx in its scope.
        std::string lDOT = lFormula->GraphvizDOT();
        EXPECT_EQ(Occurrences(lDOT, "<Unary Predication<BR/>"), 1u);
        EXPECT_EQ(Occurrences(lDOT, "<Binary Predication<BR/>"), 1u);
        EXPECT_EQ(Occurrences(lDOT, "[style=dashed]"), 2 * lChain.mQuantifiers - 1);
    });
}

TEST(DeepFormula, ModalChainRendersWhereModalityIsAllowed) {
    RunWithLargeStack([] {
        MixedChain lChain = BuildMixedChain(true);
        const MatrixPtr& lFormula = lChain.mFormula;
        EXPECT_EQ(Occurrences(lFormula->ToString(), "[]"), lChain.mNecessities);
        EXPECT_EQ(Occurrences(lFormula->TreeProofGeneratorInput(), "%E2%96%A1"), lChain.mNecessities);
        EXPECT_EQ(Occurrences(lFormula->GraphvizDOT(), "<Necessity<BR/>"), lChain.mNecessities);
        EXPECT_THROW(lFormula->Prover9Input(), EngineException);
    });
}

TEST(DeepFormula, ArgumentWithManyPremisesListsEveryAssumption) {
    RunWithLargeStack([] {
        std::vector<MatrixPtr> lPremises;
        for (size_t i = 0; i < Depth; ++i) {
            lPremises.push_back(Factory::NullPredicate(i % 2 == 0 ? "p" : "q"));
        }
        auto lArgument = Factory::Therefore(lPremises, Factory::NullPredicate("r"));

        std::string lProver9 = lArgument->Prover9Input();
        EXPECT_EQ(lProver9.rfind("formulas(assumptions).\np0.\nq0.\np0.\n", 0), 0u);
        EXPECT_EQ(Occurrences(lProver9, "0.\n"), Depth + 1);
        const std::string lEnd = "q0.\nend_of_list.\n\nformulas(goals).\nr0.\nend_of_list.\n";
        EXPECT_EQ(lProver9.substr(lProver9.size() - lEnd.size()), lEnd);

        std::string lTreeProof = lArgument->TreeProofGeneratorInput();
        EXPECT_EQ(lTreeProof.rfind(std::string(Depth - 1, '(') + "(p%E2%88%A7q)%E2%88%A7p)", 0), 0u);

        std::string lDOT = lArgument->GraphvizDOT();
        EXPECT_EQ(Occurrences(lDOT, "<Null Predicate<BR/>"), Depth + 1);
    });
}

} // namespace
} // namespace Logic
