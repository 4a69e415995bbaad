#pragma once

#include "model/Matrix.h"

namespace Logic {

/// A monadic predicate applied to a variable: Fx.
class UnaryPredication final : public Matrix {
public:
    UnaryPredication(UnaryPredicatePtr aPredicate, VariablePtr aVariable);
    const UnaryPredicatePtr& Predicate() const { return mPredicate; }
    const VariablePtr& Variable() const { return mVariable; }

    std::string ToString() const override;
    bool Equals(const Matrix& aOther) const override;
    size_t Hash() const override;
    std::string DOTLabel() const override;
    std::string Prover9InputHelper(TranslatedNames& aNames) const override;
    std::vector<VariablePtr> FreeVariables() const override;
    std::vector<const Necessity*> FreeModalities() const override;
    std::vector<VariablePtr> IdentifiedVariables() const override;
    std::vector<const NullPredicate*> NullPredicates() const override;
    std::vector<const UnaryPredicate*> UnaryPredicates() const override;
    int32_t MaxmimumNumberOfDistinguishableObjectsOfAKind() const override;
    int32_t MaxmimumNumberOfModalitiesInIdentifications() const override;
    bool TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                const Predicates& aPredicates) const override;
    MatrixPtr Substitute(const VariablePtr& aReplaced,
                         const VariablePtr& aReplacement) const override;
    std::vector<const Matrix*> NonNullPredications() const override;
    std::string TreeProofGeneratorInput() const override;

private:
    UnaryPredicatePtr mPredicate;
    VariablePtr mVariable;
};

} // namespace Logic
