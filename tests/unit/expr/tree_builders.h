// Small helpers to build expression trees in tests without going through a reader.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "expr/function_table.h"
#include "expr/node.h"

namespace build {

inline Node* id(const std::string& name) {
    return new IdentNode(name);
}
inline Node* notOf(Node* operand) {
    return new UNode(operand);
}
inline Node* bin(int code, Node* left, Node* right) {
    return new BNode(code, left, right);
}
inline Node* andOf(Node* left, Node* right) {
    return bin(opAnd, left, right);
}
inline Node* orOf(Node* left, Node* right) {
    return bin(opOr, left, right);
}
inline Node* constant(int32_t value, int32_t width = 1) {
    return new VectNode(value, width);
}

}  // namespace build

// The tree's infix text, as `print` writes it.
inline std::string toText(const Node& node) {
    std::ostringstream text;
    node.print(text);
    return text.str();
}

// A fresh program state whose table knows the given inputs, in order.
inline void freshTable(const std::vector<std::string>& inputs) {
    releaseTable();
    createTable();
    for (const std::string& name : inputs) addVariable(workspace.table->variableList, name);
    workspace.table->inputCount = static_cast<int64_t>(inputs.size());
}

// Evaluates a tree under an assignment of the table's inputs (bit i of `bits` is
// input i), by the bitwise evaluation of the nodes; answers bit 0.
inline bool evaluateUnder(const Node& tree, uint64_t bits) {
    VariableList& inputs = workspace.table->variableList;
    for (int32_t i = 0; i < inputs.count(); ++i) {
        inputs.entries[static_cast<size_t>(i)].value =
            ((bits >> i) & 1u) != 0 ? valueTrue : valueFalse;
    }
    VariableList* saved = workspace.currentList;
    workspace.currentList = &inputs;
    bool result = (tree.evaluate() & 1) != 0;
    workspace.currentList = saved;
    return result;
}
