#pragma once
// One line of a vn003-script: words, a "quoted string" with \" \\ \r \n escapes, or the rest
// of the line as TEXT. A '#' that starts a word outside quotes starts a comment.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tesmira::app {

// A line the runner cannot understand: the script is wrong, not the screen.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ScriptLine {
public:
    explicit ScriptLine(std::string_view text);

    bool atEnd() const;
    // The next word (or quoted string); throws ScriptError naming what was expected.
    std::string word(const char* what);
    std::optional<std::string> optionalWord();
    // The rest of the line, blanks around it dropped; a quoted string is unescaped and must
    // end the line. Empty at the end of the line.
    std::string rest();
    // The rest unparsed (quotes kept), for commands that split it themselves.
    std::string rawRest();
    int integer(const char* what);
    double number(const char* what);
    // Throws ScriptError when anything is left.
    void end();

    // Unescapes TEXT when it is one quoted string; other text is answered as it stands.
    static std::string unquote(std::string_view text);

private:
    void skipBlanks();
    std::string quoted();

    std::string m_text;
    size_t m_pos = 0;
};

// Writes each character of `which` (among backslash, quote, tab, CR, LF) as its escape.
std::string escaped(std::string_view text, std::string_view which);
// Escapes tab, CR, LF and backslash so a value stays on its line (as the TSV output does).
inline std::string escapeCell(std::string_view text) { return escaped(text, "\t\n\r\\"); }

} // namespace tesmira::app
