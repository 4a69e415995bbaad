// SatSolver on CaDiCaL: the only file that includes its header.

#ifdef QUENDRAL_HAVE_CADICAL

#include "engine/SatSolver.h"

#include <cstdlib>

#include <cadical.hpp>

#include "platform/Cancellation.h"

namespace Logic {

namespace {

/// Ends CaDiCaL's search once the command's cancellation would stop it. CaDiCaL asks often,
/// so the check reads no clock unless the cancellation's own step count says it is time.
class CancellationTerminator final : public CaDiCaL::Terminator {
public:
    explicit CancellationTerminator(Cancellation* aCancellation) : mCancellation(aCancellation) {}

    bool terminate() override {
        if (mCancellation == nullptr) {
            return false;
        }
        try {
            mCancellation->Check();
            return false;
        } catch (const CancelledException&) {
            return true;
        }
    }

private:
    Cancellation* mCancellation;
};

} // namespace

struct SatSolver::Implementation {
    CaDiCaL::Solver mSolver;
};

SatSolver::SatSolver() : mImplementation(std::make_unique<Implementation>()) {}

SatSolver::~SatSolver() = default;

int32_t SatSolver::NewVariable() { return ++mVariables; }

void SatSolver::AddClause(std::span<const int32_t> aLiterals) {
    for (const int32_t lLiteral : aLiterals) {
        mImplementation->mSolver.add(lLiteral);
    }
    mImplementation->mSolver.add(0);
}

bool SatSolver::Solve(std::span<const int32_t> aAssumptions) {
    CheckCancellation();
    for (const int32_t lLiteral : aAssumptions) {
        mImplementation->mSolver.assume(lLiteral);
    }
    CancellationTerminator lTerminator(Cancellation::Current());
    mImplementation->mSolver.connect_terminator(&lTerminator);
    const int lResult = mImplementation->mSolver.solve();
    mImplementation->mSolver.disconnect_terminator();
    if (lResult == 10) {
        return true;
    }
    if (lResult == 20) {
        return false;
    }
    // Only the terminator interrupts a search, once the cancellation has stopped: it says why.
    CheckCancellation();
    throw CancelledException("The satisfiability search was stopped.");
}

bool SatSolver::Value(int32_t aLiteral) const {
    // A variable that no clause or assumption mentioned is unknown to the solver: false.
    if (std::abs(aLiteral) > mImplementation->mSolver.vars()) {
        return aLiteral < 0;
    }
    return mImplementation->mSolver.val(aLiteral) > 0;
}

} // namespace Logic

#endif
