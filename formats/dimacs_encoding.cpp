// See writeDimacsEncoding in dimacs.h. Chains of one operator (the left-deep ands
// and ors that readers build) are taken as one operand list, so a clause of k
// literals costs one variable and k + 1 clauses rather than k - 1 gates of three.
// At the top the polarity is known: an asserted and asserts each operand, an
// asserted or is one clause of its operands, and the negations of both follow by
// De Morgan, so a CNF read in is written back as its own clauses. The trees are
// walked with explicit stacks, since a DIMACS file loads as a chain of a million
// clauses.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "base/action_watch.h"
#include "expr/function_table.h"
#include "formats/dimacs.h"
#include "formats/save_dialogue.h"

namespace {

using Literal = int64_t;  // a DIMACS literal: variable number, negative when complemented

class Encoder {
  public:
    explicit Encoder(const VariableList& tableInputs)
        : inputs(tableInputs), variables(tableInputs.count()) {}

    // Adds the clauses that make `tree` true.
    void assertTree(const Node& tree) {
        std::vector<std::pair<const Node*, bool>> pending{{&tree, true}};
        while (!pending.empty()) {
            auto [node, positive] = pending.back();
            pending.pop_back();
            while (node->opCode() == opNot) {
                node = static_cast<const UNode*>(node)->operand;
                positive = !positive;
            }
            const int code = node->opCode();
            // An and that must hold, or an or that must fail: each operand on its own.
            if ((code == opAnd && positive) || (code == opOr && !positive) ||
                (code == opNand && !positive) || (code == opNor && positive)) {
                const int chain = code == opNand ? opAnd : code == opNor ? opOr : code;
                const bool operandPositive = chain == opAnd;
                // Reversed onto the stack, so the clauses come in the tree's order.
                const std::vector<const Node*> operands = operandsOf(*node, chain);
                for (auto operand = operands.rbegin(); operand != operands.rend(); ++operand) {
                    pending.push_back({*operand, operandPositive});
                }
                continue;
            }
            // An or that must hold, or an and that must fail: one clause.
            if (code == opOr || code == opAnd || code == opNand || code == opNor) {
                const int chain = code == opNand ? opAnd : code == opNor ? opOr : code;
                const bool operandPositive = chain == opOr;
                std::vector<Literal> clause;
                for (const Node* operand : operandsOf(*node, chain)) {
                    const Literal literal = literalOf(*operand);
                    clause.push_back(operandPositive ? literal : -literal);
                }
                addClause(clause);
                continue;
            }
            const Literal literal = literalOf(*node);
            addClause({positive ? literal : -literal});
        }
    }

    void write(std::ostream& out) const {
        out << "c variables 1 to " << inputs.count() << " are the inputs";
        if (variables > inputs.count()) {
            out << ", " << inputs.count() + 1 << " to " << variables << " auxiliary";
        }
        out << "\np cnf " << variables << ' ' << clauseCount << '\n';
        std::string line;
        for (const Literal literal : clauses) {
            line += std::to_string(literal);
            if (literal == 0) {
                line += '\n';
                out << line;
                line.clear();
            } else {
                line += ' ';
            }
        }
    }

  private:
    const VariableList& inputs;
    int64_t variables;
    int64_t clauseCount = 0;
    std::vector<Literal> clauses;  // each ended by 0
    Literal trueLiteral = 0;       // a variable fixed to 1, made on first need

    void addClause(const std::vector<Literal>& clause) {
        clauses.insert(clauses.end(), clause.begin(), clause.end());
        clauses.push_back(0);
        ++clauseCount;
    }

    Literal constant(bool value) {
        if (trueLiteral == 0) {
            trueLiteral = ++variables;
            addClause({trueLiteral});
        }
        return value ? trueLiteral : -trueLiteral;
    }

