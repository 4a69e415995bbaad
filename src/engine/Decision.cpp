// The decision procedure (Decide, the verdict of an argument, the walk over interpretations)
// and the resumable example and counterexample search. Every entry goes through DecideWith or
// FindNextHitWith, which hand the evaluation to the chosen engine (DecisionEngine).

#include "engine/Decision.h"

#include <optional>
#include <string>
#include <string_view>

#include "engine/DecisionEngine.h"
#include "engine/DistinctNodeWalk.h"
#include "engine/Explanation.h"
#include "engine/Predicates.h"
#include "model/Argument.h"
#include "model/EngineException.h"
#include "model/Factory.h"

namespace Logic {

namespace {

/// The search: the cycle of candidates from the one after the last hit, wrapping from aLast to
/// aFirst.
void Search(const PreparedFormula& aPrepared, uint32_t aFirst, uint32_t aLast,
            SearchPosition& aPosition) {
    if (!aPosition.mMightBe) {
        return;
    }
    const uint32_t lStart =
        aPosition.mLastFound ? NextPossibility(*aPosition.mLastFound, aFirst, aLast) : aFirst;
    std::optional<uint32_t> lHit = aPrepared.FirstCounterexample(lStart, aLast);
    if (!lHit && lStart > aFirst) {
        lHit = aPrepared.FirstCounterexample(aFirst, lStart - 1);
    }
    if (lHit) {
        aPosition.mLastFound = lHit;
    } else if (!aPosition.mLastFound) {
        aPosition.mMightBe = false;
    }
}

} // namespace

PreparedSearch::PreparedSearch(const Matrix& aTarget, MatrixPtr aOwner,
                               const DecisionEngine& aEngine, const EngineLimits& aLimits)
    : mTarget(aTarget), mOwner(std::move(aOwner)), mPredicates(aTarget.CollectPredicates()),
      mModal(aTarget.ContainsModalities()) {
    // Modal candidates are interpretations; others are kinds of worlds of the one interpretation.
    mFirst = mModal ? mPredicates.FirstInterpretation() : mPredicates.FirstNonemptyWorld();
    mLast = mModal ? mPredicates.LastInterpretation() : mPredicates.LastKindOfWorld();
    mPrepared = aEngine.Prepare(mTarget, mPredicates, aLimits);
}

std::optional<SearchHit> PreparedSearch::FindNext(SearchPosition& aPosition) const {
    if (mFirst > mLast) {
        aPosition.mMightBe = false; // nothing to enumerate, so nothing can be found
    }
    Search(*mPrepared, mFirst, mLast, aPosition);
    if (!aPosition.mLastFound) {
        return std::nullopt;
    }
    SearchHit lHit{
        mOwner ? mOwner : mTarget.SharedFromThis(), mPredicates, mModal, *aPosition.mLastFound, {}};
    if (mModal) {
        lHit.mWorlds = mPrepared->TruthInEachWorld(lHit.mCandidate);
    }
    return lHit;
}

PreparedDocument::PreparedDocument(const Matrix& aRoot, const DecisionEngine& aEngine,
                                   const EngineLimits& aLimits)
    : mRoot(aRoot), mEngine(aEngine), mLimits(aLimits), mFree(aRoot.FreeVariables()) {}

const PreparedSearch& PreparedDocument::Closure() {
    if (!mClosure) {
        if (mFree.empty()) {
            mClosure.emplace(mRoot, nullptr, mEngine, mLimits);
        } else {
            const MatrixPtr lClosed =
                Factory::Bind(mFree, mRoot.SharedFromThis(), &Factory::ForAll);
            mClosure.emplace(*lClosed, lClosed, mEngine, mLimits);
        }
    }
    return *mClosure;
}

namespace {
bool ContainsBinaryPredications(const Matrix& aRoot) {
    bool lFound = false;
    DistinctNodeWalk::ForEachDistinctNode(
        aRoot, [&](const Matrix& fNode) { lFound |= fNode.Kind() == NodeKind::BinaryPredication; });
    return lFound;
}

/// Whether aFailure is the numbering's: a binary predicate reached, or no room for the
/// predicates.
bool NumberingFails(const EngineException& aFailure) {
    const std::string_view lWhat = aFailure.what();
    return lWhat == BinaryPredicatesFailure || lWhat == TooManyPredicatesFailure;
}

/// aDecide's answer, which the compiled engine's numbering gives; nothing where the numbering
/// fails on the document (NumberingFails).
template <typename Decide>
auto ByTheNumbering(Decide aDecide) -> std::optional<decltype(aDecide())> {
    try {
        return aDecide();
    } catch (const EngineException& lFailure) {
        if (!NumberingFails(lFailure)) {
            throw;
        }
    }
    return std::nullopt;
}

std::string UpTo(uint32_t aObjects) {
    return "up to " + std::to_string(aObjects) + (aObjects == 1 ? " object." : " objects.");
}
} // namespace

bool PreparedDocument::DecidedByModels() {
    if (!mDecidedByModels) {
        mDecidedByModels = mEngine.FindsModels() && !mRoot.ContainsModalities() &&
                           ContainsBinaryPredications(mRoot);
    }
    return *mDecidedByModels;
}

bool PreparedDocument::ExplainedByModels() {
    if (!mExplainedByModels) {
        // Where the numbering the search would build (the formula's, closed over its names)
        // has no room, an engine that finds models shows its own.
        mExplainedByModels =
            mEngine.FindsModels() && !mEngine.DecidesThroughNumbering() && !ByTheNumbering([&] {
                (void)Factory::Bind(mFree, mRoot.SharedFromThis(), &Factory::ForAll)
                    ->CollectPredicates();
                return true;
            });
    }
    return *mExplainedByModels;
}

const FoundModel& PreparedDocument::Model(bool aTruth) {
    std::optional<FoundModel>& lModel = mModels[aTruth ? 1 : 0];
    if (!lModel) {
        lModel = mEngine.FindModel(mRoot, aTruth, mLimits);
    }
    return *lModel;
}

Alethicity PreparedDocument::DecideByModels() {
    // The numbering decides where its evaluation never reaches a binary predicate.
    if (const auto lVerdict = ByTheNumbering(
            [&] { return PreparedDocument(mRoot, CompiledEngine(), mLimits).Decide(); })) {
        return *lVerdict;
    }
    mExplainedByModels = true;
    if (Model(false).mModel && Model(true).mModel) {
        return Alethicity::Contingent;
    }
    FailUndecidedByModels(false);
}

void PreparedDocument::FailUndecidedByModels(bool aArgument) {
    Explanation lFound;
    lFound.mOfArgument = aArgument;
    std::vector<std::string> lNotes;
    if (!aArgument) {
        const FoundModel& lExample = Model(true);
        lFound.mExample = lExample.mModel;
        if (!lExample.mModel) {
            lNotes.push_back("No model with " + UpTo(lExample.mMostObjects));
        }
    }
    const FoundModel& lCounterexample = Model(false);
    lFound.mCounterexample = lCounterexample.mModel;
    if (!lCounterexample.mModel) {
        lNotes.push_back("No countermodel with " + UpTo(lCounterexample.mMostObjects));
    }
    throw UndecidedByModels(std::move(lFound), std::move(lNotes));
}

Alethicity PreparedDocument::Decide() {
    if (DecidedByModels()) {
        return DecideByModels();
    }
    if (!mFree.empty()) {
        if (mRoot.ContainsModalities()) {
            throw EngineException("This proposition can't be decided; it contains both "
                                  "constants and modal operators.");
        }
        return DecideForFreeVariables();
    }
    return DecideClosure();
}

Alethicity PreparedDocument::DecideClosure() {
    if (mEngine.DecidesThroughNumbering()) {
        return Closure().Prepared().Decide();
    }
    if (mFree.empty()) {
        return mEngine.Decide(mRoot, mLimits);
    }
    return mEngine.Decide(*Factory::Bind(mFree, mRoot.SharedFromThis(), &Factory::ForAll), mLimits);
}

Alethicity PreparedDocument::DecideForFreeVariables() {
    if (DecidedByModels()) {
        return DecideByModels();
    }
    if (DecideClosure() == Alethicity::Necessary) {
        return Alethicity::Necessary;
    }
    if (DecideWith(*Factory::Bind(mFree, mRoot.SharedFromThis(), &Factory::ThereExists), mEngine,
                   mLimits) == Alethicity::Impossible) {
        return Alethicity::Impossible;
    }
    return Alethicity::Contingent;
}

Quality PreparedDocument::ArgumentQuality() {
    if (DecidedByModels()) {
        if (const auto lQuality = ByTheNumbering([&] {
                return PreparedDocument(mRoot, CompiledEngine(), mLimits).ArgumentQuality();
            })) {
            return *lQuality;
        }
        mExplainedByModels = true;
        if (Model(false).mModel) {
            return Quality::Invalid;
        }
        FailUndecidedByModels(true);
    }
    const auto& lArgument = static_cast<const Argument&>(mRoot);
    if (Decide() != Alethicity::Necessary) {
        return Quality::Invalid;
    }
    const bool lInconsistentPremises =
        DecideWith(*lArgument.Left(), mEngine, mLimits) == Alethicity::Impossible;
    const bool lTautologicalConclusion =
        DecideWith(*lArgument.Right(), mEngine, mLimits) == Alethicity::Necessary;
    if (lInconsistentPremises && lTautologicalConclusion) {
        return Quality::InconsistentPremisesAndTautologicalConclusion;
    }
    if (lInconsistentPremises) {
        return Quality::InconsistentPremises;
    }
    return lTautologicalConclusion ? Quality::TautologicalConclusion : Quality::Valid;
}

const PreparedSearch& PreparedDocument::Search(bool aExample) {
    if (!mFree.empty() && mRoot.ContainsModalities()) {
        throw EngineException(
            "This proposition can't be evaluated; it contains both constants and modal operators.");
    }
    if (!aExample) {
        return Closure();
    }
    // The example search looks for a counterexample to "F is false everywhere".
    if (!mExamples) {
        const MatrixPtr lTarget =
            Factory::Bind(mFree, Factory::Not(mRoot.SharedFromThis()), &Factory::ForAll);
        mExamples.emplace(*lTarget, lTarget, mEngine, mLimits);
    }
    return *mExamples;
}

Alethicity DecideWith(const Matrix& aMatrix, const DecisionEngine& aEngine,
                      const EngineLimits& aLimits) {
    return PreparedDocument(aMatrix, aEngine, aLimits).Decide();
}

Alethicity DecideForFreeVariablesWith(const Matrix& aMatrix, const DecisionEngine& aEngine,
                                      const EngineLimits& aLimits) {
    return PreparedDocument(aMatrix, aEngine, aLimits).DecideForFreeVariables();
}

Quality QualityWith(const Argument& aArgument, const DecisionEngine& aEngine,
                    const EngineLimits& aLimits) {
    return PreparedDocument(aArgument, aEngine, aLimits).ArgumentQuality();
}

std::optional<SearchHit> FindNextHitWith(const Matrix& aMatrix, bool aExample,
                                         SearchPosition& aPosition, const DecisionEngine& aEngine,
                                         const EngineLimits& aLimits) {
    return PreparedDocument(aMatrix, aEngine, aLimits).Search(aExample).FindNext(aPosition);
}

std::unique_ptr<Counterexample> DecodeHit(const SearchHit& aHit) {
    if (!aHit.mModal) {
        return std::make_unique<KindOfWorld>(
            aHit.mPredicates.DecodeKindOfWorldNumber(aHit.mCandidate));
    }
    std::vector<KindOfWorld> lCounterexamples;
    std::vector<KindOfWorld> lNonCounterexamples;
    for (const auto& [lWorld, lTrue] : aHit.mWorlds) {
        (lTrue ? lNonCounterexamples : lCounterexamples)
            .push_back(aHit.mPredicates.DecodeKindOfWorldNumber(lWorld));
    }
    return std::make_unique<ModalCounterexample>(std::move(lCounterexamples),
                                                 std::move(lNonCounterexamples));
}

std::unique_ptr<Counterexample> FindNextWith(const Matrix& aMatrix, bool aExample,
                                             SearchPosition& aPosition,
                                             const DecisionEngine& aEngine,
                                             const EngineLimits& aLimits) {
    const std::optional<SearchHit> lHit =
        FindNextHitWith(aMatrix, aExample, aPosition, aEngine, aLimits);
    return lHit ? DecodeHit(*lHit) : nullptr;
}

Alethicity Matrix::Decide() const {
    return DecideWith(*this, DefaultEngine());
}

Alethicity Matrix::DecideForFreeVariables() const {
    return DecideForFreeVariablesWith(*this, DefaultEngine());
}

Quality Argument::Quality() const {
    // Assigned only once every decision has succeeded, so a failure leaves nothing cached.
    if (!mQuality) {
        mQuality = QualityWith(*this, DefaultEngine());
    }
    return *mQuality;
}

namespace {
std::unique_ptr<Counterexample> FindNextOnNode(const Matrix& aMatrix, bool aExample,
                                               std::optional<uint32_t>& aLastFound,
                                               bool& aMightBe) {
    SearchPosition lPosition{aLastFound, aMightBe};
    std::unique_ptr<Counterexample> lFound =
        FindNextWith(aMatrix, aExample, lPosition, DefaultEngine());
    aLastFound = lPosition.mLastFound;
    aMightBe = lPosition.mMightBe;
    return lFound;
}
} // namespace

std::unique_ptr<Counterexample> Matrix::FindNextExample() const {
    return FindNextOnNode(*this, true, mLastExampleFound, mExampleMightBe);
}

std::unique_ptr<Counterexample> Matrix::FindNextCounterexample() const {
    return FindNextOnNode(*this, false, mLastCounterexampleFound, mCounterexampleMightBe);
}

bool Matrix::HasCounterexample(uint32_t aInterpretation, const Predicates& aPredicates) const {
    for (uint32_t lKindOfWorld : aPredicates.KindsOfWorlds(aInterpretation)) {
        if (!TrueIn(aInterpretation, lKindOfWorld, aPredicates)) {
            return true;
        }
    }
    return false;
}

uint32_t NextPossibility(uint32_t aPossibility, uint32_t aFirst, uint32_t aLast) {
    return aPossibility == aLast ? aFirst : aPossibility + 1;
}

} // namespace Logic
