#pragma once
// Outside programs run in the background: started with text on their standard input, their
// whole standard output read, killed on cancellation; and a group that runs such runs side by side.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ChildProcess.h"
#include "provers/CancellationSignal.h"
#include "provers/ShellParameters.h"

namespace Logic {

class BackgroundProcesses {
public:
    using Run = std::function<void()>;
    using OutputHandler = std::function<void(const std::string&)>;

    /// How long a run waits for a killed program's output to close before it examines what it
    /// has: only a program that left the killed tree can hold it open longer.
    static constexpr int OutputGraceAfterKill = 5000;

    /// Starts aParameters.Executable in the temporary directory with its standard input and
    /// output piped, and feeds it StandardInput and one line break while its output is read in
    /// the background; aOutputClosed runs (on another thread) once the output has closed.
    /// Throws EngineException when the program cannot be started.
    static std::unique_ptr<Platform::ChildProcess>
    SetBackgroundProcessRunning(const ShellParameters& aParameters,
                                std::function<void()> aOutputClosed = {});

    /// Kills the process and everything it started if any of it still runs. Never throws: a
    /// failure becomes a "killing: " line on the diagnostics channel.
    static void AttemptToKill(Platform::ChildProcess& aProcess);

    /// A run that starts aShellParameters' program, waits for its output to close or for
    /// aCancellationToken, whichever comes first (killing the program in the second case), and
    /// hands all the output read, partial after a kill, to aActOnProcessOutput. When it ends,
    /// nothing of the program is left running. Building the run starts nothing.
    static Run ExcuteUntilExitOrCancellation(std::shared_ptr<CancellationSignal> aCancellationToken,
                                             ShellParameters aShellParameters,
                                             OutputHandler aActOnProcessOutput);

    /// Starts every run at once, each on a thread of its own (the calling thread takes one),
    /// and waits for all of them. The runs mostly wait for their programs, which the system
    /// shares out over the processors: bounding them by the number of processors would only
    /// make a quick run wait behind slow ones. A failing run does not stop the others; the
    /// failures are then raised as one EngineException.
    static void RunTogether(const std::vector<Run>& aRuns);

    /// The message of the group's failure: how many runs failed, then each distinct message.
    static std::string CombinedFailure(const std::vector<std::string>& aMessages, size_t aRuns);

    /// The line break written after a program's input.
#ifdef _WIN32
    static constexpr const char* LineBreak = "\r\n";
#else
    static constexpr const char* LineBreak = "\n";
#endif
};

} // namespace Logic
