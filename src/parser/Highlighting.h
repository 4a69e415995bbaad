#pragma once
// Colouring the notation: a style for every byte of a document, read the way the parser reads it
// (directive lines, comments, replacements, then the tokens of what is left with its white space
// taken out).
// The editor's lexer hands its text to StyleNotation and copies the styles into the editor; the
// styles know nothing of colours, which the style file of the editor gives them.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace Logic::Highlighting {

/// The lexical classes, numbered as the editor's style file numbers them.
enum class Style : uint8_t {
    Default = 0,
    /// From "//" to the end of a line.
    Comment = 1,
    /// A "#replace" line.
    Directive = 2,
    /// "~", "&", "|", "->", "<=>", "!", "^", ".'." and their symbols.
    Connective = 3,
    /// "x,", "3x,", "1x,", their symbols, and the form letter of a two-term proposition.
    Quantifier = 4,
    /// "[]", "<>", "-<" and their symbols.
    Modal = 5,
    /// The upper-case letter of a predication or two-term proposition, and "=".
    Predicate = 6,
    /// A lower-case letter that names an object.
    Variable = 7,
    /// A sentence letter.
    Proposition = 8,
    /// "2F", "3pqr".
    Counting = 9,
    Parenthesis = 10,
    /// A parenthesis without its partner, a "#" line that is no directive.
    Error = 11,
};
inline constexpr int NumberOfStyles = 12;

struct StyledText {
    /// One style for each byte styled, from the start of the text.
    std::vector<Style> mStyles;
    /// The parentheses open at the start of each line that begins within the styled bytes (the
    /// first line's is 0), and of the line that begins right after them, if any.
    std::vector<uint32_t> mOpenAtLineStarts;
};

/// Styles the document aText from byte aFrom, which must be the start of a line outside every
/// parenthesis, up to the first line start at or after byte aAtLeast where no parenthesis is
/// open, or to the end of the text; the styles given begin at aFrom. Whether a "(" has its
/// partner is known only where the partner is, so styling goes on past aAtLeast for as long as
/// one is open; where none is, nothing before depends on anything after. Of the lines before
/// aFrom only the replacement directives count: their rules rewrite the lines after them, and a
/// word replaced is coloured as what replaces it.
StyledText StyleNotation(std::string_view aText, size_t aFrom = 0, size_t aAtLeast = SIZE_MAX);

} // namespace Logic::Highlighting
