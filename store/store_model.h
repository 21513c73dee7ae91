#pragma once
// The default object model of the record store and the ways to load one.
// Setters are for the main thread (set-up and clean-up); readers may run anywhere.
#include <memory>
#include <string>

#include "platform/objectstore/model.h"
#include "store/shorthand.h"

namespace store {

using ModelPtr = std::shared_ptr<const objectstore::ManagedObjectModel>;

class StoreModel {
 public:
  // The default model; when none is set and auto-creation is on, the merged
  // model of the bundle becomes the default first.
  static ModelPtr RS_defaultManagedObjectModel();
  static void RS_setDefaultManagedObjectModel(ModelPtr model);
  // Every model of the bundle merged into one; null when the bundle has none.
  static ModelPtr RS_mergedObjectModelFromMainBundle();
  // The model kept under `fileName` ("Name" or "Name.momd"), or null.
  static ModelPtr RS_newManagedObjectModelNamed(const std::string& fileName);
  static ModelPtr RS_managedObjectModelNamed(const std::string& fileName);

  RS_SHORTHAND(defaultManagedObjectModel)
  RS_SHORTHAND(setDefaultManagedObjectModel)
  RS_SHORTHAND(mergedObjectModelFromMainBundle)
  RS_SHORTHAND(newManagedObjectModelNamed)
  RS_SHORTHAND(managedObjectModelNamed)
};

}  // namespace store
