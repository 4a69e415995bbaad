#pragma once
// The Unicode character classes the notation relies on. The tables behind them are generated
// from the Unicode Character Database (scripts/generate-unicode-classes), so every platform
// classifies alike.

namespace Logic {

/// A letter, decimal digit, non-spacing mark or connector punctuation ("_").
bool IsWordCharacter(char32_t aCodePoint);
/// A space, line or paragraph separator, U+0009..U+000D or U+0085.
bool IsWhiteSpace(char32_t aCodePoint);
/// A decimal digit of any script.
bool IsDecimalDigit(char32_t aCodePoint);

} // namespace Logic
