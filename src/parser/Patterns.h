#pragma once
// The fixed patterns of the notation, matched by hand. A "Starts" matcher returns the length of
// its match at the start of the text, 0 for none; an "Is" matcher tests a whole token. Letters
// are ASCII letters; digits are decimal digits of any script.

#include <cstddef>
#include <string_view>

namespace Logic::Patterns {

// Token patterns, in the order in which the tokenizer tries them.
size_t StartsWithQuantifier(std::string_view aText);
size_t StartsWithThereAreThisManyOfThese(std::string_view aText);
size_t StartsWithThisManyOfTheseAreTrue(std::string_view aText);
size_t StartsWithAnd(std::string_view aText);
size_t StartsWithOr(std::string_view aText);
size_t StartsWithOnlyIf(std::string_view aText);
size_t StartsWithIfAndOnlyIf(std::string_view aText);
size_t StartsWithNot(std::string_view aText);
size_t StartsWithNor(std::string_view aText);
size_t StartsWithXor(std::string_view aText);
size_t StartsWithNecessarilyOnlyIf(std::string_view aText);
size_t StartsWithIs(std::string_view aText);
size_t StartsWithIsTheSameAs(std::string_view aText);
size_t StartsWithAre(std::string_view aText);
size_t StartsWithTrueThat(std::string_view aText);
size_t StartsWithPossibly(std::string_view aText);
size_t StartsWithNecessarily(std::string_view aText);
size_t StartsWithTwoTermProposition(std::string_view aText);

// Whole-token patterns.
bool IsForAll(std::string_view aToken);
bool IsThereExists(std::string_view aToken);
bool IsThe(std::string_view aToken);
bool IsTwoTermProposition(std::string_view aToken);
bool IsIs(std::string_view aToken);
bool IsAre(std::string_view aToken);
bool IsTrueThat(std::string_view aToken);
bool IsIsTheSameAs(std::string_view aToken);
bool IsThereAreThisManyOfThese(std::string_view aToken);
bool IsThisManyOfTheseAreTrue(std::string_view aToken);

/// Bytes of the run of decimal digits at the start of aText.
size_t DigitRun(std::string_view aText);

} // namespace Logic::Patterns
