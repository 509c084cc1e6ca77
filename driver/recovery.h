// No work lost to a slip: when a session at a terminal ends because an answer could
// not be read (the end of input, a word where a number is asked), because no
// output file could be opened or by a signal (Ctrl-C, SIGTERM, SIGHUP, SIGQUIT),
// while some function holds unsaved work (driver/unsaved_changes.h), every function
// of the table is written as pseudo-VHDL, the notation the VHDL input reads back,
// to a new file (mode 0600) beside the input: "adder.pla" gives
// "adder.recovered.vhd", or "adder.recovered-2.vhd" when that exists, and so on; an
// existing file is never replaced. When the input's folder cannot take it (or the
// input is no regular file), the file goes under the same names to the user's
// state folder (driver/state_folder.h, then "boolfn"), then to
// $XDG_RUNTIME_DIR, both only when they are the user's own and no one else may
// write in them, and last to the temporary folder ($TMPDIR, else /tmp) as
// "adder.recovered-XXXXXX.vhd" with a random part. A note on standard error names
// it. The conversation, the exit status and every run without a terminal stay as
// they are.
#pragma once

#include <string>

// The name (without folder) of the recovery file for `inputPath`; `number` 1 gives
// "STEM.recovered.vhd", a higher one "STEM.recovered-NUMBER.vhd", where STEM is the
// input's file name without its last extension.
std::string recoveryFileName(const std::string& inputPath, int number);

// Writes every function of the table to a new recovery file for `inputPath`;
// answers its path, or the empty path when no folder could take it.
std::string writeRecoveryFile(const std::string& inputPath);

// The end of a session that slipped: keeps the unsaved work when standard input is
// a terminal, the run is not in batch mode and some function holds unsaved work.
void recoverUnsavedWork(const std::string& inputPath);

// From now on a signal that ends the session keeps the unsaved work first, as a slip
// does, at the safe point where it is served (base/action_watch.h).
void recoverUnsavedWorkOnSignals(const std::string& inputPath);
