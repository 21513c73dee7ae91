#pragma once
// Record<T>: the base of every record class. It gives the class the finders,
// requests, counts and aggregates over its entity (named T::kEntityName),
// creation and deletion, under their "RS_" names and their shorthand names.
// Operations without a context use the calling thread's context (the default
// context on the main thread). Fetches may be called from any thread; create
// and delete on the thread that owns the context.
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/number.h"
#include "platform/objectstore/managed_object.h"
#include "store/fetch_requests.h"
#include "store/fetched_results_controller.h"
#include "store/record_store.h"
#include "store/shorthand.h"
#include "store/store_context.h"

namespace store {

template <class T>
using RecordList = std::vector<fnd::Ref<T>>;

template <class T>
class Record : public objectstore::ManagedObject {
 public:
  using List = RecordList<T>;

  // Request construction.
  static std::string RS_entityName() { return std::string(T::kEntityName); }
  static const objectstore::EntityDescription* RS_entityDescriptionInContext(const ContextPtr& context) {
    return fetch_requests::entityNamed(T::kEntityName, context);
  }
  static const objectstore::EntityDescription* RS_entityDescription() {
    return RS_entityDescriptionInContext(current());
  }
  static FetchRequest RS_createFetchRequestInContext(const ContextPtr& context) {
    return RS_requestAllInContext(context);
  }
  static FetchRequest RS_createFetchRequest() { return RS_requestAllInContext(current()); }
  static FetchRequest RS_requestAll() { return RS_requestAllInContext(current()); }
  static FetchRequest RS_requestAllInContext(const ContextPtr& context) {
    return fetch_requests::requestAll(T::kEntityName, context);
  }
  static FetchRequest RS_requestAllWithPredicate(PredicatePtr predicate, const ContextPtr& context = current()) {
    FetchRequest request = RS_requestAllInContext(context);
    request.setPredicate(std::move(predicate));
    return request;
  }
  static FetchRequest RS_requestAllWhere(const std::string& attribute, fnd::Object* value,
                                         const ContextPtr& context = current()) {
    return fetch_requests::requestAllWhere(T::kEntityName, attribute, value, context);
  }
  static FetchRequest RS_requestFirstWithPredicate(PredicatePtr predicate, const ContextPtr& context = current()) {
    FetchRequest request = RS_requestAllWithPredicate(std::move(predicate), context);
    request.setFetchLimit(1);
    return request;
  }
  static FetchRequest RS_requestFirstByAttribute(const std::string& attribute, fnd::Object* value,
                                                 const ContextPtr& context = current()) {
    FetchRequest request = RS_requestAllWhere(attribute, value, context);
    request.setFetchLimit(1);
    return request;
  }
  static FetchRequest RS_requestAllSortedBy(const std::string& terms, bool ascending, PredicatePtr predicate = nullptr,
                                            const ContextPtr& context = current()) {
    return fetch_requests::requestAllSortedBy(T::kEntityName, terms, ascending, std::move(predicate), context);
  }
  static FetchRequest RS_requestAllSortedBy(const std::string& terms, bool ascending, const ContextPtr& context) {
    return RS_requestAllSortedBy(terms, ascending, nullptr, context);
  }
  static std::vector<objectstore::PropertyToFetch> RS_propertiesNamed(const std::vector<std::string>* names) {
    return fetch_requests::propertiesNamed(RS_entityDescription(), names);
  }
  static std::vector<SortDescriptor> RS_sortAscending(bool ascending, const std::vector<std::string>& keys) {
    return fetch_requests::sortAscending(ascending, keys);
  }
  static std::vector<SortDescriptor> RS_ascendingSortDescriptors(const std::vector<std::string>& keys) {
    return RS_sortAscending(true, keys);
  }
  static std::vector<SortDescriptor> RS_descendingSortDescriptors(const std::vector<std::string>& keys) {
    return RS_sortAscending(false, keys);
  }
  static void RS_setDefaultBatchSize(std::size_t size) { fetch_requests::setDefaultBatchSize(size); }
  static std::size_t RS_defaultBatchSize() { return fetch_requests::defaultBatchSize(); }

  // Execution.
  static std::optional<List> RS_executeFetchRequest(const FetchRequest& request,
                                                    const ContextPtr& context = current()) {
    std::optional<objectstore::FetchResults> results = fetch_requests::execute(request, context);
    if (!results) return std::nullopt;
    List records;
    records.reserve(results->size());
    for (const fnd::Ref<fnd::Object>& result : *results) {
      if (auto* record = dynamic_cast<T*>(result.get())) records.emplace_back(record);
    }
    return records;
  }
  static fnd::Ref<T> RS_executeFetchRequestAndReturnFirstObject(FetchRequest& request,
                                                                const ContextPtr& context = current()) {
    fnd::Ref<fnd::Object> first = fetch_requests::executeFirst(request, context);
    return fnd::Ref<T>(dynamic_cast<T*>(first.get()));
  }

