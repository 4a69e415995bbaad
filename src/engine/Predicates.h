#pragma once
// Predicates: the predicate index of one formula and the two 32-bit numberings built on it.
//
// A kind-of-world number holds, from the least significant bit up: one bit per nullary
// predicate (its truth), then one object-count field of b bits per combination of unary
// predicates, then (modal formulas only) the copy index of the world. An interpretation is one
// kind-of-world number without modal operators, and a set of kinds of worlds (bit W set: kind W
// is possible) with them. Nothing here allocates per number: the enumerations are ranges that
// count.

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "engine/KindOfWorld.h"
#include "model/Predicate.h"

namespace Logic {

class NullPredicate;

/// The numbers first .. last inclusive, in increasing order; may be empty and may end at the
/// largest 32-bit value.
class NumberRange {
public:
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = uint32_t;
        using difference_type = std::ptrdiff_t;
        using pointer = const uint32_t*;
        using reference = uint32_t;

        Iterator() = default;
        explicit Iterator(uint64_t aCurrent) : mCurrent(aCurrent) {}
        uint32_t operator*() const { return static_cast<uint32_t>(mCurrent); }
        Iterator& operator++() {
            ++mCurrent;
            return *this;
        }
        Iterator operator++(int) {
            Iterator lBefore = *this;
            ++mCurrent;
            return lBefore;
        }
        friend bool operator==(const Iterator&, const Iterator&) = default;

    private:
        uint64_t mCurrent = 0;
    };

    NumberRange(uint64_t aFirst, uint64_t aLast)
        : mBegin(aFirst), mEnd(aLast < aFirst ? aFirst : aLast + 1) {}
    Iterator begin() const { return Iterator(mBegin); }
    Iterator end() const { return Iterator(mEnd); }
    uint64_t size() const { return mEnd - mBegin; }
    bool empty() const { return mEnd == mBegin; }

private:
    uint64_t mBegin;
    uint64_t mEnd;
};

class Predicates;

/// The kind-of-world numbers of one interpretation, with each kind's copies, in increasing kind
/// order and, within a kind, increasing copy order.
class KindsOfWorldsRange {
public:
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = uint32_t;
        using difference_type = std::ptrdiff_t;
        using pointer = const uint32_t*;
        using reference = uint32_t;

        Iterator() = default;
        uint32_t operator*() const;
        Iterator& operator++();
        Iterator operator++(int) {
            Iterator lBefore = *this;
            ++*this;
            return lBefore;
        }
        friend bool operator==(const Iterator& aLeft, const Iterator& aRight) {
            return aLeft.mKind == aRight.mKind && aLeft.mCopy == aRight.mCopy;
        }

    private:
        friend class KindsOfWorldsRange;
        Iterator(const KindsOfWorldsRange* aRange, uint64_t aKind, uint32_t aCopy)
            : mRange(aRange), mKind(aKind), mCopy(aCopy) {}
        /// Moves mKind to the first possible kind at or after it (or to the end).
        void SkipImpossibleKinds();

        const KindsOfWorldsRange* mRange = nullptr;
        uint64_t mKind = 0;
        uint32_t mCopy = 0;
    };

    Iterator begin() const;
    Iterator end() const { return Iterator(this, mEndKind, 0); }

private:
    friend class Predicates;
    KindsOfWorldsRange(uint32_t aInterpretation, bool aModal, uint64_t aFirstKind,
                       uint64_t aEndKind, uint32_t aCopies, int32_t aCopyShift)
        : mInterpretation(aInterpretation), mModal(aModal), mFirstKind(aFirstKind),
          mEndKind(aEndKind), mCopies(aCopies), mCopyShift(aCopyShift) {}

    uint32_t mInterpretation;
    bool mModal;
    uint64_t mFirstKind;
    uint64_t mEndKind;
    uint32_t mCopies;
    int32_t mCopyShift;
};

class Predicates {
public:
    static constexpr int32_t BitsAvailable = 32;

    /// Fails with "Too many predicates!" when a kind-of-world number or an interpretation
    /// number would need more than 32 bits. The predicates are not owned: they belong to the
    /// formula, which must outlive this index.
    Predicates(std::vector<const NullPredicate*> aNullPredicates,
               std::vector<const UnaryPredicate*> aUnaryPredicates,
               int32_t aMaxmimumNumberOfDistinguishableObjectsOfAKind, bool aModalitiesPresent,
               int32_t aMaxmimumNumberOfModalitiesInIdentifications);

    /// Unique to this numbering within the process (copies share it); never 0. Memo tables
    /// filled under one numbering are recognised by it.
    uint64_t NumberingId() const { return mNumberingId; }

    int32_t NumberOfNullPredicates() const { return static_cast<int32_t>(mNullPredicates.size()); }
    int32_t NumberOfUnaryPredicates() const {
        return static_cast<int32_t>(mUnaryPredicates.size());
    }
    int32_t NumberOfCombinationsOfUnaryPredicates() const { return mNumberOfCombinations; }
    const std::vector<const NullPredicate*>& NullPredicates() const { return mNullPredicates; }
    const std::vector<const UnaryPredicate*>& UnaryPredicates() const { return mUnaryPredicates; }

