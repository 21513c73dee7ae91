// Fetching and counting in a context: the store answers what it can in SQL,
// and the unsaved changes of the context and its ancestors are laid over its
// answer, all under the chain's locks so the result is one consistent view.
#include <algorithm>
#include <unordered_map>

#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/objectstore/context_chain.h"
#include "platform/objectstore/sqlite_store.h"

namespace objectstore {

namespace {

// Key-value reading over a record's values, for rows that have no object yet.
class RowSource final : public KeyValueSource {
 public:
  RowSource(ManagedObjectContext& context, const ObjectID& id, const RecordValues& values)
      : m_context(context), m_id(id), m_values(values) {}

  fnd::Ref<fnd::Object> valueForKey(std::string_view key) const override {
    int attribute = m_id.entity->attributeIndex(key);
    if (attribute >= 0) return m_values.attributes[static_cast<std::size_t>(attribute)];
    if (m_id.entity->relationshipIndex(key) < 0) return {};
    return self()->valueForKey(key);
  }

  const fnd::Object* selfObject() const override { return self(); }

 private:
  ManagedObject* self() const {
    if (!m_self) m_self = m_context.objectWithID(m_id);
    return m_self.get();
  }

  ManagedObjectContext& m_context;
  ObjectID m_id;
  const RecordValues& m_values;
  mutable ManagedObjectRef m_self;
};

// Records fetched without values and without a batch size are read this many
// at a time when first used.
constexpr std::size_t kDefaultFaultBatch = 256;

struct Candidate {
  std::int64_t key;
  const RecordValues* values;  // null when fetched without values
  bool isStored = false;       // the values are the fetch's own row and may be moved
};

int compareForSort(const fnd::Object* a, const fnd::Object* b) {
  bool aMissing = !a || a->kind() == fnd::ObjectKind::Null;
  bool bMissing = !b || b->kind() == fnd::ObjectKind::Null;
  if (aMissing || bMissing) return aMissing == bMissing ? 0 : (aMissing ? -1 : 1);
  return compareValues(a, b).value_or(0);
}

}  // namespace

class ContextFetch {
 public:
  ContextFetch(ManagedObjectContext& context, const FetchRequest& request) : m_context(context), m_request(request) {}

  std::optional<FetchResults> run(std::optional<fnd::Error>* error) {
    if (!checkEntity(error)) return std::nullopt;
    ChainLock lock(m_context);
    collectOverlay(lock);
    // Records come back as faults, read a batch at a time when first used,
    // unless the request asks for every value at once.
    bool wantsValues = m_request.resultType() == FetchResultType::Dictionary ||
                       (!m_request.returnsObjectsAsFaults() && m_request.includesPropertyValues());
    // An aggregate reads every matching record; the limit applies to its one result.
    bool aggregates = m_request.resultType() == FetchResultType::Dictionary && hasAggregates();
    std::vector<Candidate> candidates;
    if (!collect(wantsValues, !aggregates, candidates, error)) return std::nullopt;
    return m_request.resultType() == FetchResultType::Dictionary ? dictionaries(candidates) : objects(candidates);
  }

  std::optional<std::size_t> count(std::optional<fnd::Error>* error) {
    if (!checkEntity(error)) return std::nullopt;
    ChainLock lock(m_context);
    collectOverlay(lock);
    SqlFilter filter = translatePredicate(m_request.predicate().get(), *m_request.entity());
    std::shared_ptr<PersistentStore> store = m_context.primaryStore();
    if (m_overlay.empty() && filter.isExact && !m_request.fetchLimit() && !m_request.fetchOffset()) {
      if (!store) return 0;
      std::optional<std::int64_t> stored = store->storage().count(*m_request.entity(), filter, error);
      if (!stored) return std::nullopt;
      return static_cast<std::size_t>(*stored);
    }
    std::vector<Candidate> candidates;
    if (!collect(false, true, candidates, error)) return std::nullopt;
    return candidates.size();
  }

 private:
  bool hasAggregates() const {
    const auto& properties = m_request.propertiesToFetch();
    return std::any_of(properties.begin(), properties.end(), [](const PropertyToFetch& property) {
      return property.expression && property.expression->expression->kind() == Expression::Kind::Function;
    });
  }

  bool checkEntity(std::optional<fnd::Error>* error) const {
    if (m_request.entity()) return true;
    if (error) *error = fnd::Error::withDescription(kCocoaErrorDomain, 134060, "A fetch request must have an entity.");
    return false;
  }

