// The scenario runner's language: parsing, expectations, errors and the closing line.
#include "app/runner/ScriptLine.h"
#include "app/runner/ScriptRunner.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tesmira::app {
namespace {

struct Resultado {
    int codigo;
    std::string salida;
};

Resultado corre(const std::string& guion)
{
    std::ostringstream out;
    std::istringstream in(guion);
    ScriptRunner runner(out);
    const int codigo = runner.run(in);
    return {codigo, out.str()};
}

TEST(ScriptLineTest, WordsQuotesRestAndComments)
{
    struct Caso {
        const char* nombre;
        const char* linea;
        const char* palabra;
        const char* resto;
    };
    const Caso casos[] = {
        {"rest keeps inner blanks", "type txtReferencia  Pedido   urgente ", "type", "txtReferencia  Pedido   urgente"},
        {"quoted rest with escapes", R"(x "a \"b\"\\ \r\n")", "x", "a \"b\"\\ \r\n"},
        {"comment after a word", "cmd Nuevo # empieza", "cmd", "Nuevo"},
        {"hash inside a word is text", "type txtReferencia Caja#5", "type", "txtReferencia Caja#5"},
        {"hash inside quotes is text", R"(x "# no es comentario")", "x", "# no es comentario"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        ScriptLine l(c.linea);
        EXPECT_EQ(l.word("palabra"), c.palabra);
        EXPECT_EQ(l.rest(), c.resto);
        EXPECT_TRUE(l.atEnd());
    }
}

TEST(ScriptLineTest, MalformedPiecesAreScriptErrors)
{
    auto restoTras = [](const char* linea) {
        ScriptLine l(linea);
        l.word("comando");
        return l.rest();
    };
    EXPECT_THROW(restoTras(R"(x "sin cierre)"), ScriptError);
    EXPECT_THROW(restoTras(R"(x "a" b)"), ScriptError) << "text after a quoted TEXT";
    EXPECT_THROW(restoTras(R"(x "\q")"), ScriptError) << "unknown escape";
    EXPECT_THROW(ScriptLine("x doce").integer("n"), ScriptError);
    EXPECT_THROW(ScriptLine("").word("algo"), ScriptError);
}

TEST(ScriptRunnerTest, FailedExpectNamesTheLineAndExitsOne)
{
    const auto r = corre("open\n"
                         "# a comment line counts as a line\n"
                         "expect txtFolio R9999\n"
                         "expect message ERR-ID:7500001\n");
    EXPECT_EQ(r.codigo, 1);
    EXPECT_NE(r.salida.find("FAIL line 3: expected \"R9999\" got \"\""), std::string::npos) << r.salida;
    EXPECT_NE(r.salida.find("FAIL line 4:"), std::string::npos) << r.salida;
    EXPECT_NE(r.salida.find("0 passed, 2 failed"), std::string::npos) << r.salida;
}

// expect msg holds only when id, flags, title and prompt all match the last message box.
TEST(ScriptRunnerTest, ExpectMsgComparesTheWholeMessage)
{
    const auto r = corre("open\n"
                         "expect msg - 0 \"\" \"\"\n"
                         "cmd Nuevo\n"
                         "cmd Aceptar\n"
                         "expect msg ERR-ID:7500003 64 \"Tesmira\" \"No hay datos para grabar\"\n"
                         "expect msg ERR-ID:7500004 64 \"Tesmira\" \"No hay datos para grabar\"\n"
                         "expect msg ERR-ID:7500003 48 \"Tesmira\" \"No hay datos para grabar\"\n"
                         "expect msg ERR-ID:7500003 64 \"ERROR\" \"No hay datos para grabar\"\n"
                         "expect msg ERR-ID:7500003 64 \"Tesmira\" \"No hay datos\"\n");
    EXPECT_EQ(r.codigo, 1);
    EXPECT_NE(r.salida.find("FAIL line 2: expected \"- 0 \\\"\\\" \\\"\\\"\" got \"(ninguno)\""), std::string::npos)
        << r.salida;
    for (int linea : {6, 7, 8, 9})
        EXPECT_NE(r.salida.find("FAIL line " + std::to_string(linea) + ":"), std::string::npos) << r.salida;
    EXPECT_NE(r.salida.find("1 passed, 5 failed"), std::string::npos) << r.salida;
}

// A broken script stops the run with exit 2.
TEST(ScriptRunnerTest, ErrorsStopTheRun)
{
    struct Caso {
        const char* nombre;
        const char* guion;
        const char* mensaje;
    };
    const Caso casos[] = {
        {"unknown command", "open\nbailar\nexpect txtFolio x\n", "ERROR line 2: comando desconocido: bailar"},
        {"screen not open", "type txtFolio R0001\n", "ERROR line 1: la pantalla no está abierta"},
        {"unknown control", "open\ntype txtNada 1\n", "ERROR line 2: no existe el control txtNada"},
        {"bad button", "answer box Quizas\n", "ERROR line 1: botón desconocido"},
        {"row out of range", "open\nrow 1\n", "ERROR line 2: no existe el renglón 1"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const auto r = corre(c.guion);
        EXPECT_EQ(r.codigo, 2) << r.salida;
        EXPECT_NE(r.salida.find(c.mensaje), std::string::npos) << r.salida;
        EXPECT_EQ(r.salida.find("FAIL"), std::string::npos) << "nothing runs after the error";
    }
}

// A refused action or an unavailable command is reported and changes nothing; the run goes on.
TEST(ScriptRunnerTest, RefusedActionsAreReportedAndTheRunGoesOn)
{
    struct Caso {
        const char* nombre;
        const char* guion;
        const char* mensaje;
        int codigo;
        const char* cierre;
    };
    const Caso casos[] = {
        {"locked field", "open\ntype txtTotal 5\nexpect txtTotal \"\"\n", "REFUSED line 2:", 0, "1 passed, 0 failed"},
        {"disabled field", "open\ncmd Nuevo\ntype txtFolio R0001\nexpect txtFolio x\n", "REFUSED line 3:", 1,
         "0 passed, 1 failed"},
        {"unavailable command", "open\ncmd Aceptar\nexpect txtFolio \"\"\n", "cmd Aceptar: no disponible\n", 0,
         "1 passed, 0 failed"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const auto r = corre(c.guion);
        EXPECT_EQ(r.codigo, c.codigo) << r.salida;
        EXPECT_NE(r.salida.find(c.mensaje), std::string::npos) << r.salida;
        EXPECT_NE(r.salida.find(c.cierre), std::string::npos) << "the expect after the refusal still runs: " << r.salida;
    }
}

TEST(ScriptRunnerTest, PrintShowsTheControlAndSqlPrintsTsv)
{
    const auto r = corre("param VEN_PERMITIR_VENTA_SIN_CARGO 1\n"
                         "open\n"
                         "cmd Nuevo\n"
                         "print txtFolio\n"
                         "print chSinCargo\n"
                         "sql SELECT Mn_Cve_Moneda, Mn_Descripcion FROM Moneda WHERE Mn_Cve_Moneda = 'MXN'\n"
                         "print grid Pr_Cve_Producto Cantidad_1\n");
    EXPECT_EQ(r.codigo, 0) << r.salida;
    EXPECT_NE(r.salida.find("txtFolio text= value= enabled=0 visible=1 locked=0\n"), std::string::npos) << r.salida;
    EXPECT_NE(r.salida.find("chSinCargo text=0 value=0 enabled=0 visible=1 locked=0\n"), std::string::npos)
        << r.salida;
    EXPECT_NE(r.salida.find("Mn_Cve_Moneda\tMn_Descripcion\nMXN\t"), std::string::npos) << r.salida;
    EXPECT_NE(r.salida.find("Pr_Cve_Producto\tCantidad_1\n"), std::string::npos) << r.salida;
}

// Leaving a product the order lacks keeps the cursor on its row (the new-row line itself is
// walked by the blind-capture road); a grid that takes no new rows has no such line.
TEST(ScriptRunnerTest, RowPastTheLastIsTheNewRowLine)
{
    const std::string ciega = "param REM_CAPTURA_CIEGA 1\n"
                              "param REM_CAPTURA_MAYOR_PEDIDO 1\n"
                              "open\n"
                              "cmd Nuevo\n"
                              "type txt_Pd_Folio P0004\n"
                              "enter txt_Pd_Folio\n"
                              "col Pr_Cve_Producto\n";
    struct Caso {
        const char* nombre;
        std::string guion;
        int codigo;
        const char* salida;
    };
    const Caso casos[] = {
        {"a product not found keeps the cursor on its row",
         ciega + "cell ZZZ999\nrow 2\nexpect cell 2 Pr_Cve_Producto \"(no hay renglón 2)\"\n", 0, "row 2: cancelado\n"},
        {"loaded order takes no new rows",
         "open\ncmd Nuevo\ntype txt_Pd_Folio P0004\nenter txt_Pd_Folio\nrow 3\n", 2, "ERROR line 5:"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const auto r = corre(c.guion);
        EXPECT_EQ(r.codigo, c.codigo) << r.salida;
        EXPECT_NE(r.salida.find(c.salida), std::string::npos) << r.salida;
    }
}

TEST(ScriptRunnerTest, MissingDatabaseFileIsRefused)
{
    std::ostringstream out;
    EXPECT_THROW(ScriptRunner(out, std::string("/no/existe/vn003.db")), std::exception);
}

} // namespace
} // namespace tesmira::app
