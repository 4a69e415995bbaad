// Placeholder definitions: each one fails until its owner builds it.

#include "model/Negation.h"
#include "model/Necessity.h"
#include "model/UniversalGeneralization.h"
#include "model/Conjunction.h"
#include "model/Disjunction.h"
#include "model/MaterialConditional.h"
#include "model/Argument.h"
#include "model/Equivalence.h"
#include "model/JointDenial.h"
#include "model/NullPredicate.h"
#include "model/UnaryPredication.h"
#include "model/BinaryPredication.h"
#include "model/Identification.h"
#include "coefficients/CoefficientVector.h"
#include "model/EngineException.h"

namespace Logic {

namespace {
[[noreturn]] void NotBuiltYet(const char* aWhat) {
    throw NotImplementedException(std::string(aWhat) + " is not built yet");
}
} // namespace

CoefficientVector Matrix::CoefficientVectorHelper(const std::vector<const NullPredicate*>&) const { NotBuiltYet("Matrix::CoefficientVectorHelper"); }
CoefficientVector NullPredicate::CoefficientVectorHelper(const std::vector<const NullPredicate*>&) const { NotBuiltYet("NullPredicate::CoefficientVectorHelper"); }
CoefficientVector Negation::CoefficientVectorHelper(const std::vector<const NullPredicate*>&) const { NotBuiltYet("Negation::CoefficientVectorHelper"); }
CoefficientVector BinaryOperator::CoefficientVectorHelper(const std::vector<const NullPredicate*>&) const { NotBuiltYet("BinaryOperator::CoefficientVectorHelper"); }
CoefficientVector Conjunction::CoefficientVectorForOperator() const { NotBuiltYet("Conjunction::CoefficientVectorForOperator"); }
CoefficientVector Disjunction::CoefficientVectorForOperator() const { NotBuiltYet("Disjunction::CoefficientVectorForOperator"); }
CoefficientVector MaterialConditional::CoefficientVectorForOperator() const { NotBuiltYet("MaterialConditional::CoefficientVectorForOperator"); }
CoefficientVector Equivalence::CoefficientVectorForOperator() const { NotBuiltYet("Equivalence::CoefficientVectorForOperator"); }
CoefficientVector JointDenial::CoefficientVectorForOperator() const { NotBuiltYet("JointDenial::CoefficientVectorForOperator"); }
CoefficientVector Matrix::CoefficientVector() const { NotBuiltYet("Matrix::CoefficientVector"); }

} // namespace Logic
