#include "model/Conjunction.h"

#include "model/FormulaWalk.h"

namespace Logic {

Conjunction::Conjunction(MatrixPtr aLeft, MatrixPtr aRight)
    : BinaryOperator(NodeKind::Conjunction, std::move(aLeft), std::move(aRight)) {}

std::string Conjunction::Connector() const {
    return "&";
}

std::string Conjunction::DOTLabel() const {
    return FormulaWalk::Label("Conjunction", "&amp;");
}

MatrixPtr Conjunction::Substitute(const VariablePtr& aReplaced,
                                  const VariablePtr& aReplacement) const {
    return FormulaWalk::Substitute(*this, aReplaced, aReplacement);
}

std::vector<const Matrix*> Conjunction::Conjuncts() const {
    return FormulaWalk::Conjuncts(*this);
}

} // namespace Logic
