#pragma once
// What the loaders share below the form: one pending order line as every loader reads it, and
// the look-ups a loader would otherwise repeat row after row, read once for the whole document.
#include "base/Value.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "vn003/frmVN003.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tesmira::vn003 {

// The columns every pending-lines statement selects, with the values as the loaders read them.
struct LineaPedido {
    std::string id, sucursalInventario, almacenInventario, producto, talla, color, concepto;
    std::string unidad1, unidadControl1, unidadControl2, unidadCosto, prFolio;
    double cantidad1 = 0, control1 = 0, control2 = 0;
    double cuota = 0, precioLista = 0, descuentoFactor = 0, impuestoFactor = 0;
};

// Pending lines kept by a key for a whole load, packed: a LineaPedido is 440 bytes, most of
// them its short texts' unused room, and a 20,000-line dispatch would keep 10 MB of them.
class LineasPorClave {
public:
    // False, and the first line kept, when the key is already there.
    bool agrega(const std::string& clave, const LineaPedido& l);
    // The line kept under `clave` into `l`; false when there is none.
    bool busca(const std::string& clave, LineaPedido& l) const;
    void quita(const std::string& clave) { m_inicio.erase(clave); }

private:
    std::unordered_map<std::string, size_t> m_inicio; // into m_datos
    std::string m_datos;
};

// Reads LineaPedido from the current row; the columns are looked up once per result.
class LectorLineas {
public:
    explicit LectorLineas(const db::Recordset& rs);
    LineaPedido lee(const db::Recordset& rs) const;

private:
    std::vector<size_t> m_col;
};

// The fields every loader copies from the order line unchanged, and the costing quantity:
// unit 1's when the order costs in unit 1, otherwise control 2's.
void copiaLinea(frmVN003::PartidaPedido& p, const LineaPedido& l, double cantidad1, double control2);

// The line's amounts for `cantidad` from the order's prices, always with calculation kind 5.
void importesPara(frmVN003::PartidaPedido& p, const LineaPedido& l, double cantidad);

class CatalogoCarga;

// The order loaders' last step of a line: the unit pairs of the conversion factors (unit 1 to
// itself and to control 2), Factor_M3 when control 2 is cubed, and the extended description.
void cierraPartida(frmVN003::PartidaPedido& p, const LineaPedido& l, CatalogoCarga& catalogo);

// One load's catalogue: per line (by its ID) the product and the extended descriptions, read
// with the document's lines in one statement; sizes, colours and units by key, each asked once.
// An answer it does not hold is asked as the row would ask it, so the rows get the same values
// (and the same errors) as with a look-up per row. It lives for one load: nothing is written
// while it does.
class CatalogoCarga {
public:
    // An order's lines and their "PEDIDO" descriptions.
    static CatalogoCarga dePedido(const std::string& folio);
    // A delivery note's lines and their "Remision" and "REMISION2" descriptions.
    static CatalogoCarga deRemision(const std::string& folio);

    // Description (the concept when the line has one), size and colour handling, type and
    // allowed variation of the line's product. A product that no longer exists throws, as its
    // per-row look-up does.
    void asignaProducto(frmVN003::PartidaPedido& p, const std::string& concepto);
    // The product's description and handling for a recalled line: Pr_Descripcion, Pr_Maneja_Talla,
    // Pr_Maneja_Color, Pr_Tipo_Producto. Throws when the product no longer exists.
    std::vector<Value> productoRemision(const std::string& id, const std::string& producto);
    // Utilerias::DescripcionAmpliada(tabla, the document's folio, id).
    std::string descripcionAmpliada(const std::string& tabla, const std::string& id) const;

    std::string descripcionTalla(const std::string& talla);
    std::string descripcionColor(const std::string& color);
    bool unidadCubicada(const std::string& unidad);
    bool unidadFraccionable(const std::string& unidad);

private:
    CatalogoCarga(std::string folio, std::vector<std::string> tablas);
    void lee(const std::string& lineas, const std::string& donde, const std::string& id);
    // The product columns of the line's row into `valores`; false when the line was not read
    // or has no product.
    bool producto(const std::string& id, std::vector<Value>& valores) const;

    std::string m_folio;
    std::vector<std::string> m_tablas;
    // Per line, where its values start in m_datos, packed (a 20,000-line order would hold
    // 9 MB as Values): one description per table in the order of m_tablas, whether the
    // product exists, then its columns.
    std::unordered_map<std::string, size_t> m_lineas;
    std::string m_datos;
    std::unordered_map<std::string, std::string> m_tallas, m_colores;
    std::unordered_map<std::string, bool> m_cubicadas, m_fraccionables;
};

// The start of an order load: the pending lines read (the statement left in TextoSQL), the
// header and the grid prepared from them, and once that succeeded the load's catalogue and
// the lines' reader. Catalogue look-ups repeated row after row are remembered while it lives.
class CargaPendientes {
public:
    CargaPendientes(frmVN003& f, const std::string& sql, const frmVN003::MensajesCargaPedido& mensajes);

    // False when no line is to be loaded: refused, no address, or blind capture.
    bool lista() const { return m_lector.has_value(); }
    db::Recordset& lineas() { return m_lineas; }
    LineaPedido lee() const { return m_lector->lee(m_lineas); }
    CatalogoCarga& catalogo() { return *m_catalogo; }

private:
    db::Connection::MemoScope m_memo;
    db::Recordset m_lineas;
    std::optional<CatalogoCarga> m_catalogo;
    std::optional<LectorLineas> m_lector;
};

} // namespace tesmira::vn003
