#include "parser/TokenList.h"

#include <algorithm>
#include <limits>

#include "model/EngineException.h"
#include "parser/ParseError.h"
#include "parser/Parser.h"
#include "parser/Patterns.h"

namespace Logic {

namespace Grammar {

TokenSource::TokenSource(std::string aText) : mText(std::move(aText)) {
    if (mText.size() >= NoMatch) {
        throw ParseError("The statement is too long to parse.");
    }
    mClosing.assign(mText.size(), NoMatch);
    std::vector<uint32_t> lOpen;
    for (uint32_t lPosition = 0; lPosition < mText.size(); ++lPosition) {
        if (mText[lPosition] == '(') {
            lOpen.push_back(lPosition);
        } else if (mText[lPosition] == ')' && !lOpen.empty()) {
            mClosing[lOpen.back()] = lPosition;
            lOpen.pop_back();
        } else if (mText[lPosition] == '\n') {
            mLineFeeds.push_back(lPosition);
        }
    }
}

bool TokenSource::HasLineFeed(size_t aBegin, size_t aEnd) const {
    const auto lFirst = std::lower_bound(mLineFeeds.begin(), mLineFeeds.end(), aBegin);
    return lFirst != mLineFeeds.end() && *lFirst < aEnd;
}

TokenList::TokenList(const TokenSource& aSource, std::vector<size_t> aBounds)
    : mSource(&aSource), mBounds(std::move(aBounds)) {
    const size_t lSize = mBounds.size() - 1;
    if (lSize >= None) {
        throw ParseError("The statement is too long to parse.");
    }
    mKinds.resize(lSize);
    mPrecedences.resize(lSize, -1);
    for (uint32_t lToken = 0; lToken < lSize; ++lToken) {
        const std::string_view lText = Token(lToken);
        if (Parser::IsBinaryOperator(lText)) {
            mKinds[lToken] = TokenKind::BinaryOperator;
            mPrecedences[lToken] = static_cast<int8_t>(Parser::PrecedenceOfBinaryOperator(lText));
        } else if (Parser::IsQuantifier(lText)) {
            mKinds[lToken] = TokenKind::Quantifier;
        } else if (Parser::IsUnaryOperator(lText)) {
            mKinds[lToken] = TokenKind::UnaryOperator;
        }
    }
    mNextQuantifier.resize(lSize + 1, static_cast<uint32_t>(lSize));
    mNextNonUnary.resize(lSize + 1, static_cast<uint32_t>(lSize));
    for (uint32_t lToken = static_cast<uint32_t>(lSize); lToken-- > 0;) {
        mNextQuantifier[lToken] =
            mKinds[lToken] == TokenKind::Quantifier ? lToken : mNextQuantifier[lToken + 1];
        mNextNonUnary[lToken] =
            mKinds[lToken] == TokenKind::UnaryOperator ? mNextNonUnary[lToken + 1] : lToken;
    }
    for (int lPrecedence = 0; lPrecedence < NumberOfPrecedences; ++lPrecedence) {
        std::vector<uint32_t>& lLast = mLastOfPrecedence[lPrecedence];
        lLast.resize(lSize);
        uint32_t lSeen = None;
        for (uint32_t lToken = 0; lToken < lSize; ++lToken) {
            if (mPrecedences[lToken] == lPrecedence) {
                lSeen = lToken;
            }
            lLast[lToken] = lSeen;
        }
    }
}

std::string_view TokenList::Joined(uint32_t aBegin, uint32_t aEnd) const {
    return std::string_view(mSource->Text()).substr(mBounds[aBegin], mBounds[aEnd] - mBounds[aBegin]);
}

uint32_t TokenList::LastOfPrecedence(int aPrecedence, uint32_t aToken) const {
    return mLastOfPrecedence[aPrecedence][aToken];
}

uint32_t TokenList::MainOperator(uint32_t aBegin, uint32_t aEnd) const {
    if (aEnd <= aBegin) {
        return None;
    }
    for (int lPrecedence = NumberOfPrecedences - 1; lPrecedence >= 0; --lPrecedence) {
        const uint32_t lLast = LastOfPrecedence(lPrecedence, aEnd - 1);
        if (lLast != None && lLast >= aBegin) {
            return lLast;
        }
    }
    return None;
}

std::vector<uint32_t> TokenList::OperatorsOfPrecedence(int aPrecedence, uint32_t aBegin,
                                                       uint32_t aEnd) const {
    std::vector<uint32_t> lOperators;
    uint32_t lToken = aEnd > aBegin ? LastOfPrecedence(aPrecedence, aEnd - 1) : None;
    while (lToken != None && lToken >= aBegin) {
        lOperators.push_back(lToken);
        lToken = lToken == 0 ? None : LastOfPrecedence(aPrecedence, lToken - 1);
    }
    return {lOperators.rbegin(), lOperators.rend()};
}

size_t FirstTokenLength(const TokenSource& aSource, size_t aBegin, size_t aEnd) {
    using Matcher = size_t (*)(std::string_view);
    static constexpr Matcher gTokenPatterns[] = {
        Patterns::StartsWithQuantifier,        Patterns::StartsWithThereAreThisManyOfThese,
        Patterns::StartsWithThisManyOfTheseAreTrue, Patterns::StartsWithAnd,
        Patterns::StartsWithOr,                Patterns::StartsWithOnlyIf,
        Patterns::StartsWithIfAndOnlyIf,       Patterns::StartsWithNot,
        Patterns::StartsWithNor,               Patterns::StartsWithXor,
        Patterns::StartsWithNecessarilyOnlyIf, Patterns::StartsWithIs,
        Patterns::StartsWithIsTheSameAs,       Patterns::StartsWithAre,
        Patterns::StartsWithTrueThat,          Patterns::StartsWithPossibly,
        Patterns::StartsWithNecessarily,       Patterns::StartsWithTwoTermProposition,
    };
    const std::string_view lRest = std::string_view(aSource.Text()).substr(aBegin, aEnd - aBegin);
    for (const Matcher lPattern : gTokenPatterns) {
        if (const size_t lLength = lPattern(lRest)) {
            return lLength;
        }
    }
    if (lRest.front() != '(') {
        return lRest.size();
    }
    const uint32_t lClosing = aSource.Closing(aBegin);
    if (lClosing == TokenSource::NoMatch || lClosing >= aEnd) {
        throw ParseError(OffendingText{lRest}, "Couldn't parse a token from \"{0}\"", lRest);
    }
    return lClosing + 1 - aBegin;
}

TokenList Tokenize(const TokenSource& aSource, size_t aBegin, size_t aEnd) {
    std::vector<size_t> lBounds;
    for (size_t lPosition = aBegin; lPosition < aEnd;) {
        lBounds.push_back(lPosition);
        lPosition += FirstTokenLength(aSource, lPosition, aEnd);
    }
    lBounds.push_back(aEnd);
    return TokenList(aSource, std::move(lBounds));
}

} // namespace Grammar

std::vector<std::string> Parser::GetSubexpressions(std::string_view aText) {
    const Grammar::TokenSource lSource{std::string(aText)};
    const Grammar::TokenList lTokens = Grammar::Tokenize(lSource, 0, aText.size());
    std::vector<std::string> lResult;
    lResult.reserve(lTokens.Size());
    for (uint32_t lToken = 0; lToken < lTokens.Size(); ++lToken) {
        lResult.emplace_back(lTokens.Token(lToken));
    }
    return lResult;
}

std::string Parser::GetFirstSubexpression(std::string_view aText) {
    if (aText.empty()) {
        return {};
    }
    const Grammar::TokenSource lSource{std::string(aText)};
    return std::string(aText.substr(0, Grammar::FirstTokenLength(lSource, 0, aText.size())));
}

std::string Parser::ExpressionWithMatchedParentheses(std::string_view aText) {
    if (aText.empty() || aText.front() != '(') {
        return std::string(aText);
    }
    const Grammar::TokenSource lSource{std::string(aText)};
    const uint32_t lClosing = lSource.Closing(0);
    if (lClosing == Grammar::TokenSource::NoMatch) {
        throw ParseError("Couldn't parse a token from \"{0}\"", aText);
    }
    return std::string(aText.substr(0, lClosing + 1));
}

bool Parser::IsBinaryOperator(std::string_view aToken) {
    return aToken == "&" || aToken == "|" || aToken == "->" || aToken == "<=>" || aToken == "!" ||
           aToken == "^" || aToken == "-<";
}

bool Parser::IsQuantifier(std::string_view aToken) {
    return Patterns::IsForAll(aToken) || Patterns::IsThereExists(aToken) || Patterns::IsThe(aToken);
}

bool Parser::IsUnaryOperator(std::string_view aToken) {
    return aToken == "~" || aToken == "<>" || aToken == "[]";
}

int Parser::PrecedenceOfBinaryOperator(std::string_view aToken) {
    if (aToken == "&" || aToken == "!") {
        return 0;
    }
    if (aToken == "|") {
        return 1;
    }
    if (aToken == "->" || aToken == "-<") {
        return 2;
    }
    if (aToken == "<=>" || aToken == "^") {
        return 3;
    }
    throw EngineException(std::string());
}

bool Parser::AreUnariesFollowedByAQuantifier(const std::vector<std::string>& aTokens) {
    size_t lToken = 0;
    while (lToken < aTokens.size() && IsUnaryOperator(aTokens[lToken])) {
        ++lToken;
    }
    return lToken > 0 && lToken < aTokens.size() && IsQuantifier(aTokens[lToken]);
}

} // namespace Logic
