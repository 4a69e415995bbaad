// Prover9 forms of every node class. One writer walks the formula with an explicit work list and
// appends to a single string: formulas nest thousands of levels deep, and rendering each operand
// into a string of its own would copy the text once per level.

#include <optional>
#include <variant>
#include <vector>

#include "model/Argument.h"
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

namespace Logic {

namespace {

/// Letters that Prover9 reads as variables.
bool IsProver9VariableLetter(char aLetter) { return aLetter >= 'u' && aLetter <= 'z'; }

const std::string& NameOf(const TranslatedNames& aNames, const Variable& aVariable) {
    auto lEntry = aNames.find(aVariable.Letter());
    if (lEntry == aNames.end()) {
        // Only a direct call with a map that lacks the formula's free variables gets here.
        throw EngineException("No Prover9 name was given for the variable \"{0}\".",
                              aVariable.ToString());
    }
    return lEntry->second;
}

/// Puts a quantifier's entry back as it was before the quantifier, so the bound name does not
/// leak to free occurrences of the same letter rendered after the quantifier's scope.
struct RestoreName {
    char mLetter;
    std::optional<std::string> mPrevious;
};

class Prover9Writer {
public:
    Prover9Writer(TranslatedNames& aNames, std::string& aOutput)
        : mNames(aNames), mOutput(aOutput) {}

    void Write(const Matrix& aRoot) {
        mWork.emplace_back(&aRoot);
        try {
            while (!mWork.empty()) {
                Item lItem = std::move(mWork.back());
                mWork.pop_back();
                if (auto* lText = std::get_if<std::string>(&lItem)) {
                    mOutput += *lText;
                } else if (auto* lRestore = std::get_if<RestoreName>(&lItem)) {
                    Restore(*lRestore);
                } else {
                    Visit(*std::get<const Matrix*>(lItem));
                }
            }
        } catch (...) {
            // The caller's map is left as it was given, even when a modal operand stops us.
            for (auto lItem = mWork.rbegin(); lItem != mWork.rend(); ++lItem) {
                if (auto* lRestore = std::get_if<RestoreName>(&*lItem)) {
                    Restore(*lRestore);
                }
            }
            throw;
        }
    }

private:
    using Item = std::variant<const Matrix*, std::string, RestoreName>;

    void Restore(RestoreName& aRestore) {
        if (aRestore.mPrevious) {
            mNames[aRestore.mLetter] = std::move(*aRestore.mPrevious);
        } else {
            mNames.erase(aRestore.mLetter);
        }
    }

    // Pieces are pushed in reverse: the work list is a stack.
    void Visit(const Matrix& aNode) {
        switch (aNode.Kind()) {
        case NodeKind::NullPredicate:
            mOutput += aNode.ToString();
            mOutput += '0';
            return;
        case NodeKind::UnaryPredication: {
            const auto& lPredication = static_cast<const UnaryPredication&>(aNode);
            mOutput += lPredication.Predicate()->ToString();
            mOutput += "1(";
            mOutput += NameOf(mNames, *lPredication.Variable());
            mOutput += ')';
            return;
        }
        case NodeKind::BinaryPredication: {
            const auto& lPredication = static_cast<const BinaryPredication&>(aNode);
            mOutput += lPredication.Predicate()->ToString();
            mOutput += "2(";
            mOutput += NameOf(mNames, *lPredication.Variable1());
            mOutput += ',';
            mOutput += NameOf(mNames, *lPredication.Variable2());
            mOutput += ')';
            return;
        }
        case NodeKind::Identification: {
            const auto& lIdentification = static_cast<const Identification&>(aNode);
            mOutput += '(';
            mOutput += NameOf(mNames, *lIdentification.Left());
            mOutput += '=';
            mOutput += NameOf(mNames, *lIdentification.Right());
            mOutput += ')';
            return;
        }
        case NodeKind::Negation:
            mOutput += '-';
            mWork.emplace_back(static_cast<const Negation&>(aNode).InnerMatrix().get());
            return;
        case NodeKind::Necessity:
            throw EngineException("Prover9 does not support modal logic.");
        case NodeKind::UniversalGeneralization:
            VisitQuantifier(static_cast<const UniversalGeneralization&>(aNode));
            return;
        case NodeKind::JointDenial: {
            const auto& lDenial = static_cast<const JointDenial&>(aNode);
            mOutput += "(-";
            mWork.emplace_back(std::string(")"));
            mWork.emplace_back(lDenial.Right().get());
            mWork.emplace_back(std::string(" & -"));
            mWork.emplace_back(lDenial.Left().get());
            return;
        }
        case NodeKind::Conjunction:
        case NodeKind::Disjunction:
        case NodeKind::MaterialConditional:
        case NodeKind::Argument:
        case NodeKind::Equivalence: {
            const auto& lOperator = static_cast<const BinaryOperator&>(aNode);
            mOutput += '(';
            mWork.emplace_back(std::string(")"));
            mWork.emplace_back(lOperator.Right().get());
            mWork.emplace_back(lOperator.Prover9Connector());
            mWork.emplace_back(lOperator.Left().get());
            return;
        }
        }
    }

