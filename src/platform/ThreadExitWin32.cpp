#include "platform/ThreadExit.h"

#include <windows.h>

#include <new>

namespace Logic::Platform {

namespace {
struct Registration {
    void (*mCleanup)(void*);
    void* mObject;
    Registration* mNext;
};

// Fiber-local storage calls its callback on the ending thread, also for threads that the C
// runtime did not start.
void WINAPI RunRegistrations(void* aFirst) {
    auto* lRegistration = static_cast<Registration*>(aFirst);
    while (lRegistration != nullptr) {
        Registration* lNext = lRegistration->mNext;
        lRegistration->mCleanup(lRegistration->mObject);
        delete lRegistration;
        lRegistration = lNext;
    }
}

DWORD Index() {
    static const DWORD lIndex = FlsAlloc(&RunRegistrations);
    return lIndex;
}
} // namespace

bool AtThreadExit(void (*aCleanup)(void*), void* aObject) noexcept {
    const DWORD lIndex = Index();
    if (lIndex == FLS_OUT_OF_INDEXES) {
        return false;
    }
    auto* lRegistration = new (std::nothrow)
        Registration{aCleanup, aObject, static_cast<Registration*>(FlsGetValue(lIndex))};
    if (lRegistration == nullptr) {
        return false;
    }
    return FlsSetValue(lIndex, lRegistration) != FALSE;
}

void RunThreadExitCleanupsNow() noexcept {
    const DWORD lIndex = Index();
    if (lIndex != FLS_OUT_OF_INDEXES) {
        // Freeing the index runs the callback for every thread that holds a value.
        FlsFree(lIndex);
    }
}

} // namespace Logic::Platform