  // Finders.
  static std::optional<List> RS_findAll() { return RS_findAllInContext(current()); }
  static std::optional<List> RS_findAllInContext(const ContextPtr& context) {
    return RS_executeFetchRequest(RS_requestAllInContext(context), context);
  }
  static std::optional<List> RS_findAllWithPredicate(PredicatePtr predicate, const ContextPtr& context = current()) {
    return RS_executeFetchRequest(RS_requestAllWithPredicate(std::move(predicate), context), context);
  }
  static std::optional<List> RS_findAllSortedBy(const std::string& terms, bool ascending,
                                                PredicatePtr predicate = nullptr,
                                                const ContextPtr& context = current()) {
    return RS_executeFetchRequest(RS_requestAllSortedBy(terms, ascending, std::move(predicate), context), context);
  }
  static std::optional<List> RS_findAllSortedBy(const std::string& terms, bool ascending, const ContextPtr& context) {
    return RS_findAllSortedBy(terms, ascending, nullptr, context);
  }
  static fnd::Ref<T> RS_findFirst() { return RS_findFirstInContext(current()); }
  static fnd::Ref<T> RS_findFirstInContext(const ContextPtr& context) {
    FetchRequest request = RS_requestAllInContext(context);
    return RS_executeFetchRequestAndReturnFirstObject(request, context);
  }
  static fnd::Ref<T> RS_findFirstWithPredicate(PredicatePtr predicate, const ContextPtr& context = current()) {
    FetchRequest request = RS_requestFirstWithPredicate(std::move(predicate), context);
    return RS_executeFetchRequestAndReturnFirstObject(request, context);
  }
  static fnd::Ref<T> RS_findFirstWithPredicate(PredicatePtr predicate, const std::string& sortedBy, bool ascending,
                                               const ContextPtr& context = current()) {
    FetchRequest request = RS_requestAllSortedBy(sortedBy, ascending, std::move(predicate), context);
    return RS_executeFetchRequestAndReturnFirstObject(request, context);
  }
  static fnd::Ref<T> RS_findFirstWithPredicate(PredicatePtr predicate,
                                               const std::vector<std::string>& andRetrieveAttributes,
                                               const ContextPtr& context = current()) {
    FetchRequest request = RS_requestAllWithPredicate(std::move(predicate), context);
    request.setPropertiesToFetch(fetch_requests::propertiesNamed(request.entity(), &andRetrieveAttributes));
    return RS_executeFetchRequestAndReturnFirstObject(request, context);
  }
  static fnd::Ref<T> RS_findFirstWithPredicate(PredicatePtr predicate, const std::string& sortedBy, bool ascending,
                                               const std::vector<std::string>& andRetrieveAttributes,
                                               const ContextPtr& context = current()) {
    FetchRequest request = RS_requestAllSortedBy(sortedBy, ascending, std::move(predicate), context);
    request.setPropertiesToFetch(fetch_requests::propertiesNamed(request.entity(), &andRetrieveAttributes));
    return RS_executeFetchRequestAndReturnFirstObject(request, context);
  }
  static fnd::Ref<T> RS_findFirstByAttribute(const std::string& attribute, fnd::Object* value,
                                             const ContextPtr& context = current()) {
    FetchRequest request = RS_requestFirstByAttribute(attribute, value, context);
    return RS_executeFetchRequestAndReturnFirstObject(request, context);
  }
  static std::optional<List> RS_findByAttribute(const std::string& attribute, fnd::Object* value,
                                                const ContextPtr& context = current()) {
    return RS_executeFetchRequest(RS_requestAllWhere(attribute, value, context), context);
  }
  static std::optional<List> RS_findByAttribute(const std::string& attribute, fnd::Object* value,
                                                const std::string& andOrderBy, bool ascending,
                                                const ContextPtr& context = current()) {
    PredicatePtr predicate = objectstore::Predicate::withFormat("%K = %@", {attribute, fnd::Ref<fnd::Object>(value)});
    return RS_executeFetchRequest(RS_requestAllSortedBy(andOrderBy, ascending, predicate, context), context);
  }

