#pragma once
// The parser's failure type: a finished message quoting the offending text, and, where the
// failure concerns a stretch of the document, that stretch.

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/Format.h"
#include "parser/TextPlace.h"

namespace Logic {

/// The text a failure is about: a view into the statement being parsed.
struct OffendingText {
    std::string_view mText;
};

class ParseError : public std::runtime_error {
public:
    explicit ParseError(const std::string& aMessage) : std::runtime_error(aMessage) {}

    template <typename T, typename... Ts>
    ParseError(std::string_view aPattern, const T& aFirst, const Ts&... aRest)
        : std::runtime_error(FormatQuoting(aPattern, aFirst, aRest...)) {}

    /// A failure about aOffending, which must be a view into the text being parsed, so that the
    /// frame that owns that text can tell where it lies.
    template <typename... Ts>
    ParseError(OffendingText aOffending, std::string_view aPattern, const Ts&... aArguments)
        : ParseError(aOffending, aPattern,
                     std::vector<std::string>{FormatDetail::ToText(aArguments)...}) {}

    /// When the offending text lies inside aText, notes its bytes there, shifted by aShift (so a
    /// caller that parsed a wrapped copy of its text can count in its own). Only the frame that
    /// owns aText may ask: the view given at the throw is compared by address alone, and is
    /// dropped once it has been found.
    void LocateIn(std::string_view aText, std::ptrdiff_t aShift = 0) noexcept;
    /// The offending bytes in the statement, once LocateIn has found them.
    std::optional<std::pair<size_t, size_t>> BytesInStatement() const { return mBytesInStatement; }

    /// Where in the document the failure lies; absent for failures about the whole document.
    const std::optional<TextPlace>& Place() const { return mPlace; }
    void SetPlace(const TextPlace& aPlace) { mPlace = aPlace; }

    /// Quotes aWritten where the message quoted the offending text aRead: the parser reads a
    /// translation of what the user wrote (logic symbols in ASCII), and the message should show
    /// the user's own symbols.
    void QuoteAsWritten(std::string_view aRead, std::string_view aWritten);

private:
    ParseError(OffendingText aOffending, std::string_view aPattern,
               std::vector<std::string> aArguments);

    std::string_view mOffending;
    /// The pattern and arguments of a message about offending text, to quote it anew.
    std::string mPattern;
    std::vector<std::string> mArguments;
    /// The arguments that are the offending text.
    std::vector<bool> mQuotesOffending;
    std::optional<std::pair<size_t, size_t>> mBytesInStatement;
    std::optional<TextPlace> mPlace;
};

} // namespace Logic
