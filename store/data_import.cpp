#include "store/data_import.h"

#include "platform/foundation/exception.h"
#include "platform/foundation/object_array.h"
#include "store/fetch_requests.h"
#include "store/import_model.h"
#include "store/import_operations.h"
#include "store/import_values.h"
#include "store/record_store.h"
#include "store/store_context.h"

namespace store {

namespace {

using objectstore::AttributeDescription;
using objectstore::EntityDescription;

constexpr std::string_view kShouldImportOperation = "shouldImport:";
constexpr std::string_view kWillImportOperation = "willImport:";
constexpr std::string_view kDidImportOperation = "didImport:";

std::string importOperationName(std::string_view key) {
  return "import" + ImportModel::RS_capitalizedFirstCharacterString(key) + ":";
}

std::string shouldImportOperationName(std::string_view key) {
  return "shouldImport" + ImportModel::RS_capitalizedFirstCharacterString(key) + ":";
}

// Runs the named operation when the record's class has it; `whenMissing` otherwise.
bool perform(ManagedObject& record, std::string_view name, fnd::Object* value, bool whenMissing) {
  const ImportOperations::Operation* operation = importOperationsOf(record).find(name);
  return operation ? (*operation)(record, value) : whenMissing;
}

void report(DataImportErrorCode code, const std::string& description) {
  fnd::Error error = fnd::Error::withDescription(std::string(kDataImportErrorDomain), code, description);
  RecordStore::handleErrors(&error);
}

ContextPtr contextOf(const ManagedObject& record) {
  objectstore::ManagedObjectContext* context = record.managedObjectContext();
  return context ? context->shared_from_this() : nullptr;
}

// The first record of the entity whose attribute holds `value` as that
// attribute stores it; null for a missing attribute or value.
ManagedObjectRef findByIdentifier(const EntityDescription& entity, const std::string& attributeName,
                                  const fnd::Ref<fnd::Object>& value, const ContextPtr& context) {
  const AttributeDescription* attribute = entity.attributeNamed(attributeName);
  if (!attribute || !value) return nullptr;
  std::optional<fnd::Ref<fnd::Object>> stored = storableValue(value, *attribute);
  if (!stored || !*stored) return nullptr;
  FetchRequest request = fetch_requests::requestAllWhere(entity.name(), attributeName, stored->get(), context);
  return ManagedObjectRef(dynamic_cast<ManagedObject*>(fetch_requests::executeFirst(request, context).get()));
}

// Imports into `found`, or into a new record of the entity; a new record
// whose import was refused is removed again and null returned.
ManagedObjectRef importIntoFoundOrNew(ManagedObjectRef found, const EntityDescription& entity, fnd::Object* data,
                                      const ContextPtr& context) {
  const bool isNew = !found;
  ManagedObjectRef record = isNew ? DataImport::RS_createInstanceInContext(entity, context) : std::move(found);
  if (!record) return nullptr;
  if (DataImport::RS_importValuesForKeysWithObject(*record, data)) return record;
  if (isNew) context->deleteObject(*record);
  return isNew ? nullptr : record;
}

}  // namespace

ManagedObjectRef DataImport::RS_importFromObject(std::string_view entityName, fnd::Object* data,
                                                 const ContextPtr& context) {
  const EntityDescription* entity = fetch_requests::entityNamed(entityName, context);
  if (!entity) return nullptr;
  std::string identifying = ImportModel::RS_primaryAttributeToRelateBy(*entity);
  const AttributeDescription* attribute = entity->attributeNamed(identifying);
  fnd::Ref<fnd::Object> value = attribute ? noneForNull(ImportModel::RS_valueForAttribute(*attribute, data)) : nullptr;
  return importIntoFoundOrNew(findByIdentifier(*entity, identifying, value, context), *entity, data, context);
}

std::optional<objectstore::FetchResults> DataImport::RS_importFromArray(std::string_view entityName,
                                                                        const fnd::Array& list,
                                                                        const ContextPtr& context) {
  if (!context || !StoreContext::RS_defaultContext()) return std::nullopt;
  std::vector<objectstore::ObjectID> kept;
  RecordStore::saveWithBlock([&](const ContextPtr& local) {
    // On the block context's own queue its fetches run inline instead of
    // handing every lookup to that queue and waiting.
    local->performBlockAndWait([&] {
      for (fnd::Object* data : list) {
        ManagedObjectRef record = RS_importFromObject(entityName, data, local);
        if (!record) continue;
        std::optional<fnd::Error> error;
        if (context->obtainPermanentIDsForObjects({record}, &error)) {
          kept.push_back(record->objectID());
        } else if (error) {
          RecordStore::handleErrors(&*error);
        }
      }
    });
  });
  // The records as the caller's context sees them, for a "self IN" match.
  auto records = fnd::ObjectArray::createMutable();
  for (const objectstore::ObjectID& id : kept) records->addObject(context->objectWithID(id).get());
  FetchRequest request = fetch_requests::requestAll(entityName, context);
  request.setPredicate(objectstore::Predicate::withFormat("self IN %@", {fnd::Ref<fnd::Object>(records)}));
  return fetch_requests::execute(request, context);
}

ManagedObjectRef DataImport::RS_createInstanceInContext(const EntityDescription& entity, const ContextPtr& context) {
  return context ? context->insertNewObject(entity.name()) : nullptr;
}

bool DataImport::RS_importValuesForKeysWithObject(ManagedObject& record, fnd::Object* data) {
  return RS_performDataImportFromObject(
      record, data, [&record](const RelationshipDescription& relationship, fnd::Object* relatedData) {
        RS_importRelated(record, relationship, relatedData);
      });
}

bool DataImport::RS_performDataImportFromObject(ManagedObject& record, fnd::Object* data,
                                                const RelationshipBlock& block) {
  // Absent keys read as null here, so the data needs no change of its own for the import.
  if (!RS_preImport(record, data)) return false;
  RS_setAttributes(record, data);
  RS_setRelationships(record, data, block);
  RS_postImport(record, data);
  return true;
}

bool DataImport::RS_preImport(ManagedObject& record, fnd::Object* data) {
  if (!perform(record, kShouldImportOperation, data, true)) return false;
  perform(record, kWillImportOperation, data, true);
  return true;
}

void DataImport::RS_postImport(ManagedObject& record, fnd::Object* data) {
  perform(record, kDidImportOperation, data, true);
}

void DataImport::RS_setAttributes(ManagedObject& record, fnd::Object* data) {
  for (const AttributeDescription& attribute : record.entity().attributes()) {
    std::optional<std::string> key = ImportModel::RS_lookupKeyForAttribute(attribute, data);
    if (!key) continue;
    fnd::Ref<fnd::Object> value = ImportModel::RS_valueForKeyPath(attribute, *key, data);
    if (RS_importValue(record, value.get(), attribute.name)) continue;
    std::optional<fnd::Ref<fnd::Object>> stored = storableValue(value, attribute);
    if (!stored) {
      report(kUnstorableValueError, "The value " + value->description() + " under \"" + *key +
                                        "\" cannot be stored in the attribute " + record.entity().name() + "." +
                                        attribute.name + "; the attribute was left unchanged.");
      continue;
    }
    record.setValueForKey(stored->get(), attribute.name);
  }
}

void DataImport::RS_setRelationships(ManagedObject& record, fnd::Object* data, const RelationshipBlock& block) {
  for (const RelationshipDescription& relationship : record.entity().relationships()) {
    if (RS_importValue(record, data, relationship.name)) continue;
    fnd::Ref<fnd::Object> value =
        noneForNull(dataValueForKey(data, ImportModel::RS_lookupKeyForRelationship(relationship)));
    if (!value || !perform(record, shouldImportOperationName(relationship.name), value.get(), true)) continue;
    if (relationship.isToMany && value->kind() == fnd::ObjectKind::Array) {
      for (fnd::Object* element : static_cast<const fnd::Array&>(*value)) block(relationship, element);
    } else {
      block(relationship, value.get());
    }
  }
}

bool DataImport::RS_importValue(ManagedObject& record, fnd::Object* value, std::string_view key) {
  const ImportOperations::Operation* operation = importOperationsOf(record).find(importOperationName(key));
  if (!operation) return false;
  (*operation)(record, value);
  return true;
}

void DataImport::RS_importRelated(ManagedObject& record, const RelationshipDescription& relationship,
                                  fnd::Object* relatedData) {
  ContextPtr context = contextOf(record);
  if (!context || !relationship.destinationEntity) return;
  ManagedObjectRef related = importIntoFoundOrNew(RS_findObjectForRelationship(record, relationship, relatedData),
                                                  *relationship.destinationEntity, relatedData, context);
  if (related) RS_addObject(record, *related, relationship);
}

ManagedObjectRef DataImport::RS_findObjectForRelationship(ManagedObject& record,
                                                          const RelationshipDescription& relationship,
                                                          fnd::Object* relatedData) {
  ContextPtr context = contextOf(record);
  if (!context || !relationship.destinationEntity) return nullptr;
  return findByIdentifier(*relationship.destinationEntity, ImportModel::RS_primaryKey(relationship),
                          ImportModel::RS_relatedValueForRelationship(relationship, relatedData), context);
}

void DataImport::RS_addObject(ManagedObject& record, ManagedObject& related,
                              const RelationshipDescription& relationship) {
  try {
    // An ordered to-many list keeps the order in which records are appended.
    if (relationship.isToMany) {
      record.addObjectToRelationship(related, relationship.name);
    } else {
      record.setValueForKey(&related, relationship.name);
    }
  } catch (const fnd::Exception& exception) {
    report(kAttachError, exception.what());
  }
}

}  // namespace store
