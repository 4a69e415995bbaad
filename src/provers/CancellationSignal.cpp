#include "provers/CancellationSignal.h"

namespace Logic {

CancellationSignal::CancellationSignal(std::optional<std::chrono::milliseconds> aLimit) {
    if (aLimit) {
        mDeadline = Clock::now() + *aLimit;
    }
}

void CancellationSignal::Cancel() {
    {
        std::lock_guard lLock(mMutex);
        mCancelled = true;
    }
    mChanged.notify_all();
}

bool CancellationSignal::IsCancellationRequested() const {
    std::lock_guard lLock(mMutex);
    return FiredLocked();
}

bool CancellationSignal::FiredLocked() const {
    return mCancelled || (mDeadline && Clock::now() >= *mDeadline);
}

void CancellationSignal::Notify() {
    // Taking the lock orders the waker's change before a waiter's next look at it.
    { std::lock_guard lLock(mMutex); }
    mChanged.notify_all();
}

bool CancellationSignal::WaitFor(const std::function<bool()>& aDone) {
    std::unique_lock lLock(mMutex);
    while (true) {
        if (aDone()) {
            return true;
        }
        if (FiredLocked()) {
            return false;
        }
        if (mDeadline) {
            mChanged.wait_until(lLock, *mDeadline);
        } else {
            mChanged.wait(lLock);
        }
    }
}

} // namespace Logic
