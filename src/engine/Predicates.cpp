#include "engine/Predicates.h"

#include <algorithm>
#include <atomic>
#include <bit>

#include "model/EngineException.h"
#include "model/NullPredicate.h"

namespace Logic {

namespace {

std::atomic<uint64_t> gNextNumberingId{1};

[[noreturn]] void TooManyPredicates() { throw EngineException(TooManyPredicatesFailure); }

/// Binary digits of aNumber: the width of a field that holds 0 .. aNumber.
int32_t BitsToHold(int32_t aNumber) {
    return aNumber <= 0 ? 0 : static_cast<int32_t>(std::bit_width(static_cast<uint32_t>(aNumber)));
}

} // namespace

int32_t Predicates::BitsNeededToEnumerate(int32_t aNumber) {
    if (aNumber <= 0) {
        return 0;
    }
    if (aNumber == 1) {
        return 1;
    }
    return BitsToHold(aNumber - 1);
}

Predicates::Predicates(std::vector<const NullPredicate*> aNullPredicates,
                       std::vector<const UnaryPredicate*> aUnaryPredicates,
                       int32_t aMaxmimumNumberOfDistinguishableObjectsOfAKind,
                       bool aModalitiesPresent,
                       int32_t aMaxmimumNumberOfModalitiesInIdentifications)
    : mNumberingId(gNextNumberingId.fetch_add(1, std::memory_order_relaxed)),
      mNullPredicates(std::move(aNullPredicates)), mUnaryPredicates(std::move(aUnaryPredicates)),
      mModalitiesPresent(aModalitiesPresent) {
    const int32_t lMaximum = aMaxmimumNumberOfDistinguishableObjectsOfAKind;
    const uint64_t lNull = mNullPredicates.size();
    const uint64_t lUnary = mUnaryPredicates.size();
    // Even one object per combination needs at least 2^k bits, so k beyond 32 never fits; the
    // check also keeps the shift below in range.
    if (lUnary > static_cast<uint64_t>(BitsAvailable) || lNull > static_cast<uint64_t>(BitsAvailable)) {
        TooManyPredicates();
    }
    const uint64_t lCombinations = uint64_t{1} << lUnary;
    // With unary predicates a combination may hold no objects, so its field must count 0 .. M
    // (M + 1 values); without them the single field counts 1 .. 2^b.
    const int32_t lFieldBits =
        lUnary > 0 ? BitsToHold(lMaximum) : BitsNeededToEnumerate(lMaximum);
    const uint64_t lWorldBits = static_cast<uint64_t>(lFieldBits) * lCombinations + lNull;
    if (lWorldBits > static_cast<uint64_t>(BitsAvailable)) {
        TooManyPredicates();
    }
    mNumberOfCombinations = static_cast<int32_t>(lCombinations);
    mBitsNeededToRepresentObjectsOfAKind = lFieldBits;
    mBitsNeededToDistinguishWorlds = static_cast<int32_t>(lWorldBits);
    mDistinguishableWorldsWithinAKind = std::max(aMaxmimumNumberOfModalitiesInIdentifications, 1);
    mBitsNeeded = mModalitiesPresent ? TwoToThe(mBitsNeededToDistinguishWorlds) : lWorldBits;
    if (mBitsNeeded > static_cast<uint64_t>(BitsAvailable)) {
        TooManyPredicates();
    }
    // The copy index sits above the w bits of a modal world number and must fit beside them.
    if (mModalitiesPresent &&
        lWorldBits + std::bit_width(static_cast<uint32_t>(mDistinguishableWorldsWithinAKind - 1)) >
            static_cast<uint64_t>(BitsAvailable)) {
        TooManyPredicates();
    }
    // With unary predicates the worlds below 2^n have no objects at all and are skipped.
    const uint64_t lFirstNonempty = lUnary > 0 ? uint64_t{1} << lNull : 0;
    if (lFirstNonempty > UINT32_MAX) {
        TooManyPredicates();
    }
    mNoDistinguishableObjects = lMaximum <= 0;
    mFirstNonemptyWorld = static_cast<uint32_t>(lFirstNonempty);
    mLastKindOfWorld = static_cast<uint32_t>((uint64_t{1} << lWorldBits) - 1);
    mFirstInterpretation = mModalitiesPresent ? 1 : mFirstNonemptyWorld;
    mLastInterpretation = static_cast<uint32_t>((uint64_t{1} << mBitsNeeded) - 1);
    mFieldOffset = static_cast<uint32_t>(lNull);
    mFieldWidth = static_cast<uint32_t>(lFieldBits);
    mFieldMask = static_cast<uint32_t>((uint64_t{1} << lFieldBits) - 1);
}

KindsOfWorldsRange Predicates::KindsOfWorlds(uint32_t aInterpretation) const {
    if (!mModalitiesPresent) {
        return KindsOfWorldsRange(aInterpretation, false, aInterpretation,
                                  uint64_t{aInterpretation} + 1, 1, 0);
    }
    return KindsOfWorldsRange(aInterpretation, true, mFirstNonemptyWorld,
                              uint64_t{mLastKindOfWorld} + 1,
                              static_cast<uint32_t>(mDistinguishableWorldsWithinAKind),
                              mBitsNeededToDistinguishWorlds);
}

KindsOfWorldsRange::Iterator KindsOfWorldsRange::begin() const {
    Iterator lBegin(this, mFirstKind, 0);
    lBegin.SkipImpossibleKinds();
    return lBegin;
}

uint32_t KindsOfWorldsRange::Iterator::operator*() const {
    return static_cast<uint32_t>(mKind) + (mCopy << mRange->mCopyShift);
}

KindsOfWorldsRange::Iterator& KindsOfWorldsRange::Iterator::operator++() {
    if (++mCopy < mRange->mCopies) {
        return *this;
    }
    mCopy = 0;
    ++mKind;
    SkipImpossibleKinds();
    return *this;
}

void KindsOfWorldsRange::Iterator::SkipImpossibleKinds() {
    if (!mRange->mModal) {
        return;
    }
    // Modal world numbers have at most five bits, so mKind < 32 inside the range.
    while (mKind < mRange->mEndKind && ((mRange->mInterpretation >> mKind) & 1u) == 0) {
        ++mKind;
    }
}

std::vector<std::string> Predicates::GetKindsOfObjectsIn(uint32_t aKindOfWorld) const {
    std::vector<std::string> lNames;
    for (uint32_t lCombination = 0; lCombination < static_cast<uint32_t>(mNumberOfCombinations);
         ++lCombination) {
        const uint32_t lCount =
            DistinguishableInstancesOfThisPredicateCombination(aKindOfWorld, lCombination);
        for (uint32_t lInstance = 0; lInstance < lCount; ++lInstance) {
            lNames.push_back(
                BuildUnaryPredicateCombination(static_cast<int32_t>(lCombination), lInstance));
        }
    }
    return lNames;
}

std::string Predicates::BuildUnaryPredicateCombination(int32_t aCombination,
                                                       uint32_t aInstance) const {
    std::string lName;
    for (size_t lIndex = 0; lIndex < mUnaryPredicates.size(); ++lIndex) {
        if (((static_cast<uint32_t>(aCombination) >> lIndex) & 1u) != 0) {
            lName += mUnaryPredicates[lIndex]->Letter();
        }
    }
    // One character per instance while it stays printable ASCII; past '~' the instance is
    // written as a number so that names remain valid text.
    constexpr uint32_t lFirstInstanceCode = '1';
    if (aInstance <= static_cast<uint32_t>('~') - lFirstInstanceCode) {
        lName += static_cast<char>(lFirstInstanceCode + aInstance);
    } else {
        lName += '#';
        lName += std::to_string(uint64_t{aInstance} + 1);
    }
    return lName;
}

bool Predicates::TrueIn(const NullPredicate& aPredicate, uint32_t aKindOfWorld) const {
    for (size_t lIndex = 0; lIndex < mNullPredicates.size(); ++lIndex) {
        if (mNullPredicates[lIndex] == &aPredicate) {
            return VerifiesPredicate(aKindOfWorld, static_cast<int32_t>(lIndex));
        }
    }
    throw EngineException("Null predicate {0}. not found in proposition.", aPredicate.Description());
}

int32_t Predicates::IndexOfUnaryPredicate(const UnaryPredicate& aPredicate) const {
    for (size_t lIndex = 0; lIndex < mUnaryPredicates.size(); ++lIndex) {
        if (mUnaryPredicates[lIndex]->Letter() == aPredicate.Letter()) {
            return static_cast<int32_t>(lIndex);
        }
    }
    return -1;
}

KindOfWorld Predicates::DecodeKindOfWorldNumber(uint32_t aKindOfWorld) const {
    std::vector<KindOfObject> lKindsOfObjects;
    for (uint32_t lCombination = 0; lCombination < static_cast<uint32_t>(mNumberOfCombinations);
         ++lCombination) {
        const uint32_t lCount =
            DistinguishableInstancesOfThisPredicateCombination(aKindOfWorld, lCombination);
        if (lCount == 0) {
            continue;
        }
        std::vector<UnaryPredicate> lAffirmed;
        std::vector<UnaryPredicate> lDenied;
        for (size_t lIndex = 0; lIndex < mUnaryPredicates.size(); ++lIndex) {
            auto& lSide = ((lCombination >> lIndex) & 1u) != 0 ? lAffirmed : lDenied;
            lSide.push_back(*mUnaryPredicates[lIndex]);
        }
        lKindsOfObjects.emplace_back(lCount, lAffirmed, lDenied);
    }
    std::vector<const NullPredicate*> lTrue;
    std::vector<const NullPredicate*> lFalse;
    for (size_t lIndex = 0; lIndex < mNullPredicates.size(); ++lIndex) {
        auto& lSide = VerifiesPredicate(aKindOfWorld, static_cast<int32_t>(lIndex)) ? lTrue : lFalse;
        lSide.push_back(mNullPredicates[lIndex]);
    }
    return KindOfWorld(lKindsOfObjects, lTrue, lFalse);
}

std::vector<KindOfWorld> Predicates::DecodeInterpretationNumber(uint32_t aInterpretation) const {
    std::vector<KindOfWorld> lWorlds;
    for (uint32_t lKindOfWorld : KindsOfWorlds(aInterpretation)) {
        lWorlds.push_back(DecodeKindOfWorldNumber(lKindOfWorld));
    }
    return lWorlds;
}

} // namespace Logic
