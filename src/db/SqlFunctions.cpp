#include "db/SqlFunctions.h"

#include "base/AsciiWords.h"
#include "base/Error.h"
#include "base/Text.h"

#include <sqlite3.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace tesmira::db {

namespace {

int compareNoCase(void*, int n1, const void* p1, int n2, const void* p2)
{
    auto a = withoutTrailingBlanks({static_cast<const char*>(p1), static_cast<size_t>(n1)});
    auto b = withoutTrailingBlanks({static_cast<const char*>(p2), static_cast<size_t>(n2)});
    // Bytes compare unsigned, as the BINARY collation orders them.
    if (const int d = ascii::eachWord(a.data(), b.data(), std::min(a.size(), b.size()), ascii::compareFolded))
        return d;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// Decodes UTF-8 leniently: a malformed byte stands for itself.
std::u32string decode(std::string_view s)
{
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
        bool ok = i + extra < s.size() || extra == 0;
        for (int k = 1; ok && k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            ok = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            out += c;
            ++i;
            continue;
        }
        out += cp;
        i += extra + 1;
    }
    return out;
}

char32_t fold(char32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    return c;
}

struct LikeItem {
    enum class Kind { AnyRun, AnyOne, Literal, Set };
    explicit LikeItem(Kind k, char32_t ch = 0) : kind(k), c(ch) {}

    Kind kind;
    char32_t c = 0;
    bool negate = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;

    bool matches(char32_t v) const
    {
        if (kind == Kind::AnyOne)
            return true;
        if (kind == Kind::Literal)
            return fold(v) == c;
        bool in = false;
        for (auto [lo, hi] : ranges)
            in = in || (fold(v) >= lo && fold(v) <= hi);
        return in != negate;
    }
};

std::vector<LikeItem> compileLike(const std::u32string& p, char32_t escape)
{
    std::vector<LikeItem> items;
    for (size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        if (escape != 0 && c == escape && i + 1 < p.size()) {
            items.emplace_back(LikeItem::Kind::Literal, fold(p[++i]));
        } else if (c == '%') {
            if (items.empty() || items.back().kind != LikeItem::Kind::AnyRun)
                items.emplace_back(LikeItem::Kind::AnyRun);
        } else if (c == '_') {
            items.emplace_back(LikeItem::Kind::AnyOne);
        } else if (c == '[' && p.find(']', i + 1) != std::u32string::npos) {
            const size_t close = p.find(']', i + 1);
            std::u32string_view body(p.data() + i + 1, close - i - 1);
            LikeItem set(LikeItem::Kind::Set);
            if (body.size() > 1 && body[0] == '^') {
                set.negate = true;
                body.remove_prefix(1);
            }
            for (size_t j = 0; j < body.size(); ++j) {
                if (j + 2 < body.size() && body[j + 1] == '-') {
                    set.ranges.emplace_back(fold(body[j]), fold(body[j + 2]));
                    j += 2;
                } else {
                    set.ranges.emplace_back(fold(body[j]), fold(body[j]));
                }
            }
            items.push_back(std::move(set));
            i = close;
        } else {
            items.emplace_back(LikeItem::Kind::Literal, fold(c));
        }
    }
    return items;
}

bool matchesLike(const std::vector<LikeItem>& items, std::string_view value)
{
    const auto v = decode(withoutTrailingBlanks(value));
    // Greedy match with one backtrack point per %: linear in practice, no recursion.
    size_t pi = 0, vi = 0, starP = std::string::npos, starV = 0;
    while (vi < v.size()) {
        if (pi < items.size() && items[pi].kind == LikeItem::Kind::AnyRun) {
            starP = pi++;
            starV = vi;
        } else if (pi < items.size() && items[pi].matches(v[vi])) {
            ++pi;
            ++vi;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            vi = ++starV;
        } else {
            return false;
        }
    }
    while (pi < items.size() && items[pi].kind == LikeItem::Kind::AnyRun)
        ++pi;
    return pi == items.size();
}

// A pattern compiled once for all the rows of one run of its statement.
struct CompiledLike {
    std::string pattern;
    char32_t escape;
    std::vector<LikeItem> items;
};

void tsqlAdd(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* a = argv[0];
    sqlite3_value* b = argv[1];
    const int ta = sqlite3_value_type(a), tb = sqlite3_value_type(b);
    if (ta == SQLITE_NULL || tb == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    auto isText = [](int t) { return t == SQLITE_TEXT || t == SQLITE_BLOB; };
    if (isText(ta) && isText(tb)) {
        std::string s(reinterpret_cast<const char*>(sqlite3_value_text(a)), sqlite3_value_bytes(a));
        s.append(reinterpret_cast<const char*>(sqlite3_value_text(b)), sqlite3_value_bytes(b));
        return sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
    // A text against a number converts as SQL Server does: the whole text must be a number.
    for (sqlite3_value* v : {a, b}) {
        if (!isText(sqlite3_value_type(v)))
            continue;
        if (sqlite3_value_numeric_type(v) == SQLITE_TEXT) {
            const std::string msg = "No se puede convertir el texto '"
                + std::string(reinterpret_cast<const char*>(sqlite3_value_text(v))) + "' a número";
            return sqlite3_result_error(ctx, msg.c_str(), -1);
        }
    }
    if (sqlite3_value_type(a) == SQLITE_INTEGER && sqlite3_value_type(b) == SQLITE_INTEGER) {
        sqlite3_int64 sum = 0;
        if (!__builtin_add_overflow(sqlite3_value_int64(a), sqlite3_value_int64(b), &sum))
            return sqlite3_result_int64(ctx, sum);
    }
    sqlite3_result_double(ctx, sqlite3_value_double(a) + sqlite3_value_double(b));
}

std::string_view textOf(sqlite3_value* v)
{
    return {reinterpret_cast<const char*>(sqlite3_value_text(v)), static_cast<size_t>(sqlite3_value_bytes(v))};
}

void like(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return sqlite3_result_null(ctx);
    char32_t escape = 0;
    if (argc == 3) {
        const auto e = decode(textOf(argv[2]));
        if (e.size() != 1)
            return sqlite3_result_error(ctx, "ESCAPE debe ser un solo carácter", -1);
        escape = e[0];
    }
    // SQLite calls like(pattern, value[, escape]) for `value LIKE pattern`. It keeps a constant
    // pattern's compiled form between rows (and may drop it at any time, even while taking it).
    const std::string_view pattern = textOf(argv[0]);
    auto* kept = static_cast<const CompiledLike*>(sqlite3_get_auxdata(ctx, 0));
    if (kept && kept->pattern == pattern && kept->escape == escape)
        return sqlite3_result_int(ctx, matchesLike(kept->items, textOf(argv[1])) ? 1 : 0);
    auto compiled = std::make_unique<CompiledLike>(
        CompiledLike{std::string(pattern), escape, compileLike(decode(pattern), escape)});
    sqlite3_result_int(ctx, matchesLike(compiled->items, textOf(argv[1])) ? 1 : 0);
    sqlite3_set_auxdata(ctx, 0, compiled.release(),
                        [](void* p) { std::default_delete<CompiledLike>{}(static_cast<CompiledLike*>(p)); });
}

void len(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(decode(withoutTrailingBlanks(textOf(argv[0]))).size()));
}

// LEFT(s, n) / RIGHT(s, n) in characters; a negative n is an error, as in SQL Server.
void leftRight(sqlite3_context* ctx, sqlite3_value** argv, bool left)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const sqlite3_int64 n = sqlite3_value_int64(argv[1]);
    if (n < 0)
        return sqlite3_result_error(ctx, "LEFT/RIGHT con una longitud negativa", -1);
    const std::string_view s = textOf(argv[0]);
    const std::string_view part = left ? utf8Left(s, static_cast<size_t>(n)) : utf8Right(s, static_cast<size_t>(n));
    sqlite3_result_text(ctx, part.data(), static_cast<int>(part.size()), SQLITE_TRANSIENT);
}

void tsqlLeft(sqlite3_context* ctx, int, sqlite3_value** argv) { leftRight(ctx, argv, true); }
void tsqlRight(sqlite3_context* ctx, int, sqlite3_value** argv) { leftRight(ctx, argv, false); }

void getdate(sqlite3_context* ctx, int, sqlite3_value**)
{
    const auto* clock = static_cast<const Clock*>(sqlite3_user_data(ctx));
    const Date d = (*clock)();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                  d.second);
    sqlite3_result_text(ctx, buf, -1, SQLITE_TRANSIENT);
}

} // namespace

