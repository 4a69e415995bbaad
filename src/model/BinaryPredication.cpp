#include "model/BinaryPredication.h"

#include <functional>

#include "model/EngineException.h"
#include "model/FormulaWalk.h"

namespace Logic {

BinaryPredication::BinaryPredication(BinaryPredicatePtr aPredicate, VariablePtr aVariable1,
                                     VariablePtr aVariable2)
    : Matrix(NodeKind::BinaryPredication), mPredicate(std::move(aPredicate)),
      mVariable1(std::move(aVariable1)), mVariable2(std::move(aVariable2)) {
    if (!mPredicate || !mVariable1 || !mVariable2) {
        throw EngineException("A predication was built without its relation or variables.");
    }
}

std::string BinaryPredication::ToString() const {
    return mVariable1->ToString() + mPredicate->ToString() + mVariable2->ToString();
}

bool BinaryPredication::Equals(const Matrix& aOther) const {
    if (aOther.Kind() != NodeKind::BinaryPredication) {
        return false;
    }
    const auto& lOther = static_cast<const BinaryPredication&>(aOther);
    return mVariable1 == lOther.mVariable1 && mVariable2 == lOther.mVariable2 &&
           mPredicate->Equals(lOther.mPredicate.get());
}

size_t BinaryPredication::Hash() const {
    // The second variable's hash is turned, so that xLy and yLx differ.
    const size_t lSecond = IdentityHash(mVariable2.get());
    return mPredicate->Hash() ^ IdentityHash(mVariable1.get()) ^ ((lSecond << 1) | (lSecond >> (sizeof(size_t) * 8 - 1)));
}

std::string BinaryPredication::DOTLabel() const {
    return FormulaWalk::Label("Binary Predication", ToString());
}

std::vector<VariablePtr> BinaryPredication::FreeVariables() const {
    if (mVariable1 == mVariable2) {
        return {mVariable1};
    }
    return {mVariable1, mVariable2};
}

std::vector<const Necessity*> BinaryPredication::FreeModalities() const {
    const Necessity* lFirst = mVariable1->Modality();
    const Necessity* lSecond = mVariable2->Modality();
    if (lFirst == lSecond) {
        return {lFirst};
    }
    return {lFirst, lSecond};
}

std::vector<VariablePtr> BinaryPredication::IdentifiedVariables() const {
    return {};
}

std::vector<const NullPredicate*> BinaryPredication::NullPredicates() const {
    return {};
}

std::vector<const UnaryPredicate*> BinaryPredication::UnaryPredicates() const {
    return {};
}

MatrixPtr BinaryPredication::Substitute(const VariablePtr& aReplaced,
                                        const VariablePtr& aReplacement) const {
    return std::make_shared<BinaryPredication>(
        mPredicate, Variable::Substitute(mVariable1, aReplaced, aReplacement),
        Variable::Substitute(mVariable2, aReplaced, aReplacement));
}

std::vector<const Matrix*> BinaryPredication::NonNullPredications() const {
    return {this};
}

} // namespace Logic
