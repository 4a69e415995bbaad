#pragma once
// ASCII documents respelt with the logic symbols of Unicode, at random places: each ASCII
// operator, quantifier, negated identity and therefore line is written with one of the symbols
// that stand for it, or left as it is.

#include <random>
#include <string>
#include <vector>

namespace Logic::Differential {

/// aLine with some of its ASCII forms written as symbols (about half of them); directive lines
/// and comments stay as they are.
std::string WithLogicSymbols(const std::string& aLine, std::mt19937_64& aRandom);

std::vector<std::string> WithLogicSymbols(const std::vector<std::string>& aLines,
                                          std::mt19937_64& aRandom);

/// How often each symbol of LogicSymbols() has been written by WithLogicSymbols so far.
const std::vector<size_t>& LogicSymbolsWritten();

} // namespace Logic::Differential
