#include "platform/LargeStack.h"

#include <windows.h>

#include <exception>

#include "platform/Cancellation.h"

namespace Logic {

namespace {
struct DeepWork {
    const std::function<void()>* mWork;
    size_t mStackBytes;
    Cancellation* mCancellation;
    std::exception_ptr mFailure;
};

DWORD WINAPI RunDeepWork(LPVOID aArgument) {
    auto* lDeepWork = static_cast<DeepWork*>(aArgument);
    try {
        LargeStackDetail::RunOnNewStack(*lDeepWork->mWork, lDeepWork->mStackBytes,
                                        lDeepWork->mCancellation);
    } catch (...) {
        lDeepWork->mFailure = std::current_exception();
    }
    return 0;
}
} // namespace

void RunWithLargeStack(const std::function<void()>& aWork, size_t aStackBytes) {
    DeepWork lDeepWork{&aWork, aStackBytes, Cancellation::Current(), nullptr};
    HANDLE lThread = CreateThread(nullptr, aStackBytes, RunDeepWork, &lDeepWork,
                                  STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (lThread == nullptr) {
        aWork();
        return;
    }
    WaitForSingleObject(lThread, INFINITE);
    CloseHandle(lThread);
    if (lDeepWork.mFailure) {
        std::rethrow_exception(lDeepWork.mFailure);
    }
}

} // namespace Logic
