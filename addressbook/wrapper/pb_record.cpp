#include "addressbook/wrapper/pb_record.h"

#include <array>

#include "addressbook/wrapper/pb_address_book.h"
#include "addressbook/wrapper/pb_multi_value.h"
#include "platform/addressbook/multi_value.h"
#include "platform/foundation/exception.h"

namespace pb {

namespace {

// The unknown-type text is shared by both tables.
constexpr const char* kUnknownPropertyType = "Unknown Property Type";

constexpr std::array kRecordTypeTexts{
    "kABPersonType - Person Record Type",
    "kABGroupType - Group Record Type",
    "kABSourceType - Source Record Type",
};

constexpr std::array kSinglePropertyTypeTexts{
    "kABInvalidPropertyType - Invalid Property Type",    "kABStringPropertyType - String Property Type",
    "kABIntegerPropertyType - Integer Property Type",    "kABRealPropertyType - Real Property Type",
    "kABDateTimePropertyType - Date Time Property Type", "kABDictionaryPropertyType - Dictionary Property Type",
};

constexpr std::array kMultiPropertyTypeTexts{
    "kABMultiStringPropertyType - Multi String Property Type",
    "kABMultiIntegerPropertyType - Multi Integer Property Type",
    "kABMultiRealPropertyType - Multi Real Property Type",
    "kABMultiDateTimePropertyType - Multi Date Time Property Type",
    "kABMultiDictionaryPropertyType - Multi Dictionary Property Type",
};

bool isUsableProperty(const fnd::Ref<ab::Record>& record, ab::PropertyID property) {
  return record && property != ab::kInvalidPropertyID;
}

}  // namespace

PBRecord::PBRecord(std::shared_ptr<PBAddressBook> addressBook, fnd::Ref<ab::Record> record)
    : m_addressBook(std::move(addressBook)), m_recordRef(std::move(record)) {}

void PBRecord::checkIn() {
  if (m_addressBook) m_addressBook->_recordCheckIn(shared_from_this());
}

PBRecord::~PBRecord() {
  if (m_addressBook) m_addressBook->_recordCheckOut(this);
}

void PBRecord::performRecordAction(const std::function<void(ab::Record&)>& action, bool waitUntilDone) const {
  if (!m_recordRef) return;
  if (!m_addressBook) {
    action(*m_recordRef);
    return;
  }
  m_addressBook->performAddressBookAction([record = m_recordRef, action](ab::AddressBook&) { action(*record); },
                                          waitUntilDone);
}

ab::RecordID PBRecord::recordID() const {
  ab::RecordID id = ab::kInvalidRecordID;
  performRecordAction([&id](ab::Record& record) { id = record.recordID(); });
  return id;
}

ab::RecordType PBRecord::recordType() const {
  ab::RecordType type = ab::RecordType::Person;
  performRecordAction([&type](ab::Record& record) { type = record.recordType(); });
  return type;
}

fnd::Ref<fnd::String> PBRecord::compositeName() const {
  fnd::Ref<fnd::String> name;
  performRecordAction([&name](ab::Record& record) { name = record.copyCompositeName(); });
  return name;
}

fnd::Ref<fnd::Object> PBRecord::getBasicValueForPropertyID(ab::PropertyID property) const {
  if (!isUsableProperty(m_recordRef, property)) return nullptr;
  fnd::Ref<fnd::Object> value;
  performRecordAction([&](ab::Record& record) { value = record.copyValue(property); });
  return value;
}

bool PBRecord::setBasicValue(fnd::Object* value, ab::PropertyID property, std::optional<fnd::Error>* error) {
  if (!isUsableProperty(m_recordRef, property)) return false;
  if (!value) return unsetBasicValueForPropertyID(property, error);
  bool stored = false;
  performRecordAction([&](ab::Record& record) { stored = record.setValue(property, value, error); });
  return stored;
}

bool PBRecord::unsetBasicValueForPropertyID(ab::PropertyID property, std::optional<fnd::Error>* error) {
  if (!isUsableProperty(m_recordRef, property)) return false;
  bool removed = false;
  performRecordAction([&](ab::Record& record) { removed = record.removeValue(property, error); });
  return removed;
}

std::shared_ptr<PBMultiValue> PBRecord::getMultiValueForPropertyID(ab::PropertyID property) const {
  const fnd::Ref<fnd::Object> value = getBasicValueForPropertyID(property);
  return PBMultiValue::create(fnd::Ref<ab::MultiValue>(dynamic_cast<ab::MultiValue*>(value.get())));
}

bool PBRecord::setMultiValue(const PBMultiValue* value, ab::PropertyID property, std::optional<fnd::Error>* error) {
  if (!value) return unsetMultiValueForPropertyID(property, error);
  return setBasicValue(value->multiValueRef().get(), property, error);
}

bool PBRecord::unsetMultiValueForPropertyID(ab::PropertyID property, std::optional<fnd::Error>* error) {
  return unsetBasicValueForPropertyID(property, error);
}

bool PBRecord::save() { return m_addressBook && m_addressBook->save(); }

bool PBRecord::save(std::optional<fnd::Error>* error) { return m_addressBook && m_addressBook->save(error); }

bool PBRecord::hasUnsavedChanges() { return m_addressBook && m_addressBook->hasUnsavedChanges(); }

void PBRecord::revert() {
  if (m_addressBook) m_addressBook->revert();
}

std::string PBRecord::textOrNull(const fnd::String* text) { return text ? std::string(text->utf8()) : "(null)"; }

std::string PBRecord::description() const {
  return fnd::formatString("<%s: %p> name:%s", className(), static_cast<const void*>(this),
                           textOrNull(compositeName().get()).c_str());
}

std::string PBRecord::descriptionForRecordType(std::uint32_t recordType) {
  return recordType < kRecordTypeTexts.size() ? kRecordTypeTexts[recordType] : kUnknownPropertyType;
}

std::string PBRecord::descriptionForPropertyType(std::uint32_t propertyType) {
  if (propertyType < kSinglePropertyTypeTexts.size()) return kSinglePropertyTypeTexts[propertyType];
  const std::uint32_t element = propertyType - ab::kMultiValueMask;
  if (propertyType > ab::kMultiValueMask && element < kSinglePropertyTypeTexts.size())
    return kMultiPropertyTypeTexts[element - 1];
  return kUnknownPropertyType;
}

}  // namespace pb
