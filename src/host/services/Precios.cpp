#include "host/services/Precios.h"

#include "base/Text.h"
#include "db/Connection.h"
#include "host/services/ServiciosSql.h"
#include "host/services/Utilerias.h"

#include <optional>
#include <vector>

namespace tesmira::host {

namespace {

struct PrecioLista {
    std::string folio;
    double precio = 0;
    double minimo = -1;
};

// The lists that may price a line on the date, in the order they are asked: the customer's
// own list first, then every other list in force in the document's currency, by folio.
std::vector<std::string> listasCandidatas(Entorno& e, const Date& d, const std::string& currency,
                                          const std::string& customer)
{
    const std::string date = sql::texto(d.dateOnly().iso());
    const std::string inForce = " l.Es_Cve_Estado <> 'BA' AND (l.Lp_Fecha_Inicio IS NULL OR l.Lp_Fecha_Inicio <= "
        + date + ") AND (l.Lp_Fecha_Fin IS NULL OR l.Lp_Fecha_Fin >= " + date + ")";
    std::vector<std::string> folios;
    const std::string own =
        sql::valor(e.conexion, "SELECT l.Pr_Folio FROM Cliente c INNER JOIN Lista_Precio l ON l.Pr_Folio = c.Pr_Folio "
                               "WHERE c.Cl_Cve_Cliente = " + sql::texto(customer) + " AND" + inForce)
            .toString();
    if (!own.empty())
        folios.push_back(own);
    db::Recordset rs = e.conexion.Execute("SELECT l.Pr_Folio FROM Lista_Precio l WHERE l.Mn_Cve_Moneda = "
                                          + sql::texto(currency) + " AND" + inForce + " ORDER BY l.Pr_Folio");
    for (; !rs.Eof(); rs.MoveNext())
        if (const std::string f = rs.Fields("Pr_Folio").toString(); f != own)
            folios.push_back(f);
    return folios;
}

// The list's row for the product: an exact size, colour and unit beats "%" and another unit;
// a row in another unit is converted to the unit asked. Prices come in the document's
// currency (a list in another one is converted at the date's rates).
std::optional<PrecioLista> precioEnLista(Entorno& e, const std::string& folio, const Date& d,
                                         const std::string& currency, const std::string& product,
                                         const std::string& size, const std::string& colour, const std::string& unit)
{
    db::Recordset rs = e.conexion.Execute(
        "SELECT d.Lp_Unidad, d.Lp_Precio, d.Lp_Precio_Minimo, l.Mn_Cve_Moneda FROM Lista_Precio_Detalle d "
        "INNER JOIN Lista_Precio l ON l.Pr_Folio = d.Pr_Folio WHERE d.Pr_Folio = " + sql::texto(folio)
        + " AND d.Pr_Cve_Producto = " + sql::texto(product) + " AND (d.Tl_Cve_Talla = " + sql::texto(size)
        + " OR d.Tl_Cve_Talla = '%') AND (d.Cl_Cve_Color = " + sql::texto(colour)
        + " OR d.Cl_Cve_Color = '%') ORDER BY CASE WHEN d.Lp_Unidad = " + sql::texto(unit)
        + " THEN 0 ELSE 1 END, CASE WHEN d.Tl_Cve_Talla = '%' THEN 1 ELSE 0 END, "
          "CASE WHEN d.Cl_Cve_Color = '%' THEN 1 ELSE 0 END");
    Utilerias utilerias(e);
    for (; !rs.Eof(); rs.MoveNext()) {
        const double perUnit = utilerias.FactorConversion(product, unit, rs.Fields("Lp_Unidad").toString());
        if (perUnit == 0)
            continue;
        double rate = 1;
        const std::string listCurrency = rs.Fields("Mn_Cve_Moneda").toString();
        if (!sameKey(listCurrency, currency)) {
            const double from = utilerias.TipoCambio(listCurrency, d);
            const double to = utilerias.TipoCambio(currency, d);
            if (from == 0 || to == 0)
                continue;
            rate = from / to;
        }
        PrecioLista p{folio, rs.Fields("Lp_Precio").toDouble() * perUnit * rate, -1};
        if (const double min = rs.Fields("Lp_Precio_Minimo").toDouble(); min != -1)
            p.minimo = min * perUnit * rate;
        return p;
    }
    return std::nullopt;
}

std::optional<PrecioLista> buscaPrecio(Entorno& e, const Date& d, const std::string& currency,
                                       const std::string& customer, const std::string& product,
                                       const std::string& size, const std::string& colour, const std::string& unit)
{
    for (const auto& folio : listasCandidatas(e, d, currency, customer))
        if (auto p = precioEnLista(e, folio, d, currency, product, size, colour, unit))
            return p;
    return std::nullopt;
}

} // namespace

// The first list that prices the product answers, its "no minimum" (-1) included.
double Precios::PrecioMinimo(const Date& d, const std::string& currency, const std::string&,
                             const std::string& customer, const std::string& product, const std::string& size,
                             const std::string& colour, const std::string& unit, std::string& listFolio) const
{
    const auto p = buscaPrecio(m_e, d, currency, customer, product, size, colour, unit);
    listFolio = p ? p->folio : std::string();
    if (!p)
        m_ultimoError = "Ninguna lista de precios vigente tiene el producto " + product;
    return p ? p->minimo : -1;
}

// The company's lists price by product, size, colour and unit only: the branch, the sale
// condition and the quantity do not change the price.
double Precios::PrecioVenta(const Date& d, const std::string& currency, const std::string&,
                            const std::string& customer, const std::string& product, const std::string& size,
                            const std::string& colour, const std::string& unit, const std::string&, double) const
{
    const auto p = buscaPrecio(m_e, d, currency, customer, product, size, colour, unit);
    if (!p)
        m_ultimoError = "Ninguna lista de precios vigente tiene el producto " + product;
    return p ? p->precio : 0;
}

} // namespace tesmira::host
