// The accept command: checks the period and the credit, writes the note and every grid line
// through the host's writer, completes the note (dimensions, address, order state, dispatch,
// invoice) in the same transaction, commits, and prints.
#include "base/FlagGuard.h"
#include "base/Text.h"
#include "base/Vb.h"
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/output/EnvioDocumento.h"
#include "host/output/Impresion.h"
#include "host/services/CreditoCliente.h"
#include "host/services/DomicilioEntrega.h"
#include "host/services/Padre.h"
#include "host/services/Permisos.h"
#include "host/writers/ControlDocumento.h"
#include "host/writers/DatosPartida.h"
#include "host/writers/DocumentoRemision.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/persist/Ampliadas.h"
#include "vn003/persist/Bloqueo.h"
#include "vn003/persist/Celdas.h"
#include "vn003/persist/Pendientes.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <utility>

namespace tesmira::vn003 {

namespace {

const std::string CrLf = "\r\n";

// What the writing steps hand to the printing steps.
struct Guardado {
    std::string usuario;
    std::string fecha;
    std::string remision;
    std::string generado;
    std::string factura, pagares, serie, recibos;
    int32_t numeroSerie = 0;
    std::string formatoFactura;
};

void deshace()
{
    auto& conexion = Sistema().Conexion();
    if (conexion.inTransaction())
        conexion.RollbackTrans();
}

// A refusal: nothing of the save may stay, the user learns why, the toolbar returns to editing.
bool rechaza(frmVN003& f, const std::string& prompt, int flags, const std::string& titulo, const std::string& id)
{
    deshace();
    Sistema().Mensaje(prompt, flags, titulo, &f, "VN003", id);
    f.Controles.FinAccionError();
    return false;
}

// The row's cells the save reads (see Celdas), in this order.
enum Columna : size_t {
    Tipo, Lote, Descripcion, Serie, Producto, DocumentoId, Cantidad, SucursalInventario, AlmacenInventario, Talla,
    Color, Unidad, Cantidad2, Unidad2, Costo, CostoImporte, Folio, Precio, Descuento, Ubicacion, Cuota, Ampliada,
    AmpliadaRemision
};
Celdas celdasGuardado(forms::Grid& g)
{
    return Celdas(g, {"TIPO_PRODUCTO", "Lt_Cve_Lote", "Pr_Descripcion", "Sr_Cve_Serie", "Pr_Cve_Producto",
                      "Documento_Id", "Cantidad_1", "Rm_Sucursal_Inventario", "Rm_Almacen_Inventario",
                      "Tl_Cve_Talla", "Cl_Cve_Color", "Unidad_1", "Cantidad_Control_2", "Unidad_Control_2", "Costo",
                      "Costo_Importe", "Pr_Folio", "Precio_Lista", "Descuento_Factor", "Ubicacion", "Cuota",
                      "DESCAMP", "DESAMPR"});
}

std::string sello() { return Utilerias().FormatoFechaHora(Utilerias().FechaServidor()); }

std::string moneda(double importe) { return vb::formatNumber(importe, "$#,##0.00"); }

// Steps before the transaction: something to save, an open period, enough credit.
bool verificaPrevio(frmVN003& f)
{
    if (f.ssDetalle.rowCount() < 1)
        return rechaza(f, "No hay datos para grabar", vb::vbInformation, "Tesmira", "ERR-ID:7500003");

    if (Sistema().ParametroValor("GEN_VALIDAR_PERIODO_OPERATIVO", 0, "", "").toBool()) {
        if (!f.Padre())
            throw Error("La pantalla no tiene contenedor");
        if (!Utilerias().PeriodoAbierto(f.dpFecha.value(), f.Padre()->Modulo(), 0))
            return rechaza(f,
                           "El período operativo correspondiente a la fecha: " + vb::formatDate(f.dpFecha.value()) +
                               ", está cerrado o no existe",
                           vb::vbExclamation, "Tesmira", "ERR-ID:7500004");
    }

    f.CalculaTotales();

    host::CreditoCliente credito(Sistema().entorno());
    const bool ventaCredito = Utilerias().BuscaDato("Condicion_Venta", "Cv_Cve_Condicion_Venta",
                                                    f.txtCondicionVenta.text(), "Cv_Tipo_Condicion", false, "", "",
                                                    "") == "02";
    f.SeleccionaPestana(0);
    if (f.Parametros.ValidarCreditoRemision && ventaCredito) {
        f.CreditoDisponibleCliente = 0;
        f.CreditoDisponibleCliente = vb::round4(credito.CreditoDisponible(f.txtCliente.text()));
        const double total = f.txtTotalLocal.value().toDouble();
        if (f.CreditoDisponibleCliente < total) {
            Sistema().Aviso("El cliente no tiene suficiente credito disponible" + CrLf + "Total: " + moneda(total) +
                                CrLf + "Disponible: " + moneda(f.CreditoDisponibleCliente),
                            vb::vbInformation, "Tesmira");
            f.Controles.FinAccionError();
            return false;
        }
    }
    f.SeleccionaPestana(1);
    Utilerias().EventosPendientes();
    return true;
}

// The note on screen is replaced: it goes the way the delete command removes it.
bool eliminaAnterior(frmVN003& f, host::DocumentoRemision& remision)
{
    const std::string folio = f.txtFolio.text();
    if (!folio.empty() && !bloqueo::remisionSinCambios(f, folio))
        return rechaza(f, bloqueo::remisionCambiada(folio), vb::vbCritical, "ERROR", "ERR-ID:7500005");
    if (!remision.Elimina(folio))
        return rechaza(f, remision.UltimoError(), vb::vbCritical, "ERROR", "ERR-ID:7500005");
    {
        host::ControlDocumento control(Sistema().entorno());
        control.Inicia();
        if (!control.ProcesaBaja("Remision", folio)) {
            control.Termina();
            return rechaza(f, control.UltimoError(), vb::vbCritical, "ERROR", "ERR-ID:7500006");
        }
        control.Termina();
    }
    host::ControlDocumento control(Sistema().entorno());
    if (!control.RegistraBaja("Remision", folio))
        return rechaza(f, control.UltimoError(), vb::vbCritical, "ERROR", "ERR-ID:7500007");
    return true;
}

host::EncabezadoRemision encabezado(frmVN003& f)
{
    host::EncabezadoRemision e;
    e.Rm_Fecha = f.dpFecha.value();
    e.Rm_Tabla = "PEDIDO";
    e.Rm_Documento = f.txt_Pd_Folio.text();
    e.Rm_Referencia = f.txtReferencia.value().toString();
    e.Rm_Comentario = f.txt_Comentario.value().toString();
    e.Mn_Cve_Moneda = f.txt_Mn_Cve_Moneda.text();
    e.Rm_Condicion_Venta = f.txtCondicionVenta.text();
    e.Rm_Tipo_Cambio = f.txt_Rm_Tipo_Cambio.value().toDouble();
    e.Rm_Descuento_Global_Factor = f.txtDescuento_Global.value().toDouble();
    e.Rm_Sin_Cargo = f.chSinCargo.value() != 0 ? "SI" : "NO";
    e.Sc_Cve_Sucursal = f.txt_Sc_Cve_Sucursal.value().toString();
    e.Al_Cve_Almacen = f.txt_Al_Cve_Almacen.value().toString();
    e.Cl_Cve_Cliente = f.txtCliente.text();
    e.Vn_Cve_Vendedor = f.txtVendedor.text();
    return e;
}

// Lot and serial rules of the current row; false after refusing.
bool asignaLoteSerie(frmVN003& f, const Celdas& c, host::PartidaRemision& partida)
{
    const std::string tipo = upperAscii(c.texto(Tipo));
    if (tipo == "LOTE") {
        // Automatic lots: the writer picks them, whatever the row says.
        if (f.Parametros.LoteAutomatico)
            c.columna(Lote).setValue(Value(std::string()));
        const std::string lote = c.texto(Lote);
        if (lote.empty() && f.Manejo.ManejaLote && !f.Parametros.LoteAutomatico)
            return rechaza(f, "El producto:  " + c.texto(Descripcion) + ", requiere lotes", vb::vbExclamation,
                           "Tesmira", "ERR-ID:7500009");
        partida.Lt_Cve_Lote = lote;
    } else if (tipo == "SERIALIZADO") {
        const std::string serie = c.texto(Serie);
        if (serie.empty() && f.Manejo.ManejaSerie)
            return rechaza(f, "El producto: " + c.texto(Descripcion) + ", requiere series", vb::vbExclamation,
                           "Tesmira", "ERR-ID:7500010");
        partida.Sr_Cve_Serie = serie;
    }
    return true;
}

// The rows' re-checks answered from one read of the order, for as long as the rows are written.
class PendientesEnGuardado {
public:
    PendientesEnGuardado(frmVN003& f, const Celdas& c)
        : m_f(f)
        , m_c(c)
        , m_pendientes(Sistema().Conexion(), f.txt_Pd_Folio.text())
    {
        m_f.PendientesGuardado = &m_pendientes;
    }
    ~PendientesEnGuardado() { m_f.PendientesGuardado = nullptr; }
    PendientesEnGuardado(const PendientesEnGuardado&) = delete;
    PendientesEnGuardado& operator=(const PendientesEnGuardado&) = delete;

