#include "platform/addressbook/properties.h"

#include <array>

#include "platform/foundation/localization.h"

namespace ab {

namespace {

// Display texts live in their own translation table, keyed by the English text.
constexpr std::string_view kStringTable = "AddressBook";

constexpr RecordType P = RecordType::Person;
constexpr std::array kProperties{
    PropertyInfo{kPersonFirstNameProperty, P, kStringPropertyType, false, "First"},
    PropertyInfo{kPersonLastNameProperty, P, kStringPropertyType, false, "Last"},
    PropertyInfo{kPersonMiddleNameProperty, P, kStringPropertyType, false, "Middle"},
    PropertyInfo{kPersonPrefixProperty, P, kStringPropertyType, false, "Prefix"},
    PropertyInfo{kPersonSuffixProperty, P, kStringPropertyType, false, "Suffix"},
    PropertyInfo{kPersonNicknameProperty, P, kStringPropertyType, false, "Nickname"},
    PropertyInfo{kPersonFirstNamePhoneticProperty, P, kStringPropertyType, false, "Phonetic First Name"},
    PropertyInfo{kPersonLastNamePhoneticProperty, P, kStringPropertyType, false, "Phonetic Last Name"},
    PropertyInfo{kPersonMiddleNamePhoneticProperty, P, kStringPropertyType, false, "Phonetic Middle Name"},
    PropertyInfo{kPersonOrganizationProperty, P, kStringPropertyType, false, "Company"},
    PropertyInfo{kPersonJobTitleProperty, P, kStringPropertyType, false, "Job Title"},
    PropertyInfo{kPersonDepartmentProperty, P, kStringPropertyType, false, "Department"},
    PropertyInfo{kPersonEmailProperty, P, kMultiStringPropertyType, false, "Email"},
    PropertyInfo{kPersonBirthdayProperty, P, kDateTimePropertyType, false, "Birthday"},
    PropertyInfo{kPersonNoteProperty, P, kStringPropertyType, false, "Notes"},
    PropertyInfo{kPersonCreationDateProperty, P, kDateTimePropertyType, true, "Created"},
    PropertyInfo{kPersonModificationDateProperty, P, kDateTimePropertyType, true, "Modified"},
    PropertyInfo{kPersonAddressProperty, P, kMultiDictionaryPropertyType, false, "Address"},
    PropertyInfo{kPersonDateProperty, P, kMultiDateTimePropertyType, false, "Date"},
    PropertyInfo{kPersonKindProperty, P, kIntegerPropertyType, false, "Kind"},
    PropertyInfo{kPersonPhoneProperty, P, kMultiStringPropertyType, false, "Phone"},
    PropertyInfo{kPersonInstantMessageProperty, P, kMultiDictionaryPropertyType, false, "Instant Message"},
    PropertyInfo{kPersonURLProperty, P, kMultiStringPropertyType, false, "URL"},
    PropertyInfo{kPersonRelatedNamesProperty, P, kMultiStringPropertyType, false, "Related Name"},
    PropertyInfo{kPersonSocialProfileProperty, P, kMultiDictionaryPropertyType, false, "Social Profile"},
    PropertyInfo{kSourceNameProperty, RecordType::Source, kStringPropertyType, true, "Source Name"},
    PropertyInfo{kSourceTypeProperty, RecordType::Source, kIntegerPropertyType, true, "Source Type"},
    PropertyInfo{kGroupNameProperty, RecordType::Group, kStringPropertyType, false, "Group Name"},
};

struct LabelText {
  std::string_view label;
  std::string_view englishText;
};
constexpr std::array kStandardLabels{
    LabelText{kHomeLabel, "home"},
    LabelText{kWorkLabel, "work"},
    LabelText{kOtherLabel, "other"},
    LabelText{kPhoneMobileLabel, "mobile"},
    LabelText{kPhoneMainLabel, "main"},
    LabelText{kPhoneHomeFAXLabel, "home fax"},
    LabelText{kPhoneWorkFAXLabel, "work fax"},
    LabelText{kPhonePagerLabel, "pager"},
    LabelText{kPersonHomePageLabel, "home page"},
    LabelText{kPersonAnniversaryLabel, "anniversary"},
};

}  // namespace

std::span<const PropertyInfo> allProperties() { return kProperties; }

std::optional<PropertyInfo> propertyInfo(PropertyID property) {
  // The table is indexed by identifier.
  if (property < 0 || static_cast<std::size_t>(property) >= kProperties.size()) return std::nullopt;
  return kProperties[static_cast<std::size_t>(property)];
}

std::optional<std::string> localizedPropertyName(PropertyID property) {
  const std::optional<PropertyInfo> info = propertyInfo(property);
  if (!info) return std::nullopt;
  return fnd::localizedString(info->englishName, kStringTable);
}

std::optional<std::string> localizedLabel(std::string_view label) {
  if (label.empty()) return std::nullopt;
  for (const LabelText& standard : kStandardLabels)
    if (standard.label == label) return fnd::localizedString(standard.englishText, kStringTable);
  return std::string(label);
}

}  // namespace ab
