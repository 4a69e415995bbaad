#pragma once
// One run of an outside program: what to run, its arguments and the text for its standard input.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Logic {

class ShellParameters {
public:
    ShellParameters(std::string aExecutable, std::string aStandardInput)
        : Executable(std::move(aExecutable)), StandardInput(std::move(aStandardInput)) {}
    ShellParameters(std::string aExecutable, std::optional<std::string> aArguments,
                    std::string aStandardInput)
        : Executable(std::move(aExecutable)), Arguments(std::move(aArguments)),
          StandardInput(std::move(aStandardInput)) {}

    /// Name or path of the program.
    std::string Executable;
    /// The argument text; absent or empty: no arguments.
    std::optional<std::string> Arguments;
    std::string StandardInput;

    /// Arguments cut into single arguments as a Windows program's start-up code cuts its
    /// command line: white space separates, double quotes group, and backslashes escape only
    /// double quotes. The child-process layer rebuilds the same text from them on Windows.
    std::vector<std::string> ArgumentList() const;
};

/// aText cut into arguments by the rules of ShellParameters::ArgumentList.
std::vector<std::string> SplitArgumentText(std::string_view aText);

} // namespace Logic
