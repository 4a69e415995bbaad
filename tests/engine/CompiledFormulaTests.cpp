#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <optional>

#include "Formulas.h"
#include "engine/CompiledFormula.h"
#include "engine/Decision.h"
#include "engine/Predicates.h"
#include "engine/Utility.h"
#include "model/EngineException.h"
#include "model/NullPredicate.h"
#include "parser/Parser.h"
#include "platform/Cancellation.h"

namespace Logic {
namespace {

using namespace Testing;

const std::string gLetters = "abcdefghijklmnopqrstuvwxyz";

/// The conjunction of the first aCount letters, each negated where aNegated has its bit set:
/// true in exactly one kind of world.
std::string OnlyOneWorld(int aCount, uint32_t aNegated) {
    std::string lText;
    for (int lIndex = 0; lIndex < aCount; ++lIndex) {
        lText += std::string(lIndex == 0 ? "" : "&") + (((aNegated >> lIndex) & 1u) != 0 ? "~" : "") +
                 gLetters[static_cast<size_t>(lIndex)];
    }
    return lText;
}

TEST(CompiledFormula, LargeSpacesGetACircuitAndFailingOnesTheScalarWalk) {
    const MatrixPtr lWide = Parser::Parse(OnlyOneWorld(16, 0));
    const Predicates lWidePredicates = lWide->CollectPredicates();
    EXPECT_TRUE(CompiledFormula(*lWide, lWidePredicates).HasCircuit());

    // A binary predicate must fail exactly where the reference reaches it: no circuit.
    const MatrixPtr lBinary = Parser::Parse(OnlyOneWorld(16, 0) + "|aLb");
    const MatrixPtr lClosed = Factory::Bind(lBinary->FreeVariables(), lBinary, &Factory::ForAll);
    const Predicates lBinaryPredicates = lClosed->CollectPredicates();
    EXPECT_FALSE(CompiledFormula(*lClosed, lBinaryPredicates).HasCircuit());

    const MatrixPtr lSmall = Parser::Parse("p->q");
    const Predicates lSmallPredicates = lSmall->CollectPredicates();
    EXPECT_FALSE(CompiledFormula(*lSmall, lSmallPredicates).HasCircuit());
}

TEST(CompiledFormula, ACancellationStopsTheCircuitAndTheScalarWalk) {
    // 2^20 kinds of worlds: 256 blocks of the circuit, each a step of work.
    const MatrixPtr lWide = Parser::Parse("(" + OnlyOneWorld(20, 0) + ")|~(" + OnlyOneWorld(20, 0) + ")");
    const Predicates lWidePredicates = lWide->CollectPredicates();
    const CompiledFormula lCircuit(*lWide, lWidePredicates);
    ASSERT_TRUE(lCircuit.HasCircuit());
    // Nested quantifiers over objects: the scalar walk, whose every object is a step.
    const MatrixPtr lNested = Parser::Parse("x,y,z,(Fx|Fy|Fz|~(Fx|Fy|Fz))");
    const Predicates lNestedPredicates = lNested->CollectPredicates();
    const CompiledFormula lScalar(*lNested, lNestedPredicates);
    ASSERT_FALSE(lScalar.HasCircuit());
    const auto fStopMessage = [](const std::function<void()>& fWork) {
        Cancellation lCancellation;
        lCancellation.SetWorkLimit(3);
        const Cancellation::Scope lScope(&lCancellation);
        try {
            fWork();
        } catch (const std::exception& lFailure) {
            return std::string(lFailure.what());
        }
        return std::string("not stopped");
    };
    const std::string lStopped = "Stopped after 3 steps of work: the work limit is used up.";
    for (const CompiledFormula* lCompiled : {&lCircuit, &lScalar}) {
        EXPECT_EQ(fStopMessage([&] { lCompiled->Decide(); }), lStopped);
        EXPECT_EQ(fStopMessage([&] { lCompiled->FirstCounterexample(0, 0xFFFFF); }), lStopped);
    }
    // Without one both decide as usual.
    EXPECT_EQ(lCircuit.Decide(), Alethicity::Necessary);
    EXPECT_EQ(lScalar.Decide(), Alethicity::Necessary);
}

TEST(CompiledFormula, FindsTheOneWorldAcrossBlocks) {
    // 2^18 kinds of worlds in 64 blocks; the letters set by aNegated's complement pick one.
    const uint32_t lNegated = 0x2A5A5;
    const MatrixPtr lOnly = Parser::Parse(OnlyOneWorld(18, lNegated));
    const Predicates lPredicates = lOnly->CollectPredicates();
    const CompiledFormula lCompiled(*lOnly, lPredicates);
    ASSERT_TRUE(lCompiled.HasCircuit());
    const uint32_t lWorld = ~lNegated & 0x3FFFF;
    // True in that world alone: no counterexample there, one beside it.
    EXPECT_EQ(lCompiled.FirstCounterexample(lWorld, lWorld), std::nullopt);
    EXPECT_EQ(lCompiled.FirstCounterexample(lWorld ^ 1, lWorld ^ 1), lWorld ^ 1);
    EXPECT_EQ(lCompiled.Decide(), Alethicity::Contingent);

    // Its negation is false there only: the counterexample search must land on it from any
    // start, inside a block or at its edge, and find nothing past it.
    const MatrixPtr lAllBut = Factory::Not(lOnly);
    const Predicates lAllButPredicates = lAllBut->CollectPredicates();
    const CompiledFormula lNegation(*lAllBut, lAllButPredicates);
    EXPECT_EQ(lNegation.FirstCounterexample(0, 0x3FFFF), lWorld);
    EXPECT_EQ(lNegation.FirstCounterexample(lWorld - 1, lWorld), lWorld);
    EXPECT_EQ(lNegation.FirstCounterexample(lWorld & ~0xFFFu, lWorld | 0xFFFu), lWorld);
    EXPECT_EQ(lNegation.FirstCounterexample(lWorld + 1, 0x3FFFF), std::nullopt);
    EXPECT_EQ(lNegation.FirstCounterexample(0, lWorld - 1), std::nullopt);
}

TEST(CompiledFormula, VerdictsOnLargeSpacesMatchTheReference) {
    const std::vector<std::string> lStatements{
        OnlyOneWorld(17, 0x1F0F0),
        OnlyOneWorld(17, 0x1F0F0) + "&~q",
        "(" + OnlyOneWorld(17, 0) + ")->a",
        // Five unary predicates with one object per kind: 2^32 kinds of worlds, stopped early.
        "(x,Ax->Bx)&(x,Cx->Dx)->(x,Ex)",
        // Modal, 2^16 interpretations.
        "([](p->q)&[](q->r)&[](r->s))->[](p->s)",
        "<>(p&q&r&s)->[](p|q|r|s)",
    };
    for (const std::string& lStatement : lStatements) {
        SCOPED_TRACE(lStatement);
        const MatrixPtr lRoot = Parser::Parse(lStatement);
        const Alethicity lCompiled = DecideWith(*lRoot, CompiledEngine());
        if (lStatement.find("Ex") != std::string::npos) {
            EXPECT_EQ(lCompiled, Alethicity::Contingent);
            continue; // the reference would walk far too long to compare on every run
        }
        EXPECT_EQ(lCompiled, DecideWith(*lRoot, ReferenceEngine()));
    }
}

TEST(CompiledFormula, AFailureMetByManyWorkersIsReportedOnce) {
    // Every world reaches the binary predicate, across 2^20 worlds and both workers.
    const MatrixPtr lRoot = Parser::Parse("(" + OnlyOneWorld(20, 0) + ")|aLb");
    for (const DecisionEngine* lEngine : RegisteredEngines()) {
        if (!lEngine->DecidesThroughNumbering()) {
            continue; // the SAT engine decides binary predicates by the models it finds
        }
        try {
            DecideWith(*lRoot, *lEngine);
            FAIL() << "no failure";
        } catch (const EngineException& lFailure) {
            EXPECT_STREQ(lFailure.what(), "Can't decide a proposition that contains binary predicates.");
        }
    }
}

/// aWork's result, computed on a thread with a stack of only aBytes.
template <typename Work> auto OnSmallStack(size_t aBytes, Work aWork) -> decltype(aWork()) {
    struct Call {
        Work* mWork;
        std::optional<decltype(aWork())> mResult;
        static void* Run(void* aCall) {
            auto* lCall = static_cast<Call*>(aCall);
            lCall->mResult.emplace((*lCall->mWork)());
            return nullptr;
        }
    } lCall{&aWork, std::nullopt};
    pthread_attr_t lAttributes;
    pthread_attr_init(&lAttributes);
    pthread_attr_setstacksize(&lAttributes, aBytes);
    pthread_t lThread;
    EXPECT_EQ(pthread_create(&lThread, &lAttributes, &Call::Run, &lCall), 0);
    pthread_attr_destroy(&lAttributes);
    pthread_join(lThread, nullptr);
    return *lCall.mResult;
}

TEST(CompiledFormula, DeepFormulasNeedNoLargeStackFromTheCaller) {
    // Thousands of statements become a conjunction nested thousands deep: compiling it and
    // walking it recurse that deep, far more than the caller's small stack holds.
    std::vector<std::string> lLines;
    for (int lLine = 0; lLine < 3000; ++lLine) {
        lLines.push_back(lLine % 2 == 0 ? "p|q" : "~(p&q)|r");
    }
    const MatrixPtr lRoot = Parser::Parse(lLines);
    EXPECT_EQ(OnSmallStack(256 * 1024, [&] { return DecideWith(*lRoot, CompiledEngine()); }),
              Alethicity::Contingent);
    SearchPosition lPosition;
    EXPECT_TRUE(OnSmallStack(256 * 1024, [&] {
        return FindNextHitWith(*lRoot, false, lPosition, CompiledEngine()).has_value();
    }));
}

TEST(CompiledFormula, SearchesKeepTheirOwnPositions) {
    const MatrixPtr lP = Atom("p");
    const MatrixPtr lQ = Atom("q");
    const MatrixPtr lEither = Or(lP, lQ);
    SearchPosition lFirst;
    SearchPosition lSecond;
    ASSERT_NE(FindNextWith(*lEither, true, lFirst, CompiledEngine()), nullptr);
    ASSERT_NE(FindNextWith(*lEither, true, lFirst, CompiledEngine()), nullptr);
    ASSERT_NE(FindNextWith(*lEither, true, lSecond, ReferenceEngine()), nullptr);
    // Worlds 1, 2, 3 make p or q true: two calls reach 2, one reaches 1; the node's own search
    // has not moved.
    EXPECT_EQ(lFirst.mLastFound, 2u);
    EXPECT_EQ(lSecond.mLastFound, 1u);
    const auto lFromTheNode = lEither->FindNextExample();
    const auto* lWorld = dynamic_cast<const KindOfWorld*>(lFromTheNode.get());
    ASSERT_NE(lWorld, nullptr);
    EXPECT_TRUE(lWorld->Affirms(static_cast<const NullPredicate&>(*lP)));
    EXPECT_FALSE(lWorld->Affirms(static_cast<const NullPredicate&>(*lQ)));
}

} // namespace
} // namespace Logic
