// The ends of a job that do not come from its work: an ending signal (Ctrl-C, a
// kill, the terminal hanging up) and the memory limit of --max-memory.
//
// Each prints one line on standard error, even with --quiet, as the memory stop
// does, and that line is prepared before it can be needed, for the handlers may not
// allocate. A save in progress is abandoned first: its temporary file goes, and the
// file it would have replaced stays as it was. A signal then ends the process by
// itself, as it would have anyway, so that a shell reports Ctrl-C as status 130 and
// a script's loop over many files stops with it; the memory limit ends it with
// status 2. The line says what the job had sent by then: nothing, part of a result
// that goes out as it is written (standard output, a pipe, a device), or a whole
// result (a signal during --verify).
#pragma once

#include <cstdint>
#include <string>

// Makes Ctrl-C, SIGTERM and SIGHUP end the job with their line. A signal ignored at
// start-up stays ignored. `progressShown`: erase a progress line first.
void stopJobOnSignals(bool progressShown);

// Limits the memory the job may take from now on to `bytes` more than it holds (the
// process's data: the heap and every private writable mapping), so that a job
// that would pass it ends with "the job needs more memory than --max-memory
// `asWritten` allows" and status 2. A stricter limit set from outside (ulimit -d)
// stays, with the plain memory stop. Answers false, with nothing changed, when the
// limit cannot be set.
bool limitJobMemory(uint64_t bytes, const std::string& asWritten);

// What the job has sent out, for the stop lines: the first bytes to `target` (a path
// or "-") whose bytes go out as they are written, and a target written whole.
void noteOutputStarted(const std::string& target);
void noteOutputFinished(const std::string& target);
