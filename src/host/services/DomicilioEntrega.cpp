#include "host/services/DomicilioEntrega.h"

#include "db/Connection.h"
#include "host/services/ServiciosSql.h"

namespace tesmira::host {

namespace {

bool sinDomicilio(const std::string& id) { return id.empty() || id == "0000"; }

} // namespace

// Only an address recorded for the same owner counts: a document whose customer changed
// has no address of the new one yet.
std::string DomicilioEntrega::DomicilioDocumento(const std::string& table, const std::string& folio,
                                                 const std::string& ownerTable, const std::string& owner) const
{
    const std::string id =
        sql::valor(m_e.conexion, "SELECT De_ID FROM Domicilio_Documento WHERE Dd_Tabla = " + sql::texto(table)
                                     + " AND Dd_Documento = " + sql::texto(folio) + " AND Dd_Tipo = "
                                     + sql::texto(ownerTable) + " AND Dd_Clave = " + sql::texto(owner))
            .toString();
    return sinDomicilio(id) ? "0000" : id;
}

std::string DomicilioEntrega::DomicilioPredeterminado(const std::string& ownerTable, const std::string& owner,
                                                      const std::string& fallback) const
{
    const std::string id =
        sql::valor(m_e.conexion, "SELECT TOP 1 De_ID FROM Direccion_Entrega WHERE De_Tabla = " + sql::texto(ownerTable)
                                     + " AND De_Documento = " + sql::texto(owner)
                                     + " AND De_Predeterminado = 'SI' AND Es_Cve_Estado <> 'BA' ORDER BY De_ID")
            .toString();
    return id.empty() ? fallback : id;
}

// No address ("" or "0000") removes what the document had; an address must be one of the
// owner's addresses in service.
bool DomicilioEntrega::GrabaDomicilioDocumento(const std::string& table, const std::string& folio,
                                               const std::string& ownerTable, const std::string& owner,
                                               const std::string& id) const
{
    if (table.empty() || folio.empty()) {
        m_ultimoError = "Faltan la tabla o el folio del documento para grabar su dirección de entrega";
        return false;
    }
    const std::string key = " WHERE Dd_Tabla = " + sql::texto(table) + " AND Dd_Documento = " + sql::texto(folio);
    if (sinDomicilio(id)) {
        m_e.conexion.Execute("DELETE FROM Domicilio_Documento" + key);
        return true;
    }
    const Value exists = sql::valor(m_e.conexion, "SELECT De_ID FROM Direccion_Entrega WHERE De_Tabla = "
                                                      + sql::texto(ownerTable) + " AND De_Documento = "
                                                      + sql::texto(owner) + " AND De_ID = " + sql::texto(id)
                                                      + " AND Es_Cve_Estado <> 'BA'");
    if (exists.isNull()) {
        m_ultimoError = "La dirección de entrega " + id + " no existe para " + owner;
        return false;
    }
    sql::actualizaOInserta(m_e.conexion,
                           "UPDATE Domicilio_Documento SET Dd_Tipo = " + sql::texto(ownerTable) + ", Dd_Clave = "
                               + sql::texto(owner) + ", De_ID = " + sql::texto(id) + key,
                           "INSERT INTO Domicilio_Documento (Dd_Tabla, Dd_Documento, Dd_Tipo, Dd_Clave, De_ID) VALUES ("
                               + sql::texto(table) + ", " + sql::texto(folio) + ", " + sql::texto(ownerTable) + ", "
                               + sql::texto(owner) + ", " + sql::texto(id) + ")");
    return true;
}

} // namespace tesmira::host
