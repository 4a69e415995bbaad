#include "platform/ChildProcess.h"

#include <chrono>

#include "model/EngineException.h"

// The exchange's bookkeeping, the same on every platform: the reading thread hands over what it
// read, and EndExchange waits for it or makes it give up.

namespace Logic::Platform {

void ChildProcess::PublishExchange(std::string aOutput, std::string aFailure, bool aAbandoned,
                                   const std::function<void()>& aFinished) {
    {
        std::lock_guard lLock(mExchangeMutex);
        mExchangeOutput = std::move(aOutput);
        mExchangeFailure = std::move(aFailure);
        mExchangeEnding = true;
        mExchangeAbandoned = aAbandoned;
    }
    mExchangeEnded.notify_all();
    if (aFinished) {
        aFinished();
    }
}

bool ChildProcess::ExchangeFinished() const {
    std::lock_guard lLock(mExchangeMutex);
    return mExchangeEnding && !mExchangeAbandoned;
}

std::string ChildProcess::EndExchange(std::optional<int> aMilliseconds) {
    if (!mExchange.joinable()) {
        throw EngineException("No exchange with \"{0}\" is running.", mProgram);
    }
    if (aMilliseconds) {
        std::unique_lock lLock(mExchangeMutex);
        if (!mExchangeEnded.wait_for(lLock, std::chrono::milliseconds(*aMilliseconds),
                                     [this] { return mExchangeEnding; })) {
            AbandonExchange();
        }
    }
    mExchange.join();
    CloseStandardOutput();
    std::lock_guard lLock(mExchangeMutex);
    if (!mExchangeFailure.empty()) {
        throw EngineException(mExchangeFailure);
    }
    return std::move(mExchangeOutput);
}

} // namespace Logic::Platform
