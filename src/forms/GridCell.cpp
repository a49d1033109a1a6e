#include "forms/GridCell.h"

#include <limits>
#include <string>

namespace tesmira::forms {

namespace {

struct PackedDate {
    int16_t year;
    int8_t month, day, hour, minute, second;
};

template <class Small>
bool fits(int v)
{
    return v >= std::numeric_limits<Small>::min() && v <= std::numeric_limits<Small>::max();
}

} // namespace

void GridCell::set(Value v)
{
    release();
    if (v.isNull())
        return;
    if (v.isInt())
        return store(v.toInt(), kInt);
    if (v.isDouble())
        return store(v.toDouble(), kDouble);
    if (v.isDate()) {
        const Date d = v.toDate();
        if (fits<int16_t>(d.year) && fits<int8_t>(d.month) && fits<int8_t>(d.day) && fits<int8_t>(d.hour)
            && fits<int8_t>(d.minute) && fits<int8_t>(d.second)) {
            const PackedDate p{static_cast<int16_t>(d.year), static_cast<int8_t>(d.month), static_cast<int8_t>(d.day),
                               static_cast<int8_t>(d.hour), static_cast<int8_t>(d.minute), static_cast<int8_t>(d.second)};
            return store(p, kDate);
        }
    } else {
        std::string text = v.toString();
        if (text.size() <= kInline) {
            std::memcpy(m_bytes, text.data(), text.size());
            m_bytes[kTag] = static_cast<unsigned char>(kText + text.size());
            return;
        }
        v = Value(std::move(text));
    }
    store(std::make_unique<Value>(std::move(v)).release(), kBoxed);
}

Value GridCell::value() const
{
    const unsigned char tag = m_bytes[kTag];
    switch (tag) {
    case kNull:
        return {};
    case kInt:
        return Value(load<int64_t>());
    case kDouble:
        return Value(load<double>());
    case kDate: {
        const auto p = load<PackedDate>();
        return Value(Date{p.year, p.month, p.day, p.hour, p.minute, p.second});
    }
    case kBoxed:
        return *load<Value*>();
    default:
        return Value(std::string_view(reinterpret_cast<const char*>(m_bytes), static_cast<size_t>(tag - kText)));
    }
}

} // namespace tesmira::forms
