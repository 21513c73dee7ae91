#include "store/store_model.h"

#include "store/model_bundle.h"
#include "store/stack_state.h"

namespace store {

ModelPtr StoreModel::RS_defaultManagedObjectModel() {
  std::lock_guard lock(stackState().mutex);
  if (!stackState().defaultModel && stackState().shouldAutoCreateManagedObjectModel) {
    stackState().defaultModel = RS_mergedObjectModelFromMainBundle();
  }
  return stackState().defaultModel;
}

void StoreModel::RS_setDefaultManagedObjectModel(ModelPtr model) {
  std::lock_guard lock(stackState().mutex);
  stackState().defaultModel = std::move(model);
}

ModelPtr StoreModel::RS_mergedObjectModelFromMainBundle() {
  auto models = ModelBundle::allModels();
  if (models.empty()) return nullptr;
  if (models.size() == 1) return models.front();
  return objectstore::ManagedObjectModel::merged(models);
}

ModelPtr StoreModel::RS_newManagedObjectModelNamed(const std::string& fileName) {
  if (ModelPtr model = ModelBundle::modelNamed(fileName)) return model;
  // "Name.ext" is found under its base name too, as a resource of any type.
  std::size_t dot = fileName.rfind('.');
  return dot == std::string::npos ? nullptr : ModelBundle::modelNamed(fileName.substr(0, dot));
}

ModelPtr StoreModel::RS_managedObjectModelNamed(const std::string& fileName) {
  return RS_newManagedObjectModelNamed(fileName);
}

}  // namespace store
