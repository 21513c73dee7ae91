#pragma once
// The address book's error values: one domain, a code per kind of refusal.

#include <optional>
#include <string_view>

#include "platform/foundation/error.h"

namespace ab {

inline constexpr std::string_view kErrorDomain = "ABAddressBookErrorDomain";

enum class ErrorCode : long {
  OperationNotPermittedByStore = 0,
  OperationNotPermittedByUser = 1,
  InvalidValue = 2,
  StorageFailure = 3,
};

fnd::Error makeError(ErrorCode code, std::string_view description);
// Stores the error in `out` when the caller asked for one; always answers false.
bool fail(std::optional<fnd::Error>* out, ErrorCode code, std::string_view description);

}  // namespace ab
