#include "model/MaterialConditional.h"

#include "model/FormulaWalk.h"

namespace Logic {

MaterialConditional::MaterialConditional(MatrixPtr aLeft, MatrixPtr aRight)
    : BinaryOperator(NodeKind::MaterialConditional, std::move(aLeft), std::move(aRight)) {}

std::string MaterialConditional::Connector() const {
    return "->";
}

std::string MaterialConditional::DOTLabel() const {
    return FormulaWalk::Label("Material Conditional", "-&gt;");
}

MatrixPtr MaterialConditional::Substitute(const VariablePtr& aReplaced,
                                          const VariablePtr& aReplacement) const {
    return FormulaWalk::Substitute(*this, aReplaced, aReplacement);
}

MaterialConditional::MaterialConditional(NodeKind aKind, MatrixPtr aLeft, MatrixPtr aRight)
    : BinaryOperator(aKind, std::move(aLeft), std::move(aRight)) {}

} // namespace Logic
