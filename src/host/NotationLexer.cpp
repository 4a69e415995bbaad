#include "host/NotationLexer.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <string>

#include "parser/Highlighting.h"
#include "platform/Shielded.h"

namespace Logic::Npp {

namespace {

struct StyleDescription {
    const char* mName;
    const char* mTags;
    const char* mDescription;
};

// In the order of Highlighting::Style; the names are those of the style file.
constexpr StyleDescription gStyles[] = {
    {"DEFAULT", "default", "Anything else, and white space"},
    {"COMMENT", "comment", "From // to the end of the line"},
    {"DIRECTIVE", "preprocessor", "A #replace line"},
    {"CONNECTIVE", "operator", "Negation and the binary connectives, and the therefore line"},
    {"QUANTIFIER", "keyword", "Quantifiers, and the form letter of a two-term proposition"},
    {"MODAL", "keyword", "Necessarily, possibly, necessarily only if"},
    {"PREDICATE", "identifier", "Predicate letters, and identity"},
    {"VARIABLE", "identifier", "Variables and names of objects"},
    {"PROPOSITION", "identifier", "Sentence letters"},
    {"COUNTING", "literal numeric", "Counting forms"},
    {"PARENTHESIS", "operator", "Parentheses"},
    {"ERROR", "error", "A parenthesis without its partner, a malformed directive"},
};
static_assert(std::size(gStyles) == Highlighting::NumberOfStyles);

const StyleDescription* DescriptionOf(int aStyle) {
    return aStyle >= 0 && aStyle < Highlighting::NumberOfStyles ? &gStyles[aStyle] : nullptr;
}

void LexDocument(SciPosition aStart, SciPosition aLength, IDocument& aDocument) {
    const SciPosition lLength = aDocument.Length();
    // Each line's state is the number of parentheses open at its start; go back to a line where
    // none is, since a "(" before the edit may have found or lost its partner.
    SciPosition lLine = aDocument.LineFromPosition(std::clamp<SciPosition>(aStart, 0, lLength));
    while (lLine > 0 && aDocument.GetLineState(lLine) != 0) {
        --lLine;
    }
    const SciPosition lFrom = aDocument.LineStart(lLine);
    if (lFrom < 0 || lFrom >= lLength) {
        return;
    }
    // The whole document: the directives before lFrom rewrite the lines after them.
    std::string lText(static_cast<size_t>(lLength), '\0');
    aDocument.GetCharRange(lText.data(), 0, lLength);
    const SciPosition lWanted = std::clamp<SciPosition>(aStart + aLength, lFrom, lLength);
    const Highlighting::StyledText lStyled = Highlighting::StyleNotation(
        lText, static_cast<size_t>(lFrom), static_cast<size_t>(lWanted));
    aDocument.StartStyling(lFrom);
    aDocument.SetStyles(static_cast<SciPosition>(lStyled.mStyles.size()),
                        reinterpret_cast<const char*>(lStyled.mStyles.data()));
    for (uint32_t lOpen : lStyled.mOpenAtLineStarts) {
        aDocument.SetLineState(lLine++, static_cast<int>(std::min<uint32_t>(lOpen, INT_MAX)));
    }
}

} // namespace

NotationLexer* NotationLexer::Create() noexcept {
    return new (std::nothrow) NotationLexer();
}

int NotationLexer::Version() const { return LexerVersion5; }

void NotationLexer::Release() { delete this; }

const char* NotationLexer::PropertyNames() { return ""; }
int NotationLexer::PropertyType(const char*) { return 0; }
const char* NotationLexer::DescribeProperty(const char*) { return ""; }
// -1: no property of this lexer changed, so nothing needs restyling.
SciPosition NotationLexer::PropertySet(const char*, const char*) { return -1; }
const char* NotationLexer::DescribeWordListSets() { return ""; }
SciPosition NotationLexer::WordListSet(int, const char*) { return -1; }

void NotationLexer::Lex(SciPositionU aStart, SciPosition aLength, int, IDocument* aDocument) {
    if (aDocument == nullptr) {
        return;
    }
    Shielded("Lex", [&] {
        LexDocument(static_cast<SciPosition>(aStart), aLength, *aDocument);
    });
}

void NotationLexer::Fold(SciPositionU, SciPosition, int, IDocument*) {}
void* NotationLexer::PrivateCall(int, void*) { return nullptr; }
// Line feeds, carriage returns and both: nothing beyond.
int NotationLexer::LineEndTypesSupported() { return 0; }
int NotationLexer::AllocateSubStyles(int, int) { return -1; }
int NotationLexer::SubStylesStart(int) { return -1; }
int NotationLexer::SubStylesLength(int) { return 0; }
int NotationLexer::StyleFromSubStyle(int aSubStyle) { return aSubStyle; }
int NotationLexer::PrimaryStyleFromStyle(int aStyle) { return aStyle; }
void NotationLexer::FreeSubStyles() {}
void NotationLexer::SetIdentifiers(int, const char*) {}
int NotationLexer::DistanceToSecondaryStyles() { return 0; }
const char* NotationLexer::GetSubStyleBases() { return ""; }
int NotationLexer::NamedStyles() { return Highlighting::NumberOfStyles; }

const char* NotationLexer::NameOfStyle(int aStyle) {
    const StyleDescription* lStyle = DescriptionOf(aStyle);
    return lStyle == nullptr ? "" : lStyle->mName;
}

const char* NotationLexer::TagsOfStyle(int aStyle) {
    const StyleDescription* lStyle = DescriptionOf(aStyle);
    return lStyle == nullptr ? "" : lStyle->mTags;
}

const char* NotationLexer::DescriptionOfStyle(int aStyle) {
    const StyleDescription* lStyle = DescriptionOf(aStyle);
    return lStyle == nullptr ? "" : lStyle->mDescription;
}

const char* NotationLexer::GetName() { return LexerName; }
int NotationLexer::GetIdentifier() { return AutomaticLexerIdentifier; }
const char* NotationLexer::PropertyGet(const char*) { return ""; }

} // namespace Logic::Npp
