// Factory shapes, seen through their text forms, and the order in which their nodes are made,
// seen through serial names.

#include <gtest/gtest.h>

#include <functional>

#include "ModelTestSupport.h"
#include "model/EngineException.h"

namespace Logic {
namespace {

using Testing::Bound;
using Testing::Inner;
using Testing::Left;
using Testing::Next;
using Testing::Number;
using Testing::Right;

struct Letters {
    MatrixPtr p = Factory::NullPredicate("p");
    MatrixPtr q = Factory::NullPredicate("q");
    MatrixPtr r = Factory::NullPredicate("r");
    UnaryPredicatePtr F = Factory::UnaryPredicate('F');
    UnaryPredicatePtr G = Factory::UnaryPredicate('G');
};

TEST(FactoryFolds, FurtherOperandsNestToTheLeft) {
    Letters l;
    MatrixPtr s = Factory::NullPredicate("s");
    MatrixPtr lAnd = Factory::And(l.p, l.q, {l.r, s});
    EXPECT_EQ(lAnd->ToString(), "(((p&q)&r)&s)");
    EXPECT_EQ(Factory::Or(l.p, l.q, {l.r})->ToString(), "((p|q)|r)");
    EXPECT_EQ(Left(Left(Left(lAnd.get()))), l.p.get());
    EXPECT_EQ(Right(lAnd.get()), s.get());
}

TEST(FactoryFolds, SequenceFormsFoldFromTheLeft) {
    Letters l;
    EXPECT_EQ(Factory::And(std::vector<MatrixPtr>{l.p, l.q, l.r})->ToString(), "((p&q)&r)");
    EXPECT_EQ(Factory::Or(std::vector<MatrixPtr>{l.p, l.q, l.r})->ToString(), "((p|q)|r)");
    long lBefore = Next();
    EXPECT_EQ(Factory::And(std::vector<MatrixPtr>{l.p}), l.p);
    EXPECT_EQ(Factory::Or(std::vector<MatrixPtr>{l.q}), l.q);
    EXPECT_EQ(Next(), lBefore) << "a one-element fold made a node";
}

TEST(FactoryFolds, EmptySequencesFail) {
    try {
        Factory::And(std::vector<MatrixPtr>{});
        FAIL();
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(), "Can't conjoin an empty list of matrices.");
    }
    try {
        Factory::Or(std::vector<MatrixPtr>{});
        FAIL();
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(), "Can't disjoin an empty list of matrices.");
    }
}

TEST(FactoryDerivedForms, ExpressedThroughExistingNodes) {
    Letters l;
    auto x = Factory::Variable('x');
    auto y = Factory::Variable('y');
    EXPECT_EQ(Factory::Xor(l.p, l.q)->ToString(), "~(p<=>q)");
    EXPECT_EQ(Factory::ThereExists(x, Factory::Predication(l.F, x))->ToString(), "~(x,~Fx)");
    EXPECT_EQ(Factory::Impossibly(l.p)->ToString(), "[]~p");
    EXPECT_EQ(Factory::NecessarilyOnlyIf(l.p, l.q)->ToString(), "[](p->q)");
    EXPECT_EQ(Factory::NotTheSame(x, y)->ToString(), "~x=y");
    EXPECT_EQ(Factory::Nor(l.p, l.q)->ToString(), "(p!q)");
}

TEST(FactoryDerivedForms, PossiblyIsNegatedNecessityOfNegation) {
    Letters l;
    long lBefore = Next();
    MatrixPtr lPossibly = Factory::Possibly(l.p);
    EXPECT_EQ(lPossibly->ToString(), "~[]~p");
    ASSERT_EQ(lPossibly->Kind(), NodeKind::Negation);
    ASSERT_EQ(Inner(lPossibly.get())->Kind(), NodeKind::Necessity);
    ASSERT_EQ(Inner(Inner(lPossibly.get()))->Kind(), NodeKind::Negation);
    EXPECT_EQ(Inner(Inner(Inner(lPossibly.get()))), l.p.get());
    EXPECT_EQ(Number(Inner(Inner(lPossibly.get()))), lBefore);
    EXPECT_EQ(Number(Inner(lPossibly.get())), lBefore + 1);
    EXPECT_EQ(Number(lPossibly), lBefore + 2);
}

