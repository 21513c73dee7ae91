#include "platform/objectstore/sql_filter.h"

#include "platform/foundation/number.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/managed_object.h"

namespace objectstore {

using fnd::likeLiteralPrefix;
using fnd::searchKey;
using fnd::StringOperator;
using fnd::StringOptions;

namespace {

enum class Family { Null, Text, Number, Date, Blob, Other };

Family attributeFamily(AttributeType type) {
  switch (type) {
    case AttributeType::String:
      return Family::Text;
    case AttributeType::Date:
      return Family::Date;
    case AttributeType::Binary:
      return Family::Blob;
    default:
      return Family::Number;
  }
}

Family valueFamily(const fnd::Object* value) {
  if (!value || value->kind() == fnd::ObjectKind::Null) return Family::Null;
  switch (value->kind()) {
    case fnd::ObjectKind::String:
      return Family::Text;
    case fnd::ObjectKind::Number:
      return Family::Number;
    case fnd::ObjectKind::Date:
      return Family::Date;
    case fnd::ObjectKind::Data:
      return Family::Blob;
    default:
      return Family::Other;
  }
}

// One side of a comparison as SQL: a column, the key column, or a bound value.
struct Operand {
  std::string sql;
  Family family = Family::Other;
  const AttributeDescription* attribute = nullptr;
  fnd::Ref<fnd::Object> constant;
  bool isConstant = false;
};

std::optional<Operand> translateOperand(const Expression& expression, const EntityDescription& entity) {
  switch (expression.kind()) {
    case Expression::Kind::KeyPath: {
      const AttributeDescription* attribute = entity.attributeNamed(expression.keyPathText());
      if (!attribute) return std::nullopt;
      return Operand{columnName(attribute->name), attributeFamily(attribute->type), attribute, nullptr, false};
    }
    case Expression::Kind::Self:
      return Operand{"Z_PK", Family::Other, nullptr, nullptr, false};
    case Expression::Kind::Constant: {
      Operand operand{"?", valueFamily(expression.constantValue().get()), nullptr, expression.constantValue(), true};
      if (operand.family == Family::Null) operand.sql = "NULL";
      return operand;
    }
    case Expression::Kind::Function:
      return std::nullopt;
  }
  return std::nullopt;
}

ComparisonOperator mirrored(ComparisonOperator op) {
  switch (op) {
    case ComparisonOperator::Less:
      return ComparisonOperator::Greater;
    case ComparisonOperator::LessOrEqual:
      return ComparisonOperator::GreaterOrEqual;
    case ComparisonOperator::Greater:
      return ComparisonOperator::Less;
    case ComparisonOperator::GreaterOrEqual:
      return ComparisonOperator::LessOrEqual;
    default:
      return op;
  }
}

bool isAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

class Translator {
 public:
  explicit Translator(const EntityDescription& entity) : m_entity(entity) {}

  // Appends the SQL of `predicate` to `sql`; returns false when it cannot be
  // translated exactly (nothing useful was appended then).
  bool translate(const Predicate& predicate, std::string& sql, std::vector<fnd::Ref<fnd::Object>>& bindings,
                 bool& exact) {
    switch (predicate.kind()) {
      case Predicate::Kind::True:
        sql += "1";
        return true;
      case Predicate::Kind::False:
        sql += "0";
        return true;
      case Predicate::Kind::Not: {
        std::string inner;
        std::vector<fnd::Ref<fnd::Object>> innerBindings;
        bool innerExact = true;
        if (!translate(*predicate.subpredicates().front(), inner, innerBindings, innerExact) || !innerExact)
          return false;
        // SQL's unknown (NULL) must count as false before it is negated, as in memory.
        sql += "NOT coalesce((" + inner + "), 0)";
        append(bindings, innerBindings);
        return true;
      }
      case Predicate::Kind::And: {
        std::vector<std::string> parts;
        for (const auto& part : predicate.subpredicates()) {
          std::string text;
          std::vector<fnd::Ref<fnd::Object>> partBindings;
          bool partExact = true;
          if (translate(*part, text, partBindings, partExact)) {
            parts.push_back("(" + text + ")");
            append(bindings, partBindings);
          }
          exact = exact && partExact && !text.empty();
        }
        if (parts.empty()) return false;
        sql += join(parts, " AND ");
        return true;
      }
      case Predicate::Kind::Or: {
        std::vector<std::string> parts;
        std::vector<fnd::Ref<fnd::Object>> allBindings;
        for (const auto& part : predicate.subpredicates()) {
          std::string text;
          bool partExact = true;
          if (!translate(*part, text, allBindings, partExact) || !partExact) return false;
          parts.push_back("(" + text + ")");
        }
        sql += join(parts, " OR ");
        append(bindings, allBindings);
        return true;
      }
      case Predicate::Kind::Comparison:
        return translateComparison(predicate, sql, bindings);
    }
    return false;
  }

