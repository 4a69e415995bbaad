// Speed of the whole road a document takes: parsing, and deciding through the parallel loop.
// Run: cmake --preset release -DQUENDRAL_BUILD_BENCHMARKS=ON && cmake --build --preset release
//      --target quendral_benchmarks && build/release/bench/quendral_benchmarks

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/Utility.h"
#include "model/Matrix.h"
#include "parser/Parser.h"
#include "platform/LargeStack.h"

namespace {

using Logic::Parser;

std::vector<std::string> Lines(std::initializer_list<const char*> aLines) {
    return {aLines.begin(), aLines.end()};
}

void Decide(benchmark::State& aState, std::vector<std::string> aDocument) {
    auto lRoot = Parser::Parse(aDocument);
    for (auto _ : aState) {
        // A fresh tree each time keeps the Necessity memo from carrying over between rounds.
        aState.PauseTiming();
        lRoot = Parser::Parse(aDocument);
        aState.ResumeTiming();
        benchmark::DoNotOptimize(Logic::Utility::StatementOfResult(*lRoot));
    }
}

// Necessary statements walk every interpretation: the worst case of the loop.
BENCHMARK_CAPTURE(Decide, PeirceLaw, Lines({"((p->q)->p)->p"}));
BENCHMARK_CAPTURE(Decide, FivePropositionsTautology,
                  Lines({"((p->q)&(q->r)&(r->s)&(s->t))->(p->t)"}));
BENCHMARK_CAPTURE(Decide, Syllogism, Lines({"MaP", "SaM", ".'.", "SaP"}));
BENCHMARK_CAPTURE(Decide, ThreePredicateSyllogism, Lines({"x,Fx->Gx", "x,Gx->Hx", ".'.", "x,Fx->Hx"}));
BENCHMARK_CAPTURE(Decide, ExactlyThreeOrNot, Lines({"3F|~3F"}));
BENCHMARK_CAPTURE(Decide, AtLeastTwo, Lines({"3x,3y,(Fx&Fy&~x=y)->2F|3F|~1F"}));
BENCHMARK_CAPTURE(Decide, ModalDistribution, Lines({"[](p->q)->([]p->[]q)"}));
BENCHMARK_CAPTURE(Decide, ModalS5, Lines({"<>[]p<=>[]p", "&", "(<>q->[]<>q)"}));
BENCHMARK_CAPTURE(Decide, IdentityAcrossWorlds, Lines({"x,[]3y,x=y"}));
// A contingent statement stops at the first true and false worlds.
BENCHMARK_CAPTURE(Decide, ContingentStopsEarly, Lines({"p&q&r&s&t"}));

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
