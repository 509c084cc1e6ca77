// The read-back table is built beside the job's table: the program-wide state is
// kept aside while the reader fills a fresh table, and put back afterwards, so the
// job's table and settings are untouched. The read-back inputs are matched to the
// table's by position (the writers list the table's inputs in order, named or
// numbered), which also covers the unnamed inputs of a DIMACS file.
#include "run/verification.h"

#include <functional>
#include <istream>
#include <unordered_map>
#include <utility>

#include "expr/function_table.h"
#include "formats/dimacs.h"
#include "formats/pla.h"
#include "formats/pla_lexer.h"
#include "formats/vhdl.h"
#include "formats/vhdl_lexer.h"
#include "normal/satisfiability.h"

struct Expectation::Expected {
    std::string name;
    Node* tree = nullptr;      // owned copy of the function as loaded; null when it had none
    Node* dontCare = nullptr;  // owned; where the result may differ (--dont-cares), or null
    bool complemented = false;
    std::vector<std::pair<Symbol, bool>> fixedInputs;

    ~Expected() {
        delete tree;
        delete dontCare;
    }
};

namespace {

// Replaces, in place, every identifier for which `replace` answers a node, and
// deletes the identifier; the walk keeps its own stack for deep trees.
void substituteIdentifiers(Node*& root, const std::function<Node*(IdentNode&)>& replace) {
    std::vector<Node**> slots{&root};
    while (!slots.empty()) {
        Node** slot = slots.back();
        slots.pop_back();
        Node* node = *slot;
        if (node->opCode() == opNot) {
            slots.push_back(&static_cast<UNode*>(node)->operand);
        } else if (!node->isLeaf()) {
            slots.push_back(&static_cast<BNode*>(node)->left);
            slots.push_back(&static_cast<BNode*>(node)->right);
        } else if (auto* identifier = dynamic_cast<IdentNode*>(node)) {
            if (Node* replacement = replace(*identifier)) {
                delete identifier;
                *slot = replacement;
            }
        }
    }
}

// "a=1 b=0" over the table's inputs, from a model of a miter.
std::string assignmentText(const std::vector<bool>& model) {
    std::string text;
    const VariableList& inputs = program.table->variableList;
    for (size_t i = 0; i < model.size() && i < inputs.entries.size(); ++i) {
        if (!text.empty()) text += ' ';
        text += symbolName(inputs.entries[i].name) + (model[i] ? "=1" : "=0");
    }
    return text;
}

// The points a PLA load kept as don't-cares, as a tree; null when there are none.
Node* dontCareTree(const UnspecifiedPoints* points) {
    if (points == nullptr) return nullptr;
    const auto treeOf = [](const std::unique_ptr<PendingCover>& cover) -> Node* {
        Node* tree = cover ? cover->buildTree() : nullptr;
        return tree != nullptr ? tree : new VectNode(valueFalse, 1);
    };
    if (!points->offSetGiven()) return treeOf(points->dontCareRows);
    return new UNode(new BNode(opOr, treeOf(points->onRows), treeOf(points->offRows)));
}

// Proves `expected` and `actual` (both taken over) equal outside `dontCare` (kept
// by the caller; null: everywhere); otherwise a message.
std::string compare(Node* expected, Node* actual, const std::string& what,
                    const Node* dontCare = nullptr) {
    Node* miter = new BNode(opXor, expected, actual);
    if (dontCare != nullptr) miter = new BNode(opAnd, miter, new UNode(dontCare->clone()));
    const SatAnswer answer =
        decideSatisfiable(*miter, program.table->variableList, LeafReading::Evaluation);
    delete miter;
    if (answer.verdict != SatVerdict::Satisfiable) return {};
    return what + " differs from the expected function at " + assignmentText(answer.model);
}

// The written file read back by the project's own readers into a table of its own.
struct ReadBack {
    std::unique_ptr<FunctionTable> table;
    int64_t readerErrors = 0;
};

ReadBack readBack(OutputNotation notation, std::istream& in) {
    const ProgramState kept = program;
    program.table = new FunctionTable;
    program.currentEntry = nullptr;
    program.currentList = nullptr;
    program.addedCount = 0;
    switch (notation) {
        case OutputNotation::pla:
            resetPlaReader(in);
            loadPla(in);
            break;
        case OutputNotation::pseudoVhdl:
            resetVhdlReader();
            loadVhdl(in);
            break;
        default:
            loadDimacs(in);
            break;
    }
    ReadBack result{std::unique_ptr<FunctionTable>(program.table),
                    program.readerErrorCount - kept.readerErrorCount};
    program = kept;
    return result;
}

// Renames the read-back identifiers to the table's input at the same position.
void renameToTableInputs(Node*& tree, const VariableList& readBackInputs) {
    const VariableList& inputs = program.table->variableList;
    substituteIdentifiers(tree, [&](IdentNode& identifier) -> Node* {
        const int32_t position = readBackInputs.positionOf(identifier.name);
        if (position >= 0 && position < inputs.count()) {
            identifier.name = inputs.entries[static_cast<size_t>(position)].name;
        }
        return nullptr;
    });
}

}  // namespace

