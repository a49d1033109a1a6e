#pragma once
// Stock taken out by a document line and put back when the document is cancelled. Every
// piece taken (warehouse stock, location stock, lot, serial number) is one
// Movimiento_Inventario row, so the way back needs nothing but those rows:
//   warehouse   location ''  lot ''  serial ''   -> Existencia
//   location    location set lot ''  serial ''   -> Existencia_Ubicacion
//   lot         lot set                          -> Existencia_Lote
//   serial      serial set (location where it lay, if any) -> Existencia_Serie (+ _Ubicacion_Serie)
#include <string>
#include <vector>

namespace tesmira::db {
class Connection;
}

namespace tesmira::host::inventario {

struct Salida {
    std::string tabla, documento, partida;
    std::string pedido; // order the document delivers: serial numbers reserved on it may go
    std::string sucursal, almacen, ubicacion;
    std::string producto, talla = "00", color = "00";
    // The product's type (Pr_Tipo_Producto) when the caller has read it; "" reads it here.
    std::string tipo;
    // Quantities in the units given; converted to the stock's units.
    double cantidad1 = 0, cantidad2 = 0;
    std::string unidad1, unidad2;
    // One lot; "" on a lot product of a lot warehouse takes lots by earliest expiry.
    std::string lote;
    std::vector<std::string> series;
    std::string usuario, fecha;
};

// Takes the line's stock out and records the lots (Lote_Documento) and serial numbers
// (Serie_Documento) of the line. Answers "" or the reason it cannot, having written nothing.
// Warehouse stock may go below zero (deliveries ahead of receipts); a location, a lot or a
// serial number must cover what is taken.
std::string saca(db::Connection& c, const Salida& s);

// Puts back everything the document's movements took and deletes the movements.
void devuelve(db::Connection& c, const std::string& tabla, const std::string& documento);

// "a|b|c" -> {"a","b","c"}, blanks trimmed, empty pieces dropped.
std::vector<std::string> separa(const std::string& text, char sep = '|');

} // namespace tesmira::host::inventario