    // The current row is stored: its article's later rows count it.
    void escrita()
    {
        m_pendientes.Escrita(m_c.columna(Producto).text(), m_c.columna(Talla).text(),
                             m_c.columna(Color).text());
    }

private:
    frmVN003& m_f;
    const Celdas& m_c;
    PendientesPedido m_pendientes;
};

// Lot and serial handling of the rows' warehouses, asked once per warehouse for the save
// (which writes no warehouse).
class ManejoPorAlmacen {
public:
    void aplica(frmVN003& f)
    {
        std::string clave = f.SucursalActual + '\x1f' + f.AlmacenActual;
        auto it = m_almacenes.find(clave);
        if (it == m_almacenes.end()) {
            if (!f.Permisos)
                throw Error("La pantalla no se ha cargado");
            const bool lote = f.Permisos->ManejaLote(f.SucursalActual, f.AlmacenActual);
            it = m_almacenes.emplace(std::move(clave), std::pair{lote, f.Permisos->ManejaSerie(f.SucursalActual, f.AlmacenActual)}).first;
        }
        f.Manejo.ManejaLote = it->second.first;
        f.Manejo.ManejaSerie = it->second.second;
    }

private:
    std::unordered_map<std::string, std::pair<bool, bool>> m_almacenes;
};

// One grid row (the current one) through the writer, with its extras; false after refusing.
bool grabaPartida(frmVN003& f, const Celdas& c, host::DocumentoRemision& remision, host::DatosPartida& datos,
                  host::PartidaRemision& partida, int n, bool ampliadasPrevias, PendientesEnGuardado& pendientes,
                  ManejoPorAlmacen& manejo)
{
    bool ok = false;
    f.valida_Grid(ok);
    if (!ok) {
        // valida_Grid has shown its own message.
        deshace();
        f.Controles.FinAccionError();
        return false;
    }
    if (!f.Parametros.CapturaMayorPedido) {
        std::string pedido = f.txt_Pd_Folio.text();
        std::string producto = c.texto(Producto);
        std::string id = c.texto(DocumentoId);
        double cantidad = c.numero(Cantidad);
        f.Validar_Cantidad_Id(pedido, producto, id, cantidad, ok);
        if (!ok)
            return rechaza(f, f.MensajeError, vb::vbCritical, "Tesmira", "ERR-ID:7500008");
    }

    if (f.Derechos.DerechoVNDISP) {
        f.SucursalActual = c.texto(SucursalInventario);
        f.AlmacenActual = c.texto(AlmacenInventario);
    } else {
        f.SucursalActual = f.txt_Sc_Cve_Sucursal.text();
        f.AlmacenActual = f.txt_Al_Cve_Almacen.text();
    }
    partida.Sucursal_Inventario = f.SucursalActual;
    partida.Almacen_Inventario = f.AlmacenActual;

    const std::string descripcion = c.texto(Descripcion);
    partida.Pr_Cve_Producto = c.texto(Producto);
    partida.Pr_Descripcion = std::string(utf8Left(descripcion, 100));
    partida.Tl_Cve_Talla = c.texto(Talla);
    partida.Cl_Cve_Color = c.texto(Color);
    partida.Cantidad_1 = c.numero(Cantidad);
    partida.Unidad_1 = c.texto(Unidad);
    partida.Cantidad_Control_2 = c.numero(Cantidad2);
    partida.Unidad_Control_2 = c.texto(Unidad2);
    partida.Costo = c.numero(Costo);
    partida.Costo_Importe = c.numero(CostoImporte);
    partida.Pr_Folio = c.texto(Folio);
    partida.Precio_Lista = c.numero(Precio);
    partida.Descuento_Factor = c.numero(Descuento);

    manejo.aplica(f);

    datos.Ubicacion = "";
    if (f.Manejo.ManejaUbicacion)
        datos.Ubicacion = c.texto(Ubicacion);
    datos.Cuota = c.numero(Cuota);
    datos.TipoCalculo = f.Parametros.TipoCalculoImportes;
    // The order-line link goes in with the line itself (row n is line n).
    datos.DocumentoId = c.texto(DocumentoId);

    if (!asignaLoteSerie(f, c, partida))
        return false;

    const bool cubicada = Utilerias().UnidadCubicada(partida.Unidad_Control_2);
    if (cubicada && !Utilerias().GrabaCubicado(partida.Pr_Cve_Producto, partida.Unidad_1, partida.Unidad_Control_2,
                                               partida.Cantidad_Control_2 / partida.Cantidad_1))
        return rechaza(f, "Imposible guardar registro", vb::vbCritical, "Producto cubicado", "ERR-ID:7500011");

    remision.AsignaDatosPartida(datos);
    remision.AsignaPartida(partida);
    if (!remision.AgregaPartida())
        return rechaza(f, remision.UltimoError() + CrLf + "DE " + descripcion, vb::vbCritical, "Operación cancelada",
                       "ERR-ID:7500012");
    pendientes.escrita();

    if (cubicada &&
        !Utilerias().ValidaCubicado(partida.Pr_Cve_Producto, partida.Unidad_1, partida.Unidad_Control_2))
        return rechaza(f, "Imposible guardar registro", vb::vbCritical, "Producto cubicado", "ERR-ID:7500013");

    // The writer numbers the lines in grid order, so row n is line n.
    const auto linea = [n] { return vb::formatNumber(n, "0000"); };
    const std::string& folio = remision.Encabezado().Rm_Folio;
    // An empty description only removes one stored before; a new folio has none unless found.
    const std::string ampliada = c.texto(Ampliada);
    if ((ampliadasPrevias || !ampliada.empty()) &&
        !Utilerias().GrabaDescripcionAmpliada("Remision", folio, linea(), ampliada))
        return rechaza(f, "Imposible grabar descripción ampliada", vb::vbCritical, "ERROR", "ERR-ID:7500014");

    const std::string ampliadaRemision = c.texto(AmpliadaRemision);
    if (!ampliadaRemision.empty() &&
        !Utilerias().GrabaDescripcionAmpliada("REMISION2", folio, linea(), ampliadaRemision))
        return rechaza(f, "Imposible grabar descripción ampliada", vb::vbCritical, "ERROR", "ERR-ID:7500015");
    return true;
}

bool grabaPartidas(frmVN003& f, host::DocumentoRemision& remision)
{
    host::DatosPartida datos(Sistema().entorno());
    // One record for all rows: a part a row does not write keeps the previous row's value.
    host::PartidaRemision partida;
    const bool ampliadasPrevias = TieneAmpliadas("Remision", remision.Encabezado().Rm_Folio);
    const Celdas celdas = celdasGuardado(f.ssDetalle);
    PendientesEnGuardado pendientes(f, celdas);
    ManejoPorAlmacen manejo;
    f.ssDetalle.moveFirst();
    const int filas = f.ssDetalle.rowCount();
    for (int n = 1; n <= filas; ++n) {
        if (!grabaPartida(f, celdas, remision, datos, partida, n, ampliadasPrevias, pendientes, manejo))
            return false;
        f.ssDetalle.moveNext();
        Utilerias().EventosPendientes();
    }
    return true;
}

// The order advances to delivered ("RM") or, with "Cerrar pedido", is closed.
bool actualizaPedido(frmVN003& f, host::ControlDocumento& control, const Guardado& g)
{
    auto& conexion = Sistema().Conexion();
    const std::string usuario = db::quoted(g.usuario);
    const std::string fecha = db::quoted(g.fecha);
    if (f.chkCerrar.value() == 0) {
        f.TextoSQL = "UPDATE Pedido SET "
                     "   Es_Cve_Estado = 'RM', "
                     "   Oper_Ult_Modif = '" +
                     usuario + "', " + "   Fecha_Ult_Modif = '" + fecha + "' " + "WHERE Pd_Folio = '" +
                     db::quoted(f.txt_Pd_Folio.text()) + "' AND Es_Cve_Estado = 'AC' ";
        conexion.Execute(f.TextoSQL);
        f.TextoSQL = "UPDATE Pedido_Encabezado SET "
                     "   Es_Cve_Estado = 'RM', "
                     "   Oper_Ult_Modif = '" +
                     usuario + "', " + "   Fecha_Ult_Modif = '" + fecha + "' " + "WHERE Pd_Folio = '" +
                     db::quoted(f.txt_Pd_Folio.text()) + "' AND Es_Cve_Estado = 'AC'";
        conexion.Execute(f.TextoSQL);
        if (!control.ActualizaPedido(f.txt_Pd_Folio.text()))
            return rechaza(f, control.UltimoError(), vb::vbCritical, "ERROR", "ERR-ID:7500020");
        return true;
    }
    f.TextoSQL = "UPDATE Pedido SET "
                 "   Es_Cve_Estado = 'CE', "
                 "   Oper_Ult_Modif = '" +
                 usuario + "', " + "   Fecha_Ult_Modif = '" + fecha + "' " + "WHERE Pd_Folio = '" +
                 db::quoted(f.txt_Pd_Folio.text()) + "'";
    conexion.Execute(f.TextoSQL);
    f.TextoSQL = "UPDATE Pedido_Encabezado SET "
                 "   Pd_Estado_Proceso = Es_Cve_Estado, "
                 "   Es_Cve_Estado = 'CE', "
                 "   Oper_Ult_Modif = '" +
                 usuario + "', " + "   Fecha_Ult_Modif = '" + fecha + "' " + "WHERE Pd_Folio = '" +
                 db::quoted(f.txt_Pd_Folio.text()) + "'";
    conexion.Execute(f.TextoSQL);
    return true;
}

// A handheld dispatch only exists for warehouses with locations.
void cierraSalida(frmVN003& f, const Guardado& g)
{
    if (f.txtSalida.text().empty() || !f.Manejo.ManejaUbicacion)
        return;
    auto& conexion = Sistema().Conexion();
    f.TextoSQL = "UPDATE PDA_Salida SET "
                 "   Oper_Ult_Modif = '" +
                 db::quoted(Sistema().UsuarioActual()) + "', " + "   Fecha_Ult_Modif = '" + db::quoted(sello()) +
                 "', " + "   Es_Cve_Estado = 'CE' " + "WHERE Sa_Folio = '" + db::quoted(f.txtSalida.text()) + "' ";
    conexion.Execute(f.TextoSQL);
    f.TextoSQL = "UPDATE Remision_Encabezado SET "
                 "   Rm_PDA_Salida = '" +
                 db::quoted(f.txtSalida.text()) + "', " + "   Oper_Ult_Modif = '" +
                 db::quoted(Sistema().UsuarioActual()) + "', " + "   Fecha_Ult_Modif = '" + db::quoted(sello()) +
                 "' " + "WHERE Rm_Folio = '" + db::quoted(g.remision) + "' ";
    conexion.Execute(f.TextoSQL);
}

// Everything after the last line up to the commit; false after refusing.
bool completa(frmVN003& f, host::DocumentoRemision& remision, Guardado& g)
{
    g.remision = remision.Encabezado().Rm_Folio;
    if (!f.Frame_Inserta("Remision", g.remision))
        return rechaza(f, f.MensajeError, vb::vbCritical, "Tesmira", "ERR-ID:7500016");
    if (!remision.Finaliza(g.remision))
        return rechaza(f, remision.UltimoError(), vb::vbCritical, "Finalizar remisión", "ERR-ID:7500017");
    if (!f.Controles.GrabaCamposAdicionales(g.remision))
        return rechaza(f, "Imposible actualizar campos adicionales" + CrLf + f.Controles.ErrorCamposAdicionales(), vb::vbCritical,
                       "ERROR", "ERR-ID:7500018");
    {
        host::DomicilioEntrega domicilio(Sistema().entorno());
        if (!domicilio.GrabaDomicilioDocumento("Remision", g.remision, "Cliente", f.txtCliente.text(),
                                               f.IdDomicilioEntrega))
            return rechaza(f, domicilio.UltimoError(), vb::vbCritical, "ERROR", "ERR-ID:7500019");
    }
    {
        host::ControlDocumento control(Sistema().entorno());
        if (!actualizaPedido(f, control, g))
            return false;
        control.Inicia();
        control.AsignaTabla("Remision");
        control.AsignaDocumento(g.remision);
        if (!control.Automatiza(g.remision)) {
            control.Termina();
            return rechaza(f, "Controles_Aceptar()" + CrLf + control.UltimoError(), vb::vbCritical, "Automatiza remisión",
                           "ERR-ID:7500021");
        }
        g.generado = control.DocumentoGenerado();
    }
    cierraSalida(f, g);
    if (f.chkFacturar.value() == CheckBox::Checked) {
        if (!f.Facturar_Remision(g.remision, g.factura, g.pagares, g.serie, g.numeroSerie, g.recibos))
            return rechaza(f, "Controles_Aceptar()" + f.MensajeError, vb::vbCritical, "Tesmira", "ERR-ID:7500022");
        g.formatoFactura = Utilerias().FormatoFactura(f.txtCliente.text(), f.txt_Sc_Cve_Sucursal.text());
    }
    return true;
}

// After the commit: failures here are reported and undo nothing.
void imprime(frmVN003& f, const Guardado& g)
{
    {
        host::Impresion impresion(Sistema().entorno());
        impresion.Imprime(Sistema().ParametroValor("FTO_IMP_REMISION", 0, "", "").toString(), g.remision);
        if (!g.generado.empty())
            impresion.ImprimeDocumento(g.generado);
    }
    if (g.factura.empty())
        return;

    std::string firma;
    if (Utilerias().RequiereFirma(g.serie, 1)) {
        if (!f.Padre())
            throw Error("La pantalla no tiene contenedor");
        firma = f.Padre()->FirmaDocumento(Sistema().Conexion().DefaultDatabase() + "|1|" + g.factura);
        if (!firma.empty())
            Sistema().Mensaje("Error al firmar el documento digital" + CrLf + firma, vb::vbExclamation, "Advertencia!", &f, "VN003",
                              "ERR-ID:7500023");
    }
    host::Impresion impresion(Sistema().entorno());
    // An unsigned invoice is not valid: it is not printed.
    if (firma.empty())
        impresion.Imprime(g.formatoFactura, g.factura);
    if (!trimmed(g.recibos).empty()) {
        std::string recibos = g.recibos;
        std::replace(recibos.begin(), recibos.end(), '|', '@');
        impresion.Imprime(Sistema().ParametroValor("FTO_IMP_RECIBO_PAGO", 0, "", "").toString(), recibos);
    }
    if (!trimmed(g.pagares).empty())
        impresion.Imprime(Sistema().ParametroValor("FTO_IMP_PAGARES", 0, "", "").toString(), g.pagares);
    f.EnviaComprobante(g.factura, "Factura", false);
    host::EnvioDocumento envio(Sistema().entorno());
    if (!envio.EnviaDocumento("Factura", g.factura, 0))
        Sistema().Mensaje(Utilerias().UltimoError(), vb::vbCritical, "Tesmira", &f, "VN003", "ERR-ID:7500024");
}

} // namespace

void frmVN003::Controles_Aceptar(int argumento)
{
    // The toolbar ignores a second accept while one runs; a direct call is kept out here.
    if (GuardandoRemision)
        return;
    FlagGuard enCurso(GuardandoRemision);
    bool confirmado = false;
    try {
        if (!verificaPrevio(*this))
            return;

        auto& conexion = Sistema().Conexion();
        // Catalogue look-ups repeated line after line are answered once for the whole save.
        db::Connection::MemoScope memo(conexion);
        conexion.BeginTrans();
        // Before anything is written: the per-row checks below then see every other clerk's
        // committed deliveries of this order, and no new ones until this save ends.
        bloqueo::tomaPedido(*this);
        host::DocumentoRemision remision(Sistema().entorno());
        // A note being replaced (argument 0) goes first; a screen opened by the host never replaces one.
        if (ParametrosLlamada.empty() && argumento == 0 && !eliminaAnterior(*this, remision))
            return;

        Guardado g;
        g.fecha = sello();
        g.usuario = Sistema().UsuarioActual();
        remision.Nuevo();
        remision.AsignaEncabezado(encabezado(*this));
        if (!grabaPartidas(*this, remision))
            return;
        if (!completa(*this, remision, g))
            return;

        conexion.CommitTrans();
        confirmado = true;
        Controles.FinAccionCorrecta();
        Controles_Limpiar();
        imprime(*this, g);
        ParametrosLlamada.clear();
    } catch (const std::exception& e) {
        if (!confirmado) {
            try {
                deshace();
                Controles.FinAccionError();
            } catch (const std::exception&) {
            }
            if (bloqueo::esContencion(e)) {
                bloqueo::avisaOcupado(*this, "ERR-ID:7500058");
                return;
            }
        }
        ReportaError("Controles_Aceptar()", "ERR-ID:7500025", e.what(), "Controles_Aceptar()");
    }
}

} // namespace tesmira::vn003
