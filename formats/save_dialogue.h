// What every writer does before and after its body: check the stream, ask which
// functions to save, visit the saved functions with the current references on each,
// and report the save.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <vector>

struct FunctionEntry;

// What the saves of a run record, for the menu program's exit status and its notes
// on unsaved work.
struct SaveRecord {
    bool batchMode = false;  // a script path was given: no questions asked
    int64_t lostSaves = 0;   // saves of the run that said "Data NOT saved"
    // Per entry, in table order: changed or added by the menu since it was last
    // saved (or loaded); shorter than the table until the next mark catches up.
    std::vector<bool> unsavedEntries;
};

extern SaveRecord saveRecord;

// False, after printing "Cannot open output file", when the stream could not be
// opened; then nothing is written.
bool outputReady(const std::ostream& out);

// Prints "What to save:", "1. Save all", "2. Save added only", "Choice:" and takes
// the selection: in batch mode (when `batchAnswers`) 2, echoed; otherwise an integer
// read from the console, 1 when none can be read. Ends the prompt line when
// `endLine` is set. Answers the position of the first entry to save: entryCount -
// addedCount for the selection 2, else 0.
int64_t askWhatToSave(bool batchAnswers, bool endLine);

// The position of the first entry to save without asking: that of the first added
// function when `addedOnly`, else 0.
int64_t firstSavedEntry(bool addedOnly);

// Calls `write` for every entry from position `firstSaved` on that has a tree, in
// table order, after making it the current entry and clearing the assignment marks
// of the table's variable list, which the term walk then uses.
void forEachSavedEntry(int64_t firstSaved,
                       const std::function<void(FunctionEntry&, int64_t position)>& write);

// Finishes the save to `out` of the entries from position `firstSaved` on (for a
// file: puts it in place of the old one, see base/safe_output.h) and reports it:
// "Data saved" only when every byte reached the file, and then those entries count
// as saved (saveRecord.unsavedEntries); a full disk, a file-size limit, a reader that
// went away or a removed device make it "Data NOT saved".
void reportSaved(std::ostream& out, int64_t firstSaved);

// Prints "Data NOT saved" and notes the lost save for the exit status.
void reportNotSaved();
