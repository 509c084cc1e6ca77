// One menu choice applied to the whole table.
//
// Most actions rewrite every function by a fixed chain of tree operations, and the
// chains are timed together. A chain reads nothing but its own entry and what it
// is handed (the engine's inputs and switches in `EngineParams`, the cofactor's
// answers) and writes nothing but its entry and the undo record, so the chains of
// different functions are independent: every step hands back a new root, which the
// chain holds until its last step and then stores back into the entry, with the
// entry's term count. The save actions that need a normal form (PLA, DIMACS)
// compute it here first and write afterwards; the plain writers (VHDL, BLIF) and
// the small console actions return without timing. `transformTable` and
// `writeTable` run the same chains and writers for the command-line front end, with
// the answers given and nothing printed.
//
// The chains of a table with several functions run on helper threads
// (base/worker_pool.h), each function's result stored into its own entry; a table
// of one function, or one worker, runs them in table order on the calling thread.
// Nothing a chain does is seen before all have ended: the console, the writers and
// the term counts' sums come afterwards, in table order, as before.
//
// At a terminal an action runs under a watch (base/action_watch.h): a Ctrl-C ends
// it at the next checkpoint, and the undo record puts back every function it had
// changed by then.
#include "actions/dispatcher.h"

#include <algorithm>
#include <chrono>
#include <ostream>
#include <sstream>
#include <string>

#include "actions/actions.h"
#include "actions/added_functions.h"
#include "actions/table_undo.h"
#include "base/action_watch.h"
#include "base/console.h"
#include "base/worker_pool.h"
#include "expr/function_table.h"
#include "formats/blif.h"
#include "formats/dimacs.h"
#include "formats/pla.h"
#include "formats/vhdl.h"
#include "normal/normalize.h"
#include "normal/sum_of_products.h"

DispatcherState dispatcherState;

