#pragma once

#include "model/Matrix.h"

namespace Logic {

/// A node with two operands. Union queries merge the left result with the right one.
class BinaryOperator : public Matrix {
public:
    const MatrixPtr& Left() const { return mLeft; }
    const MatrixPtr& Right() const { return mRight; }

    /// The symbol between the operands in the text form.
    virtual std::string Connector() const = 0;
    virtual std::string Prover9Connector() const { return Connector(); }
    virtual std::string TreeProofGeneratorConnector() const = 0;
    virtual Logic::CoefficientVector CoefficientVectorForOperator() const = 0;

    std::string ToString() const override;
    std::string Prover9InputHelper(TranslatedNames& aNames) const override;
    std::string TreeProofGeneratorInput() const override;

    std::vector<std::pair<const UniversalGeneralization*, const Matrix*>>
    ClosedPredications() const override;
    bool ContainsModalities() const override;
    bool ContainsIdentifications() const override;
    std::vector<std::pair<const Matrix*, const Matrix*>> DirectDependencies() const override;
    bool IsPropositional() const override;
    std::vector<VariablePtr> FreeVariables() const override;
    std::vector<const Necessity*> FreeModalities() const override;
    std::vector<VariablePtr> IdentifiedVariables() const override;
    std::vector<const Matrix*> Matrices() const override;
    std::vector<const Necessity*> ModalitiesInIdentifications() const override;
    std::vector<const Matrix*> NonNullPredications() const override;
    std::vector<const NullPredicate*> NullPredicates() const override;
    std::vector<const UnaryPredicate*> UnaryPredicates() const override;
    void AssignModality(const Necessity* aModality) const override;
    int32_t MaxmimumNumberOfDistinguishableObjectsOfAKind() const override;
    int32_t MaxmimumNumberOfModalitiesInIdentifications() const override;
    int32_t DepthOfLoopNesting() const override;
    Logic::CoefficientVector
    CoefficientVectorHelper(const std::vector<const NullPredicate*>& aNullPredicates) const override;

    /// Same class (same Kind) with equal left and equal right operands.
    bool Equals(const Matrix& aOther) const override;
    size_t Hash() const override;

protected:
    BinaryOperator(NodeKind aKind, MatrixPtr aLeft, MatrixPtr aRight);
    ~BinaryOperator() override;

    MatrixPtr mLeft;
    MatrixPtr mRight;

private:
    // Derived from the operands once: nodes never change, and recomputing these per request
    // would walk the whole subtree at every level of a deep formula.
    size_t mHash;
    bool mContainsModalities;
    bool mContainsIdentifications;
    bool mIsPropositional;
};

} // namespace Logic
