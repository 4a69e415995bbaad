// The coefficient vector of each node class: sentence letters are variables, connectives
// compose their operands' polynomials, everything else has no truth-functional polynomial.

#include <algorithm>

#include "coefficients/CoefficientVector.h"
#include "model/Argument.h"
#include "model/Conjunction.h"
#include "model/Disjunction.h"
#include "model/EngineException.h"
#include "model/Equivalence.h"
#include "model/JointDenial.h"
#include "model/MaterialConditional.h"
#include "model/Negation.h"
#include "model/NullPredicate.h"

namespace Logic {

namespace {
std::vector<std::string> Texts(const std::vector<const NullPredicate*>& aNullPredicates) {
    std::vector<std::string> lTexts;
    lTexts.reserve(aNullPredicates.size());
    for (const NullPredicate* lPredicate : aNullPredicates) {
        lTexts.push_back(lPredicate->Description());
    }
    return lTexts;
}
} // namespace

CoefficientVector Matrix::CoefficientVector() const {
    std::vector<const NullPredicate*> lPredicates = NullPredicates();
    std::stable_sort(lPredicates.begin(), lPredicates.end(),
                     [](const NullPredicate* fX, const NullPredicate* fY) {
                         return fX->Description() < fY->Description();
                     });
    return CoefficientVectorHelper(lPredicates);
}

CoefficientVector
Matrix::CoefficientVectorHelper(const std::vector<const NullPredicate*>&) const {
    throw NotImplementedException("Coefficient vectors are only defined for statements that only "
                                  "have nullary predicates and truth-functional operators.");
}

CoefficientVector NullPredicate::CoefficientVectorHelper(
    const std::vector<const NullPredicate*>& aNullPredicates) const {
    return Logic::CoefficientVector(mDescription, Texts(aNullPredicates));
}

CoefficientVector
Negation::CoefficientVectorHelper(const std::vector<const NullPredicate*>& aNullPredicates) const {
    return Logic::CoefficientVector::Apply(Logic::CoefficientVector::NOT(),
                                           {InnerMatrix()->CoefficientVectorHelper(aNullPredicates)});
}

CoefficientVector BinaryOperator::CoefficientVectorHelper(
    const std::vector<const NullPredicate*>& aNullPredicates) const {
    return Logic::CoefficientVector::Apply(CoefficientVectorForOperator(),
                                           {mLeft->CoefficientVectorHelper(aNullPredicates),
                                            mRight->CoefficientVectorHelper(aNullPredicates)});
}

CoefficientVector Conjunction::CoefficientVectorForOperator() const {
    return Logic::CoefficientVector::AND();
}
CoefficientVector Disjunction::CoefficientVectorForOperator() const {
    return Logic::CoefficientVector::OR();
}
CoefficientVector MaterialConditional::CoefficientVectorForOperator() const {
    return Logic::CoefficientVector::IMPL();
}
CoefficientVector Equivalence::CoefficientVectorForOperator() const {
    return Logic::CoefficientVector::EQUIV();
}
CoefficientVector JointDenial::CoefficientVectorForOperator() const {
    return Logic::CoefficientVector::NOR();
}

} // namespace Logic
