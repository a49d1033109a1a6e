#include "db/SqlLexer.h"

#include "base/Error.h"

#include <cctype>

namespace tesmira::db {

namespace {

bool isIdentStart(unsigned char c) { return std::isalpha(c) || c == '_' || c == '@' || c == '#' || c >= 0x80; }
bool isIdentChar(unsigned char c) { return isIdentStart(c) || std::isdigit(c) || c == '$'; }
bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

[[noreturn]] void fail(std::string_view what, size_t pos)
{
    throw Error(std::string(what) + " en la posición " + std::to_string(pos + 1));
}

// Reads a body closed by `close`, where a doubled `close` stands for itself.
std::string readQuoted(std::string_view sql, size_t& i, char close, std::string_view what)
{
    const size_t start = i;
    std::string text;
    ++i;
    for (;;) {
        if (i >= sql.size())
            fail(std::string(what) + " sin cerrar", start);
        if (sql[i] == close) {
            if (i + 1 < sql.size() && sql[i + 1] == close) {
                text += close;
                i += 2;
                continue;
            }
            ++i;
            return text;
        }
        text += sql[i++];
    }
}

} // namespace

bool Token::isWord(std::string_view word) const
{
    if (kind != Kind::Identifier || text.size() != word.size())
        return false;
    // Keywords are ASCII; comparing inline keeps the per-statement keyword scan off libc.
    auto upper = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 'a' && u <= 'z' ? u - ('a' - 'A') : u;
    };
    for (size_t i = 0; i < word.size(); ++i)
        if (upper(text[i]) != upper(word[i]))
            return false;
    return true;
}

std::vector<Token> lexTsql(std::string_view sql)
{
    std::vector<Token> tokens;
    tokens.reserve(sql.size() / 6);
    size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        const size_t start = i;
        const char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '-' && next == '-') {
            while (i < sql.size() && sql[i] != '\n')
                ++i;
        } else if (c == '/' && next == '*') {
            int depth = 0;
            do {
                if (i + 1 >= sql.size())
                    fail("Comentario sin cerrar", start);
                if (sql[i] == '/' && sql[i + 1] == '*') {
                    ++depth;
                    i += 2;
                } else if (sql[i] == '*' && sql[i + 1] == '/') {
                    --depth;
                    i += 2;
                } else {
                    ++i;
                }
            } while (depth > 0);
        } else if (c == '\'' || ((c == 'N' || c == 'n') && next == '\'')) {
            if (c != '\'')
                ++i;
            tokens.push_back({Token::Kind::String, readQuoted(sql, i, '\'', "Texto"), start});
        } else if (c == '[') {
            tokens.push_back({Token::Kind::QuotedIdentifier, readQuoted(sql, i, ']', "Nombre entre corchetes"), start});
        } else if (c == '"') {
            tokens.push_back({Token::Kind::QuotedIdentifier, readQuoted(sql, i, '"', "Nombre entre comillas"), start});
        } else if (isDigit(c) || (c == '.' && isDigit(next))) {
            while (i < sql.size() && isDigit(sql[i]))
                ++i;
            if (i < sql.size() && sql[i] == '.') {
                ++i;
                while (i < sql.size() && isDigit(sql[i]))
                    ++i;
            }
            // An exponent only when digits follow; otherwise the letter starts the next token.
            if (i < sql.size() && (sql[i] == 'e' || sql[i] == 'E')) {
                size_t j = i + 1;
                if (j < sql.size() && (sql[j] == '+' || sql[j] == '-'))
                    ++j;
                if (j < sql.size() && isDigit(sql[j])) {
                    i = j;
                    while (i < sql.size() && isDigit(sql[i]))
                        ++i;
                }
            }
            tokens.push_back({Token::Kind::Number, std::string(sql.substr(start, i - start)), start});
        } else if (isIdentStart(static_cast<unsigned char>(c))) {
            while (i < sql.size() && isIdentChar(static_cast<unsigned char>(sql[i])))
                ++i;
            tokens.push_back({Token::Kind::Identifier, std::string(sql.substr(start, i - start)), start});
        } else {
            static constexpr std::string_view twoChar[] = {"<>", "!=", "<=", ">=", "!<", "!>", "||"};
            std::string_view op = sql.substr(i, 1);
            for (auto two : twoChar)
                if (sql.substr(i, 2) == two)
                    op = two;
            if (op.size() == 1 && std::string_view("(),.;+-*/%=<>&|^~?").find(c) == std::string_view::npos)
                fail("Carácter no válido '" + std::string(1, c) + "'", start);
            i += op.size();
            tokens.push_back({Token::Kind::Operator, std::string(op), start});
        }
    }
    return tokens;
}

} // namespace tesmira::db
