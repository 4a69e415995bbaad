#include "KnownDocuments.h"

#include <exception>
#include <functional>

#include "engine/Decision.h"
#include "engine/Utility.h"
#include "model/Argument.h"
#include "parser/Parser.h"
#include "platform/LargeStack.h"

namespace Logic::Differential {
namespace {

/// "aOperator" between the texts made by aTerm for 0 .. aCount - 1, parenthesised.
std::string Terms(size_t aCount, const std::string& aOperator,
                  const std::function<std::string(size_t)>& aTerm) {
    std::string lText = "(";
    for (size_t lIndex = 0; lIndex < aCount; ++lIndex) {
        lText += (lIndex > 0 ? " " + aOperator + " " : "") + aTerm(lIndex);
    }
    return lText + ")";
}

/// The predicate letters A, B, ...
std::string Predicate(size_t aIndex) {
    return std::string(1, static_cast<char>('A' + aIndex));
}

/// Something exists, and for every object and each of aPredicates predicates there is one that
/// differs from it in that predicate alone: every one of the 2^aPredicates kinds has an object.
/// With aPairs, every object has another of its own kind, so each kind has two.
std::string EveryKind(size_t aPredicates, bool aPairs) {
    const auto fSame = [&](size_t fSkipped) {
        return Terms(aPredicates, "&", [&](size_t fIndex) {
            const std::string lSame = "(" + Predicate(fIndex) + "x <=> " + Predicate(fIndex) + "y)";
            return fIndex == fSkipped ? "~" + lSame : lSame;
        });
    };
    std::string lText = "(3x, x=x)";
    for (size_t lFlipped = 0; lFlipped < aPredicates; ++lFlipped) {
        lText += " & (x, 3y, " + fSame(lFlipped) + ")";
    }
    if (aPairs) {
        lText += " & (x, 3y, ~x=y & " + fSame(aPredicates) + ")";
    }
    return lText;
}

} // namespace

std::string Letter(size_t aIndex) {
    return std::string(1, aIndex < 26 ? static_cast<char>('a' + aIndex)
                                      : static_cast<char>('A' + aIndex - 26));
}

std::string Pigeonhole(size_t aPigeons, size_t aHoles) {
    const auto fIn = [aHoles](size_t fPigeon, size_t fHole) {
        return Letter(fPigeon * aHoles + fHole);
    };
    std::string lText = Terms(aPigeons, "&", [&](size_t fPigeon) {
        return Terms(aHoles, "|", [&](size_t fHole) { return fIn(fPigeon, fHole); });
    });
    for (size_t lHole = 0; lHole < aHoles; ++lHole) {
        for (size_t lFirst = 0; lFirst < aPigeons; ++lFirst) {
            for (size_t lSecond = lFirst + 1; lSecond < aPigeons; ++lSecond) {
                lText += " & ~(" + fIn(lFirst, lHole) + " & " + fIn(lSecond, lHole) + ")";
            }
        }
    }
    return lText;
}

std::vector<Known> KnownBeyondTheNumbering() {
    const std::string lNecessary = "The statement is necessarily true.";
    const std::string lContingent = "The statement is contingent.";
    const std::string lImpossible = "The statement is self-contradictory.";
    std::vector<Known> lKnown;
    // Excluded middle over 40 and over all 52 letters: one of them or the denial of all.
    for (size_t lLetters : {40, 52}) {
        lKnown.push_back({"excluded middle over " + std::to_string(lLetters) + " letters",
                          {Terms(lLetters, "|", Letter) + " | ~" + Terms(lLetters, "|", Letter)},
                          lNecessary});
        // Without the last letter's own term it fails when only that letter is true.
        lKnown.push_back(
            {"one letter short over " + std::to_string(lLetters),
             {Terms(lLetters - 1, "|", Letter) + " | " +
              Terms(lLetters, "&", [](size_t fIndex) { return "~" + Letter(fIndex); })},
             lContingent});
    }
    lKnown.push_back({"7 pigeons, 6 holes", {Pigeonhole(7, 6)}, lImpossible});
    lKnown.push_back({"6 pigeons, 6 holes", {Pigeonhole(6, 6)}, lContingent});
    lKnown.push_back({"not 7 pigeons in 6 holes", {"~(" + Pigeonhole(7, 6) + ")"}, lNecessary});
    // A chain of seven predicates: each implies the next, so the first implies the last.
    std::vector<std::string> lChain;
    for (size_t lIndex = 0; lIndex + 1 < 7; ++lIndex) {
        lChain.push_back("x, " + Predicate(lIndex) + "x -> " + Predicate(lIndex + 1) + "x");
    }
    std::vector<std::string> lValid = lChain;
    lValid.insert(lValid.end(), {".'.", "x, Ax -> Gx"});
    lKnown.push_back({"chain of seven", lValid, "The argument is valid."});
    std::vector<std::string> lBroken = lChain;
    lBroken.erase(lBroken.begin() + 3);
    lBroken.insert(lBroken.end(), {".'.", "x, Ax -> Gx"});
    lKnown.push_back({"chain of seven, one link missing", lBroken, "The argument is invalid."});
    // Models that need every object the bound allows: one of each of the 2^4 kinds (the bound
    // without identity), two of each (the bound with two identified variables). Were the bound
    // smaller, these would be self-contradictory. The numbering holds them, but only the
    // construction says what they are.
    lKnown.push_back({"every kind of four predicates", {EveryKind(4, false)}, lContingent, false});
    lKnown.push_back(
        {"two of every kind of four predicates", {EveryKind(4, true)}, lContingent, false});
    lKnown.push_back({"every kind of four, and an A that is no B",
                      {EveryKind(4, false) + " & ~(3x, Ax & ~Bx)"},
                      lImpossible,
                      false});
    // Worlds: aLetters possibilities, each of one letter alone, none of them here. Every
    // world has at most one of the letters, so a model needs aLetters + 1 worlds, one per
    // modal operator and one more: the bound exactly. Necessitating "at most one letter" adds
    // an operator, and a world the model does not need.
    const auto fAlone = [](size_t aLetters, size_t aTrue) {
        return Terms(aLetters, "&",
                     [&](size_t fIndex) { return (fIndex == aTrue ? "" : "~") + Letter(fIndex); });
    };
    for (size_t lLetters : {3, 7}) {
        const std::string lNowhere =
            Terms(lLetters, "&", [](size_t fIndex) { return "~" + Letter(fIndex); });
        const std::string lEach =
            Terms(lLetters, "&", [&](size_t fTrue) { return "<>" + fAlone(lLetters, fTrue); });
        lKnown.push_back({std::to_string(lLetters + 1) + " worlds, each needed",
                          {lNowhere + " & " + lEach},
                          lContingent,
                          lLetters > 3});
        std::string lAtMostOne = "[](~(a & b)";
        for (size_t lSecond = 2; lSecond < lLetters; ++lSecond) {
            for (size_t lFirst = 0; lFirst < lSecond; ++lFirst) {
                lAtMostOne += " & ~(" + Letter(lFirst) + " & " + Letter(lSecond) + ")";
            }
        }
        lAtMostOne += ")";
        lKnown.push_back({"each letter possible, never two",
                          {lAtMostOne + " & " + lEach},
                          lContingent,
                          lLetters > 3});
        lKnown.push_back({"each letter possible, never two, yet two possible",
                          {lAtMostOne + " & " + lEach + " & <>(a & b)"},
                          lImpossible,
                          lLetters > 3});
    }
    // Monadic S5 beyond the numbering: necessarily all F are G, and something F is possible,
    // so something G is possible; over seven predicates.
    lKnown.push_back({"modal chain of seven",
                      {"[](" +
                           Terms(6, "&",
                                 [](size_t fIndex) {
                                     return "(x, " + Predicate(fIndex) + "x -> " +
                                            Predicate(fIndex + 1) + "x)";
                                 }) +
                           ")",
                       "<>(3x, Ax)", ".'.", "<>(3x, Gx)"},
                      "The argument is valid."});
    // A modal operator over a variable bound outside it: predicates are rigid, so an object
    // that has all seven has two of them in every world; none forces another to hold anywhere.
    // For each object, a world where p holds exactly if it is A: there are A objects and others.
    const std::string lAll = Terms(7, "&", [](size_t fIndex) { return Predicate(fIndex) + "x"; });
    lKnown.push_back(
        {"rigid predicates over seven", {"x, " + lAll + " -> [](Ax & Gx)"}, lNecessary});
    lKnown.push_back({"nothing forced over seven", {"x, " + lAll + " -> []p"}, lContingent});
    lKnown.push_back({"a world for each kind of object",
                      {"(3x, Ax) & (3x, ~Ax) & (x, <>(p <=> Ax)) & ([]p | []~p)"},
                      lImpossible,
                      false});
    return lKnown;
}

std::string Verdict(const std::vector<std::string>& aLines, const DecisionEngine& aEngine) {
    try {
        return OnLargeStack([&] {
            const MatrixPtr lRoot = Parser::Parse(aLines);
            if (lRoot->Kind() == NodeKind::Argument) {
                return Utility::TextResult(
                    QualityWith(static_cast<const Argument&>(*lRoot), aEngine));
            }
            return Utility::TextForDecision(DecideWith(*lRoot, aEngine));
        });
    } catch (const std::exception& lFailure) {
        return std::string("Error: ") + lFailure.what();
    }
}

} // namespace Logic::Differential
