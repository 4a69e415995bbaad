// The benchmark corpus: every case decided by both evaluators side by side, reporting the time
// to the verdict and the candidates (kinds of worlds, or interpretations of modal formulas)
// walked per second; and the parsing of long documents.
// Run: cmake --preset release -DQUENDRAL_BUILD_BENCHMARKS=ON && cmake --build --preset release
//      --target quendral_benchmarks && build/release/bench/quendral_benchmarks
// Only the compiled evaluator runs the cases that would keep the reference busy for minutes or
// hours (2^32 candidates); a smaller case of the same shape measures the reference.

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine/Decision.h"
#include "engine/Predicates.h"
#include "engine/Utility.h"
#include "model/Argument.h"
#include "parser/Parser.h"
#include "platform/LargeStack.h"

namespace {

using Logic::DecisionEngine;
using Logic::Parser;

/// A chain of conditionals over the first aCount sentence letters, necessarily true:
/// (a->b)&(b->c)&...->(a->last).
std::string ChainOfLetters(int aCount) {
    const std::string lLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string lChain;
    for (int lIndex = 0; lIndex + 1 < aCount; ++lIndex) {
        lChain += std::string(lChain.empty() ? "(" : "&(") + lLetters[lIndex] + "->" +
                  lLetters[lIndex + 1] + ")";
    }
    return "(" + lChain + ")->(a->" + lLetters[aCount - 1] + ")";
}

/// The same chain over unary predicates A, B, ...: (x,Ax->Bx)&...->(x,Ax->last x).
std::string ChainOfPredicates(int aCount) {
    std::string lChain;
    for (int lIndex = 0; lIndex + 1 < aCount; ++lIndex) {
        const char lFrom = static_cast<char>('A' + lIndex);
        lChain += std::string(lChain.empty() ? "(" : "&(") + "x," + lFrom + "x->" +
                  static_cast<char>(lFrom + 1) + "x)";
    }
    return "(" + lChain + ")->(x,Ax->" + static_cast<char>('A' + aCount - 1) + "x)";
}

/// Pigeons 0 .. aPigeons - 1 each in one of aHoles holes, no two in one hole, over the sentence
/// letters a .. z, A .. Z (pigeon p in hole h: letter p * aHoles + h). Self-contradictory when
/// the pigeons outnumber the holes.
std::string Pigeonhole(int aPigeons, int aHoles) {
    const std::string lLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const auto fIn = [&](int fPigeon, int fHole) { return std::string(1, lLetters[fPigeon * aHoles + fHole]); };
    std::string lText;
    for (int lPigeon = 0; lPigeon < aPigeons; ++lPigeon) {
        lText += std::string(lText.empty() ? "(" : "&(");
        for (int lHole = 0; lHole < aHoles; ++lHole) {
            lText += (lHole > 0 ? "|" : "") + fIn(lPigeon, lHole);
        }
        lText += ")";
    }
    for (int lHole = 0; lHole < aHoles; ++lHole) {
        for (int lFirst = 0; lFirst < aPigeons; ++lFirst) {
            for (int lSecond = lFirst + 1; lSecond < aPigeons; ++lSecond) {
                lText += "&~(" + fIn(lFirst, lHole) + "&" + fIn(lSecond, lHole) + ")";
            }
        }
    }
    return lText;
}

/// Eight unary predicates, identity and quantifiers nested three deep: whatever is A is B, ...,
/// G is H; so of any three things that are one and the same, an A is an H.
std::string EightPredicatesThreeDeep() {
    std::string lText;
    for (char lFrom = 'A'; lFrom < 'H'; ++lFrom) {
        lText += std::string(lText.empty() ? "(" : "&(") + "x," + lFrom + "x->" + static_cast<char>(lFrom + 1) + "x)";
    }
    return "(" + lText + ")->(x,y,z,(x=y&y=z&Ax)->Hz)";
}

/// The lines of a document of the examples folder.
std::vector<std::string> ExampleLines(const std::string& aName) {
    std::ifstream lFile(std::string(QUENDRAL_SOURCE_DIR) + "/examples/" + aName);
    std::vector<std::string> lLines;
    for (std::string lLine; std::getline(lFile, lLine);) {
        lLines.push_back(lLine);
    }
    return lLines;
}

/// The chain of strict conditionals over aCount sentence letters p, q, ...
std::string ChainOfNecessities(int aCount) {
    const std::string lLetters = "pqrst";
    std::string lChain;
    for (int lIndex = 0; lIndex + 1 < aCount; ++lIndex) {
        lChain += std::string(lChain.empty() ? "(" : "&") + "[](" + lLetters[lIndex] + "->" +
                  lLetters[lIndex + 1] + ")";
    }
    return lChain + ")->[](p->" + lLetters[aCount - 1] + ")";
}

std::string Verdict(const Logic::Matrix& aRoot, const DecisionEngine& aEngine) {
    if (aRoot.Kind() == Logic::NodeKind::Argument) {
        return Logic::Utility::TextResult(
            Logic::QualityWith(static_cast<const Logic::Argument&>(aRoot), aEngine));
    }
    return Logic::Utility::TextForDecision(Logic::DecideWith(aRoot, aEngine));
}

void Decide(benchmark::State& aState, std::vector<std::string> aDocument, const DecisionEngine* aEngine) {
    const Logic::MatrixPtr lRoot = Parser::Parse(aDocument);
    uint64_t lCandidates = 0;
    try {
        lCandidates = lRoot->CollectPredicates().Interpretations().size();
    } catch (const std::exception&) {
    }
    std::string lVerdict;
    for (auto _ : aState) {
        try {
            lVerdict = Verdict(*lRoot, *aEngine);
        } catch (const std::exception& lFailure) {
            lVerdict = lFailure.what();
        }
        benchmark::DoNotOptimize(lVerdict);
    }
    aState.SetLabel(lVerdict);
    aState.counters["candidates/s"] =
        benchmark::Counter(static_cast<double>(lCandidates), benchmark::Counter::kIsIterationInvariantRate);
}

struct Case {
    const char* mName;
    std::vector<std::string> mDocument;
    bool mReference; // the reference finishes in seconds
    bool mSat = true;  // without modal operators: the SAT engine decides it too
};

const std::vector<Case>& Corpus() {
    static const std::vector<Case> lCorpus{
        {"PeirceLaw", {"((p->q)->p)->p"}, true},
        {"FivePropositionsTautology", {"((p->q)&(q->r)&(r->s)&(s->t))->(p->t)"}, true},
        {"Syllogism", {"MaP", "SaM", ".'.", "SaP"}, true},
        {"SocratesIsMortal", {"x,Mx->Fx", "Ms", ".'.", "Fs"}, true},
        {"ThreePredicateSyllogism", {"x,Fx->Gx", "x,Gx->Hx", ".'.", "x,Fx->Hx"}, true},
        {"ExactlyThreeOrNot", {"3F|~3F"}, true},
        {"AtLeastTwo", {"3x,3y,(Fx&Fy&~x=y)->2F|3F|~1F"}, true},
        {"ExactlyTwoAreNamed", {"2F", "Fa", "Fb", "~a=b", ".'.", "x,Fx->x=a|x=b"}, true},
        {"ModalDistribution", {"[](p->q)->([]p->[]q)"}, true, false},
        {"ModalS5", {"<>[]p<=>[]p", "&", "(<>q->[]<>q)"}, true, false},
        {"ModalObjects", {"x,Fx->[]Fx"}, true, false},
        {"IdentityAcrossWorlds", {"x,[]3y,x=y"}, true, false},
        {"ContingentStopsEarly", {"p&q&r&s&t"}, true},
        {"BinaryPredicateNeverReached", {"(p|~p)|aLb"}, true},
        {"Letters20", {ChainOfLetters(20)}, true},
        {"Letters24", {ChainOfLetters(24)}, true},
        {"Letters26", {ChainOfLetters(26)}, true},
        {"Letters32", {ChainOfLetters(32)}, false},
        {"Predicates4", {ChainOfPredicates(4)}, true},
        {"Predicates5", {ChainOfPredicates(5)}, false},
        {"ModalLetters4", {ChainOfNecessities(4)}, true, false},
        {"ModalLetters5", {ChainOfNecessities(5)}, false, false},
        // Beyond the numbering: the compiled engine says "Too many predicates!" at once.
        {"Letters52", {ChainOfLetters(52)}, false},
        {"Pigeonhole7Into6", {Pigeonhole(7, 6)}, false},
        {"Predicates8IdentityThreeDeep", {EightPredicatesThreeDeep()}, false},
        {"SoritesTenPremises", ExampleLines("sorites.txt"), false},
        {"ModalLetters6", {"[](p|q|r|s|t|u)&<>~p&<>~q&<>~r->(p|q|r|s|t|u)|<>(p&q)"}, false},
        // Inside the numbering, but 2^32 kinds of worlds to walk: auto chooses the SAT engine.
        {"NumberingLargeEncodingSmall", {"x,y,((Fx&Fy)->x=y)", "Fa&Ga&Ha&Ia", ".'.", "x,(Fx->(Gx&Hx&Ix))"}, false},
        // Binary predicates: the SAT engine's search of models of 1, 2, ... objects finds the
        // smallest countermodel, a chain of four, in well under 100 ms; the compiled engine
        // fails at once.
        {"RelationalCountermodelOfFourObjects",
         {"x,~xLx", "x,y,z,xLy&yLz->xLz", ".'.", "~(3x,3y,3z,3w,xLy&yLz&zLw)"},
         false},
    };
    return lCorpus;
}

const bool gRegistered = [] {
    for (const Case& lCase : Corpus()) {
        const std::string lName = std::string("Decide/") + lCase.mName;
        benchmark::RegisterBenchmark((lName + "/compiled").c_str(), Decide, lCase.mDocument,
                                     &Logic::CompiledEngine())
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        if (lCase.mReference) {
            benchmark::RegisterBenchmark((lName + "/reference").c_str(), Decide, lCase.mDocument,
                                         &Logic::ReferenceEngine())
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        }
#ifdef QUENDRAL_HAVE_CADICAL
        if (lCase.mSat) {
            benchmark::RegisterBenchmark((lName + "/sat").c_str(), Decide, lCase.mDocument, &Logic::SatEngine())
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        }
#endif
        benchmark::RegisterBenchmark((lName + "/auto").c_str(), Decide, lCase.mDocument, &Logic::AutoEngine())
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

/// A whole decision from the text: parsing, the predicate index and the verdict. Short
/// documents whose counting forms and nested quantifiers once took seconds to minutes and
/// gigabytes; each must stay well under 100 ms. The reference runs where it answers within a
/// second (it takes seconds on 6F->(3x,Fx) and gives no answer for hours on the others).
void DecideFromText(benchmark::State& aState, std::string aText, const DecisionEngine* aEngine) {
    std::string lVerdict;
    for (auto _ : aState) {
        Logic::RunWithLargeStack([&] {
            try {
                lVerdict = Verdict(*Parser::Parse(std::vector<std::string>{aText}), *aEngine);
            } catch (const std::exception& lFailure) {
                lVerdict = lFailure.what();
            }
        });
        benchmark::DoNotOptimize(lVerdict);
    }
    aState.SetLabel(lVerdict);
}

const bool gHostileRegistered = [] {
    const std::vector<std::pair<std::string, bool>> lHostile{
        {"32G|G|r", true}, {"100G", false},         {"40G&p", false},
        {"200G|r", false}, {"12F->(3x,Fx)", false}, {"6F->(3x,Fx)", false},
        {"3F&2G->~(x,(Fx<=>Gx))", false}, {"x,y,z,((x=y|y=z|x=z)|(Fx&Fy&Fz)|~(Fx|Fy|Fz))", true},
    };
    for (const auto& [lText, lReference] : lHostile) {
        benchmark::RegisterBenchmark(("DecideFromText/" + lText + "/compiled").c_str(), DecideFromText, lText,
                                     &Logic::CompiledEngine())
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        if (lReference) {
            benchmark::RegisterBenchmark(("DecideFromText/" + lText + "/reference").c_str(), DecideFromText,
                                         lText, &Logic::ReferenceEngine())
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

/// Successive counterexamples of one document, the search prepared afresh for every hit, or
/// prepared once and kept (as the explanation and the driver keep it). The hits of the wide
/// conditional lie far apart, so that each fresh search unrolls its circuit again.
void NextHits(benchmark::State& aState, std::string aText, bool aKept) {
    constexpr int Hits = 32;
    const Logic::MatrixPtr lRoot = Parser::Parse(std::vector<std::string>{aText});
    for (auto _ : aState) {
        Logic::SearchPosition lPosition;
        if (aKept) {
            Logic::PreparedDocument lDocument(*lRoot, Logic::CompiledEngine());
            const Logic::PreparedSearch& lSearch = lDocument.Search(false);
            for (int lHit = 0; lHit < Hits; ++lHit) {
                benchmark::DoNotOptimize(lSearch.FindNext(lPosition));
            }
        } else {
            for (int lHit = 0; lHit < Hits; ++lHit) {
                benchmark::DoNotOptimize(
                    Logic::FindNextHitWith(*lRoot, false, lPosition, Logic::CompiledEngine()));
            }
        }
    }
    aState.SetItemsProcessed(aState.iterations() * Hits);
}

const bool gSearchRegistered = [] {
    const std::vector<std::pair<std::string, std::string>> lDocuments{
        {"WideConditional", "a & b & c & d & e & f & g & h & i & j & k & l -> m | n | o | p | q | r"},
        {"Parity", "a ^ b ^ c ^ d ^ e ^ f ^ g ^ h ^ i ^ j ^ k ^ l ^ m ^ n ^ o ^ p"},
        {"CountingWithNames", "3F & Fa & Fb & ~a=b & Gc & ~Gd"},
    };
    for (const auto& [lName, lText] : lDocuments) {
        for (const bool lKept : {false, true}) {
            benchmark::RegisterBenchmark(("NextHits/" + lName + (lKept ? "/kept" : "/afresh")).c_str(),
                                         NextHits, lText, lKept)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    return true;
}();

void ParseLongDocument(benchmark::State& aState) {
    std::vector<std::string> lDocument;
    for (int i = 0; i < aState.range(0); ++i) {
        lDocument.push_back(i % 2 == 0 ? "x, Fx -> (Gx | ~Hx)  // a comment" : "p & (q <=> r)");
    }
    for (auto _ : aState) {
        Logic::RunWithLargeStack([&] { benchmark::DoNotOptimize(Parser::Parse(lDocument)); });
    }
    aState.SetComplexityN(aState.range(0));
}
BENCHMARK(ParseLongDocument)->RangeMultiplier(10)->Range(100, 10000)->Complexity();

} // namespace