TEST(FactoryDefinite, ShapeAndOrderOfConstruction) {
    Letters l;
    auto x = Factory::Variable('x');
    MatrixPtr lFx = Factory::Predication(l.F, x);
    long lBefore = Next();
    MatrixPtr lThe = Factory::The(x, lFx);
    EXPECT_EQ(lThe->ToString(), "~(y,~(x,(x=y<=>Fx)))");
    const Matrix* lOuterUG = Inner(lThe.get());
    const Matrix* lInnerNot = Inner(lOuterUG);
    const Matrix* lInnerUG = Inner(lInnerNot);
    const Matrix* lEquivalence = Inner(lInnerUG);
    const Matrix* lIdentity = Left(lEquivalence);
    EXPECT_EQ(Number(lIdentity), lBefore);
    EXPECT_EQ(Number(lEquivalence), lBefore + 1);
    EXPECT_EQ(Number(lInnerUG), lBefore + 2);
    EXPECT_EQ(Number(lInnerNot), lBefore + 3);
    EXPECT_EQ(Number(lOuterUG), lBefore + 4);
    EXPECT_EQ(Number(lThe), lBefore + 5);
    EXPECT_EQ(Bound(lInnerUG), x.get());
    EXPECT_NE(Bound(lOuterUG), x.get());
    EXPECT_EQ(Right(lEquivalence), lFx.get());
}

TEST(FactoryDefinite, CompanionLetterWrapsAfterZ) {
    auto z = Factory::Variable('z');
    MatrixPtr lThe = Factory::The(z, Factory::NullPredicate("p"));
    EXPECT_EQ(Bound(Inner(lThe.get()))->Letter(), 'a');
    EXPECT_EQ(lThe->ToString(), "~(a,~(z,(z=a<=>p)))");
}

TEST(FactoryBind, FirstVariableEndsUpInnermost) {
    auto lVariables = Factory::MakeNVariables(3);
    MatrixPtr p = Factory::NullPredicate("p");
    MatrixPtr lAll = Factory::Bind(lVariables, p, Factory::ForAll);
    EXPECT_EQ(lAll->ToString(), "(c,(b,(a,p)))");
    EXPECT_EQ(Bound(lAll.get()), lVariables[2].get());
    EXPECT_LT(Number(Inner(lAll.get())), Number(lAll));
    MatrixPtr lSome = Factory::Bind({lVariables[0], lVariables[1]}, p, Factory::ThereExists);
    EXPECT_EQ(lSome->ToString(), "~(b,~~(a,~p))");
    EXPECT_EQ(Factory::Bind({}, p, Factory::ForAll), p);
}

TEST(FactoryVariables, LettersCycleButObjectsAreDistinct) {
    auto lVariables = Factory::MakeNVariables(27);
    ASSERT_EQ(lVariables.size(), 27u);
    for (size_t i = 0; i < 26; ++i) {
        EXPECT_EQ(lVariables[i]->Letter(), static_cast<char>('a' + i));
    }
    EXPECT_EQ(lVariables[26]->Letter(), 'a');
    EXPECT_NE(lVariables[26], lVariables[0]);
    EXPECT_TRUE(Factory::MakeNVariables(0).empty());
    EXPECT_NE(Factory::Variable('x'), Factory::Variable('x'));
}

TEST(FactoryTwoTerm, FormsWithPositiveTerms) {
    Letters l;
    Term S = Factory::AllAndOnly(l.F, false);
    Term P = Factory::AllAndOnly(l.G, false);
    EXPECT_EQ(Factory::FormA(S, P, false)->ToString(), "(x,(Fx->Gx))");
    EXPECT_EQ(Factory::FormA(S, P, true)->ToString(), "((x,(Fx->Gx))&~(x,~Fx))");
    EXPECT_EQ(Factory::FormE(S, P)->ToString(), "(x,(Fx->~Gx))");
    EXPECT_EQ(Factory::FormI(S, P)->ToString(), "~(x,~(Fx&Gx))");
    EXPECT_EQ(Factory::FormO(S, P, true)->ToString(), "~(x,(Fx->Gx))");
    EXPECT_EQ(Factory::FormO(S, P, false)->ToString(), "(~(x,(Fx->Gx))|(x,~Fx))");
    EXPECT_EQ(Factory::FormU(S, P, false)->ToString(), "((x,(Fx->Gx))|(x,(Fx->~Gx)))");
    EXPECT_EQ(Factory::FormU(S, P, true)->ToString(), Factory::FormU(S, P, false)->ToString());
    EXPECT_EQ(Factory::FormY(S, P, false)->ToString(), "(~(x,~(Fx&Gx))&~(x,~(Fx&~Gx)))");
}

