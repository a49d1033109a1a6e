#include "app/runner/ScriptLine.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace tesmira::app {

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The line without its comment: '#' at the start of a word, outside quotes.
std::string withoutComment(std::string_view text)
{
    bool inQuote = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuote) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inQuote = false;
            continue;
        }
        if (c == '"' && (i == 0 || blank(text[i - 1])))
            inQuote = true;
        else if (c == '#' && (i == 0 || blank(text[i - 1])))
            return std::string(text.substr(0, i));
    }
    return std::string(text);
}

} // namespace

ScriptLine::ScriptLine(std::string_view text)
    : m_text(withoutComment(text))
{
    while (!m_text.empty() && blank(m_text.back()))
        m_text.pop_back();
}

void ScriptLine::skipBlanks()
{
    while (m_pos < m_text.size() && blank(m_text[m_pos]))
        ++m_pos;
}

bool ScriptLine::atEnd() const
{
    size_t p = m_pos;
    while (p < m_text.size() && blank(m_text[p]))
        ++p;
    return p >= m_text.size();
}

std::string ScriptLine::quoted()
{
    std::string out;
    ++m_pos; // opening quote
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos++];
        if (c == '"')
            return out;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (m_pos >= m_text.size())
            break;
        const char e = m_text[m_pos++];
        switch (e) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        default: throw ScriptError(std::string("escape desconocido \\") + e);
        }
    }
    throw ScriptError("falta la comilla de cierre");
}

std::optional<std::string> ScriptLine::optionalWord()
{
    skipBlanks();
    if (m_pos >= m_text.size())
        return std::nullopt;
    if (m_text[m_pos] == '"')
        return quoted();
    const size_t start = m_pos;
    while (m_pos < m_text.size() && !blank(m_text[m_pos]))
        ++m_pos;
    return m_text.substr(start, m_pos - start);
}

std::string ScriptLine::word(const char* what)
{
    auto w = optionalWord();
    if (!w)
        throw ScriptError(std::string("falta ") + what);
    return *w;
}

std::string ScriptLine::rawRest()
{
    skipBlanks();
    std::string out = m_text.substr(m_pos);
    m_pos = m_text.size();
    return out;
}

std::string ScriptLine::rest()
{
    skipBlanks();
    if (m_pos < m_text.size() && m_text[m_pos] == '"') {
        std::string out = quoted();
        end();
        return out;
    }
    return rawRest();
}

int ScriptLine::integer(const char* what)
{
    const std::string w = word(what);
    int v = 0;
    auto [p, ec] = std::from_chars(w.data(), w.data() + w.size(), v);
    if (ec != std::errc() || p != w.data() + w.size())
        throw ScriptError(std::string(what) + " no es un número entero: " + w);
    return v;
}

double ScriptLine::number(const char* what)
{
    const std::string w = word(what);
    char* endp = nullptr;
    const double v = std::strtod(w.c_str(), &endp);
    if (w.empty() || endp != w.c_str() + w.size())
        throw ScriptError(std::string(what) + " no es un número: " + w);
    return v;
}

void ScriptLine::end()
{
    if (!atEnd())
        throw ScriptError("sobra texto: " + m_text.substr(m_pos));
}

std::string ScriptLine::unquote(std::string_view text)
{
    ScriptLine line(text);
    return line.rest();
}

std::string escaped(std::string_view text, std::string_view which)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (which.find(c) == std::string_view::npos) {
            out += c;
            continue;
        }
        out += '\\';
        switch (c) {
        case '\t': out += 't'; break;
        case '\n': out += 'n'; break;
        case '\r': out += 'r'; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace tesmira::app
