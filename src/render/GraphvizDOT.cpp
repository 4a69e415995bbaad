// The formula as a Graphviz DOT graph: a white box per node, solid edges from each connective to
// its operands, dashed edges from each quantifier to the predications that use its variable.

#include <unordered_set>

#include "model/Format.h"
#include "model/NullPredicate.h"
#include "model/UniversalGeneralization.h"

namespace Logic {

namespace {

constexpr const char* LineEnd = "\r\n";
constexpr const char* NodeLine =
    "{0} [label={1},shape=rectangle,fontsize=10,style=filled,fillcolor=\"white\","
    "margin=\"0.11,0.00\"];";

void AppendLine(std::string& aText, const std::string& aLine) {
    aText += aLine;
    aText += LineEnd;
}

} // namespace

std::string Matrix::GraphvizDOT() const {
    std::string lText;
    AppendLine(lText, Format("digraph Proposition_{0} {{", Name()));
    AppendLine(lText, "ordering=out;bgcolor=\"#FFFFFF80\"");

    std::vector<const Matrix*> lNodes;
    std::unordered_set<const Matrix*> lSeen;
    for (const Matrix* lNode : Matrices()) {
        if (lSeen.insert(lNode).second) {
            lNodes.push_back(lNode);
        }
    }

    if (lNodes.size() == 1) {
        AppendLine(lText, Format(NodeLine, Name(), DOTLabel()));
        AppendLine(lText, "}");
        return lText;
    }

    // Sentence letters are not drawn as shared nodes: each occurrence gets a box of its own,
    // named after the number of the edge that leads to it.
    for (const Matrix* lNode : lNodes) {
        if (lNode->Kind() != NodeKind::NullPredicate) {
            AppendLine(lText, Format(NodeLine, lNode->Name(), lNode->DOTLabel()));
        }
    }
    auto lDependencies = DirectDependencies();
    for (size_t i = 0; i < lDependencies.size(); ++i) {
        const Matrix* lOperand = lDependencies[i].second;
        if (lOperand->Kind() == NodeKind::NullPredicate) {
            AppendLine(lText, Format(std::string("-") + NodeLine, i, lOperand->DOTLabel()));
        }
    }
    for (size_t i = 0; i < lDependencies.size(); ++i) {
        const auto& [lParent, lOperand] = lDependencies[i];
        if (lOperand->Kind() == NodeKind::NullPredicate) {
            AppendLine(lText, Format("{0}-> -{1}", lParent->Name(), i));
        } else {
            AppendLine(lText, Format("{0}->{1}", lParent->Name(), lOperand->Name()));
        }
    }
    for (const auto& [lQuantifier, lPredication] : ClosedPredications()) {
        AppendLine(lText, Format("{0}->{1} [style=dashed]", lQuantifier->Name(), lPredication->Name()));
    }
    AppendLine(lText, "}");
    return lText;
}

} // namespace Logic
