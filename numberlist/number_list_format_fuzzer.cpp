// The number list comes over plain HTTP from a server the application does
// not control: any body must give items or none without a fault, and a record
// takes the phone number exactly when the item gives it as text. The input is
// read twice: as the items of a list body, and as the member values, in
// order, of one item (the member names are hard to guess through their hashes).
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "json/json_decoder.h"
#include "numberlist/contact.h"
#include "numberlist/number_list_format.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"
#include "store/record_store.h"

namespace {

constexpr std::array<std::string_view, 6> kMemberNames = {"firma", "telefon", "url", "kategori", "posisjon", "status"};
constexpr std::string_view kPhoneNumberMember = "telefon";

bool fillsSoundly(const fnd::Dictionary& item) {
  fnd::Ref<numberlist::Contact> record = numberlist::Contact::createEntity();
  numberlist::fillRecordFromItem(*record, item);
  const fnd::Object* given = item.objectForKey(kPhoneNumberMember);
  const fnd::Ref<fnd::String> taken = record->phoneNumber();
  const bool givenAsText = given && given->kind() == fnd::ObjectKind::String;
  const bool sound = taken ? givenAsText && taken->isEqual(*given) : !givenAsText;
  record->deleteEntity();
  return sound;
}

void checkListBody(std::string_view items) {
  const auto body = fnd::Data::create(R"({"telefonnumre":[)" + std::string(items) + "]}");
  const fnd::Ref<fnd::Array> list = numberlist::itemsFromListBody(*body);
  if (!list) return;
  for (fnd::Object* item : *list) {
    if (numberlist::isListItem(item) && !fillsSoundly(static_cast<const fnd::Dictionary&>(*item))) std::abort();
  }
}

void checkMemberValues(std::string_view values) {
  const auto text = fnd::Data::create("[" + std::string(values) + "]");
  const fnd::Ref<fnd::Object> decoded = json::objectFromJSONData(text.get());
  if (!decoded || decoded->kind() != fnd::ObjectKind::Array) return;
  const auto& array = static_cast<const fnd::Array&>(*decoded);
  auto item = fnd::ObjectDictionary::createMutable();
  for (std::size_t i = 0; i < array.count() && i < kMemberNames.size(); ++i)
    item->setObject(array.objectAtIndex(i), kMemberNames[i]);
  if (!fillsSoundly(*item)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool storeReady = [] {
    numberlist::Contact::registerModel();
    store::RecordStore::setupCoreDataStackWithInMemoryStore();
    return true;
  }();
  (void)storeReady;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  numberlist::rankFromText(input);
  checkListBody(input);
  checkMemberValues(input);
  return 0;
}
