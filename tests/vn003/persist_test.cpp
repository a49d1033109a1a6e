#include "Pantalla_fixture.h"

namespace tesmira::vn003::testing {
namespace {

using forms::Command;
using forms::ToolbarState;

// What a completed save leaves besides the note itself: the order stamped by the user, the
// delivery address, the printed note, and an empty screen for the next one.
TEST_F(GuardadoTest, SaveStampsTheOrderStoresTheAddressAndPrints)
{
    abre();
    frmVN003& f = nuevaConPedido("P0004");
    acepta();

    EXPECT_TRUE(dialogos().mensajes().empty()) << transcript();
    EXPECT_EQ(sql("SELECT Oper_Ult_Modif FROM Pedido_Encabezado WHERE Pd_Folio = 'P0004'"), "ADMIN");
    EXPECT_EQ(sql("SELECT De_ID FROM Domicilio_Documento WHERE Dd_Tabla = 'Remision' AND Dd_Documento = 'R0006'"),
              "0001");
    EXPECT_TRUE(impreso("REMISION_R0006"));
    EXPECT_EQ(f.Controles.state(), ToolbarState::Empty);
    EXPECT_EQ(f.ssDetalle.rowCount(), 0);
    EXPECT_TRUE(f.ParametrosLlamada.empty());
}

struct CasoCerrarPedidoDecidesTheOrderState {
    const char* nombre;
    const char* pedido;
    const char* proceso;
};
const CasoCerrarPedidoDecidesTheOrderState casosCerrarPedidoDecidesTheOrderState[] = {
    {"abierto", "P0004", "AC"},
    {"entregado", "P0003", "RM"},
};

class CerrarPedidoDecidesTheOrderState : public GuardadoTest,
    public ::testing::WithParamInterface<CasoCerrarPedidoDecidesTheOrderState> {};

// "Cerrar pedido" closes the order and every line of it, keeping the state it had before.
TEST_P(CerrarPedidoDecidesTheOrderState, Caso)
{
    const CasoCerrarPedidoDecidesTheOrderState& c = GetParam();
    abre();
    frmVN003& f = nuevaConPedido(c.pedido);
    soloProducto("CAM001");
    f.chkCerrar.setValue(1);
    acepta();
    const std::string pedido = c.pedido;
    EXPECT_EQ(sql("SELECT Es_Cve_Estado FROM Pedido_Encabezado WHERE Pd_Folio = '" + pedido + "'"), "CE")
        << transcript();
    EXPECT_EQ(sql("SELECT Pd_Estado_Proceso FROM Pedido_Encabezado WHERE Pd_Folio = '" + pedido + "'"),
              c.proceso);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM Pedido WHERE Pd_Folio = '" + pedido + "' AND Es_Cve_Estado <> 'CE'"),
              "0");
}

INSTANTIATE_TEST_SUITE_P(Casos, CerrarPedidoDecidesTheOrderState,
                         ::testing::ValuesIn(casosCerrarPedidoDecidesTheOrderState), NombreCaso{});

struct CasoRefusalsChangeNothing {
    const char* nombre;
    std::vector<std::pair<std::string, std::string>> parametros;
    const char* pedido;
    std::function<void(GuardadoTest&, frmVN003&)> prepara;
    int argumento;
    const char* id;
};
const std::vector<CasoRefusalsChangeNothing> casosRefusalsChangeNothing = {
    {"serie sin capturar",
     {},
     "P0003",
     [](GuardadoTest& t, frmVN003&) { t.soloProducto("TAL001"); },
     1,
     "ERR-ID:7500010"},
    {"periodo cerrado",
     {{"GEN_VALIDAR_PERIODO_OPERATIVO", "SI"}},
     "P0004",
     [](GuardadoTest&, frmVN003& f) { f.dpFecha.setValue(Date{2026, 10, 15}); },
     1,
     "ERR-ID:7500004"},
    {"reemplazo sin folio en pantalla", {}, "P0004", [](GuardadoTest&, frmVN003&) {}, 0, "ERR-ID:7500005"},
    // 12 pending: each row fits alone, the second does not once the first is stored.
    {"mismo articulo en dos filas mas alla de lo pendiente",
     {},
     "P0003",
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
     1,
     "ERR-ID:7500040"},
};

class RefusalsChangeNothing : public GuardadoTest, public ::testing::WithParamInterface<CasoRefusalsChangeNothing> {};

// Every refusal leaves the database as it was and the screen as the clerk left it.
TEST_P(RefusalsChangeNothing, Caso)
{
    const CasoRefusalsChangeNothing& c = GetParam();
    for (const auto& [clave, valor] : c.parametros)
        param(clave, valor);
    frmVN003& f = abre();
    nuevaConPedido(c.pedido);
    c.prepara(*this, f);
    f.txtReferencia.userType("lo que tecleó");
    const int filas = f.ssDetalle.rowCount();
    const std::string antes = volcado();

    f.Controles.press(Command::Aceptar, c.argumento);

    EXPECT_EQ(volcado(), antes);
    EXPECT_EQ(ultimoMensaje(), c.id) << transcript();
    EXPECT_EQ(f.ssDetalle.rowCount(), filas);
    EXPECT_EQ(f.txtReferencia.text(), "lo que tecleó");
    EXPECT_NE(f.Controles.state(), ToolbarState::Empty);
    EXPECT_FALSE(conexion().inTransaction());
}

INSTANTIATE_TEST_SUITE_P(Casos, RefusalsChangeNothing, ::testing::ValuesIn(casosRefusalsChangeNothing), NombreCaso{});

struct CasoFailureAtAnyWriteRollsEverythingBack {
    const char* tabla;
    const char* evento;
};
const CasoFailureAtAnyWriteRollsEverythingBack casosFailureAtAnyWriteRollsEverythingBack[] = {
    {"Remision", "INSERT"},
    {"Movimiento_Inventario", "INSERT"},
    {"Remision_Encabezado", "INSERT"},
    {"Descripcion_Ampliada", "INSERT"},
    {"Domicilio_Documento", "INSERT"},
    {"Pedido", "UPDATE"},
    {"Pedido_Encabezado", "UPDATE"},
    {"Existencia", "UPDATE"},
};

class FailureAtAnyWriteRollsEverythingBack : public GuardadoTest,
    public ::testing::WithParamInterface<CasoFailureAtAnyWriteRollsEverythingBack> {};

// A failure at any write of the save takes the whole note back, order and address included.
TEST_P(FailureAtAnyWriteRollsEverythingBack, Caso)
{
    const CasoFailureAtAnyWriteRollsEverythingBack& c = GetParam();
    frmVN003& f = abre();
    nuevaConPedido("P0004");
    celda("CAM001", "DESCAMP", Value("Playera de muestra"));
    fallaEn(c.tabla, c.evento);
    const std::string antes = volcado();

    acepta();

    EXPECT_EQ(volcado(), antes);
    ASSERT_NE(ultimo(), nullptr);
    EXPECT_NE(ultimo()->prompt.find("falla inyectada"), std::string::npos) << transcript();
    EXPECT_EQ(ultimo()->flags, 16);
    EXPECT_EQ(f.ssDetalle.rowCount(), 2);
    EXPECT_EQ(f.Controles.state(), ToolbarState::New);
}

INSTANTIATE_TEST_SUITE_P(Casos, FailureAtAnyWriteRollsEverythingBack,
                         ::testing::ValuesIn(casosFailureAtAnyWriteRollsEverythingBack), [](const auto& i) { return std::string(i.param.tabla) + "_" + std::to_string(i.index); });

// With automatic lots the writer picks the lot: whatever the cell held is dropped.
TEST_F(GuardadoTest, AutomaticLotsSaveAnEmptyLot)
{
    param("VEN_LOTE_AUTOMATICO", "SI");
    abre();
    frmVN003& f = nuevaConPedido("P0001");
    soloProducto("PIN001");
    celda("PIN001", "Lt_Cve_Lote", Value("NO-EXISTE"));
    acepta();
    EXPECT_EQ(sql("SELECT COUNT(*) FROM Remision WHERE Rm_Folio = 'R0006' AND Pr_Cve_Producto = 'PIN001'"), "1")
        << transcript();
    EXPECT_EQ(f.Controles.state(), ToolbarState::Empty);
}

// Extended descriptions follow the grid's order: the third row is line "0003".
TEST_F(GuardadoTest, ThirdRowDescriptionsAreStoredAsLine0003)
{
    param("VEN_LOTE_AUTOMATICO", "SI");
    abre();
    frmVN003& f = nuevaConPedido("P0001");
    celda("TAL001", "Sr_Cve_Serie", Value("TAL-0001|TAL-0002"));
    f.ssDetalle.setRow(2);
    const std::string tercero = f.ssDetalle.col("Pr_Cve_Producto").value().toString();
    f.ssDetalle.col("DESCAMP").setValue(Value("Cubeta con tapa O'Brien"));
    f.ssDetalle.col("DESAMPR").setValue(Value("Entregar en andén 3"));
    acepta();
    EXPECT_EQ(sql("SELECT Pr_Cve_Producto FROM Remision WHERE Rm_Folio = 'R0006' AND Rm_ID = '0003'"), tercero)
        << transcript();
    EXPECT_EQ(sql("SELECT Dam_Descripcion FROM Descripcion_Ampliada WHERE Dam_Tabla = 'Remision' AND Dam_Documento = 'R0006' "
                  "AND Dam_ID = '0003'"),
              "Cubeta con tapa O'Brien");
    EXPECT_EQ(sql("SELECT Dam_Descripcion FROM Descripcion_Ampliada WHERE Dam_Tabla = 'REMISION2' AND Dam_Documento = "
                  "'R0006' AND Dam_ID = '0003'"),
              "Entregar en andén 3");
}

// The credit check applies to credit sales only, and refuses through the plain message box.
TEST_F(GuardadoTest, CreditCheckOnlyForCreditSales)
{
    param("VEN_VALIDAR_CREDITO_REMISION", "SI");
    abre();
    nuevaConPedido("P0003"); // C0002 pays cash
    soloProducto("CAM001");
    acepta();
    EXPECT_EQ(sql("SELECT Rm_Documento FROM Remision_Encabezado WHERE Rm_Folio = 'R0006'"), "P0003") << transcript();

    frmVN003& f = nuevaConPedido("P0009"); // C0004: 1,000 available
    const std::string antes = volcado();
    acepta();
    EXPECT_EQ(volcado(), antes);
    ASSERT_NE(ultimo(), nullptr);
    EXPECT_EQ(ultimo()->id, "");
    EXPECT_EQ(ultimo()->prompt.rfind("El cliente no tiene suficiente credito disponible\r\nTotal: $", 0), 0u);
    EXPECT_NE(ultimo()->prompt.find("\r\nDisponible: $1,000.00"), std::string::npos) << ultimo()->prompt;
    EXPECT_EQ(f.Controles.state(), ToolbarState::New);
}

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

// A dispatch folio on a note of a warehouse without locations is neither closed nor recorded.
TEST_F(GuardadoTest, DispatchClosedOnlyForWarehousesWithLocations)
{
    abre();
    frmVN003& f = nuevaConPedido("P0004");
    f.txtSalida.setText("S0001");
    acepta();
    EXPECT_EQ(sql("SELECT Es_Cve_Estado FROM PDA_Salida WHERE Sa_Folio = 'S0001'"), "FN") << transcript();
    EXPECT_EQ(sql("SELECT Rm_PDA_Salida FROM Remision_Encabezado WHERE Rm_Folio = 'R0006'"), "");
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

struct CasoCancelRefusalsChangeNothing {
    const char* nombre;
    const char* folio;
    const char* fallaTabla;
    const char* id;
};
const CasoCancelRefusalsChangeNothing casosCancelRefusalsChangeNothing[] = {
    {"folio vacío", "", "", "ERR-ID:7500027"},
    {"nota ya cancelada", "R0002", "", "ERR-ID:7500027"},
    {"falla al registrar la baja", "R0001", "Bitacora_Documento", ""},
};

class CancelRefusalsChangeNothing : public GuardadoTest,
    public ::testing::WithParamInterface<CasoCancelRefusalsChangeNothing> {};

// The cancel command's refusals and failures leave the note as it was.
TEST_P(CancelRefusalsChangeNothing, Caso)
{
    const CasoCancelRefusalsChangeNothing& c = GetParam();
    frmVN003& f = abre();
    if (*c.fallaTabla)
        fallaEn(c.fallaTabla);
    f.txtFolio.setText(c.folio);
    const std::string antes = volcado();
    f.Controles_Eliminar();
    EXPECT_EQ(volcado(), antes);
    ASSERT_NE(ultimo(), nullptr);
    if (*c.id) {
        EXPECT_EQ(ultimo()->id, c.id) << transcript();
    } else {
        EXPECT_NE(ultimo()->prompt.find("falla inyectada"), std::string::npos) << transcript();
    }
    EXPECT_EQ(f.txtFolio.text(), c.folio);
    EXPECT_FALSE(conexion().inTransaction());
}

INSTANTIATE_TEST_SUITE_P(Casos, CancelRefusalsChangeNothing,
                         ::testing::ValuesIn(casosCancelRefusalsChangeNothing), NombreCaso{});

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
    param("REM_TIPO_CALCULO_IMPORTES", std::to_string(tipo));
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
        EXPECT_EQ(descontado, 460);
        EXPECT_EQ(impuesto, 68.4);
        EXPECT_EQ(neto, 266);
        EXPECT_EQ(importeNeto, 532);
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
    EXPECT_NEAR(std::stod(sql("SELECT Vn_Total FROM Venta_Encabezado WHERE Vn_Documento = 'R0006'")), total, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Tipos, ImportesGuardados, ::testing::Values(1, 2, 3, 5));

} // namespace
} // namespace tesmira::vn003::testing
