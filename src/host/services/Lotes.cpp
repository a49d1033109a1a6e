#include "host/services/Lotes.h"

#include "base/Error.h"
#include "base/Text.h"
#include "base/Vb.h"
#include "db/Connection.h"
#include "host/services/Dialogos.h"
#include "host/services/ServiciosSql.h"

#include <algorithm>

namespace tesmira::host {

// Every document keeps its lines' lots in Lote_Documento: the lots reserved on an order
// line ('PEDIDO'), the lots a note line took ('Remision'), in lot order.
std::string Lotes::LoteDocumento(const std::string& table, const std::string& folio, const std::string& id) const
{
    db::Recordset rs = m_e.conexion.Execute("SELECT Lt_Cve_Lote FROM Lote_Documento WHERE Ld_Tabla = ? AND "
                                            "Ld_Documento = ? AND Ld_ID = ? ORDER BY Lt_Cve_Lote",
                                            {table, folio, id});
    std::string lots;
    for (; !rs.Eof(); rs.MoveNext())
        lots += (lots.empty() ? "" : "|") + rs.Fields("Lt_Cve_Lote").toString();
    return lots;
}

namespace {

// Plain printable ASCII compares the same on every engine: case and trailing blanks aside.
bool comparable(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

std::string comoLaBase(std::string_view id) { return lowerAscii(withoutTrailingBlanks(id)); }

} // namespace

LotesDocumento::LotesDocumento(const Lotes& lotes, std::string table, std::string folio)
    : m_lotes(lotes), m_table(std::move(table)), m_folio(std::move(folio))
{
    // In each line's lot order, as LoteDocumento reads them.
    db::Recordset rs = lotes.m_e.conexion.Execute("SELECT Ld_ID, Lt_Cve_Lote FROM Lote_Documento WHERE Ld_Tabla = ? "
                                                  "AND Ld_Documento = ? ORDER BY Ld_ID, Lt_Cve_Lote",
                                                  {m_table, m_folio});
    for (; !rs.Eof(); rs.MoveNext()) {
        const Value& id = rs.Fields(size_t{0});
        if (!id.isText() || !comparable(id.toString())) {
            m_lineas.clear();
            return;
        }
        const auto [it, nueva] = m_lineas.try_emplace(comoLaBase(id.toString()), Linea{id.toString(), "", false});
        Linea& l = it->second;
        l.dosGrafias = l.dosGrafias || l.id != id.toString();
        l.lotes += (nueva ? "" : "|") + rs.Fields(1).toString();
    }
}

std::string LotesDocumento::lote(const std::string& id) const
{
    if (comparable(id))
        if (const auto it = m_lineas.find(comoLaBase(id)); it != m_lineas.end() && !it->second.dosGrafias)
            return it->second.lotes;
    return m_lotes.LoteDocumento(m_table, m_folio, id);
}

// Mode 1, the only one: pick among the lots on hand, first to expire first. The quantity
// picked must be on hand in the lot; a control-2 quantity left at 0 follows the lot's own
// proportion. Cancelled or refused: the lot given comes back and Cantidad1/Cantidad2 keep
// what the caller put in them.
std::string Lotes::SeleccionaLote(const OpcionesLote& opciones, std::string& currentLot)
{
    if (opciones.modo != 1)
        throw Error("SeleccionaLote: modo " + std::to_string(opciones.modo) + " desconocido");
    if (Producto.empty()) {
        m_ultimoError = "No se indicó el producto del lote";
        return currentLot;
    }
    std::string where = " WHERE Sc_Cve_Sucursal = " + sql::texto(opciones.sucursal) + " AND Al_Cve_Almacen = "
        + sql::texto(opciones.almacen) + " AND Pr_Cve_Producto = " + sql::texto(Producto);
    if (!Talla.empty() && Talla != "%")
        where += " AND Tl_Cve_Talla = " + sql::texto(Talla);
    if (!Color.empty() && Color != "%")
        where += " AND Cl_Cve_Color = " + sql::texto(Color);
    db::Recordset rs = m_e.conexion.Execute(
        "SELECT Lt_Cve_Lote AS LOTE, Lt_Fecha_Caducidad AS CADUCIDAD, Lt_Cantidad_Control_1 AS CANTIDAD_1, "
        "Lt_Cantidad_Control_2 AS CANTIDAD_2 FROM Existencia_Lote" + where
        + " AND Lt_Cantidad_Control_1 > 0 ORDER BY Lt_Fecha_Caducidad, Lt_Cve_Lote");
    Lista lista;
    lista.titulo = "Lotes de " + Producto;
    lista.cantidad1 = Cantidad1;
    lista.cantidad2 = Cantidad2;
    lista.columnas = rs.columns();
    for (const auto& row : rs.rows())
        lista.filas.push_back({row[0].toString(), row[1].isNull() ? "" : vb::formatDate(row[1].toDate()),
                               row[2].toString(), row[3].toString()});
    const auto chosen = m_e.dialogos.eligeLote(lista);
    if (!chosen)
        return currentLot;
    for (const auto& row : rs.rows()) {
        if (!sameKey(row[0].toString(), chosen->lote))
            continue;
        const double onHand1 = row[2].toDouble();
        if (chosen->cantidad1 <= 0 || chosen->cantidad1 > onHand1) {
            m_ultimoError = "La cantidad del lote " + chosen->lote + " debe ser mayor que cero y no mayor que "
                + row[2].toString();
            return currentLot;
        }
        Cantidad1 = chosen->cantidad1;
        Cantidad2 = chosen->cantidad2 > 0 ? chosen->cantidad2 : chosen->cantidad1 * row[3].toDouble() / onHand1;
        currentLot = row[0].toString();
        return currentLot;
    }
    m_ultimoError = "El lote " + chosen->lote + " no tiene existencia en " + opciones.sucursal + "/" + opciones.almacen;
    return currentLot;
}

} // namespace tesmira::host
