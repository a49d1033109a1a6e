#include "db/PostgresEngine.h"

#include "base/Error.h"
#include "base/Text.h"
#include "db/DbError.h"
#include "db/PostgresSchema.h"
#include "db/Schema.h"
#include "db/SqlLexer.h"
#include "db/DialectPostgres.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <cstdio>
#include <cstdlib>

namespace tesmira::db {

namespace {

// libpq's type OIDs (catalog/pg_type.h is not part of the client headers).
enum Oid_ : Oid {
    kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700, kFloat8 = 701,
    kDate = 1082, kTimestamp = 1114, kTimestampTz = 1184, kNumeric = 1700,
};

constexpr int kLockTimeoutMs = 5000;
constexpr const char* kSavepoint = "SAVEPOINT tesmira_statement";
constexpr const char* kRelease = "RELEASE SAVEPOINT tesmira_statement";

DbErrorCode codeOf(const char* sqlstate)
{
    const std::string s = sqlstate ? sqlstate : "";
    if (s == "40P01" || s == "40001") // deadlock; a serializable transaction that lost a race
        return DbErrorCode::Deadlock;
    if (s == "55P03") // lock_timeout ran out
        return DbErrorCode::Busy;
    if (s.rfind("23", 0) == 0)
        return DbErrorCode::Constraint;
    if (s.rfind("42", 0) == 0)
        return DbErrorCode::Syntax;
    if (s.rfind("08", 0) == 0 || s.rfind("57P", 0) == 0) // connection exceptions; server shutting down
        return DbErrorCode::ConnectionLost;
    return DbErrorCode::Other;
}

// One line: libpq's messages span several, indented with tabs.
std::string oneLine(std::string text)
{
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\t' || c == '\r'; }, ' ');
    std::string out;
    for (char c : text)
        if (!(c == ' ' && (out.empty() || out.back() == ' ')))
            out += c;
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// "dbname en host:port" from a connection string, or why it cannot be read.
std::string describe(const std::string& conninfo)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
    if (!options) {
        std::string why = error ? oneLine(error) : "cadena de conexión no válida";
        PQfreemem(error);
        throw DbError(DbErrorCode::ConnectionLost, "Cadena de conexión a PostgreSQL no válida (" + why + ")");
    }
    std::string db, host, port, service;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        const std::string key = o->keyword, value = o->val ? o->val : "";
        if (key == "dbname")
            db = value;
        else if (key == "host" || (key == "hostaddr" && host.empty()))
            host = value;
        else if (key == "port")
            port = value;
        else if (key == "service")
            service = value;
    }
    PQconninfoFree(options);
    if (db.empty() && !service.empty())
        return "servicio " + service;
    std::string where = host.empty() ? "localhost" : host;
    if (!port.empty())
        where += ":" + port;
    return (db.empty() ? std::string("(base predeterminada)") : db) + " en " + where;
}

Value readValue(const PGresult* r, int row, int col)
{
    if (PQgetisnull(r, row, col))
        return {};
    const char* text = PQgetvalue(r, row, col);
    switch (PQftype(r, col)) {
    case kBool:
        return Value(int64_t{text[0] == 't' ? 1 : 0});
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return Value(static_cast<int64_t>(std::strtoll(text, nullptr, 10)));
    case kFloat4:
    case kFloat8:
        return Value(std::strtod(text, nullptr));
    case kNumeric:
        if (std::strpbrk(text, ".eEN") == nullptr)
            return Value(static_cast<int64_t>(std::strtoll(text, nullptr, 10)));
        return Value(std::strtod(text, nullptr));
    case kDate:
    case kTimestamp:
    case kTimestampTz:
        try {
            return Value(Date::parseIso(text));
        } catch (const Error&) {
            return Value(std::string(text));
        }
    default:
        return Value(std::string(text, static_cast<size_t>(PQgetlength(r, row, col))));
    }
}

// Parameters as text with the type the literal had: numbers typed (int4 where it fits, so that
// functions taking an int accept it), texts untyped so the column they meet decides.
struct Params {
    explicit Params(const std::vector<Value>& values)
    {
        for (const Value& v : values) {
            if (v.isNull()) {
                types.push_back(0);
                texts.emplace_back();
            } else if (v.isInt()) {
                const int64_t n = v.toInt();
                types.push_back(n >= INT_MIN && n <= INT_MAX ? kInt4 : kInt8);
                texts.push_back(std::to_string(n));
            } else if (v.isDouble()) {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%.17g", v.toDouble());
                types.push_back(kFloat8);
                texts.emplace_back(buf);
            } else {
                types.push_back(0);
                texts.push_back(v.toString());
            }
        }
        for (size_t i = 0; i < values.size(); ++i)
            pointers.push_back(values[i].isNull() ? nullptr : texts[i].c_str());
    }
    int count() const { return static_cast<int>(types.size()); }

