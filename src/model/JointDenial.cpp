#include "model/JointDenial.h"

#include "model/FormulaWalk.h"

namespace Logic {

JointDenial::JointDenial(MatrixPtr aLeft, MatrixPtr aRight)
    : BinaryOperator(NodeKind::JointDenial, std::move(aLeft), std::move(aRight)) {}

std::string JointDenial::Connector() const {
    return "!";
}

std::string JointDenial::DOTLabel() const {
    return FormulaWalk::Label("Joint Denial", "!");
}

MatrixPtr JointDenial::Substitute(const VariablePtr& aReplaced,
                                  const VariablePtr& aReplacement) const {
    return FormulaWalk::Substitute(*this, aReplaced, aReplacement);
}

} // namespace Logic
