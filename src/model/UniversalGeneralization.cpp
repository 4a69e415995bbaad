#include "model/UniversalGeneralization.h"

#include "model/EngineException.h"
#include "model/FormulaWalk.h"

namespace Logic {

UniversalGeneralization::UniversalGeneralization(VariablePtr aVariable, MatrixPtr aInnerMatrix)
    : UnaryOperator(NodeKind::UniversalGeneralization, std::move(aInnerMatrix)),
      mVariable(std::move(aVariable)) {
    if (!mVariable) {
        throw EngineException("A quantifier was built without its variable.");
    }
}

std::string UniversalGeneralization::ToString() const {
    return FormulaWalk::Text(*this);
}

std::string UniversalGeneralization::DOTLabel() const {
    return FormulaWalk::Label("Universal Generalization", mVariable->ToString() + ",");
}

std::vector<std::pair<const UniversalGeneralization*, const Matrix*>>
UniversalGeneralization::ClosedPredications() const {
    return FormulaWalk::ClosedPredications(*this);
}

std::vector<VariablePtr> UniversalGeneralization::FreeVariables() const {
    return FormulaWalk::FreeVariables(*this);
}

void UniversalGeneralization::AssignModality(const Necessity* aModality) const {
    FormulaWalk::AssignModality(*this, aModality);
}

bool UniversalGeneralization::Equals(const Matrix& aOther) const {
    return FormulaWalk::Equal(*this, aOther);
}

MatrixPtr UniversalGeneralization::Substitute(const VariablePtr& aReplaced,
                                              const VariablePtr& aReplacement) const {
    return FormulaWalk::Substitute(*this, aReplaced, aReplacement);
}

} // namespace Logic
