#pragma once
// The lexer object the editor gets from CreateLexer: it colours the notation through
// Highlighting::StyleNotation. The editor calls it on its user-interface thread, one call at a
// time; every method is guarded, so a failure leaves the document's styles as they were.

#include "host/LexerInterface.h"

namespace Logic::Npp {

class NotationLexer final : public ILexer5 {
public:
    /// The language name the editor lists and asks CreateLexer for.
    static constexpr const char* LexerName = "Quendral";
    /// What GetIdentifier answers: the editor's number for a lexer it did not build in.
    static constexpr int AutomaticLexerIdentifier = 1000;

    /// A new lexer, or null when none can be made; the editor releases it with Release.
    static NotationLexer* Create() noexcept;

    int QUENDRAL_LEXER_METHOD Version() const override;
    void QUENDRAL_LEXER_METHOD Release() override;
    const char* QUENDRAL_LEXER_METHOD PropertyNames() override;
    int QUENDRAL_LEXER_METHOD PropertyType(const char* aName) override;
    const char* QUENDRAL_LEXER_METHOD DescribeProperty(const char* aName) override;
    SciPosition QUENDRAL_LEXER_METHOD PropertySet(const char* aKey, const char* aValue) override;
    const char* QUENDRAL_LEXER_METHOD DescribeWordListSets() override;
    SciPosition QUENDRAL_LEXER_METHOD WordListSet(int aSet, const char* aWords) override;
    /// Restyles from the start of the line, at or before aStart, where no parenthesis is open,
    /// to at least aStart + aLength: on, past it, for as long as a parenthesis stays open.
    void QUENDRAL_LEXER_METHOD Lex(SciPositionU aStart, SciPosition aLength, int aInitialStyle,
                                   IDocument* aDocument) override;
    void QUENDRAL_LEXER_METHOD Fold(SciPositionU aStart, SciPosition aLength, int aInitialStyle,
                                    IDocument* aDocument) override;
    void* QUENDRAL_LEXER_METHOD PrivateCall(int aOperation, void* aPointer) override;
    int QUENDRAL_LEXER_METHOD LineEndTypesSupported() override;
    int QUENDRAL_LEXER_METHOD AllocateSubStyles(int aStyleBase, int aNumberOfStyles) override;
    int QUENDRAL_LEXER_METHOD SubStylesStart(int aStyleBase) override;
    int QUENDRAL_LEXER_METHOD SubStylesLength(int aStyleBase) override;
    int QUENDRAL_LEXER_METHOD StyleFromSubStyle(int aSubStyle) override;
    int QUENDRAL_LEXER_METHOD PrimaryStyleFromStyle(int aStyle) override;
    void QUENDRAL_LEXER_METHOD FreeSubStyles() override;
    void QUENDRAL_LEXER_METHOD SetIdentifiers(int aStyle, const char* aIdentifiers) override;
    int QUENDRAL_LEXER_METHOD DistanceToSecondaryStyles() override;
    const char* QUENDRAL_LEXER_METHOD GetSubStyleBases() override;
    int QUENDRAL_LEXER_METHOD NamedStyles() override;
    const char* QUENDRAL_LEXER_METHOD NameOfStyle(int aStyle) override;
    const char* QUENDRAL_LEXER_METHOD TagsOfStyle(int aStyle) override;
    const char* QUENDRAL_LEXER_METHOD DescriptionOfStyle(int aStyle) override;
    const char* QUENDRAL_LEXER_METHOD GetName() override;
    int QUENDRAL_LEXER_METHOD GetIdentifier() override;
    const char* QUENDRAL_LEXER_METHOD PropertyGet(const char* aKey) override;

private:
    NotationLexer() = default;
    ~NotationLexer() = default;
};

} // namespace Logic::Npp
