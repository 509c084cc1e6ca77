// The structural rewrites behind Negation, And-Or-Not form, Nand form, Nor form and
// the cofactor, and the preparation steps of the normal forms. They reuse nodes
// wherever they can: operators change in place, kept subtrees are hung under new
// nodes, and a discarded node is emptied of its operands before it is deleted.
//
// The left spine of binary operators (the and-chain of a CNF's clauses, the or-chain
// of a PLA's rows, a chain of operators as written) is walked by a loop; what hangs
// off it recurses, behind the stack guard.
#include "base/stack_guard.h"
#include "expr/function_table.h"
#include "expr/node.h"
#include "expr/work_stack.h"

namespace {

bool isBinaryNode(const Node* node) {
    const int code = node->opCode();
    return code != opNot && code != opLeaf;
}

// A bottom-up rewrite along the left spine: the bottom operand first, then, from
// the lowest spine node up, its right operand and the node itself (`finish`), in the
// order the recursive form would take them.
template <typename Rewrite, typename Finish>
Node* rewriteAlongLeftSpine(BNode* top, Rewrite rewrite, Finish finish) {
    WorkStack<BNode*> spine;
    Node* node = top;
    while (isBinaryNode(node)) {
        spine.push(static_cast<BNode*>(node));
        node = static_cast<BNode*>(node)->left;
    }
    Node* result = rewrite(node);
    while (!spine.empty()) {
        BNode* binary = spine.pop();
        binary->left = result;
        binary->right = rewrite(binary->right);
        result = finish(binary);
    }
    return result;
}

Node* keep(BNode* node) {
    return node;
}

}  // namespace

// --- negate: the complement of the subtree -------------------------------------

Node* UNode::negate() {
    Node* inner = operand;
    deleteShell(this);
    return inner;
}

Node* IdentNode::negate() {
    return new UNode(this);
}

Node* VectNode::negate() {
    return new UNode(this);
}

// De Morgan down the left spine of ands and ors; a binary node's negation is the
// node itself, so the spine stays linked as it is.
Node* BNode::negate() {
    guardStackDepth();
    for (BNode* node = this;;) {
        switch (node->op) {
            case opAnd:
            case opOr:
                node->op = node->op == opAnd ? opOr : opAnd;
                node->right = node->right->negate();
                if (isBinaryNode(node->left)) {
                    node = static_cast<BNode*>(node->left);
                    continue;
                }
                node->left = node->left->negate();
                return this;
            case opNand:
                node->op = opAnd;
                return this;
            case opNor:
                node->op = opOr;
                return this;
            case opXor:
                node->op = opXnor;
                return this;
            case opXnor:
                node->op = opXor;
                return this;
            default:
                return this;
        }
    }
}

// --- expandOperators: nand, nor, xor and xnor in terms of and, or, not ---------

Node* UNode::expandOperators() {
    guardStackDepth();
    operand = operand->expandOperators();
    return this;
}

namespace {

// One binary node whose operands are expanded already.
Node* expandNode(BNode* node) {
    switch (node->op) {
        case opNand:
            node->op = opAnd;
            return new UNode(node);
        case opNor:
            node->op = opOr;
            return new UNode(node);
        case opXor:
        case opXnor: {
            // a xor b = (a and not b') or (not a' and b), primes marking copies.
            bool complemented = node->op == opXnor;
            Node* leftCopy = node->left->clone();
            Node* rightCopy = node->right->clone();
            node->op = opOr;
            Node* a = node->left;
            Node* b = node->right;
            node->left = new BNode(opAnd, a, new UNode(rightCopy));
            node->right = new BNode(opAnd, new UNode(leftCopy), b);
            return complemented ? static_cast<Node*>(new UNode(node)) : node;
        }
        default:
            return node;
    }
}

}  // namespace

Node* BNode::expandOperators() {
    guardStackDepth();
    return rewriteAlongLeftSpine(
        this, [](Node* operand) { return operand->expandOperators(); }, expandNode);
}

// --- toAndOrNotForm: negations pushed onto the leaves ----------------------------

