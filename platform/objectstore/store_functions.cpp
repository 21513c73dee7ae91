#include "platform/objectstore/store_functions.h"

#include <sqlite3.h>

#include <string>

#include "platform/foundation/string_matching.h"
#include "platform/objectstore/sql_filter.h"

namespace objectstore {

using fnd::foldText;
using fnd::foldTextInto;
using fnd::likeMatch;
using fnd::searchKey;
using fnd::StringOperator;
using fnd::StringOptions;

namespace {

// rp_match(operator, options, text, operand): the evaluator's string operators.
// The folded operand is cached per statement, so a scan folds it once.
void matchFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
  if (sqlite3_value_type(arguments[2]) != SQLITE_TEXT || sqlite3_value_type(arguments[3]) != SQLITE_TEXT) {
    sqlite3_result_int(context, 0);
    return;
  }
  auto op = static_cast<StringOperator>(sqlite3_value_int(arguments[0]));
  StringOptions options = StringOptions::fromBits(sqlite3_value_int(arguments[1]));
  auto* operand = static_cast<std::u32string*>(sqlite3_get_auxdata(context, 3));
  if (!operand) {
    std::string_view text(reinterpret_cast<const char*>(sqlite3_value_text(arguments[3])),
                          static_cast<std::size_t>(sqlite3_value_bytes(arguments[3])));
    operand = new std::u32string(foldText(text, options));
    sqlite3_set_auxdata(context, 3, operand, [](void* p) { delete static_cast<std::u32string*>(p); });
    operand = static_cast<std::u32string*>(sqlite3_get_auxdata(context, 3));
    if (!operand) {
      sqlite3_result_error_nomem(context);
      return;
    }
  }
  std::string_view text(reinterpret_cast<const char*>(sqlite3_value_text(arguments[2])),
                        static_cast<std::size_t>(sqlite3_value_bytes(arguments[2])));
  // One buffer per thread for the folded text: this runs for every row a
  // search scans, and a fresh string each time would cost an allocation a row.
  thread_local std::u32string value;
  foldTextInto(value, text, options);
  std::u32string_view folded(value);
  bool result = false;
  switch (op) {
    case StringOperator::Equal:
      result = folded == *operand;
      break;
    case StringOperator::Like:
      result = likeMatch(*operand, folded);
      break;
    case StringOperator::Contains:
      result = folded.find(*operand) != std::u32string_view::npos;
      break;
    case StringOperator::BeginsWith:
      result = folded.starts_with(*operand);
      break;
    case StringOperator::EndsWith:
      result = folded.ends_with(*operand);
      break;
  }
  sqlite3_result_int(context, result ? 1 : 0);
}

void searchKeyFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
  if (sqlite3_value_type(arguments[0]) != SQLITE_TEXT) {
    sqlite3_result_null(context);
    return;
  }
  std::string key = searchKey(std::string_view(reinterpret_cast<const char*>(sqlite3_value_text(arguments[0])),
                                               static_cast<std::size_t>(sqlite3_value_bytes(arguments[0]))));
  sqlite3_result_text(context, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

}  // namespace

void addStoreFunctions(sqlite::Database& database) {
  constexpr int kMatchArguments = 4;  // operator, options, text, operand
  constexpr int kSearchKeyArguments = 1;
  database.addFunction(kMatchFunction, kMatchArguments, matchFunction);
  database.addFunction(kSearchKeyFunction, kSearchKeyArguments, searchKeyFunction);
}

}  // namespace objectstore
