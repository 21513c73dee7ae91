#pragma once
// Test support: reads vCards back with a library that shares no code with
// the application (python3-vobject under Debian's own interpreter), from a
// file or over HTTP, so a test sees what another address book would see.

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace publish::test {

struct ReadCard {
  QString formattedName;
  QString uid;
  int photoBytes = 0;
  std::vector<std::pair<QString, QString>> numbers;  // number, label
};

// Debian's interpreter, which has the vobject and radicale modules.
inline constexpr const char* kSystemPython = "/usr/bin/python3";

// Under the thread checker, tests that start another program skip: it cannot
// follow the program's start (a fork in an uninstrumented library).
#if defined(__SANITIZE_THREAD__)
inline constexpr bool kThreadChecked = true;
#else
inline constexpr bool kThreadChecked = false;
#endif
inline constexpr const char* kThreadCheckedSkip = "starts another program, whose fork the thread checker cannot follow";

// Whether the independent reader can run on this machine.
bool independentReaderAvailable();

// The cards of `fileOrUrl`; nothing (with the reason in `error`) when reading failed.
std::optional<std::vector<ReadCard>> readCardsIndependently(const QString& fileOrUrl, const QString& user,
                                                            QString& error);

}  // namespace publish::test
