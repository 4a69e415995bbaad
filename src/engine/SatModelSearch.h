#pragma once
// SatModelSearch: a model where a formula has a truth, found by the SAT solver and read back
// for an explanation.

#ifdef QUENDRAL_HAVE_CADICAL

#include "engine/ModelDescription.h"

namespace Logic {
class Matrix;
}

namespace Logic::SatEncoding {

/// A model where aFormula has the truth aTruth, its names (free variables) denoting objects the
/// solver chooses; monadic formulas up to their bound, the fewest objects and worlds, and with
/// binary predicates models of up to a few objects. Call on a large stack.
FoundModel FindModel(const Matrix& aFormula, bool aTruth);

} // namespace Logic::SatEncoding

#endif
