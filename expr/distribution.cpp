// The two tree steps of multiplying out: distributing and over or, and
// height-balancing an or-tree. `toSumOfProducts` (normal/sum_of_products.cpp) calls
// them around every engine call. The distributed operand is placed once as itself
// and everywhere else as a copy, which the process-wide first-use flag tracks.
//
// The timer hook may end a distribution by an exception; the tree it leaves is
// then whole (each node owned once), so that its owner can delete it.
#include <algorithm>

#include "base/stack_guard.h"
#include "base/stops.h"
#include "expr/node.h"

namespace {

// First-use flag of the running distribution; one per thread, as the engine may run
// on several.
thread_local bool operandPlaced = false;

bool isOrNode(const Node* node) {
    return node->opCode() == opOr;
}

// The or-depth kept in the node while `rebalance` runs; 0 for anything but an or.
int cachedDepth(const Node* node) {
    return isOrNode(node) ? static_cast<const BNode*>(node)->cachedOrDepth : 0;
}

void refreshDepth(BNode* node) {
    node->cachedOrDepth =
        node->op == opOr ? 1 + std::max(cachedDepth(node->left), cachedDepth(node->right)) : 0;
}

int cachedBalance(const Node* node) {
    if (!isOrNode(node)) return 0;
    const auto* binary = static_cast<const BNode*>(node);
    return cachedDepth(binary->left) - cachedDepth(binary->right);
}

// Fills the depth cache of every or-node of the or-tree below `node`.
void computeDepths(Node* node) {
    guardStackDepth();
    if (!isOrNode(node)) return;
    auto* binary = static_cast<BNode*>(node);
    computeDepths(binary->left);
    computeDepths(binary->right);
    refreshDepth(binary);
}

// The AVL rule on the or-tree. A node's children are balanced after the node itself,
// and its depth is never asked again afterwards, so the cache stays exact wherever
// it is read: rotations refresh the depths of the nodes they move.
Node* rebalanceCached(Node* node) {
    guardStackDepth();
    if (!isOrNode(node)) return node;
    auto* self = static_cast<BNode*>(node);
    int balance = cachedBalance(self);
    Node* rotated;
    if (balance >= -1 && balance <= 1) {
        self->left = rebalanceCached(self->left);
        self->right = rebalanceCached(self->right);
        return self;
    }
    if (balance > 1) {
        rotated = cachedBalance(self->left) >= 0 ? self->rotateRight() : self->rotateLeftRight();
    } else {
        rotated = cachedBalance(self->right) > 0 ? self->rotateRightLeft() : self->rotateLeft();
    }
    return rebalanceCached(rotated);
}

}  // namespace

// --- distribution ------------------------------------------------------------------

Node* BNode::distribute(int code) {
    guardStackDepth();
    checkOperationTimer();
    if (op != code) {
        left = left->distribute(code);
        right = right->distribute(code);
        return this;
    }
    if (right->containsOtherOperator(code)) {
        operandPlaced = false;
        Node* spread = right->distributeInto(left, &op);
        Node* result;
        try {
            result = spread->distribute(code);
        } catch (...) {
            left = nullptr;  // it was placed inside the spread operand
            right = spread;
            throw;
        }
        deleteShell(this);
        return result;
    }
    if (left->containsOtherOperator(code)) {
        std::swap(left, right);
        return distribute(code);
    }
    return this;
}

Node* UNode::distribute(int code) {
    guardStackDepth();
    operand = operand->distribute(code);
    return this;
}

Node* BNode::distributeInto(Node* operandNode, const uint8_t* code) {
    guardStackDepth();
    uint8_t combine = *code;
    if (op == combine) {
        left = left->distributeInto(operandNode, code);
        right = right->distributeInto(operandNode, code);
        return this;
    }
    Node* first = operandPlaced ? operandNode->clone() : operandNode;
    operandPlaced = true;
    left = new BNode(combine, first, left);
    right = new BNode(combine, operandNode->clone(), right);
    return this;
}

Node* UNode::distributeInto(Node* operandNode, const uint8_t* code) {
    guardStackDepth();
    operand = operand->distributeInto(operandNode, code);
    return this;
}

// --- rotations and rebalancing -------------------------------------------------------

Node* BNode::rotateRight() {
    auto* pivot = dynamic_cast<BNode*>(left);
    left = pivot->right;
    pivot->right = this;
    refreshDepth(this);
    refreshDepth(pivot);
    return pivot;
}

Node* BNode::rotateLeft() {
    auto* pivot = dynamic_cast<BNode*>(right);
    right = pivot->left;
    pivot->left = this;
    refreshDepth(this);
    refreshDepth(pivot);
    return pivot;
}

Node* BNode::rotateRightLeft() {
    right = right->rotateRight();
    return rotateLeft();
}

Node* BNode::rotateLeftRight() {
    left = left->rotateLeft();
    return rotateRight();
}

Node* BNode::rebalance() {
    computeDepths(this);
    return rebalanceCached(this);
}
