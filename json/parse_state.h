#pragma once
// The state of one JSON decoder: options, input and position, the current
// token, the scratch buffers of the parse in progress, the value cache and
// the first error met. Used by one thread at a time.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "json/object_stack.h"
#include "json/token.h"
#include "json/token_buffer.h"
#include "json/value_cache.h"
#include "platform/foundation/error.h"

namespace json {

struct Position {
  std::size_t index = 0;
  std::size_t line = 1;
};

struct ParseState {
  unsigned options = 0;
  bool mutableCollections = false;
  const std::uint8_t* input = nullptr;
  std::size_t length = 0;
  Position position;
  std::size_t depth = 0;
  Token token;
  TokenBuffer tokenBuffer;
  ObjectStack objectStack;
  ValueCache cache;
  // The keys last read at the first places of an object: objects in a list mostly repeat them.
  static constexpr std::size_t kRememberedKeys = 16;
  std::array<RememberedKey, kRememberedKeys> rememberedKeys{};
  // Where the parse in progress makes its values: the parsing thread's arena.
  fnd::ObjectArena* arena = nullptr;
  std::optional<fnd::Error> error;

  bool hasOption(unsigned option) const noexcept { return (options & option) != 0; }
  bool atEnd() const noexcept { return position.index >= length; }
  // Records an error at the current index and line, unless one is already
  // recorded: the first error is the one that explains the failure.
  void recordError(std::string_view message);
};

}  // namespace json
