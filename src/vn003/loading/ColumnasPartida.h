#pragma once
// The grid columns a loader writes row after row, found by name once per load: a name looked
// up per cell costs more than the cell itself on a note of thousands of lines.
#include "forms/Grid.h"

namespace tesmira::vn003 {

struct ColumnasPartida {
    // Throws Error when the grid lacks one of them.
    explicit ColumnasPartida(const forms::Grid& g);

    int sucursalInventario, almacenInventario, documentoId, producto, descripcion;
    int talla, tallaDescripcion, color, colorDescripcion, ubicacion, manejaTalla, manejaColor;
    int cantidad1, unidad1, control1, unidadControl1, control2, unidadControl2;
    int porcentajeVariacion, tipoProducto, tipoTexto, lote, serie;
    int cantidadCosto, unidadCosto, costo, cuota, prFolio;
    int precioLista, precioListaImporte, descuentoFactor, descuentoImporte, precioDescontado;
    int precioDescontadoImporte, impuestoFactor, impuestoImporte, precioNeto, precioNetoImporte;
    int factorU1, factorU2, factorUC, redondearControl2, cubicado, unidadCosteo1, factorM3;
    int descamp, desampr;
};

} // namespace tesmira::vn003
