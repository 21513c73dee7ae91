#pragma once
// The non-template half of the record finders: building requests, sort
// descriptors and property lists for an entity, running fetches and counts in
// a context with failures sent to RecordStore::handleErrors. Thread-safe.
#include <optional>
#include <string>
#include <vector>

#include "platform/objectstore/managed_object_context.h"

namespace store {

using objectstore::ContextPtr;
using objectstore::FetchRequest;
using objectstore::PredicatePtr;
using objectstore::SortDescriptor;

namespace fetch_requests {

const objectstore::EntityDescription* entityNamed(std::string_view name, const ContextPtr& context);
FetchRequest requestAll(std::string_view entityName, const ContextPtr& context);
FetchRequest requestAllWhere(std::string_view entityName, const std::string& attribute, fnd::Object* value,
                             const ContextPtr& context);
// Terms split at every ","; each piece is a key as it stands.
FetchRequest requestAllSortedBy(std::string_view entityName, const std::string& terms, bool ascending,
                                PredicatePtr predicate, const ContextPtr& context);
std::vector<SortDescriptor> sortAscending(bool ascending, const std::vector<std::string>& keys);
std::vector<objectstore::PropertyToFetch> propertiesNamed(const objectstore::EntityDescription* entity,
                                                          const std::vector<std::string>* names);

// Runs the fetch on the context's queue, the caller waiting; none on failure.
std::optional<objectstore::FetchResults> execute(const FetchRequest& request, const ContextPtr& context);
// Sets the request's limit to 1; the first result or null.
fnd::Ref<fnd::Object> executeFirst(FetchRequest& request, const ContextPtr& context);
std::optional<std::size_t> count(const FetchRequest& request, const ContextPtr& context);
fnd::Ref<fnd::Object> aggregate(std::string_view entityName, const std::string& function, const std::string& attribute,
                                PredicatePtr predicate, const ContextPtr& context);

std::size_t defaultBatchSize();
void setDefaultBatchSize(std::size_t size);

}  // namespace fetch_requests
}  // namespace store
