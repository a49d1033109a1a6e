// The per-command host classes: addresses, credit, lots, serial numbers, printing, the
// document service and the shell's calling object.
#include "DemoHost.h"

#include "base/Error.h"
#include "host/services/CreditoCliente.h"
#include "host/services/DomicilioEntrega.h"
#include "host/output/Impresion.h"
#include "host/services/Lotes.h"
#include "host/services/PadreShell.h"
#include "host/services/Series.h"
#include "host/output/ServicioDocumento.h"

#include <fstream>
#include <iterator>

namespace tesmira::host::prueba {
namespace {

class DocumentosTest : public DemoHost {
protected:
    static std::string lee(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

// Saving replaces; an unknown address is refused unchanged; "0000" removes the record. An
// address recorded for another customer reads "0000".
TEST_F(DocumentosTest, GrabaDomicilioDocumento)
{
    DomicilioEntrega d(*entorno);
    EXPECT_EQ(d.DomicilioDocumento("PEDIDO", "P0001", "Cliente", "C0002"), "0000");
    const std::string guardado = "SELECT De_ID FROM Domicilio_Documento WHERE Dd_Tabla = 'Remision' AND "
                                 "Dd_Documento = 'R0099'";
    ASSERT_TRUE(d.GrabaDomicilioDocumento("Remision", "R0099", "Cliente", "C0001", "0002")) << d.UltimoError();
    EXPECT_EQ(dato(guardado), "0002");
    ASSERT_TRUE(d.GrabaDomicilioDocumento("Remision", "R0099", "Cliente", "C0001", "0001"));
    EXPECT_EQ(dato(guardado), "0001") << "saving again replaces";
    EXPECT_FALSE(d.GrabaDomicilioDocumento("Remision", "R0099", "Cliente", "C0001", "0009"));
    EXPECT_NE(d.UltimoError().find("0009"), std::string::npos) << d.UltimoError();
    EXPECT_EQ(dato(guardado), "0001") << "a refused address changes nothing";
    ASSERT_TRUE(d.GrabaDomicilioDocumento("Remision", "R0099", "Cliente", "C0001", "0000"));
    EXPECT_EQ(dato(guardado), "<sin filas>") << "no address removes the record";
}

// Guards the rule: limit - open balance - active notes not invoiced (local currency).
TEST_F(DocumentosTest, CreditoDisponible)
{
    CreditoCliente c(*entorno);
    // C0002: R0001 (2,320 + 2,227.20), R0004 (870) and R0005 (870); R0002 is cancelled.
    EXPECT_NEAR(c.CreditoDisponible("C0002"), -6287.2, 1e-6);
    EXPECT_DOUBLE_EQ(c.CreditoDisponible("C9999"), 0);
}

// Lots offered first to expire first; a lot short of the quantity or not on hand is refused.
// Several lots of one document line are joined with "|".
TEST_F(DocumentosTest, SeleccionaLote)
{
    conexion->Execute("INSERT INTO Lote_Documento (Ld_Tabla, Ld_Documento, Ld_ID, Lt_Cve_Lote) "
                      "VALUES ('PEDIDO', 'P0008', '0002', 'L-2603')");
    Lotes lotes(*entorno);
    EXPECT_EQ(lotes.LoteDocumento("PEDIDO", "P0008", "0002"), "L-2601|L-2603");
    EXPECT_EQ(lotes.LoteDocumento("Remision", "R0003", "0001"), "");
    const LotesDocumento pedido(lotes, "PEDIDO", "P0008"); // read once, each line as asked alone
    for (const char* id : {"0002", "0002 ", "0001", "9999"})
        EXPECT_EQ(pedido.lote(id), lotes.LoteDocumento("PEDIDO", "P0008", id)) << id;
    lotes.Producto = "PIN001";
    lotes.Talla = "00";
    lotes.Color = "00";
    lotes.Cantidad1 = 4;
    std::string actual = "L-2601";
    const OpcionesLote almacen01{.sucursal = "01", .almacen = "01"};

    EXPECT_EQ(lotes.SeleccionaLote(almacen01, actual), "L-2601") << "cancelled";
    EXPECT_EQ(lotes.Cantidad1, 4) << "cancelled: the quantities stay";
    ASSERT_EQ(dialogos.ultimaLista().filas.size(), 2u);
    EXPECT_EQ(dialogos.ultimaLista().filas[0][0], "L-2601") << "first to expire first";
    EXPECT_EQ(dialogos.ultimaLista().filas[0][1], "30-06-2027");

    dialogos.respuestaLote({"L-2602", 2, 0});
    EXPECT_EQ(lotes.SeleccionaLote(almacen01, actual), "L-2602");
    EXPECT_EQ(actual, "L-2602");
    EXPECT_DOUBLE_EQ(lotes.Cantidad1, 2);
    EXPECT_DOUBLE_EQ(lotes.Cantidad2, 38) << "2 of 5 cubetas holding 95 L";

    dialogos.respuestaLote({"L-2601", 9, 0});
    EXPECT_EQ(lotes.SeleccionaLote(almacen01, actual), "L-2602") << "more than the lot holds";
    dialogos.respuestaLote({"L-9999", 1, 1});
    EXPECT_EQ(lotes.SeleccionaLote(almacen01, actual), "L-2602") << "a lot not on hand";
    EXPECT_FALSE(lotes.UltimoError().empty());
    EXPECT_THROW(lotes.SeleccionaLote({.modo = 2, .sucursal = "01", .almacen = "01"}, actual), Error);
}

// Only serials on hand in the filter's warehouse (or location table) are taken.
TEST_F(DocumentosTest, SeleccionaSerie)
{
    Series series(*entorno);
    series.Producto = "TAL001";
    const std::string filtro = "Existencia_Serie.Sc_Cve_Sucursal='01'\r\nExistencia_Serie.Al_Cve_Almacen ='01'\r\n"
                               "Existencia_Serie.Pr_Cve_Producto ='TAL001'";
    std::string actual;
    EXPECT_EQ(series.SeleccionaSerie(1, actual, "", filtro), "") << "cancelled";
    EXPECT_EQ(dialogos.ultimaLista().filas.size(), 4u) << "TAL-0005 was sold";

    dialogos.respuestaSerie({"TAL-0003", 0});
    EXPECT_EQ(series.SeleccionaSerie(1, actual, "", filtro), "TAL-0003");
    EXPECT_EQ(series.Cantidad, 1);

    dialogos.respuestaSerie({"TAL-0101", 1});
    EXPECT_EQ(series.SeleccionaSerie(1, actual, "", filtro), "TAL-0003") << "a serial of another warehouse";

    const std::string porUbicacion = "Existencia_Ubicacion_Serie.Sc_Cve_Sucursal='01'\r\n"
                                     "Existencia_Ubicacion_Serie.Al_Cve_Almacen ='02'\r\n"
                                     "Existencia_Ubicacion_Serie.Pr_Cve_Producto ='TAL001'";
    dialogos.respuestaSerie({"TAL-0102", 1});
    EXPECT_EQ(series.SeleccionaSerie(1, actual, "EXISTENCIA_UBICACION_SERIE", porUbicacion), "TAL-0102");
    EXPECT_EQ(dialogos.ultimaLista().filas.size(), 2u);
    EXPECT_THROW(series.SeleccionaSerie(1, actual, "Cliente", ""), Error);
}

// The printed note carries header, lines and total; an empty folio prints a blank form.
// A description wider than its column is cut to whole characters, the column kept.
TEST_F(DocumentosTest, ImprimeLaRemision)
{
    conexion->Execute("UPDATE Remision SET Rm_Descripcion = 'Tubería de cobre rígido, ñandú, cañón y más' "
                      "WHERE Rm_Folio = 'R0001' AND Rm_ID = '0002'");
    Impresion impresion(*entorno);
    ASSERT_TRUE(impresion.Imprime("REMISION", "R0001")) << impresion.UltimoError();
    const std::string texto = lee(impresion.UltimoArchivo());
    EXPECT_NE(impresion.UltimoArchivo().find("REMISION_R0001.txt"), std::string::npos) << impresion.UltimoArchivo();
    for (const char* esperado : {"Remisión R0001", "Distribuidora Tesmira", "C0002 Constructora Peninsular",
                                 "Calle 7 x 20 y 22", "CAM001", "ACE001", "4,547.20", "Pedido: P0003",
                                 "ACE001    Tubería de cobre rígido, ñandú, cañón  "})
        EXPECT_NE(texto.find(esperado), std::string::npos) << esperado << "\n" << texto;

    ASSERT_TRUE(impresion.Imprime("", ""));
    EXPECT_NE(impresion.UltimoArchivo().find("REMISION_blanco.txt"), std::string::npos);
    EXPECT_NE(lee(impresion.UltimoArchivo()).find("Total:"), std::string::npos) << "an empty form";

    EXPECT_FALSE(impresion.Imprime("REMISION", "R9999"));
    EXPECT_FALSE(impresion.Imprime("NOEXISTE", "R0001"));
    EXPECT_FALSE(impresion.UltimoError().empty());
}

// A lot's expiry date is the stock's of the first warehouse in key order holding it, even an
// empty one; warehouses no branch has are not looked at. A large lot stock prints the same.
TEST_F(DocumentosTest, ImprimeLotesDeVariosAlmacenes)
{
    conexion->Execute("INSERT INTO Lote_Documento (Ld_Tabla, Ld_Documento, Ld_ID, Lt_Cve_Lote, Pr_Cve_Producto, "
                      "Ld_Cantidad_Control_1) VALUES ('Remision', 'R0003', '0002', 'l-2601', 'pin001 ', 2), "
                      "('Remision', 'R0003', '0002', 'L-2603', 'PIN001', 3), ('Remision', 'R0003', '0002', 'L-2604', 'PIN001', 1)");
    conexion->Execute("INSERT INTO Existencia_Lote (Sc_Cve_Sucursal, Al_Cve_Almacen, Pr_Cve_Producto, Lt_Cve_Lote, "
                      "Lt_Fecha_Caducidad) VALUES ('01', '00', 'PIN001', 'L-2601', '2020-01-01'), ('02', '03', 'PIN001', "
                      "'L-2603', '2029-03-31'), ('02', '01', 'PIN001', 'L-2603', NULL)");
    Impresion impresion(*entorno);
    ASSERT_TRUE(impresion.Imprime("REMISION", "R0003")) << impresion.UltimoError();
    const std::string texto = lee(impresion.UltimoArchivo());
    for (const char* esperado : {"Lote l-2601: 2  caducidad 30-06-2027\n", "Lote L-2602: 1  caducidad 30-09-2027\n",
                                 "Lote L-2603: 3\n", "Lote L-2604: 1\n"})
        EXPECT_NE(texto.find(esperado), std::string::npos) << esperado << "\n" << texto;
    for (int i = 0; i < 40; ++i)
        conexion->Execute("INSERT INTO Existencia_Lote (Sc_Cve_Sucursal, Al_Cve_Almacen, Pr_Cve_Producto, Lt_Cve_Lote) "
                          "VALUES ('01', '01', 'AAA', 'R-" + std::to_string(i) + "')");
    ASSERT_TRUE(impresion.Imprime("REMISION", "R0003")) << impresion.UltimoError();
    EXPECT_EQ(lee(impresion.UltimoArchivo()), texto);
}

// Receipts arrive joined with "@"; a document is named "table|folio".
TEST_F(DocumentosTest, ImprimeFacturaRecibosYDocumentos)
{
    Impresion impresion(*entorno);
    ASSERT_TRUE(impresion.Imprime("FACTURA", "A0001")) << impresion.UltimoError();
    EXPECT_NE(lee(impresion.UltimoArchivo()).find("Venta: V0001"), std::string::npos);

    conexion->Execute("UPDATE Factura SET Fc_Recibo_Pago = 'RP0001|RP0002' WHERE Fc_Factura = 'A0001'");
    ASSERT_TRUE(impresion.Imprime("RECIBO_PAGO", "RP0001@RP0002")) << impresion.UltimoError();
    const std::string recibos = lee(impresion.UltimoArchivo());
    EXPECT_NE(recibos.find("Recibo de pago RP0001"), std::string::npos) << recibos;
    EXPECT_NE(recibos.find("Recibo de pago RP0002"), std::string::npos) << recibos;

    // Two promissory notes over 45 days of credit: the total split, the last due on the last day.
    conexion->Execute("UPDATE Condicion_Venta SET Cv_Dias_Credito = 45 WHERE Cv_Cve_Condicion_Venta = '02'");
    conexion->Execute("UPDATE Factura SET Fc_Pagares = 'A0001-P1|A0001-P2', Fc_Total = 100.01 WHERE Fc_Factura = 'A0001'");
    ASSERT_TRUE(impresion.Imprime("PAGARE", "A0001-P2")) << impresion.UltimoError();
    const std::string pagare = lee(impresion.UltimoArchivo());
    for (const char* esperado : {"Pagaré A0001-P2", "Número: 2 de 2", "Vencimiento: 10-01-2027", "$50.01 MXN",
                                 "Acepto: Ferretería El Martillo, S.A. de C.V."})
        EXPECT_NE(pagare.find(esperado), std::string::npos) << esperado << "\n" << pagare;

    ASSERT_TRUE(impresion.ImprimeDocumento("Factura|A0001")) << impresion.UltimoError();
    EXPECT_NE(impresion.UltimoArchivo().find("FACTURA_A0001.txt"), std::string::npos);
    EXPECT_FALSE(impresion.ImprimeDocumento("sin separador"));
    EXPECT_FALSE(impresion.ImprimeDocumento("Cliente|C0001"));

    impresion.MuestraTexto("Entrega parcial", "Remisión");
    ASSERT_EQ(dialogos.textosMostrados().size(), 1u);
    EXPECT_EQ(dialogos.textosMostrados()[0], "Entrega parcial");
}

// The service logs the hand-over; an unknown note, an empty folio or SQL in the table name
// is refused.
TEST_F(DocumentosTest, ServicioDocumentoRegistraLaEntrega)
{
    ServicioDocumento servicio(*entorno);
    ASSERT_TRUE(servicio.Ejecuta("Remision", "Rm_Folio", "R0001")) << servicio.UltimoError();
    EXPECT_EQ(dato("SELECT Bd_Accion + '|' + Oper_Ult_Modif + '|' + Fecha_Ult_Modif FROM Bitacora_Documento "
                   "WHERE Bd_Tabla = 'Remision' AND Bd_Documento = 'R0001'"),
              "SERVICIO|ADMIN|2026-12-05 10:30:00");
    EXPECT_FALSE(servicio.Ejecuta("Remision", "Rm_Folio", "R9999")) << "an unknown note";
    EXPECT_FALSE(servicio.Ejecuta("Remision", "Rm_Folio", ""));
    EXPECT_FALSE(servicio.Ejecuta("Remision WHERE 1=1; --", "Rm_Folio", "R0001"));
    EXPECT_EQ(dato("SELECT COUNT(*) FROM Bitacora_Documento WHERE Bd_Accion = 'SERVICIO'"), "1");
}

// Nothing is signed without a signing service; unloading tells the host once.
TEST_F(DocumentosTest, PadreShell)
{
    PadreShell padre;
    EXPECT_FALSE(padre.FirmaDocumento("demo|1|A0002").empty()) << "nothing signs without a service";
    std::string firmado;
    padre.firma = [&](const std::string& t) {
        firmado = t;
        return std::string();
    };
    EXPECT_EQ(padre.FirmaDocumento("demo|1|A0002"), "");
    EXPECT_EQ(firmado, "demo|1|A0002");
    int avisos = 0;
    padre.alDescargar = [&] { ++avisos; };
    padre.Descarga();
    EXPECT_TRUE(padre.cerrado());
    EXPECT_EQ(avisos, 1);
}

} // namespace
} // namespace tesmira::host::prueba
