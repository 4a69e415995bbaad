#pragma once
// The roads a document takes through the system, as the fuzz targets drive them and as the
// regression tests replay the inputs they found. Each road splits the text into lines as the
// driver does, parses, and takes the formula to one result, on a large stack and under a
// Cancellation with a work limit, so that a legitimately huge computation ends as a clear
// failure instead of looking like a hang. Failures of the system's own kinds are results; any
// other exception escapes (and crashes the fuzz target), and a rendering that breaks its own
// shape aborts.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "coefficients/CoefficientVector.h"
#include "driver/MainForm.h"
#include "engine/Decision.h"
#include "engine/EngineLimits.h"
#include "engine/Utility.h"
#include "model/Argument.h"
#include "model/FormulaWalk.h"
#include "model/UniversalGeneralization.h"
#include "model/Variable.h"
#include "model/EngineException.h"
#include "model/Matrix.h"
#include "parser/Highlighting.h"
#include "parser/ParseError.h"
#include "parser/Parser.h"
#include "parser/SourceMap.h"
#include "platform/Cancellation.h"
#include "platform/LargeStack.h"

namespace Logic::FuzzRoads {

// Work limits, in the steps the Cancellation counts: nodes built, nodes walked, connectives
// evaluated and, in the coefficient algebra, compositions by their size. Small enough that every
// input ends within a second or two even with the sanitizers, large enough for every example
// document.
constexpr uint64_t DecisionWorkLimit = 200000;
constexpr uint64_t CoefficientWorkLimit = 200000;
constexpr uint64_t RenderingWorkLimit = 100000;
/// The roads that take a formula several times over (every evaluation path, a second parse) keep
/// to formulas whose text form is at most this long, so that one input stays within a second or
/// two with the sanitizers; the counting forms of a few bytes can write far more.
constexpr size_t LargestRepeatedText = 16384;

/// Runs aRoad on a large stack under a cancellation with aWorkLimit. True when it gave its
/// result, false when it ended in one of the system's failures.
template <typename Road> bool Run(uint64_t aWorkLimit, const Road& aRoad) {
    Cancellation lCancellation;
    lCancellation.SetWorkLimit(aWorkLimit);
    const Cancellation::Scope lScope(&lCancellation);
    bool lSucceeded = false;
    RunWithLargeStack([&] {
        try {
            aRoad();
            lSucceeded = true;
        } catch (const ParseError&) {
        } catch (const EngineException&) {
        } catch (const NotImplementedException&) {
        } catch (const CancelledException&) {
        }
    });
    return lSucceeded;
}

inline void Require(bool aCondition) {
    if (!aCondition) {
        std::abort();
    }
}

/// A failure's place lies within the document, and its line and column name its offset.
inline void RequirePlaceInside(const std::string& aText, const ParseError& aFailure) {
    if (!aFailure.Place()) {
        return;
    }
    const TextPlace& lPlace = *aFailure.Place();
    Require(lPlace.mOffset + lPlace.mLength <= CountCharacters(aText));
    const TextPlace lCounted = PlaceInText(aText, lPlace.mOffset, lPlace.mLength);
    Require(lCounted.mLine == lPlace.mLine && lCounted.mColumn == lPlace.mColumn);
}

inline MatrixPtr ParseDocument(const std::string& aText) {
    try {
        return Parser::Parse(MainForm::SplitLines(aText));
    } catch (const ParseError& lFailure) {
        RequirePlaceInside(aText, lFailure);
        throw;
    }
}

inline bool EndsWith(std::string_view aText, std::string_view aEnd) {
    return aText.size() >= aEnd.size() && aText.substr(aText.size() - aEnd.size()) == aEnd;
}

/// Parse, text form, decision (verdict of a statement or an argument).
inline bool Decide(const std::string& aText) {
    return Run(DecisionWorkLimit, [&] {
        const MatrixPtr lRoot = ParseDocument(aText);
        Require(!lRoot->ToString().empty());
        Require(!Utility::StatementOfResult(*lRoot).empty());
    });
}

/// Parse, coefficient vector and its polynomial.
inline bool Coefficients(const std::string& aText) {
    return Run(CoefficientWorkLimit, [&] {
        const MatrixPtr lRoot = ParseDocument(aText);
        const CoefficientVector lVector = lRoot->CoefficientVector();
        Require(lVector.Coefficients().size() == size_t{1} << lVector.Variables().size());
        Require(lVector.ToString().front() == '[' && lVector.ToString().back() == ']');
        Require(!lVector.Formula().empty());
    });
}

/// Parse and the Graphviz DOT text.
inline bool GraphvizDOT(const std::string& aText) {
    return Run(RenderingWorkLimit, [&] {
        const MatrixPtr lRoot = ParseDocument(aText);
        const std::string lDOT = lRoot->GraphvizDOT();
        Require(lDOT.rfind("digraph Proposition_", 0) == 0);
        Require(EndsWith(lDOT, "}\r\n"));
    });
}

/// Parse, the Prover9 input document and the Tree Proof Generator form.
inline bool Prover9Input(const std::string& aText) {
    return Run(RenderingWorkLimit, [&] {
        const MatrixPtr lRoot = ParseDocument(aText);
        try {
            Require(EndsWith(lRoot->Prover9Input(), "end_of_list.\n"));
        } catch (const EngineException&) {
            // Modal formulas have no Prover9 form; the other rendering still applies.
        }
        if (lRoot->IsCompatibleWithTreeProofGenerator()) {
            Require(!lRoot->TreeProofGeneratorInput().empty());
        }
    });
}

/// The verdict of aRoot on one evaluation path, or the text of its failure; empty when the work
/// limit stopped it, which says nothing about the answer.
inline std::string VerdictOnPath(const Matrix& aRoot, const DecisionEngine& aEngine, const EngineLimits& aLimits) {
    std::string lAnswer;
    Run(DecisionWorkLimit, [&] {
        try {
            lAnswer = aRoot.Kind() == NodeKind::Argument
                          ? Utility::TextResult(QualityWith(static_cast<const Argument&>(aRoot), aEngine, aLimits))
                          : Utility::TextForDecision(DecideWith(aRoot, aEngine, aLimits));
        } catch (const CancelledException&) {
            lAnswer.clear();
        } catch (const EngineException& lFailure) {
            lAnswer = std::string("Error: ") + lFailure.what();
        } catch (const NotImplementedException& lFailure) {
            lAnswer = std::string("Error: ") + lFailure.what();
        }
    });
    // The parallel loop hands a stop on to its caller as a failure with the stop's text.
    if (lAnswer.find("the work limit is used up") != std::string::npos) {
        lAnswer.clear();
    }
    return lAnswer;
}

/// Parse, then the verdict by the reference and by every registered engine that decides through
/// the numbering under each set of limits (the default, the scalar walk alone, a circuit wherever
/// possible, that circuit on parallel workers): every two that finished must give the same
/// verdict or the same failure text. An engine that decides without the numbering answers where
/// the numbering refuses, and refuses what it does not cover; the differential tests compare it
/// on the documents both decide.
inline bool DecideOnEveryPath(const std::string& aText) {
    return Run(DecisionWorkLimit, [&] {
        const MatrixPtr lRoot = ParseDocument(aText);
        if (lRoot->ToString().size() > LargestRepeatedText) {
            return;
        }
        const std::string lReference = VerdictOnPath(*lRoot, ReferenceEngine(), {});
        for (const EngineLimits& lLimits : {EngineLimits{}, EngineLimits::ScalarOnly(), EngineLimits::CircuitWherePossible(),
                                            EngineLimits::ParallelCircuit()}) {
            for (const DecisionEngine* lEngine : RegisteredEngines()) {
                if (!lEngine->DecidesThroughNumbering()) {
                    continue;
                }
                const std::string lVerdict = VerdictOnPath(*lRoot, *lEngine, lLimits);
                Require(lReference.empty() || lVerdict.empty() || lVerdict == lReference);
            }
        }
    });
}

/// Whether some variable of aRoot stands inside a quantifier that binds another variable of
/// the same letter. Its text form then names the inner variable where it means the outer one
/// (counting forms of more than 26 objects letter their variables a to z and then a again), so
/// the text cannot be read back to the same formula.
inline bool HasCapturedVariables(const Matrix& aRoot) {
    struct Step {
        const Matrix* mNode;
        size_t mBinders; // binders in scope when the node was reached
    };
    std::vector<const Variable*> lBinders;
    std::vector<Step> lPending{{&aRoot, 0}};
    while (!lPending.empty()) {
        const Step lStep = lPending.back();
        lPending.pop_back();
        lBinders.resize(lStep.mBinders);
        const Matrix& lNode = *lStep.mNode;
        if (lNode.Kind() == NodeKind::UniversalGeneralization) {
            lBinders.push_back(static_cast<const UniversalGeneralization&>(lNode).Variable().get());
        }
        const FormulaWalk::Operands lOperands = FormulaWalk::OperandsOf(lNode);
        if (lOperands.mFirst == nullptr) {
            for (const VariablePtr& lVariable : lNode.FreeVariables()) {
                const auto lInnermost = std::find_if(lBinders.rbegin(), lBinders.rend(), [&](const Variable* fBinder) {
                    return fBinder->Letter() == lVariable->Letter();
                });
                if (lInnermost != lBinders.rend() && *lInnermost != lVariable.get()) {
                    return true;
                }
            }
            continue;
        }
        for (const Matrix* lOperand : {lOperands.mSecond, lOperands.mFirst}) {
            if (lOperand != nullptr) {
                lPending.push_back({lOperand, lBinders.size()});
            }
        }
    }
    return false;
}

/// Parse, write the text form, parse that as one statement: its text form must be the same,
/// wherever the text names each variable unambiguously.
inline bool TextFormRoundTrip(const std::string& aText) {
    return Run(RenderingWorkLimit, [&] {
        const MatrixPtr lRoot = ParseDocument(aText);
        const std::string lText = lRoot->ToString();
        if (lText.size() <= LargestRepeatedText && !HasCapturedVariables(*lRoot)) {
            Require(Parser::Parse(lText)->ToString() == lText);
        }
    });
}

/// The editor's colouring: every byte gets a style, and restyling from a line start outside
/// every parenthesis (where the editor's lexer starts again after an edit) agrees with styling
/// the whole document. Highlighting sees any bytes the editor holds, invalid UTF-8 included.
inline bool Highlight(const std::string& aText) {
    const Highlighting::StyledText lWhole = Highlighting::StyleNotation(aText);
    Require(lWhole.mStyles.size() == aText.size());
    size_t lLine = 0;
    for (size_t lStart = 0; lStart < aText.size(); lStart = aText.find('\n', lStart) + 1, ++lLine) {
        Require(lLine < lWhole.mOpenAtLineStarts.size());
        // One restyle per document, from the first closed line start in its second half.
        if (lStart >= aText.size() / 2 && lWhole.mOpenAtLineStarts[lLine] == 0) {
            const Highlighting::StyledText lRest = Highlighting::StyleNotation(aText, lStart);
            Require(std::equal(lRest.mStyles.begin(), lRest.mStyles.end(),
                               lWhole.mStyles.begin() + static_cast<std::ptrdiff_t>(lStart), lWhole.mStyles.end()));
            break;
        }
        if (aText.find('\n', lStart) == std::string::npos) {
            break;
        }
    }
    return true;
}

} // namespace Logic::FuzzRoads
