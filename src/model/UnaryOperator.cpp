#include "model/UnaryOperator.h"

#include <functional>

#include "model/EngineException.h"
#include "model/FormulaWalk.h"

namespace Logic {

namespace {
const MatrixPtr& Required(const MatrixPtr& aOperand) {
    if (!aOperand) {
        throw EngineException("A formula node was built without its operand.");
    }
    return aOperand;
}
} // namespace

UnaryOperator::UnaryOperator(NodeKind aKind, MatrixPtr aInnerMatrix)
    : Matrix(aKind), mInnerMatrix(std::move(aInnerMatrix)),
      mOperandContainsModalities(Required(mInnerMatrix)->ContainsModalities()),
      mOperandContainsIdentifications(mInnerMatrix->ContainsIdentifications()),
      mOperandIsPropositional(mInnerMatrix->IsPropositional()) {}

UnaryOperator::~UnaryOperator() {
    FormulaWalk::ReleaseOperands(mInnerMatrix, nullptr);
}

std::vector<std::pair<const UniversalGeneralization*, const Matrix*>>
UnaryOperator::ClosedPredications() const {
    return FormulaWalk::ClosedPredications(*this);
}

bool UnaryOperator::ContainsModalities() const {
    return mOperandContainsModalities;
}

bool UnaryOperator::ContainsIdentifications() const {
    return mOperandContainsIdentifications;
}

std::vector<std::pair<const Matrix*, const Matrix*>> UnaryOperator::DirectDependencies() const {
    return FormulaWalk::DirectDependencies(*this);
}

std::vector<VariablePtr> UnaryOperator::FreeVariables() const {
    return FormulaWalk::FreeVariables(*this);
}

std::vector<const Necessity*> UnaryOperator::FreeModalities() const {
    return FormulaWalk::FreeModalities(*this);
}

std::vector<VariablePtr> UnaryOperator::IdentifiedVariables() const {
    return FormulaWalk::IdentifiedVariables(*this);
}

std::vector<const Matrix*> UnaryOperator::Matrices() const {
    return FormulaWalk::Matrices(*this);
}

std::vector<const Necessity*> UnaryOperator::ModalitiesInIdentifications() const {
    return FormulaWalk::ModalitiesInIdentifications(*this);
}

std::vector<const Matrix*> UnaryOperator::NonNullPredications() const {
    return FormulaWalk::NonNullPredications(*this);
}

std::vector<const NullPredicate*> UnaryOperator::NullPredicates() const {
    return FormulaWalk::NullPredicates(*this);
}

std::vector<const UnaryPredicate*> UnaryOperator::UnaryPredicates() const {
    return FormulaWalk::UnaryPredicates(*this);
}

bool UnaryOperator::Equals(const Matrix& aOther) const {
    return FormulaWalk::Equal(*this, aOther);
}

size_t UnaryOperator::Hash() const {
    return std::hash<const void*>{}(this);
}

} // namespace Logic
