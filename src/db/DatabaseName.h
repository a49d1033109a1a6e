#pragma once
// What a database name given to a program means: a PostgreSQL server or an SQLite file.
#include <string_view>

namespace tesmira::db {

enum class DatabaseKind { SqliteFile, PostgresServer };

// postgresql://… and postgres://… URLs and libpq key=value strings (host=… dbname=…,
// service=NAME) name a server; anything else is an SQLite file (":memory:" included).
DatabaseKind databaseKind(std::string_view name);

} // namespace tesmira::db
