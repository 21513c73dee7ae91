#include "platform/objectstore/store_functions.h"

#include <sqlite3.h>

#include <string>

#include "platform/foundation/string_matching.h"
#include "platform/objectstore/sql_filter.h"

namespace objectstore {

using fnd::foldText;
using fnd::foldTextInto;
using fnd::matchFoldedText;
using fnd::searchKey;
using fnd::StringOperator;
using fnd::StringOptions;

namespace {

// An argument's text as SQLite holds it, valid while the call runs; the text
// is asked for before its length (braces evaluate in order), as SQLite wants.
std::string_view textOf(sqlite3_value* argument) {
  return {reinterpret_cast<const char*>(sqlite3_value_text(argument)),
          static_cast<std::size_t>(sqlite3_value_bytes(argument))};
}

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
    operand = new std::u32string(foldText(textOf(arguments[3]), options));
    sqlite3_set_auxdata(context, 3, operand, [](void* p) { delete static_cast<std::u32string*>(p); });
    operand = static_cast<std::u32string*>(sqlite3_get_auxdata(context, 3));
    if (!operand) {
      sqlite3_result_error_nomem(context);
      return;
    }
  }
  // One buffer per thread for the folded text: this runs for every row a
  // search scans, and a fresh string each time would cost an allocation a row.
  thread_local std::u32string folded;
  foldTextInto(folded, textOf(arguments[2]), options);
  sqlite3_result_int(context, matchFoldedText(op, folded, *operand) ? 1 : 0);
}

void searchKeyFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
  if (sqlite3_value_type(arguments[0]) != SQLITE_TEXT) {
    sqlite3_result_null(context);
    return;
  }
  std::string key = searchKey(textOf(arguments[0]));
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
