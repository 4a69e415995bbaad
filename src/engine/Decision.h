#pragma once
// Engine operations beside the Matrix members: decisions and searches on an engine the caller
// names (DecisionEngine; the members use the default one), the Necessity memo's binding to a
// numbering, and the helpers of the example and counterexample search.

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/DecisionEngine.h"
#include "engine/EngineLimits.h"
#include "engine/KindOfWorld.h"
#include "engine/Predicates.h"
#include "model/Matrix.h"
#include "model/Verdicts.h"

namespace Logic {

class Argument;
class Predicates;

/// Matrix::Decide on the given engine.
Alethicity DecideWith(const Matrix& aMatrix, const DecisionEngine& aEngine, const EngineLimits& aLimits = {});
/// Matrix::DecideForFreeVariables on the given engine.
Alethicity DecideForFreeVariablesWith(const Matrix& aMatrix, const DecisionEngine& aEngine,
                                      const EngineLimits& aLimits = {});
/// The quality of an argument on the given engine, computed afresh (nothing is cached).
Quality QualityWith(const Argument& aArgument, const DecisionEngine& aEngine, const EngineLimits& aLimits = {});

/// Where a resumable search stands: the last hit, and whether a hit can still exist.
struct SearchPosition {
    std::optional<uint32_t> mLastFound;
    bool mMightBe = true;
};

/// A hit of the search with what it was found in: the searched target (aMatrix closed over its
/// constants, negated for an example search) and its numbering; for a modal target, the
/// target's truth in every world of the hit interpretation, in the numbering's order.
struct SearchHit {
    MatrixPtr mTarget;
    Predicates mPredicates;
    bool mModal = false;
    /// A kind-of-world number, or with modal operators an interpretation number.
    uint32_t mCandidate = 0;
    std::vector<std::pair<uint32_t, bool>> mWorlds;
};

/// The next example (aExample) or counterexample of aMatrix after aPosition, which it moves
/// on; absent when there is none.
std::optional<SearchHit> FindNextHitWith(const Matrix& aMatrix, bool aExample,
                                         SearchPosition& aPosition, const DecisionEngine& aEngine,
                                         const EngineLimits& aLimits = {});

/// FindNextHitWith's hit decoded: a kind of world, or a modal counterexample; null for none.
std::unique_ptr<Counterexample> FindNextWith(const Matrix& aMatrix, bool aExample,
                                             SearchPosition& aPosition, const DecisionEngine& aEngine,
                                         const EngineLimits& aLimits = {});

/// Binds the memo of every memoizible Necessity in aMatrix to aPredicates' numbering, emptying
/// memos filled under another one. Call it on one thread before evaluating under aPredicates:
/// Necessity nodes whose memo is bound to another numbering evaluate without it, which is
/// correct but slower.
void PrepareNecessityMemos(const Matrix& aMatrix, const Predicates& aPredicates);

/// The candidate after aPossibility, wrapping from aLast to aFirst.
uint32_t NextPossibility(uint32_t aPossibility, uint32_t aFirst, uint32_t aLast);

} // namespace Logic
