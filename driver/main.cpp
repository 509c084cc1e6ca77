// The program entry: hands the command line and the terminal's reading (line
// editing) to the entry routine, which runs on a thread with a large stack because
// the tree operations recurse as deep as the trees from real files are.
#include <iostream>
#include <string>
#include <vector>

#include "base/large_stack.h"
#include "base/process_guards.h"
#include "base/standard_streams.h"
#include "driver/program.h"
#include "driver/terminal_reading.h"

int main(int argc, char** argv) {
    reserveStandardStreams();
    guardSignals();
    capAddressSpace(preferredStackBytes);
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv, argv + argc);
    return runOnLargeStack([&arguments] { return runProgram(arguments, startTerminalReading); });
}