  // The pending changes of the chain, the nearest context's version winning.
  void collectOverlay(const ChainLock& lock) {
    const EntityDescription* entity = m_request.entity();
    const auto& chain = lock.chain();
    for (auto context = chain.rbegin(); context != chain.rend(); ++context) {
      for (const ManagedObjectRef& object : (*context)->m_inserted) {
        if (object->m_id.entity == entity) m_overlay[object->m_id.key] = object.get();
      }
      for (ManagedObject* object : (*context)->m_updated) {
        if (object->m_id.entity == entity) m_overlay[object->m_id.key] = object;
      }
      for (const ManagedObjectRef& object : (*context)->m_deleted) {
        if (object->m_id.entity == entity) m_overlay[object->m_id.key] = nullptr;
      }
    }
  }

  bool matches(const ObjectID& id, const RecordValues& values) const {
    const Predicate* predicate = m_request.predicate().get();
    return !predicate || predicate->evaluate(RowSource(m_context, id, values));
  }

  bool collect(bool wantsValues, bool applyLimit, std::vector<Candidate>& candidates,
               std::optional<fnd::Error>* error) {
    const EntityDescription& entity = *m_request.entity();
    SqlFilter filter = translatePredicate(m_request.predicate().get(), entity);
    const auto& order = m_request.sortDescriptors();
    std::string orderSql = translateSortOrder(order, entity);
    bool orderInSql = order.empty() || !orderSql.empty();
    // Pending records are sorted in among the stored ones by their values.
    bool sortsInMemory = !orderInSql || (!order.empty() && !m_overlay.empty());
    bool needValues = wantsValues || !filter.isExact || sortsInMemory;
    std::size_t limit = applyLimit ? m_request.fetchLimit() : 0;
    std::size_t offset = applyLimit ? m_request.fetchOffset() : 0;
    // With no changes pending and everything answerable in SQL, the store applies
    // limit and offset; otherwise pending changes may displace stored rows.
    bool sqlPaging = filter.isExact && orderInSql && m_overlay.empty();
    std::size_t sqlLimit = 0;
    if (sqlPaging) {
      sqlLimit = limit;
    } else if (filter.isExact && orderInSql && limit) {
      sqlLimit = limit + offset + m_overlay.size();
    }
    if (std::shared_ptr<PersistentStore> store = m_context.primaryStore()) {
      std::optional<fnd::Error> failure;
      m_rows =
          store->storage().fetchRows(entity, filter, orderSql, sqlLimit, sqlPaging ? offset : 0, needValues, &failure);
      if (failure) {
        if (error) *error = failure;
        return false;
      }
    }
    for (const StoredRow& row : m_rows) {
      if (m_overlay.count(row.key)) continue;
      if (!filter.isExact && !matches(ObjectID{&entity, row.key}, row.values)) continue;
      candidates.push_back({row.key, needValues ? &row.values : nullptr, true});
    }
    bool addedPending = false;
    for (const auto& [key, object] : m_overlay) {
      if (!object || !matches(object->m_id, object->m_values)) continue;
      candidates.push_back({key, &object->m_values, false});
      addedPending = true;
    }
    if (addedPending || !orderInSql) sortCandidates(candidates, entity);
    if (!sqlPaging) {
      std::size_t first = std::min(offset, candidates.size());
      candidates.erase(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(first));
      if (limit && candidates.size() > limit) candidates.resize(limit);
    }
    return true;
  }

  void sortCandidates(std::vector<Candidate>& candidates, const EntityDescription& entity) const {
    const auto& order = m_request.sortDescriptors();
    if (order.empty()) {
      std::sort(candidates.begin(), candidates.end(),
                [](const Candidate& a, const Candidate& b) { return a.key < b.key; });
      return;
    }
    auto valueOf = [&](const Candidate& candidate, const SortDescriptor& descriptor) {
      int attribute = entity.attributeIndex(descriptor.key);
      if (attribute >= 0 && candidate.values) return candidate.values->attributes[static_cast<std::size_t>(attribute)];
      return RowSource(m_context, ObjectID{&entity, candidate.key}, *candidate.values).valueForKey(descriptor.key);
    };
    std::stable_sort(candidates.begin(), candidates.end(), [&](const Candidate& a, const Candidate& b) {
      for (const SortDescriptor& descriptor : order) {
        int result = compareForSort(valueOf(a, descriptor).get(), valueOf(b, descriptor).get());
        if (result != 0) return descriptor.ascending ? result < 0 : result > 0;
      }
      return a.key < b.key;
    });
  }

