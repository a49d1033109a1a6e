// The screen's statements, built as the screen builds them, run through the dialect layer on
// the demo company: the rows are those SQL Server returns for the same data.
#include "DbTestSupport.h"
#include "ScreenSql.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tesmira::db {
namespace {

using Quantities = std::map<std::string, double>;
constexpr double kNoRow = -1;

class ScreenStatements : public DemoCompany {
protected:
    // Each row's key column → the chosen column's number.
    Quantities byKey(const std::string& sql, const char* key, const char* value)
    {
        Quantities out;
        for (Recordset rs = c.Execute(sql); !rs.Eof(); rs.MoveNext())
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
        {"user bound to another branch", "P0010", "01", {}, {}},
        {"folio that does not exist", "P9999", "", {}, {}},
    };
    for (const auto& k : cases) {
        const std::string sql = screen::pendingLines(k.folio, k.branch);
        EXPECT_EQ(byKey(sql, "Pd_ID", "Pd_Cantidad_1"), k.unit1) << k.name;
        EXPECT_EQ(byKey(sql, "Pd_ID", "Pd_Cantidad_Control_2"), k.control2) << k.name;
    }
}

TEST_F(ScreenStatements, PendingLinesComeInLineOrderWithTheirHeaderData)
{
    EXPECT_EQ(column(c.Execute(screen::pendingLines("P0001")), "Pd_ID"),
              (std::vector<std::string>{"0001", "0002", "0003", "0004", "0005", "0006", "0008"}));
    Recordset rs = c.Execute(screen::pendingLines("P0001"));
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("Es_Cve_Estado").toString(), "AC");
    EXPECT_EQ(rs.Fields("Cl_Cve_Cliente").toString(), "C0001");
    EXPECT_EQ(rs.Fields("Al_Cve_Almacen").toString(), "01") << "a warehouse of digits stays text";
    EXPECT_EQ(rs.Fields("Cv_Controlar_Anticipo_Pedido").toString(), "NO");
    while (!rs.Eof() && rs.Fields("Pd_ID").toString() != "0008")
        rs.MoveNext();
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("Pd_Concepto").toString(), "Flete a bodega Caucel");
}

// The stock-only loader matches deliveries per order line and keeps 'BO' lines.
TEST_F(ScreenStatements, StockOnlyLinesOfAnOrder)
{
    EXPECT_EQ(byKey(screen::stockOnlyLines("P0003"), "Pd_ID", "Pd_Cantidad_1"),
              (Quantities{{"0001", 12}, {"0002", 0}, {"0003", 1}}));
    EXPECT_EQ(c.Execute(screen::stockOnlyLines("P0001")).rowCount(), 8u) << "the BO line comes back here";
    EXPECT_DOUBLE_EQ(byKey(screen::stockOnlyLines("P0001"), "Pd_ID", "Pd_Costo").at("0002"), 65.0);
    Recordset shirt = c.Execute("SELECT Tl_Descripcion, Cl_Descripcion, Pd_Descuento_Global_Importe FROM ("
                                + screen::stockOnlyLines("P0008") + ") x WHERE Pd_ID = '0001'");
    ASSERT_FALSE(shirt.Eof());
    EXPECT_EQ(shirt.Fields("Tl_Descripcion").toString(), "Grande");
    EXPECT_EQ(shirt.Fields("Cl_Descripcion").toString(), "Negro");
    EXPECT_DOUBLE_EQ(shirt.Fields("Pd_Descuento_Global_Importe").toDouble(), 125.0) << "5 % of 2,500";
}

// Blind capture's look-up: only products with something pending, not counting the note on screen.
TEST_F(ScreenStatements, OrderProductLookUp)
{
    EXPECT_EQ(byKey(screen::orderProducts("P0003", ""), "PRODUCTO", "CANTIDAD"),
              (Quantities{{"CAM001", 12}, {"TAL001", 1}}));
    EXPECT_EQ(byKey(screen::orderProducts("P0003", "R0001"), "PRODUCTO", "CANTIDAD"),
              (Quantities{{"ACE001", 2}, {"CAM001", 20}, {"TAL001", 1}}));
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
        Recordset rs = c.Execute(
            screen::pendingLineOfDispatch(k.folio, k.note, k.product, k.size, k.colour, k.line, k.branch));
        EXPECT_EQ(rs.Eof() ? kNoRow : rs.Fields("Pd_Cantidad_1").toDouble(), k.pending) << k.name;
    }
}

