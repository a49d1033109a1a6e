// The screen shell: component entry, load and activation, the toolbar's state commands, tab
// keys, the closing-order policy, and the line amounts and totals.
#include "Pantalla_fixture.h"

#include "host/Utilerias.h"

#include <filesystem>
#include <functional>

namespace tesmira::vn003::testing {
namespace {

using forms::Command;

// The host asks twice for the screen: one shared instance, so state survives between calls.
TEST_F(PantallaTest, GetPantallaAnswersTheSameInstanceAndModuloVentas)
{
    Pantalla sinPantalla;
    EXPECT_EQ(sinPantalla.Modulo(), "VENTAS") << "the module does not depend on the screen";
    IniciaComponente(entorno());
    Pantalla otra;
    frmVN003* primera = pantalla().GetPantalla();
    ASSERT_NE(primera, nullptr);
    EXPECT_EQ(primera, otra.GetPantalla());
}

// A company that set nothing gets the documented defaults.
TEST_F(PantallaTest, LoadWithoutParametersTakesTheDefaults)
{
    conexion().Execute("DELETE FROM Parametro");
    frmVN003& f = abre();
    EXPECT_FALSE(f.Parametros.LoteAutomatico);
    EXPECT_EQ(f.Parametros.TipoCalculoImportes, 1);
    EXPECT_FALSE(f.Parametros.ValidarCreditoRemision);
    EXPECT_TRUE(f.Parametros.SurtirSoloExistente) << "stock-only loading is the default";
    EXPECT_FALSE(f.Parametros.CapturaCiega);
    EXPECT_FALSE(f.Parametros.CapturaMayorPedido);
    EXPECT_EQ(f.Parametros.FormatoUbicacion, "0000");
    EXPECT_EQ(f.Parametros.EstadoCerrarPedido, 0);
    EXPECT_TRUE(f.chkCerrar.enabled());
    EXPECT_EQ(f.chkCerrar.value(), forms::CheckBox::Unchecked);
    EXPECT_FALSE(f.chSinCargo.visible());
    EXPECT_EQ(f.txtProyecto.codeFormat(), "0000000000");
    EXPECT_EQ(f.txtCentroCosto.codeFormat(), "000000");
    for (forms::Control* c : {static_cast<forms::Control*>(&f.txtProyecto), static_cast<forms::Control*>(&f.txtUen),
                              static_cast<forms::Control*>(&f.txtCentroCosto),
                              static_cast<forms::Control*>(&f.txtActivoFijo), static_cast<forms::Control*>(&f.txtLectura)})
        EXPECT_FALSE(c->visible()) << c->name() << " shown for a dimension the company does not use";
    EXPECT_TRUE(f.Controles.ToolbarIniciado());
    EXPECT_EQ(f.ssTabKiv.tab(), 0);
    EXPECT_EQ(f.dpFecha.value(), (Date{2026, 12, 5}));
    EXPECT_EQ(f.Controles.state(), forms::ToolbarState::Empty);
}

// Each parameter lands where the rest of the screen reads it.
TEST_F(PantallaTest, LoadKeepsEachParameter)
{
    struct Caso {
        const char* nombre;
        const char* clave;
        const char* valor;
        std::function<bool(frmVN003&)> cumple;
    };
    const std::vector<Caso> casos = {
        {"blind capture", "REM_CAPTURA_CIEGA", "1", [](frmVN003& f) { return f.Parametros.CapturaCiega; }},
        {"more than ordered", "REM_CAPTURA_MAYOR_PEDIDO", "1",
         [](frmVN003& f) { return f.Parametros.CapturaMayorPedido; }},
        {"automatic lots", "VEN_LOTE_AUTOMATICO", "1", [](frmVN003& f) { return f.Parametros.LoteAutomatico; }},
        {"amount kind", "REM_TIPO_CALCULO_IMPORTES", "2",
         [](frmVN003& f) { return f.Parametros.TipoCalculoImportes == 2; }},
        {"all lines", "PED_SURTIR_SOLO_EXISTENTE", "0",
         [](frmVN003& f) { return !f.Parametros.SurtirSoloExistente; }},
        {"customer mask", "FTO_CLIENTE", "00000", [](frmVN003& f) { return f.txtCliente.codeFormat() == "00000"; }},
        {"condition mask", "FTO_CONDICION_VENTA", "00",
         [](frmVN003& f) { return f.txtCondicionVenta.codeFormat() == "00"; }},
        {"local currency", "FIN_MONEDA_LOCAL", "USD", [](frmVN003& f) { return f.txtMonedaLocal.text() == "USD"; }},
        {"no-charge box", "VEN_PERMITIR_VENTA_SIN_CARGO", "1", [](frmVN003& f) { return f.chSinCargo.visible(); }},
        {"location mask", "FTO_UBICACION_ALMACEN", "00-00",
         [](frmVN003& f) { return f.Parametros.FormatoUbicacion == "00-00"; }},
        {"project shown", "VEN_PROYECTO_VISIBLE", "1",
         [](frmVN003& f) { return f.lbProyecto.visible() && f.txtProyecto.visible() && f.txtNProyecto.visible(); }},
        {"obligatory but not visible is shown", "VEN_UEN_OBLIGATORIO", "1",
         [](frmVN003& f) { return f.txtUen.visible() && f.Parametros.UenObligatorio; }},
        {"reading shown", "VEN_LECTURA_VISIBLE", "1", [](frmVN003& f) { return f.txtLectura.visible(); }},
        {"project mask", "FTO_PROYECTO", "000", [](frmVN003& f) { return f.txtProyecto.codeFormat() == "000"; }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        param(c.clave, c.valor);
        EXPECT_TRUE(c.cumple(abre())) << c.clave << " = " << c.valor;
        DescargaComponente();
        conexion().Execute(std::string("DELETE FROM Parametro WHERE Pm_Clave = '") + c.clave + "'");
    }
}

// The closing-order box: load/new policy versus the edit command's reset.
TEST_F(PantallaTest, ClosingOrderPolicyOnLoadAndOnEdit)
{
    struct Caso {
        int estado;
        bool habilitadoCarga;
        int valorCarga;
        bool habilitadoModificar;
        int valorModificar;
    };
    constexpr int No = forms::CheckBox::Unchecked, Si = forms::CheckBox::Checked;
    const Caso casos[] = {
        {0, true, No, true, No}, {1, true, Si, true, Si}, {2, false, No, false, Si},
        {3, false, Si, true, Si}, // the edit reset leaves 3 alone after the fields were enabled
        {7, true, No, true, No},   // unknown values behave as 0
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE("REM_ESTADO_CERRAR_PEDIDO = " + std::to_string(c.estado));
        param("REM_ESTADO_CERRAR_PEDIDO", std::to_string(c.estado));
        frmVN003& f = abre();
        EXPECT_EQ(f.chkCerrar.enabled(), c.habilitadoCarga);
        EXPECT_EQ(f.chkCerrar.value(), c.valorCarga);
        f.Controles_Modificar();
        EXPECT_EQ(f.chkCerrar.enabled(), c.habilitadoModificar);
        EXPECT_EQ(f.chkCerrar.value(), c.valorModificar);
        DescargaComponente();
    }
}

// Without VNDISP the stock-source columns stay hidden although a loader fills them.
TEST_F(PantallaTest, VndispRightShowsTheStockSourceColumns)
{
    for (bool derecho : {false, true}) {
        SCOPED_TRACE(derecho ? "VNDISP held" : "VNDISP not held");
        right("VNDISP", derecho);
        frmVN003& f = abre();
        EXPECT_EQ(f.Derechos.DerechoVNDISP, derecho);
        for (const char* col : {"Rm_Sucursal_Inventario", "Rm_Almacen_Inventario", "VALIDA_DISPONIBILIDAD"})
            EXPECT_EQ(f.ssDetalle.col(col).visible(), derecho) << col;
        DescargaComponente();
    }
}

// The date is the user's to change on a new note only with CHFECHA.
TEST_F(PantallaTest, NewNoteEnablesTheDateOnlyWithChfecha)
{
    for (bool derecho : {false, true}) {
        SCOPED_TRACE(derecho ? "CHFECHA held" : "CHFECHA not held");
        right("CHFECHA", derecho);
        frmVN003& f = abre();
        ASSERT_TRUE(f.Controles.press(Command::Nuevo));
        EXPECT_EQ(f.dpFecha.enabled(), derecho);
        DescargaComponente();
    }
}

TEST_F(PantallaTest, NewThenClearReturnsToTheEmptyScreen)
{
    frmVN003& f = abre();
    ASSERT_TRUE(f.Controles.press(Command::Nuevo));
    EXPECT_FALSE(f.txtFolio.enabled()) << "the folio is assigned on save";
    EXPECT_FALSE(f.txt_Rm_Tipo_Cambio.enabled());
    EXPECT_FALSE(f.chSinCargo.enabled());
    EXPECT_TRUE(f.txt_Pd_Folio.hasFocus());
    EXPECT_EQ(f.dpFecha.value(), (Date{2026, 12, 5}));

    f.ssTabKiv.userClick(2);
    f.Controles.setOpcionDocumento(1, true);
    ASSERT_TRUE(f.Controles.press(Command::Limpiar));
    EXPECT_TRUE(f.txtFolio.enabled());
    EXPECT_TRUE(f.txtFolio.hasFocus());
    EXPECT_EQ(f.ssTabKiv.tab(), 0);
    EXPECT_TRUE(f.fr0.enabled()) << "the header frame is usable again";
    EXPECT_EQ(f.txtDescuento_Global.value().toDouble(), 0.0);
    for (int n = 1; n <= 4; ++n)
        EXPECT_FALSE(f.Controles.OpcionDocumento(n)) << n;
    EXPECT_EQ(f.Controles.state(), forms::ToolbarState::Empty);
}

// Alt+1/2/3 select the tabs and switch the frames; anything else changes nothing.
TEST_F(PantallaTest, AltDigitKeysSelectTabs)
{
    frmVN003& f = abre();
    struct Caso {
        int tecla, shift, pestana;
    };
    const Caso casos[] = {{'2', 4, 1}, {'3', 4, 2}, {'1', 4, 0}, {'4', 4, 0}, {'2', 0, 0}, {'2', 1, 0}};
    for (const Caso& c : casos) {
        SCOPED_TRACE("key " + std::to_string(c.tecla) + " shift " + std::to_string(c.shift));
        f.userKey(c.tecla, c.shift);
        EXPECT_EQ(f.ssTabKiv.tab(), c.pestana);
    }
    f.userKey('3', 4);
    EXPECT_FALSE(f.fr0.enabled());
    EXPECT_FALSE(f.fr1.enabled());
    EXPECT_TRUE(f.fr2.enabled());
    EXPECT_EQ(f.txtTotal.text(), "$0.00") << "the totals tab computes the totals";
}

TEST_F(PantallaTest, EnterOnClosingOrderBoxMovesOnLikeTab)
{
    frmVN003& f = abre();
    ASSERT_TRUE(f.Controles.press(Command::Nuevo));
    ASSERT_TRUE(f.chkCerrar.setFocus());
    f.userKey(13, 0);
    EXPECT_FALSE(f.chkCerrar.hasFocus());
    EXPECT_EQ(f.chkCerrar.value(), forms::CheckBox::Unchecked) << "Enter does not toggle the box";
}

TEST_F(PantallaTest, ActivationLocksTheUsersBranchAndWarehouse)
{
    usuario("VENDE1");
    frmVN003& f = abre();
    EXPECT_EQ(f.txt_Sc_Cve_Sucursal.text(), "01");
    EXPECT_EQ(f.txt_Al_Cve_Almacen.text(), "01");
    for (TextField* t : {&f.txt_Sc_Cve_Sucursal, &f.txt_Al_Cve_Almacen}) {
        EXPECT_TRUE(t->locked()) << t->name();
        EXPECT_EQ(t->tag(), "0") << t->name();
    }
}

TEST_F(PantallaTest, ActivationWithoutCallParametersStaysEmpty)
{
    frmVN003& f = abre();
    EXPECT_TRUE(f.ParametrosLlamada.empty());
    EXPECT_FALSE(f.txt_Sc_Cve_Sucursal.locked()) << "ADMIN is bound to no branch";
    EXPECT_TRUE(f.txtFolio.hasFocus());
    EXPECT_FALSE(f.Controles.ModoNuevo());
}

// The host opens the screen for an order: a new note of it starts at once.
TEST_F(PantallaTest, ActivationWithCallParametersStartsANoteForTheOrder)
{
    frmVN003& f = abre("P0004");
    EXPECT_EQ(f.ParametrosLlamada, "P0004");
    EXPECT_TRUE(f.Controles.ModoNuevo());
    EXPECT_EQ(f.txt_Pd_Folio.text(), "P0004");
    EXPECT_EQ(f.txtCliente.text(), sql("SELECT Cl_Cve_Cliente FROM Pedido_Encabezado WHERE Pd_Folio = 'P0004'"))
        << "the order was loaded";
}

TEST_F(PantallaTest, PrintWithAnEmptyFolioStillPrints)
{
    frmVN003& f = abre();
    f.Controles_Imprimir();
    const auto carpeta = std::filesystem::path(entorno().carpetaSalida);
    ASSERT_TRUE(std::filesystem::exists(carpeta)) << "nothing was printed";
    EXPECT_FALSE(std::filesystem::is_empty(carpeta));
}

TEST_F(PantallaTest, ExitUnloadsTheContainer)
{
    frmVN003& f = abre();
    EXPECT_TRUE(f.Controles.press(Command::Salir));
    EXPECT_TRUE(padre().cerrado());
}

// A handler's failure leaves no open transaction and tells the user where it happened.
TEST_F(PantallaTest, ReportaErrorRollsBackAndShowsTheFailure)
{
    frmVN003& f = abre();
    conexion().BeginTrans();
    conexion().Execute("UPDATE Cliente SET Cl_Saldo = 1 WHERE Cl_Cve_Cliente = 'C0001'");
    f.ReportaError("Controles_Aceptar()", "ERR-ID:7500025", "disco lleno", "Controles_Aceptar()");
    EXPECT_FALSE(conexion().inTransaction());
    EXPECT_EQ(sql("SELECT Cl_Saldo FROM Cliente WHERE Cl_Cve_Cliente = 'C0001'"), "20000");
    ASSERT_FALSE(dialogos().mensajes().empty());
    const auto& m = dialogos().mensajes().back();
    EXPECT_EQ(m.id, "ERR-ID:7500025");
    EXPECT_EQ(m.flags, 16);
    EXPECT_EQ(m.title, "Controles_Aceptar()");
    EXPECT_EQ(m.prompt, "disco lleno");
}

TEST_F(PantallaTest, ResizeLaysOutTabFramesAndGridAndIgnoresAMinimisedForm)
{
    frmVN003& f = abre();
    f.Form_Resize(12000, 8000);
    EXPECT_EQ(f.GeometriaTab.Width, 12000 - 2 * f.GeometriaTab.Left);
    EXPECT_EQ(f.GeometriaTab.Height, 8000 - f.GeometriaTab.Top - 100);
    EXPECT_EQ(f.GeometriaGrid.Height, f.GeometriaTab.Height - 700 - f.GeometriaGrid.Top);
    EXPECT_LT(f.GeometriaGrid.Width, f.GeometriaMarcos.Width);
    const auto antes = f.GeometriaTab;
    f.Form_Resize(0, 0);
    EXPECT_EQ(f.GeometriaTab.Width, antes.Width) << "negative sizes are skipped";
    EXPECT_EQ(f.GeometriaTab.Height, antes.Height);
}

// ---- amounts

// One grid row with the given cells, current.
void fila(frmVN003& f, std::initializer_list<std::pair<const char*, Value>> celdas)
{
    f.ssDetalle.addRow();
    for (const auto& [col, v] : celdas)
        f.ssDetalle.col(col).setValue(v);
}

TEST_F(PantallaTest, TotalsOfAnEmptyGridAreZero)
{
    frmVN003& f = abre();
    f.txt_Rm_Tipo_Cambio.setValue(18.5);
    f.CalculaTotales();
    for (TextField* t : {&f.txtTCantidad1, &f.txtSuma, &f.txtSubTotal, &f.txtImpuestos, &f.txtTotal, &f.txtTotalLocal})
        EXPECT_EQ(t->value().toDouble(), 0.0) << t->name();
}

// Quota excluded from the discount and tax base; global discount applied per line.
TEST_F(PantallaTest, TotalsSpreadGlobalDiscountAndTaxLineByLine)
{
    frmVN003& f = abre();
    fila(f, {{"Pr_Cve_Producto", "CAM001"},
             {"Cantidad_1", 10.0},
             {"Cantidad_Control_2", 10.0},
             {"Cuota", 2.0},
             {"Precio_Descontado_Importe", 100.0},
             {"Impuesto_Factor", 0.16}});
    fila(f, {{"Pr_Cve_Producto", "MAD001"}, {"Cantidad_1", 4.0}, {"Cantidad_Control_2", 0.2}});
    f.txtDescuento_Global.setValue(10); // loaders write the stored factor x 100
    f.txt_Rm_Tipo_Cambio.setValue(2);
    f.CalculaTotales();

    f.ssDetalle.setRow(0);
    EXPECT_DOUBLE_EQ(f.ssDetalle.col("Impuesto_Importe").value().toDouble(), 11.52) << "round4(0.16 x (100-20-8))";
    EXPECT_DOUBLE_EQ(f.txtTCantidad1.value().toDouble(), 14);
    EXPECT_DOUBLE_EQ(f.txtTCantidad2.value().toDouble(), 10.2);
    EXPECT_DOUBLE_EQ(f.txtSuma.value().toDouble(), 100);
    EXPECT_DOUBLE_EQ(f.txtSubTotal.value().toDouble(), 92);
    EXPECT_DOUBLE_EQ(f.txtImpuestos.value().toDouble(), 11.52);
    EXPECT_DOUBLE_EQ(f.txtTotal.value().toDouble(), 103.52);
    EXPECT_DOUBLE_EQ(f.txtTotalLocal.value().toDouble(), 207.04);
    // Weight and volume from the demo catalogue: CAM001 0.25 kg / 0.002, MAD001 18 kg / 0.05.
    EXPECT_NEAR(f.txtTPeso.value().toDouble(), 10 * 0.25 + 4 * 18, 1e-9);
    EXPECT_NEAR(f.txtTVolumen.value().toDouble(), 10 * 0.002 + 4 * 0.05, 1e-3);
}

TEST_F(PantallaTest, TotalsRoundTaxHalfwayToEven)
{
    struct Caso {
        const char* nombre;
        double importe, factor, descuentoPorCiento, impuestos;
    };
    const Caso casos[] = {
        {"0.125 goes down to the even cent", 1.25, 0.1, 0, 0.12},
        {"0.135 goes up to the even cent", 1.35, 0.1, 0, 0.14},
        {"no global discount: base is the line", 50, 0.16, 0, 8},
    };
    frmVN003& f = abre();
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        f.ssDetalle.removeAll();
        fila(f, {{"Precio_Descontado_Importe", c.importe}, {"Impuesto_Factor", c.factor}});
        f.txtDescuento_Global.setValue(c.descuentoPorCiento);
        f.CalculaTotales();
        EXPECT_DOUBLE_EQ(f.txtImpuestos.value().toDouble(), c.impuestos);
    }
}

// The global discount field shows the percentage the loaders write and answers the factor.
TEST_F(PantallaTest, GlobalDiscountFieldShowsPercentAndReadsFactor)
{
    frmVN003& f = abre();
    f.txtDescuento_Global.setValue(0.05 * 100);
    EXPECT_EQ(f.txtDescuento_Global.text(), "5.00%");
    EXPECT_DOUBLE_EQ(f.txtDescuento_Global.value().toDouble(), 0.05);
    f.txtDescuento_Global.setValue(12.125);
    EXPECT_DOUBLE_EQ(f.txtDescuento_Global.value().toDouble(), 0.12125) << "no precision lost on the way";
}

// The row's three results come from the host's price chain; the loaders' columns stay.
TEST_F(PantallaTest, LineAmountsStoreTaxDiscountedAndNetAmounts)
{
    frmVN003& f = abre();
    fila(f, {{"Cantidad_1", 10.0},
             {"Precio_Lista", 12.5},
             {"Descuento_Factor", 0.15},
             {"Impuesto_Factor", 0.16},
             {"Precio_Lista_Importe", 999.0}});
    f.CalculaImportesPartida();
    EXPECT_DOUBLE_EQ(f.ssDetalle.col("Precio_Descontado_Importe").value().toDouble(), 106.25);
    EXPECT_DOUBLE_EQ(f.ssDetalle.col("Impuesto_Importe").value().toDouble(), 17);
    EXPECT_DOUBLE_EQ(f.ssDetalle.col("Precio_Neto_Importe").value().toDouble(), 123.25);
    EXPECT_DOUBLE_EQ(f.ssDetalle.col("Precio_Lista_Importe").value().toDouble(), 999) << "not the routine's to write";
    EXPECT_EQ(f.ssDetalle.col("Descuento_Factor").text(), "15.00%");
    EXPECT_EQ(f.ssDetalle.col("PRECIO_LISTA").text(), "$12.5000");
}

} // namespace
} // namespace tesmira::vn003::testing
