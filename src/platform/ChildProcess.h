#pragma once
// A child program started directly (no shell, no console window), with pipes to its standard
// streams where asked for. Every child heads a tree of its own (a process group on POSIX, a job
// object on Windows), so that killing it also ends whatever it started.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace Logic::Platform {

enum class OutputRoute {
    Inherit,      ///< the child writes where this process writes
    Pipe,         ///< read it with ReadStandardOutputToEnd or an exchange
    StandardError ///< the child's standard output goes to this process's standard error
};

struct ProcessStartInfo {
    /// A program name found through PATH, or a path to the program.
    std::string mProgram;
    std::vector<std::string> mArguments;
    /// Empty: this process's current directory.
    std::string mWorkingDirectory;
    bool mRedirectStandardInput = false;
    OutputRoute mStandardOutput = OutputRoute::Inherit;
    /// On Windows, the child's tree ends once this process ends, however it ends (its job kills
    /// on close), and so also once the ChildProcess goes: for helper programs of no use without
    /// us. On POSIX there is no such guard; whoever runs them must end them.
    bool mEndsWithThisProcess = false;
};

class ChildProcess {
public:
    /// Starts the program; throws EngineException when it cannot be found or started.
    explicit ChildProcess(const ProcessStartInfo& aStartInfo);
    /// Abandons a running exchange and closes the pipes. A child still running is left to run
    /// and reaped when it ends; use Terminate to end it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    /// Writes all of aText; throws EngineException when the child no longer reads.
    void WriteToStandardInput(std::string_view aText);
    void CloseStandardInput();
    /// Reads the piped standard output until the child closes it.
    std::string ReadStandardOutputToEnd();

    /// Starts writing aInput to the standard input, closing it afterwards, while the standard
    /// output is read to its end, on a background thread: a child that echoes a large input can
    /// never block on a full pipe. A child that stops reading its input ends the writing, not
    /// the exchange. aFinished runs on that thread once the output has closed. Needs both
    /// streams piped; one exchange per child, and none beside the calls above.
    void BeginExchange(std::string aInput, std::function<void()> aFinished);
    /// True once the exchange has read the output to its end (or failed to read it).
    bool ExchangeFinished() const;
    /// Waits for the exchange and returns all it read. With aMilliseconds, stops waiting after
    /// that long and returns what was read until then: output that a program outside the
    /// child's tree holds open would otherwise never close. Throws EngineException when the
    /// output could not be read.
    std::string EndExchange(std::optional<int> aMilliseconds = std::nullopt);

    /// Waits at most aMilliseconds; true when the child has ended.
    bool WaitForExit(int aMilliseconds);
    bool HasExited();
    /// The exit code (128 + signal number for a child ended by a signal). Throws
    /// EngineException when the child has not ended yet.
    int ExitCode();
    /// Ends the child and everything it started, at once and without asking: also when the
    /// child itself has ended but a program it started still runs. Throws EngineException when
    /// the system refuses.
    void Kill();
    /// Kill, then wait until the child's end has been collected, so that no trace of it stays.
    void Terminate();
    int Id() const { return mId; }

private:
    /// The exchange thread's entry: RunExchange, and when that fails, its failure published as
    /// the exchange's, so that whoever waits for the exchange hears of it.
    void ExchangeThread(std::string aInput, std::function<void()> aFinished) noexcept;
    void RunExchange(std::string aInput, const std::function<void()>& aFinished);
    /// The exchange's end, on its thread: keeps what was read and wakes EndExchange.
    void PublishExchange(std::string aOutput, std::string aFailure, bool aAbandoned,
                         const std::function<void()>& aFinished);
    /// The exchange's end after a failure of its own; wakes EndExchange, which raises it.
    void FailExchange(const char* aMessage, const std::function<void()>& aFinished);
    /// Makes a running exchange give up (it reads on until told).
    void AbandonExchange();
    void CloseStandardOutput();
    void Collect();

    int mId = -1;
    std::string mProgram;
    bool mExited = false;
    bool mCollected = false;
    int mExitCode = 0;

    mutable std::mutex mExchangeMutex;
    std::condition_variable mExchangeEnded;
    bool mExchangeEnding = false;
    bool mExchangeAbandoned = false;
    std::string mExchangeOutput;
    std::string mExchangeFailure;
    std::thread mExchange;

#ifdef _WIN32
    void* mProcess = nullptr;
    void* mJob = nullptr;
    void* mStandardInput = nullptr;
    void* mStandardOutput = nullptr;
    /// Set to make a running exchange give up.
    void* mAbandon = nullptr;
#else
    int mStandardInput = -1;
    int mStandardOutput = -1;
    /// Written to make a running exchange give up.
    int mAbandon[2] = {-1, -1};
#endif
};

} // namespace Logic::Platform
