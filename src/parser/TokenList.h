#pragma once
// Token lists as the grammar sees them: index ranges over one array of tokens that are
// substrings of one source text, classified once, with the lookup tables that let the grammar
// find a range's quantifier and main operator without scanning it. (Internal to the parser.)

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Logic::Grammar {

enum class TokenKind : uint8_t { Other, BinaryOperator, Quantifier, UnaryOperator };

/// A text and, for every "(" in it, where its matching ")" is.
class TokenSource {
public:
    static constexpr uint32_t NoMatch = UINT32_MAX;

    explicit TokenSource(std::string aText);

    const std::string& Text() const { return mText; }
    /// The position of the ")" that closes the "(" at aOpening, or NoMatch. The match of a "("
    /// depends only on the text after it, so it holds inside any range that contains both.
    uint32_t Closing(size_t aOpening) const { return mClosing[aOpening]; }
    /// Whether the text from aBegin to aEnd holds a line feed, without scanning it: nested
    /// parentheses ask this once per level.
    bool HasLineFeed(size_t aBegin, size_t aEnd) const;

private:
    std::string mText;
    std::vector<uint32_t> mClosing;
    /// Positions of the line feeds, in order (statements from documents have none).
    std::vector<uint32_t> mLineFeeds;
};

class TokenList {
public:
    static constexpr uint32_t None = UINT32_MAX;
    static constexpr int NumberOfPrecedences = 4;

    /// aBounds holds the start of every token and, last, the end of the last token.
    TokenList(const TokenSource& aSource, std::vector<size_t> aBounds);

    uint32_t Size() const { return static_cast<uint32_t>(mKinds.size()); }
    const TokenSource& Source() const { return *mSource; }
    size_t Start(uint32_t aToken) const { return mBounds[aToken]; }
    std::string_view Token(uint32_t aToken) const { return Joined(aToken, aToken + 1); }
    /// The tokens aBegin .. aEnd-1 joined without separator.
    std::string_view Joined(uint32_t aBegin, uint32_t aEnd) const;
    TokenKind Kind(uint32_t aToken) const { return mKinds[aToken]; }

    /// The first quantifier at or after aToken, Size() when there is none.
    uint32_t NextQuantifier(uint32_t aToken) const { return mNextQuantifier[aToken]; }
    /// The first token at or after aToken that is no unary operator, Size() when there is none.
    uint32_t NextNonUnary(uint32_t aToken) const { return mNextNonUnary[aToken]; }
    /// The main operator of aBegin .. aEnd-1: the binary operator of highest precedence number,
    /// the last one on a tie; None when the range holds no binary operator.
    uint32_t MainOperator(uint32_t aBegin, uint32_t aEnd) const;
    /// The binary operators of precedence aPrecedence in aBegin .. aEnd-1, in order.
    std::vector<uint32_t> OperatorsOfPrecedence(int aPrecedence, uint32_t aBegin,
                                                uint32_t aEnd) const;
    int Precedence(uint32_t aToken) const { return mPrecedences[aToken]; }

private:
    /// The last operator of aPrecedence at or before aToken, None when there is none.
    uint32_t LastOfPrecedence(int aPrecedence, uint32_t aToken) const;

    const TokenSource* mSource;
    std::vector<size_t> mBounds;
    std::vector<TokenKind> mKinds;
    std::vector<int8_t> mPrecedences;
    std::vector<uint32_t> mNextQuantifier;
    std::vector<uint32_t> mNextNonUnary;
    std::array<std::vector<uint32_t>, NumberOfPrecedences> mLastOfPrecedence;
};

/// Cuts aSource's text from aBegin to aEnd into tokens (the tokenizer of the notation).
TokenList Tokenize(const TokenSource& aSource, size_t aBegin, size_t aEnd);

/// The length of the first token of aSource's text from aBegin to aEnd (aBegin < aEnd).
size_t FirstTokenLength(const TokenSource& aSource, size_t aBegin, size_t aEnd);

} // namespace Logic::Grammar
