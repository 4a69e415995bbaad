#pragma once
// Characters of UTF-8 text, decoded by hand. A byte that does not start a well-formed sequence is
// one character of its own that belongs to no class (neither word character, white space nor
// digit), so malformed input is classified, never rejected.

#include <cstddef>
#include <string>
#include <string_view>

namespace Logic {

struct DecodedCharacter {
    char32_t mCodePoint = 0;
    /// Bytes the character occupies, 1 to 4; 0 only at the end of the text.
    size_t mLength = 0;
    bool mValid = false;

    bool IsWord() const;
    bool IsSpace() const;
    bool IsDigit() const;
};

/// The character that starts at byte aPosition (which may be any byte, even a continuation byte).
DecodedCharacter DecodeCharacter(std::string_view aText, size_t aPosition);

/// aText without its white-space characters.
std::string RemoveWhiteSpace(std::string_view aText);

} // namespace Logic
