#pragma once
// Record: one person, group or source of the address book, with its property
// values, a person's image and a group's members. A record belongs to at most
// one address book, whose thread it shares: not thread-safe, except that
// recordID() may be read from any thread.

#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/addressbook/properties.h"
#include "platform/addressbook/value_codec.h"
#include "platform/foundation/data.h"
#include "platform/foundation/error.h"
#include "platform/foundation/string_object.h"

namespace ab {

class Record final : public fnd::Object {
 public:
  // A new person of `source` (any source when null), not yet in an address book.
  static fnd::Ref<Record> createPerson(const Record* source);
  // A new group; adding it to a book places it in that book's default source.
  static fnd::Ref<Record> createGroup();

  RecordType recordType() const noexcept { return m_type; }
  // kInvalidRecordID until the record is first saved.
  RecordID recordID() const noexcept { return m_id.load(std::memory_order_acquire); }

  // A copy of the value (an immutable copy for a multi-value), or null.
  fnd::Ref<fnd::Object> copyValue(PropertyID property) const;
  // Refuses (false and an error) unknown, read-only or foreign properties and
  // values of the wrong kind. A mutable multi-value is stored as a copy.
  bool setValue(PropertyID property, fnd::Object* value, std::optional<fnd::Error>* error);
  bool removeValue(PropertyID property, std::optional<fnd::Error>* error);
  // The name shown for the record in lists; null when it has none.
  fnd::Ref<fnd::String> copyCompositeName() const;

  // People: the source the person was created in, and the image.
  RecordID sourceID() const noexcept { return m_sourceID; }
  bool hasImageData() const noexcept { return static_cast<bool>(m_image); }
  fnd::Ref<fnd::Data> copyImageData(ImageFormat format) const;
  bool setImageData(fnd::Data* image, std::optional<fnd::Error>* error);
  bool removeImageData(std::optional<fnd::Error>* error);

  // Groups: members are people of the group's address book.
  bool addMember(Record* person, std::optional<fnd::Error>* error);
  bool removeMember(Record* person, std::optional<fnd::Error>* error);
  const std::vector<fnd::Ref<Record>>& members() const noexcept { return m_members; }

  const char* className() const override { return "ABRecord"; }

  // --- For the address book that holds the record ---
  // `storedValues` is the values' stored encoding, read on first use.
  static fnd::Ref<Record> restore(RecordType type, RecordID id, RecordID sourceID, std::string storedValues,
                                  fnd::Ref<fnd::Data> image);
  const PropertyValues& values() const;
  const fnd::Ref<fnd::Data>& imageData() const noexcept { return m_image; }
  const void* owner() const noexcept { return m_owner; }
  void setOwner(const void* owner) noexcept { m_owner = owner; }
  void setSourceID(RecordID source) noexcept { m_sourceID = source; }
  bool isChanged() const noexcept { return m_changed; }
  void markSaved(RecordID id) noexcept;
  // Takes over the values, image and source of `stored` (a fresh read of this record).
  void refresh(const Record& stored);
  void setMembers(std::vector<fnd::Ref<Record>> members) { m_members = std::move(members); }
  void forgetMember(const Record* person);
  // Sets a value without the read-only check and without marking a change.
  void storeValue(PropertyID property, fnd::Ref<fnd::Object> value);

 private:
  Record(RecordType type, RecordID id) : m_type(type), m_id(id) {}
  bool checkWritable(PropertyID property, std::optional<fnd::Error>* error) const;
  PropertyValues& mutableValues();

  RecordType m_type;
  std::atomic<RecordID> m_id;
  RecordID m_sourceID = kInvalidRecordID;
  // A book is often opened only for its sources, and a person may carry a
  // great many numbers: stored values are decoded when first asked for.
  mutable PropertyValues m_values;
  mutable std::optional<std::string> m_storedValues;
  fnd::Ref<fnd::Data> m_image;
  std::vector<fnd::Ref<Record>> m_members;
  const void* m_owner = nullptr;
  bool m_changed = false;
};

}  // namespace ab
