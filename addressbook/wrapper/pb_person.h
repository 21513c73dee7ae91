#pragma once
// PBPerson: a person of the address book with every property as an accessor,
// the image and the vCard form. Thread-safe like every PBRecord; a write that
// the platform refuses is logged and otherwise ignored.

#include <QImage>
#include <optional>

#include "addressbook/wrapper/pb_address_book.h"
#include "addressbook/wrapper/pb_multi_value.h"
#include "addressbook/wrapper/pb_record.h"
#include "platform/foundation/date.h"
#include "platform/foundation/number.h"

namespace pb {

class PBPerson final : public PBRecord {
 public:
  using Text = fnd::Ref<fnd::String>;
  using List = std::shared_ptr<PBMultiValue>;

  // A new person of `source` for its instance, not yet added; null without a source.
  static std::shared_ptr<PBPerson> newPersonInSource(const std::shared_ptr<PBSource>& source);
  static std::shared_ptr<PBPerson> personForABRecordRef(ab::Record* record, PBAddressBook& book);
  static std::shared_ptr<PBPerson> personForABRecordID(ab::RecordID id, PBAddressBook& book);
  static Text localizedPropertyName(ab::PropertyID property);
  static Text localizedLabel(const fnd::String* label);
  static fnd::Ref<fnd::Data> vCardRepresentationForPeople(const std::vector<fnd::Ref<ab::Record>>& people);

  Text firstName() const { return text(ab::kPersonFirstNameProperty); }
  void setFirstName(const fnd::String* value) { write(value, ab::kPersonFirstNameProperty, "setFirstName:"); }
  Text lastName() const { return text(ab::kPersonLastNameProperty); }
  void setLastName(const fnd::String* value) { write(value, ab::kPersonLastNameProperty, "setLastName:"); }
  Text middleName() const { return text(ab::kPersonMiddleNameProperty); }
  void setMiddleName(const fnd::String* value) { write(value, ab::kPersonMiddleNameProperty, "setMiddleName:"); }
  Text prefix() const { return text(ab::kPersonPrefixProperty); }
  void setPrefix(const fnd::String* value) { write(value, ab::kPersonPrefixProperty, "setPrefix:"); }
  Text suffix() const { return text(ab::kPersonSuffixProperty); }
  void setSuffix(const fnd::String* value) { write(value, ab::kPersonSuffixProperty, "setSuffix:"); }
  Text nickname() const { return text(ab::kPersonNicknameProperty); }
  void setNickname(const fnd::String* value) { write(value, ab::kPersonNicknameProperty, "setNickname:"); }
  Text firstNamePhonetic() const { return text(ab::kPersonFirstNamePhoneticProperty); }
  void setFirstNamePhonetic(const fnd::String* value) {
    write(value, ab::kPersonFirstNamePhoneticProperty, "setFirstNamePhonetic:");
  }
  Text lastNamePhonetic() const { return text(ab::kPersonLastNamePhoneticProperty); }
  void setLastNamePhonetic(const fnd::String* value) {
    write(value, ab::kPersonLastNamePhoneticProperty, "setLastNamePhonetic:");
  }
  Text middleNamePhonetic() const { return text(ab::kPersonMiddleNamePhoneticProperty); }
  void setMiddleNamePhonetic(const fnd::String* value) {
    write(value, ab::kPersonMiddleNamePhoneticProperty, "setMiddleNamePhonetic:");
  }
  Text organization() const { return text(ab::kPersonOrganizationProperty); }
  void setOrganization(const fnd::String* value) { write(value, ab::kPersonOrganizationProperty, "setOrganization:"); }
  Text jobTitle() const { return text(ab::kPersonJobTitleProperty); }
  void setJobTitle(const fnd::String* value) { write(value, ab::kPersonJobTitleProperty, "setJobTitle:"); }
  Text department() const { return text(ab::kPersonDepartmentProperty); }
  void setDepartment(const fnd::String* value) { write(value, ab::kPersonDepartmentProperty, "setDepartment:"); }
  Text note() const { return text(ab::kPersonNoteProperty); }
  void setNote(const fnd::String* value) { write(value, ab::kPersonNoteProperty, "setNote:"); }
  fnd::Ref<fnd::Date> birthday() const { return date(ab::kPersonBirthdayProperty); }
  void setBirthday(const fnd::Date* value) { write(value, ab::kPersonBirthdayProperty, "setBirthday:"); }
  fnd::Ref<fnd::Date> created() const { return date(ab::kPersonCreationDateProperty); }
  fnd::Ref<fnd::Date> modified() const { return date(ab::kPersonModificationDateProperty); }
  fnd::Ref<fnd::Number> kind() const;
  void setKind(const fnd::Number* value) { write(value, ab::kPersonKindProperty, "setKind:"); }
  List emails() const { return getMultiValueForPropertyID(ab::kPersonEmailProperty); }
  void setEmails(const PBMultiValue* value) { writeList(value, ab::kPersonEmailProperty, "setEmails:"); }
  List addresses() const { return getMultiValueForPropertyID(ab::kPersonAddressProperty); }
  void setAddresses(const PBMultiValue* value) { writeList(value, ab::kPersonAddressProperty, "setAddresses:"); }
  List dates() const { return getMultiValueForPropertyID(ab::kPersonDateProperty); }
  void setDates(const PBMultiValue* value) { writeList(value, ab::kPersonDateProperty, "setDates:"); }
  List phoneNumbers() const { return getMultiValueForPropertyID(ab::kPersonPhoneProperty); }
  void setPhoneNumbers(const PBMultiValue* value) { writeList(value, ab::kPersonPhoneProperty, "setPhoneNumbers:"); }
  List instantMessageServices() const { return getMultiValueForPropertyID(ab::kPersonInstantMessageProperty); }
  void setInstantMessageServices(const PBMultiValue* value) {
    writeList(value, ab::kPersonInstantMessageProperty, "setInstantMessageServices:");
  }
  List urls() const { return getMultiValueForPropertyID(ab::kPersonURLProperty); }
  void setUrls(const PBMultiValue* value) { writeList(value, ab::kPersonURLProperty, "setUrls:"); }
  List relatedNames() const { return getMultiValueForPropertyID(ab::kPersonRelatedNamesProperty); }
  void setRelatedNames(const PBMultiValue* value) {
    writeList(value, ab::kPersonRelatedNamesProperty, "setRelatedNames:");
  }
  List socialProfiles() const { return getMultiValueForPropertyID(ab::kPersonSocialProfileProperty); }
  void setSocialProfiles(const PBMultiValue* value) {
    writeList(value, ab::kPersonSocialProfileProperty, "setSocialProfiles:");
  }

