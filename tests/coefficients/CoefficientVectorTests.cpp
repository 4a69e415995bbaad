#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "coefficients/CoefficientVector.h"
#include "model/EngineException.h"
#include "platform/Diagnostics.h"

namespace Logic {
namespace {

using Coefficients = std::vector<int32_t>;
using CV = CoefficientVector;

CV Letter(const std::string& aName, std::vector<std::string> aAll = {"p", "q"}) {
    return CV(aName, std::move(aAll));
}

TEST(NamedOperators, HaveTheirPolynomials) {
    EXPECT_EQ(CV::NOT().Coefficients(), (Coefficients{1, -1}));
    EXPECT_EQ(CV::AND().Coefficients(), (Coefficients{0, 0, 0, 1}));
    EXPECT_EQ(CV::NOR().Coefficients(), (Coefficients{1, -1, -1, 1}));
    EXPECT_EQ(CV::OR().Coefficients(), (Coefficients{0, 1, 1, -1}));
    EXPECT_EQ(CV::IMPL().Coefficients(), (Coefficients{1, -1, 0, 1}));
    EXPECT_EQ(CV::EQUIV().Coefficients(), (Coefficients{1, -1, -1, 2}));
    EXPECT_TRUE(CV::EQUIV().Variables().empty());
}

struct StatementRow {
    const char* mName;
    std::function<CV()> mBuild;
    const char* mToString;
    const char* mFormula;
};

TEST(Apply, GivesTheTextsOfTheCommonStatements) {
    const std::vector<StatementRow> lRows = {
        {"p", [] { return Letter("p"); }, "[0, 1, 0, 0]", "p"},
        {"not p", [] { return CV::Apply(CV::NOT(), {Letter("p", {"p"})}); }, "[1, -1]", "1 - p"},
        {"p and q", [] { return CV::Apply(CV::AND(), {Letter("p"), Letter("q")}); },
         "[0, 0, 0, 1]", "pq"},
        {"p or q", [] { return CV::Apply(CV::OR(), {Letter("p"), Letter("q")}); },
         "[0, 1, 1, -1]", "p + q - pq"},
        {"if p then q", [] { return CV::Apply(CV::IMPL(), {Letter("p"), Letter("q")}); },
         "[1, -1, 0, 1]", "1 - p + pq"},
        {"p iff q", [] { return CV::Apply(CV::EQUIV(), {Letter("p"), Letter("q")}); },
         "[1, -1, -1, 2]", "1 - p - q + 2pq"},
        {"neither p nor q", [] { return CV::Apply(CV::NOR(), {Letter("p"), Letter("q")}); },
         "[1, -1, -1, 1]", "1 - p - q + pq"},
        {"p or not p",
         [] {
             CV lP = Letter("p", {"p"});
             return CV::Apply(CV::OR(), {lP, CV::Apply(CV::NOT(), {lP})});
         },
         "[1, 0]", "1"},
        {"p and not p",
         [] {
             CV lP = Letter("p", {"p"});
             return CV::Apply(CV::AND(), {lP, CV::Apply(CV::NOT(), {lP})});
         },
         "[0, 0]", "0"},
        // The variables are ordered by name, not by their order in the statement.
        {"if q then p", [] { return CV::Apply(CV::IMPL(), {Letter("q"), Letter("p")}); },
         "[1, 0, -1, 1]", "1 - q + pq"},
    };
    for (const auto& lRow : lRows) {
        SCOPED_TRACE(lRow.mName);
        CV lVector = lRow.mBuild();
        EXPECT_EQ(lVector.ToString(), lRow.mToString);
        EXPECT_EQ(lVector.Formula(), lRow.mFormula);
    }
}

TEST(Construction, SortsTheNamesAndPlacesTheLetter) {
    CV lQ("q", {"r", "q", "p"});
    EXPECT_EQ(lQ.Variables(), (std::vector<std::string>{"p", "q", "r"}));
    EXPECT_EQ(lQ.Coefficients(), (Coefficients{0, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(CV("s", {"p", "q"}).Coefficients(), (Coefficients{0, 0, 0, 0}));
    CV lGiven(Coefficients{1, 2, 3, 4}, {"z", "a"});
    EXPECT_EQ(lGiven.Variables(), (std::vector<std::string>{"a", "z"}));
    EXPECT_EQ(lGiven.Coefficients(), (Coefficients{1, 2, 3, 4}));
}

TEST(Formula, WritesSignsMagnitudesAndProducts) {
    EXPECT_EQ(CV(Coefficients{-2, 0}, {"p"}).Formula(), "-2");
    EXPECT_EQ(CV(Coefficients{0, -1}, {"p"}).Formula(), "-p");
    EXPECT_EQ(CV(Coefficients{0, 0, 0, -2}, {"p", "q"}).Formula(), "-2pq");
    EXPECT_EQ(CV(Coefficients{3, 0, 0, -2}, {"p", "q"}).Formula(), "3 - 2pq");
    EXPECT_EQ(CV(Coefficients{0, 0, 0, 0, 0, 0, 0, 4}, {"p", "q", "r"}).Formula(), "4pqr");
    EXPECT_EQ(CV(Coefficients{0, 0}, {"p"}).Formula(), "0");
    EXPECT_EQ(CV(Coefficients{1, -1, 0, 0, 0, 0, 0, 1}, {"a", "b", "c"}).ToString(),
              "[1, -1, 0, 0, 0, 0, 0, 1]");
}

TEST(PowersOfTwo, ListsTheSetBitsLowestFirst) {
    EXPECT_EQ(CV::PowersOfTwo(9), (Coefficients{0, 3}));
    EXPECT_EQ(CV::PowersOfTwo(0), Coefficients{});
    EXPECT_EQ(CV::PowersOfTwo(6), (Coefficients{1, 2}));
}

TEST(Evaluation, ExpandsDotsAndComputesTruthValues) {
    EXPECT_EQ(CV::Expand({2, 3}), (Coefficients{1, 2, 3, 6}));
    EXPECT_EQ(CV::Expand({}), Coefficients{1});
    EXPECT_EQ(CV::DotProduct({1, 2, 3}, {4, 5, 6}), 32);
    for (int32_t lP = 0; lP <= 1; ++lP) {
        for (int32_t lQ = 0; lQ <= 1; ++lQ) {
            EXPECT_EQ(CV::TruthValue(CV::OR().Coefficients(), {lP, lQ}), lP | lQ);
            EXPECT_EQ(CV::TruthValue(CV::EQUIV().Coefficients(), {lP, lQ}), lP == lQ ? 1 : 0);
            EXPECT_EQ(CV::TruthValue(CV::IMPL().Coefficients(), {lP, lQ}), (!lP || lQ) ? 1 : 0);
            EXPECT_EQ(CV::TruthValue(CV::NOR().Coefficients(), {lP, lQ}), (!lP && !lQ) ? 1 : 0);
        }
    }
}

// Random truth functions built from the operators: the composed polynomial must agree with
// direct evaluation at every assignment, which exercises every path of Apply.
TEST(Apply, AgreesWithDirectEvaluationOnRandomStatements) {
    const std::vector<std::string> lNames = {"a", "b", "c", "d", "e"};
    std::mt19937 lRandom(20240611);
    for (int lRound = 0; lRound < 40; ++lRound) {
        SCOPED_TRACE(lRound);
        // Each entry: the vector and the truth table it must have (bit m: value at assignment m).
        std::vector<std::pair<CV, uint32_t>> lPool;
        for (size_t i = 0; i < lNames.size(); ++i) {
            uint32_t lTable = 0;
            for (uint32_t m = 0; m < 32; ++m) {
                lTable |= ((m >> i) & 1u) << m;
            }
            lPool.emplace_back(CV(lNames[i], lNames), lTable);
        }
        for (int lStep = 0; lStep < 12; ++lStep) {
            const auto& lX = lPool[lRandom() % lPool.size()];
            const auto& lY = lPool[lRandom() % lPool.size()];
            switch (lRandom() % 6) {
            case 0: lPool.emplace_back(CV::Apply(CV::NOT(), {lX.first}), ~lX.second); break;
            case 1: lPool.emplace_back(CV::Apply(CV::AND(), {lX.first, lY.first}), lX.second & lY.second); break;
            case 2: lPool.emplace_back(CV::Apply(CV::OR(), {lX.first, lY.first}), lX.second | lY.second); break;
            case 3: lPool.emplace_back(CV::Apply(CV::IMPL(), {lX.first, lY.first}), ~lX.second | lY.second); break;
            case 4: lPool.emplace_back(CV::Apply(CV::EQUIV(), {lX.first, lY.first}), ~(lX.second ^ lY.second)); break;
            default: lPool.emplace_back(CV::Apply(CV::NOR(), {lX.first, lY.first}), ~(lX.second | lY.second)); break;
            }
        }
        const auto& [lVector, lTable] = lPool.back();
        for (uint32_t m = 0; m < 32; ++m) {
            std::vector<int32_t> lValues;
            for (size_t i = 0; i < lNames.size(); ++i) {
                lValues.push_back(static_cast<int32_t>((m >> i) & 1u));
            }
            EXPECT_EQ(CV::TruthValue(lVector.Coefficients(), lValues),
                      static_cast<int32_t>((lTable >> m) & 1u))
                << "assignment " << m << " of " << lVector.Formula();
        }
    }
}

TEST(Failures, CarryTheirMessages) {
    auto fMessage = [](const std::function<void()>& fWork) -> std::string {
        try {
            fWork();
        } catch (const EngineException& lFailure) {
            return lFailure.what();
        }
        return "no failure";
    };
    EXPECT_EQ(fMessage([] { CV::Apply(CV::NOT(), {}); }), "Too few operands.");
    EXPECT_EQ(fMessage([] { CV::Apply(CV::AND(), {CV(Coefficients{0, 1}, {"p"}), CV(Coefficients{0, 1, 0, 0}, {"p", "q"})}); }),
              "Operands' lengths do not match.");
    EXPECT_EQ(fMessage([] { CV::Apply(CV::AND(), {CV(Coefficients{0, 1}, {"p"})}); }), "Too few operands.");
    EXPECT_EQ(fMessage([] { CV::DotProduct({1, 2}, {1}); }), "invalid dot product");
}

TEST(Failures, RefuseMoreLettersThanTheBound) {
    std::vector<std::string> lNames;
    for (int i = 0; i < CV::MaximumNumberOfVariables; ++i) {
        lNames.push_back(std::string(1, static_cast<char>('a' + i)));
    }
    EXPECT_EQ(CV("a", lNames).Coefficients().size(), size_t{1} << lNames.size());
    lNames.push_back("z");
    try {
        CV lTooBig("a", lNames);
        FAIL() << "no failure";
    } catch (const EngineException& lFailure) {
        EXPECT_EQ(std::string(lFailure.what()),
                  "Coefficient vectors are limited to 10 sentence letters; this statement has 11.");
    }
}

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        CV::NOT(); // the named operators' own trace comes before the capture
        Diagnostics::SetSink([this](const std::string& fLine) { mLines.push_back(fLine); });
    }
    void TearDown() override { Diagnostics::SetSink({}); }
    std::vector<std::string> mLines;
};

TEST_F(TraceTest, ReportsTheOperatorAndEveryProductOnTheConstantTerm) {
    CV lNotP = CV::Apply(CV::NOT(), {CV("p", {"p"})});
    CV::Apply(CV::NOT(), {lNotP});
    EXPECT_EQ(mLines, (std::vector<std::string>{"Applying [1, -1]", "1 added to product",
                                                "0 added to product", "Applying [1, -1]",
                                                "1 added to product", "-1 added to product"}));
    mLines.clear();
    CV::Apply(CV::AND(), {CV("p", {"p", "q"}), CV("q", {"p", "q"})});
    EXPECT_EQ(mLines, (std::vector<std::string>{"Applying [0, 0, 0, 1]", "0 added to product",
                                                "0 added to product", "0 added to product",
                                                "0 added to product"}));
}

} // namespace
} // namespace Logic
