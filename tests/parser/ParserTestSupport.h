#pragma once
// Helpers shared by the parser suites: parse and render in one step, and expect one exact
// ParseError message.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/Matrix.h"
#include "parser/ParseError.h"
#include "parser/Parser.h"

namespace Logic::ParserTests {

/// The canonical text of the document made of aLines.
inline std::string DocumentText(const std::vector<std::string>& aLines) {
    return Parser::Parse(aLines)->ToString();
}

/// The canonical text of one statement.
inline std::string StatementText(const std::string& aStatement) {
    return Parser::Parse(aStatement)->ToString();
}

/// The message of the ParseError that aWork raises; fails the test when it raises none.
inline std::string ParseErrorOf(const std::function<void()>& aWork) {
    try {
        aWork();
    } catch (const ParseError& lError) {
        return lError.what();
    }
    ADD_FAILURE() << "no ParseError was raised";
    return {};
}

inline std::string StatementError(const std::string& aStatement) {
    return ParseErrorOf([&] { Parser::Parse(aStatement); });
}

inline std::string DocumentError(const std::vector<std::string>& aLines) {
    return ParseErrorOf([&] { Parser::Parse(aLines); });
}

/// The serial number in a node's name.
inline long SerialOf(const Matrix& aNode) { return std::stol(aNode.Name()); }

} // namespace Logic::ParserTests
