#pragma once
// Where in the text a user wrote a failure lies, so that an editor can mark it and the
// command-line tool can name it as FILE:LINE:COLUMN.

#include <cstddef>

namespace Logic {

/// A stretch of the text as the user wrote it (before comments, joined lines and replacements),
/// counted in characters (Unicode code points; a byte that is no valid UTF-8 counts as one).
struct TextPlace {
    /// Characters before the stretch, from the start of the text.
    size_t mOffset = 0;
    /// Characters in the stretch; line breaks inside it count like any other character.
    size_t mLength = 0;
    /// The line of its first character, from 1; lines end at line feeds.
    size_t mLine = 1;
    /// The column of its first character in that line, from 1, in characters.
    size_t mColumn = 1;

    friend bool operator==(const TextPlace&, const TextPlace&) = default;
};

} // namespace Logic
