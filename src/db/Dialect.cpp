#include "db/Dialect.h"

#include "base/Error.h"
#include "base/Text.h"
#include "db/DialectPostgres.h"
#include "db/SqlLexer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>

namespace tesmira::db {

namespace {

using Tokens = std::vector<Token>;

[[noreturn]] void unsupported(const std::string& what, size_t pos)
{
    throw Error("No se puede traducir " + what + " en la posición " + std::to_string(pos + 1));
}

bool isAnyWord(const Token& t, std::initializer_list<std::string_view> words)
{
    // Asked for every token of every statement: most tokens fail on kind or length alone.
    if (t.kind != Token::Kind::Identifier)
        return false;
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view w) { return w.size() == t.text.size() && t.isWord(w); });
}

bool isName(const Token& t) { return t.kind == Token::Kind::Identifier || t.kind == Token::Kind::QuotedIdentifier; }

std::string quote(std::string_view text, char q)
{
    std::string out(1, q);
    for (char c : text) {
        out += c;
        if (c == q)
            out += q;
    }
    return out + q;
}

// Literals stay in the text where SQLite needs a constant or a parameter would change the
// meaning: ORDER BY 2 and GROUP BY 1 are positions, TOP n becomes LIMIT n, CAST(x AS CHAR(10)).
void markInlineLiterals(Tokens& t, bool ddl)
{
    std::vector<bool> inlineAt{false};
    for (size_t i = 0; i < t.size(); ++i) {
        Token& k = t[i];
        const Token* prev = i > 0 ? &t[i - 1] : nullptr;
        if (ddl) {
            k.inlined = k.isLiteral();
        } else if (k.is("(")) {
            bool typeArgs = prev && prev->kind == Token::Kind::Identifier && i >= 2 && t[i - 2].isWord("AS");
            inlineAt.push_back(inlineAt.back() || typeArgs || (prev && prev->isWord("TOP")));
        } else if (k.is(")")) {
            if (inlineAt.size() > 1)
                inlineAt.pop_back();
        } else if ((k.isWord("ORDER") || k.isWord("GROUP")) && i + 1 < t.size() && t[i + 1].isWord("BY")) {
            inlineAt.back() = true;
        } else if (isAnyWord(k, {"SELECT", "FROM", "WHERE", "HAVING", "LIMIT", "UNION", "EXCEPT", "INTERSECT", "ON",
                                 "SET", "VALUES"})) {
            inlineAt.back() = false;
        } else if (k.kind == Token::Kind::String && prev && prev->isWord("AS")) {
            k.kind = Token::Kind::QuotedIdentifier; // SELECT x AS 'Name'
        } else if (k.isLiteral()) {
            k.inlined = inlineAt.back() || (prev && prev->isWord("TOP"));
        }
    }
}

// PostgreSQL compares an expression in the select list with one in GROUP BY by its text: the
// same `isnull(x, 0)` in both must not become two parameters. Its literals stay in the text
// (an unquoted literal is untyped there, as a text parameter would be).
void inlineAllLiterals(Tokens& t)
{
    for (Token& k : t)
        if (k.isLiteral())
            k.inlined = true;
}

Value literalValue(const Token& t)
{
    if (t.kind == Token::Kind::String)
        return Value(t.text);
    if (t.text.find_first_of(".eE") == std::string::npos) {
        int64_t v = 0;
        auto [end, ec] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), v);
        if (ec == std::errc() && end == t.text.data() + t.text.size())
            return Value(v);
    }
    return Value(std::strtod(t.text.c_str(), nullptr));
}

// The parenthesis tree; CASE … END is one node too, so `x + CASE … END` is one operand.
struct Node {
    enum class Kind { Tok, Group, Case };
    Kind kind;
    size_t tok; // the token, the group's '(' or the CASE
    std::vector<Node> kids;
};

class TreeBuilder {
public:
    explicit TreeBuilder(const Tokens& t) : m_t(t) {}

