#pragma once
// The coefficients of the multilinear polynomial that computes a truth function over 0/1
// values. Entry m belongs to the product of the variables whose bits are set in m; entry 0 is the
// constant term. Vectors of connectives (operators) have no variable names: their variable i is
// their i-th operand.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace Logic {

class CoefficientVector {
public:
    /// More sentence letters than this would make vectors too long and their products far too
    /// slow (every connective costs about 4^n steps).
    static constexpr int32_t MaximumNumberOfVariables = 10;

    /// The single variable aVariable among aVariables (sorted here): a 1 at index 2^i, i its
    /// position, all 0 when it is not among them.
    CoefficientVector(const std::string& aVariable, std::vector<std::string> aVariables);
    /// An operator: no variable names.
    explicit CoefficientVector(std::vector<int32_t> aCoefficients);
    /// Coefficients over aVariables, which are sorted here.
    CoefficientVector(std::vector<int32_t> aCoefficients, std::vector<std::string> aVariables);

    const std::vector<int32_t>& Coefficients() const { return mCoefficients; }
    const std::vector<std::string>& Variables() const { return mVariables; }

    static CoefficientVector Operator(std::vector<int32_t> aCoefficients);

    static const CoefficientVector& NOT();
    static const CoefficientVector& AND();
    static const CoefficientVector& NOR();
    static const CoefficientVector& OR();
    static const CoefficientVector& IMPL();
    static const CoefficientVector& EQUIV();

    /// The polynomial of aOperator with its i-th variable replaced by the polynomial aOperands[i].
    static CoefficientVector Apply(const CoefficientVector& aOperator,
                                   const std::vector<CoefficientVector>& aOperands);
    /// Adds aProduct times the product of the remaining operand polynomials into aSums, at the
    /// monomials combined with aIndex.
    static void ApplyComponent(std::vector<int32_t>& aSums, int32_t aProduct, int32_t aIndex,
                               std::span<const std::vector<int32_t>* const> aRemaining);
    static void ValidateOperands(const std::vector<CoefficientVector>& aOperands);

    /// Positions of the set bits of aM, lowest first.
    static std::vector<int32_t> PowersOfTwo(int32_t aM);

    /// "[c0, c1, ...]".
    std::string ToString() const;
    /// The polynomial written out, such as "1 - p - q + 2pq".
    std::string Formula() const;

    static int32_t DotProduct(const std::vector<int32_t>& aX, const std::vector<int32_t>& aY);
    /// Entry m: the product of the values at PowersOfTwo(m).
    static std::vector<int32_t> Expand(const std::vector<int32_t>& aValues);
    static int32_t TruthValue(const std::vector<int32_t>& aCoefficients,
                              const std::vector<int32_t>& aValues);

private:
    std::vector<int32_t> mCoefficients;
    std::vector<std::string> mVariables;
};

} // namespace Logic
