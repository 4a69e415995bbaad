#pragma once
// Message patterns with numbered placeholders: "{0}", "{1}", ... are replaced by the texts of
// the arguments (whole numbers in plain decimal); "{{" and "}}" stand for single braces.

#include <concepts>
#include <string>
#include <string_view>
#include <vector>

namespace Logic {

namespace FormatDetail {
inline std::string ToText(const std::string& aText) { return aText; }
inline std::string ToText(std::string_view aText) { return std::string(aText); }
inline std::string ToText(const char* aText) { return aText; }
inline std::string ToText(char aCharacter) { return std::string(1, aCharacter); }
template <std::integral T>
    requires(!std::same_as<T, char> && !std::same_as<T, bool>)
std::string ToText(T aNumber) {
    return std::to_string(aNumber);
}
} // namespace FormatDetail

/// Fills aPattern with already formatted argument texts. A placeholder whose number has no
/// argument, or a lone brace, is copied unchanged.
std::string FormatPattern(std::string_view aPattern, const std::vector<std::string>& aArguments);

template <typename... Ts>
std::string Format(std::string_view aPattern, const Ts&... aArguments) {
    return FormatPattern(aPattern, {FormatDetail::ToText(aArguments)...});
}

/// Longest text, in bytes, that a message quotes whole. A longer one keeps its start and its
/// end, cut at character boundaries, around a mark that says how many characters were left out.
constexpr size_t MaximumQuotedBytes = 200;
std::string QuotableText(std::string_view aText);

/// Format for messages that quote the user's text: every argument goes through QuotableText.
template <typename... Ts>
std::string FormatQuoting(std::string_view aPattern, const Ts&... aArguments) {
    return FormatPattern(aPattern, {QuotableText(FormatDetail::ToText(aArguments))...});
}

} // namespace Logic
