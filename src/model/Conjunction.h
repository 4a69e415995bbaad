#pragma once

#include "model/BinaryOperator.h"

namespace Logic {


class Conjunction final : public BinaryOperator {
public:
    Conjunction(MatrixPtr aLeft, MatrixPtr aRight);

    std::string Connector() const override;
    std::string TreeProofGeneratorConnector() const override;
    Logic::CoefficientVector CoefficientVectorForOperator() const override;
    std::string DOTLabel() const override;
    bool TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                const Predicates& aPredicates) const override;
    MatrixPtr Substitute(const VariablePtr& aReplaced,
                         const VariablePtr& aReplacement) const override;
    std::vector<const Matrix*> Conjuncts() const override;
};

} // namespace Logic
