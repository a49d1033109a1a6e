// The screen's own statements, in the shape it builds them, run on the real schema:
// a rewrite the engine rejects or a column the schema lacks fails here first.
#include "base/Error.h"
#include "db/Connection.h"

#include <gtest/gtest.h>

#include <string>

namespace tesmira::db {
namespace {

struct Statement {
    const char* name;
    const char* sql;
};

const Statement kStatements[] = {
    {"invoice_of_note",
     "SELECT TOP 1 Vn_Folio, isnull((SELECT top 1Fc_Factura FROM Factura WHERE Factura.Es_Cve_Estado <> 'CA' AND "
     "    Factura.Fc_Tabla = 'VENTA' AND          Factura.Fc_Documento = Vn_Folio),'') as FC FROM Venta "
     "WHERE Vn_Tabla = 'REMISION' AND    Es_Cve_Estado <> 'CA' AND    Vn_Documento = 'R0001' "},
    {"delivery_order_check",
     "SELECT TOP 1.* FROM Orden_Entrega WHERE Oe_Tabla = 'PEDIDO' AND    Oe_documento = 'P0001' AND "
     "   Es_Cve_Estado <> 'CA'"},
    {"handheld_tables_exist", "SELECT 'EXISTE'  FROM sysobjects WHERE sysobjects.Name = 'PDA_SALIDA' AND Type = 'U'"},
    {"delivery_address",
     "SELECT CASE De_Direccion_1 WHEN '' THEN    De_Calle + ' ' + De_Numero_Interior + ' ' + De_Numero_Exterior +' '+ "
     "De_Cruzamiento_1 +' ' + De_Cruzamiento_2 ELSE De_Direccion_1 END AS Domicilio From Direccion_Entrega "
     "WHERE De_Tabla = 'CLIENTE' AND De_Documento = 'C01' AND De_ID = '0001' "},
    {"delivered_quantity",
     "SELECT SUM(Rm_Cantidad_1) as Cantidad, Rm_Unidad_1 as Unidad FROM Remision WHERE    Rm_Tabla = 'PEDIDO' AND "
     "   Rm_Documento = 'P0001' AND    Tl_Cve_Talla = '00' AND    Cl_Cve_Color = '00' AND "
     "   Pr_Cve_Producto = 'PR1' AND    Es_Cve_Estado <> 'BA' and Es_Cve_Estado <> 'CA'GROUP BY Rm_Unidad_1"},
    {"note_invoiceable",
     "SELECT Rm_Folio FROM Remision_Encabezado WHERE    Rm_Folio = 'R0001' AND    Rm_Facturado = 'NO' AND "
     "   Rm_Documento NOT IN (       SELECT Pd_Folio        FROM Pedido_Encabezado "
     "       WHERE Es_Cve_Estado IN ('FA', 'FR') AND Pd_Estado_Proceso NOT IN ('FA', 'FR')) AND "
     "   Rm_Documento NOT IN (           SELECT CASE WHEN Vn_Pedido = '' THEN Vn_Documento ELSE Vn_Pedido END "
     "           FROM Venta_Encabezado "
     "           WHERE (Vn_Tabla = 'PEDIDO' OR Vn_Pedido <> '') AND Es_Cve_Estado <> 'CA')"},
    {"close_order_header",
     "UPDATE Pedido_Encabezado SET    Pd_Estado_Proceso = Es_Cve_Estado,    Es_Cve_Estado = 'CE', "
     "   Oper_Ult_Modif = 'ADMIN',    Fecha_Ult_Modif = '2024-05-06 10:00:00' WHERE Pd_Folio = 'P0001'"},
    {"mark_note_invoiced",
     "UPDATE Remision SET    Oper_Ult_Modif = 'ADMIN',    Fecha_Ult_Modif = '2024-05-06 10:00:00', "
     "   Rm_Facturado = 'SI',    Rm_Factura = 'F0001' WHERE Rm_Folio = 'R0001' "},
    {"project_dimension",
     "INSERT INTO Documento_Proyecto(Dp_Tabla, Dp_Documento, Py_Cve_Proyecto) Values ('REMISION', 'R0001', 'PY1')"},
    {"pending_lines", R"(SELECT 
   Pd_Comentario, 
   Pd_Referencia, 
   Sc_Cve_Sucursal, 
   Al_Cve_Almacen, 
   Cl_Cve_Cliente, 
   Vn_Cve_Vendedor, 
   Pedido.Pd_Condicion_Venta, 
   Pedido.Pr_Cve_Producto, 
   Pedido.Tl_Cve_Talla, 
   Pedido.Cl_Cve_Color, 
   Pedido.Pd_Sucursal_Inventario,
   Pedido.Pd_Almacen_Inventario,
   Pedido.Pd_Unidad_1, 
   Pedido.Pd_Unidad_Control_1, 
   Pedido.Pd_Unidad_Control_2, 
   Pedido.Pd_Unidad_Costo, 
   Pedido.Pr_Folio, 
   Pedido.Pd_Concepto, 
   Pedido.Pd_Cuota_Fija, 
   Pedido.Pd_Precio_Lista, 
   Pedido.Pd_Precio_Lista_Importe, 
   Pedido.Pd_Precio_Neto_Importe, 
   Pedido.Pd_Descuento_Importe, 
   Pedido.Pd_Descuento_Factor, 
   Pedido.Pd_Precio_Descontado, 
   Pedido.Pd_Precio_Descontado_Importe, 
   Pedido.Pd_Impuesto_Importe, 
   Pedido.Pd_Impuesto_Factor, 
   Pedido.Pd_Precio_Neto, 
   Mn_Cve_Moneda, 
   Pedido.Es_Cve_Estado, 
   Pd_Sin_Cargo,Pedido.Pd_ID, 
   ISNULL(Condicion_Venta.Cv_Controlar_Anticipo_Pedido,'') as Cv_Controlar_Anticipo_Pedido, 
   Pd_Descuento_Global_Factor, 
   sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) as Pd_Cantidad_1 , 
   sum(Pd_Cantidad_Control_1) - isnull(Remision.Rm_Cantidad_Control_1,0) as Pd_Cantidad_Control_1, 
   sum(Pd_Cantidad_Control_2) - isnull(Remision.Rm_Cantidad_Control_2,0) as Pd_Cantidad_Control_2, 
   sum(Pd_Cantidad_Costo) - isnull(Remision.Rm_Cantidad_Costo,0) as Pd_Cantidad_Costo 
FROM Pedido 
   LEFT JOIN Condicion_Venta on Condicion_Venta.Cv_Cve_Condicion_Venta = Pedido.Pd_Condicion_Venta 
   LEFT JOIN (
    SELECT 
       Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,
       sum(Rm_Cantidad_1) as Rm_Cantidad_1,
       sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,
       sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,
       sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo 
      FROM Remision where Rm_Documento = 'P0001' and Rm_Tabla = 'PEDIDO' and Es_Cve_Estado <> 'CA' 
      GROUP BY Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto 
) Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto and Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla and Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color and Remision.Rm_Concepto = Pedido.Pd_Concepto 
WHERE 
   pedido.pd_folio = 'P0001' and 
   Pedido.Es_Cve_Estado <> 'BO'  AND 
   pedido.Sc_Cve_Sucursal like '%%' 
GROUP BY 
   Remision.Rm_Cantidad_1, 
   Remision.Rm_Cantidad_Control_1, 
   Remision.Rm_Cantidad_Control_2, 
   Remision.Rm_Cantidad_Costo, 
   Condicion_Venta.Cv_Controlar_Anticipo_Pedido, 
   Pd_Comentario, 
   Pd_Referencia, 
   Pr_Folio, 
   Pd_Concepto, 
   Sc_Cve_Sucursal, 
   Al_Cve_Almacen, 
   Cl_Cve_Cliente, 
   Vn_Cve_Vendedor, 
   Pd_Condicion_Venta, 
   Pedido.Pd_Cuota_Fija, 
   Pedido.Pd_Precio_Lista, 
   Pedido.Pd_Precio_Lista_Importe, 
   Pedido.Pd_Descuento_Importe, 
   Pedido.Pd_Precio_Descontado, 
   Pedido.Pd_Precio_Descontado_Importe, 
   Pedido.Pd_Precio_Neto_Importe, 
   Pedido.Pr_Cve_Producto, 
   Pedido.Tl_Cve_Talla, 
   Pedido.Cl_Cve_Color, 
   Pedido.Pd_Sucursal_Inventario,
   Pedido.Pd_Almacen_Inventario,
   Pd_Unidad_1, 
   Pd_Unidad_Control_1, 
   Pd_Unidad_Control_2, 
   Pd_Unidad_Costo, 
   Pd_Descuento_Global_Factor, 
   Pd_Descuento_Factor, 
   Pedido.Pd_Impuesto_Importe, 
   Pd_Impuesto_Factor, 
   Pd_Precio_Neto, 
   Mn_Cve_Moneda, 
   Pedido.Es_Cve_Estado, 
   Pd_Sin_Cargo, Pedido.Pd_ID 
 ORDER BY Pedido.Pd_ID ASC )"},
    {"order_products", R"(SELECT DISTINCT(Pedido.Pr_Cve_Producto) as PRODUCTO, 
   Producto.Pr_Descripcion as DESCRIPCION, 
   sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) AS CANTIDAD, 
 ''  
FROM Pedido 
   INNER JOIN Producto ON Pedido.Pr_Cve_Producto = Producto.Pr_Cve_Producto 
   LEFT JOIN (
    SELECT 
    Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,
    sum(Rm_Cantidad_1) as Rm_Cantidad_1,
    sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,
    sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,
    sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo 
    FROM Remision where Rm_Documento = 'P0001' and Rm_Tabla = 'PEDIDO' AND Rm_Folio <> '' and Es_Cve_Estado <> 'CA' 
    GROUP BY Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto 
) Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto and 
       Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla and Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color and 
       Remision.Rm_Concepto = Pedido.Pd_Concepto 
WHERE Pedido.Pd_Folio = 'P0001'
GROUP BY Pd_Cantidad_1,  isnull(Remision.Rm_Cantidad_1,0), Pedido.Pr_Cve_Producto, Producto.Pr_Descripcion 
HAVING ( sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) ) > 0 )"},
    {"pending_lines_with_stock", R"(SELECT 
   Pd_ID,
   Pd_Comentario,
   Pd_Referencia,
   Sc_Cve_Sucursal,
   Al_Cve_Almacen,
   Pedido.Pd_Sucursal_Inventario,
   Pedido.Pd_Almacen_Inventario,
   Cl_Cve_Cliente,
   Vn_Cve_Vendedor,
   Pd_Condicion_Venta,
   Producto.Pr_Descripcion,
   Producto.Pr_Tipo_Producto,
   Pedido.Pr_Cve_Producto,
   Pedido.Tl_Cve_Talla,
   Pedido.Cl_Cve_Color,
   Producto.Pr_Maneja_Talla,
   Producto.Pr_Maneja_Color,
   Producto.Pr_Porcentaje_Variacion, 
   Talla.Tl_Descripcion, 
   Color.Cl_Descripcion, 
   Pd_Unidad_1,
   Pd_Unidad_Control_1,
   Pd_Unidad_Control_2,
   Pd_Unidad_Costo,
   Pr_Folio,
   Pd_Costo,
   Pd_Concepto,
   Pd_Cuota_Fija,
   Pd_Precio_Lista,
   Pd_Descuento_Factor,
   Pd_Precio_Descontado,
   Pd_Impuesto_Factor,
   Pd_Precio_Neto,
   Mn_Cve_Moneda,Pd_Sin_Cargo,
   Pedido.Es_Cve_Estado,
   Pd_Descuento_Global_Factor,
   Pd_Descuento_Global_Importe,
   SUM(Pd_Cantidad_1) - ISNULL(Remision.Rm_Cantidad_1,0) as Pd_Cantidad_1,
   SUM(Pd_Cantidad_Control_1) - ISNULL(Remision.Rm_Cantidad_Control_1,0) as Pd_Cantidad_Control_1,
   SUM(Pd_Cantidad_Control_2) - ISNULL(Remision.Rm_Cantidad_Control_2,0) as Pd_Cantidad_Control_2,
   SUM(Pd_Cantidad_Costo) - ISNULL(Remision.Rm_Cantidad_Costo,0) as Pd_Cantidad_Costo 
FROM Pedido 
   INNER JOIN Producto ON Producto.Pr_Cve_Producto = Pedido.Pr_Cve_Producto 
   LEFT JOIN Talla ON Talla.Tl_Cve_Talla = Pedido.Tl_Cve_Talla 
   LEFT JOIN Color ON Color.Cl_Cve_Color = Pedido.Cl_Cve_Color 
LEFT JOIN (
    SELECT Remision.Rm_Documento_ID, 
    Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,
    sum(Rm_Cantidad_1) as Rm_Cantidad_1,
    sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,
    sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,
    sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo 
    From Remision where Rm_Documento = 'P0001' and Rm_Tabla = 'PEDIDO' and Es_Cve_Estado <> 'CA' 
    Group By Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,Remision.Rm_Documento_ID 
) Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto AND 
    Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla AND
    Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color AND 
    Remision.Rm_Concepto = Pedido.Pd_Concepto AND 
   Remision.Rm_Documento_ID = Pedido.Pd_ID 
WHERE Pd_Folio = 'P0001' AND Sc_Cve_Sucursal like '%%' 
GROUP BY 
   Remision.Rm_Cantidad_1,
   Remision.Rm_Cantidad_Control_1,
   Remision.Rm_Cantidad_Control_2,
   Remision.Rm_Cantidad_Costo,
   Pd_Comentario,
   Pd_Referencia,
   Pr_Folio,
   Pd_Concepto,
   Sc_Cve_Sucursal,
   Al_Cve_Almacen,
   Pedido.Pd_Sucursal_Inventario,
   Pedido.Pd_Almacen_Inventario,
   Cl_Cve_Cliente,
   Vn_Cve_Vendedor,
   Pd_Condicion_Venta,
   Producto.Pr_Tipo_Producto,
   Producto.Pr_Descripcion,
   Pedido.Pd_Cuota_Fija,
   Pedido.Pd_Precio_Lista,
   Pedido.Pd_Precio_Descontado,
   Pedido.Pr_Cve_Producto,
   Pedido.Tl_Cve_Talla,
   Producto.Pr_Maneja_Talla,
   Producto.Pr_Maneja_Color,
   Producto.Pr_Porcentaje_Variacion, 
   Talla.Tl_Descripcion, 
   Color.Cl_Descripcion, 
   Pedido.Cl_Cve_Color,
   Pd_ID,
   Pd_Unidad_1,
   Pd_Unidad_Control_1,
   Pd_Unidad_Control_2,
   Pd_Unidad_Costo,
   Pd_Costo,
   Pd_Descuento_Global_Factor,
   Pd_Descuento_Global_Importe,
   Pd_Descuento_Factor,
   Pd_Impuesto_Factor,
   Pd_Precio_Neto,
   Mn_Cve_Moneda, Pd_Sin_Cargo,
   Pedido.Es_Cve_Estado )"},
    {"dispatch_lookup", R"(SELECT PDA_Salida.Sa_Folio AS CLAVE, 
   PDA_Salida.Sa_Fecha AS FECHA, 
   PDA_Salida_Detalle.Sc_Cve_Sucursal + ' - ' + Sucursal.Sc_Descripcion AS SUCURSAL, 
   PDA_Salida_Detalle.Al_Cve_Almacen + ' - ' + Almacen.Al_Descripcion AS ALMACEN, 
   PDA_Salida.Pd_Folio AS PEDIDO, 
   PDA_Salida.Es_Cve_Estado AS ESTADO 
FROM PDA_Salida 
   INNER JOIN PDA_Salida_Detalle ON PDA_Salida_Detalle.Sa_Folio = PDA_Salida.Sa_Folio 
   INNER JOIN Sucursal ON Sucursal.Sc_Cve_Sucursal = PDA_Salida_Detalle.Sc_Cve_Sucursal 
   INNER JOIN Almacen ON Almacen.Sc_Cve_Sucursal = PDA_Salida_Detalle.Sc_Cve_Sucursal AND 
       Almacen.Al_Cve_Almacen = PDA_Salida_Detalle.Al_Cve_Almacen 
WHERE Sucursal.Sc_Descripcion LIKE '%' AND 
   Almacen.Al_Descripcion LIKE '%' AND 
   Sucursal.Sc_Cve_Sucursal = '' AND 
   Almacen.Al_Cve_Almacen = '01' AND 
   (PDA_Salida.Es_Cve_Estado = 'FN' 
   OR PDA_Salida.Sa_Folio = '' 
   )
GROUP BY PDA_Salida.Sa_Folio, 
   PDA_Salida.Sa_Fecha, 
   PDA_Salida_Detalle.Sc_Cve_Sucursal + ' - ' + Sucursal.Sc_Descripcion, 
   PDA_Salida_Detalle.Al_Cve_Almacen + ' - ' + Almacen.Al_Descripcion, 
   PDA_Salida.Pd_Folio, 
   PDA_Salida.Es_Cve_Estado )"},
    {"dispatch_lines", R"(SELECT Al_Cve_Almacen, 
   Sc_Cve_Sucursal, 
   Ua_Cve_Ubicacion_Almacen, 
   Pd_ID, 
   Pr_Cve_Producto, 
   Tl_Cve_Talla, 
   Cl_Cve_Color, 
   Sa_Lote, 
   SUM(Sa_Cantidad_1) AS Sa_Cantidad_1 
FROM PDA_Salida_Detalle 
WHERE Sa_Folio = 'S0001' 
GROUP BY Al_Cve_Almacen, 
   Sc_Cve_Sucursal, 
   Ua_Cve_Ubicacion_Almacen, 
   Pd_ID, 
   Pr_Cve_Producto, 
   Tl_Cve_Talla, 
   Cl_Cve_Color, 
   Sa_Lote 
ORDER BY Pr_Cve_Producto, 
   Tl_Cve_Talla, 
   Cl_Cve_Color, 
   Ua_Cve_Ubicacion_Almacen )"},
    {"pending_line_of_dispatch", R"(SELECT 
   Pd_ID, 
   Pd_Comentario, 
   Pd_Referencia, 
   Sc_Cve_Sucursal, 
   Al_Cve_Almacen, 
   Cl_Cve_Cliente, 
   Vn_Cve_Vendedor, 
   Pd_Condicion_Venta, 
   Pedido.Pr_Cve_Producto, 
   Pedido.Tl_Cve_Talla, 
   Pedido.Cl_Cve_Color, 
   Pedido.Pd_Sucursal_Inventario,
   Pedido.Pd_Almacen_Inventario,
   Pd_Unidad_1, 
   Pd_Unidad_Control_1, 
   Pd_Unidad_Control_2, 
   Pd_Unidad_Costo, 
   Pr_Folio, 
   Pd_Concepto, 
   Pd_Cuota_Fija, 
   Pd_Precio_Lista, 
   Pd_Descuento_Factor, 
   Pd_Precio_Descontado, 
   Pd_Impuesto_Factor, 
   Pd_Precio_Neto, 
   Mn_Cve_Moneda, 
   Pedido.Es_Cve_Estado, 
   Pd_Sin_Cargo, 
   ISNULL(Condicion_Venta.Cv_Controlar_Anticipo_Pedido,'') as Cv_Controlar_Anticipo_Pedido, 
   Pd_Descuento_Global_Factor, 
   SUM(Pd_Cantidad_1) - ISNULL(Remision.Rm_Cantidad_1,0) as Pd_Cantidad_1 , 
   SUM(Pd_Cantidad_Control_1) - ISNULL(Remision.Rm_Cantidad_Control_1,0) as Pd_Cantidad_Control_1, 
   SUM(Pd_Cantidad_Control_2) - ISNULL(Remision.Rm_Cantidad_Control_2,0) as Pd_Cantidad_Control_2, 
   SUM(Pd_Cantidad_Costo) - ISNULL(Remision.Rm_Cantidad_Costo,0) as Pd_Cantidad_Costo 
FROM Pedido 
   LEFT JOIN Condicion_Venta on Condicion_Venta.Cv_Cve_Condicion_Venta = Pedido.Pd_Condicion_Venta 
   LEFT JOIN (
       SELECT 
           Rm_Documento_ID, 
           Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,
           sum(Rm_Cantidad_1) as Rm_Cantidad_1,
           sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,
           sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,
           sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo 
       FROM Remision where Rm_Documento = 'P0001' AND 
           Rm_Tabla = 'PEDIDO' AND 
           Rm_Folio <> '' AND 
           Es_Cve_Estado <> 'CA' 
       GROUP BY 
           Rm_Documento_ID, 
           Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto 
) Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto and Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla and Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color and Remision.Rm_Concepto = Pedido.Pd_Concepto 
       AND Remision.Rm_Documento_ID = Pedido.Pd_ID 
WHERE 
   pedido.pd_folio = 'P0001' AND 
   Pedido.Es_Cve_Estado <> 'BO'  AND 
   pedido.Sc_Cve_Sucursal LIKE '%%' AND 
   Pedido.Pr_Cve_Producto = 'PR1' AND 
   Pedido.Tl_Cve_Talla = '00' AND 
   Pedido.Cl_Cve_Color = '00' AND 
   Pedido.Pd_ID = '0001' 
GROUP BY 
   Remision.Rm_Cantidad_1, 
   Remision.Rm_Cantidad_Control_1, 
   Remision.Rm_Cantidad_Control_2, 
   Remision.Rm_Cantidad_Costo, 
   Condicion_Venta.Cv_Controlar_Anticipo_Pedido, 
   Pd_ID, 
   Pd_Comentario, 
   Pd_Referencia, 
   Pr_Folio, 
   Pd_Concepto, 
   Sc_Cve_Sucursal, 
   Al_Cve_Almacen, 
   Cl_Cve_Cliente, 
   Vn_Cve_Vendedor, 
   Pd_Condicion_Venta, 
   Pedido.Pd_Cuota_Fija, 
   Pedido.Pd_Precio_Lista, 
   Pedido.Pd_Precio_Descontado, 
   Pedido.Pr_Cve_Producto, 
   Pedido.Tl_Cve_Talla, 
   Pedido.Cl_Cve_Color, 
   Pedido.Pd_Sucursal_Inventario, 
   Pedido.Pd_Almacen_Inventario, 
   Pd_Unidad_1, 
   Pd_Unidad_Control_1, 
   Pd_Unidad_Control_2, 
   Pd_Unidad_Costo, 
   Pd_Descuento_Global_Factor, 
   Pd_Descuento_Factor, 
   Pd_Impuesto_Factor, 
   Pd_Precio_Neto, 
   Mn_Cve_Moneda, 
   Pedido.Es_Cve_Estado, 
   Pd_Sin_Cargo )"},};

class ScreenStatement : public ::testing::TestWithParam<Statement> {};

TEST_P(ScreenStatement, RunsOnTheSchema)
{
    Connection c(":memory:");
    c.BeginTrans();
    EXPECT_NO_THROW(c.Execute(GetParam().sql));
    c.RollbackTrans();
}

INSTANTIATE_TEST_SUITE_P(Screen, ScreenStatement, ::testing::ValuesIn(kStatements),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tesmira::db