TEST(FactoryTwoTerm, NegativeTermsApplyAsNegations) {
    Letters l;
    Term lNonF = Factory::AllAndOnly(l.F, true);
    Term lNonG = Factory::AllAndOnly(l.G, true);
    EXPECT_EQ(Factory::FormA(lNonF, lNonG, false)->ToString(), "(x,(~Fx->~Gx))");
    EXPECT_EQ(Factory::FormE(lNonF, lNonG)->ToString(), "(x,(~Fx->~~Gx))");
    EXPECT_EQ(Factory::FormO(lNonF, lNonG, false)->ToString(), "(~(x,(~Fx->~Gx))|(x,~~Fx))");
}

TEST(FactoryTwoTerm, HalvesShareOneVariableImportUsesAnother) {
    Letters l;
    Term S = Factory::AllAndOnly(l.F, false);
    Term P = Factory::AllAndOnly(l.G, false);
    MatrixPtr lU = Factory::FormU(S, P, false);
    EXPECT_EQ(Bound(Left(lU.get())), Bound(Right(lU.get())));
    MatrixPtr lY = Factory::FormY(S, P, false);
    EXPECT_EQ(Bound(Inner(Left(lY.get()))), Bound(Inner(Right(lY.get()))));
    MatrixPtr lA = Factory::FormA(S, P, true);
    EXPECT_NE(Bound(Left(lA.get())), Bound(Inner(Right(lA.get()))));
    MatrixPtr lO = Factory::FormO(S, P, false);
    EXPECT_NE(Bound(Inner(Left(lO.get()))), Bound(Right(lO.get())));
    // Every application made its own predication.
    EXPECT_NE(Left(Inner(Left(lU.get()))), Left(Inner(Right(lU.get()))));
}

TEST(FactoryTwoTerm, SubjectIsAppliedBeforePredicate) {
    Letters l;
    long lBefore = Next();
    MatrixPtr lA =
        Factory::FormA(Factory::AllAndOnly(l.F, false), Factory::AllAndOnly(l.G, false), true);
    const Matrix* lAll = Left(lA.get());
    const Matrix* lConditional = Inner(lAll);
    EXPECT_EQ(Number(Left(lConditional)), lBefore);
    EXPECT_EQ(Number(Right(lConditional)), lBefore + 1);
    EXPECT_EQ(Number(lConditional), lBefore + 2);
    EXPECT_EQ(Number(lAll), lBefore + 3);
    // Then the existential's predication, negation, quantifier, negation, and the conjunction.
    EXPECT_EQ(Number(Inner(Inner(Inner(Right(lA.get()))))), lBefore + 4);
    EXPECT_EQ(Number(lA), lBefore + 8);
}

TEST(FactoryCounting, ZeroAndOneThings) {
    Letters l;
    MatrixPtr lNone = Factory::ThereAreThisManyOfThese(0, l.F);
    EXPECT_EQ(lNone->ToString(), "(a,~Fa)");
    ASSERT_EQ(lNone->Kind(), NodeKind::UniversalGeneralization);
    EXPECT_EQ(Inner(Inner(lNone.get()))->Kind(), NodeKind::UnaryPredication);
    EXPECT_EQ(Factory::ThereAreThisManyOfThese(1, l.F)->ToString(), "~(b,~(a,(a=b<=>Fa)))");
}

