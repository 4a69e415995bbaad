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
#include "model/EngineException.h"

namespace Logic {

namespace {
[[noreturn]] void NotBuiltYet(const char* aWhat) {
    throw NotImplementedException(std::string(aWhat) + " is not built yet");
}
} // namespace

bool Negation::TrueIn(uint32_t, uint32_t, const Predicates&) const { NotBuiltYet("Negation::TrueIn"); }
bool Necessity::TrueIn(uint32_t, uint32_t, const Predicates&) const { NotBuiltYet("Necessity::TrueIn"); }
bool UniversalGeneralization::TrueIn(uint32_t, uint32_t, const Predicates&) const { NotBuiltYet("UniversalGeneralization::TrueIn"); }
bool Conjunction::TrueIn(uint32_t, uint32_t, const Predicates&) const { NotBuiltYet("Conjunction::TrueIn"); }
bool Disjunction::TrueIn(uint32_t, uint32_t, const Predicates&) const { NotBuiltYet("Disjunction::TrueIn"); }
bool MaterialConditional::TrueIn(uint32_t, uint32_t, const Predicates&) const { NotBuiltYet("MaterialConditional::TrueIn"); }
bool Equivalence::TrueIn(uint32_t, uint32_t, const Predicates&) const { NotBuiltYet("Equivalence::TrueIn"); }
bool JointDenial::TrueIn(uint32_t, uint32_t, const Predicates&) const { NotBuiltYet("JointDenial::TrueIn"); }
bool NullPredicate::TrueIn(uint32_t, uint32_t, const Predicates&) const { NotBuiltYet("NullPredicate::TrueIn"); }
bool UnaryPredication::TrueIn(uint32_t, uint32_t, const Predicates&) const { NotBuiltYet("UnaryPredication::TrueIn"); }
bool BinaryPredication::TrueIn(uint32_t, uint32_t, const Predicates&) const { NotBuiltYet("BinaryPredication::TrueIn"); }
bool Identification::TrueIn(uint32_t, uint32_t, const Predicates&) const { NotBuiltYet("Identification::TrueIn"); }
int32_t Negation::MaxmimumNumberOfDistinguishableObjectsOfAKind() const { NotBuiltYet("Negation::MaxmimumNumberOfDistinguishableObjectsOfAKind"); }
int32_t Negation::MaxmimumNumberOfModalitiesInIdentifications() const { NotBuiltYet("Negation::MaxmimumNumberOfModalitiesInIdentifications"); }
int32_t Necessity::MaxmimumNumberOfDistinguishableObjectsOfAKind() const { NotBuiltYet("Necessity::MaxmimumNumberOfDistinguishableObjectsOfAKind"); }
int32_t Necessity::MaxmimumNumberOfModalitiesInIdentifications() const { NotBuiltYet("Necessity::MaxmimumNumberOfModalitiesInIdentifications"); }
int32_t UniversalGeneralization::MaxmimumNumberOfDistinguishableObjectsOfAKind() const { NotBuiltYet("UniversalGeneralization::MaxmimumNumberOfDistinguishableObjectsOfAKind"); }
int32_t UniversalGeneralization::MaxmimumNumberOfModalitiesInIdentifications() const { NotBuiltYet("UniversalGeneralization::MaxmimumNumberOfModalitiesInIdentifications"); }
int32_t BinaryOperator::MaxmimumNumberOfDistinguishableObjectsOfAKind() const { NotBuiltYet("BinaryOperator::MaxmimumNumberOfDistinguishableObjectsOfAKind"); }
int32_t BinaryOperator::MaxmimumNumberOfModalitiesInIdentifications() const { NotBuiltYet("BinaryOperator::MaxmimumNumberOfModalitiesInIdentifications"); }
int32_t NullPredicate::MaxmimumNumberOfDistinguishableObjectsOfAKind() const { NotBuiltYet("NullPredicate::MaxmimumNumberOfDistinguishableObjectsOfAKind"); }
int32_t NullPredicate::MaxmimumNumberOfModalitiesInIdentifications() const { NotBuiltYet("NullPredicate::MaxmimumNumberOfModalitiesInIdentifications"); }
int32_t UnaryPredication::MaxmimumNumberOfDistinguishableObjectsOfAKind() const { NotBuiltYet("UnaryPredication::MaxmimumNumberOfDistinguishableObjectsOfAKind"); }
int32_t UnaryPredication::MaxmimumNumberOfModalitiesInIdentifications() const { NotBuiltYet("UnaryPredication::MaxmimumNumberOfModalitiesInIdentifications"); }
int32_t BinaryPredication::MaxmimumNumberOfDistinguishableObjectsOfAKind() const { NotBuiltYet("BinaryPredication::MaxmimumNumberOfDistinguishableObjectsOfAKind"); }
int32_t BinaryPredication::MaxmimumNumberOfModalitiesInIdentifications() const { NotBuiltYet("BinaryPredication::MaxmimumNumberOfModalitiesInIdentifications"); }
int32_t Identification::MaxmimumNumberOfDistinguishableObjectsOfAKind() const { NotBuiltYet("Identification::MaxmimumNumberOfDistinguishableObjectsOfAKind"); }
int32_t Identification::MaxmimumNumberOfModalitiesInIdentifications() const { NotBuiltYet("Identification::MaxmimumNumberOfModalitiesInIdentifications"); }
int32_t Negation::DepthOfLoopNesting() const { NotBuiltYet("Negation::DepthOfLoopNesting"); }
int32_t Necessity::DepthOfLoopNesting() const { NotBuiltYet("Necessity::DepthOfLoopNesting"); }
int32_t UniversalGeneralization::DepthOfLoopNesting() const { NotBuiltYet("UniversalGeneralization::DepthOfLoopNesting"); }
int32_t BinaryOperator::DepthOfLoopNesting() const { NotBuiltYet("BinaryOperator::DepthOfLoopNesting"); }

} // namespace Logic
