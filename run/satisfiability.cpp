// The tree is Tseitin-encoded: one solver variable per input of the table, one per
// binary operator, and a variable fixed to true for the constants; "not", "nand",
// "nor" and "xnor" cost no variable, they complement a literal. The walk keeps its
// own stack, since a tree from a DIMACS file is as deep as the file has clauses.
#include "run/satisfiability.h"

#include <cadical.hpp>
#include <unordered_map>
#include <utility>

#include "expr/function_table.h"

namespace {

class TreeEncoder {
  public:
    explicit TreeEncoder(CaDiCaL::Solver& satSolver) : solver(satSolver) {
        const VariableList& inputs = program.table->variableList;
        for (const VariableEntry& input : inputs.entries)
            inputVariables.emplace(input.name, next++);
        trueLiteral = next++;
        clause({trueLiteral});
    }

    // The literal that is true exactly where the tree is 1.
    int encode(const Node& root) {
        std::vector<std::pair<const Node*, bool>> work{{&root, false}};
        std::vector<int> literals;
        while (!work.empty()) {
            auto [node, operandsDone] = work.back();
            work.pop_back();
            const int code = node->opCode();
            if (code == opLeaf) {
                literals.push_back(leafLiteral(*node));
            } else if (!operandsDone) {
                work.emplace_back(node, true);
                if (code == opNot) {
                    work.emplace_back(static_cast<const UNode*>(node)->operand, false);
                } else {
                    const auto* binary = static_cast<const BNode*>(node);
                    work.emplace_back(binary->right, false);
                    work.emplace_back(binary->left, false);
                }
            } else if (code == opNot) {
                literals.back() = -literals.back();
            } else {
                const int right = literals.back();
                literals.pop_back();
                literals.back() = gate(code, literals.back(), right);
            }
        }
        return literals.back();
    }

    // The solver's value of every input of the table after a satisfiable solve.
    std::vector<bool> model() {
        std::vector<bool> values;
        for (const VariableEntry& input : program.table->variableList.entries) {
            values.push_back(solver.val(inputVariables.at(input.name)) > 0);
        }
        return values;
    }

  private:
    CaDiCaL::Solver& solver;
    std::unordered_map<Symbol, int> inputVariables;
    int next = 1;
    int trueLiteral = 0;

    void clause(std::initializer_list<int> literals) {
        for (int literal : literals) solver.add(literal);
        solver.add(0);
    }

    int leafLiteral(const Node& leaf) {
        if (const auto* constant = dynamic_cast<const VectNode*>(&leaf)) {
            return constant->value == valueTrue ? trueLiteral : -trueLiteral;
        }
        const Symbol name = static_cast<const IdentNode&>(leaf).name;
        auto [found, added] = inputVariables.emplace(name, next);
        if (added) ++next;
        return found->second;
    }

    int gate(int code, int a, int b) {
        const int x = next++;
        switch (code) {
            case opAnd:
            case opNand:
                clause({-x, a});
                clause({-x, b});
                clause({x, -a, -b});
                return code == opAnd ? x : -x;
            case opOr:
            case opNor:
                clause({x, -a});
                clause({x, -b});
                clause({-x, a, b});
                return code == opOr ? x : -x;
            default:  // xor, xnor
                clause({-x, a, b});
                clause({-x, -a, -b});
                clause({x, -a, b});
                clause({x, a, -b});
                return code == opXor ? x : -x;
        }
    }
};

}  // namespace

SatisfiabilityAnswer decideTree(const Node& tree) {
    constexpr int satisfiableStatus = 10;
    CaDiCaL::Solver solver;
    TreeEncoder encoder(solver);
    solver.assume(encoder.encode(tree));
    SatisfiabilityAnswer answer;
    answer.satisfiable = solver.solve() == satisfiableStatus;
    if (answer.satisfiable) answer.model = encoder.model();
    return answer;
}
