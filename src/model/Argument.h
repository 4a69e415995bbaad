#pragma once

#include <functional>
#include <optional>

#include "model/MaterialConditional.h"

namespace Logic {

/// Premises and a conclusion, held as the conditional from the premises' conjunction (nested to
/// the left) to the conclusion.
class Argument final : public MaterialConditional {
public:
    /// Fails with "Can't conjoin an empty list of matrices." when there are no premises.
    Argument(const std::vector<MatrixPtr>& aPremises, MatrixPtr aConclusion);
    /// Draws the premises one by one from aNextPremise (null when there are no more), joining
    /// each as soon as it is drawn, so serial names follow the order of parsing.
    Argument(const std::function<MatrixPtr()>& aNextPremise, MatrixPtr aConclusion);

    std::string DOTLabel() const override;
    /// The verdict, decided on first request and cached; nothing is cached when deciding fails.
    Logic::Quality Quality() const;

    mutable std::optional<Logic::Quality> mQuality;
};

} // namespace Logic
