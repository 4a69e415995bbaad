#include <gtest/gtest.h>

#include "coefficients/CoefficientVector.h"
#include "model/Argument.h"
#include "model/EngineException.h"
#include "model/Factory.h"

namespace Logic {
namespace {

constexpr const char* NotTruthFunctional =
    "Coefficient vectors are only defined for statements that only have nullary predicates and "
    "truth-functional operators.";

struct Letters {
    MatrixPtr p = Factory::NullPredicate("p");
    MatrixPtr q = Factory::NullPredicate("q");
};

TEST(StatementVector, EveryConnectiveUsesItsOperator) {
    Letters l;
    const std::vector<std::tuple<const char*, MatrixPtr, const char*>> lRows = {
        {"and", Factory::And(l.p, l.q), "[0, 0, 0, 1]"},
        {"or", Factory::Or(l.p, l.q), "[0, 1, 1, -1]"},
        {"only if", Factory::OnlyIf(l.p, l.q), "[1, -1, 0, 1]"},
        {"if and only if", Factory::IfAndOnlyIf(l.p, l.q), "[1, -1, -1, 2]"},
        {"nor", Factory::Nor(l.p, l.q), "[1, -1, -1, 1]"},
        {"xor", Factory::Xor(l.p, l.q), "[0, 1, 1, -2]"},
        {"not", Factory::Not(l.p), "[1, -1]"},
        {"letter", l.q, "[0, 1]"},
    };
    for (const auto& [lName, lStatement, lExpected] : lRows) {
        SCOPED_TRACE(lName);
        EXPECT_EQ(lStatement->CoefficientVector().ToString(), lExpected);
    }
}

TEST(StatementVector, OrdersTheLettersByText) {
    Letters l;
    Logic::CoefficientVector lVector = Factory::OnlyIf(l.q, l.p)->CoefficientVector();
    EXPECT_EQ(lVector.Variables(), (std::vector<std::string>{"p", "q"}));
    EXPECT_EQ(lVector.Formula(), "1 - q + pq");
}

TEST(StatementVector, AnArgumentIsItsConditional) {
    Letters l;
    MatrixPtr r = Factory::NullPredicate("r");
    auto lArgument = Factory::Therefore({l.p, l.q}, r);
    EXPECT_EQ(lArgument->CoefficientVector().ToString(),
              Factory::OnlyIf(Factory::And(l.p, l.q), r)->CoefficientVector().ToString());
    EXPECT_EQ(lArgument->CoefficientVector().Formula(), "1 - pq + pqr");
}

TEST(StatementVector, RefusesWhatIsNotTruthFunctional) {
    Letters l;
    VariablePtr x = Factory::Variable('x');
    MatrixPtr lFx = Factory::Predication(Factory::UnaryPredicate('F'), x);
    const std::vector<MatrixPtr> lStatements = {
        Factory::Necessarily(l.p),
        Factory::And(l.p, Factory::ForAll(x, lFx)),
        Factory::Or(lFx, l.q),
        Factory::Not(Factory::TheSame(x, Factory::Variable('y'))),
        Factory::Predication(Factory::BinaryPredicate('R'), x, x),
    };
    for (const auto& lStatement : lStatements) {
        SCOPED_TRACE(lStatement->ToString());
        try {
            lStatement->CoefficientVector();
            ADD_FAILURE() << "no failure";
        } catch (const NotImplementedException& lFailure) {
            EXPECT_EQ(std::string(lFailure.what()), NotTruthFunctional);
        }
    }
}

} // namespace
} // namespace Logic
