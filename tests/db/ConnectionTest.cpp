// Transactions, errors, quoting, schema creation and two connections on one file.
#include "base/Error.h"
#include "base/Text.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Savepoint.h"
#include "db/Schema.h"
#include "TestDatabase.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <thread>

namespace tesmira::db {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class TempDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path()
            / ("tesmira-db-" + std::to_string(::getpid()) + "-"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string file(const char* name) const { return (dir / name).string(); }
    fs::path dir;
};

class Transactions : public ::testing::Test {
protected:
    void SetUp() override
    {
        c.executeScript("CREATE TABLE Cuenta (Clave TEXT COLLATE NOCASE, Saldo REAL);"
                        "CREATE TABLE Nota (Folio TEXT, Texto TEXT);"
                        "INSERT INTO Cuenta VALUES ('A', 10), ('B', 20);"
                        "INSERT INTO Nota VALUES ('1', 'uno');");
    }
    Connection c{":memory:", OpenMode::Bare};
};

TEST_F(Transactions, RollbackLeavesEveryTableAsItWas)
{
    const std::string before = dump(c);
    c.BeginTrans();
    c.Execute("UPDATE Cuenta SET Saldo = Saldo + 5 WHERE Clave = 'a'");
    c.Execute("DELETE FROM Nota");
    c.Execute("INSERT INTO Cuenta (Clave, Saldo) VALUES ('C', 1)");
    ASSERT_NE(dump(c), before) << "the writes must be visible inside the transaction";
    c.RollbackTrans();
    EXPECT_EQ(dump(c), before);
    EXPECT_FALSE(c.inTransaction());
}

TEST_F(Transactions, TransactionObjectRollsBackUnlessCommitted)
{
    const std::string before = dump(c);
    {
        Transaction t(c);
        c.Execute("DELETE FROM Cuenta");
    }
    EXPECT_EQ(dump(c), before);
    {
        Transaction t(c);
        c.Execute("DELETE FROM Cuenta");
        t.commit();
    }
    EXPECT_EQ(c.Execute("SELECT count(*) FROM Cuenta").Fields(size_t{0}).toInt(), 0);
}

// The engine's report itself is checked with the dialect's refusals; here, what it leaves behind.
TEST_F(Transactions, FailedStatementInsideTransactionStillRollsBack)
{
    const std::string before = dump(c);
    c.BeginTrans();
    c.Execute("UPDATE Cuenta SET Saldo = 0");
    EXPECT_THROW(c.Execute("UPDATE Cuenta SET NoExiste = 1 WHERE Clave = 'A'"), Error);
    EXPECT_TRUE(c.inTransaction()) << "a failed statement leaves the caller's transaction open";
    c.RollbackTrans();
    EXPECT_EQ(dump(c), before);
}

TEST_F(Transactions, MisusedTransactionCallsThrow)
{
    EXPECT_THROW(c.CommitTrans(), Error);
    EXPECT_THROW(c.RollbackTrans(), Error);
    c.BeginTrans();
    EXPECT_THROW(c.BeginTrans(), Error);
    c.CommitTrans();
    EXPECT_FALSE(c.inTransaction());
}

// Callers act on the reason (a busy lock, a refused key), never on the engine's message text.
TEST_F(Transactions, FailuresCarryTheEnginesReason)
{
    c.executeScript("CREATE TABLE Clave (k TEXT PRIMARY KEY NOT NULL); INSERT INTO Clave VALUES ('A');");
    const struct {
        const char* name;
        const char* sql;
        DbErrorCode code;
    } cases[] = {
        {"duplicate key", "INSERT INTO Clave (k) VALUES ('A')", DbErrorCode::Constraint},
        {"null key", "INSERT INTO Clave (k) VALUES (NULL)", DbErrorCode::Constraint},
        {"unknown column", "SELECT NoExiste FROM Cuenta", DbErrorCode::Syntax},
        {"not a statement", "SELEC 1", DbErrorCode::Syntax},
    };
    for (const auto& k : cases) {
        try {
            c.Execute(k.sql);
            ADD_FAILURE() << k.name << ": must throw";
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), k.code) << k.name << ": " << e.what();
        }
    }
    // A value the engine cannot take is refused at the bind, not stored cut.
    sqlite3_limit(c.handle(), SQLITE_LIMIT_LENGTH, 16);
    EXPECT_THROW(c.Execute("INSERT INTO Nota (Folio, Texto) VALUES ('2', 'un texto de más de dieciséis')"), DbError);
    EXPECT_EQ(c.Execute("SELECT count(*) FROM Nota").Fields(size_t{0}).toInt(), 1);
}