TEST(FactoryCounting, TwoThingsShapeAndOrder) {
    Letters l;
    long lBefore = Next();
    MatrixPtr lTwo = Factory::ThereAreThisManyOfThese(2, l.F);
    EXPECT_EQ(lTwo->ToString(), "~(b,~~(a,~(((Fa&Fb)&~a=b)&(x,(Fx->(x=a|x=b))))))");
    EXPECT_EQ(Next() - lBefore, 19);
    const Matrix* lBody = Inner(Inner(Inner(Inner(Inner(Inner(lTwo.get()))))));
    ASSERT_EQ(lBody->ToString(), "(((Fa&Fb)&~a=b)&(x,(Fx->(x=a|x=b))))");
    const Matrix* lAllAre = Left(Left(lBody));
    const Matrix* lDistinct = Right(Left(lBody));
    const Matrix* lClosure = Right(lBody);
    const Matrix* lDisjunction = Right(Inner(lClosure));
    EXPECT_EQ(Number(Left(lAllAre)), lBefore);
    EXPECT_EQ(Number(Right(lAllAre)), lBefore + 1);
    EXPECT_EQ(Number(lAllAre), lBefore + 2);
    EXPECT_EQ(Number(Inner(lDistinct)), lBefore + 3);
    EXPECT_EQ(Number(lDistinct), lBefore + 4);
    EXPECT_EQ(Number(Left(Inner(lClosure))), lBefore + 5);
    EXPECT_EQ(Number(Left(lDisjunction)), lBefore + 6);
    EXPECT_EQ(Number(Right(lDisjunction)), lBefore + 7);
    EXPECT_EQ(Number(lDisjunction), lBefore + 8);
    EXPECT_EQ(Number(lClosure), lBefore + 10);
    EXPECT_EQ(Number(Left(lBody)), lBefore + 11);
    EXPECT_EQ(Number(lBody), lBefore + 12);
    EXPECT_EQ(Number(lTwo), lBefore + 18);
    EXPECT_EQ(Bound(Inner(lTwo.get()))->Letter(), 'b');
    EXPECT_EQ(Number(Inner(Inner(Inner(Inner(lTwo.get()))))), lBefore + 14);
}

TEST(FactoryCounting, DistinctnessPairsInOrder) {
    Letters l;
    MatrixPtr lThree = Factory::ThereAreThisManyOfThese(3, l.F);
    EXPECT_EQ(lThree->ToString(),
              "~(c,~~(b,~~(a,~((((Fa&Fb)&Fc)&((~a=b&~a=c)&~b=c))&(x,(Fx->((x=a|x=b)|x=c)))))))");
    EXPECT_TRUE(lThree->FreeVariables().empty());
}

TEST(FactoryChoose, MatchesTheRecursiveDefinition) {
    std::function<std::vector<std::vector<uint32_t>>(uint32_t, uint32_t)> lReference =
        [&](uint32_t c, uint32_t t) -> std::vector<std::vector<uint32_t>> {
        if (c == 0) {
            return {{}};
        }
        if (c >= t) {
            std::vector<uint32_t> lAll;
            for (uint32_t i = 0; i < t; ++i) {
                lAll.push_back(i);
            }
            return {lAll};
        }
        auto lResult = lReference(c, t - 1);
        for (auto lChoice : lReference(c - 1, t - 1)) {
            lChoice.push_back(t - 1);
            lResult.push_back(lChoice);
        }
        return lResult;
    };
    for (uint32_t t = 0; t <= 9; ++t) {
        for (uint32_t c = 0; c <= t + 1; ++c) {
            EXPECT_EQ(Factory::Choose(c, t), lReference(c, t)) << c << " of " << t;
        }
    }
    EXPECT_EQ(Factory::Choose(1, 3), (std::vector<std::vector<uint32_t>>{{0}, {1}, {2}}));
}

TEST(FactoryCounting, ExactlySoManyTrue) {
    Letters l;
    EXPECT_EQ(Factory::ThisManyOfTheseAreTrue(2, {l.p, l.q, l.r})->ToString(),
              "((((~p&q)&r)|((p&~q)&r))|((p&q)&~r))");
    EXPECT_EQ(Factory::ThisManyOfTheseAreTrue(0, {l.p, l.q})->ToString(), "(~p&~q)");
    EXPECT_EQ(Factory::ThisManyOfTheseAreTrue(2, {l.p, l.q})->ToString(), "(p&q)");
    EXPECT_EQ(Factory::ThisManyOfTheseAreTrue(1, {l.p, l.p})->ToString(), "((~p&p)|(p&~p))");
    EXPECT_EQ(Factory::ThisManyOfTheseAreTrue(1, {l.q}), l.q);
    EXPECT_EQ(Factory::ThisManyOfTheseAreTrue(1, {l.p, l.q, l.r})->ToString(),
              "((((~p&~q)&r)|((~p&q)&~r))|((p&~q)&~r))");
}

