#include "RandomDocuments.h"

#include <cstdlib>

#include <algorithm>
#include <exception>

#include "engine/Predicates.h"
#include "model/Matrix.h"
#include "parser/Parser.h"

namespace Logic::Differential {

std::string Expression::Text() const {
    switch (mShape) {
    case Shape::Leaf:
        return mText;
    case Shape::Prefix:
        return mText + "(" + mOperands[0].Text() + ")";
    case Shape::Infix:
        return "(" + mOperands[0].Text() + mText + mOperands[1].Text() + ")";
    case Shape::Quantifier:
        return "(" + mText + mOperands[0].Text() + ")";
    }
    return mText;
}

std::vector<std::string> Document::Lines() const {
    std::vector<std::string> lLines;
    for (const Expression& lPremise : mPremises) {
        lLines.push_back(lPremise.Text());
    }
    if (mConclusion) {
        lLines.push_back(".'.");
        lLines.push_back(mConclusion->Text());
    }
    return lLines;
}

namespace {

Expression Letter(const char* aText) {
    return {Expression::Shape::Leaf, aText, {}};
}

/// Every expression one step smaller than aExpression.
std::vector<Expression> Smaller(const Expression& aExpression) {
    std::vector<Expression> lSmaller;
    if (aExpression.mShape == Expression::Shape::Leaf) {
        if (aExpression.mText != "p") {
            lSmaller.push_back(Letter("p"));
        }
        return lSmaller;
    }
    for (const Expression& lOperand : aExpression.mOperands) {
        lSmaller.push_back(lOperand);
    }
    lSmaller.push_back(Letter("p"));
    for (size_t lIndex = 0; lIndex < aExpression.mOperands.size(); ++lIndex) {
        for (Expression& lOperand : Smaller(aExpression.mOperands[lIndex])) {
            Expression lCopy = aExpression;
            lCopy.mOperands[lIndex] = std::move(lOperand);
            lSmaller.push_back(std::move(lCopy));
        }
    }
    return lSmaller;
}

} // namespace

std::vector<Document> Document::Smaller() const {
    std::vector<Document> lSmaller;
    if (mConclusion) {
        Document lStatement{{*mConclusion}, std::nullopt};
        lSmaller.push_back(lStatement);
        for (size_t lIndex = 0; lIndex < mPremises.size(); ++lIndex) {
            lSmaller.push_back(Document{{mPremises[lIndex]}, std::nullopt});
            if (mPremises.size() > 1) {
                Document lFewer = *this;
                lFewer.mPremises.erase(lFewer.mPremises.begin() +
                                       static_cast<std::ptrdiff_t>(lIndex));
                lSmaller.push_back(std::move(lFewer));
            }
        }
        for (Expression& lConclusion : Differential::Smaller(*mConclusion)) {
            Document lCopy = *this;
            lCopy.mConclusion = std::move(lConclusion);
            lSmaller.push_back(std::move(lCopy));
        }
    }
    for (size_t lIndex = 0; lIndex < mPremises.size(); ++lIndex) {
        for (Expression& lPremise : Differential::Smaller(mPremises[lIndex])) {
            Document lCopy = *this;
            lCopy.mPremises[lIndex] = std::move(lPremise);
            lSmaller.push_back(std::move(lCopy));
        }
    }
    return lSmaller;
}

size_t DocumentGenerator::Below(size_t aCount) {
    return static_cast<size_t>(mRandom() % aCount);
}

char DocumentGenerator::Term(const std::vector<char>& aBound) {
    // Mostly bound variables; now and then a constant, which the decision closes over.
    if (aBound.empty() || Below(8) == 0) {
        return Below(2) == 0 ? 'a' : 'b';
    }
    return aBound[Below(aBound.size())];
}

Expression DocumentGenerator::Leaf(const std::vector<char>& aBound) {
    const std::string lLetters =
        mWide ? (mModal ? "pqrs" : "pqrstuvcdefghijk") : (mModal ? "pq" : "pqr");
    const std::string lPredicates = mWide && !mModal ? "FGH" : (mModal ? "F" : "FG");
    const auto fPredicate = [&] { return lPredicates[Below(lPredicates.size())]; };
    if (mWide && Below(3) != 0) {
        // Mostly sentence letters, for many kinds of worlds.
        return Letter(std::string(1, lLetters[Below(lLetters.size())]).c_str());
    }
    switch (Below(aBound.empty() ? 9 : 12)) {
    case 0:
        // Exactly n of these sentences are true.
        return Letter((std::to_string(Below(3)) + lLetters.substr(0, 2)).c_str());
    case 1:
        // Exactly n things are F.
        return Letter((std::to_string(Below(4)) + fPredicate()).c_str());
    case 2: {
        // A two-term form: all, no, some, some not (classic or modern reading).
        const std::string lForms = "aeio";
        std::string lText{fPredicate(), lForms[Below(lForms.size())], fPredicate()};
        if (Below(3) == 0) {
            lText += '\'';
        }
        return Letter(lText.c_str());
    }
    case 3:
    case 4:
        return {Expression::Shape::Leaf, std::string{fPredicate(), Term(aBound)}, {}};
    case 5:
        return {Expression::Shape::Leaf, std::string{Term(aBound), '=', Term(aBound)}, {}};
    case 6:
        if (Below(4) == 0) {
            return {Expression::Shape::Leaf, std::string{Term(aBound), 'L', Term(aBound)}, {}};
        }
        [[fallthrough]];
    default:
        if (!aBound.empty() && Below(2) == 0) {
            return {Expression::Shape::Leaf, std::string{fPredicate(), Term(aBound)}, {}};
        }
        return Letter(std::string(1, lLetters[Below(lLetters.size())]).c_str());
    }
}

Expression DocumentGenerator::Formula(int aDepth, std::vector<char>& aBound) {
    if (aDepth <= 0 || Below(5) == 0) {
        return Leaf(aBound);
    }
    const size_t lChoice = Below(10);
    if (lChoice < 2) {
        std::vector<std::string> lOperators{"~"};
        if (mModal) {
            lOperators.insert(lOperators.end(), {"[]", "<>"});
        }
        return {Expression::Shape::Prefix,
                lOperators[Below(lOperators.size())],
                {Formula(aDepth - 1, aBound)}};
    }
    if (lChoice < 4 && aBound.size() < (mWide ? 2u : 3u)) {
        const std::string lVariables = "xyz";
        // Now and then the same letter again, which rebinds it inside.
        const char lVariable = lVariables[Below(lVariables.size())];
        const std::string lKinds[] = {"", "3", "1"};
        std::string lQuantifier = lKinds[Below(3)] + std::string{lVariable, ','};
        aBound.push_back(lVariable);
        Expression lBody = Formula(aDepth - 1, aBound);
        aBound.pop_back();
        return {Expression::Shape::Quantifier, lQuantifier, {std::move(lBody)}};
    }
    std::vector<std::string> lOperators{"&", "|", "->", "<=>", "!", "^"};
    if (mModal) {
        lOperators.push_back("-<");
    }
    Expression lLeft = Formula(aDepth - 1, aBound);
    Expression lRight = Formula(aDepth - 1, aBound);
    return {Expression::Shape::Infix,
            lOperators[Below(lOperators.size())],
            {std::move(lLeft), std::move(lRight)}};
}

Document DocumentGenerator::Next() {
    mModal = Below(3) == 0;
    std::vector<char> lBound;
    const int lDepth = (mWide ? 5 : 2) + static_cast<int>(Below(3));
    Document lDocument;
    if (mWide && !mModal && Below(3) == 0) {
        // True in a single kind of world of the letters, far into the space: the walk and the
        // searches must pass through many blocks to find it.
        const std::string lLetters = "pqrstuvcdefghijk";
        Expression lOnly = Formula(lDepth - 2, lBound);
        for (size_t lIndex = 0; lIndex < 12 + Below(5); ++lIndex) {
            Expression lLiteral = Letter(std::string(1, lLetters[lIndex]).c_str());
            if (Below(2) == 0) {
                lLiteral = {Expression::Shape::Prefix, "~", {lLiteral}};
            }
            lOnly = {Expression::Shape::Infix, Below(4) == 0 ? "|" : "&", {lOnly, lLiteral}};
        }
        lDocument.mPremises.push_back(std::move(lOnly));
        return lDocument;
    }
    if (mWide && Below(2) == 0) {
        // Valid forms over random parts, so that the whole space is walked rather than stopped
        // early: P, Q therefore P or R; or (P and Q) only if (Q or R).
        Expression lP = Formula(lDepth, lBound);
        Expression lQ = Formula(lDepth, lBound);
        Expression lR = Formula(lDepth - 2, lBound);
        if (Below(2) == 0) {
            lDocument.mPremises = {lP, lQ};
            lDocument.mConclusion = Expression{Expression::Shape::Infix, "|", {lP, lR}};
            return lDocument;
        }
        Expression lBoth{Expression::Shape::Infix, "&", {lP, lQ}};
        Expression lEither{Expression::Shape::Infix, "|", {lQ, lR}};
        lDocument.mPremises.push_back({Expression::Shape::Infix, "->", {lBoth, lEither}});
        return lDocument;
    }
    if (Below(4) == 0) {
        const size_t lPremises = 1 + Below(2);
        for (size_t lIndex = 0; lIndex < lPremises; ++lIndex) {
            lDocument.mPremises.push_back(Formula(lDepth - 1, lBound));
        }
        lDocument.mConclusion = Formula(lDepth - 1, lBound);
        return lDocument;
    }
    lDocument.mPremises.push_back(Formula(lDepth, lBound));
    return lDocument;
}

bool SmallEnough(const std::vector<std::string>& aLines, uint64_t aLargest) {
    try {
        const MatrixPtr lRoot = Parser::Parse(aLines);
        const Predicates lPredicates = lRoot->CollectPredicates();
        uint64_t lWorlds = lPredicates.Interpretations().size();
        if (lPredicates.ModalitiesPresent()) {
            lWorlds *= (uint64_t{lPredicates.LastKindOfWorld()} + 1) *
                       static_cast<uint64_t>(lPredicates.DistinguishableWorldsWithinAKind());
        }
        // Nested quantifiers multiply the work per world by the objects a world may hold.
        const uint64_t lObjects =
            static_cast<uint64_t>(lPredicates.NumberOfCombinationsOfUnaryPredicates())
            << lPredicates.BitsNeededToRepresentObjectsOfAKind();
        for (int32_t lLevel = 0; lLevel < lRoot->DepthOfLoopNesting() && lWorlds <= aLargest;
             ++lLevel) {
            lWorlds *= std::max<uint64_t>(lObjects, 1);
        }
        return lWorlds <= aLargest;
    } catch (const std::exception&) {
        return true; // every engine must fail alike, and failing is quick
    }
}

uint64_t FromEnvironment(const char* aName, uint64_t aDefault) {
    const char* lValue = std::getenv(aName);
    return lValue != nullptr && *lValue != '\0' ? std::strtoull(lValue, nullptr, 10) : aDefault;
}

std::string Joined(const std::vector<std::string>& aLines) {
    std::string lText;
    for (const std::string& lLine : aLines) {
        lText += lLine + "\n";
    }
    return lText;
}

} // namespace Logic::Differential
