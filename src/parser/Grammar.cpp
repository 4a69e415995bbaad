// The grammar over token lists and the atomic forms.
//
// A list is parsed by the first rule that applies:
//   list ::= token                                  (atomic form)
//          | unary+ quantifier ...                  (first unary applies to the rest)
//          | quantifier list                        (scope: the rest of the list)
//          | ... binop ... (binop before the first quantifier; main operator splits)
//          | unary list
// Prefix operators and chains of equal operators are unrolled into loops, so the recursion
// deepens only where the formula does; construction order (operands before the nodes that join
// them, left before right) is the same as that of the plain recursive reading.

#include <optional>

#include "model/EngineException.h"
#include "model/Factory.h"
#include "parser/Characters.h"
#include "parser/ParseError.h"
#include "parser/Parser.h"
#include "parser/Patterns.h"
#include "parser/TokenList.h"
#include "platform/LargeStack.h"

namespace Logic {

namespace Grammar {

namespace {

// Only parentheses deepen the recursion (chains and prefixes are loops), so only a document with
// hundreds of thousands of parentheses inside one another gets here.
[[noreturn]] void ThrowTooDeep(std::string_view aText) {
    throw ParseError(OffendingText{aText}, "The formula is nested too deeply to parse at \"{0}\": it has more "
                     "parentheses inside one another than the stack space allows. Write it with "
                     "fewer nested parentheses.",
                     aText);
}

[[noreturn]] void ThrowCouldNotParse(std::string_view aTokens) {
    throw ParseError(OffendingText{aTokens}, "Could not parse \"{0}\"", aTokens);
}

uint64_t SaturatingAdd(uint64_t aLeft, uint64_t aRight) {
    return aLeft > UINT64_MAX - aRight ? UINT64_MAX : aLeft + aRight;
}

uint64_t SaturatingMultiply(uint64_t aLeft, uint64_t aRight) {
    return aLeft != 0 && aRight > UINT64_MAX / aLeft ? UINT64_MAX : aLeft * aRight;
}

// Nodes a counting form builds, estimated from above. Exactly n things are F: n quantifiers of
// three nodes each, n predications, the n(n-1)/2 distinctness conjuncts (identity, negation,
// conjunction each) and the closure with its n identities.
uint64_t SizeOfThereAreThisManyOfThese(uint64_t aCount) {
    if (aCount <= 1) {
        return 10;
    }
    if (aCount > Parser::MaximumNodesOfACountingForm) {
        return UINT64_MAX;
    }
    const uint64_t lPairs = aCount * (aCount - 1) / 2;
    return 3 * lPairs + 7 * aCount + 8;
}

// Binomial coefficient, saturated just above aLimit.
uint64_t Choices(uint64_t aTotal, uint64_t aChosen, uint64_t aLimit) {
    const uint64_t lFewer = std::min(aChosen, aTotal - aChosen);
    uint64_t lChoices = 1;
    for (uint64_t lStep = 1; lStep <= lFewer; ++lStep) {
        // C(t-f+s, s) from C(t-f+s-1, s-1); exact at every step.
        lChoices = SaturatingMultiply(lChoices, aTotal - lFewer + lStep) / lStep;
        if (lChoices > aLimit) {
            return aLimit + 1;
        }
    }
    return lChoices;
}

// Exactly n of k propositions: one conjunction of k (some negated) per choice, all disjoined.
uint64_t SizeOfThisManyOfTheseAreTrue(uint64_t aCount, uint64_t aPropositions) {
    const uint64_t lChoices =
        Choices(aPropositions, aCount, Parser::MaximumNodesOfACountingForm);
    const uint64_t lPerChoice = SaturatingAdd(2 * aPropositions, 1);
    return SaturatingMultiply(lChoices, lPerChoice);
}

uint32_t ToCount(std::string_view aDigits) {
    uint64_t lCount = 0;
    for (const char lDigit : aDigits) {
        if (lDigit < '0' || lDigit > '9') {
            lCount = UINT64_MAX;
            break;
        }
        lCount = lCount * 10 + static_cast<uint64_t>(lDigit - '0');
        if (lCount > UINT32_MAX) {
            break;
        }
    }
    if (aDigits.empty() || lCount > UINT32_MAX) {
        throw ParseError(
            OffendingText{aDigits}, "The count \"{0}\" is not a number from 0 to 4294967295 written with the digits 0-9.",
            aDigits);
    }
    return static_cast<uint32_t>(lCount);
}

/// Counts aNodes towards aBuilt, the nodes of the counting forms parsed so far.
void CheckCountingForm(std::string_view aToken, uint64_t aNodes, uint64_t& aBuilt) {
    if (aNodes > Parser::MaximumNodesOfACountingForm) {
        throw ParseError(OffendingText{aToken}, "The counting form \"{0}\" is too large: it would build more than {1} "
                         "formula nodes.",
                         aToken, Parser::MaximumNodesOfACountingForm);
    }
    aBuilt += aNodes;
    if (aBuilt > Parser::MaximumNodesOfACountingForm) {
        throw ParseError(OffendingText{aToken}, "With the counting form \"{0}\" the counting forms of this statement "
                         "would build more than {1} formula nodes in all; write fewer or smaller "
                         "ones.",
                         aToken, Parser::MaximumNodesOfACountingForm);
    }
}

MatrixPtr JoinByOperator(std::string_view aOperator, const MatrixPtr& aLeft,
                         const MatrixPtr& aRight) {
    if (aOperator == "&") {
        return Factory::And(aLeft, aRight);
    }
    if (aOperator == "!") {
        return Factory::Nor(aLeft, aRight);
    }
    if (aOperator == "|") {
        return Factory::Or(aLeft, aRight);
    }
    if (aOperator == "->") {
        return Factory::OnlyIf(aLeft, aRight);
    }
    if (aOperator == "-<") {
        return Factory::NecessarilyOnlyIf(aLeft, aRight);
    }
    if (aOperator == "<=>") {
        return Factory::IfAndOnlyIf(aLeft, aRight);
    }
    if (aOperator == "^") {
        return Factory::Xor(aLeft, aRight);
    }
    throw EngineException(std::string());
}

MatrixPtr ApplyUnaryOperator(std::string_view aOperator, const MatrixPtr& aOperand) {
    if (aOperator == "~") {
        return Factory::Not(aOperand);
    }
    if (aOperator == "<>") {
        return Factory::Possibly(aOperand);
    }
    if (aOperator == "[]") {
        return Factory::Necessarily(aOperand);
    }
    throw EngineException(std::string());
}

MatrixPtr ApplyQuantifier(std::string_view aQuantifier, const VariablePtr& aVariable,
                          const MatrixPtr& aBody) {
    if (Patterns::IsForAll(aQuantifier)) {
        return Factory::ForAll(aVariable, aBody);
    }
    if (Patterns::IsThereExists(aQuantifier)) {
        return Factory::ThereExists(aVariable, aBody);
    }
    if (Patterns::IsThe(aQuantifier)) {
        return Factory::The(aVariable, aBody);
    }
    throw EngineException(std::string());
}

} // namespace

class ExpressionParser {
public:
    explicit ExpressionParser(CollectedItems& aItems) : mItems(aItems) {}

