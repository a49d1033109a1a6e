#include "host/writers/DocumentoRemision.h"

#include "base/Text.h"
#include "base/Vb.h"
#include "db/Connection.h"
#include "host/services/Importes.h"
#include "host/services/ServiciosSql.h"
#include "host/writers/Escritura.h"
#include "host/writers/Inventario.h"

#include <cmath>
#include <string>
#include <vector>

namespace tesmira::host {

using sql::numero;
using sql::texto;

namespace {

// "0001": four digits at least.
std::string idPartida(int n)
{
    std::string id = std::to_string(n);
    if (id.size() < 4)
        id.insert(0, 4 - id.size(), '0');
    return id;
}

constexpr size_t kValoresPartida = 49;

// The line's INSERT, one text for every line (translated and prepared once, the values bound).
// A line linked to its order line takes the order's concept as it goes in, so the delivered
// quantity is counted against the right line.
const std::string& insercionPartida(bool enlazada)
{
    static const std::string columnas =
        "INSERT INTO Remision (Rm_Folio, Rm_ID, Rm_Fecha, Rm_Tabla, Rm_Documento, Rm_Documento_ID, Rm_Referencia, "
        "Rm_Comentario, Sc_Cve_Sucursal, Al_Cve_Almacen, Cl_Cve_Cliente, Vn_Cve_Vendedor, Mn_Cve_Moneda, "
        "Rm_Tipo_Cambio, Rm_Condicion_Venta, Rm_Sin_Cargo, Rm_Descuento_Global_Factor, Es_Cve_Estado, "
        "Pr_Cve_Producto, Rm_Descripcion, Tl_Cve_Talla, Cl_Cve_Color, Rm_Concepto, Rm_Sucursal_Inventario, "
        "Rm_Almacen_Inventario, Rm_Ubicacion, Rm_Cantidad_1, Rm_Unidad_1, Rm_Cantidad_Control_1, "
        "Rm_Unidad_Control_1, Rm_Cantidad_Control_2, Rm_Unidad_Control_2, Rm_Cantidad_Costo, Rm_Unidad_Costo, "
        "Rm_Costo, Rm_Costo_Importe, Pr_Folio, Rm_Cuota_Fija, Rm_Precio_Lista, Rm_Precio_Lista_Importe, "
        "Rm_Descuento_Factor, Rm_Descuento_Importe, Rm_Precio_Descontado, Rm_Precio_Descontado_Importe, "
        "Rm_Impuesto_Factor, Rm_Impuesto_Importe, Rm_Precio_Neto, Rm_Precio_Neto_Importe, Oper_Ult_Modif, "
        "Fecha_Ult_Modif) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'AC', ?, ?, ?, ?, ";
    static const std::string resto =
        ", ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
    static const std::string conPedido =
        columnas + "COALESCE((SELECT Pd_Concepto FROM Pedido WHERE Pd_Folio = ? AND Pd_ID = ?), ?)" + resto;
    static const std::string sinPedido = columnas + "?" + resto;
    return enlazada ? conPedido : sinPedido;
}

} // namespace

DocumentoRemision::DocumentoRemision(Entorno& entorno) : m_e(entorno), m_datos(entorno) {}

DocumentoRemision::~DocumentoRemision() = default;

bool DocumentoRemision::falla(std::string reason)
{
    m_ultimoError = std::move(reason);
    return false;
}

void DocumentoRemision::Nuevo()
{
    m_encabezado = {};
    m_partida = {};
    m_datos = DatosPartida(m_e);
    m_lineas = 0;
    m_fecha.clear();
    m_totales = TotalesDocumento(0);
    m_ultimoError.clear();
    m_conConceptos.reset();
}

void DocumentoRemision::AsignaEncabezado(const EncabezadoRemision& encabezado)
{
    m_encabezado = encabezado;
    m_fecha = m_encabezado.Rm_Fecha.iso();
    m_conConceptos.reset();
    // The folio is needed by the caller right after the first line (extended descriptions,
    // order-line link), so it is drawn as soon as the header is known.
    m_totales = TotalesDocumento(m_encabezado.Rm_Descuento_Global_Factor);
    if (m_encabezado.Rm_Folio.empty())
        m_encabezado.Rm_Folio = escritura::siguienteFolio(m_e.conexion, "Remision", "Remision_Encabezado", "Rm_Folio");
}

void DocumentoRemision::AsignaDatosPartida(const DatosPartida& datos)
{
    m_datos = datos;
}

void DocumentoRemision::AsignaPartida(const PartidaRemision& partida)
{
    m_partida = partida;
}

bool DocumentoRemision::AgregaPartida()
{
    auto& c = m_e.conexion;
    const auto& h = m_encabezado;
    const auto& p = m_partida;
    if (h.Rm_Folio.empty())
        return falla("No se ha asignado el encabezado de la remisión");
    db::Recordset producto;
    if (std::string motivo = escritura::productoDePartida(c, p.Pr_Cve_Producto, p.Cantidad_1, producto);
        !motivo.empty())
        return falla(motivo);

    std::string unidadControl1 = producto.Fields(escritura::Pr_Unidad_Control_1).toString();
    if (unidadControl1.empty())
        unidadControl1 = p.Unidad_1;
    std::string unidadCosto = producto.Fields(escritura::Pr_Unidad_Costo).toString();
    if (unidadCosto.empty())
        unidadCosto = p.Unidad_1;
    const double f1 = escritura::factor(c, p.Pr_Cve_Producto, p.Unidad_1, unidadControl1);
    if (f1 == 0)
        return falla("No existe conversión de " + p.Unidad_1 + " a " + unidadControl1 + " para el producto " +
                     p.Pr_Cve_Producto);
    const double cantidadControl1 = p.Cantidad_1 * f1;
    const double cantidadCosto = p.Cantidad_1 * escritura::factor(c, p.Pr_Cve_Producto, p.Unidad_1, unidadCosto);

    const std::string sucursal = p.Sucursal_Inventario.empty() ? h.Sc_Cve_Sucursal : p.Sucursal_Inventario;
    const std::string almacen = p.Almacen_Inventario.empty() ? h.Al_Cve_Almacen : p.Almacen_Inventario;
    const std::string id = idPartida(m_lineas + 1);
    const std::string fecha = escritura::sello(m_e);

    // Services have no stock.
    const std::string tipo = producto.Fields(escritura::Pr_Tipo_Producto).toString();
    if (tipo != "99") {
        inventario::Salida s;
        s.tabla = "Remision";
        s.documento = h.Rm_Folio;
        s.partida = id;
        s.pedido = h.Rm_Documento;
        s.sucursal = sucursal;
        s.almacen = almacen;
        s.ubicacion = m_datos.Ubicacion;
        s.producto = p.Pr_Cve_Producto;
        s.tipo = tipo;
        s.talla = p.Tl_Cve_Talla.empty() ? "00" : p.Tl_Cve_Talla;
        s.color = p.Cl_Cve_Color.empty() ? "00" : p.Cl_Cve_Color;
        s.cantidad1 = cantidadControl1;
        s.unidad1 = unidadControl1;
        s.cantidad2 = p.Cantidad_Control_2;
        s.unidad2 = p.Unidad_Control_2;
        s.lote = p.Lt_Cve_Lote;
        s.series = inventario::separa(p.Sr_Cve_Serie);
        s.usuario = m_e.usuario;
        s.fecha = fecha;
        if (auto error = inventario::saca(c, s); !error.empty())
            return falla(error);
    }

    // A concept line carries its concept as description; delivered quantities are matched
    // to the order by concept, so it is kept apart.
    const std::string descripcion(utf8Left(p.Pr_Descripcion, 100));
    const std::string catalogo(utf8Left(producto.Fields(escritura::Pr_Descripcion).toString(), 100));
    const std::string concepto =
        descripcion.empty() || sameKey(descripcion, catalogo) ? std::string() : descripcion;
    // A line linked to its order line takes the order's concept instead (see insercionPartida);
    // when the order has none, a line without a concept of its own stays without one.
    const bool enlazada = sameKey(h.Rm_Tabla, "PEDIDO") && !withoutTrailingBlanks(m_datos.DocumentoId).empty() &&
                          (!concepto.empty() || pedidoConConceptos());
    const double impuestoFactor = producto.Fields(escritura::Pr_Impuesto_Factor).toDouble();
    // Priced as the grid priced it; the tax is the line's share after the global discount,
    // as the screen's totals left it in the row.
    const auto imp = importesRenglon(p.Cantidad_1, p.Precio_Lista, p.Descuento_Factor, impuestoFactor, m_datos.Cuota,
                                     m_datos.TipoCalculo);
    // The note's totals are summed as its lines are stored; only a stored line counts.
    TotalesDocumento conLinea = m_totales;
    const double impuesto = conLinea.agrega(imp.importeDescontado, m_datos.Cuota * p.Cantidad_1, impuestoFactor);

    std::vector<Value> linea{h.Rm_Folio, id, m_fecha, h.Rm_Tabla, h.Rm_Documento, m_datos.DocumentoId,
                             h.Rm_Referencia, h.Rm_Comentario, h.Sc_Cve_Sucursal, h.Al_Cve_Almacen, h.Cl_Cve_Cliente,
                             h.Vn_Cve_Vendedor, h.Mn_Cve_Moneda, h.Rm_Tipo_Cambio, h.Rm_Condicion_Venta,
                             h.Rm_Sin_Cargo, h.Rm_Descuento_Global_Factor, p.Pr_Cve_Producto, descripcion,
                             p.Tl_Cve_Talla.empty() ? "00" : p.Tl_Cve_Talla,
                             p.Cl_Cve_Color.empty() ? "00" : p.Cl_Cve_Color};
    linea.reserve(kValoresPartida + 2);
    if (enlazada) {
        linea.emplace_back(h.Rm_Documento);
        linea.emplace_back(m_datos.DocumentoId);
    }
    for (Value v : {Value(concepto), Value(sucursal), Value(almacen), Value(m_datos.Ubicacion), Value(p.Cantidad_1),
                    Value(p.Unidad_1), Value(cantidadControl1), Value(unidadControl1), Value(p.Cantidad_Control_2),
                    Value(p.Unidad_Control_2), Value(cantidadCosto), Value(unidadCosto), Value(p.Costo),
                    Value(p.Costo_Importe), Value(p.Pr_Folio), Value(m_datos.Cuota), Value(p.Precio_Lista),
                    Value(imp.importeLista), Value(p.Descuento_Factor), Value(imp.descuentoImporte),
                    Value(imp.precioDescontado), Value(imp.importeDescontado), Value(impuestoFactor),
                    Value(impuesto), Value(imp.precioNeto), Value(imp.importeNeto), Value(m_e.usuario), Value(fecha)})
        linea.push_back(std::move(v));
    c.Execute(insercionPartida(enlazada), linea);
    ++m_lineas;
    m_totales = conLinea;
    return true;
}

bool DocumentoRemision::pedidoConConceptos()
{
    if (!m_conConceptos)
        m_conConceptos = !m_e.conexion
                               .Execute("SELECT TOP 1 Pd_ID FROM Pedido WHERE Pd_Folio = ? AND Pd_Concepto <> ''",
                                        {m_encabezado.Rm_Documento})
                               .Eof();
    return *m_conConceptos;
}

bool DocumentoRemision::Finaliza(const std::string& folio)
{
    auto& c = m_e.conexion;
    const auto& h = m_encabezado;
    if (folio.empty() || !sameKey(folio, h.Rm_Folio))
        return falla("La remisión " + folio + " no es la que se está grabando");
    if (m_lineas == 0)
        return falla("La remisión " + folio + " no tiene partidas");
    if (!c.Execute("SELECT 1 FROM Remision_Encabezado WHERE Rm_Folio = " + texto(folio)).Eof())
        return falla("La remisión " + folio + " ya existe");

    const TotalesDocumento& t = m_totales;
    const double bruto = t.suma();
    const double descuento = vb::round2(bruto - t.subtotal());
    const double impuesto = t.impuesto();
    // A no-charge note records its amounts but owes nothing.
    const double total = sameKey(h.Rm_Sin_Cargo, "SI") ? 0 : t.total();
    const std::string fecha = escritura::sello(m_e);
    c.Execute("INSERT INTO Remision_Encabezado (Rm_Folio, Rm_Fecha, Rm_Tabla, Rm_Documento, Rm_Referencia, "
              "Rm_Comentario, Sc_Cve_Sucursal, Al_Cve_Almacen, Cl_Cve_Cliente, Vn_Cve_Vendedor, Mn_Cve_Moneda, "
              "Rm_Tipo_Cambio, Rm_Condicion_Venta, Rm_Sin_Cargo, Rm_Descuento_Global_Factor, "
              "Rm_Descuento_Global_Importe, Rm_Subtotal, Rm_Impuesto, Rm_Total, Rm_Facturado, Rm_Factura, "
              "Rm_PDA_Salida, Es_Cve_Estado, Oper_Ult_Modif, Fecha_Ult_Modif) VALUES (" +
              texto(folio) + ", " + texto(h.Rm_Fecha.iso()) + ", " + texto(h.Rm_Tabla) + ", " +
              texto(h.Rm_Documento) + ", " + texto(h.Rm_Referencia) + ", " + texto(h.Rm_Comentario) + ", " +
              texto(h.Sc_Cve_Sucursal) + ", " + texto(h.Al_Cve_Almacen) + ", " + texto(h.Cl_Cve_Cliente) + ", " +
              texto(h.Vn_Cve_Vendedor) + ", " + texto(h.Mn_Cve_Moneda) + ", " + numero(h.Rm_Tipo_Cambio) + ", " +
              texto(h.Rm_Condicion_Venta) + ", " + texto(h.Rm_Sin_Cargo) + ", " +
              numero(h.Rm_Descuento_Global_Factor) + ", " + numero(descuento) + ", " + numero(bruto) + ", " +
              numero(impuesto) + ", " + numero(total) + ", 'NO', '', '', 'AC', " + texto(m_e.usuario) + ", " +
              texto(fecha) + ")");
    // The lines went in with the column's default (0): only another amount needs a pass over them.
    if (descuento != 0 || std::signbit(descuento))
        c.Execute("UPDATE Remision SET Rm_Descuento_Global_Importe = ? WHERE Rm_Folio = ?", {descuento, folio});
    return true;
}

bool DocumentoRemision::Elimina(const std::string& folio)
{
    auto& c = m_e.conexion;
    if (folio.empty())
        return falla("No se indicó el folio de la remisión a eliminar");
    auto rs = c.Execute("SELECT Es_Cve_Estado, Rm_Facturado FROM Remision_Encabezado WHERE Rm_Folio = " +
                        texto(folio));
    if (rs.Eof())
        return falla("No existe la remisión: " + folio);
    if (sameKey(rs.Fields("Es_Cve_Estado").toString(), "CA"))
        return falla("La remisión " + folio + " ya está cancelada");
    if (sameKey(rs.Fields("Rm_Facturado").toString(), "SI")) {
        auto venta = c.Execute("SELECT TOP 1 Vn_Folio FROM Venta_Encabezado WHERE Vn_Tabla = 'REMISION' AND "
                               "Vn_Documento = " + texto(folio) + " AND Es_Cve_Estado <> 'CA'");
        if (!venta.Eof())
            return falla("La remisión " + folio + " está facturada en la venta " +
                         venta.Fields("Vn_Folio").toString() + "; cancele primero la venta");
    }
    inventario::devuelve(c, "Remision", folio);
    const std::string sello = ", Oper_Ult_Modif = " + texto(m_e.usuario) + ", Fecha_Ult_Modif = " +
                              texto(escritura::sello(m_e)) + " WHERE Rm_Folio = " + texto(folio);
    c.Execute("UPDATE Remision SET Es_Cve_Estado = 'CA'" + sello);
    c.Execute("UPDATE Remision_Encabezado SET Es_Cve_Estado = 'CA'" + sello);
    return true;
}

} // namespace tesmira::host
