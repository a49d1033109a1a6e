#include "vn003/persist/Ampliadas.h"

#include "db/Connection.h"
#include "vn003/Publico.h"

namespace tesmira::vn003 {

bool TieneAmpliadas(const std::string& tabla, const std::string& folio)
{
    return !Sistema()
                .Conexion()
                .Execute("SELECT TOP 1 Dam_ID FROM Descripcion_Ampliada WHERE Dam_Tabla = ? AND Dam_Documento = ?",
                         {tabla, folio})
                .Eof();
}

} // namespace tesmira::vn003
