#include "db/Dialect.h"

#include "base/Error.h"
#include "db/SqlLexer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
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
    Emitter(const Tokens& t, const std::vector<size_t>& literalIndex) : m_t(t), m_literalIndex(literalIndex) {}

    // A query block, a parenthesised list or a CASE body: operands between delimiters.
    std::string sequence(const std::vector<Node>& n)
    {
        std::set<size_t> skip;
        const std::optional<int64_t> limit = takeTop(n, skip);
        Text out;
        size_t start = 0;
        for (size_t k = 0; k <= n.size(); ++k) {
            if (k < n.size() && !skip.count(k) && !isDelimiter(n, k))
                continue;
            out << region(n, start, k);
            if (k < n.size() && !skip.count(k))
                out << token(n[k].tok);
            start = k + 1;
        }
        if (limit)
            out << "LIMIT" << std::to_string(*limit);
        return std::move(out).str();
    }

    std::vector<size_t> literalOfParam;

private:
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
        return !isTok(n[k - 1]) || tok(n[k - 1]).kind != Token::Kind::Operator;
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
        if (last == '+')
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
            if (t.kind == Token::Kind::Operator)
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
                out << (t.isWord("LEFT") ? "tsql_left" : "tsql_right"); // keywords in SQLite
                continue;
            }
            if (t.isWord("isnull") && isGroupAt(n, k + 1) && k + 1 < b) {
                const Node& args = n[++k];
                const auto commas = std::count_if(args.kids.begin(), args.kids.end(),
                                                  [&](const Node& a) { return isTok(a) && tok(a).is(","); });
                if (commas != 1)
                    unsupported("isnull sin dos argumentos", t.pos);
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
            return t.text;
        case Token::Kind::QuotedIdentifier:
            return quote(t.text, '"');
        case Token::Kind::String:
            return t.inlined ? quote(t.text, '\'') : parameter(index) + " COLLATE NOCASE";
        case Token::Kind::Number:
            return t.inlined ? t.text : parameter(index);
        case Token::Kind::Operator:
            if (t.is("?"))
                unsupported("el marcador de parámetro '?'", t.pos);
            if (t.is("!<") || t.is("!>"))
                unsupported("el operador " + t.text, t.pos);
            return t.text;
        }
        return t.text;
    }

    std::string parameter(size_t index)
    {
        literalOfParam.push_back(m_literalIndex[index]);
        return "?" + std::to_string(literalOfParam.size());
    }

    const Tokens& m_t;
    const std::vector<size_t>& m_literalIndex;
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

std::vector<Translation> Dialect::translate(std::string_view tsql)
{
    if (auto seen = m_texts.find(tsql); seen != m_texts.end()) {
        m_hits += seen->second.size();
        return seen->second;
    }
    std::vector<Translation> result = translateText(tsql);
    if (m_texts.size() >= m_capacity)
        m_texts.clear();
    m_texts.emplace(std::string(tsql), result);
    return result;
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

        Translation tr{shapeKey(t), {}, {}};
        std::vector<Value> literals;
        std::vector<size_t> literalIndex(t.size(), 0);
        for (size_t k = 0; k < t.size(); ++k) {
            if (t[k].isLiteral() && !t[k].inlined) {
                literalIndex[k] = literals.size();
                literals.push_back(literalValue(t[k]));
            }
        }
        auto hit = m_cache.find(tr.key);
        if (hit == m_cache.end()) {
            Emitter emitter(t, literalIndex);
            Entry entry{emitter.sequence(TreeBuilder(t).statement()), std::move(emitter.literalOfParam)};
            remember(tr.key, std::move(entry));
            hit = m_cache.find(tr.key);
        } else {
            ++m_hits;
        }
        hit->second.lastUse = ++m_clock;
        tr.sql = hit->second.sql;
        for (size_t index : hit->second.literalOfParam)
            tr.params.push_back(literals[index]);
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
