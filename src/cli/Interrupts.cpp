#include "cli/Interrupts.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/Shielded.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace Logic::Cli {

namespace {
std::atomic<int> gSignal{0};
std::mutex gStopMutex;
std::function<void()> gStop;

void CallStop() noexcept {
    Shielded("interrupt", [] {
        std::lock_guard lLock(gStopMutex);
        if (gStop) {
            gStop();
        }
    });
}
} // namespace

int StopOnInterrupt::Signal() const {
    return gSignal.load();
}

#ifdef _WIN32

namespace {
BOOL WINAPI OnConsoleEvent(DWORD aEvent) {
    if (aEvent != CTRL_C_EVENT && aEvent != CTRL_BREAK_EVENT && aEvent != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    int lNone = 0;
    if (!gSignal.compare_exchange_strong(lNone, SIGINT)) {
        return FALSE;
    }
    // The console calls this on a thread of its own, so the stop can run right here.
    CallStop();
    return TRUE;
}
} // namespace

StopOnInterrupt::StopOnInterrupt(std::function<void()> aStop) {
    {
        std::lock_guard lLock(gStopMutex);
        gStop = std::move(aStop);
    }
    gSignal = 0;
    SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
}

StopOnInterrupt::~StopOnInterrupt() {
    SetConsoleCtrlHandler(&OnConsoleEvent, FALSE);
    std::lock_guard lLock(gStopMutex);
    gStop = nullptr;
}

#else

namespace {
/// The handler's only way out: a byte on this pipe wakes the thread that stops the command
/// (1: stop, 0: the guard is going away).
int gWake[2] = {-1, -1};
struct sigaction gPrevious[2];
constexpr int Handled[2] = {SIGINT, SIGTERM};
std::thread gWatcher;

extern "C" void OnSignal(int aSignal) {
    const int lSavedErrno = errno;
    int lNone = 0;
    if (!gSignal.compare_exchange_strong(lNone, aSignal)) {
        // The second interrupt: the default action, which this handler's return lets happen.
        std::signal(aSignal, SIG_DFL);
        raise(aSignal);
        errno = lSavedErrno;
        return;
    }
    const char lStop = 1;
    ssize_t lIgnored = write(gWake[1], &lStop, 1);
    (void)lIgnored;
    errno = lSavedErrno;
}

void Watch() noexcept {
    while (true) {
        char lByte = 0;
        ssize_t lRead = read(gWake[0], &lByte, 1);
        if (lRead < 0 && errno == EINTR) {
            continue;
        }
        if (lRead <= 0 || lByte == 0) {
            return;
        }
        CallStop();
    }
}
} // namespace

StopOnInterrupt::StopOnInterrupt(std::function<void()> aStop) {
    {
        std::lock_guard lLock(gStopMutex);
        gStop = std::move(aStop);
    }
    gSignal = 0;
    if (pipe2(gWake, O_CLOEXEC) != 0) {
        // Without the pipe interrupts keep their default: the process ends at once.
        gWake[0] = gWake[1] = -1;
        return;
    }
    try {
        gWatcher = std::thread([] { Shielded("interrupt watcher", Watch); });
    } catch (...) {
        close(gWake[0]);
        close(gWake[1]);
        gWake[0] = gWake[1] = -1;
        return;
    }
    for (int lIndex = 0; lIndex < 2; ++lIndex) {
        struct sigaction lAction {};
        lAction.sa_handler = &OnSignal;
        sigemptyset(&lAction.sa_mask);
        lAction.sa_flags = SA_RESTART;
        sigaction(Handled[lIndex], &lAction, &gPrevious[lIndex]);
    }
}

StopOnInterrupt::~StopOnInterrupt() {
    if (gWake[1] < 0) {
        return;
    }
    for (int lIndex = 0; lIndex < 2; ++lIndex) {
        sigaction(Handled[lIndex], &gPrevious[lIndex], nullptr);
    }
    const char lQuit = 0;
    ssize_t lIgnored = write(gWake[1], &lQuit, 1);
    (void)lIgnored;
    if (gWatcher.joinable()) {
        gWatcher.join();
    }
    close(gWake[0]);
    close(gWake[1]);
    gWake[0] = gWake[1] = -1;
    std::lock_guard lLock(gStopMutex);
    gStop = nullptr;
}

#endif

} // namespace Logic::Cli
