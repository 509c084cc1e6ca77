// The question every writer asks before writing: save all functions, or only those
// added after loading.
#pragma once

#include <cstdint>

// Prints "What to save:", "1. Save all", "2. Save added only", "Choice:" and takes
// the selection: in batch mode (when `batchAnswers`) 2, echoed; otherwise an integer
// read from the console, 1 when none can be read. Ends the prompt line when
// `endLine` is set. Answers the position of the first entry to save: entryCount -
// addedCount for the selection 2, else 0.
int64_t askWhatToSave(bool batchAnswers, bool endLine);
