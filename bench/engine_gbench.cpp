// Google Benchmark of the normal-form engine alone: one normalizeTerms call on a
// generated sum of products, for growing numbers of terms and variables, and the
// product of two covers entered into a fresh term trie, the step the normal forms
// repeat for every and over sums.
//
// Each term fixes about half of the variables to a random polarity, with a fixed
// seed, so every run times the same inputs. Building the tree and deleting the
// result are kept out of the timed region: the figure is the engine's own cost
// (term enumeration into the trie, the merging sweep, the rebuild with
// absorption). The counters "terms", "variables" and "terms_out" go into the JSON
// report, from which bench/run_benchmark.py writes the curve into docs/.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/large_stack.h"
#include "expr/function_table.h"
#include "expr/node.h"
#include "expr/variable_list.h"
#include "normal/cover.h"
#include "normal/normalize.h"
#include "normal/term_trie.h"

namespace {

void freshTable(int variables) {
    releaseTable();
    createTable();
    for (int i = 0; i < variables; ++i)
        addVariable(workspace.table->variableList, "v" + std::to_string(i));
    workspace.table->inputCount = variables;
}

// A left-deep or-chain of `terms` products; each product a left-deep and-chain of
// the literals of the variables drawn for it (at least one).
Node* randomSum(int terms, int variables, uint32_t seed) {
    std::mt19937 random(seed);
    Node* sum = nullptr;
    for (int t = 0; t < terms; ++t) {
        Node* product = nullptr;
        for (int v = 0; v < variables; ++v) {
            if (random() % 2 == 0 && !(product == nullptr && v == variables - 1)) continue;
            Node* literal = new IdentNode("v" + std::to_string(v));
            if (random() % 2 != 0) literal = new UNode(literal);
            product = product == nullptr ? literal : new BNode(opAnd, product, literal);
        }
        sum = sum == nullptr ? product : new BNode(opOr, sum, product);
    }
    return sum;
}

void normalizeRandomSum(benchmark::State& state) {
    const int terms = static_cast<int>(state.range(0));
    const int variables = static_cast<int>(state.range(1));
    freshTable(variables);
    const EngineParams params{workspace.table->variableList};
    int64_t termsOut = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Node* tree = randomSum(terms, variables, 20261208);
        state.ResumeTiming();
        Node* result = normalizeTerms(tree, params, &termsOut);
        state.PauseTiming();
        delete result;
        state.ResumeTiming();
    }
    state.counters["terms"] = terms;
    state.counters["variables"] = variables;
    state.counters["terms_out"] = static_cast<double>(termsOut);
    state.SetComplexityN(terms);
    releaseTable();
}

BENCHMARK(normalizeRandomSum)
    ->ArgsProduct({{250, 1000, 4000, 16000}, {8, 16, 32, 64}})
    ->Unit(benchmark::kMillisecond);

// A cover of `terms` terms over `inputs` inputs, each of 2 to 6 distinct variables
// of random polarity: the short terms of clauses and of the sums grown from them.
Cover randomCover(int terms, int inputs, uint32_t seed) {
    std::mt19937 random(seed);
    Cover cover;
    std::vector<Literal> term;
    for (int t = 0; t < terms; ++t) {
        term.clear();
        const int length = std::min(inputs, 2 + static_cast<int>(random() % 5));
        while (static_cast<int>(term.size()) < length) {
            const uint32_t position = random() % static_cast<uint32_t>(inputs);
            const bool taken = std::any_of(term.begin(), term.end(), [&](Literal literal) {
                return literalPosition(literal) == position;
            });
            if (!taken) term.push_back(makeLiteral(position, random() % 2 != 0));
        }
        std::sort(term.begin(), term.end());
        cover.addTerm(term.data(), term.data() + term.size());
    }
    return cover;
}

// One product of a cover of range(0) terms by one of range(2) terms over range(1)
// inputs, entered into a fresh trie. Making the trie and counting its distinct terms
// (which needs it frozen) are outside the timed region.
void coverProduct(benchmark::State& state) {
    const int terms = static_cast<int>(state.range(0));
    const int inputs = static_cast<int>(state.range(1));
    const int otherTerms = static_cast<int>(state.range(2));
    const Cover left = randomCover(terms, inputs, 20261208);
    const Cover right = randomCover(otherTerms, inputs, 20261209);
    int64_t termsOut = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto trie = std::make_unique<TermTrie>(static_cast<uint32_t>(inputs));
        state.ResumeTiming();
        Cover::enterProduct(left, right, *trie);
        state.PauseTiming();
        trie->freeze();
        termsOut = trie->termCount();
        trie.reset();
        state.ResumeTiming();
    }
    state.counters["terms"] = terms;
    state.counters["other_terms"] = otherTerms;
    state.counters["variables"] = inputs;
    state.counters["pairs"] = static_cast<double>(terms) * otherTerms;
    state.counters["terms_out"] = static_cast<double>(termsOut);
}

BENCHMARK(coverProduct)
    ->ArgsProduct({{100, 1000, 10000}, {16, 64, 200}, {10, 100}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

// The trees are chains as long as their term count, and the engine walks them
// recursively, so the benchmarks run on the program's big-stack thread.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    return runOnLargeStack([] {
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    });
}
