#include "numberlist/number_list_format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "json/json_decoder.h"
#include "platform/foundation/number.h"
#include "platform/foundation/string_object.h"

namespace numberlist {

namespace {

constexpr std::string_view kListKey = "telefonnumre";
constexpr std::string_view kFirmKey = "firma";
constexpr std::string_view kPhoneNumberKey = "telefon";
constexpr std::string_view kUrlKey = "url";
constexpr std::string_view kCategoryKey = "kategori";
constexpr std::string_view kRankKey = "posisjon";
constexpr std::string_view kStatusKey = "status";
constexpr std::string_view kApprovedStatus = "godkjent";

constexpr std::int64_t kSmallestRank = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kLargestRank = std::numeric_limits<std::int32_t>::max();

fnd::String* stringMember(const fnd::Dictionary& item, std::string_view key) {
  fnd::Object* value = item.objectForKey(key);
  return value && value->kind() == fnd::ObjectKind::String ? static_cast<fnd::String*>(value) : nullptr;
}

std::int32_t clampRank(std::int64_t rank) {
  return static_cast<std::int32_t>(std::clamp(rank, kSmallestRank, kLargestRank));
}

std::int32_t rankFromNumber(const fnd::Number& number) {
  if (number.type() != fnd::Number::Type::Double) {
    if (number.type() == fnd::Number::Type::UInt64 && number.uint64Value() > static_cast<std::uint64_t>(kLargestRank))
      return static_cast<std::int32_t>(kLargestRank);
    return clampRank(number.int64Value());
  }
  const double value = number.doubleValue();
  if (std::isnan(value)) return 0;
  return static_cast<std::int32_t>(
      std::clamp(std::trunc(value), static_cast<double>(kSmallestRank), static_cast<double>(kLargestRank)));
}

std::int32_t rankOf(const fnd::Dictionary& item) {
  fnd::Object* value = item.objectForKey(kRankKey);
  if (!value) return 0;
  if (value->kind() == fnd::ObjectKind::Number) return rankFromNumber(*static_cast<fnd::Number*>(value));
  if (value->kind() == fnd::ObjectKind::String) return rankFromText(static_cast<fnd::String*>(value)->utf8());
  return 0;
}

}  // namespace

fnd::Ref<fnd::Array> itemsFromListBody(const fnd::Data& body) {
  // The list is meant to be ASCII with escapes; real services send UTF-8, so
  // the bytes go to the decoder as they are. Should they not be UTF-8, a
  // malformed sequence becomes U+FFFD rather than costing the whole list.
  fnd::Ref<fnd::Object> decoded = json::objectFromJSONData(&body);
  if (!decoded) decoded = json::objectFromJSONData(&body, json::JDParseLooseUnicode);
  if (!decoded || decoded->kind() != fnd::ObjectKind::Dictionary) return nullptr;
  fnd::Object* list = static_cast<fnd::Dictionary&>(*decoded).objectForKey(kListKey);
  if (!list || list->kind() != fnd::ObjectKind::Array) return nullptr;
  return fnd::Ref<fnd::Array>(static_cast<fnd::Array*>(list));
}

std::int32_t rankFromText(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t magnitude = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    magnitude = std::min(magnitude * 10 + (text[i] - '0'), kLargestRank + 1);  // stays in range while clamping
  }
  return clampRank(negative ? -magnitude : magnitude);
}

bool isListItem(const fnd::Object* item) { return item && item->kind() == fnd::ObjectKind::Dictionary; }

bool givesPhoneNumber(const fnd::Object* item) {
  if (!isListItem(item)) return false;
  const fnd::String* number = stringMember(static_cast<const fnd::Dictionary&>(*item), kPhoneNumberKey);
  return number && !number->utf8().empty();
}

void fillRecordFromItem(Contact& record, const fnd::Dictionary& item) {
  if (fnd::String* firm = stringMember(item, kFirmKey)) record.setFirm(firm);
  if (fnd::String* number = stringMember(item, kPhoneNumberKey)) record.setPhoneNumber(number);
  if (fnd::String* url = stringMember(item, kUrlKey)) record.setUrl(url);
  if (fnd::String* category = stringMember(item, kCategoryKey)) record.setCategory(category);
  record.setPosition(fnd::Number::create(std::int64_t{rankOf(item)}).get());
  const fnd::String* status = stringMember(item, kStatusKey);
  record.setStatus(fnd::Number::boolean(status && status->utf8() == kApprovedStatus));
}

}  // namespace numberlist
