#include "Pantalla_fixture.h"
#include "host/CreditoCliente.h"

namespace tesmira::vn003::testing {
namespace {

using forms::Command;

class EncabezadoTest : public PantallaTest {
protected:
    // The screen open on a new note, as after the new command.
    frmVN003& nuevo()
    {
        frmVN003& f = abre();
        f.Controles.press(Command::Nuevo);
        return f;
    }
    // The order folio typed and confirmed.
    void pedido(const std::string& folio)
    {
        frm().txt_Pd_Folio.userType(folio);
        frm().txt_Pd_Folio.userEnter();
    }
    Value celda(int row, const char* col) { return frm().ssDetalle.cell(row, frm().ssDetalle.columnIndex(col)); }
};

// Warehouse confirmation switches the dispatch field and the location columns by the warehouse's settings.
TEST_F(EncabezadoTest, WarehouseEnterAppliesHandlingOfTheWarehouse)
{
    struct Caso {
        const char* nombre;
        const char* almacen;
        bool vndisp;
        bool ubicacion, salidaHabilitada, ubicacionVisible, disponibilidadVisible;
    };
    const Caso casos[] = {
        {"cedis con ubicaciones", "02", true, true, true, true, false},
        {"almacen general sin ubicaciones", "01", true, false, false, false, true},
        {"sin derecho VNDISP la disponibilidad sigue oculta", "01", false, false, false, false, false},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        TearDown();
        SetUp();
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
}

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

TEST_F(EncabezadoTest, WarehouseLeaveCopiesWarehouseIntoEveryLineUnlessVndisp)
{
    for (bool vndisp : {false, true}) {
        SCOPED_TRACE(vndisp ? "con VNDISP" : "sin VNDISP");
        TearDown();
        SetUp();
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
}

TEST_F(EncabezadoTest, CurrencyChangeResetsRateUntilConfirmed)
{
    right("CHTC01", false);
    frmVN003& f = nuevo();
    f.txt_Mn_Cve_Moneda.setText("USD");
    EXPECT_EQ(f.txt_Rm_Tipo_Cambio.text(), "0");
    EXPECT_FALSE(f.txt_Rm_Tipo_Cambio.enabled());
    for (TextField* m : f.txtMoneda)
        EXPECT_EQ(m->text(), "USD") << m->name();

    f.txt_Mn_Cve_Moneda_Enter();
    EXPECT_DOUBLE_EQ(f.txt_Rm_Tipo_Cambio.value().toDouble(), 18.5);
    EXPECT_TRUE(f.txt_Rm_Tipo_Cambio.enabled()) << "a foreign currency's rate may be typed";

    f.txt_Mn_Cve_Moneda.setText("MXN");
    f.txt_Mn_Cve_Moneda_LostFocus();
    EXPECT_DOUBLE_EQ(f.txt_Rm_Tipo_Cambio.value().toDouble(), 1);
    EXPECT_FALSE(f.txt_Rm_Tipo_Cambio.enabled()) << "the local currency's rate is fixed";
}

TEST_F(EncabezadoTest, RateFieldStaysLockedWithChtc01)
{
    right("CHTC01", true);
    frmVN003& f = nuevo();
    f.txt_Mn_Cve_Moneda.setText("USD");
    f.txt_Mn_Cve_Moneda_Enter();
    EXPECT_FALSE(f.txt_Rm_Tipo_Cambio.enabled());
}

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
}

TEST_F(EncabezadoTest, CustomerEnterShowsCustomerData)
{
    frmVN003& f = nuevo();
    f.txtCliente.setText("C0001");
    f.txtCliente_Enter();
    EXPECT_EQ(f.txt_Cl_Razon_Social_1.text(), "Ferretería El Martillo, S.A. de C.V.");
    EXPECT_EQ(f.txt_Cl_R_F_C.text(), "FMA850312KJ4");
    EXPECT_EQ(f.txt_Sg_Descripcion.text(), "Ferreterías");
    EXPECT_EQ(f.txt_Rt_Descripcion.text(), "Ruta Mérida centro");
    EXPECT_EQ(f.txt_Cl_Dias_Credito.text(), "30");
    EXPECT_DOUBLE_EQ(f.txt_Credito_Disponible.value().toDouble(),
                     host::CreditoCliente(entorno()).CreditoDisponible("C0001", false));
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

TEST_F(EncabezadoTest, DeliveryAddressText)
{
    frmVN003& f = nuevo();
    EXPECT_EQ(f.Direccion_Entrega("0002", "C0001"), "Periférico Poniente km 12, bodega 4, Mérida, Yuc.");
    EXPECT_EQ(f.Direccion_Entrega("0001", "C0004"), "Calle 80 Int. 3 131 x 29 y 31");
    EXPECT_EQ(f.Direccion_Entrega("0009", "C0001"), "");
    EXPECT_EQ(f.Direccion_Entrega("0001", "C'0001"), "");
}

TEST_F(EncabezadoTest, BranchQueriesFollowTheBranch)
{
    frmVN003& f = nuevo();
    f.txt_Fc_Factura.setBranch("01");
    f.txt_Sc_Cve_Sucursal.setText("02");
    EXPECT_EQ(f.txt_Fc_Factura.branch(), "");
    EXPECT_EQ(f.txt_Al_Cve_Almacen.lookupQuery, "SELECT Al_Cve_Almacen As CLAVE, Al_Descripcion AS DESCRIPCION FROM "
                                                 "Almacen WHERE Sc_Cve_Sucursal = '02' AND Es_Cve_Estado <> 'BA'");
    EXPECT_EQ(f.txt_Al_Cve_Almacen.sql,
              "SELECT Al_Descripcion FROM Almacen WHERE Al_Cve_Almacen = '?' AND Sc_Cve_Sucursal = '02'");
    EXPECT_EQ(f.txt_Al_Cve_Almacen.sqlControlResultado, "txt_Al_Descripcion");
    f.txt_Sc_Cve_Sucursal_Enter();
    EXPECT_EQ(f.txt_Fc_Factura.branch(), "02");
}

// ---- order folio ----

TEST_F(EncabezadoTest, EmptyFolioDoesNothing)
{
    frmVN003& f = nuevo();
    f.txt_Pd_Folio_Enter();
    EXPECT_EQ(ultimoMensaje(), "");
    EXPECT_EQ(f.txtCliente.text(), "");
}

TEST_F(EncabezadoTest, OrderWithLiveDeliveryOrderIsRefused)
{
    frmVN003& f = nuevo();
    pedido("P0002");
    ASSERT_EQ(ultimoMensaje(), "ERR-ID:7500033");
    EXPECT_EQ(dialogos().mensajes().back().prompt, "No es posible remisionar el pedido si tiene órdenes de entrega");
    EXPECT_EQ(dialogos().mensajes().back().flags, 64);
    EXPECT_EQ(dialogos().mensajes().back().title, "Tesmira");
    EXPECT_EQ(f.txtCliente.text(), "");
    EXPECT_EQ(f.ssDetalle.rowCount(), 0);
    EXPECT_EQ(f.txt_Pd_Folio.text(), "P0002");
}

TEST_F(EncabezadoTest, CancelledDeliveryOrderDoesNotBlock)
{
    param("PED_SURTIR_SOLO_EXISTENTE", "NO");
    frmVN003& f = nuevo();
    pedido("P0004");
    EXPECT_EQ(ultimoMensaje(), "");
    EXPECT_EQ(f.txtCliente.text(), "C0002");
    EXPECT_EQ(f.ssDetalle.rowCount(), 2);
}

TEST_F(EncabezadoTest, FolioChangeClearsCustomerPartAndGrid)
{
    param("PED_SURTIR_SOLO_EXISTENTE", "NO");
    frmVN003& f = nuevo();
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

// Quotes and blanks in a folio are data: the order is simply not found and nothing is written.
TEST_F(EncabezadoTest, FolioWithQuotesIsNotFound)
{
    param("PED_SURTIR_SOLO_EXISTENTE", "NO");
    frmVN003& f = nuevo();
    const std::string antes = sql("SELECT count(*) FROM Remision");
    for (const char* folio : {"P'0001", "P0001' OR '1'='1", "P 0001"}) {
        SCOPED_TRACE(folio);
        dialogos().limpia();
        pedido(folio);
        EXPECT_EQ(ultimoMensaje(), "ERR-ID:7500048");
        EXPECT_EQ(f.ssDetalle.rowCount(), 0);
        EXPECT_EQ(f.txtCliente.text(), "");
    }
    EXPECT_EQ(sql("SELECT count(*) FROM Remision"), antes);
}

// With several finished dispatches the first row returned is taken.
TEST_F(EncabezadoTest, OrderWithTwoFinishedDispatchesTakesTheFirst)
{
    conexion().Execute("UPDATE PDA_Salida SET Es_Cve_Estado = 'FN' WHERE Sa_Folio = 'S0002'");
    param("PED_SURTIR_SOLO_EXISTENTE", "NO");
    frmVN003& f = nuevo();
    pedido("P0008");
    EXPECT_EQ(f.txtSalida.text(), "S0001");
}

TEST_F(EncabezadoTest, UnfinishedDispatchIsNotPickedUp)
{
    conexion().Execute("UPDATE PDA_Salida SET Es_Cve_Estado = 'PR' WHERE Sa_Folio = 'S0001'");
    param("PED_SURTIR_SOLO_EXISTENTE", "NO");
    frmVN003& f = nuevo();
    pedido("P0008");
    EXPECT_EQ(f.txtSalida.text(), "");
    EXPECT_EQ(f.ssDetalle.rowCount(), 2) << "the order's own pending lines stay";
}

} // namespace
} // namespace tesmira::vn003::testing
