#pragma once
// The schema and the demo data set, embedded at build time from schema/schema.sql and
// schema/demo.sql. The schema's first line carries its version: "-- schema-version: N".
#include <string_view>

namespace tesmira::db {

class Connection;

std::string_view schemaSql();
std::string_view demoSql();
// The N of the schema's version line; 0 when the line is missing.
int schemaVersion();

// Loads the demo data in one transaction; on failure throws Error and leaves nothing behind.
void createDemo(Connection& c);

} // namespace tesmira::db
