#include "platform/LargeStack.h"

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

} // namespace Logic