// The two sums behind the pending quantity of one product, size and colour, in control unit 1 or 2.
TEST_F(ScreenStatements, OrderedAndDeliveredOfOneProduct)
{
    struct Case {
        const char* name;
        std::string folio, product, size, colour, unit;
        double ordered, delivered;
    };
    const Case cases[] = {
        {"live note counted, cancelled one not", "P0003", "CAM001", "CH", "BL", "1", 20, 8},
        {"control 2 in its own unit", "P0005", "PIN001", "00", "00", "2", 19, 19},
    };
    for (const auto& k : cases) {
        const std::string ordered = "SELECT SUM(Pd_Cantidad_Control_" + k.unit + ") as Cantidad, Pd_Unidad_Control_"
            + k.unit + " as Unidad FROM Pedido WHERE    Pd_Folio = '" + k.folio + "' AND    Tl_Cve_Talla = '"
            + k.size + "' AND    Cl_Cve_Color = '" + k.colour + "' AND    Pr_Cve_Producto = '" + k.product
            + "' AND    Es_Cve_Estado <> 'BA' GROUP BY Pd_Unidad_Control_" + k.unit;
        const std::string delivered = "SELECT SUM(Rm_Cantidad_Control_" + k.unit
            + ") as Cantidad, Rm_Unidad_Control_" + k.unit
            + " as Unidad FROM Remision WHERE    Rm_Tabla = 'PEDIDO' AND    Rm_Documento = '" + k.folio
            + "' AND    Tl_Cve_Talla = '" + k.size + "' AND    Cl_Cve_Color = '" + k.colour
            + "' AND    Pr_Cve_Producto = '" + k.product
            + "' AND    Es_Cve_Estado <> 'BA' and Es_Cve_Estado <> 'CA'GROUP BY Rm_Unidad_Control_" + k.unit;
        EXPECT_DOUBLE_EQ(c.Execute(ordered).Fields("Cantidad").toDouble(), k.ordered) << k.name;
        EXPECT_DOUBLE_EQ(c.Execute(delivered).Fields("Cantidad").toDouble(), k.delivered) << k.name;
    }
}

// Order folio entry: delivery orders, the handheld tables, the finished dispatch.
TEST_F(ScreenStatements, OrderFolioPreChecks)
{
    const auto deliveryOrders = [&](const std::string& folio) {
        return c.Execute("SELECT TOP 1.* FROM Orden_Entrega WHERE Oe_Tabla = 'PEDIDO' AND    Oe_documento = '" + folio
                         + "' AND    Es_Cve_Estado <> 'CA'")
            .rowCount();
    };
    EXPECT_EQ(deliveryOrders("P0002"), 1u) << "live delivery order";
    EXPECT_EQ(deliveryOrders("P0004"), 0u) << "only a cancelled delivery order";
    EXPECT_EQ(deliveryOrders("P0001"), 0u);

    EXPECT_EQ(firstValue(c, "SELECT 'EXISTE'  FROM sysobjects WHERE sysobjects.Name = 'PDA_SALIDA' AND Type = 'U'"),
              "EXISTE");
    EXPECT_EQ(column(c.Execute("SELECT * FROM PDA_Salida WHERE Pd_Folio = 'P0008' AND    Es_Cve_Estado = 'FN' "),
                     "Sa_Folio"),
              (std::vector<std::string>{"S0001"}))
        << "the dispatch still being picked is not taken";
}

TEST_F(ScreenStatements, DispatchLookUpAndLines)
{
    EXPECT_EQ(column(c.Execute(screen::dispatchLookup("01", "02")), "CLAVE"), (std::vector<std::string>{"S0001"}));
    const std::string withOwn = screen::dispatchLookup("01", "02", "S0003");
    EXPECT_EQ(column(c.Execute(withOwn), "CLAVE"), (std::vector<std::string>{"S0001", "S0003"}))
        << "a closed dispatch is offered only when it is the note's own";
    Recordset first = c.Execute(withOwn);
    ASSERT_FALSE(first.Eof());
    EXPECT_EQ(first.Fields("SUCURSAL").toString(), "01 - Matriz Mérida");
    EXPECT_EQ(first.Fields("ALMACEN").toString(), "02 - CEDIS Mérida");

    const std::string lines = screen::dispatchLines("S0001");
    EXPECT_EQ(column(c.Execute(lines), "Ua_Cve_Ubicacion_Almacen"), (std::vector<std::string>{"0101", "0102", "0201"}))
        << "one row per order line, location and lot, by product then location";
    EXPECT_EQ(column(c.Execute(lines), "Sa_Lote"), (std::vector<std::string>{"", "", "L-2601"}));
    EXPECT_EQ(byKey(lines, "Ua_Cve_Ubicacion_Almacen", "Sa_Cantidad_1"),
              (Quantities{{"0101", 6}, {"0102", 4}, {"0201", 6}}));
}