  // Counts and aggregates; none when the count failed.
  static std::optional<std::size_t> RS_countOfEntities() { return RS_countOfEntitiesWithContext(current()); }
  static std::optional<std::size_t> RS_countOfEntitiesWithContext(const ContextPtr& context) {
    return fetch_requests::count(RS_requestAllInContext(context), context);
  }
  static std::optional<std::size_t> RS_countOfEntitiesWithPredicate(
      PredicatePtr predicate, const ContextPtr& context = StoreContext::RS_defaultContext()) {
    return fetch_requests::count(RS_requestAllWithPredicate(std::move(predicate), context), context);
  }
  static fnd::Ref<fnd::Number> RS_numberOfEntities() { return RS_numberOfEntitiesWithContext(current()); }
  static fnd::Ref<fnd::Number> RS_numberOfEntitiesWithContext(const ContextPtr& context) {
    return asNumber(RS_countOfEntitiesWithContext(context));
  }
  static fnd::Ref<fnd::Number> RS_numberOfEntitiesWithPredicate(PredicatePtr predicate,
                                                                const ContextPtr& context = current()) {
    return asNumber(RS_countOfEntitiesWithPredicate(std::move(predicate), context));
  }
  static bool RS_hasAtLeastOneEntity() { return RS_hasAtLeastOneEntityInContext(current()); }
  static bool RS_hasAtLeastOneEntityInContext(const ContextPtr& context) {
    std::optional<std::size_t> count = RS_countOfEntitiesWithContext(context);
    return count && *count > 0;
  }
  // `function` is an aggregate name: "max:", "min:", "sum:", "average:" or "count:".
  static fnd::Ref<fnd::Object> RS_aggregateOperation(const std::string& function, const std::string& onAttribute,
                                                     PredicatePtr withPredicate,
                                                     const ContextPtr& context = StoreContext::RS_defaultContext()) {
    return fetch_requests::aggregate(T::kEntityName, function, onAttribute, std::move(withPredicate), context);
  }

  // Creation and deletion.
  static fnd::Ref<T> RS_createInContext(const ContextPtr& context) {
    if (!context) return nullptr;
    objectstore::ManagedObjectRef object = context->insertNewObject(T::kEntityName);
    return fnd::Ref<T>(dynamic_cast<T*>(object.get()));
  }
  static fnd::Ref<T> RS_createEntity() { return RS_createInContext(current()); }
  bool RS_deleteInContext(const ContextPtr& context) {
    if (context) context->deleteObject(*this);
    return true;
  }
  bool RS_deleteEntity() {
    if (objectstore::ManagedObjectContext* context = managedObjectContext()) context->deleteObject(*this);
    return true;
  }
  static bool RS_deleteAllMatchingPredicate(PredicatePtr predicate, const ContextPtr& context = current()) {
    FetchRequest request = RS_requestAllWithPredicate(std::move(predicate), context);
    request.setReturnsObjectsAsFaults(true);
    request.setIncludesPropertyValues(false);
    deleteEach(RS_executeFetchRequest(request, context), context);
    return true;
  }
  static bool RS_truncateAll() { return RS_truncateAllInContext(current()); }
  static bool RS_truncateAllInContext(const ContextPtr& context) {
    deleteEach(RS_findAllInContext(context), context);
    return true;
  }
  // This record as the other context sees it; null (error to the hook) when it does not exist there.
  fnd::Ref<T> RS_inContext(const ContextPtr& context) {
    if (!context) return nullptr;
    std::optional<fnd::Error> error;
    objectstore::ManagedObjectRef object = context->existingObjectWithID(objectID(), &error);
    if (!object && error) RecordStore::handleErrors(&*error);
    return fnd::Ref<T>(dynamic_cast<T*>(object.get()));
  }
  fnd::Ref<T> RS_inThreadContext() { return RS_inContext(current()); }
  // The largest value of the attribute among the records of this record's entity.
  fnd::Ref<fnd::Object> RS_maxValueFor(const std::string& attribute) {
    return RS_aggregateOperation("max:", attribute, nullptr, current());
  }
  // A record with the smallest value of the attribute; records without a value are skipped.
  fnd::Ref<T> RS_objectWithMinValueFor(const std::string& attribute, const ContextPtr& context = current()) {
    PredicatePtr hasValue = objectstore::Predicate::withFormat("%K != nil", {attribute});
    return RS_findFirstWithPredicate(hasValue, attribute, true, context);
  }

