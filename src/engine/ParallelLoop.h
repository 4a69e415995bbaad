#pragma once
// Foreach: the decision's parallel loop. Workers draw items from a lazy sequence under a mutex
// (the sequence is never advanced by two threads at once), share one stop signal, and report
// every failure as one EngineException.

#include <algorithm>
#include <atomic>
#include <concepts>
#include <cstdint>
#include <exception>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "model/EngineException.h"
#include "platform/Cancellation.h"
#include "platform/LargeStack.h"
#include "platform/Workers.h"

namespace Logic {

/// The action run per item. It sets the flag to ask the loop to stop; it never needs to read it.
template <typename T> using ActionWithBreakFlag = std::function<void(const T&, bool&)>;

namespace ParallelLoopDetail {

#ifdef _WIN32
inline constexpr const char* LineSeparator = "\r\n";
#else
inline constexpr const char* LineSeparator = "\n";
#endif

template <typename Sequence>
concept Sized = requires(const Sequence& aSequence) {
    { aSequence.size() } -> std::convertible_to<uint64_t>;
};

/// Distinct messages in the order they were collected, one per line.
inline std::string JoinDistinct(const std::vector<std::string>& aMessages) {
    std::vector<std::string> lDistinct;
    for (const std::string& lMessage : aMessages) {
        if (std::find(lDistinct.begin(), lDistinct.end(), lMessage) == lDistinct.end()) {
            lDistinct.push_back(lMessage);
        }
    }
    std::string lJoined;
    for (size_t lIndex = 0; lIndex < lDistinct.size(); ++lIndex) {
        if (lIndex > 0) {
            lJoined += LineSeparator;
        }
        lJoined += lDistinct[lIndex];
    }
    return lJoined;
}

/// The failures of a loop's workers, raised once the loop has ended as one EngineException.
class Failures {
public:
    void Record(std::string aMessage) {
        std::lock_guard<std::mutex> lLock(mMutex);
        mMessages.push_back(std::move(aMessage));
    }
    void ThrowIfAny() const {
        if (!mMessages.empty()) {
            throw EngineException(JoinDistinct(mMessages));
        }
    }

private:
    std::mutex mMutex;
    std::vector<std::string> mMessages;
};

} // namespace ParallelLoopDetail

/// Runs aAction once per item of aSequence on up to aMaximumWorkers threads (0: as many as the
/// machine has logical processors), the calling thread included; with aLargeStacks each runs on
/// a large stack, so that deep formulas can be evaluated recursively. Once an action sets its
/// break flag or fails, no further item starts; running ones finish. Failures are raised
/// afterwards as one EngineException whose message is their distinct texts, in the order
/// collected, one per line. The calling thread's Cancellation is checked before every item and
/// goes with the workers.
template <typename Sequence, typename Action>
void Foreach(const Sequence& aSequence, const Action& aAction, unsigned aMaximumWorkers = 0,
             bool aLargeStacks = true) {
    using Item = std::decay_t<decltype(*std::begin(aSequence))>;

    unsigned lWorkers = aMaximumWorkers != 0 ? aMaximumWorkers : std::thread::hardware_concurrency();
    lWorkers = std::max(lWorkers, 1u);
    if constexpr (ParallelLoopDetail::Sized<Sequence>) {
        const uint64_t lSize = aSequence.size();
        if (lSize == 0) {
            return;
        }
        lWorkers = static_cast<unsigned>(std::min<uint64_t>(lWorkers, lSize));
    }

    auto lNext = std::begin(aSequence);
    const auto lEnd = std::end(aSequence);
    std::mutex lSequenceMutex;
    std::atomic<bool> lStop{false};
    Cancellation* const lCancellation = Cancellation::Current();
    ParallelLoopDetail::Failures lFailures;
    const auto lRecordFailure = [&](std::string aMessage) { lFailures.Record(std::move(aMessage)); };

    // Items are drawn in batches that grow from one, so that short sequences still spread over
    // the workers and long ones do not contend for the mutex on every item.
    constexpr size_t lLargestBatch = 64;
    const std::function<void()> lWorker = [&] {
        std::vector<Item> lBatch;
        lBatch.reserve(lLargestBatch);
        size_t lBatchSize = 1;
        while (!lStop.load(std::memory_order_relaxed)) {
            lBatch.clear();
            {
                std::lock_guard<std::mutex> lLock(lSequenceMutex);
                while (lBatch.size() < lBatchSize && lNext != lEnd) {
                    lBatch.push_back(*lNext);
                    ++lNext;
                }
            }
            if (lBatch.empty()) {
                return;
            }
            for (const Item& lItem : lBatch) {
                if (lStop.load(std::memory_order_relaxed)) {
                    return;
                }
                bool lBreak = false;
                try {
                    if (lCancellation) {
                        lCancellation->Check();
                    }
                    aAction(lItem, lBreak);
                } catch (const std::exception& lFailure) {
                    lRecordFailure(lFailure.what());
                    lBreak = true;
                } catch (...) {
                    lRecordFailure("An unknown failure occurred.");
                    lBreak = true;
                }
                if (lBreak) {
                    lStop.store(true, std::memory_order_relaxed);
                    return;
                }
            }
            lBatchSize = std::min(lBatchSize * 2, lLargestBatch);
        }
    };
    const auto lRunWorker = [&] {
        const Cancellation::Scope lScope(lCancellation);
        try {
            if (aLargeStacks) {
                EnsureLargeStack(lWorker);
            } else {
                lWorker();
            }
        } catch (const std::exception& lFailure) {
            lRecordFailure(lFailure.what());
            lStop.store(true, std::memory_order_relaxed);
        }
    };

    RunOnWorkers(lWorkers, lRunWorker);
    lFailures.ThrowIfAny();
}

/// Runs aAction(state, index, break flag) for every index 0 .. aCount - 1 on up to aWorkers
/// threads, the calling thread included; each thread first makes its own state with aMakeState,
/// so the loop itself neither allocates nor locks (indices are handed out by one atomic
/// counter). aLargeStacks runs every thread on a large stack, for work that recurses with the
/// formula's depth. Break and failure reporting are those of Foreach; the calling thread's
/// Cancellation is checked before every index and goes with the workers.
template <typename MakeState, typename Action>
void ForeachWithState(uint64_t aCount, unsigned aWorkers, const MakeState& aMakeState,
                      const Action& aAction, bool aLargeStacks) {
    if (aCount == 0) {
        return;
    }
    const unsigned lWorkers =
        static_cast<unsigned>(std::min<uint64_t>(std::max(aWorkers, 1u), aCount));
    std::atomic<uint64_t> lNext{0};
    std::atomic<bool> lStop{false};
    Cancellation* const lCancellation = Cancellation::Current();
    ParallelLoopDetail::Failures lFailures;
    const auto lRecordFailure = [&](std::string aMessage) {
        lFailures.Record(std::move(aMessage));
        lStop.store(true, std::memory_order_relaxed);
    };
    const std::function<void()> lWorker = [&] {
        const Cancellation::Scope lScope(lCancellation);
        try {
            auto lState = aMakeState();
            while (!lStop.load(std::memory_order_relaxed)) {
                const uint64_t lIndex = lNext.fetch_add(1, std::memory_order_relaxed);
                if (lIndex >= aCount) {
                    return;
                }
                if (lCancellation != nullptr) {
                    lCancellation->Check();
                }
                bool lBreak = false;
                aAction(lState, lIndex, lBreak);
                if (lBreak) {
                    lStop.store(true, std::memory_order_relaxed);
                    return;
                }
            }
        } catch (const std::exception& lFailure) {
            lRecordFailure(lFailure.what());
        } catch (...) {
            lRecordFailure("An unknown failure occurred.");
        }
    };
    const auto lRunWorker = [&] {
        if (!aLargeStacks) {
            lWorker();
            return;
        }
        try {
            EnsureLargeStack(lWorker);
        } catch (const std::exception& lFailure) {
            lRecordFailure(lFailure.what());
        }
    };
    RunOnWorkers(lWorkers, lRunWorker);
    lFailures.ThrowIfAny();
}

} // namespace Logic
