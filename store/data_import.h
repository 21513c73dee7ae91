#pragma once
// DataImport: fills records from decoded data (dictionaries, arrays, texts,
// numbers). Each attribute and relationship is read under the key the model
// maps it to, related records are found by their identifying attribute or
// created, and the record's class may take over any step (ImportOperations).
// Call on the thread that owns the record's context.
#include <functional>
#include <optional>
#include <string_view>

#include "platform/objectstore/managed_object_context.h"
#include "store/shorthand.h"

namespace store {

using objectstore::ContextPtr;
using objectstore::ManagedObject;
using objectstore::ManagedObjectRef;
using objectstore::RelationshipDescription;

// Receives a relationship and one related data value (one element of a to-many list).
using RelationshipBlock = std::function<void(const RelationshipDescription& relationship, fnd::Object* relatedData)>;

inline constexpr std::string_view kDataImportErrorDomain = "DataImport";
enum DataImportErrorCode : long { kUnstorableValueError = 1, kAttachError = 2 };

class DataImport {
 public:
  // The record of the entity whose identifying attribute equals the data's
  // value for it, or a new one, with the data imported; null when the
  // record's class refused the data (a record made for it is removed again).
  static ManagedObjectRef RS_importFromObject(std::string_view entityName, fnd::Object* data,
                                              const ContextPtr& context);
  // Imports each data object in a child of the default context saved through
  // to the store file; the imported records as `context` sees them, or none
  // when the fetch failed or there is no record store.
  static std::optional<objectstore::FetchResults> RS_importFromArray(std::string_view entityName,
                                                                     const fnd::Array& list, const ContextPtr& context);
  static ManagedObjectRef RS_createInstanceInContext(const objectstore::EntityDescription& entity,
                                                     const ContextPtr& context);

  // Attributes, then relationships with the default block; false when the
  // record's class refused the data.
  static bool RS_importValuesForKeysWithObject(ManagedObject& record, fnd::Object* data);
  static bool RS_performDataImportFromObject(ManagedObject& record, fnd::Object* data, const RelationshipBlock& block);

  // The steps of one import.
  static bool RS_preImport(ManagedObject& record, fnd::Object* data);
  static void RS_setAttributes(ManagedObject& record, fnd::Object* data);
  static void RS_setRelationships(ManagedObject& record, fnd::Object* data, const RelationshipBlock& block);
  static void RS_postImport(ManagedObject& record, fnd::Object* data);
  // Hands the value to the class's "import<Key>:" operation; false when it has none.
  static bool RS_importValue(ManagedObject& record, fnd::Object* value, std::string_view key);
  // The default block: finds or creates the related record, imports into it, attaches it.
  static void RS_importRelated(ManagedObject& record, const RelationshipDescription& relationship,
                               fnd::Object* relatedData);
  static ManagedObjectRef RS_findObjectForRelationship(ManagedObject& record,
                                                       const RelationshipDescription& relationship,
                                                       fnd::Object* relatedData);
  // Sets a to-one relationship or appends to a to-many one; a refusal goes to
  // RecordStore::handleErrors.
  static void RS_addObject(ManagedObject& record, ManagedObject& related, const RelationshipDescription& relationship);

  RS_SHORTHAND(importFromObject)
  RS_SHORTHAND(importFromArray)
  RS_SHORTHAND(createInstanceInContext)
  RS_SHORTHAND(importValuesForKeysWithObject)
  RS_SHORTHAND(performDataImportFromObject)
  RS_SHORTHAND(setAttributes)
  RS_SHORTHAND(setRelationships)
  RS_SHORTHAND(importValue)
  RS_SHORTHAND(preImport)
  RS_SHORTHAND(postImport)
  RS_SHORTHAND(importRelated)
  RS_SHORTHAND(findObjectForRelationship)
  RS_SHORTHAND(addObject)
};

}  // namespace store
