#include "host/output/ServicioDocumento.h"

#include "base/Vb.h"
#include "db/Connection.h"
#include "host/services/ServiciosSql.h"
#include "host/services/Utilerias.h"

#include <algorithm>
#include <cctype>

namespace tesmira::host {

namespace {

// Table and column names are written into the statement as they are: letters, digits and '_'.
bool esIdentificador(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isalnum(c) || c == '_'; })
        && !std::isdigit(static_cast<unsigned char>(s[0]));
}

} // namespace

// The hand-over is recorded in the document log (Bitacora_Documento, action "SERVICIO"),
// where the document service picks it up; the document must exist.
bool ServicioDocumento::Ejecuta(const std::string& table, const std::string& keyColumn, const std::string& folio)
{
    if (!esIdentificador(table) || !esIdentificador(keyColumn)) {
        m_ultimoError = "Tabla o columna no válida: " + table + "." + keyColumn;
        return false;
    }
    if (folio.empty()) {
        m_ultimoError = "No hay documento que entregar al servicio";
        return false;
    }
    if (sql::valor(m_e.conexion, "SELECT " + keyColumn + " FROM " + table + " WHERE " + keyColumn + " = "
                                     + sql::texto(folio))
            .isNull()) {
        m_ultimoError = "No existe el documento " + folio + " en " + table;
        return false;
    }
    const Utilerias utilerias(m_e);
    m_e.conexion.Execute("INSERT INTO Bitacora_Documento (Bd_Tabla, Bd_Documento, Bd_Accion, Oper_Ult_Modif, "
                         "Fecha_Ult_Modif) VALUES ("
                         + sql::texto(table) + ", " + sql::texto(folio) + ", 'SERVICIO', " + sql::texto(m_e.usuario)
                         + ", " + sql::texto(utilerias.FormatoFechaHora(utilerias.FechaServidor())) + ")");
    return true;
}

} // namespace tesmira::host
