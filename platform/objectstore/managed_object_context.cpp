#include "platform/objectstore/managed_object_context.h"

#include <algorithm>

#include "platform/dispatch/main_thread.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/object_array.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/objectstore/context_chain.h"
#include "platform/objectstore/sqlite_store.h"

namespace objectstore {

namespace {

constexpr std::string_view kSavedChangesKey = "savedChanges";

// The saved values carried by a did-save notification, so that a merge reads
// copies rather than the saving context's objects.
class SavedChanges final : public fnd::Object {
 public:
  std::vector<std::pair<ObjectID, RecordValues>> updated;
  std::vector<ObjectID> deleted;
};

RecordValues initialValues(const EntityDescription& entity) {
  RecordValues values;
  values.attributes.reserve(entity.attributes().size());
  for (const AttributeDescription& attribute : entity.attributes()) values.attributes.push_back(attribute.defaultValue);
  values.relationships.assign(entity.relationships().size(), std::vector<std::int64_t>());
  return values;
}

fnd::Ref<fnd::Array> arrayOf(const std::vector<ManagedObjectRef>& objects) {
  auto array = fnd::ObjectArray::createMutable();
  for (const ManagedObjectRef& object : objects) array->addObject(object.get());
  return array;
}

}  // namespace

std::shared_ptr<ManagedObjectContext> ManagedObjectContext::create(ConcurrencyType type) {
  return std::shared_ptr<ManagedObjectContext>(new ManagedObjectContext(type));
}

ManagedObjectContext::ManagedObjectContext(ConcurrencyType type) : m_type(type) {
  if (type == ConcurrencyType::PrivateQueue) {
    m_queue = std::make_unique<dispatch::BlockThread>("objectstore.context");
  }
}

ManagedObjectContext::~ManagedObjectContext() {
  std::lock_guard lock(m_mutex);
  detachRegisteredObjects();
}

void ManagedObjectContext::detachRegisteredObjects() {
  const std::string queue = m_queue ? "queue \"" + m_queue->name() + "\"" : std::string("the main thread");
  for (auto& [id, object] : m_registered) {
    // Written before the context is cleared: a reader that finds no context finds this too.
    if (object->m_isFault) object->m_lostContextQueue = queue;
    object->m_context = nullptr;
  }
}

std::string ManagedObjectContext::name() const {
  std::lock_guard lock(m_mutex);
  return m_name;
}

void ManagedObjectContext::setName(std::string name) {
  std::lock_guard lock(m_mutex);
  m_name = std::move(name);
}

MergePolicy ManagedObjectContext::mergePolicy() const {
  std::lock_guard lock(m_mutex);
  return m_mergePolicy;
}

void ManagedObjectContext::setMergePolicy(MergePolicy policy) {
  std::lock_guard lock(m_mutex);
  m_mergePolicy = policy;
}

void ManagedObjectContext::setHandsRecordsOverOnSave(bool handsOver) {
  std::lock_guard lock(m_mutex);
  m_handsRecordsOverOnSave = handsOver;
}

std::shared_ptr<ManagedObjectContext> ManagedObjectContext::parentContext() const {
  std::lock_guard lock(m_mutex);
  return m_parent;
}

void ManagedObjectContext::setParentContext(std::shared_ptr<ManagedObjectContext> parent) {
  for (ManagedObjectContext* ancestor = parent.get(); ancestor; ancestor = ancestor->parentContext().get()) {
    if (ancestor == this) {
      throw fnd::Exception(fnd::Exception::Kind::InvalidArgument, "A context cannot be its own ancestor.");
    }
  }
  std::lock_guard lock(m_mutex);
  m_parent = std::move(parent);
}

std::shared_ptr<PersistentStoreCoordinator> ManagedObjectContext::persistentStoreCoordinator() const {
  std::lock_guard lock(m_mutex);
  if (m_coordinator || !m_parent) return m_coordinator;
  return m_parent->persistentStoreCoordinator();
}

void ManagedObjectContext::setPersistentStoreCoordinator(std::shared_ptr<PersistentStoreCoordinator> coordinator) {
  std::lock_guard lock(m_mutex);
  m_coordinator = std::move(coordinator);
}

void ManagedObjectContext::performBlock(dispatch::Block block) {
  if (m_queue) {
    m_queue->perform(std::move(block), false);
  } else {
    dispatch::performOnMainThread(std::move(block), false);
  }
}

void ManagedObjectContext::performBlockAndWait(const dispatch::Block& block) {
  if (m_queue) {
    m_queue->perform(block, true);
  } else {
    dispatch::performOnMainThread(block, true);
  }
}

bool ManagedObjectContext::isOnOwnQueue() const { return m_queue ? m_queue->isCurrent() : dispatch::isMainThread(); }

const EntityDescription* ManagedObjectContext::entityNamed(std::string_view name) const {
  std::shared_ptr<PersistentStoreCoordinator> coordinator = persistentStoreCoordinator();
  return coordinator ? coordinator->managedObjectModel()->entityNamed(name) : nullptr;
}

ManagedObjectRef ManagedObjectContext::insertNewObject(std::string_view entityName) {
  std::shared_ptr<PersistentStoreCoordinator> coordinator = persistentStoreCoordinator();
  const EntityDescription* entity = coordinator ? coordinator->managedObjectModel()->entityNamed(entityName) : nullptr;
  if (!entity) {
    throw fnd::Exception(fnd::Exception::Kind::InvalidArgument,
                         fnd::formatString("+entityForName: could not locate an entity named '%.*s' in this model.",
                                           static_cast<int>(entityName.size()), entityName.data()));
  }
  ObjectID id = coordinator->newObjectID(*entity);
  RecordValues values = initialValues(*entity);
  std::lock_guard lock(m_mutex);
  ManagedObjectRef object = registerObject(id, &values);
  object->m_isInserted = true;
  m_inserted.push_back(object);
  return handOut(std::move(object));
}

ManagedObjectRef ManagedObjectContext::handOut(ManagedObjectRef object) {
  if (object) object->m_handedOut = true;
  return object;
}

std::vector<ManagedObjectRef> ManagedObjectContext::handOut(std::vector<ManagedObjectRef> objects) {
  for (const ManagedObjectRef& object : objects) object->m_handedOut = true;
  return objects;
}

ManagedObjectRef ManagedObjectContext::registeredObject(const ObjectID& id) const {
  auto found = m_registered.find(id);
  return found == m_registered.end() ? nullptr : found->second;
}

ManagedObjectRef ManagedObjectContext::registerObject(const ObjectID& id, RecordValues* values) {
  ManagedObjectRef object = id.entity->newInstance();
  object->m_id = id;
  object->m_context = this;
  if (values) {
    object->m_values = std::move(*values);
  } else {
    object->m_isFault = true;
  }
  m_registered.emplace(id, object);
  return object;
}

void ManagedObjectContext::deleteObject(ManagedObject& object) {
  std::lock_guard lock(m_mutex);
  if (object.m_context != this || object.m_isDeleted) return;
  if (object.m_isInserted) {
    // A record that never left this context simply disappears.
    object.m_isInserted = false;
    object.m_context = nullptr;
    std::erase_if(m_inserted, [&](const ManagedObjectRef& inserted) { return inserted.get() == &object; });
    m_registered.erase(object.m_id);
    return;
  }
  m_updated.erase(&object);
  object.m_isUpdated = false;
  object.m_isDeleted = true;
  m_deleted.emplace_back(&object);
}

ManagedObjectRef ManagedObjectContext::objectWithID(const ObjectID& id) {
  std::lock_guard lock(m_mutex);
  ManagedObjectRef object = registeredObject(id);
  return handOut(object ? std::move(object) : registerObject(id, nullptr));
}

ManagedObjectRef ManagedObjectContext::existingObjectWithID(const ObjectID& id, std::optional<fnd::Error>* error) {
  std::lock_guard lock(m_mutex);
  ManagedObjectRef object = registeredObject(id);
  if (object && !object->m_isFault && !object->m_isDeleted) return handOut(std::move(object));
  std::optional<RecordValues> values = object && object->m_isDeleted ? std::nullopt : valuesFromAncestors(id);
  if (!values) {
    if (error) {
      *error = fnd::Error::withDescription(kCocoaErrorDomain, 133000,
                                           "The record " + id.uriRepresentation() + " does not exist.");
    }
    return nullptr;
  }
  if (object) {
    fillFault(*object, std::move(values));
    return handOut(std::move(object));
  }
  return handOut(registerObject(id, &*values));
}

bool ManagedObjectContext::obtainPermanentIDsForObjects(const std::vector<ManagedObjectRef>&,
                                                        std::optional<fnd::Error>*) {
  return true;
}

ManagedObjectContext::AncestorRecord ManagedObjectContext::ancestorRecord(const ObjectID& id,
                                                                          RecordValues* values) const {
  std::shared_ptr<ManagedObjectContext> parent = m_parent;
  while (parent) {
    std::lock_guard lock(parent->m_mutex);
    if (ManagedObjectRef object = parent->registeredObject(id)) {
      if (object->m_isDeleted) return AncestorRecord::Deleted;
      if (!object->m_isFault) {
        *values = object->m_values;
        return AncestorRecord::Held;
      }
    }
    parent = parent->m_parent;
  }
  return AncestorRecord::NotHeld;
}

std::shared_ptr<PersistentStore> ManagedObjectContext::primaryStore() const {
  std::shared_ptr<PersistentStoreCoordinator> coordinator = persistentStoreCoordinator();
  return coordinator ? coordinator->primaryStore() : nullptr;
}

std::optional<RecordValues> ManagedObjectContext::valuesFromAncestors(const ObjectID& id) const {
  RecordValues values;
  switch (ancestorRecord(id, &values)) {
    case AncestorRecord::Held:
      return values;
    case AncestorRecord::Deleted:
      return std::nullopt;
    case AncestorRecord::NotHeld:
      break;
  }
  std::shared_ptr<PersistentStore> store = primaryStore();
  return store ? store->storage().fetchRow(*id.entity, id.key) : std::nullopt;
}

void ManagedObjectContext::fillFault(ManagedObject& object, std::optional<RecordValues> values) {
  // A record deleted elsewhere reads as empty rather than failing the caller.
  object.m_values = values ? std::move(*values) : initialValues(*object.m_id.entity);
  if (!values) std::fill(object.m_values.attributes.begin(), object.m_values.attributes.end(), nullptr);
  object.m_isFault = false;
  object.m_faultGroup.reset();
}

void ManagedObjectContext::fireFault(ManagedObject& object) const {
  if (!object.m_isFault) return;
  if (object.m_faultGroup) {
    fireFaultBatch(object);
  } else {
    fillFault(object, valuesFromAncestors(object.m_id));
  }
}

void ManagedObjectContext::fireFaultBatch(ManagedObject& object) const {
  std::shared_ptr<const FaultGroup> group = object.m_faultGroup;
  const EntityDescription& entity = *object.m_id.entity;
  const std::size_t first = object.m_faultIndex / group->batchSize * group->batchSize;
  const std::size_t end = std::min(group->keys.size(), first + group->batchSize);
  // The batch's records still waiting for the store, by key.
  std::unordered_map<std::int64_t, ManagedObject*> waiting;
  for (std::size_t i = first; i < end; ++i) {
    ManagedObjectRef member = registeredObject(ObjectID{&entity, group->keys[i]});
    if (!member || !member->m_isFault || member->m_faultGroup != group) continue;
    RecordValues values;
    switch (ancestorRecord(member->m_id, &values)) {
      case AncestorRecord::Held:
        fillFault(*member, std::move(values));
        break;
      case AncestorRecord::Deleted:
        fillFault(*member, std::nullopt);
        break;
      case AncestorRecord::NotHeld:
        waiting.emplace(member->m_id.key, member.get());
        break;
    }
  }
  std::shared_ptr<PersistentStore> store = primaryStore();
  if (store && !waiting.empty()) {
    std::vector<std::int64_t> keys;
    for (const auto& [key, member] : waiting) keys.push_back(key);
    for (StoredRow& row : store->storage().fetchRowsWithKeys(entity, keys)) {
      auto found = waiting.find(row.key);
      if (found == waiting.end()) continue;
      fillFault(*found->second, std::move(row.values));
      waiting.erase(found);
    }
  }
  for (auto& [key, member] : waiting) fillFault(*member, std::nullopt);
}

std::vector<std::int64_t> ManagedObjectContext::loadToMany(const ManagedObject& object, int relationship) const {
  std::shared_ptr<ManagedObjectContext> parent = m_parent;
  const auto index = static_cast<std::size_t>(relationship);
  while (parent) {
    std::lock_guard lock(parent->m_mutex);
    ManagedObjectRef ancestor = parent->registeredObject(object.m_id);
    if (ancestor && !ancestor->m_isFault && ancestor->m_values.relationships[index]) {
      return *ancestor->m_values.relationships[index];
    }
    parent = parent->m_parent;
  }
  std::shared_ptr<PersistentStore> store = primaryStore();
  return store ? store->storage().fetchRelationship(*object.m_id.entity, relationship, object.m_id.key)
               : std::vector<std::int64_t>();
}

void ManagedObjectContext::noteUpdated(ManagedObject& object) {
  if (object.m_isInserted || object.m_isDeleted) return;
  object.m_isUpdated = true;
  m_updated.insert(&object);
}

bool ManagedObjectContext::hasChanges() const {
  std::lock_guard lock(m_mutex);
  return !m_inserted.empty() || !m_updated.empty() || !m_deleted.empty();
}

std::vector<ManagedObjectRef> ManagedObjectContext::insertedObjects() const {
  std::lock_guard lock(m_mutex);
  return handOut(m_inserted);
}

std::vector<ManagedObjectRef> ManagedObjectContext::updatedObjects() const {
  std::lock_guard lock(m_mutex);
  std::vector<ManagedObjectRef> objects;
  for (ManagedObject* object : m_updated) objects.emplace_back(object);
  return handOut(std::move(objects));
}

std::vector<ManagedObjectRef> ManagedObjectContext::deletedObjects() const {
  std::lock_guard lock(m_mutex);
  return handOut(m_deleted);
}

std::size_t ManagedObjectContext::registeredObjectCount() const {
  std::lock_guard lock(m_mutex);
  return m_registered.size();
}

bool ManagedObjectContext::canHandOver(const ManagedObject& object) const {
  // Registered and listed once among the changes, so nobody holds it now; and
  // either no caller ever had it, or this context is dropped after the save.
  return (m_handsRecordsOverOnSave || !object.m_handedOut) && object.retainCount() == 2;
}

void ManagedObjectContext::handOver(ManagedObject& object, ManagedObjectContext& parent) {
  m_registered.erase(object.m_id);
  object.m_context = &parent;
  object.m_handedOut = false;
  object.m_faultGroup.reset();
  parent.m_registered.emplace(object.m_id, ManagedObjectRef(&object));
}

bool ManagedObjectContext::pushChangesToParent(ManagedObjectContext& parent) {
  parent.m_registered.reserve(parent.m_registered.size() + m_inserted.size() + m_updated.size() + m_deleted.size());
  for (const ManagedObjectRef& object : m_inserted) {
    if (canHandOver(*object)) {
      // The parent takes the object itself instead of a copy.
      handOver(*object, parent);
      parent.m_inserted.push_back(object);
      continue;
    }
    // The parent takes the values over; this context's record reads them back
    // from the parent when next used.
    ManagedObjectRef copy = parent.registerObject(object->m_id, &object->m_values);
    object->m_values = RecordValues();
    object->m_isFault = true;
    copy->m_isInserted = true;
    parent.m_inserted.push_back(copy);
  }
  for (ManagedObject* object : m_updated) {
    ManagedObjectRef target = parent.registeredObject(object->m_id);
    if (!target) target = parent.registerObject(object->m_id, nullptr);
    parent.fireFault(*target);
    for (std::size_t property = 0; property < object->m_changed.size(); ++property) {
      if (!object->m_changed[property]) continue;
      std::size_t attributeCount = object->m_values.attributes.size();
      if (property < attributeCount) {
        target->m_values.attributes[property] = object->m_values.attributes[property];
      } else {
        target->m_values.relationships[property - attributeCount] =
            object->m_values.relationships[property - attributeCount];
      }
      if (target->m_changed.size() != target->propertyCount()) target->m_changed.assign(target->propertyCount(), false);
      target->m_changed[property] = true;
    }
    parent.noteUpdated(*target);
  }
  for (const ManagedObjectRef& object : m_deleted) {
    ManagedObjectRef target = parent.registeredObject(object->m_id);
    if (!target && canHandOver(*object)) {
      // The parent never registered the record, so it cannot be pending there.
      handOver(*object, parent);
      parent.m_deleted.push_back(object);
      continue;
    }
    if (!target) target = parent.registerObject(object->m_id, nullptr);
    parent.deleteObject(*target);
  }
  return true;
}

bool ManagedObjectContext::writeChangesToStore(std::optional<fnd::Error>* error) {
  std::shared_ptr<PersistentStore> store = m_coordinator ? m_coordinator->primaryStore() : nullptr;
  if (!store) {
    if (error) {
      *error = fnd::Error::withDescription(kCocoaErrorDomain, kPersistentStoreCoordinatorNoStoresError,
                                           "This coordinator has no persistent stores. It cannot perform a save "
                                           "operation.");
    }
    return false;
  }
  std::vector<StoreChange> changes;
  changes.reserve(m_inserted.size() + m_updated.size() + m_deleted.size());
  // The store reads the values in place: this context stays locked until it is done.
  for (const ManagedObjectRef& object : m_deleted)
    changes.push_back({StoreChange::Kind::Delete, object->m_id, nullptr, nullptr});
  for (const ManagedObjectRef& object : m_inserted) {
    changes.push_back({StoreChange::Kind::Insert, object->m_id, &object->m_values, nullptr});
  }
  for (ManagedObject* object : m_updated) {
    changes.push_back({StoreChange::Kind::Update, object->m_id, &object->m_values, &object->m_changed});
  }
  return store->storage().save(changes, error);
}

fnd::Ref<fnd::Dictionary> ManagedObjectContext::didSaveUserInfo() const {
  std::vector<ManagedObjectRef> updated;
  auto changes = fnd::makeRef<SavedChanges>();
  // New records need no values here: no other context can hold them yet.
  for (ManagedObject* object : m_updated) {
    updated.emplace_back(object);
    changes->updated.emplace_back(object->m_id, object->m_values);
  }
  for (const ManagedObjectRef& object : m_deleted) changes->deleted.push_back(object->m_id);
  auto userInfo = fnd::ObjectDictionary::createMutable();
  // Observers get the records themselves.
  userInfo->setObject(arrayOf(handOut(m_inserted)).get(), kInsertedObjectsKey);
  userInfo->setObject(arrayOf(handOut(std::move(updated))).get(), kUpdatedObjectsKey);
  userInfo->setObject(arrayOf(handOut(m_deleted)).get(), kDeletedObjectsKey);
  userInfo->setObject(changes.get(), kSavedChangesKey);
  return userInfo;
}

void ManagedObjectContext::forgetSavedObjects() {
  // Records nobody holds are let go and read again when asked for; the ones
  // just saved stay registered until the next save.
  std::erase_if(m_registered, [](const auto& entry) {
    if (entry.second->retainCount() != 1 || entry.second->m_isUpdated) return false;
    entry.second->m_context = nullptr;
    return true;
  });
  // Records handed over to the parent belong to it now, flags and all.
  for (const ManagedObjectRef& object : m_inserted) {
    if (object->m_context != this) continue;
    object->m_isInserted = false;
    object->m_changed.clear();
  }
  for (ManagedObject* object : m_updated) {
    object->m_isUpdated = false;
    object->m_changed.clear();
  }
  for (const ManagedObjectRef& object : m_deleted) {
    if (object->m_context != this) continue;
    m_registered.erase(object->m_id);
    object->m_context = nullptr;
  }
  m_inserted.clear();
  m_updated.clear();
  m_deleted.clear();
  // Of the records just saved, those no caller ever had go too: a list of
  // 100,000 records pushed up and saved in bulk must not stay in memory
  // until the next save.
  std::erase_if(m_registered, [](const auto& entry) {
    if (entry.second->retainCount() != 1 || entry.second->m_handedOut) return false;
    entry.second->m_context = nullptr;
    return true;
  });
}

bool ManagedObjectContext::save(std::optional<fnd::Error>* error) {
  fnd::NotificationCenter& center = fnd::NotificationCenter::defaultCenter();
  fnd::Ref<fnd::Dictionary> userInfo;
  {
    ChainLock lock(*this);
    if (m_inserted.empty() && m_updated.empty() && m_deleted.empty()) return true;
    if (!m_parent && !writeChangesToStore(error)) return false;
    if (m_parent) pushChangesToParent(*m_parent);
    // Lists of every saved record, so only put together for someone listening.
    if (center.isObserved(kContextDidSaveNotification, this)) userInfo = didSaveUserInfo();
    forgetSavedObjects();
  }
  if (userInfo) center.post(kContextDidSaveNotification, this, std::move(userInfo));
  return true;
}

void ManagedObjectContext::reset() {
  std::lock_guard lock(m_mutex);
  detachRegisteredObjects();
  m_registered.clear();
  m_inserted.clear();
  m_updated.clear();
  m_deleted.clear();
}

void ManagedObjectContext::mergeChangesFromContextDidSaveNotification(const fnd::Notification& notification) {
  if (!notification.userInfo) return;
  auto* changes = dynamic_cast<const SavedChanges*>(notification.userInfo->objectForKey(kSavedChangesKey));
  if (!changes) return;
  std::lock_guard lock(m_mutex);
  for (const auto& [id, values] : changes->updated) {
    ManagedObjectRef object = registeredObject(id);
    if (!object || object->m_isFault || object->m_isDeleted) continue;
    // Values changed here and not yet saved win over the merged ones.
    std::size_t attributeCount = values.attributes.size();
    for (std::size_t property = 0; property < object->propertyCount(); ++property) {
      if (property < object->m_changed.size() && object->m_changed[property]) continue;
      if (property < attributeCount) {
        object->m_values.attributes[property] = values.attributes[property];
      } else if (values.relationships[property - attributeCount]) {
        object->m_values.relationships[property - attributeCount] = values.relationships[property - attributeCount];
      }
    }
  }
  for (const ObjectID& id : changes->deleted) {
    ManagedObjectRef object = registeredObject(id);
    if (!object) continue;
    m_updated.erase(object.get());
    std::erase_if(m_deleted, [&](const ManagedObjectRef& deleted) { return deleted == object; });
    object->m_isUpdated = false;
    object->m_isDeleted = true;
    object->m_context = nullptr;
    m_registered.erase(id);
  }
}

}  // namespace objectstore
