// The read-back table is built beside the job's table: the program-wide state is
// kept aside while the reader fills a fresh table, and put back afterwards, so the
// job's table and settings are untouched. The read-back inputs are matched to the
// table's by position (the writers list the table's inputs in order, named or
// numbered), which also covers the unnamed inputs of a DIMACS file.
#include "run/verification.h"

#include <functional>
#include <istream>
#include <iterator>
#include <sstream>
#include <unordered_map>
#include <utility>

#include "expr/function_table.h"
#include "normal/satisfiability.h"
#include "run/input_file.h"

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
    const VariableList& inputs = workspace.table->variableList;
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
        decideSatisfiable(*miter, workspace.table->variableList, LeafReading::Evaluation);
    delete miter;
    if (answer.verdict != SatVerdict::Satisfiable) return {};
    return what + " differs from the expected function at " + assignmentText(answer.model);
}

// The written file read back by the project's own readers into a table of its own.
struct ReadBack {
    std::unique_ptr<FunctionTable> table;
    int64_t readerErrors = 0;
};

// The positions of the saved functions the file holds, in order: PLA declares every
// saved entry as an output (one without a tree has no rows), pseudo-VHDL and DIMACS
// write only the entries with a tree, as the writers do.
std::vector<int64_t> writtenPositions(OutputNotation notation, int64_t firstSaved) {
    std::vector<int64_t> positions;
    const FunctionTable& table = *workspace.table;
    for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
        if (notation == OutputNotation::pla || table.entryAt(position)->hasTree()) {
            positions.push_back(position);
        }
    }
    return positions;
}

// The reader of a notation the project writes.
InputNotation readerOf(OutputNotation notation) {
    switch (notation) {
        case OutputNotation::pla:
            return InputNotation::pla;
        case OutputNotation::pseudoVhdl:
        case OutputNotation::completeVhdl:
            return InputNotation::vhdl;
        case OutputNotation::blif:
        case OutputNotation::sopBlif:
            return InputNotation::blif;
        case OutputNotation::dimacs:
            break;
    }
    return InputNotation::dimacs;
}

ReadBack readBack(OutputNotation notation, std::istream& in, const ReaderSettings& settings) {
    const Workspace kept = workspace;
    workspace = Workspace{};
    workspace.table = new FunctionTable;
    LoadSettings input;
    input.reader = settings;
    input.designUnits = true;
    const int64_t errors = loadTable(in, readerOf(notation), input);
    ReadBack result{std::unique_ptr<FunctionTable>(workspace.table), errors};
    workspace = kept;
    return result;
}

// A pseudo-VHDL file of no function is its variable declaration alone, which the
// reader cannot read on its own: it takes "variable ...;" as the head of a
// statement. Completed by one constant statement, the file must read back as just
// that statement, without errors.
std::vector<std::string> checkDeclarationAlone(std::istream& written,
                                               const ReaderSettings& settings) {
    std::string completed{std::istreambuf_iterator<char>(written), {}};
    completed += "\nprobe <= \"0\";\n";
    std::istringstream in(completed);
    ReadBack back = readBack(OutputNotation::pseudoVhdl, in, settings);
    if (back.readerErrors != 0) return {"the written file does not read back without errors"};
    if (back.table->entryCount() != 1) {
        return {"the written file reads back as " + std::to_string(back.table->entryCount() - 1) +
                " functions instead of 0"};
    }
    return {};
}

