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
