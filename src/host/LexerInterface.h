#pragma once
// The editor's side of an external lexer, declared as the editor component documents it: the
// document a lexer reads and styles (IDocument, version 2) and the lexer object (ILexer5, version
// 3). The editor calls through the virtual tables, so the order of the declarations below is the
// interface: nothing may be added, moved or dropped. On Windows every method uses the stdcall
// convention (the callee removes the arguments, the object pointer among them), in 32-bit builds
// as in 64-bit ones, where it changes nothing. Neither class has a virtual destructor: the lexer
// goes through Release.

#include <cstddef>

namespace Logic::Npp {

#if defined(_WIN32)
#define QUENDRAL_LEXER_METHOD __stdcall
#else
#define QUENDRAL_LEXER_METHOD
#endif

/// Positions in the document, in bytes.
using SciPosition = std::ptrdiff_t;
using SciPositionU = std::size_t;

/// The versions the two sides report.
constexpr int DocumentVersion = 2;
constexpr int LexerVersion5 = 3;

class IDocument {
public:
    virtual int QUENDRAL_LEXER_METHOD Version() const = 0;
    virtual void QUENDRAL_LEXER_METHOD SetErrorStatus(int aStatus) = 0;
    virtual SciPosition QUENDRAL_LEXER_METHOD Length() const = 0;
    virtual void QUENDRAL_LEXER_METHOD GetCharRange(char* aBuffer, SciPosition aPosition,
                                                    SciPosition aLength) const = 0;
    virtual char QUENDRAL_LEXER_METHOD StyleAt(SciPosition aPosition) const = 0;
    virtual SciPosition QUENDRAL_LEXER_METHOD LineFromPosition(SciPosition aPosition) const = 0;
    virtual SciPosition QUENDRAL_LEXER_METHOD LineStart(SciPosition aLine) const = 0;
    virtual int QUENDRAL_LEXER_METHOD GetLevel(SciPosition aLine) const = 0;
    virtual int QUENDRAL_LEXER_METHOD SetLevel(SciPosition aLine, int aLevel) = 0;
    virtual int QUENDRAL_LEXER_METHOD GetLineState(SciPosition aLine) const = 0;
    virtual int QUENDRAL_LEXER_METHOD SetLineState(SciPosition aLine, int aState) = 0;
    virtual void QUENDRAL_LEXER_METHOD StartStyling(SciPosition aPosition) = 0;
    virtual bool QUENDRAL_LEXER_METHOD SetStyleFor(SciPosition aLength, char aStyle) = 0;
    virtual bool QUENDRAL_LEXER_METHOD SetStyles(SciPosition aLength, const char* aStyles) = 0;
    virtual void QUENDRAL_LEXER_METHOD DecorationSetCurrentIndicator(int aIndicator) = 0;
    virtual void QUENDRAL_LEXER_METHOD DecorationFillRange(SciPosition aPosition, int aValue,
                                                           SciPosition aFillLength) = 0;
    virtual void QUENDRAL_LEXER_METHOD ChangeLexerState(SciPosition aStart, SciPosition aEnd) = 0;
    virtual int QUENDRAL_LEXER_METHOD CodePage() const = 0;
    virtual bool QUENDRAL_LEXER_METHOD IsDBCSLeadByte(char aCharacter) const = 0;
    virtual const char* QUENDRAL_LEXER_METHOD BufferPointer() = 0;
    virtual int QUENDRAL_LEXER_METHOD GetLineIndentation(SciPosition aLine) = 0;
    virtual SciPosition QUENDRAL_LEXER_METHOD LineEnd(SciPosition aLine) const = 0;
    virtual SciPosition QUENDRAL_LEXER_METHOD GetRelativePosition(SciPosition aStart,
                                                                  SciPosition aCharacters) const = 0;
    virtual int QUENDRAL_LEXER_METHOD GetCharacterAndWidth(SciPosition aPosition,
                                                           SciPosition* aWidth) const = 0;

protected:
    ~IDocument() = default;
};

class ILexer5 {
public:
    virtual int QUENDRAL_LEXER_METHOD Version() const = 0;
    virtual void QUENDRAL_LEXER_METHOD Release() = 0;
    virtual const char* QUENDRAL_LEXER_METHOD PropertyNames() = 0;
    virtual int QUENDRAL_LEXER_METHOD PropertyType(const char* aName) = 0;
    virtual const char* QUENDRAL_LEXER_METHOD DescribeProperty(const char* aName) = 0;
    virtual SciPosition QUENDRAL_LEXER_METHOD PropertySet(const char* aKey, const char* aValue) = 0;
    virtual const char* QUENDRAL_LEXER_METHOD DescribeWordListSets() = 0;
    virtual SciPosition QUENDRAL_LEXER_METHOD WordListSet(int aSet, const char* aWords) = 0;
    virtual void QUENDRAL_LEXER_METHOD Lex(SciPositionU aStart, SciPosition aLength,
                                           int aInitialStyle, IDocument* aDocument) = 0;
    virtual void QUENDRAL_LEXER_METHOD Fold(SciPositionU aStart, SciPosition aLength,
                                            int aInitialStyle, IDocument* aDocument) = 0;
    virtual void* QUENDRAL_LEXER_METHOD PrivateCall(int aOperation, void* aPointer) = 0;
    virtual int QUENDRAL_LEXER_METHOD LineEndTypesSupported() = 0;
    virtual int QUENDRAL_LEXER_METHOD AllocateSubStyles(int aStyleBase, int aNumberOfStyles) = 0;
    virtual int QUENDRAL_LEXER_METHOD SubStylesStart(int aStyleBase) = 0;
    virtual int QUENDRAL_LEXER_METHOD SubStylesLength(int aStyleBase) = 0;
    virtual int QUENDRAL_LEXER_METHOD StyleFromSubStyle(int aSubStyle) = 0;
    virtual int QUENDRAL_LEXER_METHOD PrimaryStyleFromStyle(int aStyle) = 0;
    virtual void QUENDRAL_LEXER_METHOD FreeSubStyles() = 0;
    virtual void QUENDRAL_LEXER_METHOD SetIdentifiers(int aStyle, const char* aIdentifiers) = 0;
    virtual int QUENDRAL_LEXER_METHOD DistanceToSecondaryStyles() = 0;
    virtual const char* QUENDRAL_LEXER_METHOD GetSubStyleBases() = 0;
    virtual int QUENDRAL_LEXER_METHOD NamedStyles() = 0;
    virtual const char* QUENDRAL_LEXER_METHOD NameOfStyle(int aStyle) = 0;
    virtual const char* QUENDRAL_LEXER_METHOD TagsOfStyle(int aStyle) = 0;
    virtual const char* QUENDRAL_LEXER_METHOD DescriptionOfStyle(int aStyle) = 0;
    // Version 3 (ILexer5) adds these three.
    virtual const char* QUENDRAL_LEXER_METHOD GetName() = 0;
    virtual int QUENDRAL_LEXER_METHOD GetIdentifier() = 0;
    virtual const char* QUENDRAL_LEXER_METHOD PropertyGet(const char* aKey) = 0;

protected:
    ~ILexer5() = default;
};

} // namespace Logic::Npp
