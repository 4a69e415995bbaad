#pragma once
// Why a verdict holds, shown as worlds: the first example and counterexample that the search
// finds, each written for a person (sentence letters, kinds of objects with the names that
// denote them and, for a modal statement, every world of the interpretation with the
// statement's truth there).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/Decision.h"
#include "engine/DecisionEngine.h"
#include "engine/ModelDescription.h"
#include "model/EngineException.h"

namespace Logic {

class Matrix;

/// The models that show a verdict: for a statement an example where it is true (when it is not
/// self-contradictory) and a counterexample where it is false (when it is not necessary); for
/// an argument a counterexample where the premises are true and the conclusion false (when it is
/// invalid).
struct Explanation {
    /// Whether the models belong to an argument: its worlds are then told apart by whether the
    /// premises are true and the conclusion false there.
    bool mOfArgument = false;
    std::optional<ModelDescription> mExample;
    std::optional<ModelDescription> mCounterexample;
};

/// The failure of a document decided by the models its engine finds (binary predicates) where
/// they do not settle the verdict: the failure every engine gives binary predicates, with the
/// models that were found and a note for each side that was not, such as "No countermodel with
/// up to 6 objects.", for an explanation to show.
class UndecidedByModels : public EngineException {
public:
    UndecidedByModels(Explanation aFound, std::vector<std::string> aNotes)
        : EngineException(BinaryPredicatesFailure),
          mFound(std::move(aFound)), mNotes(std::move(aNotes)) {}

    const Explanation& Found() const { return mFound; }
    const std::vector<std::string>& Notes() const { return mNotes; }

private:
    Explanation mFound;
    std::vector<std::string> mNotes;
};

/// The models that show a statement's verdict. Fails as the search fails.
Explanation ExplainStatement(const Matrix& aStatement, Alethicity aVerdict, const DecisionEngine& aEngine);
/// The counterexample of an invalid argument; nothing for a valid one.
Explanation ExplainArgument(const Matrix& aArgument, Quality aVerdict, const DecisionEngine& aEngine);
/// ExplainStatement and ExplainArgument on a document whose searches are prepared, or are
/// kept once prepared, in aDocument: a decision followed by its explanation prepares each
/// target once.
Explanation ExplainStatement(PreparedDocument& aDocument, Alethicity aVerdict);
Explanation ExplainArgument(PreparedDocument& aDocument, Quality aVerdict);

/// The first example (aExample) or counterexample of aDocument's formula as a model; absent
/// when there is none. The names of the formula (its free variables) denote objects chosen so
/// that it is true (an example) or false (a counterexample) in the model.
std::optional<ModelDescription> DescribeFirstHit(PreparedDocument& aDocument, bool aExample);

/// The log lines of an explanation: a line per model, and for a modal model a line per world.
std::vector<std::string> ExplanationLines(const Explanation& aExplanation);

/// aModel as an explanation shows it: with relations every object on its own, numbered from 1
/// in the order of aModel, else grouped by kind in the numbering's order of combinations (bit u:
/// unary predicate u), each kind's named objects in the order of their first names. Objects are
/// left out when neither predicates, relations nor identity (aIdentity) can tell them apart.
ModelDescription DescribeFiniteModel(const FiniteModel& aModel, bool aIdentity);

/// One world in words, such as "p true, q false; 2 objects that are F and not G (a)".
std::string DescribeWorld(const WorldDescription& aWorld);

} // namespace Logic
