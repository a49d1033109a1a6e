// Parameterised statements and the look-up memo: values bound in order, and a remembered
// answer never outlives a write, a rollback or another connection's commit.
#include "base/Error.h"
#include "db/Connection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace tesmira::db {
namespace {

class Memo : public ::testing::Test {
protected:
    void SetUp() override
    {
        c.executeScript("CREATE TABLE Unidad (Clave TEXT COLLATE NOCASE, Cubicada TEXT);"
                        "CREATE TABLE Otra (Clave TEXT);"
                        "CREATE TABLE Bitacora (Clave TEXT);"
                        "CREATE TRIGGER Anota AFTER INSERT ON Bitacora BEGIN "
                        "  UPDATE Unidad SET Cubicada = 'SI' WHERE Clave = NEW.Clave; END;"
                        "INSERT INTO Unidad VALUES ('PZA', 'NO'), ('M3', 'SI');");
    }
    std::string cubicada(const char* unidad)
    {
        Recordset rs = c.ExecuteMemo("SELECT Cubicada FROM Unidad WHERE Clave = ?", {Value(unidad)});
        return rs.Eof() ? "<eof>" : rs.Fields("cubicada").toString();
    }
    Connection c{":memory:", OpenMode::Bare};
};

// Markers take the values in order, literals keep theirs, and a wrong count runs nothing.
TEST_F(Memo, MarkersBindInOrderBesideLiterals)
{
    c.Execute("INSERT INTO Unidad (Clave, Cubicada) VALUES (?, 'NO')", {Value("O'Brien")});
    Recordset rs = c.Execute("SELECT Clave FROM Unidad WHERE Cubicada = 'NO' AND Clave <> ? AND Clave <> ? ORDER BY 1",
                             {Value("pza"), Value("x")});
    ASSERT_EQ(rs.rowCount(), 1u);
    EXPECT_EQ(rs.Fields("CLAVE").toString(), "O'Brien") << "a quote in a value is data; 'pza' matches PZA as text";
    EXPECT_THROW(c.Execute("DELETE FROM Unidad WHERE Clave = ?", {}), Error) << "a marker without its value";
    EXPECT_THROW(c.Execute("DELETE FROM Unidad WHERE Clave = ?", {Value("a"), Value("b")}), Error);
    EXPECT_EQ(c.Execute("SELECT COUNT(*) FROM Unidad").Fields(size_t{0}).toInt(), 3) << "the refused deletes ran";
    std::string seen; // one statement again and again: each value replaces the last, whatever it was
    for (const Value& v : {Value(0.0), Value(-0.0), Value("x"), Value("x"), Value(), Value(int64_t{1}), Value(1.0), Value("x ")}) {
        const Value got = c.Execute("SELECT ?", {v}).Fields(size_t{0});
        seen += (got.isNull() ? "n" : got.isInt() ? "i" : got.isDouble() ? "d" : "t") + got.toString() + ",";
    }
    EXPECT_EQ(seen, "d0,d-0,tx,tx,n,i1,d1,tx ,");
}

// The cases where a remembered answer would be stale: each write between two identical
// look-ups must show in the second one.
TEST_F(Memo, AWriteBetweenTwoLookupsShowsInTheSecond)
{
    struct Case {
        const char* name;
        std::function<void(Connection&)> write;
        const char* after;
    };
    const Case cases[] = {
        {"update of the table", [](Connection& x) { x.Execute("UPDATE Unidad SET Cubicada = 'SI' WHERE Clave = 'PZA'"); }, "SI"},
        {"parameterised delete", [](Connection& x) { x.Execute("DELETE FROM Unidad WHERE Clave = ?", {Value("PZA")}); }, "<eof>"},
        {"trigger of another table", [](Connection& x) { x.Execute("INSERT INTO Bitacora VALUES ('PZA')"); }, "SI"},
        {"script", [](Connection& x) { x.executeScript("UPDATE Unidad SET Cubicada = 'XX'"); }, "XX"},
        {"rolled back transaction", [](Connection& x) {
             x.BeginTrans();
             x.Execute("UPDATE Unidad SET Cubicada = 'SI'");
             EXPECT_EQ(x.ExecuteMemo("SELECT Cubicada FROM Unidad WHERE Clave = ?", {Value("PZA")}).Fields(size_t{0}).toString(), "SI");
             x.RollbackTrans();
         }, "NO"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        c.executeScript("DELETE FROM Unidad; INSERT INTO Unidad VALUES ('PZA', 'NO'), ('M3', 'SI');");
        Connection::MemoScope scope(c);
        ASSERT_EQ(cubicada("PZA"), "NO");
        c.Execute("INSERT INTO Otra VALUES ('x')"); // another table: the answer may stay
        ASSERT_EQ(cubicada("PZA"), "NO");
        k.write(c);
        EXPECT_EQ(cubicada("PZA"), k.after);
    }
}

// Another connection's commit on the same file is seen by the next look-up.
TEST(MemoOnFile, AnotherConnectionsCommitIsSeen)
{
    const auto file = std::filesystem::temp_directory_path() / ("tesmira-memo-" + std::to_string(::getpid()) + ".db");
    std::filesystem::remove(file);
    {
        Connection a(file.string(), OpenMode::Bare), b(file.string(), OpenMode::Bare);
        a.executeScript("CREATE TABLE Unidad (Clave TEXT, Cubicada TEXT); INSERT INTO Unidad VALUES ('PZA', 'NO');");
        Connection::MemoScope scope(a);
        auto lee = [&] { return a.ExecuteMemo("SELECT Cubicada FROM Unidad WHERE Clave = 'PZA'").Fields(size_t{0}).toString(); };
        ASSERT_EQ(lee(), "NO");
        b.Execute("UPDATE Unidad SET Cubicada = 'SI'");
        EXPECT_EQ(lee(), "SI");
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(file.string() + suffix);
}

} // namespace
} // namespace tesmira::db
