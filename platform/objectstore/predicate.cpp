#include "platform/objectstore/predicate.h"

#include <cmath>
#include <compare>

#include "platform/foundation/date.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/null.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_array.h"
#include "platform/foundation/string_object.h"

namespace objectstore {

using fnd::compareStrings;
using fnd::matchString;
using fnd::StringOperator;
using fnd::StringOptions;

namespace {

// "No value": an absent object or the Null placeholder of containers.
const fnd::Object* valueOrNull(const fnd::Object* value) {
  return value && value->kind() == fnd::ObjectKind::Null ? nullptr : value;
}

const fnd::String* asString(const fnd::Object* value) {
  return value && value->kind() == fnd::ObjectKind::String ? static_cast<const fnd::String*>(value) : nullptr;
}

class DictionarySource final : public KeyValueSource {
 public:
  explicit DictionarySource(const fnd::Dictionary& dictionary) : m_dictionary(dictionary) {}
  fnd::Ref<fnd::Object> valueForKey(std::string_view key) const override {
    return fnd::Ref<fnd::Object>(m_dictionary.objectForKey(key));
  }
  const fnd::Object* selfObject() const override { return &m_dictionary; }

 private:
  const fnd::Dictionary& m_dictionary;
};

class PlainSource final : public KeyValueSource {
 public:
  explicit PlainSource(const fnd::Object* object) : m_object(object) {}
  fnd::Ref<fnd::Object> valueForKey(std::string_view) const override { return {}; }
  const fnd::Object* selfObject() const override { return m_object; }

 private:
  const fnd::Object* m_object;
};

fnd::Ref<fnd::Object> valueOfKey(const fnd::Object* object, std::string_view key) {
  if (!object) return {};
  if (object->kind() == fnd::ObjectKind::Dictionary) {
    return fnd::Ref<fnd::Object>(static_cast<const fnd::Dictionary*>(object)->objectForKey(key));
  }
  if (object->kind() == fnd::ObjectKind::Array) {
    // A path through a list reads the key of every element.
    auto values = fnd::ObjectArray::createMutable();
    for (fnd::Object* element : *static_cast<const fnd::Array*>(object)) {
      fnd::Ref<fnd::Object> value = valueOfKey(element, key);
      values->addObject(value ? value.get() : fnd::Null::null());
    }
    return values;
  }
  if (auto* source = dynamic_cast<const KeyValueSource*>(object)) return source->valueForKey(key);
  return {};
}

std::string_view withoutColon(std::string_view function) {
  return function.ends_with(':') ? function.substr(0, function.size() - 1) : function;
}

std::string quoted(std::string_view text) {
  std::string result = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') result += '\\';
    result += c;
  }
  return result + '"';
}

std::string formatConstant(const fnd::Object* value) {
  value = valueOrNull(value);
  if (!value) return "nil";
  switch (value->kind()) {
    case fnd::ObjectKind::String:
      return quoted(static_cast<const fnd::String*>(value)->utf8());
    case fnd::ObjectKind::Number:
      return value->description();
    case fnd::ObjectKind::Date:
      return "CAST(" +
             fnd::Number::create(static_cast<const fnd::Date*>(value)->timeIntervalSince1970())->description() +
             ", \"NSDate\")";
    case fnd::ObjectKind::Array: {
      std::string text = "{";
      const char* separator = "";
      for (fnd::Object* element : *static_cast<const fnd::Array*>(value)) {
        text += separator + formatConstant(element);
        separator = ", ";
      }
      return text + "}";
    }
    default:
      return value->description();
  }
}

const char* operatorText(ComparisonOperator op) {
  switch (op) {
    case ComparisonOperator::Equal:
      return "==";
    case ComparisonOperator::NotEqual:
      return "!=";
    case ComparisonOperator::Less:
      return "<";
    case ComparisonOperator::LessOrEqual:
      return "<=";
    case ComparisonOperator::Greater:
      return ">";
    case ComparisonOperator::GreaterOrEqual:
      return ">=";
    case ComparisonOperator::In:
      return "IN";
    case ComparisonOperator::Like:
      return "LIKE";
    case ComparisonOperator::Contains:
      return "CONTAINS";
    case ComparisonOperator::BeginsWith:
      return "BEGINSWITH";
    case ComparisonOperator::EndsWith:
      return "ENDSWITH";
  }
  return "?";
}

bool valuesEqual(const fnd::Object* a, const fnd::Object* b, StringOptions options) {
  a = valueOrNull(a);
  b = valueOrNull(b);
  if (options.bits() != 0) {
    const fnd::String* left = asString(a);
    const fnd::String* right = asString(b);
    if (left && right) return compareStrings(left->utf8(), right->utf8(), options) == 0;
  }
  return fnd::objectsEqual(a, b);
}

}  // namespace

