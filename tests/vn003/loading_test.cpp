#include "Pantalla_fixture.h"
#include "vn003/persist/Pendientes.h"

#include <gmock/gmock.h>

#include <vector>

namespace tesmira::vn003::testing {
namespace {

class CargaTest : public PantallaTest {
protected:
    // The screen on a new note; soloExistencia picks the stock-only loader.
    frmVN003& nuevo(bool soloExistencia)
    {
        parametro("PED_SURTIR_SOLO_EXISTENTE", soloExistencia ? "SI" : "NO");
        return PantallaTest::nuevo();
    }
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
};

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

// ---- ordinary loader ----

struct CasoPendingLinesPerOrder {
    const char* nombre;
    const char* preparacion; // SQL run on the demo company first; "" for none
    bool ciega;
    const char* folio;
    const char* salida;
    std::vector<std::string> partidas;
};
const CasoPendingLinesPerOrder casosPendingLinesPerOrder[] = {
    {"every pending line, the back-ordered one never", "", false, "P0001", "",
     {"CAM001/10", "ACE001/5", "PIN001/4", "TAL001/2", "KIT001/1", "SRV001/1", "SRV001/1"}},
    {"partly delivered: ACE001 is all delivered", "", false, "P0003", "", {"CAM001/12", "TAL001/1"}},
    {"two lines of one key are each reduced by the whole total (20-8, 10-8, 5-8 skipped)",
     "INSERT INTO Pedido (Pd_Folio, Pd_ID, Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Pd_Cantidad_1, "
     "Pd_Cantidad_Control_1, Pd_Cantidad_Control_2, Sc_Cve_Sucursal, Al_Cve_Almacen, Cl_Cve_Cliente, "
     "Es_Cve_Estado, Pd_Unidad_1, Pd_Unidad_Control_1, Pd_Unidad_Control_2, Pd_Unidad_Costo) SELECT Pd_Folio, "
     "Pd_ID_Nuevo, Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Cantidad, Cantidad, Cantidad, Sc_Cve_Sucursal, "
     "Al_Cve_Almacen, Cl_Cve_Cliente, Es_Cve_Estado, 'PZA', 'PZA', 'PZA', 'PZA' FROM Pedido, (SELECT '0004' AS "
     "Pd_ID_Nuevo, 10 AS Cantidad UNION ALL SELECT '0005', 5) WHERE Pd_Folio = 'P0003' AND Pd_ID = '0001'",
     false, "P0003", "", {"CAM001/12", "TAL001/1", "CAM001/2"}},
    {"only control 2 pending is still loaded",
     "UPDATE Pedido SET Pd_Cantidad_1 = 0 WHERE Pd_Folio = 'P0004' AND Pd_ID = '0001';"
     "UPDATE Pedido SET Pd_Cantidad_1 = 0, Pd_Cantidad_Control_2 = 0 WHERE Pd_Folio = 'P0004' AND Pd_ID = '0002'",
     false, "P0004", "", {"CAM001/0"}},
    {"a user without a branch sees every branch", "", false, "P0010", "", {"CAM001/3"}},
    {"a finished dispatch replaces the order's lines", "", false, "P0008", "S0001",
     {"CAM001/6", "CAM001/4", "PIN001/6"}},
    {"a line picked over its pending quantity is skipped silently",
     "UPDATE PDA_Salida_Detalle SET Sa_Cantidad_1 = 11 WHERE Sa_Folio = 'S0001' AND Sa_ID = '0001'", false, "P0008",
     "S0001", {"CAM001/4", "PIN001/6"}},
    {"two finished dispatches: the first row returned",
     "UPDATE PDA_Salida SET Es_Cve_Estado = 'FN' WHERE Sa_Folio = 'S0002'", false, "P0008", "S0001",
     {"CAM001/6", "CAM001/4", "PIN001/6"}},
    {"a dispatch not finished is not picked up",
     "UPDATE PDA_Salida SET Es_Cve_Estado = 'PR' WHERE Sa_Folio = 'S0001'", false, "P0008", "",
     {"CAM001/10", "PIN001/6"}},
    {"blind capture names the dispatch but loads none of it", "", true, "P0008", "S0001", {}},
};

class PendingLinesPerOrder : public CargaTest, public ::testing::WithParamInterface<CasoPendingLinesPerOrder> {};

// Guards the pending-quantity reduction (per product, size, colour and concept; cancelled
// notes do not count), the branch filter of a bound user, and which loader fills the grid.
TEST_P(PendingLinesPerOrder, Caso)
{
    const CasoPendingLinesPerOrder& c = GetParam();
    if (*c.preparacion)
        conexion().executeScript(c.preparacion);
    if (c.ciega)
        parametro("REM_CAPTURA_CIEGA", "SI");
    frmVN003& f = nuevo(false);
    pedido(c.folio);
    EXPECT_EQ(ultimoMensaje(), "") << transcript();
    EXPECT_EQ(f.txtSalida.text(), c.salida);
    EXPECT_EQ(partidas(), c.partidas);
    EXPECT_EQ(f.ssDetalle.allowAddNew, c.ciega) << "only blind capture types new rows";
    EXPECT_EQ(f.ssDetalle.col("Pr_Cve_Producto").locked(), !c.ciega);
}

INSTANTIATE_TEST_SUITE_P(Casos, PendingLinesPerOrder, ::testing::ValuesIn(casosPendingLinesPerOrder), NombreCaso{});

// What the header and the rows carry beyond product and quantity: the warehouse flags, the
// order's stored amounts and the cost quantity taken by the costing unit.
TEST_F(CargaTest, OrdinaryLoaderRowColumns)
{
    frmVN003& f = nuevo(false);
    pedido("P0001");
    EXPECT_EQ(f.txtCondicionVenta.text(), "02");
    EXPECT_DOUBLE_EQ(f.txt_Rm_Tipo_Cambio.value().toDouble(), 1);
    EXPECT_FALSE(f.chSinCargo.checked());
    EXPECT_TRUE(f.Manejo.ManejaLote) << "the loaded warehouse's flags were not read";
    EXPECT_FALSE(f.Manejo.ManejaUbicacion);
    EXPECT_EQ(f.ConsultaProductosPedido, "");
    EXPECT_EQ(f.ssDetalle.row(), 0) << "the grid ends on its first line";
    ASSERT_EQ(f.ssDetalle.rowCount(), 7);
    struct Caso {
        int fila;
        const char* columna;
        const char* esperado;
        const char* porque;
    };
    const Caso casos[] = {
        {0, "TIPO_PRODUCTO", "Normal", "type 01"},
        {0, "Cl_Descripcion", "Azul marino", "colour looked up"},
        {0, "Pr_Manejar_Talla", "SI", ""},
        {0, "Rm_Almacen_Inventario", "01", "stock source is the header's warehouse"},
        {0, "Precio_Lista_Importe", "2500", "the list amount follows the pending quantity"},
        {0, "Descuento_Importe", "250", "the order's stored amount"},
        {0, "Cantidad_Costo", "10", "costing unit is unit 1"},
        {0, "Unidad_Costo", "PZA", ""},
        {0, "Redondear_Control2", "-1", "PZA is not fractionable"},
        {1, "Cantidad_Control_1", "60", "12 pieces a box"},
        {1, "Cantidad_Costo", "60", "costing unit PZA differs from unit CJA: control 2 quantity"},
        {1, "Unidad_Costo", "LT", "and control 2 unit"},
        {1, "Unidad_Costeo_1", "-1", "costing unit PZA is control unit 1"},
        {1, "Factor_Conversion_U2", "12", ""},
        {2, "Redondear_Control2", "0", "LT is fractionable"},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(texto(c.fila, c.columna), c.esperado) << "row " << c.fila << " " << c.columna << ": " << c.porque;
}

const std::string sinPendientes = "El pedido especificado no tiene productos pendientes por remisionar";
struct CasoRefusedOrders {
    const char* nombre;
    const char* usuario;
    bool soloExistencia;
    const char* folio;
    const char* id;
    int flags;
    const char* titulo;
    std::string texto;
    const char* cliente;
};
const CasoRefusedOrders casosRefusedOrders[] = {
    {"no existe", "ADMIN", false, "P9999", "ERR-ID:7500048", 16, "Atención", sinPendientes, ""},
    {"de otra sucursal", "VENDE1", false, "P0010", "ERR-ID:7500048", 16, "Atención", sinPendientes, ""},
    {"comillas son dato", "ADMIN", false, "P0001' OR '1'='1", "ERR-ID:7500048", 16, "Atención", sinPendientes,
     ""},
    {"orden de entrega viva", "ADMIN", false, "P0002", "ERR-ID:7500033", 64, "Tesmira",
     "No es posible remisionar el pedido si tiene órdenes de entrega", ""},
    {"cerrado", "ADMIN", false, "P0006", "ERR-ID:7500049", 64, "Tesmira",
     "No es posible remisionar el pedido desde el estado: CE", ""},
    {"cliente sin domicilio", "ADMIN", false, "P0007", "ERR-ID:7500050", 48, "Tesmira",
     "Debe elegir una dirección de entrega", "C0003"},
    {"solo existencia: no existe", "ADMIN", true, "P9999", "ERR-ID:7500052", 16, "Atención",
     "El pedido especificado no contiene productos pendientes por remisionar", ""},
    {"solo existencia: cerrado", "ADMIN", true, "P0006", "ERR-ID:7500053", 64, "Tesmira",
     "No es posible remisionar el pedido desde el estado: CE", ""},
    {"solo existencia: sin domicilio", "ADMIN", true, "P0007", "ERR-ID:7500054", 48, "Tesmira",
     "Debe elegir una dirección de entrega", "C0003"},
};

class RefusedOrders : public CargaTest, public ::testing::WithParamInterface<CasoRefusedOrders> {};

// Each refusal names its reason with its own message, loads nothing and stops the header with
// the folio to retype; a quote in the folio is data. The stock-only loader words and numbers its messages on its own.
TEST_P(RefusedOrders, Caso)
{
    const CasoRefusedOrders& c = GetParam();
    usuario(c.usuario);
    frmVN003& f = nuevo(c.soloExistencia);
    const std::string antes = sql("SELECT count(*) FROM Remision");
    pedido(c.folio);
    ASSERT_FALSE(dialogos().mensajes().empty());
    EXPECT_EQ(std::tie(ultimo()->id, ultimo()->flags, ultimo()->title, ultimo()->prompt),
              std::tie(c.id, c.flags, c.titulo, c.texto));
    EXPECT_EQ(f.ssDetalle.rowCount(), 0) << "a refused order loads no line";
    EXPECT_EQ(f.txtCliente.text(), c.cliente);
    EXPECT_EQ(f.txt_Pd_Folio.text(), c.folio) << "the folio stays as typed";
    EXPECT_TRUE(f.txt_Pd_Folio.hasFocus()) << "the folio is there to retype";
    EXPECT_EQ(f.txtVendedor.text(), "") << "the header stops before the salesperson";
    EXPECT_EQ(sql("SELECT count(*) FROM Remision"), antes);
}

INSTANTIATE_TEST_SUITE_P(Casos, RefusedOrders, ::testing::ValuesIn(casosRefusedOrders), NombreCaso{});

const char* todas =
    "UPDATE Pedido SET Tl_Cve_Talla = '%', Cl_Cve_Color = '%' WHERE Pd_Folio = 'P0009' AND Pd_ID = '0002'";
struct CasoAllSizesAndVolumeFactor {
    const char* nombre;
    const char* preparacion;
    const char* producto;
    std::vector<std::pair<const char*, const char*>> esperado; // column, text shown
};
const CasoAllSizesAndVolumeFactor casosAllSizesAndVolumeFactor[] = {
    {"all sizes and colours, pieces have no volume", todas, "CAM001",
     {{"Tl_Descripcion", "Todos"}, {"Cl_Descripcion", "Todos"}, {"Factor_M3", ""}}},
    {"cubed line", "", "MAD001", {{"Factor_M3", "0.05"}, {"Cubicado", "-1"}}},
    {"nothing pending in unit 1",
     "UPDATE Pedido SET Pd_Cantidad_1 = 0 WHERE Pd_Folio = 'P0009' AND Pd_ID = '0001'", "MAD001", {{"Factor_M3", ""}}},
    // P0008's dispatch: a lot product picked without a lot takes the order line's.
    {"lot product picked without lot",
     "UPDATE PDA_Salida_Detalle SET Sa_Lote = '' WHERE Sa_Folio = 'S0001' AND Sa_ID = '0003'", "PIN001",
     {{"Lt_Cve_Lote", "L-2601"}}},
};

class AllSizesAndVolumeFactor : public CargaTest, public ::testing::WithParamInterface<CasoAllSizesAndVolumeFactor> {};

// P0009 (USD): "%" needs no catalogue look-up; the volume factor is written only for a cubed
// line with something pending in unit 1.
TEST_P(AllSizesAndVolumeFactor, Caso)
{
    const CasoAllSizesAndVolumeFactor& c = GetParam();
    if (*c.preparacion)
        conexion().Execute(c.preparacion);
    nuevo(false);
    pedido(c.producto == std::string("PIN001") ? "P0008" : "P0009");
    const int r = fila(c.producto);
    ASSERT_GE(r, 0) << c.producto << " not loaded";
    for (const auto& [columna, esperado] : c.esperado)
        EXPECT_EQ(texto(r, columna), esperado) << columna;
}

INSTANTIATE_TEST_SUITE_P(Casos, AllSizesAndVolumeFactor,
                         ::testing::ValuesIn(casosAllSizesAndVolumeFactor), NombreCaso{});

// The blind-capture look-up offers what is still pending, not counting the note on screen.
TEST_F(CargaTest, BlindCaptureLookUpOffersWhatIsPending)
{
    parametro("REM_CAPTURA_CIEGA", "SI");
    frmVN003& f = nuevo(false);
    auto ofrecidos = [&] {
        db::Recordset rs = conexion().Execute(f.ConsultaProductosPedido);
        std::vector<std::string> productos;
        for (; !rs.Eof(); rs.MoveNext())
            productos.push_back(rs.Fields("PRODUCTO").toString() + "/" + rs.Fields("CANTIDAD").toString());
        return productos;
    };
    pedido("P0003");
    EXPECT_THAT(ofrecidos(), UnorderedElementsAre("CAM001/12", "TAL001/1"));

    f.txtFolio.onChange = nullptr;
    f.txtFolio.setText("R0001");
    f.CargaPedido();
    EXPECT_THAT(ofrecidos(), UnorderedElementsAre("CAM001/20", "ACE001/2", "TAL001/1"))
        << "R0001, the note on screen, counts as not delivered";
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
        {"articulo en dos lineas", "P0001", "SRV001", "00", "00", 1, 2, "SRV"},
    };
    for (const Caso& c : casos) {
        // The save's one read of the order answers as the statements do.
        for (const bool guardando : {false, true}) {
            SCOPED_TRACE(std::string(c.nombre) + (guardando ? ", guardando" : ""));
            const PendientesPedido leidos(conexion(), c.folio);
            f.PendientesGuardado = guardando ? &leidos : nullptr;
            std::string unidad = "x";
            EXPECT_FLOAT_EQ(f.CantidadPendiente(c.folio, c.producto, c.talla, c.color, c.control, unidad), c.cantidad);
            EXPECT_EQ(unidad, c.unidad);
            f.PendientesGuardado = nullptr;
        }
    }
}

// ---- stock-only loader ----

const std::string parcial =
    "Se surtio parcialmente el pedido, debio a que no todos los productos tienen existencia suficiente\r\n";
struct CasoSoloExistencia {
    const char* nombre;
    const char* preparacion; // SQL run on the demo company first; "" for none
    const char* folio;
    std::string informe;
    std::vector<std::tuple<const char*, const char*, double>> celdas; // product, column, value
};
const std::vector<CasoSoloExistencia> casosSoloExistencia = {
    // ACE001: 24 PZA on hand of 60 pending = 2 boxes; CEM001 has no stock and is only reported.
    {"short lines are cut, lines without stock reported", "", "P0001",
     parcial + "Producto:ACE001 - \r\nProducto:CEM001 - \r\n",
     {{"ACE001", "Cantidad_1", 2}, {"ACE001", "Cantidad_Control_1", 24}, {"ACE001", "Cantidad_Costo", 24},
      {"ACE001", "Costo", 65}, {"CAM001", "Cantidad_1", 10}}},
    // Stock equal to the pending quantity (ACE001, CEM001) is loaded from the stock figures, not reported.
    {"size, colour and reserved serials named",
     "UPDATE Existencia SET Ex_Cantidad_Control_1 = 4, Ex_Cantidad_Control_2 = 4 WHERE Sc_Cve_Sucursal = '01' "
     "AND Al_Cve_Almacen = '01' AND Pr_Cve_Producto = 'CAM001' AND Tl_Cve_Talla = 'MD';"
     "UPDATE Existencia SET Ex_Cantidad_Control_1 = 1, Ex_Cantidad_Control_2 = 1 WHERE Sc_Cve_Sucursal = '01' "
     "AND Al_Cve_Almacen = '01' AND Pr_Cve_Producto = 'TAL001';"
     "UPDATE Existencia SET Ex_Cantidad_Control_1 = 60 WHERE Sc_Cve_Sucursal = '01' AND Al_Cve_Almacen = '01' "
     "AND Pr_Cve_Producto = 'ACE001';"
     "UPDATE Pedido SET Es_Cve_Estado = 'AC' WHERE Pd_Folio = 'P0001' AND Pd_ID = '0007';"
     "UPDATE Existencia SET Ex_Cantidad_Control_1 = 10, Ex_Cantidad_Control_2 = 10 WHERE Pr_Cve_Producto = 'CEM001';"
     "INSERT INTO Parametro (Pm_Clave, Pm_Valor) VALUES ('PED_APARTAR_SERIE', 'SI')",
     "P0001",
     parcial + "Producto:CAM001 - \r\n   TALLA:MD - Mediana\r\n   COLOR:AZ - Azul marino\r\n"
               "Producto:TAL001 - \r\n   SERIES:TAL-0001,TAL-0002\r\n",
     {{"CAM001", "Cantidad_1", 4}, {"ACE001", "Cantidad_1", 5}, {"CEM001", "Cantidad_1", 10}}},
    {"lots named",
     "UPDATE Existencia SET Ex_Cantidad_Control_1 = 4, Ex_Cantidad_Control_2 = 76 WHERE Sc_Cve_Sucursal = '01' "
     "AND Al_Cve_Almacen = '02' AND Pr_Cve_Producto = 'PIN001';"
     "UPDATE PDA_Salida SET Es_Cve_Estado = 'PR' WHERE Sa_Folio = 'S0001'", // no finished dispatch
     "P0008", parcial + "Producto:PIN001 - \r\n   LOTES:L-2601\r\n", {{"PIN001", "Cantidad_Control_1", 4}}},
};

class SoloExistencia : public CargaTest, public ::testing::WithParamInterface<CasoSoloExistencia> {};

// A line short of stock is cut to what is on hand; the one report names each short line with
// its size, colour, lots or reserved serials.
TEST_P(SoloExistencia, Caso)
{
    const CasoSoloExistencia& c = GetParam();
    if (*c.preparacion)
        conexion().executeScript(c.preparacion);
    nuevo(true);
    pedido(c.folio);
    EXPECT_EQ(ultimoMensaje(), "") << transcript();
    ASSERT_EQ(dialogos().textosMostrados().size(), 1u);
    EXPECT_EQ(dialogos().textosMostrados()[0], c.informe);
    for (const auto& [producto, columna, valor] : c.celdas) {
        ASSERT_GE(fila(producto), 0) << producto;
        EXPECT_DOUBLE_EQ(celda(fila(producto), columna).toDouble(), valor) << producto << " " << columna;
    }
}

INSTANTIATE_TEST_SUITE_P(Casos, SoloExistencia, ::testing::ValuesIn(casosSoloExistencia), NombreCaso{});

// ---- handheld dispatch ----

// Another order's, an unfinished or an unknown dispatch is refused and leaves the grid.
TEST_F(CargaTest, DispatchRefusals)
{
    frmVN003& f = nuevo(false);
    pedido("P0001");
    f.txtSalida.setEnabled(true);
    const int filas = f.ssDetalle.rowCount();

    // Every message the typed folio shows, as "id|flags|title|prompt"; the folio is cleared.
    auto rechazo = [&](const char* folio) {
        dialogos().limpia();
        f.txtSalida.userType(folio);
        f.txtSalida.userEnter();
        EXPECT_EQ(f.txtSalida.text(), "") << folio;
        std::string r;
        for (const auto& m : dialogos().mensajes())
            r += m.id + "|" + std::to_string(m.flags) + "|" + m.title + "|" + m.prompt + "\n";
        return r;
    };
    EXPECT_EQ(rechazo("S0001"), "|48|Folio incorrecto|La salida no corresponde al pedido seleccionado\r\nFolio salida: "
                                "S0001\r\nPedido salida: P0008\r\nPedido actual: P0001\n");
    EXPECT_EQ(rechazo("S0002"), "") << "a dispatch still being picked is refused silently";
    for (const char* folio : {"S9999", "S'01"})
        EXPECT_EQ(rechazo(folio), "ERR-ID:7500046|64|Tesmira|El folio de salida no es válido\n");
    EXPECT_EQ(f.ssDetalle.rowCount(), filas) << "a refused dispatch leaves the grid";
}

// Erasing the dispatch keeps the lines with free locations; on an empty grid it gives the
// date and the reference back.
TEST_F(CargaTest, ErasingTheDispatch)
{
    frmVN003& f = nuevo(false);
    f.dpFecha.setEnabled(false);
    f.txtReferencia.setEnabled(false);
    f.txtSalida.setText("S0001");
    f.txtSalida.setText("");
    EXPECT_TRUE(f.dpFecha.enabled());
    EXPECT_TRUE(f.txtReferencia.enabled());

    pedido("P0008");
    f.txtSalida.setEnabled(true);
    f.txtSalida.userType("");
    EXPECT_EQ(partidas().size(), 3u) << "the lines stay";
    EXPECT_FALSE(f.ssDetalle.col("Ubicacion").locked());
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
