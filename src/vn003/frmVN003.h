#pragma once
// The delivery-note screen. One class: its members are the form's controls and variables;
// its handlers and routines live in the subsystem folders (shell, header, loading, grid,
// persist, invoicing). Handlers with an error report catch tesmira::Error themselves;
// routines without one let it pass to their caller.
#include "db/Recordset.h"
#include "forms/Controls.h"
#include "forms/Form.h"
#include "forms/Grid.h"
#include "forms/SeriesField.h"
#include "forms/TextField.h"
#include "forms/Toolbar.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tesmira::host {
class Padre;
class Permisos;
class Precios;
class Lotes;
class Series;
} // namespace tesmira::host

namespace tesmira::vn003 {

class CatalogoCarga;
struct ColumnasPartida;
class PendientesPedido;

using forms::Button;
using forms::CheckBox;
using forms::DatePicker;
using forms::Frame;
using forms::Grid;
using forms::Label;
using forms::SeriesField;
using forms::TabStrip;
using forms::TextField;
using forms::Toolbar;

// Company parameters read once at load.
struct ParametrosPantalla {
    bool CapturaMayorPedido = false;
    bool CapturaCiega = false;
    bool LoteAutomatico = false;
    int16_t TipoCalculoImportes = 1;
    bool ValidarCreditoRemision = false;
    int16_t EstadoCerrarPedido = 0;
    bool SurtirSoloExistente = true;
    bool ApartarSerie = false;
    bool EnviarDocumentoEmail = false;
    bool ValidarPrecioMinimo = false;
    bool PermitirVentaSinCargo = false;
    std::string FormatoUbicacion = "0000";
    bool ProyectoVisible = false, ProyectoObligatorio = false;
    bool CentroCostoVisible = false, CentroCostoObligatorio = false;
    bool UenVisible = false, UenObligatorio = false;
    bool ActivoFijoVisible = false, ActivoFijoObligatorio = false;
    bool LecturaVisible = false;
};

// The user's rights on the screen, read once at load.
struct DerechosPantalla {
    bool DerechoPMINIMO = false;
    bool DerechoVNDISP = false;
    bool DerechoCHPR01 = false;
    bool DerechoCHTC01 = false;
    bool DerechoCHFECHA = false;
    bool DerechoCHDEAM = false;
};

// How the warehouse in question handles stock.
struct ManejoAlmacen {
    bool ManejaTalla = false;
    bool ManejaColor = false;
    bool ManejaLote = false;
    bool ManejaSerie = false;
    bool ManejaUbicacion = false;
};

class frmVN003 : public forms::Form {
public:
    frmVN003();
    ~frmVN003();

    // Members the host sets and reads.
    void setPadre(host::Padre* padre) { m_padre = padre; }
    host::Padre* Padre() const { return m_padre; }
    std::string Transaccion() const;

    // Form events the host raises.
    void Form_Load();
    void Form_Activate();
    void Form_KeyDown(int keyCode, int shift);
    void Form_Resize(int width, int height);

    // ---- Controls, in tab order ----
    Toolbar& Controles;
    TabStrip& ssTabKiv;
    Frame& fr0;
    Frame& fr1;
    Frame& fr2;
    // Header tab
    TextField& txtFolio;
    TextField& txt_Pd_Folio;
    TextField& txt_Sc_Cve_Sucursal;
    TextField& txt_Al_Cve_Almacen;
    TextField& txt_Al_Descripcion;
    DatePicker& dpFecha;
    TextField& txtCliente;
    TextField& txtNCliente;
    TextField& txt_Cl_Razon_Social_1;
    TextField& txt_Cl_R_F_C;
    TextField& txt_Sg_Descripcion;
    TextField& txt_Rt_Descripcion;
    TextField& txt_Cl_Dias_Credito;
    TextField& txt_Credito_Disponible;
    TextField& txt_Cl_Direccion_1;
    TextField& txtVendedor;
    TextField& txtCondicionVenta;
    TextField& txtReferencia;
    TextField& txt_Mn_Cve_Moneda;
    TextField& txt_Mn_Descripcion;
    TextField& txt_Rm_Tipo_Cambio;
    TextField& txtSalida;
    TextField& txt_Comentario;
    CheckBox& chSinCargo;
    CheckBox& chkCerrar;
    CheckBox& chkFacturar;
    Frame& frFactura;
    SeriesField& txt_Fc_Factura;
    Button& cmdCuentaBancaria;
    // Analytic dimensions
    Frame& frCampos;
    Label& lbProyecto;
    TextField& txtProyecto;
    TextField& txtNProyecto;
    Label& lbCentroCosto;
    TextField& txtCentroCosto;
    TextField& txtNCentroCosto;
    Label& lbUen;
    TextField& txtUen;
    TextField& txtNUen;
    Label& lbActivoFijo;
    TextField& txtActivoFijo;
    TextField& txtNActivoFijo;
    Label& lbLectura;
    TextField& txtLectura;
    // Detail tab
    Grid& ssDetalle;
    // Totals tab
    TextField& txtTCantidad1;
    TextField& txtTCantidad2;
    TextField& txtTPeso;
    TextField& txtTVolumen;
    TextField& txtSuma;
    TextField& txtDescuento_Global;
    TextField& txtSubTotal;
    TextField& txtImpuestos;
    TextField& txtTotal;
    TextField& txtMonedaLocal;
    TextField& txtTotalLocal;
    // Control array repeating the document currency (header and totals).
    std::vector<TextField*> txtMoneda;

