#pragma once
// The logic symbols of Unicode (¬ ∧ ∨ → ↔ ∀x ∃x □ ◇ ∴ ≠ and their common look-alikes) as exact
// alternatives to the notation's ASCII forms. A statement is read in ASCII: each symbol is
// turned into its ASCII form, and every byte of the result remembers which written bytes it
// stands for, so a failure still quotes the symbols the user wrote and points at them.
//
// A symbol is turned only where its ASCII form cannot run together with what stands next to it:
// "∀x" after a digit would read "3∀x" as "3x," (there is an x), so a quantifier symbol after a
// digit stays as written and fails as an unknown character.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "parser/SourceMap.h"

namespace Logic {

/// A statement (or a conjunction of them) in the notation's ASCII, beside the text it was
/// written as.
class AsciiNotation {
public:
    /// aWritten with its logic symbols turned into ASCII; each byte keeps the document span of
    /// the written bytes it stands for.
    static AsciiNotation Of(const MappedText& aWritten);

    const MappedText& Ascii() const { return mAscii; }
    const std::string& Text() const { return mAscii.Text(); }
    /// The written text that ASCII bytes aBegin .. aEnd-1 stand for: the written bytes from the
    /// first to the last of them.
    std::string WrittenOf(size_t aBegin, size_t aEnd) const;

private:
    MappedText mAscii;
    std::string mWritten;
    /// For each ASCII byte, the written bytes [first, second) it stands for.
    std::vector<std::pair<uint32_t, uint32_t>> mWrittenBytes;
};

/// aWritten with its logic symbols turned into ASCII (what AsciiNotation::Of gives, without the
/// map back), for the tests on lines and statements.
std::string ToAsciiNotation(std::string_view aWritten);

/// A logic symbol the notation reads, and its ASCII form; for the quantifiers and "≠" the form
/// shown is that of "x" and "x≠y".
struct LogicSymbol {
    std::string_view mWritten;
    std::string_view mAscii;
};

/// Every symbol read, in the order the README lists them.
const std::vector<LogicSymbol>& LogicSymbols();

} // namespace Logic
