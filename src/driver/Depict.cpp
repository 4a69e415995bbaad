// The depiction commands' shared routine: the formula tree as a picture drawn by Graphviz dot.

#include <algorithm>

#include "driver/MainForm.h"
#include "model/Matrix.h"
#include "parser/Parser.h"
#include "platform/ChildProcess.h"
#include "platform/LargeStack.h"

namespace Logic {

namespace {
constexpr const char* DepictionFailed = "Depiction failed for some reason.";
} // namespace

void DefaultApplicationViewer::Open(const std::string& aPath) {
    Platform::OpenWithDefaultApplication(aPath);
}

std::string MainForm::ImageFileName(const std::string& aFileName) {
    if (aFileName.empty()) {
        return aFileName;
    }
    std::string lStem = aFileName;
    size_t lPoint = aFileName.find_last_of(".\\/:");
    if (lPoint != std::string::npos && aFileName[lPoint] == '.') {
        lStem.erase(lPoint);
    }
    return lStem + "." + ImageFileNameExtension;
}

CommandOutcome MainForm::Depict(const std::string& aFileName, const std::string& aText) {
    return DepictWith(aFileName, [&aText] {
        std::string lDOT;
        // The tree is built, rendered and dropped on the large stack: all three recurse.
        RunWithLargeStack([&] { lDOT = Parser::Parse(SplitLines(aText))->GraphvizDOT(); });
        return lDOT;
    });
}

CommandOutcome MainForm::DepictWith(const std::string& aFileName,
                                  const std::function<std::string()>& aMakeDOT) {
    try {
        std::string lImageName = ImageFileName(aFileName);
        if (lImageName.empty()) {
            // No name to write to: dot would have nowhere to put the picture.
            mMessageBox->Show(DepictionFailed);
            return CommandOutcome::Failed;
        }
        std::string lTemporary = Platform::TemporaryDirectory();
        std::string lImagePath =
            Platform::IsAbsolutePath(lImageName) ? lImageName : lTemporary + lImageName;

        Platform::ProcessStartInfo lStartInfo;
        lStartInfo.mProgram = dot;
        // No shell splits these, so the name needs no quotes to stay one argument.
        lStartInfo.mArguments = {Format("-T{0}", ImageFileNameExtension),
                                 Format("-o{0}", lImageName)};
        lStartInfo.mWorkingDirectory = lTemporary;
        lStartInfo.mRedirectStandardInput = true;
        // dot writes nothing there on success; whatever it does write must not mix with results.
        lStartInfo.mStandardOutput = Platform::OutputRoute::StandardError;
        Platform::ChildProcess lDot(lStartInfo);

        // A failure here abandons dot; closing its input when lDot goes lets it end.
        std::string lDOT = aMakeDOT();
        lDot.WriteToStandardInput(lDOT);
        lDot.CloseStandardInput();
        lDot.WaitForExit(TimeLimitForDepiction);
        if (lDot.ExitCode() != 0 || !Platform::FileExists(lImagePath)) {
            mMessageBox->Show(DepictionFailed);
            return CommandOutcome::Failed;
        }
        mImageViewer->Open(lImagePath);
        if (std::find(gFilesToDelete.begin(), gFilesToDelete.end(), lImagePath) ==
            gFilesToDelete.end()) {
            gFilesToDelete.push_back(lImagePath);
        }
        return CommandOutcome::Succeeded;
    } catch (const std::exception& lFailure) {
        NoteFailurePlace(lFailure);
        mMessageBox->Show(lFailure.what());
    } catch (...) {
        mMessageBox->Show(DepictionFailed);
    }
    return CommandOutcome::Failed;
}

void MainForm::Cleanup() {
    for (const std::string& lPath : gFilesToDelete) {
        Platform::RemoveFile(lPath);
    }
}

} // namespace Logic
