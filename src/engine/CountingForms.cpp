// Recognising "exactly n things are F" in a flat formula. The factory writes it as
//   there is wn ... there is w1 ((F w1 & ... & F wn) & (w1 != w2 & ... ) & all x (F x -> x = w1 | ...))
// whose walk visits every n-tuple of objects, although its truth is just whether the world
// holds n objects that are F. The recognition checks the meaning, not the factory's order: a
// chain of at least two existential quantifiers over distinct variables whose body is a
// conjunction of exactly these conjuncts, in any arrangement and repeated at will: F of every
// variable, the distinctness of every pair, and closures "every F is one of them" that name
// every variable. Nothing else may stand in the body, so the marked negation means exactly
// "the world holds n objects that are F".

#include <algorithm>

#include "engine/FlatFormula.h"

namespace Logic {

namespace {

class CountingFormMatcher {
public:
    explicit CountingFormMatcher(FlatFormula& aFormula)
        : mNodes(aFormula.mNodes), mPosition(aFormula.mVariableNames.size(), -1),
          mConsumed(aFormula.mNodes.size(), false),
          mBudget(16 * uint64_t{aFormula.mNodes.size()} + 4096) {}

    void MarkAll() {
        // Parents come after their operands: from the top down, so that a form's inner
        // quantifier chain is not tried again once the whole form has matched.
        for (size_t lIndex = mNodes.size(); lIndex-- > 0 && mBudget > 0;) {
            if (!mConsumed[lIndex] && mNodes[lIndex].mKind == NodeKind::Negation) {
                TryAt(static_cast<uint32_t>(lIndex));
            }
        }
    }

private:
    /// Whether aNode is "not (for all v, not (...))", the factory's "there is v".
    bool IsExistential(uint32_t aNode) const {
        const FlatNode& lNode = mNodes[aNode];
        if (lNode.mKind != NodeKind::Negation || mNodes[lNode.mFirst].mKind != NodeKind::UniversalGeneralization) {
            return false;
        }
        return mNodes[mNodes[lNode.mFirst].mFirst].mKind == NodeKind::Negation;
    }

    void TryAt(uint32_t aHead) {
        std::vector<uint32_t> lVariables;
        std::vector<uint32_t> lChain;
        uint32_t lBody = aHead;
        while (IsExistential(lBody) && Spend()) {
            const FlatNode& lAll = mNodes[mNodes[lBody].mFirst];
            lChain.push_back(lBody);
            lVariables.push_back(lAll.mSlot);
            lBody = mNodes[lAll.mFirst].mFirst;
        }
        // From the chain's head inwards, the first start whose body matches wins: a form
        // nested in a chain of other quantifiers is still found.
        for (size_t lStart = 0; lStart + 2 <= lVariables.size() && mBudget > 0; ++lStart) {
            const std::vector<uint32_t> lTail(lVariables.begin() + static_cast<std::ptrdiff_t>(lStart),
                                              lVariables.end());
            const int32_t lBit = BodyCounts(lBody, lTail);
            if (lBit >= 0) {
                FlatNode& lHead = mNodes[lChain[lStart]];
                lHead.mCountsObjects = true;
                lHead.mCount = static_cast<uint32_t>(lTail.size());
                lHead.mBit = lBit;
                for (size_t lAt = lStart; lAt < lChain.size(); ++lAt) {
                    mConsumed[lChain[lAt]] = true;
                }
                return;
            }
            if (lStart == 0) {
                // The outer starts of a chain are tried once, from its head.
                for (uint32_t lNode : lChain) {
                    mConsumed[lNode] = true;
                }
            }
        }
    }

    bool Spend() { return mBudget > 0 && mBudget-- > 0; }

    /// The bit of F when aBody says that the distinct aVariables are exactly the F things;
    /// -1 otherwise.
    int32_t BodyCounts(uint32_t aBody, const std::vector<uint32_t>& aVariables) {
        const size_t lCount = aVariables.size();
        for (size_t lAt = 0; lAt < lCount; ++lAt) {
            if (mPosition[aVariables[lAt]] >= 0) {
                Reset(aVariables, lAt);
                return -1; // a variable bound twice in the chain
            }
            mPosition[aVariables[lAt]] = static_cast<int32_t>(lAt);
        }
        const int32_t lBit = Conjuncts(aBody, lCount);
        Reset(aVariables, lCount);
        return lBit;
    }

    void Reset(const std::vector<uint32_t>& aVariables, size_t aUpTo) {
        for (size_t lAt = 0; lAt < aUpTo; ++lAt) {
            mPosition[aVariables[lAt]] = -1;
        }
    }

