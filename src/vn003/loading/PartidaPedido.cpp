// What the order loaders share: the order header with its refusals, and one grid row per line.
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/services/Permisos.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/loading/Catalogo.h"
#include "vn003/loading/ConsultasCarga.h"

namespace tesmira::vn003 {

void frmVN003::AgregaPartidaPedido(const PartidaPedido& p, CatalogoCarga& catalogo)
{
    const host::Utilerias& u = Utilerias();
    Grid& g = ssDetalle;
    g.addRow();
    g.col("Rm_Sucursal_Inventario").setValue(p.sucursalInventario);
    g.col("Rm_Almacen_Inventario").setValue(p.almacenInventario);
    g.col("Documento_Id").setValue(p.documentoId);
    g.col("Pr_Cve_Producto").setValue(p.producto);
    g.col("Pr_Descripcion").setValue(p.descripcion);
    g.col("Tl_Cve_Talla").setValue(p.talla);
    g.col("Cl_Cve_Color").setValue(p.color);
    g.col("Tl_Descripcion").setValue(catalogo.descripcionTalla(p.talla));
    g.col("Cl_Descripcion").setValue(catalogo.descripcionColor(p.color));
    g.col("Pr_Manejar_Talla").setValue(p.manejaTalla);
    g.col("Pr_Manejar_Color").setValue(p.manejaColor);
    g.col("Cantidad_1").setValue(p.cantidad1);
    g.col("Unidad_1").setValue(p.unidad1);
    g.col("Cantidad_Control_1").setValue(p.control1);
    g.col("Unidad_Control_1").setValue(p.unidadControl1);
    g.col("Cantidad_Control_2").setValue(p.control2);
    g.col("Unidad_Control_2").setValue(p.unidadControl2);
    g.col("Porcentaje_Variacion").setValue(p.porcentajeVariacion);
    g.col("Pr_Tipo_Producto").setValue(p.tipoProducto);

    const std::string tipo = g.col("Pr_Tipo_Producto").value().toString();
    g.col("TIPO_PRODUCTO").setValue(TextoTipoProducto(tipo));
    if (tipo == "02")
        g.col("Lt_Cve_Lote").setValue("");
    else if (tipo == "03")
        g.col("Sr_Cve_Serie").setValue("");

    g.col("Cantidad_Costo").setValue(p.cantidadCosto);
    g.col("Unidad_Costo").setValue(p.unidadCosto);
    g.col("Costo").setValue(p.costo);
    g.col("Cuota").setValue(p.cuota);
    g.col("Pr_Folio").setValue(p.prFolio);
    g.col("Precio_Lista").setValue(p.precioLista);
    g.col("Precio_Lista_Importe").setValue(p.precioListaImporte);
    g.col("Descuento_Factor").setValue(p.descuentoFactor);
    g.col("Descuento_Importe").setValue(p.descuentoImporte);
    g.col("Precio_Descontado").setValue(p.precioDescontado);
    g.col("Precio_Descontado_Importe").setValue(p.precioDescontadoImporte);
    g.col("Impuesto_Factor").setValue(p.impuestoFactor);
    g.col("Impuesto_Importe").setValue(p.impuestoImporte);
    g.col("Precio_Neto").setValue(p.precioNeto);
    g.col("Precio_Neto_Importe").setValue(p.precioNetoImporte);

    g.col("Factor_Conversion_U1").setValue(u.FactorConversion(p.producto, p.u1Desde, p.u1Hasta));
    g.col("Factor_Conversion_U2").setValue(u.FactorConversion(p.producto, p.u2Desde, p.u2Hasta));
    // No costing unit is ever chosen on this screen: unit 1 converts to it as 1.
    g.col("Factor_Conversion_UC").setValue(1.0);
    g.col("Redondear_Control2").setValue(!catalogo.unidadFraccionable(g.col("Unidad_Control_2").value().toString()));
    g.col("Cubicado").setValue(catalogo.unidadCubicada(p.unidadControl2));
    g.col("Unidad_Costeo_1").setValue(p.unidadCostoPedido == p.unidadControl1);
    if (p.conFactorM3)
        g.col("Factor_M3").setValue(p.factorM3);
    g.col("DESCAMP").setValue(p.descamp);
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
