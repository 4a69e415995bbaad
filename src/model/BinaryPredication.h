#pragma once

#include "model/Matrix.h"

namespace Logic {

/// A relation applied to two variables: xLy.
class BinaryPredication final : public Matrix {
public:
    BinaryPredication(BinaryPredicatePtr aPredicate, VariablePtr aVariable1,
                      VariablePtr aVariable2);
    const BinaryPredicatePtr& Predicate() const { return mPredicate; }
    const VariablePtr& Variable1() const { return mVariable1; }
    const VariablePtr& Variable2() const { return mVariable2; }

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
    BinaryPredicatePtr mPredicate;
    VariablePtr mVariable1;
    VariablePtr mVariable2;
};

} // namespace Logic