std::optional<StringOperator> stringOperatorFor(ComparisonOperator op) {
  switch (op) {
    case ComparisonOperator::Equal:
    case ComparisonOperator::NotEqual:
      return StringOperator::Equal;
    case ComparisonOperator::Like:
      return StringOperator::Like;
    case ComparisonOperator::Contains:
      return StringOperator::Contains;
    case ComparisonOperator::BeginsWith:
      return StringOperator::BeginsWith;
    case ComparisonOperator::EndsWith:
      return StringOperator::EndsWith;
    default:
      return std::nullopt;
  }
}

std::optional<int> compareValues(const fnd::Object* a, const fnd::Object* b, StringOptions options) {
  a = valueOrNull(a);
  b = valueOrNull(b);
  if (!a || !b || a->kind() != b->kind()) return std::nullopt;
  switch (a->kind()) {
    case fnd::ObjectKind::Number: {
      std::partial_ordering order = static_cast<const fnd::Number*>(a)->compare(*static_cast<const fnd::Number*>(b));
      if (order == std::partial_ordering::unordered) return std::nullopt;
      return std::is_lt(order) ? -1 : (std::is_gt(order) ? 1 : 0);
    }
    case fnd::ObjectKind::String:
      return compareStrings(static_cast<const fnd::String*>(a)->utf8(), static_cast<const fnd::String*>(b)->utf8(),
                            options);
    case fnd::ObjectKind::Date: {
      double difference = static_cast<const fnd::Date*>(a)->timeIntervalSinceDate(*static_cast<const fnd::Date*>(b));
      return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
    }
    default:
      return std::nullopt;
  }
}

Expression::Expression(Kind kind, fnd::Ref<fnd::Object> constant, std::string text,
                       std::vector<std::shared_ptr<const Expression>> arguments)
    : m_kind(kind), m_constant(std::move(constant)), m_text(std::move(text)), m_arguments(std::move(arguments)) {}

std::shared_ptr<const Expression> Expression::constant(fnd::Ref<fnd::Object> value) {
  return std::make_shared<Expression>(Kind::Constant, std::move(value), std::string(),
                                      std::vector<std::shared_ptr<const Expression>>());
}

std::shared_ptr<const Expression> Expression::keyPath(std::string path) {
  return std::make_shared<Expression>(Kind::KeyPath, nullptr, std::move(path),
                                      std::vector<std::shared_ptr<const Expression>>());
}

std::shared_ptr<const Expression> Expression::self() {
  return std::make_shared<Expression>(Kind::Self, nullptr, std::string(),
                                      std::vector<std::shared_ptr<const Expression>>());
}

std::shared_ptr<const Expression> Expression::function(std::string name,
                                                       std::vector<std::shared_ptr<const Expression>> arguments) {
  return std::make_shared<Expression>(Kind::Function, nullptr, std::move(name), std::move(arguments));
}

bool Expression::isAggregateFunction(std::string_view function) {
  std::string_view name = withoutColon(function);
  return name == "max" || name == "min" || name == "sum" || name == "average" || name == "count";
}

