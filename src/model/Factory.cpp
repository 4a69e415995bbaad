#include "model/Factory.h"

#include <algorithm>

#include "model/BinaryPredication.h"
#include "model/Conjunction.h"
#include "model/Disjunction.h"
#include "model/EngineException.h"
#include "model/Equivalence.h"
#include "model/Identification.h"
#include "model/JointDenial.h"
#include "model/MaterialConditional.h"
#include "model/Necessity.h"
#include "model/Negation.h"
#include "model/NullPredicate.h"
#include "model/UnaryPredication.h"
#include "model/UniversalGeneralization.h"

// Serial names follow the order of construction, so wherever a form has several parts they are
// built one statement at a time: the order in which C++ evaluates function arguments is not
// fixed, and nested calls as arguments would number nodes differently from compiler to compiler.

namespace Logic {

namespace {

constexpr const char* kEmptyConjunction = "Can't conjoin an empty list of matrices.";
constexpr const char* kEmptyDisjunction = "Can't disjoin an empty list of matrices.";

char LetterAfter(char aLetter) {
    if (aLetter == 'z') {
        return 'a';
    }
    if (aLetter == 'Z') {
        return 'A';
    }
    return static_cast<char>(static_cast<unsigned char>(aLetter) + 1);
}

} // namespace

VariablePtr Factory::Variable(char aLetter) {
    return std::make_shared<Logic::Variable>(aLetter);
}

UnaryPredicatePtr Factory::UnaryPredicate(char aLetter) {
    return std::make_shared<const Logic::UnaryPredicate>(aLetter);
}

BinaryPredicatePtr Factory::BinaryPredicate(char aLetter) {
    return std::make_shared<const Logic::BinaryPredicate>(aLetter);
}

MatrixPtr Factory::NullPredicate(const std::string& aText) {
    return std::make_shared<Logic::NullPredicate>(aText);
}

MatrixPtr Factory::Predication(const UnaryPredicatePtr& aPredicate, const VariablePtr& aVariable) {
    return std::make_shared<UnaryPredication>(aPredicate, aVariable);
}

MatrixPtr Factory::Predication(const BinaryPredicatePtr& aPredicate, const VariablePtr& aFirst,
                               const VariablePtr& aSecond) {
    return std::make_shared<BinaryPredication>(aPredicate, aFirst, aSecond);
}

MatrixPtr Factory::TheSame(const VariablePtr& aLeft, const VariablePtr& aRight) {
    return std::make_shared<Identification>(aLeft, aRight);
}

MatrixPtr Factory::Not(const MatrixPtr& aMatrix) {
    return std::make_shared<Negation>(aMatrix);
}

MatrixPtr Factory::ForAll(const VariablePtr& aVariable, const MatrixPtr& aMatrix) {
    return std::make_shared<UniversalGeneralization>(aVariable, aMatrix);
}

MatrixPtr Factory::Necessarily(const MatrixPtr& aMatrix) {
    return std::make_shared<Necessity>(aMatrix);
}

MatrixPtr Factory::OnlyIf(const MatrixPtr& aAntecedent, const MatrixPtr& aConsequent) {
    return std::make_shared<MaterialConditional>(aAntecedent, aConsequent);
}

MatrixPtr Factory::IfAndOnlyIf(const MatrixPtr& aLeft, const MatrixPtr& aRight) {
    return std::make_shared<Equivalence>(aLeft, aRight);
}

MatrixPtr Factory::Nor(const MatrixPtr& aLeft, const MatrixPtr& aRight) {
    return std::make_shared<JointDenial>(aLeft, aRight);
}

Term Factory::AllAndOnly(const UnaryPredicatePtr& aPredicate, bool aNegated) {
    return Term(aPredicate, aNegated);
}

std::shared_ptr<const Argument> Factory::Therefore(const std::vector<MatrixPtr>& aPremises,
                                                   const MatrixPtr& aConclusion) {
    return std::make_shared<Argument>(aPremises, aConclusion);
}

std::shared_ptr<const Argument> Factory::Therefore(const std::function<MatrixPtr()>& aNextPremise,
                                                   const MatrixPtr& aConclusion) {
    return std::make_shared<Argument>(aNextPremise, aConclusion);
}

MatrixPtr Factory::And(const MatrixPtr& aLeft, const MatrixPtr& aRight,
                       const std::vector<MatrixPtr>& aFurther) {
    MatrixPtr lResult = std::make_shared<Conjunction>(aLeft, aRight);
    for (const MatrixPtr& lNext : aFurther) {
        lResult = std::make_shared<Conjunction>(lResult, lNext);
    }
    return lResult;
}

MatrixPtr Factory::And(const std::vector<MatrixPtr>& aMatrices) {
    if (aMatrices.empty()) {
        throw EngineException(kEmptyConjunction);
    }
    MatrixPtr lResult = aMatrices.front();
    for (size_t i = 1; i < aMatrices.size(); ++i) {
        lResult = std::make_shared<Conjunction>(lResult, aMatrices[i]);
    }
    return lResult;
}

MatrixPtr Factory::Or(const MatrixPtr& aLeft, const MatrixPtr& aRight,
                      const std::vector<MatrixPtr>& aFurther) {
    MatrixPtr lResult = std::make_shared<Disjunction>(aLeft, aRight);
    for (const MatrixPtr& lNext : aFurther) {
        lResult = std::make_shared<Disjunction>(lResult, lNext);
    }
    return lResult;
}

MatrixPtr Factory::Or(const std::vector<MatrixPtr>& aMatrices) {
    if (aMatrices.empty()) {
        throw EngineException(kEmptyDisjunction);
    }
    MatrixPtr lResult = aMatrices.front();
    for (size_t i = 1; i < aMatrices.size(); ++i) {
        lResult = std::make_shared<Disjunction>(lResult, aMatrices[i]);
    }
    return lResult;
}

MatrixPtr Factory::Xor(const MatrixPtr& aLeft, const MatrixPtr& aRight) {
    return Not(IfAndOnlyIf(aLeft, aRight));
}

MatrixPtr Factory::ThereExists(const VariablePtr& aVariable, const MatrixPtr& aMatrix) {
    return Not(ForAll(aVariable, Not(aMatrix)));
}

MatrixPtr Factory::Impossibly(const MatrixPtr& aMatrix) {
    return Necessarily(Not(aMatrix));
}

MatrixPtr Factory::Possibly(const MatrixPtr& aMatrix) {
    return Not(Impossibly(aMatrix));
}

MatrixPtr Factory::NecessarilyOnlyIf(const MatrixPtr& aAntecedent, const MatrixPtr& aConsequent) {
    return Necessarily(OnlyIf(aAntecedent, aConsequent));
}

MatrixPtr Factory::NotTheSame(const VariablePtr& aLeft, const VariablePtr& aRight) {
    return Not(TheSame(aLeft, aRight));
}

MatrixPtr Factory::The(const VariablePtr& aVariable, const MatrixPtr& aMatrix) {
    VariablePtr lOnly = Variable(LetterAfter(aVariable->Letter()));
    MatrixPtr lIdentity = TheSame(aVariable, lOnly);
    MatrixPtr lExactlyWhen = IfAndOnlyIf(lIdentity, aMatrix);
    MatrixPtr lAll = ForAll(aVariable, lExactlyWhen);
    return ThereExists(lOnly, lAll);
}

MatrixPtr Factory::Bind(const std::vector<VariablePtr>& aVariables, const MatrixPtr& aMatrix,
                        const Quantifier& aQuantifier) {
    MatrixPtr lResult = aMatrix;
    for (const VariablePtr& lVariable : aVariables) {
        lResult = aQuantifier(lVariable, lResult);
    }
    return lResult;
}

namespace {

// for all x, S(x) -> P(x), or -> ~P(x) when the predicate term is to be denied.
MatrixPtr Universal(const VariablePtr& aX, const Term& aSubject, const Term& aPredicate,
                    bool aDenyPredicate) {
    MatrixPtr lSubject = aSubject.Apply(aX);
    MatrixPtr lPredicate = aPredicate.Apply(aX);
    if (aDenyPredicate) {
        lPredicate = Factory::Not(lPredicate);
    }
    return Factory::ForAll(aX, Factory::OnlyIf(lSubject, lPredicate));
}

// there is an x with S(x) & P(x), or & ~P(x) when the predicate term is to be denied.
MatrixPtr Existential(const VariablePtr& aX, const Term& aSubject, const Term& aPredicate,
                      bool aDenyPredicate) {
    MatrixPtr lSubject = aSubject.Apply(aX);
    MatrixPtr lPredicate = aPredicate.Apply(aX);
    if (aDenyPredicate) {
        lPredicate = Factory::Not(lPredicate);
    }
    return Factory::ThereExists(aX, Factory::And(lSubject, lPredicate));
}

} // namespace

MatrixPtr Factory::FormA(const Term& aSubject, const Term& aPredicate, bool aExistentialImport) {
    VariablePtr lX = Variable('x');
    MatrixPtr lAll = Universal(lX, aSubject, aPredicate, false);
    if (!aExistentialImport) {
        return lAll;
    }
    VariablePtr lX2 = Variable('x');
    MatrixPtr lSome = ThereExists(lX2, aSubject.Apply(lX2));
    return And(lAll, lSome);
}

MatrixPtr Factory::FormE(const Term& aSubject, const Term& aPredicate) {
    return Universal(Variable('x'), aSubject, aPredicate, true);
}

MatrixPtr Factory::FormI(const Term& aSubject, const Term& aPredicate) {
    return Existential(Variable('x'), aSubject, aPredicate, false);
}

MatrixPtr Factory::FormO(const Term& aSubject, const Term& aPredicate, bool aExistentialImport) {
    VariablePtr lX = Variable('x');
    MatrixPtr lNotAll = Not(Universal(lX, aSubject, aPredicate, false));
    if (aExistentialImport) {
        return lNotAll;
    }
    VariablePtr lX2 = Variable('x');
    MatrixPtr lNone = ForAll(lX2, Not(aSubject.Apply(lX2)));
    return Or(lNotAll, lNone);
}

MatrixPtr Factory::FormU(const Term& aSubject, const Term& aPredicate, bool) {
    VariablePtr lX = Variable('x');
    MatrixPtr lAll = Universal(lX, aSubject, aPredicate, false);
    MatrixPtr lNone = Universal(lX, aSubject, aPredicate, true);
    return Or(lAll, lNone);
}

MatrixPtr Factory::FormY(const Term& aSubject, const Term& aPredicate, bool) {
    VariablePtr lX = Variable('x');
    MatrixPtr lSome = Existential(lX, aSubject, aPredicate, false);
    MatrixPtr lSomeNot = Existential(lX, aSubject, aPredicate, true);
    return And(lSome, lSomeNot);
}

std::vector<VariablePtr> Factory::MakeNVariables(uint32_t aCount) {
    std::vector<VariablePtr> lVariables;
    lVariables.reserve(aCount);
    for (uint32_t i = 0; i < aCount; ++i) {
        lVariables.push_back(Variable(static_cast<char>('a' + i % 26)));
    }
    return lVariables;
}

MatrixPtr Factory::ThereAreThisManyOfThese(uint32_t aCount, const UnaryPredicatePtr& aPredicate) {
    std::vector<VariablePtr> lW = MakeNVariables(std::max<uint32_t>(aCount, 1));
    if (aCount == 0) {
        return ForAll(lW[0], Not(Predication(aPredicate, lW[0])));
    }
    if (aCount == 1) {
        return The(lW[0], Predication(aPredicate, lW[0]));
    }
    VariablePtr lX = Variable('x');

    MatrixPtr lAllAre = Predication(aPredicate, lW[0]);
    for (uint32_t i = 1; i < aCount; ++i) {
        MatrixPtr lNext = Predication(aPredicate, lW[i]);
        lAllAre = And(lAllAre, lNext);
    }

    MatrixPtr lAreDistinct;
    for (uint32_t i = 0; i < aCount; ++i) {
        for (uint32_t j = i + 1; j < aCount; ++j) {
            MatrixPtr lDistinct = NotTheSame(lW[i], lW[j]);
            lAreDistinct = lAreDistinct ? And(lAreDistinct, lDistinct) : lDistinct;
        }
    }

    MatrixPtr lIsF = Predication(aPredicate, lX);
    MatrixPtr lOneOfThem = TheSame(lX, lW[0]);
    for (uint32_t i = 1; i < aCount; ++i) {
        MatrixPtr lNext = TheSame(lX, lW[i]);
        lOneOfThem = Or(lOneOfThem, lNext);
    }
    MatrixPtr lClosure = ForAll(lX, OnlyIf(lIsF, lOneOfThem));

    MatrixPtr lBody = And(lAllAre, lAreDistinct, {lClosure});
    return Bind(lW, lBody, [](const VariablePtr& fVariable, const MatrixPtr& fMatrix) {
        return ThereExists(fVariable, fMatrix);
    });
}

std::vector<std::vector<uint32_t>> Factory::Choose(uint32_t aChosen, uint32_t aTotal) {
    if (aChosen == 0) {
        return {{}};
    }
    if (aChosen >= aTotal) {
        std::vector<uint32_t> lAll(aTotal);
        for (uint32_t i = 0; i < aTotal; ++i) {
            lAll[i] = i;
        }
        return {lAll};
    }
    // Every choice that leaves out the last position comes before every choice that takes it,
    // at each position from the last down: the sets in co-lexicographic order, made one after
    // the other instead of by recursion on the number of positions.
    std::vector<std::vector<uint32_t>> lChoices;
    std::vector<uint32_t> lChoice(aChosen);
    for (uint32_t i = 0; i < aChosen; ++i) {
        lChoice[i] = i;
    }
    while (true) {
        lChoices.push_back(lChoice);
        uint32_t i = 0;
        while (i < aChosen) {
            uint32_t lLimit = i + 1 < aChosen ? lChoice[i + 1] : aTotal;
            if (lChoice[i] + 1 < lLimit) {
                break;
            }
            ++i;
        }
        if (i == aChosen) {
            return lChoices;
        }
        ++lChoice[i];
        for (uint32_t j = 0; j < i; ++j) {
            lChoice[j] = j;
        }
    }
}

MatrixPtr Factory::ThisManyOfTheseAreTrue(uint32_t aCount,
                                          const std::vector<MatrixPtr>& aMatrices) {
    if (aMatrices.size() < aCount) {
        std::string lTexts;
        for (const MatrixPtr& lMatrix : aMatrices) {
            if (!lTexts.empty()) {
                lTexts += ", ";
            }
            lTexts += lMatrix->ToString();
        }
        throw EngineException(
            "{0} of the predicate(s) {1} can't be true because there are only {2} of them.", aCount,
            lTexts, aMatrices.size());
    }
    auto lTotal = static_cast<uint32_t>(aMatrices.size());
    std::vector<MatrixPtr> lConjunctions;
    for (const std::vector<uint32_t>& lChoice : Choose(lTotal - aCount, lTotal)) {
        // Combine: the list with the chosen positions negated, then conjoined.
        std::vector<MatrixPtr> lCopy = aMatrices;
        for (uint32_t lPosition : lChoice) {
            lCopy[lPosition] = Not(lCopy[lPosition]);
        }
        lConjunctions.push_back(And(lCopy));
    }
    return Or(lConjunctions);
}

} // namespace Logic
