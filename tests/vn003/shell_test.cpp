// The screen shell: component entry, load and activation, the toolbar's state commands, tab
// keys, the closing-order policy, and the line amounts and totals.
#include "Pantalla_fixture.h"

#include "host/services/Utilerias.h"

#include <filesystem>
#include <functional>

namespace tesmira::vn003::testing {
namespace {

using forms::Command;

// The host asks twice for the screen: one shared instance, so state survives between calls.
TEST_F(PantallaTest, GetPantallaAnswersTheSameInstance)
{
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
}

// Parameters whose effect no loader or save shows: masks, shown dimensions.
TEST_F(PantallaTest, LoadKeepsEachParameter)
{
    struct Caso {
        const char* nombre;
        const char* clave;
        const char* valor;
        std::function<bool(frmVN003&)> cumple;
    };
    const std::vector<Caso> casos = {
        {"customer mask", "FTO_CLIENTE", "00000", [](frmVN003& f) { return f.txtCliente.codeFormat() == "00000"; }},
        {"local currency", "FIN_MONEDA_LOCAL", "USD", [](frmVN003& f) { return f.txtMonedaLocal.text() == "USD"; }},
        {"no-charge box", "VEN_PERMITIR_VENTA_SIN_CARGO", "1", [](frmVN003& f) { return f.chSinCargo.visible(); }},
        {"location mask", "FTO_UBICACION_ALMACEN", "00-00",
         [](frmVN003& f) { return f.Parametros.FormatoUbicacion == "00-00"; }},
        {"project shown", "VEN_PROYECTO_VISIBLE", "1",
         [](frmVN003& f) { return f.lbProyecto.visible() && f.txtProyecto.visible() && f.txtNProyecto.visible(); }},
        {"obligatory but not visible is shown", "VEN_UEN_OBLIGATORIO", "1",
         [](frmVN003& f) { return f.txtUen.visible() && f.Parametros.UenObligatorio; }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        parametro(c.clave, c.valor);
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
        parametro("REM_ESTADO_CERRAR_PEDIDO", std::to_string(c.estado));
        frmVN003& f = abre();
        EXPECT_EQ(f.chkCerrar.enabled(), c.habilitadoCarga);
        EXPECT_EQ(f.chkCerrar.value(), c.valorCarga);
        f.Controles_Modificar();
        EXPECT_EQ(f.chkCerrar.enabled(), c.habilitadoModificar);
        EXPECT_EQ(f.chkCerrar.value(), c.valorModificar);
        DescargaComponente();
    }
}

// Without VNDISP the stock-source columns stay hidden although a loader fills them; the date
// is the user's to change on a new note only with CHFECHA.
TEST_F(PantallaTest, VndispShowsTheStockSourceColumnsAndChfechaEnablesTheDate)
{
    for (bool derecho : {false, true}) {
        SCOPED_TRACE(derecho ? "held" : "not held");
        right("VNDISP", derecho);
        right("CHFECHA", derecho);
        frmVN003& f = abre();
        EXPECT_EQ(f.Derechos.DerechoVNDISP, derecho);
        for (const char* col : {"Rm_Sucursal_Inventario", "Rm_Almacen_Inventario", "VALIDA_DISPONIBILIDAD"})
            EXPECT_EQ(f.ssDetalle.col(col).visible(), derecho) << col;
        ASSERT_TRUE(f.Controles.press(Command::Nuevo));
        EXPECT_EQ(f.dpFecha.enabled(), derecho);
        DescargaComponente();
    }
}

// New locks what the save assigns; clear gives the folio back and drops the document options.
TEST_F(PantallaTest, NewThenClearReturnsToTheEmptyScreen)
{
    frmVN003& f = abre();
    EXPECT_EQ(f.dpFecha.shownText(), "05-12-2026") << "the server's date";
    ASSERT_TRUE(f.Controles.press(Command::Nuevo));
    EXPECT_FALSE(f.txtFolio.enabled()) << "the folio is assigned on save";
    EXPECT_FALSE(f.txt_Rm_Tipo_Cambio.enabled());
    EXPECT_FALSE(f.chSinCargo.enabled());
    EXPECT_TRUE(f.txt_Pd_Folio.hasFocus());
    ASSERT_TRUE(f.chkCerrar.setFocus());
    f.userKey(13, 0);
    EXPECT_FALSE(f.chkCerrar.hasFocus()) << "Enter on the closing-order box moves on like Tab";
    EXPECT_EQ(f.chkCerrar.value(), forms::CheckBox::Unchecked) << "Enter does not toggle the box";

    f.ssTabKiv.userClick(2);
    f.txtDescuento_Global.setValue(5);
    f.Controles.setOpcionDocumento(1, true);
    ASSERT_TRUE(f.Controles.press(Command::Limpiar));
    EXPECT_EQ(f.ssTabKiv.tab(), 0);
    EXPECT_EQ(f.txtDescuento_Global.text(), "0.00%");
    EXPECT_TRUE(f.txtFolio.enabled());
    EXPECT_TRUE(f.txtFolio.hasFocus());
    EXPECT_TRUE(f.fr0.enabled()) << "the header frame is usable again";
    for (int n = 1; n <= 4; ++n)
        EXPECT_FALSE(f.Controles.OpcionDocumento(n)) << n;
    EXPECT_EQ(f.Controles.state(), forms::ToolbarState::Empty);
}

struct CasoActivation {
    const char* nombre;
    const char* usuario;
    std::optional<std::string> parametros;
    const char* sucursal;
    bool bloqueada;
    bool nuevo;
    const char* pedido;
};
const CasoActivation casosActivation[] = {
    {"bound user", "VENDE1", std::nullopt, "01", true, false, ""},
    {"unbound user", "ADMIN", std::nullopt, "", false, false, ""},
    {"called for an order", "ADMIN", "P0004", "01", false, true, "P0004"},
};

class Activation : public PantallaTest, public ::testing::WithParamInterface<CasoActivation> {};

// Activation binds a bound user's branch and warehouse, and starts a note when the host
// names an order.
TEST_P(Activation, Caso)
{
    const CasoActivation& c = GetParam();
    usuario(c.usuario);
    frmVN003& f = abre(c.parametros);
    EXPECT_EQ(f.txt_Sc_Cve_Sucursal.text(), c.sucursal);
    EXPECT_EQ(f.txt_Sc_Cve_Sucursal.locked(), c.bloqueada);
    EXPECT_EQ(f.txt_Al_Cve_Almacen.locked(), c.bloqueada);
    if (c.bloqueada) {
        EXPECT_EQ(f.txt_Sc_Cve_Sucursal.tag(), "0");
    }
    EXPECT_EQ(f.Controles.ModoNuevo(), c.nuevo);
    EXPECT_EQ(f.ParametrosLlamada, c.parametros.value_or(""));
    EXPECT_EQ(f.txt_Pd_Folio.text(), c.pedido);
    EXPECT_EQ(f.txtFolio.hasFocus(), !c.nuevo);
    if (c.nuevo) {
        EXPECT_EQ(f.txtCliente.text(), "C0002") << "the order was not loaded";
    }
}

INSTANTIATE_TEST_SUITE_P(Casos, Activation, ::testing::ValuesIn(casosActivation), NombreCaso{});


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

// A minimised form reports sizes the layout cannot take: it must keep the last good one. Print
// calls the service even without a folio; exit unloads the container.
TEST_F(PantallaTest, ResizePrintAndExitOnAnEmptyScreen)
{
    frmVN003& f = abre();
    f.Form_Resize(12000, 8000);
    const auto antes = f.GeometriaTab;
    f.Form_Resize(0, 0);
    EXPECT_EQ(f.GeometriaTab.Width, antes.Width) << "negative sizes are skipped";
    EXPECT_EQ(f.GeometriaTab.Height, antes.Height);
    f.Controles_Imprimir();
    const auto carpeta = std::filesystem::path(entorno().carpetaSalida);
    ASSERT_TRUE(std::filesystem::exists(carpeta)) << "nothing was printed";
    EXPECT_FALSE(std::filesystem::is_empty(carpeta));
    EXPECT_TRUE(f.Controles.press(Command::Salir));
    EXPECT_TRUE(padre().cerrado());
}

// ---- amounts

using ImportesTest = GridTest;

// Guards the empty grid: no division by zero, every total 0.
TEST_F(ImportesTest, TotalsOfAnEmptyGridAreZero)
{
    frmVN003& f = abre();
    f.txt_Rm_Tipo_Cambio.setValue(18.5);
    f.CalculaTotales();
    for (TextField* t : {&f.txtTCantidad1, &f.txtSuma, &f.txtSubTotal, &f.txtImpuestos, &f.txtTotal, &f.txtTotalLocal})
        EXPECT_EQ(t->value().toDouble(), 0.0) << t->name();
}

// Quota excluded from the discount and tax base; global discount applied per line.
TEST_F(ImportesTest, TotalsSpreadGlobalDiscountAndTaxLineByLine)
{
    frmVN003& f = abre();
    fila({{"Pr_Cve_Producto", "CAM001"},
             {"Cantidad_1", 10.0},
             {"Cantidad_Control_2", 10.0},
             {"Cuota", 2.0},
             {"Precio_Descontado_Importe", 100.0},
             {"Impuesto_Factor", 0.16}});
    // Keyed as the database compares: case and trailing blanks aside.
    fila({{"Pr_Cve_Producto", "mad001 "}, {"Cantidad_1", 4.0}, {"Cantidad_Control_2", 0.2}});
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
    // A weight written between two totals is the one the second reads.
    conexion().Execute("UPDATE Producto SET Pr_Peso = 1 WHERE Pr_Cve_Producto = 'CAM001'");
    f.CalculaTotales();
    EXPECT_NEAR(f.txtTPeso.value().toDouble(), 10 * 1 + 4 * 18, 1e-9);
}

// The tax total ties to even (0.125 -> 0.12), never half up.
TEST_F(ImportesTest, TotalsRoundTaxHalfwayToEven)
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
        fila({{"Precio_Descontado_Importe", c.importe}, {"Impuesto_Factor", c.factor}});
        f.txtDescuento_Global.setValue(c.descuentoPorCiento);
        f.CalculaTotales();
        EXPECT_DOUBLE_EQ(f.txtImpuestos.value().toDouble(), c.impuestos) << "tax total rounded the wrong way";
    }
}

// The row's three results come from the host's price chain; the loaders' columns stay.
TEST_F(ImportesTest, LineAmountsStoreTaxDiscountedAndNetAmounts)
{
    frmVN003& f = abre();
    fila({{"Cantidad_1", 10.0},
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
