// Fuzz target: one statement typed for "Add function", taken the way the dispatcher
// takes it (the rest of the console line after the menu choice) against a small
// table loaded first, so that references to earlier functions and their names,
// widths and indexes have something to resolve against.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "actions/dispatcher.h"
#include "expr/function_table.h"
#include "formats/vhdl.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr int actionAddFunction = 8;

// Two scalar functions, a vector one and two that refer to earlier functions.
constexpr char startingTable[] =
    "f <= a and not b;\n"
    "g <= (a xor c) or f;\n"
    "v <= \"0101\" xnor w;\n"
    "h <= f nand g;\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    resetProgramState();
    const std::string text(reinterpret_cast<const char*>(data), size);
    // The menu choice's own line end comes first: the dispatcher skips one
    // character before it reads the statement's line.
    QuietConsole console("\n" + text);
    std::istringstream file(startingTable);
    loadVhdl(file);
    if (!console.printedText().empty()) failCheck("the starting table did not load quietly");
    const int64_t entriesBefore = workspace.table->entryCount();
    runAction(actionAddFunction, nullptr);
    const std::string printed = console.printedText();
    const std::string prompt = "Input command string:";
    if (printed.compare(0, prompt.size(), prompt) != 0) failCheck("no prompt for the statement");
    const int64_t errors = checkReaderMessages(std::string_view(printed).substr(prompt.size()));
    const int64_t added = workspace.table->entryCount() - entriesBefore;
    if (added != workspace.table->addedCount || added > 1) failCheck("added count out of step");
    if (added == 1 && errors != 0) failCheck("a statement with errors was added");
    releaseProgramState();
    return 0;
}
