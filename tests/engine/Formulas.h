#pragma once
// Short builders for test formulas, so that each test reads close to the notation.

#include "model/Factory.h"

namespace Logic::Testing {

inline MatrixPtr Atom(const char* aLetter) { return Factory::NullPredicate(aLetter); }
inline MatrixPtr Is(const UnaryPredicatePtr& aPredicate, const VariablePtr& aVariable) {
    return Factory::Predication(aPredicate, aVariable);
}
inline MatrixPtr Some(const VariablePtr& aVariable, const MatrixPtr& aMatrix) {
    return Factory::ThereExists(aVariable, aMatrix);
}
inline MatrixPtr All(const VariablePtr& aVariable, const MatrixPtr& aMatrix) {
    return Factory::ForAll(aVariable, aMatrix);
}
inline MatrixPtr Box(const MatrixPtr& aMatrix) { return Factory::Necessarily(aMatrix); }
inline MatrixPtr Diamond(const MatrixPtr& aMatrix) { return Factory::Possibly(aMatrix); }
inline MatrixPtr Not(const MatrixPtr& aMatrix) { return Factory::Not(aMatrix); }
inline MatrixPtr And(const MatrixPtr& aLeft, const MatrixPtr& aRight) {
    return Factory::And(aLeft, aRight);
}
inline MatrixPtr Or(const MatrixPtr& aLeft, const MatrixPtr& aRight) {
    return Factory::Or(aLeft, aRight);
}
inline MatrixPtr If(const MatrixPtr& aLeft, const MatrixPtr& aRight) {
    return Factory::OnlyIf(aLeft, aRight);
}
inline MatrixPtr Same(const VariablePtr& aLeft, const VariablePtr& aRight) {
    return Factory::TheSame(aLeft, aRight);
}

} // namespace Logic::Testing
