// What the order loaders share: the order header with its refusals, and one grid row per line.
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/services/Permisos.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/loading/Catalogo.h"
#include "vn003/loading/ColumnasPartida.h"
#include "vn003/loading/ConsultasCarga.h"

namespace tesmira::vn003 {

void frmVN003::AgregaPartidaPedido(const PartidaPedido& p, CatalogoCarga& catalogo, const ColumnasPartida& c)
{
    const host::Utilerias& u = Utilerias();
    Grid& g = ssDetalle;
    const auto pon = [&g](int columna, Value v) { g.col(columna).setValue(std::move(v)); };
    g.addRow();
    pon(c.sucursalInventario, p.sucursalInventario);
    pon(c.almacenInventario, p.almacenInventario);
    pon(c.documentoId, p.documentoId);
    pon(c.producto, p.producto);
    pon(c.descripcion, p.descripcion);
    pon(c.talla, p.talla);
    pon(c.color, p.color);
    pon(c.tallaDescripcion, catalogo.descripcionTalla(p.talla));
    pon(c.colorDescripcion, catalogo.descripcionColor(p.color));
    pon(c.manejaTalla, p.manejaTalla);
    pon(c.manejaColor, p.manejaColor);
    pon(c.cantidad1, p.cantidad1);
    pon(c.unidad1, p.unidad1);
    pon(c.control1, p.control1);
    pon(c.unidadControl1, p.unidadControl1);
    pon(c.control2, p.control2);
    pon(c.unidadControl2, p.unidadControl2);
    pon(c.porcentajeVariacion, p.porcentajeVariacion);
    pon(c.tipoProducto, p.tipoProducto);

    const std::string tipo = g.col(c.tipoProducto).value().toString();
    pon(c.tipoTexto, TextoTipoProducto(tipo));
    if (tipo == "02")
        pon(c.lote, "");
    else if (tipo == "03")
        pon(c.serie, "");

    pon(c.cantidadCosto, p.cantidadCosto);
    pon(c.unidadCosto, p.unidadCosto);
    pon(c.costo, p.costo);
    pon(c.cuota, p.cuota);
    pon(c.prFolio, p.prFolio);
    pon(c.precioLista, p.precioLista);
    pon(c.precioListaImporte, p.precioListaImporte);
    pon(c.descuentoFactor, p.descuentoFactor);
    pon(c.descuentoImporte, p.descuentoImporte);
    pon(c.precioDescontado, p.precioDescontado);
    pon(c.precioDescontadoImporte, p.precioDescontadoImporte);
    pon(c.impuestoFactor, p.impuestoFactor);
    pon(c.impuestoImporte, p.impuestoImporte);
    pon(c.precioNeto, p.precioNeto);
    pon(c.precioNetoImporte, p.precioNetoImporte);

    pon(c.factorU1, u.FactorConversion(p.producto, p.u1Desde, p.u1Hasta));
    pon(c.factorU2, u.FactorConversion(p.producto, p.u2Desde, p.u2Hasta));
    // No costing unit is ever chosen on this screen: unit 1 converts to it as 1.
    pon(c.factorUC, 1.0);
    pon(c.redondearControl2, !catalogo.unidadFraccionable(g.col(c.unidadControl2).value().toString()));
    pon(c.cubicado, catalogo.unidadCubicada(p.unidadControl2));
    pon(c.unidadCosteo1, p.unidadCostoPedido == p.unidadControl1);
    if (p.conFactorM3)
        pon(c.factorM3, p.factorM3);
    pon(c.descamp, p.descamp);
}

bool frmVN003::PreparaCargaPedido(db::Recordset& rs, const MensajesCargaPedido& mensajes)
{
    if (rs.Eof()) {
        Sistema().Mensaje(mensajes.sinPartidas, vb::vbCritical, "Atención", this, "VN003", mensajes.idSinPartidas);
        return false;
    }
    rs.MoveFirst();
    const std::string estado = rs.Fields("Es_Cve_Estado").toString();
    if (std::string("AC|RM|FA").find(estado) == std::string::npos) {
        Sistema().Mensaje("No es posible remisionar el pedido desde el estado: " + estado, vb::vbInformation, "Tesmira", this,
                          "VN003", mensajes.idEstado);
        rs.Close();
        return false;
    }

    txt_Sc_Cve_Sucursal.setText(rs.Fields("Sc_Cve_Sucursal").toString());
    txt_Al_Cve_Almacen.setText(rs.Fields("Al_Cve_Almacen").toString());
    txt_Al_Cve_Almacen.setEnabled(true);
    txt_Al_Cve_Almacen_Enter();
    txtCliente.setText(rs.Fields("Cl_Cve_Cliente").toString());
    txtCliente_Enter();
    if (IdDomicilioEntrega.empty() || IdDomicilioEntrega == "0000") {
        Sistema().Mensaje("Debe elegir una dirección de entrega", vb::vbExclamation, "Tesmira", this, "VN003", mensajes.idDireccion);
        txt_Pd_Folio.setFocus();
        return false;
    }
    txtVendedor.setText(rs.Fields("Vn_Cve_Vendedor").toString());
    txtReferencia.setText(rs.Fields("Pd_Referencia").toString());
    txt_Comentario.setText(rs.Fields("Pd_Comentario").toString());
    chSinCargo.setValue(rs.Fields("Pd_Sin_Cargo").toString() == "SI" ? CheckBox::Checked : CheckBox::Unchecked);
    txtCondicionVenta.setText(rs.Fields("Pd_Condicion_Venta").toString());
    txt_Mn_Cve_Moneda.setText(rs.Fields("Mn_Cve_Moneda").toString());
    txt_Rm_Tipo_Cambio.setValue(Utilerias().TipoCambio(txt_Mn_Cve_Moneda.text(), dpFecha.value()));
    txt_Mn_Cve_Moneda_Enter();
    // The order keeps a factor; the field shows a percentage.
    txtDescuento_Global.setValue(rs.Fields("Pd_Descuento_Global_Factor").toDouble() * 100);

    LeeManejoAlmacen();

    // The blind-capture look-up: the order's products still pending, the note on screen not counted.
    TextoSQL = "SELECT DISTINCT(Pedido.Pr_Cve_Producto) as PRODUCTO, ";
    TextoSQL += "   Producto.Pr_Descripcion as DESCRIPCION, ";
    TextoSQL += "   sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) AS CANTIDAD, ";
    TextoSQL += " ''  ";
    TextoSQL += "FROM Pedido ";
    TextoSQL += "   INNER JOIN Producto ON Pedido.Pr_Cve_Producto = Producto.Pr_Cve_Producto ";
    TextoSQL += consultas::entregasPedido(txt_Pd_Folio.text(), txtFolio.text());
    TextoSQL += "WHERE Pedido.Pd_Folio = '" + db::quoted(txt_Pd_Folio.value().toString()) + "'";
    TextoSQL += "GROUP BY Pd_Cantidad_1,  isnull(Remision.Rm_Cantidad_1,0), Pedido.Pr_Cve_Producto, "
                "Producto.Pr_Descripcion ";
    TextoSQL += "HAVING ( sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) ) > 0 ";

    ssDetalle.removeAll();
    ssDetalle.allowAddNew = false;
    ssDetalle.col("PR_CVE_PRODUCTO").setLocked(true);
    ConsultaProductosPedido.clear();
    if (Parametros.CapturaCiega) {
        ssDetalle.allowAddNew = true;
        ssDetalle.col("PR_CVE_PRODUCTO").setLocked(false);
        ConsultaProductosPedido = TextoSQL;
        return false;
    }
    rs.MoveFirst();
    return true;
}

} // namespace tesmira::vn003
