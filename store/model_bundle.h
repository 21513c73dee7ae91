#pragma once
// ModelBundle: the application's object models by file name, the stand-in for
// the model files of the application bundle. Record classes add their model
// before the stack is set up. Thread-safe.
#include <memory>
#include <string>
#include <vector>

#include "platform/objectstore/model.h"

namespace store {

class ModelBundle {
 public:
  // Adds (or replaces) the model kept under `fileName`, e.g. "Ringeplagvern.momd".
  static void addModel(const std::string& fileName, std::shared_ptr<const objectstore::ManagedObjectModel> model);
  static void removeModel(const std::string& fileName);
  static std::shared_ptr<const objectstore::ManagedObjectModel> modelNamed(const std::string& fileName);
  static std::vector<std::shared_ptr<const objectstore::ManagedObjectModel>> allModels();
};

}  // namespace store
