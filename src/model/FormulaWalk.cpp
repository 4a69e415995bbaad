#include "model/FormulaWalk.h"

#include <unordered_map>
#include <unordered_set>

#include "model/Argument.h"
#include "model/BinaryOperator.h"
#include "model/BinaryPredication.h"
#include "model/Conjunction.h"
#include "model/Disjunction.h"
#include "model/EngineException.h"
#include "model/Equivalence.h"
#include "model/Identification.h"
#include "model/JointDenial.h"
#include "model/MaterialConditional.h"
#include "model/Necessity.h"
#include "model/Negation.h"
#include "model/NullPredicate.h"
#include "model/UnaryOperator.h"
#include "model/UnaryPredication.h"
#include "model/UniversalGeneralization.h"
#include "platform/Cancellation.h"

namespace Logic::FormulaWalk {

namespace {

bool IsAtomic(NodeKind aKind) {
    return !IsUnaryOperator(aKind) && !IsBinaryOperator(aKind);
}

/// Pre-order walk with an explicit stack; every node is a step of work for the command's
/// cancellation. fEnter returns whether to descend into the node's
/// operands; fExit is called after the subtree of every quantifier and necessity, which are
/// the only nodes that open a scope.
template <typename Enter, typename Exit>
void Walk(const Matrix& aRoot, Enter&& fEnter, Exit&& fExit) {
    struct Item {
        const Matrix* mNode;
        bool mExit;
    };
    std::vector<Item> lStack{{&aRoot, false}};
    while (!lStack.empty()) {
        CheckCancellation();
        Item lItem = lStack.back();
        lStack.pop_back();
        if (lItem.mExit) {
            fExit(*lItem.mNode);
            continue;
        }
        const Matrix& lNode = *lItem.mNode;
        if (!fEnter(lNode)) {
            continue;
        }
        NodeKind lKind = lNode.Kind();
        if (lKind == NodeKind::UniversalGeneralization || lKind == NodeKind::Necessity) {
            lStack.push_back({&lNode, true});
        }
        Operands lOperands = OperandsOf(lNode);
        if (lOperands.mSecond) {
            lStack.push_back({lOperands.mSecond, false});
        }
        if (lOperands.mFirst) {
            lStack.push_back({lOperands.mFirst, false});
        }
    }
}

template <typename Enter> void Walk(const Matrix& aRoot, Enter&& fEnter) {
    Walk(aRoot, std::forward<Enter>(fEnter), [](const Matrix&) {});
}

/// Atomic nodes are collected by the model's equality, which hashes consistently for them.
struct NodeHash {
    size_t operator()(const Matrix* aNode) const { return aNode->Hash(); }
};
struct NodeEqual {
    bool operator()(const Matrix* aLeft, const Matrix* aRight) const {
        return aLeft == aRight || aLeft->Equals(*aRight);
    }
};
using NodeSet = std::unordered_set<const Matrix*, NodeHash, NodeEqual>;

const Variable* BoundVariable(const Matrix& aNode) {
    return static_cast<const UniversalGeneralization&>(aNode).Variable().get();
}

template <typename T, typename Key>
void AddOnce(std::vector<T>& aResult, std::unordered_set<Key>& aSeen, const T& aItem,
             const Key& aKey) {
    if (aSeen.insert(aKey).second) {
        aResult.push_back(aItem);
    }
}

} // namespace

bool IsUnaryOperator(NodeKind aKind) {
    return aKind == NodeKind::Negation || aKind == NodeKind::Necessity ||
           aKind == NodeKind::UniversalGeneralization;
}

bool IsBinaryOperator(NodeKind aKind) {
    switch (aKind) {
    case NodeKind::Conjunction:
    case NodeKind::Disjunction:
    case NodeKind::MaterialConditional:
    case NodeKind::Argument:
    case NodeKind::Equivalence:
    case NodeKind::JointDenial:
        return true;
    case NodeKind::Negation:
    case NodeKind::Necessity:
    case NodeKind::UniversalGeneralization:
    case NodeKind::NullPredicate:
    case NodeKind::UnaryPredication:
    case NodeKind::BinaryPredication:
    case NodeKind::Identification:
        return false;
    }
    return false;
}

Operands OperandsOf(const Matrix& aNode) {
    NodeKind lKind = aNode.Kind();
    if (IsUnaryOperator(lKind)) {
        return {static_cast<const UnaryOperator&>(aNode).InnerMatrix().get(), nullptr};
    }
    if (IsBinaryOperator(lKind)) {
        const auto& lBinary = static_cast<const BinaryOperator&>(aNode);
        return {lBinary.Left().get(), lBinary.Right().get()};
    }
    return {};
}

std::vector<VariablePtr> FreeVariables(const Matrix& aRoot) {
    std::vector<VariablePtr> lResult;
    std::unordered_set<const Variable*> lSeen;
    // How many quantifiers on the current path bind each variable.
    std::unordered_map<const Variable*, int> lBound;
    Walk(
        aRoot,
        [&](const Matrix& fNode) {
            if (fNode.Kind() == NodeKind::UniversalGeneralization) {
                ++lBound[BoundVariable(fNode)];
                return true;
            }
            if (!IsAtomic(fNode.Kind())) {
                return true;
            }
            for (const VariablePtr& lVariable : fNode.FreeVariables()) {
                auto lFound = lBound.find(lVariable.get());
                if (lFound == lBound.end() || lFound->second == 0) {
                    AddOnce(lResult, lSeen, lVariable,
                            static_cast<const Variable*>(lVariable.get()));
                }
            }
            return false;
        },
        [&](const Matrix& fNode) {
            if (fNode.Kind() == NodeKind::UniversalGeneralization) {
                --lBound[BoundVariable(fNode)];
            }
        });
    return lResult;
}

std::vector<const Necessity*> FreeModalities(const Matrix& aRoot) {
    std::vector<const Necessity*> lResult;
    std::unordered_set<const Necessity*> lSeen;
    // Necessity nodes on the current path: their own modality is not free.
    std::unordered_map<const Necessity*, int> lEnclosing;
    Walk(
        aRoot,
        [&](const Matrix& fNode) {
            if (fNode.Kind() == NodeKind::Necessity) {
                ++lEnclosing[static_cast<const Necessity*>(&fNode)];
                return true;
            }
            if (!IsAtomic(fNode.Kind())) {
                return true;
            }
            for (const Necessity* lModality : fNode.FreeModalities()) {
                auto lFound = lEnclosing.find(lModality);
                if (lModality == nullptr || lFound == lEnclosing.end() || lFound->second == 0) {
                    AddOnce(lResult, lSeen, lModality, lModality);
                }
            }
            return false;
        },
        [&](const Matrix& fNode) {
            if (fNode.Kind() == NodeKind::Necessity) {
                --lEnclosing[static_cast<const Necessity*>(&fNode)];
            }
        });
    return lResult;
}

std::vector<VariablePtr> IdentifiedVariables(const Matrix& aRoot) {
    std::vector<VariablePtr> lResult;
    std::unordered_set<const Variable*> lSeen;
    Walk(aRoot, [&](const Matrix& fNode) {
        if (fNode.Kind() == NodeKind::Identification) {
            for (const VariablePtr& lVariable : fNode.IdentifiedVariables()) {
                AddOnce(lResult, lSeen, lVariable, static_cast<const Variable*>(lVariable.get()));
            }
        }
        return !IsAtomic(fNode.Kind());
    });
    return lResult;
}

std::vector<const Necessity*> ModalitiesInIdentifications(const Matrix& aRoot) {
    std::vector<const Necessity*> lResult;
    std::unordered_set<const Necessity*> lSeen;
    Walk(aRoot, [&](const Matrix& fNode) {
        if (fNode.Kind() == NodeKind::Identification) {
            for (const Necessity* lModality : fNode.ModalitiesInIdentifications()) {
                AddOnce(lResult, lSeen, lModality, lModality);
            }
        }
        return !IsAtomic(fNode.Kind());
    });
    return lResult;
}

std::vector<const Matrix*> NonNullPredications(const Matrix& aRoot) {
    std::vector<const Matrix*> lResult;
    NodeSet lSeen;
    Walk(aRoot, [&](const Matrix& fNode) {
        if (!IsAtomic(fNode.Kind())) {
            return true;
        }
        if (fNode.Kind() != NodeKind::NullPredicate && lSeen.insert(&fNode).second) {
            lResult.push_back(&fNode);
        }
        return false;
    });
    return lResult;
}

std::vector<const NullPredicate*> NullPredicates(const Matrix& aRoot) {
    std::vector<const NullPredicate*> lResult;
    std::unordered_set<const NullPredicate*> lSeen;
    Walk(aRoot, [&](const Matrix& fNode) {
        if (fNode.Kind() == NodeKind::NullPredicate) {
            auto lNull = static_cast<const NullPredicate*>(&fNode);
            AddOnce(lResult, lSeen, lNull, lNull);
        }
        return !IsAtomic(fNode.Kind());
    });
    return lResult;
}

std::vector<const UnaryPredicate*> UnaryPredicates(const Matrix& aRoot) {
    std::vector<const UnaryPredicate*> lResult;
    // Unary predicates are equal exactly when their letters are.
    std::unordered_set<char> lSeen;
    Walk(aRoot, [&](const Matrix& fNode) {
        if (fNode.Kind() == NodeKind::UnaryPredication) {
            const UnaryPredicate* lPredicate =
                static_cast<const UnaryPredication&>(fNode).Predicate().get();
            AddOnce(lResult, lSeen, lPredicate, lPredicate->Letter());
        }
        return !IsAtomic(fNode.Kind());
    });
    return lResult;
}

std::vector<std::pair<const UniversalGeneralization*, const Matrix*>>
ClosedPredications(const Matrix& aRoot) {
    // Each quantifier pairs with the distinct predications of its scope that use its variable;
    // the quantifiers' lists follow one another in the pre-order of the quantifiers. Collecting
    // them per predication, from the quantifiers on the path that bind one of its variables,
    // costs no more than the predication's own binders instead of a scan per quantifier.
    struct Bucket {
        const UniversalGeneralization* mQuantifier;
        std::vector<const Matrix*> mPredications;
        NodeSet mSeen;
    };
    std::vector<Bucket> lBuckets;
    std::unordered_map<const UniversalGeneralization*, size_t> lBucketOf;
    std::unordered_map<const Variable*, std::vector<size_t>> lBinders;
    Walk(
        aRoot,
        [&](const Matrix& fNode) {
            if (fNode.Kind() == NodeKind::UniversalGeneralization) {
                auto lQuantifier = static_cast<const UniversalGeneralization*>(&fNode);
                auto [lAt, lNew] = lBucketOf.try_emplace(lQuantifier, lBuckets.size());
                if (lNew) {
                    lBuckets.push_back({lQuantifier, {}, {}});
                }
                lBinders[BoundVariable(fNode)].push_back(lAt->second);
                return true;
            }
            if (!IsAtomic(fNode.Kind())) {
                return true;
            }
            if (fNode.Kind() == NodeKind::NullPredicate) {
                return false;
            }
            for (const VariablePtr& lVariable : fNode.FreeVariables()) {
                auto lFound = lBinders.find(lVariable.get());
                if (lFound == lBinders.end()) {
                    continue;
                }
                for (size_t lIndex : lFound->second) {
                    Bucket& lBucket = lBuckets[lIndex];
                    if (lBucket.mSeen.insert(&fNode).second) {
                        lBucket.mPredications.push_back(&fNode);
                    }
                }
            }
            return false;
        },
        [&](const Matrix& fNode) {
            if (fNode.Kind() == NodeKind::UniversalGeneralization) {
                lBinders[BoundVariable(fNode)].pop_back();
            }
        });
    std::vector<std::pair<const UniversalGeneralization*, const Matrix*>> lResult;
    for (const Bucket& lBucket : lBuckets) {
        for (const Matrix* lPredication : lBucket.mPredications) {
            lResult.emplace_back(lBucket.mQuantifier, lPredication);
        }
    }
    return lResult;
}

std::vector<std::pair<const Matrix*, const Matrix*>> DirectDependencies(const Matrix& aRoot) {
    std::vector<std::pair<const Matrix*, const Matrix*>> lResult;
    Walk(aRoot, [&](const Matrix& fNode) {
        Operands lOperands = OperandsOf(fNode);
        if (lOperands.mFirst) {
            lResult.emplace_back(&fNode, lOperands.mFirst);
        }
        if (lOperands.mSecond) {
            lResult.emplace_back(&fNode, lOperands.mSecond);
        }
        return true;
    });
    return lResult;
}

std::vector<const Matrix*> Matrices(const Matrix& aRoot) {
    std::vector<const Matrix*> lResult;
    Walk(aRoot, [&](const Matrix& fNode) {
        lResult.push_back(&fNode);
        return true;
    });
    return lResult;
}

std::vector<const Matrix*> Conjuncts(const Matrix& aRoot) {
    std::vector<const Matrix*> lResult;
    std::vector<const Matrix*> lStack{&aRoot};
    while (!lStack.empty()) {
        const Matrix* lNode = lStack.back();
        lStack.pop_back();
        if (lNode->Kind() != NodeKind::Conjunction) {
            lResult.push_back(lNode);
            continue;
        }
        const auto* lConjunction = static_cast<const Conjunction*>(lNode);
        lStack.push_back(lConjunction->Right().get());
        lStack.push_back(lConjunction->Left().get());
    }
    return lResult;
}

namespace {

/// Calls fQuantifier for every quantifier below aStart that a Necessity at aStart would claim:
/// down through negations, quantifiers and connectives, not into nested Necessity nodes.
template <typename Visit> void ForClaimedQuantifiers(const Matrix& aStart, Visit&& fQuantifier) {
    std::unordered_set<const Matrix*> lVisited;
    std::vector<const Matrix*> lStack{&aStart};
    while (!lStack.empty()) {
        const Matrix* lNode = lStack.back();
        lStack.pop_back();
        NodeKind lKind = lNode->Kind();
        // A nested Necessity has already claimed the variables of its own scope.
        if (lKind == NodeKind::Necessity || IsAtomic(lKind)) {
            continue;
        }
        if (!lVisited.insert(lNode).second) {
            continue;
        }
        if (lKind == NodeKind::UniversalGeneralization) {
            fQuantifier(*static_cast<const UniversalGeneralization*>(lNode)->Variable());
        }
        Operands lOperands = OperandsOf(*lNode);
        if (lOperands.mSecond) {
            lStack.push_back(lOperands.mSecond);
        }
        lStack.push_back(lOperands.mFirst);
    }
}

} // namespace

void AssignModality(const Matrix& aStart, const Necessity* aModality) {
    std::vector<Variable*> lAssigned;
    try {
        ForClaimedQuantifiers(aStart, [&](Variable& fVariable) {
            bool lWasUnassigned = fVariable.Modality() == nullptr;
            fVariable.SetModality(aModality);
            if (lWasUnassigned) {
                lAssigned.push_back(&fVariable);
            }
        });
    } catch (...) {
        for (Variable* lVariable : lAssigned) {
            lVariable->ForgetModality(aModality);
        }
        throw;
    }
}

void ForgetModality(const Matrix& aStart, const Necessity* aModality) noexcept {
    try {
        ForClaimedQuantifiers(aStart,
                              [&](Variable& fVariable) { fVariable.ForgetModality(aModality); });
    } catch (...) {
        // Out of memory while freeing: the variables die with this formula in the usual case.
    }
}

bool Equal(const Matrix& aLeft, const Matrix& aRight) {
    std::vector<std::pair<const Matrix*, const Matrix*>> lStack{{&aLeft, &aRight}};
    while (!lStack.empty()) {
        auto [lLeft, lRight] = lStack.back();
        lStack.pop_back();
        if (lLeft == lRight) {
            continue;
        }
        NodeKind lKind = lLeft->Kind();
        if (lKind != lRight->Kind()) {
            return false;
        }
        if (IsAtomic(lKind)) {
            if (!lLeft->Equals(*lRight)) {
                return false;
            }
            continue;
        }
        if (lKind == NodeKind::UniversalGeneralization &&
            BoundVariable(*lLeft) != BoundVariable(*lRight)) {
            return false;
        }
        Operands lLeftOperands = OperandsOf(*lLeft);
        Operands lRightOperands = OperandsOf(*lRight);
        if (lLeftOperands.mSecond) {
            lStack.emplace_back(lLeftOperands.mSecond, lRightOperands.mSecond);
        }
        lStack.emplace_back(lLeftOperands.mFirst, lRightOperands.mFirst);
    }
    return true;
}

std::string Text(const Matrix& aRoot) {
    enum class Part : uint8_t { Whole, Connector, Close };
    struct Item {
        const Matrix* mNode;
        Part mPart;
    };
    std::string lText;
    std::vector<Item> lStack{{&aRoot, Part::Whole}};
    while (!lStack.empty()) {
        CheckCancellation();
        Item lItem = lStack.back();
        lStack.pop_back();
        const Matrix& lNode = *lItem.mNode;
        if (lItem.mPart == Part::Connector) {
            lText += static_cast<const BinaryOperator&>(lNode).Connector();
            continue;
        }
        if (lItem.mPart == Part::Close) {
            lText += ')';
            continue;
        }
        NodeKind lKind = lNode.Kind();
        Operands lOperands = OperandsOf(lNode);
        if (IsBinaryOperator(lKind)) {
            lText += '(';
            lStack.push_back({&lNode, Part::Close});
            lStack.push_back({lOperands.mSecond, Part::Whole});
            lStack.push_back({&lNode, Part::Connector});
            lStack.push_back({lOperands.mFirst, Part::Whole});
        } else if (lKind == NodeKind::Negation) {
            lText += '~';
            lStack.push_back({lOperands.mFirst, Part::Whole});
        } else if (lKind == NodeKind::Necessity) {
            lText += "[]";
            lStack.push_back({lOperands.mFirst, Part::Whole});
        } else if (lKind == NodeKind::UniversalGeneralization) {
            lText += '(';
            lText += BoundVariable(lNode)->ToString();
            lText += ',';
            lStack.push_back({&lNode, Part::Close});
            lStack.push_back({lOperands.mFirst, Part::Whole});
        } else {
            lText += lNode.ToString();
        }
    }
    return lText;
}

namespace {

MatrixPtr Rebuild(const Matrix& aNode, const MatrixPtr& aFirst, const MatrixPtr& aSecond,
                  const VariablePtr& aReplaced, const VariablePtr& aReplacement) {
    switch (aNode.Kind()) {
    case NodeKind::Negation:
        return std::make_shared<Negation>(aFirst);
    case NodeKind::Necessity:
        return std::make_shared<Necessity>(aFirst);
    case NodeKind::UniversalGeneralization: {
        const VariablePtr& lBound = static_cast<const UniversalGeneralization&>(aNode).Variable();
        return std::make_shared<UniversalGeneralization>(
            Variable::Substitute(lBound, aReplaced, aReplacement), aFirst);
    }
    case NodeKind::Conjunction:
        return std::make_shared<Conjunction>(aFirst, aSecond);
    case NodeKind::Disjunction:
        return std::make_shared<Disjunction>(aFirst, aSecond);
    // An argument's substitution is the plain conditional: premises are not re-joined.
    case NodeKind::MaterialConditional:
    case NodeKind::Argument:
        return std::make_shared<MaterialConditional>(aFirst, aSecond);
    case NodeKind::Equivalence:
        return std::make_shared<Equivalence>(aFirst, aSecond);
    case NodeKind::JointDenial:
        return std::make_shared<JointDenial>(aFirst, aSecond);
    case NodeKind::NullPredicate:
    case NodeKind::UnaryPredication:
    case NodeKind::BinaryPredication:
    case NodeKind::Identification:
        return aNode.Substitute(aReplaced, aReplacement);
    }
    throw EngineException("Unknown kind of formula node.");
}

} // namespace

MatrixPtr Substitute(const Matrix& aRoot, const VariablePtr& aReplaced,
                     const VariablePtr& aReplacement) {
    struct Frame {
        const Matrix* mNode;
        bool mOperandsDone;
    };
    std::vector<Frame> lFrames{{&aRoot, false}};
    std::vector<MatrixPtr> lBuilt;
    while (!lFrames.empty()) {
        CheckCancellation();
        Frame lFrame = lFrames.back();
        lFrames.pop_back();
        const Matrix& lNode = *lFrame.mNode;
        Operands lOperands = OperandsOf(lNode);
        if (!lFrame.mOperandsDone && lOperands.mFirst) {
            lFrames.push_back({&lNode, true});
            if (lOperands.mSecond) {
                lFrames.push_back({lOperands.mSecond, false});
            }
            lFrames.push_back({lOperands.mFirst, false});
            continue;
        }
        MatrixPtr lSecond;
        MatrixPtr lFirst;
        if (lOperands.mSecond) {
            lSecond = std::move(lBuilt.back());
            lBuilt.pop_back();
        }
        if (lOperands.mFirst) {
            lFirst = std::move(lBuilt.back());
            lBuilt.pop_back();
        }
        lBuilt.push_back(Rebuild(lNode, lFirst, lSecond, aReplaced, aReplacement));
    }
    return std::move(lBuilt.back());
}

namespace {

thread_local bool tReleaseListGone = false;

struct ReleaseList {
    std::vector<MatrixPtr> mPending;
    bool mDraining = false;
    ~ReleaseList() { tReleaseListGone = true; }
};

thread_local ReleaseList tReleaseList;

void Defer(std::vector<MatrixPtr>& aPending, MatrixPtr& aOperand) {
    // A shared operand only loses one owner here; only the last owner frees a subtree.
    if (aOperand && aOperand.use_count() == 1) {
        aPending.push_back(std::move(aOperand));
    }
}

} // namespace

void ReleaseOperands(MatrixPtr& aFirst, MatrixPtr* aSecond) {
    if (tReleaseListGone) {
        return;
    }
    ReleaseList& lList = tReleaseList;
    try {
        Defer(lList.mPending, aFirst);
        if (aSecond) {
            Defer(lList.mPending, *aSecond);
        }
    } catch (...) {
        // Out of memory: what stays in the members is freed the ordinary way.
    }
    if (lList.mDraining) {
        return;
    }
    lList.mDraining = true;
    while (!lList.mPending.empty()) {
        MatrixPtr lNode = std::move(lList.mPending.back());
        lList.mPending.pop_back();
        lNode.reset();
    }
    lList.mDraining = false;
}

std::string Label(const std::string& aTitle, const std::string& aSymbol) {
    return "<" + aTitle + "<BR/><B><FONT FACE=\"MONOSPACE\">" + aSymbol + "</FONT></B>>";
}

} // namespace Logic::FormulaWalk
