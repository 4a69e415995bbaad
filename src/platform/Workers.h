#pragma once
// Running one worker function on several threads at once.

#include <functional>
#include <system_error>
#include <thread>
#include <vector>

namespace Logic {

/// Runs aWorker on aWorkers threads, the calling thread included, and waits for them all. When
/// the system refuses more threads, those already there do the work: aWorker must take its
/// items from a shared source until none are left.
inline void RunOnWorkers(unsigned aWorkers, const std::function<void()>& aWorker) {
    std::vector<std::thread> lThreads;
    for (unsigned lIndex = 1; lIndex < aWorkers; ++lIndex) {
        try {
            lThreads.emplace_back(aWorker);
        } catch (const std::system_error&) {
            break;
        }
    }
    aWorker();
    for (std::thread& lThread : lThreads) {
        lThread.join();
    }
}

} // namespace Logic