    void VisitQuantifier(const UniversalGeneralization& aQuantifier) {
        const Variable& lVariable = *aQuantifier.Variable();
        char lLetter = lVariable.Letter();
        RestoreName lRestore{lLetter, std::nullopt};
        if (auto lPrevious = mNames.find(lLetter); lPrevious != mNames.end()) {
            lRestore.mPrevious = lPrevious->second;
        }
        std::string lName =
            IsProver9VariableLetter(lLetter) ? lVariable.ToString() : "v" + lVariable.ToString();
        mOutput += "( all ";
        mOutput += lName;
        mOutput += ' ';
        mNames[lLetter] = std::move(lName);
        mWork.emplace_back(std::move(lRestore));
        mWork.emplace_back(std::string(" )"));
        mWork.emplace_back(aQuantifier.InnerMatrix().get());
    }

    TranslatedNames& mNames;
    std::string& mOutput;
    std::vector<Item> mWork;
};

void AppendProver9Form(const Matrix& aMatrix, TranslatedNames& aNames, std::string& aOutput) {
    Prover9Writer(aNames, aOutput).Write(aMatrix);
}

std::string Prover9Form(const Matrix& aMatrix, TranslatedNames& aNames) {
    std::string lOutput;
    AppendProver9Form(aMatrix, aNames, lOutput);
    return lOutput;
}

} // namespace

std::string Matrix::Prover9InputHelper1(TranslatedNames& aNames) const {
    std::string lDocument = "formulas(goals).\n";
    AppendProver9Form(*this, aNames, lDocument);
    lDocument += ".\nend_of_list.\n";
    return lDocument;
}

std::string MaterialConditional::Prover9InputHelper1(TranslatedNames& aNames) const {
    std::string lDocument = "formulas(assumptions).\n";
    lDocument += Left()->MakeProver9Formulas(aNames);
    lDocument += "end_of_list.\n\nformulas(goals).\n";
    AppendProver9Form(*Right(), aNames, lDocument);
    lDocument += ".\nend_of_list.\n";
    return lDocument;
}

std::string Matrix::MakeProver9Formulas(TranslatedNames& aNames) const {
    std::string lFormulas;
    for (const Matrix* lConjunct : Conjuncts()) {
        AppendProver9Form(*lConjunct, aNames, lFormulas);
        lFormulas += ".\n";
    }
    return lFormulas;
}

std::string Equivalence::Prover9Connector() const { return "<->"; }

std::string Negation::Prover9InputHelper(TranslatedNames& aNames) const {
    return Prover9Form(*this, aNames);
}

std::string Necessity::Prover9InputHelper(TranslatedNames&) const {
    throw EngineException("Prover9 does not support modal logic.");
}

std::string UniversalGeneralization::Prover9InputHelper(TranslatedNames& aNames) const {
    return Prover9Form(*this, aNames);
}

std::string BinaryOperator::Prover9InputHelper(TranslatedNames& aNames) const {
    return Prover9Form(*this, aNames);
}

std::string JointDenial::Prover9InputHelper(TranslatedNames& aNames) const {
    return Prover9Form(*this, aNames);
}

std::string NullPredicate::Prover9InputHelper(TranslatedNames& aNames) const {
    return Prover9Form(*this, aNames);
}

std::string UnaryPredication::Prover9InputHelper(TranslatedNames& aNames) const {
    return Prover9Form(*this, aNames);
}

std::string BinaryPredication::Prover9InputHelper(TranslatedNames& aNames) const {
    return Prover9Form(*this, aNames);
}

std::string Identification::Prover9InputHelper(TranslatedNames& aNames) const {
    return Prover9Form(*this, aNames);
}

} // namespace Logic
