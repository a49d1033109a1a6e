#include "Pantalla_fixture.h"

namespace tesmira::vn003::testing {
namespace {

using forms::Command;

using EncabezadoTest = PantallaTest;

struct CasoWarehouseEnterAppliesHandlingOfTheWarehouse {
    const char* nombre;
    const char* almacen;
    bool vndisp;
    bool ubicacion, salidaHabilitada, ubicacionVisible, disponibilidadVisible;
};
const CasoWarehouseEnterAppliesHandlingOfTheWarehouse casosWarehouseEnterAppliesHandlingOfTheWarehouse[] = {
    {"cedis con ubicaciones", "02", true, true, true, true, false},
    {"almacen general sin ubicaciones", "01", true, false, false, false, true},
    {"sin derecho VNDISP la disponibilidad sigue oculta", "01", false, false, false, false, false},
};

class WarehouseEnterAppliesHandlingOfTheWarehouse : public EncabezadoTest,
    public ::testing::WithParamInterface<CasoWarehouseEnterAppliesHandlingOfTheWarehouse> {};

// Warehouse confirmation switches the dispatch field and the location columns by the warehouse's settings.
TEST_P(WarehouseEnterAppliesHandlingOfTheWarehouse, Caso)
{
    const CasoWarehouseEnterAppliesHandlingOfTheWarehouse& c = GetParam();
    right("VNDISP", c.vndisp);
    frmVN003& f = nuevo();
    f.txt_Sc_Cve_Sucursal.setText("01");
    f.txt_Al_Cve_Almacen.setText(c.almacen);
    f.txt_Al_Cve_Almacen_Enter();
    EXPECT_EQ(f.Manejo.ManejaUbicacion, c.ubicacion);
    EXPECT_TRUE(f.Manejo.ManejaLote) << "both warehouses handle lots";
    EXPECT_EQ(f.txtSalida.enabled(), c.salidaHabilitada);
    EXPECT_EQ(f.ssDetalle.col("Ubicacion").visible(), c.ubicacionVisible);
    EXPECT_EQ(f.ssDetalle.col("Ubicacion").locked(), !c.ubicacion);
    EXPECT_EQ(f.ssDetalle.col("VALIDA_DISPONIBILIDAD").visible(), c.disponibilidadVisible);
}

INSTANTIATE_TEST_SUITE_P(Casos, WarehouseEnterAppliesHandlingOfTheWarehouse,
                         ::testing::ValuesIn(casosWarehouseEnterAppliesHandlingOfTheWarehouse), NombreCaso{});

// A saved note on screen is not a new one: confirming its warehouse must not re-read the flags.
TEST_F(EncabezadoTest, WarehouseEnterOutsideNewNoteChangesNothing)
{
    frmVN003& f = abre();
    f.txt_Sc_Cve_Sucursal.setText("01");
    f.txt_Al_Cve_Almacen.setText("02");
    f.Manejo.ManejaTalla = true;
    f.txt_Al_Cve_Almacen_Enter();
    EXPECT_TRUE(f.Manejo.ManejaTalla);
    EXPECT_FALSE(f.Manejo.ManejaUbicacion) << "flags were read although no new note is captured";
}

// Another warehouse typed: its flags are unknown until confirmed, and the dispatch goes.
TEST_F(EncabezadoTest, WarehouseChangeClearsFlagsAndDispatch)
{
    frmVN003& f = nuevo();
    f.Manejo = ManejoAlmacen{true, true, true, true, true};
    f.txtSalida.setEnabled(true);
    f.txtSalida.setText("S0001");
    f.txt_Al_Cve_Almacen.setText("09");
    EXPECT_FALSE(f.Manejo.ManejaTalla || f.Manejo.ManejaColor || f.Manejo.ManejaLote || f.Manejo.ManejaSerie ||
                 f.Manejo.ManejaUbicacion);
    EXPECT_FALSE(f.txtSalida.enabled());
    EXPECT_EQ(f.txtSalida.text(), "");
}

// Without VNDISP every line takes the header's warehouse as its stock source.
class WarehouseLeaveCopiesWarehouseIntoEveryLineUnlessVndisp : public EncabezadoTest,
    public ::testing::WithParamInterface<bool> {};

TEST_P(WarehouseLeaveCopiesWarehouseIntoEveryLineUnlessVndisp, Derecho)
{
    const bool vndisp = GetParam();
    right("VNDISP", vndisp);
    frmVN003& f = nuevo();
    for (int i = 0; i < 3; ++i) {
        f.ssDetalle.addRow();
        f.ssDetalle.col("Rm_Almacen_Inventario").setValue("01");
    }
    f.txt_Al_Cve_Almacen.setText("02");
    f.txt_Al_Cve_Almacen_LostFocus();
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(celda(r, "Rm_Almacen_Inventario").toString(), vndisp ? "01" : "02") << "row " << r;
    if (!vndisp) {
        EXPECT_EQ(f.ssDetalle.row(), 0) << "the walk must end on the first line";
    }
}

INSTANTIATE_TEST_SUITE_P(ConYSin, WarehouseLeaveCopiesWarehouseIntoEveryLineUnlessVndisp, ::testing::Bool());

// A changed currency shows rate 0, disabled, until confirmed; only a foreign currency's rate
// may then be typed, and only by a user without CHTC01.
class CurrencyChangeResetsRateUntilConfirmed : public EncabezadoTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CurrencyChangeResetsRateUntilConfirmed, Derecho)
{
    const bool chtc01 = GetParam();
    right("CHTC01", chtc01);
    frmVN003& f = nuevo();
    f.txt_Mn_Cve_Moneda.setText("USD");
    EXPECT_EQ(f.txt_Rm_Tipo_Cambio.text(), "0");
    EXPECT_FALSE(f.txt_Rm_Tipo_Cambio.enabled());
    for (TextField* m : f.txtMoneda)
        EXPECT_EQ(m->text(), "USD") << m->name() << " does not follow the currency";

