#include "Pantalla_fixture.h"

namespace tesmira::vn003::testing {
namespace {

// A CAM001 line of P0001 in the general warehouse, as the loaders leave it.
const Celdas camisa = {{"Rm_Sucursal_Inventario", "01"}, {"Rm_Almacen_Inventario", "01"},
                       {"Pr_Cve_Producto", "CAM001"}, {"Pr_Descripcion", "Camisa polo piqué manga corta"},
                       {"Tl_Cve_Talla", "MD"}, {"Cl_Cve_Color", "AZ"}, {"TIPO_PRODUCTO", "Normal"},
                       {"Pr_Tipo_Producto", "01"}, {"Ubicacion", "0101"}, {"Cantidad_1", 10.0},
                       {"Cantidad_Control_1", 10.0}, {"Cantidad_Control_2", 10.0}, {"Unidad_1", "PZA"},
                       {"Unidad_Control_1", "PZA"}, {"Unidad_Control_2", "PZA"}, {"Factor_Conversion_U1", 1.0},
                       {"Factor_Conversion_U2", 1.0}, {"Factor_M3", 0.0}, {"Precio_Lista", 250.0},
                       {"Descuento_Factor", 0.1}, {"Impuesto_Factor", 0.16}, {"Precio_Neto_Importe", 2610.0},
                       {"Cuota", 0.0}, {"DESCAMP", "Texto del pedido"}, {"DESAMPR", "Texto de la remisión"}};

// Leaving the first column, or a row without a product, never completes the row.
TEST_F(GridTest, SalirSinProductoOColumnaCeroNoHaceNada)
{
    frmVN003& f = abreNuevo();
    encabezado("P0001", "01", "01");
    fila(camisa);
    f.ssDetalle.col("Cantidad_Control_2").setValue(3.0);
    en("Rm_Sucursal_Inventario");
    EXPECT_TRUE(f.ssDetalle.userSetColumn("Cantidad_1"));
    EXPECT_EQ(numero("Cantidad_Control_2"), 3) << "column 0 is never completed";

    f.ssDetalle.col("Pr_Cve_Producto").setValue("");
    EXPECT_TRUE(f.ssDetalle.userSetColumn("Ubicacion"));
    EXPECT_EQ(numero("Cantidad_Control_2"), 3) << "a row without product is not completed";
}

struct CasoSegunda {
    const char* nombre;
    const char* unidad1;
    const char* unidad2;
    double factorU2, factorM3;
    bool cubicado;
    double cantidad1;
    double esperada;
    bool cubicadoDespues;
};

const CasoSegunda casosSegunda[] = {
    {"MismaUnidadCopia", "PZA", "PZA", 1, 0, false, 7, 7, false},
    {"MismaUnidadCubicadaTomaFactorM3", "PZA", "PZA", 1, 0.05, true, 20, 1, true},
    {"UnidadDistintaSinM3TomaFactorU2", "CJA", "LT", 12, 0, false, 2, 24, false},
    {"UnidadDistintaConM3TomaM3", "CUB", "LT", 19, 20, false, 2, 40, false},
    {"UnidadDeVolumenSeMarcaCubicada", "PZA", "M3", 0.04, 0.05, false, 20, 1, true},
};

class SegundaCantidad : public GridTest, public ::testing::WithParamInterface<CasoSegunda> {};

// The second quantity follows the first when the user leaves Cantidad_1.
TEST_P(SegundaCantidad, SigueALaPrimera)
{
    const CasoSegunda& c = GetParam();
    frmVN003& f = abreNuevo();
    encabezado("P0001", "01", "01");
    fila(camisa);
    for (const auto& [columna, valor] :
         Celdas{{"Unidad_1", c.unidad1}, {"Unidad_Control_2", c.unidad2}, {"Factor_Conversion_U2", c.factorU2},
                {"Factor_M3", c.factorM3}, {"Cubicado", c.cubicado}})
        f.ssDetalle.col(columna).setValue(valor);
    en("Cantidad_1");
    f.ssDetalle.userTypeCell(std::to_string(c.cantidad1));
    EXPECT_TRUE(f.ssDetalle.userSetColumn("Unidad_1"));
    EXPECT_DOUBLE_EQ(numero("Cantidad_Control_2"), c.esperada);
    EXPECT_EQ(f.ssDetalle.col("Cubicado").value().toBool(), c.cubicadoDespues);
    EXPECT_NE(numero("Precio_Neto_Importe"), 2610) << "the row's amounts follow the new quantity";
}

INSTANTIATE_TEST_SUITE_P(Casos, SegundaCantidad, ::testing::ValuesIn(casosSegunda), NombreCaso{});

// A product whose every line was already delivered is not found (P0003: ACE001 delivered).
TEST_F(GridTest, ProductoYaEntregadoNoSeEncuentra)
{
    frmVN003& f = abreNuevo();
    encabezado("P0003", "01", "01");
    fila({{"Pr_Cve_Producto", "ACE001"}});
    bool encontrado = true;
    f.BuscaProducto(encontrado);
    EXPECT_FALSE(encontrado);
    EXPECT_EQ(celda("Pr_Descripcion"), "");

    f.ssDetalle.col("Pr_Cve_Producto").setValue("CAM001");
    f.BuscaProducto(encontrado);
    EXPECT_TRUE(encontrado);
    EXPECT_EQ(celda("Tl_Cve_Talla"), "CH");
    EXPECT_EQ(celda("TIPO_PRODUCTO"), "Normal");
    EXPECT_TRUE(dialogos().mensajes().empty()) << transcript();
}

struct CasoTecla {
    const char* nombre;
    const char* columna;
    const char* tipo;
    double variacion;
    bool modoNuevo;
    int tecla;
    int queda;
};

const CasoTecla casosTecla[] = {
    {"EnterNuncaEntra", "Ubicacion", "Normal", 0, true, 13, 0},
    {"CantidadDeLoteBloqueada", "Cantidad_1", "LOTE", 10, true, '5', 0},
    {"SegundaCantidadDeSerieBloqueada", "Cantidad_Control_2", "Serializado", 10, true, '5', 0},
    {"CantidadNormalSeEscribe", "Cantidad_1", "Normal", 0, true, '5', '5'},
    {"SegundaSinVariacionBloqueada", "Cantidad_Control_2", "Normal", 0, true, '5', 0},
    {"SegundaConVariacionSeEscribe", "Cantidad_Control_2", "Normal", 10, true, '5', '5'},
    {"FueraDeNuevoNoSeBloquea", "Cantidad_1", "LOTE", 0, false, '5', '5'},
};

class TeclaEnGrid : public GridTest, public ::testing::WithParamInterface<CasoTecla> {};

TEST_P(TeclaEnGrid, Caracter)
{
    const CasoTecla& c = GetParam();
    frmVN003& f = c.modoNuevo ? abreNuevo() : abre();
    encabezado("P0001", "01", "01");
    fila(camisa);
    f.ssDetalle.col("TIPO_PRODUCTO").setValue(c.tipo);
    f.ssDetalle.col("Porcentaje_Variacion").setValue(c.variacion);
    en(c.columna);
    int tecla = c.tecla;
    f.ssDetalle_KeyPress(tecla);
    EXPECT_EQ(tecla, c.queda);
}

INSTANTIATE_TEST_SUITE_P(Casos, TeclaEnGrid, ::testing::ValuesIn(casosTecla), NombreCaso{});

// Only Shift alone selects the second grid tool.
TEST_F(GridTest, F10EligeLaHerramienta)
{
    frmVN003& f = abreNuevo();
    fila(camisa);
    en("Cantidad_1");
    f.ssDetalle.userKey(121, 1);
    EXPECT_NE(transcript().find("GRIDTOOL columns"), std::string::npos) << transcript();
    EXPECT_EQ(transcript().find("GRIDTOOL export"), std::string::npos);
    f.ssDetalle.userKey(121, 3);
    EXPECT_NE(transcript().find("GRIDTOOL export"), std::string::npos) << "Ctrl+Shift takes the first tool";
}

// F2 in the product cell offers the order's products; the chosen key loads on leaving.
TEST_F(GridTest, F2EnProductoEligeDelPedido)
{
    frmVN003& f = abreNuevo();
    encabezado("P0001", "01", "01");
    f.ssDetalle.col("Pr_Cve_Producto").setLocked(false);
    f.ConsultaProductosPedido = "SELECT Pr_Cve_Producto AS CLAVE, Pr_Descripcion AS DESCRIPCION FROM Producto "
                                "WHERE Pr_Cve_Producto IN ('CAM001', 'ACE001')";
    fila(camisa);
    en("Pr_Cve_Producto");

    f.ssDetalle.userKey(113, 0);
    EXPECT_EQ(celda("Pr_Cve_Producto"), "CAM001") << "a cancelled list leaves the row";
    EXPECT_EQ(celda("Pr_Descripcion"), "Camisa polo piqué manga corta");

    dialogos().respuestaLista("ACE001");
    f.ssDetalle.userKey(113, 0);
    EXPECT_EQ(celda("Pr_Cve_Producto"), "ACE001");
    EXPECT_EQ(celda("Pr_Descripcion"), "");
    EXPECT_TRUE(f.ssDetalle.userSetColumn("Cantidad_1"));
    EXPECT_EQ(celda("Unidad_1"), "CJA");
}

struct CasoCapturaLote {
    const char* nombre;
    const char* unidad1;
    bool loteAutomatico;
    const char* sucursal;
    bool respuesta;
    const char* lote;
    double cantidad1, control1, control2;
};
const CasoCapturaLote casosCapturaLote[] = {
    {"misma unidad llena ambas", "CUB", false, "01", true, "L-2601", 2, 2, 38},
    {"cubetas a litros", "LT", false, "01", true, "L-2601", 38, 2, 38},
    {"cancelado", "CUB", false, "01", false, "L-2602", 4, 4, 76},
    {"lotes automaticos", "CUB", true, "01", true, "L-2602", 4, 4, 76},
    {"almacen 02/01 sin lotes", "CUB", false, "02", true, "L-2602", 4, 4, 76},
};

class CapturaLote : public GridTest, public ::testing::WithParamInterface<CasoCapturaLote> {};

// The picked lot fills both control quantities and, through the unit-1 factor, Cantidad_1; a
// cancelled picker, automatic lots or a warehouse without lots leave the line alone.
TEST_P(CapturaLote, Caso)
{
    const CasoCapturaLote& c = GetParam();
    frmVN003& f = abreNuevo();
    encabezado("P0001", "01", "01");
    f.Parametros.LoteAutomatico = c.loteAutomatico;
    fila({{"Rm_Sucursal_Inventario", c.sucursal}, {"Rm_Almacen_Inventario", "01"}, {"Pr_Cve_Producto", "PIN001"},
          {"Tl_Cve_Talla", "00"}, {"Cl_Cve_Color", "00"}, {"TIPO_PRODUCTO", "LOTE"}, {"Unidad_1", c.unidad1},
          {"Unidad_Control_1", "CUB"}, {"Unidad_Control_2", "LT"}, {"Precio_Lista", 1450.0},
          {"Lt_Cve_Lote", "L-2602"}, {"Cantidad_1", 4.0}, {"Cantidad_Control_1", 4.0},
          {"Cantidad_Control_2", 76.0}});
    en("Lt_Cve_Lote");
    if (c.respuesta)
        dialogos().respuestaLote({"L-2601", 2, 38});
    f.ssDetalle.userButtonClick();
    EXPECT_EQ(celda("Lt_Cve_Lote"), c.lote) << transcript();
    EXPECT_DOUBLE_EQ(numero("Cantidad_1"), c.cantidad1);
    EXPECT_DOUBLE_EQ(numero("Cantidad_Control_1"), c.control1);
    EXPECT_DOUBLE_EQ(numero("Cantidad_Control_2"), c.control2);
    EXPECT_EQ(f.LoteActual, "");
}

INSTANTIATE_TEST_SUITE_P(Casos, CapturaLote, ::testing::ValuesIn(casosCapturaLote), NombreCaso{});

struct CasoDescripcion {
    const char* nombre;
    const char* producto;
    const char* descamp;
    const char* editor;
};

const CasoDescripcion casosDescripcion[] = {
    {"DelPedido", "CAM001", "Texto del pedido", "Texto del pedido"},
    {"DelCatalogo", "CAM001", "",
     "Tela piqué 100 % algodón\r\nCuello tejido y dos botones\r\nBordado disponible bajo pedido"},
    {"SinCatalogo", "SRV001", "", ""},
};

class DescripcionAmpliada : public GridTest, public ::testing::WithParamInterface<CasoDescripcion> {};

// The order-line description opens on DESCAMP or, when empty, on the catalogue lines.
TEST_P(DescripcionAmpliada, TextoDelEditor)
{
    const CasoDescripcion& c = GetParam();
    frmVN003& f = abreNuevo();
    f.Derechos.DerechoCHDEAM = true;
    fila({{"Rm_Sucursal_Inventario", "01"}, {"Rm_Almacen_Inventario", "01"}, {"Pr_Cve_Producto", c.producto},
          {"Pr_Descripcion", "Título"}, {"DESCAMP", c.descamp}});
    en("Pr_Descripcion");
    dialogos().respuestaTexto("Editado");
    f.ssDetalle.userButtonClick();
    EXPECT_NE(transcript().find("EDIT \"Título\" \"" + host::DialogosGuion::escapa(c.editor) + "\"\n"),
              std::string::npos)
        << transcript();
    EXPECT_EQ(celda("DESCAMP"), "Editado");
}

INSTANTIATE_TEST_SUITE_P(Casos, DescripcionAmpliada, ::testing::ValuesIn(casosDescripcion), NombreCaso{});

// Without CHDEAM both editors open read-only and nothing is stored.
TEST_F(GridTest, SinDerechoCHDEAMSoloLectura)
{
    frmVN003& f = abreNuevo();
    f.Derechos.DerechoCHDEAM = false;
    fila(camisa);
    en("Pr_Descripcion");
    dialogos().respuestaTexto("Cambio");
    f.ssDetalle.userButtonClick();
    dialogos().respuestaTexto("Cambio");
    f.ssDetalle.userKey(118, 0);
    EXPECT_NE(transcript().find("EDIT \"Camisa polo piqué manga corta\" \"Texto del pedido\" readonly"),
              std::string::npos)
        << transcript();
    EXPECT_NE(transcript().find("EDIT \"\" \"Texto de la remisión\" readonly"), std::string::npos) << transcript();
    EXPECT_EQ(celda("DESCAMP"), "Texto del pedido");
    EXPECT_EQ(celda("DESAMPR"), "Texto de la remisión");
}

struct CasoUbicacionTecleada {
    const char* nombre;
    const char* formato;
    const char* tecleada;
    const char* queda;
    const char* mensaje;
};

const CasoUbicacionTecleada casosTecleada[] = {
    {"Aceptada", "0000", "0102", "0102", ""},
    {"SeRellenaConElFormato", "0000", "101", "0101", ""},
    {"Bloqueada", "0000", "0901", "", "ERR-ID:7500031"},
};

class UbicacionTecleada : public GridTest, public ::testing::WithParamInterface<CasoUbicacionTecleada> {};

// A typed location is formatted, verified, and kept only when the warehouse accepts it.
TEST_P(UbicacionTecleada, AlSalirDeLaCelda)
{
    const CasoUbicacionTecleada& c = GetParam();
    frmVN003& f = abreNuevo();
    encabezado("P0008", "01", "02");
    f.Parametros.FormatoUbicacion = c.formato;
    f.Manejo.ManejaUbicacion = true;
    f.ssDetalle.col("Ubicacion").setLocked(false);
    fila(camisa);
    f.ssDetalle.col("Tl_Cve_Talla").setValue("GD");
    f.ssDetalle.col("Cl_Cve_Color").setValue("NE");
    en("Ubicacion");
    f.ssDetalle.userTypeCell(c.tecleada);
    dialogos().limpia();
    EXPECT_TRUE(f.ssDetalle.userSetColumn("Cantidad_1"));
    EXPECT_EQ(celda("Ubicacion"), c.queda);
    EXPECT_EQ(ultimoMensaje(), c.mensaje) << transcript();
}

INSTANTIATE_TEST_SUITE_P(Casos, UbicacionTecleada, ::testing::ValuesIn(casosTecleada), NombreCaso{});

// The availability look-up moves the line to the chosen warehouse and drops what the
// new warehouse handles differently; a cancelled look-up leaves it alone.
TEST_F(GridTest, DisponibilidadCambiaElAlmacen)
{
    frmVN003& f = abreNuevo();
    f.Derechos.DerechoVNDISP = true;
    fila(camisa);
    f.ssDetalle.col("Lt_Cve_Lote").setValue("L-1");
    en("VALIDA_DISPONIBILIDAD");
    auto linea = [&] {
        return celda("Rm_Sucursal_Inventario") + "/" + celda("Rm_Almacen_Inventario") + " " + celda("Tl_Cve_Talla") +
               "/" + celda("Cl_Cve_Color") + " " + celda("Lt_Cve_Lote");
    };

    f.ssDetalle.userButtonClick();
    EXPECT_EQ(linea(), "01/01 MD/AZ L-1") << "cancelled";
    dialogos().respuestaAlmacen({"02", "01"});
    f.ssDetalle.userButtonClick();
    EXPECT_EQ(linea(), "02/01 MD/AZ L-1") << "02/01 keeps no sizes";
    dialogos().respuestaAlmacen({"01", "02"});
    f.ssDetalle.userButtonClick();
    EXPECT_EQ(linea(), "01/02 00/00 ");

    f.ssDetalle.col("Pr_Tipo_Producto").setValue("99");
    dialogos().respuestaAlmacen({"02", "01"});
    f.ssDetalle.userButtonClick();
    EXPECT_EQ(linea(), "01/02 00/00 ") << "services have no stock to look up";
}

TEST(FormatoUbicacion, ComoFormat)
{
    const struct {
        const char *nombre, *valor, *formato, *esperado;
    } casos[] = {
        {"DigitosRellenan", "12", "0000", "0012"},
        {"TextoBajoDigitosQueda", "A1", "0000", "A1"},
        {"Mayusculas", "ab01", ">", "AB01"},
        {"Minusculas", "AB", "<", "ab"},
        {"ArrobaRellenaConBlancos", "1", "@@@", "  1"},
        {"AmpersandNoRellena", "1", "&&&", "1"},
        {"AdmiracionLlenaDesdeLaIzquierda", "1", "!@@@", "1  "},
        {"LiteralEnMedio", "0102", "@@-@@", "01-02"},
        {"SobranCaracteres", "12345", "@@@", "12345"},
        {"SinFormato", "x1", "", "x1"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(frmVN003::FormatoUbicacion(c.valor, c.formato), c.esperado) << c.nombre;
}

} // namespace
} // namespace tesmira::vn003::testing
