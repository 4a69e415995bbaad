#pragma once

#include "model/Matrix.h"

namespace Logic {

/// The identity of two variables: x=y. Equal to another over the same two variables in either order.
class Identification final : public Matrix {
public:
    Identification(VariablePtr aLeft, VariablePtr aRight);
    const VariablePtr& Left() const { return mLeft; }
    const VariablePtr& Right() const { return mRight; }

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
    std::vector<const Necessity*> ModalitiesInIdentifications() const override;
    bool ContainsIdentifications() const override { return true; }

private:
    VariablePtr mLeft;
    VariablePtr mRight;
};

} // namespace Logic
