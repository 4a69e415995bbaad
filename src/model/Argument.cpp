#include "model/Argument.h"

#include "model/Conjunction.h"
#include "model/EngineException.h"
#include "model/FormulaWalk.h"

namespace Logic {

namespace {

constexpr const char* kNoPremises = "Can't conjoin an empty list of matrices.";

// The premises are joined before the argument node itself is made, so their conjunctions take
// serial names ahead of it, in the order the premises come.
MatrixPtr JoinPremises(const std::vector<MatrixPtr>& aPremises) {
    if (aPremises.empty()) {
        throw EngineException(kNoPremises);
    }
    MatrixPtr lJoined = aPremises.front();
    for (size_t i = 1; i < aPremises.size(); ++i) {
        lJoined = std::make_shared<Conjunction>(lJoined, aPremises[i]);
    }
    return lJoined;
}

MatrixPtr JoinPremises(const std::function<MatrixPtr()>& aNextPremise) {
    MatrixPtr lJoined = aNextPremise ? aNextPremise() : nullptr;
    if (!lJoined) {
        throw EngineException(kNoPremises);
    }
    while (MatrixPtr lNext = aNextPremise()) {
        lJoined = std::make_shared<Conjunction>(lJoined, lNext);
    }
    return lJoined;
}

} // namespace

Argument::Argument(const std::vector<MatrixPtr>& aPremises, MatrixPtr aConclusion)
    : MaterialConditional(NodeKind::Argument, JoinPremises(aPremises), std::move(aConclusion)) {}

Argument::Argument(const std::function<MatrixPtr()>& aNextPremise, MatrixPtr aConclusion)
    : MaterialConditional(NodeKind::Argument, JoinPremises(aNextPremise), std::move(aConclusion)) {}

std::string Argument::DOTLabel() const {
    return FormulaWalk::Label("Argument", ".'.");
}

} // namespace Logic
