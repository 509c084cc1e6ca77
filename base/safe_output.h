// Saving a file without ever destroying the one it replaces.
//
// A save to a regular file is written to a temporary file beside the target and
// renamed over it only when every byte was written, flushed and synced; until then
// the old file stays as it was, whatever ends the run (a failed write, a full disk,
// the memory stop, an interrupt, a kill). A symbolic link is written through: the
// file it points to is replaced and the link stays. The replaced file keeps its
// permission bits. Devices, pipes and FIFOs have nothing to replace and are written
// directly, as is a writable file in a folder where no temporary file can be made.
//
// Whether the target can be written is settled when it is opened, as it would be for
// a plain truncating open: a folder, a file or folder without write permission and a
// missing folder all fail at once. Nothing here throws.
#pragma once

#include <memory>
#include <ostream>
#include <string>

class SafeOutputBuffer;

class SafeOutput {
  public:
    SafeOutput();
    ~SafeOutput();  // an uncommitted save is discarded: the target stays as it was
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;

    // Prepares a save to `path`; false (and nothing changed on disk) when the target
    // cannot be written. A second call discards what the first one prepared.
    bool open(const std::string& path);

    // Where the save is written. Not good when `open` failed.
    std::ostream& stream() { return out; }

    // Flushes, syncs and puts the written file in place of the target. True only
    // when every byte reached it; on false the target is unchanged (or, for a
    // device, pipe or directly written file, holds what was written before the
    // failure). Commits once; later calls answer the first result.
    bool commit();

  private:
    std::unique_ptr<SafeOutputBuffer> buffer;
    std::ostream out;
};

// Ends a save written to `out`: flushes it and, when it writes through a SafeOutput,
// commits that. True only when everything written reached the file.
bool finishOutput(std::ostream& out);

// Removes the temporary files of the saves still pending. Safe inside a signal
// handler and on the way out of the memory stop.
void discardPendingOutputs() noexcept;

// Makes an interrupt, hang-up or termination signal remove the pending temporary
// files before it ends the process as it would have anyway.
void discardPendingOutputsOnSignals();

// What those signals do, for a handler that takes one over: removes the pending
// temporary files, then lets `signal` end the process by its default action.
void discardPendingOutputsAndEnd(int signal);
