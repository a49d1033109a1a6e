#include "vn003/frmVN003.h"

#include "host/services/Padre.h"
#include "host/services/Permisos.h"
#include "host/services/Precios.h"
#include "vn003/Publico.h"

namespace tesmira::vn003 {

using forms::Command;
using forms::Control;

namespace {

template <class... C>
std::vector<Control*> controles(C&... c)
{
    return {&c...};
}

// Label, key and description of each analytic dimension.
std::vector<Control*> controlesDimensiones(frmVN003& f)
{
    return controles(f.lbProyecto, f.txtProyecto, f.txtNProyecto, f.lbCentroCosto, f.txtCentroCosto,
                     f.txtNCentroCosto, f.lbUen, f.txtUen, f.txtNUen, f.lbActivoFijo, f.txtActivoFijo,
                     f.txtNActivoFijo, f.lbLectura, f.txtLectura);
}

// Which frame holds each control: the tabs show and hide frames, not controls.
void colocaEnMarcos(frmVN003& f)
{
    for (Control* c : controles(f.txtFolio, f.txt_Pd_Folio, f.txt_Sc_Cve_Sucursal, f.txt_Al_Cve_Almacen,
                                f.txt_Al_Descripcion, f.dpFecha, f.txtCliente, f.txtNCliente, f.txt_Cl_Razon_Social_1,
                                f.txt_Cl_R_F_C, f.txt_Sg_Descripcion, f.txt_Rt_Descripcion, f.txt_Cl_Dias_Credito,
                                f.txt_Credito_Disponible, f.txt_Cl_Direccion_1, f.txtVendedor, f.txtCondicionVenta,
                                f.txtReferencia, f.txt_Mn_Cve_Moneda, f.txt_Mn_Descripcion, f.txt_Rm_Tipo_Cambio,
                                f.txtSalida, f.txt_Comentario, f.chSinCargo, f.chkCerrar, f.chkFacturar, f.frFactura,
                                f.frCampos, *f.txtMoneda[0]))
        c->setContainer(&f.fr0);
    for (Control* c : controles(f.txt_Fc_Factura, f.cmdCuentaBancaria))
        c->setContainer(&f.frFactura);
    for (Control* c : controlesDimensiones(f))
        c->setContainer(&f.frCampos);
    f.ssDetalle.setContainer(&f.fr1);
    for (Control* c : controles(f.txtTCantidad1, f.txtTCantidad2, f.txtTPeso, f.txtTVolumen, f.txtSuma,
                                f.txtDescuento_Global, f.txtSubTotal, f.txtImpuestos, f.txtTotal, f.txtMonedaLocal,
                                f.txtTotalLocal, *f.txtMoneda[1]))
        c->setContainer(&f.fr2);
}

void fijaEstadoInicial(frmVN003& f)
{
    // Dimensions the company does not use stay out of sight; the load shows those it uses.
    for (Control* c : controlesDimensiones(f))
        c->setVisible(false);

    // Description and read-only fields are shown, never typed.
    for (TextField* t : {&f.txt_Al_Descripcion, &f.txtNCliente, &f.txt_Cl_Razon_Social_1, &f.txt_Cl_R_F_C,
                         &f.txt_Sg_Descripcion, &f.txt_Rt_Descripcion, &f.txt_Cl_Dias_Credito,
                         &f.txt_Credito_Disponible, &f.txt_Cl_Direccion_1, &f.txt_Mn_Descripcion, &f.txtNProyecto,
                         &f.txtNCentroCosto, &f.txtNUen, &f.txtNActivoFijo, &f.txtTCantidad1, &f.txtTCantidad2,
                         &f.txtTPeso, &f.txtTVolumen, &f.txtSuma, &f.txtSubTotal, &f.txtImpuestos, &f.txtTotal,
                         &f.txtMonedaLocal, &f.txtTotalLocal, f.txtMoneda[0], f.txtMoneda[1]})
        t->setLocked(true);

    // Read once at load: clearing the document must not empty it.
    f.txtMonedaLocal.setTag("0");
    // The document key: the screen empties it itself where it means to.
    f.txtFolio.setTag("0");
    // The invoice series is usable only while "Factura" is ticked; its click switches it on.
    f.frFactura.setEnabled(false);
}

void fijaFormatos(frmVN003& f)
{
    using Kind = TextField::Kind;
    for (TextField* t : {&f.txt_Rm_Tipo_Cambio, &f.txt_Credito_Disponible, &f.txtDescuento_Global, &f.txtTCantidad1,
                         &f.txtTCantidad2, &f.txtTPeso, &f.txtTVolumen})
        t->setKind(Kind::Number);
    f.txt_Rm_Tipo_Cambio.setNumberFormat("#,##0.0000");
    f.txt_Credito_Disponible.setNumberFormat("$#,##0.00");
    // The global discount is shown as a percentage and its value reads back as the factor the
    // totals and the save use: setValue(5) shows "5.00%", value() answers 0.05. It comes from
    // the order, so the user does not type it.
    f.txtDescuento_Global.setNumberFormat("#,##0.00######\"%\"");
    f.txtDescuento_Global.setLocked(true);
    for (TextField* t : {&f.txtTCantidad1, &f.txtTCantidad2, &f.txtTPeso, &f.txtTVolumen})
        t->setNumberFormat("#,##0.000");
    for (TextField* t : {&f.txtSuma, &f.txtSubTotal, &f.txtImpuestos, &f.txtTotal, &f.txtTotalLocal}) {
        t->setKind(Kind::Number);
        t->setNumberFormat("$#,##0.00");
    }
}

// The header fields' description query, F2 look-up and key catalogue.
void fijaConsultas(frmVN003& f)
{
    f.txt_Mn_Cve_Moneda.sql = "SELECT Mn_Descripcion FROM Moneda WHERE Mn_Cve_Moneda = '?'";
    f.txt_Mn_Cve_Moneda.sqlControlResultado = "txt_Mn_Descripcion";
    f.txt_Mn_Cve_Moneda.lookupQuery = "SELECT Mn_Cve_Moneda AS CLAVE, Mn_Descripcion AS DESCRIPCION FROM Moneda";
    // A document is found by its customer, date, amount or state as often as by its folio.
    f.txtFolio.lookupQuery =
        "SELECT r.Rm_Folio AS CLAVE, c.Cl_Descripcion AS CLIENTE, r.Rm_Fecha AS FECHA, r.Rm_Total AS TOTAL, "
        "CASE WHEN r.Es_Cve_Estado = 'CA' THEN 'Cancelada' WHEN r.Rm_Facturado = 'SI' THEN 'Facturada' "
        "ELSE 'Activa' END AS ESTADO, r.Rm_Documento AS PEDIDO "
        "FROM Remision_Encabezado r LEFT JOIN Cliente c ON c.Cl_Cve_Cliente = r.Cl_Cve_Cliente ORDER BY r.Rm_Folio";
    f.txt_Pd_Folio.lookupQuery =
        "SELECT p.Pd_Folio AS CLAVE, c.Cl_Descripcion AS CLIENTE, p.Pd_Fecha AS FECHA, p.Pd_Total AS TOTAL, "
        "CASE p.Es_Cve_Estado WHEN 'AC' THEN 'Abierto' WHEN 'RM' THEN 'Remisionado' WHEN 'FA' THEN 'Facturado' "
        "ELSE p.Es_Cve_Estado END AS ESTADO "
        "FROM Pedido_Encabezado p LEFT JOIN Cliente c ON c.Cl_Cve_Cliente = p.Cl_Cve_Cliente "
        "WHERE p.Es_Cve_Estado IN ('AC','RM','FA') ORDER BY p.Pd_Folio";
    f.txt_Sc_Cve_Sucursal.lookupQuery = "SELECT Sc_Cve_Sucursal AS CLAVE, Sc_Descripcion AS DESCRIPCION FROM Sucursal "
                                        "WHERE Es_Cve_Estado <> 'BA'";
    f.txtCliente.lookupQuery = "SELECT Cl_Cve_Cliente AS CLAVE, Cl_Descripcion AS DESCRIPCION FROM Cliente";
    f.txtVendedor.lookupQuery = "SELECT Vn_Cve_Vendedor AS CLAVE, Vn_Descripcion AS DESCRIPCION FROM Vendedor";
    f.txtCondicionVenta.lookupQuery =
        "SELECT Cv_Cve_Condicion_Venta AS CLAVE, Cv_Descripcion AS DESCRIPCION FROM Condicion_Venta";
    // Header keys the user types must exist: the field refuses others (loaders are not checked).
    f.txt_Sc_Cve_Sucursal.keyCatalog = "la sucursal";
    f.txt_Al_Cve_Almacen.keyCatalog = "el almacén";
    f.txt_Mn_Cve_Moneda.keyCatalog = "la moneda";
    f.txtVendedor.keyCatalog = "el vendedor";
    f.txtCondicionVenta.keyCatalog = "la condición de venta";
}

} // namespace

frmVN003::frmVN003()
    : Form("frmVN003")
    , Controles(add<Toolbar>("Controles"))
    , ssTabKiv(add<TabStrip>("ssTabKiv"))
    , fr0(add<Frame>("fr0"))
    , fr1(add<Frame>("fr1"))
    , fr2(add<Frame>("fr2"))
    , txtFolio(add<TextField>("txtFolio"))
    , txt_Pd_Folio(add<TextField>("txt_Pd_Folio"))
    , txt_Sc_Cve_Sucursal(add<TextField>("txt_Sc_Cve_Sucursal"))
    , txt_Al_Cve_Almacen(add<TextField>("txt_Al_Cve_Almacen"))
    , txt_Al_Descripcion(add<TextField>("txt_Al_Descripcion"))
    , dpFecha(add<DatePicker>("dpFecha"))
    , txtCliente(add<TextField>("txtCliente"))
    , txtNCliente(add<TextField>("txtNCliente"))
    , txt_Cl_Razon_Social_1(add<TextField>("txt_Cl_Razon_Social_1"))
    , txt_Cl_R_F_C(add<TextField>("txt_Cl_R_F_C"))
    , txt_Sg_Descripcion(add<TextField>("txt_Sg_Descripcion"))
    , txt_Rt_Descripcion(add<TextField>("txt_Rt_Descripcion"))
    , txt_Cl_Dias_Credito(add<TextField>("txt_Cl_Dias_Credito"))
    , txt_Credito_Disponible(add<TextField>("txt_Credito_Disponible"))
    , txt_Cl_Direccion_1(add<TextField>("txt_Cl_Direccion_1"))
    , txtVendedor(add<TextField>("txtVendedor"))
    , txtCondicionVenta(add<TextField>("txtCondicionVenta"))
    , txtReferencia(add<TextField>("txtReferencia"))
    , txt_Mn_Cve_Moneda(add<TextField>("txt_Mn_Cve_Moneda"))
    , txt_Mn_Descripcion(add<TextField>("txt_Mn_Descripcion"))
    , txt_Rm_Tipo_Cambio(add<TextField>("txt_Rm_Tipo_Cambio"))
    , txtSalida(add<TextField>("txtSalida"))
    , txt_Comentario(add<TextField>("txt_Comentario"))
    , chSinCargo(add<CheckBox>("chSinCargo"))
    , chkCerrar(add<CheckBox>("chkCerrar"))
    , chkFacturar(add<CheckBox>("chkFacturar"))
    , frFactura(add<Frame>("frFactura"))
    , txt_Fc_Factura(add<SeriesField>("txt_Fc_Factura"))
    , cmdCuentaBancaria(add<Button>("cmdCuentaBancaria"))
    , frCampos(add<Frame>("frCampos"))
    , lbProyecto(add<Label>("lbProyecto"))
    , txtProyecto(add<TextField>("txtProyecto"))
    , txtNProyecto(add<TextField>("txtNProyecto"))
    , lbCentroCosto(add<Label>("lbCentroCosto"))
    , txtCentroCosto(add<TextField>("txtCentroCosto"))
    , txtNCentroCosto(add<TextField>("txtNCentroCosto"))
    , lbUen(add<Label>("lbUen"))
    , txtUen(add<TextField>("txtUen"))
    , txtNUen(add<TextField>("txtNUen"))
    , lbActivoFijo(add<Label>("lbActivoFijo"))
    , txtActivoFijo(add<TextField>("txtActivoFijo"))
    , txtNActivoFijo(add<TextField>("txtNActivoFijo"))
    , lbLectura(add<Label>("lbLectura"))
    , txtLectura(add<TextField>("txtLectura"))
    , ssDetalle(add<Grid>("ssDetalle", ColumnasDetalle()))
    , txtTCantidad1(add<TextField>("txtTCantidad1"))
    , txtTCantidad2(add<TextField>("txtTCantidad2"))
    , txtTPeso(add<TextField>("txtTPeso"))
    , txtTVolumen(add<TextField>("txtTVolumen"))
    , txtSuma(add<TextField>("txtSuma"))
    , txtDescuento_Global(add<TextField>("txtDescuento_Global"))
    , txtSubTotal(add<TextField>("txtSubTotal"))
    , txtImpuestos(add<TextField>("txtImpuestos"))
    , txtTotal(add<TextField>("txtTotal"))
    , txtMonedaLocal(add<TextField>("txtMonedaLocal"))
    , txtTotalLocal(add<TextField>("txtTotalLocal"))
{
    setCaption("Remisión de pedidos");
    txtMoneda = {&add<TextField>("txtMoneda(0)"), &add<TextField>("txtMoneda(1)")};

    // Design-time state of the controls.
    Controles.setCaption("Remisión de pedidos");
    Controles.setDocument("Remision", "Rm_Folio");
    ssTabKiv.setTabs({"Encabezado", "Detalle", "Totales"});
    ssDetalle.setCaption("Productos");
    colocaEnMarcos(*this);
    fijaEstadoInicial(*this);
    fijaFormatos(*this);
    fijaConsultas(*this);
    conectaEventos();
}

frmVN003::~frmVN003() = default;

std::string frmVN003::Transaccion() const
{
    return Utilerias().TextoTransaccion(m_padre ? m_padre->Transaccion() : std::string(), "Tesmira");
}

void frmVN003::conectaEventos()
{
    Controles.onNuevo = [this] { Controles_Nuevo(); };
    Controles.onModificar = [this] { Controles_Modificar(); };
    Controles.onLimpiar = [this] { Controles_Limpiar(); };
    Controles.onImprimir = [this] { Controles_Imprimir(); };
    Controles.onDocumento = [this] { Controles_Documento(); };
    Controles.onSalir = [this] { Controles_Salir(); };
    Controles.onEliminar = [this] { Controles_Eliminar(); };
    Controles.onAceptar = [this](int argumento) { Controles_Aceptar(argumento); };
    onKeyDown = [this](int key, int shift) { Form_KeyDown(key, shift); };
    ssTabKiv.onClick = [this](int previous) { ssTabKiv_Click(previous); };
    ssTabKiv.onKeyPress = [this](int& key) { ssTabKiv_KeyPress(key); };
    chkCerrar.onKeyPress = [this](int& key) { chkCerrar_KeyPress(key); };

    txt_Sc_Cve_Sucursal.onChange = [this] { txt_Sc_Cve_Sucursal_Change(); };
    txt_Sc_Cve_Sucursal.onEnter = [this] { txt_Sc_Cve_Sucursal_Enter(); };
    txt_Al_Cve_Almacen.onChange = [this] { txt_Al_Cve_Almacen_Change(); };
    txt_Al_Cve_Almacen.onEnter = [this] { txt_Al_Cve_Almacen_Enter(); };
    txt_Al_Cve_Almacen.onLeave = [this] { txt_Al_Cve_Almacen_LostFocus(); };
    txt_Mn_Cve_Moneda.onChange = [this] { txt_Mn_Cve_Moneda_Change(); };
    txt_Mn_Cve_Moneda.onEnter = [this] { txt_Mn_Cve_Moneda_Enter(); };
    txt_Mn_Cve_Moneda.onLeave = [this] { txt_Mn_Cve_Moneda_LostFocus(); };
    dpFecha.onChange = [this] { dpFecha_Change(); };
    txtCliente.onEnter = [this] { txtCliente_Enter(); };
    txt_Pd_Folio.onChange = [this] { txt_Pd_Folio_Change(); };
    txt_Pd_Folio.onEnter = [this] { txt_Pd_Folio_Enter(); };
    txtFolio.onChange = [this] { txtFolio_Change(); };
    txtFolio.onEnter = [this] { txtFolio_Enter(); };

    txtSalida.onKeyUp = [this](int key, int shift) { txtSalida_KeyUp(key, shift); };
    txtSalida.onEnter = [this] { txtSalida_Enter(); };
    txtSalida.onChange = [this] { txtSalida_Change(); };

    ssDetalle.onChange = [this] { ssDetalle_Change(); };
    ssDetalle.onBeforeColChange = [this](int& cancel) { ssDetalle_BeforeColChange(cancel); };
    ssDetalle.onKeyDown = [this](int& key, int shift) { ssDetalle_KeyDown(key, shift); };
    ssDetalle.onKeyPress = [this](int& key) { ssDetalle_KeyPress(key); };
    ssDetalle.onKeyUp = [this](int key, int shift) { ssDetalle_KeyUp(key, shift); };
    ssDetalle.onButtonClick = [this] { ssDetalle_BtnClick(); };
    ssDetalle.onBeforeDelete = [this](int& display) { ssDetalle_BeforeDelete(display); };

    chkFacturar.onClick = [this] { chkFacturar_Click(); };
    chkFacturar.onKeyPress = [this](int& key) { chkFacturar_KeyPress(key); };
    cmdCuentaBancaria.onClick = [this] { cmdCuentaBancaria_Click(); };
}

} // namespace tesmira::vn003
