#include "db/DatabaseName.h"

#include <cctype>

namespace tesmira::db {

DatabaseKind databaseKind(std::string_view name)
{
    if (name.rfind("postgresql://", 0) == 0 || name.rfind("postgres://", 0) == 0)
        return DatabaseKind::PostgresServer;
    // key=value: a keyword of letters and underscores, then '=' (blanks allowed around it).
    size_t i = 0;
    while (i < name.size() && std::isspace(static_cast<unsigned char>(name[i])))
        ++i;
    const size_t start = i;
    while (i < name.size() && (std::isalpha(static_cast<unsigned char>(name[i])) || name[i] == '_'))
        ++i;
    const size_t end = i;
    while (i < name.size() && std::isspace(static_cast<unsigned char>(name[i])))
        ++i;
    const bool keyValue = end > start && i < name.size() && name[i] == '=';
    return keyValue ? DatabaseKind::PostgresServer : DatabaseKind::SqliteFile;
}

} // namespace tesmira::db
