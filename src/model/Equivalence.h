#pragma once

#include "model/BinaryOperator.h"

namespace Logic {


class Equivalence final : public BinaryOperator {
public:
    Equivalence(MatrixPtr aLeft, MatrixPtr aRight);

    std::string Connector() const override;
    std::string TreeProofGeneratorConnector() const override;
    Logic::CoefficientVector CoefficientVectorForOperator() const override;
    std::string DOTLabel() const override;
    bool TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                const Predicates& aPredicates) const override;
    MatrixPtr Substitute(const VariablePtr& aReplaced,
                         const VariablePtr& aReplacement) const override;
    std::string Prover9Connector() const override;
};

} // namespace Logic
