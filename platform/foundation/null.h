#pragma once
// Null: the one object that stands for "no value" inside containers.

#include "platform/foundation/object.h"

namespace fnd {

class Null final : public Object {
 public:
  static Null* null() noexcept {
    static Null* const shared = new Null;  // never released
    return shared;
  }
  const char* className() const override { return "NSNull"; }
  std::string description() const override { return "<null>"; }

 private:
  Null() noexcept : Object(ObjectKind::Null) {}
};

}  // namespace fnd
