// Where boolfn-run's result goes: standard output for "-", otherwise a file that is
// replaced at once, so that a reader of the target sees the old file or the whole
// new one and a failed run leaves no half-written file. Every write of the front end
// goes through `writeResult`.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

// Writes what `write` produces to `path` ("-" for standard output). Answers the
// empty string when every byte arrived, else why not. `firstBytes`, when set, is
// called once as the first byte is written. When standard output was
// closed at start (`standardOutputClosed`), "-" and the paths that name descriptor
// 1 (/dev/stdout, /dev/fd/1, /proc/self/fd/1) fail: the bytes would go to the
// /dev/null that holds the descriptor, and be lost unseen.
std::string writeResult(const std::string& path, const std::function<void(std::ostream&)>& write,
                        bool standardOutputClosed, const std::function<void()>& firstBytes = {});

// Whether the bytes for `path` go out as they are written (standard output, a path
// of one of the process's descriptors, a device, a pipe or a FIFO), rather than
// into a file that is put in place whole.
bool writesDirectly(const std::string& path);
