// The coefficient vector of each node class: sentence letters are variables, connectives
// compose their operands' polynomials, everything else has no truth-functional polynomial.
// Connectives walk their operands with an explicit stack, operands left to right before the
// node that joins them (the order of the trace lines), so deep formulas need no stack.

#include <algorithm>
#include <iterator>

#include "coefficients/CoefficientVector.h"
#include "model/Argument.h"
#include "model/Conjunction.h"
#include "model/Disjunction.h"
#include "model/EngineException.h"
#include "model/Equivalence.h"
#include "model/FormulaWalk.h"
#include "model/JointDenial.h"
#include "model/MaterialConditional.h"
#include "model/Negation.h"
#include "model/NullPredicate.h"
#include "platform/Cancellation.h"

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

/// The vector of a connective aRoot: every connective below it is composed here, every other
/// node answers its own CoefficientVectorHelper.
CoefficientVector ComposeConnectives(const Matrix& aRoot,
                                     const std::vector<const NullPredicate*>& aNullPredicates) {
    struct Frame {
        const Matrix* mNode;
        bool mOperandsDone;
    };
    const auto fIsConnective = [](const Matrix& fNode) {
        return fNode.Kind() == NodeKind::Negation || FormulaWalk::IsBinaryOperator(fNode.Kind());
    };
    std::vector<Frame> lFrames{{&aRoot, false}};
    std::vector<CoefficientVector> lDone;
    while (!lFrames.empty()) {
        const Frame lFrame = lFrames.back();
        lFrames.pop_back();
        const Matrix& lNode = *lFrame.mNode;
        if (!fIsConnective(lNode)) {
            lDone.push_back(lNode.CoefficientVectorHelper(aNullPredicates));
            continue;
        }
        const auto* lBinary = FormulaWalk::IsBinaryOperator(lNode.Kind())
                                  ? static_cast<const BinaryOperator*>(&lNode)
                                  : nullptr;
        if (!lFrame.mOperandsDone) {
            lFrames.push_back({&lNode, true});
            if (lBinary) {
                lFrames.push_back({lBinary->Right().get(), false});
                lFrames.push_back({lBinary->Left().get(), false});
            } else {
                lFrames.push_back({static_cast<const Negation&>(lNode).InnerMatrix().get(), false});
            }
            continue;
        }
        const size_t lArity = lBinary ? 2 : 1;
        const auto lFirstOperand = lDone.end() - static_cast<std::ptrdiff_t>(lArity);
        std::vector<CoefficientVector> lOperands(std::make_move_iterator(lFirstOperand),
                                                 std::make_move_iterator(lDone.end()));
        lDone.erase(lDone.end() - static_cast<std::ptrdiff_t>(lArity), lDone.end());
        // A composition costs about the product of its operands' lengths; a step of work is
        // about as much as visiting a node, some dozens of products.
        uint64_t lProducts = 1;
        for (const CoefficientVector& lOperand : lOperands) {
            lProducts *= lOperand.Coefficients().size();
        }
        CheckCancellation(1 + lProducts / 64);
        lDone.push_back(CoefficientVector::Apply(
            lBinary ? lBinary->CoefficientVectorForOperator() : CoefficientVector::NOT(),
            lOperands));
    }
    return std::move(lDone.back());
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
    return ComposeConnectives(*this, aNullPredicates);
}

CoefficientVector BinaryOperator::CoefficientVectorHelper(
    const std::vector<const NullPredicate*>& aNullPredicates) const {
    return ComposeConnectives(*this, aNullPredicates);
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
