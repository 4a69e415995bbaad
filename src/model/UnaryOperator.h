#pragma once

#include "model/Matrix.h"

namespace Logic {

/// A node with one operand. Queries not overridden by a subclass are the operand's.
class UnaryOperator : public Matrix {
public:
    const MatrixPtr& InnerMatrix() const { return mInnerMatrix; }

    std::vector<std::pair<const UniversalGeneralization*, const Matrix*>>
    ClosedPredications() const override;
    bool ContainsModalities() const override;
    bool ContainsIdentifications() const override;
    std::vector<std::pair<const Matrix*, const Matrix*>> DirectDependencies() const override;
    std::vector<VariablePtr> FreeVariables() const override;
    std::vector<const Necessity*> FreeModalities() const override;
    std::vector<VariablePtr> IdentifiedVariables() const override;
    std::vector<const Matrix*> Matrices() const override;
    std::vector<const Necessity*> ModalitiesInIdentifications() const override;
    std::vector<const Matrix*> NonNullPredications() const override;
    std::vector<const NullPredicate*> NullPredicates() const override;
    std::vector<const UnaryPredicate*> UnaryPredicates() const override;

    bool Equals(const Matrix& aOther) const override;
    /// Identity: sets of quantifiers and necessities work by identity.
    size_t Hash() const override;

protected:
    UnaryOperator(NodeKind aKind, MatrixPtr aInnerMatrix);
    ~UnaryOperator() override;

    MatrixPtr mInnerMatrix;

    // The operand's answers, kept because nodes never change and deep formulas ask often.
    bool mOperandContainsModalities;
    bool mOperandContainsIdentifications;
    bool mOperandIsPropositional;
};

} // namespace Logic
