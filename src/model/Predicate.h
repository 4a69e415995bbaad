#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace Logic {

class BinaryPredicate;

/// A monadic predicate letter. Two unary predicates are equal when their letters are.
class UnaryPredicate {
public:
    explicit UnaryPredicate(char aLetter) : mLetter(aLetter) {}
    char Letter() const { return mLetter; }
    std::string ToString() const { return std::string(1, mLetter); }
    /// Letter equality. aOther must be a UnaryPredicate; null fails with
    /// "UnaryPredicate compared to non-UnaryPredicate.".
    bool Equals(const UnaryPredicate* aOther) const;
    /// A relation is never comparable with a monadic predicate: always fails.
    bool Equals(const BinaryPredicate* aOther) const;
    bool Equals(std::nullptr_t) const;
    size_t Hash() const { return std::hash<char>{}(mLetter); }

private:
    char mLetter;
};

/// A dyadic predicate (relation) letter. Equal when the letters are.
class BinaryPredicate {
public:
    explicit BinaryPredicate(char aLetter) : mLetter(aLetter) {}
    char Letter() const { return mLetter; }
    std::string ToString() const { return std::string(1, mLetter); }
    /// Letter equality; null fails with "BinaryPredicate compared to non-BinaryPredicate.".
    bool Equals(const BinaryPredicate* aOther) const;
    /// A monadic predicate is never comparable with a relation: always fails.
    bool Equals(const UnaryPredicate* aOther) const;
    bool Equals(std::nullptr_t) const;
    size_t Hash() const { return std::hash<char>{}(mLetter); }

private:
    char mLetter;
};

using UnaryPredicatePtr = std::shared_ptr<const UnaryPredicate>;
using BinaryPredicatePtr = std::shared_ptr<const BinaryPredicate>;

} // namespace Logic
