#pragma once
// KindOfObject: the readable form of one populated combination of unary predicates in a kind of
// world: how many objects it has and which predicates they affirm or deny.

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "model/Predicate.h"

namespace Logic {

class KindOfObject {
public:
    /// Fails with "Attempted to construct an invalid KindOfObject: some predicates are both
    /// affirmed and denied by the world." when the two lists share a predicate.
    KindOfObject(uint32_t aNumberOfDistinguishableInstances,
                 const std::vector<UnaryPredicate>& aAffirmed,
                 const std::vector<UnaryPredicate>& aDenied);

    uint32_t NumberOfDistinguishableInstances() const { return mNumberOfDistinguishableInstances; }
    /// The predicates this kind speaks about, in letter order.
    std::vector<UnaryPredicate> Predicates() const;
    bool Affirms(const UnaryPredicate& aPredicate) const;
    bool Denies(const UnaryPredicate& aPredicate) const;

    friend bool operator==(const KindOfObject& aLeft, const KindOfObject& aRight) {
        return aLeft.mNumberOfDistinguishableInstances == aRight.mNumberOfDistinguishableInstances &&
               aLeft.mPredicates == aRight.mPredicates;
    }
    int32_t Hash() const;

private:
    uint32_t mNumberOfDistinguishableInstances;
    /// Keyed by letter (predicates compare by letter), so the keys are in letter order.
    std::map<char, bool> mPredicates;
};

} // namespace Logic

template <> struct std::hash<Logic::KindOfObject> {
    size_t operator()(const Logic::KindOfObject& aKind) const {
        return static_cast<size_t>(static_cast<uint32_t>(aKind.Hash()));
    }
};