  std::shared_ptr<PBSource> inSource() const;
  PBAddressBook::People linkedPeople() const;
  bool hasImage() const;
  std::optional<QImage> thumbnail() const { return imageWithFormat(ab::ImageFormat::Thumbnail); }
  std::optional<QImage> originalImage() const { return imageWithFormat(ab::ImageFormat::OriginalSize); }
  std::optional<QImage> imageWithFormat(ab::ImageFormat format) const;
  // Stores the image PNG-encoded (encoded on the calling thread). A null
  // image is refused and logged; the stored image stays.
  bool setImage(const QImage& image);
  bool removeImage();
  bool isOrganization() const;
  bool isPerson() const;
  fnd::Ref<fnd::Data> vCardRepresentation() const;
  fnd::Ref<geo::Placemark> placemarkForAddressID(ab::MultiValueIdentifier addressID) const;
  fnd::Ref<geo::Location> locationForAddressID(ab::MultiValueIdentifier addressID) const;
  bool remove();
  // Whether the instance no longer holds a person with this record ID (never saved counts as removed).
  bool hasbeenRemoved() const;

  const char* className() const override { return "PBPerson"; }

 private:
  friend class PBRecord;
  using PBRecord::PBRecord;
  Text text(ab::PropertyID property) const;
  fnd::Ref<fnd::Date> date(ab::PropertyID property) const;
  void write(const fnd::Object* value, ab::PropertyID property, const char* selector);
  void writeList(const PBMultiValue* value, ab::PropertyID property, const char* selector);
};

}  // namespace pb
