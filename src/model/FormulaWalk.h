#pragma once
// Whole-formula walks shared by the connective nodes. Formulas may be nested tens of thousands of
// levels deep, so every walk keeps its own explicit stack instead of recursing per level; hot
// code switches on the node kind instead of dispatching virtually.

#include <string>
#include <utility>
#include <vector>

#include "model/Matrix.h"

namespace Logic::FormulaWalk {

/// The operands of a node, left to right (none for atomic nodes).
struct Operands {
    const Matrix* mFirst = nullptr;
    const Matrix* mSecond = nullptr;
};
Operands OperandsOf(const Matrix& aNode);

bool IsUnaryOperator(NodeKind aKind);
bool IsBinaryOperator(NodeKind aKind);

// The structural queries of a formula, in the order and with the de-duplication the model
// defines: union results keep first occurrences, by the equality of the collected objects.
std::vector<VariablePtr> FreeVariables(const Matrix& aRoot);
std::vector<const Necessity*> FreeModalities(const Matrix& aRoot);
std::vector<VariablePtr> IdentifiedVariables(const Matrix& aRoot);
std::vector<const Necessity*> ModalitiesInIdentifications(const Matrix& aRoot);
std::vector<const Matrix*> NonNullPredications(const Matrix& aRoot);
std::vector<const NullPredicate*> NullPredicates(const Matrix& aRoot);
std::vector<const UnaryPredicate*> UnaryPredicates(const Matrix& aRoot);
std::vector<std::pair<const UniversalGeneralization*, const Matrix*>>
ClosedPredications(const Matrix& aRoot);
std::vector<std::pair<const Matrix*, const Matrix*>> DirectDependencies(const Matrix& aRoot);
std::vector<const Matrix*> Matrices(const Matrix& aRoot);
std::vector<const Matrix*> Conjuncts(const Matrix& aRoot);

/// Records aModality in every variable bound by a quantifier below aStart, not entering nested
/// Necessity nodes. On failure, the assignments this call made are undone before rethrowing.
void AssignModality(const Matrix& aStart, const Necessity* aModality);

/// Clears aModality from the variables AssignModality gave it below aStart. Never throws.
void ForgetModality(const Matrix& aStart, const Necessity* aModality) noexcept;

/// Equality of the model: atomic nodes by their own Equals, operators by class and operands.
bool Equal(const Matrix& aLeft, const Matrix& aRight);

/// The fully parenthesised text form.
std::string Text(const Matrix& aRoot);

/// aRoot with every occurrence of aReplaced replaced by aReplacement, built operands first.
MatrixPtr Substitute(const Matrix& aRoot, const VariablePtr& aReplaced,
                     const VariablePtr& aReplacement);

/// Hands the operands of a dying node to a per-thread list that the outermost destructor
/// drains, so that freeing a deep formula never nests destructors level by level.
void ReleaseOperands(MatrixPtr& aFirst, MatrixPtr* aSecond);

/// A picture label: the title on the first line, the symbol in bold monospace on the second.
std::string Label(const std::string& aTitle, const std::string& aSymbol);

} // namespace Logic::FormulaWalk
