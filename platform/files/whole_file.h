#pragma once
// Small files written and read whole: a reader sees the old content or the
// new, never a mix, and a failed write leaves the old file untouched. The
// files are private to the user. Thread-safe for different paths.

#include <optional>
#include <string>
#include <string_view>

namespace files {

// Replaces `path` with `bytes` through a temporary file beside it, creating
// missing folders as createPrivateFolders does. Empty on success; otherwise
// one line naming the path and the reason.
std::string writeFileAtomically(const std::string& path, std::string_view bytes);

// The whole content of `path`; nothing when it is missing or unreadable.
std::optional<std::string> readWholeFile(const std::string& path);

// Removes `path`. Empty on success or when nothing was there; otherwise the reason.
std::string removeFileIfPresent(const std::string& path);

}  // namespace files
