#pragma once

#include "model/UnaryOperator.h"

namespace Logic {

/// The universal quantifier: binds mVariable over its operand.
class UniversalGeneralization final : public UnaryOperator {
public:
    UniversalGeneralization(VariablePtr aVariable, MatrixPtr aInnerMatrix);

    const VariablePtr& Variable() const { return mVariable; }

    std::string ToString() const override;
    std::string DOTLabel() const override;
    std::string Prover9InputHelper(TranslatedNames& aNames) const override;
    std::string TreeProofGeneratorInput() const override;
    std::vector<std::pair<const UniversalGeneralization*, const Matrix*>>
    ClosedPredications() const override;
    std::vector<VariablePtr> FreeVariables() const override;
    void AssignModality(const Necessity* aModality) const override;
    bool Equals(const Matrix& aOther) const override;
    int32_t MaxmimumNumberOfDistinguishableObjectsOfAKind() const override;
    int32_t MaxmimumNumberOfModalitiesInIdentifications() const override;
    int32_t DepthOfLoopNesting() const override;
    bool TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                const Predicates& aPredicates) const override;
    MatrixPtr Substitute(const VariablePtr& aReplaced,
                         const VariablePtr& aReplacement) const override;

private:
    VariablePtr mVariable;
};

} // namespace Logic
