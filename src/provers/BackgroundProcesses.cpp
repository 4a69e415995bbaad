#include "provers/BackgroundProcesses.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <optional>

#include "model/EngineException.h"
#include "platform/Diagnostics.h"
#include "platform/Platform.h"
#include "platform/Workers.h"

namespace Logic {

namespace {
void WriteKillingDiagnostic(const std::exception& aFailure) {
    Diagnostics::WriteLine(std::string("killing: ") + aFailure.what());
}

/// Ends whatever of the program still runs and collects it; no trace of it stays.
void Release(Platform::ChildProcess& aProcess) {
    try {
        aProcess.Terminate();
    } catch (const std::exception& lFailure) {
        WriteKillingDiagnostic(lFailure);
    }
}
} // namespace

std::unique_ptr<Platform::ChildProcess>
BackgroundProcesses::SetBackgroundProcessRunning(const ShellParameters& aParameters,
                                                 std::function<void()> aOutputClosed) {
    Platform::ProcessStartInfo lStartInfo;
    lStartInfo.mProgram = aParameters.Executable;
    lStartInfo.mArguments = aParameters.ArgumentList();
    lStartInfo.mWorkingDirectory = Platform::TemporaryDirectory();
    lStartInfo.mRedirectStandardInput = true;
    lStartInfo.mStandardOutput = Platform::OutputRoute::Pipe;
    // A host that ends in the middle of a run (no chance to stop it) takes the programs along.
    lStartInfo.mEndsWithThisProcess = true;
    auto lProcess = std::make_unique<Platform::ChildProcess>(lStartInfo);
    try {
        lProcess->BeginExchange(aParameters.StandardInput + LineBreak, std::move(aOutputClosed));
    } catch (...) {
        Release(*lProcess);
        throw;
    }
    return lProcess;
}

void BackgroundProcesses::AttemptToKill(Platform::ChildProcess& aProcess) {
    try {
        aProcess.Kill();
    } catch (const std::exception& lFailure) {
        WriteKillingDiagnostic(lFailure);
    }
}

BackgroundProcesses::Run BackgroundProcesses::ExcuteUntilExitOrCancellation(
    std::shared_ptr<CancellationSignal> aCancellationToken, ShellParameters aShellParameters,
    OutputHandler aActOnProcessOutput) {
    return [lSignal = std::move(aCancellationToken), lParameters = std::move(aShellParameters),
            lHandler = std::move(aActOnProcessOutput)] {
        auto lProcess = SetBackgroundProcessRunning(lParameters, [lSignal] { lSignal->Notify(); });
        struct Releaser {
            Platform::ChildProcess& mProcess;
            ~Releaser() { Release(mProcess); }
        } lReleaser{*lProcess};

        std::optional<int> lGrace;
        if (!lSignal->WaitFor([&] { return lProcess->ExchangeFinished(); })) {
            AttemptToKill(*lProcess);
            lGrace = OutputGraceAfterKill;
        }
        std::string lOutput = lProcess->EndExchange(lGrace);
        lHandler(lOutput);
    };
}

void BackgroundProcesses::RunTogether(const std::vector<Run>& aRuns) {
    std::atomic<size_t> lNext{0};
    std::vector<std::optional<std::string>> lFailures(aRuns.size());
    const auto fWorker = [&] {
        for (size_t lIndex = lNext++; lIndex < aRuns.size(); lIndex = lNext++) {
            try {
                aRuns[lIndex]();
            } catch (const std::exception& lFailure) {
                lFailures[lIndex] = lFailure.what();
            } catch (...) {
                lFailures[lIndex] = "An unknown failure occurred.";
            }
        }
    };
    // One worker per run; should the system refuse threads, the workers it gave take turns.
    RunOnWorkers(static_cast<unsigned>(std::max<size_t>(aRuns.size(), 1)), fWorker);
    std::vector<std::string> lMessages;
    for (auto& lFailure : lFailures) {
        if (lFailure) {
            lMessages.push_back(std::move(*lFailure));
        }
    }
    if (!lMessages.empty()) {
        throw EngineException(CombinedFailure(lMessages, aRuns.size()));
    }
}

std::string BackgroundProcesses::CombinedFailure(const std::vector<std::string>& aMessages,
                                                 size_t aRuns) {
    std::string lText = Format("{0} of {1} runs failed:", aMessages.size(), aRuns);
    std::vector<std::string> lDistinct;
    for (const std::string& lMessage : aMessages) {
        if (std::find(lDistinct.begin(), lDistinct.end(), lMessage) == lDistinct.end()) {
            lDistinct.push_back(lMessage);
            lText += " " + lMessage;
        }
    }
    return lText;
}

} // namespace Logic