fnd::Ref<fnd::Object> Expression::aggregate(std::string_view function,
                                            const std::vector<fnd::Ref<fnd::Object>>& values) {
  std::string_view name = withoutColon(function);
  if (name == "count") return fnd::Number::create(static_cast<std::int64_t>(values.size()));
  if (name == "max" || name == "min") {
    const fnd::Object* best = nullptr;
    for (const auto& value : values) {
      const fnd::Object* candidate = valueOrNull(value.get());
      if (!candidate) continue;
      std::optional<int> order = best ? compareValues(candidate, best) : std::optional<int>(0);
      if (!best || (order && ((name == "max" && *order > 0) || (name == "min" && *order < 0)))) best = candidate;
    }
    return fnd::Ref<fnd::Object>(const_cast<fnd::Object*>(best));
  }
  if (name == "sum" || name == "average") {
    bool allIntegers = true;
    std::int64_t integerSum = 0;
    double sum = 0;
    std::size_t counted = 0;
    for (const auto& value : values) {
      const fnd::Object* number = valueOrNull(value.get());
      if (!number || number->kind() != fnd::ObjectKind::Number) continue;
      const auto* n = static_cast<const fnd::Number*>(number);
      // An integer sum that leaves the 64-bit range is given as a double.
      allIntegers = allIntegers && n->isInteger() && !__builtin_add_overflow(integerSum, n->int64Value(), &integerSum);
      sum += n->doubleValue();
      ++counted;
    }
    if (name == "average") {
      return counted ? fnd::Ref<fnd::Object>(fnd::Number::create(sum / static_cast<double>(counted))) : nullptr;
    }
    return allIntegers ? fnd::Number::create(integerSum) : fnd::Number::create(sum);
  }
  return {};
}

fnd::Ref<fnd::Object> Expression::evaluate(const KeyValueSource* source) const {
  switch (m_kind) {
    case Kind::Constant:
      return m_constant;
    case Kind::Self:
      return fnd::Ref<fnd::Object>(source ? const_cast<fnd::Object*>(source->selfObject()) : nullptr);
    case Kind::KeyPath: {
      if (!source) return {};
      std::string_view path(m_text);
      std::size_t dot = path.find('.');
      fnd::Ref<fnd::Object> value = source->valueForKey(path.substr(0, dot));
      while (dot != std::string_view::npos && value) {
        path.remove_prefix(dot + 1);
        dot = path.find('.');
        value = valueOfKey(value.get(), path.substr(0, dot));
      }
      return value;
    }
    case Kind::Function: {
      std::vector<fnd::Ref<fnd::Object>> values;
      for (const auto& argument : m_arguments) {
        fnd::Ref<fnd::Object> value = argument->evaluate(source);
        if (value && value->kind() == fnd::ObjectKind::Array) {
          for (fnd::Object* element : *static_cast<const fnd::Array*>(value.get())) values.emplace_back(element);
        } else if (value) {
          values.push_back(value);
        }
      }
      return aggregate(m_text, values);
    }
  }
  return {};
}

std::string Expression::format() const {
  switch (m_kind) {
    case Kind::Constant:
      return formatConstant(m_constant.get());
    case Kind::Self:
      return "SELF";
    case Kind::KeyPath:
      return m_text;
    case Kind::Function: {
      std::string text = std::string(withoutColon(m_text)) + ":(";
      const char* separator = "";
      for (const auto& argument : m_arguments) {
        text += separator + argument->format();
        separator = ", ";
      }
      return text + ")";
    }
  }
  return {};
}

Predicate::Predicate(Kind kind, ComparisonOperator op, StringOptions options, std::shared_ptr<const Expression> left,
                     std::shared_ptr<const Expression> right, std::vector<std::shared_ptr<const Predicate>> parts)
    : m_kind(kind),
      m_operator(op),
      m_options(options),
      m_left(std::move(left)),
      m_right(std::move(right)),
      m_parts(std::move(parts)) {}

PredicatePtr Predicate::truePredicate() {
  static const PredicatePtr shared = std::make_shared<Predicate>(Kind::True, ComparisonOperator::Equal, StringOptions{},
                                                                 nullptr, nullptr, std::vector<PredicatePtr>());
  return shared;
}

PredicatePtr Predicate::comparison(std::shared_ptr<const Expression> left, ComparisonOperator op,
                                   std::shared_ptr<const Expression> right, StringOptions options) {
  return std::make_shared<Predicate>(Kind::Comparison, op, options, std::move(left), std::move(right),
                                     std::vector<PredicatePtr>());
}

PredicatePtr Predicate::compound(Kind kind, std::vector<PredicatePtr> parts) {
  return std::make_shared<Predicate>(kind, ComparisonOperator::Equal, StringOptions{}, nullptr, nullptr,
                                     std::move(parts));
}

PredicatePtr Predicate::withFormat(std::string_view format, std::vector<FormatArgument> arguments) {
  PredicateParseError error;
  PredicatePtr predicate = parse(format, arguments, &error);
  if (!predicate) throw fnd::Exception(fnd::Exception::Kind::InvalidArgument, error.message);
  return predicate;
}

