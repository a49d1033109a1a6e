// The loaders' statements, run through the dialect layer on the demo company: the rows are
// those SQL Server returns for the same data.
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "../db/TestDatabase.h"
#include "vn003/loading/ConsultasCarga.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tesmira::vn003::consultas {
namespace {

using Quantities = std::map<std::string, double>;
constexpr double kNoRow = -1;

class ScreenStatements : public ::testing::Test {
protected:
    void SetUp() override { db::createDemo(c); }
    db::TestDatabase db;
    db::Connection c{db.name()};

    // Each row's key column → the chosen column's number.
    Quantities byKey(const std::string& sql, const char* key, const char* value)
    {
        Quantities out;
        for (db::Recordset rs = c.Execute(sql); !rs.Eof(); rs.MoveNext())
            out[rs.Fields(key).toString()] = rs.Fields(value).toDouble();
        return out;
    }
};

// Pending quantity = ordered minus what live notes delivered for the same product, size,
// colour and concept; a cancelled note does not count and 'BO' lines never come back.
TEST_F(ScreenStatements, PendingLinesOfAnOrder)
{
    struct Case {
        const char* name;
        std::string folio, branch;
        Quantities unit1, control2;
    };
    const Quantities p0003 = {{"0001", 12}, {"0002", 0}, {"0003", 1}};
    const std::vector<Case> cases = {
        {"partly delivered, cancelled note not counted", "P0003", "", p0003, p0003},
        {"folio typed in lower case with a trailing blank", "p0003 ", "", p0003, p0003},
        {"fresh order without its BO line", "P0001", "",
         {{"0001", 10}, {"0002", 5}, {"0003", 4}, {"0004", 2}, {"0005", 1}, {"0006", 1}, {"0008", 1}},
         {{"0001", 10}, {"0002", 60}, {"0003", 76}, {"0004", 2}, {"0005", 1}, {"0006", 1}, {"0008", 1}}},
        {"user bound to the order's branch", "P0010", "02", {{"0001", 3}}, {{"0001", 3}}},
    };
    for (const auto& k : cases) {
        const std::string sql = pendientesPedido(k.folio, k.branch);
        EXPECT_EQ(byKey(sql, "Pd_ID", "Pd_Cantidad_1"), k.unit1) << k.name;
        EXPECT_EQ(byKey(sql, "Pd_ID", "Pd_Cantidad_Control_2"), k.control2) << k.name;
    }
}

// The stock-only loader matches deliveries per order line and keeps 'BO' lines.
TEST_F(ScreenStatements, StockOnlyLinesOfAnOrder)
{
    EXPECT_EQ(byKey(pendientesSoloExistencia("P0003"), "Pd_ID", "Pd_Cantidad_1"),
              (Quantities{{"0001", 12}, {"0002", 0}, {"0003", 1}}));
    EXPECT_EQ(c.Execute(pendientesSoloExistencia("P0001")).rowCount(), 8u) << "the BO line comes back here";
    EXPECT_DOUBLE_EQ(byKey(pendientesSoloExistencia("P0001"), "Pd_ID", "Pd_Costo").at("0002"), 65.0);
    db::Recordset shirt = c.Execute("SELECT Tl_Descripcion, Cl_Descripcion, Pd_Descuento_Global_Importe FROM ("
                                + pendientesSoloExistencia("P0008") + ") x WHERE Pd_ID = '0001'");
    ASSERT_FALSE(shirt.Eof());
    EXPECT_EQ(shirt.Fields("Tl_Descripcion").toString(), "Grande");
    EXPECT_EQ(shirt.Fields("Cl_Descripcion").toString(), "Negro");
    EXPECT_DOUBLE_EQ(shirt.Fields("Pd_Descuento_Global_Importe").toDouble(), 125.0) << "5 % of 2,500";
}

// A dispatch line's pending quantity: per order line, the note on screen and cancelled notes
// not counted, 'BO' lines and other branches' orders not offered.
TEST_F(ScreenStatements, PendingQuantityOfADispatchedLine)
{
    struct Case {
        const char* name;
        const char *folio, *note, *product, *size, *colour, *line, *branch;
        double pending;
    };
    const Case cases[] = {
        {"live note counted, cancelled one not", "P0003", "", "CAM001", "CH", "BL", "0001", "", 12},
        {"the note on screen is not counted", "P0003", "R0001", "CAM001", "CH", "BL", "0001", "", 20},
        {"another size of the same line", "P0003", "", "CAM001", "GD", "BL", "0001", "", kNoRow},
        {"BO line", "P0001", "", "CEM001", "00", "00", "0007", "", kNoRow},
        {"order of another branch", "P0010", "", "CAM001", "MD", "AZ", "0001", "01", kNoRow},
    };
    for (const auto& k : cases) {
        db::Recordset rs =
            c.Execute(pendienteLineaSalida(k.folio, k.note, k.branch), {k.product, k.size, k.colour, k.line});
        EXPECT_EQ(rs.Eof() ? kNoRow : rs.Fields("Pd_Cantidad_1").toDouble(), k.pending) << k.name;
    }
}

} // namespace
} // namespace tesmira::vn003::consultas
