#include "model/Equivalence.h"

#include "model/FormulaWalk.h"

namespace Logic {

Equivalence::Equivalence(MatrixPtr aLeft, MatrixPtr aRight)
    : BinaryOperator(NodeKind::Equivalence, std::move(aLeft), std::move(aRight)) {}

std::string Equivalence::Connector() const {
    return "<=>";
}

std::string Equivalence::DOTLabel() const {
    return FormulaWalk::Label("Equivalence", "&lt;=&gt;");
}

MatrixPtr Equivalence::Substitute(const VariablePtr& aReplaced,
                                  const VariablePtr& aReplacement) const {
    return FormulaWalk::Substitute(*this, aReplaced, aReplacement);
}

} // namespace Logic