// Inside a caller's transaction a failed part undoes only itself; alone it is its own transaction.
TEST_F(Transactions, SavepointUndoesOnlyItsOwnPart)
{
    c.BeginTrans();
    c.Execute("UPDATE Cuenta SET Saldo = 1 WHERE Clave = 'A'");
    {
        Savepoint parte(c);
        c.Execute("UPDATE Cuenta SET Saldo = 2 WHERE Clave = 'B'");
        {
            Savepoint interior(c);
            c.Execute("DELETE FROM Nota");
            interior.commit();
        }
    } // not committed: B and the inner delete go back, A stays
    {
        Savepoint otra(c);
        c.Execute("INSERT INTO Nota (Folio, Texto) VALUES ('2', 'dos')");
        otra.commit();
    }
    ASSERT_TRUE(c.inTransaction());
    c.CommitTrans();
    EXPECT_EQ(c.Execute("SELECT sum(Saldo) FROM Cuenta").Fields(size_t{0}).toDouble(), 21);
    EXPECT_EQ(c.Execute("SELECT count(*) FROM Nota").Fields(size_t{0}).toInt(), 2);

    {
        Savepoint sola(c);
        EXPECT_TRUE(c.inTransaction()) << "without a caller's transaction it begins one";
        c.Execute("DELETE FROM Cuenta");
    }
    EXPECT_FALSE(c.inTransaction());
    EXPECT_EQ(c.Execute("SELECT count(*) FROM Cuenta").Fields(size_t{0}).toInt(), 2);
    EXPECT_THROW(c.releaseSavepoint(), Error);
}

// A typed quote is data: it round-trips and cannot widen a WHERE.
TEST_F(Transactions, QuotedValuesStayData)
{
    EXPECT_EQ(quoted("O'Brien"), "O''Brien");
    EXPECT_EQ(quoted("sin comillas"), "sin comillas");
    c.Execute("INSERT INTO Nota (Folio, Texto) VALUES ('2', '" + quoted("O'Brien") + "')");
    EXPECT_EQ(c.Execute("SELECT Texto FROM Nota WHERE Texto = '" + quoted("O'Brien") + "'").Fields("texto").toString(),
              "O'Brien");
    const Recordset rs = c.Execute("SELECT * FROM Cuenta WHERE Clave = '" + quoted("x' OR '1'='1") + "'");
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(c.rowsAffected(), 1) << "rowsAffected counts the last write, the INSERT";
}

TEST_F(Transactions, RecordsetReadsForwardAndRewinds)
{
    Recordset rs = c.Execute("SELECT Clave, Saldo FROM Cuenta ORDER BY Clave");
    EXPECT_EQ(rs.Fields("CLAVE").toString(), "A");
    rs.MoveNext();
    EXPECT_EQ(rs.Fields("saldo").toDouble(), 20);
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    EXPECT_THROW(rs.Fields("Clave"), Error) << "no current row at end of data";
    rs.MoveFirst();
    EXPECT_EQ(rs.Fields("Clave").toString(), "A");
    EXPECT_THROW(rs.Fields("Falta"), Error);
    EXPECT_FALSE(rs.hasField("Falta"));
    rs.Close();
    EXPECT_TRUE(rs.Eof());
}