// Calling up a saved note: its rows, whether a live sale and invoice exist, invoiceability.
TEST_F(ScreenStatements, SavedNotesAndTheirInvoices)
{
    EXPECT_EQ(c.Execute("SELECT * FROM Remision WHERE Rm_Folio = 'R0003' and Rm_Tabla = 'PEDIDO' ").rowCount(), 3u);

    struct Case {
        const char* name;
        const char* note;
        bool sold;
        const char* invoice;
        bool invoiceable;
    };
    const Case cases[] = {
        {"invoiced note", "R0003", true, "A0001", false},
        {"sale cancelled: counts as not sold", "R0001", false, "", true},
        {"note in a closed period, never sold", "R0004", false, "", true},
        {"folio of nothing", "R9999", false, "", false},
    };
    for (const auto& k : cases) {
        Recordset sale = c.Execute(screen::invoiceOfNote(k.note));
        ASSERT_EQ(!sale.Eof(), k.sold) << k.name;
        if (k.sold) {
            EXPECT_EQ(sale.Fields("Vn_Folio").toString(), "V0001") << k.name;
            EXPECT_EQ(sale.Fields("FC").toString(), k.invoice) << k.name;
        }
        EXPECT_EQ(!c.Execute(screen::invoiceableNote(k.note)).Eof(), k.invoiceable) << k.name;
    }
}

// Customer header data and the printable delivery address.
TEST_F(ScreenStatements, CustomerAndDeliveryAddress)
{
    Recordset customer = c.Execute("SELECT * FROM Cliente WHERE Cl_Cve_Cliente = 'c0003'");
    ASSERT_FALSE(customer.Eof());
    EXPECT_EQ(customer.Fields("Cl_Descripcion").toString(), "Comercial D'Ávila");

    const auto address = [&](const std::string& customerKey, const std::string& id) {
        Recordset rs = c.Execute("SELECT CASE De_Direccion_1 WHEN '' THEN "
                                 "   De_Calle + ' ' + De_Numero_Interior + ' ' + De_Numero_Exterior +' '+ "
                                 "De_Cruzamiento_1 +' ' + De_Cruzamiento_2 ELSE De_Direccion_1 END AS Domicilio "
                                 "From Direccion_Entrega WHERE De_Tabla = 'CLIENTE' AND De_Documento = '"
                                 + quoted(customerKey) + "' AND De_ID = '" + quoted(id) + "' ");
        return rs.Eof() ? std::string("<none>") : rs.Fields("Domicilio").toString();
    };
    EXPECT_EQ(address("C0001", "0001"), "Calle 60 Local 2 452 x 47 y 49") << "street parts joined by blanks";
    EXPECT_EQ(address("C0001", "0002"), "Periférico Poniente km 12, bodega 4, Mérida, Yuc.");
    EXPECT_EQ(address("C0003", "0001"), "<none>");
}

// Grid validation's look-ups: order line, storage location, stock in the location.
TEST_F(ScreenStatements, LocationAndOrderLineChecks)
{
    Recordset line = c.Execute("SELECT * FROM Pedido WHERE Pd_Folio = 'P0003' AND  Pr_Cve_Producto = 'CAM001' AND Pd_ID = '0001'");
    ASSERT_FALSE(line.Eof());
    EXPECT_DOUBLE_EQ(line.Fields("Pd_Cantidad_1").toDouble(), 20.0);

    const auto location = [&](const std::string& key) {
        Recordset rs = c.Execute("SELECT     Ua_Tipo,    Ua_Producto_Maximo,    Ua_Producto,    Ua_Bloquear "
                                 "FROM Ubicacion_Almacen  WHERE    Sc_Cve_Sucursal = '01' AND "
                                 "   Al_Cve_Almacen = '02' AND    Ua_Cve_Ubicacion_Almacen = '"
                                 + key + "' AND    Es_Cve_Estado <> 'BA' ");
        return rs.Eof() ? std::string("none") : rs.Fields("Ua_Tipo").toString() + "/" + rs.Fields("Ua_Producto").toString()
                + "/" + rs.Fields("Ua_Bloquear").toString();
    };
    EXPECT_EQ(location("0101"), "00//NO");
    EXPECT_EQ(location("0301"), "01/TAL001/NO") << "reserved to one product";
    EXPECT_EQ(location("0901"), "00//SI") << "blocked";
    EXPECT_EQ(location("0902"), "none") << "withdrawn";

    const auto stocked = [&](const std::string& key, const std::string& size, const std::string& colour) {
        return !c.Execute("SELECT Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color FROM Existencia_Ubicacion WHERE "
                          "   Sc_Cve_Sucursal = '01' AND    Al_Cve_Almacen = '02' AND    Ua_Cve_Ubicacion_Almacen = '"
                          + key + "' AND    Pr_Cve_Producto = 'CAM001' AND    Tl_Cve_Talla = '" + size
                          + "' AND    Cl_Cve_Color = '" + colour
                          + "' AND    Ex_Cantidad_Control_1 > 0 AND    Ex_Cantidad_Control_2 > 0 ")
                    .Eof();
    };
    EXPECT_TRUE(stocked("0101", "GD", "NE"));
    EXPECT_FALSE(stocked("0101", "CH", "BL"));
}

