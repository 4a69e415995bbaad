// Equality and hashing: predicates by letter, variables and sentence letters by identity,
// predications by predicate letter and variable objects, operators by class and operands.

#include <gtest/gtest.h>

#include <unordered_set>

#include "ModelTestSupport.h"
#include "model/EngineException.h"

namespace Logic {
namespace {

template <typename F> std::string FailureOf(F&& fAction) {
    try {
        fAction();
    } catch (const EngineException& lFailure) {
        return lFailure.what();
    }
    return "no failure";
}

TEST(PredicateEquality, SameLetterIsEqualAcrossObjects) {
    auto lF1 = Factory::UnaryPredicate('F');
    auto lF2 = Factory::UnaryPredicate('F');
    auto lG = Factory::UnaryPredicate('G');
    EXPECT_TRUE(lF1->Equals(lF2.get()));
    EXPECT_FALSE(lF1->Equals(lG.get()));
    EXPECT_EQ(lF1->Hash(), lF2->Hash());
    auto lL1 = Factory::BinaryPredicate('L');
    EXPECT_TRUE(lL1->Equals(Factory::BinaryPredicate('L').get()));
    EXPECT_FALSE(lL1->Equals(Factory::BinaryPredicate('M').get()));
}

TEST(PredicateEquality, ComparingWithAnotherKindOrNothingFails) {
    auto lF = Factory::UnaryPredicate('F');
    auto lL = Factory::BinaryPredicate('F');
    const std::string lUnary = "UnaryPredicate compared to non-UnaryPredicate.";
    const std::string lBinary = "BinaryPredicate compared to non-BinaryPredicate.";
    EXPECT_EQ(FailureOf([&] { lF->Equals(lL.get()); }), lUnary);
    EXPECT_EQ(FailureOf([&] { lF->Equals(static_cast<const UnaryPredicate*>(nullptr)); }), lUnary);
    EXPECT_EQ(FailureOf([&] { lF->Equals(nullptr); }), lUnary);
    EXPECT_EQ(FailureOf([&] { lL->Equals(lF.get()); }), lBinary);
    EXPECT_EQ(FailureOf([&] { lL->Equals(static_cast<const BinaryPredicate*>(nullptr)); }),
              lBinary);
    EXPECT_EQ(FailureOf([&] { lL->Equals(nullptr); }), lBinary);
}

TEST(NodeEquality, PredicationsCompareVariablesByIdentity) {
    auto x1 = Factory::Variable('x');
    auto x2 = Factory::Variable('x');
    auto y = Factory::Variable('y');
    MatrixPtr lFx1 = Factory::Predication(Factory::UnaryPredicate('F'), x1);
    MatrixPtr lFx1Again = Factory::Predication(Factory::UnaryPredicate('F'), x1);
    EXPECT_TRUE(lFx1->Equals(*lFx1Again));
    EXPECT_EQ(lFx1->Hash(), lFx1Again->Hash());
    EXPECT_FALSE(lFx1->Equals(*Factory::Predication(Factory::UnaryPredicate('F'), x2)));
    EXPECT_FALSE(lFx1->Equals(*Factory::Predication(Factory::UnaryPredicate('G'), x1)));

    auto lL = Factory::BinaryPredicate('L');
    MatrixPtr lxLy = Factory::Predication(lL, x1, y);
    EXPECT_TRUE(lxLy->Equals(*Factory::Predication(Factory::BinaryPredicate('L'), x1, y)));
    EXPECT_FALSE(lxLy->Equals(*Factory::Predication(lL, y, x1)));
    EXPECT_EQ(lxLy->Hash(), Factory::Predication(Factory::BinaryPredicate('L'), x1, y)->Hash());
    // A predicate letter shared by a monadic and a dyadic predicate does not make them equal.
    EXPECT_FALSE(Factory::Predication(Factory::UnaryPredicate('L'), x1)->Equals(*lxLy));
}

TEST(NodeEquality, IdentityIsSymmetric) {
    auto x = Factory::Variable('x');
    auto y = Factory::Variable('y');
    MatrixPtr lxy = Factory::TheSame(x, y);
    MatrixPtr lyx = Factory::TheSame(y, x);
    EXPECT_TRUE(lxy->Equals(*lyx));
    EXPECT_EQ(lxy->Hash(), lyx->Hash());
    EXPECT_FALSE(lxy->Equals(*Factory::TheSame(x, x)));
    EXPECT_FALSE(lxy->Equals(*Factory::TheSame(x, Factory::Variable('y'))));
}

TEST(NodeEquality, SentenceLettersAreEqualOnlyToThemselves) {
    MatrixPtr p1 = Factory::NullPredicate("p");
    MatrixPtr p2 = Factory::NullPredicate("p");
    EXPECT_TRUE(p1->Equals(*p1));
    EXPECT_FALSE(p1->Equals(*p2));
    EXPECT_FALSE(Factory::Not(p1)->Equals(*Factory::Not(p2)));
}

TEST(NodeEquality, OperatorsCompareClassAndOperands) {
    auto x = Factory::Variable('x');
    MatrixPtr p = Factory::NullPredicate("p");
    MatrixPtr q = Factory::NullPredicate("q");
    MatrixPtr lFx = Factory::Predication(Factory::UnaryPredicate('F'), x);
    EXPECT_FALSE(Factory::And(p, q)->Equals(*Factory::Or(p, q)));
    EXPECT_TRUE(Factory::And(p, q)->Equals(*Factory::And(p, q)));
    EXPECT_FALSE(Factory::And(p, q)->Equals(*Factory::And(q, p)));
    EXPECT_FALSE(Factory::Not(p)->Equals(*Factory::Necessarily(p)));
    EXPECT_TRUE(Factory::Necessarily(p)->Equals(*Factory::Necessarily(p)));
    // Operands that are equal but distinct objects make equal operators.
    MatrixPtr lFxAgain = Factory::Predication(Factory::UnaryPredicate('F'), x);
    EXPECT_TRUE(
        Factory::Not(Factory::OnlyIf(lFx, p))->Equals(*Factory::Not(Factory::OnlyIf(lFxAgain, p))));
    // An argument and a conditional over the same operands are different classes.
    auto lArgument = Factory::Therefore({p}, q);
    EXPECT_FALSE(lArgument->Equals(*Factory::OnlyIf(p, q)));
    EXPECT_FALSE(Factory::OnlyIf(p, q)->Equals(*lArgument));
    EXPECT_TRUE(lArgument->Equals(*Factory::Therefore({p}, q)));
}

TEST(NodeEquality, QuantifiersNeedTheSameVariableObject) {
    auto x = Factory::Variable('x');
    auto lOtherX = Factory::Variable('x');
    MatrixPtr p = Factory::NullPredicate("p");
    EXPECT_TRUE(Factory::ForAll(x, p)->Equals(*Factory::ForAll(x, p)));
    EXPECT_FALSE(Factory::ForAll(x, p)->Equals(*Factory::ForAll(lOtherX, p)));
    EXPECT_FALSE(Factory::ForAll(x, p)->Equals(*Factory::Not(p)));
}

TEST(NodeHashing, UnaryOperatorsHashByIdentityBinaryByOperands) {
    MatrixPtr p = Factory::NullPredicate("p");
    MatrixPtr q = Factory::NullPredicate("q");
    MatrixPtr lNot1 = Factory::Not(p);
    MatrixPtr lNot2 = Factory::Not(p);
    EXPECT_TRUE(lNot1->Equals(*lNot2));
    EXPECT_NE(lNot1->Hash(), lNot2->Hash());
    // Equal binary operators hash alike, even over equal but distinct operands.
    auto x = Factory::Variable('x');
    auto lFx = [&] { return Factory::Predication(Factory::UnaryPredicate('F'), x); };
    EXPECT_EQ(Factory::And(lFx(), q)->Hash(), Factory::And(lFx(), q)->Hash());
    EXPECT_EQ(Factory::Nor(p, lFx())->Hash(), Factory::Nor(p, lFx())->Hash());
}

TEST(ReferenceComparerTest, EqualButDistinctNodesDiffer) {
    auto x = Factory::Variable('x');
    MatrixPtr lFx1 = Factory::Predication(Factory::UnaryPredicate('F'), x);
    MatrixPtr lFx2 = Factory::Predication(Factory::UnaryPredicate('F'), x);
    ReferenceComparer lComparer;
    ASSERT_TRUE(lFx1->Equals(*lFx2));
    EXPECT_FALSE(lComparer.Equals(lFx1.get(), lFx2.get()));
    EXPECT_TRUE(lComparer.Equals(lFx1.get(), lFx1.get()));
    EXPECT_EQ(lComparer.GetHashCode(lFx1.get()), lFx1->Hash());
}

TEST(VariableSubstitution, OnlyTheReplacedObjectIsReplaced) {
    auto x = Factory::Variable('x');
    auto lOtherX = Factory::Variable('x');
    auto y = Factory::Variable('y');
    EXPECT_EQ(Variable::Substitute(x, x, y), y);
    EXPECT_EQ(Variable::Substitute(lOtherX, x, y), lOtherX);
}

} // namespace
} // namespace Logic
