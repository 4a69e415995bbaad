#pragma once

#include "model/UnaryOperator.h"

namespace Logic {

class Negation final : public UnaryOperator {
public:
    explicit Negation(MatrixPtr aInnerMatrix);

    std::string ToString() const override;
    std::string DOTLabel() const override;
    std::string Prover9InputHelper(TranslatedNames& aNames) const override;
    std::string TreeProofGeneratorInput() const override;
    bool IsPropositional() const override;
    void AssignModality(const Necessity* aModality) const override;
    int32_t MaxmimumNumberOfDistinguishableObjectsOfAKind() const override;
    int32_t MaxmimumNumberOfModalitiesInIdentifications() const override;
    int32_t DepthOfLoopNesting() const override;
    bool TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                const Predicates& aPredicates) const override;
    MatrixPtr Substitute(const VariablePtr& aReplaced,
                         const VariablePtr& aReplacement) const override;
    Logic::CoefficientVector
    CoefficientVectorHelper(const std::vector<const NullPredicate*>& aNullPredicates) const override;
};

} // namespace Logic