Expectation::Expectation() = default;
Expectation::~Expectation() = default;

void Expectation::takeLoadedFunctions() {
    const FunctionTable& table = *program.table;
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        auto expected = std::make_unique<Expected>();
        expected->name = entry.name;
        if (entry.hasTree()) expected->tree = entry.tree()->clone();
        expected->dontCare = dontCareTree(entry.unspecified.get());
        functions.push_back(std::move(expected));
    }
}

void Expectation::complementAll() {
    for (auto& function : functions) function->complemented = !function->complemented;
}

void Expectation::restrict(int64_t position, Symbol input, bool value) {
    Expected& function = *functions[static_cast<size_t>(position)];
    function.fixedInputs.emplace_back(input, value);
    // The job drops a restricted function's don't-cares.
    delete function.dontCare;
    function.dontCare = nullptr;
}

Node* Expectation::expectedTree(int64_t position) const {
    const Expected& expected = *functions[static_cast<size_t>(position)];
    Node* tree = expected.tree != nullptr ? expected.tree->clone() : new VectNode(valueFalse, 1);
    substituteIdentifiers(tree, [&](IdentNode& identifier) -> Node* {
        for (const auto& [input, value] : expected.fixedInputs) {
            if (identifier.name == input) return new VectNode(value ? valueTrue : valueFalse, 1);
        }
        return nullptr;
    });
    return expected.complemented ? new UNode(tree) : tree;
}

std::vector<std::string> Expectation::checkTable(int64_t firstSaved) const {
    std::vector<std::string> differences;
    const FunctionTable& table = *program.table;
    for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        if (!entry.hasTree() || functions[static_cast<size_t>(position)]->tree == nullptr) continue;
        std::string difference = compare(expectedTree(position), entry.tree()->clone(),
                                         "function " + entry.name + " as written",
                                         functions[static_cast<size_t>(position)]->dontCare);
        if (!difference.empty()) differences.push_back(difference);
    }
    return differences;
}

std::vector<std::string> Expectation::checkReadBack(OutputNotation notation, std::istream& written,
                                                    int64_t firstSaved) const {
    if (!readsBack(notation)) return {};
    ReadBack back = readBack(notation, written);
    if (back.readerErrors != 0) return {"the written file does not read back without errors"};
    FunctionTable& readTable = *back.table;
    const int64_t saved = static_cast<int64_t>(functions.size()) - firstSaved;

    if (notation == OutputNotation::dimacs) {
        // One formula: the conjunction of every saved function's clauses.
        // Where any saved function has a don't-care, the conjunction may differ.
        Node* expected = new VectNode(valueTrue, 1);
        Node* anyDontCare = new VectNode(valueFalse, 1);
        for (int64_t position = firstSaved; position < firstSaved + saved; ++position) {
            expected = new BNode(opAnd, expected, expectedTree(position));
            if (const Node* dontCare = functions[static_cast<size_t>(position)]->dontCare) {
                anyDontCare = new BNode(opOr, anyDontCare, dontCare->clone());
            }
        }
        FunctionEntry* formula = readTable.entryAt(0);
        Node* actual = formula != nullptr ? formula->tree()->clone() : new VectNode(valueTrue, 1);
        renameToTableInputs(actual, readTable.variableList);
        std::string difference = compare(expected, actual, "the formula read back", anyDontCare);
        delete anyDontCare;
        return difference.empty() ? std::vector<std::string>{} : std::vector{difference};
    }

    if (readTable.entryCount() != saved) {
        return {"the written file reads back as " + std::to_string(readTable.entryCount()) +
                " functions instead of " + std::to_string(saved)};
    }
    std::vector<std::string> differences;
    for (int64_t index = 0; index < saved; ++index) {
        Node* actual = readTable.entryAt(index)->tree()->clone();
        renameToTableInputs(actual, readTable.variableList);
        const int64_t position = firstSaved + index;
        std::string difference =
            compare(expectedTree(position), actual,
                    "function " + functions[static_cast<size_t>(position)]->name + " read back",
                    functions[static_cast<size_t>(position)]->dontCare);
        if (!difference.empty()) differences.push_back(difference);
    }
    return differences;
}

bool readsBack(OutputNotation notation) {
    return notation == OutputNotation::pla || notation == OutputNotation::pseudoVhdl ||
           notation == OutputNotation::dimacs;
}