    f.txt_Mn_Cve_Moneda_Enter();
    EXPECT_DOUBLE_EQ(f.txt_Rm_Tipo_Cambio.value().toDouble(), 18.5);
    EXPECT_EQ(f.txt_Rm_Tipo_Cambio.enabled(), !chtc01) << "a foreign currency's rate may be typed";

    f.txt_Mn_Cve_Moneda.setText("MXN");
    f.txt_Mn_Cve_Moneda_LostFocus();
    EXPECT_DOUBLE_EQ(f.txt_Rm_Tipo_Cambio.value().toDouble(), 1);
    EXPECT_FALSE(f.txt_Rm_Tipo_Cambio.enabled()) << "the local currency's rate is fixed";
}

INSTANTIATE_TEST_SUITE_P(ConYSin, CurrencyChangeResetsRateUntilConfirmed, ::testing::Bool());

// The date refreshes the rate even while the rate field is disabled.
TEST_F(EncabezadoTest, DateChangeRefreshesRate)
{
    frmVN003& f = nuevo();
    f.txt_Mn_Cve_Moneda.setText("USD");
    ASSERT_FALSE(f.txt_Rm_Tipo_Cambio.enabled());
    f.dpFecha.setValue(Date{2026, 12, 5});
    f.dpFecha.setValue(Date{2026, 10, 15});
    const double octubre = f.txt_Rm_Tipo_Cambio.value().toDouble();
    EXPECT_GT(octubre, 0);
    f.dpFecha.setValue(Date{2026, 12, 5});
    EXPECT_DOUBLE_EQ(f.txt_Rm_Tipo_Cambio.value().toDouble(), 18.5);
}

// The order's delivery address, else the customer's default (street parts joined when the
// first line is empty), else the field is left as it was.
TEST_F(EncabezadoTest, CustomerEnterFillsCustomerAndAddress)
{
    struct Caso {
        const char* nombre;
        const char* pedido;
        const char* cliente;
        const char* nombreCliente;
        const char* id;
        const char* direccion;
    };
    const Caso casos[] = {
        {"domicilio del pedido", "P0001", "C0001", "Ferretería El Martillo", "0002",
         "Periférico Poniente km 12, bodega 4, Mérida, Yuc."},
        {"sin domicilio en el pedido toma el predeterminado, por partes", "", "C0001", "Ferretería El Martillo",
         "0001", "Calle 60 Local 2 452 x 47 y 49"},
        {"cliente sin domicilio deja el campo vacio", "", "C0003", "Comercial D'Ávila", "0000", ""},
    };
    frmVN003& f = nuevo();
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        f.txt_Pd_Folio.setText(c.pedido);
        f.txt_Cl_Direccion_1.setText("anterior");
        f.txtCliente.setText(c.cliente);
        f.txtCliente_Enter();
        EXPECT_EQ(f.txtNCliente.text(), c.nombreCliente);
        EXPECT_EQ(f.IdDomicilioEntrega, c.id);
        EXPECT_EQ(f.txt_Cl_Direccion_1.text(), c.direccion);
    }
    EXPECT_EQ(ultimoMensaje(), "");
    f.txtCliente.setText("C0001");
    f.txtCliente_Enter();
    EXPECT_EQ(f.txt_Cl_Razon_Social_1.text(), "Ferretería El Martillo, S.A. de C.V.");
    EXPECT_DOUBLE_EQ(f.txt_Credito_Disponible.value().toDouble(), 130000) << "limit less open balance";
    EXPECT_EQ(f.Direccion_Entrega("0009", "C0001"), "") << "an address id with no row empties the field";
}

