// boolfn-run with one deliberate fault, for the tests of --verify: before the write
// the first function is replaced by its complement, as a faulty action would leave
// it. The table and the file then hold a wrong result, which --verify must find.
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
        FunctionEntry* first = program.table->entryAt(0);
        if (first != nullptr && first->hasTree()) first->tree() = new UNode(first->tree());
    };
    return runOnLargeStack([&] { return runCommandLine(arguments, hooks); });
}
