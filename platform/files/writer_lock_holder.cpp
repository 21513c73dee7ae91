// Holds the writer lock of the file named by its first argument, for the
// writer-lock test's second process: prints "held" once it has the lock, then
// keeps it for the milliseconds of its second argument (or until killed).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/files/writer_lock.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  auto lock = files::WriterLock::acquire(argv[1], std::chrono::seconds(10));
  if (!lock) return 1;
  std::printf("held\n");
  std::fflush(stdout);
  std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(argv[2])));
  return 0;
}
