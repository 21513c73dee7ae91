#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>

#include "platform/addressbook/multi_value.h"
#include "platform/addressbook/vcard.h"
#include "platform/addressbook/vcard_format.h"
#include "platform/foundation/date.h"
#include "platform/foundation/number.h"

namespace ab {

namespace {

std::string textValue(const Record& person, PropertyID property) {
  const fnd::Ref<fnd::Object> value = person.copyValue(property);
  return value && value->kind() == fnd::ObjectKind::String ? std::string(static_cast<const fnd::String&>(*value).utf8())
                                                           : std::string();
}

std::string dictionaryText(const fnd::Dictionary& dictionary, std::string_view key) {
  const fnd::Object* value = dictionary.objectForKey(key);
  return value && value->kind() == fnd::ObjectKind::String ? std::string(static_cast<const fnd::String*>(value)->utf8())
                                                           : std::string();
}

std::string dateText(const fnd::Date& date) {
  const QDateTime time =
      QDateTime::fromSecsSinceEpoch(static_cast<qint64>(date.timeIntervalSince1970()), QTimeZone::utc());
  if (time.time() == QTime(0, 0)) return time.date().toString(Qt::ISODate).toStdString();
  return time.toString(Qt::ISODate).toStdString();
}

// A parameter value needs quotes when it holds a separator of the line.
std::string parameterValue(std::string_view value) {
  std::string clean;
  for (char c : value)
    if (c != '"' && c != '\r' && c != '\n') clean += c;
  if (clean.find_first_of(":;,") == std::string::npos) return clean;
  return '"' + clean + '"';
}

class CardWriter {
 public:
  explicit CardWriter(std::string& out) : m_out(out) {}

  void line(std::string_view content) { vcard::appendFoldedLine(m_out, content); }

  void person(const Record& person);

 private:
  void multiValue(const Record& person, PropertyID property, std::string_view name);
  std::string entryValue(PropertyID property, const fnd::Object& value, std::string& parameters) const;

