#pragma once
// SQL Server statements → SQLite statements, rewriting only what SQLite reads differently:
// TOP n → LIMIT n at the end of the TOP's own query block; isnull → ifnull; string/number
// `+` → tsql_add(); LEFT()/RIGHT() → tsql_left()/tsql_right(); [names], N'…'; table hints
// WITH (NOLOCK) and the dbo. prefix dropped. A grouped derived table on the right of a LEFT JOIN
// also gets the outer WHERE's `T.d = literal` for the columns it is joined on by T.d, which
// SQLite would otherwise group whole on every run.
// Literals become parameters, except in ORDER BY, GROUP BY and TOP, where a number is a
// position or a count; text parameters compare with NOCASE as SQL Server's default collation.
// Translations are cached by statement shape, so statements differing only in literals share one;
// a text repeated whole (a catalogue look-up per grid row) is answered without lexing it again.
#include "base/AsciiWords.h"
#include "base/Value.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tesmira::db {

// The engine a translation is written for. PostgreSQL's needs: see DialectPostgres.h.
enum class Target { Sqlite, Postgres };

struct Translation {
    std::string key;           // the statement's shape; equal keys share a prepared statement
    std::string sql;           // the target's text with ?1 … ?n (SQLite) or $1 … $n (PostgreSQL)
    std::vector<Value> params; // values for the markers (a `?` marker's slot holds null)
    // For a text with `?` markers: the marker whose value ?k takes, -1 for a literal. Empty without markers.
    std::vector<int> markerOfParam;
    uint64_t shape = 0;        // the shape's number in this dialect: the prepared statement's key
    size_t markers = 0;        // `?` markers in the statement
    size_t firstMarker = 0;    // byte offset of the first, for the error of a text run without values
    // PostgreSQL only: what each result column of a SELECT is, so names come back as SQLite
    // gives them (see ResultName); empty when the statement is not a plain SELECT.
    std::vector<std::string> columns;
};

class Dialect {
public:
    explicit Dialect(size_t capacity = 256, Target target = Target::Sqlite)
        : m_capacity(capacity), m_target(target)
    {
    }

    // One translation per statement of the text (statements split at ';', empty ones dropped).
    // Throws Error naming a construct it cannot translate and its position (1-based byte offset).
    // Transaction statements are refused: BeginTrans/CommitTrans/RollbackTrans keep track of them.
    // A text seen before is answered from a memo: the reference stays valid until the next call.
    // `?` markers (outside strings) are values bound in order by the caller; Translation::markers
    // counts them.
    const std::vector<Translation>& translate(std::string_view tsql);

    size_t cacheHits() const { return m_hits; }
    size_t cacheSize() const { return m_cache.size(); }

private:
    struct Entry {
        std::string sql;
        std::vector<long> literalOfParam; // ?k takes the literal at literalOfParam[k-1], or marker -(n+1)
        std::vector<std::string> columns;
        uint64_t lastUse = 0;
        uint64_t id = 0;
    };
    void remember(const std::string& key, Entry entry);
    std::vector<Translation> translateText(std::string_view tsql);

    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const noexcept { return ascii::hashBytes(s.data(), s.size()); }
    };

    size_t m_capacity;
    Target m_target;
    std::unordered_map<std::string, Entry> m_cache;
    // Whole texts and their translations; emptied when full, so it stays bounded.
    std::unordered_map<std::string, std::vector<Translation>, TextHash, std::equal_to<>> m_texts;
    uint64_t m_clock = 0;
    uint64_t m_shapes = 0;
    size_t m_hits = 0;
};

} // namespace tesmira::db