bool Predicate::evaluate(const KeyValueSource& source) const {
  switch (m_kind) {
    case Kind::True:
      return true;
    case Kind::False:
      return false;
    case Kind::Not:
      return !m_parts.front()->evaluate(source);
    case Kind::And:
      for (const auto& part : m_parts) {
        if (!part->evaluate(source)) return false;
      }
      return true;
    case Kind::Or:
      for (const auto& part : m_parts) {
        if (part->evaluate(source)) return true;
      }
      return false;
    case Kind::Comparison:
      return evaluateComparison(source);
  }
  return false;
}

bool Predicate::evaluateWithObject(const fnd::Object* object) const {
  if (auto* source = dynamic_cast<const KeyValueSource*>(object)) return evaluate(*source);
  if (object && object->kind() == fnd::ObjectKind::Dictionary) {
    return evaluate(DictionarySource(*static_cast<const fnd::Dictionary*>(object)));
  }
  return evaluate(PlainSource(object));
}

bool Predicate::evaluateComparison(const KeyValueSource& source) const {
  fnd::Ref<fnd::Object> leftValue = m_left->evaluate(&source);
  fnd::Ref<fnd::Object> rightValue = m_right->evaluate(&source);
  const fnd::Object* left = valueOrNull(leftValue.get());
  const fnd::Object* right = valueOrNull(rightValue.get());
  switch (m_operator) {
    case ComparisonOperator::Equal:
      return valuesEqual(left, right, m_options);
    case ComparisonOperator::NotEqual:
      return !valuesEqual(left, right, m_options);
    case ComparisonOperator::Less:
    case ComparisonOperator::LessOrEqual:
    case ComparisonOperator::Greater:
    case ComparisonOperator::GreaterOrEqual: {
      // A missing value is never ordered against anything: the comparison is false.
      std::optional<int> order = compareValues(left, right, m_options);
      if (!order) return false;
      if (m_operator == ComparisonOperator::Less) return *order < 0;
      if (m_operator == ComparisonOperator::LessOrEqual) return *order <= 0;
      if (m_operator == ComparisonOperator::Greater) return *order > 0;
      return *order >= 0;
    }
    case ComparisonOperator::In: {
      if (!right) return false;
      if (right->kind() == fnd::ObjectKind::Array) {
        for (fnd::Object* element : *static_cast<const fnd::Array*>(right)) {
          if (valuesEqual(left, element, m_options)) return true;
        }
        return false;
      }
      if (right->kind() == fnd::ObjectKind::Dictionary) {
        for (fnd::Object* key : *static_cast<const fnd::Dictionary*>(right)) {
          if (valuesEqual(left, static_cast<const fnd::Dictionary*>(right)->objectForKey(key), m_options)) return true;
        }
        return false;
      }
      const fnd::String* text = asString(right);
      const fnd::String* part = asString(left);
      return text && part && matchString(StringOperator::Contains, text->utf8(), part->utf8(), m_options);
    }
    default: {
      const fnd::String* text = asString(left);
      const fnd::String* operand = asString(right);
      return text && operand && matchString(*stringOperatorFor(m_operator), text->utf8(), operand->utf8(), m_options);
    }
  }
}

std::string Predicate::format() const {
  auto partText = [](const PredicatePtr& part) {
    bool nested = part->kind() == Kind::And || part->kind() == Kind::Or;
    return nested ? "(" + part->format() + ")" : part->format();
  };
  switch (m_kind) {
    case Kind::True:
      return "TRUEPREDICATE";
    case Kind::False:
      return "FALSEPREDICATE";
    case Kind::Not:
      return "NOT " + partText(m_parts.front());
    case Kind::And:
    case Kind::Or: {
      std::string text;
      for (std::size_t i = 0; i < m_parts.size(); ++i) {
        if (i) text += m_kind == Kind::And ? " AND " : " OR ";
        text += partText(m_parts[i]);
      }
      return text;
    }
    case Kind::Comparison: {
      std::string options;
      if (m_options.bits()) {
        options = std::string("[") + (m_options.caseInsensitive ? "c" : "") +
                  (m_options.diacriticInsensitive ? "d" : "") + "]";
      }
      return m_left->format() + " " + operatorText(m_operator) + options + " " + m_right->format();
    }
  }
  return {};
}

}  // namespace objectstore
