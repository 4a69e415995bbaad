// Failure places: random documents, spread over lines with comments, line breaks, carriage
// returns and non-ASCII text, then broken at one point. The place the parser gives must hold,
// in the document as written, exactly the text the message quotes, once comments and white
// space are taken out.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "QuotedStretch.h"
#include "RandomDocuments.h"
#include "driver/MainForm.h"
#include "parser/Characters.h"
#include "parser/ParseError.h"
#include "parser/Parser.h"
#include "parser/SourceMap.h"

namespace Logic::Differential {
namespace {

/// The text between the message's first pair of double quotes; empty when it quotes nothing.
std::string QuotedInMessage(const std::string& aMessage) {
    const size_t lOpen = aMessage.find('"');
    const size_t lClose = aMessage.find('"', lOpen + 1);
    return lOpen == std::string::npos || lClose == std::string::npos
               ? std::string()
               : aMessage.substr(lOpen + 1, lClose - lOpen - 1);
}

/// aText laid out as a person might: spaces around tokens, a line break after some binary
/// operators or inside parentheses, comment lines with non-ASCII text, CRLF endings.
std::string LaidOut(const std::string& aText, std::mt19937_64& aRandom) {
    auto fChance = [&](int fPercent) { return static_cast<int>(aRandom() % 100) < fPercent; };
    const char* lEnding = fChance(30) ? "\r\n" : "\n";
    std::string lResult = fChance(50) ? std::string("// Übung – ä ∀") + lEnding : "";
    int lDepth = 0;
    for (size_t lPosition = 0; lPosition < aText.size(); ++lPosition) {
        const char lCharacter = aText[lPosition];
        lResult += lCharacter;
        lDepth += lCharacter == '(' ? 1 : lCharacter == ')' ? -1 : 0;
        const bool lAfterOperator = lCharacter == '&' || lCharacter == '|';
        if ((lAfterOperator || (lDepth > 0 && lCharacter == '(')) && fChance(25)) {
            // A line that ends in a binary operator or inside parentheses joins the next.
            lResult += fChance(50) ? std::string(" // ö") : std::string();
            lResult += lEnding;
            lResult += fChance(50) ? "  " : "";
        } else if (fChance(15)) {
            lResult += ' ';
        }
    }
    return lResult + lEnding;
}

TEST(FailurePlaces, HoldTheQuotedTextInTheDocumentAsWritten) {
    constexpr uint64_t lSeed = 20261208;
    int lChecked = 0;
    for (uint64_t lCase = 0; lCase < 1500; ++lCase) {
        std::mt19937_64 lRandom(lSeed + lCase);
        const Document lDocument = DocumentGenerator(lSeed + lCase).Next();
        std::string lText;
        for (const std::string& lLine : lDocument.Lines()) {
            lText += lLine + "\n";
        }
        // Break it: a character no token accepts, an extra parenthesis, or a dangling operator.
        const size_t lAt = lRandom() % (lText.size() + 1);
        static const char* const lBreaks[] = {"?", "§", "(", ")", "&", "@x"};
        lText.insert(lAt, lBreaks[lRandom() % std::size(lBreaks)]);
        const std::string lWritten = LaidOut(lText, lRandom);
        try {
            Parser::Parse(MainForm::SplitLines(lWritten));
        } catch (const ParseError& lFailure) {
            const std::string lMessage = lFailure.what();
            const std::string lQuoted = QuotedInMessage(lMessage);
            if (!lFailure.Place()) {
                // Only failures about the whole document go without a place.
                EXPECT_TRUE(lQuoted.empty()) << lMessage << "\n" << lWritten;
                continue;
            }
            const TextPlace lPlace = *lFailure.Place();
            SCOPED_TRACE("seed " + std::to_string(lSeed + lCase) + ": " + lMessage + "\n" + lWritten);
            const TextPlace lCounted = PlaceInText(lWritten, lPlace.mOffset, lPlace.mLength);
            EXPECT_EQ(lPlace.mLine, lCounted.mLine);
            EXPECT_EQ(lPlace.mColumn, lCounted.mColumn);
            if (!lQuoted.empty() && lMessage.find("characters left out") == std::string::npos) {
                EXPECT_EQ(QuotedStretch(lWritten, lPlace.mOffset, lPlace.mLength), lQuoted);
                ++lChecked;
            }
        } catch (const std::exception&) {
            // Failures of the formula's construction concern no one place.
        }
    }
    EXPECT_GT(lChecked, 500);
}

} // namespace
} // namespace Logic::Differential
