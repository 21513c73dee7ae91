#include "platform/sqlite/statement.h"

#include <sqlite3.h>

#include <utility>

namespace sqlite {

namespace {

sqlite3_destructor_type destructorFor(Statement::Binding binding) {
  return binding == Statement::Binding::Copied ? SQLITE_TRANSIENT : SQLITE_STATIC;
}

}  // namespace

Statement::Statement(sqlite3* connection, std::string_view sql, Reuse reuse) : m_connection(connection) {
  const unsigned int flags = reuse == Reuse::Many ? SQLITE_PREPARE_PERSISTENT : 0;
  if (sqlite3_prepare_v3(connection, sql.data(), static_cast<int>(sql.size()), flags, &m_statement, nullptr) !=
      SQLITE_OK) {
    m_statement = nullptr;
    recordFailure();
  }
}

Statement::Statement(Statement&& other) noexcept
    : m_connection(other.m_connection),
      m_statement(std::exchange(other.m_statement, nullptr)),
      m_failed(other.m_failed),
      m_failure(std::move(other.m_failure)) {}

Statement::~Statement() { sqlite3_finalize(m_statement); }

void Statement::bindInteger(int index, std::int64_t value) { sqlite3_bind_int64(m_statement, index, value); }

void Statement::bindReal(int index, double value) { sqlite3_bind_double(m_statement, index, value); }

void Statement::bindText(int index, std::string_view text, Binding binding) {
  sqlite3_bind_text64(m_statement, index, text.data(), text.size(), destructorFor(binding), SQLITE_UTF8);
}

void Statement::bindBlob(int index, std::string_view bytes, Binding binding) {
  sqlite3_bind_blob64(m_statement, index, bytes.data(), bytes.size(), destructorFor(binding));
}

void Statement::bindNull(int index) { sqlite3_bind_null(m_statement, index); }

Step Statement::step() {
  if (!m_statement) return Step::Failed;
  const int result = sqlite3_step(m_statement);
  if (result == SQLITE_ROW) return Step::Row;
  if (result == SQLITE_DONE) return Step::Done;
  recordFailure();
  return Step::Failed;
}

void Statement::reset() {
  if (!m_statement) return;
  sqlite3_reset(m_statement);
  sqlite3_clear_bindings(m_statement);
}

void Statement::recordFailure() {
  if (m_failed) return;
  m_failed = true;
  m_failure = Failure{sqlite3_extended_errcode(m_connection), sqlite3_errmsg(m_connection), {}};
}

bool Statement::isNull(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }

std::int64_t Statement::integer(int column) const { return sqlite3_column_int64(m_statement, column); }

double Statement::real(int column) const { return sqlite3_column_double(m_statement, column); }

std::string_view Statement::text(int column) const {
  // The text first, then its length: asking for the length first could convert the value twice.
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
  return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)))
              : std::string_view();
}

std::string_view Statement::blob(int column) const {
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
  return bytes ? std::string_view(bytes, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)))
               : std::string_view();
}

}  // namespace sqlite
