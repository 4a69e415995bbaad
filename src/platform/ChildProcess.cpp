#include "platform/ChildProcess.h"

#include <chrono>

#include "model/EngineException.h"
#include "platform/Shielded.h"

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

void ChildProcess::ExchangeThread(std::string aInput, std::function<void()> aFinished) noexcept {
    // The failure goes to the waiter and, rethrown, to the diagnostics channel.
    Shielded("reading a child program's output", [&] {
        try {
            RunExchange(std::move(aInput), aFinished);
        } catch (const std::exception& lFailure) {
            FailExchange(lFailure.what(), aFinished);
            throw;
        } catch (...) {
            FailExchange("An unknown failure occurred.", aFinished);
            throw;
        }
    });
}

void ChildProcess::FailExchange(const char* aMessage, const std::function<void()>& aFinished) {
    {
        std::lock_guard lLock(mExchangeMutex);
        // Published already (aFinished failed): the waiter has what was read; only wake it.
        if (!mExchangeEnding) {
            // The waiters' condition first: the message needs memory, which may have run out.
            mExchangeEnding = true;
            mExchangeAbandoned = false;
            try {
                mExchangeFailure =
                    Format("Cannot read the output of \"{0}\": {1}", mProgram, aMessage);
            } catch (...) {
                mExchangeFailure = "Out of memory.";
            }
        }
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
