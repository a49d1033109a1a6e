// The schema and the demo company: names the screen's statements rely on, declared types,
// defaults, indexes on the folio and line-ID columns, and the demo data's consistency.
#include "DbTestSupport.h"

#include "base/Error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tesmira::db {
namespace {

struct NamedQuery {
    const char* name;
    std::string sql;
};

class Schema : public ::testing::Test {
protected:
    Connection c{":memory:"};
};

// Keys hold digits ("01", "0001") that must come back as text, not as numbers.
TEST_F(Schema, DeclaredTypesGiveTextNumbersAndDates)
{
    c.Execute("INSERT INTO Pedido_Encabezado (Pd_Folio, Pd_Fecha, Sc_Cve_Sucursal, Pd_Total) "
              "VALUES ('0001', '2026-12-05', '01', '12.5')");
    Recordset rs = c.Execute("SELECT Pd_Folio, Pd_Fecha, Sc_Cve_Sucursal, Pd_Total FROM Pedido_Encabezado");
    ASSERT_FALSE(rs.Eof());
    EXPECT_TRUE(rs.Fields("Pd_Folio").isText()) << "a folio of digits must stay text";
    EXPECT_EQ(rs.Fields("Sc_Cve_Sucursal").toString(), "01");
    EXPECT_TRUE(rs.Fields("Pd_Total").isNumber()) << "an amount typed as text must be stored as a number";
    EXPECT_DOUBLE_EQ(rs.Fields("Pd_Total").toDouble(), 12.5);
    ASSERT_TRUE(rs.Fields("Pd_Fecha").isDate()) << "DATETIME columns hand back dates";
    EXPECT_EQ(rs.Fields("Pd_Fecha").toDate(), (Date{2026, 12, 5}));
}

// Unset columns default to '' / 0 / '00', so string '+' and the delivered-quantity joins
// (Rm_Concepto = Pd_Concepto) never meet a NULL.
TEST_F(Schema, UnsetColumnsTakeDefaultsThatJoinAndConcatenate)
{
    c.Execute("INSERT INTO Direccion_Entrega (De_Tabla, De_Documento, De_ID) VALUES ('CLIENTE', 'X1', '0001')");
    Recordset address = c.Execute("SELECT De_Calle + ' ' + De_Numero_Interior + ' ' + De_Numero_Exterior AS D "
                                  "FROM Direccion_Entrega");
    ASSERT_FALSE(address.Eof());
    EXPECT_EQ(address.Fields("D").toString(), "  ");

    c.Execute("INSERT INTO Pedido (Pd_Folio, Pd_ID, Pr_Cve_Producto) VALUES ('X1', '0001', 'A')");
    c.Execute("INSERT INTO Remision (Rm_Folio, Rm_ID, Rm_Documento, Pr_Cve_Producto) VALUES ('R1', '0001', 'X1', 'A')");
    Recordset joined = c.Execute("SELECT Tl_Cve_Talla, Pd_Cantidad_1 FROM Pedido p WHERE EXISTS (SELECT 1 FROM Remision r "
                                 "WHERE r.Rm_Documento = p.Pd_Folio AND r.Rm_Concepto = p.Pd_Concepto "
                                 "AND r.Tl_Cve_Talla = p.Tl_Cve_Talla AND r.Cl_Cve_Color = p.Cl_Cve_Color)");
    ASSERT_FALSE(joined.Eof()) << "default concept, size and colour must match between order and note";
    EXPECT_EQ(joined.Fields("Tl_Cve_Talla").toString(), "00");
    EXPECT_EQ(joined.Fields("Pd_Cantidad_1").toDouble(), 0.0);
}

TEST_F(Schema, RejectsNullKeysAndDuplicateLines)
{
    EXPECT_THROW(c.Execute("INSERT INTO Pedido (Pd_Folio, Pd_ID) VALUES (NULL, '0001')"), Error);
    c.Execute("INSERT INTO Remision (Rm_Folio, Rm_ID) VALUES ('R1', '0001')");
    EXPECT_THROW(c.Execute("INSERT INTO Remision (Rm_Folio, Rm_ID) VALUES ('r1', '0001')"), Error)
        << "line keys compare without regard to case";
}

// A folio or line look-up must not scan its table: notes and orders grow without bound.
TEST_F(Schema, FolioAndLineLookupsUseAnIndex)
{
    const std::vector<NamedQuery> lookups = {
        {"note lines", "SELECT * FROM Remision WHERE Rm_Folio = 'R1' AND Rm_ID = '0001'"},
        {"notes of an order", "SELECT * FROM Remision WHERE Rm_Documento = 'P1' AND Rm_Tabla = 'PEDIDO'"},
        {"note header", "SELECT * FROM Remision_Encabezado WHERE Rm_Folio = 'R1'"},
        {"order lines", "SELECT * FROM Pedido WHERE Pd_Folio = 'P1' AND Pd_ID = '0001'"},
        {"order line by product", "SELECT * FROM Pedido WHERE Pd_Folio = 'P1' AND Pr_Cve_Producto = 'A'"},
        {"order header", "SELECT * FROM Pedido_Encabezado WHERE Pd_Folio = 'P1'"},
        {"delivery orders", "SELECT * FROM Orden_Entrega WHERE Oe_Documento = 'P1'"},
        {"dispatches of an order", "SELECT * FROM PDA_Salida WHERE Pd_Folio = 'P1' AND Es_Cve_Estado = 'FN'"},
        {"dispatch lines", "SELECT * FROM PDA_Salida_Detalle WHERE Sa_Folio = 'S1'"},
        {"sales of a note", "SELECT * FROM Venta WHERE Vn_Documento = 'R1' AND Vn_Tabla = 'REMISION'"},
        {"sale headers of a note", "SELECT * FROM Venta_Encabezado WHERE Vn_Documento = 'R1'"},
        {"sale headers of an order", "SELECT * FROM Venta_Encabezado WHERE Vn_Pedido = 'P1'"},
        {"invoice of a sale", "SELECT * FROM Factura WHERE Fc_Documento = 'V1'"},
        {"stock of a location",
         "SELECT * FROM Existencia_Ubicacion WHERE Sc_Cve_Sucursal = '01' AND Al_Cve_Almacen = '01' "
         "AND Ua_Cve_Ubicacion_Almacen = '0101' AND Pr_Cve_Producto = 'A'"},
        {"stock of a product",
         "SELECT * FROM Existencia WHERE Sc_Cve_Sucursal = '01' AND Al_Cve_Almacen = '01' AND Pr_Cve_Producto = 'A'"},
        {"lots of a line", "SELECT * FROM Lote_Documento WHERE Ld_Tabla = 'Remision' AND Ld_Documento = 'R1'"},
        {"serials of a line", "SELECT * FROM Serie_Documento WHERE Sd_Tabla = 'Remision' AND Sd_Documento = 'R1'"},
        {"extended description",
         "SELECT * FROM Descripcion_Ampliada WHERE Dam_Tabla = 'PEDIDO' AND Dam_Documento = 'P1' AND Dam_ID = '0001'"},
    };
    for (const auto& [name, sql] : lookups) {
        Recordset plan = c.Execute("EXPLAIN QUERY PLAN " + sql);
        std::string details;
        for (; !plan.Eof(); plan.MoveNext())
            details += plan.Fields("detail").toString() + "; ";
        EXPECT_EQ(details.find("SCAN"), std::string::npos) << name << ": " << details;
    }
}

using DemoData = DemoCompany;

// Dangling codes in the demo make roads fail for reasons unrelated to what they show.
TEST_F(DemoData, EveryCodeItUsesExists)
{
    const std::vector<NamedQuery> orphans = {
        {"order line product", "SELECT count(*) FROM Pedido p LEFT JOIN Producto x ON x.Pr_Cve_Producto = p.Pr_Cve_Producto WHERE x.Pr_Cve_Producto IS NULL"},
        {"order line without header", "SELECT count(*) FROM Pedido p LEFT JOIN Pedido_Encabezado h ON h.Pd_Folio = p.Pd_Folio WHERE h.Pd_Folio IS NULL"},
        {"order customer", "SELECT count(*) FROM Pedido_Encabezado p LEFT JOIN Cliente x ON x.Cl_Cve_Cliente = p.Cl_Cve_Cliente WHERE x.Cl_Cve_Cliente IS NULL"},
        {"order warehouse", "SELECT count(*) FROM Pedido_Encabezado p LEFT JOIN Almacen x ON x.Sc_Cve_Sucursal = p.Sc_Cve_Sucursal AND x.Al_Cve_Almacen = p.Al_Cve_Almacen WHERE x.Al_Cve_Almacen IS NULL"},
        {"order condition", "SELECT count(*) FROM Pedido_Encabezado p LEFT JOIN Condicion_Venta x ON x.Cv_Cve_Condicion_Venta = p.Pd_Condicion_Venta WHERE x.Cv_Cve_Condicion_Venta IS NULL"},
        {"order size", "SELECT count(*) FROM Pedido p LEFT JOIN Talla x ON x.Tl_Cve_Talla = p.Tl_Cve_Talla WHERE x.Tl_Cve_Talla IS NULL"},
        {"order colour", "SELECT count(*) FROM Pedido p LEFT JOIN Color x ON x.Cl_Cve_Color = p.Cl_Cve_Color WHERE x.Cl_Cve_Color IS NULL"},
        {"order unit", "SELECT count(*) FROM Pedido p LEFT JOIN Unidad x ON x.Un_Cve_Unidad = p.Pd_Unidad_Control_2 WHERE x.Un_Cve_Unidad IS NULL"},
        {"note line order line", "SELECT count(*) FROM Remision r LEFT JOIN Pedido p ON p.Pd_Folio = r.Rm_Documento AND p.Pd_ID = r.Rm_Documento_ID WHERE p.Pd_ID IS NULL"},
        {"note line without header", "SELECT count(*) FROM Remision r LEFT JOIN Remision_Encabezado h ON h.Rm_Folio = r.Rm_Folio WHERE h.Rm_Folio IS NULL"},
        {"dispatch line order line", "SELECT count(*) FROM PDA_Salida_Detalle d JOIN PDA_Salida s ON s.Sa_Folio = d.Sa_Folio LEFT JOIN Pedido p ON p.Pd_Folio = s.Pd_Folio AND p.Pd_ID = d.Pd_ID WHERE p.Pd_ID IS NULL"},
        {"dispatch location", "SELECT count(*) FROM PDA_Salida_Detalle d LEFT JOIN Ubicacion_Almacen u ON u.Sc_Cve_Sucursal = d.Sc_Cve_Sucursal AND u.Al_Cve_Almacen = d.Al_Cve_Almacen AND u.Ua_Cve_Ubicacion_Almacen = d.Ua_Cve_Ubicacion_Almacen WHERE u.Ua_Cve_Ubicacion_Almacen IS NULL"},
        {"dispatched lot", "SELECT count(*) FROM PDA_Salida_Detalle d LEFT JOIN Existencia_Lote l ON l.Pr_Cve_Producto = d.Pr_Cve_Producto AND l.Lt_Cve_Lote = d.Sa_Lote WHERE d.Sa_Lote <> '' AND l.Lt_Cve_Lote IS NULL"},
        {"invoice sale", "SELECT count(*) FROM Factura f LEFT JOIN Venta_Encabezado v ON v.Vn_Folio = f.Fc_Documento WHERE v.Vn_Folio IS NULL"},
        {"user warehouse", "SELECT count(*) FROM Usuario u LEFT JOIN Almacen a ON a.Sc_Cve_Sucursal = u.Sc_Cve_Sucursal AND a.Al_Cve_Almacen = u.Al_Cve_Almacen WHERE u.Al_Cve_Almacen <> '' AND a.Al_Cve_Almacen IS NULL"},
        {"chosen address", "SELECT count(*) FROM Domicilio_Documento d LEFT JOIN Direccion_Entrega e ON e.De_Tabla = 'CLIENTE' AND e.De_Documento = d.Dd_Clave AND e.De_ID = d.De_ID WHERE e.De_ID IS NULL"},
        {"user right", "SELECT count(*) FROM Derecho_Usuario u LEFT JOIN Derecho d ON d.Dr_Pantalla = u.Dr_Pantalla AND d.Dr_Cve_Derecho = u.Dr_Cve_Derecho WHERE d.Dr_Cve_Derecho IS NULL"},
    };
    for (const auto& [name, sql] : orphans)
        EXPECT_EQ(firstValue(c, sql), "0") << name;
}

// Amounts of order and note lines are derived in the demo script; a broken step would leave
// lines whose net amount is not subtotal plus tax.
TEST_F(DemoData, LineAmountsAddUp)
{
    EXPECT_EQ(firstValue(c, "SELECT count(*) FROM Pedido WHERE abs(Pd_Precio_Neto_Importe - (Pd_Precio_Lista_Importe"
                            " - Pd_Descuento_Importe + Pd_Impuesto_Importe)) > 0.005 OR Pd_Precio_Neto_Importe <= 0"),
              "0");
    EXPECT_EQ(firstValue(c, "SELECT count(*) FROM Remision WHERE abs(Rm_Precio_Neto_Importe - (Rm_Precio_Lista_Importe"
                            " - Rm_Descuento_Importe + Rm_Impuesto_Importe)) > 0.005 OR Rm_Unidad_1 = ''"),
              "0");
    EXPECT_DOUBLE_EQ(c.Execute("SELECT Pd_Precio_Neto_Importe FROM Pedido WHERE Pd_Folio = 'P0001' AND Pd_ID = '0001'")
                         .Fields(size_t{0})
                         .toDouble(),
                     2610.0)
        << "10 × 250 less 10 % plus 16 % tax";
}

TEST_F(DemoData, LoadsOnlyOnce)
{
    Connection fresh{":memory:"};
    createDemo(fresh);
    EXPECT_THROW(createDemo(fresh), Error) << "loading twice must fail on the keys";
    EXPECT_EQ(fresh.Execute("SELECT count(*) FROM Pedido_Encabezado").Fields(size_t{0}).toInt(), 12)
        << "a failed second load leaves the first one intact";
}

} // namespace
} // namespace tesmira::db
