// Fuzz target: the DIMACS reader on a whole file. Every input is read into a fresh
// table; what the reader prints must be its own messages, and the function of the
// first problem line must come out completed.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "expr/function_table.h"
#include "formats/dimacs.h"
#include "fuzz/fuzz_support.h"

namespace {

// Variable counts above this are read correctly by the reader, but make name lists
// too long for thousands of runs a second.
constexpr int64_t largestDeclaredCount = 20000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (dimacsDeclaresMoreThan(text, largestDeclaredCount)) return 0;
    resetProgramState();
    std::istringstream file(text);
    {
        QuietConsole console;
        const int64_t errors = loadDimacs(file);
        if (checkReaderMessages(console.printedText()) != errors) {
            failCheck("reader error count out of step with its messages");
        }
    }
    // Every problem line appends a "y0"; the clauses and the completion go to the
    // first one only.
    const FunctionTable& table = *workspace.table;
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        if (table.entryAt(position)->name != "y0") failCheck("DIMACS function not named y0");
    }
    if (table.entryCount() > 0 && !table.entryAt(0)->hasTree()) {
        failCheck("DIMACS function left incomplete");
    }
    releaseProgramState();
    return 0;
}
