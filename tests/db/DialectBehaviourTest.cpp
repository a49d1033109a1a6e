// The screen's SQL Server statements run unchanged on SQLite: each dialect rule alone and combined.
#include "DbTestSupport.h"

#include "base/Error.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace tesmira::db {
namespace {

constexpr const char* kTables = R"(
CREATE TABLE Orden (Folio TEXT COLLATE NOCASE, Cliente TEXT COLLATE NOCASE, Total REAL, Piezas INTEGER,
                    Fecha DATETIME, Nota TEXT COLLATE NOCASE);
INSERT INTO Orden VALUES ('P0001', 'C01', 100.5, 3, '2024-01-05', 'x'),
                         ('P0003', 'c01', 25, 1, '2024-03-01', '');
-- Codigo has no declared collation: comparisons against it rely on the literal's.
CREATE TABLE Cliente (Clave TEXT COLLATE NOCASE, Nombre TEXT COLLATE NOCASE, Codigo TEXT);
INSERT INTO Cliente VALUES ('C01', 'Ana', '5'), ('C02', 'Beto', '12');
)";

// A server database costs a few hundred milliseconds, so each suite shares one there (the one
// test that writes rolls back); on SQLite every test gets a fresh in-memory database.
class DialectBehaviour : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_db = std::make_unique<TestDatabase>();
        if (!s_db->onServer())
            return;
        Connection c(s_db->name(), OpenMode::Bare);
        createTables(c);
    }
    static void createTables(Connection& c)
    {
        c.executeScript(kTables);
        // A key typed or imported with a trailing blank, written as the screen writes: joins with
        // 'C02' must still find it (SQLite's Bloom filter on automatic indexes hashes text lengths).
        c.Execute("INSERT INTO Orden VALUES ('P0002', 'C02 ', 50, 2, '2024-02-10 10:30:00', NULL)");
    }
    static void TearDownTestSuite() { s_db.reset(); }
    void SetUp() override
    {
        if (!s_db->onServer())
            createTables(c);
        c.setClock([] { return Date{2024, 5, 6, 7, 8, 9}; });
    }
    static inline std::unique_ptr<TestDatabase> s_db;
    Connection c{s_db->name(), OpenMode::Bare};
};

struct Case {
    const char* name;
    const char* sql;
    const char* expected;
};

