#include "platform/objectstore/store_error.h"

#include "platform/objectstore/sqlite_store.h"

namespace objectstore {

fnd::Error storeError(long code, const std::string& description) {
  return fnd::Error::withDescription(kCocoaErrorDomain, code, description);
}

fnd::Error storeFailure(const std::string& path, long code, const std::string& what, const sqlite::Failure& failure) {
  if (failure.isCorruption()) code = kFileReadCorruptFileError;
  return storeError(code, "The store at " + (path.empty() ? std::string("(memory)") : path) + " failed to " + what +
                              ": " + describe(failure));
}

fnd::Error runFailure(const std::string& path, const std::string& sql, const sqlite::Failure& failure) {
  return storeFailure(path, kPersistentStoreOpenError, "run \"" + sql + "\"", failure);
}

std::string describe(const sqlite::Failure& failure) {
  return failure.message.empty() ? std::string("out of memory") : failure.message;
}

}  // namespace objectstore
