#include "json/json_decoder.h"

#include <string>

#include "json/parse_state.h"
#include "json/parser.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"

namespace json {

void ParseState::recordError(std::string_view message) {
  if (error) return;
  auto userInfo = fnd::ObjectDictionary::createMutable();
  userInfo->setObject(fnd::String::create(message).get(), fnd::kLocalizedDescriptionKey);
  userInfo->setObject(fnd::Number::createUnsigned(position.index).get(), kJDAtIndexKey);
  userInfo->setObject(fnd::Number::createUnsigned(position.line).get(), kJDLineNumberKey);
  error.emplace(std::string(kJDErrorDomain), kJDErrorCode, userInfo->copy());
}

JSONDecoder::JSONDecoder(JDParseOptionFlags options) {
  if (options > JDParseValidFlags)
    throw fnd::Exception(fnd::Exception::Kind::InvalidArgument, "Invalid parse options.");
  m_state = std::make_unique<ParseState>();
  m_state->options = options;
}

JSONDecoder::~JSONDecoder() = default;

JDParseOptionFlags JSONDecoder::parseOptions() const noexcept { return m_state->options; }

void JSONDecoder::clearCache() noexcept { m_state->cache.clear(); }

fnd::Ref<fnd::Object> JSONDecoder::decode(const char* bytes, std::size_t length, bool mutableCollections,
                                          std::optional<fnd::Error>* error) {
  if (!bytes) throw fnd::Exception(fnd::Exception::Kind::InvalidArgument, "The string argument is NULL.");
  Parser parser(*m_state);
  fnd::Ref<fnd::Object> result = parser.parse(reinterpret_cast<const std::uint8_t*>(bytes), length, mutableCollections);
  if (error && m_state->error) *error = m_state->error;
  return result;
}

fnd::Ref<fnd::Object> JSONDecoder::decodeData(const fnd::Data* data, bool mutableCollections,
                                              std::optional<fnd::Error>* error) {
  if (!data) throw fnd::Exception(fnd::Exception::Kind::InvalidArgument, "The jsonData argument is NULL.");
  return decode(data->bytes(), data->length(), mutableCollections, error);
}

fnd::Ref<fnd::Object> JSONDecoder::objectWithUTF8String(const char* bytes, std::size_t length,
                                                        std::optional<fnd::Error>* error) {
  return decode(bytes, length, false, error);
}

fnd::Ref<fnd::Object> JSONDecoder::objectWithData(const fnd::Data* data, std::optional<fnd::Error>* error) {
  return decodeData(data, false, error);
}

fnd::Ref<fnd::Object> JSONDecoder::mutableObjectWithUTF8String(const char* bytes, std::size_t length,
                                                               std::optional<fnd::Error>* error) {
  return decode(bytes, length, true, error);
}

fnd::Ref<fnd::Object> JSONDecoder::mutableObjectWithData(const fnd::Data* data, std::optional<fnd::Error>* error) {
  return decodeData(data, true, error);
}

fnd::Ref<fnd::Object> objectFromJSONData(const fnd::Data* data, JDParseOptionFlags options,
                                         std::optional<fnd::Error>* error) {
  return JSONDecoder(options).objectWithData(data, error);
}

fnd::Ref<fnd::Object> mutableObjectFromJSONData(const fnd::Data* data, JDParseOptionFlags options,
                                                std::optional<fnd::Error>* error) {
  return JSONDecoder(options).mutableObjectWithData(data, error);
}

// A String already holds well-formed UTF-8, so it is parsed in place.
fnd::Ref<fnd::Object> objectFromJSONString(const fnd::String* string, JDParseOptionFlags options,
                                           std::optional<fnd::Error>* error) {
  if (!string) throw fnd::Exception(fnd::Exception::Kind::InvalidArgument, "The string argument is NULL.");
  return JSONDecoder(options).objectWithUTF8String(string->utf8().data(), string->byteLength(), error);
}

fnd::Ref<fnd::Object> mutableObjectFromJSONString(const fnd::String* string, JDParseOptionFlags options,
                                                  std::optional<fnd::Error>* error) {
  if (!string) throw fnd::Exception(fnd::Exception::Kind::InvalidArgument, "The string argument is NULL.");
  return JSONDecoder(options).mutableObjectWithUTF8String(string->utf8().data(), string->byteLength(), error);
}

}  // namespace json
