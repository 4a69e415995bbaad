#include "platform/LargeStack.h"

#include <windows.h>

#include <exception>

namespace Logic {

namespace {
struct DeepWork {
    const std::function<void()>* mWork;
    std::exception_ptr mFailure;
};

DWORD WINAPI RunDeepWork(LPVOID aArgument) {
    auto* lDeepWork = static_cast<DeepWork*>(aArgument);
    try {
        (*lDeepWork->mWork)();
    } catch (...) {
        lDeepWork->mFailure = std::current_exception();
    }
    return 0;
}
} // namespace

void RunWithLargeStack(const std::function<void()>& aWork, size_t aStackBytes) {
    DeepWork lDeepWork{&aWork, nullptr};
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