    std::vector<Node> statement()
    {
        auto nodes = sequence(false);
        if (m_i < m_t.size())
            unsupported(m_t[m_i].is(")") ? "un paréntesis de cierre sin abrir" : "END sin CASE", m_t[m_i].pos);
        return nodes;
    }

private:
    std::vector<Node> sequence(bool inCase)
    {
        if (++m_depth > kMaxDepth)
            unsupported("una expresión con más de " + std::to_string(kMaxDepth) + " niveles anidados",
                        m_t[m_i - 1].pos);
        std::vector<Node> nodes;
        while (m_i < m_t.size()) {
            const Token& k = m_t[m_i];
            if (k.is(")") || (k.isWord("END") && inCase))
                break;
            if (k.isWord("END"))
                unsupported("END sin CASE", k.pos);
            const size_t open = m_i++;
            if (k.is("(")) {
                nodes.push_back({Node::Kind::Group, open, sequence(false)});
                if (m_i >= m_t.size() || !m_t[m_i].is(")"))
                    unsupported("un paréntesis sin cerrar", k.pos);
                ++m_i;
            } else if (k.isWord("CASE")) {
                nodes.push_back({Node::Kind::Case, open, sequence(true)});
                if (m_i >= m_t.size() || !m_t[m_i].isWord("END"))
                    unsupported("CASE sin END", k.pos);
                ++m_i;
            } else {
                nodes.push_back({Node::Kind::Tok, open, {}});
            }
        }
        --m_depth;
        return nodes;
    }

    // Deep nesting would exhaust the stack of the recursive rewrite.
    static constexpr int kMaxDepth = 200;
    const Tokens& m_t;
    size_t m_i = 0;
    int m_depth = 0;
};

// LEFT JOIN (SELECT … GROUP BY …) r ON r.c = T.d AND … WHERE T.d = 'x' AND …: SQLite builds the
// whole grouped table before joining and cannot take T.d's value into it, so each run groups
// every row the subquery reads. Adding `c = 'x'` to the subquery's WHERE keeps or drops whole
// groups (c is a grouping column) and drops only rows whose c could never match the join.
// Plain literals only, and nothing where OR, BETWEEN, TOP or a window could change the reading.
struct PushDown {
    bool hasWhere = false;          // the subquery's own WHERE, extended with AND
    std::vector<std::pair<std::vector<size_t>, size_t>> filters; // column tokens, literal token
};
using PushDowns = std::map<size_t, PushDown>; // by the subquery's GROUP token

class PushDownPlanner {
public:
    explicit PushDownPlanner(const Tokens& t) : m_t(t) {}

    PushDowns plan(const std::vector<Node>& n)
    {
        visit(n);
        return std::move(m_result);
    }

private:
    using Range = std::pair<size_t, size_t>;
    struct Ref {
        std::string table, column;
    };

    const Token& tok(const Node& n) const { return m_t[n.tok]; }
    bool isTok(const Node& n) const { return n.kind == Node::Kind::Tok; }
    bool word(const std::vector<Node>& n, size_t k, std::string_view w) const
    {
        return k < n.size() && isTok(n[k]) && tok(n[k]).isWord(w);
    }
    bool nameAt(const std::vector<Node>& n, size_t k) const { return k < n.size() && isTok(n[k]) && isName(tok(n[k])); }
    bool dotAt(const std::vector<Node>& n, size_t k) const { return k < n.size() && isTok(n[k]) && tok(n[k]).is("."); }
    static bool same(std::string_view a, std::string_view b) { return NoCaseEqual{}(a, b); }
    // The next join, not LEFT()/RIGHT() the functions.
    bool joinAt(const std::vector<Node>& n, size_t k) const
    {
        return isTok(n[k]) && isAnyWord(tok(n[k]), {"LEFT", "RIGHT", "INNER", "FULL", "CROSS", "JOIN"})
            && !(k + 1 < n.size() && n[k + 1].kind == Node::Kind::Group);
    }

    void visit(const std::vector<Node>& n)
    {
        for (const Node& k : n)
            if (!k.kids.empty())
                visit(k.kids);
        size_t start = 0;
        for (size_t k = 0; k <= n.size(); ++k) {
            if (k < n.size() && !(isTok(n[k]) && isAnyWord(tok(n[k]), {"UNION", "EXCEPT", "INTERSECT"})))
                continue;
            block(n, start, k);
            start = k + 1;
        }
    }

    // First top-level `word` in [a, b), or b.
    size_t find(const std::vector<Node>& n, size_t a, size_t b, std::initializer_list<std::string_view> words) const
    {
        for (size_t k = a; k < b; ++k)
            if (isTok(n[k]) && isAnyWord(tok(n[k]), words))
                return k;
        return b;
    }

    // The terms of an AND-chain; none when OR or BETWEEN make the chain more than it looks.
    std::vector<Range> conjuncts(const std::vector<Node>& n, size_t a, size_t b) const
    {
        if (find(n, a, b, {"OR", "BETWEEN"}) != b)
            return {};
        std::vector<Range> terms;
        for (size_t k = a, start = a; k <= b; ++k) {
            if (k < b && !word(n, k, "AND"))
                continue;
            terms.emplace_back(start, k);
            start = k + 1;
        }
        return terms;
    }

