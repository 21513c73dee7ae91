#pragma once
// FetchRequest: what to fetch from a context: one entity, an optional
// predicate, sort order, limit and offset, and the shape of the results.
// A plain value; copy it to share between threads.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/objectstore/model.h"
#include "platform/objectstore/predicate.h"

namespace objectstore {

struct SortDescriptor {
  std::string key;
  bool ascending = true;
};

// A computed column of a dictionary result: `expression` (an aggregate
// function over a key path) stored under `name`.
struct ExpressionDescription {
  std::string name;
  std::shared_ptr<const Expression> expression;
  AttributeType resultType = AttributeType::Double;
};

struct PropertyToFetch {
  std::string attributeName;                          // a plain attribute, or
  std::shared_ptr<ExpressionDescription> expression;  // a computed column
};

enum class FetchResultType { ManagedObject = 0, ManagedObjectID = 1, Dictionary = 2, Count = 4 };

class FetchRequest {
 public:
  FetchRequest() = default;
  explicit FetchRequest(const EntityDescription* entity) : m_entity(entity) {}

  const EntityDescription* entity() const noexcept { return m_entity; }
  void setEntity(const EntityDescription* entity) noexcept { m_entity = entity; }
  const PredicatePtr& predicate() const noexcept { return m_predicate; }
  void setPredicate(PredicatePtr predicate) { m_predicate = std::move(predicate); }
  const std::vector<SortDescriptor>& sortDescriptors() const noexcept { return m_sortDescriptors; }
  void setSortDescriptors(std::vector<SortDescriptor> descriptors) { m_sortDescriptors = std::move(descriptors); }
  // 0 means no limit.
  std::size_t fetchLimit() const noexcept { return m_fetchLimit; }
  void setFetchLimit(std::size_t limit) noexcept { m_fetchLimit = limit; }
  std::size_t fetchOffset() const noexcept { return m_fetchOffset; }
  void setFetchOffset(std::size_t offset) noexcept { m_fetchOffset = offset; }
  // Records fetched as faults are read this many at a time when one of them is
  // first used; 0 chooses a batch size.
  std::size_t fetchBatchSize() const noexcept { return m_fetchBatchSize; }
  void setFetchBatchSize(std::size_t size) noexcept { m_fetchBatchSize = size; }
  const std::vector<PropertyToFetch>& propertiesToFetch() const noexcept { return m_propertiesToFetch; }
  void setPropertiesToFetch(std::vector<PropertyToFetch> properties) { m_propertiesToFetch = std::move(properties); }
  FetchResultType resultType() const noexcept { return m_resultType; }
  void setResultType(FetchResultType type) noexcept { m_resultType = type; }
  // Without faults, every record's values are read by the fetch itself.
  bool returnsObjectsAsFaults() const noexcept { return m_returnsObjectsAsFaults; }
  void setReturnsObjectsAsFaults(bool faults) noexcept { m_returnsObjectsAsFaults = faults; }
  bool includesPropertyValues() const noexcept { return m_includesPropertyValues; }
  void setIncludesPropertyValues(bool include) noexcept { m_includesPropertyValues = include; }

 private:
  const EntityDescription* m_entity = nullptr;
  PredicatePtr m_predicate;
  std::vector<SortDescriptor> m_sortDescriptors;
  std::size_t m_fetchLimit = 0;
  std::size_t m_fetchOffset = 0;
  std::size_t m_fetchBatchSize = 0;
  std::vector<PropertyToFetch> m_propertiesToFetch;
  FetchResultType m_resultType = FetchResultType::ManagedObject;
  bool m_returnsObjectsAsFaults = true;
  bool m_includesPropertyValues = true;
};

}  // namespace objectstore
