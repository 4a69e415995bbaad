#include "model/Variable.h"

#include <atomic>
#include <unordered_map>

#include "model/EngineException.h"
#include "platform/ThreadExit.h"

namespace Logic {

namespace {

// Identities are never reused, so a slot left behind by a freed variable on some thread can
// never be mistaken for a later variable's, even one at the same address.
std::atomic<uint64_t> gNextVariableIdentity{1};

struct Instantiation {
    std::optional<DistinguishableObject> mKindOfObject;
    uint32_t mKindOfWorld = 0;
};

thread_local bool tInstantiationsGone = false;

// Each thread keeps its own instantiations, so parallel evaluations of one formula need no lock.
// The last slot used is remembered because evaluation reads the same variable over and over.
struct Instantiations {
    std::unordered_map<uint64_t, Instantiation> mSlots;
    uint64_t mLastIdentity = 0;
    Instantiation* mLastSlot = nullptr;

    Instantiation* Find(uint64_t aIdentity) {
        if (mLastSlot != nullptr && mLastIdentity == aIdentity) {
            return mLastSlot;
        }
        auto lFound = mSlots.find(aIdentity);
        if (lFound == mSlots.end()) {
            return nullptr;
        }
        mLastIdentity = aIdentity;
        mLastSlot = &lFound->second;
        return mLastSlot;
    }

    Instantiation& FindOrAdd(uint64_t aIdentity) {
        if (Instantiation* lSlot = Find(aIdentity)) {
            return *lSlot;
        }
        // Map nodes never move, so the remembered slot stays valid while the map grows.
        Instantiation& lSlot = mSlots[aIdentity];
        mLastIdentity = aIdentity;
        mLastSlot = &lSlot;
        return lSlot;
    }

    void Forget(uint64_t aIdentity) {
        if (mLastIdentity == aIdentity) {
            mLastSlot = nullptr;
            mLastIdentity = 0;
        }
        mSlots.erase(aIdentity);
    }
};

// Only a plain pointer is thread_local: the object is freed by the thread-exit cleanup.
thread_local Instantiations* tInstantiations = nullptr;

void ForgetThisThreadsInstantiations(void* aInstantiations) {
    delete static_cast<Instantiations*>(aInstantiations);
    tInstantiations = nullptr;
    tInstantiationsGone = true;
}

/// This thread's instantiations, made on first use; null once they are gone.
Instantiations* ThisThreadsInstantiations(bool aCreate) {
    if (tInstantiations != nullptr || tInstantiationsGone || !aCreate) {
        return tInstantiations;
    }
    auto* lNew = new Instantiations();
    // Without a cleanup the object lives as long as the process; still correct.
    (void)Platform::AtThreadExit(&ForgetThisThreadsInstantiations, lNew);
    tInstantiations = lNew;
    return lNew;
}

} // namespace

Variable::Variable(char aLetter)
    : mLetter(aLetter), mIdentity(gNextVariableIdentity.fetch_add(1, std::memory_order_relaxed)) {}

Variable::~Variable() {
    // Only this thread's slot can be reached from here; other threads' slots die with them.
    if (Instantiations* lInstantiations = ThisThreadsInstantiations(false)) {
        lInstantiations->Forget(mIdentity);
    }
}

void Variable::SetModality(const Necessity* aModality) {
    if (mModality != nullptr && mModality != aModality) {
        throw EngineException("Attempted to assign a modality to a variable that already had a "
                              "different modality assigned to it.");
    }
    mModality = aModality;
}

void Variable::ForgetModality(const Necessity* aModality) {
    if (mModality == aModality) {
        mModality = nullptr;
    }
}

void Variable::Instantiate(DistinguishableObject aKindOfObject, uint32_t aKindOfWorld) {
    Instantiations* lInstantiations = ThisThreadsInstantiations(true);
    if (lInstantiations == nullptr) {
        return;
    }
    Instantiation& lSlot = lInstantiations->FindOrAdd(mIdentity);
    lSlot.mKindOfObject = aKindOfObject;
    lSlot.mKindOfWorld = aKindOfWorld;
}

std::optional<DistinguishableObject> Variable::InstantiatedKindOfObject() const {
    Instantiations* lInstantiations = ThisThreadsInstantiations(false);
    const Instantiation* lSlot = lInstantiations ? lInstantiations->Find(mIdentity) : nullptr;
    return lSlot ? lSlot->mKindOfObject : std::nullopt;
}

uint32_t Variable::InstantiatedKindOfWorld() const {
    Instantiations* lInstantiations = ThisThreadsInstantiations(false);
    const Instantiation* lSlot = lInstantiations ? lInstantiations->Find(mIdentity) : nullptr;
    return lSlot ? lSlot->mKindOfWorld : 0;
}

const std::shared_ptr<Variable>&
Variable::Substitute(const std::shared_ptr<Variable>& aThis,
                     const std::shared_ptr<Variable>& aReplaced,
                     const std::shared_ptr<Variable>& aReplacement) {
    return aThis == aReplaced ? aReplacement : aThis;
}

} // namespace Logic
