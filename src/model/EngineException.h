#pragma once
// The failure type of the formula model, the engine and the runners: a finished message.

#include <stdexcept>
#include <string>

#include "model/Format.h"

namespace Logic {

class EngineException : public std::runtime_error {
public:
    explicit EngineException(const std::string& aMessage) : std::runtime_error(aMessage) {}

    template <typename T, typename... Ts>
    EngineException(std::string_view aPattern, const T& aFirst, const Ts&... aRest)
        : std::runtime_error(FormatQuoting(aPattern, aFirst, aRest...)) {}
};

/// The failure of an evaluation that reaches a binary predication: the numbering has no room
/// for relations.
inline constexpr const char* BinaryPredicatesFailure = "Can't decide a proposition that contains binary predicates.";

/// The failure of a formula whose kinds of worlds or interpretations do not fit 32-bit numbers.
inline constexpr const char* TooManyPredicatesFailure = "Too many predicates!";

/// Raised for an operation that a node class does not support and for an enumeration value
/// that has no text.
class NotImplementedException : public std::runtime_error {
public:
    explicit NotImplementedException(const std::string& aMessage)
        : std::runtime_error(aMessage) {}
};

} // namespace Logic
