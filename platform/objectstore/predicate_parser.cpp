// The format-string parser of predicates: a hand-written tokenizer and a
// recursive-descent parser. Every failure names its position; nesting is
// bounded so hostile input cannot exhaust the stack.
#include <cctype>
#include <charconv>
#include <cstring>

#include "platform/foundation/date.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/null.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_array.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/predicate.h"

namespace objectstore {

using fnd::StringOptions;

namespace {

constexpr int kMaximumNesting = 100;

enum class TokenKind { End, Identifier, Number, String, Format, Symbol };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;  // identifier, symbol, unescaped string, number text, or format letters
  std::size_t position = 0;
};

struct ParseFailure {
  std::string reason;
  std::size_t position;
};

bool isIdentifierStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '@' || c == '#';
}
bool isIdentifierPart(char c) { return isIdentifierStart(c) || std::isdigit(static_cast<unsigned char>(c)); }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view text) : m_text(text) {}

  Token next() {
    while (m_position < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_position]))) ++m_position;
    Token token;
    token.position = m_position;
    if (m_position >= m_text.size()) return token;
    char c = m_text[m_position];
    if (isIdentifierStart(c)) {
      std::size_t start = m_position;
      while (m_position < m_text.size() && (isIdentifierPart(m_text[m_position]) || m_text[m_position] == '.'))
        ++m_position;
      token.kind = TokenKind::Identifier;
      token.text = m_text.substr(start, m_position - start);
      return token;
    }
    if (std::isdigit(static_cast<unsigned char>(c))) return number(token);
    if (c == '"' || c == '\'') return string(token, c);
    if (c == '%') return formatSpecifier(token);
    static constexpr std::string_view kTwoCharacterSymbols[] = {"==", "!=", "<>", "<=", "=<", ">=", "=>", "&&", "||"};
    for (std::string_view symbol : kTwoCharacterSymbols) {
      if (m_text.substr(m_position).starts_with(symbol)) {
        m_position += 2;
        token.kind = TokenKind::Symbol;
        token.text = symbol;
        return token;
      }
    }
    if (c != '\0' && std::strchr("=<>!(){}[],-:", c)) {
      ++m_position;
      token.kind = TokenKind::Symbol;
      token.text = std::string(1, c);
      return token;
    }
    throw ParseFailure{std::string("unexpected character '") + c + "'", m_position};
  }

 private:
  Token number(Token& token) {
    std::size_t start = m_position;
    auto digits = [&] {
      while (m_position < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_position]))) ++m_position;
    };
    digits();
    if (m_position < m_text.size() && m_text[m_position] == '.') {
      ++m_position;
      digits();
    }
    if (m_position < m_text.size() && (m_text[m_position] == 'e' || m_text[m_position] == 'E')) {
      ++m_position;
      if (m_position < m_text.size() && (m_text[m_position] == '+' || m_text[m_position] == '-')) ++m_position;
      digits();
    }
    token.kind = TokenKind::Number;
    token.text = m_text.substr(start, m_position - start);
    return token;
  }

  Token string(Token& token, char quote) {
    ++m_position;
    std::string value;
    while (m_position < m_text.size() && m_text[m_position] != quote) {
      char c = m_text[m_position++];
      if (c == '\\' && m_position < m_text.size()) {
        char escaped = m_text[m_position++];
        value += escaped == 'n' ? '\n' : (escaped == 't' ? '\t' : escaped);
      } else {
        value += c;
      }
    }
    if (m_position >= m_text.size()) throw ParseFailure{"unterminated string", token.position};
    ++m_position;
    token.kind = TokenKind::String;
    token.text = std::move(value);
    return token;
  }

  Token formatSpecifier(Token& token) {
    ++m_position;
    std::size_t start = m_position;
    while (m_position < m_text.size() && m_text[m_position] == 'l') ++m_position;
    if (m_position >= m_text.size() || !std::strchr("@KdiufD", m_text[m_position]) || m_text[m_position] == '\0') {
      throw ParseFailure{"unknown format specifier", token.position};
    }
    ++m_position;
    token.kind = TokenKind::Format;
    token.text = m_text.substr(start, m_position - start);
    return token;
  }

  std::string_view m_text;
  std::size_t m_position = 0;
};

class Parser {
 public:
  Parser(std::string_view text, const std::vector<FormatArgument>& arguments) : m_tokens(text), m_arguments(arguments) {
    advance();
  }

