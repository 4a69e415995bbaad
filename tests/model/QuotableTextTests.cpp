// Quoted text in messages: cut to a readable length with a visible mark, start and end kept,
// never inside a character.

#include <gtest/gtest.h>

#include <string>

#include "model/EngineException.h"
#include "model/Format.h"

namespace Logic {
namespace {

bool IsWellFormedUtf8(const std::string& aText) {
    size_t lPosition = 0;
    while (lPosition < aText.size()) {
        const auto lLead = static_cast<unsigned char>(aText[lPosition]);
        const size_t lLength = lLead < 0x80 ? 1 : lLead >= 0xF0 ? 4 : lLead >= 0xE0 ? 3 : 2;
        if (lLead >= 0x80 && lLead < 0xC0) {
            return false;
        }
        for (size_t lNext = 1; lNext < lLength; ++lNext) {
            if (lPosition + lNext >= aText.size() ||
                (static_cast<unsigned char>(aText[lPosition + lNext]) & 0xC0) != 0x80) {
                return false;
            }
        }
        lPosition += lLength;
    }
    return true;
}

TEST(QuotableText, ShortTextStaysWhole) {
    EXPECT_EQ(QuotableText(""), "");
    const std::string lLongest(MaximumQuotedBytes, 'p');
    EXPECT_EQ(QuotableText(lLongest), lLongest);
}

TEST(QuotableText, LongTextKeepsItsStartAndEndAroundAMark) {
    const std::string lText = "(p&" + std::string(100000, 'q') + "&r";
    const std::string lQuoted = QuotableText(lText);
    EXPECT_LE(lQuoted.size(), MaximumQuotedBytes + 40);
    EXPECT_EQ(lQuoted.rfind("(p&qqq", 0), 0u);
    EXPECT_EQ(lQuoted.substr(lQuoted.size() - 5), "qqq&r");
    // 100,005 characters, of which 150 at the start and 50 at the end are shown.
    EXPECT_NE(lQuoted.find("...[99805 characters left out]..."), std::string::npos) << lQuoted;
}

TEST(QuotableText, CutsBetweenCharactersAndCountsCharacters) {
    std::string lText;
    for (int lIndex = 0; lIndex < 1000; ++lIndex) {
        lText += "\xE2\x88\x80"; // three bytes each
    }
    const std::string lQuoted = QuotableText(lText);
    EXPECT_TRUE(IsWellFormedUtf8(lQuoted));
    // 50 whole characters at the start (150 bytes), 16 at the end (48 bytes).
    EXPECT_NE(lQuoted.find("...[934 characters left out]..."), std::string::npos) << lQuoted;
}

TEST(QuotableText, FailureMessagesQuoteTheirArgumentsShort) {
    const std::string lStatement = "(" + std::string(100000, 'p');
    const EngineException lFailure("Found unmatched parenthesis in \"{0}\"", lStatement);
    const std::string lMessage = lFailure.what();
    EXPECT_LT(lMessage.size(), 300u);
    EXPECT_EQ(lMessage.rfind("Found unmatched parenthesis in \"(ppp", 0), 0u);
    EXPECT_EQ(lMessage.back(), '"');
    // Numbers and short texts are untouched; a message without arguments is its own text.
    EXPECT_STREQ(EngineException("{0} of {1}", 3, "abc").what(), "3 of abc");
    EXPECT_EQ(std::string(EngineException(std::string(5000, 'x')).what()).size(), 5000u);
}

} // namespace
} // namespace Logic
