#include "vn003/persist/Bloqueo.h"

#include "base/VbConstants.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

namespace tesmira::vn003::bloqueo {

void tomaPedido(frmVN003& f)
{
    f.TextoSQL = "UPDATE Pedido_Encabezado SET Oper_Ult_Modif = '" + db::quoted(Sistema().UsuarioActual()) +
                 "' WHERE Pd_Folio = '" + db::quoted(f.txt_Pd_Folio.text()) + "'";
    Sistema().Conexion().Execute(f.TextoSQL);
}

std::string versionRemision(const std::string& folio)
{
    auto rs = Sistema().Conexion().Execute(
        "SELECT Es_Cve_Estado, Rm_Facturado, Rm_Factura, Rm_Total, Oper_Ult_Modif, Fecha_Ult_Modif "
        "FROM Remision_Encabezado WHERE Rm_Folio = '" + db::quoted(folio) + "'");
    if (rs.Eof())
        return "";
    std::string version;
    for (size_t i = 0; i < rs.columns().size(); ++i)
        version += rs.Fields(i).toString() + "|";
    return version;
}

bool remisionSinCambios(frmVN003& f, const std::string& folio)
{
    // A no-op write takes the row's lock without touching the stamp it is compared by.
    Sistema().Conexion().Execute("UPDATE Remision_Encabezado SET Oper_Ult_Modif = Oper_Ult_Modif WHERE Rm_Folio = '" +
                                 db::quoted(folio) + "'");
    return f.VersionRemision.empty() || versionRemision(folio) == f.VersionRemision;
}

std::string remisionCambiada(const std::string& folio)
{
    return "La remisión " + folio + " fue modificada por otro usuario desde que se consultó; consúltela de nuevo";
}

bool esContencion(const std::exception& e)
{
    const auto* db = dynamic_cast<const db::DbError*>(&e);
    return db && db->isContention();
}

void avisaOcupado(frmVN003& f, const std::string& id)
{
    // Called from a catch block: nothing may escape from here.
    try {
        if (Sistema().Conexion().inTransaction())
            Sistema().Conexion().RollbackTrans();
    } catch (const std::exception&) {
    }
    try {
        Sistema().Mensaje("El pedido está siendo remisionado por otro usuario, intente de nuevo", vb::vbExclamation,
                          "Tesmira", &f, "VN003", id);
    } catch (const std::exception&) {
    }
}

} // namespace tesmira::vn003::bloqueo
