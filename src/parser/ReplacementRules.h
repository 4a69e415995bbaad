#pragma once
// Word-replacement directives ("#replace and &") and the rules they make. Rules live for one
// preprocessing pass and apply, in the order of their directives, to the lines after them.
// A rule whose replacement holds its own word grows the text, and a few such directives in a row
// grow it exponentially; so what the rules may add to one document is bounded.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "parser/SourceMap.h"
#include "parser/TextPlace.h"

namespace Logic {

class ReplacementRules {
public:
    /// One rule: the word is matched literally between two boundary characters (or the text's
    /// start and end). A boundary next to a word character of the word must be a non-word
    /// character; next to a symbol it must be a word character or white space. The boundary
    /// characters are kept around the replacement.
    struct Rule {
        std::string mWord;
        std::string mReplacement;
        /// The word begins (ends) with a word character.
        bool mStartsWithWord = false;
        bool mEndsWithWord = false;
        /// The directive as written and its line in the document (from 1; 0 when not known).
        std::string mDirective;
        size_t mLine = 0;
        /// Where the directive stands in the document, when known.
        std::optional<TextPlace> mPlace;
    };

    /// Most bytes the rules may add to one document, over all its lines; more fails with a
    /// ParseError naming the directive that went past it, before the text is built.
    static constexpr size_t MaximumGrowthBytes = size_t{4} << 20;

    /// "#replace WORD REPLACEMENT" with any white space around and between, nothing else.
    static bool IsReplacementDirective(std::string_view aLine);
    /// The text begins with a word character.
    static bool StartsWithWord(std::string_view aText);
    /// The text ends with a word character.
    static bool EndsWithWord(std::string_view aText);
    static Rule MakeReplacement(std::string_view aWord, std::string_view aReplacement);
    /// Replaces every match of the rule, left to right; matches do not overlap, so a boundary
    /// character consumed by one match is not available to the next.
    static std::string RegexReplace(std::string_view aText, const Rule& aRule);

    /// Appends the rule of a directive, found on line aLine of the document (from 1, 0 when not
    /// known) at aPlace; aDirective must satisfy IsReplacementDirective.
    void Add(std::string_view aDirective, size_t aLine = 0,
             std::optional<TextPlace> aPlace = std::nullopt);
    /// Every rule in turn, each applied to the output of the previous one. Counts what the
    /// rules add towards MaximumGrowthBytes.
    std::string Apply(std::string_view aText);
    /// Apply, with the bytes of each replacement standing for the word it replaced.
    MappedText Apply(const MappedText& aText);

    const std::vector<Rule>& Replacements() const { return mReplacements; }

private:
    std::vector<Rule> mReplacements;
    /// Bytes the rules have added so far.
    size_t mGrowth = 0;
};

} // namespace Logic