    std::vector<Oid> types;
    std::vector<std::string> texts;
    std::vector<const char*> pointers;
};

} // namespace

void PostgresEngine::ResultDeleter::operator()(pg_result* r) const { PQclear(r); }
void PostgresEngine::ConnDeleter::operator()(pg_conn* c) const { PQfinish(c); }

PostgresEngine::PostgresEngine(const std::string& conninfo, const Clock& clock) : m_clock(clock)
{
    const std::string what = describe(conninfo);
    m_conn.reset(PQconnectdb(conninfo.c_str()));
    if (!m_conn)
        throw DbError(DbErrorCode::ConnectionLost, "No se pudo conectar a la base de datos " + what + ": sin memoria");
    if (PQstatus(m_conn.get()) != CONNECTION_OK)
        throw DbError(DbErrorCode::ConnectionLost,
                      "No se pudo conectar a la base de datos " + what + ": " + oneLine(PQerrorMessage(m_conn.get())));
    PQsetNoticeProcessor(m_conn.get(), [](void*, const char*) {}, nullptr);
    if (PQsetClientEncoding(m_conn.get(), "UTF8") != 0)
        throw Error("La base de datos " + what + " no acepta textos en UTF-8");
    exec("SET DateStyle = 'ISO, YMD'");
    setLockTimeout(kLockTimeoutMs);
    learnNames(db::schemaSql());
    learnNames(postgresPrelude());
}

PostgresEngine::~PostgresEngine() = default;

void PostgresEngine::fail(pg_result* r) const
{
    const char* primary = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const DbErrorCode code = PQstatus(m_conn.get()) != CONNECTION_OK ? DbErrorCode::ConnectionLost : codeOf(state);
    throw DbError(code, primary ? std::string(primary) : oneLine(PQerrorMessage(m_conn.get())));
}

void PostgresEngine::command(const std::string& sql) { exec(sql.c_str()); }

PostgresEngine::Result PostgresEngine::exec(const char* sql)
{
    Result r(PQexec(m_conn.get(), sql));
    const ExecStatusType s = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
        fail(r.get());
    return r;
}

PostgresEngine::Result PostgresEngine::execParams(const std::string& sql, const std::vector<Value>& values)
{
    const Params p(values);
    Result r(PQexecParams(m_conn.get(), sql.c_str(), p.count(), p.types.data(), p.pointers.data(), nullptr, nullptr, 0));
    const ExecStatusType s = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
        fail(r.get());
    return r;
}

void PostgresEngine::syncClock(const std::string& sql)
{
    constexpr std::string_view call = "getdate(";
    auto sameLetter = [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; };
    if (std::search(sql.begin(), sql.end(), call.begin(), call.end(), sameLetter) == sql.end())
        return;
    const std::string now = m_clock().iso();
    if (now == m_clockSent)
        return;
    execParams(std::string("SELECT set_config('") + kPgClockSetting + "', $1, false)", {Value(now)});
    m_clockSent = now;
}