    // ---- Form variables ----
    ParametrosPantalla Parametros;
    DerechosPantalla Derechos;
    ManejoAlmacen Manejo;
    std::string TextoSQL;
    std::string MensajeError;
    std::string ParametrosLlamada;
    std::string IdDomicilioEntrega;
    std::string FolioSalidaRemision;
    bool MostrarSalidaPropia = false;
    // The called-up note's stamp: replacing or cancelling it is refused once another clerk changed it.
    std::string VersionRemision;
    std::string ConsultaProductosPedido;
    std::string SucursalActual;
    std::string AlmacenActual;
    float PendienteControl1 = 0;
    float PendienteControl2 = 0;
    double PrecioMinimo = 0;
    double PrecioVentaActual = 0;
    double CreditoDisponibleCliente = 0;
    std::string LoteActual;
    std::string SerieActual;
    std::string FiltroSeries;
    std::string TextoAmpliado;
    std::string TextoAmpliadoRemision;
    std::string DescripcionProducto;

    std::unique_ptr<host::Permisos> Permisos;
    std::unique_ptr<host::Precios> Precios;

    // ---- shell/ ----
    void AplicaCierrePedido();
    void RestableceCierrePedido();
    void Controles_Nuevo();
    void Controles_Modificar();
    void Controles_Limpiar();
    void Controles_Imprimir();
    void Controles_Documento();
    void Controles_Salir();
    void ssTabKiv_Click(int previousTab);
    void ssTabKiv_KeyPress(int& keyAscii);
    void chkCerrar_KeyPress(int& keyAscii);
    // The standard error report: rolls back an open transaction and shows the failure.
    void ReportaError(const std::string& rutina, const std::string& id, const std::string& descripcion,
                      const std::string& titulo);
    // Selects a tab as the tab control does when its Tab property is set: a change of tab
    // raises the click handler (frames switched, totals computed for tab 2).
    void SeleccionaPestana(int tab);
    // Position and size in twips of the controls the resize handler lays out; a view may follow them.
    struct Geometria {
        int Left = 0, Top = 0, Width = 0, Height = 0;
    };
    Geometria GeometriaTab{120, 600, 11400, 6600};
    Geometria GeometriaMarcos{120, 360, 11160, 6120};
    Geometria GeometriaGrid{60, 120, 11040, 5780};

    // ---- header/ ----
    // Asks Permisos how the header's branch and warehouse handle stock, into Manejo.
    void LeeManejoAlmacen();
    void txt_Sc_Cve_Sucursal_Change();
    void txt_Sc_Cve_Sucursal_Enter();
    void txt_Al_Cve_Almacen_Change();
    void txt_Al_Cve_Almacen_Enter();
    void txt_Al_Cve_Almacen_LostFocus();
    void txt_Mn_Cve_Moneda_Change();
    void txt_Mn_Cve_Moneda_Enter();
    void txt_Mn_Cve_Moneda_LostFocus();
    void dpFecha_Change();
    void txtCliente_Enter();
    std::string Direccion_Entrega(const std::string& id, const std::string& cliente);
    void txt_Pd_Folio_Change();
    void txt_Pd_Folio_Enter();
    void txtFolio_Change();
    void txtFolio_Enter();

