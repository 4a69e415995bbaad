#include "provers/Prover9Mace4.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "model/EngineException.h"
#include "model/Factory.h"
#include "parser/Characters.h"
#include "platform/Cancellation.h"
#include "provers/BackgroundProcesses.h"

namespace Logic {

const ExitReportPattern Prover9Mace4::TheoremProved("proof");
const ExitReportPattern Prover9Mace4::CounterexampleFound("model");

bool ExitReportPattern::IsMatch(std::string_view aOutput) const {
    constexpr std::string_view lLead = "Exiting with ";
    for (size_t lAt = aOutput.find(lLead); lAt != std::string_view::npos;
         lAt = aOutput.find(lLead, lAt + 1)) {
        size_t lPosition = lAt + lLead.size();
        size_t lDigits = 0;
        for (DecodedCharacter lCharacter = DecodeCharacter(aOutput, lPosition);
             lCharacter.IsDigit(); lCharacter = DecodeCharacter(aOutput, lPosition)) {
            lPosition += lCharacter.mLength;
            ++lDigits;
        }
        if (lDigits > 0 && aOutput.compare(lPosition, 1, " ") == 0 &&
            aOutput.compare(lPosition + 1, mNoun.size(), mNoun) == 0) {
            return true;
        }
    }
    return false;
}

std::string Prover9Mace4::ToString(Result aResult) {
    switch (aResult) {
    case Result::Necessary:
        return "necessary";
    case Result::Possible:
        return "possible";
    case Result::Contingent:
        return "contingent";
    case Result::Unnecessary:
        return "unncessary";
    case Result::Impossible:
        return "impossible";
    case Result::NoDecision:
        return "no decision";
    }
    throw EngineException("Unhanded enum {0}.", static_cast<int32_t>(aResult));
}

namespace {
/// The Prover9 input of aProposition and of its negation, in that order; absent when Prover9
/// cannot express the formula (a modal one).
std::optional<std::pair<std::string, std::string>> InputsFor(const MatrixPtr& aProposition) {
    if (aProposition->ContainsModalities()) {
        return std::nullopt;
    }
    return std::pair(aProposition->Prover9Input(), Factory::Not(aProposition)->Prover9Input());
}
} // namespace

Prover9Mace4::Result Prover9Mace4::Decide(const MatrixPtr& aProposition, int32_t aSecondsTimeout) {
    auto lInputs = InputsFor(aProposition);
    if (!lInputs) {
        return Result::NoDecision;
    }
    // A command stopped already starts nothing.
    CheckCancellation();
    auto& [lPositiveInput, lNegativeInput] = *lInputs;

    // Each flag has one writer, its run's output handler; they are read only after the group
    // has ended, which orders the writes before the reads.
    bool lFoundThatPropositionIsNecessary = false;
    bool lFoundThatPropositionIsImpossible = false;
    bool lPositiveCounterexampleFound = false;
    bool lNegativeCounterexampleFound = false;

    std::optional<std::chrono::milliseconds> lLimit;
    std::optional<std::string> lArguments;
    if (aSecondsTimeout >= 0) {
        lLimit = std::chrono::milliseconds(int64_t{aSecondsTimeout} * 1000);
        lArguments = Format("-t {0}", aSecondsTimeout);
    }
    auto lPositiveCaseTokenSource = std::make_shared<CancellationSignal>(lLimit);
    auto lNegativeCaseTokenSource = std::make_shared<CancellationSignal>(lLimit);
    const auto fFireBoth = [&] {
        lPositiveCaseTokenSource->Cancel();
        lNegativeCaseTokenSource->Cancel();
    };

    // A run sets its flag when its program's output shows the pattern, then fires its signals.
    std::vector<BackgroundProcesses::Run> lRuns;
    const auto fRun = [&](const std::shared_ptr<CancellationSignal>& aSignal, const char* aProgram,
                          const std::string& aInput, const ExitReportPattern& aPattern,
                          bool& aFound, std::function<void()> aFire) {
        lRuns.push_back(BackgroundProcesses::ExcuteUntilExitOrCancellation(
            aSignal, ShellParameters(aProgram, lArguments, aInput),
            [&aPattern, &aFound, aFire = std::move(aFire)](const std::string& fOutput) {
                if (aPattern.IsMatch(fOutput)) {
                    aFound = true;
                    aFire();
                }
            }));
    };
    fRun(lPositiveCaseTokenSource, prover9, lPositiveInput, TheoremProved,
         lFoundThatPropositionIsNecessary, fFireBoth);
    fRun(lNegativeCaseTokenSource, prover9, lNegativeInput, TheoremProved,
         lFoundThatPropositionIsImpossible, fFireBoth);
    fRun(lPositiveCaseTokenSource, mace4, lPositiveInput, CounterexampleFound,
         lPositiveCounterexampleFound, [&] { lPositiveCaseTokenSource->Cancel(); });
    fRun(lNegativeCaseTokenSource, mace4, lNegativeInput, CounterexampleFound,
         lNegativeCounterexampleFound, [&] { lNegativeCaseTokenSource->Cancel(); });
    {
        // The runs wait for their programs, not for checks: a stop must fire their signals.
        Cancellation* lCancellation = Cancellation::Current();
        std::optional<Cancellation::Subscription> lStopRuns;
        if (lCancellation != nullptr) {
            lStopRuns.emplace(lCancellation->OnStop(
                [lPositive = lPositiveCaseTokenSource, lNegative = lNegativeCaseTokenSource] {
                    lPositive->Cancel();
                    lNegative->Cancel();
                }));
        }
        BackgroundProcesses::RunTogether(lRuns);
    }
    // Outputs cut short by a stop decide nothing.
    CheckCancellation();

    if ((lPositiveCounterexampleFound && lFoundThatPropositionIsNecessary) ||
        (lNegativeCounterexampleFound && lFoundThatPropositionIsImpossible) ||
        (lFoundThatPropositionIsNecessary && lFoundThatPropositionIsImpossible)) {
        throw EngineException("Inconsistent result!");
    }
    if (lFoundThatPropositionIsNecessary) {
        return Result::Necessary;
    }
    if (lFoundThatPropositionIsImpossible) {
        return Result::Impossible;
    }
    if (lPositiveCounterexampleFound && lNegativeCounterexampleFound) {
        return Result::Contingent;
    }
    if (lPositiveCounterexampleFound) {
        return Result::Unnecessary;
    }
    if (lNegativeCounterexampleFound) {
        return Result::Possible;
    }
    return Result::NoDecision;
}

} // namespace Logic
