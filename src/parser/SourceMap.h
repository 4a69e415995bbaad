#pragma once
// Where the text the preprocessing makes came from. Comments go, replacements change words,
// white space goes and lines are joined; every byte of the result remembers which characters of
// the document it stands for, so a failure found in a statement can be shown in the document as
// the user wrote it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "parser/TextPlace.h"

namespace Logic {

/// Document characters [mBegin, mEnd) that a byte stands for. A replacement's bytes all stand
/// for the word it replaced; bytes the parser adds (the parentheses and "&" that join
/// statements) stand for nothing.
struct SourceSpan {
    static constexpr uint32_t Nowhere = UINT32_MAX;

    uint32_t mBegin = Nowhere;
    uint32_t mEnd = Nowhere;

    bool IsSomewhere() const { return mBegin != Nowhere; }
    /// The smallest span that holds both; nowhere is the identity.
    SourceSpan Joined(SourceSpan aOther) const;
};

/// A text with the span of each of its bytes.
class MappedText {
public:
    MappedText() = default;
    /// Text that stands for nothing in the document.
    static MappedText Added(std::string_view aText);
    /// A piece of the document whose first character is document character aFirstCharacter:
    /// each character stands for itself.
    static MappedText OfDocument(std::string_view aText, size_t aFirstCharacter);

    const std::string& Text() const { return mText; }
    size_t size() const { return mText.size(); }
    bool empty() const { return mText.empty(); }

    void Append(const MappedText& aOther);
    /// Bytes aBegin .. aEnd-1 of aFrom.
    void Append(const MappedText& aFrom, size_t aBegin, size_t aEnd);
    /// aText, every byte standing for aSpan.
    void Append(std::string_view aText, SourceSpan aSpan);
    void AppendAdded(std::string_view aText) { Append(aText, SourceSpan()); }

    SourceSpan SpanOfByte(size_t aByte) const { return mSpans[aByte]; }
    /// What bytes aBegin .. aEnd-1 stand for together (clamped to the text); nowhere when none
    /// of them stands for anything.
    SourceSpan SpanOf(size_t aBegin, size_t aEnd) const;

private:
    std::string mText;
    std::vector<SourceSpan> mSpans;
};

/// aText without its white-space characters, each other byte keeping its span.
MappedText WithoutWhiteSpace(const MappedText& aText);

/// The lines of a document as split at line feeds, and where each begins, to turn document
/// characters into lines and columns.
class DocumentLines {
public:
    explicit DocumentLines(const std::vector<std::string>& aLines);

    /// The document character that begins line aIndex (from 0).
    size_t FirstCharacter(size_t aIndex) const { return mFirstCharacters[aIndex]; }
    /// The line aIndex (from 0) without the carriage return that may end it.
    TextPlace PlaceOfLine(size_t aIndex) const;
    /// Line and column of aSpan's first character, which must be somewhere.
    TextPlace PlaceOf(SourceSpan aSpan) const;

private:
    std::vector<std::string_view> mLines;
    std::vector<size_t> mFirstCharacters;
};

/// Characters (code points; a byte that is not valid UTF-8 counts as one) in aText.
size_t CountCharacters(std::string_view aText);
/// The byte at which character aCharacter of aText begins; aText.size() past its end.
size_t ByteOfCharacter(std::string_view aText, size_t aCharacter);
/// The place of characters aOffset .. aOffset+aLength-1 of aText, with its line and column.
TextPlace PlaceInText(std::string_view aText, size_t aOffset, size_t aLength);

} // namespace Logic
