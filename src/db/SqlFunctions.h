#pragma once
// What SQL Server does natively and SQLite needs taught, per connection:
// - collation NOCASE replaced: ASCII case and trailing blanks ignored ('P0001 ' = 'p0001'),
//   ordering as the built-in NOCASE so indexes stay valid for other SQLite tools;
// - like(): case-insensitive (Latin-1 letters too), [a-z] / [^x] sets, trailing blanks of the
//   value ignored, as SQL Server's LIKE;
// - tsql_add(a, b): SQL Server's +; two texts concatenate, otherwise numbers add ('5' + 3 = 8),
//   NULL when either is NULL, an error for a non-numeric text against a number;
// - len(): length without trailing blanks; tsql_left/tsql_right: LEFT()/RIGHT() in characters;
//   getdate(): the connection's clock.
#include "base/Value.h"

#include <functional>

struct sqlite3;

namespace tesmira::db {

using Clock = std::function<Date()>;

// `clock` must outlive the connection. Throws Error when SQLite refuses a registration.
void registerSqlFunctions(sqlite3* db, const Clock* clock);

// SQL Server's LIKE on UTF-8 texts; `escape` 0 for none. Exposed for tests.
bool likeMatch(std::string_view pattern, std::string_view value, char32_t escape);

} // namespace tesmira::db
