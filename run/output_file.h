// Where boolfn-run's result goes: standard output for "-", otherwise a file that is
// replaced at once, so that a reader of the target sees the old file or the whole
// new one and a failed run leaves no half-written file. Every write of the front end
// goes through `writeResult`.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

// Writes what `write` produces to `path` ("-" for standard output). Answers the
// empty string when every byte arrived, else why not.
std::string writeResult(const std::string& path, const std::function<void(std::ostream&)>& write);
