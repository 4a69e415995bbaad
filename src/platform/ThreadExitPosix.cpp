#include "platform/ThreadExit.h"

#include <pthread.h>

#include "platform/ThreadExitDetail.h"

namespace Logic::Platform {

namespace {
void RunRegistrations(void* aFirst) { ThreadExitDetail::RunAll(aFirst); }

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
    auto* lRegistration = ThreadExitDetail::Prepend(aCleanup, aObject, pthread_getspecific(*lKey));
    return lRegistration != nullptr && pthread_setspecific(*lKey, lRegistration) == 0;
}

void RunThreadExitCleanupsNow() noexcept {
    // A shared library on POSIX hosts stays loaded with the process; only this thread's list can
    // be reached.
    if (pthread_key_t* lKey = Key()) {
        ThreadExitDetail::RunAll(pthread_getspecific(*lKey));
        pthread_setspecific(*lKey, nullptr);
    }
}

} // namespace Logic::Platform
