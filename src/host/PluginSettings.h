#pragma once
// The plugin's own settings, kept in Quendral.ini in the folder the editor gives its plugins for
// their settings (NPPM_GETPLUGINSCONFIGDIR). The file is text, one setting a line:
//
//   [Quendral]
//   ShowExamplesAndCounterexamples=1
//   ResultsInDockedPanel=0
//
// A setting that is missing or unreadable keeps its default (off); a missing, unreadable or
// damaged file gives the defaults. Saving that fails leaves the file as it was.

#include <windows.h>

#include <string>
#include <string_view>

namespace Logic::Npp {

struct PluginSettings {
    static constexpr const wchar_t* FileName = L"Quendral.ini";
    static constexpr const char* ExplainKey = "ShowExamplesAndCounterexamples";
    static constexpr const char* DockedKey = "ResultsInDockedPanel";

    /// Decisions add the example and counterexample that show their verdict.
    bool mShowExamples = false;
    /// Results go to a docking panel of the editor instead of the results window.
    bool mResultsInDockedPanel = false;

    bool operator==(const PluginSettings&) const = default;

    /// The settings that aText holds; what it does not hold readably keeps its default.
    static PluginSettings Parse(std::string_view aText);
    /// The text of the file.
    std::string Format() const;

    /// The file's path in the editor aHost's plugin settings folder; empty when the editor has
    /// no such folder to give. Never fails.
    static std::wstring PathIn(HWND aHost) noexcept;
    /// The settings in the file at aPath; the defaults for an empty path or a file that cannot
    /// be read. Never fails.
    static PluginSettings Load(const std::wstring& aPath) noexcept;
    /// Writes the file at aPath whole, in place of the old one; false when that failed, and then
    /// the old file is as it was. Never fails otherwise.
    bool Save(const std::wstring& aPath) const noexcept;
};

} // namespace Logic::Npp
