#include "platform/LargeStack.h"

#include <pthread.h>

#include "platform/Cancellation.h"

namespace Logic {

namespace {
using LargeStackDetail::DeepWork;

void* RunDeepWork(void* aArgument) {
    static_cast<DeepWork*>(aArgument)->Run();
    return nullptr;
}
} // namespace

void RunWithLargeStack(const std::function<void()>& aWork, size_t aStackBytes) {
    DeepWork lDeepWork{&aWork, aStackBytes, Cancellation::Current(), nullptr};
    pthread_attr_t lAttributes;
    bool lStarted = false;
    pthread_t lThread;
    if (pthread_attr_init(&lAttributes) == 0) {
        if (pthread_attr_setstacksize(&lAttributes, aStackBytes) == 0) {
            lStarted = pthread_create(&lThread, &lAttributes, RunDeepWork, &lDeepWork) == 0;
        }
        pthread_attr_destroy(&lAttributes);
    }
    if (!lStarted) {
        aWork();
        return;
    }
    pthread_join(lThread, nullptr);
    if (lDeepWork.mFailure) {
        std::rethrow_exception(lDeepWork.mFailure);
    }
}

} // namespace Logic
