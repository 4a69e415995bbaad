#pragma once

#include <cstdint>

namespace Logic {

/// The verdict on a statement.
enum class Alethicity : int32_t { Necessary = 0, Contingent = 1, Impossible = 2 };

/// The verdict on an argument.
enum class Quality : int32_t {
    Invalid = 0,
    Valid = 1,
    InconsistentPremises = 2,
    TautologicalConclusion = 3,
    InconsistentPremisesAndTautologicalConclusion = 4
};

} // namespace Logic
