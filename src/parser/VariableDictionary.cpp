#include "parser/VariableDictionary.h"

#include <algorithm>

#include "model/EngineException.h"
#include "model/Format.h"

namespace Logic {

FreeVariableNotFoundException::FreeVariableNotFoundException(char aVariableSymbol)
    : std::runtime_error(Format("No quantifier binds the variable \"{0}\".", aVariableSymbol)),
      mVariableSymbol(aVariableSymbol) {}

bool VariableDictionary::ContainsVariableForSymbol(char aLetter) const {
    return std::any_of(mVariables.begin(), mVariables.end(),
                       [aLetter](const auto& fEntry) { return fEntry.first == aLetter; });
}

const VariablePtr& VariableDictionary::Retrieve(char aLetter) const {
    for (const auto& lEntry : mVariables) {
        if (lEntry.first == aLetter) {
            return lEntry.second;
        }
    }
    throw FreeVariableNotFoundException(aLetter);
}

VariableDictionary VariableDictionary::CreateNewSetThatRebinds(char aLetter,
                                                               const VariablePtr& aVariable) const {
    VariableDictionary lResult;
    lResult.mVariables.reserve(mVariables.size() + 1);
    for (const auto& lEntry : mVariables) {
        if (lEntry.first != aLetter) {
            lResult.mVariables.push_back(lEntry);
        }
    }
    lResult.Add(aLetter, aVariable);
    return lResult;
}

void VariableDictionary::Add(char aLetter, const VariablePtr& aVariable) {
    if (ContainsVariableForSymbol(aLetter)) {
        throw EngineException("The letter \"{0}\" is bound already.", aLetter);
    }
    mVariables.emplace_back(aLetter, aVariable);
}

} // namespace Logic
