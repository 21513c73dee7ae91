#pragma once
// WriterLock: one writer of the user's data at a time across processes, held
// as an advisory lock on a file for the life of the object. The system lets go
// of it when the holding process ends however it ends, so a killed copy never
// leaves it held. Not copyable; any thread, one owner.

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace files {

class WriterLock {
 public:
  // Takes the lock of the file at `path` (made private when absent), waiting
  // up to `wait` for its holder to let go; zero tries once. Null when it
  // stays held or the file cannot be used; `holder` then gets the holding
  // process's id when it is known.
  static std::unique_ptr<WriterLock> acquire(const std::string& path, std::chrono::milliseconds wait,
                                             std::optional<long>* holder = nullptr);
  ~WriterLock();
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

 private:
  explicit WriterLock(int descriptor) : m_descriptor(descriptor) {}
  int m_descriptor;
};

}  // namespace files
