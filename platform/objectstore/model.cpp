#include "platform/objectstore/model.h"

#include <QCryptographicHash>

#include "platform/foundation/exception.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/objectstore/managed_object.h"

namespace objectstore {

const char* attributeTypeName(AttributeType type) noexcept {
  switch (type) {
    case AttributeType::String:
      return "string";
    case AttributeType::Integer16:
      return "int16";
    case AttributeType::Integer32:
      return "int32";
    case AttributeType::Integer64:
      return "int64";
    case AttributeType::Double:
      return "double";
    case AttributeType::Boolean:
      return "bool";
    case AttributeType::Date:
      return "date";
    case AttributeType::Binary:
      return "binary";
  }
  return "?";
}

namespace {

fnd::Ref<fnd::Dictionary> orEmpty(fnd::Ref<fnd::Dictionary> userInfo) {
  return userInfo ? std::move(userInfo) : fnd::Ref<fnd::Dictionary>(fnd::ObjectDictionary::create());
}

template <class Description>
int indexByName(const std::vector<Description>& descriptions, std::string_view name) {
  for (std::size_t i = 0; i < descriptions.size(); ++i) {
    if (descriptions[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

int EntityDescription::attributeIndex(std::string_view name) const noexcept { return indexByName(m_attributes, name); }

int EntityDescription::relationshipIndex(std::string_view name) const noexcept {
  return indexByName(m_relationships, name);
}

const AttributeDescription* EntityDescription::attributeNamed(std::string_view name) const noexcept {
  int index = attributeIndex(name);
  return index < 0 ? nullptr : &m_attributes[static_cast<std::size_t>(index)];
}

const RelationshipDescription* EntityDescription::relationshipNamed(std::string_view name) const noexcept {
  int index = relationshipIndex(name);
  return index < 0 ? nullptr : &m_relationships[static_cast<std::size_t>(index)];
}

fnd::Ref<ManagedObject> EntityDescription::newInstance() const {
  ManagedObject* object = m_factory ? m_factory() : new ManagedObject;
  return fnd::Ref<ManagedObject>::adopt(object);
}

std::string EntityDescription::versionHash() const {
  // Only what the stored schema depends on enters the hash, so that a change
  // of user info or indexing does not count as a new model version.
  std::string text = m_name;
  for (const AttributeDescription& attribute : m_attributes) {
    text += "|a:" + attribute.name + ':' + attributeTypeName(attribute.type) + (attribute.isOptional ? "?" : "!");
  }
  for (const RelationshipDescription& relationship : m_relationships) {
    text += "|r:" + relationship.name + ':' + relationship.destinationEntityName + (relationship.isToMany ? "*" : "1") +
            (relationship.isOrdered ? "o" : "");
  }
  return QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha256).toHex().toStdString();
}

EntityDescription& EntityDescription::addAttribute(AttributeDescription attribute) {
  if (attributeIndex(attribute.name) >= 0 || relationshipIndex(attribute.name) >= 0) {
    throw fnd::Exception(
        fnd::Exception::Kind::InvalidArgument,
        fnd::formatString("Entity %s already has a property named %s", m_name.c_str(), attribute.name.c_str()));
  }
  attribute.userInfo = orEmpty(std::move(attribute.userInfo));
  m_attributes.push_back(std::move(attribute));
  return *this;
}

EntityDescription& EntityDescription::addRelationship(RelationshipDescription relationship) {
  if (attributeIndex(relationship.name) >= 0 || relationshipIndex(relationship.name) >= 0) {
    throw fnd::Exception(
        fnd::Exception::Kind::InvalidArgument,
        fnd::formatString("Entity %s already has a property named %s", m_name.c_str(), relationship.name.c_str()));
  }
  relationship.userInfo = orEmpty(std::move(relationship.userInfo));
  if (relationship.isOrdered) relationship.isToMany = true;
  m_relationships.push_back(std::move(relationship));
  return *this;
}

EntityDescription& EntityDescription::setUserInfo(fnd::Ref<fnd::Dictionary> userInfo) {
  m_userInfo = orEmpty(std::move(userInfo));
  return *this;
}

EntityDescription& EntityDescription::setInstanceFactory(InstanceFactory factory) {
  m_factory = std::move(factory);
  return *this;
}

EntityDescription& ManagedObjectModel::addEntity(std::string name) {
  if (m_finished) {
    throw fnd::Exception(fnd::Exception::Kind::InternalInconsistency, "Can't modify an immutable model.");
  }
  if (entityNamed(name)) {
    throw fnd::Exception(fnd::Exception::Kind::InvalidArgument,
                         fnd::formatString("The model already has an entity named %s", name.c_str()));
  }
  auto entity = std::make_unique<EntityDescription>(std::move(name));
  entity->m_userInfo = fnd::ObjectDictionary::create();
  entity->m_indexInModel = m_entities.size();
  m_entities.push_back(std::move(entity));
  return *m_entities.back();
}

void ManagedObjectModel::finish() {
  for (auto& entity : m_entities) {
    for (RelationshipDescription& relationship : entity->m_relationships) {
      relationship.destinationEntity = entityNamed(relationship.destinationEntityName);
      if (!relationship.destinationEntity) {
        throw fnd::Exception(
            fnd::Exception::Kind::InvalidArgument,
            fnd::formatString("Relationship %s.%s has an unknown destination entity %s", entity->name().c_str(),
                              relationship.name.c_str(), relationship.destinationEntityName.c_str()));
      }
    }
  }
  m_finished = true;
}

const EntityDescription* ManagedObjectModel::entityNamed(std::string_view name) const noexcept {
  for (const auto& entity : m_entities) {
    if (entity->name() == name) return entity.get();
  }
  return nullptr;
}

std::vector<std::pair<std::string, std::string>> ManagedObjectModel::entityVersionHashesByName() const {
  std::vector<std::pair<std::string, std::string>> hashes;
  for (const auto& entity : m_entities) hashes.emplace_back(entity->name(), entity->versionHash());
  return hashes;
}

std::string ManagedObjectModel::versionHash() const {
  std::string text;
  for (const auto& [name, hash] : entityVersionHashesByName()) text += name + '=' + hash + ';';
  return QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha256).toHex().toStdString();
}

std::shared_ptr<ManagedObjectModel> ManagedObjectModel::merged(
    const std::vector<std::shared_ptr<const ManagedObjectModel>>& models) {
  auto result = std::make_shared<ManagedObjectModel>();
  for (const auto& model : models) {
    for (const auto& entity : model->entities()) {
      EntityDescription& copy = result->addEntity(entity->name());
      copy.m_attributes = entity->m_attributes;
      copy.m_relationships = entity->m_relationships;
      copy.m_userInfo = entity->m_userInfo;
      copy.m_factory = entity->m_factory;
    }
  }
  result->finish();
  return result;
}

}  // namespace objectstore
