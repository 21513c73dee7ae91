#pragma once
// Transaction: a transaction on one Database for the life of a scope, rolled
// back when the scope ends without commit(). Same thread contract as the database.

#include "platform/sqlite/database.h"

namespace sqlite {

class Transaction {
 public:
  // Immediate takes the write lock at once, so that a writer waits out the
  // busy timeout at the start rather than failing half-way; Exclusive also
  // shuts out readers where the file keeps no write-ahead log.
  enum class Lock { Immediate, Exclusive };

  // Begins; began() tells whether it did, and else the database's lastFailure() why.
  explicit Transaction(Database& database, Lock lock = Lock::Immediate);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  bool began() const noexcept { return m_began; }
  // True when committed; else lastFailure() says why, and the scope's end rolls back.
  bool commit();

 private:
  Database& m_database;
  bool m_began = false;
  bool m_committed = false;
};

}  // namespace sqlite
