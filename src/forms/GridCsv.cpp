#include "forms/GridCsv.h"

#include "forms/Grid.h"

#include <vector>

namespace tesmira::forms {

namespace {

std::string csvField(const std::string& s)
{
    if (s.find_first_of(",\"\r\n") == std::string::npos)
        return s;
    std::string quoted = "\"";
    for (char c : s) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

std::string gridCsv(const Grid& grid)
{
    std::vector<int> columns;
    for (int c = 0; c < grid.columnCount(); ++c)
        if (grid.columnDef(c).visible)
            columns.push_back(c);
    std::string csv;
    auto line = [&](auto&& cellOf) {
        for (size_t i = 0; i < columns.size(); ++i)
            csv += (i ? "," : "") + csvField(cellOf(columns[i]));
        csv += "\r\n";
    };
    line([&](int c) { return grid.columnDef(c).caption; });
    for (int r = 0; r < grid.rowCount(); ++r)
        line([&](int c) { return grid.cellText(r, c); });
    return csv;
}

} // namespace tesmira::forms
