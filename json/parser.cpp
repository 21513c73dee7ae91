#include "json/parser.h"

#include <string>

#include "json/jd_array.h"
#include "json/jd_dictionary.h"
#include "json/json_decoder.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/null.h"
#include "platform/foundation/number.h"

namespace json {

namespace {

// What a container accepts next.
enum Expect : unsigned { kExpectValue = 1, kExpectComma = 2, kExpectEnd = 4 };

constexpr const char* kObjectMissing = "Internal error: Object == NULL";

// Leaves one nesting level when the container's parse returns.
class DepthGuard {
 public:
  explicit DepthGuard(std::size_t& depth) noexcept : m_depth(depth) { ++m_depth; }
  ~DepthGuard() { --m_depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  std::size_t& m_depth;
};

// The shared constants behind true, false and null, in the order Parser counts them.
enum Constant : std::size_t { kTrue, kFalse, kNull };
fnd::Object* constantObject(std::size_t which) noexcept {
  switch (which) {
    case kTrue:
      return fnd::Number::yes();
    case kFalse:
      return fnd::Number::no();
    default:
      return fnd::Null::null();
  }
}

}  // namespace

fnd::Ref<fnd::Object> Parser::parse(const std::uint8_t* bytes, std::size_t length, bool mutableCollections) {
  m_state.input = bytes;
  m_state.length = length;
  m_state.position = {};
  m_state.depth = 0;
  m_state.error.reset();
  m_state.mutableCollections = mutableCollections;
  m_state.tokenBuffer.reset();
  m_state.objectStack.reset();
  m_state.arena = &fnd::ObjectArena::forThisThread();

  fnd::Ref<fnd::Object> result;
  if (length > 0 && m_tokenizer.next()) {
    const TokenKind kind = m_state.token.kind;
    if (kind == TokenKind::ArrayBegin || kind == TokenKind::ObjectBegin)
      result = fnd::Ref<fnd::Object>::adopt(parseValue());
    else
      m_state.recordError("Expected either '[' or '{'.");
  }
  settleReferences();
  if (!result) {
    if (m_state.atEnd()) m_state.recordError("Reached the end of the buffer.");
    m_state.recordError("Unable to parse JSON.");
  } else if (!m_state.atEnd()) {
    m_tokenizer.skipWhitespace();
    if (!m_state.hasOption(JDParseAllowTrailingText) && !m_state.atEnd()) {
      m_state.recordError(
          "A valid JSON object was parsed but there were additional non-white-space characters remaining.");
      result = nullptr;
    }
  }
  m_state.tokenBuffer.reset();
  m_state.objectStack.reset();
  m_state.input = nullptr;
  m_state.length = 0;
  m_state.arena = nullptr;
  return result;
}

fnd::Object* Parser::parseValue() {
  switch (m_state.token.kind) {
    case TokenKind::ArrayBegin:
      return parseArray();
    case TokenKind::ObjectBegin:
      return parseDictionary();
    case TokenKind::String:
    case TokenKind::Number: {
      fnd::Object* object = m_state.cache.objectFor(m_state.token.value, *m_state.arena);
      if (!object) m_state.recordError(kObjectMissing);
      return object;
    }
    case TokenKind::True:
      return constant(kTrue);
    case TokenKind::False:
      return constant(kFalse);
    case TokenKind::Null:
      return constant(kNull);
    default:
      m_state.recordError(kObjectMissing);
      return nullptr;
  }
}

fnd::Object* Parser::constant(std::size_t which) noexcept {
  fnd::Object* object = constantObject(which);
  // Far below overflow, the count is brought up to date early.
  constexpr std::uint32_t kMostDeferred = 1u << 30;
  if (++m_deferredConstants[which] == kMostDeferred) {
    object->retain(m_deferredConstants[which]);
    m_deferredConstants[which] = 0;
  }
  return object;
}

void Parser::settleReferences() noexcept {
  m_state.cache.settle();
  for (std::size_t which = 0; which < m_deferredConstants.size(); ++which) {
    if (m_deferredConstants[which] == 0) continue;
    constantObject(which)->retain(m_deferredConstants[which]);
    m_deferredConstants[which] = 0;
  }
}

void Parser::releaseDisplaced(fnd::Object** keys, fnd::Object** objects, std::size_t count) noexcept {
  settleReferences();
  for (std::size_t i = 0; i < count; ++i) {
    keys[i]->release();
    objects[i]->release();
  }
}

bool Parser::enterContainer() {
  // Each level of nesting costs a stack frame; a bound keeps hostile input
  // from exhausting the thread's stack.
  if (m_state.depth <= kJDMaximumDepth) return true;
  m_state.recordError(
      fnd::formatString("Exceeded the maximum nesting depth of %zu arrays and objects.", kJDMaximumDepth));
  return false;
}

void Parser::recordExpectation(unsigned expected, const char* valueName, const char* endName) {
  const char* names[3];
  int count = 0;
  if (expected & kExpectValue) names[count++] = valueName;
  if (expected & kExpectComma) names[count++] = "a comma";
  if (expected & kExpectEnd) names[count++] = endName;
  const int width = static_cast<int>(m_state.token.length);
  const auto* found = reinterpret_cast<const char*>(m_state.token.begin);
  if (count == 1)
    m_state.recordError(fnd::formatString("Expected %s, not '%*.*s'", names[0], width, width, found));
  else if (count == 2)
    m_state.recordError(fnd::formatString("Expected %s or %s, not '%*.*s'", names[0], names[1], width, width, found));
  else
    m_state.recordError(
        fnd::formatString("Expected %s, %s, or %s, not '%*.*s", names[0], names[1], names[2], width, width, found));
}

bool Parser::accepts(unsigned expected, unsigned what, const char* unexpected) {
  if (expected & what) return true;
  m_state.recordError(unexpected);
  return false;
}

bool Parser::push(fnd::Object* object, fnd::Object* key, std::uint32_t keyHash, const char* container) {
  ObjectStack& stack = m_state.objectStack;
  if (stack.push(object, key, keyHash)) return true;
  settleReferences();
  object->release();
  if (key) key->release();
  m_state.recordError(fnd::formatString("Internal error: [%s] objectsIndex > %zu, resize failed? %s line #%d",
                                        container, stack.capacity(), __FILE_NAME__, __LINE__));
  return false;
}

fnd::Object* Parser::parseArray() {
  const DepthGuard depth(m_state.depth);
  if (!enterContainer()) return nullptr;
  ObjectStack& stack = m_state.objectStack;
  const std::size_t start = stack.size();
  unsigned expected = kExpectValue | kExpectEnd;
  while (m_tokenizer.next()) {
    const TokenKind kind = m_state.token.kind;
    if (beginsValue(kind)) {
      if (!accepts(expected, kExpectValue, "Unexpected value.")) break;
      fnd::Object* object = parseValue();
      if (!object) {
        m_state.recordError(kObjectMissing);
        break;
      }
      if (!push(object, nullptr, 0, "array")) break;
      expected = m_tokenizer.skipSeparator(',') ? kExpectValue : kExpectComma | kExpectEnd;
    } else if (kind == TokenKind::Comma) {
      if (!accepts(expected, kExpectComma, "Unexpected ','.")) break;
      expected = kExpectValue;
    } else if (kind == TokenKind::ArrayEnd) {
      if (!accepts(expected, kExpectEnd, "Unexpected ']'.")) break;
      auto array = JDArray::create({}, *m_state.arena, stack.objects() + start, stack.size() - start,
                                   m_state.mutableCollections);
      stack.popTo(start, false);
      return array.leak();
    } else {
      recordExpectation(expected, "a value", "a ']'");
      break;
    }
  }
  settleReferences();
  stack.popTo(start, true);
  return nullptr;
}

fnd::Object* Parser::parseKey(std::uint32_t& keyHash) {
  TokenValue& value = m_state.token.value;
  fnd::Object* key = m_state.cache.objectFor(value, *m_state.arena);
  if (!key) {
    m_state.recordError("Internal error: Key == NULL.");
    return nullptr;
  }
  // A key's hash is worked out once per cached string, however often it recurs.
  if (CacheItem* item = value.cacheItem) {
    if (item->keyHash == 0) item->keyHash = standardKeyHash(*key);
    keyHash = item->keyHash;
  } else {
    keyHash = standardKeyHash(*key);
  }
  return key;
}

fnd::Object* Parser::parseDictionary() {
  const DepthGuard depth(m_state.depth);
  if (!enterContainer()) return nullptr;
  ObjectStack& stack = m_state.objectStack;
  const std::size_t start = stack.size();
  unsigned expected = kExpectValue | kExpectEnd;
  while (nextInObject(stack.size() - start)) {
    const TokenKind kind = m_state.token.kind;
    if (kind == TokenKind::String) {
      if (!accepts(expected, kExpectValue, "Unexpected string.")) break;
      std::uint32_t keyHash = 0;
      fnd::Object* key = parseKey(keyHash);
      if (!key) break;
      fnd::Object* object = parseMemberValue(expected);
      if (!object) {
        settleReferences();
        key->release();
        break;
      }
      if (!push(object, key, keyHash, "dictionary")) break;
      expected = m_tokenizer.skipSeparator(',') ? kExpectValue : kExpectComma | kExpectEnd;
    } else if (kind == TokenKind::Comma) {
      if (!accepts(expected, kExpectComma, "Unexpected ','.")) break;
      expected = kExpectValue;
    } else if (kind == TokenKind::ObjectEnd) {
      if (!accepts(expected, kExpectEnd, "Unexpected '}'.")) break;
      const std::size_t count = stack.size() - start;
      std::size_t displaced = 0;
      auto dictionary = JDDictionary::create({}, *m_state.arena, stack.keys() + start, stack.keyHashes() + start,
                                             stack.objects() + start, count, m_state.mutableCollections, displaced);
      if (displaced > 0) releaseDisplaced(stack.keys() + start, stack.objects() + start, displaced);
      stack.popTo(start, false);
      return dictionary.leak();
    } else {
      recordExpectation(expected, "a \"STRING\"", "a '}'");
      break;
    }
  }
  settleReferences();
  stack.popTo(start, true);
  return nullptr;
}

bool Parser::nextInObject(std::size_t member) {
  if (member >= ParseState::kRememberedKeys) return m_tokenizer.next();
  return m_tokenizer.nextKey(m_state.rememberedKeys[member]);
}

fnd::Object* Parser::parseMemberValue(unsigned expected) {
  if (!m_tokenizer.skipSeparator(':')) {
    if (!m_tokenizer.next()) return nullptr;
    if (m_state.token.kind != TokenKind::Colon) {
      m_state.recordError("Expected ':'.");
      return nullptr;
    }
  }
  if (!m_tokenizer.next()) return nullptr;
  if (!beginsValue(m_state.token.kind)) {
    recordExpectation(expected, "a value", "a '}'");
    return nullptr;
  }
  fnd::Object* object = parseValue();
  if (!object) m_state.recordError(std::string(kObjectMissing) + ".");
  return object;
}

}  // namespace json
