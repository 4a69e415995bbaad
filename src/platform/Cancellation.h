#pragma once
// Cancellation of long computations: a stop request, a time limit and a limit on the steps of
// work, shared by every thread of one command. The command installs it on its thread with a
// Scope; the threads that run deep or parallel work carry it over (RunWithLargeStack and the
// decision's parallel loop), and the loops of the decision and the coefficient algebra call
// CheckCancellation between their steps. With no Cancellation installed a check costs one
// thread-local read.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace Logic {

/// Raised by a check once the computation has been stopped; its message says why.
class CancelledException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Cancellation {
public:
    using Clock = std::chrono::steady_clock;

    Cancellation() = default;
    Cancellation(const Cancellation&) = delete;
    Cancellation& operator=(const Cancellation&) = delete;

    /// Stops the computation aLimit after this call.
    void SetTimeLimit(std::chrono::milliseconds aLimit);
    /// Stops the computation after aSteps steps of work, counted over all its threads.
    void SetWorkLimit(uint64_t aSteps);
    /// Stops the computation at its next check; callable from any thread.
    void RequestStop() noexcept;

    /// Counts aSteps of work; throws CancelledException once a stop was requested, the time
    /// is up or the work limit is used. The clock is read only every few hundred steps.
    void Check(uint64_t aSteps = 1);
    /// Whether a check would throw, as far as is known without reading the clock.
    bool Stopped() const noexcept;

    /// Calls aAction once when the computation is stopped (at once if it already has been), on
    /// the thread that stops it, until the returned Subscription ends. For waits that no check
    /// interrupts, such as a child program's output: the action ends the wait. It must be quick
    /// and must not subscribe or unsubscribe; a failure it raises is dropped.
    class Subscription;
    [[nodiscard]] Subscription OnStop(std::function<void()> aAction);

    /// The cancellation installed on the calling thread, or null.
    static Cancellation* Current() noexcept;

    /// Installs a cancellation (null: none) on the calling thread for its lifetime.
    class Scope {
    public:
        explicit Scope(Cancellation* aCancellation) noexcept;
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Cancellation* mPrevious;
    };

private:
    friend class Subscription;
    void Unsubscribe(uint64_t aKey) noexcept;

    enum class Reason : uint8_t { None, Requested, Time, Work };

    [[noreturn]] void Throw() const;
    void Stop(Reason aReason) noexcept;

    std::atomic<Reason> mReason{Reason::None};
    std::optional<Clock::time_point> mDeadline;
    std::chrono::milliseconds mTimeLimit{0};
    uint64_t mWorkLimit = 0;
    std::atomic<uint64_t> mSteps{0};

    std::mutex mActionsMutex;
    std::vector<std::pair<uint64_t, std::function<void()>>> mActions;
    uint64_t mNextAction = 0;
    /// Set under the mutex once the actions have been called: later ones are called at once.
    bool mActionsCalled = false;
};

/// Keeps an OnStop action registered for its lifetime; once it has ended, the action is not
/// running and will not be called.
class Cancellation::Subscription {
public:
    Subscription() = default;
    Subscription(Cancellation* aOwner, uint64_t aKey) noexcept : mOwner(aOwner), mKey(aKey) {}
    Subscription(Subscription&& aOther) noexcept
        : mOwner(std::exchange(aOther.mOwner, nullptr)), mKey(aOther.mKey) {}
    Subscription& operator=(Subscription&&) = delete;
    ~Subscription() {
        if (mOwner != nullptr) {
            mOwner->Unsubscribe(mKey);
        }
    }

private:
    Cancellation* mOwner = nullptr;
    uint64_t mKey = 0;
};

/// aSteps of work for the calling thread's cancellation, if it has one.
inline void CheckCancellation(uint64_t aSteps = 1) {
    if (Cancellation* lCancellation = Cancellation::Current()) {
        lCancellation->Check(aSteps);
    }
}

} // namespace Logic
