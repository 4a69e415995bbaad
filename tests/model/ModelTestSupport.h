#pragma once
// Small helpers for looking inside formulas built by the tests.

#include <string>
#include <vector>

#include "model/BinaryOperator.h"
#include "model/Factory.h"
#include "model/UnaryOperator.h"
#include "model/UniversalGeneralization.h"

namespace Logic::Testing {

inline const Matrix* Inner(const Matrix* aNode) {
    return static_cast<const UnaryOperator*>(aNode)->InnerMatrix().get();
}
inline const Matrix* Left(const Matrix* aNode) {
    return static_cast<const BinaryOperator*>(aNode)->Left().get();
}
inline const Matrix* Right(const Matrix* aNode) {
    return static_cast<const BinaryOperator*>(aNode)->Right().get();
}
inline const Variable* Bound(const Matrix* aNode) {
    return static_cast<const UniversalGeneralization*>(aNode)->Variable().get();
}

/// The serial number a node was given.
inline long Number(const Matrix* aNode) {
    return std::stol(aNode->Name());
}
inline long Number(const MatrixPtr& aNode) {
    return Number(aNode.get());
}

/// The serial number the next node will take.
inline long Next() {
    return NamedObject::NextObjectNumber.load();
}

template <typename T> std::vector<const T*> Raw(const std::vector<std::shared_ptr<T>>& aItems) {
    std::vector<const T*> lRaw;
    for (const auto& lItem : aItems) {
        lRaw.push_back(lItem.get());
    }
    return lRaw;
}

} // namespace Logic::Testing
