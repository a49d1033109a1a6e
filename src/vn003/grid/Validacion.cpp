// Checks of delivery-note lines against the order and the warehouse.
#include "base/Text.h"
#include "base/Vb.h"
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/services/Precios.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/persist/Pendientes.h"

#include <iterator>
#include <optional>

namespace tesmira::vn003 {

namespace {
const std::string CrLf = "\r\n";
const std::string prefijo = "valida_Grid() - " + CrLf;

// A save validates every row: each column's place is remembered and only checked by name,
// so a changed column set is looked up again.
enum ColumnaValidada : size_t { Producto, Talla, Color, Descripcion, Cantidad1, Cantidad2, Factor, Precio, Unidad1 };
constexpr const char* kNombres[] = {"Pr_Cve_Producto", "Tl_Cve_Talla",       "Cl_Cve_Color",
                                    "Pr_Descripcion",  "Cantidad_1",         "Cantidad_Control_2",
                                    "Factor_Conversion_U1", "Precio_Lista", "Unidad_1"};

Grid::Column columna(Grid& g, ColumnaValidada c)
{
    thread_local int lugares[std::size(kNombres)] = {};
    int& lugar = lugares[c];
    if (lugar >= g.columnCount() || !sameKey(g.columnDef(lugar).name, kNombres[c]))
        lugar = g.columnIndex(kNombres[c]);
    return g.col(lugar);
}
} // namespace

void frmVN003::valida_Grid(bool& ok)
{
    ok = false;
    try {
        Grid& g = ssDetalle;
        const std::string producto = columna(g, Producto).text();
        const std::string talla = columna(g, Talla).text();
        const std::string color = columna(g, Color).text();
        // Only a refusal shows the description.
        const auto descripcion = [&g] { return columna(g, Descripcion).text(); };
        std::string unidad;
        const std::string pedido = txt_Pd_Folio.value().toString();
        PendienteControl1 = CantidadPendiente(pedido, producto, talla, color, 1, unidad);
        PendienteControl2 = CantidadPendiente(pedido, producto, talla, color, 2, unidad);

        const double cantidad1 = columna(g, Cantidad1).value().toDouble();
        const double cantidad2 = columna(g, Cantidad2).value().toDouble();
        // Pending quantities are Singles: compare them as the Single shows, so an exact
        // delivery of 1.3 is not taken for more than a pending 1.3.
        const double pendiente1 = vb::toSingle(PendienteControl1);
        const double pendiente2 = vb::toSingle(PendienteControl2);

        if (cantidad1 <= 0) {
            Sistema().Mensaje(prefijo + "La cantidad-1 no es correcta del producto: " + descripcion() + "!!", vb::vbExclamation,
                              "valida_Grid()", this, "VN003", "ERR-ID:7500038");
            return;
        }
        if (cantidad2 <= 0) {
            Sistema().Mensaje(prefijo + "La cantidad-2 no es correcta del producto: " + descripcion() + "!!", vb::vbExclamation,
                              "valida_Grid()", this, "VN003", "ERR-ID:7500039");
            return;
        }
        const double c1 = vb::toSingle(cantidad1 * columna(g, Factor).value().toDouble());
        const double c2 = vb::toSingle(cantidad2);
        if (!Parametros.CapturaMayorPedido) {
            if (c1 > pendiente1) {
                Sistema().Mensaje(prefijo + "La cantidad-control-1 capturada del producto: " + descripcion() +
                                      " es mayor a la cantidad pedida!",
                                  vb::vbCritical, "ERROR", this, "VN003", "ERR-ID:7500040");
                return;
            }
            if (c2 > pendiente2) {
                Sistema().Mensaje(prefijo + "La cantidad-control-2 capturada del producto: " + descripcion() +
                                      " es mayor a la cantidad pedida!",
                                  vb::vbCritical, "ERROR", this, "VN003", "ERR-ID:7500041");
                return;
            }
        }

        if (Parametros.ValidarPrecioMinimo && !Derechos.DerechoCHPR01 && !Derechos.DerechoPMINIMO) {
            const std::string moneda = txt_Mn_Cve_Moneda.value().toString();
            const std::string sucursal = txt_Sc_Cve_Sucursal.value().toString();
            const std::string cliente = txtCliente.value().toString();
            const std::string unidad1 = columna(g, Unidad1).text();
            std::string folioLista;
            PrecioMinimo = Precios->PrecioMinimo(dpFecha.value(), moneda, sucursal, cliente, producto, talla, color,
                                                 unidad1, folioLista);
            if (PrecioMinimo != -1 && columna(g, Precio).value().toDouble() < PrecioMinimo) {
                Sistema().Mensaje(prefijo + "El precio mínimo de venta es: " +
                                      vb::formatNumber(PrecioMinimo, "$#,##0.0000") + " !!!",
                                  vb::vbInformation, "Tesmira", this, "VN003", "ERR-ID:7500042");
                PrecioVentaActual = Precios->PrecioVenta(dpFecha.value(), moneda, sucursal, cliente, producto, talla,
                                                         color, unidad1, txtCondicionVenta.text(), 1);
                columna(g, Precio).setValue(PrecioVentaActual);
                return;
            }
        }

        if (cantidad1 > pendiente1 && !Parametros.CapturaMayorPedido) {
            Sistema().Mensaje(prefijo + "No es posible remisionar más de lo pedido", vb::vbCritical, "Cantidad incorrecta", this,
                              "VN003", "ERR-ID:7500043");
            return;
        }
        ok = true;
    } catch (const std::exception& e) {
        ok = false;
        Sistema().Mensaje("valida_Grid() - " + CrLf + e.what(), vb::vbCritical, "Tesmira", this, "VN003", "ERR-ID:7500044");
    }
}

void frmVN003::Validar_Cantidad_Id(std::string& folio, std::string& producto, std::string& id, double& cantidad,
                                   bool& ok)
{
    ok = false;
    try {
        MensajeError = "";
        std::optional<Value> leida;
        // A save answers every row from what it read for all of them.
        if (!PendientesGuardado || !PendientesGuardado->pedida(folio, producto, id, leida)) {
            // Only the ordered quantity is compared: the line's other columns are not read.
            TextoSQL = "SELECT Pd_Cantidad_1 FROM Pedido WHERE Pd_Folio = ? AND  Pr_Cve_Producto = ? AND Pd_ID = ?";
            db::Recordset rs = Sistema().Conexion().Execute(TextoSQL, {folio, producto, id});
            if (!rs.Eof())
                leida = rs.Fields("Pd_Cantidad_1");
        }
        if (!leida) {
            MensajeError =
                "No se ha encontrado el pedido con folio " + folio + ", producto: " + producto + " y ID: " + id;
            return;
        }
        const Value pedida = *leida;
        if (pedida.toDouble() < cantidad) {
            MensajeError = "La cantidad especificada es incorrecta, del producto: " + producto + " para el ID: " + id +
                           " ES: " + pedida.toString();
            return;
        }
        ok = true;
    } catch (const std::exception& e) {
        ok = false;
        Sistema().Mensaje("Validar_Cantidad_Id()" + CrLf + e.what(), vb::vbCritical, "Tesmira", this, "VN003", "ERR-ID:7500026");
    }
}

void frmVN003::Valida_Ubicacion(std::string& sucursal, std::string& almacen, std::string& ubicacion,
                                std::string& producto, std::string& talla, std::string& color, bool& ok)
{
    ok = false;
    const auto rechaza = [&](const std::string& razon, const std::string& detalle) {
        MensajeValidacion = "Valida_Ubicacion()" + CrLf + razon + CrLf + "SUCURSAL: " + sucursal + CrLf +
                            "ALMACEN: " + almacen + CrLf + "UBICACION: " + ubicacion + detalle;
    };
    try {
        TextoSQL = std::string("SELECT  ") + "   Ua_Tipo, " + "   Ua_Producto_Maximo, " + "   Ua_Producto, " +
                   "   Ua_Bloquear " + "FROM Ubicacion_Almacen  " + "WHERE " + "   Sc_Cve_Sucursal = '" +
                   db::quoted(sucursal) + "' AND " + "   Al_Cve_Almacen = '" + db::quoted(almacen) + "' AND " +
                   "   Ua_Cve_Ubicacion_Almacen = '" + db::quoted(ubicacion) + "' AND " + "   Es_Cve_Estado <> 'BA' ";
        db::Recordset rs = Sistema().Conexion().Execute(TextoSQL);
        if (rs.Eof()) {
            rechaza("la ubicación no existe o está dada de baja", "");
            return;
        }
        if (rs.Fields("Ua_Bloquear").toString() == "SI") {
            rechaza("la ubicación se encuentra bloqueada", "");
            return;
        }
        const std::string reservadoA = rs.Fields("Ua_Producto").toString();
        if (rs.Fields("Ua_Tipo").toString() == "01" && reservadoA != producto) {
            rechaza("la ubicación está restringida al producto " + reservadoA, CrLf + "Producto actual: " + producto);
            return;
        }
        rs.Close();

        TextoSQL = std::string("SELECT Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color ") + "FROM Existencia_Ubicacion " +
                   "WHERE " + "   Sc_Cve_Sucursal = '" + db::quoted(sucursal) + "' AND " + "   Al_Cve_Almacen = '" +
                   db::quoted(almacen) + "' AND " + "   Ua_Cve_Ubicacion_Almacen = '" + db::quoted(ubicacion) +
                   "' AND " + "   Pr_Cve_Producto = '" + db::quoted(producto) + "' AND " + "   Tl_Cve_Talla = '" +
                   db::quoted(talla) + "' AND " + "   Cl_Cve_Color = '" + db::quoted(color) + "' AND " +
                   "   Ex_Cantidad_Control_1 > 0 AND " + "   Ex_Cantidad_Control_2 > 0 ";
        db::Recordset existencia = Sistema().Conexion().Execute(TextoSQL);
        if (existencia.Eof()) {
            rechaza("No hay existencia del producto en la ubicación",
                    CrLf + "PRODUCTO/TALLA/COLOR: " + producto + "/" + talla + "/" + color);
            return;
        }
        ok = true;
    } catch (const std::exception& e) {
        ok = false;
        MensajeValidacion = "Valida_Ubicacion()" + CrLf + e.what();
    }
}

} // namespace tesmira::vn003
