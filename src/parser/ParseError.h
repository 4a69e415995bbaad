#pragma once
// The parser's failure type: a finished message quoting the offending text.

#include <stdexcept>
#include <string>

#include "model/Format.h"

namespace Logic {

class ParseError : public std::runtime_error {
public:
    explicit ParseError(const std::string& aMessage) : std::runtime_error(aMessage) {}

    template <typename T, typename... Ts>
    ParseError(std::string_view aPattern, const T& aFirst, const Ts&... aRest)
        : std::runtime_error(FormatQuoting(aPattern, aFirst, aRest...)) {}
};

} // namespace Logic
