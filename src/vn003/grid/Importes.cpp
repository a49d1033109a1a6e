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
    struct PesoVolumen {
        double peso = 0, volumen = 0;
        bool leido = false;
    };

    // `productos`: the product of each grid row, in row order.
    explicit PesosVolumenes(const std::vector<std::string>& productos) : m_renglones(productos)
    {
        std::vector<Value> claves;
        m_productos.reserve(productos.size());
        m_porRenglon.reserve(productos.size());
        for (const std::string& p : productos) {
            const auto [it, nueva] = m_productos.try_emplace(clave(p));
            if (nueva)
                claves.emplace_back(p);
            m_porRenglon.push_back(&it->second);
        }
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
                if (const auto it = m_productos.find(clave(rs.Fields(size_t{0}).toString())); it != m_productos.end())
                    it->second = {rs.Fields(size_t{1}).toDouble(), rs.Fields(size_t{2}).toDouble(), true};
        }
    }

    PesoVolumen lee(size_t renglon) const
    {
        if (m_porRenglon[renglon]->leido)
            return *m_porRenglon[renglon];
        const std::string& producto = m_renglones[renglon];
        const double peso = Utilerias().PesoProducto(producto);
        return {peso, Utilerias().VolumenProducto(producto), true};
    }

private:
    static std::string clave(std::string_view producto) { return lowerAscii(withoutTrailingBlanks(producto)); }

    const std::vector<std::string>& m_renglones;
    std::unordered_map<std::string, PesoVolumen> m_productos;
    std::vector<const PesoVolumen*> m_porRenglon; // into m_productos, whose entries never move
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
    const PesosVolumenes pesos(productos);
    if (renglones > 0)
        g.moveFirst();
    for (int i = 0; i < renglones; ++i) {
        const double cantidad = numero(columnaCantidad1);
        t1 += cantidad;
        t2 += numero(columnaControl2);
        g.col(columnaImpuesto)
            .setValue(totales.agrega(numero(columnaDescontado), numero(columnaCuota) * cantidad,
                                     numero(columnaFactor)));
        const PesosVolumenes::PesoVolumen pv = pesos.lee(static_cast<size_t>(i));
        peso += cantidad * pv.peso;
        volumen += cantidad * pv.volumen;
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
