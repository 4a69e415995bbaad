#include "cli/ConsoleFrontEnd.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "model/EngineException.h"
#include "platform/Platform.h"

namespace Logic::Cli {

void ConsoleResultsWindow::AppendLine(const std::string& aLine) {
    if (!mEcho) {
        return;
    }
    std::fwrite(aLine.data(), 1, aLine.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void ConsoleMessageBox::Show(const std::string& aText) {
    const std::string lLine = mWriter ? mWriter(aText) : aText;
    std::fprintf(stderr, "%s\n", lLine.c_str());
    std::fflush(stderr);
}

void KeepingImageViewer::Open(const std::string& aPath) {
    std::error_code lError;
    if (std::filesystem::absolute(aPath, lError) != std::filesystem::absolute(mOutputPath, lError)) {
        std::filesystem::copy_file(aPath, mOutputPath,
                                   std::filesystem::copy_options::overwrite_existing, lError);
        if (lError) {
            throw EngineException("Cannot write the picture to \"{0}\": {1}", mOutputPath,
                                  lError.message());
        }
    }
    mKeptPath = mOutputPath;
    if (mView) {
        Platform::OpenWithDefaultApplication(mOutputPath);
    }
}

} // namespace Logic::Cli
