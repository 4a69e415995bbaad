#include "model/Identification.h"

#include <functional>

#include "model/EngineException.h"
#include "model/FormulaWalk.h"

namespace Logic {

Identification::Identification(VariablePtr aLeft, VariablePtr aRight)
    : Matrix(NodeKind::Identification), mLeft(std::move(aLeft)), mRight(std::move(aRight)) {
    if (!mLeft || !mRight) {
        throw EngineException("An identity was built without its variables.");
    }
}

std::string Identification::ToString() const {
    return mLeft->ToString() + "=" + mRight->ToString();
}

bool Identification::Equals(const Matrix& aOther) const {
    if (aOther.Kind() != NodeKind::Identification) {
        return false;
    }
    const auto& lOther = static_cast<const Identification&>(aOther);
    return (mLeft == lOther.mLeft && mRight == lOther.mRight) ||
           (mLeft == lOther.mRight && mRight == lOther.mLeft);
}

// Symmetric, as the equality is.
size_t Identification::Hash() const {
    return IdentityHash(mLeft.get()) + IdentityHash(mRight.get());
}

std::string Identification::DOTLabel() const {
    return FormulaWalk::Label("Identification", ToString());
}

std::vector<VariablePtr> Identification::FreeVariables() const {
    return IdentifiedVariables();
}

std::vector<const Necessity*> Identification::FreeModalities() const {
    return ModalitiesInIdentifications();
}

std::vector<VariablePtr> Identification::IdentifiedVariables() const {
    if (mLeft == mRight) {
        return {mLeft};
    }
    return {mLeft, mRight};
}

std::vector<const NullPredicate*> Identification::NullPredicates() const {
    return {};
}

std::vector<const UnaryPredicate*> Identification::UnaryPredicates() const {
    return {};
}

MatrixPtr Identification::Substitute(const VariablePtr& aReplaced,
                                     const VariablePtr& aReplacement) const {
    return std::make_shared<Identification>(Variable::Substitute(mLeft, aReplaced, aReplacement),
                                            Variable::Substitute(mRight, aReplaced, aReplacement));
}

std::vector<const Matrix*> Identification::NonNullPredications() const {
    return {this};
}

std::vector<const Necessity*> Identification::ModalitiesInIdentifications() const {
    const Necessity* lLeft = mLeft->Modality();
    const Necessity* lRight = mRight->Modality();
    if (lLeft == lRight) {
        return {lLeft};
    }
    return {lLeft, lRight};
}

} // namespace Logic
