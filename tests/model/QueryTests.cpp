// Structural queries: the order of results, which repeats survive, and the scoping of
// quantifiers and necessities.

#include <gtest/gtest.h>

#include "ModelTestSupport.h"
#include "model/Identification.h"
#include "model/MaterialConditional.h"
#include "model/Necessity.h"
#include "model/NullPredicate.h"

namespace Logic {
namespace {

using Testing::Raw;

struct Pieces {
    VariablePtr x = Factory::Variable('x');
    VariablePtr y = Factory::Variable('y');
    UnaryPredicatePtr F = Factory::UnaryPredicate('F');
    UnaryPredicatePtr G = Factory::UnaryPredicate('G');
    BinaryPredicatePtr L = Factory::BinaryPredicate('L');
    MatrixPtr p = Factory::NullPredicate("p");
    MatrixPtr q = Factory::NullPredicate("q");
};

TEST(AtomicQueries, RepeatedVariableCountsOnce) {
    Pieces l;
    MatrixPtr lxLx = Factory::Predication(l.L, l.x, l.x);
    EXPECT_EQ(Raw(lxLx->FreeVariables()), (std::vector<const Variable*>{l.x.get()}));
    EXPECT_EQ(lxLx->FreeModalities().size(), 1u);

    MatrixPtr lxIsx = Factory::TheSame(l.x, l.x);
    EXPECT_EQ(Raw(lxIsx->IdentifiedVariables()), (std::vector<const Variable*>{l.x.get()}));
    EXPECT_EQ(Raw(lxIsx->FreeVariables()), (std::vector<const Variable*>{l.x.get()}));
    EXPECT_EQ(lxIsx->ModalitiesInIdentifications().size(), 1u);
}

TEST(AtomicQueries, PlacesKeepTheirOrder) {
    Pieces l;
    MatrixPtr lyLx = Factory::Predication(l.L, l.y, l.x);
    EXPECT_EQ(Raw(lyLx->FreeVariables()), (std::vector<const Variable*>{l.y.get(), l.x.get()}));
    MatrixPtr lyIsx = Factory::TheSame(l.y, l.x);
    EXPECT_EQ(Raw(lyIsx->IdentifiedVariables()),
              (std::vector<const Variable*>{l.y.get(), l.x.get()}));
}

TEST(AtomicQueries, VariablesWithoutModalityGiveOneNone) {
    Pieces l;
    MatrixPtr lxIsy = Factory::TheSame(l.x, l.y);
    EXPECT_EQ(lxIsy->ModalitiesInIdentifications(), (std::vector<const Necessity*>{nullptr}));
    EXPECT_EQ(lxIsy->FreeModalities(), (std::vector<const Necessity*>{nullptr}));
    EXPECT_EQ(Factory::Predication(l.F, l.x)->FreeModalities(),
              (std::vector<const Necessity*>{nullptr}));
}

TEST(AtomicQueries, ModalityOfOnlyOnePlaceKeepsPlaceOrder) {
    Pieces l;
    MatrixPtr lxLy = Factory::Predication(l.L, l.x, l.y);
    // Only y's quantifier lies under a necessity.
    auto lBox = Factory::Necessarily(Factory::ForAll(l.y, Factory::Predication(l.G, l.y)));
    auto lN = static_cast<const Necessity*>(lBox.get());
    EXPECT_EQ(lxLy->FreeModalities(), (std::vector<const Necessity*>{nullptr, lN}));
    EXPECT_EQ(Factory::Predication(l.L, l.y, l.x)->FreeModalities(),
              (std::vector<const Necessity*>{lN, nullptr}));
    EXPECT_EQ(Factory::Predication(l.L, l.y, l.y)->FreeModalities(),
              (std::vector<const Necessity*>{lN}));
}

TEST(AtomicQueries, KindsOfAtomAnswerTheirOwnLists) {
    Pieces l;
    MatrixPtr lFx = Factory::Predication(l.F, l.x);
    MatrixPtr lxLy = Factory::Predication(l.L, l.x, l.y);
    MatrixPtr lxIsy = Factory::TheSame(l.x, l.y);

    EXPECT_EQ(l.p->NullPredicates().size(), 1u);
    EXPECT_TRUE(l.p->NonNullPredications().empty());
    EXPECT_TRUE(l.p->FreeVariables().empty());
    EXPECT_TRUE(l.p->IsPropositional());

    EXPECT_EQ(lFx->NonNullPredications(), (std::vector<const Matrix*>{lFx.get()}));
    EXPECT_EQ(lFx->UnaryPredicates(), (std::vector<const UnaryPredicate*>{l.F.get()}));
    EXPECT_TRUE(lFx->NullPredicates().empty());
    EXPECT_FALSE(lFx->IsPropositional());

    EXPECT_TRUE(lxLy->UnaryPredicates().empty());
    EXPECT_TRUE(lxLy->IdentifiedVariables().empty());
    EXPECT_FALSE(lxLy->ContainsIdentifications());

    EXPECT_TRUE(lxIsy->ContainsIdentifications());
    EXPECT_FALSE(lxIsy->ContainsModalities());
    EXPECT_EQ(lxIsy->Matrices(), (std::vector<const Matrix*>{lxIsy.get()}));
    EXPECT_TRUE(lxIsy->DirectDependencies().empty());
    EXPECT_EQ(lxIsy->Conjuncts(), (std::vector<const Matrix*>{lxIsy.get()}));
}

TEST(ConnectiveQueries, SharedPredicationIsListedOnceButReachedTwice) {
    Pieces l;
    MatrixPtr lFx = Factory::Predication(l.F, l.x);
    MatrixPtr lBoth = Factory::And(lFx, lFx);
    EXPECT_EQ(lBoth->NonNullPredications(), (std::vector<const Matrix*>{lFx.get()}));
    using Edge = std::pair<const Matrix*, const Matrix*>;
    EXPECT_EQ(lBoth->DirectDependencies(),
              (std::vector<Edge>{{lBoth.get(), lFx.get()}, {lBoth.get(), lFx.get()}}));
    EXPECT_EQ(lBoth->Matrices(), (std::vector<const Matrix*>{lBoth.get(), lFx.get(), lFx.get()}));
}

TEST(ConnectiveQueries, EqualButDistinctPredicationsMergeKeepingTheFirst) {
    Pieces l;
    MatrixPtr lFirst = Factory::Predication(l.F, l.x);
    MatrixPtr lSecond = Factory::Predication(Factory::UnaryPredicate('F'), l.x);
    MatrixPtr lGx = Factory::Predication(l.G, l.x);
    MatrixPtr lFormula = Factory::Or(Factory::And(lGx, lFirst), Factory::Not(lSecond));
    EXPECT_EQ(lFormula->NonNullPredications(),
              (std::vector<const Matrix*>{lGx.get(), lFirst.get()}));
    // Unary predicates merge by letter, so the second F is dropped although it is another object.
    EXPECT_EQ(lFormula->UnaryPredicates(),
              (std::vector<const UnaryPredicate*>{l.G.get(), l.F.get()}));
}

TEST(ConnectiveQueries, SentenceLettersMergeByIdentity) {
    Pieces l;
    MatrixPtr lOtherP = Factory::NullPredicate("p");
    MatrixPtr lFormula = Factory::And(Factory::And(l.q, l.p), Factory::Or(lOtherP, l.q));
    auto lLetters = lFormula->NullPredicates();
    ASSERT_EQ(lLetters.size(), 3u);
    EXPECT_EQ(lLetters[0], l.q.get());
    EXPECT_EQ(lLetters[1], l.p.get());
    EXPECT_EQ(lLetters[2], lOtherP.get());
}

TEST(ConnectiveQueries, QuantifierHidesOnlyItsOwnVariableObject) {
    Pieces l;
    VariablePtr lOtherX = Factory::Variable('x');
    MatrixPtr lFormula = Factory::ForAll(
        l.x, Factory::And(Factory::Predication(l.F, l.x), Factory::Predication(l.L, lOtherX, l.y)));
    EXPECT_EQ(Raw(lFormula->FreeVariables()),
              (std::vector<const Variable*>{lOtherX.get(), l.y.get()}));
}

TEST(ConnectiveQueries, VariableFreeOnOneSideOfTheQuantifierStaysFree) {
    Pieces l;
    MatrixPtr lFx = Factory::Predication(l.F, l.x);
    MatrixPtr lFormula =
        Factory::And(Factory::ForAll(l.x, lFx), Factory::Predication(l.L, l.y, l.x));
    EXPECT_EQ(Raw(lFormula->FreeVariables()), (std::vector<const Variable*>{l.y.get(), l.x.get()}));
    // The same shared predication, bound on the left and free on the right.
    MatrixPtr lShared = Factory::And(Factory::ForAll(l.x, lFx), lFx);
    EXPECT_EQ(Raw(lShared->FreeVariables()), (std::vector<const Variable*>{l.x.get()}));
}

TEST(ConnectiveQueries, ClosedPredicationsPairEachQuantifierWithItsScope) {
    Pieces l;
    MatrixPtr lFx = Factory::Predication(l.F, l.x);
    MatrixPtr lGx = Factory::Predication(l.G, l.x);
    MatrixPtr lAll = Factory::ForAll(l.x, Factory::And(lFx, lGx));
    auto lQuantifier = static_cast<const UniversalGeneralization*>(lAll.get());
    using Pair = std::pair<const UniversalGeneralization*, const Matrix*>;
    EXPECT_EQ(lAll->ClosedPredications(),
              (std::vector<Pair>{{lQuantifier, lFx.get()}, {lQuantifier, lGx.get()}}));
}

TEST(ConnectiveQueries, NestedQuantifiersPairOuterFirst) {
    Pieces l;
    MatrixPtr lxLy = Factory::Predication(l.L, l.x, l.y);
    MatrixPtr lGy = Factory::Predication(l.G, l.y);
    MatrixPtr lInner = Factory::ForAll(l.y, Factory::And(lGy, lxLy));
    MatrixPtr lOuter = Factory::ForAll(l.x, lInner);
    auto lOuterQ = static_cast<const UniversalGeneralization*>(lOuter.get());
    auto lInnerQ = static_cast<const UniversalGeneralization*>(lInner.get());
    using Pair = std::pair<const UniversalGeneralization*, const Matrix*>;
    EXPECT_EQ(
        lOuter->ClosedPredications(),
        (std::vector<Pair>{{lOuterQ, lxLy.get()}, {lInnerQ, lGy.get()}, {lInnerQ, lxLy.get()}}));
}

TEST(ConnectiveQueries, QuantifierSharedOnTwoSidesIsPairedOnce) {
    Pieces l;
    MatrixPtr lFx = Factory::Predication(l.F, l.x);
    MatrixPtr lAll = Factory::ForAll(l.x, lFx);
    MatrixPtr lTwice = Factory::Or(lAll, Factory::Not(lAll));
    ASSERT_EQ(lTwice->ClosedPredications().size(), 1u);
    EXPECT_EQ(lTwice->ClosedPredications()[0].second, lFx.get());
}

TEST(ConnectiveQueries, NecessityDropsOnlyItselfFromFreeModalities) {
    Pieces l;
    // x belongs to the inner necessity; y is free, so its entry is none.
    MatrixPtr lInner = Factory::Necessarily(Factory::ForAll(l.x, Factory::Predication(l.F, l.x)));
    auto lN = static_cast<const Necessity*>(lInner.get());
    MatrixPtr lFx = Factory::Predication(l.F, l.x);
    MatrixPtr lFy = Factory::Predication(l.F, l.y);
    MatrixPtr lOutside = Factory::And(lFx, lFy);
    EXPECT_EQ(lOutside->FreeModalities(), (std::vector<const Necessity*>{lN, nullptr}));
    EXPECT_TRUE(lInner->FreeModalities().empty());
    MatrixPtr lWithFree = Factory::Necessarily(Factory::And(lFy, lInner));
    EXPECT_EQ(lWithFree->FreeModalities(), (std::vector<const Necessity*>{nullptr}));
}

TEST(ConnectiveQueries, ModalitiesInIdentificationsAreNotFilteredByNecessity) {
    Pieces l;
    MatrixPtr lBox = Factory::Necessarily(Factory::ForAll(l.x, Factory::TheSame(l.x, l.y)));
    auto lN = static_cast<const Necessity*>(lBox.get());
    EXPECT_EQ(lBox->ModalitiesInIdentifications(), (std::vector<const Necessity*>{lN, nullptr}));
    EXPECT_EQ(lBox->FreeModalities(), (std::vector<const Necessity*>{nullptr}));
    EXPECT_EQ(Raw(lBox->IdentifiedVariables()),
              (std::vector<const Variable*>{l.x.get(), l.y.get()}));
    EXPECT_EQ(Raw(lBox->FreeVariables()), (std::vector<const Variable*>{l.y.get()}));
}

TEST(ConnectiveQueries, ConjunctsSplitOnlyConjunctions) {
    Pieces l;
    MatrixPtr a = Factory::NullPredicate("A");
    MatrixPtr b = Factory::NullPredicate("B");
    MatrixPtr lCD = Factory::Or(Factory::NullPredicate("C"), Factory::NullPredicate("D"));
    MatrixPtr lFormula = Factory::And(Factory::And(a, b), lCD);
    EXPECT_EQ(lFormula->Conjuncts(), (std::vector<const Matrix*>{a.get(), b.get(), lCD.get()}));
    MatrixPtr lNegated = Factory::Not(lFormula);
    EXPECT_EQ(lNegated->Conjuncts(), (std::vector<const Matrix*>{lNegated.get()}));
    // An argument is a conditional: it is not split, however its premises are joined.
    auto lArgument = Factory::Therefore({a, b}, lCD);
    EXPECT_EQ(lArgument->Conjuncts(), (std::vector<const Matrix*>{lArgument.get()}));
    EXPECT_EQ(lArgument->Left()->Conjuncts(), (std::vector<const Matrix*>{a.get(), b.get()}));
}

TEST(ConnectiveQueries, DependenciesAndMatricesFollowPreOrder) {
    Pieces l;
    MatrixPtr lNotQ = Factory::Not(l.q);
    MatrixPtr lLeft = Factory::And(l.p, lNotQ);
    MatrixPtr lRoot = Factory::OnlyIf(lLeft, l.p);
    using Edge = std::pair<const Matrix*, const Matrix*>;
    EXPECT_EQ(lRoot->DirectDependencies(), (std::vector<Edge>{{lRoot.get(), lLeft.get()},
                                                              {lRoot.get(), l.p.get()},
                                                              {lLeft.get(), l.p.get()},
                                                              {lLeft.get(), lNotQ.get()},
                                                              {lNotQ.get(), l.q.get()}}));
    EXPECT_EQ(lRoot->Matrices(), (std::vector<const Matrix*>{lRoot.get(), lLeft.get(), l.p.get(),
                                                             lNotQ.get(), l.q.get(), l.p.get()}));
}

TEST(ConnectiveQueries, PropositionalMeansLettersNegationsAndConnectivesOnly) {
    Pieces l;
    EXPECT_TRUE(Factory::Nor(Factory::Not(l.p), Factory::Xor(l.p, l.q))->IsPropositional());
    EXPECT_FALSE(Factory::And(l.p, Factory::Necessarily(l.q))->IsPropositional());
    EXPECT_FALSE(Factory::And(Factory::Predication(l.F, l.x), l.p)->IsPropositional());
    EXPECT_FALSE(Factory::ForAll(l.x, l.p)->IsPropositional());
    EXPECT_TRUE(Factory::Therefore({l.p}, l.q)->IsPropositional());
}

TEST(ConnectiveQueries, ContainsLooksThroughEveryLevel) {
    Pieces l;
    MatrixPtr lDeepBox =
        Factory::Or(l.p, Factory::Not(Factory::ForAll(l.x, Factory::Necessarily(l.q))));
    EXPECT_TRUE(lDeepBox->ContainsModalities());
    EXPECT_FALSE(lDeepBox->ContainsIdentifications());
    MatrixPtr lDeepIdentity =
        Factory::And(Factory::ThereExists(l.x, Factory::TheSame(l.x, l.y)), l.p);
    EXPECT_TRUE(lDeepIdentity->ContainsIdentifications());
    EXPECT_FALSE(lDeepIdentity->ContainsModalities());
}

TEST(Substitution, AtomsAreRebuiltExceptSentenceLetters) {
    Pieces l;
    EXPECT_EQ(l.p->Substitute(l.x, l.y), l.p);
    MatrixPtr lFx = Factory::Predication(l.F, l.x);
    MatrixPtr lFy = lFx->Substitute(l.x, l.y);
    EXPECT_NE(lFy, lFx);
    EXPECT_EQ(lFy->ToString(), "Fy");
    EXPECT_EQ(Raw(lFy->FreeVariables()), (std::vector<const Variable*>{l.y.get()}));
    EXPECT_EQ(Raw(lFx->FreeVariables()), (std::vector<const Variable*>{l.x.get()}));
    // Nothing to replace still gives a new node.
    MatrixPtr lSame = lFx->Substitute(l.y, l.x);
    EXPECT_NE(lSame, lFx);
    EXPECT_TRUE(lSame->Equals(*lFx));
    EXPECT_EQ(Factory::Predication(l.L, l.x, l.y)->Substitute(l.x, l.y)->ToString(), "yLy");
    EXPECT_EQ(Factory::TheSame(l.y, l.x)->Substitute(l.x, l.y)->FreeVariables().size(), 1u);
}

TEST(Substitution, ConnectivesAreCopiedAroundTheReplacement) {
    Pieces l;
    VariablePtr z = Factory::Variable('z');
    MatrixPtr lFormula = Factory::ForAll(
        l.x, Factory::IfAndOnlyIf(Factory::Predication(l.L, l.x, l.y), Factory::Nor(l.p, l.q)));
    MatrixPtr lResult = lFormula->Substitute(l.x, z);
    EXPECT_EQ(lResult->ToString(), "(z,(zLy<=>(p!q)))");
    EXPECT_EQ(Testing::Bound(lResult.get()), z.get());
    EXPECT_EQ(lResult->Kind(), NodeKind::UniversalGeneralization);
    EXPECT_EQ(Testing::Left(Testing::Right(Testing::Inner(lResult.get()))), l.p.get());
    EXPECT_EQ(lFormula->ToString(), "(x,(xLy<=>(p!q)))");
}

TEST(Substitution, NecessityIsBuiltAnewAndClaimsItsVariables) {
    Pieces l;
    VariablePtr z = Factory::Variable('z');
    MatrixPtr lBox = Factory::Necessarily(Factory::ForAll(l.x, Factory::Predication(l.F, l.y)));
    MatrixPtr lCopy = lBox->Substitute(l.x, z);
    EXPECT_EQ(lCopy->Kind(), NodeKind::Necessity);
    EXPECT_EQ(z->Modality(), static_cast<const Necessity*>(lCopy.get()));
    EXPECT_FALSE(static_cast<const Necessity*>(lCopy.get())->Memoizible());
}

TEST(Substitution, ArgumentBecomesPlainConditional) {
    Pieces l;
    auto lArgument = Factory::Therefore({l.p, Factory::Predication(l.F, l.x)}, l.q);
    MatrixPtr lResult = lArgument->Substitute(l.x, l.y);
    EXPECT_EQ(lResult->Kind(), NodeKind::MaterialConditional);
    EXPECT_NE(dynamic_cast<const MaterialConditional*>(lResult.get()), nullptr);
    EXPECT_EQ(dynamic_cast<const Argument*>(lResult.get()), nullptr);
    EXPECT_EQ(lResult->ToString(), "((p&Fy)->q)");
}

} // namespace
} // namespace Logic
