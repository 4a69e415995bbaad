#pragma once

#include <atomic>
#include <memory>

#include "model/UnaryOperator.h"

namespace Logic {

/// Modal necessity (the box). Memoizible when its operand has no modality and no free variable:
/// then the operand's truth depends on the kind-of-world number alone and is kept in
/// mTruthValues (0 not yet known, 1 true, -1 false).
class Necessity final : public UnaryOperator {
public:
    static constexpr size_t MemoSize = 65536;

    explicit Necessity(MatrixPtr aInnerMatrix);
    /// Takes back its claim on the variables it gave a modality, so none points at a dead node.
    ~Necessity() override;

    bool Memoizible() const { return mMemoizible; }

    std::string ToString() const override;
    std::string DOTLabel() const override;
    std::string Prover9InputHelper(TranslatedNames& aNames) const override;
    std::string TreeProofGeneratorInput() const override;
    bool ContainsModalities() const override { return true; }
    std::vector<const Necessity*> FreeModalities() const override;
    int32_t MaxmimumNumberOfDistinguishableObjectsOfAKind() const override;
    int32_t MaxmimumNumberOfModalitiesInIdentifications() const override;
    int32_t DepthOfLoopNesting() const override;
    bool TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                const Predicates& aPredicates) const override;
    MatrixPtr Substitute(const VariablePtr& aReplaced,
                         const VariablePtr& aReplacement) const override;

    /// The memo, or null when not memoizible or not yet made. Entries are written idempotently
    /// by many threads.
    std::atomic<int8_t>* TruthValues() const { return mTruthValues.get(); }
    /// Makes the memo of a memoizible node, empty, if it has none. Only the reference evaluator
    /// needs memos, and only for the nodes it binds to a numbering: a document of many modal
    /// operators must not take 64 KiB for each of them before anything is decided. Call it on
    /// one thread, before evaluation.
    std::atomic<int8_t>* MakeTruthValues() const;
    /// Identifies the numbering (the predicate index) that the memo entries belong to; a memo
    /// filled under one numbering must not be read under another (see engine/TruthEvaluation.cpp).
    mutable std::atomic<uint64_t> mMemoNumbering{0};

private:
    bool mMemoizible;
    mutable std::unique_ptr<std::atomic<int8_t>[]> mTruthValues;
};

} // namespace Logic
