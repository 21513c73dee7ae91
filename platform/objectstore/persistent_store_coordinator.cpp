#include "platform/objectstore/persistent_store_coordinator.h"

#include <algorithm>

#include "platform/foundation/number.h"
#include "platform/objectstore/sqlite_store.h"

namespace objectstore {

PersistentStore::PersistentStore(std::string type, std::string path, fnd::Ref<fnd::Dictionary> options,
                                 std::unique_ptr<SqliteStore> store)
    : m_type(std::move(type)), m_path(std::move(path)), m_options(std::move(options)), m_store(std::move(store)) {}

PersistentStore::~PersistentStore() = default;

PersistentStoreCoordinator::PersistentStoreCoordinator(std::shared_ptr<const ManagedObjectModel> model)
    : m_model(std::move(model)), m_nextKeys(m_model->entities().size(), 1) {}

namespace {

bool optionIsOn(const fnd::Dictionary* options, std::string_view key) {
  if (!options) return false;
  const fnd::Object* value = options->objectForKey(key);
  return value && value->kind() == fnd::ObjectKind::Number && static_cast<const fnd::Number*>(value)->boolValue();
}

}  // namespace

std::shared_ptr<PersistentStore> PersistentStoreCoordinator::addPersistentStore(std::string_view type,
                                                                                const std::string& path,
                                                                                fnd::Ref<fnd::Dictionary> options,
                                                                                std::optional<fnd::Error>* error) {
  bool inMemory = type == kInMemoryStoreType;
  if (!inMemory && (type != kSQLiteStoreType || path.empty())) {
    if (error) {
      *error = fnd::Error::withDescription(kCocoaErrorDomain, kPersistentStoreOpenError,
                                           "Unsupported store type or missing location: " + std::string(type));
    }
    return nullptr;
  }
  bool migrate = optionIsOn(options.get(), kMigratePersistentStoresAutomaticallyOption) &&
                 optionIsOn(options.get(), kInferMappingModelAutomaticallyOption);
  std::unique_ptr<SqliteStore> storage = SqliteStore::open(inMemory ? std::string() : path, m_model, migrate, error);
  if (!storage) return nullptr;
  std::lock_guard lock(m_mutex);
  for (const auto& entity : m_model->entities()) {
    std::int64_t& next = m_nextKeys[entity->indexInModel()];
    next = std::max(next, storage->maximumKey(*entity) + 1);
  }
  auto store = std::make_shared<PersistentStore>(std::string(type), inMemory ? std::string() : path, std::move(options),
                                                 std::move(storage));
  m_stores.push_back(store);
  return store;
}

bool PersistentStoreCoordinator::removePersistentStore(const std::shared_ptr<PersistentStore>& store) {
  std::lock_guard lock(m_mutex);
  auto found = std::find(m_stores.begin(), m_stores.end(), store);
  if (found == m_stores.end()) return false;
  m_stores.erase(found);
  return true;
}

std::vector<std::shared_ptr<PersistentStore>> PersistentStoreCoordinator::persistentStores() const {
  std::lock_guard lock(m_mutex);
  return m_stores;
}

std::shared_ptr<PersistentStore> PersistentStoreCoordinator::primaryStore() const {
  std::lock_guard lock(m_mutex);
  return m_stores.empty() ? nullptr : m_stores.front();
}

ObjectID PersistentStoreCoordinator::newObjectID(const EntityDescription& entity) {
  std::lock_guard lock(m_mutex);
  return ObjectID{&entity, m_nextKeys[entity.indexInModel()]++};
}

}  // namespace objectstore
