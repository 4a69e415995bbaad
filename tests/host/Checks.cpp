#include "Checks.h"

#include <windows.h>

#include <cstdio>

namespace Logic::Testing {

std::string Utf8(std::wstring_view aText) {
    if (aText.empty()) {
        return {};
    }
    int lLength = WideCharToMultiByte(CP_UTF8, 0, aText.data(), static_cast<int>(aText.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string lResult(static_cast<std::size_t>(lLength), '\0');
    WideCharToMultiByte(CP_UTF8, 0, aText.data(), static_cast<int>(aText.size()), lResult.data(),
                        lLength, nullptr, nullptr);
    return lResult;
}

std::wstring Utf16(std::string_view aText) {
    if (aText.empty()) {
        return {};
    }
    int lLength =
        MultiByteToWideChar(CP_UTF8, 0, aText.data(), static_cast<int>(aText.size()), nullptr, 0);
    std::wstring lResult(static_cast<std::size_t>(lLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, aText.data(), static_cast<int>(aText.size()), lResult.data(),
                        lLength);
    return lResult;
}

namespace {

template <typename Unit>
std::string QuotedUnits(std::basic_string_view<Unit> aText, const char* aWideFormat) {
    std::string lResult = "\"";
    for (Unit lUnit : aText) {
        auto lCode = static_cast<unsigned long>(static_cast<std::make_unsigned_t<Unit>>(lUnit));
        char lEscape[16];
        if (lCode == '\r') {
            lResult += "\\r";
        } else if (lCode == '\n') {
            lResult += "\\n";
        } else if (lCode == '\\' || lCode == '"') {
            lResult += '\\';
            lResult += static_cast<char>(lCode);
        } else if (lCode < 0x20 || lCode >= 0x7F) {
            std::snprintf(lEscape, sizeof lEscape, aWideFormat, lCode);
            lResult += lEscape;
        } else {
            lResult += static_cast<char>(lCode);
        }
    }
    return lResult + "\"";
}

} // namespace

std::string Quoted(std::wstring_view aText) {
    return QuotedUnits(aText, "\\u%04lX");
}
std::string Quoted(std::string_view aBytes) {
    return QuotedUnits(aBytes, "\\x%02lX");
}

void PrintLine(const std::string& aLine) {
    std::string lLine = aLine + "\n";
    std::fwrite(lLine.data(), 1, lLine.size(), stdout);
    std::fflush(stdout);
}

bool Checks::Check(bool aCondition, const std::string& aWhat, const std::string& aDetails) {
    if (aCondition) {
        ++mPassed;
        return true;
    }
    ++mFailed;
    PrintLine("FAIL [" + mScenario + "] " + aWhat + (aDetails.empty() ? "" : ": " + aDetails));
    return false;
}

bool Checks::Equal(std::wstring_view aActual, std::wstring_view aExpected,
                   const std::string& aWhat) {
    return Check(aActual == aExpected, aWhat,
                 "got " + Quoted(aActual) + ", expected " + Quoted(aExpected));
}

bool Checks::Equal(long long aActual, long long aExpected, const std::string& aWhat) {
    return Check(aActual == aExpected, aWhat,
                 "got " + std::to_string(aActual) + ", expected " + std::to_string(aExpected));
}

void Checks::SetActivity(std::string aActivity) {
    mActivity = std::move(aActivity);
    if (gReportActivities) {
        PrintLine("@ " + mActivity);
    }
}

void Checks::Note(const std::string& aText) const {
    PrintLine("[" + mScenario + "] " + aText);
}

std::string Checks::Summary() const {
    return std::to_string(mPassed) + " passed, " + std::to_string(mFailed) + " failed";
}

} // namespace Logic::Testing
