// "Save as BLIF": one model named "blif" whose inputs are every name of the table's
// variable list and whose outputs are the saved functions, each driven by the gates
// that `emitBlif` writes for its tree in post-order. The functions are written as
// they stand; no normal form is computed first.
//
// Internal signals are numbered by the program-wide counter, which is never reset,
// so a second save of the same table names its internal signals anew.
#include <ostream>

#include "base/text_sink.h"
#include "expr/function_table.h"
#include "formats/blif.h"
#include "formats/save_dialogue.h"

void saveBlif(std::ostream& out) {
    if (!outputReady(out)) return;
    const int64_t firstSaved = askWhatToSave(true, true);
    writeBlif(out, firstSaved);
    reportSaved(out, firstSaved);
}

void writeBlif(std::ostream& out, int64_t first) {
    FunctionTable& table = *program.table;

    out << ".model blif\n.inputs";
    for (const VariableEntry& variable : table.variableList.entries) {
        out << ' ' << symbolName(variable.name);
    }
    out << "\n.outputs";
    for (int64_t i = first; i < table.entryCount(); ++i) out << ' ' << table.entryAt(i)->name;
    out << '\n';

    TextSink sink(out);
    forEachSavedEntry(
        first, [&](FunctionEntry& entry, int64_t /*position*/) { entry.tree()->emitBlif(sink); });
    sink << ".end\n";
    sink.flush();
}