    /// b: width of one object-count field.
    int32_t BitsNeededToRepresentObjectsOfAKind() const {
        return mBitsNeededToRepresentObjectsOfAKind;
    }
    /// w: width of a kind-of-world number (without the copy index).
    int32_t BitsNeededToDistinguishWorlds() const { return mBitsNeededToDistinguishWorlds; }
    /// d: copies of each kind of world in a modal interpretation.
    int32_t DistinguishableWorldsWithinAKind() const { return mDistinguishableWorldsWithinAKind; }
    bool ModalitiesPresent() const { return mModalitiesPresent; }
    /// Width of an interpretation number: w without modal operators, 2^w with them.
    uint64_t BitsNeeded() const { return mBitsNeeded; }
    bool NoDistinguishableObjects() const { return mNoDistinguishableObjects; }

    uint32_t FirstNonemptyWorld() const { return mFirstNonemptyWorld; }
    uint32_t LastKindOfWorld() const { return mLastKindOfWorld; }
    uint32_t FirstInterpretation() const { return mFirstInterpretation; }
    uint32_t LastInterpretation() const { return mLastInterpretation; }

    /// Every interpretation number, counted on demand (there may be 2^32 of them).
    NumberRange Interpretations() const {
        return NumberRange(mFirstInterpretation, mLastInterpretation);
    }
    /// Every kind-of-world number with objects (all of them without unary predicates).
    NumberRange KindsOfWorldsInOrder() const {
        return NumberRange(mFirstNonemptyWorld, mLastKindOfWorld);
    }
    /// The worlds of interpretation aInterpretation: itself without modal operators, else every
    /// copy of every possible kind it holds.
    KindsOfWorldsRange KindsOfWorlds(uint32_t aInterpretation) const;

    /// How many objects of combination aCombination kind of world aKindOfWorld holds.
    uint32_t DistinguishableInstancesOfThisPredicateCombination(uint32_t aKindOfWorld,
                                                                uint32_t aCombination) const {
        uint32_t lField = 0;
        if (mBitsNeededToRepresentObjectsOfAKind > 0) {
            lField = (aKindOfWorld >> (mFieldOffset + aCombination * mFieldWidth)) & mFieldMask;
        }
        return mUnaryPredicates.empty() ? lField + 1 : lField;
    }
    /// The display names of the objects of kind of world aKindOfWorld, combination by combination.
    std::vector<std::string> GetKindsOfObjectsIn(uint32_t aKindOfWorld) const;

    /// The truth of nullary predicate aPredicate in aKindOfWorld. Fails with
    /// "Null predicate {0}. not found in proposition." for a predicate not in the index.
    bool TrueIn(const NullPredicate& aPredicate, uint32_t aKindOfWorld) const;
    static bool VerifiesPredicate(uint32_t aKindOfWorld, int32_t aIndex) {
        return ((aKindOfWorld >> aIndex) & 1u) != 0;
    }
    /// The bit of aPredicate within a combination (its index by letter), or -1.
    int32_t IndexOfUnaryPredicate(const UnaryPredicate& aPredicate) const;

    KindOfWorld DecodeKindOfWorldNumber(uint32_t aKindOfWorld) const;
    std::vector<KindOfWorld> DecodeInterpretationNumber(uint32_t aInterpretation) const;

    /// Bits for a count field that must tell 1 .. aNumber apart: 0 for aNumber <= 0, 1 for 1,
    /// else the binary digits of aNumber - 1.
    static int32_t BitsNeededToEnumerate(int32_t aNumber);
    /// 1 shifted left by aPower (taken modulo 64).
    static uint64_t TwoToThe(int32_t aPower) { return uint64_t{1} << (aPower & 63); }
    /// Display name: the letters of the unary predicates in aCombination, then the instance.
    std::string BuildUnaryPredicateCombination(int32_t aCombination, uint32_t aInstance) const;

private:
    uint64_t mNumberingId;
    std::vector<const NullPredicate*> mNullPredicates;
    std::vector<const UnaryPredicate*> mUnaryPredicates;
    int32_t mNumberOfCombinations;
    int32_t mBitsNeededToRepresentObjectsOfAKind;
    int32_t mBitsNeededToDistinguishWorlds;
    uint64_t mBitsNeeded;
    bool mModalitiesPresent;
    int32_t mDistinguishableWorldsWithinAKind;
    bool mNoDistinguishableObjects;
    uint32_t mFirstNonemptyWorld;
    uint32_t mLastKindOfWorld;
    uint32_t mFirstInterpretation;
    uint32_t mLastInterpretation;
    uint32_t mFieldOffset;
    uint32_t mFieldWidth;
    uint32_t mFieldMask;
};

} // namespace Logic
