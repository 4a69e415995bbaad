#pragma once
// Documents built to have a known verdict, most of them beyond the numbering (more than 32
// sentence letters, or predicates whose kinds of worlds outgrow 32 bits): what the SAT engine
// must decide where the others fail. Shared by the SAT engine's tests and the Windows checks of
// the plugin's build, so that both hold it to the same documents.

#include <cstddef>
#include <string>
#include <vector>

namespace Logic {
class DecisionEngine;
}

namespace Logic::Differential {

/// The verdict on the document aLines by aEngine as the tool words it, or "Error: " and the
/// failure's text.
std::string Verdict(const std::vector<std::string>& aLines, const DecisionEngine& aEngine);

/// Sentence letter number aIndex of the 52 letters a .. z, A .. Z.
std::string Letter(size_t aIndex);

/// Pigeons 0 .. aPigeons - 1 each in one of aHoles holes, no two in one hole; letter
/// p * aHoles + h says pigeon p sits in hole h. Satisfiable exactly when the pigeons are no more
/// than the holes.
std::string Pigeonhole(size_t aPigeons, size_t aHoles);

struct Known {
    std::string mWhat;
    std::vector<std::string> mLines;
    std::string mVerdict;
    /// Whether the numbering can't hold it (it fails with "Too many predicates!").
    bool mBeyond = true;
};

/// The documents with their verdicts as the tool words them.
std::vector<Known> KnownBeyondTheNumbering();

} // namespace Logic::Differential