    // T.d at [a, a+3)
    std::optional<Ref> qualified(const std::vector<Node>& n, size_t a) const
    {
        if (!nameAt(n, a) || !dotAt(n, a + 1) || !nameAt(n, a + 2))
            return std::nullopt;
        return Ref{tok(n[a]).text, tok(n[a + 2]).text};
    }

    void block(const std::vector<Node>& n, size_t a, size_t b)
    {
        const size_t where = find(n, a, b, {"WHERE"});
        if (where == b)
            return;
        const size_t whereEnd = find(n, where + 1, b, {"GROUP", "ORDER", "HAVING", "LIMIT", "OFFSET"});
        std::vector<std::pair<Ref, size_t>> known; // T.d = literal
        for (auto [s, e] : conjuncts(n, where + 1, whereEnd)) {
            auto ref = qualified(n, s);
            // A `?` marker is a value as much as a literal is.
            if (ref && e == s + 5 && isTok(n[s + 3]) && tok(n[s + 3]).is("=") && isTok(n[s + 4])
                && ((tok(n[s + 4]).isLiteral() && !tok(n[s + 4]).inlined) || tok(n[s + 4]).is("?")))
                known.emplace_back(*ref, n[s + 4].tok);
        }
        if (known.empty())
            return;
        for (size_t k = a; k < where; ++k) {
            if (!word(n, k, "LEFT"))
                continue;
            size_t j = k + 1 + (word(n, k + 1, "OUTER") ? 1 : 0);
            if (!word(n, j, "JOIN") || j + 1 >= where || n[j + 1].kind != Node::Kind::Group)
                continue;
            const Node& sub = n[j + 1];
            j += 2 + (word(n, j + 2, "AS") ? 1 : 0);
            if (!nameAt(n, j) || !word(n, j + 1, "ON"))
                continue;
            const std::string alias = tok(n[j]).text;
            size_t onEnd = j + 2;
            while (onEnd < where && !joinAt(n, onEnd))
                ++onEnd;
            for (auto [s, e] : conjuncts(n, j + 2, onEnd)) {
                auto lhs = qualified(n, s), rhs = qualified(n, s + 4);
                if (e != s + 7 || !lhs || !rhs || !isTok(n[s + 3]) || !tok(n[s + 3]).is("="))
                    continue;
                if (same(rhs->table, alias))
                    std::swap(lhs, rhs);
                if (!same(lhs->table, alias) || same(rhs->table, alias))
                    continue;
                for (const auto& [ref, literal] : known)
                    if (same(ref.table, rhs->table) && same(ref.column, rhs->column))
                        pushInto(sub, lhs->column, literal);
            }
        }
    }

    std::vector<Range> items(const std::vector<Node>& n, size_t a, size_t b) const
    {
        std::vector<Range> out;
        for (size_t k = a, start = a; k <= b; ++k) {
            if (k < b && !(isTok(n[k]) && tok(n[k]).is(",")))
                continue;
            out.emplace_back(start, k);
            start = k + 1;
        }
        return out;
    }

    // A bare or qualified column naming `column`: its tokens, else empty.
    std::vector<size_t> plainColumn(const std::vector<Node>& n, Range r, const std::string& column) const
    {
        auto [s, e] = r;
        if (e == s + 1 && nameAt(n, s) && same(tok(n[s]).text, column))
            return {n[s].tok};
        if (e == s + 3 && qualified(n, s) && same(tok(n[s + 2]).text, column))
            return {n[s].tok, n[s + 1].tok, n[s + 2].tok};
        return {};
    }

