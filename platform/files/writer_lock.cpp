#include "platform/files/writer_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/files/private_files.h"

namespace files {

namespace {

constexpr std::chrono::milliseconds kRetryInterval{50};
constexpr std::size_t kLongestProcessIdText = 32;

bool tryLock(int descriptor) {
  while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// The holder writes its process id into the file, so a copy that finds the
// lock taken can say which process has it.
void recordHolder(int descriptor) {
  const std::string text = std::to_string(::getpid()) + "\n";
  if (::ftruncate(descriptor, 0) == 0) {
    [[maybe_unused]] const ssize_t written = ::pwrite(descriptor, text.data(), text.size(), 0);
  }
}

std::optional<long> readHolder(int descriptor) {
  char text[kLongestProcessIdText] = {};
  const ssize_t length = ::pread(descriptor, text, sizeof text - 1, 0);
  if (length <= 0) return std::nullopt;
  char* end = nullptr;
  const long id = std::strtol(text, &end, 10);
  return end != text && id > 0 ? std::optional<long>(id) : std::nullopt;
}

}  // namespace

std::unique_ptr<WriterLock> WriterLock::acquire(const std::string& path, std::chrono::milliseconds wait,
                                                std::optional<long>* holder) {
  if (!createPrivateFileIfAbsent(path)) return nullptr;
  const int descriptor = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (!tryLock(descriptor)) {
    if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
      if (holder) *holder = readHolder(descriptor);
      ::close(descriptor);
      return nullptr;
    }
    std::this_thread::sleep_for(kRetryInterval);
  }
  recordHolder(descriptor);
  return std::unique_ptr<WriterLock>(new WriterLock(descriptor));
}

WriterLock::~WriterLock() {
  // Closing the file lets go of the lock; the process id stays behind and
  // names nobody once the lock is free.
  ::close(m_descriptor);
}

}  // namespace files
