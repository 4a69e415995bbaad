// The SAT engine: a formula is decided by the satisfiability of it and of its negation, each
// over every model of at most N objects in each of at most W worlds, by a SAT solver
// (SatSolver). Nothing is numbered, so the number of sentence letters and predicates is not
// bounded by a 32-bit kind-of-world number; the searches for examples and counterexamples,
// which walk the numbering, are the compiled engine's where the numbering holds the document,
// and the solver's own models beyond it.
//
// How large a model must be searched is SatBounds' part, the clauses SatEncoder's, and the
// models shown for an explanation SatModelSearch's.

#ifdef QUENDRAL_HAVE_CADICAL

#include <algorithm>
#include <span>
#include <string>

#include "engine/DecisionEngine.h"
#include "engine/SatBounds.h"
#include "engine/SatEncoder.h"
#include "engine/SatModelSearch.h"
#include "model/EngineException.h"
#include "platform/LargeStack.h"

namespace Logic {

namespace {

using namespace SatEncoding;

/// Whether aRoot can be made true (aTrue) or false over a model of bounded size.
bool Satisfiable(const Matrix& aRoot, const Shape& aShape, bool aTrue) {
    const uint32_t lObjects = ObjectsNeeded(aRoot, aShape, aTrue);
    RequireEncodable(aRoot, lObjects, WorldsNeeded(aShape));
    SatSolver lSolver;
    Encoder lEncoder(lSolver, lObjects, WorldsNeeded(aShape));
    lEncoder.OrderObjectsByKind(aRoot.UnaryPredicates());
    const int32_t lRoot = aTrue ? lEncoder.Encode(aRoot) : -lEncoder.Encode(aRoot);
    if (lRoot == True || lRoot == False) {
        return lRoot == True;
    }
    return lSolver.Solve(std::span<const int32_t>(&lRoot, 1));
}

Alethicity DecideBySatisfiability(const Matrix& aRoot, const Shape& aShape) {
    if (!Satisfiable(aRoot, aShape, false)) {
        return Alethicity::Necessary;
    }
    return Satisfiable(aRoot, aShape, true) ? Alethicity::Contingent : Alethicity::Impossible;
}

class Sat final : public DecisionEngine {
public:
    std::string_view Name() const override { return "sat"; }

    std::unique_ptr<PreparedFormula> Prepare(const Matrix& aRoot, const Predicates& aPredicates,
                                             const EngineLimits& aLimits) const override {
        return CompiledEngine().Prepare(aRoot, aPredicates, aLimits);
    }

    bool DecidesThroughNumbering() const override { return false; }

    bool FindsModels() const override { return true; }

    FoundModel FindModel(const Matrix& aFormula, bool aTruth, const EngineLimits&) const override {
        return OnLargeStack([&] { return SatEncoding::FindModel(aFormula, aTruth); });
    }

    Alethicity Decide(const Matrix& aRoot, const EngineLimits& aLimits) const override {
        return OnLargeStack([&] {
            const Shape lShape = ShapeOf(aRoot);
            if (lShape.mIdentityAcrossWorlds) {
                throw EngineException("The SAT engine can't decide a proposition whose identities compare "
                                      "objects across modal operators; the compiled engine decides it.");
            }
            if (lShape.mBinaryPredications) {
                // A document with binary predicates is decided by the models FindModel finds
                // where the numbering fails on them (PreparedDocument); asked for directly, a
                // formula fails as the numbering does, where the evaluation reaches one.
                return DecisionEngine::Decide(aRoot, aLimits);
            }
            return DecideBySatisfiability(aRoot, lShape);
        });
    }

    uint64_t EstimatedWork(const Matrix& aRoot) const override {
        return OnLargeStack([&] {
            const Shape lShape = ShapeOf(aRoot);
            if (lShape.mIdentityAcrossWorlds || lShape.mBinaryPredications) {
                return NoEstimate;
            }
            uint32_t lObjects = 0;
            try {
                lObjects = std::max(ObjectsNeeded(aRoot, lShape, true),
                                    ObjectsNeeded(aRoot, lShape, false));
            } catch (const EngineException&) {
                return NoEstimate;
            }
            const uint64_t lInstances = InstancesToEncode(aRoot, lObjects);
            // Each instance is a variable and a few clauses in every world, searched by the
            // solver twice; a solver's step costs far more than a circuit's.
            const uint64_t lWork = lInstances * WorldsNeeded(lShape);
            return lWork > MostInstances ? NoEstimate : lWork * 256;
        });
    }
};

} // namespace

const DecisionEngine& SatEngine() {
    static const Sat sEngine;
    return sEngine;
}

} // namespace Logic

#endif