const Case kCases[] = {
    // TOP n becomes LIMIT n at the end of its own block, after ORDER BY.
    {"top_after_order_by", "SELECT TOP 1 Folio FROM Orden ORDER BY Folio DESC", "P0003"},
    {"top_dot_star", "SELECT TOP 1.* FROM Orden WHERE Folio = 'P0002'", "P0002"},
    {"top_number_glued_to_name", "SELECT isnull((SELECT top 1Folio FROM Orden WHERE Cliente = 'C02'),'') as FC",
     "P0002"},
    {"top_in_scalar_subquery", "SELECT (SELECT TOP 1 Folio FROM Orden ORDER BY Total) + '!'", "P0003!"},
    {"top_distinct", "SELECT DISTINCT TOP 1 Folio FROM Orden ORDER BY Folio", "P0001"},
    {"top_parenthesised_in_derived_table", "SELECT count(*) FROM (SELECT TOP (2) Folio FROM Orden) x", "2"},
    {"top_outer_and_inner",
     "SELECT TOP 1 Folio FROM Orden WHERE Total < (SELECT TOP 1 Total FROM Orden ORDER BY Total DESC) ORDER BY Total DESC",
     "P0002"},
    // isnull in any case of letters
    {"isnull_upper", "SELECT ISNULL(Nota,'-') FROM Orden WHERE Folio = 'P0002'", "-"},
    {"isnull_mixed_number", "SELECT IsNull(NULL, 7)", "7"},
    {"isnull_keeps_case_insensitive_compare", "SELECT count(*) FROM Orden WHERE isnull(Nota,'') = 'X'", "1"},
    // + with SQL Server's types and precedence
    {"plus_precedence", "SELECT 1 + 2 * 3", "7"},
    {"plus_numeric_text_and_number", "SELECT '5' + 3", "8"},
    {"plus_two_texts", "SELECT '5' + '3'", "53"},
    {"plus_null_text", "SELECT 'a' + NULL", "<null>"},
    {"plus_columns_and_literal", "SELECT Folio + ' - ' + Cliente FROM Orden WHERE Folio = 'P0001'", "P0001 - C01"},
    {"minus_then_plus", "SELECT Total - Piezas + 1 FROM Orden WHERE Folio = 'P0001'", "98.5"},
    {"unary_minus", "SELECT -Piezas + 10 FROM Orden WHERE Folio = 'P0001'", "7"},
    {"text_column_numeric_plus_number", "SELECT Codigo + 1 FROM Cliente WHERE Clave = 'C02'", "13"},
    {"text_column_plus_text_column", "SELECT Codigo + Codigo FROM Cliente WHERE Clave = 'C02'", "1212"},
    {"plus_of_functions", "SELECT upper(Nombre) + '/' + Clave FROM Cliente WHERE Clave = 'c01'", "ANA/C01"},
    {"plus_of_aggregate", "SELECT sum(Total) + 1 FROM Orden", "176.5"},
    {"plus_alias_without_as", "SELECT Piezas + 1 n FROM Orden WHERE Folio = 'P0003'", "2"},
    {"plus_in_where_compares_without_case", "SELECT Folio FROM Orden WHERE Cliente + '-' + Folio = 'C01-p0003'",
     "P0003"},
    {"plus_in_group_by_groups_without_case",
     "SELECT count(*) FROM (SELECT Cliente + ' - ' + 'x' AS k FROM Orden GROUP BY Cliente + ' - ' + 'x') t", "2"},
    {"plus_inside_case", "SELECT CASE Nota WHEN '' THEN 'vacía' + '!' ELSE Nota + '?' END FROM Orden WHERE Folio = 'P0003'",
     "vacía!"},
    {"plus_with_case_operand", "SELECT 'n:' + CASE WHEN Piezas > 1 THEN 'varias' ELSE 'una' END FROM Orden WHERE Folio = 'P0003'",
     "n:una"},
    // SQL Server's default comparison: no case, no trailing blanks
    {"equal_other_case", "SELECT count(*) FROM Orden WHERE Folio = 'p0001'", "1"},
    {"equal_trailing_blank", "SELECT count(*) FROM Orden WHERE Folio = 'P0001 '", "1"},
    {"equal_column_without_collation", "SELECT Nombre FROM Cliente WHERE Codigo = '12 '", "Beto"},
    {"not_equal", "SELECT count(*) FROM Orden WHERE Folio <> 'p0001  '", "2"},
    {"in_list", "SELECT count(*) FROM Orden WHERE Folio IN ('p0001', 'P0002  ')", "2"},
    {"group_by_column", "SELECT count(*) FROM (SELECT Cliente FROM Orden GROUP BY Cliente) t", "2"},
    {"join_case_and_blank", "SELECT count(*) FROM Orden INNER JOIN Cliente ON Cliente.Clave = Orden.Cliente", "3"},
    {"like_case", "SELECT count(*) FROM Orden WHERE Folio LIKE 'p%'", "3"},
    {"like_value_trailing_blank", "SELECT Folio FROM Orden WHERE Cliente LIKE 'c02'", "P0002"},
    {"like_branch_everywhere", "SELECT count(*) FROM Orden WHERE Cliente like '%%'", "3"},
    // constructs that pass through
    {"order_by_position", "SELECT Folio, Total FROM Orden ORDER BY 2", "P0003"},
    {"distinct_parenthesised", "SELECT count(*) FROM (SELECT DISTINCT(Cliente) AS c FROM Orden) t", "2"},
    {"having_with_isnull", "SELECT sum(Total) FROM Orden GROUP BY Cliente HAVING ( count(*) - isnull(NULL,0) ) > 1",
     "125.5"},
    {"derived_table_join",
     "SELECT c.n FROM Orden o LEFT JOIN (SELECT Clave, Nombre + '!' AS n FROM Cliente) c ON c.Clave = o.Cliente "
     "WHERE o.Folio = 'P0002'",
     "Beto!"},
    {"not_in_subquery", "SELECT Folio FROM Orden WHERE Cliente NOT IN (SELECT Clave FROM Cliente WHERE Nombre = 'ana')",
     "P0002"},
    {"case_searched", "SELECT CASE WHEN Total > 60 THEN 'alto' ELSE 'bajo' END FROM Orden WHERE Folio = 'P0002'", "bajo"},
    {"brackets_nstring_comments", "SELECT [Folio] FROM [Orden] /* nota /* anidada */ */ WHERE Nota = N'x' -- fin",
     "P0001"},
    {"dbo_and_table_hint", "SELECT Folio FROM dbo.Orden WITH (NOLOCK) WHERE Folio = 'P0001'", "P0001"},
    {"quote_inside_literal", "SELECT 'O''Brien'", "O'Brien"},
    {"sysobjects_user_table", "SELECT 'EXISTE' FROM sysobjects WHERE sysobjects.Name = 'ORDEN' AND Type = 'U'",
     "EXISTE"},
    {"sysobjects_missing_table", "SELECT 'EXISTE' FROM sysobjects WHERE sysobjects.Name = 'PDA_SALIDA' AND Type = 'U'",
     "<eof>"},
    {"getdate", "SELECT getdate()", "2024-05-06 07:08:09"},
    {"len_ignores_trailing_blanks", "SELECT len('ab  ')", "2"},
    {"left_and_right_in_characters", "SELECT LEFT(Folio, 2) + '/' + right('camión', 3) FROM Orden WHERE Folio = 'P0001'",
     "P0/ión"},
    {"left_join_still_joins", "SELECT count(*) FROM Orden LEFT JOIN Cliente ON Cliente.Clave = Orden.Cliente", "3"},
    // combined, in the shape of the screen's invoice look-up
    {"combined_top_isnull_subquery",
     "SELECT TOP 1 Folio, isnull((SELECT top 1Nombre FROM Cliente WHERE Cliente.Clave = Orden.Cliente),'') + "
     "' #' + Folio as FC FROM Orden WHERE Cliente = 'c02' AND Nota IS NULL ORDER BY 1",
     "P0002"},
};

