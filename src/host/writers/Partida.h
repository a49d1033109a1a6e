#pragma once
// The line record both document writers take (AsignaPartida): what one grid row hands over.
// The control-1 and cost quantities and every amount past the list price are derived by the
// writer.
#include <string>

namespace tesmira::host {

struct PartidaDocumento {
    std::string Sucursal_Inventario;
    std::string Almacen_Inventario;
    std::string Pr_Cve_Producto;
    std::string Pr_Descripcion;
    std::string Tl_Cve_Talla = "00";
    std::string Cl_Cve_Color = "00";
    double Cantidad_1 = 0;
    std::string Unidad_1;
    double Cantidad_Control_2 = 0;
    std::string Unidad_Control_2;
    double Costo = 0;
    double Costo_Importe = 0;
    std::string Pr_Folio;
    double Precio_Lista = 0;
    double Descuento_Factor = 0;
    // One lot, or "LOT@qty1@qty2" pieces joined by "|"; "" on a lot product in a lot
    // warehouse: the note takes lots by earliest expiry.
    std::string Lt_Cve_Lote;
    // Serial numbers of the line, several separated by "|".
    std::string Sr_Cve_Serie;
};

using PartidaRemision = PartidaDocumento;
using PartidaVenta = PartidaDocumento;

} // namespace tesmira::host
