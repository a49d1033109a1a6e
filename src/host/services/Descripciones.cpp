#include "host/services/Descripciones.h"

#include "db/Connection.h"
#include "forms/Form.h"
#include "forms/TextField.h"

namespace tesmira::host {

namespace {

void muestraDescripcion(forms::Form& form, db::Connection& conexion, forms::TextField& campo)
{
    if (campo.sql.empty() || campo.sqlControlResultado.empty())
        return;
    auto* destino = dynamic_cast<forms::TextField*>(form.find(campo.sqlControlResultado));
    if (!destino)
        return;
    std::string descripcion;
    if (!campo.text().empty()) {
        // The query already quotes the mark ('?'): the key goes in as data.
        std::string sql;
        for (char c : campo.sql)
            sql += c == '?' ? db::quoted(campo.text()) : std::string(1, c);
        try {
            auto rs = conexion.Execute(sql);
            if (!rs.Eof())
                descripcion = rs.Fields(size_t{0}).toString();
        } catch (const std::exception&) {
            descripcion.clear();
        }
    }
    destino->setText(descripcion);
}

} // namespace

void conectaDescripciones(forms::Form& form, Entorno& entorno)
{
    db::Connection& conexion = entorno.conexion;
    for (const auto& control : form.controls())
        if (auto* campo = dynamic_cast<forms::TextField*>(control.get()))
            campo->refreshHook = [&form, &conexion](forms::TextField& t) { muestraDescripcion(form, conexion, t); };
}

} // namespace tesmira::host
