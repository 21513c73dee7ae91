#pragma once
// ManagedObjectContext: a scratch pad of records over a store or over a parent
// context. Holds one object per record, tracks inserts, updates and deletes,
// and saves them one level up (or into the store at the root).
// Thread-safe: every operation locks the context and then its ancestors, in
// that order; work meant for the context's own queue goes through perform().
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/dispatch/block_thread.h"
#include "platform/foundation/error.h"
#include "platform/foundation/notification_center.h"
#include "platform/objectstore/fetch_request.h"
#include "platform/objectstore/managed_object.h"
#include "platform/objectstore/persistent_store_coordinator.h"

namespace objectstore {

enum class ConcurrencyType { PrivateQueue = 1, MainQueue = 2 };
enum class MergePolicy { Error, PropertyObjectTrump };

inline constexpr const char* kContextDidSaveNotification = "NSManagedObjectContextDidSaveNotification";
inline constexpr std::string_view kInsertedObjectsKey = "inserted";
inline constexpr std::string_view kUpdatedObjectsKey = "updated";
inline constexpr std::string_view kDeletedObjectsKey = "deleted";

using FetchResults = std::vector<fnd::Ref<fnd::Object>>;

class ManagedObjectContext : public std::enable_shared_from_this<ManagedObjectContext> {
 public:
  static std::shared_ptr<ManagedObjectContext> create(ConcurrencyType type);
  ~ManagedObjectContext();
  ManagedObjectContext(const ManagedObjectContext&) = delete;
  ManagedObjectContext& operator=(const ManagedObjectContext&) = delete;

  ConcurrencyType concurrencyType() const noexcept { return m_type; }
  std::string name() const;
  void setName(std::string name);
  MergePolicy mergePolicy() const;
  void setMergePolicy(MergePolicy policy);
  // For a context that is dropped after its save: saved records that nobody
  // else holds move into the parent, objects and all, instead of being copied
  // there. Such a record belongs to the parent afterwards. Any context does so
  // with records it never gave to a caller.
  void setHandsRecordsOverOnSave(bool handsOver);
  std::shared_ptr<ManagedObjectContext> parentContext() const;
  void setParentContext(std::shared_ptr<ManagedObjectContext> parent);
  // The context's own coordinator, else its parent's.
  std::shared_ptr<PersistentStoreCoordinator> persistentStoreCoordinator() const;
  void setPersistentStoreCoordinator(std::shared_ptr<PersistentStoreCoordinator> coordinator);

  // Runs `block` on the context's queue: later, or now while the caller waits
  // (inline when the caller is already on that queue).
  void performBlock(dispatch::Block block);
  void performBlockAndWait(const dispatch::Block& block);
  bool isOnOwnQueue() const;

  // A new record of the named entity; throws InvalidArgument for an unknown one.
  ManagedObjectRef insertNewObject(std::string_view entityName);
  void deleteObject(ManagedObject& object);
  // The record with this identifier as a fault when not registered yet.
  ManagedObjectRef objectWithID(const ObjectID& id);
  // The record, read now; null with `error` when it does not exist.
  ManagedObjectRef existingObjectWithID(const ObjectID& id, std::optional<fnd::Error>* error);
  // Identifiers are permanent from insertion; always true.
  bool obtainPermanentIDsForObjects(const std::vector<ManagedObjectRef>& objects, std::optional<fnd::Error>* error);

  bool hasChanges() const;
  std::vector<ManagedObjectRef> insertedObjects() const;
  std::vector<ManagedObjectRef> updatedObjects() const;
  std::vector<ManagedObjectRef> deletedObjects() const;
  std::size_t registeredObjectCount() const;

  // Records (or dictionaries, identifiers) matching the request as this context
  // sees them: the store plus the unsaved changes here and in every ancestor.
  std::optional<FetchResults> executeFetchRequest(const FetchRequest& request, std::optional<fnd::Error>* error);
  std::optional<std::size_t> countForFetchRequest(const FetchRequest& request, std::optional<fnd::Error>* error);

  // Pushes the changes into the parent, or writes them to the store in one
  // transaction at the root. On failure the changes stay here.
  bool save(std::optional<fnd::Error>* error);
  // Forgets every record and change; objects handed out are detached.
  void reset();
  // Brings registered records up to date with another context's save.
  void mergeChangesFromContextDidSaveNotification(const fnd::Notification& notification);

 private:
  friend class ManagedObject;
  friend class ChainLock;
  friend class ContextFetch;
  explicit ManagedObjectContext(ConcurrencyType type);

  const EntityDescription* entityNamed(std::string_view name) const;
  // Marks records given to a caller, who may keep their addresses: they stay
  // with this context when it saves.
  static ManagedObjectRef handOut(ManagedObjectRef object);
  static std::vector<ManagedObjectRef> handOut(std::vector<ManagedObjectRef> objects);
  ManagedObjectRef registeredObject(const ObjectID& id) const;
  ManagedObjectRef registerObject(const ObjectID& id, RecordValues* values);
  enum class AncestorRecord { NotHeld, Held, Deleted };
  // The record as the nearest ancestor holding it knows it; `values` is set when Held.
  AncestorRecord ancestorRecord(const ObjectID& id, RecordValues* values) const;
  // The record's values as this context's ancestors and store know them.
  std::optional<RecordValues> valuesFromAncestors(const ObjectID& id) const;
  // The coordinator's store, held while it is used.
  std::shared_ptr<PersistentStore> primaryStore() const;
  // Gives a fault its values; none means the record no longer exists.
  static void fillFault(ManagedObject& object, std::optional<RecordValues> values);
  void fireFault(ManagedObject& object) const;
  // Reads the fault's batch of its fetch at once.
  void fireFaultBatch(ManagedObject& object) const;
  std::vector<std::int64_t> loadToMany(const ManagedObject& object, int relationship) const;
  void noteUpdated(ManagedObject& object);
  bool canHandOver(const ManagedObject& object) const;
  // Moves a registered record, object and all, into the parent.
  void handOver(ManagedObject& object, ManagedObjectContext& parent);
  bool pushChangesToParent(ManagedObjectContext& parent);
  bool writeChangesToStore(std::optional<fnd::Error>* error);
  fnd::Ref<fnd::Dictionary> didSaveUserInfo() const;
  void forgetSavedObjects();
  // Lets go of every registered record; one still a fault remembers this queue.
  void detachRegisteredObjects();

  const ConcurrencyType m_type;
  std::unique_ptr<dispatch::BlockThread> m_queue;  // private queue only
  mutable std::recursive_mutex m_mutex;
  std::string m_name;                                                         // guarded by m_mutex
  MergePolicy m_mergePolicy = MergePolicy::Error;                             // guarded by m_mutex
  bool m_handsRecordsOverOnSave = false;                                      // guarded by m_mutex
  std::shared_ptr<ManagedObjectContext> m_parent;                             // guarded by m_mutex
  std::shared_ptr<PersistentStoreCoordinator> m_coordinator;                  // guarded by m_mutex
  std::unordered_map<ObjectID, ManagedObjectRef, ObjectIDHash> m_registered;  // guarded by m_mutex
  std::vector<ManagedObjectRef> m_inserted;                                   // guarded by m_mutex; insertion order
  std::unordered_set<ManagedObject*> m_updated;                               // guarded by m_mutex
  std::vector<ManagedObjectRef> m_deleted;                                    // guarded by m_mutex
};

using ContextPtr = std::shared_ptr<ManagedObjectContext>;

}  // namespace objectstore
