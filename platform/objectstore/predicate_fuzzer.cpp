// Fuzzes the predicate format parser, and everything a parsed predicate goes
// through: evaluation, SQL translation, and writing it back as a format.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/predicate.h"
#include "platform/objectstore/sql_filter.h"

namespace {

const objectstore::EntityDescription& entity() {
  static objectstore::ManagedObjectModel* model = [] {
    auto* built = new objectstore::ManagedObjectModel;
    auto& contact = built->addEntity("Contact");
    contact.addAttribute({.name = "phoneNumber", .isIndexedForSearch = true});
    contact.addAttribute({.name = "position", .type = objectstore::AttributeType::Integer32});
    contact.addAttribute({.name = "status", .type = objectstore::AttributeType::Boolean});
    built->finish();
    return built;
  }();
  return *model->entityNamed("Contact");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view format(reinterpret_cast<const char*>(data), size);
  const std::vector<objectstore::FormatArgument> arguments = {
      std::string("phoneNumber"), fnd::Ref<fnd::Object>(fnd::str("22*")), std::int64_t{7}, 2.5, std::uint64_t{3}};
  objectstore::PredicateParseError error;
  objectstore::PredicatePtr predicate = objectstore::Predicate::parse(format, arguments, &error);
  if (!predicate) return 0;
  auto record = fnd::ObjectDictionary::createMutable();
  record->setObject(fnd::str("22334455").get(), "phoneNumber");
  record->setObject(fnd::Number::create(std::int64_t{5}).get(), "position");
  predicate->evaluateWithObject(record.get());
  objectstore::translatePredicate(predicate.get(), entity());
  objectstore::Predicate::parse(predicate->format(), {}, nullptr);
  return 0;
}
