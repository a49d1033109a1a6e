#include "db/DialectPostgres.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

namespace tesmira::db {

namespace {

bool isWordIn(const Token& t, std::initializer_list<std::string_view> words)
{
    return t.kind == Token::Kind::Identifier
        && std::any_of(words.begin(), words.end(), [&](std::string_view w) { return t.isWord(w); });
}

bool isNameToken(const Token& t)
{
    return t.kind == Token::Kind::QuotedIdentifier || (t.kind == Token::Kind::Identifier && !t.isWord("END"));
}

std::string describe(const std::vector<Token>& t, size_t a, size_t b)
{
    const size_t n = b - a;
    if (n == 0)
        return {};
    const Token& last = t[b - 1];
    if (n >= 2 && isNameToken(last) && t[b - 2].isWord("AS"))
        return ResultName::Alias + last.text;
    if (last.is("*"))
        return std::string(1, ResultName::Star);
    if ((n == 1 && isNameToken(last)) || (n == 3 && isNameToken(t[a]) && t[a + 1].is(".") && isNameToken(last)))
        return ResultName::Column + last.text;
    const Token& before = n >= 2 ? t[b - 2] : last;
    if (n >= 2 && isNameToken(last) && !before.is(".")
        && (before.is(")") || before.isLiteral() || isNameToken(before) || before.isWord("END")))
        return ResultName::Alias + last.text; // alias without AS
    return std::string(1, ResultName::Computed);
}

} // namespace

std::vector<std::string> resultColumns(const std::vector<Token>& t)
{
    std::vector<std::string> out;
    if (t.empty() || !t[0].isWord("SELECT"))
        return out;
    size_t i = 1;
    if (i < t.size() && isWordIn(t[i], {"DISTINCT", "ALL"}))
        ++i;
    if (i < t.size() && t[i].isWord("TOP")) {
        ++i;
        if (i < t.size() && t[i].is("("))
            i += 3; // ( n )
        else
            ++i;
        if (i < t.size() && t[i].is("."))
            ++i; // TOP 1.*
    }
    int depth = 0;
    size_t start = i;
    for (; i <= t.size(); ++i) {
        const bool end = i == t.size()
            || (depth == 0
                && isWordIn(t[i], {"FROM", "INTO", "WHERE", "UNION", "EXCEPT", "INTERSECT", "ORDER", "GROUP", "HAVING"}));
        if (end || (depth == 0 && t[i].is(","))) {
            out.push_back(describe(t, start, i));
            start = i + 1;
            if (end)
                break;
            continue;
        }
        if (t[i].is("("))
            ++depth;
        else if (t[i].is(")"))
            --depth;
    }
    return out;
}

std::string postgresName(std::string_view name)
{
    const bool plain = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0]))
        && std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
    if (plain)
        return std::string(name);
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + '"';
}

} // namespace tesmira::db
