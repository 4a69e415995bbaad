#include "model/Term.h"

#include "model/Factory.h"

namespace Logic {

MatrixPtr Term::Apply(const VariablePtr& aVariable) const {
    MatrixPtr lPredication = Factory::Predication(mPredicate, aVariable);
    return mIsNegative ? Factory::Not(lPredication) : lPredication;
}

} // namespace Logic
