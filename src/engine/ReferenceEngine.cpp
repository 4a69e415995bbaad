// The reference engine: every answer by the tree's own TrueIn, one world at a time, in the
// order the other engines must reproduce. Its recursion follows the formula's depth, so a
// deep formula is evaluated on a large stack.

#include <algorithm>
#include <array>

#include "engine/CompiledFormula.h"
#include "engine/Decision.h"
#include "engine/DecisionEngine.h"
#include "engine/DistinctNodeWalk.h"
#include "engine/ParallelLoop.h"
#include "engine/Predicates.h"
#include "engine/TruthSeen.h"
#include "platform/LargeStack.h"

namespace Logic {

namespace {

/// Up to this many interpretations the reference decides on the calling thread.
constexpr uint64_t SmallSpace = 4096;

/// The nesting depth of aMatrix, which the reference's recursion follows.
int32_t Depth(const Matrix& aMatrix) {
    return DistinctNodeWalk::FoldBottomUp<int32_t>(
        aMatrix, [](const Matrix&, const std::array<int32_t, 2>& fOperands) {
            return std::max(fOperands[0], fOperands[1]) + 1;
        });
}

class ReferenceFormula final : public PreparedFormula {
public:
    ReferenceFormula(const Matrix& aRoot, const Predicates& aPredicates)
        : mRoot(aRoot), mPredicates(aPredicates),
          mDeep(Depth(aRoot) > CompiledFormula::DeepFormula) {}

    Alethicity Decide() const override {
        PrepareNecessityMemos(mRoot, mPredicates);
        TruthSeen lSeen;
        const auto lInterpretations = mPredicates.Interpretations();
        Foreach(
            lInterpretations,
            [&](uint32_t fInterpretation, bool& fBreak) {
                for (uint32_t lKindOfWorld : mPredicates.KindsOfWorlds(fInterpretation)) {
                    const bool lTrue = mRoot.TrueIn(fInterpretation, lKindOfWorld, mPredicates);
                    if (lSeen.Saw(lTrue, !lTrue)) {
                        fBreak = true;
                        return;
                    }
                }
            },
            lInterpretations.size() <= SmallSpace ? 1u : 0u, mDeep);
        return lSeen.Verdict();
    }

    std::optional<uint32_t> FirstCounterexample(uint32_t aFirst, uint32_t aLast) const override {
        PrepareNecessityMemos(mRoot, mPredicates);
        return WithEnoughStack([&]() -> std::optional<uint32_t> {
            const bool lModal = mPredicates.ModalitiesPresent();
            for (uint64_t lCandidate = aFirst; lCandidate <= aLast; ++lCandidate) {
                const auto lNumber = static_cast<uint32_t>(lCandidate);
                const bool lHit = lModal ? mRoot.HasCounterexample(lNumber, mPredicates)
                                         : !mRoot.TrueIn(mPredicates.FirstInterpretation(), lNumber,
                                                         mPredicates);
                if (lHit) {
                    return lNumber;
                }
            }
            return std::nullopt;
        });
    }

    std::vector<std::pair<uint32_t, bool>> TruthInEachWorld(uint32_t aInterpretation) const override {
        PrepareNecessityMemos(mRoot, mPredicates);
        return WithEnoughStack([&] {
            std::vector<std::pair<uint32_t, bool>> lWorlds;
            for (uint32_t lWorld : mPredicates.KindsOfWorlds(aInterpretation)) {
                lWorlds.emplace_back(lWorld, mRoot.TrueIn(aInterpretation, lWorld, mPredicates));
            }
            return lWorlds;
        });
    }

private:
    /// Runs aWork on a large stack only when the formula is deep enough to need one.
    template <typename Work> auto WithEnoughStack(Work aWork) const -> decltype(aWork()) {
        return mDeep ? OnLargeStack(aWork) : aWork();
    }

    const Matrix& mRoot;
    const Predicates& mPredicates;
    bool mDeep;
};

class Reference final : public DecisionEngine {
public:
    std::string_view Name() const override { return "reference"; }

    std::unique_ptr<PreparedFormula> Prepare(const Matrix& aRoot, const Predicates& aPredicates,
                                             const EngineLimits&) const override {
        return std::make_unique<ReferenceFormula>(aRoot, aPredicates);
    }
};

} // namespace

const DecisionEngine& ReferenceEngine() {
    static const Reference sEngine;
    return sEngine;
}

} // namespace Logic