Node* UNode::toAndOrNotForm() {
    guardStackDepth();
    if (operand->isLeaf()) return this;
    Node* negated = operand->negate();
    Node* result = negated->toAndOrNotForm();
    deleteShell(this);
    return result;
}

Node* BNode::toAndOrNotForm() {
    guardStackDepth();
    return rewriteAlongLeftSpine(
        this, [](Node* operand) { return operand->toAndOrNotForm(); }, keep);
}

// --- removeDoubleNegations ---------------------------------------------------------

Node* UNode::removeDoubleNegations() {
    guardStackDepth();
    auto* inner = dynamic_cast<UNode*>(operand);
    if (inner == nullptr || inner->op != opNot) {
        operand = operand->removeDoubleNegations();
        return this;
    }
    Node* kept = inner->operand;
    inner->operand = nullptr;
    Node* result = kept->removeDoubleNegations();
    delete this;  // takes the emptied inner negation with it
    return result;
}

Node* BNode::removeDoubleNegations() {
    guardStackDepth();
    return rewriteAlongLeftSpine(
        this, [](Node* operand) { return operand->removeDoubleNegations(); }, keep);
}

// --- toNandForm / toNorForm --------------------------------------------------------
// In the result a `not` directly over an `and` (an `or` for the nor form) stands for
// one gate, any other `not` for an inverter.

namespace {

// The gate operator of each form and its dual, which is rewritten by De Morgan.
template <uint8_t gate, Node* (Node::*convert)()>
Node* convertNegation(UNode* self) {
    guardStackDepth();
    auto* inner = dynamic_cast<BNode*>(self->operand);
    if (inner != nullptr && inner->op == gate) {
        inner->left = (inner->left->*convert)();
        inner->right = (inner->right->*convert)();
        return self;
    }
    self->operand = (self->operand->*convert)();
    return self;
}

// A left spine of gate operators is converted by a loop.
template <uint8_t gate, uint8_t dual, Node* (Node::*convert)()>
Node* convertBinary(BNode* self) {
    guardStackDepth();
    if (self->op == gate) {
        WorkStack<BNode*> spine;
        BNode* node = self;
        for (;;) {
            spine.push(node);
            auto* below = dynamic_cast<BNode*>(node->left);
            if (below == nullptr || below->op != gate) break;
            node = below;
        }
        Node* result = (node->left->*convert)();
        while (!spine.empty()) {
            BNode* binary = spine.pop();
            binary->left = result;
            binary->right = (binary->right->*convert)();
            result = new UNode(new UNode(binary));
        }
        return result;
    }
    if (self->op == dual) {
        self->op = gate;
        self->left = new UNode(self->left);
        self->right = new UNode(self->right);
        self->left = (self->left->*convert)();
        self->right = (self->right->*convert)();
        return new UNode(self);
    }
    return self;
}

}  // namespace

Node* UNode::toNandForm() {
    return convertNegation<opAnd, &Node::toNandForm>(this);
}
Node* BNode::toNandForm() {
    return convertBinary<opAnd, opOr, &Node::toNandForm>(this);
}
Node* UNode::toNorForm() {
    return convertNegation<opOr, &Node::toNorForm>(this);
}
Node* BNode::toNorForm() {
    return convertBinary<opOr, opAnd, &Node::toNorForm>(this);
}

// --- cofactor: an input replaced by a constant ---------------------------------------

Node* IdentNode::cofactor(int64_t inputIndex, bool value) {
    const VariableEntry* input = variableAt(workspace.table->variableList, inputIndex);
    if (input == nullptr || input->name != name) return this;
    Node* constant = new VectNode(value ? valueTrue : valueFalse, 1);
    delete this;
    return constant;
}

Node* UNode::cofactor(int64_t inputIndex, bool value) {
    guardStackDepth();
    operand = operand->cofactor(inputIndex, value);
    return this;
}

Node* BNode::cofactor(int64_t inputIndex, bool value) {
    guardStackDepth();
    return rewriteAlongLeftSpine(
        this, [=](Node* operand) { return operand->cofactor(inputIndex, value); }, keep);
}
