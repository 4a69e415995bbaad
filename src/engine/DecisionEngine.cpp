// The compiled engine and the list of every engine.

#include "engine/DecisionEngine.h"

#include <array>

#include "engine/CompiledFormula.h"
#include "engine/Predicates.h"
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

const DecisionEngine& CompiledEngine() {
    static const Compiled sEngine;
    return sEngine;
}

std::span<const DecisionEngine* const> RegisteredEngines() {
#ifdef QUENDRAL_HAVE_CADICAL
    static const std::array<const DecisionEngine*, 3> sEngines{&CompiledEngine(), &ReferenceEngine(),
                                                               &SatEngine()};
#else
    static const std::array<const DecisionEngine*, 2> sEngines{&CompiledEngine(), &ReferenceEngine()};
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
