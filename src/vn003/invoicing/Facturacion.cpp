// Invoicing a note inside its save (sale, invoice, address, document control), mailing the
// digital invoice afterwards, and the invoice controls of the header.
#include "base/Text.h"
#include "base/Vb.h"
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/output/EnvioComprobante.h"
#include "host/services/DomicilioEntrega.h"
#include "host/writers/ControlDocumento.h"
#include "host/writers/DatosPartidaVenta.h"
#include "host/writers/DocumentoVenta.h"
#include "host/writers/Facturacion.h"
#include "host/writers/MetodoPago.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/persist/Ampliadas.h"
#include "vn003/persist/Celdas.h"

#include <map>
#include <optional>

namespace tesmira::vn003 {

namespace {

const std::string CrLf = "\r\n";

// The row's cells a sale line reads (see Celdas), in this order.
enum Columna : size_t {
    SucursalInventario, AlmacenInventario, Descripcion, Producto, Talla, Color, Cantidad, Unidad, Cantidad2, Unidad2,
    Folio, Precio, Descuento, Costo, CostoImporte, Serie, Lote, Cuota, Ubicacion, Ampliada
};
Celdas celdasVenta(forms::Grid& g)
{
    return Celdas(g, {"Rm_Sucursal_Inventario", "Rm_Almacen_Inventario", "Pr_Descripcion", "Pr_Cve_Producto",
                      "Tl_Cve_Talla", "Cl_Cve_Color", "Cantidad_1", "Unidad_1", "Cantidad_Control_2",
                      "Unidad_Control_2", "Pr_Folio", "Precio_Lista", "Descuento_Factor", "Costo", "Costo_Importe",
                      "Sr_Cve_Serie", "Lt_Cve_Lote", "Cuota", "Ubicacion", "DESCAMP"});
}

host::EncabezadoVenta encabezadoVenta(frmVN003& f, const std::string& remision)
{
    host::EncabezadoVenta e;
    e.Vn_Fecha = f.dpFecha.value();
    e.Vn_Comentario = f.txt_Comentario.value().toString();
    e.Vn_Referencia = f.txtReferencia.value().toString();
    e.Vn_Tabla = "Remision";
    e.Vn_Documento = remision;
    e.Vn_Anticipo = 0;
    e.Mn_Cve_Moneda = f.txt_Mn_Cve_Moneda.text();
    e.Vn_Tipo_Cambio = f.txt_Rm_Tipo_Cambio.value().toDouble();
    e.Vn_Sin_Cargo = f.chSinCargo.value() == CheckBox::Checked ? "SI" : "NO";
    e.Vn_Factura = f.txt_Fc_Factura.folio();
    e.Vn_Serie = f.txt_Fc_Factura.seriesCode();
    e.Vn_Numero = f.txt_Fc_Factura.seriesNumber();
    return e;
}

void completaEncabezadoVenta(frmVN003& f, host::EncabezadoVenta& e)
{
    e.Vn_Descuento_Global_Factor = f.txtDescuento_Global.value().toDouble();
    e.Sc_Cve_Sucursal = f.txt_Sc_Cve_Sucursal.value().toString();
    e.Al_Cve_Almacen = f.txt_Al_Cve_Almacen.value().toString();
    e.Cl_Cve_Cliente = f.txtCliente.value().toString();
    e.Vn_Cve_Vendedor = f.txtVendedor.value().toString();
}

void llenaPartidaVenta(frmVN003& f, const Celdas& c, host::PartidaVenta& p)
{
    if (f.Derechos.DerechoVNDISP) {
        p.Sucursal_Inventario = c.texto(SucursalInventario);
        p.Almacen_Inventario = c.texto(AlmacenInventario);
    } else {
        p.Sucursal_Inventario = f.txt_Sc_Cve_Sucursal.text();
        p.Almacen_Inventario = f.txt_Al_Cve_Almacen.text();
    }
    p.Pr_Descripcion = std::string(utf8Left(c.texto(Descripcion), 100));
    p.Pr_Cve_Producto = c.texto(Producto);
    p.Tl_Cve_Talla = c.texto(Talla);
    p.Cl_Cve_Color = c.texto(Color);
    p.Cantidad_1 = c.numero(Cantidad);
    p.Unidad_1 = c.texto(Unidad);
    p.Cantidad_Control_2 = c.numero(Cantidad2);
    p.Unidad_Control_2 = c.texto(Unidad2);
    p.Pr_Folio = c.texto(Folio);
    p.Precio_Lista = c.numero(Precio);
    p.Descuento_Factor = c.numero(Descuento);
    p.Costo = c.numero(Costo);
    p.Costo_Importe = c.numero(CostoImporte);
    p.Sr_Cve_Serie = c.texto(Serie);
    p.Lt_Cve_Lote = c.texto(Lote);
}

// A step that refuses answers the reason; nothing when it went through.
using Rechazo = std::optional<std::string>;

// One sale line per grid row, with its cubed unit and extended description.
Rechazo AgregaPartidasVenta(frmVN003& f, host::DocumentoVenta& venta)
{
    host::DatosPartidaVenta datos(Sistema().entorno());
    host::PartidaVenta partida;
    // An empty description only removes one stored before.
    const bool ampliadasPrevias = TieneAmpliadas("Venta", venta.Encabezado().Vn_Folio);
    const Celdas c = celdasVenta(f.ssDetalle);
    f.ssDetalle.moveFirst();
    const int filas = f.ssDetalle.rowCount();
    // Asked once a unit: nothing this loop stores writes a unit.
    std::map<std::string, bool> cubicadas;
    for (int i = 1; i <= filas; ++i) {
        llenaPartidaVenta(f, c, partida);
        auto unidad = cubicadas.find(partida.Unidad_Control_2);
        if (unidad == cubicadas.end())
            unidad = cubicadas
                         .emplace(partida.Unidad_Control_2, Utilerias().UnidadCubicada(partida.Unidad_Control_2))
                         .first;
        const bool cubicada = unidad->second;
        if (cubicada &&
            !Utilerias().GrabaCubicado(partida.Pr_Cve_Producto, partida.Unidad_1, partida.Unidad_Control_2,
                                       partida.Cantidad_Control_2 / partida.Cantidad_1))
            return "Imposible guardar registro producto cubicado";
        datos.Cuota = c.numero(Cuota);
        datos.TipoCalculo = f.Parametros.TipoCalculoImportes;
        datos.Ubicacion = "";
        if (f.Manejo.ManejaUbicacion)
            datos.Ubicacion = c.texto(Ubicacion);
        venta.AsignaDatosPartida(datos);
        venta.AsignaPartida(partida);
        if (!venta.AgregaPartida())
            return venta.UltimoError();
        if (cubicada &&
            !Utilerias().ValidaCubicado(partida.Pr_Cve_Producto, partida.Unidad_1, partida.Unidad_Control_2))
            return "Imposible guardar registro";
        const std::string ampliada = c.texto(Ampliada);
        if ((ampliadasPrevias || !ampliada.empty()) &&
            !Utilerias().GrabaDescripcionAmpliada("Venta", venta.Encabezado().Vn_Folio, vb::formatNumber(i, "0000"),
                                                  ampliada))
            return "error al guardar descripción ampliada";
        f.ssDetalle.moveNext();
        Utilerias().EventosPendientes();
    }
    return std::nullopt;
}

// The sale goes to the note's delivery address (the customer's first when the note has none).
Rechazo GrabaDomicilioVenta(frmVN003& f, const std::string& folioRemision, const std::string& folioVenta)
{
    host::DomicilioEntrega domicilio(Sistema().entorno());
    std::string id = domicilio.DomicilioDocumento("Remision", folioRemision, "Cliente", f.txtCliente.text());
    if (id.empty())
        id = "0001";
    if (!domicilio.GrabaDomicilioDocumento("Venta", folioVenta, "Cliente", f.txtCliente.text(), id))
        return domicilio.UltimoError();
    return std::nullopt;
}

// Document control processes the sale, then validates and confirms the invoice.
Rechazo ControlaDocumentos(const std::string& folioVenta, const std::string& factura)
{
    {
        host::ControlDocumento control(Sistema().entorno());
        control.Inicia();
        control.AsignaTabla("Venta");
        control.AsignaDocumento(folioVenta);
        const bool procesado = control.ProcesaDocumento(folioVenta);
        control.Termina();
        if (!procesado)
            return control.UltimoError();
    }
    host::ControlDocumento control(Sistema().entorno());
    control.AsignaDocumento(factura);
    control.AsignaTabla("Factura");
    control.Inicia();
    bool valido = control.ValidaDocumento(factura);
    if (valido)
        valido = control.ConfirmaDocumento(factura);
    control.Termina();
    if (!valido)
        return control.UltimoError();
    return std::nullopt;
}

void MarcaRemisionFacturada(frmVN003& f, const std::string& folioRemision, const std::string& factura,
                            const std::string& fecha)
{
    const std::string marca = "   Oper_Ult_Modif = '" + db::quoted(Sistema().UsuarioActual()) + "', " +
                              "   Fecha_Ult_Modif = '" + db::quoted(fecha) + "', " + "   Rm_Facturado = 'SI', " +
                              "   Rm_Factura = '" + db::quoted(factura) + "' " + "WHERE Rm_Folio = '" +
                              db::quoted(folioRemision) + "' ";
    f.TextoSQL = "UPDATE Remision SET " + marca;
    Sistema().Conexion().Execute(f.TextoSQL);
    f.TextoSQL = "UPDATE Remision_Encabezado SET " + marca;
    Sistema().Conexion().Execute(f.TextoSQL);
}

} // namespace

bool frmVN003::RemisionFacturable(const std::string& folio)
{
    TextoSQL = "SELECT Rm_Folio "
               "FROM Remision_Encabezado "
               "WHERE "
               "   Rm_Folio = '" +
               db::quoted(folio) +
               "' AND "
               "   Rm_Facturado = 'NO' AND "
               "   Rm_Documento NOT IN ("
               "       SELECT Pd_Folio "
               "       FROM Pedido_Encabezado "
               "       WHERE Es_Cve_Estado IN ('FA', 'FR') AND Pd_Estado_Proceso NOT IN ('FA', 'FR')) AND "
               "   Rm_Documento NOT IN ("
               "           SELECT CASE WHEN Vn_Pedido = '' THEN Vn_Documento ELSE Vn_Pedido END "
               "           FROM Venta_Encabezado "
               "           WHERE (Vn_Tabla = 'PEDIDO' OR Vn_Pedido <> '') AND Es_Cve_Estado <> 'CA')";
    return !Sistema().Conexion().Execute(TextoSQL).Eof();
}

bool frmVN003::Facturar_Remision(const std::string& folioRemision, std::string& factura, std::string& pagares,
                                 std::string& serie, int32_t& numeroSerie, std::string& reciboPago)
{
    const std::string P = "Facturar_Remision() - " + CrLf;
    const auto rechaza = [&](const std::string& motivo) {
        MensajeError = P + motivo;
        return false;
    };
    factura.clear();
    pagares.clear();
    serie.clear();
    numeroSerie = 0;
    reciboPago.clear();
    try {
        host::Facturacion facturacion(Sistema().entorno());
        if (!facturacion.ValidaCondicion(txtCondicionVenta.text(), txtTotal.value().toDouble(), ""))
            return rechaza(facturacion.UltimoError());

        host::DocumentoVenta venta(Sistema().entorno());
        const std::string fecha = Utilerias().FormatoFechaHora(Utilerias().FechaServidor());
        if (!RemisionFacturable(folioRemision))
            return rechaza("la remisión ya no es válida para su facturación, el estado del proceso cambio");

        venta.Nuevo();
        venta.Inicia();
        host::EncabezadoVenta encabezado = encabezadoVenta(*this, folioRemision);
        if (!txt_Fc_Factura.Valida())
            return rechaza(txt_Fc_Factura.lastError());
        completaEncabezadoVenta(*this, encabezado);
        // The delivery note already moved the stock.
        encabezado.Vn_Inventario_Pendiente = "NO";
        venta.AsignaEncabezado(encabezado);
        // Taken before the lines so that each is stored already invoiced, not rewritten after.
        if (!facturacion.ReservaFactura(venta.Encabezado().Vn_Folio, venta.Encabezado().Vn_Serie))
            return rechaza(facturacion.UltimoError());
        venta.AsignaFactura(facturacion.FolioReservado());

        if (const Rechazo r = AgregaPartidasVenta(*this, venta))
            return rechaza(*r);

        const std::string folioVenta = venta.Encabezado().Vn_Folio;
        serie = venta.Encabezado().Vn_Serie;
        numeroSerie = venta.Encabezado().Vn_Numero;

        if (const Rechazo r = GrabaDomicilioVenta(*this, folioRemision, folioVenta))
            return rechaza(*r);

        if (!facturacion.GeneraFactura(folioVenta, true, txt_Fc_Factura.folio(), serie, numeroSerie, Controles.tag()))
            return rechaza(facturacion.UltimoError());

        factura = facturacion.FolioFactura();
        reciboPago = facturacion.ReciboPago();
        pagares = facturacion.Pagares();

        if (const Rechazo r = ControlaDocumentos(folioVenta, factura))
            return rechaza(*r);
        MarcaRemisionFacturada(*this, folioRemision, factura, fecha);
        return true;
    } catch (const std::exception& e) {
        return rechaza(e.what());
    }
}

void frmVN003::EnviaComprobante(const std::string& documento, const std::string& tabla, bool forzar)
{
    // Only a signed (digital) document can be mailed.
    if (Utilerias().BuscaDato("Comprobante_Digital", "Cd_Tabla", tabla, "Cd_Documento", false, "Cd_Documento",
                              documento, "") != documento)
        return;
    if (!forzar && !Parametros.EnviarDocumentoEmail)
        return;
    host::EnvioComprobante envio(Sistema().entorno());
    if (!envio.Envia(tabla, documento))
        Sistema().Mensaje(envio.UltimoError(), vb::vbExclamation, "Tesmira", this, "VN003", "ERR-ID:7500057");
}

void frmVN003::chkFacturar_Click()
{
    if (chkFacturar.value() != CheckBox::Checked) {
        frFactura.setEnabled(false);
        return;
    }
    frFactura.setEnabled(true);
    // A branch the user cannot confirm any more still has to reach the series control.
    if (!txt_Sc_Cve_Sucursal.enabled() || txt_Sc_Cve_Sucursal.locked())
        txt_Sc_Cve_Sucursal_Enter();
}

void frmVN003::chkFacturar_KeyPress(int& keyAscii)
{
    if (keyAscii == vb::vbKeyReturn)
        Utilerias().EnviaTecla("\t", 0);
}

void frmVN003::cmdCuentaBancaria_Click()
{
    try {
        host::MetodoPago metodo(Sistema().entorno());
        if (!metodo.Muestra(txtCliente.text()))
            Sistema().Mensaje("cmdCuentaBancaria_Click() - " + CrLf + metodo.UltimoError(), vb::vbCritical, "Tesmira", this,
                              "VN003", "ERR-ID:7500001");
    } catch (const std::exception& e) {
        ReportaError("cmdCuentaBancaria_Click()", "ERR-ID:7500002", e.what(), "cmdCuentaBancaria_Click()");
    }
}

} // namespace tesmira::vn003