namespace {

// The DNF settles only after several passes of the engine; the count is fixed.
constexpr int normalizePasses = 7;

// The menu action whose chain a transformation runs.
int actionOf(Transform transform) {
    switch (transform) {
        case Transform::negation:
            return actionNegation;
        case Transform::andOrNot:
            return actionAndOrNot;
        case Transform::cnf:
            return actionCnf;
        case Transform::dnf:
            return actionDnf;
        case Transform::nand:
            return actionNand;
        case Transform::nor:
            return actionNor;
        case Transform::cofactor:
            break;
    }
    return actionCofactor;
}

void step(Node*& root, Node* (Node::*operation)()) {
    root = (root->*operation)();
}

// The simplified sum of products of the entry's function (or, with `complement`,
// of its complement) after `passes` more engine passes. A sum the entry holds goes
// to the engine as it is; a tree is prepared first (operators expanded, negations
// pushed onto the leaves) and negated for the complement.
SimplifiedSum simplifiedSumOf(FunctionEntry& entry, bool complement, int passes,
                              const EngineParams& params) {
    if (!complement && entry.pendingSum() != nullptr) {
        return simplifiedSumOfHeld(*entry.pendingSum(), passes, params);
    }
    Node* root = entry.tree();
    entry.tree() = nullptr;
    step(root, &Node::expandOperators);
    step(root, &Node::toAndOrNotForm);
    step(root, &Node::removeDoubleNegations);
    if (complement) step(root, &Node::negate);
    return simplifiedSumOfProducts(root, passes, params);
}

// The entry keeps the sum as it is, with the engine's term count.
void holdSum(FunctionEntry& entry, SimplifiedSum sum) {
    entry.termCount = sum.termCount();
    entry.holdSum(std::make_unique<SimplifiedSum>(std::move(sum)));
}

// The chains that rewrite the tree itself.
void rewriteTree(int action, Node*& root, int64_t position, const CofactorRequest& cofactor) {
    switch (action) {
        case actionNegation:
            step(root, &Node::negate);
            break;
        case actionAndOrNot:
            step(root, &Node::expandOperators);
            step(root, &Node::toAndOrNotForm);
            break;
        case actionNand:
            step(root, &Node::expandOperators);
            step(root, &Node::removeDoubleNegations);
            step(root, &Node::toNandForm);
            break;
        case actionNor:
            step(root, &Node::expandOperators);
            step(root, &Node::removeDoubleNegations);
            step(root, &Node::toNorForm);
            break;
        case actionCofactor:
            if (position == cofactor.outputNumber) {
                root = root->cofactor(cofactor.inputNumber, cofactor.value);
            }
            break;
    }
}

// What every chain of one action is handed besides its entry.
struct ChainInputs {
    int action;
    const CofactorRequest& cofactor;
    EngineParams engine;
};

void runChain(const ChainInputs& inputs, FunctionEntry& entry, int64_t position) {
    switch (inputs.action) {
        case actionDnf:
        case actionSatisfiability:
        case actionSavePla:
            holdSum(entry, simplifiedSumOf(entry, false, normalizePasses, inputs.engine));
            return;
        case actionSaveDimacs:
            // One term per clause of the CNF, which the DIMACS writer needs before
            // the final negation.
            holdSum(entry, simplifiedSumOf(entry, true, 1, inputs.engine));
            return;
        case actionCnf: {
            SimplifiedSum complement = simplifiedSumOf(entry, true, 1, inputs.engine);
            entry.termCount = complement.termCount();
            entry.tree() = complement.buildTree()->negate();
            return;
        }
        default: {
            Node* root = entry.tree();
            rewriteTree(inputs.action, root, position, inputs.cofactor);
            entry.tree() = root;
            return;
        }
    }
}

// Makes the entry current for what follows the action (the writers and "Add
// function" set their own); identifiers resolve against its own variables.
void focusOn(FunctionEntry& entry) {
    workspace.currentEntry = &entry;
    workspace.currentList = entry.variableList;
}

// The chain of one function, its original kept first for the undo.
void applyToFunction(const ChainInputs& inputs, int64_t position, TableUndo* undo) {
    const FunctionTable& table = *workspace.table;
    FunctionEntry& entry = *table.entryAt(position);
    if (!entry.hasTree()) return;
    noteProgressFunction(position + 1, table.entryCount(), entry.name);
    if (undo != nullptr) undo->keep(position);
    runChain(inputs, entry, position);
    noteProgressDone();
}

void applyToEveryFunction(int action, const CofactorRequest& cofactor, TableUndo* undo) {
    FunctionTable& table = *workspace.table;
    const ChainInputs inputs{
        action, cofactor,
        EngineParams{table.variableList, dispatcherState.absorptionEnabled, true}};
    const int64_t count = table.entryCount();
    const int64_t workers = std::min<int64_t>(workerCount(), count);
    if (workers > 1) {
        runOnWorkers(count, static_cast<int>(workers),
                     [&](int64_t position) { applyToFunction(inputs, position, undo); });
    } else {
        for (int64_t position = 0; position < count; ++position) {
            applyToFunction(inputs, position, undo);
        }
    }
    if (count > 0) focusOn(*table.entryAt(count - 1));
}

// The DIMACS file holds the complement's terms as clauses; negating afterwards
// leaves every function in its CNF, as the CNF action would.
void negateEveryFunction(TableUndo* undo) {
    for (int64_t position = 0; position < workspace.table->entryCount(); ++position) {
        FunctionEntry* entry = workspace.table->entryAt(position);
        focusOn(*entry);
        if (!entry->hasTree()) continue;
        if (undo != nullptr) undo->keep(position);
        entry->tree() = entry->tree()->negate();
    }
}

// Wall-clock time: the helpers' processor time would add up.
int64_t steadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int64_t elapsedMilliseconds() {
    return dispatcherState.operationEndTime - dispatcherState.operationStartTime;
}

void runTimed(int action, const CofactorRequest& cofactor, TableUndo& undo) {
    printLine("");
    printLine("Operation started");
    dispatcherState.operationStartTime = steadyMilliseconds();
    applyToEveryFunction(action, cofactor, &undo);
    dispatcherState.operationEndTime = steadyMilliseconds();
    printLine(durationText(elapsedMilliseconds()));
    printLine("Operation finished");
    printLine("");
}

CofactorRequest askCofactor() {
    CofactorRequest request;
    printPrompt("Enter output variable number:");
    request.outputNumber = readInteger(-1);
    printLine("");
    printPrompt("Enter input variable number:");
    request.inputNumber = readInteger(0);
    printLine("");
    printPrompt("Enter input variable value:");
    request.value = readTruthValue();
    printLine("");
    return request;
}

// One statement typed at the console becomes a new function.
void addFunction() {
    printPrompt("Input command string:");
    addStatement(readRestOfLine());
}

void toggleAbsorption() {
    dispatcherState.absorptionEnabled = !dispatcherState.absorptionEnabled;
    printLine(dispatcherState.absorptionEnabled ? "Absorption enabled" : "Absorption disabled");
}

void carryOut(int action, std::ostream* out, TableUndo& undo) {
    if (action != actionSaveVhdl) dispatcherState.satisfiabilityFlag = false;
    if (action == actionSatisfiability) dispatcherState.satisfiabilityFlag = true;

    switch (action) {
        case actionAddFunction:
            addFunction();
            return;
        case actionSaveVhdl:
            saveVhdl(*out, dispatcherState.satisfiabilityFlag);
            return;
        case actionSaveBlif:
            saveBlif(*out);
            return;
        case actionAbsorption:
            toggleAbsorption();
            return;
        default:
            break;
    }

    CofactorRequest cofactor;
    if (action == actionCofactor) cofactor = askCofactor();
    runTimed(action, cofactor, undo);

    if (action == actionSavePla) savePla(*out);
    if (action == actionSaveDimacs) {
        saveDimacs(*out);
        negateEveryFunction(&undo);
    }
}

}  // namespace

