// The stock-only order loader: no line gets more than the warehouse holds.
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/output/Impresion.h"
#include "host/services/Lotes.h"
#include "host/services/Permisos.h"
#include "host/services/Series.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/shell/AvanceCarga.h"
#include "vn003/loading/Catalogo.h"
#include "vn003/loading/ColumnasPartida.h"
#include "vn003/loading/ConsultasCarga.h"

#include <algorithm>

namespace tesmira::vn003 {

namespace {

std::string separadoPorComas(std::string texto)
{
    std::replace(texto.begin(), texto.end(), '|', ',');
    return texto;
}

// The product's columns of the pending line and where it is costed, found once per load.
struct CamposProducto {
    explicit CamposProducto(const db::Recordset& rs)
        : descripcion(rs.column("Pr_Descripcion"))
        , tipo(rs.column("Pr_Tipo_Producto"))
        , manejaTalla(rs.column("Pr_Maneja_Talla"))
        , manejaColor(rs.column("Pr_Maneja_Color"))
        , porcentajeVariacion(rs.column("Pr_Porcentaje_Variacion"))
        , sucursal(rs.column("Sc_Cve_Sucursal"))
        , almacen(rs.column("Al_Cve_Almacen"))
    {
    }
    size_t descripcion, tipo, manejaTalla, manejaColor, porcentajeVariacion, sucursal, almacen;
};

// What the loader takes of one pending line: all of it, or what the warehouse holds.
struct Cantidades {
    double q1, c1, c2;
};

// The report's entry of a line cut short: product, then size, colour, lots or serials as it has them.
std::string entradaReporte(const db::Recordset& rs, const std::string& folioPedido)
{
    const std::string producto = rs.Fields("Pr_Cve_Producto").toString();
    const std::string tipo = rs.Fields("Pr_Tipo_Producto").toString();
    const std::string idPartida = rs.Fields("Pd_ID").toString();
    std::string entrada = "Producto:" + producto + " - " + rs.Fields("Pd_Concepto").toString() + "\r\n";
    if (rs.Fields("Pr_Maneja_Talla").toString() == "SI")
        entrada += "   TALLA:" + rs.Fields("Tl_Cve_Talla").toString() + " - " + rs.Fields("Tl_Descripcion").toString() +
                   "\r\n";
    if (rs.Fields("Pr_Maneja_Color").toString() == "SI")
        entrada += "   COLOR:" + rs.Fields("Cl_Cve_Color").toString() + " - " + rs.Fields("Cl_Descripcion").toString() +
                   "\r\n";
    if (tipo == "02") {
        host::Lotes lotes(Sistema().entorno());
        entrada += "   LOTES:" + separadoPorComas(lotes.LoteDocumento("PEDIDO", folioPedido, idPartida)) + "\r\n";
    }
    if (tipo == "03") {
        host::Series series(Sistema().entorno());
        entrada += "   SERIES:" +
                   separadoPorComas(series.SeriesPedido("PEDIDO", folioPedido, idPartida, producto, "%", "%")) +
                   "\r\n";
    }
    return entrada;
}

// Cuts a stocked line to what the header's warehouse holds, adding it to the report when it falls
// short. False (the load stops, the message shown) when the stock cannot be turned into unit 1.
bool ajustaAExistencia(frmVN003& f, const db::Recordset& rs, const LineaPedido& l, Cantidades& q, bool& parcial,
                       std::string& reporte)
{
    const std::string sucursal = f.txt_Sc_Cve_Sucursal.value().toString();
    const std::string almacen = f.txt_Al_Cve_Almacen.value().toString();
    const double s1 = f.Permisos->Existencia(sucursal, almacen, l.producto, l.talla, l.color, 1, l.unidadControl1);
    const double s2 = f.Permisos->Existencia(sucursal, almacen, l.producto, l.talla, l.color, 2, l.unidadControl2);
    if (s1 > l.control1)
        return true;
    const double factor = Utilerias().FactorConversion(l.producto, l.unidadControl1, l.unidad1);
    if (factor == 0) {
        f.TextoSQL = "Imposible cargar la partida actual, producto: " + l.producto + " - " +
                     rs.Fields("Pr_Descripcion").toString() + "\r\n" + "Debido a que la conversión: " +
                     l.unidadControl1 + " -> " + l.unidad1;
        Sistema().Mensaje(f.TextoSQL, vb::vbExclamation, "Tesmira", &f, "VN003", "ERR-ID:7500055");
        return false;
    }
    q = {s1 * factor, s1, s2};
    if (l.control1 > s1) {
        parcial = true;
        reporte += entradaReporte(rs, f.txt_Pd_Folio.text());
    }
    return true;
}

// The pending line as the grid gets it, for the quantities actually loaded. The product's
// columns come with the pending line.
frmVN003::PartidaPedido partida(frmVN003& f, const db::Recordset& rs, const CamposProducto& c, const LineaPedido& l,
                                const Cantidades& q, CatalogoCarga& catalogo)
{
    frmVN003::PartidaPedido p;
    copiaLinea(p, l, q.c1, q.c1);
    p.sucursalInventario = l.sucursalInventario;
    p.almacenInventario = l.almacenInventario;
    p.descripcion = l.concepto.empty() ? rs.Fields(c.descripcion).toString() : l.concepto;
    p.manejaTalla = rs.Fields(c.manejaTalla).toString();
    p.manejaColor = rs.Fields(c.manejaColor).toString();
    p.porcentajeVariacion = rs.Fields(c.porcentajeVariacion).toDouble();
    p.tipoProducto = rs.Fields(c.tipo).toString();
    p.cantidad1 = q.q1;
    p.control1 = q.c1;
    p.control2 = q.c2;
    // This loader costs every line in the order's costing unit.
    p.unidadCosto = p.unidadCostoPedido;
    p.costo = f.Permisos->CostoProducto(rs.Fields(c.sucursal).toString(), rs.Fields(c.almacen).toString(), l.producto,
                                        l.talla, l.color, 0, "");
    importesPara(p, l, q.q1);
    cierraPartida(p, l, catalogo);
    return p;
}

// A lot or serial comes from the picker later; reserved serials are taken when the company asks.
void asignaLoteSerie(frmVN003& f, const ColumnasPartida& c, const frmVN003::PartidaPedido& p)
{
    f.ssDetalle.col(c.lote).setValue("");
    f.ssDetalle.col(c.serie).setValue("");
    if (p.tipoProducto == "03" && f.Parametros.ApartarSerie) {
        host::Series series(Sistema().entorno());
        f.ssDetalle.col(c.serie)
            .setValue(series.SeriesPedido("PEDIDO", f.txt_Pd_Folio.text(), p.documentoId, p.producto, "%", "%"));
    }
}

} // namespace

void frmVN003::Cargar_Solo_Producto_Con_Existencia()
{
    if (txt_Pd_Folio.text().empty())
        return;
    try {
        txt_Pd_Folio.refresh();
        const MensajesCargaPedido mensajes{"El pedido especificado no contiene productos pendientes por remisionar",
                                           "ERR-ID:7500052", "ERR-ID:7500053", "ERR-ID:7500054"};
        CargaPendientes carga(
            *this, consultas::pendientesSoloExistencia(txt_Pd_Folio.text(), Sistema().SucursalUsuario()), mensajes);
        if (!carga.lista())
            return;

        bool parcial = false;
        std::string reporte;
        db::Recordset& rs = carga.lineas();
        const ColumnasPartida columnas(ssDetalle);
        const CamposProducto campos(rs);
        {
            // Stock and cost asked line after line are read once for the order, for the rows only.
            host::Permisos::ExistenciasPedido existencias(*Permisos, txt_Sc_Cve_Sucursal.value().toString(),
                                                          txt_Al_Cve_Almacen.value().toString(), txt_Pd_Folio.text());
            for (AvanceCarga avance(rs, ssDetalle); !rs.Eof() && avance(); rs.MoveNext()) {
                const LineaPedido linea = carga.lee();
                const std::string tipo = rs.Fields(campos.tipo).toString();
                Cantidades q{linea.cantidad1, linea.control1, linea.control2};
                const bool llevaExistencia = tipo != "99" && tipo != "04";
                if (llevaExistencia && Parametros.SurtirSoloExistente &&
                    !ajustaAExistencia(*this, rs, linea, q, parcial, reporte))
                    return;
                if (!(tipo == "99" || (q.c1 > 0 && q.c2 > 0)))
                    continue;
                const PartidaPedido p = partida(*this, rs, campos, linea, q, carga.catalogo());
                AgregaPartidaPedido(p, carga.catalogo(), columnas);
                asignaLoteSerie(*this, columnas, p);
            }
        }
        ssDetalle.moveFirst();
        rs.Close();
        if (parcial && !Sistema().Progreso().Detenido()) {
            host::Impresion impresion(Sistema().entorno());
            impresion.MuestraTexto("Se surtio parcialmente el pedido, debio a que no todos los productos tienen "
                                   "existencia suficiente\r\n" +
                                   reporte);
        }
    } catch (const std::exception& e) {
        ReportaError("Cargar_Solo_Producto_Con_Existencia()", "ERR-ID:7500056", e.what(),
                     "Cargar_Solo_Producto_Con_Existencia()");
    }
}

} // namespace tesmira::vn003
