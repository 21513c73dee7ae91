#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringDecoder>
#include <QTimeZone>
#include <algorithm>
#include <array>
#include <map>

#include "platform/addressbook/multi_value.h"
#include "platform/addressbook/vcard.h"
#include "platform/addressbook/vcard_format.h"
#include "platform/foundation/date.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"

namespace ab {

namespace {

struct ContentLine {
  std::string group;                                   // lower case
  std::string name;                                    // upper case
  std::multimap<std::string, std::string> parameters;  // upper-case names
  std::string value;
};

// Values that older cards (2.1, as phones still export them) give bare,
// without "ENCODING=".
constexpr std::string_view kQuotedPrintable = "QUOTED-PRINTABLE";
constexpr std::array<std::string_view, 4> kBareEncodings{kQuotedPrintable, "BASE64", "8BIT", "7BIT"};

std::string upper(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUpper().toStdString();
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "=C3=98" becomes the two bytes it names; an "=" not followed by two hex
// digits stays as it is.
std::string decodeQuotedPrintable(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = text[i] == '=' && i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
    const int low = high >= 0 ? hexDigit(text[i + 2]) : -1;
    if (low >= 0) {
      bytes += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      bytes += text[i];
    }
  }
  return bytes;
}

// The value's bytes in the named character set, as UTF-8; unchanged when the
// set is UTF-8 or unknown here.
std::string toUtf8(std::string bytes, const std::string& charset) {
  if (charset.empty() || upper(charset) == "UTF-8") return bytes;
  QStringDecoder decoder(charset.c_str());
  if (!decoder.isValid()) return bytes;
  const QString text = decoder(QByteArray::fromStdString(bytes));
  return decoder.hasError() ? bytes : text.toStdString();
}

fnd::Ref<fnd::String> textObject(std::string_view utf8) {
  // Input may hold any bytes; converting through QString keeps the string well-formed.
  return fnd::String::fromQString(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

// Whether `line` is a quoted-printable value cut by a soft line break (an
// "=" at its end), which the next line continues as it stands.
bool continuesOnNextLine(std::string_view line) {
  if (line.empty() || line.back() != '=') return false;
  const std::size_t colon = line.find(':');
  return colon != std::string_view::npos && upper(line.substr(0, colon)).find(kQuotedPrintable) != std::string::npos;
}

// Joins folded lines: a line starting with a space or tab continues the one
// before, as does any line after a quoted-printable soft line break.
std::vector<std::string> unfoldedLines(std::string_view data) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t end = data.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = data.size();
    std::string_view line = data.substr(start, end - start);
    if (!lines.empty() && continuesOnNextLine(lines.back())) {
      lines.back().pop_back();  // the soft line break
      lines.back().append(line);
    } else if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !lines.empty()) {
      lines.back().append(line.substr(1));
    } else if (!line.empty()) {
      lines.emplace_back(line);
    }
    start = end;
    if (start < data.size() && data[start] == '\r') ++start;
    if (start < data.size() && data[start] == '\n') ++start;
  }
  return lines;
}

std::optional<ContentLine> parseLine(std::string_view text) {
  ContentLine line;
  // The name and parameters end at the first colon outside quotes.
  std::size_t colon = std::string_view::npos;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"')
      quoted = !quoted;
    else if (text[i] == ':' && !quoted) {
      colon = i;
      break;
    }
  }
  if (colon == std::string_view::npos) return std::nullopt;
  line.value = std::string(text.substr(colon + 1));
  std::vector<std::string> pieces;
  std::string piece;
  quoted = false;
  for (char c : text.substr(0, colon)) {
    if (c == '"')
      quoted = !quoted;
    else if (c == ';' && !quoted)
      pieces.push_back(std::exchange(piece, {}));
    else
      piece += c;
  }
  pieces.push_back(piece);
  std::string_view name = pieces.front();
  if (const std::size_t dot = name.find('.'); dot != std::string_view::npos) {
    line.group = QString::fromStdString(std::string(name.substr(0, dot))).toLower().toStdString();
    name.remove_prefix(dot + 1);
  }
  line.name = upper(name);
  if (line.name.empty()) return std::nullopt;
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    const std::size_t equals = pieces[i].find('=');
    // A bare value is an old-style TYPE, or an old-style ENCODING.
    const bool bareEncoding = equals == std::string::npos && std::find(kBareEncodings.begin(), kBareEncodings.end(),
                                                                       upper(pieces[i])) != kBareEncodings.end();
    const std::string key = equals != std::string::npos ? upper(pieces[i].substr(0, equals))
                            : bareEncoding              ? "ENCODING"
                                                        : "TYPE";
    const std::string values = equals == std::string::npos ? pieces[i] : pieces[i].substr(equals + 1);
    const bool splitsOnComma = key == "TYPE";
    std::size_t start = 0;
    while (start <= values.size()) {
      std::size_t end = splitsOnComma ? values.find(',', start) : std::string::npos;
      if (end == std::string::npos) end = values.size();
      line.parameters.emplace(key, values.substr(start, end - start));
      start = end + 1;
    }
  }
  return line;
}