// The save's writes: open orders advance, others keep their state; a note's lines are marked invoiced.
TEST_F(ScreenStatements, SaveWritesTouchOnlyTheirRows)
{
    c.BeginTrans();
    const auto advance = [&](const std::string& folio) {
        c.Execute("UPDATE Pedido SET    Es_Cve_Estado = 'RM',    Oper_Ult_Modif = 'ADMIN',    Fecha_Ult_Modif = "
                  "'2026-12-05 10:00:00' WHERE Pd_Folio = '" + folio + "' AND Es_Cve_Estado = 'AC' ");
        return c.rowsAffected();
    };
    EXPECT_EQ(advance("P0001"), 7) << "every open line, not the BO one";
    EXPECT_EQ(advance("P0003"), 0) << "an order already delivered in part keeps its state";
    c.Execute("UPDATE Pedido_Encabezado SET    Pd_Estado_Proceso = Es_Cve_Estado,    Es_Cve_Estado = 'CE', "
              "   Oper_Ult_Modif = 'ADMIN',    Fecha_Ult_Modif = '2026-12-05 10:00:00' WHERE Pd_Folio = 'P0003'");
    Recordset header = c.Execute("SELECT Es_Cve_Estado, Pd_Estado_Proceso, Fecha_Ult_Modif FROM Pedido_Encabezado WHERE Pd_Folio = 'P0003'");
    EXPECT_EQ(header.Fields("Es_Cve_Estado").toString(), "CE");
    EXPECT_EQ(header.Fields("Pd_Estado_Proceso").toString(), "RM");
    EXPECT_EQ(header.Fields("Fecha_Ult_Modif").toDate(), (Date{2026, 12, 5, 10, 0, 0}));

    c.Execute("UPDATE Remision SET    Oper_Ult_Modif = 'ADMIN',    Fecha_Ult_Modif = '2026-12-05 10:00:00', "
              "   Rm_Facturado = 'SI',    Rm_Factura = 'F0001' WHERE Rm_Folio = 'r0001 ' ");
    EXPECT_EQ(c.rowsAffected(), 2) << "both lines of the note, whatever the folio's case and blanks";
    EXPECT_EQ(firstValue(c, "SELECT count(*) FROM Remision WHERE Rm_Factura = 'F0001' AND Rm_Facturado = 'SI'"), "2");
    c.RollbackTrans();
}

// Dimension rows written by the save and read back by folio and document kind.
TEST_F(ScreenStatements, DimensionsOfADocument)
{
    c.Execute("INSERT INTO Documento_Proyecto(Dp_Tabla, Dp_Documento, Py_Cve_Proyecto) Values ('Remision', 'R0006', '0000000002')");
    c.Execute("INSERT INTO Documento_Lectura(Dl_Tabla, Dl_Documento, Dl_Lectura) Values ('Remision', 'R0006', '')");
    Recordset project = c.Execute("SELECT Py_Cve_Proyecto FROM Documento_Proyecto WHERE Dp_Documento = 'R0006' AND "
                                  " Dp_Tabla = 'Remision' AND  Dp_ID = '0000'");
    ASSERT_FALSE(project.Eof()) << "the line ID defaults to '0000'";
    EXPECT_EQ(project.Fields("Py_Cve_Proyecto").toString(), "0000000002");
    EXPECT_EQ(c.Execute("SELECT Cc_Cve_Centro_Costo FROM Documento_Centro_Costo WHERE Dc_Documento = 'P0001' AND Dc_Tabla = 'PEDIDO'")
                  .Fields(size_t{0})
                  .toString(),
              "000001");
    Recordset reading = c.Execute("SELECT Dl_Lectura FROM Documento_Lectura WHERE Dl_Documento = 'R0006'");
    ASSERT_FALSE(reading.Eof()) << "an empty reading is still a row";
    EXPECT_EQ(reading.Fields("Dl_Lectura").toString(), "");
}

TEST_F(ScreenStatements, CatalogueDescriptionInLineOrder)
{
    EXPECT_EQ(column(c.Execute("SELECT Pd_Descripcion FROM Producto_Descripcion WHERE Pr_Cve_Producto = 'CAM001' ORDER BY Pd_ID"),
                     "Pd_Descripcion"),
              (std::vector<std::string>{"Tela piqué 100 % algodón", "Cuello tejido y dos botones",
                                        "Bordado disponible bajo pedido"}));
}

} // namespace
} // namespace tesmira::db
