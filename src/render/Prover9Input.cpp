// The document that Prover9 and Mace4 read for a formula.

#include "model/Matrix.h"

namespace Logic {

std::string Matrix::Prover9Input() const {
    TranslatedNames lNames;
    for (const VariablePtr& lVariable : FreeVariables()) {
        std::string lText = lVariable->ToString();
        char lLetter = lText.front();
        // Prover9 reads names starting with u to z as variables; a free variable is a constant.
        bool lReadAsVariable = lLetter >= 'u' && lLetter <= 'z';
        lNames[lLetter] = lReadAsVariable ? "c" + lText : lText;
    }
    return Prover9InputHelper1(lNames);
}

} // namespace Logic
