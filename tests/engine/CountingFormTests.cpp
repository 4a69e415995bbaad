// Counting forms decided by counting, and quantifiers walked up to interchangeable objects: the
// meaning must be that of the formula, whatever its arrangement, and on every path.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CompiledFormula.h"
#include "engine/Decision.h"
#include "engine/KindOfWorld.h"
#include "engine/Predicates.h"
#include "model/Argument.h"
#include "parser/Parser.h"
#include "platform/Cancellation.h"

namespace Logic {
namespace {

const std::vector<EngineLimits> gCompiledPaths{EngineLimits{}, EngineLimits::ScalarOnly(),
                                               EngineLimits::CircuitWherePossible(),
                                               EngineLimits::ParallelCircuit()};

uint32_t ObjectsThatAre(const KindOfWorld& aWorld, const UnaryPredicate& aPredicate) {
    uint32_t lObjects = 0;
    for (const KindOfObject& lKind : aWorld.KindsOfObjects()) {
        lObjects += lKind.Affirms(aPredicate) ? lKind.NumberOfDistinguishableInstances() : 0;
    }
    return lObjects;
}

TEST(CountingForms, ExactlyNThingsAreFHoldsWhereAWorldHasNObjectsThatAreF) {
    // Every kind of world of the numbering, read back by decoding: the count of its F objects
    // decides, on the scalar walk and in the circuit alike.
    for (uint32_t lCount = 0; lCount <= 6; ++lCount) {
        const MatrixPtr lRoot = Parser::Parse(std::to_string(lCount) + "F&(x,(Gx|~Gx))");
        const Predicates lPredicates = lRoot->CollectPredicates();
        const UnaryPredicate& lF = *lPredicates.UnaryPredicates()[0];
        ASSERT_EQ(lF.ToString(), "F");
        const CompiledFormula lScalar(*lRoot, lPredicates, EngineLimits::ScalarOnly());
        const CompiledFormula lCircuit(*lRoot, lPredicates, EngineLimits::CircuitWherePossible());
        ASSERT_TRUE(lCircuit.HasCircuit()) << lCount;
        for (uint64_t lWorld = lPredicates.FirstNonemptyWorld(); lWorld <= lPredicates.LastKindOfWorld(); ++lWorld) {
            const auto lNumber = static_cast<uint32_t>(lWorld);
            const bool lExpected = ObjectsThatAre(lPredicates.DecodeKindOfWorldNumber(lNumber), lF) == lCount;
            ASSERT_EQ(lScalar.FirstCounterexample(lNumber, lNumber).has_value(), !lExpected)
                << lCount << "F in world " << lNumber;
            ASSERT_EQ(lCircuit.FirstCounterexample(lNumber, lNumber).has_value(), !lExpected)
                << lCount << "F in world " << lNumber;
        }
    }
}

/// The verdict on aText by the reference and by every compiled path; they must all agree.
Alethicity AgreedVerdict(const std::string& aText) {
    const MatrixPtr lRoot = Parser::Parse(aText);
    const Alethicity lReference = DecideWith(*lRoot, ReferenceEngine());
    for (const EngineLimits& lLimits : gCompiledPaths) {
        EXPECT_EQ(DecideWith(*lRoot, CompiledEngine(), lLimits), lReference) << aText;
    }
    return lReference;
}

TEST(CountingForms, OnlyTheExactMeaningIsCounted) {
    // "Exactly two things are F" written by hand, in other arrangements of the same conjuncts:
    // equivalent to the factory's form.
    for (const std::string lSame : {"3y,3z,((Fy&Fz)&~y=z&x,(Fx->(x=y|x=z)))",
                                    "3z,3y,(x,(Fx->(z=x|y=x))&~z=y&Fz&Fy)",
                                    "3y,3z,(Fy&(~z=y&Fz)&x,(Fx->(x=z|x=y))&Fy)"}) {
        EXPECT_EQ(AgreedVerdict("(" + lSame + ")<=>2F"), Alethicity::Necessary) << lSame;
    }
    // Near misses: a conjunct missing, one too many, another predicate, a partial closure. None
    // means "exactly two", and counting them as such would make the equivalence necessary.
    for (const std::string lOther : {"3y,3z,(Fy&Fz&x,(Fx->(x=y|x=z)))",
                                     "3y,3z,(Fy&Fz&~y=z&x,(Fx->x=y))",
                                     "3y,3z,(Fy&Fz&~y=z&Gy&x,(Fx->(x=y|x=z)))",
                                     "3y,3z,(Fy&Gz&~y=z&x,(Fx->(x=y|x=z)))",
                                     "3y,3z,(Fy&Fz&~y=z&x,(Gx->(x=y|x=z)))",
                                     "3y,3z,(Fy&Fz&~y=z&x,(Fx->(x=y|x=z|Gx)))",
                                     "3y,3z,(Fy&Fz&~y=z&x,(Fx->(x=y|x=z))&x,(Fx->x=y))"}) {
        EXPECT_EQ(AgreedVerdict("(" + lOther + ")<=>2F"), Alethicity::Contingent) << lOther;
    }
}

TEST(CountingForms, NestedQuantifiersAgreeWithTheReferenceOnEveryPath) {
    // Identities between variables bound at several depths, inside and outside modal operators:
    // where held objects and fresh ones meet, the symmetric walk must see what the full one sees.
    for (const std::string lText :
         {"x,y,z,((x=y|y=z|x=z)|(Fx&Fy&Fz)|~(Fx|Fy|Fz)|(Gx&Gy)|(Gz&~Gy))", "2F&2G->3x,(Fx&Gx)|3x,3y,(~x=y&Fx&Gy)",
          "x,[]3y,x=y", "x,(Fx->[]3y,(y=x&Fy))", "<>(2F)&<>(~2F)->~[](x,y,x=y)", "x,3y,(~x=y&(Fx<=>Fy))|1F|0F"}) {
        AgreedVerdict(lText);
    }
}

TEST(CountingForms, DocumentsThatOnceRanForMinutesEndWithinAFewSteps) {
    // Found by fuzzing and by a new user: each took seconds to minutes and up to gigabytes.
    // A work limit turns a return of the old walk into a failure rather than a hang.
    const std::vector<std::pair<std::string, Alethicity>> lDocuments{
        {"32G|G|r", Alethicity::Contingent},      {"100G", Alethicity::Contingent},
        {"40G&p", Alethicity::Contingent},        {"200G|r", Alethicity::Contingent},
        {"12F->(3x,Fx)", Alethicity::Necessary},  {"6F->(3x,Fx)", Alethicity::Necessary},
        {"5F&5G->~(x,(Fx<=>Gx))|x,(Fx<=>Gx)", Alethicity::Necessary},
    };
    for (const auto& [lText, lVerdict] : lDocuments) {
        Cancellation lCancellation;
        lCancellation.SetWorkLimit(uint64_t{1} << 24);
        const Cancellation::Scope lScope(&lCancellation);
        EXPECT_EQ(DecideWith(*Parser::Parse(lText), CompiledEngine()), lVerdict) << lText;
    }
}

} // namespace
} // namespace Logic
