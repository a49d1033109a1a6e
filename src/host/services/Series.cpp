#include "host/services/Series.h"

#include "base/Error.h"
#include "base/Text.h"
#include "db/Connection.h"
#include "host/services/Dialogos.h"
#include "host/services/ServiciosSql.h"

#include <cmath>

namespace tesmira::host {

namespace {

// A serial number is unique per product, so size and colour do not narrow the search.
std::string seriesDeLinea(const std::string& table, const std::string& folio, const std::string& id,
                          const std::string& product)
{
    std::string statement = "SELECT Sr_Cve_Serie FROM Serie_Documento WHERE Sd_Tabla = " + sql::texto(table)
        + " AND Sd_Documento = " + sql::texto(folio) + " AND Sd_ID = " + sql::texto(id);
    if (!product.empty() && product != "%")
        statement += " AND Pr_Cve_Producto = " + sql::texto(product);
    return statement + " ORDER BY Sr_Cve_Serie";
}

} // namespace

db::Recordset Series::SeriesDocumento(const std::string& table, const std::string& folio, const std::string& id,
                                      const std::string& product, const std::string&, const std::string&) const
{
    return m_e.conexion.Execute(seriesDeLinea(table, folio, id, product));
}

std::string Series::SeriesPedido(const std::string& table, const std::string& folio, const std::string& id,
                                 const std::string& product, const std::string&, const std::string&) const
{
    db::Recordset rs = m_e.conexion.Execute(seriesDeLinea(table, folio, id, product));
    std::string serials;
    for (; !rs.Eof(); rs.MoveNext())
        serials += (serials.empty() ? "" : "|") + rs.Fields("Sr_Cve_Serie").toString();
    return serials;
}

// Mode 1, the only one: pick one serial number on hand. The stock table is the warehouse's
// ("" = Existencia_Serie, or EXISTENCIA_UBICACION_SERIE by location); the filter's lines are
// SQL conditions the caller built, all of which must hold. A quantity of 0 means one piece.
// Cancelled or refused: the serial number given comes back and Cantidad is left alone.
std::string Series::SeleccionaSerie(int mode, std::string& currentSerial, const std::string& stockTable,
                                    const std::string& filter)
{
    if (mode != 1)
        throw Error("SeleccionaSerie: modo " + std::to_string(mode) + " desconocido");
    std::string table;
    std::string columns;
    if (stockTable.empty() || sameKey(stockTable, "Existencia_Serie")) {
        table = "Existencia_Serie";
        columns = "Sr_Cve_Serie AS SERIE, Sr_Pedimento AS PEDIMENTO, Ex_Cantidad AS CANTIDAD";
    } else if (sameKey(stockTable, "Existencia_Ubicacion_Serie")) {
        table = "Existencia_Ubicacion_Serie";
        columns = "Sr_Cve_Serie AS SERIE, Ua_Cve_Ubicacion_Almacen AS UBICACION, Ex_Cantidad AS CANTIDAD";
    } else {
        throw Error("SeleccionaSerie: tabla de existencias desconocida '" + stockTable + "'");
    }
    if (Producto.empty()) {
        m_ultimoError = "No se indicó el producto de la serie";
        return currentSerial;
    }
    std::string where = " WHERE " + table + ".Pr_Cve_Producto = " + sql::texto(Producto) + " AND " + table
        + ".Ex_Cantidad > 0";
    if (table == "Existencia_Serie")
        where += " AND Existencia_Serie.Es_Cve_Estado = 'AC'";
    size_t from = 0;
    while (from <= filter.size()) {
        size_t to = filter.find("\r\n", from);
        if (to == std::string::npos)
            to = filter.size();
        if (const std::string condition = filter.substr(from, to - from); !condition.empty())
            where += " AND (" + condition + ")";
        from = to + 2;
    }
    db::Recordset rs = m_e.conexion.Execute("SELECT " + columns + " FROM " + table + where + " ORDER BY Sr_Cve_Serie");
    Lista lista;
    lista.titulo = "Series de " + Producto;
    lista.columnas = rs.columns();
    for (const auto& row : rs.rows())
        lista.filas.push_back({row[0].toString(), row[1].toString(), row[2].toString()});
    const auto chosen = m_e.dialogos.eligeSerie(lista);
    if (!chosen)
        return currentSerial;
    for (const auto& row : rs.rows()) {
        if (!sameKey(row[0].toString(), chosen->serie))
            continue;
        const double quantity = chosen->cantidad > 0 ? chosen->cantidad : 1;
        if (quantity > row[2].toDouble() || quantity != std::floor(quantity)) {
            m_ultimoError = "La serie " + chosen->serie + " tiene " + row[2].toString() + " pieza(s)";
            return currentSerial;
        }
        Cantidad = static_cast<long>(quantity);
        currentSerial = row[0].toString();
        return currentSerial;
    }
    m_ultimoError = "La serie " + chosen->serie + " no está disponible";
    return currentSerial;
}

} // namespace tesmira::host
