// Construction, copying, destruction and the read-only operations of the nodes:
// queries, infix printing, bitwise evaluation and variable collection.
//
// Every walk here over a tree of operators is a loop over an explicit stack
// (expr/work_stack.h), so that a tree as deep as its file is long costs heap, not
// call stack. A node's kind follows from its operator code: `not` is a UNode, a
// leaf code an IdentNode or VectNode, any other code a BNode.
#include "expr/node.h"

#include <ostream>

#include "expr/function_table.h"
#include "expr/node_pool.h"
#include "expr/work_stack.h"

namespace {

const char* const spacedOperatorWords[] = {" not ", " and ", " or ",  " nand ",
                                           " nor ", " xor ", " xnor "};

bool isBinary(int code) {
    return code != opNot && code != opLeaf;
}

// Pushes the operands of `node` so that the left one is popped first.
template <typename NodePointer, typename Stack>
void pushOperands(NodePointer node, Stack& pending) {
    const int code = node->opCode();
    if (code == opNot) {
        pending.push(static_cast<const UNode*>(node)->operand);
    } else if (code != opLeaf) {
        pending.push(static_cast<const BNode*>(node)->right);
        pending.push(static_cast<const BNode*>(node)->left);
    }
}

// True when `test` holds for some node of the tree.
template <typename Test>
bool anyNode(const Node* root, Test test) {
    WorkStack<const Node*> pending;
    pending.push(root);
    while (!pending.empty()) {
        const Node* node = pending.pop();
        if (test(*node)) return true;
        pushOperands(node, pending);
    }
    return false;
}

// Calls `visit` on every leaf, from left to right.
template <typename Visit>
void forEachLeaf(const Node* root, Visit visit) {
    WorkStack<const Node*> pending;
    pending.push(root);
    while (!pending.empty()) {
        const Node* node = pending.pop();
        if (node->isLeaf()) {
            visit(*node);
        } else {
            pushOperands(node, pending);
        }
    }
}

// Deletes the subtrees: each node is emptied of its operands, which wait on the
// stack, before it is deleted, so no destructor recurses.
void deleteSubtrees(Node* first, Node* second) {
    WorkStack<Node*> pending;
    if (second != nullptr) pending.push(second);
    if (first != nullptr) pending.push(first);
    while (!pending.empty()) {
        Node* node = pending.pop();
        const int code = node->opCode();
        if (code == opNot) {
            auto* unary = static_cast<UNode*>(node);
            if (unary->operand != nullptr) pending.push(unary->operand);
            unary->operand = nullptr;
        } else if (code != opLeaf) {
            auto* binary = static_cast<BNode*>(node);
            if (binary->right != nullptr) pending.push(binary->right);
            if (binary->left != nullptr) pending.push(binary->left);
            binary->left = nullptr;
            binary->right = nullptr;
        }
        delete node;
    }
}

// Copies the tree: each copied operator is made with empty operand slots, which the
// copies of its operands fill later.
Node* cloneTree(const Node* root) {
    struct Copy {
        const Node* source;
        Node** slot;
    };
    Node* result = nullptr;
    WorkStack<Copy> pending;
    pending.push({root, &result});
    while (!pending.empty()) {
        const Copy copy = pending.pop();
        const int code = copy.source->opCode();
        if (code == opLeaf) {
            *copy.slot = copy.source->clone();
        } else if (code == opNot) {
            auto* unary = new UNode(nullptr);
            *copy.slot = unary;
            pending.push({static_cast<const UNode*>(copy.source)->operand, &unary->operand});
        } else {
            const auto* source = static_cast<const BNode*>(copy.source);
            auto* binary = new BNode(source->op, nullptr, nullptr);
            *copy.slot = binary;
            pending.push({source->right, &binary->right});
            pending.push({source->left, &binary->left});
        }
    }
    return result;
}

// A tree in disjunctive form: an or-tree (where `orAllowed`) over and-trees over
// literals, a literal being a leaf or the negation of one.
bool isDnfTree(const Node* root, bool orAllowed) {
    struct Place {
        const Node* node;
        bool orAllowed;
    };
    WorkStack<Place> pending;
    pending.push({root, orAllowed});
    while (!pending.empty()) {
        const Place place = pending.pop();
        const int code = place.node->opCode();
        if (code == opLeaf) continue;
        if (code == opNot) {
            if (!static_cast<const UNode*>(place.node)->operand->isLeaf()) return false;
            continue;
        }
        const auto* binary = static_cast<const BNode*>(place.node);
        if (code == opOr && !place.orAllowed) return false;
        if (code != opAnd && code != opOr) return false;
        const bool below = code == opOr;
        pending.push({binary->right, below});
        pending.push({binary->left, below});
    }
    return true;
}

int32_t combine(int code, int32_t a, int32_t b) {
    switch (code) {
        case opAnd:
            return a & b;
        case opOr:
            return a | b;
        case opNand:
            return ~(a & b);
        case opNor:
            return ~(a | b);
        case opXor:
            return a ^ b;
        case opXnor:
            return ~(a ^ b);
        default:
            return 0;
    }
}

// Post-order: an operator is combined once the values of its operands wait on the
// value stack.
int32_t evaluateTree(const Node* root) {
    struct Step {
        const Node* node;
        bool operandsDone;
    };
    WorkStack<Step> pending;
    WorkStack<int32_t> values;
    pending.push({root, false});
    while (!pending.empty()) {
        const Step step = pending.pop();
        const int code = step.node->opCode();
        if (code == opLeaf) {
            values.push(step.node->evaluate());
        } else if (!step.operandsDone) {
            pending.push({step.node, true});
            if (code == opNot) {
                pending.push({static_cast<const UNode*>(step.node)->operand, false});
            } else {
                pending.push({static_cast<const BNode*>(step.node)->right, false});
                pending.push({static_cast<const BNode*>(step.node)->left, false});
            }
        } else if (code == opNot) {
            values.push(~values.pop());
        } else {
            const int32_t b = values.pop();
            const int32_t a = values.pop();
            values.push(combine(code, a, b));
        }
    }
    return values.pop();
}

// The infix text: operands that are not leaves go inside "( " and " )". Each item is
// either a node still to print or a piece of text.
void printTree(std::ostream& out, const Node* root) {
    struct Piece {
        const Node* node;
        const char* text;
    };
    WorkStack<Piece> pending;
    auto pushOperand = [&pending](const Node* operand) {
        if (operand->isLeaf()) {
            pending.push({operand, nullptr});
        } else {
            pending.push({nullptr, " )"});
            pending.push({operand, nullptr});
            pending.push({nullptr, "( "});
        }
    };
    pending.push({root, nullptr});
    while (!pending.empty()) {
        const Piece piece = pending.pop();
        if (piece.node == nullptr) {
            out << piece.text;
            continue;
        }
        const int code = piece.node->opCode();
        if (code == opLeaf) {
            piece.node->print(out);
        } else if (code == opNot) {
            pushOperand(static_cast<const UNode*>(piece.node)->operand);
            pending.push({nullptr, "not "});
        } else {
            const auto* binary = static_cast<const BNode*>(piece.node);
            pushOperand(binary->right);
            pending.push({nullptr, spacedOperatorWords[code]});
            pushOperand(binary->left);
        }
    }
}

}  // namespace

