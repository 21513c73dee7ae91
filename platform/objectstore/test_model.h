#pragma once
// Small models for the object store's tests: people with a to-one employer
// and an ordered list of phone numbers; samples with one attribute of each type.
#include <memory>

#include "platform/foundation/number.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/model.h"

namespace objectstore::test {

inline std::shared_ptr<ManagedObjectModel> peopleModel(bool withNickname = false) {
  auto model = std::make_shared<ManagedObjectModel>();
  EntityDescription& person = model->addEntity("Person");
  person.addAttribute({.name = "name", .type = AttributeType::String, .isIndexedForSearch = true});
  person.addAttribute({.name = "age", .type = AttributeType::Integer32});
  person.addAttribute(
      {.name = "member", .type = AttributeType::Boolean, .defaultValue = fnd::Ref<fnd::Object>(fnd::Number::no())});
  person.addAttribute({.name = "born", .type = AttributeType::Date});
  if (withNickname) {
    person.addAttribute({.name = "nickname",
                         .type = AttributeType::String,
                         .defaultValue = fnd::Ref<fnd::Object>(fnd::String::create("none"))});
  }
  person.addRelationship({.name = "employer", .destinationEntityName = "Company"});
  person.addRelationship({.name = "phones", .destinationEntityName = "Phone", .isToMany = true, .isOrdered = true});
  EntityDescription& company = model->addEntity("Company");
  company.addAttribute({.name = "title", .type = AttributeType::String});
  EntityDescription& phone = model->addEntity("Phone");
  phone.addAttribute({.name = "number", .type = AttributeType::String});
  model->finish();
  return model;
}

// One attribute of every type, all optional; "name" has a search index, "label" none.
inline std::shared_ptr<ManagedObjectModel> samplesModel(AttributeType extraType = AttributeType::String) {
  auto model = std::make_shared<ManagedObjectModel>();
  EntityDescription& sample = model->addEntity("Sample");
  sample.addAttribute({.name = "name", .type = AttributeType::String, .isIndexedForSearch = true});
  sample.addAttribute({.name = "label", .type = AttributeType::String});
  sample.addAttribute({.name = "i16", .type = AttributeType::Integer16});
  sample.addAttribute({.name = "i32", .type = AttributeType::Integer32, .isIndexed = true});
  sample.addAttribute({.name = "i64", .type = AttributeType::Integer64});
  sample.addAttribute({.name = "d", .type = AttributeType::Double});
  sample.addAttribute({.name = "flag", .type = AttributeType::Boolean});
  sample.addAttribute({.name = "when", .type = AttributeType::Date});
  sample.addAttribute({.name = "blob", .type = AttributeType::Binary});
  sample.addAttribute({.name = "extra", .type = extraType});
  model->finish();
  return model;
}

}  // namespace objectstore::test