  PredicatePtr parseAll() {
    PredicatePtr predicate = parseOr();
    if (m_token.kind != TokenKind::End) fail("unexpected '" + m_token.text + "'");
    return predicate;
  }

 private:
  [[noreturn]] void fail(const std::string& reason) const { throw ParseFailure{reason, m_token.position}; }

  void advance() { m_token = m_tokens.next(); }

  bool isSymbol(std::string_view symbol) const { return m_token.kind == TokenKind::Symbol && m_token.text == symbol; }
  bool isKeyword(std::string_view keyword) const {
    return m_token.kind == TokenKind::Identifier && equalsIgnoringCase(m_token.text, keyword);
  }

  void expectSymbol(std::string_view symbol) {
    if (!isSymbol(symbol)) fail("expected '" + std::string(symbol) + "'");
    advance();
  }

  struct DepthGuard {
    explicit DepthGuard(Parser& parser) : m_parser(parser) {
      if (++m_parser.m_depth > kMaximumNesting) m_parser.fail("nesting too deep");
    }
    ~DepthGuard() { --m_parser.m_depth; }
    Parser& m_parser;
  };

  PredicatePtr parseOr() {
    std::vector<PredicatePtr> parts{parseAnd()};
    while (isKeyword("OR") || isSymbol("||")) {
      advance();
      parts.push_back(parseAnd());
    }
    return parts.size() == 1 ? parts.front() : Predicate::compound(Predicate::Kind::Or, std::move(parts));
  }

  PredicatePtr parseAnd() {
    std::vector<PredicatePtr> parts{parseNot()};
    while (isKeyword("AND") || isSymbol("&&")) {
      advance();
      parts.push_back(parseNot());
    }
    return parts.size() == 1 ? parts.front() : Predicate::compound(Predicate::Kind::And, std::move(parts));
  }

  PredicatePtr parseNot() {
    DepthGuard guard(*this);
    if (isKeyword("NOT") || isSymbol("!")) {
      advance();
      return Predicate::compound(Predicate::Kind::Not, {parseNot()});
    }
    if (isSymbol("(")) {
      advance();
      PredicatePtr inner = parseOr();
      expectSymbol(")");
      return inner;
    }
    if (isKeyword("TRUEPREDICATE") || isKeyword("FALSEPREDICATE")) {
      bool value = isKeyword("TRUEPREDICATE");
      advance();
      return value ? Predicate::truePredicate() : Predicate::compound(Predicate::Kind::False, {});
    }
    return parseComparison();
  }

  PredicatePtr parseComparison() {
    std::shared_ptr<const Expression> left = parseExpression();
    if (m_token.kind == TokenKind::End) fail("expected a comparison operator");
    ComparisonOperator op = parseOperator();
    StringOptions options = parseOptions();
    std::shared_ptr<const Expression> right = parseExpression();
    return Predicate::comparison(std::move(left), op, std::move(right), options);
  }

  ComparisonOperator parseOperator() {
    struct Entry {
      std::string_view text;
      ComparisonOperator op;
      bool keyword;
    };
    static constexpr Entry kOperators[] = {
        {"==", ComparisonOperator::Equal, false},
        {"=", ComparisonOperator::Equal, false},
        {"!=", ComparisonOperator::NotEqual, false},
        {"<>", ComparisonOperator::NotEqual, false},
        {"<", ComparisonOperator::Less, false},
        {"<=", ComparisonOperator::LessOrEqual, false},
        {"=<", ComparisonOperator::LessOrEqual, false},
        {">", ComparisonOperator::Greater, false},
        {">=", ComparisonOperator::GreaterOrEqual, false},
        {"=>", ComparisonOperator::GreaterOrEqual, false},
        {"IN", ComparisonOperator::In, true},
        {"LIKE", ComparisonOperator::Like, true},
        {"CONTAINS", ComparisonOperator::Contains, true},
        {"BEGINSWITH", ComparisonOperator::BeginsWith, true},
        {"ENDSWITH", ComparisonOperator::EndsWith, true},
    };
    for (const Entry& entry : kOperators) {
      if (entry.keyword ? isKeyword(entry.text) : isSymbol(entry.text)) {
        advance();
        return entry.op;
      }
    }
    fail("expected a comparison operator, found '" + m_token.text + "'");
  }

