#pragma once
// Exception: misuse of a library class (a bad argument, an index out of range,
// mutating an immutable object, memory exhausted), with the platform's kind and
// the exact reason text.

#include <stdexcept>
#include <string>

namespace fnd {

class Exception : public std::runtime_error {
 public:
  enum class Kind { InvalidArgument, Range, InternalInconsistency, Malloc };

  Exception(Kind kind, const std::string& reason) : std::runtime_error(reason), m_kind(kind) {}

  Kind kind() const noexcept { return m_kind; }
  std::string reason() const { return what(); }
  // The platform's exception name for the kind, e.g. "NSRangeException".
  const char* name() const noexcept;

 private:
  Kind m_kind;
};

// printf-style formatting into a std::string, for reason texts.
std::string formatString(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "*** -[Class operation]: mutating method sent to immutable object", the one
// reason every container gives when an immutable instance is asked to change.
[[noreturn]] void throwMutatingImmutable(const char* className, const char* operation);

}  // namespace fnd
