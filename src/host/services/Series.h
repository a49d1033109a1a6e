#pragma once
// Serial numbers: those recorded on a document line or reserved on an order line, and the
// serial picker over the serial stock tables.
#include "db/Recordset.h"
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class Series {
public:
    explicit Series(Entorno& entorno) : m_e(entorno) {}

    std::string Producto;
    // Quantity chosen in the picker.
    long Cantidad = 0;

    // The serial numbers of a document line, one row each (column Sr_Cve_Serie), in order.
    db::Recordset SeriesDocumento(const std::string& table, const std::string& folio, const std::string& id,
                                  const std::string& product, const std::string& size, const std::string& colour) const;
    // The serial numbers reserved on an order line, joined by "|".
    std::string SeriesPedido(const std::string& table, const std::string& folio, const std::string& id,
                             const std::string& product, const std::string& size, const std::string& colour) const;
    // Serial picker over the stock table with the filter (conditions separated by CR LF).
    // Cancelled: the serial it was given.
    std::string SeleccionaSerie(int mode, std::string& currentSerial, const std::string& stockTable,
                                const std::string& filter);
    std::string UltimoError() const { return m_ultimoError; }

private:
    Entorno& m_e;
    mutable std::string m_ultimoError;
};

} // namespace tesmira::host