Recordset PostgresEngine::run(const Translation& t, const std::vector<Value>& params)
{
    syncClock(t.sql);
    Result result;
    if (!m_inTransaction) {
        result = execParams(t.sql, params);
    } else {
        // SAVEPOINT, the statement and RELEASE travel together: one round trip.
        PGconn* c = m_conn.get();
        const Params p(params);
        bool sent = PQenterPipelineMode(c) == 1;
        sent = sent && PQsendQueryParams(c, kSavepoint, 0, nullptr, nullptr, nullptr, nullptr, 0) == 1;
        sent = sent
            && PQsendQueryParams(c, t.sql.c_str(), p.count(), p.types.data(), p.pointers.data(), nullptr, nullptr, 0)
                == 1;
        sent = sent && PQsendQueryParams(c, kRelease, 0, nullptr, nullptr, nullptr, nullptr, 0) == 1;
        sent = sent && PQpipelineSync(c) == 1;
        std::vector<Result> got(3);
        size_t query = 0;
        while (sent && query < 4) {
            PGresult* r = PQgetResult(c);
            if (!r) {
                ++query;
                continue;
            }
            if (PQresultStatus(r) == PGRES_PIPELINE_SYNC) {
                PQclear(r);
                break;
            }
            if (query < got.size() && !got[query])
                got[query].reset(r);
            else
                PQclear(r);
        }
        PQexitPipelineMode(c);
        auto ok = [](const Result& r) {
            const ExecStatusType s = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
            return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
        };
        if (!sent || !ok(got[0]))
            fail(got[0].get());
        if (!ok(got[1])) {
            if (PQstatus(c) == CONNECTION_OK)
                exec("ROLLBACK TO SAVEPOINT tesmira_statement; RELEASE SAVEPOINT tesmira_statement");
            fail(got[1].get());
        }
        if (!ok(got[2]))
            fail(got[2].get());
        result = std::move(got[1]);
    }
    const std::string status = PQcmdStatus(result.get());
    if (status.rfind("INSERT", 0) == 0 || status.rfind("UPDATE", 0) == 0 || status.rfind("DELETE", 0) == 0)
        m_rowsAffected = std::strtoll(PQcmdTuples(result.get()), nullptr, 10);
    return toRecordset(result.get(), t.columns);
}

Recordset PostgresEngine::toRecordset(pg_result* r, const std::vector<std::string>& what)
{
    const int n = PQnfields(r);
    auto declared = [&](int i) {
        const std::string name = PQfname(r, i);
        auto it = m_spelling.find(name);
        return it != m_spelling.end() ? it->second : name;
    };
    auto named = [&](const std::string& w, int i) {
        if (w[0] == ResultName::Alias)
            return w.substr(1);
        if (w[0] == ResultName::Computed)
            return std::string();
        return declared(i);
    };
    std::vector<std::string> columns(static_cast<size_t>(n));
    const auto stars = std::count_if(what.begin(), what.end(), [](const std::string& w) { return w[0] == ResultName::Star; });
    const int fixed = static_cast<int>(what.size()) - static_cast<int>(stars);
    if (!what.empty() && stars <= 1 && fixed <= n && (stars == 1 || fixed == n)) {
        // The one t.* spans what the other items leave.
        const auto star = std::find_if(what.begin(), what.end(), [](const std::string& w) { return w[0] == ResultName::Star; });
        const int before = static_cast<int>(star - what.begin());
        const int spread = n - fixed;
        for (int i = 0; i < n; ++i) {
            if (stars == 0 || i < before)
                columns[static_cast<size_t>(i)] = named(what[static_cast<size_t>(i)], i);
            else if (i < before + spread)
                columns[static_cast<size_t>(i)] = declared(i);
            else
                columns[static_cast<size_t>(i)] = named(what[static_cast<size_t>(i - spread + 1)], i);
        }
    } else {
        for (int i = 0; i < n; ++i)
            columns[static_cast<size_t>(i)] = std::string(PQfname(r, i)) == "?column?" ? std::string() : declared(i);
    }
    std::vector<std::vector<Value>> rows;
    const int count = PQntuples(r);
    rows.reserve(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        std::vector<Value> values;
        values.reserve(static_cast<size_t>(n));
        for (int col = 0; col < n; ++col)
            values.push_back(readValue(r, row, col));
        rows.push_back(std::move(values));
    }
    return Recordset(std::move(columns), std::move(rows));
}

