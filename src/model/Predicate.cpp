#include "model/Predicate.h"

#include "model/EngineException.h"

namespace Logic {

namespace {
constexpr const char* kUnaryMismatch = "UnaryPredicate compared to non-UnaryPredicate.";
constexpr const char* kBinaryMismatch = "BinaryPredicate compared to non-BinaryPredicate.";
} // namespace

bool UnaryPredicate::Equals(const UnaryPredicate* aOther) const {
    if (aOther == nullptr) {
        throw EngineException(kUnaryMismatch);
    }
    return mLetter == aOther->mLetter;
}

bool UnaryPredicate::Equals(const BinaryPredicate*) const {
    throw EngineException(kUnaryMismatch);
}

bool UnaryPredicate::Equals(std::nullptr_t) const {
    throw EngineException(kUnaryMismatch);
}

bool BinaryPredicate::Equals(const BinaryPredicate* aOther) const {
    if (aOther == nullptr) {
        throw EngineException(kBinaryMismatch);
    }
    return mLetter == aOther->mLetter;
}

bool BinaryPredicate::Equals(const UnaryPredicate*) const {
    throw EngineException(kBinaryMismatch);
}

bool BinaryPredicate::Equals(std::nullptr_t) const {
    throw EngineException(kBinaryMismatch);
}

} // namespace Logic
