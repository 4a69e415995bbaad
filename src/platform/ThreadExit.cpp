#include "platform/ThreadExit.h"

#include <new>

#include "platform/ThreadExitDetail.h"

namespace Logic::Platform::ThreadExitDetail {

Registration* Prepend(void (*aCleanup)(void*), void* aObject, void* aFirst) noexcept {
    return new (std::nothrow) Registration{aCleanup, aObject, static_cast<Registration*>(aFirst)};
}

void RunAll(void* aFirst) noexcept {
    auto* lRegistration = static_cast<Registration*>(aFirst);
    while (lRegistration != nullptr) {
        Registration* lNext = lRegistration->mNext;
        lRegistration->mCleanup(lRegistration->mObject);
        delete lRegistration;
        lRegistration = lNext;
    }
}

} // namespace Logic::Platform::ThreadExitDetail
