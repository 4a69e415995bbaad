#include "model/BinaryOperator.h"

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

BinaryOperator::BinaryOperator(NodeKind aKind, MatrixPtr aLeft, MatrixPtr aRight)
    : Matrix(aKind), mLeft(std::move(aLeft)), mRight(std::move(aRight)),
      mHash(Required(mLeft)->Hash() ^ Required(mRight)->Hash()),
      mContainsModalities(mLeft->ContainsModalities() || mRight->ContainsModalities()),
      mContainsIdentifications(mLeft->ContainsIdentifications() ||
                               mRight->ContainsIdentifications()),
      mIsPropositional(mLeft->IsPropositional() && mRight->IsPropositional()) {}

BinaryOperator::~BinaryOperator() {
    FormulaWalk::ReleaseOperands(mLeft, &mRight);
}

std::string BinaryOperator::ToString() const {
    return FormulaWalk::Text(*this);
}

std::vector<std::pair<const UniversalGeneralization*, const Matrix*>>
BinaryOperator::ClosedPredications() const {
    return FormulaWalk::ClosedPredications(*this);
}

bool BinaryOperator::ContainsModalities() const {
    return mContainsModalities;
}

bool BinaryOperator::ContainsIdentifications() const {
    return mContainsIdentifications;
}

std::vector<std::pair<const Matrix*, const Matrix*>> BinaryOperator::DirectDependencies() const {
    return FormulaWalk::DirectDependencies(*this);
}

bool BinaryOperator::IsPropositional() const {
    return mIsPropositional;
}

std::vector<VariablePtr> BinaryOperator::FreeVariables() const {
    return FormulaWalk::FreeVariables(*this);
}

std::vector<const Necessity*> BinaryOperator::FreeModalities() const {
    return FormulaWalk::FreeModalities(*this);
}

std::vector<VariablePtr> BinaryOperator::IdentifiedVariables() const {
    return FormulaWalk::IdentifiedVariables(*this);
}

std::vector<const Matrix*> BinaryOperator::Matrices() const {
    return FormulaWalk::Matrices(*this);
}

std::vector<const Necessity*> BinaryOperator::ModalitiesInIdentifications() const {
    return FormulaWalk::ModalitiesInIdentifications(*this);
}

std::vector<const Matrix*> BinaryOperator::NonNullPredications() const {
    return FormulaWalk::NonNullPredications(*this);
}

std::vector<const NullPredicate*> BinaryOperator::NullPredicates() const {
    return FormulaWalk::NullPredicates(*this);
}

std::vector<const UnaryPredicate*> BinaryOperator::UnaryPredicates() const {
    return FormulaWalk::UnaryPredicates(*this);
}

void BinaryOperator::AssignModality(const Necessity* aModality) const {
    FormulaWalk::AssignModality(*this, aModality);
}

bool BinaryOperator::Equals(const Matrix& aOther) const {
    return FormulaWalk::Equal(*this, aOther);
}

size_t BinaryOperator::Hash() const {
    return mHash;
}

} // namespace Logic
