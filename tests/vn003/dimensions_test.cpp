#include "Pantalla_fixture.h"

namespace tesmira::vn003::testing {
namespace {

class DimensionesTest : public PantallaTest {
protected:
    std::string dimensiones(const std::string& folio)
    {
        const std::string d = db::quoted(folio);
        return sql("SELECT (SELECT count(*) FROM Documento_Proyecto WHERE Dp_Documento = '" + d + "') || '/' || "
                   "(SELECT count(*) FROM Documento_Centro_Costo WHERE Dc_Documento = '" + d + "') || '/' || "
                   "(SELECT count(*) FROM Documento_UEN WHERE Du_Documento = '" + d + "') || '/' || "
                   "(SELECT count(*) FROM Documento_Activo_Fijo WHERE Da_Documento = '" + d + "') || '/' || "
                   "(SELECT count(*) FROM Documento_Lectura WHERE Dl_Documento = '" + d + "')");
    }
};

// Each dimension comes from its own table for the document; one it lacks is emptied.
TEST_F(DimensionesTest, LoadCopiesEachDimensionAndEmptiesMissingOnes)
{
    struct Caso {
        const char* tabla;
        const char* folio;
        const char* proyecto;
        const char* centro;
        const char* uen;
        const char* activo;
        const char* lectura;
    };
    const Caso casos[] = {
        {"PEDIDO", "P0001", "0000000001", "000001", "", "", ""},
        {"PEDIDO", "P0008", "", "", "", "0000000001", ""},
        {"Remision", "R0001", "", "", "000002", "", "1250"},
        {"PEDIDO", "P'0001", "", "", "", "", ""},
    };
    frmVN003& f = nuevo();
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.tabla) + " " + c.folio);
        for (TextField* t : {&f.txtProyecto, &f.txtCentroCosto, &f.txtUen, &f.txtActivoFijo, &f.txtLectura})
            t->setText("previo");
        f.Frame_Carga(c.tabla, c.folio);
        EXPECT_EQ(f.txtProyecto.text(), c.proyecto);
        EXPECT_EQ(f.txtCentroCosto.text(), c.centro);
        EXPECT_EQ(f.txtUen.text(), c.uen);
        EXPECT_EQ(f.txtActivoFijo.text(), c.activo);
        EXPECT_EQ(f.txtLectura.text(), c.lectura);
    }
}

// Only a project row with ID '0000' is the document's project.
TEST_F(DimensionesTest, LoadReadsProjectRowZero)
{
    conexion().Execute("UPDATE Documento_Proyecto SET Dp_ID = '0001' WHERE Dp_Documento = 'P0001'");
    frmVN003& f = nuevo();
    f.Frame_Carga("PEDIDO", "P0001");
    EXPECT_EQ(f.txtProyecto.text(), "");
}

// Only dimensions with a code are written; the reading follows its field's visibility.
TEST_F(DimensionesTest, InsertWritesOnlyDimensionsWithCode)
{
    struct Caso {
        const char* nombre;
        const char* proyecto;
        const char* centro;
        const char* uen;
        const char* activo;
        bool lecturaVisible;
        const char* lectura;
        const char* filas; // project/cost centre/UEN/asset/reading
    };
    const Caso casos[] = {
        {"solo centro de costo", "", "000001", "", "", false, "", "0/1/0/0/0"},
        {"todas", "0000000002", "000002", "000001", "0000000002", true, "980", "1/1/1/1/1"},
        {"lectura visible y vacia se graba", "", "", "", "", true, "", "0/0/0/0/1"},
        {"lectura oculta no se graba aunque tenga valor", "", "", "", "", false, "75", "0/0/0/0/0"},
    };
    int n = 0;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        frmVN003& f = n == 0 ? nuevo() : frm();
        const std::string folio = "RX" + std::to_string(++n);
        f.txtProyecto.setText(c.proyecto);
        f.txtCentroCosto.setText(c.centro);
        f.txtUen.setText(c.uen);
        f.txtActivoFijo.setText(c.activo);
        f.txtLectura.setVisible(c.lecturaVisible);
        f.txtLectura.setText(c.lectura);
        ASSERT_TRUE(f.Frame_Inserta("Remision", folio)) << f.MensajeError;
        EXPECT_EQ(dimensiones(folio), c.filas);
    }
    EXPECT_EQ(sql("SELECT Cc_Cve_Centro_Costo FROM Documento_Centro_Costo WHERE Dc_Documento = 'RX1' AND "
                  "Dc_Tabla = 'Remision'"),
              "000001");
    EXPECT_EQ(sql("SELECT Dl_Lectura FROM Documento_Lectura WHERE Dl_Documento = 'RX3'"), "");
}

// Quotes are data; a failing insert answers false with the routine's name and the reason.
TEST_F(DimensionesTest, InsertQuotesValuesAndReportsFailure)
{
    frmVN003& f = nuevo();
    f.txtProyecto.setText("O'Brien");
    f.txtLectura.setVisible(false);
    ASSERT_TRUE(f.Frame_Inserta("Remision", "R'1")) << f.MensajeError;
    EXPECT_EQ(sql("SELECT Py_Cve_Proyecto FROM Documento_Proyecto WHERE Dp_Documento = 'R''1'"), "O'Brien");

    conexion().executeScript("DROP TABLE Documento_UEN");
    f.txtUen.setText("000001");
    EXPECT_FALSE(f.Frame_Inserta("Remision", "RX2"));
    EXPECT_EQ(f.MensajeError.rfind("Frame_Inserta()\r\n", 0), 0u) << f.MensajeError;
    EXPECT_GT(f.MensajeError.size(), std::string("Frame_Inserta()\r\n").size()) << "the reason follows";
    EXPECT_EQ(ultimoMensaje(), "") << "the caller shows the reason";
}

// Entering an order folio replaces every dimension, emptying those the order lacks.
TEST_F(DimensionesTest, OrderFolioLoadsOrderDimensions)
{
    parametro("PED_SURTIR_SOLO_EXISTENTE", "NO");
    frmVN003& f = nuevo();
    f.txtActivoFijo.setText("0000000002");
    pedido("P0001");
    EXPECT_EQ(f.txtActivoFijo.text(), "") << "a dimension the order lacks is emptied";
}

} // namespace
} // namespace tesmira::vn003::testing
