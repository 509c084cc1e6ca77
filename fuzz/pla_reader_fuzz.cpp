// Fuzz target: the PLA reader on a whole file. Every input is read into a fresh
// table; what the reader prints must be its own messages, and every entry must come
// out completed (a tree and a variable list).
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "expr/function_table.h"
#include "formats/pla.h"
#include "fuzz/fuzz_support.h"

namespace {

// Counts above this are read correctly by the reader, but build tables too large
// for thousands of runs a second.
constexpr uint64_t largestDeclaredCount = 500;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (plaDeclaresMoreThan(text, largestDeclaredCount)) return 0;
    resetProgramState();
    std::istringstream file(text);
    {
        QuietConsole console;
        const int64_t errors = loadPla(file);
        if (checkReaderMessages(console.printedText()) != errors) {
            failCheck("reader error count out of step with its messages");
        }
    }
    const FunctionTable& table = *workspace.table;
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        const FunctionEntry& entry = *table.entryAt(position);
        if (!entry.hasTree() || entry.variableList == nullptr) {
            failCheck("PLA entry left incomplete");
        }
    }
    releaseProgramState();
    return 0;
}
