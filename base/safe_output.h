// Saving a file without ever destroying the one it replaces.
//
// A save to a regular file is written to a temporary file in the target's folder
// (base/temporary_file.h: unnamed where the file system allows, else a short hidden
// name) and put in its place only when every byte was written, flushed and synced;
// until then the old file stays as it was, whatever ends the run (a failed write, a
// full disk, the memory stop, an interrupt, a kill). A symbolic link is written
// through: the file it points to is replaced and the link stays. The replaced file
// keeps its permission bits.
//
// A path that names a descriptor of this process (/dev/stdout, /dev/stderr,
// /dev/fd/N, /proc/self/fd/N, a link to one of them) is written through that
// descriptor, never reopened or replaced: a regular file behind it is written where
// the descriptor stands. Devices, pipes and FIFOs have nothing to replace and are
// written directly.
//
// An existing file in a folder that takes no temporary file (no write permission, no
// free inode) is rewritten in place, but only at the commit, when the whole new
// content exists (held in an unnamed file of the temporary folder, else in memory)
// and room for it has been reserved; a kill or power loss during that last copy can
// still leave the file cut.
//
// Whether the target can be written is settled when it is opened, as it would be for
// a plain truncating open: a folder, a file or folder without write permission and a
// missing folder all fail at once. Nothing here throws.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "base/temporary_file.h"  // the removal of pending temporary files on signals

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
    // device, pipe or descriptor, holds what was written before the failure; for a
    // rewrite in place whose last copy failed, is cut). Commits once; later calls
    // answer the first result, and errno tells the first failure.
    bool commit();

  private:
    std::unique_ptr<SafeOutputBuffer> buffer;
    std::ostream out;
};

// Ends a save written to `out`: flushes it and, when it writes through a SafeOutput,
// commits that. True only when everything written reached the file.
bool finishOutput(std::ostream& out);
