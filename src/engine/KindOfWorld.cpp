#include "engine/KindOfWorld.h"

#include <algorithm>

#include "engine/Utility.h"
#include "model/EngineException.h"
#include "model/NullPredicate.h"

namespace Logic {

KindOfObject::KindOfObject(uint32_t aNumberOfDistinguishableInstances,
                           const std::vector<UnaryPredicate>& aAffirmed,
                           const std::vector<UnaryPredicate>& aDenied)
    : mNumberOfDistinguishableInstances(aNumberOfDistinguishableInstances) {
    const auto lSameLetter = [](const UnaryPredicate& fLeft, const UnaryPredicate& fRight) {
        return fLeft.Letter() == fRight.Letter();
    };
    if (Utility::Intersects(aAffirmed, aDenied, lSameLetter)) {
        throw EngineException("Attempted to construct an invalid KindOfObject: some predicates are "
                              "both affirmed and denied by the world.");
    }
    for (const UnaryPredicate& lPredicate : aAffirmed) {
        mPredicates[lPredicate.Letter()] = true;
    }
    for (const UnaryPredicate& lPredicate : aDenied) {
        mPredicates[lPredicate.Letter()] = false;
    }
}

std::vector<UnaryPredicate> KindOfObject::Predicates() const {
    std::vector<UnaryPredicate> lPredicates;
    for (const auto& [lLetter, lAffirmed] : mPredicates) {
        lPredicates.emplace_back(lLetter);
    }
    return lPredicates;
}

bool KindOfObject::Affirms(const UnaryPredicate& aPredicate) const {
    auto lFound = mPredicates.find(aPredicate.Letter());
    return lFound != mPredicates.end() && lFound->second;
}

bool KindOfObject::Denies(const UnaryPredicate& aPredicate) const {
    auto lFound = mPredicates.find(aPredicate.Letter());
    return lFound != mPredicates.end() && !lFound->second;
}

int32_t KindOfObject::Hash() const {
    // Wrapping 32-bit arithmetic, done unsigned to stay defined.
    uint32_t lFold = 0;
    for (const auto& [lLetter, lAffirmed] : mPredicates) {
        const uint32_t lValue = lAffirmed ? static_cast<uint32_t>(static_cast<unsigned char>(lLetter)) : 4u;
        lFold = lFold * 256u + lValue;
    }
    return static_cast<int32_t>((mNumberOfDistinguishableInstances << 6) + lFold);
}

KindOfWorld::KindOfWorld(const std::vector<KindOfObject>& aKindsOfObjects,
                         const std::vector<const NullPredicate*>& aAffirmed,
                         const std::vector<const NullPredicate*>& aDenied) {
    if (Utility::Intersects(aAffirmed, aDenied)) {
        throw EngineException("Attempted to construct an invalid KindOfWorld: some predicates are "
                              "both affirmed and denied by the object.");
    }
    for (const KindOfObject& lKind : aKindsOfObjects) {
        if (std::find(mKindsOfObjects.begin(), mKindsOfObjects.end(), lKind) == mKindsOfObjects.end()) {
            mKindsOfObjects.push_back(lKind);
        }
    }
    for (const NullPredicate* lPredicate : aAffirmed) {
        mPredicates.emplace_back(lPredicate, true);
    }
    for (const NullPredicate* lPredicate : aDenied) {
        mPredicates.emplace_back(lPredicate, false);
    }
    std::stable_sort(mPredicates.begin(), mPredicates.end(), [](const auto& fLeft, const auto& fRight) {
        return fLeft.first->Description() < fRight.first->Description();
    });
}

std::vector<const NullPredicate*> KindOfWorld::Predicates() const {
    std::vector<const NullPredicate*> lPredicates;
    for (const auto& [lPredicate, lTrue] : mPredicates) {
        lPredicates.push_back(lPredicate);
    }
    return lPredicates;
}

bool KindOfWorld::Affirms(const NullPredicate& aPredicate) const {
    for (const auto& [lPredicate, lTrue] : mPredicates) {
        if (lPredicate == &aPredicate) {
            return lTrue;
        }
    }
    return false;
}

bool KindOfWorld::Denies(const NullPredicate& aPredicate) const {
    for (const auto& [lPredicate, lTrue] : mPredicates) {
        if (lPredicate == &aPredicate) {
            return !lTrue;
        }
    }
    return false;
}

} // namespace Logic
