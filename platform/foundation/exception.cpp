#include "platform/foundation/exception.h"

#include <cstdarg>
#include <cstdio>

namespace fnd {

const char* Exception::name() const noexcept {
  switch (m_kind) {
    case Kind::InvalidArgument:
      return "NSInvalidArgumentException";
    case Kind::Range:
      return "NSRangeException";
    case Kind::InternalInconsistency:
      return "NSInternalInconsistencyException";
    case Kind::Malloc:
      return "NSMallocException";
  }
  return "NSGenericException";
}

std::string formatString(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list measuring;
  va_copy(measuring, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, arguments);
  va_end(arguments);
  return text;
}

void throwMutatingImmutable(const char* className, const char* operation) {
  throw Exception(Exception::Kind::InternalInconsistency,
                  formatString("*** -[%s %s]: mutating method sent to immutable object", className, operation));
}

}  // namespace fnd
