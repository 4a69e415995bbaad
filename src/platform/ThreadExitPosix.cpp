#include "platform/ThreadExit.h"

#include <pthread.h>

#include <new>

namespace Logic::Platform {

namespace {
struct Registration {
    void (*mCleanup)(void*);
    void* mObject;
    Registration* mNext;
};

void RunRegistrations(void* aFirst) {
    auto* lRegistration = static_cast<Registration*>(aFirst);
    while (lRegistration != nullptr) {
        Registration* lNext = lRegistration->mNext;
        lRegistration->mCleanup(lRegistration->mObject);
        delete lRegistration;
        lRegistration = lNext;
    }
}

pthread_key_t* Key() {
    static pthread_key_t lKey;
    static const bool lMade = pthread_key_create(&lKey, &RunRegistrations) == 0;
    return lMade ? &lKey : nullptr;
}
} // namespace

bool AtThreadExit(void (*aCleanup)(void*), void* aObject) noexcept {
    pthread_key_t* lKey = Key();
    if (lKey == nullptr) {
        return false;
    }
    auto* lRegistration = new (std::nothrow) Registration{
        aCleanup, aObject, static_cast<Registration*>(pthread_getspecific(*lKey))};
    if (lRegistration == nullptr) {
        return false;
    }
    return pthread_setspecific(*lKey, lRegistration) == 0;
}

void RunThreadExitCleanupsNow() noexcept {
    // A shared library on POSIX hosts stays loaded with the process; only this thread's list can
    // be reached.
    if (pthread_key_t* lKey = Key()) {
        RunRegistrations(pthread_getspecific(*lKey));
        pthread_setspecific(*lKey, nullptr);
    }
}

} // namespace Logic::Platform
