#include "Pantalla_fixture.h"

namespace tesmira::vn003::testing {
namespace {

const std::string CrLf = "\r\n";

struct CasoCantidad {
    const char* nombre;
    double cantidad1, cantidad2, factorU1;
    bool capturaMayor;
    bool ok;
    const char* mensaje; // "" when none is shown
    std::string caja = {}; // "flags title prompt" of the box, when the case checks it whole
};

// P0003 still has 12 pieces of CAM001 CH/BL pending (8 of 20 delivered by R0001).
const CasoCantidad casosCantidad[] = {
    {"IgualAlPendientePasa", 12, 12, 1, false, true, ""},
    {"CantidadCeroFallaAunConSobreentrega", 0, 12, 1, true, false, "ERR-ID:7500038",
     "48 valida_Grid() valida_Grid() - " + CrLf + "La cantidad-1 no es correcta del producto: Camisa polo!!"},
    {"CantidadNegativaFalla", -1, 12, 1, false, false, "ERR-ID:7500038"},
    {"SegundaCantidadCeroFalla", 12, 0, 1, false, false, "ERR-ID:7500039"},
    {"UnaPiezaMasFallaEnControl1", 13, 12, 1, false, false, "ERR-ID:7500040"},
    {"SegundaCantidadMayorFalla", 12, 13, 1, false, false, "ERR-ID:7500041"},
    {"ElFactorDejaPasarYLaCantidadUnoSeDetiene", 13, 12, 0.5, false, false, "ERR-ID:7500043",
     "16 Cantidad incorrecta valida_Grid() - " + CrLf + "No es posible remisionar más de lo pedido"},
    {"SobreentregaPermitidaPasa", 15, 15, 1, true, true, ""},
};

// Guards the order of the checks and the over-delivery switch; the prompts carry the routine's
// prefix and the line's description.
TEST_F(GridTest, ValidaGridCantidad)
{
    frmVN003& f = abreNuevo();
    encabezado("P0003", "01", "01");
    for (const CasoCantidad& c : casosCantidad) {
        SCOPED_TRACE(c.nombre);
        f.ssDetalle.removeAll();
        f.Parametros.CapturaMayorPedido = c.capturaMayor;
        fila({{"Pr_Cve_Producto", "CAM001"}, {"Tl_Cve_Talla", "CH"}, {"Cl_Cve_Color", "BL"},
              {"Pr_Descripcion", "Camisa polo"}, {"Cantidad_1", c.cantidad1}, {"Cantidad_Control_2", c.cantidad2},
              {"Factor_Conversion_U1", c.factorU1}, {"Unidad_1", "PZA"}, {"Precio_Lista", 250.0}});
        dialogos().limpia();
        bool ok = !c.ok;
        f.valida_Grid(ok);
        EXPECT_EQ(ok, c.ok) << transcript();
        EXPECT_EQ(ultimoMensaje(), c.mensaje) << transcript();
        ASSERT_EQ(dialogos().mensajes().size(), std::string(c.mensaje).empty() ? 0u : 1u) << transcript();
        if (!c.caja.empty()) {
            EXPECT_EQ(std::to_string(ultimo()->flags) + " " + ultimo()->title + " " + ultimo()->prompt, c.caja);
        }
        EXPECT_FLOAT_EQ(f.PendienteControl1, 12) << "pending of control 1 is left for the save";
    }
}

// Pending quantities are Singles: delivering exactly a fractional pending must pass.
TEST_F(GridTest, ValidaGridPendienteFraccionarioExacto)
{
    conexion().Execute("UPDATE Pedido SET Pd_Cantidad_1 = 1.3, Pd_Cantidad_Control_1 = 1.3, "
                       "Pd_Cantidad_Control_2 = 1.3 WHERE Pd_Folio = 'P0004' AND Pd_ID = '0001'");
    frmVN003& f = abreNuevo();
    encabezado("P0004", "01", "01");
    fila({{"Pr_Cve_Producto", "CAM001"}, {"Tl_Cve_Talla", "CH"}, {"Cl_Cve_Color", "BL"},
          {"Pr_Descripcion", "Camisa polo"}, {"Cantidad_1", 1.3}, {"Cantidad_Control_2", 1.3},
          {"Factor_Conversion_U1", 1.0}});
    bool ok = false;
    f.valida_Grid(ok);
    EXPECT_TRUE(ok) << transcript();
}

struct CasoPrecio {
    const char* nombre;
    const char* producto;
    double precio;
    bool derechoCHPR01;
    bool ok;
    double precioFinal;
};

// LP01 (customer C0002): TAL001 minimum 2,950 and price 2,999; KIT001 has no minimum (-1).
const CasoPrecio casosPrecio[] = {
    {"DebajoDelMinimoTomaElPrecioDeVenta", "TAL001", 2899, false, false, 2999},
    {"IgualAlMinimoPasa", "TAL001", 2950, false, true, 2950},
    {"ConDerechoCHPR01NoSeRevisa", "TAL001", 2899, true, true, 2899},
    {"MinimoMenosUnoNoRevisa", "KIT001", 1, false, true, 1},
};

// Below the minimum the row takes the sale price and the save stops; CHPR01 or a minimum of
// -1 skips the check.
TEST_F(GridTest, ValidaGridPrecioMinimo)
{
    frmVN003& f = abreNuevo();
    encabezado("P0004", "01", "01");
    f.Parametros.ValidarPrecioMinimo = true;
    f.Derechos.DerechoPMINIMO = false;
    for (const CasoPrecio& c : casosPrecio) {
        SCOPED_TRACE(c.nombre);
        conexion().Execute("UPDATE Pedido SET Pr_Cve_Producto = '" + db::quoted(c.producto) +
                           "' WHERE Pd_Folio = 'P0004' AND Pd_ID = '0002'");
        f.Derechos.DerechoCHPR01 = c.derechoCHPR01;
        f.ssDetalle.removeAll();
        fila({{"Pr_Cve_Producto", c.producto}, {"Tl_Cve_Talla", "00"}, {"Cl_Cve_Color", "00"},
              {"Pr_Descripcion", "Producto"}, {"Cantidad_1", 1.0}, {"Cantidad_Control_2", 1.0},
              {"Factor_Conversion_U1", 1.0}, {"Unidad_1", "PZA"}, {"Precio_Lista", c.precio}});
        dialogos().limpia();
        bool ok = !c.ok;
        f.valida_Grid(ok);
        EXPECT_EQ(ok, c.ok) << transcript();
        EXPECT_DOUBLE_EQ(f.ssDetalle.col("Precio_Lista").value().toDouble(), c.precioFinal);
        if (c.ok)
            continue;
        ASSERT_EQ(dialogos().mensajes().size(), 1u) << transcript();
        const auto& m = dialogos().mensajes().back();
        EXPECT_EQ(m.id, "ERR-ID:7500042");
        EXPECT_EQ(m.flags, 64);
        EXPECT_EQ(m.title, "Tesmira");
        EXPECT_EQ(m.prompt, "valida_Grid() - " + CrLf + "El precio mínimo de venta es: $2,950.0000 !!!");
    }
}

struct CasoLinea {
    const char* nombre;
    const char* folio;
    const char* producto;
    const char* id;
    double cantidad;
    bool ok;
    const char* mensaje;
};

const CasoLinea casosLinea[] = {
    {"IgualALoPedidoPasa", "P0003", "CAM001", "0001", 20, true, ""},
    {"MasDeLoPedidoFalla", "P0003", "CAM001", "0001", 20.5, false,
     "La cantidad especificada es incorrecta, del producto: CAM001 para el ID: 0001 ES: 20"},
    {"SinLineaFalla", "P0003", "KIT001", "0001", 1, false,
     "No se ha encontrado el pedido con folio P0003, producto: KIT001 y ID: 0001"},
    {"ComillaEsDato", "P0003' OR '1'='1", "CAM001", "0001", 1, false,
     "No se ha encontrado el pedido con folio P0003' OR '1'='1, producto: CAM001 y ID: 0001"},
};

// The per-line check leaves its reason for the caller and shows nothing itself.
TEST_F(GridTest, ValidarCantidadId)
{
    frmVN003& f = abreNuevo();
    for (const CasoLinea& c : casosLinea) {
        SCOPED_TRACE(c.nombre);
        f.MensajeError = "previo";
        std::string folio = c.folio, producto = c.producto, id = c.id;
        double cantidad = c.cantidad;
        bool ok = !c.ok;
        f.Validar_Cantidad_Id(folio, producto, id, cantidad, ok);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(f.MensajeError, c.mensaje);
    }
    EXPECT_TRUE(dialogos().mensajes().empty()) << transcript();
}

struct CasoUbicacion {
    const char* nombre;
    const char* ubicacion;
    const char* producto;
    const char* talla;
    const char* color;
    bool ok;
    const char* razon; // second line of MensajeValidacion; "" when accepted
    const char* detalle;
};

// CEDIS 01/02: 0101 holds CAM001 GD/NE, 0201 paint, 0301 reserved to TAL001, 0901 blocked,
// 0902 withdrawn.
const CasoUbicacion casosUbicacion[] = {
    {"ConExistenciaPasa", "0101", "CAM001", "GD", "NE", true, "", ""},
    {"ReservadaAlMismoProductoPasa", "0301", "TAL001", "00", "00", true, "", ""},
    {"NoExiste", "0999", "CAM001", "GD", "NE", false, "la ubicación no existe o está dada de baja", ""},
    {"DadaDeBaja", "0902", "CAM001", "GD", "NE", false, "la ubicación no existe o está dada de baja", ""},
    {"Bloqueada", "0901", "CAM001", "GD", "NE", false, "la ubicación se encuentra bloqueada", ""},
    {"ReservadaAOtroProducto", "0301", "CAM001", "GD", "NE", false,
     "la ubicación está restringida al producto TAL001", "\r\nProducto actual: CAM001"},
    {"SinExistenciaDeLaTalla", "0101", "CAM001", "CH", "NE", false, "No hay existencia del producto en la ubicación",
     "\r\nPRODUCTO/TALLA/COLOR: CAM001/CH/NE"},
    {"ComillaEsDato", "01'1", "CAM001", "GD", "NE", false, "la ubicación no existe o está dada de baja", ""},
};

// Each refusal names its reason and the location; a success leaves the old reason alone.
TEST_F(GridTest, ValidaUbicacion)
{
    frmVN003& f = abreNuevo();
    for (const CasoUbicacion& c : casosUbicacion) {
        SCOPED_TRACE(c.nombre);
        MensajeValidacion = "anterior";
        std::string sucursal = "01", almacen = "02", ubicacion = c.ubicacion, producto = c.producto,
                    talla = c.talla, color = c.color;
        bool ok = !c.ok;
        f.Valida_Ubicacion(sucursal, almacen, ubicacion, producto, talla, color, ok);
        EXPECT_EQ(ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(MensajeValidacion, "anterior") << "the reason is not cleared on success";
            continue;
        }
        EXPECT_EQ(MensajeValidacion, "Valida_Ubicacion()" + CrLf + c.razon + CrLf + "SUCURSAL: 01" + CrLf +
                                         "ALMACEN: 02" + CrLf + "UBICACION: " + c.ubicacion + c.detalle);
    }
}

} // namespace
} // namespace tesmira::vn003::testing
