// Engine benchmark: DNF and CNF of generated functions of growing size.
//
// Each case builds one function as an expression tree (adders, comparators, parity,
// multiplexers, random 3-CNF), then runs the DNF chain and the CNF chain of the
// dispatcher on it in a child process, so that the peak memory reported is the
// case's own. Prints one table row per case and chain. Not a test: it asserts
// nothing and its figures depend on the machine.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "actions/dispatcher.h"
#include "base/large_stack.h"
#include "expr/function_table.h"
#include "expr/node.h"

namespace {

Node* var(const std::string& name) {
    return new IdentNode(name);
}
Node* op(int code, Node* left, Node* right) {
    return new BNode(code, left, right);
}

std::string name(char prefix, int index) {
    return std::string(1, prefix) + std::to_string(index);
}

// Most significant sum bit of an n-bit ripple-carry adder.
Node* adderMsb(int bits) {
    Node* carry = nullptr;
    for (int i = 0; i < bits - 1; ++i) {
        Node* generate = op(opAnd, var(name('a', i)), var(name('b', i)));
        if (carry == nullptr) {
            carry = generate;
        } else {
            Node* propagate = op(opXor, var(name('a', i)), var(name('b', i)));
            carry = op(opOr, generate, op(opAnd, carry, propagate));
        }
    }
    Node* sum = op(opXor, var(name('a', bits - 1)), var(name('b', bits - 1)));
    return carry == nullptr ? sum : op(opXor, sum, carry);
}

// a > b for n-bit numbers, most significant bit first.
Node* greaterThan(int bits) {
    Node* result = nullptr;
    for (int i = 0; i < bits; ++i) {
        Node* here = op(opAnd, var(name('a', i)), new UNode(var(name('b', i))));
        if (result == nullptr) {
            result = here;
        } else {
            Node* equal = op(opXnor, var(name('a', i)), var(name('b', i)));
            result = op(opOr, here, op(opAnd, equal, result));
        }
    }
    return result;
}

Node* parity(int inputs) {
    Node* result = var(name('x', 0));
    for (int i = 1; i < inputs; ++i) result = op(opXor, result, var(name('x', i)));
    return result;
}

// 2^k-to-1 multiplexer with select lines s0..s(k-1).
Node* multiplexer(int selects) {
    Node* result = nullptr;
    for (int data = 0; data < (1 << selects); ++data) {
        Node* term = var(name('d', data));
        for (int s = 0; s < selects; ++s) {
            Node* line = var(name('s', s));
            if (((data >> s) & 1) == 0) line = new UNode(line);
            term = op(opAnd, term, line);
        }
        result = result == nullptr ? term : op(opOr, result, term);
    }
    return result;
}

Node* random3Cnf(int variables, int clauses, uint32_t seed) {
    std::mt19937 random(seed);
    Node* formula = nullptr;
    for (int c = 0; c < clauses; ++c) {
        Node* clause = nullptr;
        for (int k = 0; k < 3; ++k) {
            Node* literal =
                var(name('x', static_cast<int>(random() % static_cast<uint32_t>(variables))));
            if (random() % 2 != 0) literal = new UNode(literal);
            clause = clause == nullptr ? literal : op(opOr, clause, literal);
        }
        formula = formula == nullptr ? clause : op(opAnd, formula, clause);
    }
    return formula;
}

// A left-deep or-chain of random products of three literals: a wide, deep input.
Node* randomSum(int variables, int terms, uint32_t seed) {
    std::mt19937 random(seed);
    Node* sum = nullptr;
    for (int t = 0; t < terms; ++t) {
        Node* product = nullptr;
        for (int k = 0; k < 3; ++k) {
            Node* literal =
                var(name('x', static_cast<int>(random() % static_cast<uint32_t>(variables))));
            if (random() % 2 != 0) literal = new UNode(literal);
            product = product == nullptr ? literal : op(opAnd, product, literal);
        }
        sum = sum == nullptr ? product : op(opOr, sum, product);
    }
    return sum;
}

struct Case {
    std::string title;
    std::function<Node*()> build;
    bool withCnf = true;  // the complement of a huge sum multiplies out beyond reach
};

// Runs one chain in a child process and prints its row.
void runCase(const Case& benchCase, int action, const char* chain) {
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        int status = runOnLargeStack([&] {
            createTable();
            Node* tree = benchCase.build();
            auto* list = new VariableList;
            workspace.currentList = list;
            tree->collectVariables();
            for (const VariableEntry& entry : list->entries)
                workspace.table->variableList.add(entry.name);
            const int64_t literalsIn = tree->literalCount();
            workspace.table->appendEntry(tree, list, "f");
            std::ostringstream discarded;
            std::streambuf* console = std::cout.rdbuf(discarded.rdbuf());
            auto start = std::chrono::steady_clock::now();
            runAction(action, nullptr);
            auto stop = std::chrono::steady_clock::now();
            std::cout.rdbuf(console);
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            const FunctionEntry& entry = *workspace.table->entryAt(0);
            std::printf("| %-16s | %-3s | %4d | %10lld | %9lld | %9.3f | %8.1f |\n",
                        benchCase.title.c_str(), chain, workspace.table->variableList.count(),
                        static_cast<long long>(literalsIn), static_cast<long long>(entry.termCount),
                        std::chrono::duration<double>(stop - start).count(),
                        usage.ru_maxrss / 1024.0);
            return 0;
        });
        std::fflush(stdout);
        _exit(status);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

}  // namespace

// An optional argument keeps only the cases whose title contains it.
int main(int argc, char** argv) {
    const std::string filter = argc > 1 ? argv[1] : "";
    std::vector<Case> cases;
    for (int bits : {2, 3, 4, 5})
        cases.push_back({"adder msb " + std::to_string(bits), [bits] { return adderMsb(bits); }});
    for (int bits : {4, 8, 12})
        cases.push_back({"a>b " + std::to_string(bits), [bits] { return greaterThan(bits); }});
    for (int inputs : {6, 8, 10})
        cases.push_back({"parity " + std::to_string(inputs), [inputs] { return parity(inputs); }});
    for (int selects : {3, 5, 6})
        cases.push_back(
            {"mux " + std::to_string(selects), [selects] { return multiplexer(selects); }});
    for (int variables : {10, 14, 18}) {
        int clauses = variables * 2;
        cases.push_back({"3-cnf " + std::to_string(variables) + "/" + std::to_string(clauses),
                         [variables, clauses] { return random3Cnf(variables, clauses, 7); }});
    }
    cases.push_back({"or-chain 20000", [] { return randomSum(400, 20000, 11); }, false});
    cases.push_back({"or-chain 200000", [] { return randomSum(400, 200000, 11); }, false});
    std::printf(
        "| case             | nf  | vars | literals in | terms out | seconds | peak MB |\n");
    std::printf("|------------------|-----|-----:|-----------:|----------:|--------:|--------:|\n");
    for (const Case& benchCase : cases) {
        if (benchCase.title.find(filter) == std::string::npos) continue;
        runCase(benchCase, 4, "DNF");
        if (benchCase.withCnf) runCase(benchCase, 3, "CNF");
    }
    return 0;
}
