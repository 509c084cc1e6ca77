// The program state that saves leave behind, put back for each test: the batch
// switch, the failed-save count, the unsaved marks and the BLIF signal counter.
// Without it a test would see what an earlier one in the same process saved.
#pragma once

#include "expr/node.h"
#include "formats/save_dialogue.h"

inline void freshSaveState() {
    saveRecord = SaveRecord{};
    blifSignalCounter = 0;
}
