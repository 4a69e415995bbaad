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

/// One search target made ready once: its numbering, its candidates (kinds of worlds of the
/// first interpretation, or with modal operators interpretations) and the engine's prepared
/// formula, kept by the caller for every next hit.
class PreparedSearch {
public:
    /// aTarget must be closed, and outlive this object unless aOwner holds it.
    PreparedSearch(const Matrix& aTarget, MatrixPtr aOwner, const DecisionEngine& aEngine,
                   const EngineLimits& aLimits = {});
    PreparedSearch(const PreparedSearch&) = delete;
    PreparedSearch& operator=(const PreparedSearch&) = delete;

    /// The next hit after aPosition, which it moves on; absent when there is none.
    std::optional<SearchHit> FindNext(SearchPosition& aPosition) const;

    const Matrix& Target() const { return mTarget; }
    const Predicates& Numbering() const { return mPredicates; }
    const PreparedFormula& Prepared() const { return *mPrepared; }

private:
    const Matrix& mTarget;
    MatrixPtr mOwner;
    Predicates mPredicates;
    bool mModal = false;
    uint32_t mFirst = 0;
    uint32_t mLast = 0;
    std::unique_ptr<PreparedFormula> mPrepared;
};

/// A document's formula made ready for its verdict and its explanation, each target prepared
/// once, when first needed: the formula closed over its constants with "for all" is both what
/// its decision decides first and its counterexample search's target; the example search looks
/// for counterexamples to "the formula is false everywhere".
class PreparedDocument {
public:
    /// aRoot must outlive this object.
    PreparedDocument(const Matrix& aRoot, const DecisionEngine& aEngine, const EngineLimits& aLimits = {});
    PreparedDocument(const PreparedDocument&) = delete;
    PreparedDocument& operator=(const PreparedDocument&) = delete;

    /// The verdict of Matrix::Decide.
    Alethicity Decide();
    /// The verdict of Matrix::DecideForFreeVariables.
    Alethicity DecideForFreeVariables();
    /// The quality of the document, which must be an argument.
    Quality ArgumentQuality();
    /// The example (aExample) or counterexample search. Fails for a formula with both
    /// constants and modal operators.
    const PreparedSearch& Search(bool aExample);

    /// Whether the document may be decided by the models its engine finds (FindsModels): it
    /// has binary predicates and no modal operators. The numbering decides it where its
    /// evaluation never reaches a binary predicate; elsewhere a model where it is false makes
    /// an argument invalid, and one where it is true and one where it is false make a statement
    /// contingent. Nothing else is concluded, since no search of finite models proves that
    /// none exists.
    bool DecidedByModels();
    /// Whether its explanation shows its engine's own models: where they decided it, and where
    /// the engine decides without the numbering and the numbering cannot hold the document.
    bool ExplainedByModels();
    /// The engine's model where the formula is aTruth (for some objects of its names),
    /// searched once and kept.
    const FoundModel& Model(bool aTruth);

    const Matrix& Root() const { return mRoot; }
    const DecisionEngine& Engine() const { return mEngine; }

private:
    const PreparedSearch& Closure();
    /// The verdict on the formula closed with "for all": the closure's prepared formula's for
    /// an engine that decides through the numbering, else the engine's own.
    Alethicity DecideClosure();
    Alethicity DecideByModels();
    /// Fails as binary predicates fail, with the models found and the sizes searched.
    [[noreturn]] void FailUndecidedByModels(bool aArgument);

    const Matrix& mRoot;
    const DecisionEngine& mEngine;
    EngineLimits mLimits;
    std::vector<VariablePtr> mFree;
    std::optional<PreparedSearch> mClosure;
    std::optional<PreparedSearch> mExamples;
    std::optional<bool> mDecidedByModels;
    std::optional<bool> mExplainedByModels;
    std::optional<FoundModel> mModels[2];
};

/// The next example (aExample) or counterexample of aMatrix after aPosition, which it moves
/// on; absent when there is none. Prepares the search afresh: a caller that asks for more than
/// one hit keeps a PreparedSearch instead.
std::optional<SearchHit> FindNextHitWith(const Matrix& aMatrix, bool aExample,
                                         SearchPosition& aPosition, const DecisionEngine& aEngine,
                                         const EngineLimits& aLimits = {});

/// A hit decoded: a kind of world, or a modal counterexample.
std::unique_ptr<Counterexample> DecodeHit(const SearchHit& aHit);

/// FindNextHitWith's hit decoded; null for none.
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
