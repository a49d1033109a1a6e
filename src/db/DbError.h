#pragma once
// A database failure with the engine's reason reduced to what callers act on. Each engine maps
// its own codes (SQLite result codes, PostgreSQL SQLSTATEs) onto these; callers never match
// message text.
#include "base/Error.h"

#include <string>

namespace tesmira::db {

enum class DbErrorCode {
    Other,
    Busy,           // a lock held by another session did not come free in time
    Deadlock,       // the engine chose this session as a deadlock victim
    Constraint,     // a key, NOT NULL or CHECK rule refused the write
    Syntax,         // the statement does not compile against this database (syntax, unknown name)
    ConnectionLost, // the database cannot be reached or read any more
};

class DbError : public Error {
public:
    DbError(DbErrorCode code, const std::string& message) : Error(message), m_code(code) {}
    DbErrorCode code() const noexcept { return m_code; }
    // Another session got in the way: the same work may succeed when tried again.
    bool isContention() const noexcept { return m_code == DbErrorCode::Busy || m_code == DbErrorCode::Deadlock; }

private:
    DbErrorCode m_code;
};

} // namespace tesmira::db
