#include "coefficients/CoefficientVector.h"

#include <algorithm>
#include <cstdlib>

#include "model/EngineException.h"
#include "platform/Diagnostics.h"

namespace Logic {

namespace {
// Coefficients of truth functions of n letters never exceed 2^n in size, but the products on the
// way there can; wrapping arithmetic keeps the exact final sums without overflow.
int32_t Times(int32_t aX, int32_t aY) {
    return static_cast<int32_t>(static_cast<uint32_t>(aX) * static_cast<uint32_t>(aY));
}
int32_t Plus(int32_t aX, int32_t aY) {
    return static_cast<int32_t>(static_cast<uint32_t>(aX) + static_cast<uint32_t>(aY));
}

void CheckNumberOfVariables(size_t aCount) {
    if (aCount > static_cast<size_t>(CoefficientVector::MaximumNumberOfVariables)) {
        throw EngineException(
            "Coefficient vectors are limited to {0} sentence letters; this statement has {1}.",
            CoefficientVector::MaximumNumberOfVariables, aCount);
    }
}

struct NamedOperators {
    CoefficientVector mNOT = CoefficientVector::Operator({1, -1});
    CoefficientVector mAND = CoefficientVector::Operator({0, 0, 0, 1});
    CoefficientVector mP = CoefficientVector::Operator({0, 1, 0, 0});
    CoefficientVector mQ = CoefficientVector::Operator({0, 0, 1, 0});
    CoefficientVector mNotP = CoefficientVector::Apply(mNOT, {mP});
    CoefficientVector mNotQ = CoefficientVector::Apply(mNOT, {mQ});
    CoefficientVector mNOR = CoefficientVector::Apply(mAND, {mNotP, mNotQ});
    CoefficientVector mOR = CoefficientVector::Apply(mNOT, {mNOR});
    CoefficientVector mIMPL = CoefficientVector::Apply(mOR, {mNotP, mQ});
    CoefficientVector mConverse = CoefficientVector::Apply(mIMPL, {mQ, mP});
    CoefficientVector mEQUIV = CoefficientVector::Apply(mAND, {mIMPL, mConverse});
};

const NamedOperators& Operators() {
    static const NamedOperators lOperators;
    return lOperators;
}
} // namespace

CoefficientVector::CoefficientVector(const std::string& aVariable,
                                     std::vector<std::string> aVariables)
    : mVariables(std::move(aVariables)) {
    CheckNumberOfVariables(mVariables.size());
    std::sort(mVariables.begin(), mVariables.end());
    mCoefficients.assign(size_t{1} << mVariables.size(), 0);
    auto lPosition = std::find(mVariables.begin(), mVariables.end(), aVariable);
    if (lPosition != mVariables.end()) {
        mCoefficients[size_t{1} << (lPosition - mVariables.begin())] = 1;
    }
}

CoefficientVector::CoefficientVector(std::vector<int32_t> aCoefficients)
    : mCoefficients(std::move(aCoefficients)) {}

CoefficientVector::CoefficientVector(std::vector<int32_t> aCoefficients,
                                     std::vector<std::string> aVariables)
    : mCoefficients(std::move(aCoefficients)), mVariables(std::move(aVariables)) {
    CheckNumberOfVariables(mVariables.size());
    std::sort(mVariables.begin(), mVariables.end());
}

CoefficientVector CoefficientVector::Operator(std::vector<int32_t> aCoefficients) {
    return CoefficientVector(std::move(aCoefficients));
}

const CoefficientVector& CoefficientVector::NOT() { return Operators().mNOT; }
const CoefficientVector& CoefficientVector::AND() { return Operators().mAND; }
const CoefficientVector& CoefficientVector::NOR() { return Operators().mNOR; }
const CoefficientVector& CoefficientVector::OR() { return Operators().mOR; }
const CoefficientVector& CoefficientVector::IMPL() { return Operators().mIMPL; }
const CoefficientVector& CoefficientVector::EQUIV() { return Operators().mEQUIV; }

void CoefficientVector::ValidateOperands(const std::vector<CoefficientVector>& aOperands) {
    if (aOperands.empty()) {
        throw EngineException("Too few operands.");
    }
    for (const auto& lOperand : aOperands) {
        if (lOperand.mCoefficients.size() != aOperands.front().mCoefficients.size()) {
            throw EngineException("Operands' lengths do not match.");
        }
    }
}

CoefficientVector CoefficientVector::Apply(const CoefficientVector& aOperator,
                                           const std::vector<CoefficientVector>& aOperands) {
    if (Diagnostics::Enabled()) {
        Diagnostics::WriteLine("Applying " + aOperator.ToString());
    }
    ValidateOperands(aOperands);
    // An operator monomial that names an operand beyond the last one given has nothing to
    // multiply; that is too few operands as well.
    if (aOperands.size() < 31 && aOperator.mCoefficients.size() > (size_t{1} << aOperands.size())) {
        throw EngineException("Too few operands.");
    }
    std::vector<int32_t> lSums(aOperands.front().mCoefficients.size(), 0);
    std::vector<const std::vector<int32_t>*> lFactors;
    for (size_t i = 0; i < aOperator.mCoefficients.size(); ++i) {
        lFactors.clear();
        for (int32_t lPosition : PowersOfTwo(static_cast<int32_t>(i))) {
            lFactors.push_back(&aOperands[static_cast<size_t>(lPosition)].mCoefficients);
        }
        ApplyComponent(lSums, aOperator.mCoefficients[i], 0, lFactors);
    }
    return CoefficientVector(std::move(lSums), aOperands.front().mVariables);
}

void CoefficientVector::ApplyComponent(std::vector<int32_t>& aSums, int32_t aProduct,
                                       int32_t aIndex,
                                       std::span<const std::vector<int32_t>* const> aRemaining) {
    if (aRemaining.empty()) {
        aSums[static_cast<size_t>(aIndex)] = Plus(aSums[static_cast<size_t>(aIndex)], aProduct);
        if (aIndex == 0 && Diagnostics::Enabled()) {
            Diagnostics::WriteLine(std::to_string(aProduct) + " added to product");
        }
        return;
    }
    const std::vector<int32_t>& lFirst = *aRemaining.front();
    for (size_t j = 0; j < lFirst.size(); ++j) {
        int32_t lProduct = Times(aProduct, lFirst[j]);
        int32_t lIndex = aIndex | static_cast<int32_t>(j);
        // A zero product adds nothing; only the path to the constant term is followed anyway,
        // because that is where the trace reports every product.
        if (lProduct == 0 && lIndex != 0) {
            continue;
        }
        ApplyComponent(aSums, lProduct, lIndex, aRemaining.subspan(1));
    }
}

std::vector<int32_t> CoefficientVector::PowersOfTwo(int32_t aM) {
    std::vector<int32_t> lPositions;
    auto lBits = static_cast<uint32_t>(aM);
    for (int32_t i = 0; lBits != 0; ++i, lBits >>= 1) {
        if ((lBits & 1u) != 0) {
            lPositions.push_back(i);
        }
    }
    return lPositions;
}

std::string CoefficientVector::ToString() const {
    std::string lText = "[";
    for (size_t i = 0; i < mCoefficients.size(); ++i) {
        if (i > 0) {
            lText += ", ";
        }
        lText += std::to_string(mCoefficients[i]);
    }
    return lText + "]";
}

std::string CoefficientVector::Formula() const {
    std::string lText;
    for (size_t m = 0; m < mCoefficients.size(); ++m) {
        int32_t lCoefficient = mCoefficients[m];
        if (lCoefficient == 0) {
            continue;
        }
        if (!lText.empty()) {
            lText += lCoefficient > 0 ? " + " : " - ";
        } else if (lCoefficient < 0) {
            lText += "-";
        }
        auto lMagnitude = static_cast<uint32_t>(lCoefficient < 0 ? -static_cast<int64_t>(lCoefficient)
                                                                  : lCoefficient);
        if (lMagnitude > 1 || m == 0) {
            lText += std::to_string(lMagnitude);
        }
        for (int32_t lPosition : PowersOfTwo(static_cast<int32_t>(m))) {
            if (static_cast<size_t>(lPosition) < mVariables.size()) {
                lText += mVariables[static_cast<size_t>(lPosition)];
            }
        }
    }
    return lText.empty() ? "0" : lText;
}

int32_t CoefficientVector::DotProduct(const std::vector<int32_t>& aX,
                                      const std::vector<int32_t>& aY) {
    if (aX.size() != aY.size()) {
        throw EngineException("invalid dot product");
    }
    int32_t lSum = 0;
    for (size_t i = 0; i < aX.size(); ++i) {
        lSum = Plus(lSum, Times(aX[i], aY[i]));
    }
    return lSum;
}

std::vector<int32_t> CoefficientVector::Expand(const std::vector<int32_t>& aValues) {
    CheckNumberOfVariables(aValues.size());
    std::vector<int32_t> lProducts(size_t{1} << aValues.size(), 1);
    for (size_t m = 1; m < lProducts.size(); ++m) {
        for (int32_t lPosition : PowersOfTwo(static_cast<int32_t>(m))) {
            lProducts[m] = Times(lProducts[m], aValues[static_cast<size_t>(lPosition)]);
        }
    }
    return lProducts;
}

int32_t CoefficientVector::TruthValue(const std::vector<int32_t>& aCoefficients,
                                      const std::vector<int32_t>& aValues) {
    return DotProduct(aCoefficients, Expand(aValues));
}

} // namespace Logic
