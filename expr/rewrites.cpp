// The structural rewrites behind Negation, And-Or-Not form, Nand form, Nor form and
// the cofactor, and the preparation steps of the normal forms. They reuse nodes
// wherever they can: operators change in place, kept subtrees are hung under new
// nodes, and a discarded node is emptied of its operands before it is deleted.
#include "expr/function_table.h"
#include "expr/node.h"

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

Node* BNode::negate() {
    switch (op) {
        case opAnd:
        case opOr:
            op = op == opAnd ? opOr : opAnd;
            left = left->negate();
            right = right->negate();
            break;
        case opNand:
            op = opAnd;
            break;
        case opNor:
            op = opOr;
            break;
        case opXor:
            op = opXnor;
            break;
        case opXnor:
            op = opXor;
            break;
        default:
            break;
    }
    return this;
}

// --- expandOperators: nand, nor, xor and xnor in terms of and, or, not ---------

Node* UNode::expandOperators() {
    operand = operand->expandOperators();
    return this;
}

Node* BNode::expandOperators() {
    left = left->expandOperators();
    right = right->expandOperators();
    switch (op) {
        case opNand:
            op = opAnd;
            return new UNode(this);
        case opNor:
            op = opOr;
            return new UNode(this);
        case opXor:
        case opXnor: {
            // a xor b = (a and not b') or (not a' and b), primes marking copies.
            bool complemented = op == opXnor;
            Node* leftCopy = left->clone();
            Node* rightCopy = right->clone();
            op = opOr;
            Node* a = left;
            Node* b = right;
            left = new BNode(opAnd, a, new UNode(rightCopy));
            right = new BNode(opAnd, new UNode(leftCopy), b);
            return complemented ? static_cast<Node*>(new UNode(this)) : this;
        }
        default:
            return this;
    }
}

// --- toAndOrNotForm: negations pushed onto the leaves ----------------------------

Node* UNode::toAndOrNotForm() {
    if (operand->isLeaf()) return this;
    Node* negated = operand->negate();
    Node* result = negated->toAndOrNotForm();
    deleteShell(this);
    return result;
}

Node* BNode::toAndOrNotForm() {
    left = left->toAndOrNotForm();
    right = right->toAndOrNotForm();
    return this;
}

// --- removeDoubleNegations ---------------------------------------------------------

Node* UNode::removeDoubleNegations() {
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
    left = left->removeDoubleNegations();
    right = right->removeDoubleNegations();
    return this;
}

// --- toNandForm / toNorForm --------------------------------------------------------
// In the result a `not` directly over an `and` (an `or` for the nor form) stands for
// one gate, any other `not` for an inverter.

namespace {

// The gate operator of each form and its dual, which is rewritten by De Morgan.
template <uint8_t gate, Node* (Node::*convert)()>
Node* convertNegation(UNode* self) {
    auto* inner = dynamic_cast<BNode*>(self->operand);
    if (inner != nullptr && inner->op == gate) {
        inner->left = (inner->left->*convert)();
        inner->right = (inner->right->*convert)();
        return self;
    }
    self->operand = (self->operand->*convert)();
    return self;
}

template <uint8_t gate, uint8_t dual, Node* (Node::*convert)()>
Node* convertBinary(BNode* self) {
    if (self->op == gate) {
        self->left = (self->left->*convert)();
        self->right = (self->right->*convert)();
        return new UNode(new UNode(self));
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
    const VariableEntry* input = variableAt(program.table->variableList, inputIndex);
    if (input == nullptr || input->name != name) return this;
    Node* constant = new VectNode(value ? valueTrue : valueFalse, 1);
    delete this;
    return constant;
}

Node* UNode::cofactor(int64_t inputIndex, bool value) {
    operand = operand->cofactor(inputIndex, value);
    return this;
}

Node* BNode::cofactor(int64_t inputIndex, bool value) {
    left = left->cofactor(inputIndex, value);
    right = right->cofactor(inputIndex, value);
    return this;
}
