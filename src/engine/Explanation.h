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

namespace Logic {

class Matrix;

/// One populated kind of object: how many objects share it, which predicates they have, and
/// which of them the document's names denote.
struct ObjectKindDescription {
    uint32_t mCount = 0;
    std::vector<std::string> mAffirms;
    std::vector<std::string> mDenies;
    /// One entry per named object of this kind (at most mCount), each the names that denote it
    /// in alphabetical order; the entries in the order of the objects' instances within the
    /// kind, which is also the order of their first names. Objects no name denotes are left
    /// out.
    std::vector<std::vector<std::string>> mNamed;

    friend bool operator==(const ObjectKindDescription&, const ObjectKindDescription&) = default;
};

/// One world: every sentence letter's truth, every populated kind of object, and, in a modal
/// model, whether the statement holds there.
struct WorldDescription {
    std::vector<std::pair<std::string, bool>> mLetters;
    std::vector<ObjectKindDescription> mObjects;
    std::optional<bool> mHolds;

    friend bool operator==(const WorldDescription&, const WorldDescription&) = default;
};

/// A model: one world, or with modal operators the worlds of one interpretation in the
/// search's order.
struct ModelDescription {
    bool mModal = false;
    std::vector<WorldDescription> mWorlds;
};

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

/// One world in words, such as "p true, q false; 2 objects that are F and not G (a)".
std::string DescribeWorld(const WorldDescription& aWorld);

} // namespace Logic
