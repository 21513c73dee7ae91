#include "platform/objectstore/managed_object.h"

#include <cstdio>
#include <cstdlib>

#include "platform/dispatch/block_thread.h"
#include "platform/foundation/date.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_array.h"
#include "platform/objectstore/managed_object_context.h"

namespace objectstore {

namespace {

bool kindFits(AttributeType type, fnd::ObjectKind kind) {
  switch (type) {
    case AttributeType::String:
      return kind == fnd::ObjectKind::String;
    case AttributeType::Date:
      return kind == fnd::ObjectKind::Date;
    case AttributeType::Binary:
      return kind == fnd::ObjectKind::Data;
    default:
      return kind == fnd::ObjectKind::Number;
  }
}

[[noreturn]] void throwUnknownKey(const EntityDescription& entity, std::string_view key) {
  throw fnd::Exception(
      fnd::Exception::Kind::InvalidArgument,
      fnd::formatString("[<%s> valueForUndefinedKey:]: the entity %s is not key value coding-compliant "
                        "for the key \"%.*s\".",
                        entity.name().c_str(), entity.name().c_str(), static_cast<int>(key.size()), key.data()));
}

// The values of a record without a context. One that was detached while still
// a fault never got any: it reads as empty, and a value set on it is kept.
RecordValues& detachedValues(RecordValues& values, const EntityDescription& entity) {
  values.attributes.resize(entity.attributes().size());
  values.relationships.resize(entity.relationships().size());
  return values;
}

}  // namespace

fnd::Ref<fnd::Object> checkedAttributeValue(const AttributeDescription& attribute, fnd::Object* value,
                                            const EntityDescription& entity) {
  if (!value || value->kind() == fnd::ObjectKind::Null) return {};
  if (!kindFits(attribute.type, value->kind())) {
    throw fnd::Exception(
        fnd::Exception::Kind::InvalidArgument,
        fnd::formatString("Unacceptable type of value for attribute: property = \"%s\"; desired type = "
                          "%s; given type = %s; entity = %s",
                          attribute.name.c_str(), attributeTypeName(attribute.type), value->className(),
                          entity.name().c_str()));
  }
  if (attribute.type == AttributeType::Boolean) {
    return fnd::Ref<fnd::Object>(fnd::Number::boolean(static_cast<fnd::Number*>(value)->boolValue()));
  }
  return fnd::Ref<fnd::Object>(value);
}

void ManagedObject::checkReadable(std::string_view key) const {
#ifndef NDEBUG
  if (m_lostContextQueue.empty()) return;
  std::fprintf(stderr,
               "Stopped: the %s record %lld is read (key \"%.*s\") on %s, but its context on %s ended before it "
               "was ever read there, so it has no values. Read records on their context's queue while it lives.\n",
               entity().name().c_str(), static_cast<long long>(m_id.key), static_cast<int>(key.size()), key.data(),
               dispatch::currentThreadDescription().c_str(), m_lostContextQueue.c_str());
  std::abort();
#else
  static_cast<void>(key);
#endif
}

fnd::Ref<fnd::Object> ManagedObject::attributeValue(int index) const {
  ManagedObjectContext* context = m_context;
  if (!context) {
    checkReadable(entity().attributes()[static_cast<std::size_t>(index)].name);
    const auto position = static_cast<std::size_t>(index);
    return position < m_values.attributes.size() ? m_values.attributes[position] : nullptr;
  }
  std::lock_guard lock(context->m_mutex);
  context->fireFault(const_cast<ManagedObject&>(*this));
  return m_values.attributes[static_cast<std::size_t>(index)];
}

void ManagedObject::setAttributeValue(int index, fnd::Object* value) {
  fnd::Ref<fnd::Object> checked =
      checkedAttributeValue(entity().attributes()[static_cast<std::size_t>(index)], value, entity());
  ManagedObjectContext* context = m_context;
  if (!context) {
    detachedValues(m_values, entity()).attributes[static_cast<std::size_t>(index)] = std::move(checked);
    m_lostContextQueue.clear();  // the caller fills the record from here on
    return;
  }
  std::lock_guard lock(context->m_mutex);
  context->fireFault(*this);
  m_values.attributes[static_cast<std::size_t>(index)] = std::move(checked);
  markChanged(static_cast<std::size_t>(index));
}

void ManagedObject::markChanged(std::size_t property) {
  if (m_isInserted) return;  // a new record is written whole
  if (m_changed.size() != propertyCount()) m_changed.assign(propertyCount(), false);
  m_changed[property] = true;
  if (m_context) m_context.load()->noteUpdated(*this);
}

const std::vector<std::int64_t>& ManagedObject::relationshipKeys(int index) const {
  auto& keys = const_cast<ManagedObject*>(this)->m_values.relationships[static_cast<std::size_t>(index)];
  if (!keys) keys = m_context.load() ? m_context.load()->loadToMany(*this, index) : std::vector<std::int64_t>();
  return *keys;
}

void ManagedObject::setRelationshipKeys(int index, std::vector<std::int64_t> keys) {
  m_values.relationships[static_cast<std::size_t>(index)] = std::move(keys);
  markChanged(m_values.attributes.size() + static_cast<std::size_t>(index));
}

fnd::Ref<fnd::Object> ManagedObject::valueForKey(std::string_view key) const {
  int attribute = entity().attributeIndex(key);
  if (attribute >= 0) return attributeValue(attribute);
  int relationship = entity().relationshipIndex(key);
  if (relationship < 0) throwUnknownKey(entity(), key);
  const RelationshipDescription& description = entity().relationships()[static_cast<std::size_t>(relationship)];
  ManagedObjectContext* context = m_context;
  if (!context) {
    checkReadable(key);
    return {};
  }
  std::vector<std::int64_t> keys;
  {
    std::lock_guard lock(context->m_mutex);
    context->fireFault(const_cast<ManagedObject&>(*this));
    keys = relationshipKeys(relationship);
  }
  if (!description.isToMany) {
    if (keys.empty()) return {};
    return context->objectWithID(ObjectID{description.destinationEntity, keys.front()});
  }
  auto objects = fnd::ObjectArray::createMutable();
  for (std::int64_t destination : keys) {
    objects->addObject(context->objectWithID(ObjectID{description.destinationEntity, destination}).get());
  }
  return objects->copy();
}

void ManagedObject::setValueForKey(fnd::Object* value, std::string_view key) {
  int attribute = entity().attributeIndex(key);
  if (attribute >= 0) {
    setAttributeValue(attribute, value);
    return;
  }
  int relationship = entity().relationshipIndex(key);
  if (relationship < 0) throwUnknownKey(entity(), key);
  const RelationshipDescription& description = entity().relationships()[static_cast<std::size_t>(relationship)];
  auto keyOf = [&](fnd::Object* object) {
    auto* record = dynamic_cast<ManagedObject*>(object);
    if (!record || &record->entity() != description.destinationEntity) {
      throw fnd::Exception(fnd::Exception::Kind::InvalidArgument,
                           fnd::formatString("Unacceptable type of value for to-%s relationship: property = \"%s\"",
                                             description.isToMany ? "many" : "one", description.name.c_str()));
    }
    return record->objectID().key;
  };
  std::vector<std::int64_t> keys;
  if (value && value->kind() == fnd::ObjectKind::Array && description.isToMany) {
    for (fnd::Object* element : *static_cast<fnd::Array*>(value)) keys.push_back(keyOf(element));
  } else if (value && value->kind() != fnd::ObjectKind::Null) {
    if (description.isToMany) keyOf(nullptr);
    keys.push_back(keyOf(value));
  }
  ManagedObjectContext* context = m_context;
  if (!context) {
    detachedValues(m_values, entity()).relationships[static_cast<std::size_t>(relationship)] = std::move(keys);
    m_lostContextQueue.clear();
    return;
  }
  std::lock_guard lock(context->m_mutex);
  context->fireFault(*this);
  setRelationshipKeys(relationship, std::move(keys));
}

void ManagedObject::addObjectToRelationship(ManagedObject& object, std::string_view relationship) {
  fnd::Ref<fnd::Object> current = valueForKey(relationship);
  auto objects = current && current->kind() == fnd::ObjectKind::Array
                     ? fnd::ObjectArray::createWithArray(static_cast<fnd::Array&>(*current), true)
                     : fnd::ObjectArray::createMutable();
  if (!objects->containsObject(object)) objects->addObject(&object);
  setValueForKey(objects.get(), relationship);
}

void ManagedObject::removeObjectFromRelationship(ManagedObject& object, std::string_view relationship) {
  fnd::Ref<fnd::Object> current = valueForKey(relationship);
  if (!current || current->kind() != fnd::ObjectKind::Array) return;
  auto objects = fnd::ObjectArray::createMutable();
  for (fnd::Object* element : static_cast<fnd::Array&>(*current)) {
    if (element != &object) objects->addObject(element);
  }
  setValueForKey(objects.get(), relationship);
}

bool ManagedObject::readState(bool ManagedObject::*flag, bool whenDetached) const {
  ManagedObjectContext* context = m_context;
  if (!context) return whenDetached;
  std::lock_guard lock(context->m_mutex);
  return this->*flag;
}

bool ManagedObject::isInserted() const { return readState(&ManagedObject::m_isInserted, false); }
bool ManagedObject::isUpdated() const { return readState(&ManagedObject::m_isUpdated, false); }
bool ManagedObject::isDeleted() const { return readState(&ManagedObject::m_isDeleted, m_isDeleted); }
bool ManagedObject::isFault() const { return readState(&ManagedObject::m_isFault, false); }

bool ManagedObject::hasChanges() const { return isInserted() || isUpdated() || (m_context && isDeleted()); }

std::string ManagedObject::description() const {
  std::string text = "<" + entity().name() + ": " + m_id.uriRepresentation() + ">";
  if (isFault()) return text + " (fault)";
  if (!m_context && !m_lostContextQueue.empty()) return text + " (fault of an ended context)";
  text += " {";
  for (std::size_t i = 0; i < entity().attributes().size(); ++i) {
    fnd::Ref<fnd::Object> value = attributeValue(static_cast<int>(i));
    text += (i ? "; " : " ") + entity().attributes()[i].name + " = " + (value ? value->description() : "nil");
  }
  return text + " }";
}

std::string ObjectID::uriRepresentation() const {
  return entity ? "x-rp-store://" + entity->name() + "/p" + std::to_string(key) : std::string("x-rp-store://none");
}

}  // namespace objectstore
