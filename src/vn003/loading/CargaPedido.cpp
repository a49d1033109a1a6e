// The ordinary order loader: every order line with a quantity pending delivery.
#include "base/Vb.h"
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/shell/AvanceCarga.h"
#include "vn003/loading/ConsultasCarga.h"
#include "vn003/persist/Pendientes.h"

namespace tesmira::vn003 {

void frmVN003::CargaPedido()
{
    try {
        // Catalogue look-ups repeated row after row are answered once for the whole load.
        db::Connection::MemoScope memo(Sistema().Conexion());
        TextoSQL = consultas::pendientesPedido(txt_Pd_Folio.text(), Sistema().SucursalUsuario());
        db::Recordset rs = Sistema().Conexion().Execute(TextoSQL);
        const MensajesCargaPedido mensajes{"El pedido especificado no tiene productos pendientes por remisionar",
                                           "ERR-ID:7500048", "ERR-ID:7500049", "ERR-ID:7500050"};
        if (!PreparaCargaPedido(rs, mensajes))
            return;

        const host::Utilerias& u = Utilerias();
        for (AvanceCarga avance(rs, ssDetalle); !rs.Eof() && avance(); rs.MoveNext()) {
            const double pendiente1 = rs.Fields("Pd_Cantidad_1").toDouble();
            const double pendiente2 = rs.Fields("Pd_Cantidad_Control_2").toDouble();
            if (!(pendiente1 > 0 || pendiente2 > 0))
                continue;
            const std::string producto = rs.Fields("Pr_Cve_Producto").toString();
            TextoSQL = "SELECT Pr_Descripcion, Pr_Maneja_Talla, ";
            TextoSQL += "   Pr_Maneja_Color, Pr_Tipo_Producto, ";
            TextoSQL += "   Pr_Porcentaje_Variacion ";
            TextoSQL += "FROM Producto ";
            TextoSQL += "WHERE Pr_Cve_Producto = ? ";
            db::Recordset pr = Sistema().Conexion().ExecuteMemo(TextoSQL, {producto});

            PartidaPedido p;
            p.sucursalInventario = rs.Fields("Pd_Sucursal_Inventario").toString();
            p.almacenInventario = rs.Fields("Pd_Almacen_Inventario").toString();
            p.documentoId = rs.Fields("Pd_ID").toString();
            p.producto = producto;
            const std::string concepto = rs.Fields("Pd_Concepto").toString();
            p.descripcion = concepto.empty() ? pr.Fields("Pr_Descripcion").toString() : concepto;
            p.talla = rs.Fields("Tl_Cve_Talla").toString();
            p.color = rs.Fields("Cl_Cve_Color").toString();
            p.manejaTalla = pr.Fields("Pr_Maneja_Talla").toString();
            p.manejaColor = pr.Fields("Pr_Maneja_Color").toString();
            p.cantidad1 = pendiente1;
            p.unidad1 = rs.Fields("Pd_Unidad_1").toString();
            p.control1 = rs.Fields("Pd_Cantidad_Control_1").toDouble();
            p.unidadControl1 = rs.Fields("Pd_Unidad_Control_1").toString();
            p.control2 = pendiente2;
            p.unidadControl2 = rs.Fields("Pd_Unidad_Control_2").toString();
            p.porcentajeVariacion = pr.Fields("Pr_Porcentaje_Variacion").toDouble();
            p.tipoProducto = pr.Fields("Pr_Tipo_Producto").toString();
            pr.Close();

            p.unidadCostoPedido = rs.Fields("Pd_Unidad_Costo").toString();
            if (p.unidad1 == p.unidadCostoPedido) {
                p.cantidadCosto = pendiente1;
                p.unidadCosto = p.unidad1;
            } else {
                p.cantidadCosto = pendiente2;
                p.unidadCosto = p.unidadControl2;
            }
            p.costo = 0;
            p.cuota = rs.Fields("Pd_Cuota_Fija").toDouble();
            p.prFolio = rs.Fields("Pr_Folio").toString();
            // The order's stored amounts stand for the whole ordered quantity; editing recomputes them.
            p.precioLista = rs.Fields("Pd_Precio_Lista").toDouble();
            p.precioListaImporte = p.cantidad1 * p.precioLista;
            p.descuentoFactor = rs.Fields("Pd_Descuento_Factor").toDouble();
            p.descuentoImporte = rs.Fields("Pd_Descuento_Importe").toDouble();
            p.precioDescontado = rs.Fields("Pd_Precio_Descontado").toDouble();
            p.precioDescontadoImporte = rs.Fields("Pd_Precio_Descontado_Importe").toDouble();
            p.impuestoFactor = rs.Fields("Pd_Impuesto_Factor").toDouble();
            p.impuestoImporte = rs.Fields("Pd_Impuesto_Importe").toDouble();
            p.precioNeto = rs.Fields("Pd_Precio_Neto").toDouble();
            p.precioNetoImporte = rs.Fields("Pd_Precio_Neto_Importe").toDouble();
            p.u1Desde = p.unidad1;
            p.u1Hasta = p.unidad1;
            p.u2Desde = p.unidad1;
            p.u2Hasta = p.unidadControl2;
            if (u.UnidadCubicada(p.unidadControl2) && pendiente1 != 0) {
                p.conFactorM3 = true;
                p.factorM3 = pendiente2 / pendiente1;
            }
            p.descamp = u.DescripcionAmpliada("PEDIDO", txt_Pd_Folio.text(), p.documentoId);
            AgregaPartidaPedido(p);
        }
        ssDetalle.moveFirst();
        rs.Close();
    } catch (const std::exception& e) {
        Sistema().Mensaje(std::string("CargaPedido()\r\n") + e.what(), vb::vbCritical, "ERROR", this, "VN003", "ERR-ID:7500051");
    }
}

float frmVN003::CantidadPendiente(const std::string& folio, const std::string& producto, const std::string& talla,
                                  const std::string& color, int control, std::string& unidad)
{
    const std::string n = control == 1 ? "1" : "2";
    const std::string cantidadPedido = "Pd_Cantidad_Control_" + n, unidadPedido = "Pd_Unidad_Control_" + n;
    const std::string cantidadRemision = "Rm_Cantidad_Control_" + n, unidadRemision = "Rm_Unidad_Control_" + n;
    try {
        unidad.clear();
        float resultado = 0;
        // A save answers every row from what it read for all of them.
        if (PendientesGuardado &&
            PendientesGuardado->pendiente(folio, producto, talla, color, control, resultado, unidad))
            return resultado;
        // Values as markers: one translation and one prepared statement for every line.
        const std::vector<Value> clave{folio, talla, color, producto};
        std::string sql = "SELECT SUM(" + cantidadPedido + ") as Cantidad, " + unidadPedido + " as Unidad " +
                          "FROM Pedido " + "WHERE " + "   Pd_Folio = ? AND " + "   Tl_Cve_Talla = ? AND " +
                          "   Cl_Cve_Color = ? AND " + "   Pr_Cve_Producto = ? AND " + "   Es_Cve_Estado <> 'BA' " +
                          "GROUP BY " + unidadPedido;
        db::Recordset pedido = Sistema().Conexion().Execute(sql, clave);
        if (!pedido.Eof()) {
            resultado = static_cast<float>(vb::toSingle(pedido.Fields("Cantidad").toDouble()));
            unidad = pedido.Fields("Unidad").toString();
        }
        pedido.Close();

        sql = "SELECT SUM(" + cantidadRemision + ") as Cantidad, " + unidadRemision + " as Unidad " + "FROM Remision " +
              "WHERE " + "   Rm_Tabla = 'PEDIDO' AND " + "   Rm_Documento = ? AND " + "   Tl_Cve_Talla = ? AND " +
              "   Cl_Cve_Color = ? AND " + "   Pr_Cve_Producto = ? AND " +
              "   Es_Cve_Estado <> 'BA' and Es_Cve_Estado <> 'CA'" + "GROUP BY " + unidadRemision;
        db::Recordset remision = Sistema().Conexion().Execute(sql, clave);
        if (!remision.Eof())
            resultado = static_cast<float>(resultado - remision.Fields("Cantidad").toDouble());
        remision.Close();
        return resultado;
    } catch (const std::exception&) {
        unidad.clear();
        return 0;
    }
}

} // namespace tesmira::vn003
