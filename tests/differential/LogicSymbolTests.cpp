// Logic symbols against ASCII: documents in ASCII (the examples, statements that lean on how far
// a quantifier reaches, and random documents) respelt with symbols at random places must give
// the same formula as before; and a respelt document broken at one point must fail at the place
// of the text its message quotes, symbols and all.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "QuotedStretch.h"
#include "LogicSymbolSpelling.h"
#include "RandomDocuments.h"
#include "driver/MainForm.h"
#include "model/Matrix.h"
#include "parser/Characters.h"
#include "parser/LogicSymbols.h"
#include "parser/ParseError.h"
#include "parser/Parser.h"
#include "parser/SourceMap.h"

namespace Logic::Differential {
namespace {

/// The formula's text, or the failure's message.
std::string Outcome(const std::vector<std::string>& aLines) {
    try {
        return Parser::Parse(aLines)->ToString();
    } catch (const std::exception& lFailure) {
        return std::string("failure: ") + lFailure.what();
    }
}

std::vector<std::vector<std::string>> AsciiDocuments() {
    std::vector<std::vector<std::string>> lDocuments;
    for (const auto& lEntry : std::filesystem::directory_iterator(
             std::filesystem::path(QUENDRAL_SOURCE_DIR) / "examples")) {
        std::ifstream lFile(lEntry.path());
        std::stringstream lText;
        lText << lFile.rdbuf();
        lDocuments.push_back(MainForm::SplitLines(lText.str()));
    }
    // How far prefixes reach, without the parentheses the random documents put everywhere.
    for (const char* lStatement :
         {"x,Fx->Gx",  "Fa&x,Gx->Hx",   "~x,Fx&Gx",      "3x,Fx",  "x,y,xRy",   "x,(Fx->Gx)&p",
          "~x,(Fx)",   "x,3y,xRy&~x=y", "1x,Fx|1y,~x=y", "[]p->q", "p-<q",      "<>p^[]~q",
          "~FaG",      "~(FaG)",        "Fa~G",          "2F|3G",  "p!q^r<=>s", "~~a=b",
          "a=b->~a=c", "(~x=y)",        "x,~(x=y)|Fx"}) {
        lDocuments.push_back({lStatement});
    }
    lDocuments.push_back({"x,(Fx->Gx)", "3x,Fx", ".'.", "3x,Gx"});
    lDocuments.push_back({"p", "&", "q", "->", "r"});
    lDocuments.push_back({"p &", "q", "-> r", "<=> s"});
    lDocuments.push_back({"x,(Fx ->", "Gx)", "~x=y |", "p"});
    lDocuments.push_back({"(p", "&", "~q)", "<=>", "r"});
    return lDocuments;
}

/// aLines with a line break after some binary operators and opening parentheses, where a
/// statement goes on to the next line.
std::vector<std::string> BrokenAfterOperators(const std::vector<std::string>& aLines,
                                              std::mt19937_64& aRandom) {
    std::vector<std::string> lResult;
    for (const std::string& lLine : aLines) {
        std::string lPiece;
        for (const char lCharacter : lLine) {
            lPiece += lCharacter;
            const bool lBreakable =
                lCharacter == '&' || lCharacter == '|' || lCharacter == '^' || lCharacter == '(' ||
                (lCharacter == '>' && lPiece.size() > 1 && lPiece[lPiece.size() - 2] == '-');
            if (lBreakable && aRandom() % 4 == 0) {
                lResult.push_back(lPiece);
                lPiece.clear();
            }
        }
        lResult.push_back(lPiece);
    }
    return lResult;
}

TEST(LogicSymbolsAgainstAscii, RespeltDocumentsGiveTheSameFormula) {
    constexpr uint64_t lSeed = 20261209;
    std::mt19937_64 lRandom(lSeed);
    std::vector<std::vector<std::string>> lDocuments = AsciiDocuments();
    DocumentGenerator lGenerator(lSeed);
    for (int lIndex = 0; lIndex < 1500; ++lIndex) {
        const std::vector<std::string> lLines = lGenerator.Next().Lines();
        lDocuments.push_back(lIndex % 2 == 0 ? lLines : BrokenAfterOperators(lLines, lRandom));
    }
    int lParsed = 0;
    for (const std::vector<std::string>& lAscii : lDocuments) {
        const std::string lExpected = Outcome(lAscii);
        const bool lFails = lExpected.rfind("failure: ", 0) == 0;
        lParsed += lFails ? 0 : 1;
        for (int lRespelling = 0; lRespelling < 4; ++lRespelling) {
            const std::vector<std::string> lWritten = WithLogicSymbols(lAscii, lRandom);
            const std::string lOutcome = Outcome(lWritten);
            // A failure quotes the symbols as written, so only its kind is compared.
            if (lFails) {
                EXPECT_EQ(lOutcome.rfind("failure: ", 0), 0U) << lOutcome;
            } else {
                EXPECT_EQ(lOutcome, lExpected) << Joined(lAscii) << "written as\n"
                                               << Joined(lWritten);
            }
        }
    }
    EXPECT_GT(lParsed, 1000);
    // Every symbol listed was written somewhere.
    const std::vector<size_t>& lWritten = LogicSymbolsWritten();
    for (size_t lIndex = 0; lIndex < lWritten.size(); ++lIndex) {
        EXPECT_GT(lWritten[lIndex], 0U) << LogicSymbols()[lIndex].mWritten;
    }
}

TEST(LogicSymbolsAgainstAscii, FailuresQuoteAndMarkTheSymbolsAsWritten) {
    constexpr uint64_t lSeed = 20261210;
    int lChecked = 0;
    int lWithSymbols = 0;
    for (uint64_t lCase = 0; lCase < 1500; ++lCase) {
        std::mt19937_64 lRandom(lSeed + lCase);
        std::string lText = Joined(DocumentGenerator(lSeed + lCase).Next().Lines());
        const size_t lAt = lRandom() % (lText.size() + 1);
        static const char* const lBreaks[] = {"?", "\u00A7", "(",      ")",
                                              "&", "@x",     "\u2200", "\u2260"};
        lText.insert(lAt, lBreaks[lRandom() % std::size(lBreaks)]);
        const std::string lWritten = Joined(WithLogicSymbols(MainForm::SplitLines(lText), lRandom));
        try {
            Parser::Parse(MainForm::SplitLines(lWritten));
        } catch (const ParseError& lFailure) {
            const std::string lMessage = lFailure.what();
            const size_t lOpen = lMessage.find('"');
            const size_t lClose = lMessage.find('"', lOpen + 1);
            if (!lFailure.Place() || lClose == std::string::npos ||
                lMessage.find("characters left out") != std::string::npos) {
                continue;
            }
            const std::string lQuoted = lMessage.substr(lOpen + 1, lClose - lOpen - 1);
            const TextPlace lPlace = *lFailure.Place();
            SCOPED_TRACE(lMessage + "\n" + lWritten);
            const TextPlace lCounted = PlaceInText(lWritten, lPlace.mOffset, lPlace.mLength);
            EXPECT_EQ(lPlace.mLine, lCounted.mLine);
            EXPECT_EQ(lPlace.mColumn, lCounted.mColumn);
            EXPECT_EQ(QuotedStretch(lWritten, lPlace.mOffset, lPlace.mLength), lQuoted);
            ++lChecked;
            lWithSymbols += ToAsciiNotation(lQuoted) != lQuoted ? 1 : 0;
        } catch (const std::exception&) {
            // Failures of the formula's construction concern no one place.
        }
    }
    EXPECT_GT(lChecked, 500);
    EXPECT_GT(lWithSymbols, 200);
}

} // namespace
} // namespace Logic::Differential
