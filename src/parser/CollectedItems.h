#pragma once
// One object per predicate letter, proposition letter and free variable, and one node per
// distinct predication and identity, for the whole of one parse (an argument's premises and
// conclusion share one collection), so that equal atoms are the same object everywhere.

#include <cstddef>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/Matrix.h"

namespace Logic {

class CollectedItems {
public:
    UnaryPredicatePtr AddUnaryPredicate(char aLetter);
    BinaryPredicatePtr AddBinaryPredicate(char aLetter);
    /// Looks the letter up first and makes a node only for a new letter.
    MatrixPtr AddNullPredicate(char aLetter);
    VariablePtr AddUnboundVariable(char aLetter);
    /// The three below build the candidate node first and then look it up: an equal stored
    /// node wins and the candidate is dropped (its serial name stays used).
    MatrixPtr AddUnaryPredication(const UnaryPredicatePtr& aPredicate, const VariablePtr& aVariable);
    MatrixPtr AddBinaryPredication(const BinaryPredicatePtr& aPredicate, const VariablePtr& aFirst,
                                   const VariablePtr& aSecond);
    MatrixPtr AddIdentification(const VariablePtr& aLeft, const VariablePtr& aRight);

    /// The free variables, in the order of their first use.
    const std::vector<VariablePtr>& UnboundVariables() const { return mUnboundVariableList; }

private:
    struct NodeHash {
        size_t operator()(const MatrixPtr& aNode) const { return aNode->Hash(); }
    };
    struct NodeEquals {
        bool operator()(const MatrixPtr& aLeft, const MatrixPtr& aRight) const {
            return aLeft->Kind() == aRight->Kind() && aLeft->Equals(*aRight);
        }
    };
    using NodeSet = std::unordered_set<MatrixPtr, NodeHash, NodeEquals>;

    static MatrixPtr Intern(NodeSet& aNodes, MatrixPtr aCandidate);

    std::unordered_map<char, BinaryPredicatePtr> mBinaryPredicates;
    std::unordered_map<char, UnaryPredicatePtr> mUnaryPredicates;
    std::unordered_map<char, MatrixPtr> mNullPredicates;
    NodeSet mPredications;
    NodeSet mIdentifications;
    std::unordered_map<char, VariablePtr> mUnboundVariables;
    std::vector<VariablePtr> mUnboundVariableList;
};

} // namespace Logic
