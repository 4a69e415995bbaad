#include "platform/ThreadExit.h"

#include <windows.h>

#include <atomic>

#include "platform/ThreadExitDetail.h"

namespace Logic::Platform {

namespace {
// Fiber-local storage calls its callback on the ending thread, also for threads that the C
// runtime did not start.
void WINAPI RunRegistrations(void* aFirst) { ThreadExitDetail::RunAll(aFirst); }

DWORD Index() {
    static const DWORD lIndex = FlsAlloc(&RunRegistrations);
    return lIndex;
}

/// Set once the index has been given back: it may belong to someone else by then.
std::atomic<bool> gReleased{false};
} // namespace

bool AtThreadExit(void (*aCleanup)(void*), void* aObject) noexcept {
    if (gReleased.load()) {
        return false;
    }
    const DWORD lIndex = Index();
    if (lIndex == FLS_OUT_OF_INDEXES) {
        return false;
    }
    auto* lRegistration = ThreadExitDetail::Prepend(aCleanup, aObject, FlsGetValue(lIndex));
    return lRegistration != nullptr && FlsSetValue(lIndex, lRegistration) != FALSE;
}

void RunThreadExitCleanupsNow() noexcept {
    if (gReleased.exchange(true)) {
        return;
    }
    const DWORD lIndex = Index();
    if (lIndex != FLS_OUT_OF_INDEXES) {
        // Freeing the index runs the callback for every thread that holds a value.
        FlsFree(lIndex);
    }
}

} // namespace Logic::Platform
