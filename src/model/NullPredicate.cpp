#include "model/NullPredicate.h"

#include <functional>

#include "model/FormulaWalk.h"

namespace Logic {

NullPredicate::NullPredicate(std::string aDescription)
    : Matrix(NodeKind::NullPredicate), mDescription(std::move(aDescription)) {}

std::string NullPredicate::ToString() const {
    return mDescription;
}

bool NullPredicate::Equals(const Matrix& aOther) const {
    return this == &aOther;
}

size_t NullPredicate::Hash() const {
    return std::hash<const void*>{}(this);
}

std::string NullPredicate::DOTLabel() const {
    return FormulaWalk::Label("Null Predicate", ToString());
}

std::vector<VariablePtr> NullPredicate::FreeVariables() const {
    return {};
}

std::vector<const Necessity*> NullPredicate::FreeModalities() const {
    return {};
}

std::vector<VariablePtr> NullPredicate::IdentifiedVariables() const {
    return {};
}

std::vector<const NullPredicate*> NullPredicate::NullPredicates() const {
    return {this};
}

std::vector<const UnaryPredicate*> NullPredicate::UnaryPredicates() const {
    return {};
}

// A sentence letter has no variable to replace: the very node serves.
MatrixPtr NullPredicate::Substitute(const VariablePtr&, const VariablePtr&) const {
    return SharedFromThis();
}

} // namespace Logic
