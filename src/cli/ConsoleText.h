#pragma once
// The tool's text is UTF-8 on every platform. On Windows the console, the command line and file
// names speak other encodings by default; these put UTF-8 at that boundary. Elsewhere they pass
// everything through.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace Logic::Cli {

/// While it lives, the console (when there is one) shows the bytes written as UTF-8, and
/// standard input is read as bytes, as a file is: no line endings turned over, no end at
/// Ctrl+Z. Standard output keeps the system's line endings (CR LF on Windows).
class Utf8Console {
public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    /// The console's output code page before, on Windows; 0: nothing to give back.
    [[maybe_unused]] unsigned mPreviousOutputCodePage = 0;
};

/// The program's arguments after its name, in UTF-8: on Windows read again from the wide command
/// line, since argv holds them in the ANSI code page, which cannot name every file.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

/// aPath, a path in UTF-8, as a path of the file system.
std::filesystem::path PathFromUtf8(const std::string& aPath);
/// aPath's last part in UTF-8.
std::string FileNameInUtf8(const std::filesystem::path& aPath);
/// Opens aPath for reading bytes; null when it cannot.
std::FILE* OpenForReading(const std::filesystem::path& aPath);

} // namespace Logic::Cli
