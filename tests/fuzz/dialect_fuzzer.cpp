// Arbitrary bytes through the T-SQL lexer and rewriter (not SQLite): any input either
// translates or throws tesmira::Error; a cached translation equals a fresh one; every
// parameter of the output has a value.
#include "base/Error.h"
#include "db/Dialect.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

size_t highestParameter(const std::string& sql)
{
    size_t highest = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        if (sql[i] != '?')
            continue;
        size_t n = 0;
        while (i + 1 < sql.size() && sql[i + 1] >= '0' && sql[i + 1] <= '9')
            n = n * 10 + static_cast<size_t>(sql[++i] - '0');
        highest = n > highest ? n : highest;
    }
    return highest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tesmira::db::Dialect fresh(4);
    std::vector<tesmira::db::Translation> first;
    try {
        first = fresh.translate(text);
    } catch (const tesmira::Error&) {
        return 0;
    }
    const auto again = fresh.translate(text); // served from the cache
    if (again.size() != first.size())
        __builtin_trap();
    for (size_t i = 0; i < first.size(); ++i) {
        if (again[i].sql != first[i].sql || !(again[i].params == first[i].params) || again[i].key != first[i].key)
            __builtin_trap();
        // Strings and quoted names may hold '?', so only an output without them is checked exactly.
        if (first[i].sql.find_first_of("'\"") == std::string::npos
            && highestParameter(first[i].sql) != first[i].params.size())
            __builtin_trap();
    }
    return 0;
}
