#pragma once
// ImportOperations: the steps of a data import that a record class takes over,
// kept by name ("shouldImport:", "willImport:", "didImport:", "import<Key>:",
// "shouldImport<Key>:"). A class builds its table once; the table is immutable
// and may be read from any thread.
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

#include "platform/objectstore/managed_object.h"

namespace store {

class ImportOperations {
 public:
  // Receives the record and one value; only the "should" operations' result is read.
  using Operation = std::function<bool(objectstore::ManagedObject& record, fnd::Object* value)>;

  // One named member function of record class T, answering or not.
  template <class T>
  struct Entry {
    Entry(std::string_view operationName, bool (T::*member)(fnd::Object*))
        : name(operationName), operation([member](objectstore::ManagedObject& record, fnd::Object* value) {
            return (static_cast<T&>(record).*member)(value);
          }) {}
    Entry(std::string_view operationName, void (T::*member)(fnd::Object*))
        : name(operationName), operation([member](objectstore::ManagedObject& record, fnd::Object* value) {
            (static_cast<T&>(record).*member)(value);
            return true;
          }) {}
    std::string name;
    Operation operation;
  };

  ImportOperations() = default;
  // The table of record class T: ImportOperations::of<T>({{"willImport:", &T::willImport}, ...}).
  template <class T>
  static ImportOperations of(std::initializer_list<Entry<T>> entries) {
    ImportOperations table;
    for (const Entry<T>& entry : entries) table.m_operations.emplace(entry.name, entry.operation);
    return table;
  }

  // The table of a class without operations of its own.
  static const ImportOperations& none();
  // The operation of that name, or null.
  const Operation* find(std::string_view name) const;

 private:
  std::map<std::string, Operation, std::less<>> m_operations;
};

// Implemented by record classes that can carry import operations.
class ImportOperationsProvider {
 public:
  virtual ~ImportOperationsProvider() = default;
  virtual const ImportOperations& operationsForImport() const = 0;
};

// The table of `record`'s class; an empty one for a class that provides none.
const ImportOperations& importOperationsOf(const objectstore::ManagedObject& record);

}  // namespace store