    void pushInto(const Node& sub, const std::string& column, size_t literal)
    {
        const std::vector<Node>& n = sub.kids;
        const size_t end = n.size();
        if (!word(n, 0, "SELECT")
            || find(n, 0, end, {"UNION", "EXCEPT", "INTERSECT", "TOP", "LIMIT", "OFFSET", "OVER", "INTO"}) != end)
            return;
        const size_t from = find(n, 1, n.size(), {"FROM"});
        const size_t group = find(n, from, n.size(), {"GROUP"});
        if (group == n.size() || !word(n, group + 1, "BY"))
            return;
        const size_t where = find(n, from, group, {"WHERE"});
        if (where < group && find(n, where + 1, group, {"OR"}) != group)
            return;

        // Exactly one select item answers to the name, and it is the column itself.
        std::vector<size_t> selected;
        int named = 0;
        const size_t first = word(n, 1, "DISTINCT") || word(n, 1, "ALL") ? 2 : 1;
        for (Range r : items(n, first, from)) {
            if (r.second > r.first && nameAt(n, r.second - 1) && same(tok(n[r.second - 1]).text, column)) {
                ++named;
                selected = plainColumn(n, r, column);
            }
        }
        if (named != 1 || selected.empty())
            return;
        const size_t groupEnd = find(n, group + 2, n.size(), {"HAVING", "ORDER"});
        bool grouped = false;
        for (Range r : items(n, group + 2, groupEnd)) {
            const auto g = plainColumn(n, r, column);
            if (!g.empty())
                grouped = grouped || g.size() == 1 || selected.size() == 1
                    || same(m_t[g[0]].text, m_t[selected[0]].text);
        }
        if (!grouped)
            return;
        PushDown& p = m_result[n[group].tok];
        p.hasWhere = where < group;
        for (const auto& f : p.filters)
            if (f.first == selected && f.second == literal)
                return;
        p.filters.emplace_back(selected, literal);
    }

    const Tokens& m_t;
    PushDowns m_result;
};

// Text joined with single blanks, none inside parentheses or around a qualifying dot.
class Text {
public:
    Text& operator<<(std::string_view piece)
    {
        if (piece.empty())
            return *this;
        const bool glue = m_s.empty() || m_s.back() == '(' || m_s.back() == '.' || piece == "." || piece == ")"
            || piece == "," || piece.front() == '(';
        if (!glue)
            m_s += ' ';
        m_s += piece;
        return *this;
    }
    std::string str() && { return std::move(m_s); }

private:
    std::string m_s;
};

class Emitter {
public:
    Emitter(const Tokens& t, const std::vector<long>& literalIndex, PushDowns pushDowns, Target target)
        : m_t(t), m_literalIndex(literalIndex), m_pushDowns(std::move(pushDowns)), m_pg(target == Target::Postgres)
    {
    }

    // A query block, a parenthesised list or a CASE body: operands between delimiters.
    std::string sequence(const std::vector<Node>& n)
    {
        ++m_depth;
        std::string text = sequenceText(n);
        --m_depth;
        return text;
    }

    std::vector<long> literalOfParam;

private:
    std::string sequenceText(const std::vector<Node>& n)
    {
        std::set<size_t> skip;
        const std::optional<int64_t> limit = takeTop(n, skip);
        if (m_pg)
            typeLiteralComparisons(n, skip);
        Text out;
        size_t start = 0;
        for (size_t k = 0; k <= n.size(); ++k) {
            if (k < n.size() && !skip.count(k) && !isDelimiter(n, k))
                continue;
            out << region(n, start, k);
            if (k < n.size() && isTok(n[k]))
                out << pushedFilters(n[k].tok);
            if (k < n.size() && !skip.count(k))
                out << token(n[k].tok);
            start = k + 1;
        }
        if (m_pg && m_depth == 1)
            out << groupOrder(n);
        if (limit)
            out << "LIMIT" << std::to_string(*limit);
        return std::move(out).str();
    }

    // SQLite hands grouped rows back in the order of their GROUP BY terms, NULL first, and the
    // screen fills its grid in that order; PostgreSQL hashes groups, so it is asked for it.
    std::string groupOrder(const std::vector<Node>& n)
    {
        auto at = [&](size_t k, std::initializer_list<std::string_view> words) {
            return isTok(n[k]) && isAnyWord(tok(n[k]), words);
        };
        size_t group = n.size();
        for (size_t k = 0; k < n.size(); ++k) {
            if (at(k, {"ORDER", "UNION", "EXCEPT", "INTERSECT", "LIMIT", "DISTINCT"}))
                return {}; // DISTINCT: PostgreSQL orders only by what the select list holds
            if (group == n.size() && at(k, {"GROUP"}) && k + 1 < n.size() && at(k + 1, {"BY"}))
                group = k;
        }
        if (group == n.size())
            return {};
        size_t end = group + 2;
        while (end < n.size() && !at(end, {"HAVING"}))
            ++end;
        Text out;
        out << "ORDER BY";
        for (size_t k = group + 2, start = k; k <= end; ++k) {
            if (k < end && !(isTok(n[k]) && tok(n[k]).is(",")))
                continue;
            out << (start == group + 2 ? "" : ",") << region(n, start, k) << "NULLS FIRST";
            start = k + 1;
        }
        return std::move(out).str();
    }

