#pragma once
// Small files in the user's cache location: read whole, written atomically
// (a reader sees the old or the new file, never half of one), removed.
// Thread-safe for distinct files.

#include <optional>
#include <string>
#include <string_view>

namespace geo {

// `fileName` in the folder named after the application under the user's cache location.
std::string cacheFilePath(std::string_view fileName);
std::optional<std::string> readCacheFile(const std::string& path);
bool writeCacheFile(const std::string& path, std::string_view bytes);
bool removeCacheFile(const std::string& path);

}  // namespace geo
