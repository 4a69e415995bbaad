#pragma once
// The list of one thread's cleanups, shared by the POSIX and Win32 sides of ThreadExit.

namespace Logic::Platform::ThreadExitDetail {

struct Registration {
    void (*mCleanup)(void*);
    void* mObject;
    Registration* mNext;
};

/// A new registration in front of the list aFirst; null when memory runs out.
Registration* Prepend(void (*aCleanup)(void*), void* aObject, void* aFirst) noexcept;
/// Runs and frees every registration of the list aFirst, newest first.
void RunAll(void* aFirst) noexcept;

} // namespace Logic::Platform::ThreadExitDetail