void PostgresEngine::learnNames(std::string_view sql)
{
    try {
        for (const Token& t : lexTsql(sql))
            if (t.kind == Token::Kind::Identifier)
                m_spelling.emplace(lower(t.text), t.text);
    } catch (const Error&) {
        // a script the T-SQL lexer cannot read teaches no names; its statements still run
    }
}

void PostgresEngine::executeScript(std::string_view sqliteScript)
{
    std::string script = postgresScript(sqliteScript);
    if (!m_preludeReady) {
        Result known = exec("SELECT to_regproc('tsql_like_regex') IS NOT NULL");
        if (std::string(PQgetvalue(known.get(), 0, 0)) != "t")
            script = std::string(postgresPrelude()) + script; // in the same transaction
        m_preludeReady = true;
    }
    if (m_inTransaction)
        exec(kSavepoint);
    try {
        exec(script.c_str());
    } catch (const DbError& e) {
        if (m_inTransaction && PQstatus(m_conn.get()) == CONNECTION_OK)
            exec("ROLLBACK TO SAVEPOINT tesmira_statement; RELEASE SAVEPOINT tesmira_statement");
        throw DbError(e.code(), std::string(e.what()) + "\nSQL: " + std::string(utf8Left(sqliteScript, 400)));
    }
    if (m_inTransaction)
        exec(kRelease);
    learnNames(sqliteScript);
}

void PostgresEngine::begin()
{
    exec("BEGIN");
    m_inTransaction = true;
}

void PostgresEngine::commit()
{
    Result r(PQexec(m_conn.get(), "COMMIT"));
    const ExecStatusType s = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (s != PGRES_COMMAND_OK) {
        if (PQstatus(m_conn.get()) != CONNECTION_OK) {
            m_inTransaction = false;
            m_clockSent.clear();
        }
        fail(r.get()); // a failed COMMIT on a live connection leaves the transaction for RollbackTrans
    }
    m_inTransaction = false;
    if (std::string(PQcmdStatus(r.get())) == "ROLLBACK") {
        m_clockSent.clear();
        throw Error("La transacción ya había sido revertida por un error anterior; no se guardó nada");
    }
}

void PostgresEngine::rollback()
{
    m_inTransaction = false;
    m_clockSent.clear(); // a rolled-back set_config is undone too
    if (PQstatus(m_conn.get()) != CONNECTION_OK)
        return;
    Result r(PQexec(m_conn.get(), "ROLLBACK"));
}

void PostgresEngine::setLockTimeout(int milliseconds)
{
    exec(("SET lock_timeout = " + std::to_string(std::max(milliseconds, 1))).c_str());
}

std::string PostgresEngine::databaseName() const { return PQdb(m_conn.get()); }

std::string PostgresEngine::displayName() const
{
    const std::string host = PQhost(m_conn.get()) ? PQhost(m_conn.get()) : "";
    const std::string where = host.empty() || host[0] == '/' ? std::string("localhost") : host;
    return databaseName() + " en " + where + ":" + PQport(m_conn.get());
}

bool PostgresEngine::isEmpty()
{
    Result r = exec("SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                    "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'p', 'v', 'm') "
                    "AND c.relname <> 'sysobjects'");
    return std::string(PQgetvalue(r.get(), 0, 0)) == "0";
}

void PostgresEngine::createSchema(std::string_view schemaSql, int version)
{
    executeScript(schemaSql);
    // A function rather than a table: the screen's catalogue look-ups see only the company's tables.
    exec(("CREATE FUNCTION tesmira_schema_version() RETURNS integer LANGUAGE sql IMMUTABLE AS 'SELECT "
          + std::to_string(version) + "'")
             .c_str());
}

int PostgresEngine::schemaVersion()
{
    Result known = exec("SELECT to_regproc('tesmira_schema_version') IS NOT NULL");
    if (std::string(PQgetvalue(known.get(), 0, 0)) != "t")
        throw Error("La base de datos " + displayName() + " tiene tablas que no son de Tesmira");
    Result r = exec("SELECT tesmira_schema_version()");
    return std::atoi(PQgetvalue(r.get(), 0, 0));
}

} // namespace tesmira::db
