// The rewrite's cache and statement split, and SQL Server's LIKE.
#include "base/Error.h"
#include "db/Dialect.h"
#include "db/SqlFunctions.h"

#include <gtest/gtest.h>

namespace tesmira::db {
namespace {

TEST(Dialect, CacheEvictsTheLeastRecentlyUsedShape)
{
    Dialect d(2);
    d.translate("SELECT 1");
    d.translate("SELECT a FROM t");
    d.translate("SELECT 2"); // refreshes the first shape
    d.translate("SELECT b FROM t");
    EXPECT_EQ(d.cacheSize(), 2u);
    const size_t hits = d.cacheHits();
    d.translate("SELECT 3");
    EXPECT_EQ(d.cacheHits(), hits + 1) << "the shape used most recently survived";
}

TEST(Dialect, StatementsSplitAtTopLevelSemicolonsOnly)
{
    Dialect d;
    const auto t = d.translate("UPDATE t SET a = 'x;y'; ; SELECT (1);");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].params, std::vector<Value>{Value("x;y")});
}

struct LikeCase {
    const char* pattern;
    const char* value;
    bool match;
};

TEST(Like, FollowsSqlServer)
{
    const LikeCase cases[] = {
        {"p%", "P0001", true},        {"%01", "P0001  ", true},   {"P0001 ", "P0001", false},
        {"_0001", "P0001", true},     {"[a-c]x", "Bx", true},     {"[^a-c]x", "bx", false},
        {"%á%", "CAMIÓN ÁRBOL", true}, {"ca[mn]ión", "CAMIÓN", true}, {"100!%", "100%", true},
        {"%", "", true},              {"a%b%c", "aXbYbZc", true}, {"a%b%c", "aXbYbZ", false},
        {"[", "[", true},
    };
    for (const auto& k : cases)
        EXPECT_EQ(likeMatch(k.pattern, k.value, U'!'), k.match) << k.value << " LIKE " << k.pattern;
}

} // namespace
} // namespace tesmira::db
