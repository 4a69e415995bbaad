#pragma once
// Utility: the verdict sentences for the results log, and small shared helpers.

#include <functional>
#include <string>

#include "model/Verdicts.h"

namespace Logic {

class Matrix;

class Utility {
public:
    /// The one sentence logged for a decided document: an argument's quality, or a statement's
    /// alethicity.
    static std::string StatementOfResult(const Matrix& aMatrix);
    /// Fails with NotImplementedException for a value without a text.
    static std::string TextForDecision(Alethicity aAlethicity);
    /// Fails with NotImplementedException for a value without a text.
    static std::string TextResult(Quality aQuality);

    /// True when the two sequences have at least one element in common under aEqual.
    template <typename A, typename B, typename Equal = std::equal_to<>>
    static bool Intersects(const A& aLeft, const B& aRight, Equal aEqual = {}) {
        for (const auto& lLeft : aLeft) {
            for (const auto& lRight : aRight) {
                if (aEqual(lLeft, lRight)) {
                    return true;
                }
            }
        }
        return false;
    }
};

} // namespace Logic
