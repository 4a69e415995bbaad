#pragma once
// SatSolver: the one satisfiability solver the SAT engine talks to, so that nothing else
// depends on the library behind it (CaDiCaL, in SatSolverCadical.cpp). Built only where that
// library is present (QUENDRAL_HAVE_CADICAL).

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>

namespace Logic {

/// A clause set over variables 1, 2, ...; a literal is a variable (true) or its negation.
class SatSolver {
public:
    SatSolver();
    ~SatSolver();
    SatSolver(const SatSolver&) = delete;
    SatSolver& operator=(const SatSolver&) = delete;

    /// A variable not used before.
    int32_t NewVariable();
    int32_t Variables() const { return mVariables; }

    /// Adds the disjunction of aLiterals; empty, it makes the set unsatisfiable.
    void AddClause(std::span<const int32_t> aLiterals);
    void AddClause(std::initializer_list<int32_t> aLiterals) {
        AddClause(std::span<const int32_t>(aLiterals.begin(), aLiterals.size()));
    }

    /// Whether the clauses and aAssumptions (literals taken true for this call only) can all be
    /// satisfied. The command's cancellation (platform/Cancellation.h) ends a long search: a
    /// stop or an exhausted time limit throws its CancelledException.
    bool Solve(std::span<const int32_t> aAssumptions = {});

    /// aLiteral's value in the model of the last Solve that answered true.
    bool Value(int32_t aLiteral) const;

private:
    struct Implementation;
    std::unique_ptr<Implementation> mImplementation;
    int32_t mVariables = 0;
};

} // namespace Logic
