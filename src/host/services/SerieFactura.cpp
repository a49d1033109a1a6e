#include "host/services/SerieFactura.h"

#include "db/Connection.h"
#include "forms/SeriesField.h"

namespace tesmira::host {

void conectaSerieFactura(forms::SeriesField& campo, Entorno& entorno)
{
    db::Connection& conexion = entorno.conexion;
    campo.validationHook = [&conexion](forms::SeriesField& serie, std::string& error) {
        if (serie.seriesCode().empty()) {
            error = "Seleccione la serie de la factura";
            return false;
        }
        auto rs = conexion.Execute("SELECT Sf_Siguiente FROM Serie_Factura WHERE Sf_Cve_Serie = '" +
                                   db::quoted(serie.seriesCode()) + "' AND Sc_Cve_Sucursal = '" +
                                   db::quoted(serie.branch()) + "' AND Es_Cve_Estado = 'AC'");
        if (rs.Eof()) {
            error = "La serie " + serie.seriesCode() + " no es una serie de facturas activa de la sucursal " +
                    serie.branch();
            return false;
        }
        const auto siguiente = static_cast<int32_t>(rs.Fields("Sf_Siguiente").toInt());
        serie.setSeriesNumber(siguiente);
        serie.setFolio(serie.seriesCode() + std::to_string(siguiente));
        return true;
    };
}

} // namespace tesmira::host
