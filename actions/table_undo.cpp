#include "actions/table_undo.h"

#include "actions/dispatcher.h"
#include "expr/node.h"
#include "expr/workspace.h"

TableUndo::TableUndo(bool keepingEntries)
    : keeping(keepingEntries),
      tableTermCount(workspace.table->termCount),
      signalCounter(blifSignalCounter),
      satisfiabilityFlag(dispatcherState.satisfiabilityFlag) {}

void TableUndo::keep(int64_t position) {
    if (!keeping) return;
    const auto index = static_cast<std::size_t>(position);
    {
        const std::lock_guard<std::mutex> hold(keptLock);
        if (index >= keptAt.size()) keptAt.resize(index + 1, false);
        if (keptAt[index]) return;
        keptAt[index] = true;
    }
    // The copy is the costly part, made outside the lock.
    EntryContent content = workspace.table->entryAt(position)->copyContent();
    const std::lock_guard<std::mutex> hold(keptLock);
    kept.emplace_back(position, std::move(content));
}

void TableUndo::restore() {
    for (auto& [position, content] : kept) {
        workspace.table->entryAt(position)->restoreContent(std::move(content));
    }
    kept.clear();
    keptAt.clear();
    workspace.table->termCount = tableTermCount;
    blifSignalCounter = signalCounter;
    dispatcherState.satisfiabilityFlag = satisfiabilityFlag;
}