// Unknown keys, a quote or blanks are data: the handler ends silently and keeps the former customer.
TEST_F(EncabezadoTest, UnknownCustomerKeepsFieldsSilently)
{
    frmVN003& f = nuevo();
    f.txtCliente.setText("C0002");
    f.txtCliente_Enter();
    for (const char* clave : {"C9999", "C'0001", "' OR 1=1 --", "   "}) {
        SCOPED_TRACE(clave);
        f.txtCliente.setText(clave);
        f.txtCliente_Enter();
        EXPECT_EQ(f.txtNCliente.text(), "Constructora Peninsular");
    }
    EXPECT_EQ(ultimoMensaje(), "");
}

// The invoice series follows the branch confirmed.
TEST_F(EncabezadoTest, BranchQueriesFollowTheBranch)
{
    frmVN003& f = nuevo();
    f.txt_Fc_Factura.setBranch("01");
    f.txt_Sc_Cve_Sucursal.setText("02");
    EXPECT_EQ(f.txt_Fc_Factura.branch(), "");
    f.txt_Sc_Cve_Sucursal_Enter();
    EXPECT_EQ(f.txt_Fc_Factura.branch(), "02");
}

// F2 lists each key with its name, and a document with its date, amount and state, under a
// title naming what is looked for; the chosen key is typed and confirmed.
TEST_F(EncabezadoTest, LookUpsShowWhatEachKeyIs)
{
    struct Case {
        const char* name;
        const char* field;
        const char* titulo;
        std::vector<std::string> columnas, fila;
    };
    const Case cases[] = {
        {"note", "txtFolio", "Buscar remisión", {"CLAVE", "CLIENTE", "FECHA", "TOTAL", "ESTADO", "PEDIDO"},
         {"R0003", "Ferretería El Martillo", "26-11-2026", "$6,088.84", "Facturada", "P0005"}},
        {"order", "txt_Pd_Folio", "Buscar pedido", {"CLAVE", "CLIENTE", "FECHA", "TOTAL", "ESTADO"},
         {"P0003", "Constructora Peninsular", "18-11-2026", "$11,390.04", "Remisionado"}},
        {"sale condition", "txtCondicionVenta", "Buscar condición de venta", {"CLAVE", "DESCRIPCION"},
         {"02", "Crédito 30 días"}},
    };
    frmVN003& f = nuevo();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Utilerias().ListaBusqueda(f.get<forms::TextField>(c.field).lookupQuery, 100);
        const host::Lista& lista = dialogos().ultimaLista();
        EXPECT_EQ(lista.titulo, c.titulo);
        EXPECT_EQ(lista.columnas, c.columnas);
        bool found = false;
        for (const auto& fila : lista.filas)
            found = found || fila == c.fila;
        EXPECT_TRUE(found) << "no row " << c.fila[0] << " as expected";
    }
}

// ---- order folio ----

// An empty order folio must not even try to load; one character changed drops everything the order loaded.
TEST_F(EncabezadoTest, FolioChangeClearsCustomerPartAndGrid)
{
    parametro("PED_SURTIR_SOLO_EXISTENTE", "NO");
    frmVN003& f = nuevo();
    f.txt_Pd_Folio_Enter();
    EXPECT_EQ(ultimoMensaje(), "");
    EXPECT_EQ(f.txtCliente.text(), "");
    pedido("P0001");
    ASSERT_GT(f.ssDetalle.rowCount(), 0);
    f.txt_Pd_Folio.userType("P000");
    for (TextField* t : {&f.txtVendedor, &f.txtCliente, &f.txt_Cl_Razon_Social_1, &f.txt_Cl_Direccion_1,
                         &f.txt_Cl_R_F_C, &f.txt_Comentario, &f.txt_Credito_Disponible, &f.txt_Sc_Cve_Sucursal,
                         &f.txt_Al_Cve_Almacen})
        EXPECT_EQ(t->text(), "") << t->name();
    EXPECT_EQ(f.ssDetalle.rowCount(), 0);
    EXPECT_EQ(f.IdDomicilioEntrega, "");
}

// A user bound to a branch and warehouse keeps them when the folio changes.
TEST_F(EncabezadoTest, FolioChangeKeepsBranchOfBoundUser)
{
    usuario("VENDE1");
    frmVN003& f = nuevo();
    f.txt_Sc_Cve_Sucursal.setText("01");
    f.txt_Al_Cve_Almacen.setText("01");
    f.txt_Pd_Folio.userType("P0001");
    EXPECT_EQ(f.txt_Sc_Cve_Sucursal.text(), "01");
    EXPECT_EQ(f.txt_Al_Cve_Almacen.text(), "01");
}

} // namespace
} // namespace tesmira::vn003::testing
