#pragma once
// The plugin's lexer as Notepad++ 8.4 and later use it: found through its three exports and
// asked to style documents of the fake editor through the fake host's own IDocument.

#include <string>

namespace Logic::Testing {

inline constexpr const wchar_t* LexerScenarioName = L"lexer";

/// The lexer's checks, in this process; prints the summary and gives the exit code.
int RunLexerScenario(const std::wstring& aPlugin);
/// A document coloured by the lexer with the style file's colours, on the editor's light or dark
/// background, shown until the file aStopFile exists.
int RunLexerScreenshot(const std::wstring& aPlugin, const std::wstring& aStopFile, bool aDark);

} // namespace Logic::Testing