    const Token& tok(const Node& n) const { return m_t[n.tok]; }
    bool isTok(const Node& n) const { return n.kind == Node::Kind::Tok; }
    bool isGroupAt(const std::vector<Node>& n, size_t k) const
    {
        return k < n.size() && n[k].kind == Node::Kind::Group;
    }

    // SELECT [DISTINCT|ALL] TOP n: the count leaves the text and returns as LIMIT at the block's end.
    std::optional<int64_t> takeTop(const std::vector<Node>& n, std::set<size_t>& skip) const
    {
        std::optional<int64_t> limit;
        for (size_t k = 0; k < n.size(); ++k) {
            if (!isTok(n[k]) || !tok(n[k]).isWord("SELECT"))
                continue;
            size_t j = k + 1;
            if (j < n.size() && isTok(n[j]) && isAnyWord(tok(n[j]), {"DISTINCT", "ALL"}))
                ++j;
            if (j >= n.size() || !isTok(n[j]) || !tok(n[j]).isWord("TOP"))
                continue;
            const size_t pos = tok(n[j]).pos;
            if (limit)
                unsupported("más de un TOP en el mismo bloque de consulta", pos);
            const Node* count = j + 1 < n.size() ? &n[j + 1] : nullptr;
            if (count && count->kind == Node::Kind::Group && count->kids.size() == 1)
                count = &count->kids[0];
            if (!count || !isTok(*count) || tok(*count).kind != Token::Kind::Number)
                unsupported("TOP sin un número", pos);
            const double v = std::strtod(tok(*count).text.c_str(), nullptr);
            if (v != std::floor(v) || v > 1e15)
                unsupported("TOP " + tok(*count).text, pos);
            if (j + 2 < n.size() && isTok(n[j + 2]) && isAnyWord(tok(n[j + 2]), {"PERCENT", "WITH"}))
                unsupported("TOP … " + tok(n[j + 2]).text, tok(n[j + 2]).pos);
            limit = static_cast<int64_t>(v);
            skip.insert({j, j + 1});
        }
        if (!limit)
            return limit;
        for (const Node& node : n)
            if (isTok(node) && isAnyWord(tok(node), {"UNION", "EXCEPT", "INTERSECT", "LIMIT", "OFFSET"}))
                unsupported("TOP junto con " + tok(node).text, tok(node).pos);
        return limit;
    }

    bool isDelimiter(const std::vector<Node>& n, size_t k) const
    {
        if (!isTok(n[k]))
            return false;
        const Token& t = tok(n[k]);
        if (t.kind == Token::Kind::Operator)
            return t.is(",") || t.is("=") || t.is("<>") || t.is("!=") || t.is("<") || t.is(">") || t.is("<=")
                || t.is(">=");
        if (isAnyWord(t, {"LEFT", "RIGHT"}))
            return !isGroupAt(n, k + 1); // LEFT JOIN, not the function
        if (t.isWord("WITH") && isGroupAt(n, k + 1))
            return false; // a table hint, dropped with its operand
        return isAnyWord(t, {"SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "ON", "AS", "GROUP", "ORDER", "BY",
                             "HAVING", "WHEN", "THEN", "ELSE", "IN", "LIKE", "IS", "BETWEEN", "JOIN", "INNER", "FULL",
                             "OUTER", "CROSS", "SET", "VALUES", "INTO", "INSERT", "UPDATE", "DELETE", "DISTINCT", "ALL",
                             "ASC", "DESC", "UNION", "EXCEPT", "INTERSECT", "ESCAPE", "EXISTS", "LIMIT", "OFFSET",
                             "TOP", "USING", "WITH"});
    }

    bool isBinaryPlus(const std::vector<Node>& n, size_t a, size_t k) const
    {
        if (k == a || !isTok(n[k]) || !tok(n[k]).is("+"))
            return false;
        // after an operand; a `?` marker is one too
        return !isTok(n[k - 1]) || tok(n[k - 1]).kind != Token::Kind::Operator || tok(n[k - 1]).is("?");
    }

