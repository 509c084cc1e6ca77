// The tree is encoded for the solver in one pass over it, with an explicit stack
// because trees from real files are a million levels deep. Chains of one operator
// (the and-chain of a DIMACS file's clauses, the or-chain of a clause or of a
// sum's terms) become one gate with many inputs, and the root is asserted directly
// where it can be: an and at the root asserts each operand, an or at the root is
// one clause, so a CNF-shaped tree goes to the solver as the clauses it holds.
// Elsewhere each gate gets a variable tied to its inputs in both directions
// (Tseitin), which keeps nand, nor, xor and negated subtrees exact. Clauses held as
// rows are asserted as the tree built from them would be, row for row.
#include "normal/satisfiability.h"

#include <algorithm>
#include <cadical.hpp>
#include <cstdint>
#include <vector>

#include "base/action_watch.h"
#include "expr/node.h"
#include "expr/row_chains.h"
#include "expr/variable_list.h"

namespace {

class TreeEncoder {
  public:
    TreeEncoder(CaDiCaL::Solver& target, const VariableList& list, LeafReading leafReading)
        : solver(target), inputs(list), reading(leafReading), nextVariable(list.count() + 1) {
        trueLiteral = newVariable();
        solver.add(trueLiteral);
        solver.add(0);
    }

    // Adds clauses that hold exactly when the tree is 1.
    void assertTrue(const Node& root) {
        std::vector<const Node*> pending{&root};
        while (!pending.empty()) {
            const Node* node = pending.back();
            pending.pop_back();
            if (node->opCode() == opAnd) {
                std::vector<const Node*> operands = chainOperands(*node);
                pending.insert(pending.end(), operands.rbegin(), operands.rend());
            } else if (node->opCode() == opOr) {
                std::vector<int> clause;
                for (const Node* operand : chainOperands(*node))
                    clause.push_back(literalOf(*operand));
                addClause(clause);
            } else {
                addClause({literalOf(*node)});
            }
        }
    }

    // Adds the clauses that the and of the rows' clauses, built as a tree, would add:
    // a row's literals in order, a row without literals the constant 0.
    void assertClauses(const RowStore& rows) {
        const VectNode emptyRow(valueFalse, 1);
        std::vector<int> clause;
        for (uint32_t row = 0; row < rows.rowCount(); ++row) {
            clause.clear();
            if (rows.rowSize(row) == 0) clause.push_back(leafLiteral(emptyRow, true));
            for (uint32_t k = rows.rowStarts[row]; k < rows.rowStarts[row + 1]; ++k) {
                const uint32_t literal = rows.literals[k];
                clause.push_back(nameLiteral(literalSymbol(literal), !literalNegated(literal)));
            }
            addClause(clause);
        }
    }

  private:
    CaDiCaL::Solver& solver;
    const VariableList& inputs;
    LeafReading reading;
    int nextVariable;
    int trueLiteral = 0;

    int newVariable() { return nextVariable++; }

    void addClause(const std::vector<int>& literals) {
        for (int literal : literals) solver.add(literal);
        solver.add(0);
    }

    // The operands of a chain of nodes with the node's own operator, left to right.
    static std::vector<const Node*> chainOperands(const Node& head) {
        std::vector<const Node*> operands;
        std::vector<const Node*> pending{&head};
        while (!pending.empty()) {
            const Node* node = pending.back();
            pending.pop_back();
            if (node->opCode() == head.opCode()) {
                const auto* binary = static_cast<const BNode*>(node);
                pending.push_back(binary->right);
                pending.push_back(binary->left);
            } else {
                operands.push_back(node);
            }
        }
        return operands;
    }

    // A leaf read with a polarity, as a literal (trueLiteral or its negation for
    // what is constant).
    int leafLiteral(const Node& leaf, bool positive) const {
        if (const auto* constant = dynamic_cast<const VectNode*>(&leaf)) {
            bool holds = reading == LeafReading::TermWalk
                             ? constant->value == (positive ? valueTrue : valueFalse)
                             : ((constant->value & 1) != 0) == positive;
            return holds ? trueLiteral : -trueLiteral;
        }
        return nameLiteral(static_cast<const IdentNode&>(leaf).name, positive);
    }

    int nameLiteral(Symbol name, bool positive) const {
        int32_t position = inputs.positionOf(name);
        if (position < 0) {
            bool holds = reading == LeafReading::Evaluation && !positive;
            return holds ? trueLiteral : -trueLiteral;
        }
        return positive ? position + 1 : -(position + 1);
    }

