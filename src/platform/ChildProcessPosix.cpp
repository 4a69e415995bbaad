#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <pthread.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>
#include <algorithm>

#include "model/EngineException.h"
#include "platform/Platform.h"

namespace Logic::Platform {

namespace {
void CloseDescriptor(int& aDescriptor) {
    if (aDescriptor >= 0) {
        close(aDescriptor);
        aDescriptor = -1;
    }
}

struct Pipe {
    int mRead = -1;
    int mWrite = -1;
    Pipe() = default;
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    ~Pipe() {
        CloseDescriptor(mRead);
        CloseDescriptor(mWrite);
    }
    void Open() {
        int lEnds[2];
        if (pipe2(lEnds, O_CLOEXEC) != 0) {
            throw EngineException("Cannot create a pipe: {0}", std::strerror(errno));
        }
        mRead = lEnds[0];
        mWrite = lEnds[1];
    }
    int TakeRead() { return std::exchange(mRead, -1); }
    int TakeWrite() { return std::exchange(mWrite, -1); }
};

int ExitCodeOf(int aStatus) {
    if (WIFEXITED(aStatus)) {
        return WEXITSTATUS(aStatus);
    }
    if (WIFSIGNALED(aStatus)) {
        return 128 + WTERMSIG(aStatus);
    }
    return -1;
}
} // namespace

ChildProcess::ChildProcess(const ProcessStartInfo& aStartInfo) : mProgram(aStartInfo.mProgram) {
    std::string lExecutable = FindProgram(aStartInfo.mProgram);
    if (lExecutable.empty()) {
        throw EngineException("Cannot start \"{0}\": the program was not found.",
                              aStartInfo.mProgram);
    }
    // The working directory changes before exec, so a program found relative to the current
    // directory must be made absolute first.
    if (lExecutable.front() != '/') {
        char lCurrent[4096];
        if (getcwd(lCurrent, sizeof lCurrent) != nullptr) {
            lExecutable = std::string(lCurrent) + "/" + lExecutable;
        }
    }
    std::vector<std::string> lArgumentTexts;
    lArgumentTexts.push_back(lExecutable);
    lArgumentTexts.insert(lArgumentTexts.end(), aStartInfo.mArguments.begin(),
                          aStartInfo.mArguments.end());
    std::vector<char*> lArguments;
    for (auto& lText : lArgumentTexts) {
        lArguments.push_back(lText.data());
    }
    lArguments.push_back(nullptr);
    const char* lDirectory =
        aStartInfo.mWorkingDirectory.empty() ? nullptr : aStartInfo.mWorkingDirectory.c_str();

    Pipe lInput, lOutput, lFailure;
    if (aStartInfo.mRedirectStandardInput) {
        lInput.Open();
    }
    if (aStartInfo.mStandardOutput == OutputRoute::Pipe) {
        lOutput.Open();
    }
    lFailure.Open();
    bool lOutputToError = aStartInfo.mStandardOutput == OutputRoute::StandardError;

    pid_t lChild = fork();
    if (lChild < 0) {
        throw EngineException("Cannot start \"{0}\": {1}", mProgram, std::strerror(errno));
    }
    if (lChild == 0) {
        // Only async-signal-safe calls from here on. A failure is reported through lFailure,
        // which exec closes on success.
        int lStep = 0;
        if (lDirectory != nullptr && chdir(lDirectory) != 0) {
            lStep = 1;
        } else if (lInput.mRead >= 0 && dup2(lInput.mRead, 0) < 0) {
            lStep = 2;
        } else if (lOutput.mWrite >= 0 && dup2(lOutput.mWrite, 1) < 0) {
            lStep = 2;
        } else if (lOutputToError && dup2(2, 1) < 0) {
            lStep = 2;
        } else {
            signal(SIGPIPE, SIG_DFL);
            execv(lArguments[0], lArguments.data());
            lStep = 3;
        }
        int lReport[2] = {lStep, errno};
        ssize_t lIgnored = write(lFailure.mWrite, lReport, sizeof lReport);
        (void)lIgnored;
        _exit(127);
    }
    mId = lChild;
    CloseDescriptor(lFailure.mWrite);
    int lReport[2] = {0, 0};
    ssize_t lRead;
    do {
        lRead = read(lFailure.mRead, lReport, sizeof lReport);
    } while (lRead < 0 && errno == EINTR);
    if (lRead > 0) {
        int lStatus = 0;
        while (waitpid(lChild, &lStatus, 0) < 0 && errno == EINTR) {
        }
        mExited = true;
        const char* lWhat = lReport[0] == 1 ? "cannot enter the working directory"
                            : lReport[0] == 2 ? "cannot connect its standard streams"
                                              : "cannot run the program";
        throw EngineException("Cannot start \"{0}\": {1}: {2}", mProgram, lWhat,
                              std::strerror(lReport[1]));
    }
    CloseDescriptor(lInput.mRead);
    CloseDescriptor(lOutput.mWrite);
    mStandardInput = lInput.TakeWrite();
    mStandardOutput = lOutput.TakeRead();
}

ChildProcess::~ChildProcess() {
    CloseDescriptor(mStandardInput);
    CloseDescriptor(mStandardOutput);
    if (mId > 0 && !HasExited()) {
        // Nobody waits for it any more; reap it when it ends so it leaves no zombie.
        std::thread([lId = mId] {
            int lStatus = 0;
            while (waitpid(lId, &lStatus, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    }
}

void ChildProcess::WriteToStandardInput(std::string_view aText) {
    if (mStandardInput < 0) {
        throw EngineException("Cannot write to \"{0}\": its standard input is not open.",
                              mProgram);
    }
    // A child that stops reading must give a failure here, not end this process: SIGPIPE is
    // blocked for this thread while writing, and a pending one is taken back afterwards.
    sigset_t lPipeSignal, lPrevious;
    sigemptyset(&lPipeSignal);
    sigaddset(&lPipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &lPipeSignal, &lPrevious);
    int lError = 0;
    while (!aText.empty()) {
        ssize_t lWritten = write(mStandardInput, aText.data(), aText.size());
        if (lWritten < 0) {
            if (errno == EINTR) {
                continue;
            }
            lError = errno;
            break;
        }
        aText.remove_prefix(static_cast<size_t>(lWritten));
    }
    if (lError == EPIPE) {
        timespec lNoWait{0, 0};
        sigtimedwait(&lPipeSignal, nullptr, &lNoWait);
    }
    pthread_sigmask(SIG_SETMASK, &lPrevious, nullptr);
    if (lError != 0) {
        throw EngineException("Cannot write to \"{0}\": {1}", mProgram, std::strerror(lError));
    }
}

void ChildProcess::CloseStandardInput() { CloseDescriptor(mStandardInput); }

std::string ChildProcess::ReadStandardOutputToEnd() {
    std::string lText;
    if (mStandardOutput < 0) {
        return lText;
    }
    char lBuffer[65536];
    while (true) {
        ssize_t lRead = read(mStandardOutput, lBuffer, sizeof lBuffer);
        if (lRead < 0 && errno == EINTR) {
            continue;
        }
        if (lRead <= 0) {
            break;
        }
        lText.append(lBuffer, static_cast<size_t>(lRead));
    }
    CloseDescriptor(mStandardOutput);
    return lText;
}

bool ChildProcess::HasExited() {
    if (mExited || mId <= 0) {
        return true;
    }
    int lStatus = 0;
    pid_t lResult;
    do {
        lResult = waitpid(mId, &lStatus, WNOHANG);
    } while (lResult < 0 && errno == EINTR);
    if (lResult == mId) {
        mExited = true;
        mExitCode = ExitCodeOf(lStatus);
    } else if (lResult < 0) {
        // Reaped elsewhere: its code is lost, and it certainly did not succeed for us.
        mExited = true;
        mExitCode = -1;
    }
    return mExited;
}

bool ChildProcess::WaitForExit(int aMilliseconds) {
    auto lDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(aMilliseconds);
    auto lPause = std::chrono::microseconds(200);
    while (!HasExited()) {
        if (std::chrono::steady_clock::now() >= lDeadline) {
            return false;
        }
        std::this_thread::sleep_for(lPause);
        lPause = std::min(lPause * 2, std::chrono::microseconds(20000));
    }
    return true;
}

int ChildProcess::ExitCode() {
    if (!HasExited()) {
        throw EngineException("Process \"{0}\" has not exited yet.", mProgram);
    }
    return mExitCode;
}

void ChildProcess::Kill() {
    if (!HasExited()) {
        kill(mId, SIGKILL);
    }
}

} // namespace Logic::Platform
