#pragma once
// Deep formulas (long documents become deeply nested conjunctions) are walked recursively in a
// few places: the main thread's stack is too small for that on some platforms (1 MiB on
// Windows), so deep work runs on a thread of its own with a large stack. That thread knows how
// much stack it has, so recursive code can ask StackHasRoom and fail with a clear message
// instead of overflowing.

#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <utility>

namespace Logic {

class Cancellation;

/// Stack size for deep work. Only reserved address space; pages are committed as they are
/// touched.
constexpr size_t DefaultLargeStackBytes = sizeof(void*) >= 8 ? size_t{512} << 20 : size_t{64} << 20;

/// Stack kept free below the last check of StackHasRoom: enough for the non-recursive work
/// between two checks, for throwing, and for the sanitizers' reports.
constexpr size_t StackReserveBytes = size_t{1} << 20;

/// Runs aWork on a new thread with a stack of aStackBytes, waits for it and rethrows whatever
/// it threw. The calling thread's Cancellation goes with it. Falls back to running aWork on the
/// calling thread if no thread can be made.
void RunWithLargeStack(const std::function<void()>& aWork,
                       size_t aStackBytes = DefaultLargeStackBytes);

/// Runs aWork on a large stack: in place when the calling thread already is one that this
/// function started (so nested deep work starts no further thread), else on a new one
/// (RunWithLargeStack), rethrowing what it throws.
void EnsureLargeStack(const std::function<void()>& aWork);

/// EnsureLargeStack for work with a result.
template <typename Work> auto OnLargeStack(Work&& aWork) -> decltype(aWork()) {
    std::optional<decltype(aWork())> lResult;
    EnsureLargeStack([&] { lResult.emplace(aWork()); });
    return std::move(*lResult);
}

/// False when the calling thread's stack is within StackReserveBytes of its end. Always true on
/// a thread whose stack size is not known (one that RunWithLargeStack did not start).
bool StackHasRoom() noexcept;

namespace LargeStackDetail {
/// What RunWithLargeStack hands to the thread it starts, and what comes back.
struct DeepWork {
    const std::function<void()>* mWork;
    size_t mStackBytes;
    Cancellation* mCancellation;
    std::exception_ptr mFailure;

    /// The thread's body: records the stack's end, installs the caller's cancellation, runs the
    /// work and keeps its failure.
    void Run() noexcept;
};
} // namespace LargeStackDetail

} // namespace Logic
