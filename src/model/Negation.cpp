#include "model/Negation.h"

#include "model/FormulaWalk.h"

namespace Logic {

Negation::Negation(MatrixPtr aInnerMatrix)
    : UnaryOperator(NodeKind::Negation, std::move(aInnerMatrix)) {}

std::string Negation::ToString() const {
    return FormulaWalk::Text(*this);
}

std::string Negation::DOTLabel() const {
    return FormulaWalk::Label("Negation", "~");
}

bool Negation::IsPropositional() const {
    return mOperandIsPropositional;
}

void Negation::AssignModality(const Necessity* aModality) const {
    FormulaWalk::AssignModality(*this, aModality);
}

MatrixPtr Negation::Substitute(const VariablePtr& aReplaced,
                               const VariablePtr& aReplacement) const {
    return FormulaWalk::Substitute(*this, aReplaced, aReplacement);
}

} // namespace Logic
