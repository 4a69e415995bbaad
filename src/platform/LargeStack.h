#pragma once
// Deep formulas (long documents become deeply nested conjunctions) are walked recursively. The
// main thread's stack is too small for that on some platforms (1 MiB on Windows), so deep work
// runs on a thread of its own with a large stack.

#include <cstddef>
#include <functional>

namespace Logic {

/// Stack size for deep work: ample for the deepest formula the parser accepts, even in
/// sanitizer builds. Only reserved address space; pages are committed as they are touched.
constexpr size_t DefaultLargeStackBytes = sizeof(void*) >= 8 ? size_t{512} << 20 : size_t{64} << 20;

/// Runs aWork on a new thread with a stack of aStackBytes, waits for it and rethrows whatever
/// it threw. Falls back to running aWork on the calling thread if no thread can be made.
void RunWithLargeStack(const std::function<void()>& aWork,
                       size_t aStackBytes = DefaultLargeStackBytes);

} // namespace Logic
