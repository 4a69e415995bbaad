#include "provers/ShellParameters.h"

namespace Logic {

std::vector<std::string> ShellParameters::ArgumentList() const {
    return Arguments ? SplitArgumentText(*Arguments) : std::vector<std::string>();
}

std::vector<std::string> SplitArgumentText(std::string_view aText) {
    std::vector<std::string> lArguments;
    size_t i = 0;
    const auto fSpace = [](char fCharacter) { return fCharacter == ' ' || fCharacter == '\t'; };
    while (true) {
        while (i < aText.size() && fSpace(aText[i])) {
            ++i;
        }
        if (i == aText.size()) {
            return lArguments;
        }
        std::string lArgument;
        bool lQuoted = false;
        while (i < aText.size() && (lQuoted || !fSpace(aText[i]))) {
            if (aText[i] == '\\') {
                size_t lBackslashes = 0;
                while (i < aText.size() && aText[i] == '\\') {
                    ++lBackslashes;
                    ++i;
                }
                if (i < aText.size() && aText[i] == '"') {
                    // 2n backslashes and a quote: n backslashes, and the quote opens or closes;
                    // 2n + 1: n backslashes and a literal quote.
                    lArgument.append(lBackslashes / 2, '\\');
                    if (lBackslashes % 2 == 1) {
                        lArgument += '"';
                        ++i;
                    }
                } else {
                    lArgument.append(lBackslashes, '\\');
                }
                continue;
            }
            if (aText[i] == '"') {
                // A doubled quote inside quotes is a literal quote.
                if (lQuoted && i + 1 < aText.size() && aText[i + 1] == '"') {
                    lArgument += '"';
                    i += 2;
                    continue;
                }
                lQuoted = !lQuoted;
                ++i;
                continue;
            }
            lArgument += aText[i++];
        }
        lArguments.push_back(std::move(lArgument));
    }
}

} // namespace Logic
