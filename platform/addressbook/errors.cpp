#include "platform/addressbook/errors.h"

#include <string>

namespace ab {

fnd::Error makeError(ErrorCode code, std::string_view description) {
  return fnd::Error::withDescription(std::string(kErrorDomain), static_cast<long>(code), description);
}

bool fail(std::optional<fnd::Error>* out, ErrorCode code, std::string_view description) {
  if (out) *out = makeError(code, description);
  return false;
}

}  // namespace ab