// A large result is read as the reader moves; it still answers what its statement saw.
TEST_F(Transactions, LargeResultReadsOnAndIgnoresLaterWrites)
{
    c.executeScript("CREATE TABLE Renglon (N INTEGER, F DATETIME, L TEXT);"
                    "WITH RECURSIVE k(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM k WHERE n < 1000) "
                    "INSERT INTO Renglon SELECT n, CASE WHEN n % 7 = 0 THEN 'no es fecha' WHEN n % 2 = 0 "
                    "THEN date('2026-01-01', '+' || n || ' days') END, substr(hex(zeroblob(400)), 1, n % 400) FROM k;");
    const char* sql = "SELECT N, ? + CAST(N AS VARCHAR(10)) AS Texto FROM Renglon"; // read in place, not sorted first
    const std::string prefix = "renglón número "; // a bound text the reader's statement keeps reading
    Recordset rs = c.Execute(sql, {Value(prefix)});
    const Recordset again = c.Execute(sql, {Value("otra línea, otro texto: ")}); // not the statement rs holds
    int64_t expected = 1;
    for (; expected <= 300; ++expected, rs.MoveNext())
        ASSERT_EQ(rs.Fields("N").toInt(), expected);
    EXPECT_THROW(rs.MoveFirst(), Error) << "the first rows were let go";
    c.Execute("UPDATE Renglon SET N = N + 5000");
    c.BeginTrans();
    c.Execute("DELETE FROM Renglon");
    c.RollbackTrans();
    for (; !rs.Eof(); rs.MoveNext(), ++expected) {
        ASSERT_EQ(rs.Fields(size_t{0}).toInt(), expected);
        ASSERT_EQ(rs.Fields("Texto").toString(), prefix + std::to_string(expected));
    }
    EXPECT_EQ(expected, 1001);
    EXPECT_EQ(rs.rowCount(), 1000u);
    const Recordset whole = again;
    EXPECT_EQ(whole.rowCount(), 1000u);
    EXPECT_EQ(whole.rows()[700][0].toInt(), 701) << "a copy reads the rest first";
    EXPECT_EQ(c.Execute(sql, {Value(prefix)}).Fields("N").toInt(), 5001) << "a new statement sees the update";

    // Counted before it is read, the rest waits packed: every kind of value comes back as read.
    const char* kinds = "SELECT N, -N * 10000000000 AS Grande, N / 8.0 AS R, F, L, NULL AS Nada FROM Renglon";
    Recordset counted = c.Execute(kinds);
    const Recordset plain = c.Execute(kinds);
    ASSERT_EQ(counted.rowCount(), 1000u);
    for (const auto& row : plain.rows()) {
        for (size_t i = 0; i < row.size(); ++i)
            ASSERT_EQ(counted.Fields(i), row[i]) << "row " << row[0].toInt() << ", column " << i;
        counted.MoveNext();
    }
    EXPECT_TRUE(counted.Eof());
}

// Keys compare and hash word by word; every answer must be a byte-by-byte fold's, whatever byte
// stands on either side of a word's edge (Ñ and other non-ASCII bytes are not folded).
TEST_F(Transactions, KeysCompareAsFoldedBytes)
{
    const std::string bytes = "@AZ[`az{ \xC3\xD1\xF1";
    std::vector<std::string> keys;
    for (size_t at : {0, 1, 2, 3, 5, 7, 8, 12})
        for (size_t j = 0; j < bytes.size(); ++j) { // two bytes changed: the first difference decides
            std::string k = "Pq0rS-tUvWxYz";
            k.replace(at, 2, {bytes[j], bytes[(j + 5) % bytes.size()]});
            keys.insert(keys.end(), {k, k.substr(0, at + 1), k + "  "});
        }
    c.executeScript("CREATE TABLE K (Id INTEGER, V TEXT COLLATE NOCASE);");
    for (size_t i = 0; i < keys.size(); ++i) // native text: trailing blanks stay stored
        c.executeScript("INSERT INTO K VALUES (" + std::to_string(i) + ", '" + keys[i] + "')");
    auto fold = [](std::string_view s) { return lowerAscii(withoutTrailingBlanks(s)); };
    Recordset rs = c.Execute("SELECT a.Id, b.Id, a.V < b.V, a.V = b.V FROM K a, K b");
    size_t n = 0;
    for (; !rs.Eof(); rs.MoveNext(), ++n) {
        const auto& a = keys[static_cast<size_t>(rs.Fields(0).toInt())], &b = keys[static_cast<size_t>(rs.Fields(1).toInt())];
        ASSERT_EQ(rs.Fields(2).toInt(), fold(a) < fold(b)) << a << " | " << b;
        ASSERT_EQ(rs.Fields(3).toInt(), fold(a) == fold(b)) << a << " | " << b;
        ASSERT_EQ(NoCaseEqual{}(a, b), lowerAscii(a) == lowerAscii(b)) << a << " | " << b;
        ASSERT_TRUE(!NoCaseEqual{}(a, b) || NoCaseHash{}(a) == NoCaseHash{}(b)) << a << " | " << b;
    }
    EXPECT_EQ(n, keys.size() * keys.size());
}

