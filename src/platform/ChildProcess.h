#pragma once
// A child program started directly (no shell, no console window), with pipes to its standard
// streams where asked for.

#include <string>
#include <string_view>
#include <vector>

namespace Logic::Platform {

enum class OutputRoute {
    Inherit,       ///< the child writes where this process writes
    Pipe,          ///< read it with ReadStandardOutputToEnd
    StandardError  ///< the child's standard output goes to this process's standard error
};

struct ProcessStartInfo {
    /// A program name found through PATH, or a path to the program.
    std::string mProgram;
    std::vector<std::string> mArguments;
    /// Empty: this process's current directory.
    std::string mWorkingDirectory;
    bool mRedirectStandardInput = false;
    OutputRoute mStandardOutput = OutputRoute::Inherit;
};

class ChildProcess {
public:
    /// Starts the program; throws EngineException when it cannot be found or started.
    explicit ChildProcess(const ProcessStartInfo& aStartInfo);
    /// Closes the pipes. A child still running is left to run and reaped when it ends.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    /// Writes all of aText; throws EngineException when the child no longer reads.
    void WriteToStandardInput(std::string_view aText);
    void CloseStandardInput();
    /// Reads the piped standard output until the child closes it.
    std::string ReadStandardOutputToEnd();

    /// Waits at most aMilliseconds; true when the child has ended.
    bool WaitForExit(int aMilliseconds);
    bool HasExited();
    /// The exit code (128 + signal number for a child ended by a signal). Throws
    /// EngineException when the child has not ended yet.
    int ExitCode();
    void Kill();
    int Id() const { return mId; }

private:
    int mId = -1;
#ifdef _WIN32
    void* mProcess = nullptr;
    void* mStandardInput = nullptr;
    void* mStandardOutput = nullptr;
#else
    int mStandardInput = -1;
    int mStandardOutput = -1;
#endif
    bool mExited = false;
    int mExitCode = 0;
    std::string mProgram;
};

} // namespace Logic::Platform