std::string parameter(const ContentLine& line, const std::string& key) {
  auto found = line.parameters.find(key);
  return found != line.parameters.end() ? found->second : std::string();
}

// Turns an older card's encoded value into plain UTF-8 text, so the rest of
// the reader sees what a 3.0 card would have given.
void decodeValue(ContentLine& line) {
  const std::string encoding = upper(parameter(line, "ENCODING"));
  if (encoding != kQuotedPrintable && parameter(line, "CHARSET").empty()) return;
  std::string bytes = encoding == kQuotedPrintable ? decodeQuotedPrintable(line.value) : std::move(line.value);
  line.value = toUtf8(std::move(bytes), parameter(line, "CHARSET"));
  line.parameters.erase("ENCODING");
  line.parameters.erase("CHARSET");
}

fnd::Ref<fnd::Date> parseDate(std::string_view text) {
  const QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
  QDateTime time = QDateTime::fromString(value, Qt::ISODate);
  if (!time.isValid()) {
    for (const char* format : {"yyyy-MM-dd", "yyyyMMdd"}) {
      const QDate date = QDate::fromString(value.left(static_cast<qsizetype>(std::string_view(format).size())), format);
      if (date.isValid()) {
        time = QDateTime(date, QTime(0, 0), QTimeZone::utc());
        break;
      }
    }
  } else if (time.timeSpec() == Qt::LocalTime) {
    time.setTimeZone(QTimeZone::utc());  // a time without zone is read as written, in UTC
  }
  return time.isValid() ? fnd::Date::create(static_cast<double>(time.toSecsSinceEpoch())) : nullptr;
}

class CardReader {
 public:
  explicit CardReader(const Record* source) : m_person(Record::createPerson(source)) {}
  void add(ContentLine line);
  fnd::Ref<Record> finish();

 private:
  void setText(PropertyID property, std::string_view text) {
    if (!text.empty()) m_person->setValue(property, textObject(text).get(), nullptr);
  }
  fnd::Ref<fnd::Object> entryValue(PropertyID property, const ContentLine& line) const;
  void addEntry(PropertyID property, const ContentLine& line);

  fnd::Ref<Record> m_person;
  std::vector<ContentLine> m_lines;
  std::map<std::string, std::string> m_labelByGroup;
  std::map<PropertyID, fnd::Ref<MultiValue>> m_multiValues;  // gathered, then stored once
  bool m_hasName = false;
  std::string m_formattedName;
};

void CardReader::add(ContentLine line) {
  if (line.name == vcard::kLabelName) {
    if (!line.group.empty()) m_labelByGroup[line.group] = vcard::unescapeText(line.value);
    return;
  }
  m_lines.push_back(std::move(line));
}

fnd::Ref<fnd::Object> CardReader::entryValue(PropertyID property, const ContentLine& line) const {
  switch (property) {
    case kPersonDateProperty:
      return parseDate(line.value);
    case kPersonAddressProperty: {
      const std::vector<std::string> parts = vcard::splitStructured(line.value);
      auto address = fnd::ObjectDictionary::createMutable();
      const std::array<std::string_view, 5> keys{kAddressStreetKey, kAddressCityKey, kAddressStateKey, kAddressZIPKey,
                                                 kAddressCountryKey};
      // Components: post office box, extended address, street, city, region, code, country.
      constexpr std::size_t kStreetComponent = 2;
      for (std::size_t i = 0; i < keys.size() && kStreetComponent + i < parts.size(); ++i)
        if (!parts[kStreetComponent + i].empty())
          address->setObject(textObject(parts[kStreetComponent + i]).get(), keys[i]);
      const std::string code = parameter(line, "X-COUNTRY-CODE");
      if (!code.empty()) address->setObject(textObject(code).get(), kAddressCountryCodeKey);
      return fnd::ObjectDictionary::createWithDictionary(*address, false);
    }
    case kPersonInstantMessageProperty: {
      auto message = fnd::ObjectDictionary::createMutable();
      const std::string service = parameter(line, "X-SERVICE-TYPE");
      if (!service.empty()) message->setObject(textObject(service).get(), kInstantMessageServiceKey);
      const std::size_t colon = line.value.find(':');
      const std::string user =
          vcard::unescapeText(colon == std::string::npos ? line.value : line.value.substr(colon + 1));
      message->setObject(textObject(user).get(), kInstantMessageUsernameKey);
      return fnd::ObjectDictionary::createWithDictionary(*message, false);
    }
    case kPersonSocialProfileProperty: {
      auto profile = fnd::ObjectDictionary::createMutable();
      profile->setObject(textObject(vcard::unescapeText(line.value)).get(), kSocialProfileURLKey);
      for (auto [key, name] :
           {std::pair{kSocialProfileServiceKey, "X-SERVICE-TYPE"}, std::pair{kSocialProfileUsernameKey, "X-USER"},
            std::pair{kSocialProfileUserIdentifierKey, "X-USERID"}}) {
        std::string text = parameter(line, name);
        if (text.empty() && key == kSocialProfileServiceKey) text = parameter(line, "TYPE");
        if (!text.empty()) profile->setObject(textObject(text).get(), key);
      }
      return fnd::ObjectDictionary::createWithDictionary(*profile, false);
    }
    default:
      return textObject(vcard::unescapeText(line.value));
  }
}

