#include "platform/sqlite/transaction.h"

namespace sqlite {

Transaction::Transaction(Database& database, Lock lock) : m_database(database) {
  m_began = m_database.execute(lock == Lock::Exclusive ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
  if (m_began && !m_committed) m_database.execute("ROLLBACK");
}

bool Transaction::commit() {
  m_committed = m_began && m_database.execute("COMMIT");
  return m_committed;
}

}  // namespace sqlite