    // One operand region. Only one holding a binary + is parsed; the rest pass through.
    std::string region(const std::vector<Node>& n, size_t a, size_t b)
    {
        bool plus = false;
        for (size_t k = a; k < b; ++k)
            plus = plus || isBinaryPlus(n, a, k);
        if (!plus)
            return items(n, a, b);

        std::string acc;
        char last = 0;
        size_t q = a;
        for (char op = 0;; op = tok(n[q]).text[0], ++q) {
            const size_t start = q;
            q = term(n, q, b);
            std::string operand = items(n, start, q);
            if (m_pg && q == start + 1 && isTok(n[start]) && tok(n[start]).kind == Token::Kind::String)
                operand += "::bpchar"; // picks tsql_add's text overload, as SQL Server's '+' of two texts
            if (op == 0)
                acc = std::move(operand);
            else if (op == '+')
                acc = "tsql_add(" + acc + ", " + operand + ")";
            else
                acc += " - " + operand;
            last = op;
            if (q >= b || !isTok(n[q]) || !(tok(n[q]).is("+") || tok(n[q]).is("-")))
                break;
        }
        if (last == '+' && !m_pg)
            acc += " COLLATE NOCASE"; // a concatenation groups and compares as its columns would
        if (q + 1 == b && isTok(n[q]) && isName(tok(n[q])))
            return acc + " " + token(n[q].tok); // alias without AS
        if (q < b)
            unsupported("la expresión con '+'", position(n[q]));
        return acc;
    }

    size_t position(const Node& node) const { return tok(node).pos; }

    size_t term(const std::vector<Node>& n, size_t q, size_t b) const
    {
        q = factor(n, q, b);
        while (q < b && isTok(n[q]) && (tok(n[q]).is("*") || tok(n[q]).is("/") || tok(n[q]).is("%")))
            q = factor(n, q + 1, b);
        return q;
    }

    size_t factor(const std::vector<Node>& n, size_t q, size_t b) const
    {
        while (q < b && isTok(n[q]) && (tok(n[q]).is("+") || tok(n[q]).is("-") || tok(n[q]).is("~")))
            ++q;
        if (q >= b)
            unsupported("la expresión con '+' (falta un operando)", position(n[b - 1]));
        if (isTok(n[q])) {
            const Token& t = tok(n[q]);
            if (t.kind == Token::Kind::Operator && !t.is("?"))
                unsupported("el operador '" + t.text + "' junto a '+'", t.pos);
            ++q;
            if (isName(t)) {
                while (q + 1 < b && isTok(n[q]) && tok(n[q]).is(".") && isTok(n[q + 1])
                       && (isName(tok(n[q + 1])) || tok(n[q + 1]).is("*")))
                    q += 2;
                if (isGroupAt(n, q) && q < b)
                    ++q; // function call
            }
        } else {
            ++q;
        }
        if (q + 1 < b && isTok(n[q]) && tok(n[q]).isWord("COLLATE") && isTok(n[q + 1]) && isName(tok(n[q + 1])))
            q += 2;
        return q;
    }

    // Operands as they stand, with the few word-level rewrites.
    std::string items(const std::vector<Node>& n, size_t a, size_t b)
    {
        Text out;
        for (size_t k = a; k < b; ++k) {
            const Node& node = n[k];
            if (node.kind == Node::Kind::Group) {
                out << "(" + sequence(node.kids) + ")";
                continue;
            }
            if (node.kind == Node::Kind::Case) {
                out << "CASE" << sequence(node.kids) << "END";
                continue;
            }
            const Token& t = tok(node);
            if (t.isWord("dbo") && k + 1 < b && isTok(n[k + 1]) && tok(n[k + 1]).is(".")) {
                ++k;
                continue;
            }
            if (t.isWord("WITH") && isGroupAt(n, k + 1) && k + 1 < b && isTableHint(n[k + 1])) {
                ++k;
                continue;
            }
            if (isAnyWord(t, {"LEFT", "RIGHT"}) && isGroupAt(n, k + 1) && k + 1 < b) {
                if (m_pg)
                    out << (t.isWord("LEFT") ? "left" : "right");
                else
                    out << (t.isWord("LEFT") ? "tsql_left" : "tsql_right"); // keywords in SQLite
                continue;
            }
            if (t.isWord("isnull") && isGroupAt(n, k + 1) && k + 1 < b) {
                const Node& args = n[++k];
                const auto commas = std::count_if(args.kids.begin(), args.kids.end(),
                                                  [&](const Node& a) { return isTok(a) && tok(a).is(","); });
                if (commas != 1)
                    unsupported("isnull sin dos argumentos", t.pos);
                if (m_pg)
                    out << "coalesce(" + sequence(args.kids) + ")";
                else
                    out << "ifnull(" + sequence(args.kids) + ")" << "COLLATE NOCASE";
                continue;
            }
            out << token(node.tok);
        }
        return std::move(out).str();
    }

