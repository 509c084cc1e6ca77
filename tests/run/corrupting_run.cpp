// boolfn-run with one deliberate fault, for the tests of --verify: before the write
// the first function is flipped where every input is 1 (xor-ed with the and of all
// inputs), as a faulty action might leave it. The table and the file then hold a
// wrong result at exactly that one point, which --verify must find and name.
#include <iostream>
#include <string>
#include <vector>

#include "base/large_stack.h"
#include "expr/function_table.h"
#include "run/job.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    JobHooks hooks;
    hooks.beforeWrite = [] {
        FunctionEntry* first = workspace.table->entryAt(0);
        if (first == nullptr || !first->hasTree()) return;
        Node* allOnes = new VectNode(valueTrue, 1);
        for (const VariableEntry& input : workspace.table->variableList.entries) {
            allOnes = new BNode(opAnd, allOnes, new IdentNode(input.name));
        }
        first->tree() = new BNode(opXor, first->tree(), allOnes);
    };
    return runOnLargeStack([&] { return runCommandLine(arguments, {}, hooks); });
}
