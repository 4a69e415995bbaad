// Directives, comments, replacements and white space, line by line.

#include <gtest/gtest.h>

#include "parser/Characters.h"
#include "parser/ReplacementRules.h"
#include "parser/UnicodeClasses.h"
#include "ParserTestSupport.h"

namespace Logic::ParserTests {
namespace {

using Lines = std::vector<std::string>;

TEST(Preprocessing, RemovesCommentsWhiteSpaceAndEmptyLines) {
    EXPECT_EQ(Parser::Preprocess({"p -> q   // rule", "", "   ", "// only a comment", "\tq\r"}),
              (Lines{"p->q", "q"}));
    // Everything from the first "//" goes, later ones included.
    EXPECT_EQ(Parser::Preprocess({"a // b // c"}), (Lines{"a"}));
}

TEST(Preprocessing, UnicodeWhiteSpaceIsRemovedButOtherCharactersStay) {
    // No-break space, em space, ideographic space and next line are white space; the zero-width
    // space (a format character) is not.
    EXPECT_EQ(Parser::Preprocess({"p\xC2\xA0&\xE2\x80\x83q\xE3\x80\x80\xC2\x85"}), (Lines{"p&q"}));
    EXPECT_EQ(Parser::Preprocess({"p\xE2\x80\x8Bq"}), (Lines{"p\xE2\x80\x8Bq"}));
    // Malformed bytes are kept as they are, never dropped or joined to a neighbour.
    EXPECT_EQ(Parser::Preprocess({"p \xFF q \xC3"}), (Lines{"p\xFFq\xC3"}));
}

TEST(Preprocessing, CharacterClassesComeFromTheUnicodeTable) {
    EXPECT_TRUE(IsWordCharacter(U'\u00E4'));  // letter
    EXPECT_TRUE(IsWordCharacter(U'\u0301'));  // non-spacing mark
    EXPECT_TRUE(IsWordCharacter(U'\u0663'));  // Arabic-Indic digit
    EXPECT_TRUE(IsWordCharacter(U'_'));       // connector punctuation
    EXPECT_TRUE(IsWordCharacter(U'\U0001D400'));  // letter beyond the first plane
    EXPECT_FALSE(IsWordCharacter(U'-'));
    EXPECT_FALSE(IsWordCharacter(U'\u00A0'));
    EXPECT_TRUE(IsWhiteSpace(U'\u2029'));
    EXPECT_TRUE(IsWhiteSpace(U'\v'));
    EXPECT_FALSE(IsWhiteSpace(U'\u200B'));
    EXPECT_TRUE(IsDecimalDigit(U'\u0663'));
    EXPECT_FALSE(IsDecimalDigit(U'\u00B2'));  // superscript two is no decimal digit
}

TEST(Preprocessing, MalformedUtf8DecodesToSingleUnclassifiedBytes) {
    // Overlong "/", a surrogate, a truncated sequence and a lone continuation byte.
    for (const std::string lText : {"\xC0\xAF", "\xED\xA0\x80", "\xE2\x82", "\x80"}) {
        const DecodedCharacter lCharacter = DecodeCharacter(lText, 0);
        EXPECT_EQ(lCharacter.mLength, 1u) << lText;
        EXPECT_FALSE(lCharacter.IsWord() || lCharacter.IsSpace() || lCharacter.IsDigit());
    }
    const DecodedCharacter lEuro = DecodeCharacter("\xE2\x82\xAC", 0);
    EXPECT_TRUE(lEuro.mValid);
    EXPECT_EQ(lEuro.mCodePoint, U'\u20AC');
    EXPECT_EQ(lEuro.mLength, 3u);
}

TEST(Preprocessing, DirectiveSyntax) {
    EXPECT_TRUE(ReplacementRules::IsReplacementDirective("#replace and &"));
    EXPECT_TRUE(ReplacementRules::IsReplacementDirective("#  replace\tand \t&  \r"));
    EXPECT_TRUE(ReplacementRules::IsReplacementDirective("#replace and &\n"));
    for (const char* lLine : {"#replace a b // note", "#Replace a b", "#", "#replace a",
                              "#replacea b", "#replace a b c", "# replace"}) {
        EXPECT_FALSE(ReplacementRules::IsReplacementDirective(lLine)) << lLine;
        EXPECT_EQ(DocumentError({lLine, "p"}), std::string("Invalid replacement directive: ") + lLine);
    }
}

TEST(Preprocessing, ADirectiveNeedsItsHashFirst) {
    // With a space before "#", the line is a statement and fails in the grammar.
    EXPECT_EQ(DocumentError({" #replace a b"}),
              "Expected predication or parenthesized expression, found \"#replaceab\"");
}

TEST(Preprocessing, InvalidDirectiveIsReportedBeforeAnyStatementIsParsed) {
    EXPECT_EQ(DocumentError({"p&&q", "#replace"}), "Invalid replacement directive: #replace");
}

TEST(Preprocessing, RulesApplyToLaterLinesOnly) {
    EXPECT_EQ(Parser::Preprocess({"p and q", "#replace and &", "p and q"}),
              (Lines{"pandq", "p&q"}));
    EXPECT_EQ(DocumentText({"#replace and &", "#replace not ~", "not p and q"}), "(~p&q)");
}

TEST(Preprocessing, DirectivesKeepTheirTextUnreplacedAndUncommented) {
    // The second directive's word is taken as written although the first rule would rewrite it.
    EXPECT_EQ(Parser::Preprocess({"#replace x y", "#replace x z", "x"}), (Lines{"y"}));
    EXPECT_EQ(Parser::Preprocess({"#replace a b", "#replace b c", "a"}), (Lines{"c"}));
    // Comments go before replacement, so a replacement that makes "//" starts no comment.
    EXPECT_EQ(Parser::Preprocess({"#replace or //", "p or q"}), (Lines{"p//q"}));
}

TEST(Preprocessing, WordBoundaries) {
    ReplacementRules lRules;
    lRules.Add("#replace and &");
    EXPECT_EQ(lRules.Apply("band andy and"), "band andy &");
    EXPECT_EQ(lRules.Apply("and"), "&");
    // The space between the two words is consumed by the first match.
    EXPECT_EQ(lRules.Apply("p and and q"), "p & and q");
    // Non-ASCII letters are word characters; malformed bytes are not.
    EXPECT_EQ(lRules.Apply("\xC3\xA4" "and and\xC3\xA4 \xFF" "and"), "\xC3\xA4" "and and\xC3\xA4 \xFF&");
}

TEST(Preprocessing, SymbolWordsNeedAWordCharacterOrSpaceBeside) {
    ReplacementRules lRules;
    lRules.Add("#replace => ->");
    EXPECT_EQ(lRules.Apply("p => q"), "p -> q");
    EXPECT_EQ(lRules.Apply("p=>q"), "p->q");
    EXPECT_EQ(lRules.Apply("=>q"), "->q");
    EXPECT_EQ(lRules.Apply("(p)=>(q)"), "(p)=>(q)");
}

TEST(Preprocessing, MixedWordsTakeEachSidesBoundary) {
    // Letter first, symbol last: a non-word character (or the start) on the left, a word
    // character, white space or the end on the right.
    EXPECT_EQ(DocumentText({"#replace x, 3x,", "x,Fx"}), "~(x,~Fx)");
    EXPECT_EQ(DocumentText({"#replace x, 3x,", "x, Fx"}), "~(x,~Fx)");
    EXPECT_EQ(DocumentText({"#replace x, 3x,", "x,(Fx)"}), "(x,Fx)");
}

TEST(Preprocessing, ReplacementIsPlainText) {
    // A leading digit is not a group reference, and "$" stands for itself.
    EXPECT_EQ(DocumentText({"#replace some 3", "some x, Fx"}), "~(x,~Fx)");
    ReplacementRules lRules;
    lRules.Add("#replace q $1$2");
    EXPECT_EQ(lRules.Apply("p q r"), "p $1$2 r");
}

TEST(Preprocessing, EndAlsoMatchesBeforeAFinalLineFeed) {
    ReplacementRules lRules;
    lRules.Add("#replace => ->");
    EXPECT_EQ(lRules.Apply("p =>\n"), "p ->\n");
    EXPECT_EQ(Parser::Preprocess({"p // comment\n"}), (Lines{"p"}));
    EXPECT_TRUE(ReplacementRules::EndsWithWord("and\n"));
    EXPECT_FALSE(ReplacementRules::EndsWithWord("an-"));
    EXPECT_TRUE(ReplacementRules::EndsWithWord("x\xC3\xA4"));
}

} // namespace
} // namespace Logic::ParserTests

