// The engine that chooses: every formula goes to the compiled engine or to the SAT engine, each
// exact where it decides at all, by which is expected to be done first.
//
// Small documents always stay with the compiled engine. Its numbering is the specified
// decision, and its failure texts and explanations are the specified ones too. The SAT engine
// takes over where no numbering fits ("Too many predicates!"), and where the numbering's space
// is large and the SAT encoding is expected to be much cheaper to solve than that space is to
// walk. A document with binary predicates is the document's affair (PreparedDocument): the
// numbering decides it where its evaluation never reaches one, and the SAT engine's search for
// finite models (FindModel) has its turn where it does.

#include "engine/DecisionEngine.h"
#include "model/Matrix.h"

namespace Logic {

namespace {

/// Up to this much estimated work (about a nanosecond a step) the compiled engine decides
/// whatever the SAT engine's estimate: a few milliseconds at most.
constexpr uint64_t SmallWork = uint64_t{1} << 22;

class Auto final : public DecisionEngine {
public:
    std::string_view Name() const override { return "auto"; }

    std::unique_ptr<PreparedFormula> Prepare(const Matrix& aRoot, const Predicates& aPredicates,
                                             const EngineLimits& aLimits) const override {
        // The searches walk the numbering; only the compiled engine does that fast.
        return CompiledEngine().Prepare(aRoot, aPredicates, aLimits);
    }

    bool DecidesThroughNumbering() const override { return false; }

    Alethicity Decide(const Matrix& aRoot, const EngineLimits& aLimits) const override {
        return EngineChosenFor(aRoot).Decide(aRoot, aLimits);
    }

    uint64_t EstimatedWork(const Matrix& aRoot) const override {
        return EngineChosenFor(aRoot).EstimatedWork(aRoot);
    }

#ifdef QUENDRAL_HAVE_CADICAL
    // The models of documents with binary predicates, and of those beyond the numbering.
    bool FindsModels() const override {
        return true;
    }

    FoundModel FindModel(const Matrix& aFormula, bool aTruth,
                         const EngineLimits& aLimits) const override {
        return SatEngine().FindModel(aFormula, aTruth, aLimits);
    }
#endif
};

} // namespace

const DecisionEngine& AutoEngine() {
    static const Auto sEngine;
    return sEngine;
}

const DecisionEngine& EngineChosenFor(const Matrix& aRoot) {
#ifdef QUENDRAL_HAVE_CADICAL
    const uint64_t lCompiled = CompiledEngine().EstimatedWork(aRoot);
    if (lCompiled <= SmallWork) {
        return CompiledEngine();
    }
    const uint64_t lSat = SatEngine().EstimatedWork(aRoot);
    if (lSat == DecisionEngine::NoEstimate) {
        // Where neither decides, the compiled engine's failure is the specified one.
        return CompiledEngine();
    }
    return lSat < lCompiled ? SatEngine() : CompiledEngine();
#else
    (void)aRoot;
    return CompiledEngine();
#endif
}

} // namespace Logic
