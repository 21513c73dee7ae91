#pragma once
// PersistentStoreCoordinator: joins a model to its store and hands out the
// permanent keys of new records. Thread-safe.
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/foundation/containers.h"
#include "platform/foundation/error.h"
#include "platform/objectstore/object_id.h"

namespace objectstore {

class SqliteStore;

inline constexpr std::string_view kSQLiteStoreType = "SQLite";
inline constexpr std::string_view kInMemoryStoreType = "InMemory";
inline constexpr std::string_view kMigratePersistentStoresAutomaticallyOption =
    "NSMigratePersistentStoresAutomaticallyOption";
inline constexpr std::string_view kInferMappingModelAutomaticallyOption = "NSInferMappingModelAutomaticallyOption";

// One store attached to a coordinator.
class PersistentStore {
 public:
  PersistentStore(std::string type, std::string path, fnd::Ref<fnd::Dictionary> options,
                  std::unique_ptr<SqliteStore> store);
  ~PersistentStore();
  const std::string& type() const noexcept { return m_type; }
  // The file path; empty for an in-memory store.
  const std::string& path() const noexcept { return m_path; }
  const fnd::Ref<fnd::Dictionary>& options() const noexcept { return m_options; }
  SqliteStore& storage() const noexcept { return *m_store; }

 private:
  std::string m_type;
  std::string m_path;
  fnd::Ref<fnd::Dictionary> m_options;
  std::unique_ptr<SqliteStore> m_store;
};

class PersistentStoreCoordinator {
 public:
  explicit PersistentStoreCoordinator(std::shared_ptr<const ManagedObjectModel> model);
  const std::shared_ptr<const ManagedObjectModel>& managedObjectModel() const noexcept { return m_model; }

  // Opens a store of `type` at `path` (ignored in memory). With both migration
  // options true, an older store is migrated; otherwise it is refused.
  std::shared_ptr<PersistentStore> addPersistentStore(std::string_view type, const std::string& path,
                                                      fnd::Ref<fnd::Dictionary> options,
                                                      std::optional<fnd::Error>* error);
  bool removePersistentStore(const std::shared_ptr<PersistentStore>& store);
  std::vector<std::shared_ptr<PersistentStore>> persistentStores() const;
  // The store that holds the records (the first one), or null.
  std::shared_ptr<PersistentStore> primaryStore() const;

  // A new permanent identifier for a record of `entity`.
  ObjectID newObjectID(const EntityDescription& entity);

  // Serialises a group of operations across threads.
  void lock() { m_userMutex.lock(); }
  void unlock() { m_userMutex.unlock(); }

 private:
  std::shared_ptr<const ManagedObjectModel> m_model;
  mutable std::mutex m_mutex;
  std::vector<std::shared_ptr<PersistentStore>> m_stores;  // guarded by m_mutex
  std::vector<std::int64_t> m_nextKeys;                    // guarded by m_mutex; one per entity
  std::recursive_mutex m_userMutex;
};

}  // namespace objectstore
