// The compiled engine and the list of every engine.

#include "engine/DecisionEngine.h"

#include <array>

#include "engine/CompiledFormula.h"

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

const DecisionEngine& CompiledEngine() {
    static const Compiled sEngine;
    return sEngine;
}

std::span<const DecisionEngine* const> RegisteredEngines() {
    static const std::array<const DecisionEngine*, 2> sEngines{&CompiledEngine(), &ReferenceEngine()};
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
