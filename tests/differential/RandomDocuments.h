#pragma once
// Random documents in the notation, from a printed seed, and their shrinking: the generator of
// the differential tests. A document is kept as a small expression tree so that a failing one
// can be cut down node by node before it is written out as text.

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace Logic::Differential {

/// One formula of the notation: a token (leaf), or an operator or quantifier with operands.
struct Expression {
    enum class Shape { Leaf, Prefix, Infix, Quantifier };
    Shape mShape = Shape::Leaf;
    std::string mText; // the token, operator, or quantifier such as "3x,"
    std::vector<Expression> mOperands;

    std::string Text() const;
};

/// A statement (no conclusion) or an argument (premises, then the conclusion).
struct Document {
    std::vector<Expression> mPremises;
    std::optional<Expression> mConclusion;

    /// The lines of the document, as the parser reads them.
    std::vector<std::string> Lines() const;
    /// Every document one step smaller: a node replaced by one of its operands or by a
    /// sentence letter, or a premise left out.
    std::vector<Document> Smaller() const;
};

/// Makes documents that use every node kind: sentence letters, predications of constants and
/// bound variables, identity, binary predicates, counting and two-term forms, all connectives,
/// nested quantifiers of the three kinds, necessity and possibility, and arguments.
class DocumentGenerator {
public:
    /// aWide draws from more sentence letters and predicates, for spaces of many thousand
    /// candidates that the bit-parallel evaluation walks block by block.
    explicit DocumentGenerator(uint64_t aSeed, bool aWide = false) : mRandom(aSeed), mWide(aWide) {}
    Document Next();

private:
    Expression Formula(int aDepth, std::vector<char>& aBound);
    Expression Leaf(const std::vector<char>& aBound);
    char Term(const std::vector<char>& aBound);
    size_t Below(size_t aCount);

    std::mt19937_64 mRandom;
    bool mWide;
    bool mModal = false;
};

/// Whether deciding the document walks at most aLargest worlds, each times the objects a world
/// may hold for every level of nested quantifiers: for a quick comparison. Documents that cannot
/// be numbered at all count too, since failing is quick.
bool SmallEnough(const std::vector<std::string>& aLines, uint64_t aLargest);

/// The number in the environment variable aName (QUENDRAL_DIFFERENTIAL_SEED, ..._CASES), or
/// aDefault where it is unset or empty.
uint64_t FromEnvironment(const char* aName, uint64_t aDefault);

/// aLines as a document's text, each ended by a line feed: what a failure shows.
std::string Joined(const std::vector<std::string>& aLines);

} // namespace Logic::Differential
