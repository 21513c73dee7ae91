#pragma once
// Translation of predicates and sort orders to SQL over an entity's table, for
// the part the store can answer itself. What cannot be translated is left to
// the in-memory evaluator, which the SQL always agrees with.
#include <string>
#include <vector>

#include "platform/foundation/object.h"
#include "platform/objectstore/fetch_request.h"

namespace objectstore {

struct SqlFilter {
  std::string where;  // empty: every row
  std::vector<fnd::Ref<fnd::Object>> bindings;
  bool isExact = true;  // false: rows must also pass the predicate in memory
};

SqlFilter translatePredicate(const Predicate* predicate, const EntityDescription& entity);

// "ORDER BY ..." for descriptors over plain attributes; empty when the order
// must be applied in memory.
std::string translateSortOrder(const std::vector<SortDescriptor>& order, const EntityDescription& entity);

std::string tableName(const EntityDescription& entity);
std::string columnName(std::string_view property);
std::string joinTableName(const EntityDescription& entity, const RelationshipDescription& relationship);

// Names of the SQL functions the store registers for the translation.
inline constexpr const char* kMatchFunction = "rp_match";
inline constexpr const char* kSearchKeyFunction = "rp_search_key";

}  // namespace objectstore