  std::string& m_out;
  int m_nextGroup = 1;
};

std::string CardWriter::entryValue(PropertyID property, const fnd::Object& value, std::string& parameters) const {
  if (value.kind() == fnd::ObjectKind::String) return vcard::escapeText(static_cast<const fnd::String&>(value).utf8());
  if (value.kind() == fnd::ObjectKind::Date) return dateText(static_cast<const fnd::Date&>(value));
  if (value.kind() != fnd::ObjectKind::Dictionary) return {};
  const auto& dictionary = static_cast<const fnd::Dictionary&>(value);
  if (property == kPersonAddressProperty) {
    const std::string code = dictionaryText(dictionary, kAddressCountryCodeKey);
    if (!code.empty()) parameters += ";X-COUNTRY-CODE=" + parameterValue(code);
    std::string joined = ";;";  // post office box and extended address are not kept
    for (std::string_view key : {kAddressStreetKey, kAddressCityKey, kAddressStateKey, kAddressZIPKey})
      joined += vcard::escapeText(dictionaryText(dictionary, key)) + ';';
    return joined + vcard::escapeText(dictionaryText(dictionary, kAddressCountryKey));
  }
  if (property == kPersonInstantMessageProperty) {
    const std::string service = dictionaryText(dictionary, kInstantMessageServiceKey);
    if (!service.empty()) parameters += ";X-SERVICE-TYPE=" + parameterValue(service);
    return "x-im:" + vcard::escapeText(dictionaryText(dictionary, kInstantMessageUsernameKey));
  }
  for (auto [key, parameter] :
       {std::pair{kSocialProfileServiceKey, "X-SERVICE-TYPE"}, std::pair{kSocialProfileUsernameKey, "X-USER"},
        std::pair{kSocialProfileUserIdentifierKey, "X-USERID"}}) {
    const std::string text = dictionaryText(dictionary, key);
    if (!text.empty()) parameters += std::string(";") + parameter + '=' + parameterValue(text);
  }
  return vcard::escapeText(dictionaryText(dictionary, kSocialProfileURLKey));
}

void CardWriter::multiValue(const Record& person, PropertyID property, std::string_view name) {
  const fnd::Ref<fnd::Object> stored = person.copyValue(property);
  const auto* values = dynamic_cast<const MultiValue*>(stored.get());
  if (!values) return;
  for (const MultiValue::Entry& entry : values->entries()) {
    std::string parameters;
    const std::string value = entryValue(property, *entry.value, parameters);
    const std::string_view label = entry.label ? entry.label->utf8() : std::string_view();
    const std::vector<std::string_view> types = vcard::typesForLabel(property, label);
    if (property == kPersonEmailProperty) parameters = ";TYPE=INTERNET" + parameters;
    for (std::string_view type : types) parameters += std::string(";TYPE=") + std::string(type);
    if (label.empty() || !types.empty()) {
      line(std::string(name) + parameters + ':' + value);
      continue;
    }
    const std::string group = "item" + std::to_string(m_nextGroup++) + '.';
    line(group + std::string(name) + parameters + ':' + value);
    line(group + "X-ABLabel:" + vcard::escapeText(label));
  }
}

void CardWriter::person(const Record& person) {
  line("BEGIN:VCARD");
  line("VERSION:3.0");
  // N: family; given; additional; prefixes; suffixes.
  std::string name;
  for (PropertyID property : {kPersonLastNameProperty, kPersonFirstNameProperty, kPersonMiddleNameProperty,
                              kPersonPrefixProperty, kPersonSuffixProperty}) {
    if (property != kPersonLastNameProperty) name += ';';
    name += vcard::escapeText(textValue(person, property));
  }
  line("N:" + name);
  const fnd::Ref<fnd::String> composite = person.copyCompositeName();
  line("FN:" + vcard::escapeText(composite ? composite->utf8() : std::string_view()));
  for (const vcard::SimpleMapping& mapping : vcard::textMappings()) {
    const std::string text = textValue(person, mapping.property);
    if (!text.empty()) line(std::string(mapping.name) + ':' + vcard::escapeText(text));
  }
  const std::string organization = textValue(person, kPersonOrganizationProperty);
  const std::string department = textValue(person, kPersonDepartmentProperty);
  if (!organization.empty() || !department.empty())
    line("ORG:" + vcard::escapeText(organization) + (department.empty() ? "" : ";" + vcard::escapeText(department)));
  for (auto [property, lineName] :
       {std::pair{kPersonBirthdayProperty, "BDAY"}, std::pair{kPersonCreationDateProperty, "X-CREATION-DATE"},
        std::pair{kPersonModificationDateProperty, "REV"}}) {
    const fnd::Ref<fnd::Object> date = person.copyValue(property);
    if (date && date->kind() == fnd::ObjectKind::Date)
      line(std::string(lineName) + ':' + dateText(static_cast<const fnd::Date&>(*date)));
  }
  const fnd::Ref<fnd::Object> kind = person.copyValue(kPersonKindProperty);
  if (kind && kind->kind() == fnd::ObjectKind::Number)
    line(static_cast<const fnd::Number&>(*kind).int64Value() == kPersonKindOrganization ? "X-ABSHOWAS:COMPANY"
                                                                                        : "X-ABSHOWAS:PERSON");
  for (const vcard::MultiValueMapping& mapping : vcard::multiValueMappings())
    multiValue(person, mapping.property, mapping.name);
  if (const fnd::Ref<fnd::Data> image = person.copyImageData(ImageFormat::OriginalSize)) {
    const QByteArray encoded = QByteArray(image->bytes(), static_cast<qsizetype>(image->length())).toBase64();
    line("PHOTO;ENCODING=b;TYPE=PNG:" + encoded.toStdString());
  }
  line("END:VCARD");
}

}  // namespace

std::string vCardRepresentationWithPeople(const std::vector<fnd::Ref<Record>>& people) {
  std::string out;
  CardWriter writer(out);
  for (const fnd::Ref<Record>& person : people)
    if (person && person->recordType() == RecordType::Person) writer.person(*person);
  return out;
}

}  // namespace ab
