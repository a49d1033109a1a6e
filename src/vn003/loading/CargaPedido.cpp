// The ordinary order loader: every order line with a quantity pending delivery.
#include "base/Vb.h"
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/shell/AvanceCarga.h"
#include "vn003/loading/Catalogo.h"
#include "vn003/loading/ColumnasPartida.h"
#include "vn003/loading/ConsultasCarga.h"
#include "vn003/persist/Pendientes.h"

namespace tesmira::vn003 {

namespace {

// The order's stored amounts of a pending line, their columns found once per load.
struct ImportesPedido {
    explicit ImportesPedido(const db::Recordset& rs)
        : descuentoImporte(rs.column("Pd_Descuento_Importe"))
        , precioDescontado(rs.column("Pd_Precio_Descontado"))
        , precioDescontadoImporte(rs.column("Pd_Precio_Descontado_Importe"))
        , impuestoImporte(rs.column("Pd_Impuesto_Importe"))
        , precioNeto(rs.column("Pd_Precio_Neto"))
        , precioNetoImporte(rs.column("Pd_Precio_Neto_Importe"))
    {
    }
    size_t descuentoImporte, precioDescontado, precioDescontadoImporte, impuestoImporte, precioNeto, precioNetoImporte;
};

// A pending line as the grid gets it: all that is pending, with the amounts the order stored.
frmVN003::PartidaPedido partidaPendiente(const db::Recordset& rs, const ImportesPedido& i, const LineaPedido& l,
                                         CatalogoCarga& catalogo)
{
    const auto numero = [&rs](size_t columna) { return rs.Fields(columna).toDouble(); };
    frmVN003::PartidaPedido p;
    copiaLinea(p, l, l.cantidad1, l.control2);
    p.sucursalInventario = l.sucursalInventario;
    p.almacenInventario = l.almacenInventario;
    catalogo.asignaProducto(p, l.concepto);
    p.cantidad1 = l.cantidad1;
    p.control1 = l.control1;
    p.control2 = l.control2;
    // The order's stored amounts stand for the whole ordered quantity; editing recomputes them.
    p.precioLista = l.precioLista;
    p.precioListaImporte = p.cantidad1 * p.precioLista;
    p.descuentoFactor = l.descuentoFactor;
    p.descuentoImporte = numero(i.descuentoImporte);
    p.precioDescontado = numero(i.precioDescontado);
    p.precioDescontadoImporte = numero(i.precioDescontadoImporte);
    p.impuestoFactor = l.impuestoFactor;
    p.impuestoImporte = numero(i.impuestoImporte);
    p.precioNeto = numero(i.precioNeto);
    p.precioNetoImporte = numero(i.precioNetoImporte);
    cierraPartida(p, l, catalogo);
    return p;
}

} // namespace

void frmVN003::CargaPedido()
{
    try {
        const MensajesCargaPedido mensajes{"El pedido especificado no tiene productos pendientes por remisionar",
                                           "ERR-ID:7500048", "ERR-ID:7500049", "ERR-ID:7500050"};
        CargaPendientes carga(*this, consultas::pendientesPedido(txt_Pd_Folio.text(), Sistema().SucursalUsuario()),
                              mensajes);
        if (!carga.lista())
            return;
        db::Recordset& rs = carga.lineas();
        const ImportesPedido importes(rs);
        const ColumnasPartida columnas(ssDetalle);
        for (AvanceCarga avance(rs, ssDetalle); !rs.Eof() && avance(); rs.MoveNext()) {
            const LineaPedido linea = carga.lee();
            if (!(linea.cantidad1 > 0 || linea.control2 > 0))
                continue;
            AgregaPartidaPedido(partidaPendiente(rs, importes, linea, carga.catalogo()), carga.catalogo(), columnas);
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
    try {
        unidad.clear();
        float resultado = 0;
        // A save answers every row from what it read for all of them.
        if (PendientesGuardado &&
            PendientesGuardado->pendiente(folio, producto, talla, color, control, resultado, unidad))
            return resultado;
        const std::string n = control == 1 ? "1" : "2";
        const std::string cantidadPedido = "Pd_Cantidad_Control_" + n, unidadPedido = "Pd_Unidad_Control_" + n;
        const std::string cantidadRemision = "Rm_Cantidad_Control_" + n, unidadRemision = "Rm_Unidad_Control_" + n;
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
