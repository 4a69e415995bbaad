#include <gtest/gtest.h>

#include "engine/Utility.h"
#include "parser/Parser.h"

namespace Logic {
namespace {

std::string Verdict(const std::vector<std::string>& aLines) {
    return Utility::StatementOfResult(*Parser::Parse(aLines));
}

TEST(ParsedVerdicts, Statements) {
    const std::string lNecessary = "The statement is necessarily true.";
    const std::string lContingent = "The statement is contingent.";
    const std::string lImpossible = "The statement is self-contradictory.";
    const std::vector<std::pair<std::string, std::string>> lCases{
        {"p|~p", lNecessary},
        {"p&~p", lImpossible},
        {"p", lContingent},
        {"[]p->p", lNecessary},
        {"p->[]p", lContingent},
        {"<>p->[]<>p", lNecessary},
        {"x,Fx->[]Fx", lNecessary},
        {"x,[]3y,x=y", lImpossible},
        {"3x,3y,(Fx&Fy&~x=y)", lContingent},
        {"3F", lContingent},
        {"3x,Fx->1F", lContingent},
        {"1F|~1F", lNecessary},
    };
    for (const auto& [lStatement, lVerdict] : lCases) {
        EXPECT_EQ(Verdict({lStatement}), lVerdict) << lStatement;
    }
}

TEST(ParsedVerdicts, Syllogism) {
    EXPECT_EQ(Verdict({"MaP", "SaM", ".'.", "SaP"}), "The argument is valid.");
    EXPECT_EQ(Verdict({"MaP", "MaS", ".'.", "SaP"}), "The argument is invalid.");
}

TEST(ParsedVerdicts, DeeplyNestedStatements) {
    EXPECT_EQ(Verdict({std::string(10000, '~') + "(p|~p)"}), "The statement is necessarily true.");
    std::string lChain = "p";
    for (int lLink = 0; lLink < 10000; ++lLink) {
        lChain += lLink % 2 == 0 ? "&q" : "&p";
    }
    EXPECT_EQ(Verdict({lChain}), "The statement is contingent.");
}

} // namespace
} // namespace Logic