  StringOptions parseOptions() {
    StringOptions options;
    if (!isSymbol("[")) return options;
    advance();
    if (m_token.kind != TokenKind::Identifier) fail("expected comparison options");
    for (char c : m_token.text) {
      if (c == 'c' || c == 'C') {
        options.caseInsensitive = true;
      } else if (c == 'd' || c == 'D') {
        options.diacriticInsensitive = true;
      } else if (c != 'n' && c != 'N') {  // n (normalised) needs no work here
        fail(std::string("unknown comparison option '") + c + "'");
      }
    }
    advance();
    expectSymbol("]");
    return options;
  }

  std::shared_ptr<const Expression> parseExpression() {
    DepthGuard guard(*this);
    Token token = m_token;
    switch (token.kind) {
      case TokenKind::End:
        fail("expected an expression");
      case TokenKind::Number:
        advance();
        return Expression::constant(numberConstant(token.text, false));
      case TokenKind::String:
        advance();
        return Expression::constant(fnd::String::create(token.text));
      case TokenKind::Format:
        advance();
        return formatArgument(token);
      case TokenKind::Symbol:
        if (token.text == "-") {
          advance();
          if (m_token.kind != TokenKind::Number) fail("expected a number after '-'");
          std::string digits = m_token.text;
          advance();
          return Expression::constant(numberConstant(digits, true));
        }
        if (token.text == "{") return parseList();
        fail("unexpected '" + token.text + "'");
      case TokenKind::Identifier:
        return parseIdentifier(token);
    }
    fail("expected an expression");
  }

  std::shared_ptr<const Expression> parseList() {
    advance();
    auto elements = fnd::ObjectArray::createMutable();
    while (!isSymbol("}")) {
      std::shared_ptr<const Expression> element = parseExpression();
      if (element->kind() != Expression::Kind::Constant) fail("a list may hold only constants");
      elements->addObject(element->constantValue() ? element->constantValue().get() : fnd::Null::null());
      if (!isSymbol(",")) break;
      advance();
    }
    expectSymbol("}");
    return Expression::constant(elements->copy());
  }

  std::shared_ptr<const Expression> parseIdentifier(const Token& token) {
    if (isKeyword("YES") || isKeyword("TRUE")) {
      advance();
      return Expression::constant(fnd::Ref<fnd::Object>(fnd::Number::yes()));
    }
    if (isKeyword("NO") || isKeyword("FALSE")) {
      advance();
      return Expression::constant(fnd::Ref<fnd::Object>(fnd::Number::no()));
    }
    if (isKeyword("NIL") || isKeyword("NULL")) {
      advance();
      return Expression::constant(nullptr);
    }
    if (isKeyword("SELF")) {
      advance();
      return Expression::self();
    }
    static constexpr std::string_view kReserved[] = {"AND",      "OR",         "NOT",      "IN",      "LIKE",
                                                     "CONTAINS", "BEGINSWITH", "ENDSWITH", "MATCHES", "ANY",
                                                     "ALL",      "SOME",       "NONE",     "BETWEEN"};
    for (std::string_view word : kReserved) {
      if (isKeyword(word)) fail("unexpected keyword '" + token.text + "'");
    }
    if (token.text.front() == '.' || token.text.back() == '.' || token.text.find("..") != std::string::npos) {
      fail("malformed key path '" + token.text + "'");
    }
    advance();
    // A function may be written "max:(...)", the form format() writes back.
    const bool colon = isSymbol(":");
    if (colon) advance();
    if (!isSymbol("(")) {
      if (colon) fail("expected '('");
      return Expression::keyPath(token.text);
    }
    if (!colon && equalsIgnoringCase(token.text, "CAST")) {
      advance();
      return parseDateCast();
    }
    if (!Expression::isAggregateFunction(token.text)) {
      throw ParseFailure{"unknown function '" + token.text + "'", token.position};
    }
    advance();
    std::vector<std::shared_ptr<const Expression>> arguments;
    while (!isSymbol(")")) {
      arguments.push_back(parseExpression());
      if (!isSymbol(",")) break;
      advance();
    }
    expectSymbol(")");
    return Expression::function(token.text, std::move(arguments));
  }

  // CAST(seconds, "NSDate"): a date constant, the form format() writes dates in.
  std::shared_ptr<const Expression> parseDateCast() {
    std::shared_ptr<const Expression> seconds = parseExpression();
    const fnd::Object* value = seconds->kind() == Expression::Kind::Constant ? seconds->constantValue().get() : nullptr;
    if (!value || value->kind() != fnd::ObjectKind::Number) fail("expected a number of seconds");
    expectSymbol(",");
    if (m_token.kind != TokenKind::String || m_token.text != "NSDate") fail("expected \"NSDate\"");
    advance();
    expectSymbol(")");
    return Expression::constant(fnd::Date::create(static_cast<const fnd::Number*>(value)->doubleValue()));
  }

