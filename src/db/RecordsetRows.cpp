#include "db/RecordsetRows.h"

#include <algorithm>
#include <cstring>

namespace tesmira::db {

namespace {

// Rows go into blocks of about this size; a row larger than that gets a block of its own.
constexpr size_t kBlock = 64 * 1024;

// A value's first byte: its kind, or for a short text kShortText + its length.
enum : unsigned char { kNull, kInt, kDouble, kDate, kLongText, kShortText };
constexpr size_t kShortMax = 255 - kShortText;

void putVarint(std::string& out, uint64_t v)
{
    while (v >= 0x80) {
        out += static_cast<char>((v & 0x7f) | 0x80);
        v >>= 7;
    }
    out += static_cast<char>(v);
}

uint64_t getVarint(const char*& p)
{
    uint64_t v = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*p++);
        v |= static_cast<uint64_t>(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return v;
    }
}

template <class T>
void putRaw(std::string& out, const T& t)
{
    out.append(reinterpret_cast<const char*>(&t), sizeof t);
}

template <class T>
T getRaw(const char*& p)
{
    T t;
    std::memcpy(&t, p, sizeof t);
    p += sizeof t;
    return t;
}

void putNull(std::string& out) { out += static_cast<char>(kNull); }

void putInt(std::string& out, int64_t v)
{
    // Zig-zag, so small negative numbers stay short too.
    out += static_cast<char>(kInt);
    putVarint(out, (static_cast<uint64_t>(v) << 1) ^ (v < 0 ? ~uint64_t{0} : 0));
}

void putDouble(std::string& out, double v)
{
    out += static_cast<char>(kDouble);
    putRaw(out, v);
}

void putDate(std::string& out, const Date& v)
{
    out += static_cast<char>(kDate);
    putRaw(out, v);
}

void putText(std::string& out, std::string_view v)
{
    if (v.size() <= kShortMax) {
        out += static_cast<char>(kShortText + v.size());
    } else {
        out += static_cast<char>(kLongText);
        putVarint(out, v.size());
    }
    out += v;
}

} // namespace

void packValue(std::string& out, const Value& v)
{
    if (v.isNull())
        putNull(out);
    else if (v.isInt())
        putInt(out, v.toInt());
    else if (v.isDouble())
        putDouble(out, v.toDouble());
    else if (v.isDate())
        putDate(out, v.toDate());
    else
        putText(out, v.toString());
}

Value unpackValue(const char*& p)
{
    const auto tag = static_cast<unsigned char>(*p++);
    switch (tag) {
    case kNull:
        return {};
    case kInt: {
        const uint64_t z = getVarint(p);
        return Value(static_cast<int64_t>((z >> 1) ^ (~(z & 1) + 1)));
    }
    case kDouble:
        return Value(getRaw<double>(p));
    case kDate:
        return Value(getRaw<Date>(p));
    default: {
        const size_t n = tag == kLongText ? getVarint(p) : size_t{tag} - kShortText;
        const std::string_view text(p, n);
        p += n;
        return Value(text);
    }
    }
}

void RecordsetRows::push(const std::vector<Value>& row)
{
    beginRow(row.size());
    for (const Value& v : row)
        packValue(m_row, v);
    endRow();
}

void RecordsetRows::beginRow(size_t columns)
{
    m_row.clear();
    putVarint(m_row, columns);
}

void RecordsetRows::addNull() { putNull(m_row); }
void RecordsetRows::addInt(int64_t v) { putInt(m_row, v); }
void RecordsetRows::addDouble(double v) { putDouble(m_row, v); }
void RecordsetRows::addDate(const Date& v) { putDate(m_row, v); }
void RecordsetRows::addText(std::string_view v) { putText(m_row, v); }

void RecordsetRows::endRow()
{
    if (m_blocks.empty() || m_blocks.back().size() + m_row.size() > m_blocks.back().capacity()) {
        m_blocks.emplace_back();
        m_blocks.back().reserve(std::max(kBlock, m_row.size()));
    }
    m_blocks.back() += m_row;
    ++m_count;
}

bool RecordsetRows::take(std::vector<Value>& row)
{
    if (m_count == 0)
        return false;
    if (m_offset == m_blocks.front().size()) {
        m_blocks.pop_front();
        m_offset = 0;
    }
    const std::string& block = m_blocks.front();
    const char* p = block.data() + m_offset;
    row.resize(getVarint(p));
    for (Value& v : row)
        v = unpackValue(p);
    m_offset = static_cast<size_t>(p - block.data());
    if (--m_count == 0) {
        m_blocks.clear();
        m_offset = 0;
    }
    return true;
}

} // namespace tesmira::db
