// Warehouse settings, stock, cost and availability; the price lists.
#include "DemoHost.h"

#include "base/Error.h"
#include "host/services/Permisos.h"
#include "host/services/Precios.h"

#include <optional>

namespace tesmira::host::prueba {
namespace {

class AlmacenTest : public DemoHost {};

TEST_F(AlmacenTest, ManejaSegunElAlmacen)
{
    Permisos p(*entorno);
    EXPECT_FALSE(p.ManejaTalla("02", "01"));
    EXPECT_FALSE(p.ManejaSerie("09", "09")) << "an unknown warehouse handles nothing";
}

// Guards "%" summing, the unit conversion and the non-convertible stock, each asked alone and
// inside an order's stock read (keys in other letters, keys it did not read).
TEST_F(AlmacenTest, Existencia)
{
    struct Caso {
        const char *nombre, *producto, *talla, *color;
        int control;
        const char* unidad;
        double esperado;
    } casos[] = {
        {"todas_las_tallas", "CAM001", "%", "%", 1, "PZA", 92},
        {"una_talla_y_color", "CAM001", "MD", "AZ", 1, "PZA", 50},
        {"todos_los_colores_de_una_talla", "CAM001", "CH", "%", 1, "PZA", 30},
        {"piezas_en_cajas", "ACE001", "00", "00", 1, "CJA", 2},
        {"control_2_en_litros", "ACE001", "00", "00", 2, "LT", 24},
        {"litros_en_cubetas", "PIN001", "00", "00", 2, "CUB", 8},
        {"sin_unidad_como_esta", "PIN001", "00", "00", 2, "", 152},
        {"sin_existencia", "SRV001", "00", "00", 1, "SRV", 0},
        {"clave_en_minusculas", "cam001", "md ", "az", 2, "PZA", 50},
        {"fuera_del_pedido", "MAD001", "00", "00", 2, "M3", 5},
    };
    for (const bool leidas : {false, true}) {
        Permisos p(*entorno);
        std::optional<Permisos::ExistenciasPedido> pedido;
        if (leidas)
            pedido.emplace(p, "01", "01", "P0001");
        for (const auto& c : casos)
            EXPECT_NEAR(p.Existencia("01", "01", c.producto, c.talla, c.color, c.control, c.unidad), c.esperado, 1e-9)
                << c.nombre << (leidas ? " read with the order" : "");
        EXPECT_EQ(p.Existencia("01", "01", "ACE001", "00", "00", 1, "GAR"), 0) << "PZA does not convert to GAR";
        EXPECT_FALSE(p.UltimoError().empty());
        EXPECT_DOUBLE_EQ(p.CostoProducto("01", "01", "ACE001", "00", "00", 0, "CJA"), 780) << "a box holds 12 pieces";
        EXPECT_THROW(p.Existencia("01", "01", "CAM001", "%", "%", 3, "PZA"), Error);
    }
}

TEST_F(AlmacenTest, CostoProducto)
{
    conexion->Execute("INSERT INTO Existencia (Sc_Cve_Sucursal, Al_Cve_Almacen, Pr_Cve_Producto, Tl_Cve_Talla, "
                      "Cl_Cve_Color, Ex_Cantidad_Control_1, Ex_Unidad_Control_1, Ex_Costo) "
                      "VALUES ('01', '02', 'CAM001', 'CH', 'BL', 20, 'PZA', 128)");
    Permisos p(*entorno);
    EXPECT_DOUBLE_EQ(p.CostoProducto("01", "01", "ACE001", "00", "00", 0, ""), 65);
    EXPECT_NEAR(p.CostoProducto("01", "02", "CAM001", "%", "%", 0, ""), (40 * 118 + 20 * 128) / 60.0, 1e-9)
        << "weighted by the quantity on hand";
    EXPECT_DOUBLE_EQ(p.CostoProducto("02", "01", "ACE001", "00", "00", 0, ""), 0);
}

TEST_F(AlmacenTest, ConsultaDisponibilidad)
{
    Permisos p(*entorno);
    std::string sucursal = "01", almacen = "01";
    dialogos.respuestaAlmacen({"02", "01"});
    p.ConsultaDisponibilidad(sucursal, almacen, "CAM001", "MD", "AZ");
    EXPECT_EQ(sucursal + "/" + almacen, "02/01");
    ASSERT_EQ(dialogos.ultimaLista().filas.size(), 2u) << "01/01 and 02/01 hold CAM001 MD/AZ";
    EXPECT_EQ(dialogos.ultimaLista().filas[1][3], "15");

    p.ConsultaDisponibilidad(sucursal, almacen, "CAM001", "MD", "AZ");
    EXPECT_EQ(sucursal + "/" + almacen, "02/01") << "cancelled: the arguments stay";

    dialogos.respuestaAlmacen({"01", "03"});
    p.ConsultaDisponibilidad(sucursal, almacen, "CAM001", "MD", "AZ");
    EXPECT_EQ(sucursal + "/" + almacen, "02/01") << "a withdrawn warehouse is not taken";
    EXPECT_FALSE(p.UltimoError().empty());
}

TEST_F(AlmacenTest, PrecioMinimo)
{
    struct Caso {
        const char *nombre, *moneda, *cliente, *producto, *unidad;
        double esperado;
        const char* lista;
    } casos[] = {
        {"otra_unidad_convertida", "MXN", "C0001", "ACE001", "PZA", 75, "LP01"},
        {"lista_en_dolares", "USD", "C0004", "CAM001", "PZA", 12, "LP02"},
        {"lista_en_dolares_documento_en_pesos", "MXN", "C0004", "CAM001", "PZA", 12 * 18.5, "LP02"},
        {"producto_sin_lista", "MXN", "C0001", "NOEXISTE", "PZA", -1, ""},
        {"cliente_desconocido_usa_la_general", "MXN", "C9999", "CAM001", "PZA", 200, "LP01"},
    };
    Precios precios(*entorno);
    for (const auto& c : casos) {
        std::string lista = "sin tocar";
        EXPECT_NEAR(precios.PrecioMinimo({2026, 12, 5}, c.moneda, "01", c.cliente, c.producto, "00", "00", c.unidad,
                                         lista),
                    c.esperado, 1e-9)
            << c.nombre;
        EXPECT_EQ(lista, c.lista) << c.nombre;
    }
}

TEST_F(AlmacenTest, PrecioVenta)
{
    Precios precios(*entorno);
    EXPECT_NEAR(precios.PrecioVenta({2026, 12, 5}, "USD", "01", "C0002", "CAM001", "MD", "AZ", "PZA", "01", 1),
                250 / 18.5, 1e-9)
        << "the customer's peso list converted to dollars";
    conexion->Execute("UPDATE Lista_Precio SET Lp_Fecha_Fin = '2026-11-30' WHERE Pr_Folio = 'LP01'");
    EXPECT_DOUBLE_EQ(precios.PrecioVenta({2026, 12, 5}, "MXN", "01", "C0001", "CAM001", "MD", "AZ", "PZA", "02", 1), 0)
        << "an expired list prices nothing";
}

} // namespace
} // namespace tesmira::host::prueba
