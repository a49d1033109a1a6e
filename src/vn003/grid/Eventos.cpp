// The detail grid's notifications: retyping a product, leaving a cell, keys.
// No error report here: a failure ends the handler and goes back to whoever raised it.
#include "base/Text.h"
#include "base/VbConstants.h"
#include "host/services/Permisos.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <algorithm>
#include <cctype>

namespace tesmira::vn003 {

namespace {

// Empties the current row so that the next product key loads it afresh.
// vaciaUbicacion: retyping the key also drops the location; a key not found keeps it but
// drops the quota.
void VaciaPartida(forms::Grid& grid, bool vaciaUbicacion)
{
    for (const char* columna : {"Pr_Descripcion", "TIPO_PRODUCTO", "Tl_Cve_Talla", "Cl_Cve_Color", "Unidad_1",
                                "Unidad_Control_2", "Sr_Cve_Serie", "Lt_Cve_Lote", "DESCAMP", "DESAMPR"})
        grid.col(columna).setValue("");
    if (vaciaUbicacion)
        grid.col("Ubicacion").setValue("");
    for (const char* columna :
         {"Cantidad_1", "Cantidad_Control_1", "Cantidad_Control_2", "Pr_Folio", "Precio_Lista", "Precio_Lista_Importe",
          "Impuesto_Factor", "Impuesto_Importe", "Precio_Neto", "Precio_Neto_Importe", "Descuento_Factor",
          "Descuento_Importe", "Precio_Descontado", "Precio_Descontado_Importe"})
        grid.col(columna).setValue(0.0);
    if (!vaciaUbicacion)
        grid.col("Cuota").setValue(0.0);
}

} // namespace

void frmVN003::ssDetalle_Change()
{
    if (ssDetalle.currentColumn() < 0)
        return;
    const auto actual = ssDetalle.col(ssDetalle.currentColumn());
    if (actual.name() == "Pr_Cve_Producto" && !actual.locked())
        VaciaPartida(ssDetalle, true);
}

void frmVN003::ssDetalle_BeforeColChange(int& cancel)
{
    if (ssDetalle.currentColumn() < 1 || ssDetalle.col("Pr_Cve_Producto").text().empty())
        return;
    const std::string columna = upperAscii(ssDetalle.col(ssDetalle.currentColumn()).name());

    if (columna == "PR_CVE_PRODUCTO") {
        if (ssDetalle.col("Pr_Cve_Producto").locked() || !ssDetalle.col("Pr_Descripcion").text().empty())
            return;
        bool encontrado = false;
        BuscaProducto(encontrado);
        if (!encontrado) {
            VaciaPartida(ssDetalle, false);
            cancel = 1;
        }
        return;
    }

    if (columna == "CANTIDAD_1") {
        auto numero = [this](const char* c) { return ssDetalle.col(c).value().toDouble(); };
        const double cantidad1 = numero("Cantidad_1");
        const double factorM3 = numero("Factor_M3");
        double cantidad2 = 0;
        if (ssDetalle.col("Unidad_1").text() == ssDetalle.col("Unidad_Control_2").text())
            cantidad2 = cantidad1;
        else
            cantidad2 = (factorM3 == 0 ? numero("Factor_Conversion_U2") : factorM3) * cantidad1;
        if (ssDetalle.col("Cubicado").value().toBool())
            cantidad2 = factorM3 * cantidad1;
        if (Utilerias().UnidadCubicada(ssDetalle.col("Unidad_Control_2").text())) {
            ssDetalle.col("Cubicado").setValue(true);
            cantidad2 = factorM3 * cantidad1;
        }
        ssDetalle.col("Cantidad_Control_2").setValue(cantidad2);
        CalculaImportesPartida();
        return;
    }

    if (columna == "UBICACION" && Manejo.ManejaUbicacion)
        ValidaUbicacionCapturada();
}

void frmVN003::ssDetalle_KeyDown(int& keyCode, int /*shift*/)
{
    if (ssDetalle.currentColumn() < 0 || ssDetalle.col("Pr_Cve_Producto").text().empty())
        return;
    const std::string nombre = ssDetalle.col(ssDetalle.currentColumn()).name();
    const std::string columna = upperAscii(nombre);
    if (keyCode == vb::vbKeyDelete) {
        // The lot and serial are released with Delete although their cells take no typing.
        if (columna == "LT_CVE_LOTE" || columna == "SR_CVE_SERIE")
            ssDetalle.col(nombre).setValue("");
        if (nombre == "Cantidad_1" || nombre == "Cantidad_Control_2")
            keyCode = 0;
        return;
    }
    if (keyCode == vb::vbKeyF7 && columna == "PR_DESCRIPCION")
        EditaDescripcionRemision();
}

void frmVN003::ssDetalle_KeyPress(int& keyAscii)
{
    if (keyAscii == vb::vbKeyReturn) {
        keyAscii = 0;
        Utilerias().EnviaTecla("\t", 0);
        return;
    }
    if (!Controles.ModoNuevo() || ssDetalle.currentColumn() < 0)
        return;
    SucursalActual = ssDetalle.col("Rm_Sucursal_Inventario").text();
    AlmacenActual = ssDetalle.col("Rm_Almacen_Inventario").text();
    Manejo.ManejaLote = Permisos->ManejaLote(SucursalActual, AlmacenActual);
    Manejo.ManejaSerie = Permisos->ManejaSerie(SucursalActual, AlmacenActual);

    const std::string nombre = ssDetalle.col(ssDetalle.currentColumn()).name();
    const std::string tipo = ssDetalle.col("TIPO_PRODUCTO").text();
    const bool cantidad = nombre == "Cantidad_1" || nombre == "Cantidad_Control_2";
    // Quantities of lot and serial products come only from their pickers.
    if (cantidad && ((tipo == "LOTE" && Manejo.ManejaLote) || (tipo == "Serializado" && Manejo.ManejaSerie)))
        keyAscii = 0;
    if (nombre == "Cantidad_Control_2" && ssDetalle.col("Porcentaje_Variacion").value().toDouble() == 0)
        keyAscii = 0;
}

void frmVN003::ssDetalle_KeyUp(int keyCode, int shift)
{
    if (ssDetalle.currentColumn() < 0)
        return;
    const std::string columna = upperAscii(ssDetalle.col(ssDetalle.currentColumn()).name());
    if (keyCode == vb::vbKeyF2) {
        if (columna == "PR_CVE_PRODUCTO" && !ssDetalle.col("Pr_Cve_Producto").locked()) {
            const std::string clave = Utilerias().ListaBusqueda(ConsultaProductosPedido, 100);
            // A cancelled list leaves the row as it was.
            if (clave.empty())
                return;
            // Picked on the grid's new-row line: the key starts that row.
            if (ssDetalle.row() < 0)
                ssDetalle.addRow();
            ssDetalle.col("Pr_Cve_Producto").setValue(clave);
            ssDetalle.col("Pr_Descripcion").setValue("");
            return;
        }
        if (columna == "UBICACION")
            BuscaUbicacion();
        return;
    }
    if (keyCode == vb::vbKeyF10) {
        if (shift == vb::vbShiftMask)
            Utilerias().HerramientaGrid2(ssDetalle);
        else
            Utilerias().HerramientaGrid(ssDetalle);
    }
}

void frmVN003::ssDetalle_BeforeDelete(int& displayFlag)
{
    displayFlag = 0;
}

} // namespace tesmira::vn003
