#include "Pantalla_fixture.h"

#include <gmock/gmock.h>

#include <vector>

namespace tesmira::vn003::testing {
namespace {

using forms::Command;

class CargaTest : public PantallaTest {
protected:
    // The screen on a new note; soloExistencia picks the stock-only loader.
    frmVN003& nuevo(bool soloExistencia)
    {
        param("PED_SURTIR_SOLO_EXISTENTE", soloExistencia ? "SI" : "NO");
        frmVN003& f = abre();
        f.Controles.press(Command::Nuevo);
        return f;
    }
    void pedido(const std::string& folio)
    {
        frm().txt_Pd_Folio.userType(folio);
        frm().txt_Pd_Folio.userEnter();
    }
    Value celda(int row, const char* col) { return frm().ssDetalle.cell(row, frm().ssDetalle.columnIndex(col)); }
    std::string texto(int row, const char* col) { return celda(row, col).toString(); }
    // The grid's rows as "product/Cantidad_1".
    std::vector<std::string> partidas()
    {
        std::vector<std::string> r;
        for (int i = 0; i < frm().ssDetalle.rowCount(); ++i)
            r.push_back(texto(i, "Pr_Cve_Producto") + "/" + texto(i, "Cantidad_1"));
        return r;
    }
    // The first row of the product; -1 when none.
    int fila(const std::string& producto)
    {
        for (int i = 0; i < frm().ssDetalle.rowCount(); ++i)
            if (texto(i, "Pr_Cve_Producto") == producto)
                return i;
        return -1;
    }
    const host::MensajeMostrado& ultimo() { return dialogos().mensajes().back(); }
};

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

// ---- ordinary loader ----

TEST_F(CargaTest, OrdinaryLoaderFillsHeaderAndPendingLines)
{
    frmVN003& f = nuevo(false);
    pedido("P0001");
    EXPECT_EQ(ultimoMensaje(), "");
    EXPECT_EQ(f.txt_Sc_Cve_Sucursal.text(), "01");
    EXPECT_EQ(f.txt_Al_Cve_Almacen.text(), "01");
    EXPECT_EQ(f.txtCliente.text(), "C0001");
    EXPECT_EQ(f.txtNCliente.text(), "Ferretería El Martillo");
    EXPECT_EQ(f.txt_Cl_Direccion_1.text(), "Periférico Poniente km 12, bodega 4, Mérida, Yuc.");
    EXPECT_EQ(f.txtVendedor.text(), "V01");
    EXPECT_EQ(f.txtReferencia.text(), "OC-4471");
    EXPECT_EQ(f.txt_Comentario.text(), "Entregar en bodega Caucel");
    EXPECT_EQ(f.txtCondicionVenta.text(), "02");
    EXPECT_EQ(f.txt_Mn_Cve_Moneda.text(), "MXN");
    EXPECT_DOUBLE_EQ(f.txt_Rm_Tipo_Cambio.value().toDouble(), 1);
    EXPECT_FALSE(f.chSinCargo.checked());
    EXPECT_TRUE(f.Manejo.ManejaLote);
    EXPECT_FALSE(f.Manejo.ManejaUbicacion);
    EXPECT_FALSE(f.ssDetalle.allowAddNew);
    EXPECT_TRUE(f.ssDetalle.col("Pr_Cve_Producto").locked());
    EXPECT_EQ(f.ConsultaProductosPedido, "");
    // Line 0007 is back-ordered ('BO'): never loaded.
    EXPECT_THAT(partidas(), ElementsAre("CAM001/10", "ACE001/5", "PIN001/4", "TAL001/2", "KIT001/1", "SRV001/1",
                                        "SRV001/1"));
    EXPECT_EQ(f.ssDetalle.row(), 0);
}

TEST_F(CargaTest, OrdinaryLoaderRowColumns)
{
    nuevo(false);
    pedido("P0001");
    ASSERT_EQ(frm().ssDetalle.rowCount(), 7);
    // Each row: product type text, its lot/serial side effect, description or concept.
    struct Caso {
        int fila;
        const char* tipo;
        const char* descripcion;
    };
    const Caso casos[] = {
        {0, "Normal", "Camisa polo piqué manga corta"},
        {2, "LOTE", "Pintura vinílica blanca, cubeta 19 L"},
        {3, "Serializado", "Taladro percutor 1/2\" 750 W"},
        {4, "KIT", "Kit de herramientas 120 piezas"},
        {5, "Servicio", "Servicio de instalación"},
        {6, "Servicio", "Flete a bodega Caucel"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.fila);
        EXPECT_EQ(texto(c.fila, "TIPO_PRODUCTO"), c.tipo);
        EXPECT_EQ(texto(c.fila, "Pr_Descripcion"), c.descripcion);
    }
    EXPECT_EQ(texto(0, "Tl_Descripcion"), "Mediana");
    EXPECT_EQ(texto(0, "Cl_Descripcion"), "Azul marino");
    EXPECT_EQ(texto(0, "Pr_Manejar_Talla"), "SI");
    EXPECT_EQ(texto(0, "Documento_Id"), "0001");
    EXPECT_EQ(texto(0, "DESCAMP"), "Bordar logotipo \"El Martillo\" en el pecho izquierdo");
    EXPECT_EQ(texto(0, "Rm_Almacen_Inventario"), "01");
    EXPECT_DOUBLE_EQ(celda(0, "Costo").toDouble(), 0);
    // The order's stored amounts, except the list amount that follows the pending quantity.
    EXPECT_DOUBLE_EQ(celda(0, "Precio_Lista").toDouble(), 250);
    EXPECT_DOUBLE_EQ(celda(0, "Precio_Lista_Importe").toDouble(), 2500);
    EXPECT_DOUBLE_EQ(celda(0, "Descuento_Factor").toDouble(), 0.1);
    EXPECT_DOUBLE_EQ(celda(0, "Descuento_Importe").toDouble(), 250);
    // ACE001 is sold by the box: costing unit PZA differs from unit 1, so the cost goes by control 2.
    EXPECT_EQ(texto(1, "Unidad_1"), "CJA");
    EXPECT_DOUBLE_EQ(celda(1, "Cantidad_Control_1").toDouble(), 60);
    EXPECT_DOUBLE_EQ(celda(1, "Cantidad_Costo").toDouble(), 60);
    EXPECT_EQ(texto(1, "Unidad_Costo"), "LT");
    EXPECT_TRUE(celda(1, "Unidad_Costeo_1").toBool()) << "costing unit PZA is control unit 1";
    EXPECT_DOUBLE_EQ(celda(1, "Factor_Conversion_U2").toDouble(), 12);
    EXPECT_DOUBLE_EQ(celda(0, "Cantidad_Costo").toDouble(), 10);
    EXPECT_EQ(texto(0, "Unidad_Costo"), "PZA");
    EXPECT_FALSE(celda(2, "Redondear_Control2").toBool()) << "LT is fractionable";
    EXPECT_TRUE(celda(0, "Redondear_Control2").toBool()) << "PZA is not";
}

// Delivered totals go per product, size, colour and concept; cancelled notes do not count.
TEST_F(CargaTest, PartlyDeliveredOrderLoadsOnlyWhatIsPending)
{
    nuevo(false);
    pedido("P0003");
    EXPECT_EQ(ultimoMensaje(), "");
    EXPECT_THAT(partidas(), ElementsAre("CAM001/12", "TAL001/1")) << "ACE001 is fully delivered";
}

// Two lines of one key are each reduced by the whole delivered total of the key.
TEST_F(CargaTest, TwoLinesOfOneKeyAreEachReducedByTheWholeTotal)
{
    conexion().executeScript("INSERT INTO Pedido (Pd_Folio, Pd_ID, Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, "
                             "Pd_Cantidad_1, Pd_Cantidad_Control_1, Pd_Cantidad_Control_2, Sc_Cve_Sucursal, "
                             "Al_Cve_Almacen, Cl_Cve_Cliente, Es_Cve_Estado, Pd_Unidad_1, Pd_Unidad_Control_1, "
                             "Pd_Unidad_Control_2, Pd_Unidad_Costo) SELECT Pd_Folio, Pd_ID_Nuevo, Pr_Cve_Producto, "
                             "Tl_Cve_Talla, Cl_Cve_Color, Cantidad, Cantidad, Cantidad, Sc_Cve_Sucursal, "
                             "Al_Cve_Almacen, Cl_Cve_Cliente, Es_Cve_Estado, 'PZA', 'PZA', 'PZA', 'PZA' FROM Pedido, "
                             "(SELECT '0004' AS Pd_ID_Nuevo, 10 AS Cantidad UNION ALL SELECT '0005', 5) "
                             "WHERE Pd_Folio = 'P0003' AND Pd_ID = '0001'");
    nuevo(false);
    pedido("P0003");
    // 20-8, 10-8 loaded; 5-8 skipped.
    EXPECT_THAT(partidas(), ElementsAre("CAM001/12", "TAL001/1", "CAM001/2"));
}

TEST_F(CargaTest, LineWithOnlyControlTwoPendingIsLoaded)
{
    conexion().Execute("UPDATE Pedido SET Pd_Cantidad_1 = 0 WHERE Pd_Folio = 'P0004' AND Pd_ID = '0001'");
    conexion().Execute("UPDATE Pedido SET Pd_Cantidad_1 = 0, Pd_Cantidad_Control_2 = 0 "
                       "WHERE Pd_Folio = 'P0004' AND Pd_ID = '0002'");
    nuevo(false);
    pedido("P0004");
    EXPECT_THAT(partidas(), ElementsAre("CAM001/0"));
}

TEST_F(CargaTest, RefusedOrders)
{
    struct Caso {
        const char* nombre;
        const char* usuario;
        const char* folio;
        const char* id;
        int flags;
        const char* titulo;
        const char* texto;
        const char* cliente;
    };
    const Caso casos[] = {
        {"no existe", "ADMIN", "P9999", "ERR-ID:7500048", 16, "Atención",
         "El pedido especificado no tiene productos pendientes por remisionar", ""},
        {"de otra sucursal", "VENDE1", "P0010", "ERR-ID:7500048", 16, "Atención",
         "El pedido especificado no tiene productos pendientes por remisionar", ""},
        {"cerrado", "ADMIN", "P0006", "ERR-ID:7500049", 64, "Tesmira",
         "No es posible remisionar el pedido desde el estado: CE", ""},
        {"cliente sin domicilio", "ADMIN", "P0007", "ERR-ID:7500050", 48, "Tesmira",
         "Debe elegir una dirección de entrega", "C0003"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        TearDown();
        SetUp();
        usuario(c.usuario);
        frmVN003& f = nuevo(false);
        pedido(c.folio);
        ASSERT_FALSE(dialogos().mensajes().empty());
        EXPECT_EQ(ultimo().id, c.id);
        EXPECT_EQ(ultimo().flags, c.flags);
        EXPECT_EQ(ultimo().title, c.titulo);
        EXPECT_EQ(ultimo().prompt, c.texto);
        EXPECT_EQ(f.ssDetalle.rowCount(), 0);
        EXPECT_EQ(f.txtCliente.text(), c.cliente);
    }
}

TEST_F(CargaTest, UnboundUserLoadsAnotherBranchsOrder)
{
    frmVN003& f = nuevo(false);
    pedido("P0010");
    EXPECT_EQ(ultimoMensaje(), "");
    EXPECT_EQ(f.txt_Sc_Cve_Sucursal.text(), "02");
    EXPECT_THAT(partidas(), ElementsAre("CAM001/3"));
}

TEST_F(CargaTest, NoAddressLeavesFocusOnFolio)
{
    frmVN003& f = nuevo(false);
    pedido("P0007");
    EXPECT_TRUE(f.txt_Pd_Folio.hasFocus());
    EXPECT_EQ(f.txtVendedor.text(), "") << "the header stops before the salesperson";
}

TEST_F(CargaTest, AllSizesShowTodosAndVolumeFactor)
{
    conexion().Execute("UPDATE Pedido SET Tl_Cve_Talla = '%', Cl_Cve_Color = '%' "
                       "WHERE Pd_Folio = 'P0009' AND Pd_ID = '0002'");
    nuevo(false);
    pedido("P0009");
    const int mad = fila("MAD001"), cam = fila("CAM001");
    ASSERT_GE(mad, 0);
    ASSERT_GE(cam, 0);
    EXPECT_EQ(texto(cam, "Tl_Descripcion"), "Todos");
    EXPECT_EQ(texto(cam, "Cl_Descripcion"), "Todos");
    EXPECT_DOUBLE_EQ(celda(mad, "Factor_M3").toDouble(), 0.05);
    EXPECT_TRUE(celda(mad, "Cubicado").toBool());
    EXPECT_TRUE(celda(cam, "Factor_M3").isNull());
    EXPECT_EQ(frm().txt_Mn_Cve_Moneda.text(), "USD");
}

TEST_F(CargaTest, VolumeFactorUnwrittenWithNothingPendingInUnitOne)
{
    conexion().Execute("UPDATE Pedido SET Pd_Cantidad_1 = 0 WHERE Pd_Folio = 'P0009' AND Pd_ID = '0001'");
    nuevo(false);
    pedido("P0009");
    const int mad = fila("MAD001");
    ASSERT_GE(mad, 0) << "control 2 still pending";
    EXPECT_TRUE(celda(mad, "Factor_M3").isNull());
}

TEST_F(CargaTest, BlindCaptureLoadsHeaderOnly)
{
    param("REM_CAPTURA_CIEGA", "SI");
    frmVN003& f = nuevo(false);
    pedido("P0003");
    EXPECT_EQ(f.txtCliente.text(), "C0002");
    EXPECT_EQ(f.ssDetalle.rowCount(), 0);
    EXPECT_TRUE(f.ssDetalle.allowAddNew);
    EXPECT_FALSE(f.ssDetalle.col("Pr_Cve_Producto").locked());
    ASSERT_NE(f.ConsultaProductosPedido, "");
    db::Recordset rs = conexion().Execute(f.ConsultaProductosPedido);
    std::vector<std::string> productos;
    for (; !rs.Eof(); rs.MoveNext())
        productos.push_back(rs.Fields("PRODUCTO").toString() + "/" + rs.Fields("CANTIDAD").toString());
    EXPECT_THAT(productos, UnorderedElementsAre("CAM001/12", "TAL001/1"));
}

// The note on screen does not count as delivered in the blind-capture look-up.
TEST_F(CargaTest, BlindCaptureLookUpExcludesTheNoteOnScreen)
{
    param("REM_CAPTURA_CIEGA", "SI");
    frmVN003& f = nuevo(false);
    f.txt_Pd_Folio.setText("P0003");
    f.txtFolio.onChange = nullptr;
    f.txtFolio.setText("R0001");
    f.CargaPedido();
    db::Recordset rs = conexion().Execute(f.ConsultaProductosPedido);
    std::vector<std::string> productos;
    for (; !rs.Eof(); rs.MoveNext())
        productos.push_back(rs.Fields("PRODUCTO").toString() + "/" + rs.Fields("CANTIDAD").toString());
    EXPECT_THAT(productos, UnorderedElementsAre("CAM001/20", "ACE001/2", "TAL001/1"));
}

TEST_F(CargaTest, PendingQuantityPerControlUnit)
{
    frmVN003& f = nuevo(false);
    struct Caso {
        const char* nombre;
        const char* folio;
        const char* producto;
        const char* talla;
        const char* color;
        int control;
        float cantidad;
        const char* unidad;
    };
    const Caso casos[] = {
        {"entregado en parte, nota cancelada no cuenta", "P0003", "CAM001", "CH", "BL", 1, 12, "PZA"},
        {"entregado todo", "P0003", "ACE001", "00", "00", 2, 0, "LT"},
        {"control 1 de la caja", "P0001", "ACE001", "00", "00", 1, 60, "PZA"},
        {"producto ajeno al pedido", "P0003", "KIT001", "00", "00", 1, 0, ""},
        {"folio con comilla", "P'0003", "CAM001", "CH", "BL", 1, 0, ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        std::string unidad = "x";
        EXPECT_FLOAT_EQ(f.CantidadPendiente(c.folio, c.producto, c.talla, c.color, c.control, unidad), c.cantidad);
        EXPECT_EQ(unidad, c.unidad);
    }
}

// ---- stock-only loader ----

TEST_F(CargaTest, StockOnlyLoaderCutsShortLinesAndReports)
{
    frmVN003& f = nuevo(true);
    pedido("P0001");
    EXPECT_EQ(ultimoMensaje(), "");
    EXPECT_EQ(f.txtCliente.text(), "C0001");
    // ACE001: 24 PZA on hand of 60 pending = 2 boxes; CEM001 has no stock.
    EXPECT_THAT(partidas(), UnorderedElementsAre("CAM001/10", "ACE001/2", "PIN001/4", "TAL001/2", "KIT001/1",
                                                 "SRV001/1", "SRV001/1"));
    const int ace = fila("ACE001");
    EXPECT_DOUBLE_EQ(celda(ace, "Cantidad_Control_1").toDouble(), 24);
    EXPECT_DOUBLE_EQ(celda(ace, "Cantidad_Costo").toDouble(), 24);
    EXPECT_EQ(texto(ace, "Unidad_Costo"), "PZA");
    EXPECT_DOUBLE_EQ(celda(ace, "Costo").toDouble(), 65);
    EXPECT_DOUBLE_EQ(celda(ace, "Precio_Lista").toDouble(), 960);
    EXPECT_GT(celda(ace, "Precio_Neto_Importe").toDouble(), 0);
    ASSERT_EQ(dialogos().textosMostrados().size(), 1u);
    EXPECT_EQ(dialogos().textosMostrados()[0],
              "Se surtio parcialmente el pedido, debio a que no todos los productos tienen existencia suficiente\r\n"
              "Producto:ACE001 - \r\n"
              "Producto:CEM001 - \r\n");
}

TEST_F(CargaTest, StockOnlyReportListsSizeColourAndSerials)
{
    conexion().Execute("UPDATE Existencia SET Ex_Cantidad_Control_1 = 4, Ex_Cantidad_Control_2 = 4 "
                       "WHERE Sc_Cve_Sucursal = '01' AND Al_Cve_Almacen = '01' AND Pr_Cve_Producto = 'CAM001' "
                       "AND Tl_Cve_Talla = 'MD'");
    conexion().Execute("UPDATE Existencia SET Ex_Cantidad_Control_1 = 1, Ex_Cantidad_Control_2 = 1 "
                       "WHERE Sc_Cve_Sucursal = '01' AND Al_Cve_Almacen = '01' AND Pr_Cve_Producto = 'TAL001'");
    conexion().Execute("UPDATE Existencia SET Ex_Cantidad_Control_1 = 60 WHERE Sc_Cve_Sucursal = '01' "
                       "AND Al_Cve_Almacen = '01' AND Pr_Cve_Producto = 'ACE001'");
    conexion().Execute("UPDATE Pedido SET Es_Cve_Estado = 'AC' WHERE Pd_Folio = 'P0001' AND Pd_ID = '0007'");
    conexion().Execute("UPDATE Existencia SET Ex_Cantidad_Control_1 = 10, Ex_Cantidad_Control_2 = 10 "
                       "WHERE Pr_Cve_Producto = 'CEM001'");
    param("PED_APARTAR_SERIE", "SI");
    nuevo(true);
    pedido("P0001");
    EXPECT_DOUBLE_EQ(celda(fila("CAM001"), "Cantidad_1").toDouble(), 4);
    // Stock equal to the pending quantity: loaded from the stock figures, not reported.
    EXPECT_DOUBLE_EQ(celda(fila("ACE001"), "Cantidad_1").toDouble(), 5);
    EXPECT_DOUBLE_EQ(celda(fila("CEM001"), "Cantidad_1").toDouble(), 10);
    ASSERT_EQ(dialogos().textosMostrados().size(), 1u);
    EXPECT_EQ(dialogos().textosMostrados()[0],
              "Se surtio parcialmente el pedido, debio a que no todos los productos tienen existencia suficiente\r\n"
              "Producto:CAM001 - \r\n"
              "   TALLA:MD - Mediana\r\n"
              "   COLOR:AZ - Azul marino\r\n"
              "Producto:TAL001 - \r\n"
              "   SERIES:TAL-0001,TAL-0002\r\n");
    EXPECT_EQ(texto(fila("TAL001"), "Sr_Cve_Serie"), "TAL-0001|TAL-0002") << "PED_APARTAR_SERIE reserves them";
}

TEST_F(CargaTest, StockOnlyReportListsLots)
{
    conexion().Execute("UPDATE Existencia SET Ex_Cantidad_Control_1 = 4, Ex_Cantidad_Control_2 = 76 "
                       "WHERE Sc_Cve_Sucursal = '01' AND Al_Cve_Almacen = '02' AND Pr_Cve_Producto = 'PIN001'");
    frmVN003& f = nuevo(true);
    f.txt_Pd_Folio.setText("P0008");
    f.Cargar_Solo_Producto_Con_Existencia();
    ASSERT_EQ(dialogos().textosMostrados().size(), 1u);
    EXPECT_NE(dialogos().textosMostrados()[0].find("Producto:PIN001 - \r\n   LOTES:L-2601\r\n"), std::string::npos)
        << dialogos().textosMostrados()[0];
    EXPECT_DOUBLE_EQ(celda(fila("PIN001"), "Cantidad_Control_1").toDouble(), 4);
}

// A short line without a conversion to unit 1 stops the load; earlier rows stay.
TEST_F(CargaTest, StockOnlyStopsAtMissingConversion)
{
    frmVN003& f = nuevo(true);
    f.txt_Pd_Folio.setText("P0012");
    f.Cargar_Solo_Producto_Con_Existencia();
    ASSERT_EQ(ultimoMensaje(), "ERR-ID:7500055");
    EXPECT_EQ(ultimo().flags, 48);
    EXPECT_EQ(ultimo().prompt, "Imposible cargar la partida actual, producto: GAL001 - Agua purificada, garrafón 20 "
                               "L\r\nDebido a que la conversión: LT -> GAR");
    EXPECT_EQ(f.TextoSQL, ultimo().prompt) << "the text stays in the SQL buffer";
    EXPECT_LE(f.ssDetalle.rowCount(), 1);
    if (f.ssDetalle.rowCount() == 1) {
        EXPECT_EQ(texto(0, "Pr_Cve_Producto"), "CAM001");
    }
    EXPECT_TRUE(dialogos().textosMostrados().empty()) << "no partial report after a stop";
}

TEST_F(CargaTest, StockOnlyRefusalsUseTheirOwnMessages)
{
    struct Caso {
        const char* folio;
        const char* id;
        const char* texto;
    };
    const Caso casos[] = {
        {"P9999", "ERR-ID:7500052", "El pedido especificado no contiene productos pendientes por remisionar"},
        {"P0006", "ERR-ID:7500053", "No es posible remisionar el pedido desde el estado: CE"},
        {"P0007", "ERR-ID:7500054", "Debe elegir una dirección de entrega"},
    };
    nuevo(true);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.folio);
        pedido(c.folio);
        ASSERT_FALSE(dialogos().mensajes().empty());
        EXPECT_EQ(ultimo().id, c.id);
        EXPECT_EQ(ultimo().prompt, c.texto);
        EXPECT_EQ(frm().ssDetalle.rowCount(), 0);
    }
}

// ---- handheld dispatch ----

TEST_F(CargaTest, FinishedDispatchReplacesTheOrderLines)
{
    frmVN003& f = nuevo(false);
    pedido("P0008");
    EXPECT_EQ(ultimoMensaje(), "");
    EXPECT_EQ(f.txtSalida.text(), "S0001");
    EXPECT_EQ(f.txtCliente.text(), "C0001") << "the header stays as the order loaded it";
    ASSERT_THAT(partidas(), ElementsAre("CAM001/6", "CAM001/4", "PIN001/6"));
    EXPECT_EQ(texto(0, "Ubicacion"), "0101");
    EXPECT_EQ(texto(1, "Ubicacion"), "0102");
    EXPECT_EQ(texto(0, "Documento_Id"), "0001");
    EXPECT_EQ(texto(1, "Documento_Id"), "0001");
    EXPECT_EQ(texto(2, "Rm_Almacen_Inventario"), "02");
    const std::string fecha = Utilerias().FormatoFecha(f.dpFecha.value());
    EXPECT_EQ(texto(2, "Lt_Cve_Lote"), "L-2601@6@114@" + fecha + "@@" + fecha + "@");
    EXPECT_DOUBLE_EQ(celda(2, "Cantidad_Control_2").toDouble(), 114);
    EXPECT_DOUBLE_EQ(celda(2, "Factor_Conversion_U2").toDouble(), 19);
    EXPECT_DOUBLE_EQ(celda(0, "Precio_Lista").toDouble(), 250);
    EXPECT_TRUE(f.ssDetalle.col("Ubicacion").locked());
    // Dimensions come last: the order's fixed asset.
    EXPECT_EQ(f.txtActivoFijo.text(), "0000000001");
}

TEST_F(CargaTest, DispatchLinePickedOverPendingIsSkippedSilently)
{
    conexion().Execute("UPDATE PDA_Salida_Detalle SET Sa_Cantidad_1 = 11 WHERE Sa_Folio = 'S0001' AND Sa_ID = '0001'");
    nuevo(false);
    pedido("P0008");
    EXPECT_EQ(ultimoMensaje(), "");
    EXPECT_THAT(partidas(), ElementsAre("CAM001/4", "PIN001/6"));
}

TEST_F(CargaTest, LotProductPickedWithoutLotTakesTheOrderLinesLot)
{
    conexion().Execute("UPDATE PDA_Salida_Detalle SET Sa_Lote = '' WHERE Sa_Folio = 'S0001' AND Sa_ID = '0003'");
    nuevo(false);
    pedido("P0008");
    EXPECT_EQ(texto(fila("PIN001"), "Lt_Cve_Lote"), "L-2601");
}

TEST_F(CargaTest, DispatchRefusals)
{
    frmVN003& f = nuevo(false);
    pedido("P0001");
    f.txtSalida.setEnabled(true);
    const int filas = f.ssDetalle.rowCount();

    dialogos().limpia();
    f.txtSalida.userType("S0001");
    f.txtSalida.userEnter();
    ASSERT_EQ(dialogos().mensajes().size(), 1u);
    EXPECT_EQ(ultimo().flags, 48);
    EXPECT_EQ(ultimo().title, "Folio incorrecto");
    EXPECT_EQ(ultimo().prompt, "La salida no corresponde al pedido seleccionado\r\nFolio salida: S0001\r\n"
                               "Pedido salida: P0008\r\nPedido actual: P0001");
    EXPECT_EQ(f.txtSalida.text(), "");

    dialogos().limpia();
    f.txtSalida.userType("S0002");
    f.txtSalida.userEnter();
    EXPECT_TRUE(dialogos().mensajes().empty()) << "a dispatch still being picked is refused silently";
    EXPECT_EQ(f.txtSalida.text(), "");

    for (const char* folio : {"S9999", "S'01"}) {
        SCOPED_TRACE(folio);
        dialogos().limpia();
        f.txtSalida.userType(folio);
        f.txtSalida.userEnter();
        ASSERT_EQ(ultimoMensaje(), "ERR-ID:7500046");
        EXPECT_EQ(ultimo().prompt, "El folio de salida no es válido");
        EXPECT_EQ(f.txtSalida.text(), "");
    }
    EXPECT_EQ(f.ssDetalle.rowCount(), filas) << "a refused dispatch leaves the grid";
}

TEST_F(CargaTest, ErasingTheDispatchBlanksLocations)
{
    frmVN003& f = nuevo(false);
    pedido("P0008");
    ASSERT_EQ(f.ssDetalle.rowCount(), 3);
    f.txtSalida.setEnabled(true);
    f.txtSalida.userType("");
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(texto(r, "Ubicacion"), "") << "row " << r;
    EXPECT_FALSE(f.ssDetalle.col("Ubicacion").locked());
    EXPECT_EQ(f.ssDetalle.rowCount(), 3);
}

TEST_F(CargaTest, ErasingTheDispatchOnEmptyGridEnablesDateAndReference)
{
    frmVN003& f = nuevo(false);
    f.dpFecha.setEnabled(false);
    f.txtReferencia.setEnabled(false);
    f.txtSalida.setText("S0001");
    f.txtSalida.setText("");
    EXPECT_TRUE(f.dpFecha.enabled());
    EXPECT_TRUE(f.txtReferencia.enabled());
}

TEST_F(CargaTest, BlindCaptureEmptiesGridInsteadOfLoadingDispatch)
{
    param("REM_CAPTURA_CIEGA", "SI");
    frmVN003& f = nuevo(false);
    pedido("P0008");
    EXPECT_EQ(f.txtSalida.text(), "S0001");
    EXPECT_EQ(f.ssDetalle.rowCount(), 0);
    EXPECT_TRUE(f.ssDetalle.allowAddNew);
}

// The look-up offers finished dispatches of the warehouse, and the note's own only when it is shown.
TEST_F(CargaTest, DispatchLookUpListsAndLoadsTheChoice)
{
    frmVN003& f = nuevo(false);
    pedido("P0008");
    auto ofrecidas = [this] {
        std::vector<std::string> claves;
        for (const auto& fila : dialogos().ultimaLista().filas)
            claves.push_back(fila.at(0));
        return claves;
    };
    f.MostrarSalidaPropia = false;
    f.FolioSalidaRemision = "S0003";
    f.txtSalida_KeyUp(113, 0);
    EXPECT_THAT(ofrecidas(), ElementsAre("S0001")) << "S0002 is being picked, S0003 closed";
    EXPECT_EQ(f.TextoSQL.find("OR PDA_Salida.Sa_Folio"), std::string::npos);

    f.MostrarSalidaPropia = true;
    f.txtSalida_KeyUp(113, 0);
    EXPECT_THAT(ofrecidas(), UnorderedElementsAre("S0001", "S0003"));

    f.MostrarSalidaPropia = false;
    f.txtSalida.setText("");
    dialogos().respuestaLista("S0001");
    f.txtSalida_KeyUp(112, 0);
    EXPECT_EQ(f.txtSalida.text(), "") << "only F2 opens the look-up";
    f.txtSalida_KeyUp(113, 0);
    EXPECT_EQ(f.txtSalida.text(), "S0001");
    EXPECT_THAT(partidas(), ElementsAre("CAM001/6", "CAM001/4", "PIN001/6"));
}

} // namespace
} // namespace tesmira::vn003::testing
