// Per-thread instantiation of variables: each thread sees only what it stored itself.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "model/Factory.h"

namespace Logic {
namespace {

TEST(Instantiation, UnsetVariableHasNothing) {
    auto x = Factory::Variable('x');
    EXPECT_FALSE(x->InstantiatedKindOfObject().has_value());
    EXPECT_EQ(x->InstantiatedKindOfWorld(), 0u);
}

TEST(Instantiation, StoresAndOverwritesForTheCallingThread) {
    auto x = Factory::Variable('x');
    x->Instantiate({3, 1}, 7);
    ASSERT_TRUE(x->InstantiatedKindOfObject().has_value());
    EXPECT_EQ(*x->InstantiatedKindOfObject(), (DistinguishableObject{3, 1}));
    EXPECT_EQ(x->InstantiatedKindOfWorld(), 7u);
    x->Instantiate({4, 0}, 9);
    EXPECT_EQ(*x->InstantiatedKindOfObject(), (DistinguishableObject{4, 0}));
    EXPECT_EQ(x->InstantiatedKindOfWorld(), 9u);
}

TEST(Instantiation, VariablesDoNotShareSlots) {
    auto x = Factory::Variable('x');
    auto lOtherX = Factory::Variable('x');
    x->Instantiate({1, 2}, 3);
    lOtherX->Instantiate({5, 6}, 7);
    EXPECT_EQ(*x->InstantiatedKindOfObject(), (DistinguishableObject{1, 2}));
    EXPECT_EQ(x->InstantiatedKindOfWorld(), 3u);
    EXPECT_EQ(*lOtherX->InstantiatedKindOfObject(), (DistinguishableObject{5, 6}));
}

TEST(Instantiation, AnotherThreadSeesNoneWhileThisOneHasIt) {
    auto x = Factory::Variable('x');
    x->Instantiate({2, 5}, 11);
    bool lOtherHadObject = true;
    uint32_t lOtherWorld = 99;
    DistinguishableObject lOtherStored{};
    std::thread lOther([&] {
        lOtherHadObject = x->InstantiatedKindOfObject().has_value();
        lOtherWorld = x->InstantiatedKindOfWorld();
        x->Instantiate({8, 8}, 21);
        lOtherStored = *x->InstantiatedKindOfObject();
    });
    lOther.join();
    EXPECT_FALSE(lOtherHadObject);
    EXPECT_EQ(lOtherWorld, 0u);
    EXPECT_EQ(lOtherStored, (DistinguishableObject{8, 8}));
    EXPECT_EQ(*x->InstantiatedKindOfObject(), (DistinguishableObject{2, 5}));
    EXPECT_EQ(x->InstantiatedKindOfWorld(), 11u);
}

TEST(Instantiation, ParallelThreadsKeepTheirOwnValues) {
    auto lVariables = Factory::MakeNVariables(8);
    std::atomic<int> lMismatches{0};
    std::vector<std::thread> lThreads;
    for (uint32_t t = 0; t < 4; ++t) {
        lThreads.emplace_back([&, t] {
            for (uint32_t lRound = 0; lRound < 5000; ++lRound) {
                for (uint32_t v = 0; v < lVariables.size(); ++v) {
                    lVariables[v]->Instantiate({t, lRound}, v);
                }
                for (uint32_t v = 0; v < lVariables.size(); ++v) {
                    auto lObject = lVariables[v]->InstantiatedKindOfObject();
                    if (!lObject || *lObject != DistinguishableObject{t, lRound} ||
                        lVariables[v]->InstantiatedKindOfWorld() != v) {
                        ++lMismatches;
                    }
                }
            }
        });
    }
    for (auto& lThread : lThreads) {
        lThread.join();
    }
    EXPECT_EQ(lMismatches.load(), 0);
}

TEST(Instantiation, NewVariableNeverInheritsAFreedOnesSlot) {
    // Freed and new variables may share an address; they must not share instantiations.
    for (int i = 0; i < 100; ++i) {
        auto lOld = Factory::Variable('x');
        lOld->Instantiate({1, 1}, 1);
        lOld.reset();
        auto lNew = Factory::Variable('x');
        ASSERT_FALSE(lNew->InstantiatedKindOfObject().has_value()) << i;
        ASSERT_EQ(lNew->InstantiatedKindOfWorld(), 0u) << i;
    }
}

TEST(Instantiation, IdentitiesAreUnique) {
    auto x = Factory::Variable('x');
    auto y = Factory::Variable('x');
    EXPECT_NE(x->Identity(), y->Identity());
}

} // namespace
} // namespace Logic