  static RecordValues takeValues(const Candidate& candidate) {
    // A stored row belongs to this fetch alone and is read once.
    if (candidate.isStored) return std::move(const_cast<RecordValues&>(*candidate.values));
    return *candidate.values;
  }

  FetchResults objects(const std::vector<Candidate>& candidates) {
    FetchResults results;
    results.reserve(candidates.size());
    const EntityDescription* entity = m_request.entity();
    std::shared_ptr<FaultGroup> faults = faultGroup(candidates);
    m_context.m_registered.reserve(m_context.m_registered.size() + candidates.size());
    std::size_t faultIndex = 0;
    for (const Candidate& candidate : candidates) {
      ObjectID id{entity, candidate.key};
      ManagedObjectRef object = m_context.registeredObject(id);
      if (!object) object = m_context.registerObject(id, nullptr);
      if (object->m_isFault && candidate.values) {
        ManagedObjectContext::fillFault(*object, takeValues(candidate));
      } else if (object->m_isFault) {
        object->m_faultGroup = faults;
        object->m_faultIndex = faultIndex;
      }
      if (!candidate.values) ++faultIndex;
      results.emplace_back(ManagedObjectContext::handOut(std::move(object)));
    }
    return results;
  }

  // The keys of the candidates fetched without values, in result order.
  std::shared_ptr<FaultGroup> faultGroup(const std::vector<Candidate>& candidates) const {
    auto group = std::make_shared<FaultGroup>();
    group->batchSize = m_request.fetchBatchSize() ? m_request.fetchBatchSize() : kDefaultFaultBatch;
    for (const Candidate& candidate : candidates) {
      if (!candidate.values) group->keys.push_back(candidate.key);
    }
    return group;
  }

  FetchResults dictionaries(const std::vector<Candidate>& candidates) const {
    const EntityDescription& entity = *m_request.entity();
    const auto& properties = m_request.propertiesToFetch();
    FetchResults results;
    if (hasAggregates()) {
      auto dictionary = fnd::ObjectDictionary::createMutable();
      for (const PropertyToFetch& property : properties) {
        if (!property.expression) continue;
        const Expression& expression = *property.expression->expression;
        std::vector<fnd::Ref<fnd::Object>> values;
        for (const Candidate& candidate : candidates) {
          RowSource source(m_context, ObjectID{&entity, candidate.key}, *candidate.values);
          for (const auto& argument : expression.arguments()) values.push_back(argument->evaluate(&source));
        }
        fnd::Ref<fnd::Object> result = Expression::aggregate(expression.functionName(), values);
        if (result) dictionary->setObject(result.get(), property.expression->name);
      }
      results.emplace_back(fnd::Ref<fnd::Object>(dictionary->copy()));
      return results;
    }
    for (const Candidate& candidate : candidates) {
      auto dictionary = fnd::ObjectDictionary::createMutable();
      auto add = [&](const std::string& name) {
        int attribute = entity.attributeIndex(name);
        if (attribute < 0) return;
        const fnd::Ref<fnd::Object>& value = candidate.values->attributes[static_cast<std::size_t>(attribute)];
        if (value) dictionary->setObject(value.get(), name);
      };
      if (properties.empty()) {
        for (const AttributeDescription& attribute : entity.attributes()) add(attribute.name);
      }
      for (const PropertyToFetch& property : properties) {
        if (!property.expression) add(property.attributeName);
      }
      results.emplace_back(fnd::Ref<fnd::Object>(dictionary->copy()));
    }
    return results;
  }

  ManagedObjectContext& m_context;
  const FetchRequest& m_request;
  std::unordered_map<std::int64_t, const ManagedObject*> m_overlay;  // null: deleted
  std::vector<StoredRow> m_rows;
};

std::optional<FetchResults> ManagedObjectContext::executeFetchRequest(const FetchRequest& request,
                                                                      std::optional<fnd::Error>* error) {
  return ContextFetch(*this, request).run(error);
}

std::optional<std::size_t> ManagedObjectContext::countForFetchRequest(const FetchRequest& request,
                                                                      std::optional<fnd::Error>* error) {
  return ContextFetch(*this, request).count(error);
}

}  // namespace objectstore
