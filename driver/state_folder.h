// The user's state folder, where the menu program keeps what outlives a session:
// the history file (driver/history_file.h) and, when the input's folder cannot take
// it, the recovery file (driver/recovery.h), both in its folder "boolfn".
#pragma once

#include <string>

// The user's state folder ($XDG_STATE_HOME when it is an absolute path, else
// ~/.local/state), or the empty path when neither is known.
std::string stateFolder();

// Makes every missing folder of `folder` with mode 0700; false when one cannot be
// made.
bool makePrivateFolders(const std::string& folder);
