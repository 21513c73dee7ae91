#pragma once
// Predicates and expressions: a condition over records (or any key-value
// source), parsed from a format string and evaluated in memory. The store
// translates what it can to SQL (sql_filter.h) with the same meaning.
// Immutable once built; safe to share between threads.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/foundation/containers.h"
#include "platform/foundation/string_matching.h"

namespace objectstore {

// What an expression reads values from: a record, a stored row, a dictionary.
class KeyValueSource {
 public:
  virtual ~KeyValueSource() = default;
  // The value of a single key, or null.
  virtual fnd::Ref<fnd::Object> valueForKey(std::string_view key) const = 0;
  // The object that SELF names, or null.
  virtual const fnd::Object* selfObject() const = 0;
};

class Expression {
 public:
  enum class Kind { Constant, KeyPath, Self, Function };
  static std::shared_ptr<const Expression> constant(fnd::Ref<fnd::Object> value);
  static std::shared_ptr<const Expression> keyPath(std::string path);
  static std::shared_ptr<const Expression> self();
  // Aggregates over a collection argument: "max", "min", "sum", "average", "count"
  // (a trailing ":" is accepted).
  static std::shared_ptr<const Expression> function(std::string name,
                                                    std::vector<std::shared_ptr<const Expression>> arguments);

  Kind kind() const noexcept { return m_kind; }
  const fnd::Ref<fnd::Object>& constantValue() const noexcept { return m_constant; }
  const std::string& keyPathText() const noexcept { return m_text; }
  const std::string& functionName() const noexcept { return m_text; }
  const std::vector<std::shared_ptr<const Expression>>& arguments() const noexcept { return m_arguments; }

  fnd::Ref<fnd::Object> evaluate(const KeyValueSource* source) const;
  std::string format() const;

  // Applies an aggregate function ("max", "min:", ...) to values; null when unknown.
  static fnd::Ref<fnd::Object> aggregate(std::string_view function, const std::vector<fnd::Ref<fnd::Object>>& values);
  static bool isAggregateFunction(std::string_view function);

  Expression(Kind kind, fnd::Ref<fnd::Object> constant, std::string text,
             std::vector<std::shared_ptr<const Expression>> arguments);

 private:
  Kind m_kind;
  fnd::Ref<fnd::Object> m_constant;
  std::string m_text;
  std::vector<std::shared_ptr<const Expression>> m_arguments;
};

enum class ComparisonOperator {
  Equal,
  NotEqual,
  Less,
  LessOrEqual,
  Greater,
  GreaterOrEqual,
  In,
  Like,
  Contains,
  BeginsWith,
  EndsWith
};

// One argument of a format string: %d %i %u take integers, %f a double,
// %@ an object (text via fnd::String), %K a key name.
using FormatArgument = std::variant<std::int64_t, std::uint64_t, double, fnd::Ref<fnd::Object>, std::string>;

struct PredicateParseError {
  std::string message;  // names the position, e.g. "... at position 7"
  std::size_t position = 0;
};

class Predicate {
 public:
  enum class Kind { True, False, And, Or, Not, Comparison };

  // Parses `format`; throws fnd::Exception (InvalidArgument) with the parse
  // error's message when it is malformed.
  static std::shared_ptr<const Predicate> withFormat(std::string_view format,
                                                     std::vector<FormatArgument> arguments = {});
  // Parses `format`; on failure returns null and fills `error`.
  static std::shared_ptr<const Predicate> parse(std::string_view format, const std::vector<FormatArgument>& arguments,
                                                PredicateParseError* error);

  static std::shared_ptr<const Predicate> truePredicate();
  static std::shared_ptr<const Predicate> comparison(std::shared_ptr<const Expression> left, ComparisonOperator op,
                                                     std::shared_ptr<const Expression> right,
                                                     fnd::StringOptions options = {});
  static std::shared_ptr<const Predicate> compound(Kind kind, std::vector<std::shared_ptr<const Predicate>> parts);

  Kind kind() const noexcept { return m_kind; }
  ComparisonOperator comparisonOperator() const noexcept { return m_operator; }
  fnd::StringOptions options() const noexcept { return m_options; }
  const std::shared_ptr<const Expression>& left() const noexcept { return m_left; }
  const std::shared_ptr<const Expression>& right() const noexcept { return m_right; }
  const std::vector<std::shared_ptr<const Predicate>>& subpredicates() const noexcept { return m_parts; }

  bool evaluate(const KeyValueSource& source) const;
  bool evaluateWithObject(const fnd::Object* object) const;
  // The predicate written back as a format string.
  std::string format() const;

  Predicate(Kind kind, ComparisonOperator op, fnd::StringOptions options, std::shared_ptr<const Expression> left,
            std::shared_ptr<const Expression> right, std::vector<std::shared_ptr<const Predicate>> parts);

 private:
  bool evaluateComparison(const KeyValueSource& source) const;

  Kind m_kind;
  ComparisonOperator m_operator = ComparisonOperator::Equal;
  fnd::StringOptions m_options;
  std::shared_ptr<const Expression> m_left;
  std::shared_ptr<const Expression> m_right;
  std::vector<std::shared_ptr<const Predicate>> m_parts;
};

using PredicatePtr = std::shared_ptr<const Predicate>;

// Three-way comparison of two values of one kind (numbers, strings, dates);
// nullopt when they cannot be ordered against each other.
std::optional<int> compareValues(const fnd::Object* a, const fnd::Object* b, fnd::StringOptions options = {});
// The string match an operator stands for: equality for Equal and NotEqual;
// none for the orderings and the operators that are no string match.
std::optional<fnd::StringOperator> stringOperatorFor(ComparisonOperator op);

}  // namespace objectstore
