#pragma once
// What the dialect layer writes differently for PostgreSQL, and why:
// - parameters are $1 … $n; text literals go untyped, so that against a text column they take
//   its type and case-insensitive collation `ci` (a text-typed parameter would cast the column
//   and lose its index); two literals compared with each other are typed bpchar COLLATE ci;
// - `+` is tsql_add(), overloaded by the schema's prelude; isnull is coalesce;
// - LIKE and NOT LIKE become the operators #~~ and #!~~ (PostgreSQL refuses LIKE on a
//   nondeterministic collation); ESCAPE is refused;
// - a [bracketed] plain name loses its brackets, since a quoted name keeps its case there.
// Result names: PostgreSQL folds unquoted names to lower case, so each SELECT also reports
// what its result columns are and the engine gives them the names SQLite would.
#include "db/SqlLexer.h"

#include <string>
#include <string_view>
#include <vector>

namespace tesmira::db {

inline constexpr std::string_view kPgLike = "#~~";
inline constexpr std::string_view kPgNotLike = "#!~~";

// One entry per result column of the statement's first query block, its first character saying
// what the column is: ResultName::Alias + the alias as written, ResultName::Column (a plain
// column: its declared name), ResultName::Computed (no name, as SQL Server), ResultName::Star
// (t.* or *: declared names). Empty for statements that are not a SELECT.
namespace ResultName {
inline constexpr char Alias = '=';
inline constexpr char Column = '.';
inline constexpr char Computed = '?';
inline constexpr char Star = '*';
} // namespace ResultName
std::vector<std::string> resultColumns(const std::vector<Token>& statement);

// A quoted T-SQL name as PostgreSQL must see it: plain names unquoted (folded like every other).
std::string postgresName(std::string_view name);

} // namespace tesmira::db
