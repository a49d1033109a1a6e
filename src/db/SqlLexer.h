#pragma once
// Tokens of a T-SQL statement as SQL Server reads them: '' inside strings, N'…', […] names,
// nested /* */ comments, and a number ends before a letter ("top 1Fc_Factura", "TOP 1.*").
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tesmira::db {

struct Token {
    enum class Kind { Identifier, QuotedIdentifier, String, Number, Operator };
    Kind kind;
    std::string text; // identifiers and operators as written; strings and quoted names unquoted
    size_t pos = 0;   // byte offset in the statement, for error messages
    bool inlined = false; // a literal that must stay in the text (ORDER BY, GROUP BY, TOP…)

    bool is(std::string_view op) const { return kind == Kind::Operator && text == op; }
    // Case-insensitive keyword test; quoted names are never keywords.
    bool isWord(std::string_view word) const;
    bool isLiteral() const { return kind == Kind::String || kind == Kind::Number; }
};

// Throws Error naming the position of an unterminated string, name or comment, or an unknown character.
std::vector<Token> lexTsql(std::string_view sql);

} // namespace tesmira::db
