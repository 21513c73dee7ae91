#include "tests/support/json/compact_json.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/foundation/containers.h"
#include "platform/foundation/number.h"
#include "platform/foundation/string_object.h"

namespace jsondecode {

namespace {

void writeValue(const fnd::Object& value, std::string& out);

void writeString(std::string_view text, std::string& out) {
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  out += '"';
}

void writeNumber(const fnd::Number& number, std::string& out) {
  char text[64];
  switch (number.type()) {
    case fnd::Number::Type::Bool:
      out += number.boolValue() ? "true" : "false";
      return;
    case fnd::Number::Type::Int64:
      std::snprintf(text, sizeof text, "%lld", static_cast<long long>(number.int64Value()));
      break;
    case fnd::Number::Type::UInt64:
      std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(number.uint64Value()));
      break;
    case fnd::Number::Type::Double:
      std::snprintf(text, sizeof text, "%.17g", number.doubleValue());
      // A double must never read back as an integer ("inf" and "nan" contain an n).
      if (!std::strpbrk(text, ".en")) std::strcat(text, ".0");
      break;
  }
  out += text;
}

void writeArray(const fnd::Array& array, std::string& out) {
  out += '[';
  const char* separator = "";
  for (fnd::Object* element : array) {
    out += separator;
    writeValue(*element, out);
    separator = ",";
  }
  out += ']';
}

void writeDictionary(const fnd::Dictionary& dictionary, std::string& out) {
  std::vector<fnd::Object*> keys(dictionary.count());
  dictionary.getObjectsAndKeys(nullptr, keys.data());
  // Decoded keys are always strings.
  const auto text = [](const fnd::Object* key) { return static_cast<const fnd::String*>(key)->utf8(); };
  std::sort(keys.begin(), keys.end(), [&](const fnd::Object* a, const fnd::Object* b) { return text(a) < text(b); });
  out += '{';
  const char* separator = "";
  for (const fnd::Object* key : keys) {
    out += separator;
    writeString(text(key), out);
    out += ':';
    writeValue(*dictionary.objectForKey(key), out);
    separator = ",";
  }
  out += '}';
}

void writeValue(const fnd::Object& value, std::string& out) {
  switch (value.kind()) {
    case fnd::ObjectKind::String:
      writeString(static_cast<const fnd::String&>(value).utf8(), out);
      break;
    case fnd::ObjectKind::Number:
      writeNumber(static_cast<const fnd::Number&>(value), out);
      break;
    case fnd::ObjectKind::Array:
      writeArray(static_cast<const fnd::Array&>(value), out);
      break;
    case fnd::ObjectKind::Dictionary:
      writeDictionary(static_cast<const fnd::Dictionary&>(value), out);
      break;
    case fnd::ObjectKind::Null:
    default:  // nothing else occurs in a decoded tree
      out += "null";
      break;
  }
}

}  // namespace

std::string compactJson(const fnd::Object& value) {
  std::string out;
  writeValue(value, out);
  return out;
}

}  // namespace jsondecode