void CardReader::addEntry(PropertyID property, const ContentLine& line) {
  const fnd::Ref<fnd::Object> value = entryValue(property, line);
  if (!value) return;
  fnd::Ref<fnd::String> label;
  if (auto grouped = m_labelByGroup.find(line.group); !line.group.empty() && grouped != m_labelByGroup.end()) {
    label = textObject(grouped->second);
  } else {
    std::set<std::string> types;
    for (auto [it, end] = line.parameters.equal_range("TYPE"); it != end; ++it) types.insert(upper(it->second));
    if (const std::optional<std::string_view> standard = vcard::labelForTypes(property, types))
      label = textObject(*standard);
  }
  fnd::Ref<MultiValue>& values = m_multiValues[property];
  if (!values) values = MultiValue::createMutable(propertyInfo(property)->type);
  values->addValue(value.get(), label.get(), nullptr);
}

fnd::Ref<Record> CardReader::finish() {
  for (const ContentLine& line : m_lines) {
    if (line.name == "N") {
      const std::vector<std::string> parts = vcard::splitStructured(line.value);
      const std::array<PropertyID, 5> order{kPersonLastNameProperty, kPersonFirstNameProperty,
                                            kPersonMiddleNameProperty, kPersonPrefixProperty, kPersonSuffixProperty};
      for (std::size_t i = 0; i < order.size() && i < parts.size(); ++i) setText(order[i], parts[i]);
      m_hasName = true;
    } else if (line.name == "FN") {
      m_formattedName = vcard::unescapeText(line.value);
    } else if (line.name == "ORG") {
      const std::vector<std::string> parts = vcard::splitStructured(line.value);
      setText(kPersonOrganizationProperty, parts[0]);
      if (parts.size() > 1) setText(kPersonDepartmentProperty, parts[1]);
    } else if (line.name == "BDAY") {
      if (const fnd::Ref<fnd::Date> date = parseDate(line.value))
        m_person->setValue(kPersonBirthdayProperty, date.get(), nullptr);
    } else if (line.name == "X-ABSHOWAS") {
      const bool company = upper(line.value) == "COMPANY";
      m_person->setValue(kPersonKindProperty,
                         fnd::Number::create(company ? kPersonKindOrganization : kPersonKindPerson).get(), nullptr);
    } else if (line.name == "PHOTO") {
      const QByteArray decoded = QByteArray::fromBase64(QByteArray::fromStdString(line.value));
      if (!decoded.isEmpty()) m_person->setImageData(fnd::Data::create(decoded.toStdString()).get(), nullptr);
    } else {
      for (const vcard::SimpleMapping& mapping : vcard::textMappings())
        if (line.name == mapping.name) setText(mapping.property, vcard::unescapeText(line.value));
      for (const vcard::MultiValueMapping& mapping : vcard::multiValueMappings())
        if (line.name == mapping.name) addEntry(mapping.property, line);
    }
  }
  for (const auto& [property, values] : m_multiValues) m_person->setValue(property, values.get(), nullptr);
  // A card with a formatted name only: keep the name as the first name, unless it is the company's.
  if (!m_hasName && !m_formattedName.empty()) {
    const fnd::Ref<fnd::Object> organization = m_person->copyValue(kPersonOrganizationProperty);
    if (!organization || static_cast<const fnd::String&>(*organization).utf8() != m_formattedName)
      setText(kPersonFirstNameProperty, m_formattedName);
  }
  return m_person;
}

}  // namespace

std::vector<fnd::Ref<Record>> createPeopleFromVCardRepresentation(std::string_view data, const Record* source) {
  // A BEGIN inside an open card (a card nested in another, or one whose END
  // line is missing) opens a card of its own; the outer card takes its lines
  // again after the inner one's END, and cards still open at the end are read
  // too, so no card loses its lines. People keep the order of their BEGIN lines.
  std::vector<fnd::Ref<Record>> people;
  struct OpenCard {
    CardReader reader;
    std::size_t slot;
  };
  std::vector<OpenCard> open;
  const auto finishInnermost = [&] {
    people[open.back().slot] = open.back().reader.finish();
    open.pop_back();
  };
  for (const std::string& text : unfoldedLines(data)) {
    std::optional<ContentLine> line = parseLine(text);
    if (!line) continue;
    const std::string value = upper(line->value);
    if (line->name == "BEGIN" && value == "VCARD") {
      open.push_back({CardReader(source), people.size()});
      people.emplace_back();
    } else if (line->name == "END" && value == "VCARD") {
      if (!open.empty()) finishInnermost();
    } else if (!open.empty()) {
      decodeValue(*line);
      open.back().reader.add(std::move(*line));
    }
  }
  while (!open.empty()) finishInnermost();
  return people;
}

}  // namespace ab
