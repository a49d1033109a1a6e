// Calling up a saved delivery note: who may see it, which commands it offers, the header it
// shows, and how each stored line comes back into the grid.
#include "Pantalla_fixture.h"

#include <array>

namespace tesmira::vn003::testing {
namespace {

using forms::CheckBox;
using forms::ToolbarState;

class RecallTest : public PantallaTest {
protected:
    std::array<bool, 4> opciones()
    {
        const auto& c = frm().Controles;
        return {c.OpcionDocumento1(), c.OpcionDocumento2(), c.OpcionDocumento3(), c.OpcionDocumento4()};
    }
    void sinNotaEnPantalla()
    {
        frmVN003& f = frm();
        EXPECT_EQ(f.ssDetalle.rowCount(), 0);
        EXPECT_EQ(f.txt_Pd_Folio.text(), "");
        EXPECT_EQ(f.txtCliente.text(), "");
        EXPECT_EQ(f.Controles.ClaveDocumento(), "");
        EXPECT_EQ(opciones(), (std::array<bool, 4>{false, false, false, false}));
    }
};

constexpr std::array<bool, 4> Todas{true, true, true, true};
constexpr std::array<bool, 4> SoloConsulta{true, true, false, false};

struct CasoDocumentCommandsFollowWhetherTheNoteMayStillBeCancelled {
    const char* nombre;
    const char* folio;
    const char* preparacion; // SQL run on the demo company first; "" for none
    bool validarPeriodo;
    std::array<bool, 4> esperadas;
    bool facturar;
};
const CasoDocumentCommandsFollowWhetherTheNoteMayStillBeCancelled casosDocumentCommandsFollowWhetherTheNoteMayStillBeCancelled[] = {
    {"active note whose sale was cancelled", "R0001", "", false, Todas, false},
    {"open period with the period check on", "R0001", "", true, Todas, false},
    {"cancelled note", "R0002", "", false, SoloConsulta, false},
    {"invoiced with a live sale", "R0003", "", false, SoloConsulta, true},
    {"marked invoiced but its sale was cancelled", "R0003",
     "UPDATE Venta SET Es_Cve_Estado = 'CA' WHERE Vn_Folio = 'V0001'", false, SoloConsulta, false},
    {"live sale on a note not marked invoiced", "R0001",
     "UPDATE Venta SET Es_Cve_Estado = 'AC' WHERE Vn_Folio = 'V0002'", false, SoloConsulta, false},
    {"closed period with the period check on", "R0004", "", true, SoloConsulta, false},
    {"closed period without the period check", "R0004", "", false, Todas, false},
    {"month without a period with the period check on", "R0001",
     "DELETE FROM Periodo_Operativo WHERE Po_Anio = 2026 AND Po_Mes = 11", true, SoloConsulta, false},
};

class DocumentCommandsFollowWhetherTheNoteMayStillBeCancelled : public RecallTest,
    public ::testing::WithParamInterface<CasoDocumentCommandsFollowWhetherTheNoteMayStillBeCancelled> {};

// Only an active, uninvoiced note without a live sale, in an open period, may be edited or cancelled.
TEST_P(DocumentCommandsFollowWhetherTheNoteMayStillBeCancelled, Caso)
{
    const CasoDocumentCommandsFollowWhetherTheNoteMayStillBeCancelled& c = GetParam();
    if (*c.preparacion)
        conexion().Execute(c.preparacion);
    if (c.validarPeriodo)
        parametro("GEN_VALIDAR_PERIODO_OPERATIVO", "1");
    frmVN003& f = abre();
    carga(c.folio);
    EXPECT_EQ(ultimoMensaje(), "") << transcript();
    EXPECT_EQ(opciones(), c.esperadas);
    EXPECT_EQ(f.Controles.ClaveDocumento(), c.folio);
    EXPECT_EQ(f.Controles.state(), ToolbarState::Viewing);
    EXPECT_EQ(f.chkFacturar.checked(), c.facturar);
    EXPECT_EQ(f.frFactura.enabled(), c.facturar) << "the check box's click handler did not run";
    EXPECT_EQ(f.txt_Fc_Factura.folio(), c.facturar ? "A0001" : "");
}

INSTANTIATE_TEST_SUITE_P(Casos, DocumentCommandsFollowWhetherTheNoteMayStillBeCancelled,
                         ::testing::ValuesIn(casosDocumentCommandsFollowWhetherTheNoteMayStillBeCancelled), NombreCaso{});

// The header comes from the note, and the customer handler fills the customer's own fields.
TEST_F(RecallTest, HeaderDimensionsAndAddressComeFromTheNote)
{
    frmVN003& f = abre();
    carga("R0001");
    EXPECT_EQ(f.txtReferencia.text(), "OBRA-ALT-07");
    EXPECT_EQ(f.txtNCliente.text(), "Constructora Peninsular") << "the customer handler did not run";
    EXPECT_DOUBLE_EQ(f.txt_Rm_Tipo_Cambio.value().toDouble(), 1.0)
        << "the stored rate must win over the one the currency change reset";
    EXPECT_EQ(f.chSinCargo.value(), CheckBox::Unchecked);
    EXPECT_EQ(f.txtCondicionVenta.text(), "01");
    EXPECT_EQ(f.txtProyecto.text(), "") << "a dimension the note lacks is empty";
    EXPECT_EQ(f.IdDomicilioEntrega, "0001") << "the address recorded on the note, not the order's";
    EXPECT_TRUE(f.MostrarSalidaPropia);
    EXPECT_EQ(f.txtSalida.text(), "");
    EXPECT_EQ(f.ConsultaProductosPedido, "");
    EXPECT_FALSE(f.Controles.ModoNuevo());
    EXPECT_TRUE(f.Manejo.ManejaTalla && f.Manejo.ManejaLote && f.Manejo.ManejaSerie);
    EXPECT_FALSE(f.Manejo.ManejaUbicacion);
    EXPECT_FALSE(f.ssDetalle.col("Ubicacion").visible());
    EXPECT_TRUE(f.ssDetalle.col("VALIDA_DISPONIBILIDAD").visible()) << "ADMIN holds VNDISP";
    ASSERT_EQ(f.ssDetalle.rowCount(), 2);
    EXPECT_EQ(f.ssDetalle.row(), 0) << "the grid ends on its first line";
    EXPECT_FALSE(f.ssDetalle.allowAddNew);
    EXPECT_TRUE(f.ssDetalle.col("Pr_Cve_Producto").locked());
    EXPECT_EQ(texto(1, "DESCAMP"), "");
}

// The stored no-charge mark ticks its box, and a stored discount factor reads back whole.
TEST_F(RecallTest, StoredFlagsAndGlobalDiscountAreShown)
{
    conexion().Execute("UPDATE Remision SET Rm_Sin_Cargo = 'SI', Rm_Descuento_Global_Factor = 0.12125 "
                       "WHERE Rm_Folio = 'R0001'");
    frmVN003& f = abre();
    carga("R0001");
    EXPECT_EQ(f.chSinCargo.value(), CheckBox::Checked);
    EXPECT_DOUBLE_EQ(f.txtDescuento_Global.value().toDouble(), 0.12125) << "no precision lost on the way";
}

// Lot, serial and plain lines each get their type text and, where they have one, lot or serials.
TEST_F(RecallTest, LinesShowTypeLotAndSerialsInTheServicesOrder)
{
    conexion().Execute("INSERT INTO Serie_Documento (Sd_Tabla, Sd_Documento, Sd_ID, Sr_Cve_Serie, Pr_Cve_Producto) "
                       "VALUES ('Remision', 'R0003', '0003', 'TAL-0007', 'TAL001'), "
                       "('Remision', 'R0003', '0003', 'TAL-0006', 'TAL001')");
    frmVN003& f = abre();
    carga("R0003");
    std::vector<std::string> filas; // a recalled line's id is its own
    for (int i = 0; i < f.ssDetalle.rowCount(); ++i) {
        filas.emplace_back();
        for (const char* columna : {"Pr_Cve_Producto", "Documento_Id", "TIPO_PRODUCTO", "Lt_Cve_Lote", "Sr_Cve_Serie",
                                    "Rm_Almacen_Inventario"})
            filas.back() += texto(i, columna) + "/";
    }
    EXPECT_EQ(filas, (std::vector<std::string>{"CAM001/0001/Normal///01/", "PIN001/0002/LOTE/L-2602//01/",
                                               "TAL001/0003/Serializado//TAL-0005|TAL-0006|TAL-0007/01/"}));
    EXPECT_EQ(texto(0, "Tl_Descripcion"), "Mediana");
}

struct CasoLineColumnsFollowTheStoredLine {
    const char* nombre;
    const char* cambio; // SET clause on R0001 line 0001
    std::vector<std::pair<const char*, const char*>> esperado; // column, text shown
};
const CasoLineColumnsFollowTheStoredLine casosLineColumnsFollowTheStoredLine[] = {
    {"all sizes and colours need no catalogue", "Tl_Cve_Talla = '%', Cl_Cve_Color = '%'",
     {{"Tl_Descripcion", "Todos"}, {"Cl_Descripcion", "Todos"}}},
    {"cost in the sale unit takes the stored cost quantity and unit",
     "Rm_Unidad_1 = 'PZA', Rm_Unidad_Costo = 'PZA', Rm_Cantidad_Costo = 7, Rm_Unidad_Control_2 = 'KG', "
     "Rm_Cantidad_Control_2 = 3",
     {{"Cantidad_Costo", "7"}, {"Unidad_Costo", "PZA"}}},
    {"cost in another unit takes control 2 quantity and unit",
     "Rm_Unidad_1 = 'CJA', Rm_Unidad_Costo = 'PZA', Rm_Cantidad_Costo = 7, Rm_Unidad_Control_2 = 'LT', "
     "Rm_Cantidad_Control_2 = 24",
     {{"Cantidad_Costo", "24"}, {"Unidad_Costo", "LT"}}},
    {"stored cost", "Rm_Costo = 81.25", {{"Costo", "81.25"}}},
};

class LineColumnsFollowTheStoredLine : public RecallTest,
    public ::testing::WithParamInterface<CasoLineColumnsFollowTheStoredLine> {};

// One stored line, rewritten per case, and what its grid row must show.
TEST_P(LineColumnsFollowTheStoredLine, Caso)
{
    const CasoLineColumnsFollowTheStoredLine& c = GetParam();
    conexion().Execute(std::string("UPDATE Remision SET ") + c.cambio +
                       " WHERE Rm_Folio = 'R0001' AND Rm_ID = '0001'");
    abre();
    carga("R0001");
    ASSERT_EQ(ultimoMensaje(), "") << transcript();
    for (const auto& [columna, texto] : c.esperado)
        EXPECT_EQ(this->texto(0, columna), texto) << columna;
}

INSTANTIATE_TEST_SUITE_P(Casos, LineColumnsFollowTheStoredLine,
                         ::testing::ValuesIn(casosLineColumnsFollowTheStoredLine), NombreCaso{});

// Unit and line prices are recomputed without rounding; the stored discount and tax amounts are
// kept. A type code the type table lacks leaves the type text as a new row has it.
TEST_F(RecallTest, PricesAndTypeAreRecomputedFromTheStoredLine)
{
    conexion().Execute("UPDATE Producto SET Pr_Tipo_Producto = '05' WHERE Pr_Cve_Producto = 'CAM001'");
    conexion().Execute("UPDATE Remision SET Rm_Precio_Lista = 100, Rm_Cantidad_1 = 2, Rm_Descuento_Factor = 0.1, "
                       "Rm_Descuento_Importe = 20, Rm_Impuesto_Factor = 0.16, Rm_Impuesto_Importe = 28.81, "
                       "Rm_Precio_Descontado = 1, Rm_Precio_Neto = 1, Rm_Precio_Neto_Importe = 1 "
                       "WHERE Rm_Folio = 'R0001' AND Rm_ID = '0001'");
    abre();
    carga("R0001");
    ASSERT_EQ(ultimoMensaje(), "") << transcript();
    const struct {
        const char* columna;
        double esperado;
    } columnas[] = {
        {"Precio_Lista", 100},        {"Cantidad_1", 2},
        {"Precio_Lista_Importe", 200}, {"Descuento_Factor", 0.1},
        {"Descuento_Importe", 20},     {"Precio_Descontado", 90},
        {"Precio_Descontado_Importe", 180}, {"Impuesto_Factor", 0.16},
        {"Impuesto_Importe", 28.81},   {"Precio_Neto", 104.4},
        {"Precio_Neto_Importe", 208.8},
    };
    for (const auto& c : columnas)
        EXPECT_NEAR(celda(0, c.columna).toDouble(), c.esperado, 1e-9) << c.columna;
    EXPECT_EQ(texto(0, "Pr_Tipo_Producto"), "05");
    EXPECT_TRUE(celda(0, "TIPO_PRODUCTO").isNull());
    EXPECT_EQ(texto(1, "TIPO_PRODUCTO"), "Normal");
}

// A user bound to a branch and warehouse sees notes of those only.
TEST_F(RecallTest, BoundUserIsRefusedNotesOfOtherBranchOrWarehouse)
{
    conexion().Execute("UPDATE Remision SET Sc_Cve_Sucursal = '02' WHERE Rm_Folio = 'R0001'");
    usuario("VENDE1");
    abre();
    for (const auto& [folio, inicio] : {std::pair{"R0005", "al almacén: 01"}, {"R0001", "a la sucursal: 01"}}) {
        SCOPED_TRACE(folio);
        dialogos().limpia();
        carga(folio);
        ASSERT_EQ(dialogos().mensajes().size(), 1u) << transcript();
        const auto& m = dialogos().mensajes().back();
        EXPECT_EQ(std::tie(m.id, m.flags, m.title), std::tuple("", 48, "Documento no disponible"));
        EXPECT_EQ(m.prompt, std::string("Imposible accesar este documento, su acceso se ha restringido ") + inicio +
                                "\r\n\r\npara mayor información consulte al administrador del sistema");
        sinNotaEnPantalla();
    }
}

// A note made from a handheld dispatch in a warehouse with locations shows both; editing the
// folio takes it off the screen but keeps what the user is typing.
TEST_F(RecallTest, LocationNoteShowsItsDispatchUntilTheFolioChanges)
{
    frmVN003& f = abre();
    // The dispatch and the location column, shown with the note and gone with it.
    auto salida = [&] {
        return std::tuple(f.FolioSalidaRemision, f.txtSalida.text(), f.MostrarSalidaPropia,
                          f.ssDetalle.col("Ubicacion").visible(), f.ssDetalle.col("Ubicacion").locked());
    };
    carga("R0005");
    EXPECT_EQ(salida(), std::tuple("S0003", "S0003", true, true, false));
    EXPECT_TRUE(f.Manejo.ManejaUbicacion);
    EXPECT_FALSE(f.ssDetalle.col("VALIDA_DISPONIBILIDAD").visible());
    ASSERT_EQ(f.ssDetalle.rowCount(), 1);
    EXPECT_EQ(texto(0, "Ubicacion"), "0101");
    // The folio sits on the first tab; code writes it as the user's typing would.
    f.SeleccionaPestana(1);
    f.txtFolio.setText("R000");
    EXPECT_EQ(f.txtFolio.text(), "R000");
    sinNotaEnPantalla();
    EXPECT_EQ(f.IdDomicilioEntrega, "");
    EXPECT_EQ(salida(), std::tuple("", "", false, false, true));
    EXPECT_EQ(f.ssTabKiv.tab(), 0);

    carga("R0001");
    EXPECT_EQ(f.ssDetalle.rowCount(), 2) << "the folio handler must still run after the screen was emptied";
}

// While a new note is captured the folio neither empties the screen nor loads a note.
TEST_F(RecallTest, NewNoteIgnoresTheFolioHandlers)
{
    frmVN003& f = nuevo();
    f.txtCliente.setText("C0001");
    f.txtFolio.setText("R0001");
    f.txtFolio_Enter();
    EXPECT_EQ(f.txtCliente.text(), "C0001");
    EXPECT_EQ(f.ssDetalle.rowCount(), 0);
    EXPECT_TRUE(f.Controles.ModoNuevo());
}

} // namespace
} // namespace tesmira::vn003::testing