 private:
  static void append(std::vector<fnd::Ref<fnd::Object>>& to, std::vector<fnd::Ref<fnd::Object>>& from) {
    for (auto& value : from) to.push_back(std::move(value));
  }

  static std::string join(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? separator : "") + parts[i];
    return text;
  }

  bool translateComparison(const Predicate& predicate, std::string& sql, std::vector<fnd::Ref<fnd::Object>>& bindings) {
    std::optional<Operand> left = translateOperand(*predicate.left(), m_entity);
    std::optional<Operand> right = translateOperand(*predicate.right(), m_entity);
    if (!left || !right) return false;
    ComparisonOperator op = predicate.comparisonOperator();
    if (left->isConstant && !right->isConstant) {
      if (stringOperatorFor(op) && op != ComparisonOperator::Equal && op != ComparisonOperator::NotEqual) return false;
      if (op == ComparisonOperator::In) return false;
      std::swap(*left, *right);
      op = mirrored(op);
    }
    if (left->isConstant) return false;
    if (op == ComparisonOperator::In) return translateIn(*left, *right, predicate.options(), sql, bindings);
    if (left->sql == "Z_PK") return translateSelf(*right, op, sql, bindings);
    // Only values of the column's own kind compare alike in SQL and in memory.
    if (right->family != Family::Null && right->family != left->family) return false;
    StringOptions options = predicate.options();
    std::optional<StringOperator> stringOp = stringOperatorFor(op);
    bool isStringOperation = stringOp && (options.bits() != 0 || *stringOp != StringOperator::Equal);
    if (isStringOperation) {
      if (left->family != Family::Text || right->family != Family::Text) return false;
      if (!right->isConstant) return false;
      if (*stringOp == StringOperator::Like && options.caseInsensitive && options.diacriticInsensitive &&
          left->attribute->isIndexedForSearch) {
        return translateIndexedLike(*left, *right, sql, bindings);
      }
      std::string match = std::string(kMatchFunction) + "(" + std::to_string(static_cast<int>(*stringOp)) + ", " +
                          std::to_string(options.bits()) + ", " + left->sql + ", ?)";
      sql += op == ComparisonOperator::NotEqual ? "NOT " + match : match;
      bindings.push_back(right->constant);
      return true;
    }
    // SQL orders texts by their bytes; an order of folded texts is left to memory.
    if (options.bits() != 0 && left->family == Family::Text) return false;
    const char* sqlOperator = nullptr;
    switch (op) {
      case ComparisonOperator::Equal:
        sqlOperator = " IS ";
        break;
      case ComparisonOperator::NotEqual:
        sqlOperator = " IS NOT ";
        break;
      case ComparisonOperator::Less:
        sqlOperator = " < ";
        break;
      case ComparisonOperator::LessOrEqual:
        sqlOperator = " <= ";
        break;
      case ComparisonOperator::Greater:
        sqlOperator = " > ";
        break;
      case ComparisonOperator::GreaterOrEqual:
        sqlOperator = " >= ";
        break;
      default:
        return false;
    }
    sql += left->sql + sqlOperator + right->sql;
    if (right->isConstant && right->family != Family::Null) bindings.push_back(right->constant);
    return true;
  }