  fnd::Ref<fnd::Object> numberConstant(const std::string& text, bool negative) {
    bool isInteger = text.find_first_of(".eE") == std::string::npos;
    if (isInteger) {
      std::uint64_t magnitude = 0;
      auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
      if (error == std::errc() && end == text.data() + text.size()) {
        if (!negative) {
          return magnitude <= static_cast<std::uint64_t>(INT64_MAX)
                     ? fnd::Number::create(static_cast<std::int64_t>(magnitude))
                     : fnd::Number::createUnsigned(magnitude);
        }
        if (magnitude <= static_cast<std::uint64_t>(INT64_MAX) + 1) {
          return fnd::Number::create(static_cast<std::int64_t>(0 - magnitude));
        }
      }
    }
    double value = std::strtod(text.c_str(), nullptr);
    return fnd::Number::create(negative ? -value : value);
  }

  const FormatArgument& takeArgument(const Token& token) {
    if (m_nextArgument >= m_arguments.size()) {
      throw ParseFailure{"missing argument for %" + token.text, token.position};
    }
    return m_arguments[m_nextArgument++];
  }

  std::shared_ptr<const Expression> formatArgument(const Token& token) {
    const FormatArgument& argument = takeArgument(token);
    char specifier = token.text.back();
    auto wrongType = [&](const char* expected) {
      throw ParseFailure{"argument for %" + token.text + " must be " + expected, token.position};
    };
    if (specifier == 'K') {
      if (const auto* key = std::get_if<std::string>(&argument)) {
        if (key->empty()) wrongType("a non-empty key");
        return Expression::keyPath(*key);
      }
      if (const auto* object = std::get_if<fnd::Ref<fnd::Object>>(&argument)) {
        if (*object && (*object)->kind() == fnd::ObjectKind::String) {
          auto text = static_cast<const fnd::String*>(object->get())->utf8();
          if (!text.empty()) return Expression::keyPath(std::string(text));
        }
      }
      wrongType("a key name");
    }
    if (specifier == 'd' || specifier == 'i' || specifier == 'D') {
      if (const auto* value = std::get_if<std::int64_t>(&argument))
        return Expression::constant(fnd::Number::create(*value));
      if (const auto* value = std::get_if<std::uint64_t>(&argument)) {
        return Expression::constant(fnd::Number::createUnsigned(*value));
      }
      wrongType("an integer");
    }
    if (specifier == 'u') {
      if (const auto* value = std::get_if<std::uint64_t>(&argument)) {
        return Expression::constant(fnd::Number::createUnsigned(*value));
      }
      if (const auto* value = std::get_if<std::int64_t>(&argument)) {
        return Expression::constant(fnd::Number::createUnsigned(static_cast<std::uint64_t>(*value)));
      }
      wrongType("an integer");
    }
    if (specifier == 'f') {
      if (const auto* value = std::get_if<double>(&argument)) return Expression::constant(fnd::Number::create(*value));
      wrongType("a floating-point number");
    }
    // %@: any object; texts and numbers given directly are wrapped.
    if (const auto* object = std::get_if<fnd::Ref<fnd::Object>>(&argument)) return Expression::constant(*object);
    if (const auto* text = std::get_if<std::string>(&argument)) return Expression::constant(fnd::String::create(*text));
    if (const auto* value = std::get_if<std::int64_t>(&argument))
      return Expression::constant(fnd::Number::create(*value));
    if (const auto* value = std::get_if<std::uint64_t>(&argument)) {
      return Expression::constant(fnd::Number::createUnsigned(*value));
    }
    return Expression::constant(fnd::Number::create(std::get<double>(argument)));
  }

  Tokenizer m_tokens;
  const std::vector<FormatArgument>& m_arguments;
  std::size_t m_nextArgument = 0;
  Token m_token;
  int m_depth = 0;
};

}  // namespace

PredicatePtr Predicate::parse(std::string_view format, const std::vector<FormatArgument>& arguments,
                              PredicateParseError* error) {
  try {
    Parser parser(format, arguments);
    return parser.parseAll();
  } catch (const ParseFailure& failure) {
    if (error) {
      error->position = failure.position;
      error->message = "Unable to parse the format string \"" + std::string(format) + "\": " + failure.reason +
                       " at position " + std::to_string(failure.position);
    }
    return nullptr;
  }
}

}  // namespace objectstore
