#include "host/output/EnvioDocumento.h"

#include "base/Text.h"
#include "db/Connection.h"
#include "host/services/ServiciosSql.h"
#include "host/writers/Escritura.h"

namespace tesmira::host {

using sql::texto;

EnvioDocumento::EnvioDocumento(Entorno& entorno) : m_e(entorno) {}

EnvioDocumento::~EnvioDocumento() = default;

bool EnvioDocumento::EnviaDocumento(const std::string& kind, const std::string& folio, int)
{
    struct Tipo {
        const char* nombre;
        const char* tabla;
        const char* clave;
    };
    static constexpr Tipo kTipos[] = {
        {"Factura", "Factura", "Fc_Factura"},
        {"Remision", "Remision_Encabezado", "Rm_Folio"},
        {"Venta", "Venta_Encabezado", "Vn_Folio"},
    };
    const Tipo* tipo = nullptr;
    for (const auto& t : kTipos)
        if (sameKey(kind, t.nombre))
            tipo = &t;
    if (!tipo) {
        m_ultimoError = "No se envían documentos de tipo: " + kind;
        return false;
    }
    auto& c = m_e.conexion;
    auto doc = c.Execute(std::string("SELECT Cl_Cve_Cliente FROM ") + tipo->tabla + " WHERE " + tipo->clave + " = " +
                         texto(folio));
    if (folio.empty() || doc.Eof()) {
        m_ultimoError = "No existe el documento " + kind + " " + folio;
        return false;
    }
    auto cliente = c.Execute("SELECT Cl_Email FROM Cliente WHERE Cl_Cve_Cliente = " +
                             texto(doc.Fields("Cl_Cve_Cliente").toString()));
    const std::string para = cliente.Eof() ? "" : cliente.Fields("Cl_Email").toString();
    // Nobody to send it to is not a failure of the save that asked.
    if (para.empty())
        return true;
    const std::string fecha = escritura::sello(m_e);
    c.Execute("INSERT INTO Correo_Salida (Co_Tabla, Co_Documento, Co_Para, Co_Asunto, Co_Cuerpo, Co_Adjunto, Co_Fecha, "
              "Es_Cve_Estado) VALUES (" + texto(tipo->nombre) + ", " + texto(folio) + ", " + texto(para) + ", " +
              texto(std::string(tipo->nombre) + " " + folio) + ", " +
              texto("Adjuntamos el documento " + std::string(tipo->nombre) + " " + folio + ".") + ", " +
              texto(std::string(tipo->nombre) + "|" + folio) + ", " + texto(fecha) + ", 'PE')");
    return true;
}

} // namespace tesmira::host
