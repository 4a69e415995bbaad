#include "platform/LargeStack.h"

#include <cstdint>

#include "platform/Cancellation.h"

namespace Logic {

namespace {
/// Set on the threads that EnsureLargeStack started.
thread_local bool tOnLargeStack = false;
} // namespace

void EnsureLargeStack(const std::function<void()>& aWork) {
    if (tOnLargeStack) {
        aWork();
        return;
    }
    RunWithLargeStack([&] {
        // Restored afterwards in case RunWithLargeStack could not start a thread and ran here.
        struct Mark {
            bool mBefore = std::exchange(tOnLargeStack, true);
            ~Mark() { tOnLargeStack = mBefore; }
        } lMark;
        aWork();
    });
}


namespace {
/// The lowest address that deep work on this thread may reach; 0 when unknown. Stacks grow
/// downwards on every platform this runs on.
thread_local uintptr_t tStackLimit = 0;

uintptr_t CurrentFrame() noexcept {
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
}
} // namespace

bool StackHasRoom() noexcept {
    return tStackLimit == 0 || CurrentFrame() > tStackLimit;
}

namespace LargeStackDetail {

void DeepWork::Run() noexcept {
    const uintptr_t lTop = CurrentFrame();
    const size_t lUsable = mStackBytes > 2 * StackReserveBytes ? mStackBytes - StackReserveBytes
                                                               : mStackBytes / 2;
    tStackLimit = lTop > lUsable ? lTop - lUsable : 1;
    const Cancellation::Scope lScope(mCancellation);
    try {
        (*mWork)();
    } catch (...) {
        mFailure = std::current_exception();
    }
}

} // namespace LargeStackDetail

} // namespace Logic
