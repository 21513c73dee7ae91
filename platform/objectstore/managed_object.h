#pragma once
// ManagedObject: one record as seen by one context. Record classes derive from
// it and add typed accessors. Its values are guarded by its context's lock, so
// reading from another thread is safe, though records belong to their
// context's queue by contract.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/containers.h"
#include "platform/objectstore/object_id.h"
#include "platform/objectstore/predicate.h"

namespace objectstore {

class ManagedObjectContext;

// Records that one fetch returned as faults are read together: the fetch's
// keys in its order, read a batch at a time when one of a batch is first used.
struct FaultGroup {
  std::vector<std::int64_t> keys;
  std::size_t batchSize = 1;
};

class ManagedObject : public fnd::Object, public KeyValueSource {
 public:
  ManagedObject() = default;

  const EntityDescription& entity() const noexcept { return *m_id.entity; }
  const ObjectID& objectID() const noexcept { return m_id; }
  // The owning context, or null after it was reset or destroyed, or after the
  // record's deletion was saved.
  ManagedObjectContext* managedObjectContext() const noexcept { return m_context; }

  // Attribute value (null for none), to-one record, or to-many list (an
  // ObjectArray of records). Throws InvalidArgument for an unknown key.
  fnd::Ref<fnd::Object> valueForKey(std::string_view key) const override;
  // Sets an attribute, a to-one record, or a to-many list; throws
  // InvalidArgument for an unknown key or a value of the wrong type.
  void setValueForKey(fnd::Object* value, std::string_view key);

  // To-many relationships one record at a time.
  void addObjectToRelationship(ManagedObject& object, std::string_view relationship);
  void removeObjectFromRelationship(ManagedObject& object, std::string_view relationship);

  bool isInserted() const;
  bool isUpdated() const;
  bool isDeleted() const;
  bool isFault() const;
  bool hasChanges() const;

  const fnd::Object* selfObject() const override { return this; }
  const char* className() const override { return "NSManagedObject"; }
  std::string description() const override;

 protected:
  // Typed access for record classes.
  fnd::Ref<fnd::Object> attributeValue(int index) const;
  void setAttributeValue(int index, fnd::Object* value);

 private:
  friend class ManagedObjectContext;
  friend class ContextFetch;

  std::size_t propertyCount() const { return m_values.attributes.size() + m_values.relationships.size(); }
  void markChanged(std::size_t property);
  // A state flag read under the context's lock; `whenDetached` without a context.
  bool readState(bool ManagedObject::*flag, bool whenDetached) const;
  // Debug and sanitizer builds stop on a read that can only give empty values
  // because the record's context ended before it was read.
  void checkReadable(std::string_view key) const;
  const std::vector<std::int64_t>& relationshipKeys(int index) const;
  void setRelationshipKeys(int index, std::vector<std::int64_t> keys);

  std::atomic<ManagedObjectContext*> m_context{nullptr};
  ObjectID m_id;
  RecordValues m_values;                           // guarded by the context's lock
  std::vector<bool> m_changed;                     // guarded by the context's lock; one flag per property
  bool m_isFault = false;                          // guarded by the context's lock
  std::shared_ptr<const FaultGroup> m_faultGroup;  // guarded by the context's lock; null when read alone
  std::size_t m_faultIndex = 0;                    // guarded by the context's lock; place in m_faultGroup
  bool m_isInserted = false;                       // guarded by the context's lock
  bool m_isUpdated = false;                        // guarded by the context's lock
  bool m_isDeleted = false;                        // guarded by the context's lock
  bool m_handedOut = false;                        // guarded by the context's lock; a caller has had it
  // The queue of the context that ended while the record was still a fault,
  // which leaves it without values; empty otherwise. Written when detached.
  std::string m_lostContextQueue;
};

using ManagedObjectRef = fnd::Ref<ManagedObject>;

// The value stored for an attribute of `type`, converted from `value`; throws
// InvalidArgument when the value cannot be stored there.
fnd::Ref<fnd::Object> checkedAttributeValue(const AttributeDescription& attribute, fnd::Object* value,
                                            const EntityDescription& entity);

}  // namespace objectstore
