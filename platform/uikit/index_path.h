#pragma once
// IndexPath: the place of a row in a table, its section and its row within
// that section; ordered section first. A plain value.

#include <compare>

namespace uikit {

struct IndexPath {
  int section = 0;
  int row = 0;
  // clang-tidy 14 takes the 0 the defaulted comparison is checked against for a null pointer.
  friend auto operator<=>(const IndexPath&, const IndexPath&) = default;  // NOLINT(modernize-use-nullptr)
};

}  // namespace uikit