// Renames the read-back identifiers to the table's input at the same position.
void renameToTableInputs(Node*& tree, const VariableList& readBackInputs) {
    const VariableList& inputs = workspace.table->variableList;
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
    const FunctionTable& table = *workspace.table;
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
    const FunctionTable& table = *workspace.table;
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
                                                    int64_t firstSaved,
                                                    const ReaderSettings& settings) const {
    if (!readsBack(notation)) return {};
    const std::vector<int64_t> positions = writtenPositions(notation, firstSaved);
    if (notation == OutputNotation::pseudoVhdl && positions.empty()) {
        return checkDeclarationAlone(written, settings);
    }
    ReadBack back = readBack(notation, written, settings);
    if (back.readerErrors != 0) return {"the written file does not read back without errors"};
    FunctionTable& readTable = *back.table;
    const auto saved = static_cast<int64_t>(positions.size());

    if (notation == OutputNotation::dimacs) {
        // One formula: the conjunction of every written function's clauses.
        // Where any written function has a don't-care, the conjunction may differ.
        Node* expected = new VectNode(valueTrue, 1);
        Node* anyDontCare = new VectNode(valueFalse, 1);
        for (int64_t position : positions) {
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
        const int64_t position = positions[static_cast<size_t>(index)];
        std::string difference =
            compare(expectedTree(position), actual,
                    "function " + functions[static_cast<size_t>(position)]->name + " read back",
                    functions[static_cast<size_t>(position)]->dontCare);
        if (!difference.empty()) differences.push_back(difference);
    }
    return differences;
}

std::vector<std::string> Expectation::checkEncoding(std::istream& written, int64_t firstSaved,
                                                    const ReaderSettings& settings) const {
    ReadBack back = readBack(OutputNotation::dimacs, written, settings);
    if (back.readerErrors != 0) return {"the written file does not read back without errors"};
    const VariableList& inputs = workspace.table->variableList;
    const VariableList& fileVariables = back.table->variableList;
    // The file's variables: the table's inputs, then the auxiliary ones under names
    // no input can have.
    std::unique_ptr<VariableList> all(inputs.copyNames());
    std::unordered_map<Symbol, Symbol> renamed;
    for (int32_t position = 0; position < fileVariables.count(); ++position) {
        const Symbol name = position < inputs.count()
                                ? inputs.entries[static_cast<size_t>(position)].name
                                : intern("auxiliary " + std::to_string(position + 1));
        if (position >= inputs.count()) all->add(name);
        renamed[fileVariables.entries[static_cast<size_t>(position)].name] = name;
    }
    FunctionEntry* formulaEntry = back.table->entryAt(0);
    Node* formula =
        formulaEntry != nullptr ? formulaEntry->tree()->clone() : new VectNode(valueTrue, 1);
    substituteIdentifiers(formula, [&](IdentNode& identifier) -> Node* {
        identifier.name = renamed.at(identifier.name);
        return nullptr;
    });
    std::unique_ptr<Node> encoding(formula);
    std::unique_ptr<Node> expected(new VectNode(valueTrue, 1));
    for (int64_t position = firstSaved; position < static_cast<int64_t>(functions.size());
         ++position) {
        expected.reset(new BNode(opAnd, expected.release(), expectedTree(position)));
    }

    std::vector<std::string> differences;
    const BNode escape(opAnd, encoding->clone(), new UNode(expected->clone()));
    SatAnswer answer = decideSatisfiable(escape, *all, LeafReading::Evaluation);
    if (answer.verdict == SatVerdict::Satisfiable) {
        answer.model.resize(static_cast<size_t>(inputs.count()));
        differences.push_back("a model of the encoding is no point of the functions: " +
                              assignmentText(answer.model));
    }
    const SatVerdict file = decideSatisfiable(*encoding, *all, LeafReading::Evaluation).verdict;
    const SatVerdict functionsVerdict =
        decideSatisfiable(*expected, inputs, LeafReading::Evaluation).verdict;
    if (file != functionsVerdict) {
        differences.push_back(std::string("the encoding is ") +
                              (file == SatVerdict::Satisfiable ? "satisfiable" : "unsatisfiable") +
                              ", the functions are not");
    }
    return differences;
}

bool readsBack(OutputNotation notation) {
    return notation == OutputNotation::pla || notation == OutputNotation::pseudoVhdl ||
           notation == OutputNotation::completeVhdl || notation == OutputNotation::dimacs ||
           notation == OutputNotation::blif || notation == OutputNotation::sopBlif;
}
