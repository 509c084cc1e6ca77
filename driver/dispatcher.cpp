// One menu choice applied to the whole table.
//
// Most actions rewrite every function in turn by a fixed chain of tree operations,
// and the chains are timed together. Every step hands back a new root; the step
// stores it in `program.currentNode` at once, because the operations, the engine
// and the writers read the current references rather than take arguments. Only the
// entry's final root is stored back into the entry. The save actions that need a
// normal form (PLA, DIMACS) compute it here first and write afterwards; the plain
// writers (VHDL, BLIF) and the small console actions return without timing.
#include "driver/dispatcher.h"

#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "driver/console.h"
#include "driver/function_table.h"
#include "formats/blif.h"
#include "formats/dimacs.h"
#include "formats/pla.h"
#include "formats/vhdl.h"
#include "normal/normalize.h"

namespace {

// The DNF settles only after several passes of the engine; the count is fixed.
constexpr int normalizePasses = 7;

enum Action {
    actionNegation = 1,
    actionAndOrNot = 2,
    actionCnf = 3,
    actionDnf = 4,
    actionSatisfiability = 5,
    actionNand = 6,
    actionNor = 7,
    actionAddFunction = 8,
    actionSavePla = 9,
    actionSaveVhdl = 10,
    actionSaveBlif = 11,
    actionSaveDimacs = 12,
    actionAbsorption = 13,
    actionCofactor = 14,
};

// What the cofactor questions answered.
struct CofactorRequest {
    int64_t outputNumber = -1;  // no function is changed unless an answer is read
    int64_t inputNumber = 0;
    bool value = false;
};

void step(Node* (Node::*operation)()) {
    program.currentNode = (program.currentNode->*operation)();
}

void normalize(int passes) {
    program.currentNode = normalizeTermsRepeatedly(program.currentNode, passes);
}

// Expansion into a sum of products, from any tree; `complement` negates the
// prepared tree first, so that the sum of products is that of the complement.
void toSumOfProducts(bool complement) {
    step(&Node::expandOperators);
    step(&Node::toAndOrNotForm);
    step(&Node::removeDoubleNegations);
    if (complement) step(&Node::negate);
    step(&Node::toSumOfProducts);
}

void toDnf(FunctionEntry& entry) {
    toSumOfProducts(false);
    normalize(normalizePasses);
    entry.termCount = program.table->termCount;
}

// The simplified sum of products of the complement: one term per clause of the
// CNF, which the DIMACS writer needs before the final negation.
void toComplementDnf(FunctionEntry& entry) {
    toSumOfProducts(true);
    normalize(1);
    entry.termCount = program.table->termCount;
}

void runChain(int action, FunctionEntry& entry, int64_t position, const CofactorRequest& cofactor) {
    switch (action) {
        case actionNegation:
            step(&Node::negate);
            break;
        case actionAndOrNot:
            step(&Node::expandOperators);
            step(&Node::toAndOrNotForm);
            break;
        case actionCnf:
            toComplementDnf(entry);
            step(&Node::negate);
            break;
        case actionDnf:
        case actionSatisfiability:
        case actionSavePla:
            toDnf(entry);
            break;
        case actionNand:
            step(&Node::expandOperators);
            step(&Node::removeDoubleNegations);
            step(&Node::toNandForm);
            break;
        case actionNor:
            step(&Node::expandOperators);
            step(&Node::removeDoubleNegations);
            step(&Node::toNorForm);
            break;
        case actionSaveDimacs:
            toComplementDnf(entry);
            break;
        case actionCofactor:
            if (position == cofactor.outputNumber) {
                program.currentNode =
                    program.currentNode->cofactor(cofactor.inputNumber, cofactor.value);
            }
            break;
    }
}

void focusOn(FunctionEntry& entry) {
    program.currentEntry = &entry;
    program.currentNode = entry.tree();
    program.currentList = entry.variableList;
}

void applyToEveryFunction(int action, const CofactorRequest& cofactor) {
    for (int64_t position = 0; position < program.table->entryCount(); ++position) {
        FunctionEntry* entry = program.table->entryAt(position);
        focusOn(*entry);
        if (!entry->hasTree()) continue;
        runChain(action, *entry, position, cofactor);
        entry->tree() = program.currentNode;
    }
}

// The DIMACS file holds the complement's terms as clauses; negating afterwards
// leaves every function in its CNF, as the CNF action would.
void negateEveryFunction() {
    for (int64_t position = 0; position < program.table->entryCount(); ++position) {
        FunctionEntry* entry = program.table->entryAt(position);
        focusOn(*entry);
        if (!entry->hasTree()) continue;
        step(&Node::negate);
        entry->tree() = program.currentNode;
    }
}

int64_t elapsedMilliseconds() {
    const std::clock_t ticks = program.operationEndTime - program.operationStartTime;
    return static_cast<int64_t>(ticks) * 1000 / static_cast<int64_t>(CLOCKS_PER_SEC);
}

void runTimed(int action, const CofactorRequest& cofactor) {
    printLine("");
    printLine("Operation started");
    program.operationStartTime = std::clock();
    applyToEveryFunction(action, cofactor);
    program.operationEndTime = std::clock();
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

// One statement typed at the console becomes a new function. Its variable list is
// collected from the tree afresh, in order of first appearance, as the loaders do.
void addFunction() {
    printPrompt("Input command string:");
    const std::string command = readRestOfLine();
    std::istringstream commandStream(command);
    Node* tree = readVhdlStatement(commandStream);
    if (tree == nullptr) return;
    VariableList* statementList = program.currentList;
    adoptStatementNames(*statementList);
    delete statementList;
    auto* list = new VariableList;
    program.currentList = list;
    tree->collectVariables();
    program.table->appendEntry(tree, list, vhdlTargetName());
    program.addedCount += 1;
}

void toggleAbsorption() {
    program.absorptionEnabled = !program.absorptionEnabled;
    printLine(program.absorptionEnabled ? "Absorption enabled" : "Absorption disabled");
}

}  // namespace

std::string durationText(int64_t milliseconds) {
    std::ostringstream report;
    report << "Operation took " << static_cast<double>(milliseconds) / 1000.0 << " seconds";
    return report.str();
}

void runAction(int action, std::ofstream* out) {
    if (action < actionNegation || action > actionCofactor) return;
    if (action != actionSaveVhdl) program.satisfiabilityFlag = false;
    if (action == actionSatisfiability) program.satisfiabilityFlag = true;

    switch (action) {
        case actionAddFunction:
            addFunction();
            return;
        case actionSaveVhdl:
            saveVhdl(*out);
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
    runTimed(action, cofactor);

    if (action == actionSavePla) savePla(*out);
    if (action == actionSaveDimacs) {
        saveDimacs(*out);
        negateEveryFunction();
    }
}
