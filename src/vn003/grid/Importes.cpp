// Line amounts and document totals. The price chain and the spreading of the global discount
// and the tax over the lines are the host's (the writers price stored lines the same way);
// the screen feeds them and keeps what they answer.
//
// txtDescuento_Global shows the global discount as a percentage ("5.00%") and its value reads
// back as the factor (0.05): the loaders write factor x 100 and everything else reads a factor
// (see the field's number format in frmVN003.cpp).
#include "base/Text.h"
#include "base/Vb.h"
#include "db/Connection.h"
#include "host/services/Importes.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <algorithm>
#include <unordered_map>

namespace tesmira::vn003 {

namespace {

// Weight and volume of the grid's products, read a few hundred keys per statement instead of two
// look-ups per row. Keys are matched as the database compares them (case and trailing blanks
// aside); a key the read does not answer is asked on its own, as it always was.
class PesosVolumenes {
public:
    explicit PesosVolumenes(std::vector<std::string> claves)
    {
        std::sort(claves.begin(), claves.end());
        claves.erase(std::unique(claves.begin(), claves.end()), claves.end());
        constexpr size_t porLectura = 250;
        for (size_t desde = 0; desde < claves.size(); desde += porLectura) {
            const size_t n = std::min(porLectura, claves.size() - desde);
            std::string sql = "SELECT Pr_Cve_Producto, Pr_Peso, Pr_Volumen FROM Producto WHERE Pr_Cve_Producto IN (?";
            for (size_t i = 1; i < n; ++i)
                sql += ", ?";
            db::Recordset rs = Sistema().Conexion().Execute(
                sql + ")", std::vector<Value>(claves.begin() + static_cast<std::ptrdiff_t>(desde),
                                              claves.begin() + static_cast<std::ptrdiff_t>(desde + n)));
            for (; !rs.Eof(); rs.MoveNext())
                m_productos[clave(rs.Fields(size_t{0}).toString())] = {rs.Fields(size_t{1}), rs.Fields(size_t{2})};
        }
    }

    double peso(const std::string& producto) const
    {
        const auto it = m_productos.find(clave(producto));
        return it != m_productos.end() ? it->second.first.toDouble() : Utilerias().PesoProducto(producto);
    }
    double volumen(const std::string& producto) const
    {
        const auto it = m_productos.find(clave(producto));
        return it != m_productos.end() ? it->second.second.toDouble() : Utilerias().VolumenProducto(producto);
    }

private:
    static std::string clave(std::string_view producto) { return lowerAscii(withoutTrailingBlanks(producto)); }

    std::unordered_map<std::string, std::pair<Value, Value>> m_productos;
};

} // namespace

void frmVN003::CalculaImportesPartida()
{
    double cantidad = ssDetalle.col("Cantidad_1").value().toDouble();
    double precioLista = ssDetalle.col("Precio_Lista").value().toDouble();
    double descuentoFactor = ssDetalle.col("Descuento_Factor").value().toDouble();
    double impuestoFactor = ssDetalle.col("Impuesto_Factor").value().toDouble();
    const double cuota = ssDetalle.col("Cuota").value().toDouble();
    double importeLista = 0, descuentoImporte = 0, precioDescontado = 0, importeDescontado = 0;
    double extra1 = 0, extra2 = 0, impuestoImporte = 0, precioNeto = 0, importeNeto = 0;

    Utilerias().CalculaImportes(cantidad, precioLista, importeLista, descuentoFactor, descuentoImporte,
                                precioDescontado, importeDescontado, extra1, extra2, impuestoFactor, impuestoImporte,
                                precioNeto, importeNeto, Parametros.TipoCalculoImportes, cuota);

    ssDetalle.col("Impuesto_Importe").setValue(impuestoImporte);
    ssDetalle.col("Precio_Descontado_Importe").setValue(vb::round2(importeDescontado));
    ssDetalle.col("Precio_Neto_Importe").setValue(vb::round2(importeNeto));
}

void frmVN003::CalculaTotales()
{
    double t1 = 0, t2 = 0, peso = 0, volumen = 0;
    host::TotalesDocumento totales(txtDescuento_Global.value().toDouble());

    Grid& g = ssDetalle;
    const int renglones = g.rowCount();
    // Columns found once, not per row.
    const int columnaProducto = g.columnIndex("Pr_Cve_Producto"), columnaCantidad1 = g.columnIndex("Cantidad_1"),
              columnaControl2 = g.columnIndex("Cantidad_Control_2"),
              columnaImpuesto = g.columnIndex("Impuesto_Importe"),
              columnaDescontado = g.columnIndex("Precio_Descontado_Importe"), columnaCuota = g.columnIndex("Cuota"),
              columnaFactor = g.columnIndex("Impuesto_Factor");
    const auto numero = [&g](int columna) { return g.col(columna).value().toDouble(); };
    std::vector<std::string> productos;
    for (int i = 0; i < renglones; ++i)
        productos.push_back(g.cell(i, columnaProducto).toString());
    const PesosVolumenes pesos(std::move(productos));
    if (renglones > 0)
        g.moveFirst();
    for (int i = 0; i < renglones; ++i) {
        const double cantidad = numero(columnaCantidad1);
        t1 += cantidad;
        t2 += numero(columnaControl2);
        g.col(columnaImpuesto)
            .setValue(totales.agrega(numero(columnaDescontado), numero(columnaCuota) * cantidad,
                                     numero(columnaFactor)));
        const std::string producto = g.col(columnaProducto).value().toString();
        peso += cantidad * pesos.peso(producto);
        volumen += cantidad * pesos.volumen(producto);
        g.moveNext();
    }

    txtTCantidad1.setValue(t1);
    txtTCantidad2.setValue(t2);
    txtTPeso.setValue(peso);
    txtTVolumen.setValue(volumen);
    txtSuma.setValue(totales.suma());
    txtSubTotal.setValue(totales.subtotal());
    txtImpuestos.setValue(totales.impuesto());
    txtTotal.setValue(txtSubTotal.value().toDouble() + txtImpuestos.value().toDouble());
    txtTotalLocal.setValue(txt_Rm_Tipo_Cambio.value().toDouble() * txtTotal.value().toDouble());
}

} // namespace tesmira::vn003
