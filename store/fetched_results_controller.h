#pragma once
// FetchedResultsController: runs one fetch request in one context and groups
// the records into sections by a key path. Use it on the context's queue.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/objectstore/managed_object_context.h"

namespace store {

class FetchedResultsControllerDelegate {
 public:
  virtual ~FetchedResultsControllerDelegate() = default;
  // Called after each fetch; the default does nothing.
  virtual void controllerDidChangeContent() {}
};

struct FetchedResultsSection {
  std::string name;  // the section key's value as text; "" without a key path
  std::vector<fnd::Ref<fnd::Object>> objects;
};

class FetchedResultsController {
 public:
  FetchedResultsController(objectstore::FetchRequest request, objectstore::ContextPtr context,
                           std::string sectionNameKeyPath, std::string cacheName);

  const objectstore::FetchRequest& fetchRequest() const noexcept { return m_request; }
  const objectstore::ContextPtr& managedObjectContext() const noexcept { return m_context; }
  const std::string& sectionNameKeyPath() const noexcept { return m_sectionNameKeyPath; }
  const std::string& cacheName() const noexcept { return m_cacheName; }
  FetchedResultsControllerDelegate* delegate() const noexcept { return m_delegate; }
  void setDelegate(FetchedResultsControllerDelegate* delegate) noexcept { m_delegate = delegate; }

  // Fetches; records with equal section keys must be adjacent in the sort order.
  bool performFetch(std::optional<fnd::Error>* error);
  const std::vector<fnd::Ref<fnd::Object>>& fetchedObjects() const noexcept { return m_objects; }
  const std::vector<FetchedResultsSection>& sections() const noexcept { return m_sections; }
  // Null when out of range.
  fnd::Object* objectAtIndexPath(std::size_t section, std::size_t row) const;

 private:
  objectstore::FetchRequest m_request;
  objectstore::ContextPtr m_context;
  std::string m_sectionNameKeyPath;
  std::string m_cacheName;
  FetchedResultsControllerDelegate* m_delegate = nullptr;
  std::vector<fnd::Ref<fnd::Object>> m_objects;
  std::vector<FetchedResultsSection> m_sections;
};

}  // namespace store
