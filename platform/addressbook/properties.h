#pragma once
// The address book's vocabulary: record, property and source types, the
// property identifiers of people, groups and sources, and the standard labels.
// Plain constants and pure functions; safe from any thread.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ab {

using RecordID = std::int32_t;
using PropertyID = std::int32_t;
using MultiValueIdentifier = std::int32_t;

inline constexpr RecordID kInvalidRecordID = -1;
inline constexpr PropertyID kInvalidPropertyID = -1;
inline constexpr MultiValueIdentifier kInvalidMultiValueIdentifier = -1;

enum class RecordType : std::uint32_t { Person = 0, Group = 1, Source = 2 };

// A multi-value's type is its element type plus kMultiValueMask.
using PropertyType = std::uint32_t;
inline constexpr PropertyType kInvalidPropertyType = 0;
inline constexpr PropertyType kStringPropertyType = 1;
inline constexpr PropertyType kIntegerPropertyType = 2;
inline constexpr PropertyType kRealPropertyType = 3;
inline constexpr PropertyType kDateTimePropertyType = 4;
inline constexpr PropertyType kDictionaryPropertyType = 5;
inline constexpr PropertyType kMultiValueMask = 256;
inline constexpr PropertyType kMultiStringPropertyType = kMultiValueMask | kStringPropertyType;
inline constexpr PropertyType kMultiIntegerPropertyType = kMultiValueMask | kIntegerPropertyType;
inline constexpr PropertyType kMultiRealPropertyType = kMultiValueMask | kRealPropertyType;
inline constexpr PropertyType kMultiDateTimePropertyType = kMultiValueMask | kDateTimePropertyType;
inline constexpr PropertyType kMultiDictionaryPropertyType = kMultiValueMask | kDictionaryPropertyType;

// Source kinds; 0 is the local source kept on the device.
using SourceType = std::int32_t;
inline constexpr SourceType kSourceTypeLocal = 0;
inline constexpr SourceType kSourceTypeExchange = 1;
inline constexpr SourceType kSourceTypeExchangeGAL = 2;
inline constexpr SourceType kSourceTypeMobileMe = 3;
inline constexpr SourceType kSourceTypeLDAP = 4;
inline constexpr SourceType kSourceTypeCardDAV = 5;
inline constexpr SourceType kSourceTypeCardDAVSearch = 6;

enum class SortOrdering : std::uint32_t { ByFirstName = 0, ByLastName = 1 };
enum class CompositeNameFormat : std::uint32_t { FirstNameFirst = 0, LastNameFirst = 1 };
enum class ImageFormat : std::int32_t { Thumbnail = 0, OriginalSize = 2 };

// Values of the person kind property.
inline constexpr std::int64_t kPersonKindPerson = 0;
inline constexpr std::int64_t kPersonKindOrganization = 1;

// Person properties.
inline constexpr PropertyID kPersonFirstNameProperty = 0;
inline constexpr PropertyID kPersonLastNameProperty = 1;
inline constexpr PropertyID kPersonMiddleNameProperty = 2;
inline constexpr PropertyID kPersonPrefixProperty = 3;
inline constexpr PropertyID kPersonSuffixProperty = 4;
inline constexpr PropertyID kPersonNicknameProperty = 5;
inline constexpr PropertyID kPersonFirstNamePhoneticProperty = 6;
inline constexpr PropertyID kPersonLastNamePhoneticProperty = 7;
inline constexpr PropertyID kPersonMiddleNamePhoneticProperty = 8;
inline constexpr PropertyID kPersonOrganizationProperty = 9;
inline constexpr PropertyID kPersonJobTitleProperty = 10;
inline constexpr PropertyID kPersonDepartmentProperty = 11;
inline constexpr PropertyID kPersonEmailProperty = 12;
inline constexpr PropertyID kPersonBirthdayProperty = 13;
inline constexpr PropertyID kPersonNoteProperty = 14;
inline constexpr PropertyID kPersonCreationDateProperty = 15;
inline constexpr PropertyID kPersonModificationDateProperty = 16;
inline constexpr PropertyID kPersonAddressProperty = 17;
inline constexpr PropertyID kPersonDateProperty = 18;
inline constexpr PropertyID kPersonKindProperty = 19;
inline constexpr PropertyID kPersonPhoneProperty = 20;
inline constexpr PropertyID kPersonInstantMessageProperty = 21;
inline constexpr PropertyID kPersonURLProperty = 22;
inline constexpr PropertyID kPersonRelatedNamesProperty = 23;
inline constexpr PropertyID kPersonSocialProfileProperty = 24;
// Source and group properties.
inline constexpr PropertyID kSourceNameProperty = 25;
inline constexpr PropertyID kSourceTypeProperty = 26;
inline constexpr PropertyID kGroupNameProperty = 27;

// Keys of the dictionaries in address, instant-message and social-profile values.
inline constexpr std::string_view kAddressStreetKey = "Street";
inline constexpr std::string_view kAddressCityKey = "City";
inline constexpr std::string_view kAddressStateKey = "State";
inline constexpr std::string_view kAddressZIPKey = "ZIP";
inline constexpr std::string_view kAddressCountryKey = "Country";
inline constexpr std::string_view kAddressCountryCodeKey = "CountryCode";
inline constexpr std::string_view kInstantMessageServiceKey = "service";
inline constexpr std::string_view kInstantMessageUsernameKey = "username";
inline constexpr std::string_view kSocialProfileServiceKey = "service";
inline constexpr std::string_view kSocialProfileURLKey = "url";
inline constexpr std::string_view kSocialProfileUsernameKey = "username";
inline constexpr std::string_view kSocialProfileUserIdentifierKey = "identifier";

// Standard labels; any other text is a label of the user's own.
inline constexpr std::string_view kHomeLabel = "_$!<Home>!$_";
inline constexpr std::string_view kWorkLabel = "_$!<Work>!$_";
inline constexpr std::string_view kOtherLabel = "_$!<Other>!$_";
inline constexpr std::string_view kPhoneMobileLabel = "_$!<Mobile>!$_";
inline constexpr std::string_view kPhoneMainLabel = "_$!<Main>!$_";
inline constexpr std::string_view kPhoneHomeFAXLabel = "_$!<HomeFAX>!$_";
inline constexpr std::string_view kPhoneWorkFAXLabel = "_$!<WorkFAX>!$_";
inline constexpr std::string_view kPhonePagerLabel = "_$!<Pager>!$_";
inline constexpr std::string_view kPersonHomePageLabel = "_$!<HomePage>!$_";
inline constexpr std::string_view kPersonAnniversaryLabel = "_$!<Anniversary>!$_";

struct PropertyInfo {
  PropertyID id;
  RecordType recordType;
  PropertyType type;
  bool readOnly;
  std::string_view englishName;
};

// The description of a property, or nullopt for an unknown identifier.
std::optional<PropertyInfo> propertyInfo(PropertyID property);
// Every known property, in identifier order.
std::span<const PropertyInfo> allProperties();

// The property's display name in the user's language, or nullopt when unknown.
std::optional<std::string> localizedPropertyName(PropertyID property);
// The display text of a standard label; a label of the user's own is its own
// text; nullopt for an empty label.
std::optional<std::string> localizedLabel(std::string_view label);

}  // namespace ab
