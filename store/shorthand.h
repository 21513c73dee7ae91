#pragma once
// Shorthand names: each operation "RS_" + N is also reachable as N. Class-level
// names are always given; instance-level names never start with "_" or "init",
// and no shorthand replaces a name the class already has.
#include <utility>

#define RS_SHORTHAND(name)                         \
  template <class... Args>                         \
  static decltype(auto) name(Args&&... args) {     \
    return RS_##name(std::forward<Args>(args)...); \
  }

#define RS_INSTANCE_SHORTHAND(name)                \
  template <class... Args>                         \
  decltype(auto) name(Args&&... args) {            \
    return RS_##name(std::forward<Args>(args)...); \
  }
