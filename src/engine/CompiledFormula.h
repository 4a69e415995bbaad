#pragma once
// CompiledFormula: one formula flattened for one numbering (Predicates), built once per
// decision or search and evaluated instead of the tree's virtual TrueIn.
//
// Two forms are built from the flat node arrays:
// - a BitCircuit over the candidate numbers (kinds of worlds without modal operators,
//   interpretations with them), evaluated 4096 candidates at a time: quantifiers are unrolled
//   over the combinations of a kind of world, modal operators over the kinds of worlds of an
//   interpretation; formulas whose evaluation can fail (binary predicates), or whose unrolled
//   circuit would be too large, have none;
// - a scalar walk over the flat arrays, with the same short-circuit order and failures as the
//   reference TrueIn, used when there is no circuit and for the truth in single worlds.
// Evaluation state (variable slots, Necessity memos, circuit scratch) belongs to each
// evaluation, never to the shared tree.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/BitCircuit.h"
#include "model/Matrix.h"
#include "model/Verdicts.h"

namespace Logic {

class Predicates;

class CompiledFormula {
public:
    /// Formulas nested deeper than this are compiled and walked on a large stack.
    static constexpr int32_t DeepFormula = 400;

    /// aRoot and aPredicates (made from aRoot) must outlive this object.
    CompiledFormula(const Matrix& aRoot, const Predicates& aPredicates);
    ~CompiledFormula();
    CompiledFormula(const CompiledFormula&) = delete;
    CompiledFormula& operator=(const CompiledFormula&) = delete;

    /// The verdict over every interpretation, with the reference's early stop and failures.
    Alethicity Decide() const;

    /// The first candidate in aFirst .. aLast (inclusive, in increasing order) with a world
    /// where the formula is false: kinds of worlds without modal operators, interpretations
    /// with them. Runs on the calling thread.
    std::optional<uint32_t> FirstCounterexample(uint32_t aFirst, uint32_t aLast) const;

    /// Truth in one world of one interpretation, by the scalar walk.
    bool TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld) const;
    /// Truth in every world of aInterpretation, in the numbering's order: (kind of world, true).
    std::vector<std::pair<uint32_t, bool>> TruthInEachWorld(uint32_t aInterpretation) const;

    /// Whether the bit-parallel circuit decides this formula (else the scalar walk does).
    bool HasCircuit() const { return mProgram != nullptr; }

    struct Node {
        NodeKind mKind = NodeKind::NullPredicate;
        uint32_t mFirst = 0;  // operand (unary operators, left of binary ones)
        uint32_t mSecond = 0; // right operand
        int32_t mBit = -1;    // nullary predicate: bit in the world; unary: bit in the combination
        uint32_t mSlot = 0;   // variable (quantifier, predication, left of identity)
        uint32_t mSlot2 = 0;  // right variable of identity
        int32_t mMemo = -1;   // memoizible Necessity: its memo table
        std::string mText;    // text for a failure message (predicate)
        std::vector<uint32_t> mFreeSlots; // variables free in this node, ascending
    };

    class Scalar;

private:
    void Flatten(const Matrix& aRoot);
    void BuildCircuit();
    void FindFreeSlots();
    /// Runs aWork, on a large stack when the formula is deep enough for its recursion to need one.
    void WithEnoughStack(const std::function<void()>& aWork) const;

    const Predicates& mPredicates;
    std::vector<Node> mNodes;
    uint32_t mRoot = 0;
    std::vector<std::string> mVariableNames;
    std::vector<bool> mIdentified; // per slot: the variable takes part in an identity
    int32_t mMemoTables = 0;
    int32_t mDepth = 0;
    bool mModal = false;
    std::unique_ptr<BitProgram> mProgram; // outputs: some world true, some world false
    uint32_t mFirstLane = 0;
    uint32_t mLastLane = 0;
};

} // namespace Logic
