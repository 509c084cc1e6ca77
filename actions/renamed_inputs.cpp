#include "actions/renamed_inputs.h"

#include <vector>

#include "expr/node.h"

void renameInputs(Node* root, const std::unordered_map<Symbol, Symbol>& renamed) {
    std::vector<Node*> open{root};
    while (!open.empty()) {
        Node* node = open.back();
        open.pop_back();
        if (node->opCode() == opNot) {
            open.push_back(static_cast<UNode*>(node)->operand);
        } else if (!node->isLeaf()) {
            open.push_back(static_cast<BNode*>(node)->left);
            open.push_back(static_cast<BNode*>(node)->right);
        } else if (auto* identifier = dynamic_cast<IdentNode*>(node)) {
            if (const auto found = renamed.find(identifier->name); found != renamed.end()) {
                identifier->name = found->second;
            }
        }
    }
}
