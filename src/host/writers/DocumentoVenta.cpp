#include "host/writers/DocumentoVenta.h"

#include "base/Text.h"
#include "db/Connection.h"
#include "host/services/Importes.h"
#include "host/services/ServiciosSql.h"
#include "host/writers/Escritura.h"
#include "host/writers/Inventario.h"

#include <algorithm>
#include <iterator>

namespace tesmira::host {

using sql::numero;
using sql::texto;

DocumentoVenta::DocumentoVenta(Entorno& entorno) : m_e(entorno), m_datos(entorno) {}

DocumentoVenta::~DocumentoVenta() = default;

bool DocumentoVenta::falla(std::string reason)
{
    m_ultimoError = std::move(reason);
    return false;
}

void DocumentoVenta::Nuevo()
{
    m_encabezado = {};
    m_partida = {};
    m_datos = DatosPartidaVenta(m_e);
    m_escrito = false;
    m_fila.clear();
    m_lineas = 0;
    m_totales = TotalesDocumento(0);
    m_ultimoError.clear();
}

bool DocumentoVenta::Inicia()
{
    if (!m_e.conexion.inTransaction())
        return falla("La venta debe grabarse dentro de una transacción");
    return true;
}

void DocumentoVenta::AsignaEncabezado(const EncabezadoVenta& encabezado)
{
    auto& c = m_e.conexion;
    m_encabezado = encabezado;
    auto& h = m_encabezado;
    if (h.Vn_Folio.empty())
        h.Vn_Folio = escritura::siguienteFolio(c, "Venta", "Venta_Encabezado", "Vn_Folio");
    // A sale made from a note inherits the note's order and sale condition, so that the
    // order is known to be invoiced and the invoice engine knows how it is paid.
    std::string pedido, condicion;
    if (sameKey(h.Vn_Tabla, "Remision") && !h.Vn_Documento.empty()) {
        auto nota = c.Execute("SELECT Rm_Tabla, Rm_Documento, Rm_Condicion_Venta FROM Remision_Encabezado "
                              "WHERE Rm_Folio = " + texto(h.Vn_Documento));
        if (!nota.Eof()) {
            if (sameKey(nota.Fields("Rm_Tabla").toString(), "PEDIDO"))
                pedido = nota.Fields("Rm_Documento").toString();
            condicion = nota.Fields("Rm_Condicion_Venta").toString();
        }
    }
    const std::string fecha = escritura::sello(m_e);
    c.Execute("INSERT INTO Venta_Encabezado (Vn_Folio, Vn_Fecha, Vn_Tabla, Vn_Documento, Vn_Pedido, Vn_Referencia, "
              "Vn_Comentario, Sc_Cve_Sucursal, Al_Cve_Almacen, Cl_Cve_Cliente, Vn_Cve_Vendedor, Mn_Cve_Moneda, "
              "Vn_Tipo_Cambio, Vn_Condicion_Venta, Vn_Sin_Cargo, Vn_Descuento_Global_Factor, Vn_Factura, Vn_Serie, "
              "Vn_Numero, Vn_Inventario_Pendiente, Es_Cve_Estado, Oper_Ult_Modif, Fecha_Ult_Modif) VALUES (" +
              texto(h.Vn_Folio) + ", " + texto(h.Vn_Fecha.iso()) + ", " + texto(h.Vn_Tabla) + ", " +
              texto(h.Vn_Documento) + ", " + texto(pedido) + ", " + texto(h.Vn_Referencia) + ", " +
              texto(h.Vn_Comentario) + ", " + texto(h.Sc_Cve_Sucursal) + ", " + texto(h.Al_Cve_Almacen) + ", " +
              texto(h.Cl_Cve_Cliente) + ", " + texto(h.Vn_Cve_Vendedor) + ", " + texto(h.Mn_Cve_Moneda) + ", " +
              numero(h.Vn_Tipo_Cambio) + ", " + texto(condicion) + ", " + texto(h.Vn_Sin_Cargo) + ", " +
              numero(h.Vn_Descuento_Global_Factor) + ", '', " + texto(h.Vn_Serie) + ", " +
              std::to_string(h.Vn_Numero) + ", " + texto(h.Vn_Inventario_Pendiente) + ", 'AC', " + texto(m_e.usuario) + ", " + texto(fecha) + ")");
    m_escrito = true;
    m_totales = TotalesDocumento(h.Vn_Descuento_Global_Factor);
    // Every line repeats the header and the save's stamp: their values are bound once per sale.
    m_fila.assign(kValoresVenta, Value());
    const Value cabecera[] = {h.Vn_Folio, Value(), h.Vn_Fecha.iso(), h.Vn_Tabla, h.Vn_Documento, pedido,
                              h.Vn_Referencia, h.Vn_Comentario, h.Sc_Cve_Sucursal, h.Al_Cve_Almacen,
                              h.Cl_Cve_Cliente, h.Vn_Cve_Vendedor, h.Mn_Cve_Moneda, h.Vn_Tipo_Cambio, condicion,
                              h.Vn_Sin_Cargo, h.Vn_Descuento_Global_Factor, "", h.Vn_Inventario_Pendiente};
    std::copy(std::begin(cabecera), std::end(cabecera), m_fila.begin());
    m_fila[kValoresVenta - 2] = m_e.usuario;
    m_fila[kValoresVenta - 1] = fecha;
}

void DocumentoVenta::AsignaFactura(const std::string& folio)
{
    if (m_escrito)
        m_fila[kValoresCabecera - 2] = folio;
}

void DocumentoVenta::AsignaDatosPartida(const DatosPartidaVenta& datos)
{
    m_datos = datos;
}

void DocumentoVenta::AsignaPartida(const PartidaVenta& partida)
{
    m_partida = partida;
}

bool DocumentoVenta::AgregaPartida()
{
    auto& c = m_e.conexion;
    const auto& h = m_encabezado;
    const auto& p = m_partida;
    if (!m_escrito)
        return falla("No se ha asignado el encabezado de la venta");
    db::Recordset producto;
    if (std::string motivo = escritura::productoDePartida(c, p.Pr_Cve_Producto, p.Cantidad_1, producto);
        !motivo.empty())
        return falla(motivo);

    // Vn_ID: the line number, at least four digits.
    std::string id = std::to_string(m_lineas + 1);
    if (id.size() < 4)
        id.insert(0, 4 - id.size(), '0');
    const std::string talla = p.Tl_Cve_Talla.empty() ? "00" : p.Tl_Cve_Talla;
    const std::string color = p.Cl_Cve_Color.empty() ? "00" : p.Cl_Cve_Color;
    const double impuestoFactor = producto.Fields(escritura::Pr_Impuesto_Factor).toDouble();
    // Priced as the note's line: the grid's chain and the tax after the global discount.
    const auto imp = importesRenglon(p.Cantidad_1, p.Precio_Lista, p.Descuento_Factor, impuestoFactor, m_datos.Cuota,
                                     m_datos.TipoCalculo);
    // Summed only once the line is stored: a refused line must not count.
    TotalesDocumento conLinea = m_totales;
    const double impuesto = conLinea.agrega(imp.importeDescontado, m_datos.Cuota * p.Cantidad_1, impuestoFactor);
    m_fila[1] = id;
    const Value linea[] = {p.Pr_Cve_Producto, std::string(utf8Left(p.Pr_Descripcion, 100)), talla, color,
                           p.Sucursal_Inventario, p.Almacen_Inventario, m_datos.Ubicacion, p.Cantidad_1, p.Unidad_1,
                           p.Cantidad_Control_2, p.Unidad_Control_2, p.Costo, p.Costo_Importe, p.Pr_Folio,
                           m_datos.Cuota, p.Precio_Lista, imp.importeLista, p.Descuento_Factor, imp.descuentoImporte,
                           imp.precioDescontado, imp.importeDescontado, impuestoFactor, impuesto, imp.precioNeto,
                           imp.importeNeto};
    static_assert(std::size(linea) == kValoresVenta - kValoresCabecera - 2);
    std::move(std::begin(linea), std::end(linea), m_fila.begin() + kValoresCabecera);
    c.Execute(
        "INSERT INTO Venta (Vn_Folio, Vn_ID, Vn_Fecha, Vn_Tabla, Vn_Documento, Vn_Pedido, Vn_Referencia, "
        "Vn_Comentario, Sc_Cve_Sucursal, Al_Cve_Almacen, Cl_Cve_Cliente, Vn_Cve_Vendedor, Mn_Cve_Moneda, "
        "Vn_Tipo_Cambio, Vn_Condicion_Venta, Vn_Sin_Cargo, Vn_Descuento_Global_Factor, Vn_Factura, "
        "Vn_Inventario_Pendiente, Es_Cve_Estado, Pr_Cve_Producto, Vn_Descripcion, Tl_Cve_Talla, Cl_Cve_Color, "
        "Vn_Sucursal_Inventario, Vn_Almacen_Inventario, Vn_Ubicacion, Vn_Cantidad_1, Vn_Unidad_1, "
        "Vn_Cantidad_Control_2, Vn_Unidad_Control_2, Vn_Costo, Vn_Costo_Importe, Pr_Folio, Vn_Cuota_Fija, "
        "Vn_Precio_Lista, Vn_Precio_Lista_Importe, Vn_Descuento_Factor, Vn_Descuento_Importe, Vn_Precio_Descontado, "
        "Vn_Precio_Descontado_Importe, Vn_Impuesto_Factor, Vn_Impuesto_Importe, Vn_Precio_Neto, "
        "Vn_Precio_Neto_Importe, Oper_Ult_Modif, Fecha_Ult_Modif) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, 'AC', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        m_fila);

    // The sale names the lots and serial numbers it sells; the stock itself moved with the note.
    for (const auto& serie : inventario::separa(p.Sr_Cve_Serie))
        c.Execute("INSERT INTO Serie_Documento (Sd_Tabla, Sd_Documento, Sd_ID, Sr_Cve_Serie, Pr_Cve_Producto, "
                  "Tl_Cve_Talla, Cl_Cve_Color) VALUES ('Venta', ?, ?, ?, ?, ?, ?)",
                  {h.Vn_Folio, id, serie, p.Pr_Cve_Producto, talla, color});
    if (!p.Lt_Cve_Lote.empty())
        c.Execute("INSERT INTO Lote_Documento (Ld_Tabla, Ld_Documento, Ld_ID, Lt_Cve_Lote, Pr_Cve_Producto, "
                  "Tl_Cve_Talla, Cl_Cve_Color, Ld_Cantidad_Control_1, Ld_Cantidad_Control_2) "
                  "VALUES ('Venta', ?, ?, ?, ?, ?, ?, ?, ?)",
                  {h.Vn_Folio, id, p.Lt_Cve_Lote, p.Pr_Cve_Producto, talla, color, p.Cantidad_1,
                   p.Cantidad_Control_2});
    ++m_lineas;
    // The header takes the totals once, when the sale is invoiced or processed.
    m_totales = conLinea;
    return true;
}

} // namespace tesmira::host