std::string durationText(int64_t milliseconds) {
    std::ostringstream report;
    report << "Operation took " << static_cast<double>(milliseconds) / 1000.0 << " seconds";
    return report.str();
}

bool runAction(int action, std::ostream* out) {
    if (!isTableAction(action)) return true;
    const ActionWatch watch;
    TableUndo undo(actionsCancellable());
    try {
        carryOut(action, out, undo);
        return true;
    } catch (const ActionCancelled&) {
        undo.restore();
        return false;
    }
}

void transformTable(Transform transform, const CofactorRequest& cofactor) {
    applyToEveryFunction(actionOf(transform), cofactor, nullptr);
}

void writeTable(OutputNotation notation, std::ostream& out, int64_t firstSaved) {
    switch (notation) {
        case OutputNotation::pla:
            applyToEveryFunction(actionSavePla, CofactorRequest{}, nullptr);
            writePla(out, firstSaved);
            break;
        case OutputNotation::pseudoVhdl:
            writeVhdl(out, pseudoVhdl, firstSaved, dispatcherState.satisfiabilityFlag);
            break;
        case OutputNotation::completeVhdl:
            writeVhdl(out, completeVhdl, firstSaved, dispatcherState.satisfiabilityFlag);
            break;
        case OutputNotation::blif:
            writeBlif(out, firstSaved);
            break;
        case OutputNotation::sopBlif:
            applyToEveryFunction(actionDnf, CofactorRequest{}, nullptr);
            writeSopBlif(out, firstSaved);
            break;
        case OutputNotation::dimacs:
            applyToEveryFunction(actionSaveDimacs, CofactorRequest{}, nullptr);
            writeDimacs(out, firstSaved);
            negateEveryFunction(nullptr);
            break;
    }
}
