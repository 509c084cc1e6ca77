// Ctrl-C at a terminal: which interrupts cancel the watched action and which end the
// run as before, and where an ending signal waits for a safe point; a cancelled multiplication
// leaves nothing behind (the sanitizer build checks for leaks and freed memory) and gives either an
// exception or the result of an uncancelled run; a cancelled action leaves every function, held
// sums included, and the table's counters exactly as they were.
#include "base/action_watch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "actions/dispatcher.h"
#include "expr/function_table.h"
#include "expr/node.h"
#include "normal/sum_of_products.h"
#include "tests/unit/base/console_redirect.h"
#include "tests/unit/expr/random_trees.h"
#include "tests/unit/expr/tree_builders.h"
#include "tests/unit/normal/table_engine.h"

namespace {

constexpr int cancelledExit = 7;
constexpr int notCancelledExit = 8;

void raiseCancel() {
    runningAction.cancelRequested = 1;
    runningAction.attention = 1;
}

void clearRunningFlags() {
    runningAction.clear();
}

struct InterruptCase {
    const char* title;
    bool watched;    // an action runs
    bool atPrompt;   // it waits for an answer
    int interrupts;  // Ctrl-C pressed this often, at once
    bool cancels;    // else the run ends by the signal
};

class InterruptTest : public ::testing::TestWithParam<InterruptCase> {};

// Each case runs in a child process of its own, since most of them end it.
void pressCtrlC(const InterruptCase& press) {
    cancelActionsOnInterrupt();
    runningAction.watched = press.watched ? 1 : 0;
    runningAction.atPrompt = press.atPrompt ? 1 : 0;
    for (int i = 0; i < press.interrupts; ++i) std::raise(SIGINT);
    _exit(runningAction.cancelRequested != 0 ? cancelledExit : notCancelledExit);
}

TEST_P(InterruptTest, CancelsOnlyARunningActionOnce) {
    const InterruptCase& press = GetParam();
    if (press.cancels) {
        EXPECT_EXIT(pressCtrlC(press), ::testing::ExitedWithCode(cancelledExit), "");
    } else {
        EXPECT_EXIT(pressCtrlC(press), ::testing::KilledBySignal(SIGINT), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Presses, InterruptTest,
    ::testing::Values(InterruptCase{"one Ctrl-C while computing", true, false, 1, true},
                      InterruptCase{"Ctrl-C at a question", true, true, 1, false},
                      InterruptCase{"a second Ctrl-C at once", true, false, 2, false},
                      InterruptCase{"Ctrl-C with no action running", false, false, 1, false}),
    [](const auto& pressed) {
        std::string name = pressed.param.title;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

// At a terminal the ending signals wait for a safe point where one will come, which
// then runs the keeper and ends the run by the signal; elsewhere, and for a second
// signal while one waits, they end it in the handler as before.
struct EndingCase {
    const char* title;
    std::vector<int> signals;  // sent in this order
    bool watched;
    bool atPrompt;
    bool keeper;  // keepWorkBeforeEnding was called
    bool waits;   // else the handler ends the run
};

constexpr int notWaitingExit = 9;
constexpr int servedWithoutEndExit = 10;

class EndingSignalTest : public ::testing::TestWithParam<EndingCase> {};

void sendAndServe(const EndingCase& ending) {
    cancelActionsOnInterrupt();
    endAtSafePoints();
    if (ending.keeper) keepWorkBeforeEnding([] { std::fputs("work kept\n", stderr); });
    runningAction.watched = ending.watched ? 1 : 0;
    runningAction.atPrompt = ending.atPrompt ? 1 : 0;
    for (int signal : ending.signals) std::raise(signal);
    if (!endingSignalPending()) _exit(notWaitingExit);
    if (ending.watched) {
        // A question inside the action: the action is undone first.
        bool thrown = false;
        try {
            serveEndingSignal();
        } catch (const ActionCancelled&) {
            thrown = true;
        }
        if (!thrown || runningAction.cancelRequested == 0) _exit(servedWithoutEndExit);
        runningAction.clear();
    }
    serveEndingSignal();
    _exit(servedWithoutEndExit);
}

TEST_P(EndingSignalTest, WaitsForASafePointOnlyWhereOneComes) {
    const EndingCase& ending = GetParam();
    const int last = ending.signals.back();
    const int first = ending.signals.front();
    EXPECT_EXIT(sendAndServe(ending), ::testing::KilledBySignal(ending.waits ? first : last),
                ending.waits && ending.keeper ? "work kept" : "^$");
}

INSTANTIATE_TEST_SUITE_P(
    Signals, EndingSignalTest,
    ::testing::Values(
        EndingCase{"SIGTERM at a prompt", {SIGTERM}, false, true, false, true},
        EndingCase{"Ctrl-C at a prompt", {SIGINT}, false, true, true, true},
        EndingCase{"SIGHUP at a question", {SIGHUP}, true, true, true, true},
        EndingCase{"SIGQUIT during an action", {SIGQUIT}, true, false, true, true},
        EndingCase{"a second Ctrl-C during an action", {SIGINT, SIGINT}, true, false, true, true},
        EndingCase{"SIGTERM between actions", {SIGTERM}, false, false, true, true},
        EndingCase{"SIGTERM before the work", {SIGTERM}, false, false, false, false},
        EndingCase{"a second signal while one waits", {SIGTERM, SIGHUP}, false, true, true, false}),
    [](const auto& ending) {
        std::string name = ending.param.title;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(ActionWatchTest, CheckpointsThrowFromTheCancelUntilTheWatchEnds) {
    {
        const ActionWatch watch;
        actionCheckpoint(5);
        raiseCancel();
        EXPECT_THROW(actionCheckpoint(5), ActionCancelled);
        EXPECT_THROW(actionCheckpoint(-1), ActionCancelled);
    }
    EXPECT_NO_THROW(actionCheckpoint(5));
    EXPECT_EQ(runningAction.attention.load(), 0);
    EXPECT_EQ(runningAction.cancelRequested.load(), 0);
}

Node* prepared(const Node& original) {
    Node* tree = original.clone();
    tree = tree->expandOperators();
    tree = tree->toAndOrNotForm();
    return tree->removeDoubleNegations();
}

TEST(ActionWatchTest, ACancelledMultiplicationThrowsOrGivesTheSameResult) {
    RandomTreeMaker random(41);
    int cancelled = 0;
    for (int round = 0; round < 300; ++round) {
        const int inputs = 2 + static_cast<int>(random.below(12));
        std::vector<std::string> names;
        for (int i = 0; i < inputs; ++i) names.push_back("x" + std::to_string(i));
        freshTable(names);
        Node* original = random.tree(inputs, 7, round % 4 == 0);
        Node* expected = simplifiedSumOfProducts(prepared(*original), 7, tableEngine()).buildTree();
        raiseCancel();
        try {
            Node* actual =
                simplifiedSumOfProducts(prepared(*original), 7, tableEngine()).buildTree();
            EXPECT_EQ(toText(*actual), toText(*expected)) << toText(*original);
            delete actual;
        } catch (const ActionCancelled&) {
            ++cancelled;
        }
        clearRunningFlags();
        delete expected;
        delete original;
    }
    releaseTable();
    EXPECT_GT(cancelled, 250);
}

TEST(ActionWatchTest, ACancelledDistributionLeavesAWholeTree) {
    using namespace build;
    freshTable({"a", "b", "c"});
    Node* tree = andOf(orOf(id("a"), id("b")), orOf(id("c"), notOf(id("a"))));
    const std::string before = toText(*tree);
    raiseCancel();
    EXPECT_THROW(tree = tree->distribute(opAnd), ActionCancelled);
    clearRunningFlags();
    EXPECT_EQ(toText(*tree), before);
    delete tree;
    releaseTable();
}

// What an entry holds, read without building a held sum's tree into the entry.
std::string describe(const FunctionEntry& entry) {
    std::string text = entry.name + " [" + std::to_string(entry.termCount) + "] ";
    if (entry.pendingSum() != nullptr) {
        Node* built = entry.pendingSum()->buildTree();
        text += "sum " + toText(*built);
        delete built;
    } else {
        FunctionEntry& same = const_cast<FunctionEntry&>(entry);
        text += same.hasTree() ? toText(*same.tree()) : "-";
    }
    return text;
}

std::vector<std::string> describeTable() {
    std::vector<std::string> described;
    for (int64_t i = 0; i < workspace.table->entryCount(); ++i) {
        described.push_back(describe(*workspace.table->entryAt(i)));
    }
    described.push_back("terms " + std::to_string(workspace.table->termCount) + " signals " +
                        std::to_string(blifSignalCounter) + " sat " +
                        std::to_string(dispatcherState.satisfiabilityFlag));
    return described;
}

class CancelledActionTest : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        cancelActionsOnInterrupt();
        RandomTreeMaker random(3);
        std::vector<std::string> names;
        for (int i = 0; i < 8; ++i) names.push_back("x" + std::to_string(i));
        freshTable(names);
        for (int i = 0; i < 6; ++i) {
            auto* list = new VariableList;
            workspace.currentList = list;
            Node* tree = random.tree(8, 6);
            tree->collectVariables();
            workspace.table->appendEntry(tree, list, "f" + std::to_string(i));
        }
        // Half the functions hold the sums a finished DNF left.
        runAction(actionDnf, nullptr);
        for (int64_t i = 0; i < 3; ++i) {
            FunctionEntry& entry = *workspace.table->entryAt(i);
            entry.tree() = entry.tree()->negate();
        }
        dispatcherState.satisfiabilityFlag = true;
    }
    void TearDown() override { releaseTable(); }

    ConsoleRedirect console;
};

TEST_P(CancelledActionTest, LeavesTheTableAsItWas) {
    const std::vector<std::string> before = describeTable();
    console.type("1\n1\n");
    std::ostringstream file;
    raiseCancel();
    EXPECT_FALSE(runAction(GetParam(), &file));
    EXPECT_EQ(describeTable(), before);
    EXPECT_EQ(runningAction.attention.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Actions, CancelledActionTest,
                         ::testing::Values(actionCnf, actionDnf, actionSatisfiability,
                                           actionSavePla, actionSaveVhdl, actionSaveBlif,
                                           actionSaveDimacs));

}  // namespace
