#pragma once
// A typed value as a database field or a grid cell holds it (an ADO variant, reduced).
// Conversions follow VB's lenient rules: null reads as "" / 0 / false.
#include <compare>
#include <cstdint>
#include <string>
#include <variant>

namespace tesmira {

struct Date {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;

    auto operator<=>(const Date&) const = default;
    // "YYYY-MM-DD HH:MM:SS" (time omitted when midnight), as stored in the database.
    std::string iso() const;
    // Accepts "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS[.fff]]" and the 'T' separator; throws Error otherwise.
    static Date parseIso(std::string_view text);
    Date dateOnly() const { return Date{year, month, day, 0, 0, 0}; }
};

class Value {
public:
    Value() = default;
    Value(int v) : m_v(int64_t{v}) {}
    Value(int64_t v) : m_v(v) {}
    Value(double v) : m_v(v) {}
    Value(bool v) : m_v(int64_t{v ? -1 : 0}) {} // VB's True is -1
    Value(std::string v) : m_v(std::move(v)) {}
    Value(const char* v) : m_v(std::string(v)) {}
    Value(std::string_view v) : m_v(std::string(v)) {}
    Value(Date v) : m_v(v) {}

    bool isNull() const { return m_v.index() == 0; }
    bool isInt() const { return m_v.index() == 1; }
    bool isDouble() const { return m_v.index() == 2; }
    bool isNumber() const { return isInt() || isDouble(); }
    bool isText() const { return m_v.index() == 3; }
    bool isDate() const { return m_v.index() == 4; }

    // Text as VB's CStr would give it (null → "", numbers without exponent where possible).
    std::string toString() const;
    // Number as VB's Val of the text / the number itself; null and non-numeric text → 0.
    double toDouble() const;
    int64_t toInt() const;
    // Non-zero numbers, "true"/"-1"/"1"/"si" texts → true.
    bool toBool() const;
    // Dates, and texts in ISO or dd-mm-yyyy form; anything else throws Error.
    Date toDate() const;

    bool operator==(const Value&) const = default;

private:
    std::variant<std::monostate, int64_t, double, std::string, Date> m_v;
};

} // namespace tesmira
