#pragma once
// ObjectID: the permanent identity of one record, the same in every context of
// one coordinator. Keys are handed out by the coordinator at insertion, so an
// identifier never changes when its record is saved. A plain value.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/foundation/object.h"
#include "platform/objectstore/model.h"

namespace objectstore {

struct ObjectID {
  const EntityDescription* entity = nullptr;
  std::int64_t key = 0;

  friend bool operator==(const ObjectID&, const ObjectID&) = default;
  explicit operator bool() const noexcept { return entity != nullptr; }
  std::string uriRepresentation() const;
};

struct ObjectIDHash {
  std::size_t operator()(const ObjectID& id) const noexcept {
    return std::hash<std::int64_t>{}(id.key) ^ (std::hash<const void*>{}(id.entity) << 1);
  }
};

// The stored state of one record: attribute values in the entity's attribute
// order (null for no value), and for each relationship the keys of its
// destination records in order; a to-many list that was not read yet is absent.
struct RecordValues {
  std::vector<fnd::Ref<fnd::Object>> attributes;
  std::vector<std::optional<std::vector<std::int64_t>>> relationships;
};

}  // namespace objectstore
