#include "generate.h"

#include "base/Error.h"
#include "db/Connection.h"

#include <sqlite3.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <variant>

namespace bench {
namespace {

using tesmira::Error;
using tesmira::db::Connection;

using Param = std::variant<std::string, double>;

// One prepared INSERT, re-bound for every row: the dialect layer is bypassed on purpose,
// the rows are plain data.
class Insert {
public:
    Insert(sqlite3* db, const char* sql) : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            throw Error(std::string(sqlite3_errmsg(db)) + "\n" + sql);
    }
    ~Insert() { sqlite3_finalize(m_stmt); }
    Insert(const Insert&) = delete;
    Insert& operator=(const Insert&) = delete;

    void operator()(std::initializer_list<Param> values)
    {
        int i = 1;
        for (const Param& v : values) {
            if (const auto* text = std::get_if<std::string>(&v))
                sqlite3_bind_text(m_stmt, i++, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
            else
                sqlite3_bind_double(m_stmt, i++, std::get<double>(v));
        }
        const int rc = sqlite3_step(m_stmt);
        sqlite3_reset(m_stmt);
        if (rc != SQLITE_DONE)
            throw Error(std::string(sqlite3_errmsg(m_db)) + "\n" + sqlite3_sql(m_stmt));
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

std::string numbered(const char* prefix, int n, int digits)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%0*d", prefix, digits, n);
    return buf;
}

constexpr int maxLines = 20000;
constexpr int locations = 10;
const std::string branch = "BX";
const std::string warehouse = "01";
const std::string customer = "BXC0001";
const std::string date = "2026-12-01";

void writeCatalogues(Connection& c)
{
    // The demo company may already hold the shared codes.
    c.executeScript(
        "INSERT OR IGNORE INTO Moneda (Mn_Cve_Moneda, Mn_Descripcion) VALUES ('MXN', 'Peso mexicano');"
        "INSERT OR IGNORE INTO Unidad (Un_Cve_Unidad, Un_Descripcion, Un_Fraccionable) VALUES ('PZA', 'Pieza', 'NO');"
        "INSERT OR IGNORE INTO Talla (Tl_Cve_Talla, Tl_Descripcion) VALUES ('00', 'Sin talla');"
        "INSERT OR IGNORE INTO Color (Cl_Cve_Color, Cl_Descripcion) VALUES ('00', 'Sin color');"
        "INSERT OR IGNORE INTO Condicion_Venta (Cv_Cve_Condicion_Venta, Cv_Descripcion) VALUES ('01', 'Contado');"
        "INSERT INTO Sucursal (Sc_Cve_Sucursal, Sc_Descripcion) VALUES ('BX', 'Sucursal de volumen');"
        "INSERT INTO Almacen (Sc_Cve_Sucursal, Al_Cve_Almacen, Al_Descripcion, Al_Maneja_Lote, Al_Maneja_Ubicacion)"
        " VALUES ('BX', '01', 'CEDIS de volumen', 'SI', 'SI');"
        "INSERT INTO Cliente (Cl_Cve_Cliente, Cl_Descripcion, Cl_Razon_Social_1, Mn_Cve_Moneda, Cv_Cve_Condicion_Venta)"
        " VALUES ('BXC0001', 'Cliente de volumen', 'Cliente de volumen, S.A.', 'MXN', '01');"
        "INSERT INTO Direccion_Entrega (De_Tabla, De_Documento, De_ID, De_Direccion_1, De_Predeterminado)"
        " VALUES ('CLIENTE', 'BXC0001', '0001', 'Calle 1 No. 100, Mérida, Yuc.', 'SI');"
        // Invoices of the branch, unsigned: the save with invoicing prints no signing warning.
        "INSERT INTO Serie_Factura (Sf_Cve_Serie, Sc_Cve_Sucursal, Sf_Descripcion, Sf_Siguiente, Sf_Requiere_Firma)"
        " VALUES ('BX', 'BX', 'Facturas de volumen', 1, 'NO');");
}

} // namespace

GeneratedCompany generateCompany(Connection& c, int lines)
{
    if (lines < 1 || lines > maxLines)
        throw Error("generateCompany: the order must have 1 to " + std::to_string(maxLines) + " lines, not "
                    + std::to_string(lines));

    GeneratedCompany out{"BXP0001", "BXS0001", "BXR0001", lines};
    tesmira::db::Transaction transaction(c);
    writeCatalogues(c);

    sqlite3* db = c.handle();
    Insert location(db, "INSERT INTO Ubicacion_Almacen (Sc_Cve_Sucursal, Al_Cve_Almacen, Ua_Cve_Ubicacion_Almacen,"
                        " Ua_Descripcion) VALUES (?, ?, ?, ?)");
    Insert product(db, "INSERT INTO Producto (Pr_Cve_Producto, Pr_Descripcion, Pr_Tipo_Producto, Pr_Unidad_1,"
                       " Pr_Unidad_Control_1, Pr_Unidad_Control_2, Pr_Unidad_Costo) VALUES (?, ?, ?, 'PZA', 'PZA', 'PZA', 'PZA')");
    Insert stock(db, "INSERT INTO Existencia (Sc_Cve_Sucursal, Al_Cve_Almacen, Pr_Cve_Producto, Ex_Cantidad_Control_1,"
                     " Ex_Unidad_Control_1, Ex_Cantidad_Control_2, Ex_Unidad_Control_2, Ex_Costo)"
                     " VALUES (?, ?, ?, ?, 'PZA', ?, 'PZA', ?)");
    Insert stockAt(db, "INSERT INTO Existencia_Ubicacion (Sc_Cve_Sucursal, Al_Cve_Almacen, Ua_Cve_Ubicacion_Almacen,"
                       " Pr_Cve_Producto, Ex_Cantidad_Control_1, Ex_Cantidad_Control_2) VALUES (?, ?, ?, ?, ?, ?)");
    Insert lot(db, "INSERT INTO Existencia_Lote (Sc_Cve_Sucursal, Al_Cve_Almacen, Pr_Cve_Producto, Lt_Cve_Lote,"
                   " Lt_Cantidad_Control_1, Lt_Cantidad_Control_2, Lt_Fecha_Caducidad) VALUES (?, ?, ?, ?, ?, ?, '2027-12-31')");
    Insert orderLine(db, "INSERT INTO Pedido (Pd_Folio, Pd_ID, Pd_Fecha, Sc_Cve_Sucursal, Al_Cve_Almacen, Cl_Cve_Cliente,"
                         " Pd_Condicion_Venta, Mn_Cve_Moneda, Es_Cve_Estado, Pr_Cve_Producto, Pd_Sucursal_Inventario,"
                         " Pd_Almacen_Inventario, Pd_Cantidad_1, Pd_Unidad_1, Pd_Cantidad_Control_1, Pd_Unidad_Control_1,"
                         " Pd_Cantidad_Control_2, Pd_Unidad_Control_2, Pd_Cantidad_Costo, Pd_Unidad_Costo, Pd_Costo,"
                         " Pd_Precio_Lista, Pd_Precio_Lista_Importe, Pd_Precio_Descontado, Pd_Precio_Descontado_Importe,"
                         " Pd_Impuesto_Factor, Pd_Impuesto_Importe, Pd_Precio_Neto, Pd_Precio_Neto_Importe)"
                         " VALUES (?, ?, ?, ?, ?, ?, '01', 'MXN', 'AC', ?, ?, ?, ?, 'PZA', ?, 'PZA', ?, 'PZA', ?, 'PZA', ?,"
                         " ?, ?, ?, ?, 0.16, ?, ?, ?)");
    Insert noteLine(db, "INSERT INTO Remision (Rm_Folio, Rm_ID, Rm_Fecha, Rm_Tabla, Rm_Documento, Rm_Documento_ID,"
                        " Sc_Cve_Sucursal, Al_Cve_Almacen, Cl_Cve_Cliente, Mn_Cve_Moneda, Pr_Cve_Producto,"
                        " Rm_Sucursal_Inventario, Rm_Almacen_Inventario, Rm_Cantidad_1, Rm_Unidad_1,"
                        " Rm_Cantidad_Control_1, Rm_Unidad_Control_1, Rm_Cantidad_Control_2, Rm_Unidad_Control_2,"
                        " Rm_Cantidad_Costo, Rm_Unidad_Costo) VALUES (?, ?, ?, 'PEDIDO', ?, ?, ?, ?, ?, 'MXN', ?, ?, ?,"
                        " 1, 'PZA', 1, 'PZA', 1, 'PZA', 1, 'PZA')");
    Insert picked(db, "INSERT INTO PDA_Salida_Detalle (Sa_Folio, Sa_ID, Sc_Cve_Sucursal, Al_Cve_Almacen,"
                      " Ua_Cve_Ubicacion_Almacen, Pd_ID, Pr_Cve_Producto, Sa_Lote, Sa_Cantidad_1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");

    for (int l = 1; l <= locations; ++l)
        location({branch, warehouse, numbered("", l, 4), "Pasillo " + std::to_string(l)});

    int noteLines = 0;
    for (int i = 1; i <= lines; ++i) {
        const std::string key = numbered("BX", i, 5);
        const std::string id = numbered("", i, 5);
        const std::string place = numbered("", 1 + i % locations, 4);
        const bool lotted = i % 3 == 0;
        const double ordered = 1 + i % 12;
        const double price = 10 + i % 90;
        const double onHand = ordered + 5;
        const double amount = ordered * price;

        product({key, "Producto de volumen " + key, std::string(lotted ? "02" : "01")});
        stock({branch, warehouse, key, onHand, onHand, 50.0});
        stockAt({branch, warehouse, place, key, onHand, onHand});
        if (lotted)
            lot({branch, warehouse, key, "L-" + key, onHand, onHand});
        orderLine({out.orderFolio, id, date, branch, warehouse, customer, key, branch, warehouse, ordered, ordered,
                   ordered, ordered, 50.0, price, amount, price, amount, amount * 0.16, price * 1.16, amount * 1.16});
        if (i % 4 == 0)
            noteLine({out.noteFolio, numbered("", ++noteLines, 5), date, out.orderFolio, id, branch, warehouse, customer,
                      key, branch, warehouse});
        picked({out.dispatchFolio, id, branch, warehouse, place, id, key, lotted ? "L-" + key : std::string(),
                ordered - (i % 4 == 0 ? 1 : 0)});
    }

    Insert header(db, "INSERT INTO Pedido_Encabezado (Pd_Folio, Pd_Fecha, Sc_Cve_Sucursal, Al_Cve_Almacen, Cl_Cve_Cliente,"
                      " Pd_Condicion_Venta, Mn_Cve_Moneda, Es_Cve_Estado) VALUES (?, ?, ?, ?, ?, '01', 'MXN', ?)");
    header({out.orderFolio, date, branch, warehouse, customer, std::string(noteLines > 0 ? "RM" : "AC")});
    if (noteLines > 0) {
        Insert note(db, "INSERT INTO Remision_Encabezado (Rm_Folio, Rm_Fecha, Rm_Tabla, Rm_Documento, Sc_Cve_Sucursal,"
                        " Al_Cve_Almacen, Cl_Cve_Cliente, Mn_Cve_Moneda) VALUES (?, ?, 'PEDIDO', ?, ?, ?, ?, 'MXN')");
        note({out.noteFolio, date, out.orderFolio, branch, warehouse, customer});
    }
    Insert dispatch(db, "INSERT INTO PDA_Salida (Sa_Folio, Sa_Fecha, Pd_Folio, Sc_Cve_Sucursal, Al_Cve_Almacen,"
                        " Es_Cve_Estado) VALUES (?, ?, ?, ?, ?, 'FN')");
    dispatch({out.dispatchFolio, date, out.orderFolio, branch, warehouse});

    transaction.commit();
    return out;
}

} // namespace bench
