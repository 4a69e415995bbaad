#pragma once
// The variables bound at one point of a statement: each letter to the quantifier variable that
// binds it there. A quantifier makes a new dictionary that shadows the letter it binds, so the
// dictionary of the enclosing scope stays as it was.

#include <stdexcept>
#include <utility>
#include <vector>

#include "model/Variable.h"

namespace Logic {

/// Raised by Retrieve for a letter that no quantifier binds.
class FreeVariableNotFoundException : public std::runtime_error {
public:
    explicit FreeVariableNotFoundException(char aVariableSymbol);
    char VariableSymbol() const { return mVariableSymbol; }

private:
    char mVariableSymbol;
};

class VariableDictionary {
public:
    bool ContainsVariableForSymbol(char aLetter) const;
    /// The innermost binding of aLetter; FreeVariableNotFoundException when there is none.
    const VariablePtr& Retrieve(char aLetter) const;
    /// A copy of these bindings with aLetter bound to aVariable instead.
    VariableDictionary CreateNewSetThatRebinds(char aLetter, const VariablePtr& aVariable) const;

protected:
    /// Binds aLetter, which must not be bound yet.
    void Add(char aLetter, const VariablePtr& aVariable);

private:
    // At most one entry per letter, and a statement binds only the 26 lower-case letters: a flat
    // list is smaller and faster to copy per quantifier than a tree or a hash table.
    std::vector<std::pair<char, VariablePtr>> mVariables;
};

} // namespace Logic
