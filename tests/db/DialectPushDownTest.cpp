// A grouped derived table on the right of a LEFT JOIN gets the outer WHERE's literals for its
// join columns; the answers must stay exactly those of the statement as written.
#include "DbTestSupport.h"

#include "db/Dialect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tesmira::db {
namespace {

// 200 order lines; lines 1-150 have one to three note lines each (the third one cancelled),
// so the derived table has a group per line and only one of them belongs to a given line.
constexpr const char* kTables = R"(
CREATE TABLE Linea (Folio TEXT COLLATE NOCASE, Id TEXT COLLATE NOCASE, Producto TEXT COLLATE NOCASE, Cantidad REAL);
CREATE TABLE Nota (Documento TEXT COLLATE NOCASE, Documento_ID TEXT COLLATE NOCASE, Producto TEXT COLLATE NOCASE,
                   Folio TEXT COLLATE NOCASE, Cantidad REAL, Estado TEXT COLLATE NOCASE);
CREATE INDEX Nota_Documento ON Nota (Documento, Documento_ID);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200)
INSERT INTO Linea SELECT 'P1', printf('%04d', i), 'A' || (i % 7), 10 FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 150),
               j(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM j WHERE k < 3)
INSERT INTO Nota SELECT 'P1', printf('%04d', i), 'A' || (i % 7), 'N' || k, k, CASE k WHEN 3 THEN 'CA' ELSE 'AC' END
FROM n, j WHERE k <= i % 3 + 1;
INSERT INTO Nota VALUES ('P2', '0007', 'A0', 'N1', 100, 'AC');
)";

constexpr const char* kNotes = "SELECT Documento_ID, Producto, sum(Cantidad) AS Cant FROM Nota "
                               "WHERE Documento = 'P1' AND Estado <> 'CA' GROUP BY Documento_ID, Producto";

struct Case {
    const char* name;
    const char* sub;   // the derived table R
    const char* on;
    const char* where; // over Linea L
    size_t pushed;     // filters the rewrite adds
    const char* cant;  // R.Cant of the first row
};

const Case kCases[] = {
    {"several_notes_per_key", kNotes, "R.Documento_ID = L.Id AND R.Producto = L.Producto",
     "L.Folio = 'P1' AND L.Id = '0007'", 1, "3"},
    {"both_keys_pushed", kNotes, "R.Documento_ID = L.Id AND R.Producto = L.Producto",
     "L.Id = '0008' AND L.Producto = 'A1'", 2, "3"},
    {"outer_column_on_the_left", kNotes, "L.Id = R.Documento_ID AND L.Producto = R.Producto", "L.Id = '0008'", 1,
     "3"},
    {"no_note_lines_gives_nulls", kNotes, "R.Documento_ID = L.Id AND R.Producto = L.Producto",
     "L.Id = '0190' AND L.Producto = 'A1'", 2, "<null>"},
    {"lower_case_with_trailing_blank", kNotes, "R.Documento_ID = L.Id AND r.producto = l.producto",
     "l.id = '0007 ' AND L.PRODUCTO = 'a0 '", 2, "3"},
    {"subquery_without_where",
     "SELECT Nota.Documento_ID, Producto, sum(Cantidad) AS Cant FROM Nota GROUP BY Nota.Documento_ID, Producto",
     "R.Documento_ID = L.Id", "L.Id = '0007'", 1, "103"},
    {"no_outer_literal_for_the_key", kNotes, "R.Documento_ID = L.Id AND R.Producto = L.Producto",
     "L.Folio = 'P1' AND L.Id LIKE '0007'", 0, "3"},
    {"aggregate_column_not_pushed", kNotes, "R.Documento_ID = L.Id AND R.Cant = L.Cantidad",
     "L.Id = '0008' AND L.Cantidad = 10", 1, "<null>"},
    {"aliased_aggregate_named_like_a_column",
     "SELECT Documento_ID, max(Producto) AS Producto, sum(Cantidad) AS Cant FROM Nota WHERE Estado <> 'CA' "
     "GROUP BY Documento_ID",
     "R.Documento_ID = L.Id AND R.Producto = L.Producto", "L.Id LIKE '0014' AND L.Producto = 'A0'", 0, "3"},
    {"column_not_in_group_by",
     "SELECT Documento_ID, Producto, sum(Cantidad) AS Cant FROM Nota WHERE Estado <> 'CA' GROUP BY Documento_ID",
     "R.Documento_ID = L.Id AND R.Producto = L.Producto", "L.Id LIKE '0008' AND L.Producto = 'A1'", 0, "3"},
    {"or_in_outer_where", kNotes, "R.Documento_ID = L.Id", "L.Id = '0007' AND L.Folio = 'P1' OR L.Id = '0008'", 0, "3"},
    {"or_in_subquery_where",
     "SELECT Documento_ID, sum(Cantidad) AS Cant FROM Nota WHERE Estado = 'AC' OR Folio = 'N3' GROUP BY Documento_ID",
     "R.Documento_ID = L.Id", "L.Id = '0008'", 0, "6"},
    {"or_in_on_clause", kNotes, "R.Documento_ID = L.Id AND R.Producto = L.Producto OR R.Documento_ID = '0001'",
     "L.Id = '0008'", 0, "3"},
    {"top_in_subquery",
     "SELECT TOP 2 Documento_ID, sum(Cantidad) AS Cant FROM Nota GROUP BY Documento_ID ORDER BY Documento_ID",
     "R.Documento_ID = L.Id", "L.Id = '0002'", 0, "6"},
};