    // ---- loading/ ----
    void CargaPedido();
    float CantidadPendiente(const std::string& folio, const std::string& producto, const std::string& talla,
                            const std::string& color, int control, std::string& unidad);
    void Cargar_Solo_Producto_Con_Existencia();
    void txtSalida_KeyUp(int keyCode, int shift);
    void txtSalida_Enter();
    void txtSalida_Change();
    // One order line as a loader puts it into the grid; each loader works the values out its own way.
    struct PartidaPedido {
        std::string sucursalInventario, almacenInventario, documentoId;
        std::string producto, descripcion, talla, color;
        std::string manejaTalla, manejaColor, tipoProducto;
        double porcentajeVariacion = 0;
        double cantidad1 = 0, control1 = 0, control2 = 0;
        std::string unidad1, unidadControl1, unidadControl2;
        double cantidadCosto = 0;
        std::string unidadCosto;
        double costo = 0, cuota = 0;
        std::string prFolio;
        double precioLista = 0, precioListaImporte = 0, descuentoFactor = 0, descuentoImporte = 0;
        double precioDescontado = 0, precioDescontadoImporte = 0, impuestoFactor = 0, impuestoImporte = 0;
        double precioNeto = 0, precioNetoImporte = 0;
        // Unit pairs of Factor_Conversion_U1 and Factor_Conversion_U2.
        std::string u1Desde, u1Hasta, u2Desde, u2Hasta;
        // The order line's costing unit; Unidad_Costeo_1 is set when it is control unit 1.
        std::string unidadCostoPedido;
        // Unset: Factor_M3 keeps the new row's default.
        bool conFactorM3 = false;
        double factorM3 = 0;
        std::string descamp;
    };
    // Appends a row, makes it current and writes the line; the type's lot or serial cell is emptied.
    // The load's catalogue answers the size, colour and unit look-ups.
    void AgregaPartidaPedido(const PartidaPedido& p, CatalogoCarga& catalogo, const ColumnasPartida& columnas);
    // Order header and grid preparation from the pending lines' first row, shared by the two
    // order loaders (their messages differ by id and wording). False when no line is to be
    // loaded: refused, no address, or blind capture.
    struct MensajesCargaPedido {
        const char* sinPartidas;
        const char* idSinPartidas;
        const char* idEstado;
        const char* idDireccion;
    };
    bool PreparaCargaPedido(db::Recordset& rs, const MensajesCargaPedido& mensajes);

    // ---- grid/ ----
    static std::vector<forms::ColumnDef> ColumnasDetalle();
    // TIPO_PRODUCTO's text for a product type code; "" for a code the screen does not know.
    static std::string TextoTipoProducto(const std::string& codigo);
    // Size and colour texts of a line: "%" (all) reads "Todos" without a look-up.
    static std::string DescripcionTalla(const std::string& talla);
    static std::string DescripcionColor(const std::string& color);
    void CalculaImportesPartida();
    void CalculaTotales();
    void valida_Grid(bool& ok);
    void Validar_Cantidad_Id(std::string& folio, std::string& producto, std::string& id, double& cantidad, bool& ok);
    void Valida_Ubicacion(std::string& sucursal, std::string& almacen, std::string& ubicacion, std::string& producto,
                          std::string& talla, std::string& color, bool& ok);
    void BuscaProducto(bool& encontrado);
    void ssDetalle_Change();
    void ssDetalle_BeforeColChange(int& cancel);
    void ssDetalle_KeyDown(int& keyCode, int shift);
    void ssDetalle_KeyPress(int& keyAscii);
    void ssDetalle_KeyUp(int keyCode, int shift);
    void ssDetalle_BtnClick();
    void ssDetalle_BeforeDelete(int& displayFlag);
    // Captures the grid handlers start: F7 description, F2 location list, typed location.
    void EditaDescripcionRemision();
    void BuscaUbicacion();
    void ValidaUbicacionCapturada();
    // Checks a location for the current row; on refusal warns with the reason under the given
    // message id. The row's Ubicacion gets the key, or "" when refused.
    void AsignaUbicacion(const std::string& clave, const char* idMensaje);
    // A location key as Format renders it with the company's location format: digit
    // patterns pad numeric keys, "@", "&", "<", ">" and "!" work on any text.
    static std::string FormatoUbicacion(const std::string& valor, const std::string& formato);

    // ---- persist/ ----
    void Controles_Aceptar(int argumento);
    void Controles_Eliminar();
    bool Frame_Inserta(const std::string& tabla, const std::string& folio);
    void Frame_Carga(const std::string& tabla, const std::string& folio);
    // A save is running (pending events run during it): a second accept is ignored.
    bool GuardandoRemision = false;
    // While a save runs: the order's pending and ordered quantities, read once for all rows.
    const PendientesPedido* PendientesGuardado = nullptr;

    // ---- invoicing/ ----
    bool RemisionFacturable(const std::string& folio);
    // Out-values are "" / 0 when nothing was produced; on false MensajeError holds the reason.
    bool Facturar_Remision(const std::string& folioRemision, std::string& factura, std::string& pagares,
                           std::string& serie, int32_t& numeroSerie, std::string& reciboPago);
    void EnviaComprobante(const std::string& documento, const std::string& tabla, bool forzar);
    void chkFacturar_Click();
    void chkFacturar_KeyPress(int& keyAscii);
    void cmdCuentaBancaria_Click();

private:
    // Binds every control event to its handler.
    void conectaEventos();

    host::Padre* m_padre = nullptr;
};

} // namespace tesmira::vn003