    /// The tokens aBegin .. aEnd-1 (at least one).
    MatrixPtr ParseList(const TokenList& aList, uint32_t aBegin, uint32_t aEnd,
                        const VariableDictionary& aVariables);
    /// Operands split at the main operator, which lies before the first quantifier; equal
    /// operators next to one another group to the left.
    MatrixPtr ParseChain(const TokenList& aList, uint32_t aBegin, uint32_t aEnd,
                         const VariableDictionary& aVariables);
    /// One token: an atomic form or a parenthesized list.
    MatrixPtr ParseToken(const TokenList& aList, uint32_t aToken,
                         const VariableDictionary& aVariables);
    MatrixPtr ParseTwoTermProposition(std::string_view aToken);
    MatrixPtr ParseCountingForm(std::string_view aToken);

private:
    CollectedItems& mItems;
    /// Nodes the counting forms of this statement or argument build, estimated from above.
    uint64_t mCountingFormNodes = 0;
};

MatrixPtr ExpressionParser::ParseList(const TokenList& aList, uint32_t aBegin, uint32_t aEnd,
                                      const VariableDictionary& aVariables) {
    if (!StackHasRoom()) {
        ThrowTooDeep(aList.Joined(aBegin, aEnd));
    }
    struct Prefix {
        uint32_t mToken;
        VariablePtr mVariable;
    };
    std::vector<Prefix> lPrefixes;
    std::optional<VariableDictionary> lRebound;
    const VariableDictionary* lVariables = &aVariables;
    uint32_t lBegin = aBegin;
    bool lIsChain = false;
    for (;; ++lBegin) {
        if (aEnd - lBegin == 1) {
            break;
        }
        const TokenKind lKind = aList.Kind(lBegin);
        const uint32_t lNonUnary = aList.NextNonUnary(lBegin);
        const bool lUnariesBeforeQuantifier = lKind == TokenKind::UnaryOperator && lNonUnary < aEnd &&
                                              aList.Kind(lNonUnary) == TokenKind::Quantifier;
        if (lKind == TokenKind::Quantifier) {
            const std::string_view lQuantifier = aList.Token(lBegin);
            const char lLetter = Parser::GetSymbolForVariable(lQuantifier);
            VariablePtr lVariable = Factory::Variable(lLetter);
            VariableDictionary lInner = lVariables->CreateNewSetThatRebinds(lLetter, lVariable);
            lRebound = std::move(lInner);
            lVariables = &*lRebound;
            lPrefixes.push_back({lBegin, std::move(lVariable)});
            continue;
        }
        if (lUnariesBeforeQuantifier) {
            lPrefixes.push_back({lBegin, nullptr});
            continue;
        }
        const uint32_t lQuantifier = std::min(aList.NextQuantifier(lBegin), aEnd);
        if (aList.MainOperator(lBegin, lQuantifier) != TokenList::None) {
            lIsChain = true;
            break;
        }
        if (lKind != TokenKind::UnaryOperator) {
            ThrowCouldNotParse(aList.Joined(lBegin, aEnd));
        }
        lPrefixes.push_back({lBegin, nullptr});
    }
    MatrixPtr lResult = lIsChain ? ParseChain(aList, lBegin, aEnd, *lVariables)
                                 : ParseToken(aList, lBegin, *lVariables);
    for (auto lPrefix = lPrefixes.rbegin(); lPrefix != lPrefixes.rend(); ++lPrefix) {
        const std::string_view lOperator = aList.Token(lPrefix->mToken);
        lResult = lPrefix->mVariable ? ApplyQuantifier(lOperator, lPrefix->mVariable, lResult)
                                     : ApplyUnaryOperator(lOperator, lResult);
    }
    return lResult;
}

MatrixPtr ExpressionParser::ParseChain(const TokenList& aList, uint32_t aBegin, uint32_t aEnd,
                                       const VariableDictionary& aVariables) {
    const uint32_t lQuantifier = std::min(aList.NextQuantifier(aBegin), aEnd);
    const uint32_t lMain = aList.MainOperator(aBegin, lQuantifier);
    if (lMain == TokenList::None) {
        throw EngineException(std::string());
    }
    // The main operator is the last of its precedence; the part before it has the previous one
    // of the same precedence as its main operator, and so on down to the first.
    const std::vector<uint32_t> lOperators =
        aList.OperatorsOfPrecedence(aList.Precedence(lMain), aBegin, lQuantifier);
    const auto lCount = static_cast<uint32_t>(lOperators.size());
    // Each level refuses an empty operand before any operand is parsed, outermost first.
    for (uint32_t lIndex = lCount; lIndex-- > 0;) {
        const uint32_t lEnd = lIndex + 1 < lCount ? lOperators[lIndex + 1] : aEnd;
        if (lOperators[lIndex] + 1 == lEnd || lOperators[lIndex] == aBegin) {
            ThrowCouldNotParse(aList.Joined(aBegin, lEnd));
        }
    }
    MatrixPtr lResult = ParseList(aList, aBegin, lOperators[0], aVariables);
    for (uint32_t lIndex = 0; lIndex < lCount; ++lIndex) {
        const uint32_t lEnd = lIndex + 1 < lCount ? lOperators[lIndex + 1] : aEnd;
        MatrixPtr lRight = ParseList(aList, lOperators[lIndex] + 1, lEnd, aVariables);
        lResult = JoinByOperator(aList.Token(lOperators[lIndex]), lResult, lRight);
    }
    return lResult;
}

MatrixPtr ExpressionParser::ParseToken(const TokenList& aList, uint32_t aToken,
                                       const VariableDictionary& aVariables) {
    const std::string_view lToken = aList.Token(aToken);
    if (Patterns::IsTwoTermProposition(lToken)) {
        return ParseTwoTermProposition(lToken);
    }
    if (Patterns::IsIs(lToken)) {
        UnaryPredicatePtr lPredicate = mItems.AddUnaryPredicate(lToken[0]);
        VariablePtr lVariable = Parser::FindVariable(lToken[1], aVariables, mItems);
        return mItems.AddUnaryPredication(lPredicate, lVariable);
    }
    if (Patterns::IsAre(lToken)) {
        BinaryPredicatePtr lPredicate = mItems.AddBinaryPredicate(lToken[1]);
        VariablePtr lFirst = Parser::FindVariable(lToken[0], aVariables, mItems);
        VariablePtr lSecond = Parser::FindVariable(lToken[2], aVariables, mItems);
        return mItems.AddBinaryPredication(lPredicate, lFirst, lSecond);
    }
    if (Patterns::IsTrueThat(lToken)) {
        return mItems.AddNullPredicate(lToken[0]);
    }
    if (Patterns::IsIsTheSameAs(lToken)) {
        VariablePtr lLeft = Parser::FindVariable(lToken[0], aVariables, mItems);
        VariablePtr lRight = Parser::FindVariable(lToken[2], aVariables, mItems);
        return mItems.AddIdentification(lLeft, lRight);
    }
    if (Patterns::IsThereAreThisManyOfThese(lToken) || Patterns::IsThisManyOfTheseAreTrue(lToken)) {
        return ParseCountingForm(lToken);
    }
    // A parenthesized expression holds no line feed; they are looked up in the source, since
    // scanning the token would cost its length once per level of nested parentheses.
    const size_t lStart = aList.Start(aToken);
    if (lToken.size() >= 2 && lToken.front() == '(' && lToken.back() == ')' &&
        !aList.Source().HasLineFeed(lStart, lStart + lToken.size())) {
        const TokenList lInner = Tokenize(aList.Source(), lStart + 1, lStart + lToken.size() - 1);
        if (lInner.Size() == 0) {
            throw ParseError(OffendingText{lToken}, "No subexpressions found in \"{0}\".", lToken);
        }
        return ParseList(lInner, 0, lInner.Size(), aVariables);
    }
    throw ParseError(OffendingText{lToken},
                     "Expected predication or parenthesized expression, found \"{0}\"", lToken);
}

MatrixPtr ExpressionParser::ParseTwoTermProposition(std::string_view aToken) {
    if (!Patterns::IsTwoTermProposition(aToken)) {
        throw EngineException(std::string());
    }
    size_t lPosition = 0;
    const bool lSubjectNegated = aToken[lPosition] == '~';
    lPosition += lSubjectNegated ? 1 : 0;
    const char lSubjectLetter = aToken[lPosition++];
    const char lForm = aToken[lPosition++];
    const bool lPredicateNegated = aToken[lPosition] == '~';
    lPosition += lPredicateNegated ? 1 : 0;
    const char lPredicateLetter = aToken[lPosition++];
    const bool lModern = lPosition < aToken.size() && aToken[lPosition] == '\'';
    const Term lSubject = Factory::AllAndOnly(mItems.AddUnaryPredicate(lSubjectLetter),
                                              lSubjectNegated);
    const Term lPredicate = Factory::AllAndOnly(mItems.AddUnaryPredicate(lPredicateLetter),
                                                lPredicateNegated);
    return Parser::FormTwoTermProposition(lSubject, lPredicate, lForm, lModern);
}

MatrixPtr ExpressionParser::ParseCountingForm(std::string_view aToken) {
    const size_t lDigits = Patterns::DigitRun(aToken);
    const uint32_t lCount = ToCount(aToken.substr(0, lDigits));
    if (Patterns::IsThereAreThisManyOfThese(aToken)) {
        CheckCountingForm(aToken, SizeOfThereAreThisManyOfThese(lCount), mCountingFormNodes);
        return Factory::ThereAreThisManyOfThese(lCount, mItems.AddUnaryPredicate(aToken.back()));
    }
    const std::string_view lLetters = aToken.substr(lDigits);
    // More propositions asked to be true than there are is the factory's own failure.
    if (lCount <= lLetters.size()) {
        CheckCountingForm(aToken, SizeOfThisManyOfTheseAreTrue(lCount, lLetters.size()),
                          mCountingFormNodes);
    }
    std::vector<MatrixPtr> lPropositions;
    lPropositions.reserve(lLetters.size());
    for (const char lLetter : lLetters) {
        lPropositions.push_back(mItems.AddNullPredicate(lLetter));
    }
    return Factory::ThisManyOfTheseAreTrue(lCount, lPropositions);
}

} // namespace Grammar

namespace {

Grammar::TokenSource SourceOfTokens(const std::vector<std::string>& aTokens,
                                    std::vector<size_t>& aBounds) {
    std::string lText;
    for (const std::string& lToken : aTokens) {
        aBounds.push_back(lText.size());
        lText += lToken;
    }
    aBounds.push_back(lText.size());
    return Grammar::TokenSource(std::move(lText));
}

// Runs aWork on the list made of aTokens, which must not be empty.
template <typename Work>
MatrixPtr OnTokens(const std::vector<std::string>& aTokens, Work aWork) {
    if (aTokens.empty()) {
        throw EngineException(std::string());
    }
    std::vector<size_t> lBounds;
    const Grammar::TokenSource lSource = SourceOfTokens(aTokens, lBounds);
    const Grammar::TokenList lList(lSource, std::move(lBounds));
    return aWork(lList);
}

} // namespace

MatrixPtr Parser::Parse(const std::string& aText) {
    if (aText.empty()) {
        throw ParseError("No content found.");
    }
    CollectedItems lItems;
    const VariableDictionary lVariables;
    const Grammar::TokenSource lSource(aText);
    try {
        const Grammar::TokenList lList = Grammar::Tokenize(lSource, 0, aText.size());
        return Grammar::ExpressionParser(lItems).ParseList(lList, 0, lList.Size(), lVariables);
    } catch (ParseError& lFailure) {
        lFailure.LocateIn(lSource.Text());
        throw;
    }
}

std::shared_ptr<const Argument> Parser::Parse(const std::vector<std::string>& aPremises,
                                              const std::string& aConclusion,
                                              const FailureOfText& aOnFailure) {
    CollectedItems lItems;
    const VariableDictionary lVariables;
    Grammar::ExpressionParser lParser(lItems);
    const auto lParseWrapped = [&](const std::string& fText, size_t fIndex) {
        const Grammar::TokenSource lSource(Parenthesize(fText));
        try {
            const Grammar::TokenList lList(lSource, {0, lSource.Text().size()});
            return lParser.ParseList(lList, 0, 1, lVariables);
        } catch (ParseError& lFailure) {
            // Counted in fText, without the parenthesis put before it.
            lFailure.LocateIn(lSource.Text(), -1);
            if (aOnFailure) {
                aOnFailure(lFailure, fIndex);
            }
            throw;
        }
    };
    const MatrixPtr lConclusion = lParseWrapped(aConclusion, aPremises.size());
    size_t lNext = 0;
    return Factory::Therefore(
        [&]() -> MatrixPtr {
            if (lNext == aPremises.size()) {
                return nullptr;
            }
            const size_t lIndex = lNext++;
            return lParseWrapped(aPremises[lIndex], lIndex);
        },
        lConclusion);
}

MatrixPtr Parser::Parse(const std::vector<std::string>& aTokens, CollectedItems& aItems,
                        const VariableDictionary& aVariables) {
    return OnTokens(aTokens, [&](const Grammar::TokenList& fList) {
        return Grammar::ExpressionParser(aItems).ParseList(fList, 0, fList.Size(), aVariables);
    });
}

MatrixPtr Parser::ParseBinaryOperator(const std::vector<std::string>& aTokens,
                                      CollectedItems& aItems,
                                      const VariableDictionary& aVariables) {
    return OnTokens(aTokens, [&](const Grammar::TokenList& fList) {
        return Grammar::ExpressionParser(aItems).ParseChain(fList, 0, fList.Size(), aVariables);
    });
}

MatrixPtr Parser::ParseQuantification(const std::string& aQuantifier,
                                      const std::vector<std::string>& aBody,
                                      CollectedItems& aItems,
                                      const VariableDictionary& aVariables) {
    const char lLetter = GetSymbolForVariable(aQuantifier);
    VariablePtr lVariable = Factory::Variable(lLetter);
    const MatrixPtr lBody =
        Parse(aBody, aItems, aVariables.CreateNewSetThatRebinds(lLetter, lVariable));
    return Grammar::ApplyQuantifier(aQuantifier, lVariable, lBody);
}

MatrixPtr Parser::ParseUnaryOperatorOnTail(const std::string& aOperator,
                                           const std::vector<std::string>& aTail,
                                           CollectedItems& aItems,
                                           const VariableDictionary& aVariables) {
    if (!IsUnaryOperator(aOperator)) {
        throw EngineException(std::string());
    }
    return Grammar::ApplyUnaryOperator(aOperator, Parse(aTail, aItems, aVariables));
}

MatrixPtr Parser::ParsePropositionalSubexpression(const std::string& aToken,
                                                  CollectedItems& aItems,
                                                  const VariableDictionary& aVariables) {
    return OnTokens({aToken}, [&](const Grammar::TokenList& fList) {
        return Grammar::ExpressionParser(aItems).ParseToken(fList, 0, aVariables);
    });
}

MatrixPtr Parser::ParseTwoTermProposition(const std::string& aToken, CollectedItems& aItems) {
    return Grammar::ExpressionParser(aItems).ParseTwoTermProposition(aToken);
}

MatrixPtr Parser::FormTwoTermProposition(const Term& aSubject, const Term& aPredicate, char aForm,
                                         bool aModern) {
    switch (aForm) {
    case 'a':
        return Factory::FormA(aSubject, aPredicate, !aModern);
    case 'e':
        return Factory::FormE(aSubject, aPredicate);
    case 'i':
        return Factory::FormI(aSubject, aPredicate);
    case 'o':
        return Factory::FormO(aSubject, aPredicate, aModern);
    case 'u':
        return Factory::FormU(aSubject, aPredicate, false);
    case 'y':
        return Factory::FormY(aSubject, aPredicate, false);
    default:
        throw EngineException("Unhandled form of two-term proposition: {0}", aForm);
    }
}

VariablePtr Parser::FindVariable(char aLetter, const VariableDictionary& aVariables,
                                 CollectedItems& aItems) {
    if (aVariables.ContainsVariableForSymbol(aLetter)) {
        return aVariables.Retrieve(aLetter);
    }
    return aItems.AddUnboundVariable(aLetter);
}

char Parser::GetSymbolForVariable(std::string_view aQuantifier) {
    if (Patterns::IsForAll(aQuantifier)) {
        return aQuantifier[0];
    }
    if (Patterns::IsThereExists(aQuantifier) || Patterns::IsThe(aQuantifier)) {
        return aQuantifier[1];
    }
    throw EngineException(std::string());
}

} // namespace Logic