    // The operands of the maximal chain of `code` at `node`, left to right.
    static std::vector<const Node*> operandsOf(const Node& node, int code) {
        std::vector<const Node*> operands;
        std::vector<const Node*> open{&node};
        while (!open.empty()) {
            const Node* current = open.back();
            open.pop_back();
            const bool sameChain = current == &node || current->opCode() == code;
            if (!sameChain || current->isLeaf() || current->opCode() == opNot) {
                operands.push_back(current);
                continue;
            }
            const auto& binary = static_cast<const BNode&>(*current);
            open.push_back(binary.right);
            open.push_back(binary.left);
        }
        return operands;
    }

    // The literal standing for `root`, defining a variable for every operator node
    // below it in post-order.
    Literal literalOf(const Node& root) {
        struct Frame {
            const Node* node;
            std::vector<const Node*> operands;
            std::vector<Literal> literals;
        };
        std::vector<Frame> stack;
        Literal result = 0;
        auto enter = [&](const Node* node) -> bool {  // false: its literal is in result
            bool negated = false;
            while (node->opCode() == opNot) {
                node = static_cast<const UNode*>(node)->operand;
                negated = !negated;
            }
            if (node->isLeaf()) {
                result = leafLiteral(*node);
                if (negated) result = -result;
                return false;
            }
            const int code = node->opCode();
            const int chain = code == opNand ? opAnd : code == opNor ? opOr : code;
            Frame frame{node, {}, {}};
            if (chain == opAnd || chain == opOr) {
                frame.operands = operandsOf(*node, chain);
            } else {
                const auto& binary = static_cast<const BNode&>(*node);
                frame.operands = {binary.left, binary.right};
            }
            stack.push_back(std::move(frame));
            negatedFrames.push_back(negated);
            return true;
        };
        if (!enter(&root)) return result;
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.literals.size() < frame.operands.size()) {
                if (!enter(frame.operands[frame.literals.size()])) {
                    stack.back().literals.push_back(result);
                }
                continue;
            }
            actionCheckpoint(-1);
            result = define(frame.node->opCode(), frame.literals);
            if (negatedFrames.back()) result = -result;
            negatedFrames.pop_back();
            stack.pop_back();
            if (!stack.empty()) stack.back().literals.push_back(result);
        }
        return result;
    }

    std::vector<bool> negatedFrames;  // per frame of literalOf: a not stood above it

    // An input's variable, or a constant; a name outside the table's inputs is
    // false, as evaluation reads it.
    Literal leafLiteral(const Node& leaf) {
        if (const auto* identifier = dynamic_cast<const IdentNode*>(&leaf)) {
            const int32_t position = inputs.positionOf(identifier->name);
            return position >= 0 ? Literal{position} + 1 : constant(false);
        }
        return constant((static_cast<const VectNode&>(leaf).value & 1) != 0);
    }

    // A new variable v with v = op(operands); nand, nor and xnor answer -v of the
    // and, or and xor.
    Literal define(int code, const std::vector<Literal>& operands) {
        const Literal v = ++variables;
        switch (code) {
            case opAnd:
            case opNand: {
                std::vector<Literal> all{v};
                for (const Literal operand : operands) {
                    addClause({-v, operand});
                    all.push_back(-operand);
                }
                addClause(all);
                return code == opAnd ? v : -v;
            }
            case opOr:
            case opNor: {
                std::vector<Literal> any{-v};
                for (const Literal operand : operands) {
                    addClause({v, -operand});
                    any.push_back(operand);
                }
                addClause(any);
                return code == opOr ? v : -v;
            }
            default: {  // xor and xnor, of two operands
                const Literal a = operands[0];
                const Literal b = operands[1];
                addClause({-v, a, b});
                addClause({-v, -a, -b});
                addClause({v, -a, b});
                addClause({v, a, -b});
                return code == opXor ? v : -v;
            }
        }
    }
};

}  // namespace

void writeDimacsEncoding(std::ostream& out, int64_t first) {
    FunctionTable& table = *workspace.table;
    Encoder encoder(table.variableList);
    forEachSavedEntry(first, [&](FunctionEntry& entry, int64_t /*position*/) {
        encoder.assertTree(*entry.tree());
    });
    encoder.write(out);
}
