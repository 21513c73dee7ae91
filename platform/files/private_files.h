#pragma once
// Files and folders that hold the user's own data, made readable by the user
// alone whatever the umask. Thread-safe.

#include <string>

namespace files {

// Creates `folder` and each missing folder above it with mode 0700; folders
// that are already there are left exactly as they are. True when it exists.
bool createPrivateFolders(const std::string& folder);

// Creates `path` empty with mode 0600 when nothing is there yet, and its
// missing folders as createPrivateFolders does. A database then made in it
// takes that file, and SQLite gives the logs it writes beside it the same
// mode. An existing file is left as it is. True when `path` exists afterwards.
bool createPrivateFileIfAbsent(const std::string& path);

}  // namespace files
