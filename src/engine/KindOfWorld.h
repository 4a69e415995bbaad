#pragma once
// KindOfWorld: the readable form of one kind-of-world number: its populated kinds of objects and
// the truth of each nullary predicate.

#include <utility>
#include <vector>

#include "engine/Counterexample.h"
#include "engine/KindOfObject.h"

namespace Logic {

class NullPredicate;

class KindOfWorld final : public Counterexample {
public:
    /// Keeps the first of equal kinds of objects. Fails with "Attempted to construct an invalid
    /// KindOfWorld: some predicates are both affirmed and denied by the object." when the two
    /// lists share a predicate. The predicates are not owned: they belong to the formula.
    KindOfWorld(const std::vector<KindOfObject>& aKindsOfObjects,
                const std::vector<const NullPredicate*>& aAffirmed,
                const std::vector<const NullPredicate*>& aDenied);

    const std::vector<KindOfObject>& KindsOfObjects() const { return mKindsOfObjects; }
    /// The nullary predicates, ordered by their text.
    std::vector<const NullPredicate*> Predicates() const;
    bool Affirms(const NullPredicate& aPredicate) const;
    bool Denies(const NullPredicate& aPredicate) const;

    friend bool operator==(const KindOfWorld& aLeft, const KindOfWorld& aRight) {
        return aLeft.mKindsOfObjects == aRight.mKindsOfObjects &&
               aLeft.mPredicates == aRight.mPredicates;
    }

private:
    std::vector<KindOfObject> mKindsOfObjects;
    /// Ordered by the predicates' text; nullary predicates compare by identity.
    std::vector<std::pair<const NullPredicate*, bool>> mPredicates;
};

/// The worlds of one modal interpretation, split by whether the searched formula is false
/// (Counterexamples) or true (NonCounterexamples) in them, each in enumeration order.
class ModalCounterexample final : public Counterexample {
public:
    ModalCounterexample(std::vector<KindOfWorld> aCounterexamples,
                        std::vector<KindOfWorld> aNonCounterexamples)
        : mCounterexamples(std::move(aCounterexamples)),
          mNonCounterexamples(std::move(aNonCounterexamples)) {}

    const std::vector<KindOfWorld>& Counterexamples() const { return mCounterexamples; }
    const std::vector<KindOfWorld>& NonCounterexamples() const { return mNonCounterexamples; }

private:
    std::vector<KindOfWorld> mCounterexamples;
    std::vector<KindOfWorld> mNonCounterexamples;
};

} // namespace Logic
