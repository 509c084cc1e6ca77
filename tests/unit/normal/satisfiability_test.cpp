// The SAT bridge against independent oracles: the truth table of the tree's
// evaluation (with the model checked by evaluating under it), and for prepared
// trees the term walk over the multiplied-out sum of products. It must also stay
// silent: the console carries only the program's own conversation.
#include "normal/satisfiability.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "expr/function_table.h"
#include "expr/node.h"
#include "expr/row_chains.h"
#include "expr/term_sink.h"
#include "expr/term_walk.h"
#include "tests/unit/expr/random_trees.h"
#include "tests/unit/expr/tree_builders.h"
#include "tests/unit/normal/reference_sum_of_products.h"
#include "tests/unit/normal/table_engine.h"

namespace {

std::vector<std::string> inputNames(int inputs) {
    std::vector<std::string> names;
    for (int i = 0; i < inputs; ++i) names.push_back("x" + std::to_string(i));
    return names;
}

bool anyAssignmentGivesOne(const Node& tree, int inputs) {
    for (uint64_t bits = 0; bits < (uint64_t{1} << inputs); ++bits) {
        if (evaluateUnder(tree, bits)) return true;
    }
    return false;
}

uint64_t bitsOf(const std::vector<bool>& model) {
    uint64_t bits = 0;
    for (size_t i = 0; i < model.size(); ++i) bits |= uint64_t{model[i]} << i;
    return bits;
}

TEST(Satisfiability, EvaluationReadingMatchesTheTruthTable) {
    RandomTreeMaker random(99);
    int satisfiable = 0;
    int unsatisfiable = 0;
    for (int round = 0; round < 1500; ++round) {
        const int inputs = 1 + static_cast<int>(random.below(10));
        freshTable(inputNames(inputs));
        Node* tree = random.tree(inputs, 5, round % 4 == 0);
        SatAnswer answer =
            decideSatisfiable(*tree, workspace.table->variableList, LeafReading::Evaluation);
        const bool expected = anyAssignmentGivesOne(*tree, inputs);
        ASSERT_EQ(answer.verdict == SatVerdict::Satisfiable, expected) << toText(*tree);
        if (expected) {
            ++satisfiable;
            ASSERT_EQ(answer.model.size(), static_cast<size_t>(inputs));
            EXPECT_TRUE(evaluateUnder(*tree, bitsOf(answer.model))) << toText(*tree);
        } else {
            ++unsatisfiable;
            ASSERT_EQ(answer.verdict, SatVerdict::Unsatisfiable);
        }
        delete tree;
    }
    EXPECT_GT(satisfiable, 100);
    EXPECT_GT(unsatisfiable, 100);
}

class Counter final : public TermSink {
  public:
    int terms = 0;
    void acceptTerm(const VariableList&) override { ++terms; }
};

// What the multiplication decides: whether the multiplied-out tree has a term.
bool multipliedOutHasATerm(const Node& prepared) {
    Node* tree = referenceSumOfProducts(prepared.clone(), tableEngine());
    Counter counter;
    workspace.table->variableList.clearAssignments();
    bool any = reportAllTerms(tree, workspace.table->variableList, counter);
    delete tree;
    return any;
}

TEST(Satisfiability, TermWalkReadingMatchesTheMultiplication) {
    RandomTreeMaker random(31);
    for (int round = 0; round < 1500; ++round) {
        const int inputs = 1 + static_cast<int>(random.below(6));
        freshTable(inputNames(inputs));
        Node* tree = random.tree(inputs, 4, round % 3 == 0);
        tree = tree->expandOperators();
        tree = tree->toAndOrNotForm();
        tree = tree->removeDoubleNegations();
        SatAnswer answer =
            decideSatisfiable(*tree, workspace.table->variableList, LeafReading::TermWalk);
        ASSERT_EQ(answer.verdict == SatVerdict::Satisfiable, multipliedOutHasATerm(*tree))
            << toText(*tree);
        delete tree;
    }
}

// The leaves the two readings take differently, one by one.
struct LeafCase {
    const char* title;
    Node* (*make)();
    bool underTermWalk;
    bool underEvaluation;
};

const LeafCase leafCases[] = {
    {"One", [] { return build::constant(1); }, true, true},
    {"Zero", [] { return build::constant(0); }, false, false},
    {"NotZero", [] { return build::notOf(build::constant(0)); }, true, true},
    {"WideThree", [] { return build::constant(3, 2); }, false, true},
    {"NotWideTwo", [] { return build::notOf(build::constant(2, 2)); }, false, true},
    {"UnknownName", [] { return build::id("nowhere"); }, false, false},
    {"NotUnknownName", [] { return build::notOf(build::id("nowhere")); }, false, true},
    {"NameAndItsComplement",
     [] { return build::andOf(build::id("a"), build::notOf(build::id("a"))); }, false, false},
};

class SatisfiabilityLeaves : public ::testing::TestWithParam<LeafCase> {};

TEST_P(SatisfiabilityLeaves, ReadAsEachReadingSays) {
    freshTable({"a"});
    Node* tree = GetParam().make();
    const VariableList& inputs = workspace.table->variableList;
    EXPECT_EQ(
        decideSatisfiable(*tree, inputs, LeafReading::TermWalk).verdict == SatVerdict::Satisfiable,
        GetParam().underTermWalk);
    EXPECT_EQ(decideSatisfiable(*tree, inputs, LeafReading::Evaluation).verdict ==
                  SatVerdict::Satisfiable,
              GetParam().underEvaluation);
    delete tree;
}

INSTANTIATE_TEST_SUITE_P(Normal, SatisfiabilityLeaves, ::testing::ValuesIn(leafCases),
                         [](const auto& param) { return std::string(param.param.title); });

// A falsified unit clause is where the solver would report on standard output.
TEST(Satisfiability, WritesNothingToStandardOutput) {
    freshTable({"a", "b"});
    Node* tree = build::andOf(build::id("a"),
                              build::andOf(build::notOf(build::id("a")), build::constant(0)));
    std::fflush(stdout);
    char path[] = "/tmp/satisfiability_stdout_XXXXXX";
    int capture = mkstemp(path);
    ASSERT_GE(capture, 0);
    int saved = dup(STDOUT_FILENO);
    dup2(capture, STDOUT_FILENO);
    SatAnswer answer =
        decideSatisfiable(*tree, workspace.table->variableList, LeafReading::TermWalk);
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    off_t written = lseek(capture, 0, SEEK_END);
    close(capture);
    unlink(path);
    EXPECT_EQ(answer.verdict, SatVerdict::Unsatisfiable);
    EXPECT_EQ(written, 0);
    delete tree;
}

// A pigeonhole formula needs many conflicts: with none allowed it stays undecided,
// without a limit it is refuted.
TEST(Satisfiability, ConflictLimitLeavesHardQuestionsOpen) {
    const int holes = 6;
    const int pigeons = holes + 1;
    std::vector<std::string> names;
    for (int p = 0; p < pigeons; ++p)
        for (int h = 0; h < holes; ++h) names.push_back("p" + std::to_string(p * holes + h));
    freshTable(names);
    using namespace build;
    Node* formula = nullptr;
    const auto conjoin = [&formula](Node* clause) {
        formula = formula == nullptr ? clause : andOf(formula, clause);
    };
    for (int p = 0; p < pigeons; ++p) {
        Node* somewhere = nullptr;
        for (int h = 0; h < holes; ++h) {
            Node* in = id("p" + std::to_string(p * holes + h));
            somewhere = somewhere == nullptr ? in : orOf(somewhere, in);
        }
        conjoin(somewhere);
    }
    for (int h = 0; h < holes; ++h)
        for (int p = 0; p < pigeons; ++p)
            for (int q = p + 1; q < pigeons; ++q)
                conjoin(orOf(notOf(id("p" + std::to_string(p * holes + h))),
                             notOf(id("p" + std::to_string(q * holes + h)))));
    const VariableList& inputs = workspace.table->variableList;
    EXPECT_EQ(decideSatisfiable(*formula, inputs, LeafReading::TermWalk, 0).verdict,
              SatVerdict::Unknown);
    EXPECT_EQ(decideSatisfiable(*formula, inputs, LeafReading::TermWalk).verdict,
              SatVerdict::Unsatisfiable);
    delete formula;
}

// Random clauses over x0.., with the rows a DIMACS file can give: repeated and
// complementary literals, units, rows without literals, names outside the table.
// `width` 0 gives rows of 1 to 5 literals, otherwise rows of exactly `width`.
RowStore randomClauses(RandomTreeMaker& random, int inputs, int clauses, int width,
                       bool emptyRows) {
    RowStore rows;
    for (int c = 0; c < clauses; ++c) {
        uint32_t size =
            width > 0 ? static_cast<uint32_t>(width) : 1 + random.below(4) + random.below(2);
        if (emptyRows && random.below(8) == 0) size = 0;
        for (uint32_t k = 0; k < size; ++k) {
            const bool outside = width == 0 && random.below(30) == 0;
            const std::string name =
                outside ? "u" : "x" + std::to_string(random.below(static_cast<uint32_t>(inputs)));
            rows.addLiteral(intern(name), random.below(2) == 0);
        }
        rows.closeRow();
    }
    return rows;
}

// Clauses handed over as rows must reach the solver exactly as their built tree
// does, between other parts of a conjunction: the same verdict and, the solver
// being deterministic, the same model. Small odd sets check the literals; random
// 3-CNF near the threshold, where the search runs into conflicts and its path
// depends on the order of the clauses, checks that order.
TEST(Satisfiability, ClausesAsRowsDecideAsTheirTree) {
    RandomTreeMaker random(57);
    int satisfiable = 0;
    int unsatisfiable = 0;
    for (int round = 0; round < 240; ++round) {
        const bool searched = round % 2 == 1;
        const int inputs = searched ? 50 + static_cast<int>(random.below(50))
                                    : 2 + static_cast<int>(random.below(40));
        freshTable(inputNames(inputs));
        const int clauses =
            searched ? inputs * 42 / 10
                     : 1 + static_cast<int>(random.below(static_cast<uint32_t>(inputs * 3)));
        const bool emptyRows = round % 10 == 0;
        const RowStore first = randomClauses(random, inputs, clauses, searched ? 3 : 0, emptyRows);
        const RowStore second =
            randomClauses(random, inputs, 1 + clauses / 20, searched ? 3 : 0, emptyRows);
        Node* between = random.tree(std::min(inputs, 6), 3);
        const RowChains firstChains{first, nullptr, opAnd, opOr, valueFalse};
        const RowChains secondChains{second, nullptr, opAnd, opOr, valueFalse};
        Node* formula = build::constant(1);
        for (Node* part : {buildChains(firstChains), between->clone(), buildChains(secondChains)})
            formula = new BNode(opAnd, formula, part);
        const VariableList& inputsList = workspace.table->variableList;
        for (const LeafReading reading : {LeafReading::Evaluation, LeafReading::TermWalk}) {
            const SatAnswer fromTree = decideSatisfiable(*formula, inputsList, reading);
            const VectNode one(valueTrue, 1);
            const SatAnswer fromRows = decideConjunction(
                {{&one, nullptr}, {nullptr, &first}, {between, nullptr}, {nullptr, &second}},
                inputsList, reading);
            ASSERT_EQ(fromRows.verdict, fromTree.verdict) << "round " << round;
            ASSERT_EQ(fromRows.model, fromTree.model) << "round " << round;
            if (reading == LeafReading::Evaluation) {
                ++(fromTree.verdict == SatVerdict::Satisfiable ? satisfiable : unsatisfiable);
            }
        }
        delete formula;
        delete between;
    }
    EXPECT_GT(satisfiable, 50);
    EXPECT_GT(unsatisfiable, 50);
}

}  // namespace
