#include "platform/addressbook/vcard_format.h"

#include <algorithm>
#include <array>

namespace ab::vcard {

namespace {

constexpr std::array kMultiValues{
    MultiValueMapping{kPersonPhoneProperty, "TEL"},
    MultiValueMapping{kPersonEmailProperty, "EMAIL"},
    MultiValueMapping{kPersonAddressProperty, "ADR"},
    MultiValueMapping{kPersonURLProperty, "URL"},
    MultiValueMapping{kPersonDateProperty, "X-ABDATE"},
    MultiValueMapping{kPersonRelatedNamesProperty, "X-ABRELATEDNAMES"},
    MultiValueMapping{kPersonInstantMessageProperty, "IMPP"},
    MultiValueMapping{kPersonSocialProfileProperty, "X-SOCIALPROFILE"},
};

constexpr std::array kTexts{
    SimpleMapping{kPersonNicknameProperty, "NICKNAME"},
    SimpleMapping{kPersonFirstNamePhoneticProperty, "X-PHONETIC-FIRST-NAME"},
    SimpleMapping{kPersonMiddleNamePhoneticProperty, "X-PHONETIC-MIDDLE-NAME"},
    SimpleMapping{kPersonLastNamePhoneticProperty, "X-PHONETIC-LAST-NAME"},
    SimpleMapping{kPersonJobTitleProperty, "TITLE"},
    SimpleMapping{kPersonNoteProperty, "NOTE"},
};

struct LabelTypes {
  PropertyID property;  // kInvalidPropertyID: every property with TYPE parameters
  std::string_view label;
  std::array<std::string_view, 2> types;
};

// Checked in order; the first entry whose types all appear wins on import.
constexpr std::array kLabelTypes{
    LabelTypes{kPersonPhoneProperty, kPhoneHomeFAXLabel, {"HOME", "FAX"}},
    LabelTypes{kPersonPhoneProperty, kPhoneWorkFAXLabel, {"WORK", "FAX"}},
    LabelTypes{kPersonPhoneProperty, kPhoneMobileLabel, {"CELL", {}}},
    LabelTypes{kPersonPhoneProperty, kPhonePagerLabel, {"PAGER", {}}},
    LabelTypes{kPersonPhoneProperty, kPhoneMainLabel, {"MAIN", {}}},
    LabelTypes{kInvalidPropertyID, kHomeLabel, {"HOME", {}}},
    LabelTypes{kInvalidPropertyID, kWorkLabel, {"WORK", {}}},
    LabelTypes{kInvalidPropertyID, kOtherLabel, {"OTHER", {}}},
};

bool takesTypes(PropertyID property) {
  return property == kPersonPhoneProperty || property == kPersonEmailProperty || property == kPersonAddressProperty;
}

}  // namespace

std::span<const MultiValueMapping> multiValueMappings() { return kMultiValues; }

std::span<const SimpleMapping> textMappings() { return kTexts; }

std::vector<std::string_view> typesForLabel(PropertyID property, std::string_view label) {
  if (!takesTypes(property)) return {};
  for (const LabelTypes& entry : kLabelTypes) {
    if (entry.label != label || (entry.property != kInvalidPropertyID && entry.property != property)) continue;
    std::vector<std::string_view> types;
    for (std::string_view type : entry.types)
      if (!type.empty()) types.push_back(type);
    return types;
  }
  return {};
}

std::optional<std::string_view> labelForTypes(PropertyID property, const std::set<std::string>& types) {
  if (!takesTypes(property)) return std::nullopt;
  for (const LabelTypes& entry : kLabelTypes) {
    if (entry.property != kInvalidPropertyID && entry.property != property) continue;
    const bool all = std::all_of(entry.types.begin(), entry.types.end(), [&types](std::string_view type) {
      return type.empty() || types.contains(std::string(type));
    });
    if (all) return entry.label;
  }
  return std::nullopt;
}

void appendFoldedLine(std::string& out, std::string_view content) {
  std::size_t lineLength = 0;
  for (std::size_t i = 0; i < content.size();) {
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(content[i]);
    if (lead >= 0xF0)
      length = 4;
    else if (lead >= 0xE0)
      length = 3;
    else if (lead >= 0xC0)
      length = 2;
    length = std::min(length, content.size() - i);
    if (lineLength + length > kFoldWidth) {
      out += "\r\n ";
      lineLength = 1;
    }
    out.append(content.substr(i, length));
    lineLength += length;
    i += length;
  }
  out += "\r\n";
}

std::string escapeText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case ';':
        escaped += "\\;";
        break;
      case ',':
        escaped += "\\,";
        break;
      case '\r':
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        escaped += "\\n";
        break;
      case '\n':
        escaped += "\\n";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string unescapeText(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      plain += text[i];
      continue;
    }
    const char next = text[++i];
    plain += (next == 'n' || next == 'N') ? '\n' : next;
  }
  return plain;
}

std::vector<std::string> splitStructured(std::string_view value, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\') {
      ++i;  // the escaped character never separates
    } else if (value[i] == separator) {
      parts.push_back(unescapeText(value.substr(start, i - start)));
      start = i + 1;
    }
  }
  parts.push_back(unescapeText(value.substr(std::min(start, value.size()))));
  return parts;
}

}  // namespace ab::vcard
