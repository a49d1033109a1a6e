#pragma once
// A write scope for host code that may run inside a caller's transaction or on its own.
// Inside one it opens a savepoint, so a failure undoes only this scope's writes and the
// caller's transaction stays usable (on engines where an error aborts the whole transaction
// too); outside one it begins and commits a transaction of its own.
#include "db/Connection.h"

namespace tesmira::db {

class Savepoint {
public:
    explicit Savepoint(Connection& c);
    // Undoes this scope's writes unless committed; never throws.
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    // Keeps the writes: releases the savepoint, or commits the scope's own transaction.
    void commit();

private:
    Connection& m_c;
    bool m_ownTransaction;
    bool m_done = false;
};

} // namespace tesmira::db
