// Construction, copying, destruction and the read-only operations of the nodes:
// queries, infix printing, bitwise evaluation and variable collection.
#include "expr/node.h"

#include <ostream>
#include <sstream>

#include "expr/function_table.h"
#include "expr/node_pool.h"

namespace {

const char* const operatorWords[] = {"not", "and", "or", "nand", "nor", "xor", "xnor"};

// Operands that are not leaves are printed inside "( " and " )".
void printOperand(std::ostream& out, const Node* operand) {
    if (operand->isLeaf()) {
        operand->print(out);
    } else {
        out << "( ";
        operand->print(out);
        out << " )";
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
    delete operand;
}

BNode::~BNode() {
    delete left;
    delete right;
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
    return new UNode(operand->clone());
}

Node* BNode::clone() const {
    Node* rightCopy = right->clone();
    Node* leftCopy = left->clone();
    return new BNode(op, leftCopy, rightCopy);
}

Node* IdentNode::clone() const {
    return new IdentNode(name);
}

Node* VectNode::clone() const {
    return new VectNode(value, width);
}

// --- queries ---------------------------------------------------------------

bool UNode::containsOperator(int code) const {
    return operand->containsOperator(code);
}

bool BNode::containsOperator(int code) const {
    return op == code || left->containsOperator(code) || right->containsOperator(code);
}

bool UNode::containsOtherOperator(int code) const {
    return operand->containsOtherOperator(code);
}

bool BNode::containsOtherOperator(int code) const {
    return op != code || left->containsOtherOperator(code) || right->containsOtherOperator(code);
}

bool UNode::isDnf(bool /*orAllowed*/) const {
    return operand->isLeaf();
}

bool BNode::isDnf(bool orAllowed) const {
    if (op == opAnd) return left->isDnf(false) && right->isDnf(false);
    if (op == opOr) return orAllowed && left->isDnf(true) && right->isDnf(true);
    return false;
}

bool UNode::hasWidth(int32_t width) const {
    return operand->hasWidth(width);
}

bool BNode::hasWidth(int32_t width) const {
    return left->hasWidth(width) && right->hasWidth(width);
}

int64_t UNode::literalCount() const {
    return operand->literalCount();
}

int64_t BNode::literalCount() const {
    return left->literalCount() + right->literalCount();
}

// --- variables and evaluation ------------------------------------------------

void UNode::collectVariables() const {
    operand->collectVariables();
}

void BNode::collectVariables() const {
    left->collectVariables();
    right->collectVariables();
}

void IdentNode::collectVariables() const {
    program.currentList->add(name);
}

int32_t UNode::evaluate() const {
    return ~operand->evaluate();
}

int32_t BNode::evaluate() const {
    int32_t a = left->evaluate();
    int32_t b = right->evaluate();
    switch (op) {
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

int32_t IdentNode::evaluate() const {
    const VariableEntry* entry = findVariable(name);
    return entry == nullptr ? 0 : entry->value;
}

// --- printing ----------------------------------------------------------------

std::ostream& UNode::print(std::ostream& out) const {
    out << "not ";
    printOperand(out, operand);
    return out;
}

std::ostream& BNode::print(std::ostream& out) const {
    printOperand(out, left);
    out << ' ' << operatorWords[op] << ' ';
    printOperand(out, right);
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

std::string toText(const Node& node) {
    std::ostringstream text;
    node.print(text);
    return text.str();
}
