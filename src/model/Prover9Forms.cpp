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

std::string Matrix::Prover9InputHelper1(TranslatedNames&) const { NotBuiltYet("Matrix::Prover9InputHelper1"); }
std::string MaterialConditional::Prover9InputHelper1(TranslatedNames&) const { NotBuiltYet("MaterialConditional::Prover9InputHelper1"); }
std::string Matrix::MakeProver9Formulas(TranslatedNames&) const { NotBuiltYet("Matrix::MakeProver9Formulas"); }
std::string Equivalence::Prover9Connector() const { NotBuiltYet("Equivalence::Prover9Connector"); }
std::string Negation::Prover9InputHelper(TranslatedNames&) const { NotBuiltYet("Negation::Prover9InputHelper"); }
std::string Necessity::Prover9InputHelper(TranslatedNames&) const { NotBuiltYet("Necessity::Prover9InputHelper"); }
std::string UniversalGeneralization::Prover9InputHelper(TranslatedNames&) const { NotBuiltYet("UniversalGeneralization::Prover9InputHelper"); }
std::string BinaryOperator::Prover9InputHelper(TranslatedNames&) const { NotBuiltYet("BinaryOperator::Prover9InputHelper"); }
std::string JointDenial::Prover9InputHelper(TranslatedNames&) const { NotBuiltYet("JointDenial::Prover9InputHelper"); }
std::string NullPredicate::Prover9InputHelper(TranslatedNames&) const { NotBuiltYet("NullPredicate::Prover9InputHelper"); }
std::string UnaryPredication::Prover9InputHelper(TranslatedNames&) const { NotBuiltYet("UnaryPredication::Prover9InputHelper"); }
std::string BinaryPredication::Prover9InputHelper(TranslatedNames&) const { NotBuiltYet("BinaryPredication::Prover9InputHelper"); }
std::string Identification::Prover9InputHelper(TranslatedNames&) const { NotBuiltYet("Identification::Prover9InputHelper"); }

} // namespace Logic
