#pragma once
// The scalar walk run over a range of candidates: the verdict, a chunk of candidates at a time
// and spread over workers when the work is large; the first candidate with a world where the
// formula is false; the truth in each world of one interpretation. Candidates are kinds of
// worlds of the first interpretation without modal operators, interpretations with them.

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "engine/EngineLimits.h"
#include "engine/FlatFormula.h"
#include "model/Verdicts.h"

namespace Logic {

/// The verdict over candidates aFirst .. aLast (aFirst <= aLast), with the reference's early
/// stop once a true and a false world are seen. Workers run on large stacks when aDeep.
Alethicity DecideByScalarWalk(const FlatFormula& aFormula, uint32_t aFirst, uint32_t aLast,
                              const EngineLimits& aLimits, bool aDeep);

/// The verdict when the first aCount candidates from aFirst (none past aLast) show it: a true
/// and a false world among them, or every candidate walked. On the calling thread.
std::optional<Alethicity> VerdictAmongFirstCandidates(const FlatFormula& aFormula, uint32_t aFirst,
                                                      uint32_t aLast, uint64_t aCount,
                                                      const EngineLimits& aLimits);

/// The first candidate in aFirst .. aLast with a world where the formula is false. On the
/// calling thread.
std::optional<uint32_t> FirstCounterexampleByScalarWalk(const FlatFormula& aFormula, uint32_t aFirst,
                                                        uint32_t aLast, const EngineLimits& aLimits);

/// The truth in every world of aInterpretation, in the numbering's order. On the calling thread.
std::vector<std::pair<uint32_t, bool>> TruthInEachWorldByScalarWalk(const FlatFormula& aFormula,
                                                                    uint32_t aInterpretation,
                                                                    const EngineLimits& aLimits);

} // namespace Logic
