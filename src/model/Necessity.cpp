#include "model/Necessity.h"

#include "model/FormulaWalk.h"

namespace Logic {

Necessity::Necessity(MatrixPtr aInnerMatrix)
    : UnaryOperator(NodeKind::Necessity, std::move(aInnerMatrix)),
      // Without modalities and free variables the operand's truth depends on the world alone.
      mMemoizible(!mOperandContainsModalities && mInnerMatrix->FreeVariables().empty()) {
    FormulaWalk::AssignModality(*mInnerMatrix, this);
}

std::atomic<int8_t>* Necessity::MakeTruthValues() const {
    if (mMemoizible && !mTruthValues) {
        mTruthValues = std::make_unique<std::atomic<int8_t>[]>(MemoSize);
    }
    return mTruthValues.get();
}

Necessity::~Necessity() {
    if (mInnerMatrix) {
        FormulaWalk::ForgetModality(*mInnerMatrix, this);
    }
}

std::string Necessity::ToString() const {
    return FormulaWalk::Text(*this);
}

std::string Necessity::DOTLabel() const {
    return FormulaWalk::Label("Necessity", "[]");
}

std::vector<const Necessity*> Necessity::FreeModalities() const {
    return FormulaWalk::FreeModalities(*this);
}

MatrixPtr Necessity::Substitute(const VariablePtr& aReplaced,
                                const VariablePtr& aReplacement) const {
    return FormulaWalk::Substitute(*this, aReplaced, aReplacement);
}

} // namespace Logic
