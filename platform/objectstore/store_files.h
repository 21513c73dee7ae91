#pragma once
// The file operations around a store file: its directory, its presence, and
// its removal together with its journal. Thread-safe.
#include <optional>
#include <string>

#include "platform/foundation/error.h"

namespace objectstore {

bool storeFileExists(const std::string& path);
// Creates the directory that will hold `path`, with intermediate directories,
// each private to the user (those already there are left alone).
bool createStoreDirectory(const std::string& path, std::optional<fnd::Error>* error);
// Removes the store file and its write-ahead log and index; true when none is left.
bool destroyStoreFiles(const std::string& path);
// The name a store file that cannot be opened is kept under.
std::string damagedStorePath(const std::string& path);
// Moves the store file and its write-ahead log and index to
// damagedStorePath(path), with the logs renamed alike so that the kept store
// opens with its last saves; what an earlier move kept there is replaced.
// True when nothing is left at `path`.
bool moveStoreFilesAside(const std::string& path);

}  // namespace objectstore
