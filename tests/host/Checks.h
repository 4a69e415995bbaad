#pragma once
// Counting, printing and describing the checks of one fake-host run.

#include <string>
#include <string_view>

namespace Logic::Testing {

/// UTF-8 of a UTF-16 text, for printing.
std::string Utf8(std::wstring_view aText);
/// UTF-16 of a UTF-8 text.
std::wstring Utf16(std::string_view aText);
/// aText in double quotes, control characters and non-ASCII shown as escapes, so that a difference
/// of one carriage return or one code unit is visible.
std::string Quoted(std::wstring_view aText);
std::string Quoted(std::string_view aBytes);

/// Writes aLine and a line feed to standard output at once, so that nothing is lost when the
/// process dies right after.
void PrintLine(const std::string& aLine);

class Checks {
public:
    explicit Checks(std::string aScenario) : mScenario(std::move(aScenario)) {}

    /// Records one check; prints it when it failed. Returns aCondition.
    bool Check(bool aCondition, const std::string& aWhat, const std::string& aDetails = {});
    bool Equal(std::wstring_view aActual, std::wstring_view aExpected, const std::string& aWhat);
    bool Equal(long long aActual, long long aExpected, const std::string& aWhat);

    /// Prints a line that is no check (a figure, a remark).
    void Note(const std::string& aText) const;

    /// What the run is doing, named in the report if the process dies during it. With
    /// ReportActivities, also printed as a line "@ activity" for a parent process that may have
    /// to name it when this process hangs.
    void SetActivity(std::string aActivity);
    static inline bool gReportActivities = false;
    const std::string& Activity() const { return mActivity; }
    const std::string& Scenario() const { return mScenario; }

    int Passed() const { return mPassed; }
    int Failed() const { return mFailed; }
    /// The closing line: "N passed, N failed".
    std::string Summary() const;

private:
    std::string mScenario;
    std::string mActivity;
    int mPassed = 0;
    int mFailed = 0;
};

} // namespace Logic::Testing