void* Node::operator new(std::size_t size) {
    return nodePoolAllocate(size);
}
void Node::operator delete(void* memory, std::size_t size) {
    nodePoolRelease(memory, size);
}

UNode::~UNode() {
    if (operand != nullptr) deleteSubtrees(operand, nullptr);
}

BNode::~BNode() {
    if (left != nullptr || right != nullptr) deleteSubtrees(left, right);
}

void deleteShell(UNode* node) {
    node->operand = nullptr;
    delete node;
}

void deleteShell(BNode* node) {
    node->left = nullptr;
    node->right = nullptr;
    delete node;
}

// --- clone -----------------------------------------------------------------

Node* UNode::clone() const {
    return cloneTree(this);
}

Node* BNode::clone() const {
    return cloneTree(this);
}

Node* IdentNode::clone() const {
    return new IdentNode(name);
}

Node* VectNode::clone() const {
    return new VectNode(value, width);
}

// --- queries ---------------------------------------------------------------
// A negation's own operator code is not looked at by the operator queries: they ask
// about the binary operators.

namespace {

bool containsBinaryOperator(const Node* root, int code) {
    return anyNode(root, [code](const Node& node) {
        return isBinary(node.opCode()) && node.opCode() == code;
    });
}

bool containsOtherBinaryOperator(const Node* root, int code) {
    return anyNode(root, [code](const Node& node) {
        return isBinary(node.opCode()) && node.opCode() != code;
    });
}

bool allWidthsAre(const Node* root, int32_t width) {
    return !anyNode(root,
                    [width](const Node& node) { return node.isLeaf() && !node.hasWidth(width); });
}

int64_t countLiterals(const Node* root) {
    int64_t count = 0;
    forEachLeaf(root, [&count](const Node& leaf) { count += leaf.literalCount(); });
    return count;
}

}  // namespace

bool UNode::containsOperator(int code) const {
    return containsBinaryOperator(this, code);
}

bool BNode::containsOperator(int code) const {
    return containsBinaryOperator(this, code);
}

bool UNode::containsOtherOperator(int code) const {
    return containsOtherBinaryOperator(this, code);
}

bool BNode::containsOtherOperator(int code) const {
    return containsOtherBinaryOperator(this, code);
}

bool UNode::isDnf(bool /*orAllowed*/) const {
    return operand->isLeaf();
}

bool BNode::isDnf(bool orAllowed) const {
    return isDnfTree(this, orAllowed);
}

bool UNode::hasWidth(int32_t width) const {
    return allWidthsAre(this, width);
}

bool BNode::hasWidth(int32_t width) const {
    return allWidthsAre(this, width);
}

int64_t UNode::literalCount() const {
    return countLiterals(this);
}

int64_t BNode::literalCount() const {
    return countLiterals(this);
}

// --- variables and evaluation ------------------------------------------------

void UNode::collectVariables() const {
    forEachLeaf(this, [](const Node& leaf) { leaf.collectVariables(); });
}

void BNode::collectVariables() const {
    forEachLeaf(this, [](const Node& leaf) { leaf.collectVariables(); });
}

void IdentNode::collectVariables() const {
    workspace.currentList->add(name);
}

int32_t UNode::evaluate() const {
    return evaluateTree(this);
}

int32_t BNode::evaluate() const {
    return evaluateTree(this);
}

int32_t IdentNode::evaluate() const {
    const VariableEntry* entry = findVariable(name);
    return entry == nullptr ? 0 : entry->value;
}

// --- printing ----------------------------------------------------------------

std::ostream& UNode::print(std::ostream& out) const {
    printTree(out, this);
    return out;
}

std::ostream& BNode::print(std::ostream& out) const {
    printTree(out, this);
    return out;
}

std::ostream& IdentNode::print(std::ostream& out) const {
    return out << symbolName(name);
}

// Digits beyond the 32 bits of the value were dropped when the constant was read;
// they print as 0.
std::ostream& VectNode::print(std::ostream& out) const {
    out << '"';
    auto bits = static_cast<uint32_t>(value);
    for (int32_t bit = width - 1; bit >= 0; --bit) {
        out << (bit < 32 && ((bits >> bit) & 1u) != 0 ? '1' : '0');
    }
    return out << '"';
}
