#include "parser/CollectedItems.h"

#include <string>
#include <utility>

#include "model/Factory.h"

namespace Logic {

UnaryPredicatePtr CollectedItems::AddUnaryPredicate(char aLetter) {
    auto [lEntry, lIsNew] = mUnaryPredicates.try_emplace(aLetter);
    if (lIsNew) {
        lEntry->second = Factory::UnaryPredicate(aLetter);
    }
    return lEntry->second;
}

BinaryPredicatePtr CollectedItems::AddBinaryPredicate(char aLetter) {
    auto [lEntry, lIsNew] = mBinaryPredicates.try_emplace(aLetter);
    if (lIsNew) {
        lEntry->second = Factory::BinaryPredicate(aLetter);
    }
    return lEntry->second;
}

MatrixPtr CollectedItems::AddNullPredicate(char aLetter) {
    auto [lEntry, lIsNew] = mNullPredicates.try_emplace(aLetter);
    if (lIsNew) {
        lEntry->second = Factory::NullPredicate(std::string(1, aLetter));
    }
    return lEntry->second;
}

VariablePtr CollectedItems::AddUnboundVariable(char aLetter) {
    auto [lEntry, lIsNew] = mUnboundVariables.try_emplace(aLetter);
    if (lIsNew) {
        lEntry->second = Factory::Variable(aLetter);
        mUnboundVariableList.push_back(lEntry->second);
    }
    return lEntry->second;
}

MatrixPtr CollectedItems::Intern(NodeSet& aNodes, MatrixPtr aCandidate) {
    return *aNodes.insert(std::move(aCandidate)).first;
}

MatrixPtr CollectedItems::AddUnaryPredication(const UnaryPredicatePtr& aPredicate,
                                              const VariablePtr& aVariable) {
    return Intern(mPredications, Factory::Predication(aPredicate, aVariable));
}

MatrixPtr CollectedItems::AddBinaryPredication(const BinaryPredicatePtr& aPredicate,
                                               const VariablePtr& aFirst,
                                               const VariablePtr& aSecond) {
    return Intern(mPredications, Factory::Predication(aPredicate, aFirst, aSecond));
}

MatrixPtr CollectedItems::AddIdentification(const VariablePtr& aLeft, const VariablePtr& aRight) {
    return Intern(mIdentifications, Factory::TheSame(aLeft, aRight));
}

} // namespace Logic