class DialectRule : public DialectBehaviour, public ::testing::WithParamInterface<Case> {};

TEST_P(DialectRule, FirstColumnOfFirstRow)
{
    const Case& k = GetParam();
    EXPECT_EQ(firstValue(c, k.sql), k.expected) << k.sql;
}

INSTANTIATE_TEST_SUITE_P(Rules, DialectRule, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct Refusal {
    const char* name;
    const char* sql;
    const char* reason; // part of the message besides the statement itself
    const char* serverReason = nullptr; // when PostgreSQL words it otherwise
};

const Refusal kRefusals[] = {
    {"top_percent", "SELECT TOP 10 PERCENT Folio FROM Orden", "PERCENT"},
    {"top_without_number", "SELECT TOP Folio FROM Orden", "TOP sin un número"},
    {"top_outside_select", "UPDATE TOP (1) Orden SET Total = 0", "TOP fuera"},
    {"top_with_union", "SELECT TOP 1 Folio FROM Orden UNION SELECT Clave FROM Cliente", "TOP junto con UNION"},
    {"variable", "SELECT @x", "@x"},
    {"unterminated_text", "SELECT 'abc", "Texto sin cerrar en la posición 8"},
    {"unclosed_parenthesis", "SELECT (1 + 2", "paréntesis sin cerrar en la posición 8"},
    {"isnull_one_argument", "SELECT isnull(Nota) FROM Orden", "isnull sin dos argumentos"},
    {"plus_missing_operand", "SELECT 'a' + FROM Orden", "falta un operando"},
    {"plus_two_trailing_names", "SELECT Piezas + 1 a b FROM Orden", "la expresión con '+' en la posición"},
    {"explicit_transaction", "BEGIN TRAN", "BeginTrans"},
    {"engine_error", "SELECT * FROM NoExiste", "no such table: NoExiste", "relation \"noexiste\" does not exist"},
    {"non_numeric_text_plus_number", "SELECT 'abc' + 1", "No se puede convertir el texto 'abc' a número"},
};

class DialectRefusal : public DialectBehaviour, public ::testing::WithParamInterface<Refusal> {};

TEST_P(DialectRefusal, NamesTheConstructAndTheStatement)
{
    const Refusal& k = GetParam();
    try {
        c.Execute(k.sql);
        FAIL() << "accepted: " << k.sql;
    } catch (const Error& e) {
        const std::string message = e.what();
        const char* reason = s_db->onServer() && k.serverReason ? k.serverReason : k.reason;
        EXPECT_NE(message.find(reason), std::string::npos) << message;
        EXPECT_NE(message.find(std::string("SQL: ") + k.sql), std::string::npos) << message;
    }
}

INSTANTIATE_TEST_SUITE_P(Refusals, DialectRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// The cache keys on shape: each literal must still reach its own statement.
TEST_F(DialectBehaviour, StatementsDifferingInLiteralsAnswerEachTheirOwn)
{
    EXPECT_EQ(firstValue(c, "SELECT Total FROM Orden WHERE Folio = 'P0001'"), "100.5");
    EXPECT_EQ(firstValue(c, "SELECT Total FROM Orden WHERE Folio = 'P0003'"), "25");
    EXPECT_EQ(firstValue(c, "SELECT Total FROM Orden WHERE Folio = 'P0002'"), "50");
    if (!s_db->onServer()) { // PostgreSQL keeps literals in the text, so shapes differ there
        EXPECT_EQ(c.cacheHits(), 2u) << "the second and third statement share the first one's rewrite";
    }
    // Same shape but a number where a text was: concatenation must not be reused for addition.
    EXPECT_EQ(firstValue(c, "SELECT '1' + '2'"), "12");
    EXPECT_EQ(firstValue(c, "SELECT 1 + 2"), "3");
}

// Parameterising ORDER BY 2 would silently stop ordering; the cache must keep positions apart.
TEST_F(DialectBehaviour, OrderByPositionStillOrdersAfterACachedShape)
{
    EXPECT_EQ(firstValue(c, "SELECT Folio, Total FROM Orden ORDER BY 1 DESC"), "P0003");
    EXPECT_EQ(firstValue(c, "SELECT Folio, Total FROM Orden ORDER BY 2 DESC"), "P0001");
    EXPECT_EQ(firstValue(c, "SELECT TOP 2 Folio FROM Orden ORDER BY 1 DESC"), "P0003");
    Recordset rs = c.Execute("SELECT TOP 1 Folio FROM Orden ORDER BY 1 DESC");
    EXPECT_EQ(rs.rowCount(), 1u) << "TOP 1 after TOP 2 of the same shape must still limit to one row";
}

TEST_F(DialectBehaviour, SeveralStatementsRunInOrderAndAnswerTheLastRows)
{
    Transaction keepTablesAsTheyWere(c);
    Recordset rs = c.Execute("UPDATE Orden SET Total = Total + 1 WHERE Folio = 'P0003'; "
                             "SELECT Total FROM Orden WHERE Folio = 'P0003';");
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("Total").toDouble(), 26);
}

TEST_F(DialectBehaviour, ColumnsKeepTheirDeclaredKinds)
{
    Recordset rs = c.Execute("SELECT o.Fecha, o.Folio, c.Codigo, o.Piezas, o.Total, o.Nota, o.Piezas * 2, "
                             "Folio AS 'Clave del pedido' FROM Orden o INNER JOIN Cliente c ON c.Clave = o.Cliente "
                             "WHERE o.Folio = 'P0002'");
    ASSERT_FALSE(rs.Eof());
    EXPECT_TRUE(rs.Fields("FECHA").isDate()) << "a DATETIME column hands back a date";
    EXPECT_EQ(rs.Fields("fecha").toDate(), (Date{2024, 2, 10, 10, 30, 0}));
    EXPECT_TRUE(rs.Fields("Codigo").isText()) << "a numeric-looking text stays text";
    EXPECT_TRUE(rs.Fields("Piezas").isInt());
    EXPECT_TRUE(rs.Fields("Total").isDouble());
    EXPECT_TRUE(rs.Fields("Nota").isNull());
    EXPECT_EQ(rs.columns()[6], "") << "a computed column without alias has no name, as in SQL Server";
    EXPECT_EQ(rs.Fields("Clave del pedido").toString(), "P0002") << "a text alias names the column";
}

} // namespace
} // namespace tesmira::db
