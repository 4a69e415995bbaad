#pragma once
// Parser: from the lines of a document to one formula tree.
//
// Stages, each in its own file: preprocessing and statement assembly (Parser.cpp), tokenizing
// (Tokenizer.cpp), the grammar over token lists and the atomic forms (Grammar.cpp). The patterns
// are matched by hand (Patterns.cpp); the Unicode classes come from a generated table
// (UnicodeClasses.cpp). Statements keep the logic symbols they were written with (¬ ∧ ∀x ...)
// until they are assembled; each is then read in ASCII (LogicSymbols.cpp), and a failure in it
// quotes and marks what was written.
//
// Deep input: chains of operators ('p&q&r...', however long) and runs of prefixes are parsed in
// loops; the grammar recurses only into parentheses. Callers run it on a large stack
// (RunWithLargeStack in platform/LargeStack.h), where parentheses nested deeper than the stack
// allows fail with a ParseError instead of overflowing it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/Argument.h"
#include "model/Matrix.h"
#include "model/Term.h"
#include "parser/CollectedItems.h"
#include "parser/ParseError.h"
#include "parser/VariableDictionary.h"

namespace Logic {

class Parser {
public:
    /// Most nodes a counting form ('5F', '2pqr') may build, and all the counting forms of one
    /// statement or argument together: a few bytes of them build hundreds of thousands of
    /// nodes. Larger counts fail with a ParseError before anything is built.
    static constexpr uint64_t MaximumNodesOfACountingForm = 400000;

    // Documents and statements.

    /// The document form: lines as split at line feeds. An Argument when the document holds
    /// a ".'." line.
    static MatrixPtr Parse(const std::vector<std::string>& aLines);
    /// The text form: one statement without white space.
    static MatrixPtr Parse(const std::string& aText);
    /// Told which text a failure arose in: a premise's index, or the number of premises for the
    /// conclusion. It may add to the failure before it goes on.
    using FailureOfText = std::function<void(ParseError&, size_t)>;
    /// The argument form: the conclusion is parsed first, then the premises one by one as the
    /// Argument joins them. Letters mean the same objects throughout.
    static std::shared_ptr<const Argument> Parse(const std::vector<std::string>& aPremises,
                                                 const std::string& aConclusion,
                                                 const FailureOfText& aOnFailure = {});
    /// The token-list form: tokens as GetSubexpressions cuts them (at least one).
    static MatrixPtr Parse(const std::vector<std::string>& aTokens, CollectedItems& aItems,
                           const VariableDictionary& aVariables);

    // Preprocessing and statement assembly.

    /// Directives, comments, replacements and white space, per line; empty results are dropped.
    static std::vector<std::string> Preprocess(const std::vector<std::string>& aLines);
    /// Joins preprocessed lines into statements; lines may hold logic symbols (a line "→" is an
    /// operator line).
    static std::vector<std::string> ConnectStatementsAcrossLines(
        const std::vector<std::string>& aLines);
    /// Each text in parentheses, joined with "&": "p", "q->r" give "(p)&(q->r)".
    static std::string Conjoin(const std::vector<std::string>& aTexts);
    static std::string Parenthesize(std::string_view aText);
    /// ".'." or one of the seven binary operator symbols, exactly.
    static bool IsMajorOperator(std::string_view aText);
    /// A "(" was seen, the depth never went below zero, and it ends above zero.
    static bool HasUnclosedParentheses(std::string_view aText);
    /// A "(" was seen, the depth never went below zero, and it ends at zero.
    static bool HasMatchingParentheses(std::string_view aText);
    static bool StartsWithBinaryBooleanOperator(std::string_view aText);
    static bool EndsWithBinaryBooleanOperator(std::string_view aText);

    // Tokens.

    static std::vector<std::string> GetSubexpressions(std::string_view aText);
    static std::string GetFirstSubexpression(std::string_view aText);
    /// The token at the start of a text that no token pattern matches: up to the matching ")"
    /// when it begins with "(", else the whole text.
    static std::string ExpressionWithMatchedParentheses(std::string_view aText);
    static bool IsBinaryOperator(std::string_view aToken);
    static bool IsQuantifier(std::string_view aToken);
    static bool IsUnaryOperator(std::string_view aToken);
    /// 0 for "&" and "!", 1 for "|", 2 for "->" and "-<", 3 for "<=>" and "^"; a lower number
    /// binds more tightly.
    static int PrecedenceOfBinaryOperator(std::string_view aToken);
    static bool AreUnariesFollowedByAQuantifier(const std::vector<std::string>& aTokens);

    // Grammar.

    /// aTokens holds a binary operator before its first quantifier.
    static MatrixPtr ParseBinaryOperator(const std::vector<std::string>& aTokens,
                                         CollectedItems& aItems,
                                         const VariableDictionary& aVariables);
    static MatrixPtr ParseQuantification(const std::string& aQuantifier,
                                         const std::vector<std::string>& aBody,
                                         CollectedItems& aItems,
                                         const VariableDictionary& aVariables);
    static MatrixPtr ParseUnaryOperatorOnTail(const std::string& aOperator,
                                              const std::vector<std::string>& aTail,
                                              CollectedItems& aItems,
                                              const VariableDictionary& aVariables);
    static MatrixPtr ParsePropositionalSubexpression(const std::string& aToken,
                                                     CollectedItems& aItems,
                                                     const VariableDictionary& aVariables);
    static MatrixPtr ParseTwoTermProposition(const std::string& aToken, CollectedItems& aItems);
    static MatrixPtr FormTwoTermProposition(const Term& aSubject, const Term& aPredicate,
                                            char aForm, bool aModern);
    /// The innermost binding of aLetter, else the free variable of that letter.
    static VariablePtr FindVariable(char aLetter, const VariableDictionary& aVariables,
                                    CollectedItems& aItems);
    /// The letter of "x,", "3x," or "1x,".
    static char GetSymbolForVariable(std::string_view aQuantifier);
};

} // namespace Logic
