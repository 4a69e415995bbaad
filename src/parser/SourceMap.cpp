#include "parser/SourceMap.h"

#include <algorithm>

#include "parser/Characters.h"

namespace Logic {

namespace {
uint32_t Clamped(size_t aCharacter) {
    return static_cast<uint32_t>(std::min<size_t>(aCharacter, SourceSpan::Nowhere - 1));
}
} // namespace

SourceSpan SourceSpan::Joined(SourceSpan aOther) const {
    if (!IsSomewhere()) {
        return aOther;
    }
    if (!aOther.IsSomewhere()) {
        return *this;
    }
    return {std::min(mBegin, aOther.mBegin), std::max(mEnd, aOther.mEnd)};
}

MappedText MappedText::Added(std::string_view aText) {
    MappedText lResult;
    lResult.AppendAdded(aText);
    return lResult;
}

MappedText MappedText::OfDocument(std::string_view aText, size_t aFirstCharacter) {
    MappedText lResult;
    lResult.mText.reserve(aText.size());
    lResult.mSpans.reserve(aText.size());
    size_t lCharacter = aFirstCharacter;
    for (size_t lPosition = 0; lPosition < aText.size();) {
        const size_t lLength = DecodeCharacter(aText, lPosition).mLength;
        lResult.Append(aText.substr(lPosition, lLength),
                       SourceSpan{Clamped(lCharacter), Clamped(lCharacter + 1)});
        lPosition += lLength;
        ++lCharacter;
    }
    return lResult;
}

void MappedText::Append(const MappedText& aOther) { Append(aOther, 0, aOther.size()); }

void MappedText::Append(const MappedText& aFrom, size_t aBegin, size_t aEnd) {
    aEnd = std::min(aEnd, aFrom.size());
    if (aBegin >= aEnd) {
        return;
    }
    mText.append(aFrom.mText, aBegin, aEnd - aBegin);
    mSpans.insert(mSpans.end(), aFrom.mSpans.begin() + static_cast<std::ptrdiff_t>(aBegin),
                  aFrom.mSpans.begin() + static_cast<std::ptrdiff_t>(aEnd));
}

void MappedText::Append(std::string_view aText, SourceSpan aSpan) {
    mText.append(aText);
    mSpans.insert(mSpans.end(), aText.size(), aSpan);
}

SourceSpan MappedText::SpanOf(size_t aBegin, size_t aEnd) const {
    aEnd = std::min(aEnd, mSpans.size());
    SourceSpan lResult;
    // The first and last bytes that stand for something bound the span: the spans of the bytes
    // between them lie between theirs, except where a replacement joined words.
    for (size_t lByte = aBegin; lByte < aEnd; ++lByte) {
        lResult = lResult.Joined(mSpans[lByte]);
    }
    return lResult;
}

MappedText WithoutWhiteSpace(const MappedText& aText) {
    MappedText lResult;
    const std::string& lText = aText.Text();
    for (size_t lPosition = 0; lPosition < lText.size();) {
        const DecodedCharacter lCharacter = DecodeCharacter(lText, lPosition);
        if (!lCharacter.IsSpace()) {
            lResult.Append(aText, lPosition, lPosition + lCharacter.mLength);
        }
        lPosition += lCharacter.mLength;
    }
    return lResult;
}

DocumentLines::DocumentLines(const std::vector<std::string>& aLines) {
    mLines.reserve(aLines.size());
    mFirstCharacters.reserve(aLines.size() + 1);
    size_t lCharacter = 0;
    for (const std::string& lLine : aLines) {
        mLines.emplace_back(lLine);
        mFirstCharacters.push_back(lCharacter);
        // The line feed that ended the line is one character of the document.
        lCharacter += CountCharacters(lLine) + 1;
    }
    mFirstCharacters.push_back(lCharacter);
}

TextPlace DocumentLines::PlaceOfLine(size_t aIndex) const {
    std::string_view lLine = mLines[aIndex];
    if (!lLine.empty() && lLine.back() == '\r') {
        lLine.remove_suffix(1);
    }
    return TextPlace{mFirstCharacters[aIndex], CountCharacters(lLine), aIndex + 1, 1};
}

TextPlace DocumentLines::PlaceOf(SourceSpan aSpan) const {
    // The last line that begins at or before the span.
    const auto lAfter = std::upper_bound(mFirstCharacters.begin(), mFirstCharacters.end(),
                                         size_t{aSpan.mBegin});
    const size_t lLine = lAfter == mFirstCharacters.begin()
                             ? 0
                             : static_cast<size_t>(lAfter - mFirstCharacters.begin()) - 1;
    const size_t lFirst = mFirstCharacters[std::min(lLine, mFirstCharacters.size() - 1)];
    return TextPlace{aSpan.mBegin, size_t{aSpan.mEnd} - aSpan.mBegin, lLine + 1,
                     aSpan.mBegin - lFirst + 1};
}

size_t CountCharacters(std::string_view aText) {
    size_t lCount = 0;
    for (size_t lPosition = 0; lPosition < aText.size(); ++lCount) {
        lPosition += DecodeCharacter(aText, lPosition).mLength;
    }
    return lCount;
}

size_t ByteOfCharacter(std::string_view aText, size_t aCharacter) {
    size_t lPosition = 0;
    for (size_t lCount = 0; lCount < aCharacter && lPosition < aText.size(); ++lCount) {
        lPosition += DecodeCharacter(aText, lPosition).mLength;
    }
    return lPosition;
}

TextPlace PlaceInText(std::string_view aText, size_t aOffset, size_t aLength) {
    TextPlace lPlace{aOffset, aLength, 1, 1};
    size_t lPosition = 0;
    for (size_t lCount = 0; lCount < aOffset && lPosition < aText.size(); ++lCount) {
        const DecodedCharacter lCharacter = DecodeCharacter(aText, lPosition);
        if (aText[lPosition] == '\n') {
            ++lPlace.mLine;
            lPlace.mColumn = 1;
        } else {
            ++lPlace.mColumn;
        }
        lPosition += lCharacter.mLength;
    }
    return lPlace;
}

} // namespace Logic
