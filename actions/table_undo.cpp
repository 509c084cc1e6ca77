#include "actions/table_undo.h"

TableUndo::TableUndo(bool keepingEntries)
    : keeping(keepingEntries),
      tableTermCount(program.table->termCount),
      signalCounter(program.signalCounter),
      satisfiabilityFlag(program.satisfiabilityFlag) {}

void TableUndo::keep(int64_t position) {
    if (!keeping) return;
    const auto index = static_cast<std::size_t>(position);
    if (index >= keptAt.size()) keptAt.resize(index + 1, false);
    if (keptAt[index]) return;
    keptAt[index] = true;
    kept.emplace_back(position, program.table->entryAt(position)->copyContent());
}

void TableUndo::restore() {
    for (auto& [position, content] : kept) {
        program.table->entryAt(position)->restoreContent(std::move(content));
    }
    kept.clear();
    keptAt.clear();
    program.table->termCount = tableTermCount;
    program.signalCounter = signalCounter;
    program.satisfiabilityFlag = satisfiabilityFlag;
}
