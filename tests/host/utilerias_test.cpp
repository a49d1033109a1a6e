// The utility object: look-ups, rates, units, the price chain, pick lists and form helpers.
#include "DemoHost.h"

#include "base/Error.h"
#include "forms/Controls.h"
#include "forms/Form.h"
#include "forms/Grid.h"
#include "forms/TextField.h"
#include "host/services/Descripciones.h"
#include "host/services/Utilerias.h"

#include <cmath>

namespace tesmira::host::prueba {
namespace {

class UtileriasTest : public DemoHost {
protected:
    Utilerias& u()
    {
        if (!m_u)
            m_u = std::make_unique<Utilerias>(*entorno);
        return *m_u;
    }

private:
    std::unique_ptr<Utilerias> m_u;
};

// Guards the "latest rate on or before the date" rule and the local currency.
TEST_F(UtileriasTest, TipoCambio)
{
    struct Caso {
        const char* nombre;
        const char* moneda;
        Date fecha;
        double esperado;
    } casos[] = {
        {"entre_dos_tipos", "USD", {2026, 12, 3}, 18.45},
        {"con_hora", "USD", {2026, 12, 5, 8, 15, 0}, 18.5},
        {"mes_anterior", "USD", {2026, 11, 15}, 18.2},
        {"antes_del_primero", "USD", {2026, 9, 30}, 0},
        {"moneda_local", "MXN", {2020, 1, 1}, 1},
        {"moneda_local_minusculas", "mxn", {2026, 12, 5}, 1},
        {"moneda_desconocida", "EUR", {2026, 12, 5}, 0},
        {"sin_moneda", "", {2026, 12, 5}, 0},
    };
    for (const auto& c : casos)
        EXPECT_DOUBLE_EQ(u().TipoCambio(c.moneda, c.fecha), c.esperado) << c.nombre;
}

// Guards the optional conditions, the excluded state, quoted keys and a literal result column.
TEST_F(UtileriasTest, BuscaDato)
{
    struct Caso {
        const char* nombre;
        const char *tabla, *columna, *clave, *resultado, *extraColumna, *extraValor, *excluido;
        const char* esperado;
    } casos[] = {
        {"segmento_activo", "Segmento", "Sg_Cve_Segmento", "01", "Sg_Descripcion", "", "", "BA", "Ferreterías"},
        {"segmento_dado_de_baja", "Segmento", "Sg_Cve_Segmento", "03", "Sg_Descripcion", "", "", "BA", ""},
        {"baja_sin_excluir", "Segmento", "Sg_Cve_Segmento", "03", "Sg_Descripcion", "", "", "", "Mayoristas"},
        {"columna_extra", "Almacen", "Al_Cve_Almacen", "02", "Al_Descripcion", "Sc_Cve_Sucursal", "01", "",
         "CEDIS Mérida"},
        {"columna_extra_sin_fila", "Almacen", "Al_Cve_Almacen", "02", "Al_Descripcion", "Sc_Cve_Sucursal", "02", "",
         ""},
        {"sysobjects_existe", "sysobjects", "sysobjects.Name", "PDA_SALIDA", "'EXISTE' ", "Type", "U", "", "EXISTE"},
        {"sysobjects_no_existe", "sysobjects", "sysobjects.Name", "PDA_NADA", "'EXISTE' ", "Type", "U", "", ""},
        {"clave_con_comilla_es_dato", "Cliente", "Cl_Cve_Cliente", "x' OR '1'='1", "Cl_Descripcion", "", "", "", ""},
        {"numero", "Cliente", "Cl_Cve_Cliente", "C0001", "Cl_Dias_Credito", "", "", "", "30"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(u().BuscaDato(c.tabla, c.columna, c.clave, c.resultado, false, c.extraColumna, c.extraValor,
                                c.excluido),
                  c.esperado)
            << c.nombre;
    EXPECT_EQ(u().BuscaDatoCondicion("Documento_Proyecto", "Dp_Documento", "P0001", "Py_Cve_Proyecto", false,
                                     " Dp_Tabla = 'PEDIDO' AND  Dp_ID = '0000'"),
              "0000000001");
    EXPECT_THROW(u().BuscaDato("", "X", "1", "Y", false, "", "", ""), Error);
}

// Only an open month is open: a closed one and one without a row refuse with a reason.
TEST_F(UtileriasTest, PeriodoAbierto)
{
    conexion->Execute("INSERT INTO Periodo_Operativo (Po_Modulo, Po_Anio, Po_Mes, Es_Cve_Estado) "
                      "VALUES ('COMPRAS', 2026, 10, 'AC')");
    EXPECT_FALSE(u().PeriodoAbierto({2026, 10, 15}, "VENTAS", 0)) << "October is closed";
    EXPECT_NE(u().UltimoError().find("está cerrado"), std::string::npos);
    EXPECT_TRUE(u().PeriodoAbierto({2026, 11, 30}, "VENTAS", 0));
    EXPECT_FALSE(u().PeriodoAbierto({2027, 1, 2}, "VENTAS", 0)) << "a month with no row does not exist";
    EXPECT_NE(u().UltimoError().find("no existe"), std::string::npos);
    EXPECT_TRUE(u().PeriodoAbierto({2026, 10, 15}, "COMPRAS", 0)) << "another module keeps its own periods";
}

// Keys are trimmed and upper-cased (a quote stays data); a product mask pads digits.
TEST_F(UtileriasTest, FormatosDeFolioYProducto)
{
    EXPECT_EQ(u().FormatoFolio("  r0001 "), "R0001");
    EXPECT_EQ(u().FormatoFolio("r'01"), "R'01") << "a quote is data";
    EXPECT_EQ(u().FormatoProducto(" cam001", ""), "CAM001");
    EXPECT_EQ(u().FormatoProducto("12", "000000"), "000012");
}

// Guards both directions, the inverse of a one-way pair and the "no conversion" 0; unknown units and products.
TEST_F(UtileriasTest, FactorConversion)
{
    conexion->Execute("INSERT INTO Conversion_Unidad (Pr_Cve_Producto, Cu_Unidad_Origen, Cu_Unidad_Destino, "
                      "Cu_Factor) VALUES ('CEM001', 'BTO', 'KG', 50)");
    struct Caso {
        const char *nombre, *producto, *de, *a;
        double esperado;
    } casos[] = {
        {"piezas_a_caja", "ACE001", "PZA", "CJA", 1.0 / 12},
        {"m3_a_piezas", "MAD001", "M3", "PZA", 20},
        {"solo_un_sentido_guardado", "CEM001", "KG", "BTO", 0.02},
        {"misma_unidad", "CAM001", "PZA", "pza", 1},
        {"destino_vacio", "ACE001", "CJA", "", 1},
        {"sin_conversion", "GAL001", "GAR", "LT", 0},
    };
    for (const auto& c : casos)
        EXPECT_NEAR(u().FactorConversion(c.producto, c.de, c.a), c.esperado, 1e-12) << c.nombre;
    EXPECT_TRUE(u().UnidadFraccionable("XYZ")) << "an unknown unit must not be rounded as if it were pieces";
    EXPECT_DOUBLE_EQ(u().PesoProducto("NOEXISTE"), 0) << "an unknown product weighs nothing";
}

// Saving again replaces the factor; a zero or NaN factor is refused and changes nothing.
TEST_F(UtileriasTest, CubicadoSeGrabaYSeValida)
{
    EXPECT_FALSE(u().ValidaCubicado("MAD001", "PZA", "M3")) << "nothing recorded yet";
    EXPECT_TRUE(u().GrabaCubicado("MAD001", "PZA", "M3", 0.05));
    EXPECT_TRUE(u().GrabaCubicado("MAD001", "PZA", "M3", 0.045)) << "saving again replaces the factor";
    EXPECT_TRUE(u().ValidaCubicado("MAD001", "PZA", "M3"));
    EXPECT_EQ(dato("SELECT COUNT(*) FROM Cubicado"), "1");
    EXPECT_EQ(dato("SELECT Cb_Factor FROM Cubicado"), "0.045");
    EXPECT_EQ(dato("SELECT Oper_Ult_Modif FROM Cubicado"), "ADMIN");
    EXPECT_FALSE(u().GrabaCubicado("MAD001", "PZA", "M3", 0)) << "a zero factor is refused";
    EXPECT_FALSE(u().GrabaCubicado("MAD001", "PZA", "M3", NAN));
    EXPECT_EQ(dato("SELECT Cb_Factor FROM Cubicado"), "0.045") << "a refused factor changes nothing";
}

// No catalogue copy on read; an empty text removes the row; the table name ignores case.
TEST_F(UtileriasTest, DescripcionAmpliada)
{
    EXPECT_EQ(u().DescripcionAmpliada("PEDIDO", "P0001", "0002"), "") << "no text of its own, no catalogue copy";
    EXPECT_TRUE(u().GrabaDescripcionAmpliada("Remision", "R0099", "0001", "Línea 1\r\nD'Ávila"));
    EXPECT_EQ(u().DescripcionAmpliada("remision", "R0099", "0001"), "Línea 1\r\nD'Ávila");
    EXPECT_TRUE(u().GrabaDescripcionAmpliada("Remision", "R0099", "0001", "Otra"));
    EXPECT_EQ(u().DescripcionAmpliada("Remision", "R0099", "0001"), "Otra");
    EXPECT_TRUE(u().GrabaDescripcionAmpliada("Remision", "R0099", "0001", ""));
    EXPECT_EQ(dato("SELECT COUNT(*) FROM Descripcion_Ampliada WHERE Dam_Documento = 'R0099'"), "0");
    EXPECT_FALSE(u().GrabaDescripcionAmpliada("Remision", "", "0001", "x"));
}

struct Importes {
    double listaImporte, descuentoImporte, precioDescontado, importeDescontado, extra1, extra2, impuesto, precioNeto,
        importeNeto;
};

// Worked numbers for each calculation kind: q = 10, price 250, 10 % off, 16 % tax.
TEST_F(UtileriasTest, CalculaImportesPorTipo)
{
    struct Caso {
        const char* nombre;
        int tipo;
        double cantidad, precio, descuento, impuesto, cuota;
        Importes esperado;
    } casos[] = {
        {"tipo1", 1, 10, 250, 0.10, 0.16, 0, {2500, 250, 225, 2250, 0, 2250, 360, 261, 2610}},
        {"tipo1_cuota_sin_impuesto", 1, 10, 250, 0.10, 0.16, 2, {2500, 250, 225, 2270, 20, 2250, 360, 263, 2630}},
        {"tipo2_cuota_gravada", 2, 10, 250, 0.10, 0.16, 2, {2500, 250, 225, 2270, 20, 2270, 363.2, 263.32, 2633.2}},
        {"tipo1_sin_redondeo", 1, 3, 33.335, 0.10, 0.16, 0,
         {100.005, 10.0005, 30.0015, 90.0045, 0, 90.0045, 14.40072, 34.80174, 104.40522}},
        // 100.005 is a tie: round2 goes to the even digit.
        {"tipo5_redondeado", 5, 3, 33.335, 0.10, 0.16, 0,
         {100.00, 10.00, 30.0015, 90.00, 0, 90.00, 14.40, 34.8017, 104.40}},
    };
    for (const auto& c : casos) {
        double q = c.cantidad, p = c.precio, li = 0, d = c.descuento, di = 0, pd = 0, dImp = 0, e1 = 0, e2 = 0,
               t = c.impuesto, ti = 0, pn = 0, ni = 0;
        u().CalculaImportes(q, p, li, d, di, pd, dImp, e1, e2, t, ti, pn, ni, c.tipo, c.cuota);
        const Importes& x = c.esperado;
        EXPECT_NEAR(li, x.listaImporte, 1e-9) << c.nombre;
        EXPECT_NEAR(di, x.descuentoImporte, 1e-9) << c.nombre;
        EXPECT_NEAR(pd, x.precioDescontado, 1e-9) << c.nombre;
        EXPECT_NEAR(dImp, x.importeDescontado, 1e-9) << c.nombre;
        EXPECT_NEAR(e1, x.extra1, 1e-9) << c.nombre;
        EXPECT_NEAR(e2, x.extra2, 1e-9) << c.nombre;
        EXPECT_NEAR(ti, x.impuesto, 1e-9) << c.nombre;
        EXPECT_NEAR(pn, x.precioNeto, 1e-9) << c.nombre;
        EXPECT_NEAR(ni, x.importeNeto, 1e-9) << c.nombre;
        EXPECT_EQ(q, c.cantidad) << c.nombre << ": inputs are not rewritten";
    }
    double z = 0;
    EXPECT_THROW(u().CalculaImportes(z, z, z, z, z, z, z, z, z, z, z, z, z, 4, 0), Error);
}

// The "?" filter is left open; a cancelled list or a key it does not offer answers "".
TEST_F(UtileriasTest, ListaBusquedaRespondeLaClaveElegida)
{
    const std::string consulta = "SELECT Sc_Cve_Sucursal AS CLAVE, Sc_Descripcion AS DESCRIPCION FROM Sucursal "
                                 "WHERE Sc_Descripcion LIKE ? AND Sc_Cve_Sucursal <> '?' ORDER BY Sc_Cve_Sucursal";
    dialogos.respuestaLista("02");
    EXPECT_EQ(u().ListaBusqueda(consulta, 100), "02");
    ASSERT_EQ(dialogos.ultimaLista().filas.size(), 2u) << "the ? filter is left open";
    EXPECT_EQ(dialogos.ultimaLista().columnas[0], "CLAVE");

    EXPECT_EQ(u().ListaBusqueda(consulta, 100), "") << "cancelled";
    EXPECT_NE(transcript.str().find("LIST"), std::string::npos);

    dialogos.respuestaLista("99");
    EXPECT_EQ(u().ListaBusqueda(consulta, 100), "") << "a key the list does not offer";
}

// A cancelled or read-only editor answers the original text.
TEST_F(UtileriasTest, EditaTextoCanceladoDevuelveElTexto)
{
    EXPECT_EQ(u().EditaTexto("Camisa", "original", 50, false), "original");
    dialogos.respuestaTexto("nuevo");
    EXPECT_EQ(u().EditaTexto("Camisa", "original", 50, false), "nuevo");
    dialogos.respuestaTexto("ignorado");
    EXPECT_EQ(u().EditaTexto("Camisa", "original", 50, true), "original") << "read-only";
}

// The customer's invoice format wins over the branch's, the branch's over the company's.
TEST_F(UtileriasTest, FormatoFacturaYFirma)
{
    EXPECT_EQ(u().FormatoFactura("C0001", "01"), "FACTURA");
    conexion->Execute("UPDATE Cliente SET Cl_Formato_Factura = 'FACTURA_USD' WHERE Cl_Cve_Cliente = 'C0004'");
    EXPECT_EQ(u().FormatoFactura("C0004", "01"), "FACTURA_USD") << "the customer's own format first";
    conexion->Execute("UPDATE Sucursal SET Sc_Formato_Factura = 'FACT_CUN' WHERE Sc_Cve_Sucursal = '02'");
    EXPECT_EQ(u().FormatoFactura("C0002", "02"), "FACT_CUN");
    EXPECT_TRUE(u().RequiereFirma("A", 1));
    EXPECT_FALSE(u().RequiereFirma("B", 1));
    EXPECT_FALSE(u().RequiereFirma("Z", 1));
}

class FormaTest : public UtileriasTest {
protected:
    FormaTest()
    {
        folio.setText("R0001");
        numero.setKind(forms::TextField::Kind::Number);
        numero.setText("12.5");
        descripcion.setText("Ferretería");
        descripcion.setLocked(true);
        casilla.setValue(forms::CheckBox::Checked);
        fecha.setValue(Date{2026, 12, 1});
        grid.setColumns({{"A", "A"}, {"B", "B"}});
        grid.addRow();
        grid.addRow();
    }
    forms::Form forma{"frmPrueba"};
    forms::TextField& folio = forma.add<forms::TextField>("txtFolio");
    forms::TextField& numero = forma.add<forms::TextField>("txtTotal");
    forms::TextField& descripcion = forma.add<forms::TextField>("txtNCliente");
    forms::CheckBox& casilla = forma.add<forms::CheckBox>("chkCerrar");
    forms::DatePicker& fecha = forma.add<forms::DatePicker>("dpFecha");
    forms::Grid& grid = forma.add<forms::Grid>("ssDetalle");
};

// Mode 1 empties texts, boxes and grids (firing change) but not dates; mode 2 zeroes numbers.
TEST_F(FormaTest, LimpiaControlesModos)
{
    int cambios = 0;
    folio.onChange = [&] { ++cambios; };
    u().LimpiaControles(forma, 1);
    EXPECT_EQ(folio.text(), "");
    EXPECT_EQ(numero.text(), "");
    EXPECT_EQ(descripcion.text(), "") << "locked description fields are emptied too";
    EXPECT_EQ(casilla.value(), forms::CheckBox::Unchecked);
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(fecha.value(), (Date{2026, 12, 1})) << "dates are left alone";
    EXPECT_EQ(cambios, 1) << "the field's change event fires as when the user empties it";

    u().LimpiaControles(forma, 2);
    EXPECT_EQ(numero.value().toDouble(), 0);
    EXPECT_EQ(numero.text(), "0") << "number fields show 0";
    EXPECT_EQ(folio.text(), "") << "text fields are not touched by mode 2";
    EXPECT_THROW(u().LimpiaControles(forma, 3), Error);
}

// Enabling never unlocks; a Tab sent to the form moves the focus (the grid's own walk is the form's case).
TEST_F(FormaTest, HabilitaControlesYEnviaTecla)
{
    folio.setEnabled(false);
    grid.setEnabled(false);
    u().HabilitaControles(forma, 1);
    EXPECT_TRUE(folio.enabled());
    EXPECT_TRUE(grid.enabled());
    EXPECT_TRUE(descripcion.locked()) << "enabling does not unlock";
    u().HabilitaControles(forma, 0);
    EXPECT_FALSE(casilla.enabled());
    u().HabilitaControles(forma, 1);

    u().EnviaTecla("\t", 0); // no active form: nothing receives it
    u().setFormaActiva(&forma);
    ASSERT_TRUE(folio.setFocus());
    u().EnviaTecla("{TAB}", 0);
    EXPECT_TRUE(numero.hasFocus());
    EXPECT_THROW(u().EnviaTecla("x", 0), Error);
}

// The fields' own description look-up: the key is data, an unknown key or an emptied field
// shows nothing, and a query the database refuses leaves the description empty.
TEST_F(UtileriasTest, FieldShowsTheDescriptionOfItsKey)
{
    forms::Form form;
    auto& clave = form.add<forms::TextField>("txtClave");
    auto& nombre = form.add<forms::TextField>("txtNombre");
    clave.sql = "SELECT Mn_Descripcion FROM Moneda WHERE Mn_Cve_Moneda = '?'";
    clave.sqlControlResultado = "txtNombre";
    host::conectaDescripciones(form, *entorno);

    struct Caso {
        const char* nombre;
        const char* clave;
        bool hayDescripcion;
    };
    const Caso casos[] = {
        {"known key", "USD", true},
        {"unknown key", "XXX", false},
        {"quote is data", "US'D", false},
        {"emptied", "", false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        clave.setText("MXN");
        ASSERT_FALSE(nombre.text().empty()) << "setting a key runs the look-up";
        clave.setText(c.clave);
        EXPECT_EQ(!nombre.text().empty(), c.hayDescripcion) << nombre.text();
    }
    clave.sql = "SELECT Nada FROM Moneda WHERE Mn_Cve_Moneda = '?'";
    clave.setText("USD");
    EXPECT_EQ(nombre.text(), "");
}

} // namespace
} // namespace tesmira::host::prueba