    // A gate variable equal to the and (or the or) of the literals.
    int gate(int code, const std::vector<int>& operands) {
        int output = newVariable();
        int sign = code == opAnd ? 1 : -1;  // an or is the and of the negations, negated
        std::vector<int> closing{sign * output};
        for (int operand : operands) {
            addClause({-sign * output, sign * operand});
            closing.push_back(-sign * operand);
        }
        addClause(closing);
        return output;
    }

    int xorGate(int a, int b) {
        int output = newVariable();
        addClause({-output, a, b});
        addClause({-output, -a, -b});
        addClause({output, -a, b});
        addClause({output, a, -b});
        return output;
    }

    // One node of the post-order walk: its operands, and their literals so far.
    struct Frame {
        const Node* node;
        std::vector<const Node*> operands;
        std::vector<int> literals;
    };

    Frame frameOf(const Node& node) const {
        Frame frame{&node, {}, {}};
        if (isLeafOrNegatedLeaf(node)) return frame;
        if (node.opCode() == opNot) {
            frame.operands.push_back(static_cast<const UNode&>(node).operand);
        } else if (node.opCode() == opAnd || node.opCode() == opOr) {
            frame.operands = chainOperands(node);
        } else {
            const auto& binary = static_cast<const BNode&>(node);
            frame.operands = {binary.left, binary.right};
        }
        return frame;
    }

    int finish(const Frame& frame) {
        const Node& node = *frame.node;
        if (node.isLeaf()) return leafLiteral(node, true);
        const std::vector<int>& in = frame.literals;
        switch (node.opCode()) {
            case opNot:
                if (frame.operands.empty()) {
                    return leafLiteral(*static_cast<const UNode&>(node).operand, false);
                }
                return -in[0];
            case opAnd:
                return gate(opAnd, in);
            case opOr:
                return gate(opOr, in);
            case opNand:
                return -gate(opAnd, in);
            case opNor:
                return -gate(opOr, in);
            case opXor:
                return xorGate(in[0], in[1]);
            case opXnor:
                return -xorGate(in[0], in[1]);
            default:
                return -trueLiteral;
        }
    }

    // The literal that equals the subtree's value.
    int literalOf(const Node& root) {
        std::vector<Frame> stack{frameOf(root)};
        for (;;) {
            Frame& top = stack.back();
            if (top.literals.size() < top.operands.size()) {
                stack.push_back(frameOf(*top.operands[top.literals.size()]));
                continue;
            }
            int literal = finish(top);
            stack.pop_back();
            if (stack.empty()) return literal;
            stack.back().literals.push_back(literal);
        }
    }
};

// Lets a Ctrl-C stop the search; the checkpoint after it then ends the action.
class InterruptTerminator final : public CaDiCaL::Terminator {
  public:
    bool terminate() override { return runningAction.cancelRequested != 0; }
};

// Runs the solver on what was asserted and reads the model over the inputs.
SatAnswer solveAsserted(CaDiCaL::Solver& solver, const VariableList& inputs,
                        int64_t conflictLimit) {
    if (conflictLimit >= 0) {
        solver.limit("conflicts", static_cast<int>(std::min<int64_t>(conflictLimit, INT32_MAX)));
    }
    InterruptTerminator terminator;
    solver.connect_terminator(&terminator);
    const int result = solver.solve();
    solver.disconnect_terminator();
    actionCheckpoint(-1);
    SatAnswer answer;
    switch (result) {
        case 10:
            answer.verdict = SatVerdict::Satisfiable;
            answer.model.resize(static_cast<size_t>(inputs.count()));
            for (int32_t position = 0; position < inputs.count(); ++position) {
                answer.model[static_cast<size_t>(position)] = solver.val(position + 1) > 0;
            }
            break;
        case 20:
            answer.verdict = SatVerdict::Unsatisfiable;
            break;
        default:
            answer.verdict = SatVerdict::Unknown;
            break;
    }
    return answer;
}

}  // namespace

SatAnswer decideSatisfiable(const Node& tree, const VariableList& inputs, LeafReading reading,
                            int64_t conflictLimit) {
    return decideConjunction({{&tree, nullptr}}, inputs, reading, conflictLimit);
}

SatAnswer decideConjunction(const std::vector<ConjunctionPart>& parts, const VariableList& inputs,
                            LeafReading reading, int64_t conflictLimit) {
    CaDiCaL::Solver solver;
    solver.set("quiet", 1);  // the solver must never write to the console
    TreeEncoder encoder(solver, inputs, reading);
    // The and-chain's operands are asserted one after another, so each part's are.
    for (const ConjunctionPart& part : parts) {
        if (part.clauses != nullptr) {
            encoder.assertClauses(*part.clauses);
        } else {
            encoder.assertTrue(*part.tree);
        }
    }
    return solveAsserted(solver, inputs, conflictLimit);
}