    bool isTableHint(const Node& group) const
    {
        return !group.kids.empty() && std::all_of(group.kids.begin(), group.kids.end(), [&](const Node& k) {
            return isTok(k) && (tok(k).kind == Token::Kind::Identifier || tok(k).is(","));
        });
    }

    std::string token(size_t index)
    {
        const Token& t = m_t[index];
        switch (t.kind) {
        case Token::Kind::Identifier:
            if (t.text[0] == '@' || t.text[0] == '#')
                unsupported("la variable o tabla temporal " + t.text, t.pos);
            if (t.isWord("TOP"))
                unsupported("TOP fuera del inicio de un SELECT", t.pos);
            return m_pg ? postgresWord(index) : t.text;
        case Token::Kind::QuotedIdentifier:
            return m_pg ? postgresName(t.text) : quote(t.text, '"');
        case Token::Kind::String:
            if (t.inlined)
                return quote(t.text, '\'');
            if (!m_pg)
                return parameter(index) + " COLLATE NOCASE";
            return m_typedText.count(index) ? parameter(index) + "::bpchar COLLATE ci" : parameter(index);
        case Token::Kind::Number:
            return t.inlined ? t.text : parameter(index);
        case Token::Kind::Operator:
            if (t.is("?")) // a value the caller binds; a text one compares as a text literal does
                return m_pg ? parameter(index) : parameter(index) + " COLLATE NOCASE";
            if (t.is("!<") || t.is("!>"))
                unsupported("el operador " + t.text, t.pos);
            return t.text;
        }
        return t.text;
    }

    std::string parameter(size_t index)
    {
        literalOfParam.push_back(m_literalIndex[index]);
        return (m_pg ? "$" : "?") + std::to_string(literalOfParam.size());
    }

    // PostgreSQL refuses LIKE on the case-insensitive collation: operators of ours stand in
    // for LIKE and NOT LIKE (see DialectPostgres.h).
    std::string postgresWord(size_t index) const
    {
        const Token& t = m_t[index];
        const bool notBeforeLike = t.isWord("NOT") && index + 1 < m_t.size() && m_t[index + 1].isWord("LIKE");
        if (notBeforeLike)
            return {};
        if (t.isWord("LIKE"))
            return index > 0 && m_t[index - 1].isWord("NOT") ? std::string(kPgNotLike) : std::string(kPgLike);
        if (t.isWord("ESCAPE"))
            unsupported("LIKE … ESCAPE", t.pos);
        return t.text;
    }

    // 'a' = 'A': two literals carry no collation of a column, so they are typed explicitly.
    void typeLiteralComparisons(const std::vector<Node>& n, const std::set<size_t>& skip)
    {
        auto loneText = [&](size_t a, size_t b) {
            return b == a + 1 && isTok(n[a]) && tok(n[a]).kind == Token::Kind::String && !tok(n[a]).inlined;
        };
        std::vector<size_t> cuts{static_cast<size_t>(-1)};
        for (size_t k = 0; k < n.size(); ++k)
            if (!skip.count(k) && isDelimiter(n, k))
                cuts.push_back(k);
        cuts.push_back(n.size());
        for (size_t c = 1; c + 1 < cuts.size(); ++c) {
            const Token& op = tok(n[cuts[c]]);
            if (op.kind != Token::Kind::Operator || op.is(","))
                continue;
            const size_t a = cuts[c - 1] + 1, k = cuts[c], b = cuts[c + 1];
            if (loneText(a, k) && loneText(k + 1, b)) {
                m_typedText.insert(n[a].tok);
                m_typedText.insert(n[k + 1].tok);
            }
        }
    }

    // The filters a push-down adds before the subquery's GROUP BY; the literal binds as a
    // parameter of its own, so the shape still decides the text.
    std::string pushedFilters(size_t group)
    {
        auto p = m_pushDowns.find(group);
        if (p == m_pushDowns.end())
            return {};
        Text out;
        bool where = !p->second.hasWhere;
        for (const auto& [column, literal] : p->second.filters) {
            out << (where ? "WHERE" : "AND");
            where = false;
            for (size_t c : column)
                out << token(c);
            out << "=" << token(literal);
        }
        return std::move(out).str();
    }

