#pragma once
// Defined in the file the build generates from schema/*.sql (see EmbedSql.cmake).
#include <string_view>

namespace tesmira::db::embedded {
extern const std::string_view schema;
extern const std::string_view demo;
} // namespace tesmira::db::embedded
