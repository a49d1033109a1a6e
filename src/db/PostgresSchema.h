#pragma once
// The schema on PostgreSQL comes from the same source as on SQLite (schema/schema.sql): its
// SQLite types are rewritten on the way in, and a prelude teaches the server SQL Server's
// text comparison, `+`, LIKE, LEN, getdate() and sysobjects.
#include <string>
#include <string_view>

namespace tesmira::db {

// A script of SQLite statements with PostgreSQL types: TEXT → bpchar COLLATE ci (case and
// trailing blanks ignored, as SQL Server compares, also where SQLite's column has no NOCASE
// and only the literal's collation makes it so), REAL → double precision, DATETIME → timestamp(0),
// INTEGER → bigint (an INTEGER PRIMARY KEY numbers itself), BLOB → bytea; ifnull() is
// coalesce(). Strings, quoted
// names and comments pass untouched.
std::string postgresScript(std::string_view sqliteScript);

// Collation, functions, operators and views the dialect's PostgreSQL text relies on. Runs once
// per database, before the first script of ours.
std::string_view postgresPrelude();

// The server-side setting getdate() answers when set: the connection's clock.
inline constexpr const char* kPgClockSetting = "tesmira.clock";

} // namespace tesmira::db
