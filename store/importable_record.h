#pragma once
// ImportableRecord<T>: a record class that can be filled from decoded data.
// It adds the data import to Record<T>'s finders, under "RS_" names and
// shorthand names. A class declares its import operations in one place, a
// static `importOperations()` returning its ImportOperations table.
// Call on the thread that owns the context, as for Record<T>.
#include <optional>

#include "store/data_import.h"
#include "store/import_operations.h"
#include "store/record.h"

namespace store {

template <class T>
class ImportableRecord : public Record<T>, public ImportOperationsProvider {
 public:
  using List = RecordList<T>;

  // The record that the data identifies, found or made in `context`, with the data imported.
  static fnd::Ref<T> RS_importFromObject(fnd::Object* data, const ContextPtr& context) {
    return fnd::Ref<T>(dynamic_cast<T*>(DataImport::RS_importFromObject(T::kEntityName, data, context).get()));
  }
  static fnd::Ref<T> RS_importFromObject(fnd::Object* data) {
    return RS_importFromObject(data, StoreContext::RS_defaultContext());
  }
  // Imports and saves every data object of the list; the records as `context` sees them.
  static std::optional<List> RS_importFromArray(const fnd::Array& list, const ContextPtr& context) {
    std::optional<objectstore::FetchResults> results = DataImport::RS_importFromArray(T::kEntityName, list, context);
    if (!results) return std::nullopt;
    List records;
    for (const fnd::Ref<fnd::Object>& result : *results) {
      if (auto* record = dynamic_cast<T*>(result.get())) records.emplace_back(record);
    }
    return records;
  }
  static std::optional<List> RS_importFromArray(const fnd::Array& list) {
    return RS_importFromArray(list, StoreContext::RS_defaultContext());
  }

  bool RS_importValuesForKeysWithObject(fnd::Object* data) {
    return DataImport::RS_importValuesForKeysWithObject(*this, data);
  }
  bool RS_performDataImportFromObject(fnd::Object* data, const RelationshipBlock& block) {
    return DataImport::RS_performDataImportFromObject(*this, data, block);
  }

  const ImportOperations& operationsForImport() const final {
    if constexpr (requires { T::importOperations(); }) {
      return T::importOperations();
    } else {
      return ImportOperations::none();
    }
  }

  RS_SHORTHAND(importFromObject)
  RS_SHORTHAND(importFromArray)
  RS_INSTANCE_SHORTHAND(importValuesForKeysWithObject)
  RS_INSTANCE_SHORTHAND(performDataImportFromObject)
};

}  // namespace store
