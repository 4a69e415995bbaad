#pragma once
// A cancellation signal shared by runs of outside programs: fired by any thread, or by itself
// once its time limit has passed. A run waits on it for its own condition or the signal.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

namespace Logic {

class CancellationSignal {
public:
    using Clock = std::chrono::steady_clock;

    /// Fires by itself aLimit after construction; without a limit, only when told to.
    explicit CancellationSignal(std::optional<std::chrono::milliseconds> aLimit = std::nullopt);
    CancellationSignal(const CancellationSignal&) = delete;
    CancellationSignal& operator=(const CancellationSignal&) = delete;

    /// Fires the signal. Safe from any thread; firing again changes nothing.
    void Cancel();
    /// True once fired or once the time limit has passed.
    bool IsCancellationRequested() const;
    /// Wakes every waiter so that it looks at its condition again. Whoever makes a waiter's
    /// condition true calls this afterwards.
    void Notify();
    /// Waits until aDone() gives true (returns true) or the signal fires (returns false),
    /// whichever is seen first; aDone is asked first, so a condition already true wins.
    bool WaitFor(const std::function<bool()>& aDone);

private:
    bool FiredLocked() const;

    mutable std::mutex mMutex;
    std::condition_variable mChanged;
    bool mCancelled = false;
    std::optional<Clock::time_point> mDeadline;
};

} // namespace Logic
