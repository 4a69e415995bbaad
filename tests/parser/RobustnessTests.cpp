// Large and deep input, and random bytes: every input ends in a formula or in one clear error.
// Deep work runs on a large stack, as the callers of the parser run it.

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <random>

#include "model/BinaryOperator.h"
#include "model/EngineException.h"
#include "platform/LargeStack.h"
#include "ParserTestSupport.h"

namespace Logic::ParserTests {
namespace {

std::string Repeated(std::string_view aPiece, size_t aCount) {
    std::string lResult;
    lResult.reserve(aPiece.size() * aCount);
    for (size_t lIndex = 0; lIndex < aCount; ++lIndex) {
        lResult += aPiece;
    }
    return lResult;
}

std::string Nested(size_t aDepth, std::string_view aCore) {
    return Repeated("(", aDepth) + std::string(aCore) + Repeated(")", aDepth);
}

const std::string TooDeepMessageStart = "The formula is nested too deeply to parse at \"";

/// A stack far smaller than the default, so that the stack guard is reached quickly.
constexpr size_t SmallStack = size_t{8} << 20;

TEST(Robustness, LongLine) {
    RunWithLargeStack([] {
        const std::string lLine = Repeated("(p&Fa)|(~q->x,Gx)|", 6000) + "r";
        ASSERT_GT(lLine.size(), 100000u);
        const MatrixPtr lRoot = Parser::Parse(std::vector<std::string>{lLine});
        // 12,000 disjunctions nested to the left, the first disjunct at the bottom.
        size_t lDepth = 0;
        const Matrix* lNode = lRoot.get();
        while (lNode->Kind() == NodeKind::Disjunction) {
            lNode = dynamic_cast<const BinaryOperator&>(*lNode).Left().get();
            ++lDepth;
        }
        EXPECT_EQ(lDepth, 12000u);
        EXPECT_EQ(lNode->ToString(), "(p&Fa)");
    });
}

TEST(Robustness, LongChainsAreLoopsNotRecursion) {
    // A chain of operators nests as deep as it is long, yet parses on a small stack: the grammar
    // walks chains and prefixes in loops.
    RunWithLargeStack(
        [] {
            const MatrixPtr lChain = Parser::Parse(Repeated("Fa|", 300000) + "Fa");
            EXPECT_EQ(lChain->NonNullPredications().size(), 1u);
            EXPECT_EQ(Parser::Parse(Repeated("~", 300000) + "p")->Kind(), NodeKind::Negation);
            const MatrixPtr lQuantified = Parser::Parse(Repeated("x,", 100000) + "Fx");
            EXPECT_EQ(lQuantified->Kind(), NodeKind::UniversalGeneralization);
            EXPECT_TRUE(lQuantified->FreeVariables().empty());
            const MatrixPtr lRoot = Parser::Parse(Repeated("(Fa|Fa)&", 15000) + "Fa");
            EXPECT_EQ(lRoot->NonNullPredications().size(), 1u);
        },
        SmallStack);
}

TEST(Robustness, DeepParentheses) {
    RunWithLargeStack([] {
        EXPECT_EQ(Parser::Parse(Nested(100000, "p"))->ToString(), "p");
        const MatrixPtr lDeep = Parser::Parse(Repeated("~(", 100000) + "p" + Repeated(")", 100000));
        EXPECT_EQ(lDeep->ToString(), Repeated("~", 100000) + "p");
    });
    // Parentheses are the one place the grammar recurses: nested deeper than the stack allows,
    // they end in a ParseError, not in a stack overflow.
    RunWithLargeStack(
        [] {
            const std::string lMessage =
                ParseErrorOf([] { Parser::Parse(Nested(2000000, "p")); });
            EXPECT_EQ(lMessage.rfind(TooDeepMessageStart, 0), 0u) << lMessage;
            EXPECT_NE(lMessage.find("Write it with fewer nested parentheses."), std::string::npos);
            EXPECT_LT(lMessage.size(), 500u);
        },
        SmallStack);
}

TEST(Robustness, LongDocument) {
    RunWithLargeStack([] {
        std::vector<std::string> lLines;
        for (int lLine = 0; lLine < 10000; ++lLine) {
            const char* lStatements[] = {"Fa -> Gb", "  // comment", "x, Fx | ~p", "q"};
            lLines.emplace_back(lStatements[lLine % 4]);
        }
        const MatrixPtr lRoot = Parser::Parse(lLines);
        EXPECT_EQ(lRoot->Kind(), NodeKind::Conjunction);
        EXPECT_EQ(lRoot->Conjuncts().size(), 7500u);
        // A document of premises makes an argument whose premises nest as deep.
        lLines.emplace_back(".'.");
        lLines.emplace_back("q");
        EXPECT_EQ(Parser::Parse(lLines)->Kind(), NodeKind::Argument);
        // Hundreds of thousands of lines are one long conjunction, or the premises of one
        // argument.
        std::vector<std::string> lManyLines(300000, "p");
        EXPECT_EQ(Parser::Parse(lManyLines)->Conjuncts().size(), 300000u);
        lManyLines.emplace_back(".'.");
        lManyLines.emplace_back("q");
        EXPECT_EQ(Parser::Parse(lManyLines)->Kind(), NodeKind::Argument);
    });
}

// Half the documents are bytes drawn mostly from the notation's characters, with arbitrary bytes
// mixed in; the other half are sequences of whole tokens and line pieces, so that the grammar is
// reached and not only the tokenizer's catch-all.
std::string RandomDocument(std::mt19937& aGenerator) {
    static constexpr std::string_view gAlphabet = "pqFGaxyzR=,13~&|-<>!^[]()'.#/ \n2";
    static const std::vector<std::string> gPieces = {
        "p",  "q",   "Fa", "Gx",  "aRb", "a=b", "x,", "3y,", "1x,", "~",   "[]",   "<>",
        "&",  "|",   "->", "<=>", "!",   "^",   "-<", "(",   ")",   "2pq", "2F",   "FaG",
        "~FeG'", "\n", "\n.'.\n", "\n#replace and &\n", " and ", "//", "\xFF", "\xE2\x80\x83"};
    std::uniform_int_distribution<int> lLength(0, 40);
    std::uniform_int_distribution<int> lChoice(0, 9);
    std::uniform_int_distribution<size_t> lNotation(0, gAlphabet.size() - 1);
    std::uniform_int_distribution<size_t> lPiece(0, gPieces.size() - 1);
    std::uniform_int_distribution<int> lByte(0, 255);
    const bool lInPieces = lChoice(aGenerator) < 5;
    const int lSize = lInPieces ? lLength(aGenerator) / 4 : lLength(aGenerator);
    std::string lText;
    for (int lIndex = 0; lIndex < lSize; ++lIndex) {
        if (lInPieces) {
            lText += gPieces[lPiece(aGenerator)];
        } else {
            lText += lChoice(aGenerator) == 0 ? static_cast<char>(lByte(aGenerator))
                                              : gAlphabet[lNotation(aGenerator)];
        }
    }
    return lText;
}

std::vector<std::string> SplitAtLineFeeds(const std::string& aText) {
    std::vector<std::string> lLines(1);
    for (const char lCharacter : aText) {
        if (lCharacter == '\n') {
            lLines.emplace_back();
        } else {
            lLines.back() += lCharacter;
        }
    }
    return lLines;
}

TEST(Robustness, RandomBytesEndInAFormulaOrAClearError) {
    const uint32_t lSeed = 20240611;
    std::cout << "random documents from seed " << lSeed << "\n";
    RecordProperty("seed", static_cast<int>(lSeed));
    std::mt19937 lGenerator(lSeed);
    int lFormulas = 0;
    int lErrors = 0;
    RunWithLargeStack([&] {
        for (int lCase = 0; lCase < 10000; ++lCase) {
            const std::string lText = RandomDocument(lGenerator);
            try {
                const MatrixPtr lRoot = Parser::Parse(SplitAtLineFeeds(lText));
                ASSERT_NE(lRoot, nullptr);
                ++lFormulas;
            } catch (const ParseError& lError) {
                EXPECT_NE(std::string(lError.what()), "") << "case " << lCase;
                ++lErrors;
            } catch (const EngineException& lError) {
                EXPECT_NE(std::string(lError.what()), "") << "case " << lCase;
                ++lErrors;
            } catch (const std::exception& lError) {
                ADD_FAILURE() << "case " << lCase << " of seed " << lSeed << " raised \""
                              << lError.what() << "\" for the text \"" << lText << "\"";
            }
        }
    });
    std::cout << lFormulas << " formulas, " << lErrors << " errors\n";
    // Both outcomes must occur often, or the generator tests less than it seems to.
    EXPECT_GT(lFormulas, 200);
    EXPECT_GT(lErrors, 1000);
}

} // namespace
} // namespace Logic::ParserTests
