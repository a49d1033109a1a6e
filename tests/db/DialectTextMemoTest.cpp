// The whole-text memo in front of the dialect: a repeated text skips the lexer, but what it
// answers must be exactly what a fresh translation answers.
#include "base/Error.h"
#include "db/Dialect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tesmira::db {
namespace {

void expectSameTranslation(const std::vector<Translation>& a, const std::vector<Translation>& b, const char* text)
{
    ASSERT_EQ(a.size(), b.size()) << text;
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].key, b[i].key) << text;
        EXPECT_EQ(a[i].sql, b[i].sql) << text;
        EXPECT_EQ(a[i].params, b[i].params) << text;
    }
}

struct MemoCase {
    const char* name;
    const char* text;
};

const MemoCase kMemoCases[] = {
    {"lookup", "SELECT Un_Cubicada FROM Unidad WHERE Un_Cve_Unidad = 'PZA'"},
    {"two_statements", "UPDATE t SET a = 'x'; SELECT TOP 1 a FROM t WHERE b = 2 ORDER BY 1"},
    {"quoted_value", "SELECT a FROM t WHERE b = 'O''Brien'"},
};

// A memo that answered another text's translation, or dropped a statement, would run the wrong SQL.
TEST(DialectTextMemo, RepeatedTextAnswersWhatAFreshDialectAnswers)
{
    for (const MemoCase& c : kMemoCases) {
        Dialect warm;
        warm.translate(c.text);
        const size_t hits = warm.cacheHits();
        const auto repeated = warm.translate(c.text);
        Dialect fresh;
        expectSameTranslation(repeated, fresh.translate(c.text), c.name);
        EXPECT_EQ(warm.cacheHits(), hits + repeated.size()) << c.name << ": each statement counts as served";
    }
}

// A refused text is not remembered as translated: it is refused again.
TEST(DialectTextMemo, RefusedTextIsRefusedEveryTime)
{
    Dialect d;
    for (int attempt = 0; attempt < 2; ++attempt)
        EXPECT_THROW(d.translate("BEGIN TRANSACTION"), Error) << "attempt " << attempt;
}

} // namespace
} // namespace tesmira::db
