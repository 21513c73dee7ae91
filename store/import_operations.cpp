#include "store/import_operations.h"

namespace store {

const ImportOperations& ImportOperations::none() {
  static const ImportOperations empty;
  return empty;
}

const ImportOperations::Operation* ImportOperations::find(std::string_view name) const {
  auto found = m_operations.find(name);
  return found == m_operations.end() ? nullptr : &found->second;
}

const ImportOperations& importOperationsOf(const objectstore::ManagedObject& record) {
  // Related records are made from the entity's factory, so their class is
  // only known at run time.
  const auto* provider = dynamic_cast<const ImportOperationsProvider*>(&record);
  return provider ? provider->operationsForImport() : ImportOperations::none();
}

}  // namespace store
