#include "platform/files/private_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace files {

namespace {

constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kPrivateFileMode = 0600;

bool isPresent(const std::filesystem::path& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0;
}

}  // namespace

bool createPrivateFolders(const std::string& folder) {
  if (folder.empty()) return false;
  std::filesystem::path built;
  for (const std::filesystem::path& part : std::filesystem::absolute(folder).lexically_normal()) {
    built /= part;
    if (part.empty() || isPresent(built)) continue;
    // Another program may make the same folder at the same moment; then it is its folder.
    if (::mkdir(built.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST) return false;
  }
  struct stat status {};
  return ::stat(built.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool createPrivateFileIfAbsent(const std::string& path) {
  const std::filesystem::path file = std::filesystem::absolute(path);
  if (isPresent(file)) return true;
  if (!createPrivateFolders(file.parent_path())) return false;
  const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateFileMode);
  if (descriptor >= 0) return ::close(descriptor) == 0;
  return errno == EEXIST;
}

}  // namespace files