TEST_F(TempDir, NewFileGetsTheSchemaAndAnotherVersionIsRefused)
{
    const std::string path = file("ventas.db");
    {
        Connection c(path);
        EXPECT_EQ(c.Execute("PRAGMA user_version").Fields(size_t{0}).toInt(), schemaVersion());
        EXPECT_GT(schemaVersion(), 0) << "schema.sql starts with its version line";
        EXPECT_EQ(c.DefaultDatabase(), "ventas");
        EXPECT_FALSE(c.Execute("SELECT 1 FROM sysobjects WHERE Type = 'U'").Eof()) << "the schema created tables";
        c.Execute("PRAGMA user_version = 999");
    }
    try {
        Connection again(path);
        FAIL() << "a file of another schema version must be refused";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("999"), std::string::npos) << e.what();
    }
    Connection bare(file("propia.db"), OpenMode::Bare);
    EXPECT_TRUE(bare.Execute("SELECT name FROM sqlite_master").Eof()) << "a bare file gets no schema";
}

TEST_F(TempDir, ForeignFileWithTablesIsRefused)
{
    const std::string path = file("ajena.db");
    {
        Connection c(path, OpenMode::Bare);
        c.executeScript("CREATE TABLE Otra (x INTEGER)");
    }
    EXPECT_THROW(Connection c(path), Error);
}

// BEGIN IMMEDIATE makes the second writer wait for the first instead of deadlocking on upgrade.
TEST_F(TempDir, SecondWriterWaitsForTheFirst)
{
    const std::string path = file("dos.db");
    Connection a(path, OpenMode::Bare);
    a.executeScript("CREATE TABLE Contador (n INTEGER); INSERT INTO Contador VALUES (0);");
    Connection b(path, OpenMode::Bare);

    a.BeginTrans();
    a.Execute("UPDATE Contador SET n = n + 1");
    auto second = std::async(std::launch::async, [&] {
        const auto start = std::chrono::steady_clock::now();
        b.BeginTrans();
        b.Execute("UPDATE Contador SET n = n + 10");
        b.CommitTrans();
        return std::chrono::steady_clock::now() - start;
    });
    std::this_thread::sleep_for(300ms);
    a.CommitTrans();
    EXPECT_GE(second.get(), 250ms) << "the second writer must have waited for the first";
    EXPECT_EQ(a.Execute("SELECT n FROM Contador").Fields("n").toInt(), 11);
}

TEST_F(TempDir, WriterGivesUpAfterTheBusyTimeout)
{
    const std::string path = file("ocupada.db");
    Connection a(path, OpenMode::Bare);
    a.executeScript("CREATE TABLE T (n INTEGER)");
    Connection b(path, OpenMode::Bare);
    b.setBusyTimeout(100);
    a.BeginTrans();
    try {
        b.BeginTrans();
        ADD_FAILURE() << "the second writer must give up";
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), DbErrorCode::Busy) << e.what();
    }
    EXPECT_FALSE(b.inTransaction());
    a.RollbackTrans();
    b.BeginTrans();
    b.RollbackTrans();
}

} // namespace
} // namespace tesmira::db