bool likeMatch(std::string_view pattern, std::string_view value, char32_t escape)
{
    return matchesLike(compileLike(decode(pattern), escape), value);
}

void registerSqlFunctions(sqlite3* db, const Clock* clock)
{
    const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    int rc = sqlite3_create_collation(db, "NOCASE", SQLITE_UTF8, nullptr, compareNoCase);
    rc = rc ? rc : sqlite3_create_function(db, "tsql_add", 2, pure, nullptr, tsqlAdd, nullptr, nullptr);
    rc = rc ? rc : sqlite3_create_function(db, "like", 2, pure, nullptr, like, nullptr, nullptr);
    rc = rc ? rc : sqlite3_create_function(db, "like", 3, pure, nullptr, like, nullptr, nullptr);
    rc = rc ? rc : sqlite3_create_function(db, "len", 1, pure, nullptr, len, nullptr, nullptr);
    rc = rc ? rc : sqlite3_create_function(db, "tsql_left", 2, pure, nullptr, tsqlLeft, nullptr, nullptr);
    rc = rc ? rc : sqlite3_create_function(db, "tsql_right", 2, pure, nullptr, tsqlRight, nullptr, nullptr);
    rc = rc ? rc
            : sqlite3_create_function(db, "getdate", 0, SQLITE_UTF8, const_cast<Clock*>(clock), getdate, nullptr,
                                      nullptr);
    if (rc != SQLITE_OK)
        throw Error(std::string("No se pudieron registrar las funciones SQL: ") + sqlite3_errmsg(db));
}

} // namespace tesmira::db