namespace Logic::ParserTests {
namespace {

std::string Repeated(const std::string& aPiece, size_t aCount) {
    std::string lText;
    for (size_t lIndex = 0; lIndex < aCount; ++lIndex) {
        lText += aPiece;
    }
    return lText;
}

TEST(ReplacementGrowth, DoublingRulesStopAtTheLimitNamingTheirLine) {
    // Each rule doubles the letters: after k rules 'p' has become 6 * 2^k - 5 bytes. 19 rules
    // stay below 4 MiB of growth; the 20th would pass it.
    ReplacementRules lRules;
    for (size_t lLine = 1; lLine <= 19; ++lLine) {
        lRules.Add("#replace p (p)&(p)", lLine);
    }
    const std::string lGrown = lRules.Apply("p");
    EXPECT_EQ(lGrown.size(), 6u * (size_t{1} << 19) - 5);

    ReplacementRules lMore;
    for (size_t lLine = 1; lLine <= 20; ++lLine) {
        lMore.Add("#replace p (p)&(p)", lLine + 3);
    }
    EXPECT_EQ(ParseErrorOf([&] { lMore.Apply("p"); }),
              "The replacement directive on line 23, \"#replace p (p)&(p)\", makes the document "
              "more than 4 MiB longer than it was written. A replacement that holds the word it "
              "replaces multiplies the text with every such directive; change the replacement or "
              "remove the directive.");
}

TEST(ReplacementGrowth, CountsOverTheWholeDocument) {
    // One rule that adds about a kilobyte per word, on lines of 1100 words: each line alone is
    // well below the limit, the fourth line together with the others is not. (Two spaces
    // between words, because a match consumes the space after its word.)
    const std::string lLong(1000, 'x');
    const std::string lLine = Repeated("a  ", 1100);
    const std::vector<std::string> lLines = {"#replace a " + lLong, lLine, lLine, lLine, lLine};
    const std::string lMessage = ParseErrorOf([&] { Parser::Preprocess(lLines); });
    EXPECT_EQ(lMessage.rfind("The replacement directive on line 1, \"#replace a xxxx", 0), 0u)
        << lMessage;
    EXPECT_NE(lMessage.find("more than 4 MiB longer"), std::string::npos);
    // Three such lines are fine, and a rule that shortens the text never counts.
    EXPECT_EQ(Parser::Preprocess({lLines.begin(), lLines.begin() + 4}).size(), 3u);
    EXPECT_EQ(Parser::Preprocess({"#replace xxxx y", Repeated("xxxx  ", 1000000)}).front().size(),
              1000000u);
}

TEST(ReplacementGrowth, TheDocumentOfFortyGrowingRulesFailsAtOnce) {
    // Matches do not overlap, so '(p&p)' grows the text by about 1.6 per rule: the 29th rule is
    // the one that would pass the limit.
    std::vector<std::string> lLines(40, "#replace p (p&p)");
    lLines.emplace_back("p");
    const std::string lMessage = ParseErrorOf([&] { Parser::Parse(lLines); });
    EXPECT_EQ(lMessage.rfind("The replacement directive on line 29,", 0), 0u) << lMessage;
}

} // namespace
} // namespace Logic::ParserTests
