#pragma once
// A test fixture that keeps one store file in a private directory and opens it
// through a fresh coordinator and root context, as a restarted process would.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/objectstore/managed_object_context.h"

namespace objectstore::test {

inline fnd::Ref<fnd::Dictionary> migrationOptions() {
  auto options = fnd::ObjectDictionary::createMutable();
  options->setObject(fnd::Number::yes(), kMigratePersistentStoresAutomaticallyOption);
  options->setObject(fnd::Number::yes(), kInferMappingModelAutomaticallyOption);
  return options;
}

class StoreFixture : public ::testing::Test {
 protected:
  // Opens the file with `model` (closing what was open); the error, if any, is kept.
  void open(std::shared_ptr<ManagedObjectModel> model, bool migrate = true) {
    close();
    m_model = std::move(model);
    m_coordinator = std::make_shared<PersistentStoreCoordinator>(m_model);
    std::optional<fnd::Error> error;
    m_store =
        m_coordinator->addPersistentStore(kSQLiteStoreType, path(), migrate ? migrationOptions() : nullptr, &error);
    m_openError = error;
    m_root = ManagedObjectContext::create(ConcurrencyType::PrivateQueue);
    m_root->setPersistentStoreCoordinator(m_coordinator);
  }
  void reopen() { open(m_model); }
  void close() {
    m_root.reset();
    m_store.reset();
    m_coordinator.reset();
  }

  std::string path() const { return m_directory.filePath("store.sqlite").toStdString(); }
  const EntityDescription* entity(std::string_view name) const { return m_model->entityNamed(name); }

  ContextPtr child(const ContextPtr& parent) const {
    ContextPtr context = ManagedObjectContext::create(ConcurrencyType::PrivateQueue);
    context->setParentContext(parent);
    return context;
  }

  FetchResults fetch(const ContextPtr& context, FetchRequest request) const {
    std::optional<fnd::Error> error;
    std::optional<FetchResults> results = context->executeFetchRequest(request, &error);
    EXPECT_TRUE(results.has_value()) << (error ? error->localizedDescription() : "");
    return results.value_or(FetchResults());
  }

  // Every record of `entityName` in key order.
  std::vector<ManagedObjectRef> all(const ContextPtr& context, std::string_view entityName) const {
    std::vector<ManagedObjectRef> records;
    for (const auto& object : fetch(context, FetchRequest(entity(entityName)))) {
      records.emplace_back(static_cast<ManagedObject*>(object.get()));
    }
    return records;
  }

  bool save(const ContextPtr& context) const {
    std::optional<fnd::Error> error;
    bool saved = context->save(&error);
    EXPECT_TRUE(saved) << (error ? error->localizedDescription() : "");
    return saved;
  }

  QTemporaryDir m_directory;
  std::shared_ptr<ManagedObjectModel> m_model;
  std::shared_ptr<PersistentStoreCoordinator> m_coordinator;
  std::shared_ptr<PersistentStore> m_store;
  std::optional<fnd::Error> m_openError;
  ContextPtr m_root;
};

}  // namespace objectstore::test
