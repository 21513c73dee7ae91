#include "store/model_bundle.h"

#include <map>
#include <mutex>

namespace store {

namespace {

struct Bundle {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<const objectstore::ManagedObjectModel>> models;  // guarded by mutex
};

Bundle& bundle() {
  static Bundle* const shared = new Bundle;  // lives to the end of the process
  return *shared;
}

}  // namespace

void ModelBundle::addModel(const std::string& fileName, std::shared_ptr<const objectstore::ManagedObjectModel> model) {
  std::lock_guard lock(bundle().mutex);
  bundle().models[fileName] = std::move(model);
}

void ModelBundle::removeModel(const std::string& fileName) {
  std::lock_guard lock(bundle().mutex);
  bundle().models.erase(fileName);
}

std::shared_ptr<const objectstore::ManagedObjectModel> ModelBundle::modelNamed(const std::string& fileName) {
  std::lock_guard lock(bundle().mutex);
  auto found = bundle().models.find(fileName);
  return found == bundle().models.end() ? nullptr : found->second;
}

std::vector<std::shared_ptr<const objectstore::ManagedObjectModel>> ModelBundle::allModels() {
  std::lock_guard lock(bundle().mutex);
  std::vector<std::shared_ptr<const objectstore::ManagedObjectModel>> models;
  for (const auto& [name, model] : bundle().models) models.push_back(model);
  return models;
}

}  // namespace store
