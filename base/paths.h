// Small questions about a path, asked by the saves, the entry routine, the notes on
// standard error and the recovery file.
#pragma once

#include <string>

// The folder part of `path`: "." when it names none, "/" for a name at the root.
std::string folderOf(const std::string& path);

// The last part of `path`, after its last slash.
std::string nameOf(const std::string& path);

// Whether `path` names an existing regular file (a link is followed).
bool namesRegularFile(const std::string& path);

// Whether `path` names an existing folder (a link is followed).
bool namesFolder(const std::string& path);

// The descriptor of this process that `path` names, -1 for any other path: /dev/stdin,
// /dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N and every link that leads to
// one of them. Such a path stands for the open file itself, wherever it stands.
int descriptorNamedBy(const std::string& path);
