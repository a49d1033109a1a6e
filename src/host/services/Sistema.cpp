#include "host/services/Sistema.h"

#include "base/Error.h"
#include "base/Text.h"
#include "base/Vb.h"
#include "db/Connection.h"
#include "host/services/Dialogos.h"
#include "host/services/Progreso.h"
#include "host/services/ServiciosSql.h"

namespace tesmira::host {

namespace {

// How the parameter store spells yes and no: SI/NO as every flag of the database, plus
// the numbers and words people type in a settings screen.
bool textoVerdadero(const std::string& text)
{
    const std::string t = upperAscii(trimmed(text));
    if (t == "SI" || t == "S" || t == "TRUE" || t == "VERDADERO" || t == "YES" || t == "Y")
        return true;
    return vb::val(t) != 0;
}

class SinProgreso final : public Progreso {
public:
    bool Avance(size_t, size_t) override { return true; }
    bool Detenido() const override { return false; }
};

} // namespace

db::Connection& Sistema::Conexion() const { return m_e.conexion; }

Progreso& Sistema::Progreso() const
{
    static SinProgreso silencioso;
    return m_e.progreso ? *m_e.progreso : silencioso;
}

int Sistema::Mensaje(const std::string& prompt, int flags, const std::string& title, const void*,
                     const std::string& source, const std::string& id) const
{
    return m_e.dialogos.mensaje(prompt, flags, title, source, id);
}

int Sistema::Aviso(const std::string& prompt, int flags, const std::string& title) const
{
    return m_e.dialogos.mensaje(prompt, flags, title, "", "");
}

Value Sistema::ParametroValor(const std::string& key, int, const std::string& type,
                              const std::string& defaultText) const
{
    const std::string kind = upperAscii(trimmed(type));
    if (kind != "B" && kind != "N" && kind != "T" && !kind.empty())
        throw Error("Tipo de parámetro desconocido '" + type + "' para " + key);
    // A key the company never set takes the caller's default; a key set to '' stays ''.
    const Value stored =
        sql::valor(m_e.conexion, "SELECT Pm_Valor FROM Parametro WHERE Pm_Clave = " + sql::texto(key));
    const std::string text = stored.isNull() ? defaultText : stored.toString();
    if (kind == "B")
        return Value(textoVerdadero(text));
    if (kind == "N")
        return Value(vb::val(text));
    return Value(text);
}

bool Sistema::Derecho(const std::string& screen, const std::string& right, const std::string&) const
{
    if (m_e.usuario.empty())
        return false;
    const Value allowed = sql::valor(m_e.conexion, "SELECT Dr_Permitido FROM Derecho_Usuario "
                                                   "WHERE Us_Cve_Usuario = " + sql::texto(m_e.usuario)
                                                       + " AND Dr_Pantalla = " + sql::texto(screen)
                                                       + " AND Dr_Cve_Derecho = " + sql::texto(right));
    return sql::esSi(allowed);
}

std::string Sistema::SucursalUsuario() const
{
    return sql::consulta(m_e.conexion, "SELECT Sc_Cve_Sucursal FROM Usuario WHERE Us_Cve_Usuario = ?", {m_e.usuario})
        .toString();
}

std::string Sistema::AlmacenUsuario() const
{
    return sql::valor(m_e.conexion, "SELECT Al_Cve_Almacen FROM Usuario WHERE Us_Cve_Usuario = "
                                        + sql::texto(m_e.usuario))
        .toString();
}

} // namespace tesmira::host
