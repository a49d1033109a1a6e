#pragma once
// One grid cell in 16 bytes: a 20,000-row note has over a million of them. Numbers, dates and
// texts of up to 15 bytes are held in place; anything longer (a description) is kept in a
// Value of its own on the heap. A cell answers the Value it was given, unchanged.
#include "base/Value.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace tesmira::forms {

class GridCell {
public:
    GridCell() noexcept { m_bytes[kTag] = kNull; }
    ~GridCell() { release(); }
    GridCell(const GridCell&) = delete;
    GridCell& operator=(const GridCell&) = delete;

    void set(Value v);
    Value value() const;
    bool isNull() const { return m_bytes[kTag] == kNull; }

private:
    static constexpr size_t kTag = 15;
    static constexpr size_t kInline = 15;
    enum : unsigned char { kNull, kInt, kDouble, kDate, kBoxed, kText = 16 }; // kText + length

    template <class T>
    T load() const
    {
        T t;
        std::memcpy(&t, m_bytes, sizeof t);
        return t;
    }
    template <class T>
    void store(const T& t, unsigned char tag)
    {
        std::memcpy(m_bytes, &t, sizeof t);
        m_bytes[kTag] = tag;
    }
    void release()
    {
        if (m_bytes[kTag] == kBoxed)
            std::unique_ptr<Value>(load<Value*>()); // takes the box back, and frees it
        m_bytes[kTag] = kNull;
    }

    alignas(8) unsigned char m_bytes[16];
};

static_assert(sizeof(GridCell) == 16);

} // namespace tesmira::forms
