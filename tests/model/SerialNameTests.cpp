// Serial names: six digits at least, more when the number needs them, one per node in order of
// construction.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

#include "ModelTestSupport.h"

namespace Logic {
namespace {

using Testing::Next;
using Testing::Number;

TEST(SerialNames, SixDigitsWithLeadingZeros) {
    long lBefore = Next();
    ASSERT_LT(lBefore, 999990) << "the counter was moved too far before this test";
    MatrixPtr p = Factory::NullPredicate("p");
    MatrixPtr q = Factory::NullPredicate("q");
    EXPECT_EQ(p->Name().size(), 6u);
    EXPECT_EQ(Number(p), lBefore);
    EXPECT_EQ(Number(q), lBefore + 1);
    char lExpected[16];
    std::snprintf(lExpected, sizeof lExpected, "%06ld", lBefore);
    EXPECT_EQ(p->Name(), lExpected);
}

TEST(SerialNames, VariablesPredicatesAndTermsTakeNoNumber) {
    long lBefore = Next();
    auto x = Factory::Variable('x');
    auto F = Factory::UnaryPredicate('F');
    auto L = Factory::BinaryPredicate('L');
    Term lTerm = Factory::AllAndOnly(F, true);
    EXPECT_EQ(Next(), lBefore);
    MatrixPtr lApplied = lTerm.Apply(x);
    // The predication first, then its negation.
    EXPECT_EQ(Number(lApplied), lBefore + 1);
    EXPECT_EQ(Number(Testing::Inner(lApplied.get())), lBefore);
    EXPECT_EQ(lApplied->ToString(), "~Fx");
    EXPECT_EQ(Factory::AllAndOnly(F, false).Apply(x)->ToString(), "Fx");
    (void)L;
}

TEST(SerialNames, ApplyingATermAlwaysMakesNewNodes) {
    auto x = Factory::Variable('x');
    Term lTerm(Factory::UnaryPredicate('F'), false);
    MatrixPtr lFirst = lTerm.Apply(x);
    MatrixPtr lSecond = lTerm.Apply(x);
    EXPECT_NE(lFirst, lSecond);
    EXPECT_NE(lFirst->Name(), lSecond->Name());
    EXPECT_TRUE(lFirst->Equals(*lSecond));
}

TEST(SerialNames, NodeDroppedAtOnceStillConsumesANumber) {
    long lBefore = Next();
    { MatrixPtr lDropped = Factory::NullPredicate("p"); }
    EXPECT_EQ(Number(Factory::NullPredicate("q")), lBefore + 1);
}

TEST(SerialNames, NamesAreUniqueAcrossThreads) {
    std::vector<std::vector<std::string>> lNames(4);
    std::vector<std::thread> lThreads;
    for (auto& lList : lNames) {
        lThreads.emplace_back([&lList] {
            for (int i = 0; i < 2000; ++i) {
                lList.push_back(Factory::NullPredicate("p")->Name());
            }
        });
    }
    for (auto& lThread : lThreads) {
        lThread.join();
    }
    std::set<std::string> lAll;
    for (const auto& lList : lNames) {
        lAll.insert(lList.begin(), lList.end());
    }
    EXPECT_EQ(lAll.size(), 8000u);
}

// Must run after every test that expects six-digit names: it moves the counter past a million.
TEST(SerialNamesZ, SevenDigitsPastAMillion) {
    NamedObject::NextObjectNumber.store(std::max(Next(), 999999L));
    MatrixPtr lLast = Factory::NullPredicate("p");
    MatrixPtr lFirstLong = Factory::NullPredicate("q");
    EXPECT_EQ(lLast->Name(), "999999");
    EXPECT_EQ(lFirstLong->Name(), "1000000");
    NamedObject::NextObjectNumber.store(12345678);
    EXPECT_EQ(Factory::NullPredicate("r")->Name(), "12345678");
}

} // namespace
} // namespace Logic
