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
#include "model/EngineException.h"

namespace Logic {

namespace {
[[noreturn]] void NotBuiltYet(const char* aWhat) {
    throw NotImplementedException(std::string(aWhat) + " is not built yet");
}
} // namespace

std::string Matrix::GraphvizDOT() const { NotBuiltYet("Matrix::GraphvizDOT"); }

} // namespace Logic
