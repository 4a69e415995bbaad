#pragma once
// Factory: the one place where formulas are put together, and the derived forms that have no
// node class of their own. Every call makes new nodes; nothing is shared with earlier calls.

#include <cstdint>
#include <functional>
#include <vector>

#include "model/Argument.h"
#include "model/Matrix.h"
#include "model/Term.h"

namespace Logic {

class Factory {
public:
    using Quantifier = std::function<MatrixPtr(const VariablePtr&, const MatrixPtr&)>;

    static VariablePtr Variable(char aLetter);
    static UnaryPredicatePtr UnaryPredicate(char aLetter);
    static BinaryPredicatePtr BinaryPredicate(char aLetter);
    static MatrixPtr NullPredicate(const std::string& aText);
    static MatrixPtr Predication(const UnaryPredicatePtr& aPredicate, const VariablePtr& aVariable);
    static MatrixPtr Predication(const BinaryPredicatePtr& aPredicate, const VariablePtr& aFirst,
                                 const VariablePtr& aSecond);
    static MatrixPtr TheSame(const VariablePtr& aLeft, const VariablePtr& aRight);
    static MatrixPtr Not(const MatrixPtr& aMatrix);
    static MatrixPtr ForAll(const VariablePtr& aVariable, const MatrixPtr& aMatrix);
    static MatrixPtr Necessarily(const MatrixPtr& aMatrix);
    static MatrixPtr OnlyIf(const MatrixPtr& aAntecedent, const MatrixPtr& aConsequent);
    static MatrixPtr IfAndOnlyIf(const MatrixPtr& aLeft, const MatrixPtr& aRight);
    static MatrixPtr Nor(const MatrixPtr& aLeft, const MatrixPtr& aRight);
    static Term AllAndOnly(const UnaryPredicatePtr& aPredicate, bool aNegated);
    static std::shared_ptr<const Argument> Therefore(const std::vector<MatrixPtr>& aPremises,
                                                     const MatrixPtr& aConclusion);
    static std::shared_ptr<const Argument> Therefore(const std::function<MatrixPtr()>& aNextPremise,
                                                     const MatrixPtr& aConclusion);

    static MatrixPtr And(const MatrixPtr& aLeft, const MatrixPtr& aRight,
                         const std::vector<MatrixPtr>& aFurther = {});
    /// Left fold; fails with "Can't conjoin an empty list of matrices." when empty.
    static MatrixPtr And(const std::vector<MatrixPtr>& aMatrices);
    static MatrixPtr Or(const MatrixPtr& aLeft, const MatrixPtr& aRight,
                        const std::vector<MatrixPtr>& aFurther = {});
    /// Left fold; fails with "Can't disjoin an empty list of matrices." when empty.
    static MatrixPtr Or(const std::vector<MatrixPtr>& aMatrices);
    static MatrixPtr Xor(const MatrixPtr& aLeft, const MatrixPtr& aRight);
    static MatrixPtr ThereExists(const VariablePtr& aVariable, const MatrixPtr& aMatrix);
    static MatrixPtr Impossibly(const MatrixPtr& aMatrix);
    static MatrixPtr Possibly(const MatrixPtr& aMatrix);
    static MatrixPtr NecessarilyOnlyIf(const MatrixPtr& aAntecedent, const MatrixPtr& aConsequent);
    static MatrixPtr NotTheSame(const VariablePtr& aLeft, const VariablePtr& aRight);
    static MatrixPtr The(const VariablePtr& aVariable, const MatrixPtr& aMatrix);
    /// Wraps aMatrix in one quantifier per variable; the first variable ends up innermost.
    static MatrixPtr Bind(const std::vector<VariablePtr>& aVariables, const MatrixPtr& aMatrix,
                          const Quantifier& aQuantifier);

    static MatrixPtr FormA(const Term& aSubject, const Term& aPredicate, bool aExistentialImport);
    static MatrixPtr FormE(const Term& aSubject, const Term& aPredicate);
    static MatrixPtr FormI(const Term& aSubject, const Term& aPredicate);
    static MatrixPtr FormO(const Term& aSubject, const Term& aPredicate, bool aExistentialImport);
    static MatrixPtr FormU(const Term& aSubject, const Term& aPredicate, bool aIgnored);
    static MatrixPtr FormY(const Term& aSubject, const Term& aPredicate, bool aIgnored);

    /// Exactly aCount things are aPredicate.
    static MatrixPtr ThereAreThisManyOfThese(uint32_t aCount, const UnaryPredicatePtr& aPredicate);
    /// Exactly aCount of aMatrices are true.
    static MatrixPtr ThisManyOfTheseAreTrue(uint32_t aCount, const std::vector<MatrixPtr>& aMatrices);

    /// The choices of aChosen positions out of 0 .. aTotal-1, in the order the counting form
    /// negates them.
    static std::vector<std::vector<uint32_t>> Choose(uint32_t aChosen, uint32_t aTotal);

    static std::vector<VariablePtr> MakeNVariables(uint32_t aCount);
};

} // namespace Logic
