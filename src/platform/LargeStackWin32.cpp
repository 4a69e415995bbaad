#include "platform/LargeStack.h"

#include <windows.h>

#include "platform/Cancellation.h"

namespace Logic {

namespace {
using LargeStackDetail::DeepWork;

DWORD WINAPI RunDeepWork(LPVOID aArgument) {
    static_cast<DeepWork*>(aArgument)->Run();
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
