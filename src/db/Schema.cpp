#include "db/Schema.h"

#include "db/Connection.h"
#include "db/EmbeddedSql.h"

#include <cstdlib>
#include <string>

namespace tesmira::db {

std::string_view schemaSql() { return embedded::schema; }
std::string_view demoSql() { return embedded::demo; }

int schemaVersion()
{
    static constexpr std::string_view tag = "-- schema-version:";
    const auto at = embedded::schema.find(tag);
    if (at == std::string_view::npos)
        return 0;
    return std::atoi(std::string(embedded::schema.substr(at + tag.size(), 12)).c_str());
}

void createDemo(Connection& c)
{
    Transaction t(c);
    c.executeScript(demoSql());
    t.commit();
}

} // namespace tesmira::db
