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

std::string Matrix::TreeProofGeneratorInput() const { NotBuiltYet("Matrix::TreeProofGeneratorInput"); }
bool Matrix::IsCompatibleWithTreeProofGenerator() const { NotBuiltYet("Matrix::IsCompatibleWithTreeProofGenerator"); }
std::string Negation::TreeProofGeneratorInput() const { NotBuiltYet("Negation::TreeProofGeneratorInput"); }
std::string Necessity::TreeProofGeneratorInput() const { NotBuiltYet("Necessity::TreeProofGeneratorInput"); }
std::string UniversalGeneralization::TreeProofGeneratorInput() const { NotBuiltYet("UniversalGeneralization::TreeProofGeneratorInput"); }
std::string BinaryOperator::TreeProofGeneratorInput() const { NotBuiltYet("BinaryOperator::TreeProofGeneratorInput"); }
std::string JointDenial::TreeProofGeneratorInput() const { NotBuiltYet("JointDenial::TreeProofGeneratorInput"); }
std::string NullPredicate::TreeProofGeneratorInput() const { NotBuiltYet("NullPredicate::TreeProofGeneratorInput"); }
std::string UnaryPredication::TreeProofGeneratorInput() const { NotBuiltYet("UnaryPredication::TreeProofGeneratorInput"); }
std::string BinaryPredication::TreeProofGeneratorInput() const { NotBuiltYet("BinaryPredication::TreeProofGeneratorInput"); }
std::string Conjunction::TreeProofGeneratorConnector() const { NotBuiltYet("Conjunction::TreeProofGeneratorConnector"); }
std::string Disjunction::TreeProofGeneratorConnector() const { NotBuiltYet("Disjunction::TreeProofGeneratorConnector"); }
std::string MaterialConditional::TreeProofGeneratorConnector() const { NotBuiltYet("MaterialConditional::TreeProofGeneratorConnector"); }
std::string Equivalence::TreeProofGeneratorConnector() const { NotBuiltYet("Equivalence::TreeProofGeneratorConnector"); }
std::string JointDenial::TreeProofGeneratorConnector() const { NotBuiltYet("JointDenial::TreeProofGeneratorConnector"); }

} // namespace Logic
