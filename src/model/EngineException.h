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

/// Raised for an operation that a node class does not support and for an enumeration value
/// that has no text.
class NotImplementedException : public std::runtime_error {
public:
    explicit NotImplementedException(const std::string& aMessage)
        : std::runtime_error(aMessage) {}
};

} // namespace Logic
