#pragma once

#include "model/Matrix.h"

namespace Logic {

/// A sentence letter. Equal only to itself.
class NullPredicate final : public Matrix {
public:
    explicit NullPredicate(std::string aDescription);
    const std::string& Description() const { return mDescription; }

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
    std::string TreeProofGeneratorInput() const override;
    bool IsPropositional() const override { return true; }
    Logic::CoefficientVector
    CoefficientVectorHelper(const std::vector<const NullPredicate*>& aNullPredicates) const override;

private:
    std::string mDescription;
};

} // namespace Logic
