#include "platform/LargeStack.h"

#include <pthread.h>

#include <exception>

namespace Logic {

namespace {
struct DeepWork {
    const std::function<void()>* mWork;
    std::exception_ptr mFailure;
};

void* RunDeepWork(void* aArgument) {
    auto* lDeepWork = static_cast<DeepWork*>(aArgument);
    try {
        (*lDeepWork->mWork)();
    } catch (...) {
        lDeepWork->mFailure = std::current_exception();
    }
    return nullptr;
}
} // namespace

void RunWithLargeStack(const std::function<void()>& aWork, size_t aStackBytes) {
    DeepWork lDeepWork{&aWork, nullptr};
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
