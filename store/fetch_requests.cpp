#include "store/fetch_requests.h"

#include "platform/foundation/containers.h"
#include "store/record_store.h"
#include "store/stack_state.h"

namespace store::fetch_requests {

const objectstore::EntityDescription* entityNamed(std::string_view name, const ContextPtr& context) {
  if (!context) return nullptr;
  std::shared_ptr<objectstore::PersistentStoreCoordinator> coordinator = context->persistentStoreCoordinator();
  return coordinator ? coordinator->managedObjectModel()->entityNamed(name) : nullptr;
}

FetchRequest requestAll(std::string_view entityName, const ContextPtr& context) {
  return FetchRequest(entityNamed(entityName, context));
}

FetchRequest requestAllWhere(std::string_view entityName, const std::string& attribute, fnd::Object* value,
                             const ContextPtr& context) {
  FetchRequest request = requestAll(entityName, context);
  request.setPredicate(objectstore::Predicate::withFormat("%K = %@", {attribute, fnd::Ref<fnd::Object>(value)}));
  return request;
}

FetchRequest requestAllSortedBy(std::string_view entityName, const std::string& terms, bool ascending,
                                PredicatePtr predicate, const ContextPtr& context) {
  FetchRequest request = requestAll(entityName, context);
  if (predicate) request.setPredicate(std::move(predicate));
  request.setFetchBatchSize(defaultBatchSize());
  std::vector<std::string> keys;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = terms.find(',', start);
    keys.push_back(terms.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  request.setSortDescriptors(sortAscending(ascending, keys));
  return request;
}

std::vector<SortDescriptor> sortAscending(bool ascending, const std::vector<std::string>& keys) {
  std::vector<SortDescriptor> descriptors;
  for (const std::string& key : keys) descriptors.push_back({key, ascending});
  return descriptors;
}

std::vector<objectstore::PropertyToFetch> propertiesNamed(const objectstore::EntityDescription* entity,
                                                          const std::vector<std::string>* names) {
  std::vector<objectstore::PropertyToFetch> properties;
  if (!entity || !names) return properties;
  for (const std::string& name : *names) {
    if (entity->attributeNamed(name)) properties.push_back({name, nullptr});
  }
  return properties;
}

std::optional<objectstore::FetchResults> execute(const FetchRequest& request, const ContextPtr& context) {
  if (!context) return std::nullopt;
  std::optional<objectstore::FetchResults> results;
  std::optional<fnd::Error> error;
  context->performBlockAndWait([&] { results = context->executeFetchRequest(request, &error); });
  if (!results && error) RecordStore::handleErrors(&*error);
  return results;
}

fnd::Ref<fnd::Object> executeFirst(FetchRequest& request, const ContextPtr& context) {
  request.setFetchLimit(1);
  std::optional<objectstore::FetchResults> results = execute(request, context);
  return results && !results->empty() ? results->front() : nullptr;
}

std::optional<std::size_t> count(const FetchRequest& request, const ContextPtr& context) {
  if (!context) return std::nullopt;
  std::optional<fnd::Error> error;
  std::optional<std::size_t> result = context->countForFetchRequest(request, &error);
  if (error) RecordStore::handleErrors(&*error);
  return result;
}

fnd::Ref<fnd::Object> aggregate(std::string_view entityName, const std::string& function, const std::string& attribute,
                                PredicatePtr predicate, const ContextPtr& context) {
  FetchRequest request = requestAll(entityName, context);
  if (!request.entity()) return nullptr;
  const objectstore::AttributeDescription* description = request.entity()->attributeNamed(attribute);
  auto expression = std::make_shared<objectstore::ExpressionDescription>(objectstore::ExpressionDescription{
      "result", objectstore::Expression::function(function, {objectstore::Expression::keyPath(attribute)}),
      description ? description->type : objectstore::AttributeType::Double});
  request.setPredicate(std::move(predicate));
  request.setPropertiesToFetch({objectstore::PropertyToFetch{"", expression}});
  request.setResultType(objectstore::FetchResultType::Dictionary);
  fnd::Ref<fnd::Object> first = executeFirst(request, context);
  if (!first || first->kind() != fnd::ObjectKind::Dictionary) return nullptr;
  return fnd::Ref<fnd::Object>(static_cast<fnd::Dictionary&>(*first).objectForKey("result"));
}

std::size_t defaultBatchSize() {
  std::lock_guard lock(stackState().mutex);
  return stackState().defaultBatchSize;
}

void setDefaultBatchSize(std::size_t size) {
  std::lock_guard lock(stackState().mutex);
  stackState().defaultBatchSize = size;
}

}  // namespace store::fetch_requests
