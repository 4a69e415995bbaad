// The compiled engine and the list of every engine.

#include "engine/DecisionEngine.h"

#include <array>

#include "engine/CompiledFormula.h"
#include "engine/DistinctNodeWalk.h"
#include "engine/Predicates.h"
#include "model/EngineException.h"
#include "model/Matrix.h"

namespace Logic {

namespace {

class Compiled final : public DecisionEngine {
public:
    std::string_view Name() const override { return "compiled"; }

    std::unique_ptr<PreparedFormula> Prepare(const Matrix& aRoot, const Predicates& aPredicates,
                                             const EngineLimits& aLimits) const override {
        return std::make_unique<CompiledFormula>(aRoot, aPredicates, aLimits);
    }
};

} // namespace

Alethicity DecisionEngine::Decide(const Matrix& aRoot, const EngineLimits& aLimits) const {
    const Predicates lPredicates = aRoot.CollectPredicates();
    return Prepare(aRoot, lPredicates, aLimits)->Decide();
}

FoundModel DecisionEngine::FindModel(const Matrix&, bool, const EngineLimits&) const { return {}; }

uint64_t DecisionEngine::EstimatedWork(const Matrix& aRoot) const {
    // A numbering walks every candidate, each over the formula's nodes; the circuits take many
    // candidates at a time, which the divisor stands for.
    uint64_t lCandidates = 0;
    try {
        const Predicates lPredicates = aRoot.CollectPredicates();
        lCandidates = uint64_t{lPredicates.LastInterpretation()} - lPredicates.FirstInterpretation() + 1;
    } catch (const EngineException&) {
        return NoEstimate;
    }
    uint64_t lNodes = 0;
    DistinctNodeWalk::ForEachDistinctNode(aRoot, [&](const Matrix&) { ++lNodes; });
    return lCandidates * (1 + lNodes / 16);
}

const DecisionEngine& CompiledEngine() {
    static const Compiled sEngine;
    return sEngine;
}

std::span<const DecisionEngine* const> RegisteredEngines() {
#ifdef QUENDRAL_HAVE_CADICAL
    static const std::array<const DecisionEngine*, 4> sEngines{&AutoEngine(), &CompiledEngine(),
                                                               &ReferenceEngine(), &SatEngine()};
#else
    static const std::array<const DecisionEngine*, 3> sEngines{&AutoEngine(), &CompiledEngine(),
                                                               &ReferenceEngine()};
#endif
    return sEngines;
}

const DecisionEngine* FindEngine(std::string_view aName) {
    for (const DecisionEngine* lEngine : RegisteredEngines()) {
        if (lEngine->Name() == aName) {
            return lEngine;
        }
    }
    return nullptr;
}

} // namespace Logic
