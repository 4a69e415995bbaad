#pragma once
// Engine operations beside the Matrix members: the Necessity memo's binding to a numbering, and
// the helpers of the example and counterexample search.

#include <cstdint>

#include "engine/KindOfWorld.h"

namespace Logic {

class Matrix;
class Predicates;

/// Binds the memo of every memoizible Necessity in aMatrix to aPredicates' numbering, emptying
/// memos filled under another one. Call it on one thread before evaluating under aPredicates:
/// Necessity nodes whose memo is bound to another numbering evaluate without it, which is
/// correct but slower.
void PrepareNecessityMemos(const Matrix& aMatrix, const Predicates& aPredicates);

/// The candidate after aPossibility, wrapping from aLast to aFirst.
uint32_t NextPossibility(uint32_t aPossibility, uint32_t aFirst, uint32_t aLast);

/// The worlds of interpretation aInterpretation, split by the truth of aMatrix in them.
ModalCounterexample ConstructModalCounterexample(const Matrix& aMatrix, uint32_t aInterpretation,
                                                 const Predicates& aPredicates);

} // namespace Logic
