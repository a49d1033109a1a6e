// Analytic dimensions of a document: project, cost centre, business unit, fixed asset, reading.
#include "db/Connection.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

bool frmVN003::Frame_Inserta(const std::string& tabla, const std::string& folio)
{
    MensajeError.clear();
    try {
        const std::string documento = "('" + db::quoted(tabla) + "', '" + db::quoted(folio) + "', '";
        const struct {
            TextField& campo;
            const char* insert;
        } dimensiones[] = {
            {txtProyecto, "INSERT INTO Documento_Proyecto(Dp_Tabla, Dp_Documento, Py_Cve_Proyecto) Values "},
            {txtCentroCosto, "INSERT INTO Documento_Centro_Costo(Dc_Tabla, Dc_Documento, Cc_Cve_Centro_Costo) Values "},
            {txtUen,
             "INSERT INTO Documento_UEN(Du_Tabla, Du_Documento, Uen_Cve_Unidad_Estrategica_Negocio) Values "},
            {txtActivoFijo, "INSERT INTO Documento_Activo_Fijo(Da_Tabla, Da_Documento, Af_Cve_Activo_Fijo) Values "},
        };
        for (const auto& d : dimensiones) {
            if (d.campo.text().empty())
                continue;
            TextoSQL = d.insert + documento + db::quoted(d.campo.text()) + "')";
            Sistema().Conexion().Execute(TextoSQL);
        }
        // A visible reading is stored even when empty.
        if (txtLectura.visible()) {
            TextoSQL = "INSERT INTO Documento_Lectura(Dl_Tabla, Dl_Documento, Dl_Lectura) Values " + documento +
                       db::quoted(txtLectura.text()) + "')";
            Sistema().Conexion().Execute(TextoSQL);
        }
        return true;
    } catch (const std::exception& e) {
        MensajeError = std::string("Frame_Inserta()\r\n") + e.what();
        return false;
    }
}

void frmVN003::Frame_Carga(const std::string& tabla, const std::string& folio)
{
    const host::Utilerias& u = Utilerias();
    txtProyecto.setText(u.BuscaDatoCondicion("Documento_Proyecto", "Dp_Documento", folio, "Py_Cve_Proyecto", false,
                                             " Dp_Tabla = '" + db::quoted(tabla) + "' AND " + " Dp_ID = '0000'"));
    txtCentroCosto.setText(u.BuscaDato("Documento_Centro_Costo", "Dc_Documento", folio, "Cc_Cve_Centro_Costo", false,
                                       "Dc_Tabla", tabla, ""));
    txtUen.setText(u.BuscaDato("Documento_UEN", "Du_Documento", folio, "Uen_Cve_Unidad_Estrategica_Negocio", false,
                               "Du_Tabla", tabla, ""));
    txtActivoFijo.setText(u.BuscaDato("Documento_Activo_Fijo", "Da_Documento", folio, "Af_Cve_Activo_Fijo", false,
                                      "Da_Tabla", tabla, ""));
    txtLectura.setText(u.BuscaDato("Documento_Lectura", "Dl_Documento", folio, "Dl_Lectura", false, "Dl_Tabla",
                                   tabla, ""));
}

} // namespace tesmira::vn003
