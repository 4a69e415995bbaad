#include "model/UnaryPredication.h"

#include <functional>

#include "model/EngineException.h"
#include "model/FormulaWalk.h"

namespace Logic {

UnaryPredication::UnaryPredication(UnaryPredicatePtr aPredicate, VariablePtr aVariable)
    : Matrix(NodeKind::UnaryPredication), mPredicate(std::move(aPredicate)),
      mVariable(std::move(aVariable)) {
    if (!mPredicate || !mVariable) {
        throw EngineException("A predication was built without its predicate or variable.");
    }
}

std::string UnaryPredication::ToString() const {
    return mPredicate->ToString() + mVariable->ToString();
}

bool UnaryPredication::Equals(const Matrix& aOther) const {
    if (aOther.Kind() != NodeKind::UnaryPredication) {
        return false;
    }
    const auto& lOther = static_cast<const UnaryPredication&>(aOther);
    return mVariable == lOther.mVariable && mPredicate->Equals(lOther.mPredicate.get());
}

size_t UnaryPredication::Hash() const {
    return mPredicate->Hash() ^ IdentityHash(mVariable.get());
}

std::string UnaryPredication::DOTLabel() const {
    return FormulaWalk::Label("Unary Predication", ToString());
}

std::vector<VariablePtr> UnaryPredication::FreeVariables() const {
    return {mVariable};
}

std::vector<const Necessity*> UnaryPredication::FreeModalities() const {
    return {mVariable->Modality()};
}

std::vector<VariablePtr> UnaryPredication::IdentifiedVariables() const {
    return {};
}

std::vector<const NullPredicate*> UnaryPredication::NullPredicates() const {
    return {};
}

std::vector<const UnaryPredicate*> UnaryPredication::UnaryPredicates() const {
    return {mPredicate.get()};
}

MatrixPtr UnaryPredication::Substitute(const VariablePtr& aReplaced,
                                       const VariablePtr& aReplacement) const {
    return std::make_shared<UnaryPredication>(
        mPredicate, Logic::Variable::Substitute(mVariable, aReplaced, aReplacement));
}

std::vector<const Matrix*> UnaryPredication::NonNullPredications() const {
    return {this};
}

} // namespace Logic
