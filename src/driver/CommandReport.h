#pragma once
// What the last command found, beside the lines it logged: for front ends that hand the result
// on to a program (the command-line tool's JSON) rather than to a person.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/Explanation.h"
#include "model/Verdicts.h"
#include "parser/TextPlace.h"

namespace Logic {

struct CommandReport {
    /// Every logged message in order, without its time stamp.
    std::vector<std::string> mLines;
    /// The failure's message (the text after "Error: "); empty when the command succeeded.
    std::optional<std::string> mError;
    /// Where in the text the command read the failure lies, when it concerns a place there.
    std::optional<TextPlace> mErrorPlace;

    /// decide: the verdict on a statement or on an argument.
    std::optional<Alethicity> mAlethicity;
    std::optional<Quality> mQuality;
    /// decide, when explanations are asked for.
    std::optional<Explanation> mExplanation;

    /// coefficients: the vector and its polynomial.
    std::optional<std::vector<int32_t>> mCoefficients;
    std::optional<std::string> mPolynomial;

    /// prove: the result in words.
    std::optional<std::string> mProverResult;
};

} // namespace Logic
