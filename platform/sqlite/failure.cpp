#include "platform/sqlite/failure.h"

#include <sqlite3.h>

namespace sqlite {

bool Failure::isCorruption() const noexcept {
  // An extended code keeps its primary code in the low byte.
  constexpr int kPrimaryCodeMask = 0xff;
  const int primary = code & kPrimaryCodeMask;
  return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

}  // namespace sqlite
