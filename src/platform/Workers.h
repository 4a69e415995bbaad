#pragma once
// Running one worker function on several threads at once.

#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace Logic {

/// Runs aWorker on aWorkers threads, the calling thread included, and waits for them all. When
/// the system refuses more threads, those already there do the work: aWorker must take its
/// items from a shared source until none are left. A failure that leaves aWorker on any thread
/// is raised here once all have ended (the first one seen, should there be several), never
/// left to end the process.
inline void RunOnWorkers(unsigned aWorkers, const std::function<void()>& aWorker) {
    std::mutex lFailureMutex;
    std::exception_ptr lFailure;
    const auto fGuarded = [&]() noexcept {
        try {
            aWorker();
        } catch (...) {
            std::lock_guard lLock(lFailureMutex);
            if (!lFailure) {
                lFailure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> lThreads;
    try {
        lThreads.reserve(aWorkers > 0 ? aWorkers - 1 : 0);
        for (unsigned lIndex = 1; lIndex < aWorkers; ++lIndex) {
            lThreads.emplace_back(fGuarded);
        }
    } catch (...) {
        // No more threads (or no memory for one): those there do the work.
    }
    fGuarded();
    for (std::thread& lThread : lThreads) {
        lThread.join();
    }
    if (lFailure) {
        std::rethrow_exception(lFailure);
    }
}

} // namespace Logic
