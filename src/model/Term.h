#pragma once

#include "model/Matrix.h"

namespace Logic {

/// A term of a two-term proposition: a unary predicate, or its complement when negative.
class Term {
public:
    Term(UnaryPredicatePtr aPredicate, bool aIsNegative)
        : mPredicate(std::move(aPredicate)), mIsNegative(aIsNegative) {}

    /// A new predication of the predicate and aVariable, negated when the term is negative.
    MatrixPtr Apply(const VariablePtr& aVariable) const;

    const UnaryPredicatePtr& Predicate() const { return mPredicate; }
    bool IsNegative() const { return mIsNegative; }

private:
    UnaryPredicatePtr mPredicate;
    bool mIsNegative;
};

} // namespace Logic
