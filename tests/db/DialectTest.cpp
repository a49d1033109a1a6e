// The rewrite itself: where LIMIT lands, what the cache keys on, and SQL Server's LIKE.
#include "base/Error.h"
#include "db/Dialect.h"
#include "db/SqlFunctions.h"
#include "db/SqlLexer.h"

#include <gtest/gtest.h>

namespace tesmira::db {
namespace {

std::string sqlOf(Dialect& d, std::string_view tsql)
{
    auto t = d.translate(tsql);
    return t.size() == 1 ? t[0].sql : "<" + std::to_string(t.size()) + " statements>";
}

TEST(Lexer, NumberEndsBeforeALetterAndAtADotBeforeStar)
{
    const auto t = lexTsql("top 1Fc_Factura TOP 1.* 1e3 2E x 'a''b' N'ñ' [a]]b]");
    ASSERT_EQ(t.size(), 13u);
    EXPECT_EQ(t[1].text, "1");
    EXPECT_EQ(t[2].text, "Fc_Factura");
    EXPECT_EQ(t[4].text, "1.");
    EXPECT_TRUE(t[5].is("*"));
    EXPECT_EQ(t[6].text, "1e3");
    EXPECT_EQ(t[7].text, "2") << "E without digits starts a name";
    EXPECT_EQ(t[10].text, "a'b");
    EXPECT_EQ(t[11].text, "ñ");
    EXPECT_EQ(t[12].text, "a]b");
}

TEST(Dialect, LimitGoesToTheEndOfTheTopsOwnBlock)
{
    Dialect d;
    EXPECT_EQ(sqlOf(d, "SELECT TOP 1 a FROM t ORDER BY a DESC"), "SELECT a FROM t ORDER BY a DESC LIMIT 1");
    EXPECT_EQ(sqlOf(d, "SELECT isnull((SELECT top 1Fc FROM F WHERE F.x = v),'') as FC FROM V"),
              "SELECT ifnull((SELECT Fc FROM F WHERE F.x = v LIMIT 1), ?1 COLLATE NOCASE) COLLATE NOCASE as FC FROM V");
    EXPECT_EQ(sqlOf(d, "SELECT TOP 1.* FROM t"), "SELECT * FROM t LIMIT 1");
}

TEST(Dialect, PlusFoldsLeftToRightAndLeavesMinusNative)
{
    Dialect d;
    EXPECT_EQ(sqlOf(d, "SELECT a - b + c, x + ' - ' + y FROM t"),
              "SELECT tsql_add(a - b, c) COLLATE NOCASE, tsql_add(tsql_add(x, ?1 COLLATE NOCASE), y) COLLATE NOCASE "
              "FROM t");
    EXPECT_EQ(sqlOf(d, "SELECT a + b * c - d FROM t WHERE -a > 1"),
              "SELECT tsql_add(a, b * c) - d FROM t WHERE - a > ?1");
}

// ORDER BY ? would order by a constant; TOP n must stay a count.
TEST(Dialect, CacheKeepsPositionsAndCountsInTheKey)
{
    Dialect d;
    const auto first = d.translate("SELECT a FROM t WHERE b = 'x' ORDER BY 2")[0];
    const auto second = d.translate("SELECT a FROM t WHERE b = 'y' ORDER BY 2")[0];
    const auto third = d.translate("SELECT a FROM t WHERE b = 'y' ORDER BY 1")[0];
    EXPECT_EQ(first.key, second.key);
    EXPECT_EQ(first.sql, second.sql);
    EXPECT_EQ(second.params, std::vector<Value>{Value("y")});
    EXPECT_NE(second.key, third.key);
    EXPECT_NE(third.sql.find("ORDER BY 1"), std::string::npos) << third.sql;
    EXPECT_EQ(d.cacheHits(), 1u);
    EXPECT_NE(d.translate("SELECT TOP 2 a FROM t")[0].sql, d.translate("SELECT TOP 3 a FROM t")[0].sql);
    EXPECT_NE(sqlOf(d, "SELECT a FROM t GROUP BY isnull(a, 0)").find("ifnull(a, 0)"), std::string::npos);
}

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
