#include "host/services/CamposAdicionales.h"

#include "base/Text.h"
#include "db/Connection.h"
#include "forms/Toolbar.h"
#include "host/services/ServiciosSql.h"

namespace tesmira::host {

CamposAdicionales::CamposAdicionales(Entorno& entorno, std::string tabla)
    : m_e(entorno)
    , m_tabla(std::move(tabla))
{
    db::Recordset rs = m_e.conexion.Execute(
        "SELECT Ca_Campo, Ca_Descripcion FROM Campo_Adicional_Definicion WHERE Ca_Tabla = " + sql::texto(m_tabla)
        + " ORDER BY Ca_Orden, Ca_Campo");
    for (; !rs.Eof(); rs.MoveNext())
        m_campos.push_back({rs.Fields("Ca_Campo").toString(), rs.Fields("Ca_Descripcion").toString(), {}});
}

CamposAdicionales::~CamposAdicionales()
{
    if (!m_toolbar)
        return;
    m_toolbar->grabaCamposHook = nullptr;
    m_toolbar->cargaCamposHook = nullptr;
    m_toolbar->removeObserver(m_observer);
}

void CamposAdicionales::instala(forms::Toolbar& toolbar)
{
    m_toolbar = &toolbar;
    toolbar.cargaCamposHook = [this](const std::string& folio) { carga(folio); };
    toolbar.grabaCamposHook = [this](const std::string& folio, std::string& error) { return graba(folio, error); };
    // A new document or a cleared screen starts without the previous one's values; editing
    // (Viewing -> Editing) keeps them.
    m_observer = toolbar.addObserver([this, last = toolbar.state()]() mutable {
        const forms::ToolbarState now = m_toolbar->state();
        if (now != last && (now == forms::ToolbarState::Empty || now == forms::ToolbarState::New))
            limpia();
        last = now;
    });
}

bool CamposAdicionales::asigna(const std::string& nombre, const std::string& valor)
{
    for (Campo& c : m_campos)
        if (sameKey(c.nombre, nombre)) {
            c.valor = valor;
            return true;
        }
    return false;
}

void CamposAdicionales::limpia()
{
    for (Campo& c : m_campos)
        c.valor.clear();
}

void CamposAdicionales::carga(const std::string& folio)
{
    limpia();
    if (m_campos.empty())
        return;
    db::Recordset rs = m_e.conexion.Execute("SELECT Ca_Campo, Ca_Valor FROM Campo_Adicional WHERE Ca_Tabla = "
                                            + sql::texto(m_tabla) + " AND Ca_Documento = " + sql::texto(folio));
    for (; !rs.Eof(); rs.MoveNext())
        asigna(rs.Fields("Ca_Campo").toString(), rs.Fields("Ca_Valor").toString());
}

bool CamposAdicionales::graba(const std::string& folio, std::string& error)
{
    if (folio.empty()) {
        error = "Documento sin folio";
        return false;
    }
    try {
        m_e.conexion.Execute("DELETE FROM Campo_Adicional WHERE Ca_Tabla = " + sql::texto(m_tabla)
                             + " AND Ca_Documento = " + sql::texto(folio));
        for (const Campo& c : m_campos)
            if (!c.valor.empty())
                m_e.conexion.Execute("INSERT INTO Campo_Adicional (Ca_Tabla, Ca_Documento, Ca_Campo, Ca_Valor) VALUES ("
                                     + sql::texto(m_tabla) + ", " + sql::texto(folio) + ", " + sql::texto(c.nombre)
                                     + ", " + sql::texto(c.valor) + ")");
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    m_ultimoFolio = folio;
    return true;
}

} // namespace tesmira::host
