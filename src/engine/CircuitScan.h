#pragma once
// The unrolled circuit run over a range of candidates: the verdict, a block at a time and
// spread over workers when the work is large, and the first candidate with a world where the
// formula is false. The circuit's outputs are "true in some world" (0) and "false in some
// world" (1) of each candidate.

#include <cstdint>
#include <optional>

#include "engine/BitCircuit.h"
#include "engine/EngineLimits.h"
#include "model/Verdicts.h"

namespace Logic {

/// The verdict over candidates aFirst .. aLast (aFirst <= aLast), with the reference's early
/// stop once a true and a false world are seen.
Alethicity DecideByCircuit(const BitProgram& aProgram, uint32_t aFirst, uint32_t aLast,
                           const EngineLimits& aLimits);

/// The first candidate in aFirst .. aLast with a world where the formula is false. Runs on the
/// calling thread.
std::optional<uint32_t> FirstCounterexampleByCircuit(const BitProgram& aProgram, uint32_t aFirst,
                                                     uint32_t aLast);

} // namespace Logic
