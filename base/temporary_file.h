// The file a save writes before it takes the place of its target, made in the
// target's folder so that the final rename is atomic.
//
// Where the file system allows it the file has no name at all (O_TMPFILE): nothing of
// it is left behind, whatever ends the process, even kill -9. Elsewhere it is a
// hidden file with a short fixed pattern, `.boolfn-XXXXXX`, so that no target name is
// too long for one; such a name is entered in a small table that the signal handlers
// below and the memory stop read without allocating, so that they can remove it.
// The unnamed file gets the same kind of name for the moment between its link and the
// rename over the target (a link cannot replace an existing name).
#pragma once

#include <string>

class TemporaryFile {
  public:
    TemporaryFile() = default;
    ~TemporaryFile() { discard(); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Makes the file, with permission bits 0600, in `folder`: unnamed where the file
    // system allows, else named. False when neither can be made (no write permission,
    // no free inode). A file held before is discarded first.
    bool create(const std::string& folder);
    // The two ways of `create`, each on its own.
    bool createUnnamed(const std::string& folder);
    bool createNamed(const std::string& folder);

    // Where the content is written; -1 when no file is held.
    int descriptor() const { return fd; }
    // The hidden name of a named file; empty for an unnamed one.
    const std::string& name() const { return path; }

    // Closes the file and puts it in place of `target` (replacing what is there);
    // false when anything fails, and then the temporary file is gone and the target
    // is as it was. The object holds no file afterwards.
    bool placeAs(const std::string& target);

    // Closes and removes the file, if one is held.
    void discard();

  private:
    int fd = -1;
    std::string folder;
    std::string path;  // the hidden name while the file has one
    int slot = -1;     // its entry in the table of pending files

    bool linkUnderHiddenName(const std::string& source);
    void forgetName();
};

// Removes the named temporary files of the saves still pending. Safe inside a signal
// handler and on the way out of the memory stop.
void discardPendingOutputs() noexcept;

// Makes every signal whose default action ends the process asynchronously (an
// interrupt, hang-up, termination, quit, abort, the user signals, the alarms, the
// CPU-time limit, the real-time signals) remove the pending temporary files before
// it ends the process as it would have anyway. A signal the parent chose to ignore
// stays ignored.
void discardPendingOutputsOnSignals();

// What those signals do, for a handler that takes one over: removes the pending
// temporary files, then lets `signal` end the process by its default action.
void discardPendingOutputsAndEnd(int signal);
