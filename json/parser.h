#pragma once
// Parser: one recursive-descent pass over a document, building the decoder's
// containers from the values the tokenizer reads. Used by one thread at a time.

#include <array>
#include <optional>

#include "json/parse_state.h"
#include "json/tokenizer.h"

namespace json {

class Parser {
 public:
  explicit Parser(ParseState& state) noexcept : m_state(state), m_tokenizer(state) {}
  // Even a parse that an exception (running out of memory) cut short leaves
  // every count up to date, so what its value stack still holds can be
  // released later.
  ~Parser() { settleReferences(); }
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  // Decodes `length` bytes (never copied); null with the error recorded in the state.
  fnd::Ref<fnd::Object> parse(const std::uint8_t* bytes, std::size_t length, bool mutableCollections);

 private:
  // Each returns one reference for the caller, or null after recording an error.
  fnd::Object* parseValue();
  fnd::Object* parseArray();
  fnd::Object* parseDictionary();
  fnd::Object* parseKey(std::uint32_t& keyHash);
  // The next token inside an object that holds `member` members so far.
  bool nextInObject(std::size_t member);
  // The colon and value after a key; null after recording an error.
  fnd::Object* parseMemberValue(unsigned expected);
  bool enterContainer();
  // False, with `unexpected` recorded, when `what` is not among the `expected` tokens.
  bool accepts(unsigned expected, unsigned what, const char* unexpected);
  // Moves the references into the value stack; releases them when it cannot grow.
  bool push(fnd::Object* object, fnd::Object* key, std::uint32_t keyHash, const char* container);
  void recordExpectation(unsigned expected, const char* valueName, const char* endName);
  // One more reference to a shared constant, counted at the next settle.
  fnd::Object* constant(std::size_t which) noexcept;
  // Brings every object's count up to date with the references handed out;
  // needed before anything the parse made is released.
  void settleReferences() noexcept;
  // Releases what a dictionary's repeated keys displaced.
  void releaseDisplaced(fnd::Object** keys, fnd::Object** objects, std::size_t count) noexcept;

  ParseState& m_state;
  Tokenizer m_tokenizer;
  // References to true, false and null handed out and not yet counted.
  std::array<std::uint32_t, 3> m_deferredConstants{};
};

}  // namespace json
