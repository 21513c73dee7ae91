#include "addressbook/wrapper/pb_log.h"

#include "platform/foundation/exception.h"

namespace pb {

std::string PBErrorDescription(const fnd::Error& error) {
  return fnd::formatString("Error Domain=%s Code=%ld \"%s\"", error.domain().c_str(), error.code(),
                           error.localizedDescription().c_str());
}

std::string PBErrorDescription(const std::optional<fnd::Error>& error) {
  return error ? PBErrorDescription(*error) : std::string("(null)");
}

}  // namespace pb
