#pragma once
// Deep formulas (long documents become deeply nested conjunctions) are walked recursively. The
// main thread's stack is too small for that on some platforms (1 MiB on Windows), so deep work
// runs on a thread of its own with a large stack.

#include <cstddef>
#include <functional>
#include <optional>
#include <utility>

namespace Logic {

/// Stack size for deep work: ample for the deepest formula the parser accepts, even in
/// sanitizer builds. Only reserved address space; pages are committed as they are touched.
constexpr size_t DefaultLargeStackBytes = sizeof(void*) >= 8 ? size_t{512} << 20 : size_t{64} << 20;

/// Runs aWork on a new thread with a stack of aStackBytes, waits for it and rethrows whatever
/// it threw. Falls back to running aWork on the calling thread if no thread can be made.
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

} // namespace Logic
