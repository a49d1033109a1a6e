#pragma once
// What an order still has to deliver, read for every row of a save at once. The save re-checks
// each grid row against the order (under the order's lock); these answers are those the
// per-row statements would give, without a statement per row:
// - the ordered quantity of an order line: the save writes no order line, so the answer
//   holds for the whole save;
// - the pending quantity of an article: holds until the save stores a row of that article
//   (Escrita), after which the article's rows go back to the statements, which see the rows
//   this save stored. An article whose order or delivered lines mix units goes to them too.
// Build it after the note being replaced is gone and before the first row is stored.
#include "base/Value.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace tesmira::db {
class Connection;
}

namespace tesmira::vn003 {

class PendientesPedido {
public:
    PendientesPedido(db::Connection& c, const std::string& pedido);

    // False when the answer must come from the database; otherwise the pending quantity of
    // control 1 or 2 as the order's unit counts it, and that unit ("" without order lines).
    bool pendiente(const std::string& pedido, const std::string& producto, const std::string& talla,
                   const std::string& color, int control, float& cantidad, std::string& unidad) const;
    // False when the answer must come from the database; otherwise `cantidad` holds the line's
    // Pd_Cantidad_1, or nothing when the order has no such line of that product.
    bool pedida(const std::string& pedido, const std::string& producto, const std::string& id,
                std::optional<Value>& cantidad) const;
    // A row of the article was stored by the save.
    void Escrita(const std::string& producto, const std::string& talla, const std::string& color);

private:
    struct Suma {
        double cantidad = 0;
        std::string unidad;
        bool variasUnidades = false;
    };
    struct Linea {
        std::string producto;
        Value cantidad;
    };
    using Sumas = std::unordered_map<std::string, Suma>;
    // Each row asks for both controls of one article, then stores it: its key is made once.
    const std::string& claveArticulo(const std::string& producto, const std::string& talla,
                                     const std::string& color) const;
    void suma(db::Connection& c, const char* lineas, const char* sumaArticulo, Sumas& control1, Sumas& control2,
              bool pedidas);

    std::string m_pedido;
    Sumas m_pedido1, m_pedido2, m_remision1, m_remision2;
    std::unordered_map<std::string, Linea> m_lineas;
    std::unordered_set<std::string> m_escritas;
    mutable std::string m_producto, m_talla, m_color, m_clave;
};

} // namespace tesmira::vn003