std::vector<std::vector<std::string>> rows(Connection& c, const std::string& sql)
{
    std::vector<std::vector<std::string>> out;
    for (Recordset rs = c.Execute(sql); !rs.Eof(); rs.MoveNext()) {
        out.emplace_back();
        for (const char* f : {"Id", "Producto", "Cant"}) {
            const Value& v = rs.Fields(f);
            out.back().push_back(v.isNull() ? "<null>" : v.toString());
        }
    }
    return out;
}

std::string statement(const std::string& sub, const std::string& on, const std::string& where)
{
    return "SELECT L.Id, L.Producto, R.Cant FROM Linea L LEFT JOIN (" + sub + ") R ON " + on + " WHERE " + where
        + " ORDER BY L.Id, R.Cant";
}

// The same derived table behind a plain wrapper, which the rewrite leaves alone.
std::string unrewritten(const std::string& sub, const std::string& on, const std::string& where)
{
    return statement("SELECT * FROM (" + sub + ") w", on, where);
}

class DialectPushDown : public ::testing::Test {
protected:
    void SetUp() override { c.executeScript(kTables); }
    Connection c{":memory:", OpenMode::Bare};
};

TEST_F(DialectPushDown, AnswersAsWrittenAndPushesOnlyWhatIsSafe)
{
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        const std::string sql = statement(k.sub, k.on, k.where);
        const auto expected = rows(c, unrewritten(k.sub, k.on, k.where));
        const auto actual = rows(c, sql);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(actual, expected);
        EXPECT_EQ(actual[0][2], k.cant);

        Dialect d;
        const size_t params = d.translate(sql).at(0).params.size();
        EXPECT_EQ(params - d.translate(unrewritten(k.sub, k.on, k.where)).at(0).params.size(), k.pushed);
    }
}

TEST_F(DialectPushDown, StatementsDifferingInLiteralsShareTheRewrite)
{
    const std::string on = "R.Documento_ID = L.Id AND R.Producto = L.Producto";
    for (int i = 1; i <= 200; i += 7) {
        const std::string id = (i < 10 ? "000" : i < 100 ? "00" : "0") + std::to_string(i);
        const std::string where = "L.Folio = 'P1' AND L.Id = '" + id + "' AND L.Producto = 'A" + std::to_string(i % 7)
            + "'";
        SCOPED_TRACE(id);
        EXPECT_EQ(rows(c, statement(kNotes, on, where)), rows(c, unrewritten(kNotes, on, where)));
    }

    Dialect d;
    const auto first = d.translate(statement(kNotes, on, "L.Id = '0007'")).at(0);
    const size_t hits = d.cacheHits();
    const auto second = d.translate(statement(kNotes, on, "L.Id = '0008'")).at(0);
    EXPECT_EQ(d.cacheHits(), hits + 1);
    EXPECT_EQ(second.sql, first.sql);
    ASSERT_EQ(second.params.size(), first.params.size());
    for (size_t p = 0; p < first.params.size(); ++p) {
        if (first.params[p].toString() == "0007") {
            EXPECT_EQ(second.params[p].toString(), "0008") << "parameter " << p + 1;
        }
    }
    EXPECT_EQ(std::count_if(second.params.begin(), second.params.end(),
                            [](const Value& v) { return v.toString() == "0008"; }),
              2);
}

} // namespace
} // namespace tesmira::db
