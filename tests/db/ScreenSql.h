#pragma once
// The screen's longer statements, built for given values the way the screen builds them: its
// fragments joined without separators, every value through quoted(). The db tests run them on
// the demo company and the benchmarks on a large one, so both time and check the same text.
#include "db/Connection.h"

#include <string>

namespace tesmira::db::screen {

// The order loader: pending quantities per line of the order; 'BO' lines and cancelled notes
// left out. An empty branch means any branch.
inline std::string pendingLines(const std::string& folio, const std::string& branch = "")
{
    const std::string f = quoted(folio), b = quoted(branch);
    return "SELECT    Pd_Comentario,    Pd_Referencia,    Sc_Cve_Sucursal,    Al_Cve_Almacen,    Cl_Cve_Cliente, "
           "   Vn_Cve_Vendedor,    Pedido.Pd_Condicion_Venta,    Pedido.Pr_Cve_Producto,    Pedido.Tl_Cve_Talla, "
           "   Pedido.Cl_Cve_Color,    Pedido.Pd_Sucursal_Inventario,   Pedido.Pd_Almacen_Inventario,"
           "   Pedido.Pd_Unidad_1,    Pedido.Pd_Unidad_Control_1,    Pedido.Pd_Unidad_Control_2, "
           "   Pedido.Pd_Unidad_Costo,    Pedido.Pr_Folio,    Pedido.Pd_Concepto,    Pedido.Pd_Cuota_Fija, "
           "   Pedido.Pd_Precio_Lista,    Pedido.Pd_Precio_Lista_Importe,    Pedido.Pd_Precio_Neto_Importe, "
           "   Pedido.Pd_Descuento_Importe,    Pedido.Pd_Descuento_Factor,    Pedido.Pd_Precio_Descontado, "
           "   Pedido.Pd_Precio_Descontado_Importe,    Pedido.Pd_Impuesto_Importe,    Pedido.Pd_Impuesto_Factor, "
           "   Pedido.Pd_Precio_Neto,    Mn_Cve_Moneda,    Pedido.Es_Cve_Estado,    Pd_Sin_Cargo,Pedido.Pd_ID, "
           "   ISNULL(Condicion_Venta.Cv_Controlar_Anticipo_Pedido,'') as Cv_Controlar_Anticipo_Pedido, "
           "   Pd_Descuento_Global_Factor, "
           "   sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) as Pd_Cantidad_1 , "
           "   sum(Pd_Cantidad_Control_1) - isnull(Remision.Rm_Cantidad_Control_1,0) as Pd_Cantidad_Control_1, "
           "   sum(Pd_Cantidad_Control_2) - isnull(Remision.Rm_Cantidad_Control_2,0) as Pd_Cantidad_Control_2, "
           "   sum(Pd_Cantidad_Costo) - isnull(Remision.Rm_Cantidad_Costo,0) as Pd_Cantidad_Costo FROM Pedido "
           "   LEFT JOIN Condicion_Venta on Condicion_Venta.Cv_Cve_Condicion_Venta = Pedido.Pd_Condicion_Venta "
           "   LEFT JOIN (    SELECT        Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,"
           "       sum(Rm_Cantidad_1) as Rm_Cantidad_1,       sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,"
           "       sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,"
           "       sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo       FROM Remision where Rm_Documento = '" + f +
           "' and Rm_Tabla = 'PEDIDO' and Es_Cve_Estado <> 'CA' "
           "      GROUP BY Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto "
           ") Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto and Remision.Tl_Cve_Talla = "
           "Pedido.Tl_Cve_Talla and Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color and Remision.Rm_Concepto = "
           "Pedido.Pd_Concepto WHERE    pedido.pd_folio = '" + f + "' and    Pedido.Es_Cve_Estado <> 'BO'  AND "
           "   pedido.Sc_Cve_Sucursal like '%" + b + "%' GROUP BY    Remision.Rm_Cantidad_1, "
           "   Remision.Rm_Cantidad_Control_1,    Remision.Rm_Cantidad_Control_2,    Remision.Rm_Cantidad_Costo, "
           "   Condicion_Venta.Cv_Controlar_Anticipo_Pedido,    Pd_Comentario,    Pd_Referencia,    Pr_Folio, "
           "   Pd_Concepto,    Sc_Cve_Sucursal,    Al_Cve_Almacen,    Cl_Cve_Cliente,    Vn_Cve_Vendedor, "
           "   Pd_Condicion_Venta,    Pedido.Pd_Cuota_Fija,    Pedido.Pd_Precio_Lista, "
           "   Pedido.Pd_Precio_Lista_Importe,    Pedido.Pd_Descuento_Importe,    Pedido.Pd_Precio_Descontado, "
           "   Pedido.Pd_Precio_Descontado_Importe,    Pedido.Pd_Precio_Neto_Importe,    Pedido.Pr_Cve_Producto, "
           "   Pedido.Tl_Cve_Talla,    Pedido.Cl_Cve_Color,    Pedido.Pd_Sucursal_Inventario,"
           "   Pedido.Pd_Almacen_Inventario,   Pd_Unidad_1,    Pd_Unidad_Control_1,    Pd_Unidad_Control_2, "
           "   Pd_Unidad_Costo,    Pd_Descuento_Global_Factor,    Pd_Descuento_Factor, "
           "   Pedido.Pd_Impuesto_Importe,    Pd_Impuesto_Factor,    Pd_Precio_Neto,    Mn_Cve_Moneda, "
           "   Pedido.Es_Cve_Estado,    Pd_Sin_Cargo, Pedido.Pd_ID  ORDER BY Pedido.Pd_ID ASC ";
}

// The stock-only loader: as above, but deliveries matched per order line, with the product's
// size, colour and description, and 'BO' lines kept.
inline std::string stockOnlyLines(const std::string& folio, const std::string& branch = "")
{
    const std::string f = quoted(folio), b = quoted(branch);
    return "SELECT    Pd_ID,   Pd_Comentario,   Pd_Referencia,   Sc_Cve_Sucursal,   Al_Cve_Almacen,"
           "   Pedido.Pd_Sucursal_Inventario,   Pedido.Pd_Almacen_Inventario,   Cl_Cve_Cliente,   Vn_Cve_Vendedor,"
           "   Pd_Condicion_Venta,   Producto.Pr_Descripcion,   Producto.Pr_Tipo_Producto,"
           "   Pedido.Pr_Cve_Producto,   Pedido.Tl_Cve_Talla,   Pedido.Cl_Cve_Color,   Producto.Pr_Maneja_Talla,"
           "   Producto.Pr_Maneja_Color,   Producto.Pr_Porcentaje_Variacion,    Talla.Tl_Descripcion, "
           "   Color.Cl_Descripcion,    Pd_Unidad_1,   Pd_Unidad_Control_1,   Pd_Unidad_Control_2,"
           "   Pd_Unidad_Costo,   Pr_Folio,   Pd_Costo,   Pd_Concepto,   Pd_Cuota_Fija,   Pd_Precio_Lista,"
           "   Pd_Descuento_Factor,   Pd_Precio_Descontado,   Pd_Impuesto_Factor,   Pd_Precio_Neto,"
           "   Mn_Cve_Moneda,Pd_Sin_Cargo,   Pedido.Es_Cve_Estado,   Pd_Descuento_Global_Factor,"
           "   Pd_Descuento_Global_Importe,"
           "   SUM(Pd_Cantidad_1) - ISNULL(Remision.Rm_Cantidad_1,0) as Pd_Cantidad_1,"
           "   SUM(Pd_Cantidad_Control_1) - ISNULL(Remision.Rm_Cantidad_Control_1,0) as Pd_Cantidad_Control_1,"
           "   SUM(Pd_Cantidad_Control_2) - ISNULL(Remision.Rm_Cantidad_Control_2,0) as Pd_Cantidad_Control_2,"
           "   SUM(Pd_Cantidad_Costo) - ISNULL(Remision.Rm_Cantidad_Costo,0) as Pd_Cantidad_Costo FROM Pedido "
           "   INNER JOIN Producto ON Producto.Pr_Cve_Producto = Pedido.Pr_Cve_Producto "
           "   LEFT JOIN Talla ON Talla.Tl_Cve_Talla = Pedido.Tl_Cve_Talla "
           "   LEFT JOIN Color ON Color.Cl_Cve_Color = Pedido.Cl_Cve_Color LEFT JOIN ("
           "    SELECT Remision.Rm_Documento_ID,     Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,"
           "    sum(Rm_Cantidad_1) as Rm_Cantidad_1,    sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,"
           "    sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,"
           "    sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo     From Remision where Rm_Documento = '" + f +
           "' and Rm_Tabla = 'PEDIDO' and Es_Cve_Estado <> 'CA' "
           "    Group By Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,Remision.Rm_Documento_ID "
           ") Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto AND "
           "    Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla AND    Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color AND "
           "    Remision.Rm_Concepto = Pedido.Pd_Concepto AND    Remision.Rm_Documento_ID = Pedido.Pd_ID "
           "WHERE Pd_Folio = '" + f + "' AND Sc_Cve_Sucursal like '%" + b + "%' GROUP BY    Remision.Rm_Cantidad_1,"
           "   Remision.Rm_Cantidad_Control_1,   Remision.Rm_Cantidad_Control_2,   Remision.Rm_Cantidad_Costo,"
           "   Pd_Comentario,   Pd_Referencia,   Pr_Folio,   Pd_Concepto,   Sc_Cve_Sucursal,   Al_Cve_Almacen,"
           "   Pedido.Pd_Sucursal_Inventario,   Pedido.Pd_Almacen_Inventario,   Cl_Cve_Cliente,   Vn_Cve_Vendedor,"
           "   Pd_Condicion_Venta,   Producto.Pr_Tipo_Producto,   Producto.Pr_Descripcion,   Pedido.Pd_Cuota_Fija,"
           "   Pedido.Pd_Precio_Lista,   Pedido.Pd_Precio_Descontado,   Pedido.Pr_Cve_Producto,"
           "   Pedido.Tl_Cve_Talla,   Producto.Pr_Maneja_Talla,   Producto.Pr_Maneja_Color,"
           "   Producto.Pr_Porcentaje_Variacion,    Talla.Tl_Descripcion,    Color.Cl_Descripcion, "
           "   Pedido.Cl_Cve_Color,   Pd_ID,   Pd_Unidad_1,   Pd_Unidad_Control_1,   Pd_Unidad_Control_2,"
           "   Pd_Unidad_Costo,   Pd_Costo,   Pd_Descuento_Global_Factor,   Pd_Descuento_Global_Importe,"
           "   Pd_Descuento_Factor,   Pd_Impuesto_Factor,   Pd_Precio_Neto,   Mn_Cve_Moneda, Pd_Sin_Cargo,"
           "   Pedido.Es_Cve_Estado ";
}

// Blind capture's product look-up: products with something pending, the note on screen not counted.
inline std::string orderProducts(const std::string& folio, const std::string& note)
{
    const std::string f = quoted(folio), n = quoted(note);
    return "SELECT DISTINCT(Pedido.Pr_Cve_Producto) as PRODUCTO,    Producto.Pr_Descripcion as DESCRIPCION, "
           "   sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) AS CANTIDAD,  ''  FROM Pedido "
           "   INNER JOIN Producto ON Pedido.Pr_Cve_Producto = Producto.Pr_Cve_Producto    LEFT JOIN (    SELECT "
           "    Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,    sum(Rm_Cantidad_1) as Rm_Cantidad_1,"
           "    sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,"
           "    sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,"
           "    sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo     FROM Remision where Rm_Documento = '" + f +
           "' and Rm_Tabla = 'PEDIDO' AND Rm_Folio <> '" + n + "' and Es_Cve_Estado <> 'CA' "
           "    GROUP BY Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto "
           ") Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto and "
           "       Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla and Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color and "
           "       Remision.Rm_Concepto = Pedido.Pd_Concepto WHERE Pedido.Pd_Folio = '" + f + "'"
           "GROUP BY Pd_Cantidad_1,  isnull(Remision.Rm_Cantidad_1,0), Pedido.Pr_Cve_Producto, "
           "Producto.Pr_Descripcion HAVING ( sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) ) > 0 ";
}

// The pending quantity of one order line when a dispatch is loaded; the note on screen not counted.
inline std::string pendingLineOfDispatch(const std::string& folio, const std::string& note,
                                         const std::string& product, const std::string& size,
                                         const std::string& colour, const std::string& line,
                                         const std::string& branch = "")
{
    const std::string f = quoted(folio), n = quoted(note), b = quoted(branch), p = quoted(product),
                      s = quoted(size), c = quoted(colour), l = quoted(line);
    return "SELECT    Pd_ID,    Pd_Comentario,    Pd_Referencia,    Sc_Cve_Sucursal,    Al_Cve_Almacen, "
           "   Cl_Cve_Cliente,    Vn_Cve_Vendedor,    Pd_Condicion_Venta,    Pedido.Pr_Cve_Producto, "
           "   Pedido.Tl_Cve_Talla,    Pedido.Cl_Cve_Color,    Pedido.Pd_Sucursal_Inventario,"
           "   Pedido.Pd_Almacen_Inventario,   Pd_Unidad_1,    Pd_Unidad_Control_1,    Pd_Unidad_Control_2, "
           "   Pd_Unidad_Costo,    Pr_Folio,    Pd_Concepto,    Pd_Cuota_Fija,    Pd_Precio_Lista, "
           "   Pd_Descuento_Factor,    Pd_Precio_Descontado,    Pd_Impuesto_Factor,    Pd_Precio_Neto, "
           "   Mn_Cve_Moneda,    Pedido.Es_Cve_Estado,    Pd_Sin_Cargo, "
           "   ISNULL(Condicion_Venta.Cv_Controlar_Anticipo_Pedido,'') as Cv_Controlar_Anticipo_Pedido, "
           "   Pd_Descuento_Global_Factor, "
           "   SUM(Pd_Cantidad_1) - ISNULL(Remision.Rm_Cantidad_1,0) as Pd_Cantidad_1 , "
           "   SUM(Pd_Cantidad_Control_1) - ISNULL(Remision.Rm_Cantidad_Control_1,0) as Pd_Cantidad_Control_1, "
           "   SUM(Pd_Cantidad_Control_2) - ISNULL(Remision.Rm_Cantidad_Control_2,0) as Pd_Cantidad_Control_2, "
           "   SUM(Pd_Cantidad_Costo) - ISNULL(Remision.Rm_Cantidad_Costo,0) as Pd_Cantidad_Costo FROM Pedido "
           "   LEFT JOIN Condicion_Venta on Condicion_Venta.Cv_Cve_Condicion_Venta = Pedido.Pd_Condicion_Venta "
           "   LEFT JOIN (       SELECT            Rm_Documento_ID, "
           "           Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,"
           "           sum(Rm_Cantidad_1) as Rm_Cantidad_1,"
           "           sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,"
           "           sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,"
           "           sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo        FROM Remision where Rm_Documento = '" +
           f + "' AND            Rm_Tabla = 'PEDIDO' AND            Rm_Folio <> '" + n + "' AND "
           "           Es_Cve_Estado <> 'CA'        GROUP BY            Rm_Documento_ID, "
           "           Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto "
           ") Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto and Remision.Tl_Cve_Talla = "
           "Pedido.Tl_Cve_Talla and Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color and Remision.Rm_Concepto = "
           "Pedido.Pd_Concepto        AND Remision.Rm_Documento_ID = Pedido.Pd_ID WHERE    pedido.pd_folio = '" +
           f + "' AND    Pedido.Es_Cve_Estado <> 'BO'  AND    pedido.Sc_Cve_Sucursal LIKE '%" + b + "%' AND "
           "   Pedido.Pr_Cve_Producto = '" + p + "' AND    Pedido.Tl_Cve_Talla = '" + s + "' AND "
           "   Pedido.Cl_Cve_Color = '" + c + "' AND    Pedido.Pd_ID = '" + l + "' GROUP BY "
           "   Remision.Rm_Cantidad_1,    Remision.Rm_Cantidad_Control_1,    Remision.Rm_Cantidad_Control_2, "
           "   Remision.Rm_Cantidad_Costo,    Condicion_Venta.Cv_Controlar_Anticipo_Pedido,    Pd_ID, "
           "   Pd_Comentario,    Pd_Referencia,    Pr_Folio,    Pd_Concepto,    Sc_Cve_Sucursal, "
           "   Al_Cve_Almacen,    Cl_Cve_Cliente,    Vn_Cve_Vendedor,    Pd_Condicion_Venta, "
           "   Pedido.Pd_Cuota_Fija,    Pedido.Pd_Precio_Lista,    Pedido.Pd_Precio_Descontado, "
           "   Pedido.Pr_Cve_Producto,    Pedido.Tl_Cve_Talla,    Pedido.Cl_Cve_Color, "
           "   Pedido.Pd_Sucursal_Inventario,    Pedido.Pd_Almacen_Inventario,    Pd_Unidad_1, "
           "   Pd_Unidad_Control_1,    Pd_Unidad_Control_2,    Pd_Unidad_Costo,    Pd_Descuento_Global_Factor, "
           "   Pd_Descuento_Factor,    Pd_Impuesto_Factor,    Pd_Precio_Neto,    Mn_Cve_Moneda, "
           "   Pedido.Es_Cve_Estado,    Pd_Sin_Cargo ";
}

// The dispatch pick list of a warehouse: finished dispatches, and the note's own when given. The
// pick list fills its description filters where the '%' stand; here they let everything through.
inline std::string dispatchLookup(const std::string& branch, const std::string& warehouse,
                                  const std::string& ownDispatch = "")
{
    const std::string b = quoted(branch), w = quoted(warehouse),
                      own = ownDispatch.empty() ? "" : "   OR PDA_Salida.Sa_Folio = '" + quoted(ownDispatch) + "' ";
    return "SELECT PDA_Salida.Sa_Folio AS CLAVE,    PDA_Salida.Sa_Fecha AS FECHA, "
           "   PDA_Salida_Detalle.Sc_Cve_Sucursal + ' - ' + Sucursal.Sc_Descripcion AS SUCURSAL, "
           "   PDA_Salida_Detalle.Al_Cve_Almacen + ' - ' + Almacen.Al_Descripcion AS ALMACEN, "
           "   PDA_Salida.Pd_Folio AS PEDIDO,    PDA_Salida.Es_Cve_Estado AS ESTADO FROM PDA_Salida "
           "   INNER JOIN PDA_Salida_Detalle ON PDA_Salida_Detalle.Sa_Folio = PDA_Salida.Sa_Folio "
           "   INNER JOIN Sucursal ON Sucursal.Sc_Cve_Sucursal = PDA_Salida_Detalle.Sc_Cve_Sucursal "
           "   INNER JOIN Almacen ON Almacen.Sc_Cve_Sucursal = PDA_Salida_Detalle.Sc_Cve_Sucursal AND "
           "       Almacen.Al_Cve_Almacen = PDA_Salida_Detalle.Al_Cve_Almacen "
           "WHERE Sucursal.Sc_Descripcion LIKE '%' AND    Almacen.Al_Descripcion LIKE '%' AND "
           "   Sucursal.Sc_Cve_Sucursal = '" + b + "' AND    Almacen.Al_Cve_Almacen = '" + w + "' AND "
           "   (PDA_Salida.Es_Cve_Estado = 'FN' " + own + "   )GROUP BY PDA_Salida.Sa_Folio, "
           "   PDA_Salida.Sa_Fecha,    PDA_Salida_Detalle.Sc_Cve_Sucursal + ' - ' + Sucursal.Sc_Descripcion, "
           "   PDA_Salida_Detalle.Al_Cve_Almacen + ' - ' + Almacen.Al_Descripcion,    PDA_Salida.Pd_Folio, "
           "   PDA_Salida.Es_Cve_Estado ";
}

inline std::string dispatchLines(const std::string& dispatch)
{
    const std::string d = quoted(dispatch);
    return "SELECT Al_Cve_Almacen,    Sc_Cve_Sucursal,    Ua_Cve_Ubicacion_Almacen,    Pd_ID,    Pr_Cve_Producto, "
           "   Tl_Cve_Talla,    Cl_Cve_Color,    Sa_Lote,    SUM(Sa_Cantidad_1) AS Sa_Cantidad_1 "
           "FROM PDA_Salida_Detalle WHERE Sa_Folio = '" + d + "' GROUP BY Al_Cve_Almacen,    Sc_Cve_Sucursal, "
           "   Ua_Cve_Ubicacion_Almacen,    Pd_ID,    Pr_Cve_Producto,    Tl_Cve_Talla,    Cl_Cve_Color, "
           "   Sa_Lote ORDER BY Pr_Cve_Producto,    Tl_Cve_Talla,    Cl_Cve_Color,    Ua_Cve_Ubicacion_Almacen ";
}

// The live sale of a note and its live invoice ('' when none).
inline std::string invoiceOfNote(const std::string& note)
{
    return "SELECT TOP 1 Vn_Folio, isnull((SELECT top 1Fc_Factura FROM Factura WHERE Factura.Es_Cve_Estado <> 'CA' AND "
           "    Factura.Fc_Tabla = 'VENTA' AND          Factura.Fc_Documento = Vn_Folio),'') as FC FROM Venta "
           "WHERE Vn_Tabla = 'REMISION' AND    Es_Cve_Estado <> 'CA' AND    Vn_Documento = '" + quoted(note) + "' ";
}

// A row when the note can still be invoiced: not invoiced, its order neither invoiced nor sold.
inline std::string invoiceableNote(const std::string& note)
{
    return "SELECT Rm_Folio FROM Remision_Encabezado WHERE    Rm_Folio = '" + quoted(note) + "' AND "
           "   Rm_Facturado = 'NO' AND    Rm_Documento NOT IN (       SELECT Pd_Folio        FROM Pedido_Encabezado "
           "       WHERE Es_Cve_Estado IN ('FA', 'FR') AND Pd_Estado_Proceso NOT IN ('FA', 'FR')) AND "
           "   Rm_Documento NOT IN (           SELECT CASE WHEN Vn_Pedido = '' THEN Vn_Documento ELSE Vn_Pedido END "
           "           FROM Venta_Encabezado            WHERE (Vn_Tabla = 'PEDIDO' OR Vn_Pedido <> '') AND "
           "Es_Cve_Estado <> 'CA')";
}

} // namespace tesmira::db::screen