  // Fetched-results controllers.
  static std::unique_ptr<FetchedResultsController> RS_fetchController(const FetchRequest& request,
                                                                      FetchedResultsControllerDelegate* delegate,
                                                                      bool useFileCache, const std::string& groupedBy,
                                                                      const ContextPtr& context) {
    auto controller = std::make_unique<FetchedResultsController>(
        request, context, groupedBy, useFileCache ? "RecordStore-Cache-" + RS_entityName() : std::string());
    controller->setDelegate(delegate);
    return controller;
  }
  static std::unique_ptr<FetchedResultsController> RS_fetchAllGroupedBy(
      const std::string& group, PredicatePtr predicate, const std::string& sortedBy, bool ascending,
      FetchedResultsControllerDelegate* delegate = nullptr, const ContextPtr& context = current()) {
    FetchRequest request = RS_requestAllSortedBy(sortedBy, ascending, std::move(predicate), context);
    auto controller = RS_fetchController(request, delegate, false, group, context);
    RS_performFetch(*controller);
    return controller;
  }
  static std::unique_ptr<FetchedResultsController> RS_fetchAllSortedBy(
      const std::string& sortedBy, bool ascending, PredicatePtr predicate, const std::string& groupBy,
      FetchedResultsControllerDelegate* delegate = nullptr, const ContextPtr& context = current()) {
    return RS_fetchAllGroupedBy(groupBy, std::move(predicate), sortedBy, ascending, delegate, context);
  }
  static void RS_performFetch(FetchedResultsController& controller) {
    std::optional<fnd::Error> error;
    bool fetched = false;
    const ContextPtr& context = controller.managedObjectContext();
    if (context) context->performBlockAndWait([&] { fetched = controller.performFetch(&error); });
    if (!fetched && error) RecordStore::handleErrors(&*error);
  }

  RS_SHORTHAND(entityName)
  RS_SHORTHAND(entityDescriptionInContext)
  RS_SHORTHAND(entityDescription)
  RS_SHORTHAND(createFetchRequestInContext)
  RS_SHORTHAND(createFetchRequest)
  RS_SHORTHAND(requestAll)
  RS_SHORTHAND(requestAllInContext)
  RS_SHORTHAND(requestAllWithPredicate)
  RS_SHORTHAND(requestAllWhere)
  RS_SHORTHAND(requestFirstWithPredicate)
  RS_SHORTHAND(requestFirstByAttribute)
  RS_SHORTHAND(requestAllSortedBy)
  RS_SHORTHAND(propertiesNamed)
  RS_SHORTHAND(sortAscending)
  RS_SHORTHAND(ascendingSortDescriptors)
  RS_SHORTHAND(descendingSortDescriptors)
  RS_SHORTHAND(setDefaultBatchSize)
  RS_SHORTHAND(defaultBatchSize)
  RS_SHORTHAND(executeFetchRequest)
  RS_SHORTHAND(executeFetchRequestAndReturnFirstObject)
  RS_SHORTHAND(findAll)
  RS_SHORTHAND(findAllInContext)
  RS_SHORTHAND(findAllWithPredicate)
  RS_SHORTHAND(findAllSortedBy)
  RS_SHORTHAND(findFirst)
  RS_SHORTHAND(findFirstInContext)
  RS_SHORTHAND(findFirstWithPredicate)
  RS_SHORTHAND(findFirstByAttribute)
  RS_SHORTHAND(findByAttribute)
  RS_SHORTHAND(countOfEntities)
  RS_SHORTHAND(countOfEntitiesWithContext)
  RS_SHORTHAND(countOfEntitiesWithPredicate)
  RS_SHORTHAND(numberOfEntities)
  RS_SHORTHAND(numberOfEntitiesWithContext)
  RS_SHORTHAND(numberOfEntitiesWithPredicate)
  RS_SHORTHAND(hasAtLeastOneEntity)
  RS_SHORTHAND(hasAtLeastOneEntityInContext)
  RS_SHORTHAND(aggregateOperation)
  RS_SHORTHAND(createInContext)
  RS_SHORTHAND(createEntity)
  RS_INSTANCE_SHORTHAND(deleteInContext)
  RS_INSTANCE_SHORTHAND(deleteEntity)
  RS_SHORTHAND(deleteAllMatchingPredicate)
  RS_SHORTHAND(truncateAll)
  RS_SHORTHAND(truncateAllInContext)
  RS_INSTANCE_SHORTHAND(inContext)
  RS_INSTANCE_SHORTHAND(inThreadContext)
  RS_INSTANCE_SHORTHAND(maxValueFor)
  RS_INSTANCE_SHORTHAND(objectWithMinValueFor)
  RS_SHORTHAND(fetchController)
  RS_SHORTHAND(fetchAllGroupedBy)
  RS_SHORTHAND(fetchAllSortedBy)
  RS_SHORTHAND(performFetch)

 private:
  static ContextPtr current() { return StoreContext::RS_contextForCurrentThread(); }
  static fnd::Ref<fnd::Number> asNumber(std::optional<std::size_t> count) {
    return count ? fnd::Number::createUnsigned(*count) : nullptr;
  }
  static void deleteEach(const std::optional<List>& records, const ContextPtr& context) {
    if (!records || !context) return;
    for (const fnd::Ref<T>& record : *records) context->deleteObject(*record);
  }
};

}  // namespace store
