// Expression trees: the map of the node classes and their operations.
//
// A function is a tree of five classes: the abstract `Node`, `UNode` (not), `BNode`
// (and, or, nand, nor, xor, xnor), `IdentNode` (an input variable) and `VectNode`
// (a constant bit vector). A tree is owned through its root; interior nodes own
// their operands and nodes are never shared (`clone` makes copies). Every rewriting
// operation returns the new root of its subtree, which the caller stores in place of
// the old one.
//
// The operations by job, and where each group lives:
//   building and reading   construction, clone, containsOperator,
//                          containsOtherOperator, isDnf, hasWidth, literalCount,
//                          evaluate, print, collectVariables        node.cpp
//   memory                 operator new/delete from a recycling pool node_pool.cpp
//   rewrites               negate, expandOperators, toAndOrNotForm,
//                          removeDoubleNegations, toNandForm, toNorForm,
//                          cofactor                                 rewrites.cpp
//   multiplying out        distribute, distributeInto, the rotations,
//                          rebalance                                distribution.cpp
//                          (toSumOfProducts, which also needs the engine, is in
//                          normal/sum_of_products.cpp)
//   term walk              tryValue, reporting to a term sink       term_walk.cpp
//   BLIF                   emitBlif                                 blif_gates.cpp
//
// Trees from real files are very deep (a DIMACS file is a left-deep chain of its
// clauses). The walks of node.cpp and blif_gates.cpp are loops over an explicit
// stack (expr/work_stack.h); the operations that still recurse call the stack guard
// first (base/stack_guard.h), and the program runs them on a large stack
// (base/large_stack.h).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "expr/symbol.h"

// Operator codes, one numbering everywhere.
enum OperatorCode : uint8_t {
    opNot = 0,
    opAnd = 1,
    opOr = 2,
    opNand = 3,
    opNor = 4,
    opXor = 5,
    opXnor = 6,
    opLeaf = 10,  // what opCode answers for identifiers and constants
};

class TextSink;
struct TermWalk;

// A BLIF signal: an input or function name, or else the internal "sig" + number.
struct BlifSignal {
    const std::string* name = nullptr;
    int64_t number = 0;
};

// Numbers the internal BLIF signals of the run; never reset.
extern int64_t blifSignalCounter;

// Truth values in trees and assignments: ~1 == -2, so `~` maps one to the other.
constexpr int32_t valueTrue = 1;
constexpr int32_t valueFalse = -2;

class Node {
  public:
    virtual ~Node() = default;

    virtual void collectVariables() const {}
    virtual bool containsOperator(int /*code*/) const { return false; }
    virtual bool tryValue(int32_t /*target*/, TermWalk& /*walk*/) { return false; }
    virtual bool hasWidth(int32_t /*width*/) const { return true; }
    virtual Node* clone() const = 0;
    virtual bool containsOtherOperator(int /*code*/) const { return false; }
    virtual bool isDnf(bool /*orAllowed*/) const { return true; }
    virtual int opCode() const = 0;
    virtual std::ostream& print(std::ostream& out) const = 0;
    virtual int32_t evaluate() const { return 0; }
    virtual int64_t literalCount() const { return 0; }
    // Writes the node's BLIF gates after its operands' and names the signal it drives.
    virtual BlifSignal emitBlif(TextSink& out) = 0;
    virtual Node* rotateRight() { return this; }
    virtual Node* rotateLeft() { return this; }
    virtual Node* rotateRightLeft() { return this; }
    virtual Node* rotateLeftRight() { return this; }
    virtual Node* rebalance() { return this; }
    virtual Node* removeDoubleNegations() { return this; }
    virtual Node* toNandForm() { return this; }
    virtual Node* toNorForm() { return this; }
    virtual Node* distribute(int /*code*/) { return this; }
    virtual Node* toAndOrNotForm() { return this; }
    virtual Node* distributeInto(Node* /*operand*/, const uint8_t* /*code*/) { return this; }
    virtual Node* negate() { return this; }
    virtual Node* expandOperators() { return this; }
    virtual Node* cofactor(int64_t /*inputIndex*/, bool /*value*/) { return this; }

    bool isLeaf() const { return opCode() == opLeaf; }

    // Nodes come from a recycling pool: trees are built and torn down by the
    // million during normal forms.
    static void* operator new(std::size_t size);
    static void operator delete(void* memory, std::size_t size);
};

