#pragma once
// CompiledFormula: the compiled engine's prepared formula, one formula flattened for one
// numbering (Predicates), built once per decision or search target and evaluated instead of
// the tree's virtual TrueIn.
//
// Two forms are built from the flat formula (FlatFormula):
// - a BitCircuit over the candidate numbers (CircuitUnrolling), evaluated 4096 candidates at a
//   time; formulas whose evaluation can fail (binary predicates), or whose unrolled circuit
//   would be too large, have none;
// - a scalar walk (ScalarWalk), with the same short-circuit order and failures as the
//   reference TrueIn, used when there is no circuit and for the truth in each world.
// Both walk quantifiers up to the symmetry of interchangeable objects and decide counting
// forms by counting.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/BitCircuit.h"
#include "engine/DecisionEngine.h"
#include "engine/EngineLimits.h"
#include "engine/FlatFormula.h"
#include "model/Matrix.h"
#include "model/Verdicts.h"

namespace Logic {

class Predicates;

class CompiledFormula final : public PreparedFormula {
public:
    /// Formulas nested deeper than this are compiled and walked on a large stack.
    static constexpr int32_t DeepFormula = 400;

    /// aRoot and aPredicates (made from aRoot) must outlive this object.
    CompiledFormula(const Matrix& aRoot, const Predicates& aPredicates,
                    const EngineLimits& aLimits = EngineLimits{});
    ~CompiledFormula() override;
    CompiledFormula(const CompiledFormula&) = delete;
    CompiledFormula& operator=(const CompiledFormula&) = delete;

    /// The verdict over every interpretation, with the reference's early stop and failures.
    Alethicity Decide() const override;

    /// The first candidate in aFirst .. aLast (inclusive, in increasing order) with a world
    /// where the formula is false: kinds of worlds without modal operators, interpretations
    /// with them. Runs on the calling thread.
    std::optional<uint32_t> FirstCounterexample(uint32_t aFirst, uint32_t aLast) const override;

    /// Truth in every world of aInterpretation, in the numbering's order: (kind of world, true).
    std::vector<std::pair<uint32_t, bool>> TruthInEachWorld(uint32_t aInterpretation) const override;

    /// Whether the bit-parallel circuit decides this formula (else the scalar walk does); it is
    /// unrolled when first needed.
    bool HasCircuit() const { return Circuit() != nullptr; }
    /// Whether the formula's evaluation can fail (and so has no circuit).
    bool CanFail() const { return mFlat.mCanFail; }

private:
    /// Candidates times the worlds of each: the scalar walk's work.
    uint64_t WorldsToWalk() const;
    bool CircuitWorthTrying() const;
    /// The circuit, unrolled on the first call; null where the formula has none.
    const BitProgram* Circuit() const;
    std::optional<uint32_t> ScalarFirstCounterexample(uint32_t aFirst, uint32_t aLast) const;
    /// Runs aWork, on a large stack when the formula is deep enough for its recursion to need one.
    void WithEnoughStack(const std::function<void()>& aWork) const;

    EngineLimits mLimits;
    FlatFormula mFlat;
    mutable bool mCircuitTried = false;
    mutable std::unique_ptr<BitProgram> mProgram; // outputs: some world true, some world false
    uint32_t mFirstLane = 0;
    uint32_t mLastLane = 0;
};

} // namespace Logic
