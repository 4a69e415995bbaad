#include <gtest/gtest.h>

#include <string>

#include "model/Factory.h"

namespace Logic {
namespace {

const std::string BoxAttributes =
    ",shape=rectangle,fontsize=10,style=filled,fillcolor=\"white\",margin=\"0.11,0.00\"];\r\n";

std::string Label(const std::string& aTitle, const std::string& aSymbol) {
    return "<" + aTitle + "<BR/><B><FONT FACE=\"MONOSPACE\">" + aSymbol + "</FONT></B>>";
}

std::string Box(const std::string& aIdentifier, const std::string& aLabel) {
    return aIdentifier + " [label=" + aLabel + BoxAttributes;
}

std::string Header(const MatrixPtr& aRoot) {
    return "digraph Proposition_" + aRoot->Name() + " {\r\nordering=out;bgcolor=\"#FFFFFF80\"\r\n";
}

std::string Edge(const MatrixPtr& aParent, const MatrixPtr& aOperand) {
    return aParent->Name() + "->" + aOperand->Name() + "\r\n";
}

std::string Dashed(const MatrixPtr& aQuantifier, const MatrixPtr& aPredication) {
    return aQuantifier->Name() + "->" + aPredication->Name() + " [style=dashed]\r\n";
}

TEST(GraphvizDOT, ConjunctionOfTwoLettersIsTheWorkedExample) {
    MatrixPtr lP = Factory::NullPredicate("p");
    MatrixPtr lQ = Factory::NullPredicate("q");
    MatrixPtr lRoot = Factory::And(lP, lQ);
    const std::string lName = lRoot->Name();

    const std::string lExpected =
        "digraph Proposition_" + lName + " {\r\n"
        "ordering=out;bgcolor=\"#FFFFFF80\"\r\n" +
        lName +
        " [label=<Conjunction<BR/><B><FONT FACE=\"MONOSPACE\">&amp;</FONT></B>>,shape=rectangle,"
        "fontsize=10,style=filled,fillcolor=\"white\",margin=\"0.11,0.00\"];\r\n"
        "-0 [label=<Null Predicate<BR/><B><FONT FACE=\"MONOSPACE\">p</FONT></B>>,shape=rectangle,"
        "fontsize=10,style=filled,fillcolor=\"white\",margin=\"0.11,0.00\"];\r\n"
        "-1 [label=<Null Predicate<BR/><B><FONT FACE=\"MONOSPACE\">q</FONT></B>>,shape=rectangle,"
        "fontsize=10,style=filled,fillcolor=\"white\",margin=\"0.11,0.00\"];\r\n" +
        lName + "-> -0\r\n" + lName + "-> -1\r\n}\r\n";
    EXPECT_EQ(lRoot->GraphvizDOT(), lExpected);
}

TEST(GraphvizDOT, LoneAtomicNodeIsDrawnUnderItsOwnName) {
    MatrixPtr lP = Factory::NullPredicate("p");
    EXPECT_EQ(lP->GraphvizDOT(), Header(lP) + Box(lP->Name(), Label("Null Predicate", "p")) + "}\r\n");

    VariablePtr lX = Factory::Variable('x');
    MatrixPtr lFx = Factory::Predication(Factory::UnaryPredicate('F'), lX);
    EXPECT_EQ(lFx->GraphvizDOT(),
              Header(lFx) + Box(lFx->Name(), Label("Unary Predication", "Fx")) + "}\r\n");

    MatrixPtr lXy = Factory::TheSame(lX, Factory::Variable('y'));
    EXPECT_EQ(lXy->GraphvizDOT(),
              Header(lXy) + Box(lXy->Name(), Label("Identification", "x=y")) + "}\r\n");
}

TEST(GraphvizDOT, SharedPredicationIsOneNodeWithOneEdgePerOccurrence) {
    MatrixPtr lFx = Factory::Predication(Factory::UnaryPredicate('F'), Factory::Variable('x'));
    MatrixPtr lRoot = Factory::And(lFx, lFx);
    EXPECT_EQ(lRoot->GraphvizDOT(), Header(lRoot) + Box(lRoot->Name(), Label("Conjunction", "&amp;")) +
                                        Box(lFx->Name(), Label("Unary Predication", "Fx")) +
                                        Edge(lRoot, lFx) + Edge(lRoot, lFx) + "}\r\n");
}

TEST(GraphvizDOT, SharedSentenceLetterGetsABoxPerOccurrence) {
    MatrixPtr lP = Factory::NullPredicate("p");
    MatrixPtr lRoot = Factory::And(lP, lP);
    const std::string lName = lRoot->Name();
    EXPECT_EQ(lRoot->GraphvizDOT(),
              Header(lRoot) + Box(lName, Label("Conjunction", "&amp;")) +
                  Box("-0", Label("Null Predicate", "p")) + Box("-1", Label("Null Predicate", "p")) +
                  lName + "-> -0\r\n" + lName + "-> -1\r\n}\r\n");
}

// Boxes are numbered by the edge that leads to them, counting every edge of the formula, so the
// numbers of sentence letters below other connectives have gaps.
TEST(GraphvizDOT, LetterBoxesAreNumberedByTheirEdge) {
    MatrixPtr lP = Factory::NullPredicate("p");
    MatrixPtr lQ = Factory::NullPredicate("q");
    MatrixPtr lFx = Factory::Predication(Factory::UnaryPredicate('F'), Factory::Variable('x'));
    MatrixPtr lLeft = Factory::And(lP, lFx);
    MatrixPtr lRight = Factory::Not(lQ);
    MatrixPtr lRoot = Factory::Or(lLeft, lRight);
    EXPECT_EQ(lRoot->GraphvizDOT(),
              Header(lRoot) + Box(lRoot->Name(), Label("Disjunction", "|")) +
                  Box(lLeft->Name(), Label("Conjunction", "&amp;")) +
                  Box(lFx->Name(), Label("Unary Predication", "Fx")) +
                  Box(lRight->Name(), Label("Negation", "~")) +
                  Box("-2", Label("Null Predicate", "p")) + Box("-4", Label("Null Predicate", "q")) +
                  Edge(lRoot, lLeft) + Edge(lRoot, lRight) + lLeft->Name() + "-> -2\r\n" +
                  Edge(lLeft, lFx) + lRight->Name() + "-> -4\r\n}\r\n");
}

TEST(GraphvizDOT, QuantifierHasDashedEdgesToItsPredicationsInOrder) {
    VariablePtr lX = Factory::Variable('x');
    MatrixPtr lFx = Factory::Predication(Factory::UnaryPredicate('F'), lX);
    MatrixPtr lGx = Factory::Predication(Factory::UnaryPredicate('G'), lX);
    MatrixPtr lBody = Factory::And(lFx, lGx);
    MatrixPtr lRoot = Factory::ForAll(lX, lBody);
    EXPECT_EQ(lRoot->GraphvizDOT(),
              Header(lRoot) + Box(lRoot->Name(), Label("Universal Generalization", "x,")) +
                  Box(lBody->Name(), Label("Conjunction", "&amp;")) +
                  Box(lFx->Name(), Label("Unary Predication", "Fx")) +
                  Box(lGx->Name(), Label("Unary Predication", "Gx")) + Edge(lRoot, lBody) +
                  Edge(lBody, lFx) + Edge(lBody, lGx) + Dashed(lRoot, lFx) + Dashed(lRoot, lGx) +
                  "}\r\n");
}

TEST(GraphvizDOT, NestedQuantifiersDrawTheOuterDashedEdgeFirst) {
    VariablePtr lX = Factory::Variable('x');
    VariablePtr lY = Factory::Variable('y');
    MatrixPtr lXLy = Factory::Predication(Factory::BinaryPredicate('L'), lX, lY);
    MatrixPtr lInner = Factory::ForAll(lX, lXLy);
    MatrixPtr lOuter = Factory::ForAll(lY, lInner);
    EXPECT_EQ(lOuter->GraphvizDOT(),
              Header(lOuter) + Box(lOuter->Name(), Label("Universal Generalization", "y,")) +
                  Box(lInner->Name(), Label("Universal Generalization", "x,")) +
                  Box(lXLy->Name(), Label("Binary Predication", "xLy")) + Edge(lOuter, lInner) +
                  Edge(lInner, lXLy) + Dashed(lOuter, lXLy) + Dashed(lInner, lXLy) + "}\r\n");
}

TEST(GraphvizDOT, ArgumentAndModalNodesUseTheirLabels) {
    MatrixPtr lP = Factory::NullPredicate("p");
    MatrixPtr lQ = Factory::NullPredicate("q");
    MatrixPtr lBox = Factory::Necessarily(lP);
    auto lArgument = Factory::Therefore({lBox}, lQ);
    const std::string lName = lArgument->Name();
    EXPECT_EQ(lArgument->GraphvizDOT(),
              "digraph Proposition_" + lName + " {\r\nordering=out;bgcolor=\"#FFFFFF80\"\r\n" +
                  Box(lName, Label("Argument", ".'.")) + Box(lBox->Name(), Label("Necessity", "[]")) +
                  Box("-1", Label("Null Predicate", "q")) + Box("-2", Label("Null Predicate", "p")) +
                  lName + "->" + lBox->Name() + "\r\n" + lName + "-> -1\r\n" + lBox->Name() +
                  "-> -2\r\n}\r\n");
}

} // namespace
} // namespace Logic
