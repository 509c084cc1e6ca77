// The entry of boolfn-run: hands the arguments to the job, which runs on a thread
// with a large stack because the tree operations recurse as deep as the trees from
// real files are.
#include <iostream>
#include <string>
#include <vector>

#include "base/large_stack.h"
#include "base/process_guards.h"
#include "base/standard_streams.h"
#include "run/job.h"

int main(int argc, char** argv) {
    const ClosedStandardStreams closed = reserveStandardStreams();
    guardSignals();
    capAddressSpace(preferredStackBytes);
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return runOnLargeStack([&] { return runCommandLine(arguments, closed); });
}
