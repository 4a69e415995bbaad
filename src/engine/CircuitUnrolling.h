#pragma once
// Unrolling a FlatFormula into a BitCircuit over the candidate numbers: kinds of worlds without
// modal operators, interpretations with them.

#include <cstdint>
#include <memory>

#include "engine/BitCircuit.h"
#include "engine/EngineLimits.h"
#include "engine/FlatFormula.h"

namespace Logic {

/// The program with the outputs "some world of the candidate is true" and "some world of the
/// candidate is false"; null when the formula has no circuit: its evaluation can fail (and must
/// fail where the reference does), or the circuit or the unrolling would pass aMaximumSteps or
/// the limits' budgets.
std::unique_ptr<BitProgram> UnrollCircuit(const FlatFormula& aFormula, uint64_t aMaximumSteps,
                                          const EngineLimits& aLimits);

} // namespace Logic
