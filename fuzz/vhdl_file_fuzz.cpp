// Fuzz target: the VHDL-subset reader on a whole file, as input type 2 reads it.
// Every input is read into a fresh table with a fresh reader; what the reader prints
// must be its own messages, and every entry it appends must hold a tree.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "expr/function_table.h"
#include "formats/vhdl.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    resetProgramState();
    std::istringstream file(std::string(reinterpret_cast<const char*>(data), size));
    {
        QuietConsole console;
        const int64_t errors = loadVhdl(file);
        if (checkReaderMessages(console.printedText()) != errors) {
            failCheck("reader error count out of step with its messages");
        }
    }
    const FunctionTable& table = *workspace.table;
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        if (!table.entryAt(position)->hasTree()) failCheck("VHDL entry without a tree");
    }
    releaseProgramState();
    return 0;
}