TEST(FactoryCounting, ConjunctionsBeforeDisjunctions) {
    Letters l;
    long lBefore = Next();
    MatrixPtr lOne = Factory::ThisManyOfTheseAreTrue(1, {l.p, l.q});
    ASSERT_EQ(lOne->ToString(), "((~p&q)|(p&~q))");
    EXPECT_EQ(Number(Left(Left(lOne.get()))), lBefore);
    EXPECT_EQ(Number(Left(lOne.get())), lBefore + 1);
    EXPECT_EQ(Number(Right(Right(lOne.get()))), lBefore + 2);
    EXPECT_EQ(Number(Right(lOne.get())), lBefore + 3);
    EXPECT_EQ(Number(lOne), lBefore + 4);
}

TEST(FactoryCounting, TooFewMatricesFail) {
    Letters l;
    MatrixPtr lNotQ = Factory::Not(l.q);
    try {
        Factory::ThisManyOfTheseAreTrue(3, {l.p, lNotQ});
        FAIL();
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(),
                     "3 of the predicate(s) p, ~q can't be true because there are only 2 of them.");
    }
    try {
        Factory::ThisManyOfTheseAreTrue(0, {});
        FAIL();
    } catch (const EngineException& lFailure) {
        EXPECT_STREQ(lFailure.what(), "Can't conjoin an empty list of matrices.");
    }
}

TEST(FactoryArgument, PremisesJoinedInOrderBeforeTheArgument) {
    Letters l;
    long lBefore = Next();
    auto lArgument = Factory::Therefore({l.p, l.q, l.r}, l.p);
    EXPECT_EQ(lArgument->ToString(), "(((p&q)&r)->p)");
    EXPECT_EQ(lArgument->Kind(), NodeKind::Argument);
    EXPECT_EQ(Number(Left(lArgument->Left().get())), lBefore);
    EXPECT_EQ(Number(lArgument->Left()), lBefore + 1);
    EXPECT_EQ(Number(lArgument.get()), lBefore + 2);
    EXPECT_EQ(Factory::Therefore({l.q}, l.r)->Left(), l.q);
}

TEST(FactoryArgument, DrawnPremisesAreJoinedAsSoonAsDrawn) {
    Letters l;
    int lDrawn = 0;
    long lBefore = Next();
    auto lArgument = Factory::Therefore(
        [&]() -> MatrixPtr {
            ++lDrawn;
            return lDrawn <= 3 ? Factory::NullPredicate(std::string(1, char('a' + lDrawn)))
                               : nullptr;
        },
        l.r);
    EXPECT_EQ(lDrawn, 4);
    EXPECT_EQ(lArgument->ToString(), "(((b&c)&d)->r)");
    // b, c, (b&c), d, ((b&c)&d), then the argument.
    const Matrix* lJoined = lArgument->Left().get();
    EXPECT_EQ(Number(Left(Left(lJoined))), lBefore);
    EXPECT_EQ(Number(Right(Left(lJoined))), lBefore + 1);
    EXPECT_EQ(Number(Left(lJoined)), lBefore + 2);
    EXPECT_EQ(Number(Right(lJoined)), lBefore + 3);
    EXPECT_EQ(Number(lJoined), lBefore + 4);
    EXPECT_EQ(Number(lArgument.get()), lBefore + 5);
}

TEST(FactoryArgument, NoPremisesFail) {
    Letters l;
    for (int lForm = 0; lForm < 2; ++lForm) {
        try {
            if (lForm == 0) {
                Factory::Therefore(std::vector<MatrixPtr>{}, l.p);
            } else {
                Factory::Therefore([] { return MatrixPtr(); }, l.p);
            }
            FAIL() << lForm;
        } catch (const EngineException& lFailure) {
            EXPECT_STREQ(lFailure.what(), "Can't conjoin an empty list of matrices.");
        }
    }
}

} // namespace
} // namespace Logic
