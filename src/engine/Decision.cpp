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
#include "engine/Predicates.h"
#include "engine/Counterexample.h"
#include "model/EngineException.h"

namespace Logic {

namespace {
[[noreturn]] void NotBuiltYet(const char* aWhat) {
    throw NotImplementedException(std::string(aWhat) + " is not built yet");
}
} // namespace

int32_t Matrix::Complexity() const { NotBuiltYet("Matrix::Complexity"); }
Predicates Matrix::CollectPredicates() const { NotBuiltYet("Matrix::CollectPredicates"); }
uint32_t Matrix::Exclusions(const Predicates&) const { NotBuiltYet("Matrix::Exclusions"); }
Alethicity Matrix::Decide() const { NotBuiltYet("Matrix::Decide"); }
Alethicity Matrix::DecideForFreeVariables() const { NotBuiltYet("Matrix::DecideForFreeVariables"); }
std::unique_ptr<Counterexample> Matrix::FindNextExample() const { NotBuiltYet("Matrix::FindNextExample"); }
std::unique_ptr<Counterexample> Matrix::FindNextCounterexample() const { NotBuiltYet("Matrix::FindNextCounterexample"); }
bool Matrix::HasCounterexample(uint32_t, const Predicates&) const { NotBuiltYet("Matrix::HasCounterexample"); }
Quality Argument::Quality() const { NotBuiltYet("Argument::Quality"); }

} // namespace Logic
