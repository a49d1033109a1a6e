#pragma once
// A printed document as the printing service lays it out: who issues it, to whom, its lines
// with their lots and serial numbers, and its totals. The desktop paints it on pages; the
// service also writes it as text.
#include "base/Value.h"

#include <string>
#include <vector>

namespace tesmira::host {

struct LineaImpresa {
    std::string id, producto, descripcion, talla, color, unidad;
    double cantidad = 0, precio = 0, importe = 0;
    // Lots and serial numbers of the line, one text each ("Lote L-2602 (1)").
    std::vector<std::string> detalle;
};

struct DocumentoImpreso {
    std::string empresa, empresaRfc, empresaDireccion;
    std::string titulo, folio, cliente, clienteRfc, sucursal, almacen, moneda, referencia, estado, direccion, extra;
    Value fecha;
    double tipoCambio = 1, descuentoGlobal = 0, impuesto = 0;
    std::vector<LineaImpresa> lineas;

    double subtotal() const
    {
        double s = 0;
        for (const auto& l : lineas)
            s += l.importe;
        return s;
    }
    double total() const { return subtotal() - descuentoGlobal + impuesto; }
};

} // namespace tesmira::host