    const Tokens& m_t;
    const std::vector<long>& m_literalIndex;
    PushDowns m_pushDowns;
    bool m_pg;
    int m_depth = 0;
    std::set<size_t> m_typedText; // string literals that need an explicit type on PostgreSQL
};

std::string shapeKey(const Tokens& t)
{
    std::string key;
    for (const Token& k : t) {
        key += "iqsno"[static_cast<int>(k.kind)];
        if (k.isLiteral() && !k.inlined) {
            key += '?';
            continue;
        }
        key += std::to_string(k.text.size()) + ':' + k.text;
    }
    return key;
}

} // namespace

const std::vector<Translation>& Dialect::translate(std::string_view tsql)
{
    if (auto seen = m_texts.find(tsql); seen != m_texts.end()) {
        m_hits += seen->second.size();
        return seen->second;
    }
    std::vector<Translation> result = translateText(tsql);
    if (m_texts.size() >= m_capacity)
        m_texts.clear();
    return m_texts.emplace(std::string(tsql), std::move(result)).first->second;
}

std::vector<Translation> Dialect::translateText(std::string_view tsql)
{
    Tokens all = lexTsql(tsql);
    std::vector<Translation> result;
    size_t depth = 0, start = 0;
    for (size_t i = 0; i <= all.size(); ++i) {
        if (i < all.size()) {
            if (all[i].is("("))
                ++depth;
            else if (all[i].is(")") && depth > 0)
                --depth;
            if (!all[i].is(";") || depth > 0)
                continue;
        }
        Tokens t(all.begin() + static_cast<std::ptrdiff_t>(start), all.begin() + static_cast<std::ptrdiff_t>(i));
        start = i + 1;
        if (t.empty())
            continue;
        if (isAnyWord(t[0], {"BEGIN", "COMMIT", "ROLLBACK", "SAVE"}))
            throw Error("Las transacciones se controlan con BeginTrans, CommitTrans y RollbackTrans, no con "
                        + t[0].text + " (posición " + std::to_string(t[0].pos + 1) + ")");
        const bool ddl = isAnyWord(t[0], {"CREATE", "ALTER", "DROP", "PRAGMA", "ATTACH", "DETACH", "VACUUM",
                                          "REINDEX", "ANALYZE"});
        markInlineLiterals(t, ddl);
        if (m_target == Target::Postgres)
            inlineAllLiterals(t);

        Translation tr{shapeKey(t), {}, {}, {}, 0, 0, 0, {}};
        std::vector<Value> literals;
        std::vector<long> literalIndex(t.size(), 0);
        for (size_t k = 0; k < t.size(); ++k) {
            if (t[k].isLiteral() && !t[k].inlined) {
                literalIndex[k] = static_cast<long>(literals.size());
                literals.push_back(literalValue(t[k]));
            } else if (t[k].is("?")) {
                if (tr.markers == 0)
                    tr.firstMarker = t[k].pos;
                literalIndex[k] = -static_cast<long>(++tr.markers);
            }
        }
        auto hit = m_cache.find(tr.key);
        if (hit == m_cache.end()) {
            const std::vector<Node> tree = TreeBuilder(t).statement();
            Emitter emitter(t, literalIndex, PushDownPlanner(t).plan(tree), m_target);
            Entry entry{emitter.sequence(tree), std::move(emitter.literalOfParam), {}, 0, ++m_shapes};
            if (m_target == Target::Postgres)
                entry.columns = resultColumns(t);
            remember(tr.key, std::move(entry));
            hit = m_cache.find(tr.key);
        } else {
            ++m_hits;
        }
        hit->second.lastUse = ++m_clock;
        tr.sql = hit->second.sql;
        tr.shape = hit->second.id;
        tr.columns = hit->second.columns;
        for (long index : hit->second.literalOfParam) {
            if (tr.markers > 0)
                tr.markerOfParam.push_back(index < 0 ? static_cast<int>(-index - 1) : -1);
            tr.params.push_back(index < 0 ? Value() : literals[static_cast<size_t>(index)]);
        }
        result.push_back(std::move(tr));
    }
    return result;
}

void Dialect::remember(const std::string& key, Entry entry)
{
    if (m_cache.size() >= m_capacity && m_capacity > 0) {
        auto oldest = std::min_element(m_cache.begin(), m_cache.end(),
                                       [](const auto& a, const auto& b) { return a.second.lastUse < b.second.lastUse; });
        m_cache.erase(oldest);
    }
    m_cache.emplace(key, std::move(entry));
}

} // namespace tesmira::db
