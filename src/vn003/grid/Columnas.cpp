#include "vn003/frmVN003.h"

#include "vn003/Publico.h"

namespace tesmira::vn003 {

using forms::CellStyle;
using forms::ColumnType;

// The detail grid's 66 columns in display order: name, caption, type, shown, locked for
// typing, cell style, number format, typing limit.
std::vector<forms::ColumnDef> frmVN003::ColumnasDetalle()
{
    return {
        {"Rm_Sucursal_Inventario", "Sucursal", ColumnType::Text, true, true, CellStyle::Text, "", 0},
        {"Rm_Almacen_Inventario", "Almacén", ColumnType::Text, true, true, CellStyle::Text, "", 0},
        {"Pr_Cve_Producto", "Clave", ColumnType::Text, true, true, CellStyle::Text, "", 10},
        {"Pr_Descripcion", "Descripción", ColumnType::Text, true, true, CellStyle::Button, "", 100},
        {"Tl_Cve_Talla", "Talla", ColumnType::Text, false, true, CellStyle::Text, "", 2},
        {"Tl_Descripcion", "Talla", ColumnType::Text, true, true, CellStyle::Text, "", 0},
        {"Cl_Cve_Color", "Color", ColumnType::Text, false, true, CellStyle::Text, "", 2},
        {"Cl_Descripcion", "Color", ColumnType::Text, true, true, CellStyle::Text, "", 0},
        {"Ubicacion", "Ubicación", ColumnType::Text, true, false, CellStyle::Text, "", 4},
        {"Cantidad_1", "Cantidad-1", ColumnType::Number, true, false, CellStyle::Text, "#,##0.000######", 20},
        {"Unidad_1", "Um", ColumnType::Text, true, true, CellStyle::Text, "", 4},
        {"Cantidad_Control_1", "CONTROL-1", ColumnType::Number, false, false, CellStyle::Text, "#,##0.000######", 0},
        {"Unidad_Control_1", "Um", ColumnType::Text, false, false, CellStyle::Text, "", 0},
        {"Cantidad_Control_2", "Cantidad-2", ColumnType::Number, true, false, CellStyle::Text, "#,##0.000######", 20},
        {"Unidad_Control_2", "Um", ColumnType::Text, true, true, CellStyle::Text, "", 4},
        {"Cantidad_Costo", "Cantidad_Costo", ColumnType::Number, false, false, CellStyle::Text, "#,##0.000######", 0},
        {"Unidad_Costo", "Unidad_Costo", ColumnType::Text, false, false, CellStyle::Text, "", 0},
        {"Costo", "Costo", ColumnType::Number, false, false, CellStyle::Text, "$#,##0.0000#####", 20},
        {"Costo_Importe", "Importe", ColumnType::Number, false, true, CellStyle::Text, "$#,##0.00#######", 20},
        {"Pr_Folio", "Folio L.P.", ColumnType::Text, false, false, CellStyle::Text, "", 0},
        {"Precio_Lista", "Precio", ColumnType::Number, true, true, CellStyle::Text, "$#,##0.0000#####", 0},
        {"Precio_Lista_Importe", "Precio_lista_importe", ColumnType::Number, false, false, CellStyle::Text, "$#,##0.00#######", 0},
        {"Descuento_Factor", "% Descuento", ColumnType::Number, true, true, CellStyle::Text, "#,##0.00#######%", 0},
        {"Descuento_Importe", "Desc. $", ColumnType::Number, false, false, CellStyle::Text, "$#,##0.00#######", 0},
        {"Precio_Descontado", "Precio_descontado", ColumnType::Number, false, false, CellStyle::Text, "$#,##0.0000#####", 0},
        {"Precio_Descontado_Importe", "Precio_Descontado_Importe", ColumnType::Number, false, false, CellStyle::Text, "$#,##0.00#######", 0},
        {"Impuesto_Factor", "Impuesto %", ColumnType::Number, false, false, CellStyle::Text, "#,##0.00#######%", 0},
        {"Impuesto_Importe", "Impuesto", ColumnType::Number, true, true, CellStyle::Text, "$#,##0.00#######", 0},
        {"Precio_Neto", "Precio_Neto", ColumnType::Number, false, false, CellStyle::Text, "$#,##0.00#######", 0},
        {"Precio_Neto_Importe", "Importe", ColumnType::Number, true, true, CellStyle::Text, "$#,##0.00#######", 0},
        {"TIPO_PRODUCTO", "Tipo producto", ColumnType::Text, true, true, CellStyle::Text, "", 0},
        {"Lt_Cve_Lote", "Lote", ColumnType::Text, true, true, CellStyle::Button, "", 0},
        {"Lt_Fecha_Caducidad", "Caducidad", ColumnType::Date, false, false, CellStyle::Text, "", 10},
        {"Lt_Pedimento", "Pedimento lote", ColumnType::Text, false, false, CellStyle::Text, "", 0},
        {"Lt_Fecha_Pedimento", "Fecha pedimento", ColumnType::Date, false, false, CellStyle::Text, "", 0},
        {"Sr_Cve_Serie", "Serie", ColumnType::Text, true, true, CellStyle::Button, "", 30},
        {"Sr_Pedimento", "Pedimento serie", ColumnType::Text, false, false, CellStyle::Text, "", 50},
        {"Lt_UserDef_1", "Lt_UserDef_1", ColumnType::Text, false, true, CellStyle::Text, "", 50},
        {"Lt_UserDef_2", "Lt_UserDef_2", ColumnType::Text, false, true, CellStyle::Text, "", 50},
        {"Sr_Fecha_Pedimento", "Fecha pedimento", ColumnType::Date, false, false, CellStyle::Text, "", 0},
        {"Lt_UserDef_3", "Lt_UserDef_3", ColumnType::Number, false, true, CellStyle::Text, "", 20},
        {"Lt_UserDef_4", "Lt_UserDef_4", ColumnType::Number, false, true, CellStyle::Text, "", 20},
        {"Sr_UserDef_1", "Sr_UserDef_1", ColumnType::Text, false, true, CellStyle::Text, "", 50},
        {"Lt_UserDef_6", "Lt_UserDef_6", ColumnType::Date, false, true, CellStyle::Text, "", 10},
        {"Lt_UserDef_5", "Lt_UserDef_5", ColumnType::Date, false, true, CellStyle::Text, "", 10},
        {"Sr_UserDef_2", "Sr_UserDef_2", ColumnType::Text, false, true, CellStyle::Text, "", 50},
        {"Sr_UserDef_3", "Sr_UserDef_3", ColumnType::Number, false, true, CellStyle::Text, "", 20},
        {"Sr_UserDef_4", "Sr_UserDef_4", ColumnType::Number, false, true, CellStyle::Text, "", 20},
        {"Sr_UserDef_5", "Sr_UserDef_5", ColumnType::Date, false, true, CellStyle::Text, "", 10},
        {"Sr_UserDef_6", "Sr_UserDef_6", ColumnType::Date, false, true, CellStyle::Text, "", 10},
        {"Documento_Id", "Documento_Id", ColumnType::Text, false, false, CellStyle::Text, "", 0},
        {"DESCAMP", "Desc. Amp.", ColumnType::Text, false, true, CellStyle::Button, "", 0},
        {"DESAMPR", "Desc. Amp. Remisión", ColumnType::Text, false, true, CellStyle::Button, "", 0},
        {"Factor_Conversion_U1", "Factor_Conversion_U1", ColumnType::Number, false, false, CellStyle::Text, "", 0},
        {"Factor_Conversion_U2", "Factor_Conversion_U2", ColumnType::Number, false, false, CellStyle::Text, "", 0},
        {"Factor_Conversion_UC", "Factor_Conversion_UC", ColumnType::Number, false, false, CellStyle::Text, "", 0},
        {"Factor_M3", "Factor_M3", ColumnType::Number, false, false, CellStyle::Text, "", 0},
        {"Redondear_Control2", "Redondear_Control2", ColumnType::Boolean, false, false, CellStyle::CheckBox, "", 0},
        {"Cubicado", "Cubicado", ColumnType::Boolean, false, false, CellStyle::CheckBox, "", 0},
        {"Unidad_Costeo_1", "Unidad_Costeo_1", ColumnType::Boolean, false, false, CellStyle::CheckBox, "", 0},
        {"VALIDA_DISPONIBILIDAD", "Disponibilidad", ColumnType::Text, false, false, CellStyle::Button, "", 0},
        {"Pr_Manejar_Talla", "Pr_Manejar_Talla", ColumnType::Text, false, false, CellStyle::Text, "", 0},
        {"Pr_Manejar_Color", "Pr_Manejar_Color", ColumnType::Text, false, false, CellStyle::Text, "", 0},
        {"Pr_Tipo_Producto", "Pr_Tipo_Producto", ColumnType::Text, false, false, CellStyle::Text, "", 0},
        {"Porcentaje_Variacion", "Porcentaje_Variacion", ColumnType::Number, false, true, CellStyle::Text, "", 0},
        {"Cuota", "Cuota", ColumnType::Number, false, false, CellStyle::Text, "", 0},
    };
}

std::string frmVN003::TextoTipoProducto(const std::string& codigo)
{
    if (codigo == "01")
        return "Normal";
    if (codigo == "02")
        return "LOTE";
    if (codigo == "03")
        return "Serializado";
    if (codigo == "04")
        return "KIT";
    if (codigo == "99")
        return "Servicio";
    return {};
}

std::string frmVN003::DescripcionTalla(const std::string& talla)
{
    if (talla == "%")
        return "Todos";
    return Utilerias().BuscaDato("Talla", "Tl_Cve_Talla", talla, "Tl_Descripcion", false, "", "", "");
}

std::string frmVN003::DescripcionColor(const std::string& color)
{
    if (color == "%")
        return "Todos";
    return Utilerias().BuscaDato("Color", "Cl_Cve_Color", color, "Cl_Descripcion", false, "", "", "");
}

} // namespace tesmira::vn003
