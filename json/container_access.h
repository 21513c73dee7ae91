#pragma once
// ContainerAccess: the key that only the decoder holds, so that nobody else
// builds a JDArray or JDDictionary by taking over references it does not own.

#include <cstdint>

namespace json {

class Parser;

class ContainerAccess {
  friend class Parser;
  ContainerAccess() = default;
};

// The mutation counter of a mutable container: 0 is reserved for "immutable",
// so the counter skips it when it wraps around.
constexpr std::uint64_t nextMutation(std::uint64_t mutations) noexcept {
  return mutations + 1 == 0 ? 1 : mutations + 1;
}

}  // namespace json
