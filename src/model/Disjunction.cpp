#include "model/Disjunction.h"

#include "model/FormulaWalk.h"

namespace Logic {

Disjunction::Disjunction(MatrixPtr aLeft, MatrixPtr aRight)
    : BinaryOperator(NodeKind::Disjunction, std::move(aLeft), std::move(aRight)) {}

std::string Disjunction::Connector() const {
    return "|";
}

std::string Disjunction::DOTLabel() const {
    return FormulaWalk::Label("Disjunction", "|");
}

MatrixPtr Disjunction::Substitute(const VariablePtr& aReplaced,
                                  const VariablePtr& aReplacement) const {
    return FormulaWalk::Substitute(*this, aReplaced, aReplacement);
}

} // namespace Logic
