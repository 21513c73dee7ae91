#include "numberlist/contact.h"

#include "store/model_bundle.h"

namespace numberlist {

namespace {

// Attribute order of the entity; the accessors read and write by index.
enum Attribute : int { kFirm, kPhoneNumber, kUrl, kCategory, kPosition, kStatus, kManualAdd };

std::shared_ptr<const objectstore::ManagedObjectModel> buildModel() {
  using objectstore::AttributeType;
  auto model = std::make_shared<objectstore::ManagedObjectModel>();
  objectstore::EntityDescription& contact = model->addEntity(std::string(Contact::kEntityName));
  contact.addAttribute({.name = "firm", .type = AttributeType::String});
  // Searched by exact number on every search: indexed on the folded text.
  contact.addAttribute({.name = "phoneNumber", .type = AttributeType::String, .isIndexedForSearch = true});
  contact.addAttribute({.name = "url", .type = AttributeType::String});
  contact.addAttribute({.name = "category", .type = AttributeType::String});
  contact.addAttribute({.name = "position", .type = AttributeType::Integer32});
  contact.addAttribute({.name = "status", .type = AttributeType::Boolean});
  // The list parser finds downloaded records by "manualAdd == 0", so an unset value must read NO.
  contact.addAttribute(
      {.name = "manualAdd", .type = AttributeType::Boolean, .defaultValue = fnd::Ref<fnd::Object>(fnd::Number::no())});
  contact.setInstanceFactory([] { return new Contact; });
  model->finish();
  return model;
}

template <class Value>
fnd::Ref<Value> typed(fnd::Ref<fnd::Object> value) {
  return fnd::Ref<Value>(static_cast<Value*>(value.get()));
}

// Registers the model before main() runs, so set-up finds it in the bundle.
const bool kModelRegistered = (Contact::registerModel(), true);

}  // namespace

std::shared_ptr<const objectstore::ManagedObjectModel> Contact::model() {
  static const std::shared_ptr<const objectstore::ManagedObjectModel> shared = buildModel();
  return shared;
}

void Contact::registerModel() { store::ModelBundle::addModel(kModelName, model()); }

fnd::Ref<fnd::String> Contact::firm() const { return typed<fnd::String>(attributeValue(kFirm)); }
void Contact::setFirm(fnd::String* firm) { setAttributeValue(kFirm, firm); }
fnd::Ref<fnd::String> Contact::phoneNumber() const { return typed<fnd::String>(attributeValue(kPhoneNumber)); }
void Contact::setPhoneNumber(fnd::String* phoneNumber) { setAttributeValue(kPhoneNumber, phoneNumber); }
fnd::Ref<fnd::String> Contact::url() const { return typed<fnd::String>(attributeValue(kUrl)); }
void Contact::setUrl(fnd::String* url) { setAttributeValue(kUrl, url); }
fnd::Ref<fnd::String> Contact::category() const { return typed<fnd::String>(attributeValue(kCategory)); }
void Contact::setCategory(fnd::String* category) { setAttributeValue(kCategory, category); }
fnd::Ref<fnd::Number> Contact::position() const { return typed<fnd::Number>(attributeValue(kPosition)); }
void Contact::setPosition(fnd::Number* position) { setAttributeValue(kPosition, position); }
fnd::Ref<fnd::Number> Contact::status() const { return typed<fnd::Number>(attributeValue(kStatus)); }
void Contact::setStatus(fnd::Number* status) { setAttributeValue(kStatus, status); }
fnd::Ref<fnd::Number> Contact::manualAdd() const { return typed<fnd::Number>(attributeValue(kManualAdd)); }
void Contact::setManualAdd(fnd::Number* manualAdd) { setAttributeValue(kManualAdd, manualAdd); }

objectstore::PredicatePtr Contact::downloadedPredicate() {
  static const objectstore::PredicatePtr predicate = objectstore::Predicate::withFormat("manualAdd == 0");
  return predicate;
}

objectstore::PredicatePtr Contact::approvedPredicate() {
  static const objectstore::PredicatePtr predicate = objectstore::Predicate::withFormat("status == YES");
  return predicate;
}

objectstore::PredicatePtr Contact::withinImportCountPredicate(int importCount) {
  return objectstore::Predicate::withFormat("position <= %d || manualAdd == YES",
                                            {static_cast<std::int64_t>(importCount)});
}

objectstore::PredicatePtr Contact::numberSearchPredicate(std::string_view searchText) {
  return objectstore::Predicate::withFormat("%K like[cd] %@", {std::string("phoneNumber"), std::string(searchText)});
}

}  // namespace numberlist
