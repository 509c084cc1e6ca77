// The question every writer asks before writing: save all functions, or only those
// added after loading; and the line every writer ends with.
#pragma once

#include <cstdint>
#include <iosfwd>

// Prints "What to save:", "1. Save all", "2. Save added only", "Choice:" and takes
// the selection: in batch mode (when `batchAnswers`) 2, echoed; otherwise an integer
// read from the console, 1 when none can be read. Ends the prompt line when
// `endLine` is set. Answers the position of the first entry to save: entryCount -
// addedCount for the selection 2, else 0.
int64_t askWhatToSave(bool batchAnswers, bool endLine);

// Flushes `out` and reports the save: "Data saved" only when every byte reached the
// file; a full disk or a removed device leaves the stream failed, and then the
// report is "Data NOT saved".
void reportSaved(std::ostream& out);
