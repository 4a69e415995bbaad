#pragma once
// What a decision loop has seen so far, shared by its workers: some world where the formula is
// true, some world where it is false. Once both are seen the verdict is known and the loop stops.

#include <atomic>

#include "model/Verdicts.h"

namespace Logic {

class TruthSeen {
public:
    /// Records what a world (or block of worlds) showed; true once both have been seen.
    bool Saw(bool aSomeTrue, bool aSomeFalse) noexcept {
        if (aSomeTrue) {
            SetOnce(mSomeTrue);
        }
        if (aSomeFalse) {
            SetOnce(mSomeFalse);
        }
        return mSomeTrue.load(std::memory_order_relaxed) &&
               mSomeFalse.load(std::memory_order_relaxed);
    }

    /// The verdict once the loop has ended: nothing false seen means necessary.
    Alethicity Verdict() const noexcept {
        const bool lSomeTrue = mSomeTrue.load();
        const bool lSomeFalse = mSomeFalse.load();
        if (lSomeTrue && lSomeFalse) {
            return Alethicity::Contingent;
        }
        return lSomeFalse ? Alethicity::Impossible : Alethicity::Necessary;
    }

private:
    static void SetOnce(std::atomic<bool>& aFlag) noexcept {
        // Reading first keeps the flag's cache line shared while it is already set.
        if (!aFlag.load(std::memory_order_relaxed)) {
            aFlag.store(true, std::memory_order_relaxed);
        }
    }

    std::atomic<bool> mSomeTrue{false};
    std::atomic<bool> mSomeFalse{false};
};

} // namespace Logic
