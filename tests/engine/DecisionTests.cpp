#include <gtest/gtest.h>

#include "Formulas.h"
#include "engine/Decision.h"
#include "engine/Utility.h"
#include "model/EngineException.h"

namespace Logic {
namespace {

using namespace Testing;

std::string Verdict(const MatrixPtr& aMatrix) { return Utility::StatementOfResult(*aMatrix); }

const std::string gNecessary = "The statement is necessarily true.";
const std::string gContingent = "The statement is contingent.";
const std::string gImpossible = "The statement is self-contradictory.";

TEST(Verdicts, ConstantsAreDecidedThroughTheirClosures) {
    const auto lF = Factory::UnaryPredicate('F');
    const auto lX = Factory::Variable('x');
    const auto lY = Factory::Variable('y');
    const MatrixPtr lFx = Is(lF, lX);
    EXPECT_EQ(Verdict(lFx), gContingent);
    EXPECT_EQ(Verdict(Or(lFx, Not(lFx))), gNecessary);
    EXPECT_EQ(Verdict(And(lFx, Not(lFx))), gImpossible);
    // Its universal closure is impossible, its existential closure is not.
    EXPECT_EQ(Verdict(And(lFx, Some(lY, Not(Is(lF, lY))))), gContingent);
}

TEST(Verdicts, ConstantsWithModalOperatorsAreRefused) {
    const auto lX = Factory::Variable('x');
    try {
        Verdict(Box(Is(Factory::UnaryPredicate('F'), lX)));
        FAIL();
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(),
                     "This proposition can't be decided; it contains both constants and modal operators.");
    }
}

TEST(Verdicts, TooManyPredicatesForTheNumberingGoToTheSatEngineWhereItIsBuilt) {
    const auto lX = Factory::Variable('x');
    MatrixPtr lAny = Is(Factory::UnaryPredicate('A'), lX);
    for (char lLetter : std::string("BCDEF")) {
        lAny = Or(lAny, Is(Factory::UnaryPredicate(lLetter), lX));
    }
    const MatrixPtr lSome = Some(lX, lAny);
    try {
        DecideWith(*lSome, CompiledEngine());
        FAIL();
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(), "Too many predicates!");
    }
#ifdef QUENDRAL_HAVE_CADICAL
    EXPECT_EQ(&EngineChosenFor(*lSome), &SatEngine());
    EXPECT_EQ(Verdict(lSome), gContingent);
    EXPECT_EQ(Verdict(Or(lSome, All(lX, Not(lAny)))), gNecessary);
#else
    EXPECT_THROW(Verdict(lSome), EngineException);
#endif
}

TEST(Verdicts, AllFiveArgumentTexts) {
    const MatrixPtr lP = Atom("p");
    const MatrixPtr lQ = Atom("q");
    const MatrixPtr lEitherQ = Or(lQ, Not(lQ));
    const auto lArgument = [](std::vector<MatrixPtr> aPremises, MatrixPtr aConclusion) {
        return Utility::StatementOfResult(*Factory::Therefore(aPremises, aConclusion));
    };
    EXPECT_EQ(lArgument({lP}, lQ), "The argument is invalid.");
    EXPECT_EQ(lArgument({lP, If(lP, lQ)}, lQ), "The argument is valid.");
    EXPECT_EQ(lArgument({lP, Not(lP)}, lQ), "The argument is valid but its premises are inconsistent.");
    EXPECT_EQ(lArgument({lP}, lEitherQ), "The argument is valid because its conclusion is tautological.");
    EXPECT_EQ(lArgument({lP, Not(lP)}, lEitherQ),
              "The argument valid but its premises are inconsistent and its conclusion is tautological.");
}

TEST(Verdicts, ArgumentQualityIsCachedOnlyOnSuccess) {
    const MatrixPtr lP = Atom("p");
    const auto lValid = Factory::Therefore({lP}, lP);
    EXPECT_EQ(lValid->Quality(), Quality::Valid);
    ASSERT_TRUE(lValid->mQuality.has_value());
    lValid->mQuality = Quality::Invalid; // a second request must not decide again
    EXPECT_EQ(lValid->Quality(), Quality::Invalid);

    const auto lX = Factory::Variable('x');
    const auto lY = Factory::Variable('y');
    // Valid, which no countermodel found can show: it fails as binary predicates do.
    const MatrixPtr lRelated = Some(lX, Some(lY, Factory::Predication(Factory::BinaryPredicate('L'), lX, lY)));
    const auto lFailing = Factory::Therefore({lRelated}, lRelated);
    EXPECT_THROW(lFailing->Quality(), EngineException);
    EXPECT_FALSE(lFailing->mQuality.has_value());
}

TEST(Verdicts, ValuesWithoutTextAreNotImplemented) {
    try {
        Utility::TextForDecision(static_cast<Alethicity>(7));
        FAIL();
    } catch (const NotImplementedException& lFailure) {
        EXPECT_STREQ(lFailure.what(), "The value Alethicity.7 is not supported by this application.");
    }
    EXPECT_THROW(Utility::TextResult(static_cast<Quality>(5)), NotImplementedException);
}

} // namespace
} // namespace Logic
