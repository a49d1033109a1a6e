#include "host/writers/Escritura.h"

#include "base/Error.h"
#include "base/Text.h"
#include "db/Connection.h"
#include "host/services/ServiciosSql.h"

#include <algorithm>

namespace tesmira::host::escritura {

using sql::numero;
using sql::texto;

std::string sello(const Entorno& e)
{
    return e.ahora().iso();
}

std::string siguienteFolio(db::Connection& c, const std::string& table, const std::string& keyTable,
                           const std::string& keyColumn)
{
    // The counter advances before it is read: the UPDATE holds its row until the caller's
    // commit, so two saves on any engine never take the same number.
    c.Execute("UPDATE Folio_Documento SET Fd_Siguiente = Fd_Siguiente + 1 WHERE Fd_Tabla = " + texto(table));
    auto rs = c.Execute("SELECT Fd_Prefijo, Fd_Siguiente, Fd_Digitos FROM Folio_Documento WHERE Fd_Tabla = " +
                        texto(table));
    if (rs.Eof())
        throw Error("No existe el contador de folios de " + table);
    const std::string prefijo = rs.Fields("Fd_Prefijo").toString();
    const int64_t tomado = rs.Fields("Fd_Siguiente").toInt() - 1;
    const auto digitos = static_cast<size_t>(rs.Fields("Fd_Digitos").toInt());
    std::string folio;
    // A folio typed in by hand or loaded from elsewhere must not be handed out twice.
    int64_t n = tomado;
    for (;; ++n) {
        std::string numero = std::to_string(n);
        if (numero.size() < digitos)
            numero.insert(0, digitos - numero.size(), '0');
        folio = prefijo + numero;
        if (c.Execute("SELECT 1 FROM " + keyTable + " WHERE " + keyColumn + " = " + texto(folio)).Eof())
            break;
    }
    if (n != tomado)
        c.Execute("UPDATE Folio_Documento SET Fd_Siguiente = " + std::to_string(n + 1) +
                  " WHERE Fd_Tabla = " + texto(table));
    return folio;
}

db::Recordset producto(db::Connection& c, const std::string& clave)
{
    return c.ExecuteMemo("SELECT Pr_Descripcion, Pr_Tipo_Producto, Pr_Unidad_Control_1, Pr_Unidad_Costo, "
                         "Pr_Impuesto_Factor FROM Producto WHERE Pr_Cve_Producto = ?",
                         {clave});
}

std::string productoDePartida(db::Connection& c, const std::string& clave, double cantidad, db::Recordset& fila)
{
    if (clave.empty())
        return "La partida no tiene producto";
    if (!(cantidad > 0))
        return "La cantidad de la partida debe ser mayor que cero";
    fila = producto(c, clave);
    return fila.Eof() ? "No existe el producto: " + clave : std::string();
}

double factor(db::Connection& c, const std::string& product, const std::string& from, const std::string& to)
{
    if (from.empty() || to.empty())
        return 0;
    if (sameKey(from, to))
        return 1;
    auto rs = c.ExecuteMemo("SELECT Cu_Factor FROM Conversion_Unidad WHERE Pr_Cve_Producto = ? AND "
                            "Cu_Unidad_Origen = ? AND Cu_Unidad_Destino = ?",
                            {product, from, to});
    return rs.Eof() ? 0 : rs.Fields("Cu_Factor").toDouble();
}

TotalesDocumento totales(db::Connection& c, const std::string& lineas, double descuentoGlobal)
{
    TotalesDocumento t(descuentoGlobal);
    for (auto rs = c.Execute(lineas); !rs.Eof(); rs.MoveNext())
        t.agrega(rs.Fields(size_t{0}).toDouble(), rs.Fields(size_t{1}).toDouble() * rs.Fields(size_t{2}).toDouble(),
                 rs.Fields(size_t{3}).toDouble());
    return t;
}

void actualizaTotalesVenta(const Entorno& e, const std::string& folio)
{
    auto venta = e.conexion.Execute("SELECT Vn_Descuento_Global_Factor, Vn_Sin_Cargo FROM Venta_Encabezado "
                                    "WHERE Vn_Folio = " + texto(folio));
    if (venta.Eof())
        throw Error("No existe la venta: " + folio);
    guardaTotalesVenta(e, folio,
                       totales(e.conexion,
                               "SELECT Vn_Precio_Descontado_Importe, Vn_Cuota_Fija, Vn_Cantidad_1, Vn_Impuesto_Factor "
                               "FROM Venta WHERE Vn_Folio = " + texto(folio),
                               venta.Fields("Vn_Descuento_Global_Factor").toDouble()),
                       sameKey(venta.Fields("Vn_Sin_Cargo").toString(), "SI"));
}

void guardaTotalesVenta(const Entorno& e, const std::string& folio, const TotalesDocumento& t, bool sinCargo)
{
    e.conexion.Execute("UPDATE Venta_Encabezado SET Vn_Subtotal = " + numero(t.subtotal()) + ", Vn_Impuesto = " +
                       numero(t.impuesto()) + ", Vn_Total = " + numero(sinCargo ? 0 : t.total()) +
                       ", Oper_Ult_Modif = " + texto(e.usuario) + ", Fecha_Ult_Modif = " + texto(sello(e)) +
                       " WHERE Vn_Folio = " + texto(folio));
}

} // namespace tesmira::host::escritura
