#pragma once
// Data: an immutable byte string (images, file contents, downloaded bodies).

#include <span>
#include <string>
#include <string_view>

#include "platform/foundation/object.h"

namespace fnd {

class Data final : public Object {
 public:
  static Ref<Data> create(std::string bytes) { return Ref<Data>::adopt(new Data(std::move(bytes))); }
  static Ref<Data> create(std::span<const std::byte> bytes) {
    return create(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }

  const char* bytes() const noexcept { return m_bytes.data(); }
  std::size_t length() const noexcept { return m_bytes.size(); }
  std::string_view view() const noexcept { return m_bytes; }

  const char* className() const override { return "NSData"; }
  bool isEqual(const Object& other) const override {
    return other.kind() == ObjectKind::Data && static_cast<const Data&>(other).m_bytes == m_bytes;
  }
  std::size_t hash() const override { return std::hash<std::string>{}(m_bytes); }

 private:
  explicit Data(std::string bytes) noexcept : Object(ObjectKind::Data), m_bytes(std::move(bytes)) {}
  std::string m_bytes;
};

}  // namespace fnd
