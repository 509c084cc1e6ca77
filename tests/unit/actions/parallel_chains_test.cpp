// The functions' chains on several workers give what one worker gives: the same
// trees and held sums, term counts, table counters and written files, for every
// transformation and for the saves that compute a normal form first; and an action
// cancelled at any moment while the workers compute leaves the table as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "actions/actions.h"
#include "actions/dispatcher.h"
#include "base/action_watch.h"
#include "base/worker_pool.h"
#include "expr/function_table.h"
#include "tests/unit/base/console_redirect.h"
#include "tests/unit/expr/random_trees.h"
#include "tests/unit/expr/tree_builders.h"

namespace {

// A table of random functions over `inputs` inputs, the same for the same seed.
void randomTable(uint32_t seed, int inputs, int functions) {
    RandomTreeMaker random(seed);
    std::vector<std::string> names;
    for (int i = 0; i < inputs; ++i) names.push_back("x" + std::to_string(i));
    freshTable(names);
    for (int i = 0; i < functions; ++i) {
        auto* list = new VariableList;
        workspace.currentList = list;
        Node* tree = random.tree(inputs, 3 + static_cast<int>(random.below(5)));
        tree->collectVariables();
        workspace.table->appendEntry(tree, list, "f" + std::to_string(i));
    }
}

// Every entry as it stands (a held sum read without building it into the entry),
// and the table's counters.
std::vector<std::string> describeTable() {
    std::vector<std::string> described;
    for (int64_t i = 0; i < workspace.table->entryCount(); ++i) {
        FunctionEntry& entry = *workspace.table->entryAt(i);
        std::string text = entry.name + " [" + std::to_string(entry.termCount) + "] ";
        if (entry.pendingSum() != nullptr) {
            Node* built = entry.pendingSum()->buildTree();
            text += "sum " + toText(*built);
            delete built;
        } else {
            text += entry.hasTree() ? toText(*entry.tree()) : "-";
        }
        described.push_back(text);
    }
    described.push_back("terms " + std::to_string(workspace.table->termCount));
    return described;
}

struct Job {
    const char* title;
    std::function<std::string()> run;  // what it writes, if anything
};

std::string transformed(Transform transform, const CofactorRequest& cofactor = {}) {
    transformTable(transform, cofactor);
    return {};
}

std::string written(OutputNotation notation) {
    std::ostringstream out;
    writeTable(notation, out, 0);
    return out.str();
}

const std::vector<Job>& jobs() {
    static const std::vector<Job> all{
        {"negation", [] { return transformed(Transform::negation); }},
        {"and-or-not", [] { return transformed(Transform::andOrNot); }},
        {"cnf", [] { return transformed(Transform::cnf); }},
        {"dnf", [] { return transformed(Transform::dnf); }},
        {"nand", [] { return transformed(Transform::nand); }},
        {"nor", [] { return transformed(Transform::nor); }},
        {"cofactor",
         [] {
             return transformed(Transform::cofactor, {1, 2, true});
         }},
        {"pla", [] { return written(OutputNotation::pla); }},
        {"dimacs", [] { return written(OutputNotation::dimacs); }},
        {"sop-blif", [] { return written(OutputNotation::sopBlif); }},
        {"dnf then cnf",
         [] {
             transformTable(Transform::dnf);
             return transformed(Transform::cnf);
         }},
    };
    return all;
}

struct Outcome {
    std::vector<std::string> table;
    std::string file;
};

Outcome runWith(int workers, const Job& job, uint32_t seed, int inputs, int functions) {
    setWorkerCount(workers);
    randomTable(seed, inputs, functions);
    Outcome outcome;
    outcome.file = job.run();
    outcome.table = describeTable();
    releaseTable();
    return outcome;
}

class ParallelChainsTest : public ::testing::TestWithParam<int> {
  protected:
    void TearDown() override { setWorkerCount(0); }
};

TEST_P(ParallelChainsTest, GiveWhatOneWorkerGives) {
    const int workers = GetParam();
    for (const Job& job : jobs()) {
        for (uint32_t round = 0; round < 12; ++round) {
            const uint32_t seed = 1000 + round;
            const int inputs = 2 + static_cast<int>(round % 9);
            const int functions = 1 + static_cast<int>(round % 7);
            const Outcome alone = runWith(1, job, seed, inputs, functions);
            const Outcome together = runWith(workers, job, seed, inputs, functions);
            EXPECT_EQ(together.table, alone.table) << job.title << " round " << round;
            EXPECT_EQ(together.file, alone.file) << job.title << " round " << round;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Workers, ParallelChainsTest, ::testing::Values(2, 4, 7));

void raiseCancel() {
    runningAction.cancelRequested = 1;
    runningAction.attention = 1;
}

// A Ctrl-C at a random moment: before the workers start, while they compute, or
// after the action ended. A cancelled action leaves the table as before; one that
// ended leaves what an uncancelled action leaves.
TEST_P(ParallelChainsTest, ACancelAtAnyMomentLeavesTheTableWholeOrDone) {
    cancelActionsOnInterrupt();
    setWorkerCount(GetParam());
    ConsoleRedirect console;
    RandomTreeMaker delays(5);
    int cancelled = 0;
    for (int action : {actionCnf, actionDnf, actionSaveDimacs, actionSavePla}) {
        randomTable(77, 11, 8);
        const std::vector<std::string> before = describeTable();
        std::ostringstream file;
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(runAction(action, &file));
        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count();
        const std::vector<std::string> done = describeTable();
        for (int round = 0; round < 15; ++round) {
            randomTable(77, 11, 8);
            // Spread over the action's own duration and a little beyond.
            const auto delay =
                std::chrono::microseconds(delays.below(static_cast<uint32_t>(took + took / 2 + 1)));
            std::thread pressing([delay] {
                std::this_thread::sleep_for(delay);
                raiseCancel();
            });
            std::ostringstream again;
            const bool finished = runAction(action, &again);
            pressing.join();
            runningAction.clear();
            if (finished) {
                EXPECT_EQ(describeTable(), done) << action << " round " << round;
            } else {
                ++cancelled;
                EXPECT_EQ(describeTable(), before) << action << " round " << round;
            }
        }
    }
    releaseTable();
    EXPECT_GT(cancelled, 0);
}

}  // namespace