class UNode final : public Node {
  public:
    Node* operand;
    uint8_t op = opNot;

    explicit UNode(Node* operandNode) : operand(operandNode) {}
    ~UNode() override;

    void collectVariables() const override;
    bool containsOperator(int code) const override;
    bool tryValue(int32_t target, TermWalk& walk) override;
    bool hasWidth(int32_t width) const override;
    Node* clone() const override;
    bool containsOtherOperator(int code) const override;
    bool isDnf(bool orAllowed) const override;
    int opCode() const override { return op; }
    std::ostream& print(std::ostream& out) const override;
    int32_t evaluate() const override;
    int64_t literalCount() const override;
    BlifSignal emitBlif(TextSink& out) override;
    Node* removeDoubleNegations() override;
    Node* toNandForm() override;
    Node* toNorForm() override;
    Node* distribute(int code) override;
    Node* toAndOrNotForm() override;
    Node* distributeInto(Node* operandNode, const uint8_t* code) override;
    Node* negate() override;
    Node* expandOperators() override;
    Node* cofactor(int64_t inputIndex, bool value) override;
};

// A leaf, or a not over a leaf: a literal, which the normal forms take as it is.
inline bool isLeafOrNegatedLeaf(const Node& node) {
    return node.isLeaf() ||
           (node.opCode() == opNot && static_cast<const UNode&>(node).operand->isLeaf());
}

class BNode final : public Node {
  public:
    Node* left;
    Node* right;
    uint8_t op;
    int32_t cachedOrDepth = 0;  // or-depth while `rebalance` runs; not valid otherwise

    BNode(int code, Node* leftNode, Node* rightNode)
        : left(leftNode), right(rightNode), op(static_cast<uint8_t>(code)) {}
    ~BNode() override;

    void collectVariables() const override;
    bool containsOperator(int code) const override;
    bool tryValue(int32_t target, TermWalk& walk) override;
    bool hasWidth(int32_t width) const override;
    Node* clone() const override;
    bool containsOtherOperator(int code) const override;
    bool isDnf(bool orAllowed) const override;
    int opCode() const override { return op; }
    std::ostream& print(std::ostream& out) const override;
    int32_t evaluate() const override;
    int64_t literalCount() const override;
    BlifSignal emitBlif(TextSink& out) override;
    Node* rotateRight() override;
    Node* rotateLeft() override;
    Node* rotateRightLeft() override;
    Node* rotateLeftRight() override;
    Node* rebalance() override;
    Node* removeDoubleNegations() override;
    Node* toNandForm() override;
    Node* toNorForm() override;
    Node* distribute(int code) override;
    Node* toAndOrNotForm() override;
    Node* distributeInto(Node* operandNode, const uint8_t* code) override;
    Node* negate() override;
    Node* expandOperators() override;
    Node* cofactor(int64_t inputIndex, bool value) override;
};

class IdentNode final : public Node {
  public:
    Symbol name;

    explicit IdentNode(Symbol symbol) : name(symbol) {}
    explicit IdentNode(std::string_view text) : name(intern(text)) {}

    void collectVariables() const override;
    bool tryValue(int32_t target, TermWalk& walk) override;
    Node* clone() const override;
    int opCode() const override { return opLeaf; }
    std::ostream& print(std::ostream& out) const override;
    int32_t evaluate() const override;
    int64_t literalCount() const override { return 1; }
    BlifSignal emitBlif(TextSink& out) override;
    Node* negate() override;
    Node* cofactor(int64_t inputIndex, bool value) override;
};

class VectNode final : public Node {
  public:
    int32_t value;  // bit 0 is the rightmost digit
    int32_t width;  // number of digits

    // A one-bit constant built from 0 is held as -2, the complement of 1.
    VectNode(int32_t constant, int32_t digits)
        : value(constant == 0 && digits == 1 ? valueFalse : constant), width(digits) {}

    bool tryValue(int32_t target, TermWalk& walk) override;
    bool hasWidth(int32_t digits) const override { return width == digits; }
    Node* clone() const override;
    int opCode() const override { return opLeaf; }
    std::ostream& print(std::ostream& out) const override;
    int32_t evaluate() const override { return value; }
    BlifSignal emitBlif(TextSink& out) override;
    Node* negate() override;
};

// Detaches and deletes a node whose operands the caller has taken over.
void deleteShell(UNode* node);
void deleteShell(BNode* node);
