#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "model/EngineException.h"
#include "platform/Platform.h"
#include "platform/Shielded.h"

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

int ExitCodeOf(const siginfo_t& aInformation) {
    return aInformation.si_code == CLD_EXITED ? aInformation.si_status
                                              : 128 + aInformation.si_status;
}

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
        // Its own process group, so that Kill reaches whatever it starts.
        setpgid(0, 0);
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
    // Also here, so that the group exists before the constructor returns (the child may not
    // have run yet); once the child has run exec this fails harmlessly.
    setpgid(lChild, lChild);
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
        mCollected = true;
        const char* lWhat = lReport[0] == 1   ? "cannot enter the working directory"
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
    if (mExchange.joinable()) {
        char lByte = 0;
        ssize_t lIgnored = write(mAbandon[1], &lByte, 1);
        (void)lIgnored;
        mExchange.join();
    }
    CloseDescriptor(mAbandon[0]);
    CloseDescriptor(mAbandon[1]);
    CloseDescriptor(mStandardInput);
    CloseDescriptor(mStandardOutput);
    if (mId <= 0 || mCollected) {
        return;
    }
    if (HasExited()) {
        Collect();
        return;
    }
    // Nobody waits for it any more; collect it when it ends so it leaves no zombie. Should no
    // thread be had for that, the zombie stays until this process ends.
    Shielded("collecting a child program", [lId = mId] {
        std::thread([lId] {
            int lStatus = 0;
            while (waitpid(lId, &lStatus, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    });
}

void ChildProcess::WriteToStandardInput(std::string_view aText) {
    if (mStandardInput < 0) {
        throw EngineException("Cannot write to \"{0}\": its standard input is not open.", mProgram);
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

void ChildProcess::CloseStandardInput() {
    CloseDescriptor(mStandardInput);
}

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

void ChildProcess::BeginExchange(std::string aInput, std::function<void()> aFinished) {
    if (mStandardInput < 0 || mStandardOutput < 0 || mExchange.joinable()) {
        throw EngineException("Cannot exchange text with \"{0}\": its pipes are not open.",
                              mProgram);
    }
    if (pipe2(mAbandon, O_CLOEXEC) != 0) {
        throw EngineException("Cannot create a pipe: {0}", std::strerror(errno));
    }
    // The writing must never block the reading: the input pipe is ours alone, so making it
    // non-blocking changes nothing for the child.
    fcntl(mStandardInput, F_SETFL, fcntl(mStandardInput, F_GETFL) | O_NONBLOCK);
    mExchange =
        std::thread(&ChildProcess::ExchangeThread, this, std::move(aInput), std::move(aFinished));
}

void ChildProcess::RunExchange(std::string aInput, const std::function<void()>& aFinished) {
    // A child that stops reading must end the writing, not this process.
    sigset_t lPipeSignal;
    sigemptyset(&lPipeSignal);
    sigaddset(&lPipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &lPipeSignal, nullptr);

    std::string_view lUnwritten = aInput;
    std::string lOutput;
    std::string lFailure;
    bool lAbandoned = false;
    if (lUnwritten.empty()) {
        CloseDescriptor(mStandardInput);
    }
    char lBuffer[65536];
    while (true) {
        pollfd lWatched[3];
        nfds_t lCount = 0;
        lWatched[lCount++] = {mAbandon[0], POLLIN, 0};
        lWatched[lCount++] = {mStandardOutput, POLLIN, 0};
        if (mStandardInput >= 0) {
            lWatched[lCount++] = {mStandardInput, POLLOUT, 0};
        }
        if (poll(lWatched, lCount, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            lFailure =
                Format("Cannot read the output of \"{0}\": {1}", mProgram, std::strerror(errno));
            break;
        }
        if (lWatched[0].revents != 0) {
            lAbandoned = true;
            break;
        }
        if (lCount == 3 && lWatched[2].revents != 0) {
            ssize_t lWritten = write(mStandardInput, lUnwritten.data(),
                                     std::min<size_t>(lUnwritten.size(), 65536));
            if (lWritten > 0) {
                lUnwritten.remove_prefix(static_cast<size_t>(lWritten));
            }
            bool lRetry = lWritten < 0 && (errno == EINTR || errno == EAGAIN);
            // Done, or the child reads no more (EPIPE): either way the input is over.
            if (lUnwritten.empty() || (lWritten < 0 && !lRetry)) {
                CloseDescriptor(mStandardInput);
            }
        }
        if (lWatched[1].revents != 0) {
            ssize_t lRead = read(mStandardOutput, lBuffer, sizeof lBuffer);
            if (lRead > 0) {
                lOutput.append(lBuffer, static_cast<size_t>(lRead));
            } else if (lRead == 0) {
                break;
            } else if (errno != EINTR && errno != EAGAIN) {
                lFailure = Format("Cannot read the output of \"{0}\": {1}", mProgram,
                                  std::strerror(errno));
                break;
            }
        }
    }
    // With its output closed the child has nothing more to say; it gets no more input.
    CloseDescriptor(mStandardInput);
    timespec lNoWait{0, 0};
    while (sigtimedwait(&lPipeSignal, nullptr, &lNoWait) > 0) {
    }

    PublishExchange(std::move(lOutput), std::move(lFailure), lAbandoned, aFinished);
}

void ChildProcess::AbandonExchange() {
    char lByte = 0;
    ssize_t lIgnored = write(mAbandon[1], &lByte, 1);
    (void)lIgnored;
}

void ChildProcess::CloseStandardOutput() { CloseDescriptor(mStandardOutput); }

bool ChildProcess::HasExited() {
    if (mExited || mId <= 0) {
        return true;
    }
    // Looked at without collecting it: until it is collected its number stays taken, so its
    // process group can still be killed safely.
    siginfo_t lInformation;
    std::memset(&lInformation, 0, sizeof lInformation);
    int lResult;
    do {
        lResult = waitid(P_PID, static_cast<id_t>(mId), &lInformation, WEXITED | WNOHANG | WNOWAIT);
    } while (lResult < 0 && errno == EINTR);
    if (lResult == 0 && lInformation.si_pid == mId) {
        mExited = true;
        mExitCode = ExitCodeOf(lInformation);
    } else if (lResult < 0) {
        // Collected elsewhere: its code is lost, and it certainly did not succeed for us.
        mExited = true;
        mCollected = true;
        mExitCode = -1;
    }
    return mExited;
}

void ChildProcess::Collect() {
    if (mId <= 0 || mCollected) {
        return;
    }
    int lStatus = 0;
    pid_t lResult;
    do {
        lResult = waitpid(mId, &lStatus, 0);
    } while (lResult < 0 && errno == EINTR);
    if (!mExited) {
        mExitCode = lResult == mId ? ExitCodeOf(lStatus) : -1;
    }
    mExited = true;
    mCollected = true;
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
    if (mId <= 0 || mCollected) {
        // Once collected, the number may already belong to a stranger.
        return;
    }
    // The group first: a program that the child started may hold the output open after the
    // child has ended. The child itself too, in case it left its group.
    int lError = 0;
    if (kill(-mId, SIGKILL) != 0 && errno != ESRCH) {
        lError = errno;
    }
    if (!mExited && kill(mId, SIGKILL) != 0 && errno != ESRCH) {
        lError = errno;
    }
    if (lError != 0) {
        throw EngineException("Cannot kill \"{0}\" (process {1}): {2}", mProgram, mId,
                              std::strerror(lError));
    }
}

void ChildProcess::Terminate() {
    Kill();
    Collect();
}

} // namespace Logic::Platform
