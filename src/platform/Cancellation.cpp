#include "platform/Cancellation.h"

#include <cstdio>

namespace Logic {

namespace {

thread_local Cancellation* tCurrent = nullptr;
/// Steps on this thread until the clock is read again.
thread_local uint32_t tStepsUntilClock = 0;
constexpr uint32_t StepsBetweenClockReadings = 256;

/// Whole seconds as they are, fractions with up to three decimals: "5", "0.25", "1234.5".
std::string Seconds(std::chrono::milliseconds aTime) {
    const auto lCount = static_cast<long long>(aTime.count());
    std::string lText = std::to_string(lCount / 1000);
    if (lCount % 1000 != 0) {
        char lFraction[8];
        std::snprintf(lFraction, sizeof lFraction, ".%03lld", lCount % 1000);
        lText += lFraction;
        while (lText.back() == '0') {
            lText.pop_back();
        }
    }
    return lText;
}

} // namespace

void Cancellation::SetTimeLimit(std::chrono::milliseconds aLimit) {
    mTimeLimit = aLimit;
    mDeadline = Clock::now() + aLimit;
}

void Cancellation::SetWorkLimit(uint64_t aSteps) {
    mWorkLimit = aSteps;
}

void Cancellation::RequestStop() noexcept {
    Stop(Reason::Requested);
}

void Cancellation::Stop(Reason aReason) noexcept {
    Reason lNone = Reason::None;
    if (!mReason.compare_exchange_strong(lNone, aReason, std::memory_order_relaxed)) {
        return;
    }
    // Held while the actions run, so that a Subscription that ends meanwhile waits for its
    // action to return before what the action touches goes away.
    try {
        std::lock_guard lLock(mActionsMutex);
        mActionsCalled = true;
        for (auto& [lKey, lAction] : mActions) {
            try {
                lAction();
            } catch (...) {
            }
        }
    } catch (...) {
        // The mutex refused: the waits end by their own limits; checks still stop.
    }
}

Cancellation::Subscription Cancellation::OnStop(std::function<void()> aAction) {
    std::lock_guard lLock(mActionsMutex);
    if (mActionsCalled) {
        try {
            aAction();
        } catch (...) {
        }
        return {};
    }
    mActions.emplace_back(++mNextAction, std::move(aAction));
    return Subscription(this, mNextAction);
}

void Cancellation::Unsubscribe(uint64_t aKey) noexcept {
    try {
        std::lock_guard lLock(mActionsMutex);
        std::erase_if(mActions, [aKey](const auto& fEntry) { return fEntry.first == aKey; });
    } catch (...) {
    }
}

bool Cancellation::Stopped() const noexcept {
    return mReason.load(std::memory_order_relaxed) != Reason::None;
}

void Cancellation::Check(uint64_t aSteps) {
    if (Stopped()) {
        Throw();
    }
    if (mWorkLimit != 0 &&
        mSteps.fetch_add(aSteps, std::memory_order_relaxed) + aSteps > mWorkLimit) {
        Stop(Reason::Work);
        Throw();
    }
    if (mDeadline) {
        if (tStepsUntilClock > aSteps) {
            tStepsUntilClock -= static_cast<uint32_t>(aSteps);
            return;
        }
        tStepsUntilClock = StepsBetweenClockReadings;
        if (Clock::now() >= *mDeadline) {
            Stop(Reason::Time);
            Throw();
        }
    }
}

void Cancellation::Throw() const {
    switch (mReason.load(std::memory_order_relaxed)) {
    case Reason::Time:
        throw CancelledException("Stopped after " + Seconds(mTimeLimit) +
                                 " seconds: the time limit is up. Allow more time or shorten "
                                 "the document.");
    case Reason::Work:
        throw CancelledException("Stopped after " + std::to_string(mWorkLimit) +
                                 " steps of work: the work limit is used up.");
    case Reason::Requested:
    case Reason::None:
        break;
    }
    throw CancelledException("Stopped on request.");
}

Cancellation* Cancellation::Current() noexcept {
    return tCurrent;
}

Cancellation::Scope::Scope(Cancellation* aCancellation) noexcept : mPrevious(tCurrent) {
    tCurrent = aCancellation;
    // A fresh scope reads the clock at its first check.
    tStepsUntilClock = 0;
}

Cancellation::Scope::~Scope() {
    tCurrent = mPrevious;
}

} // namespace Logic
