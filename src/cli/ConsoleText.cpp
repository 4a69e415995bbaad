#include "cli/ConsoleText.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "platform/Win32Text.h"
#endif

namespace Logic::Cli {

#ifdef _WIN32

Utf8Console::Utf8Console() {
    // Zero when the process has no console (output to a pipe or a file): then nothing changes.
    mPreviousOutputCodePage = GetConsoleOutputCP();
    if (mPreviousOutputCodePage != 0 && mPreviousOutputCodePage != CP_UTF8) {
        SetConsoleOutputCP(CP_UTF8);
    }
    _setmode(_fileno(stdin), _O_BINARY);
}

Utf8Console::~Utf8Console() {
    // The code page belongs to the console, which outlives the tool.
    if (mPreviousOutputCodePage != 0 && mPreviousOutputCodePage != CP_UTF8) {
        std::fflush(stdout);
        std::fflush(stderr);
        SetConsoleOutputCP(mPreviousOutputCodePage);
    }
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int lCount = 0;
    wchar_t** lWide = CommandLineToArgvW(GetCommandLineW(), &lCount);
    if (lWide == nullptr) {
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    }
    std::vector<std::string> lArguments;
    for (int i = 1; i < lCount; ++i) {
        lArguments.push_back(Platform::Narrow(lWide[i]));
    }
    LocalFree(lWide);
    return lArguments;
}

std::FILE* OpenForReading(const std::filesystem::path& aPath) {
    return _wfopen(aPath.c_str(), L"rb");
}

#else

Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::FILE* OpenForReading(const std::filesystem::path& aPath) {
    return std::fopen(aPath.c_str(), "rb");
}

#endif

std::filesystem::path PathFromUtf8(const std::string& aPath) {
    return std::filesystem::path(std::u8string(aPath.begin(), aPath.end()));
}

std::string FileNameInUtf8(const std::filesystem::path& aPath) {
    const std::u8string lName = aPath.filename().u8string();
    return std::string(lName.begin(), lName.end());
}

} // namespace Logic::Cli