  bool translateIndexedLike(const Operand& column, const Operand& pattern, std::string& sql,
                            std::vector<fnd::Ref<fnd::Object>>& bindings) {
    std::string_view text = static_cast<const fnd::String*>(pattern.constant.get())->utf8();
    std::string key = std::string(kSearchKeyFunction) + "(" + column.sql + ")";
    std::string_view prefix = likeLiteralPrefix(text);
    if (prefix.size() == text.size()) {
      // No wildcard: the folded texts must be equal, which the index answers.
      sql += key + " = ?";
      bindings.push_back(fnd::String::create(searchKey(text)));
      return true;
    }
    std::string match = std::string(kMatchFunction) + "(" + std::to_string(static_cast<int>(StringOperator::Like)) +
                        ", 3, " + column.sql + ", ?)";
    if (!prefix.empty() && isAscii(prefix)) {
      // A literal start narrows the index to a range before the full match.
      std::string low = searchKey(prefix);
      std::string high = low;
      high.back() = static_cast<char>(high.back() + 1);
      sql += key + " >= ? AND " + key + " < ? AND " + match;
      bindings.push_back(fnd::String::create(low));
      bindings.push_back(fnd::String::create(high));
    } else {
      sql += match;
    }
    bindings.push_back(pattern.constant);
    return true;
  }

  bool translateIn(const Operand& left, const Operand& right, StringOptions options, std::string& sql,
                   std::vector<fnd::Ref<fnd::Object>>& bindings) {
    if (!right.isConstant || !right.constant || right.constant->kind() != fnd::ObjectKind::Array) return false;
    if (options.bits() != 0) return false;
    const auto& list = static_cast<const fnd::Array&>(*right.constant);
    std::vector<fnd::Ref<fnd::Object>> values;
    for (fnd::Object* element : list) {
      if (left.sql == "Z_PK") {
        auto* record = dynamic_cast<ManagedObject*>(element);
        if (!record) return false;
        if (&record->entity() == &m_entity) values.push_back(fnd::Number::create(record->objectID().key));
      } else {
        if (valueFamily(element) != left.family) return false;
        values.emplace_back(element);
      }
    }
    std::string placeholders;
    for (std::size_t i = 0; i < values.size(); ++i) placeholders += i ? ", ?" : "?";
    sql += values.empty() ? std::string("0") : left.sql + " IN (" + placeholders + ")";
    append(bindings, values);
    return true;
  }

  bool translateSelf(const Operand& right, ComparisonOperator op, std::string& sql,
                     std::vector<fnd::Ref<fnd::Object>>& bindings) {
    if (op != ComparisonOperator::Equal && op != ComparisonOperator::NotEqual) return false;
    if (!right.isConstant) return false;
    auto* record = dynamic_cast<ManagedObject*>(right.constant.get());
    if (!record) return false;
    std::int64_t key = &record->entity() == &m_entity ? record->objectID().key : 0;
    sql += op == ComparisonOperator::Equal ? "Z_PK IS ?" : "Z_PK IS NOT ?";
    bindings.push_back(fnd::Number::create(key));
    return true;
  }

  const EntityDescription& m_entity;
};

}  // namespace

std::string tableName(const EntityDescription& entity) { return "\"Z_" + entity.name() + "\""; }

std::string columnName(std::string_view property) { return "\"z_" + std::string(property) + "\""; }

std::string joinTableName(const EntityDescription& entity, const RelationshipDescription& relationship) {
  return "\"Z_" + entity.name() + "_" + relationship.name + "\"";
}

SqlFilter translatePredicate(const Predicate* predicate, const EntityDescription& entity) {
  SqlFilter filter;
  if (!predicate) return filter;
  Translator translator(entity);
  bool exact = true;
  if (!translator.translate(*predicate, filter.where, filter.bindings, exact)) {
    filter.where.clear();
    filter.bindings.clear();
    exact = false;
  }
  filter.isExact = exact;
  return filter;
}

std::string translateSortOrder(const std::vector<SortDescriptor>& order, const EntityDescription& entity) {
  if (order.empty()) return {};
  std::string sql = " ORDER BY ";
  for (const SortDescriptor& descriptor : order) {
    if (!entity.attributeNamed(descriptor.key)) return {};
    sql += columnName(descriptor.key) + (descriptor.ascending ? " ASC, " : " DESC, ");
  }
  return sql + "Z_PK";
}

}  // namespace objectstore