    int32_t Conjuncts(uint32_t aBody, size_t aCount) {
        if (aCount > 4096) {
            return -1; // the pair table below would be large; such forms are refused earlier
        }
        int32_t lBit = -1;
        std::vector<bool> lPredicated(aCount, false);
        std::vector<bool> lDistinct(aCount * aCount, false);
        size_t lPredicatedCount = 0;
        size_t lDistinctCount = 0;
        bool lClosed = false;
        const auto fSamePredicate = [&](int32_t fBit) {
            if (fBit < 0 || (lBit >= 0 && fBit != lBit)) {
                return false;
            }
            lBit = fBit;
            return true;
        };
        std::vector<uint32_t> lPending{aBody};
        while (!lPending.empty()) {
            if (!Spend()) {
                return -1;
            }
            const FlatNode& lNode = mNodes[lPending.back()];
            lPending.pop_back();
            switch (lNode.mKind) {
            case NodeKind::Conjunction:
                lPending.push_back(lNode.mSecond);
                lPending.push_back(lNode.mFirst);
                continue;
            case NodeKind::UnaryPredication: {
                const int32_t lAt = mPosition[lNode.mSlot];
                if (lAt < 0 || !fSamePredicate(lNode.mBit)) {
                    return -1;
                }
                if (!lPredicated[static_cast<size_t>(lAt)]) {
                    lPredicated[static_cast<size_t>(lAt)] = true;
                    ++lPredicatedCount;
                }
                continue;
            }
            case NodeKind::Negation: {
                const FlatNode& lIdentity = mNodes[lNode.mFirst];
                if (lIdentity.mKind != NodeKind::Identification) {
                    return -1;
                }
                const int32_t lLeft = mPosition[lIdentity.mSlot];
                const int32_t lRight = mPosition[lIdentity.mSlot2];
                if (lLeft < 0 || lRight < 0 || lLeft == lRight) {
                    return -1;
                }
                const size_t lPair = static_cast<size_t>(std::min(lLeft, lRight)) * aCount +
                                     static_cast<size_t>(std::max(lLeft, lRight));
                if (!lDistinct[lPair]) {
                    lDistinct[lPair] = true;
                    ++lDistinctCount;
                }
                continue;
            }
            case NodeKind::UniversalGeneralization:
                if (!Closure(lNode, aCount, fSamePredicate)) {
                    return -1;
                }
                lClosed = true;
                continue;
            case NodeKind::NullPredicate:
            case NodeKind::BinaryPredication:
            case NodeKind::Identification:
            case NodeKind::Necessity:
            case NodeKind::Disjunction:
            case NodeKind::MaterialConditional:
            case NodeKind::Argument:
            case NodeKind::Equivalence:
            case NodeKind::JointDenial:
                return -1;
            }
            return -1;
        }
        const bool lComplete = lClosed && lPredicatedCount == aCount &&
                               lDistinctCount == aCount * (aCount - 1) / 2;
        return lComplete ? lBit : -1;
    }

    /// Whether aAll is "for all x (F x -> x = v1 | ... )" naming every variable of the chain.
    template <typename SamePredicate>
    bool Closure(const FlatNode& aAll, size_t aCount, const SamePredicate& aSamePredicate) {
        const uint32_t lX = aAll.mSlot;
        if (mPosition[lX] >= 0) {
            return false;
        }
        const FlatNode& lIf = mNodes[aAll.mFirst];
        if (lIf.mKind != NodeKind::MaterialConditional) {
            return false;
        }
        const FlatNode& lIsF = mNodes[lIf.mFirst];
        if (lIsF.mKind != NodeKind::UnaryPredication || lIsF.mSlot != lX || !aSamePredicate(lIsF.mBit)) {
            return false;
        }
        std::vector<bool> lNamed(aCount, false);
        size_t lNamedCount = 0;
        std::vector<uint32_t> lPending{lIf.mSecond};
        while (!lPending.empty()) {
            if (!Spend()) {
                return false;
            }
            const FlatNode& lNode = mNodes[lPending.back()];
            lPending.pop_back();
            if (lNode.mKind == NodeKind::Disjunction) {
                lPending.push_back(lNode.mSecond);
                lPending.push_back(lNode.mFirst);
                continue;
            }
            if (lNode.mKind != NodeKind::Identification) {
                return false;
            }
            const uint32_t lOther = lNode.mSlot == lX ? lNode.mSlot2 : lNode.mSlot;
            if ((lNode.mSlot != lX && lNode.mSlot2 != lX) || mPosition[lOther] < 0) {
                return false;
            }
            const auto lAt = static_cast<size_t>(mPosition[lOther]);
            if (!lNamed[lAt]) {
                lNamed[lAt] = true;
                ++lNamedCount;
            }
        }
        return lNamedCount == aCount;
    }

    std::vector<FlatNode>& mNodes;
    std::vector<int32_t> mPosition; // per slot: its place in the chain being tried, or -1
    std::vector<bool> mConsumed;
    uint64_t mBudget; // the recognition costs at most a few steps per node
};

} // namespace

void MarkCountingForms(FlatFormula& aFormula) {
    if (aFormula.mCanFail) {
        return; // such formulas are walked exactly as the reference walks them
    }
    CountingFormMatcher(aFormula).MarkAll();
}

} // namespace Logic
