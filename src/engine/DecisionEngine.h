#pragma once
// DecisionEngine: the one seam between the decision procedure and the ways of evaluating a
// formula. An engine prepares a closed formula for one numbering (Predicates) once; the
// prepared formula then answers the three questions that the decision, the searches and the
// explanations ask of it. Every engine gives the same verdicts, search hits and failure texts;
// the reference (the tree's own TrueIn) is the oracle the others are tested against.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/EngineLimits.h"
#include "engine/ModelDescription.h"
#include "model/Verdicts.h"

namespace Logic {

class Matrix;
class Predicates;

/// A closed formula made ready by one engine for one numbering. Its candidates are kinds of
/// worlds of the numbering's first interpretation for a formula without modal operators, and
/// interpretations for one with them.
class PreparedFormula {
public:
    virtual ~PreparedFormula() = default;

    /// The verdict over every world of every interpretation.
    virtual Alethicity Decide() const = 0;

    /// The first candidate in aFirst .. aLast (inclusive, in increasing order) with a world
    /// where the formula is false; absent when there is none.
    virtual std::optional<uint32_t> FirstCounterexample(uint32_t aFirst, uint32_t aLast) const = 0;

    /// The formula's truth in every world of aInterpretation, in the numbering's order:
    /// (kind of world, true).
    virtual std::vector<std::pair<uint32_t, bool>> TruthInEachWorld(uint32_t aInterpretation) const = 0;

protected:
    PreparedFormula() = default;
    PreparedFormula(const PreparedFormula&) = default;
    PreparedFormula& operator=(const PreparedFormula&) = default;
};

/// A way of evaluating formulas.
class DecisionEngine {
public:
    virtual ~DecisionEngine() = default;

    /// The name the command line and the tests know the engine by.
    virtual std::string_view Name() const = 0;

    /// aRoot made ready for aPredicates (collected from aRoot). aRoot must be closed, and both
    /// must outlive the result. The limits steer how the engine goes about it, never what it
    /// answers.
    virtual std::unique_ptr<PreparedFormula> Prepare(const Matrix& aRoot, const Predicates& aPredicates,
                                                     const EngineLimits& aLimits) const = 0;

    /// Whether the verdict goes through a numbering: then a formula prepared for its own
    /// numbering (Prepare) answers it, and where no numbering fits, it fails as the numbering
    /// does ("Too many predicates!").
    virtual bool DecidesThroughNumbering() const { return true; }

    /// The verdict on aRoot (closed) over every world of every interpretation. By default the
    /// verdict of aRoot prepared for the numbering of its own predicates; an engine that
    /// decides without a numbering overrides it.
    virtual Alethicity Decide(const Matrix& aRoot, const EngineLimits& aLimits) const;

    /// Whether the engine searches finite models itself (FindModel). Such an engine decides a
    /// document with binary predicates by the models it finds (PreparedDocument), and shows its
    /// own models where the numbering cannot hold a document.
    virtual bool FindsModels() const { return false; }

    /// A model without modal operators in which aFormula is aTruth, each of its free variables
    /// (names) denoting an object of the model, smallest first. A monadic formula is searched
    /// up to the engine's bound, so that nothing found means no model exists; one with binary
    /// predicates only among small models. By default nothing is searched.
    virtual FoundModel FindModel(const Matrix& aFormula, bool aTruth, const EngineLimits& aLimits) const;

    /// Roughly how much work deciding aRoot (closed) takes, in steps comparable between engines
    /// (about a nanosecond each); NoEstimate when the engine would refuse it. Cheap next to the
    /// decision itself: the choice of engine (AutoEngine) asks it of every candidate.
    virtual uint64_t EstimatedWork(const Matrix& aRoot) const;
    static constexpr uint64_t NoEstimate = UINT64_MAX;

protected:
    DecisionEngine() = default;
    DecisionEngine(const DecisionEngine&) = default;
    DecisionEngine& operator=(const DecisionEngine&) = default;
};

/// The compiled engine: the formula flattened, then walked or unrolled into a bit-parallel
/// circuit (CompiledFormula). The default.
const DecisionEngine& CompiledEngine();
/// The reference engine: the tree's own TrueIn, plain and readable.
const DecisionEngine& ReferenceEngine();
#ifdef QUENDRAL_HAVE_CADICAL
/// The SAT engine: a formula without modal operators decided by the satisfiability of it and
/// of its negation over a model of bounded size (SatEngine.cpp), beyond the numbering's
/// limits. Its searches are the compiled engine's where the numbering holds the document; it
/// finds its own models beyond it and for binary predicates (FindModel).
const DecisionEngine& SatEngine();
#endif
/// The engine that chooses for each formula (AutoEngine.cpp): the compiled engine wherever the
/// numbering fits and is cheap to walk, so that small documents get its verdicts and texts;
/// the SAT engine, where it is built in, beyond the numbering or where its encoding is expected
/// to be much smaller than the numbering's space.
const DecisionEngine& AutoEngine();
/// The engine that AutoEngine() decides aRoot (closed) with.
const DecisionEngine& EngineChosenFor(const Matrix& aRoot);
/// The engine of Matrix::Decide, Argument::Quality and the nodes' own searches, and of both
/// front ends unless told otherwise.
inline const DecisionEngine& DefaultEngine() { return AutoEngine(); }

/// Every engine, the default first. The SAT engine is among them where CaDiCaL was built in.
std::span<const DecisionEngine* const> RegisteredEngines();
/// The registered engine called aName; null when there is none.
const DecisionEngine* FindEngine(std::string_view aName);

} // namespace Logic
