#pragma once
// Classifies a statement with the outside programs Prover9 (theorem prover) and Mace4 (model
// finder), each run on the statement and on its negation, side by side, with a time limit.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/Matrix.h"

namespace Logic {

/// Recognises a program's report "Exiting with <count> <noun>" anywhere in its output, the
/// count being one or more decimal digits: "Exiting with \d+ <noun>". Case-sensitive; the noun
/// need only start there, so plurals match too.
class ExitReportPattern {
public:
    explicit ExitReportPattern(std::string aNoun) : mNoun(std::move(aNoun)) {}
    bool IsMatch(std::string_view aOutput) const;

private:
    std::string mNoun;
};

class Prover9Mace4 {
public:
    enum class Result : int32_t {
        Necessary = 0,
        Possible = 1,
        Contingent = 2,
        Unnecessary = 3,
        Impossible = 4,
        NoDecision = 5
    };

    static constexpr const char* prover9 = "prover9";
    static constexpr const char* mace4 = "mace4";
    /// Prover9's report of a proof.
    static const ExitReportPattern TheoremProved;
    /// Mace4's report of a model.
    static const ExitReportPattern CounterexampleFound;

    /// Runs Prover9 and Mace4 on aProposition and on its negation, all four programs at once,
    /// each for at most aSecondsTimeout seconds (negative: no limit), and classifies the
    /// statement by what they report. NoDecision, without running anything, for a formula
    /// Prover9 cannot express. Throws EngineException "Inconsistent result!" for contradicting
    /// reports, and the group's combined failure when a run fails. A stop of the calling
    /// thread's Cancellation kills all four programs at once; the stop's CancelledException
    /// follows once they are gone.
    static Result Decide(const MatrixPtr& aProposition, int32_t aSecondsTimeout);

    /// The text of a result; throws EngineException for a value that is none of them.
    static std::string ToString(Result aResult);
};

} // namespace Logic
