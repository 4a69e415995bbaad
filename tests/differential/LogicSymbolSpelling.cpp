#include "LogicSymbolSpelling.h"

#include <string_view>

#include "parser/LogicSymbols.h"

namespace Logic::Differential {

namespace {

std::vector<size_t>& Written() {
    static std::vector<size_t> gWritten(LogicSymbols().size(), 0);
    return gWritten;
}

size_t IndexOf(std::string_view aWritten) {
    const std::vector<LogicSymbol>& lSymbols = LogicSymbols();
    for (size_t lIndex = 0; lIndex < lSymbols.size(); ++lIndex) {
        if (lSymbols[lIndex].mWritten == aWritten) {
            return lIndex;
        }
    }
    return lSymbols.size();
}

bool IsLower(char aByte) {
    return aByte >= 'a' && aByte <= 'z';
}
bool IsAlphanumeric(char aByte) {
    return IsLower(aByte) || (aByte >= 'A' && aByte <= 'Z') || (aByte >= '0' && aByte <= '9');
}

} // namespace

const std::vector<size_t>& LogicSymbolsWritten() {
    return Written();
}

std::string WithLogicSymbols(const std::string& aLine, std::mt19937_64& aRandom) {
    if (!aLine.empty() && aLine.front() == '#') {
        return aLine;
    }
    const auto lChance = [&](int fPercent) { return static_cast<int>(aRandom() % 100) < fPercent; };
    const std::vector<LogicSymbol>& lSymbols = LogicSymbols();
    const size_t lComment = std::min(aLine.find("//"), aLine.size());
    std::string lResult;
    const auto lWrite = [&](size_t fSymbol, std::string_view fLetters) {
        std::string_view lWritten = lSymbols[fSymbol].mWritten;
        ++Written()[fSymbol];
        // The quantifiers and "≠" are listed with the letters x and y.
        for (const char lCharacter : lWritten) {
            if (lCharacter == 'x' && !fLetters.empty()) {
                if (lChance(15)) {
                    lResult += ' ';
                }
                lResult += fLetters[0];
            } else if (lCharacter == 'y' && fLetters.size() > 1) {
                lResult += fLetters[1];
            } else {
                lResult += lCharacter;
            }
        }
        if (lChance(20)) {
            lResult += ' ';
        }
    };
    // Any of the symbols whose ASCII form is aAscii.
    const auto lWriteAnyOf = [&](std::string_view fAscii) {
        std::vector<size_t> lCandidates;
        for (size_t lIndex = 0; lIndex < lSymbols.size(); ++lIndex) {
            if (lSymbols[lIndex].mAscii == fAscii) {
                lCandidates.push_back(lIndex);
            }
        }
        lWrite(lCandidates[aRandom() % lCandidates.size()], {});
    };
    const std::string_view lLine(aLine);
    size_t lPosition = 0;
    while (lPosition < lComment) {
        const std::string_view lRest = lLine.substr(lPosition, lComment - lPosition);
        const bool lAtTokenStart = lPosition == 0 || !IsAlphanumeric(aLine[lPosition - 1]);
        const bool lRespell = lChance(50);
        // Quantifiers: "x," "3x," "1x," where a token starts.
        const size_t lDigit = !lRest.empty() && (lRest[0] == '1' || lRest[0] == '3') ? 1 : 0;
        if (lAtTokenStart && lRest.size() >= lDigit + 2 && IsLower(lRest[lDigit]) &&
            lRest[lDigit + 1] == ',') {
            if (lRespell) {
                lWrite(IndexOf(lDigit == 0       ? "\u2200x"
                               : lRest[0] == '3' ? "\u2203x"
                                                 : "\u2203!x"),
                       lRest.substr(lDigit, 1));
            } else {
                lResult.append(lRest.substr(0, lDigit + 2));
            }
            lPosition += lDigit + 2;
            continue;
        }
        // Negated identities "~x=y" and "~(x=y)".
        const bool lBare = lRest.size() >= 4 && lRest[0] == '~' && IsLower(lRest[1]) &&
                           lRest[2] == '=' && IsLower(lRest[3]);
        const bool lWrapped = lRest.size() >= 6 && lRest.substr(0, 2) == "~(" &&
                              IsLower(lRest[2]) && lRest[3] == '=' && IsLower(lRest[4]) &&
                              lRest[5] == ')';
        if (lRespell && (lBare || lWrapped)) {
            const std::string lLetters{lRest[lBare ? 1 : 2], lRest[lBare ? 3 : 4]};
            lResult += lWrapped ? "(" : "";
            lWrite(IndexOf("x\u2260y"), lLetters);
            lResult += lWrapped ? ")" : "";
            lPosition += lBare ? 4 : 6;
            continue;
        }
        bool lDone = false;
        for (const std::string_view lAscii :
             {"<=>", ".'.", "->", "-<", "<>", "[]", "&", "|", "!", "^", "~"}) {
            if (lRest.substr(0, lAscii.size()) == lAscii) {
                if (lRespell) {
                    lWriteAnyOf(lAscii);
                } else {
                    lResult.append(lAscii);
                }
                lPosition += lAscii.size();
                lDone = true;
                break;
            }
        }
        if (!lDone) {
            lResult += aLine[lPosition++];
        }
    }
    lResult.append(lLine.substr(lComment));
    return lResult;
}

std::vector<std::string> WithLogicSymbols(const std::vector<std::string>& aLines,
                                          std::mt19937_64& aRandom) {
    std::vector<std::string> lResult;
    lResult.reserve(aLines.size());
    for (const std::string& lLine : aLines) {
        lResult.push_back(WithLogicSymbols(lLine, aRandom));
    }
    return lResult;
}

} // namespace Logic::Differential
