#pragma once
// What the db tests share: the demo company on a fresh in-memory database, and short reads.
#include "db/Connection.h"
#include "db/Schema.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tesmira::db {

// First column of the first row as text; "<null>" and "<eof>" for the two non-values.
inline std::string firstValue(Connection& c, const std::string& sql)
{
    Recordset rs = c.Execute(sql);
    if (rs.Eof())
        return "<eof>";
    const Value& v = rs.Fields(size_t{0});
    return v.isNull() ? "<null>" : v.toString();
}

// One column of every row, in the order the statement returned them.
inline std::vector<std::string> column(Recordset rs, const char* name)
{
    std::vector<std::string> out;
    for (; !rs.Eof(); rs.MoveNext())
        out.push_back(rs.Fields(name).toString());
    return out;
}

class DemoCompany : public ::testing::Test {
protected:
    void SetUp() override { createDemo(c); }
    TestDatabase db;
    Connection c{db.name()};
};

} // namespace tesmira::db
