// What an action changes, kept so that a cancelled action can be undone.
//
// A Ctrl-C may end an action half way (base/action_watch.h); the functions it has
// already rewritten and the counters it has moved then go back to what they were,
// so that the table is exactly as before the action. A keeping undo copies each
// function just before the action first changes it (a tree is cloned, a held sum is
// shared); one that does not keep records nothing and costs nothing, for the runs
// in which nothing can cancel an action. The functions' chains may keep their
// originals from several threads at once.
#pragma once

#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "expr/function_table.h"

class TableUndo {
  public:
    // Takes the table's counters as they are now.
    explicit TableUndo(bool keeping);

    // Called before the entry at `position` changes; copies it the first time. Safe
    // from several threads for different positions.
    void keep(int64_t position);

    // Puts every kept entry and the counters back.
    void restore();

  private:
    bool keeping;
    std::mutex keptLock;  // over kept and keptAt
    std::vector<std::pair<int64_t, EntryContent>> kept;
    std::vector<bool> keptAt;  // by position
    int64_t tableTermCount;
    int64_t signalCounter;
    bool satisfiabilityFlag;
};
