// Colouring: the style of every byte of a few documents, and that styling from a line start
// outside every parenthesis agrees with styling the whole document (the editor's lexer restyles
// from such a line after each edit).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "parser/Highlighting.h"

namespace Logic::ParserTests {
namespace {

using Highlighting::Style;
using Highlighting::StyleNotation;

/// One letter per byte: the styles of aText laid out under it. A parenthesis of the parenthesis
/// style shows as itself.
std::string StyleLetters(std::string_view aText) {
    const auto lStyled = StyleNotation(aText);
    std::string lLetters;
    for (size_t lByte = 0; lByte < lStyled.mStyles.size(); ++lByte) {
        if (aText[lByte] == '\n') {
            lLetters += '\n';
            continue;
        }
        static constexpr char gLetters[] = ".cdoqmPvpn_!";
        const Style lStyle = lStyled.mStyles[lByte];
        lLetters += lStyle == Style::Parenthesis ? aText[lByte] : gLetters[static_cast<int>(lStyle)];
    }
    return lLetters;
}

TEST(Highlighting, EveryClassInOneDocument) {
    const std::string lDocument = "#replace some 3\n"
                                  "x, Fx -> Gx & aRb   // all of them\n"
                                  "3y,(~Fy | y=a) ^ [] p <=> <>q -< r ! s\n"
                                  "~SaP' & Se~P\n"
                                  "2F | 12pq\n"
                                  ".'.\n"
                                  "#Replace x y\n";
    const std::string lExpected = "ddddddddddddddd\n"
                                  "qq.Pv.oo.Pv.o.vPv...cccccccccccccc\n"
                                  "qqq(oPv.o.vPv).o.mm.p.ooo.mmp.mm.p.o.p\n"
                                  "oPqPq.o.PqoP\n"
                                  "nn.o.nnnn\n"
                                  "ooo\n"
                                  "!!!!!!!!!!!!\n";
    EXPECT_EQ(StyleLetters(lDocument), lExpected);
}

TEST(Highlighting, TokensAreCutAsWithoutWhiteSpace) {
    // "F x" is the predication Fx once the space is gone, and "x Fy" the binary predication xFy;
    // "//" in a directive is no comment.
    EXPECT_EQ(StyleLetters("F x\nx Fy\nx,\r\n#replace // &"),
              "P.v\nv.Pv\nqq.\nddddddddddddd");
}

TEST(Highlighting, ReplacedWordsTakeTheStyleOfTheirReplacement) {
    // The rules apply from the line after their directive ("pandq" before it is no token but its
    // last letter); "some" becomes the "3" of "3y,"; "and" is a word only where it stands alone.
    EXPECT_EQ(StyleLetters("p and q\n#replace and &\n#replace some 3\nsome y, Fy and band\n"),
              "......p\ndddddddddddddd\nddddddddddddddd\nqqqq.qq.Pv.ooo....p\n");
    // Styling from a later line still knows the directives above it.
    const std::string lDocument = "#replace and &\np\nq and r\n";
    const auto lStyled = StyleNotation(lDocument, lDocument.find('q'));
    EXPECT_EQ(lStyled.mStyles[2], Style::Connective);
}

TEST(Highlighting, ParenthesesWithoutPartnersAreErrors) {
    EXPECT_EQ(StyleLetters("(p & (q)\n) | r)\n(s"),
              "(p.o.(p)\n).o.p!\n!p");
    // A parenthesis in a comment counts for nothing.
    EXPECT_EQ(StyleLetters("(p // )\n)"), "(p.cccc\n)");
    EXPECT_EQ(StyleLetters("p) & (q"), "p!.o.!p");
}

TEST(Highlighting, LogicSymbolsAreOneTokenEach) {
    // U+2200 U+0078, U+00AC, U+2227, U+2192, U+25A1, U+25C7, U+2234, U+2260: every byte of a
    // symbol takes its style, and the quantifier its variable.
    const std::string lText = "\xE2\x88\x80x (Fx \xE2\x86\x92 \xC2\xAC" "Gx) \xE2\x88\xA7 "
                              "\xE2\x96\xA1p \xE2\x97\x87q\n\xE2\x88\xB4 a\xE2\x89\xA0" "b";
    EXPECT_EQ(StyleLetters(lText), "qqqq.(Pv.ooo.ooPv).ooo.mmmp.mmmp\nooo.vPPPv");
}

/// Documents to restyle: the examples, and a few with parentheses across lines and without
/// partners.
std::vector<std::string> Documents() {
    std::vector<std::string> lDocuments = {
        "(p &\n q)\n-> r\n(s |\n// t)\n t)\n",
        "(p\n(q\n)\nr) & (\n\ns\n",
        ")\n(\n)\n)p(\n",
        "#replace and &\np and q\n\n\xE2\x88\x80x (Fx\n \xE2\x86\x92 Gx)\n",
    };
    for (const auto& lEntry :
         std::filesystem::directory_iterator(std::filesystem::path(QUENDRAL_SOURCE_DIR) /
                                             "examples")) {
        std::ifstream lFile(lEntry.path(), std::ios::binary);
        std::ostringstream lText;
        lText << lFile.rdbuf();
        lDocuments.push_back(lText.str());
    }
    return lDocuments;
}

TEST(Highlighting, RestylingFromAClosedLineStartAgreesWithTheWhole) {
    for (const std::string& lDocument : Documents()) {
        SCOPED_TRACE(lDocument);
        const auto lWhole = StyleNotation(lDocument);
        ASSERT_EQ(lWhole.mStyles.size(), lDocument.size());
        size_t lLine = 0;
        for (size_t lStart = 0; lStart < lDocument.size();
             lStart = lDocument.find('\n', lStart) + 1, ++lLine) {
            if (lWhole.mOpenAtLineStarts[lLine] != 0) {
                continue;
            }
            const auto lRest = StyleNotation(lDocument, lStart);
            EXPECT_TRUE(std::equal(lRest.mStyles.begin(), lRest.mStyles.end(),
                                   lWhole.mStyles.begin() + static_cast<ptrdiff_t>(lStart),
                                   lWhole.mStyles.end()))
                << "from byte " << lStart;
            EXPECT_TRUE(std::equal(lRest.mOpenAtLineStarts.begin(),
                                   lRest.mOpenAtLineStarts.end(),
                                   lWhole.mOpenAtLineStarts.begin() +
                                       static_cast<ptrdiff_t>(lLine)))
                << "from byte " << lStart;
            if (lDocument.find('\n', lStart) == std::string::npos) {
                break;
            }
        }
    }
}

TEST(Highlighting, StylingStopsOnlyWhereNothingIsOpen) {
    for (const std::string& lDocument : Documents()) {
        SCOPED_TRACE(lDocument);
        const auto lWhole = StyleNotation(lDocument);
        for (size_t lAtLeast = 0; lAtLeast <= lDocument.size(); ++lAtLeast) {
            const auto lPart = StyleNotation(lDocument, 0, lAtLeast);
            const size_t lEnd = lPart.mStyles.size();
            ASSERT_GE(lEnd, std::min(lAtLeast, lDocument.size()));
            if (lAtLeast == 0) {
                continue;
            }
            // It ends at the end, or at a line start where the whole styling has nothing open.
            if (lEnd < lDocument.size()) {
                ASSERT_GT(lEnd, 0u);
                ASSERT_EQ(lDocument[lEnd - 1], '\n') << "stopped within a line at " << lEnd;
                ASSERT_EQ(lPart.mOpenAtLineStarts.back(), 0u);
                const size_t lLine = static_cast<size_t>(
                    std::count(lDocument.begin(), lDocument.begin() + static_cast<ptrdiff_t>(lEnd),
                               '\n'));
                EXPECT_EQ(lWhole.mOpenAtLineStarts[lLine], 0u) << "stopped at " << lEnd;
            }
            EXPECT_TRUE(std::equal(lPart.mStyles.begin(), lPart.mStyles.end(),
                                   lWhole.mStyles.begin()))
                << "styling to at least " << lAtLeast;
        }
    }
}

} // namespace
} // namespace Logic::ParserTests
