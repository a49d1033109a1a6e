#include "Pantalla_fixture.h"

namespace tesmira::vn003::testing {
namespace {

using forms::Command;
using forms::ToolbarState;

struct CasoGuarda {
    const char* nombre;
    const char* parametro; // set to "SI" before the screen opens; "" for none
    const char* pedido;
    std::function<void(GuardadoTest&, frmVN003&)> prepara;
    std::vector<std::pair<std::string, std::string>> guardado; // statement, its first value after the save
};
const std::string lineasAbiertas = "SELECT COUNT(*) FROM Pedido WHERE Es_Cve_Estado <> 'CE' AND Pd_Folio = ";
const std::vector<CasoGuarda> casosGuarda = {
    // Besides the note: the order stamped by the user and the delivery address.
    {"sella el pedido y guarda el domicilio", "", "P0004", [](GuardadoTest&, frmVN003&) {},
     {{"SELECT Oper_Ult_Modif FROM Pedido_Encabezado WHERE Pd_Folio = 'P0004'", "ADMIN"},
      {"SELECT De_ID FROM Domicilio_Documento WHERE Dd_Tabla = 'Remision' AND Dd_Documento = 'R0006'", "0001"}}},
    // "Cerrar pedido" closes the order and every line of it, keeping the state it had before.
    {"cerrar pedido abierto", "", "P0004",
     [](GuardadoTest& t, frmVN003& f) { t.soloProducto("CAM001"), f.chkCerrar.setValue(1); },
     {{"SELECT Es_Cve_Estado + '/' + Pd_Estado_Proceso FROM Pedido_Encabezado WHERE Pd_Folio = 'P0004'", "CE/AC"},
      {lineasAbiertas + "'P0004'", "0"}}},
    {"cerrar pedido entregado", "", "P0003",
     [](GuardadoTest& t, frmVN003& f) { t.soloProducto("CAM001"), f.chkCerrar.setValue(1); },
     {{"SELECT Es_Cve_Estado + '/' + Pd_Estado_Proceso FROM Pedido_Encabezado WHERE Pd_Folio = 'P0003'", "CE/RM"},
      {lineasAbiertas + "'P0003'", "0"}}},
    // With automatic lots the writer picks the lot: whatever the cell held is dropped.
    {"lotes automaticos", "VEN_LOTE_AUTOMATICO", "P0001",
     [](GuardadoTest& t, frmVN003&) { t.soloProducto("PIN001"), t.celda("PIN001", "Lt_Cve_Lote", Value("NO-EXISTE")); },
     {{"SELECT COUNT(*) FROM Remision WHERE Rm_Folio = 'R0006' AND Pr_Cve_Producto = 'PIN001'", "1"}}},
    // Extended descriptions follow the grid's order: the third row is line "0003".
    {"descripciones de la tercera fila", "VEN_LOTE_AUTOMATICO", "P0001",
     [](GuardadoTest& t, frmVN003& f) {
         t.celda("TAL001", "Sr_Cve_Serie", Value("TAL-0001|TAL-0002"));
         f.ssDetalle.setRow(2);
         f.ssDetalle.col("DESCAMP").setValue(Value("Cubeta con tapa O'Brien"));
         f.ssDetalle.col("DESAMPR").setValue(Value("Entregar en andén 3"));
     },
     {{"SELECT Pr_Cve_Producto FROM Remision WHERE Rm_Folio = 'R0006' AND Rm_ID = '0003'", "PIN001"},
      {"SELECT Dam_Descripcion FROM Descripcion_Ampliada WHERE Dam_Tabla = 'Remision' AND Dam_Documento = 'R0006' "
       "AND Dam_ID = '0003'", "Cubeta con tapa O'Brien"},
      {"SELECT Dam_Descripcion FROM Descripcion_Ampliada WHERE Dam_Tabla = 'REMISION2' AND Dam_Documento = 'R0006' "
       "AND Dam_ID = '0003'", "Entregar en andén 3"}}},
    // The credit check applies to credit sales only (the refusal is a case of NadaCambia).
    {"credito de una venta de contado", "VEN_VALIDAR_CREDITO_REMISION", "P0003",
     [](GuardadoTest& t, frmVN003&) { t.soloProducto("CAM001"); },
     {{"SELECT Rm_Documento FROM Remision_Encabezado WHERE Rm_Folio = 'R0006'", "P0003"}}},
    // A dispatch folio on a note of a warehouse without locations is neither closed nor recorded.
    {"salida en almacen sin ubicaciones", "", "P0004", [](GuardadoTest&, frmVN003& f) { f.txtSalida.setText("S0001"); },
     {{"SELECT Es_Cve_Estado FROM PDA_Salida WHERE Sa_Folio = 'S0001'", "FN"},
      {"SELECT Rm_PDA_Salida FROM Remision_Encabezado WHERE Rm_Folio = 'R0006'", ""}}},
};

class Guarda : public GuardadoTest, public ::testing::WithParamInterface<CasoGuarda> {};

// A completed save stores what the case says, prints the note, shows nothing and leaves an
// empty screen for the next one.
TEST_P(Guarda, Caso)
{
    const CasoGuarda& c = GetParam();
    if (*c.parametro)
        parametro(c.parametro, "SI");
    frmVN003& f = abre();
    nuevaConPedido(c.pedido);
    c.prepara(*this, f);
    acepta();
    EXPECT_EQ(ultimo(), nullptr) << transcript();
    for (const auto& [consulta, valor] : c.guardado)
        EXPECT_EQ(sql(consulta), valor) << consulta;
    EXPECT_TRUE(impreso("REMISION_R0006"));
    EXPECT_EQ(f.Controles.state(), ToolbarState::Empty);
    EXPECT_EQ(f.ssDetalle.rowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Casos, Guarda, ::testing::ValuesIn(casosGuarda), NombreCaso{});

// Which command the case runs, on a note started for an order or on the empty screen.
enum class Orden { Acepta, AceptaReemplazo, Elimina };

struct CasoNadaCambia {
    const char* nombre;
    const char* parametro; // set to "SI" before the screen opens; "" for none
    const char* pedido;    // "" leaves the screen empty
    std::function<void(GuardadoTest&, frmVN003&)> prepara;
    const char* fallaTabla; // "": no injected failure
    const char* fallaEvento;
    Orden orden;
    const char* id;
    const char* motivo; // a text the prompt carries
};
void nada(GuardadoTest&, frmVN003&) {}
void conFactura(GuardadoTest& t, frmVN003&) { t.conFactura(); }
const char* const falla = "falla inyectada";
const std::vector<CasoNadaCambia> casosNadaCambia = {
    {"serie sin capturar", "", "P0003", [](GuardadoTest& t, frmVN003&) { t.soloProducto("TAL001"); }, "", "",
     Orden::Acepta, "ERR-ID:7500010", ""},
    // A row of another warehouse follows that warehouse's rules: 02/01 asks for no series (nor has
    // stock), whatever the rows of 01/01 before it asked.
    {"serie en otro almacen", "VEN_LOTE_AUTOMATICO", "P0001",
     [](GuardadoTest& t, frmVN003& f) {
         f.Derechos.DerechoVNDISP = true, t.celda("TAL001", "Rm_Sucursal_Inventario", Value("02"));
     },
     "", "", Orden::Acepta, "ERR-ID:7500012", "no tiene registro de existencia en el almacén 02/01"},
    {"periodo cerrado", "GEN_VALIDAR_PERIODO_OPERATIVO", "P0004",
     [](GuardadoTest&, frmVN003& f) { f.dpFecha.setValue(Date{2026, 10, 15}); }, "", "", Orden::Acepta,
     "ERR-ID:7500004", ""},
    {"credito insuficiente", "VEN_VALIDAR_CREDITO_REMISION", "P0009", nada, "", "", Orden::Acepta, "",
     "El cliente no tiene suficiente credito disponible\r\nTotal: $"},
    {"reemplazo sin folio en pantalla", "", "P0004", nada, "", "", Orden::AceptaReemplazo, "ERR-ID:7500005", ""},
    // 12 pending: each row fits alone, the second does not once the first is stored.
    {"mismo articulo en dos filas mas alla de lo pendiente", "", "P0003",
     [](GuardadoTest& t, frmVN003& f) {
         t.soloProducto("CAM001");
         auto& g = f.ssDetalle;
         std::vector<Value> fila;
         for (int i = 0; i < g.columnCount(); ++i)
             fila.push_back(g.col(i).value());
         g.addRow();
         for (int i = 0; i < g.columnCount(); ++i)
             g.col(i).setValue(fila[static_cast<size_t>(i)]);
         for (int r = 0; r < 2; ++r) {
             g.setRow(r);
             g.col("Cantidad_1").setValue(7.0);
             g.col("Cantidad_Control_2").setValue(7.0);
         }
         g.moveFirst();
     },
     "", "", Orden::Acepta, "ERR-ID:7500040", ""},
    // A failure at any write of the save takes the whole note back, order and address included.
    {"falla en Remision", "", "P0004", nada, "Remision", "INSERT", Orden::Acepta, "ERR-ID:7500025", falla},
    {"falla en el movimiento", "", "P0004", nada, "Movimiento_Inventario", "INSERT", Orden::Acepta,
     "ERR-ID:7500025", falla},
    {"falla en el encabezado", "", "P0004", nada, "Remision_Encabezado", "INSERT", Orden::Acepta, "ERR-ID:7500025",
     falla},
    {"falla en la descripcion", "", "P0004",
     [](GuardadoTest& t, frmVN003&) { t.celda("CAM001", "DESCAMP", Value("Playera de muestra")); },
     "Descripcion_Ampliada", "INSERT", Orden::Acepta, "ERR-ID:7500025", falla},
    {"falla en el domicilio", "", "P0004", nada, "Domicilio_Documento", "INSERT", Orden::Acepta, "ERR-ID:7500025",
     falla},
    {"falla en el pedido", "", "P0004", nada, "Pedido", "UPDATE", Orden::Acepta, "ERR-ID:7500025", falla},
    {"falla en el encabezado del pedido", "", "P0004", nada, "Pedido_Encabezado", "UPDATE", Orden::Acepta,
     "ERR-ID:7500025", falla},
    {"falla en la existencia", "", "P0004", nada, "Existencia", "UPDATE", Orden::Acepta, "ERR-ID:7500025", falla},
    // An invoicing refusal or failure takes the note back with it.
    {"serie rechazada", "", "P0004",
     [](GuardadoTest& t, frmVN003& f) {
         t.conFactura();
         f.txt_Fc_Factura.validationHook = [](forms::SeriesField&, std::string& error) {
             error = "Serie agotada";
             return false;
         };
     },
     "", "", Orden::Acepta, "ERR-ID:7500022", "Controles_Aceptar()Facturar_Remision() - \r\nSerie agotada"},
    {"falla en la venta", "", "P0004", conFactura, "Venta", "INSERT", Orden::Acepta, "ERR-ID:7500022", falla},
    {"falla en la factura", "", "P0004", conFactura, "Factura", "INSERT", Orden::Acepta, "ERR-ID:7500022", falla},
    {"falla al marcar la nota", "", "P0004", conFactura, "Remision_Encabezado", "UPDATE OF Rm_Facturado",
     Orden::Acepta, "ERR-ID:7500022", falla},
    // The cancel command's refusals and failures leave the note as it was.
    {"cancelar sin folio", "", "", nada, "", "", Orden::Elimina, "ERR-ID:7500027", ""},
    {"cancelar nota ya cancelada", "", "", [](GuardadoTest&, frmVN003& f) { f.txtFolio.setText("R0002"); }, "", "",
     Orden::Elimina, "ERR-ID:7500027", ""},
    {"falla al registrar la baja", "", "", [](GuardadoTest&, frmVN003& f) { f.txtFolio.setText("R0001"); },
     "Bitacora_Documento", "INSERT", Orden::Elimina, "ERR-ID:7500030", falla},
};

class NadaCambia : public GuardadoTest, public ::testing::WithParamInterface<CasoNadaCambia> {};

// Every refusal or failure leaves the database as it was, no transaction open, and the screen
// as the clerk left it, with the reason shown.
TEST_P(NadaCambia, Caso)
{
    const CasoNadaCambia& c = GetParam();
    if (*c.parametro)
        parametro(c.parametro, "SI");
    frmVN003& f = abre();
    if (*c.pedido) {
        nuevaConPedido(c.pedido);
        f.txtReferencia.userType("lo que tecleó");
    }
    c.prepara(*this, f);
    if (*c.fallaTabla)
        fallaEn(c.fallaTabla, c.fallaEvento);
    const int filas = f.ssDetalle.rowCount();
    const auto estado = f.Controles.state();
    const std::string antes = volcado(), folio = f.txtFolio.text(), referencia = f.txtReferencia.text();

    if (c.orden == Orden::Elimina)
        f.Controles_Eliminar();
    else
        f.Controles.press(Command::Aceptar, c.orden == Orden::Acepta ? 1 : 0);

    EXPECT_EQ(volcado(), antes);
    ASSERT_NE(ultimo(), nullptr);
    ASSERT_EQ(ultimo()->id, c.id) << transcript();
    EXPECT_NE(ultimo()->prompt.find(c.motivo), std::string::npos) << ultimo()->prompt;
    EXPECT_FALSE(conexion().inTransaction());
    EXPECT_EQ(f.ssDetalle.rowCount(), filas);
    EXPECT_EQ(f.Controles.state(), estado);
    EXPECT_EQ(f.txtFolio.text(), folio);
    EXPECT_EQ(f.txtReferencia.text(), referencia);
}

INSTANTIATE_TEST_SUITE_P(Casos, NadaCambia, ::testing::ValuesIn(casosNadaCambia), NombreCaso{});

// A screen the host opened for an order has no note on screen to replace, even with argument 0.
TEST_F(GuardadoTest, CallParametersSkipTheRemoval)
{
    frmVN003& f = abre("P0004");
    ASSERT_FALSE(f.ParametrosLlamada.empty());
    ASSERT_EQ(f.ssDetalle.rowCount(), 2);
    f.Controles.press(Command::Aceptar, 0);
    EXPECT_EQ(sql("SELECT Rm_Documento FROM Remision_Encabezado WHERE Rm_Folio = 'R0006'"), "P0004") << transcript();
    EXPECT_TRUE(f.ParametrosLlamada.empty());
}

// Events running during the save must not start a second one.
TEST_F(GuardadoTest, SecondAcceptDuringASaveIsIgnored)
{
    frmVN003& f = abre();
    nuevaConPedido("P0004");
    int llamadas = 0;
    f.Controles.grabaCamposHook = [&](const std::string&, std::string&) {
        ++llamadas;
        f.Controles_Aceptar(1);
        f.Controles.press(Command::Aceptar);
        return true;
    };
    acepta();
    EXPECT_EQ(llamadas, 1);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM Remision_Encabezado WHERE Rm_Documento = 'P0004'"), "1") << transcript();
}

} // namespace
} // namespace tesmira::vn003::testing

namespace tesmira::vn003::testing {
namespace {

// The note and the sale store what the grid showed when the save ran (amounts after the
// totals, a description cut to 100 characters), whatever REM_TIPO_CALCULO_IMPORTES says.
class ImportesGuardados : public GuardadoTest, public ::testing::WithParamInterface<int> {};

TEST_P(ImportesGuardados, StoredLinesAreTheGridsLines)
{
    const int tipo = GetParam();
    parametro("REM_TIPO_CALCULO_IMPORTES", std::to_string(tipo));
    // A fee of 5 a unit on two units with a 10 % line discount and a 5 % global discount.
    conexion().Execute("UPDATE Pedido SET Pd_Cantidad_1 = 2, Pd_Cantidad_Control_1 = 2, Pd_Cantidad_Control_2 = 2, "
                       "Pd_Descuento_Factor = 0.10, Pd_Cuota_Fija = 5 WHERE Pd_Folio = 'P0004' AND Pd_ID = '0001'");
    for (const char* tabla : {"Pedido", "Pedido_Encabezado"})
        conexion().Execute(std::string("UPDATE ") + tabla +
                           " SET Pd_Descuento_Global_Factor = 0.05 WHERE Pd_Folio = 'P0004'");
    abre();
    frmVN003& f = nuevaConPedido("P0004");
    soloProducto("CAM001");
    std::string camion;
    for (int i = 0; i < 20; ++i)
        camion += "Camión ";
    celda("CAM001", "Pr_Descripcion", Value(camion));
    f.CalculaImportesPartida();
    f.CalculaTotales();
    auto grid = [&](const char* columna) { return f.ssDetalle.col(columna).value().toDouble(); };
    const double descontado = grid("Precio_Descontado_Importe"), impuesto = grid("Impuesto_Importe"),
                 neto = grid("Precio_Neto"), importeNeto = grid("Precio_Neto_Importe");
    const double total = f.txtTotal.value().toDouble();
    if (tipo == 5) {
        EXPECT_EQ((std::vector{descontado, impuesto, neto, importeNeto}), (std::vector<double>{460, 68.4, 266, 532}));
    }
    conFactura();
    acepta();

    std::string cien;
    for (int i = 0; i < 14; ++i)
        cien += "Camión ";
    cien += "Ca";
    for (const std::string p : {"Rm", "Vn"}) {
        SCOPED_TRACE(p);
        const std::string linea = p == "Rm" ? "FROM Remision WHERE Rm_Folio = 'R0006'"
                                            : "FROM Venta WHERE Vn_Documento = 'R0006'";
        auto guardado = [&](const std::string& columna) {
            return std::stod(sql("SELECT " + p + "_" + columna + " " + linea));
        };
        EXPECT_EQ(guardado("Precio_Descontado_Importe"), descontado) << transcript();
        EXPECT_EQ(guardado("Impuesto_Importe"), impuesto);
        EXPECT_EQ(guardado("Precio_Neto_Importe"), importeNeto);
        // The loaders price with kind 5, which leaves the fee untaxed, as kind 1 does.
        if (tipo == 1 || tipo == 5) {
            EXPECT_EQ(guardado("Precio_Neto"), neto);
        }
        EXPECT_EQ(sql("SELECT " + p + "_Descripcion " + linea), cien);
    }
    EXPECT_NEAR(std::stod(sql("SELECT Rm_Total FROM Remision_Encabezado WHERE Rm_Folio = 'R0006'")), total, 1e-9);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM Remision r JOIN Remision_Encabezado e ON e.Rm_Folio = r.Rm_Folio WHERE "
                  "r.Rm_Folio = 'R0006' AND e.Rm_Descuento_Global_Importe > 0 AND "
                  "r.Rm_Descuento_Global_Importe = e.Rm_Descuento_Global_Importe"), "1") << "the global discount on the line";
    EXPECT_NEAR(std::stod(sql("SELECT Vn_Total FROM Venta_Encabezado WHERE Vn_Documento = 'R0006'")), total, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Tipos, ImportesGuardados, ::testing::Values(1, 2, 3, 5));

} // namespace
} // namespace tesmira::vn003::testing
