// Tree Proof Generator forms of every node class: the logical signs are written as the
// percent-encoded UTF-8 they take in a web address. As with the Prover9 forms, one writer appends
// to a single string with an explicit work list, so deep formulas cost linear time and no stack.

#include <cctype>
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

constexpr const char* NotSign = "%C2%AC";         // U+00AC
constexpr const char* BoxSign = "%E2%96%A1";      // U+25A1
constexpr const char* ForAllSign = "%E2%88%80";   // U+2200
constexpr const char* AndSign = "%E2%88%A7";      // U+2227
constexpr const char* OrSign = "%E2%88%A8";       // U+2228
constexpr const char* ArrowSign = "%E2%86%92";    // U+2192
constexpr const char* BothWaysSign = "%E2%86%94"; // U+2194

[[noreturn]] void ThrowIncompatible() {
    throw EngineException("Can't generate input for Tree Proof Generator from this proposition.");
}

class TreeProofGeneratorWriter {
public:
    explicit TreeProofGeneratorWriter(std::string& aOutput) : mOutput(aOutput) {}

    void Write(const Matrix& aRoot) {
        mWork.emplace_back(&aRoot);
        while (!mWork.empty()) {
            Item lItem = mWork.back();
            mWork.pop_back();
            if (auto* lText = std::get_if<std::string>(&lItem)) {
                mOutput += *lText;
            } else {
                Visit(*std::get<const Matrix*>(lItem));
            }
        }
    }

private:
    using Item = std::variant<const Matrix*, std::string>;

    // Pieces are pushed in reverse: the work list is a stack.
    void Visit(const Matrix& aNode) {
        switch (aNode.Kind()) {
        case NodeKind::NullPredicate:
            for (char lCharacter : static_cast<const NullPredicate&>(aNode).Description()) {
                mOutput += static_cast<char>(std::tolower(static_cast<unsigned char>(lCharacter)));
            }
            return;
        case NodeKind::UnaryPredication:
            mOutput += aNode.ToString();
            return;
        case NodeKind::BinaryPredication: {
            const auto& lPredication = static_cast<const BinaryPredication&>(aNode);
            mOutput += lPredication.Predicate()->ToString();
            mOutput += lPredication.Variable1()->ToString();
            mOutput += lPredication.Variable2()->ToString();
            return;
        }
        case NodeKind::Identification:
            ThrowIncompatible();
        case NodeKind::Negation:
            mOutput += '(';
            mOutput += NotSign;
            mWork.emplace_back(std::string(")"));
            mWork.emplace_back(static_cast<const Negation&>(aNode).InnerMatrix().get());
            return;
        case NodeKind::Necessity:
            mOutput += BoxSign;
            mWork.emplace_back(static_cast<const Necessity&>(aNode).InnerMatrix().get());
            return;
        case NodeKind::UniversalGeneralization: {
            const auto& lQuantifier = static_cast<const UniversalGeneralization&>(aNode);
            mOutput += '(';
            mOutput += ForAllSign;
            mOutput += lQuantifier.Variable()->ToString();
            mOutput += '(';
            mWork.emplace_back(std::string("))"));
            mWork.emplace_back(lQuantifier.InnerMatrix().get());
            return;
        }
        case NodeKind::JointDenial: {
            // Neither-nor is the negation of the disjunction; the tool has no sign of its own.
            const auto& lDenial = static_cast<const JointDenial&>(aNode);
            mOutput += '(';
            mOutput += NotSign;
            mOutput += '(';
            mWork.emplace_back(std::string("))"));
            mWork.emplace_back(lDenial.Right().get());
            mWork.emplace_back(std::string(OrSign));
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
            mWork.emplace_back(lOperator.TreeProofGeneratorConnector());
            mWork.emplace_back(lOperator.Left().get());
            return;
        }
        }
    }

    std::string& mOutput;
    std::vector<Item> mWork;
};

std::string TreeProofGeneratorForm(const Matrix& aMatrix) {
    std::string lOutput;
    TreeProofGeneratorWriter(lOutput).Write(aMatrix);
    return lOutput;
}

} // namespace

std::string Matrix::TreeProofGeneratorInput() const { ThrowIncompatible(); }

bool Matrix::IsCompatibleWithTreeProofGenerator() const {
    return !ContainsIdentifications() && !ContainsModalities();
}

std::string Negation::TreeProofGeneratorInput() const { return TreeProofGeneratorForm(*this); }
std::string Necessity::TreeProofGeneratorInput() const { return TreeProofGeneratorForm(*this); }
std::string UniversalGeneralization::TreeProofGeneratorInput() const {
    return TreeProofGeneratorForm(*this);
}
std::string BinaryOperator::TreeProofGeneratorInput() const { return TreeProofGeneratorForm(*this); }
std::string JointDenial::TreeProofGeneratorInput() const { return TreeProofGeneratorForm(*this); }
std::string NullPredicate::TreeProofGeneratorInput() const { return TreeProofGeneratorForm(*this); }
std::string UnaryPredication::TreeProofGeneratorInput() const {
    return TreeProofGeneratorForm(*this);
}
std::string BinaryPredication::TreeProofGeneratorInput() const {
    return TreeProofGeneratorForm(*this);
}

std::string Conjunction::TreeProofGeneratorConnector() const { return AndSign; }
std::string Disjunction::TreeProofGeneratorConnector() const { return OrSign; }
std::string MaterialConditional::TreeProofGeneratorConnector() const { return ArrowSign; }
std::string Equivalence::TreeProofGeneratorConnector() const { return BothWaysSign; }
std::string JointDenial::TreeProofGeneratorConnector() const {
    throw NotImplementedException("JointDenial.TreeProofGeneratorConnector should be unreachable.");
}

} // namespace Logic
