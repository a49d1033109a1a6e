// Form load and activation: company parameters and user rights read once, the closing-order
// policy, the Alt+1/2/3 tab keys and the layout on resize.
#include "host/services/Busquedas.h"
#include "host/services/Descripciones.h"
#include "host/services/Padre.h"
#include "host/services/Permisos.h"
#include "host/services/Precios.h"
#include "host/services/SerieFactura.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <initializer_list>

namespace tesmira::vn003 {

namespace {

Value parametro(const std::string& clave, const std::string& tipo, const std::string& predeterminado)
{
    return Sistema().ParametroValor(clave, 0, tipo, predeterminado);
}

bool derecho(const std::string& codigo) { return Sistema().Derecho("VN003", codigo, "No disponible"); }

void muestraDimension(bool visible, std::initializer_list<forms::Control*> controles)
{
    // Only shows: a dimension the company does not use keeps its design-time state.
    if (!visible)
        return;
    for (forms::Control* c : controles)
        c->setVisible(true);
}

} // namespace

void frmVN003::Form_Load()
{
    // The shared host objects act on this form (EnviaTecla, the active form's Tab).
    Utilerias().setFormaActiva(this);
    Permisos = std::make_unique<host::Permisos>(Sistema().entorno());
    Precios = std::make_unique<host::Precios>(Sistema().entorno());
    host::conectaSerieFactura(txt_Fc_Factura, Sistema().entorno());
    host::conectaDescripciones(*this, Sistema().entorno());
    host::conectaBusquedas(*this, Sistema().entorno());

    Parametros.CapturaMayorPedido = parametro("REM_CAPTURA_MAYOR_PEDIDO", "", "").toBool();
    Parametros.CapturaCiega = parametro("REM_CAPTURA_CIEGA", "", "").toBool();
    txtCondicionVenta.setCodeFormat(parametro("FTO_CONDICION_VENTA", "", "").toString());
    Parametros.LoteAutomatico = parametro("VEN_LOTE_AUTOMATICO", "B", "0").toBool();
    Parametros.TipoCalculoImportes = static_cast<int16_t>(parametro("REM_TIPO_CALCULO_IMPORTES", "N", "1").toInt());
    Parametros.ValidarCreditoRemision = parametro("VEN_VALIDAR_CREDITO_REMISION", "B", "0").toBool();
    txt_Sc_Cve_Sucursal.setCodeFormat(parametro("FTO_SUCURSAL", "", "").toString());
    txt_Al_Cve_Almacen.setCodeFormat(parametro("FTO_ALMACEN", "", "").toString());
    txtCliente.setCodeFormat(parametro("FTO_CLIENTE", "", "").toString());
    txtVendedor.setCodeFormat(parametro("FTO_VENDEDOR", "", "").toString());
    Parametros.EstadoCerrarPedido = static_cast<int16_t>(parametro("REM_ESTADO_CERRAR_PEDIDO", "N", "0").toInt());
    Parametros.SurtirSoloExistente = parametro("PED_SURTIR_SOLO_EXISTENTE", "B", "1").toBool();
    Parametros.ApartarSerie = parametro("PED_APARTAR_SERIE", "B", "0").toBool();
    Parametros.EnviarDocumentoEmail = parametro("FAC_ENVIAR_DOCUMENTO_EMAIL", "B", "0").toBool();
    txtMonedaLocal.setText(parametro("FIN_MONEDA_LOCAL", "", "").toString());
    Parametros.ValidarPrecioMinimo = parametro("VEN_VALIDAR_PRECIO_MINIMO", "B", "0").toBool();

    Derechos.DerechoPMINIMO = derecho("PMINIMO");
    Derechos.DerechoVNDISP = derecho("VNDISP");
    ssDetalle.col("Rm_Sucursal_Inventario").setVisible(Derechos.DerechoVNDISP);
    ssDetalle.col("Rm_Almacen_Inventario").setVisible(Derechos.DerechoVNDISP);
    Derechos.DerechoCHPR01 = derecho("CHPR01");
    Derechos.DerechoCHTC01 = derecho("CHTC01");
    Derechos.DerechoCHFECHA = derecho("CHFECHA");
    Derechos.DerechoCHDEAM = derecho("CHDEAM");

    Parametros.PermitirVentaSinCargo = parametro("VEN_PERMITIR_VENTA_SIN_CARGO", "B", "0").toBool();
    chSinCargo.setVisible(Parametros.PermitirVentaSinCargo);

    dpFecha.setValue(Utilerias().FechaServidor());
    Controles.setToolbarIniciado(true);
    SeleccionaPestana(0);

    FolioSalidaRemision.clear();
    MostrarSalidaPropia = false;
    Parametros.FormatoUbicacion = parametro("FTO_UBICACION_ALMACEN", "T", "0000").toString();

    if (Derechos.DerechoVNDISP)
        ssDetalle.col("VALIDA_DISPONIBILIDAD").setVisible(true);

    AplicaCierrePedido();

    txtCentroCosto.setCodeFormat(parametro("FTO_CENTRO_COSTO", "T", "000000").toString());
    txtProyecto.setCodeFormat(parametro("FTO_PROYECTO", "T", "0000000000").toString());
    txtUen.setCodeFormat(parametro("FTO_UNIDAD_ESTRATEGICA_NEGOCIO", "T", "000000").toString());
    txtActivoFijo.setCodeFormat(parametro("FTO_ACTIVO_FIJO", "T", "0000000000").toString());
    Parametros.ProyectoVisible = parametro("VEN_PROYECTO_VISIBLE", "B", "0").toBool();
    Parametros.ProyectoObligatorio = parametro("VEN_PROYECTO_OBLIGATORIO", "B", "0").toBool();
    Parametros.CentroCostoVisible = parametro("VEN_CENTRO_COSTO_VISIBLE", "B", "0").toBool();
    Parametros.CentroCostoObligatorio = parametro("VEN_CENTRO_COSTO_OBLIGATORIO", "B", "0").toBool();
    Parametros.UenVisible = parametro("VEN_UEN_VISIBLE", "B", "0").toBool();
    Parametros.UenObligatorio = parametro("VEN_UEN_OBLIGATORIO", "B", "0").toBool();
    Parametros.ActivoFijoVisible = parametro("VEN_ACTIVO_FIJO_VISIBLE", "B", "0").toBool();
    Parametros.ActivoFijoObligatorio = parametro("VEN_ACTIVO_FIJO_OBLIGATORIO", "B", "0").toBool();
    Parametros.LecturaVisible = parametro("VEN_LECTURA_VISIBLE", "B", "0").toBool();

    // An obligatory dimension must be seen to be filled, visible or not.
    muestraDimension(Parametros.ProyectoVisible || Parametros.ProyectoObligatorio,
                     {&lbProyecto, &txtProyecto, &txtNProyecto});
    muestraDimension(Parametros.CentroCostoVisible || Parametros.CentroCostoObligatorio,
                     {&lbCentroCosto, &txtCentroCosto, &txtNCentroCosto});
    muestraDimension(Parametros.UenVisible || Parametros.UenObligatorio, {&lbUen, &txtUen, &txtNUen});
    muestraDimension(Parametros.ActivoFijoVisible || Parametros.ActivoFijoObligatorio,
                     {&lbActivoFijo, &txtActivoFijo, &txtNActivoFijo});
    muestraDimension(Parametros.LecturaVisible, {&lbLectura, &txtLectura});
}

void frmVN003::Form_Activate()
{
    if (txtFolio.enabled())
        txtFolio.setFocus();
    if (Controles.ModoNuevo())
        return;

    txt_Sc_Cve_Sucursal.setText(Sistema().SucursalUsuario());
    txt_Al_Cve_Almacen.setText(Sistema().AlmacenUsuario());
    // A user bound to a branch or warehouse cannot move to another one.
    for (TextField* t : {&txt_Sc_Cve_Sucursal, &txt_Al_Cve_Almacen}) {
        if (t->text().empty())
            continue;
        t->setTag("0");
        t->setLocked(true);
    }

    // A calling object without call parameters opens the screen empty.
    try {
        ParametrosLlamada = m_padre ? m_padre->iParametros().value_or("") : "";
    } catch (const std::exception&) {
        ParametrosLlamada.clear();
    }
    if (ParametrosLlamada.empty())
        return;
    Controles.InicioNuevo(true);
    txt_Pd_Folio.setText(ParametrosLlamada);
    txt_Pd_Folio_Enter();
    txt_Pd_Folio.setFocus();
}

void frmVN003::Form_KeyDown(int keyCode, int shift)
{
    constexpr int Alt = 4;
    if (shift != Alt || keyCode < '1' || keyCode > '3')
        return;
    SeleccionaPestana(keyCode - '1');
}

void frmVN003::Form_Resize(int width, int height)
{
    // A minimised form is smaller than its margins: each size that would be negative is
    // skipped and the rest applied, as the original resume-next layout did.
    auto asigna = [](int& destino, int valor) {
        if (valor >= 0)
            destino = valor;
    };
    asigna(GeometriaTab.Width, width - 2 * GeometriaTab.Left);
    asigna(GeometriaTab.Height, height - GeometriaTab.Top - 100);
    asigna(GeometriaMarcos.Width, GeometriaTab.Width - 2 * GeometriaMarcos.Left);
    asigna(GeometriaMarcos.Height, GeometriaTab.Height - GeometriaMarcos.Top - GeometriaMarcos.Left);
    asigna(GeometriaGrid.Width, GeometriaMarcos.Width - 2 * GeometriaGrid.Left);
    asigna(GeometriaGrid.Height, GeometriaTab.Height - 700 - GeometriaGrid.Top);
}

void frmVN003::AplicaCierrePedido()
{
    switch (Parametros.EstadoCerrarPedido) {
    case 1:
        chkCerrar.setEnabled(true);
        chkCerrar.setValue(CheckBox::Checked);
        return;
    case 2:
        chkCerrar.setEnabled(false);
        chkCerrar.setValue(CheckBox::Unchecked);
        return;
    case 3:
        chkCerrar.setEnabled(false);
        chkCerrar.setValue(CheckBox::Checked);
        return;
    default:
        chkCerrar.setEnabled(true);
        chkCerrar.setValue(CheckBox::Unchecked);
        return;
    }
}

} // namespace tesmira::vn003
