#pragma once
// The object model: entities with typed attributes and relationships, each
// carrying a user-info dictionary. Build a model once, then share it; a
// finished model is immutable and may be read from any thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/containers.h"

namespace objectstore {

class ManagedObject;
class EntityDescription;

enum class AttributeType : std::uint8_t { String, Integer16, Integer32, Integer64, Double, Boolean, Date, Binary };

struct AttributeDescription {
  std::string name;
  AttributeType type = AttributeType::String;
  bool isOptional = true;
  fnd::Ref<fnd::Object> defaultValue;  // read by a new record; null for none
  bool isIndexed = false;              // plain index on the column
  bool isIndexedForSearch = false;     // index on the case- and diacritic-folded text
  fnd::Ref<fnd::Dictionary> userInfo;  // never null once added to an entity
};

struct RelationshipDescription {
  std::string name;
  std::string destinationEntityName;
  std::string inverseName;
  bool isToMany = false;
  bool isOrdered = false;
  bool isOptional = true;
  fnd::Ref<fnd::Dictionary> userInfo;                    // never null once added to an entity
  const EntityDescription* destinationEntity = nullptr;  // resolved when the model is finished
};

using InstanceFactory = std::function<ManagedObject*()>;

class EntityDescription {
 public:
  explicit EntityDescription(std::string name) : m_name(std::move(name)) {}
  const std::string& name() const noexcept { return m_name; }
  const std::vector<AttributeDescription>& attributes() const noexcept { return m_attributes; }
  const std::vector<RelationshipDescription>& relationships() const noexcept { return m_relationships; }
  const fnd::Ref<fnd::Dictionary>& userInfo() const noexcept { return m_userInfo; }
  // Index among the attributes, or -1.
  int attributeIndex(std::string_view name) const noexcept;
  int relationshipIndex(std::string_view name) const noexcept;
  const AttributeDescription* attributeNamed(std::string_view name) const noexcept;
  const RelationshipDescription* relationshipNamed(std::string_view name) const noexcept;
  // A new, unregistered instance of the record class (ManagedObject by default).
  fnd::Ref<ManagedObject> newInstance() const;
  // Stable hash of the entity's name, attributes (name, type, optionality) and relationships.
  std::string versionHash() const;

  EntityDescription& addAttribute(AttributeDescription attribute);
  EntityDescription& addRelationship(RelationshipDescription relationship);
  EntityDescription& setUserInfo(fnd::Ref<fnd::Dictionary> userInfo);
  EntityDescription& setInstanceFactory(InstanceFactory factory);
  // Index of the model that holds this entity.
  std::size_t indexInModel() const noexcept { return m_indexInModel; }

 private:
  friend class ManagedObjectModel;
  std::string m_name;
  std::vector<AttributeDescription> m_attributes;
  std::vector<RelationshipDescription> m_relationships;
  fnd::Ref<fnd::Dictionary> m_userInfo;
  InstanceFactory m_factory;
  std::size_t m_indexInModel = 0;
};

class ManagedObjectModel {
 public:
  ManagedObjectModel() = default;
  ManagedObjectModel(const ManagedObjectModel&) = delete;
  ManagedObjectModel& operator=(const ManagedObjectModel&) = delete;

  // Adds an entity; REQUIRES: the model is not finished and the name is new.
  EntityDescription& addEntity(std::string name);
  // Resolves relationship destinations; throws InvalidArgument for an unknown one.
  void finish();
  bool isFinished() const noexcept { return m_finished; }

  const std::vector<std::unique_ptr<EntityDescription>>& entities() const noexcept { return m_entities; }
  const EntityDescription* entityNamed(std::string_view name) const noexcept;
  // Entity name -> version hash of that entity.
  std::vector<std::pair<std::string, std::string>> entityVersionHashesByName() const;
  std::string versionHash() const;

  // The union of several finished models' entities (copies; entity names must not repeat).
  static std::shared_ptr<ManagedObjectModel> merged(
      const std::vector<std::shared_ptr<const ManagedObjectModel>>& models);

 private:
  std::vector<std::unique_ptr<EntityDescription>> m_entities;
  bool m_finished = false;
};

// Human-readable name of an attribute type, as kept in the store's schema record.
const char* attributeTypeName(AttributeType type) noexcept;

}  // namespace objectstore
