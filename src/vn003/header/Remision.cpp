// Calling up a saved delivery note by its folio: the header, whether it may still be
// cancelled, and one grid row per stored line.
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/services/DomicilioEntrega.h"
#include "host/services/Lotes.h"
#include "host/services/Padre.h"
#include "host/services/Permisos.h"
#include "host/services/Series.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/shell/AvanceCarga.h"
#include "vn003/loading/Catalogo.h"
#include "vn003/loading/ColumnasPartida.h"
#include "vn003/persist/Bloqueo.h"

#include <cassert>

namespace tesmira::vn003 {

namespace {

const char* const AccesoRestringido = "para mayor información consulte al administrador del sistema";

// False (warned) when the user is bound to a branch or warehouse (`propio`) other than the note's.
bool Accesible(const std::string& propio, const db::Recordset& rs, const char* campo, const std::string& donde)
{
    if (propio.empty() || propio == rs.Fields(campo).toString())
        return true;
    Sistema().Aviso("Imposible accesar este documento, su acceso se ha restringido " + donde + "\r\n" + "\r\n" +
                        AccesoRestringido,
                    vb::vbExclamation, "Documento no disponible");
    return false;
}

// A user bound to one branch or warehouse sees only its notes.
bool AccesoPermitido(frmVN003& f, const db::Recordset& rs)
{
    return Accesible(Sistema().SucursalUsuario(), rs, "Sc_Cve_Sucursal",
                     "a la sucursal: " + f.txt_Sc_Cve_Sucursal.text()) &&
           Accesible(Sistema().AlmacenUsuario(), rs, "Al_Cve_Almacen", "al almacén: " + f.txt_Al_Cve_Almacen.text());
}

// The toolbar's document options: Modificar and Eliminar only for an active note, not invoiced,
// without a live sale, in an open period. An invoiced note shows its invoice.
void HabilitaOpcionesDocumento(frmVN003& f, const db::Recordset& rs)
{
    const std::string facturado = rs.Fields("Rm_Facturado").toString();
    f.TextoSQL = "SELECT TOP 1 Vn_Folio, isnull((SELECT top 1Fc_Factura";
    f.TextoSQL += " FROM Factura WHERE Factura.Es_Cve_Estado <> 'CA' AND ";
    f.TextoSQL += "    Factura.Fc_Tabla = 'VENTA' AND";
    f.TextoSQL += "          Factura.Fc_Documento = Vn_Folio),'') as FC FROM Venta ";
    f.TextoSQL += "WHERE Vn_Tabla = 'REMISION' AND ";
    f.TextoSQL += "   Es_Cve_Estado <> 'CA' AND ";
    f.TextoSQL += "   Vn_Documento = '" + db::quoted(f.txtFolio.text()) + "' ";
    db::Recordset venta = Sistema().Conexion().Execute(f.TextoSQL);
    const bool ventaViva = !venta.Eof();
    if (ventaViva && facturado == "SI") {
        f.chkFacturar.setValue(CheckBox::Checked);
        f.txt_Fc_Factura.setFolio(venta.Fields("FC").toString());
    }
    venta.Close();

    if (rs.Fields("Es_Cve_Estado").toString() == "AC" && facturado == "NO" && !ventaViva) {
        bool periodoAbierto = true;
        if (Sistema().ParametroValor("GEN_VALIDAR_PERIODO_OPERATIVO", 0, "", "").toBool()) {
            assert(f.Padre() && "the host hands in its calling object before showing the screen");
            // The note's own date: the date field is filled from the note further down.
            periodoAbierto = Utilerias().PeriodoAbierto(rs.Fields("Rm_Fecha").toDate(), f.Padre()->Modulo(), 0);
        }
        if (periodoAbierto) {
            f.Controles.setOpcionDocumento4(true);
            f.Controles.setOpcionDocumento3(true);
        }
    }

    f.Controles.setOpcionDocumento1(true);
    f.Controles.setOpcionDocumento2(true);
    f.Controles.setClaveDocumento(f.txtFolio.text());
    f.Controles.CargaCamposAdicionales(f.txtFolio.text());
}

// The note's header fields; typing them raises their change events, as the user's typing would.
void CargaEncabezadoRemision(frmVN003& f, const db::Recordset& rs)
{
    f.dpFecha.setValue(rs.Fields("Rm_Fecha").toDate());
    f.txtReferencia.setText(rs.Fields("Rm_Referencia").toString());
    f.txt_Pd_Folio.setText(rs.Fields("Rm_Documento").toString());
    f.txt_Sc_Cve_Sucursal.setText(rs.Fields("Sc_Cve_Sucursal").toString());
    f.txt_Al_Cve_Almacen.setText(rs.Fields("Al_Cve_Almacen").toString());
    f.txtCliente.setText(rs.Fields("Cl_Cve_Cliente").toString());
    f.txtCliente_Enter();
    f.txtVendedor.setText(rs.Fields("Vn_Cve_Vendedor").toString());
    f.txt_Comentario.setText(rs.Fields("Rm_Comentario").toString());
    f.txt_Mn_Cve_Moneda.setText(rs.Fields("Mn_Cve_Moneda").toString());
    f.txt_Rm_Tipo_Cambio.setValue(rs.Fields("Rm_Tipo_Cambio"));
    f.chSinCargo.setValue(rs.Fields("Rm_Sin_Cargo").toString() == "SI" ? CheckBox::Checked : CheckBox::Unchecked);
    f.txtCondicionVenta.setText(rs.Fields("Rm_Condicion_Venta").toString());
}

// A warehouse with locations shows the location column instead of the availability button.
void MuestraColumnaUbicacion(frmVN003& f)
{
    Grid& g = f.ssDetalle;
    if (f.Manejo.ManejaUbicacion) {
        g.col("Ubicacion").setLocked(false);
        g.col("Ubicacion").setVisible(true);
        g.col("VALIDA_DISPONIBILIDAD").setVisible(false);
        return;
    }
    g.col("Ubicacion").setLocked(true);
    g.col("Ubicacion").setVisible(false);
    if (f.Derechos.DerechoVNDISP)
        g.col("VALIDA_DISPONIBILIDAD").setVisible(true);
}

// The stored line's columns, found once per recall.
struct CamposRemision {
    explicit CamposRemision(const db::Recordset& rs)
        : id(rs.column("Rm_ID"))
        , sucursalInventario(rs.column("Rm_Sucursal_Inventario"))
        , almacenInventario(rs.column("Rm_Almacen_Inventario"))
        , producto(rs.column("Pr_Cve_Producto"))
        , talla(rs.column("Tl_Cve_Talla"))
        , color(rs.column("Cl_Cve_Color"))
        , ubicacion(rs.column("Rm_Ubicacion"))
        , cantidad1(rs.column("Rm_Cantidad_1"))
        , unidad1(rs.column("Rm_Unidad_1"))
        , control1(rs.column("Rm_Cantidad_Control_1"))
        , unidadControl1(rs.column("Rm_Unidad_Control_1"))
        , control2(rs.column("Rm_Cantidad_Control_2"))
        , unidadControl2(rs.column("Rm_Unidad_Control_2"))
        , unidadCosto(rs.column("Rm_Unidad_Costo"))
        , cantidadCosto(rs.column("Rm_Cantidad_Costo"))
        , costo(rs.column("Rm_Costo"))
        , prFolio(rs.column("Pr_Folio"))
        , precioLista(rs.column("Rm_Precio_Lista"))
        , descuentoFactor(rs.column("Rm_Descuento_Factor"))
        , descuentoImporte(rs.column("Rm_Descuento_Importe"))
        , impuestoFactor(rs.column("Rm_Impuesto_Factor"))
        , impuestoImporte(rs.column("Rm_Impuesto_Importe"))
    {
    }
    size_t id, sucursalInventario, almacenInventario, producto, talla, color, ubicacion;
    size_t cantidad1, unidad1, control1, unidadControl1, control2, unidadControl2;
    size_t unidadCosto, cantidadCosto, costo, prFolio, precioLista, descuentoFactor, descuentoImporte;
    size_t impuestoFactor, impuestoImporte;
};

// One stored line of a saved note into a new grid row; the recall's catalogue answers the
// product, size, colour and description look-ups.
void CargaPartidaRemision(frmVN003& f, const db::Recordset& rs, const CamposRemision& r, const ColumnasPartida& c,
                          const std::string& folio, const host::LotesDocumento& lotes, host::Series& series,
                          CatalogoCarga& catalogo)
{
    Grid& g = f.ssDetalle;
    const auto pon = [&g](int columna, Value v) { g.col(columna).setValue(std::move(v)); };
    const auto numero = [&g](int columna) { return g.col(columna).value().toDouble(); };
    const auto texto = [&g](int columna) { return g.col(columna).value().toString(); };
    const std::string id = rs.Fields(r.id).toString();

    g.addRow();
    pon(c.sucursalInventario, rs.Fields(r.sucursalInventario));
    pon(c.almacenInventario, rs.Fields(r.almacenInventario));
    pon(c.documentoId, id);
    pon(c.producto, rs.Fields(r.producto));
    // A product deleted since the note was saved has no row: this read fails and ends the load.
    const std::vector<Value> producto = catalogo.productoRemision(id, rs.Fields(r.producto).toString());
    pon(c.descripcion, producto[0]);
    pon(c.talla, rs.Fields(r.talla));
    pon(c.color, rs.Fields(r.color));
    pon(c.tallaDescripcion, catalogo.descripcionTalla(texto(c.talla)));
    pon(c.colorDescripcion, catalogo.descripcionColor(texto(c.color)));

    pon(c.ubicacion, rs.Fields(r.ubicacion));
    pon(c.manejaTalla, producto[1]);
    pon(c.manejaColor, producto[2]);
    pon(c.cantidad1, rs.Fields(r.cantidad1));
    pon(c.unidad1, rs.Fields(r.unidad1));
    pon(c.control1, rs.Fields(r.control1));
    pon(c.unidadControl1, rs.Fields(r.unidadControl1));
    pon(c.control2, rs.Fields(r.control2));
    pon(c.unidadControl2, rs.Fields(r.unidadControl2));
    pon(c.tipoProducto, producto[3]);

    const std::string tipo = texto(c.tipoProducto);
    if (tipo == "02")
        pon(c.lote, lotes.lote(id));
    if (tipo == "03") {
        db::Recordset numeros =
            series.SeriesDocumento("Remision", folio, id, texto(c.producto), texto(c.talla), texto(c.color));
        std::string serie;
        for (; !numeros.Eof(); numeros.MoveNext())
            serie += (serie.empty() ? "" : "|") + numeros.Fields("Sr_Cve_Serie").toString();
        pon(c.serie, serie);
        numeros.Close();
    }
    if (const std::string tipoTexto = frmVN003::TextoTipoProducto(tipo); !tipoTexto.empty())
        pon(c.tipoTexto, tipoTexto);

    if (texto(c.unidad1) == rs.Fields(r.unidadCosto).toString()) {
        pon(c.cantidadCosto, rs.Fields(r.cantidadCosto));
        pon(c.unidadCosto, rs.Fields(r.unidad1));
    } else {
        pon(c.cantidadCosto, rs.Fields(r.control2));
        pon(c.unidadCosto, rs.Fields(r.unidadControl2));
    }
    pon(c.costo, rs.Fields(r.costo));

    // Only the stored amounts are shown as they are; the unit prices and line amounts follow
    // from them without rounding.
    pon(c.prFolio, rs.Fields(r.prFolio));
    pon(c.precioLista, rs.Fields(r.precioLista));
    pon(c.precioListaImporte, numero(c.precioLista) * numero(c.cantidad1));
    pon(c.descuentoFactor, rs.Fields(r.descuentoFactor));
    pon(c.descuentoImporte, rs.Fields(r.descuentoImporte));
    pon(c.precioDescontado, numero(c.precioLista) - numero(c.precioLista) * numero(c.descuentoFactor));
    pon(c.precioDescontadoImporte, numero(c.precioListaImporte) - numero(c.descuentoImporte));
    pon(c.impuestoFactor, rs.Fields(r.impuestoFactor));
    pon(c.impuestoImporte, rs.Fields(r.impuestoImporte));
    pon(c.precioNeto, numero(c.precioDescontado) + numero(c.precioDescontado) * numero(c.impuestoFactor));
    pon(c.precioNetoImporte, numero(c.precioNeto) * numero(c.cantidad1));

    pon(c.descamp, catalogo.descripcionAmpliada("Remision", id));
    pon(c.desampr, catalogo.descripcionAmpliada("REMISION2", id));
}

} // namespace

void frmVN003::txtFolio_Change()
{
    Controles.setClaveDocumento("");
    if (Controles.ModoNuevo())
        return;
    for (int n = 4; n >= 1; --n)
        Controles.setOpcionDocumento(n, false);
    Utilerias().LimpiaControles(*this, 1);
    IdDomicilioEntrega.clear();
    SeleccionaPestana(0);
    txtSalida.setText("");
    FolioSalidaRemision.clear();
    MostrarSalidaPropia = false;
    VersionRemision.clear();
    ssDetalle.col("Ubicacion").setVisible(false);
    ssDetalle.col("Ubicacion").setLocked(true);
}

void frmVN003::txtFolio_Enter()
{
    if (txtFolio.text().empty() || Controles.ModoNuevo())
        return;
    try {
        // Catalogue look-ups repeated line after line are answered once for the whole recall.
        db::Connection::MemoScope memo(Sistema().Conexion());
        txtFolio.setText(Utilerias().FormatoFolio(txtFolio.text()));
        txtFolio.refresh();

        host::Lotes lotes(Sistema().entorno());
        host::Series series(Sistema().entorno());

        TextoSQL = "SELECT * FROM Remision WHERE Rm_Folio = '" + db::quoted(txtFolio.value().toString()) +
                   "' and Rm_Tabla = 'PEDIDO' ";
        db::Recordset rs = Sistema().Conexion().Execute(TextoSQL);
        if (rs.Eof())
            return;
        VersionRemision = bloqueo::versionRemision(txtFolio.value().toString());
        if (!AccesoPermitido(*this, rs)) {
            rs.Close();
            txtFolio.refresh();
            return;
        }

        HabilitaOpcionesDocumento(*this, rs);
        CargaEncabezadoRemision(*this, rs);
        LeeManejoAlmacen();
        MuestraColumnaUbicacion(*this);

        FolioSalidaRemision = Utilerias().BuscaDato("Remision_Encabezado", "Rm_Folio",
                                                    rs.Fields("Rm_Folio").toString(), "Rm_PDA_Salida", false, "", "",
                                                    "");
        MostrarSalidaPropia = true;
        txtSalida.setText(FolioSalidaRemision);

        txtDescuento_Global.setValue(rs.Fields("Rm_Descuento_Global_Factor").toDouble() * 100);

        ssDetalle.removeAll();
        ssDetalle.allowAddNew = false;
        ssDetalle.col("Pr_Cve_Producto").setLocked(true);
        ConsultaProductosPedido.clear();

        {
            host::DomicilioEntrega domicilio(Sistema().entorno());
            IdDomicilioEntrega =
                domicilio.DomicilioDocumento("Remision", txtFolio.text(), "Cliente", txtCliente.text());
        }

        Frame_Carga("Remision", txtFolio.text());

        CatalogoCarga catalogo = CatalogoCarga::deRemision(txtFolio.text());
        const CamposRemision campos(rs);
        const ColumnasPartida columnas(ssDetalle);
        const std::string folio = txtFolio.text();
        const host::LotesDocumento lotesNota(lotes, "Remision", folio);
        rs.MoveFirst();
        for (AvanceCarga avance(rs, ssDetalle); !rs.Eof() && avance(); rs.MoveNext())
            CargaPartidaRemision(*this, rs, campos, columnas, folio, lotesNota, series, catalogo);

        rs.Close();
        // Part of a note on screen would pass for the saved one.
        if (Sistema().Progreso().Detenido()) {
            Controles.press(forms::Command::Limpiar);
            return;
        }
        ssDetalle.moveFirst();
    } catch (const std::exception& e) {
        ReportaError("txtFolio_Enter()", "ERR-ID:7500036", e.what(), "Tesmira");
    }
}

} // namespace tesmira::vn003
